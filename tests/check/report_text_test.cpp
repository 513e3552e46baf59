// SPDX-License-Identifier: GPL-3.0-or-later
// The text report's tables and cut list, read from records made by hand, and the usage
// messages' limits as a person would type them.
#include "hand_made_report.h"
#include "length_text.h"
#include "report/report_format.h"
#include "report/report_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <regex>
#include <sstream>
#include <utility>
#include <vector>

namespace brevan::check {
namespace {

using test::notReached;
using test::typicalCheck;
using test::typicalReport;

struct TextCase {
    const char* name;
    std::function<void(CheckReport&)> bend;
    std::vector<const char*> shown;
    std::vector<const char*> never;
};

const TextCase kTextCases[] = {
    {"typical",
     [](CheckReport& r) { applyAntennaCheck(r, typicalCheck()); },
     {"  Efficiency, wire and coils    93.5 %", "  Each coil at F                6.81 uH, 1.2 ohm",
      "  Trim of each tip              +38 cm, total length 15.760 m",
      "  Trim                          +0.380 m from the full-wave check", "(9 turns x 0.914 mm)",
      "  As the antenna sees it        "},
     {"Radiated into the sky", "±", "helices"}},
    {"over_ground",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         for (AntennaResult* a : {&check.designed, &check.built, &*check.trimmed}) {
             a->sky = SkyShare{0.62, 6.3, 23};
         }
         applyAntennaCheck(r, check);
     },
     {"  Efficiency, wire and coils    93.5 %", "  Radiated into the sky         62.0 %",
      "  Maximum gain                  6.3 dBi at 23 deg"},
     {"Efficiency at F"}},
    {"uncertain_resonance_keeps_the_columns",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.built.resonanceUncertainty = 0.003;
         applyAntennaCheck(r, check);
     },
     {"  Resonance                     7.287 MHz             7.372 MHz ± 0.3 %     7.047 MHz"},
     {}},
    {"mismatched_band",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.built.resonanceResistance = 12;
         check.built.band = {};
         applyAntennaCheck(r, check);
     },
     {"  2:1 band from                 7.187 MHz             none, SWR 4.2 at res."},
     {"none within 30 %"}},
    {"trim_short_of_f",
     [](CheckReport& r) { applyAntennaCheck(r, notReached(TrimOutcome::CoilsInTheWay, 6.2, 6.9)); },
     {"15.000 m              15.000 m              -",
      "  Trim of each tip              none reaches F: cut back as far as the model can follow "
      "(6.200 m) it is still low",
      "  Trim                          none: no trim of the tips reaches F",
      "  Or, at the designed length    not sought"},
     {"+0.", "-4.400 m"}},
    {"coil_must_change",
     [](CheckReport& r) {
         applyAntennaCheck(r, notReached(TrimOutcome::CoilResonates, 15, std::nullopt));
     },
     {"  Trim of each tip              none: the coil self-resonates, it must change",
      "  Or, at the designed length    none: the coil must change"},
     {"not sought"}},
    {"capacitive_coil",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.built.coilAtDesign = {40, -250};
         applyAntennaCheck(r, check);
     },
     {"40 - j250 ohm"},
     {"-5.64"}},
    {"one_turn",
     [](CheckReport& r) { r.design.turns = r.coil.coil.turns = 1; },
     {"(1 turn x 0.914 mm)"},
     {"1 turns"}},
    {"coils_as_helices",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.helix = HelixCheck{42, 7.391, 0.0017, 7.066, 0.0018, 0.63, false};
         applyAntennaCheck(r, check);
     },
     {"  Coils as NEC-2's helices      as built 7.391, trimmed 7.066 MHz ± 0.2 %; each tip +63 cm"},
     {}},
    {"coils_as_helices_cut_into_the_coils",
     [](CheckReport& r) {
         AntennaCheck check = typicalCheck();
         check.helix = HelixCheck{42, 6.1, 0.0017, std::nullopt, 0.0, -4.0, true};
         applyAntennaCheck(r, check);
     },
     {"  Coils as NEC-2's helices      as built 6.100 MHz ± 0.2 %; no trim reaches F"},
     {"trimmed 6"}},
};

class ReportText : public testing::TestWithParam<TextCase> {};

TEST_P(ReportText, ShowsTheRecord) {
    const TextCase& c = GetParam();
    CheckReport report = typicalReport();
    c.bend(report);
    const std::string text = reportText(report, "test");
    for (const char* words : c.shown) {
        EXPECT_NE(text.find(words), std::string::npos) << words << "\n---\n" << text;
    }
    for (const char* words : c.never) {
        EXPECT_EQ(text.find(words), std::string::npos) << words << "\n---\n" << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportText, testing::ValuesIn(kTextCases),
                         [](const testing::TestParamInfo<TextCase>& row) {
                             return std::string(row.param.name);
                         });

TEST(ReportText, CoilsAtTheFeedPointHaveNoInnerWire) {
    const CheckReport report = typicalReport({{"frequency", "1.862"},
                                              {"length", "31.6"},
                                              {"distance", "0"},
                                              {"wire", "28"},
                                              {"former", "26"},
                                              {"coil-length", "46.3"},
                                              {"coil-wire", "16"}});
    const std::string text = reportText(report, "test");
    EXPECT_NE(text.find("Inner wire                    none: B = 0, each coil starts at the "
                        "feed point"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("coil to tip: A/2 - winding\n"), std::string::npos) << text;
}

// Limits in usage messages as a person writes them; the lower limit of the pitch is the wire's
// exact diameter, so typing what the message says is accepted.
TEST(UsageMessages, GiveLimitsAsPeopleWriteThem) {
    struct Row {
        const char* option;
        const char* value;
        const char* says;
    };
    const Row rows[] = {
        {"pitch", "0.5", "from 0.9144 to 1000 mm"},    {"coil-q", "0", "from 1 to 100000,"},
        {"frequency", "0.01", "from 0.1 to 100 MHz"},  {"length", "0", "more than 0 up to 1000 m"},
        {"engine-timeout", "0", "from 0.1 to 3600 s"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.option);
        std::map<std::string, std::string> given{
            {"frequency", "7.05"}, {"length", "15"},      {"distance", "3"},  {"wire", "16"},
            {"former", "50"},      {"coil-length", "40"}, {"coil-wire", "20"}};
        given[row.option] = row.value;
        const auto read = readCheckInputs(given);
        ASSERT_TRUE(std::holds_alternative<UsageError>(read));
        const std::string& message = std::get<UsageError>(read).message;
        EXPECT_NE(message.find(row.says), std::string::npos) << message;
        EXPECT_EQ(message.find("e+"), std::string::npos) << message;
        EXPECT_EQ(message.find("9999"), std::string::npos) << message;
    }
    std::map<std::string, std::string> atTheLimit{
        {"frequency", "7.05"}, {"length", "15"},      {"distance", "3"},   {"wire", "16"},
        {"former", "50"},      {"coil-length", "40"}, {"coil-wire", "20"}, {"pitch", "0.9144"}};
    EXPECT_TRUE(std::holds_alternative<CheckInputs>(readCheckInputs(atTheLimit)));
}

// Feet and inches as a tape measure reads them, to the nearest eighth of an inch, and what
// they read back as: within a sixteenth of the length itself.
TEST(FeetAndInches, ReadLikeATapeMeasureAndBack) {
    const std::pair<double, const char*> rows[] = {
        {0.0, "0 in"},
        {0.0254, "1 in"},
        {0.3048, "1 ft"},
        {15.0, "49 ft 2 1/2 in"},
        {0.0032, "1/8 in"},
        {0.0095, "3/8 in"},
        {-0.05, "-2 in"},
        {0.2985, "11 3/4 in"},
        {0.3047, "1 ft"},
        {0.0004, "0 in"},
        {-0.0001, "0 in"},
        {1.2, "3 ft 11 1/4 in"},
        {0.3207, "1 ft 0 5/8 in"},
    };
    for (const auto& [metres, text] : rows) {
        EXPECT_EQ(feetAndInches(metres), text) << metres;
    }
    for (double metres = 0.001; metres < 40.0; metres *= 1.37) {
        const auto read = parseLength(feetAndInches(metres), LengthUnit::Metres);
        ASSERT_TRUE(read) << feetAndInches(metres);
        EXPECT_LE(std::abs(*read - metres), 0.0254 / 16 + 1e-12) << feetAndInches(metres);
    }
}

// The lengths of a line: in metric ("15.760 m", "+0.380 m", "8.2 mm") or in feet and inches.
std::vector<double> lengthsIn(const std::string& line, bool imperial) {
    static const std::regex metric(R"(([+-]?\d+(?:\.\d+)?) (mm|m)\b)");
    static const std::regex feet(
        R"(-?(?:\d+ ft(?: \d+(?: \d+/\d+)? in| \d+/\d+ in)?|\d+ \d+/\d+ in|\d+/\d+ in|\d+ in))");
    std::vector<double> out;
    const std::regex& pattern = imperial ? feet : metric;
    for (auto it = std::sregex_iterator(line.begin(), line.end(), pattern);
         it != std::sregex_iterator(); ++it) {
        const std::string text = imperial ? it->str() : (*it)[1].str() + (*it)[2].str();
        const auto read = parseLength(text[0] == '+' ? text.substr(1) : text, LengthUnit::Metres);
        if (read) {
            out.push_back(*read);
        }
    }
    return out;
}

// In feet and inches the cut list and the verdict give each length the metric report gives,
// to the nearest eighth of an inch, and name the wires as AWG.
TEST(ReportText, FeetAndInchesGiveTheMetricReportsLengths) {
    CheckReport report = typicalReport();
    applyAntennaCheck(report, typicalCheck());
    const std::string metric = reportText(report, "test");
    report.inputs.units = LengthUnits::Imperial;
    const std::string imperial = reportText(report, "test");
    const auto section = [](const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text.substr(text.find("Cut list")));
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    };
    const std::vector<std::string> m = section(metric);
    const std::vector<std::string> i = section(imperial);
    ASSERT_EQ(m.size(), i.size());
    int compared = 0;
    for (std::size_t k = 0; k < m.size(); ++k) {
        const std::vector<double> inMetres = lengthsIn(m[k], false);
        const std::vector<double> inFeet = lengthsIn(i[k], true);
        ASSERT_EQ(inMetres.size(), inFeet.size()) << m[k] << "\n" << i[k];
        for (std::size_t j = 0; j < inMetres.size(); ++j) {
            // The metric figure is itself to the millimetre.
            EXPECT_LE(std::abs(inFeet[j] - inMetres[j]), 0.0254 / 16 + 0.0005) << i[k];
            ++compared;
        }
        EXPECT_EQ(i[k].find(" SWG 20 "), std::string::npos) << i[k];
    }
    EXPECT_GE(compared, 8);
    EXPECT_NE(imperial.find("AWG 19 (SWG 20, 0.914 mm)"), std::string::npos) << imperial;
    EXPECT_NE(imperial.find("  Trim                          +1 ft 3 in from the full-wave check"),
              std::string::npos)
        << imperial;
    EXPECT_NE(imperial.find("Add 1 ft 3 in of wire to each tip (total length 51 ft 8 1/2 in)"),
              std::string::npos)
        << imperial;
    EXPECT_NE(imperial.find("turns per inch"), std::string::npos) << imperial;
}

} // namespace
} // namespace brevan::check
