// SPDX-License-Identifier: GPL-3.0-or-later
// Reading sweeps: the same made-up antenna written in every Touchstone and CSV variant reads
// back to the same impedances, and malformed files are refused at the line at fault.

#include "coil/physics.h"
#include "made_up_antenna.h"
#include "measured/measured_sweep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace brevan::check {
namespace {

using test::evenFrequencies;
using test::madeUpImpedance;

std::string number(double x) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.12g", x);
    return buffer;
}

// ---- Touchstone ---------------------------------------------------------------------------

enum class Param { S, Z, Y };
enum class Pairing { RI, MA, DB };

struct TouchstoneRow {
    const char* tag;
    const char* optionLine; // written as is; empty: no option line
    double perMHz;          // file units in one MHz
    Param param;
    Pairing pairing;
    double referenceOhm;
    const char* keywords; // "": none; "1.1" or "2.0": the keywords of that version
    bool crlf;
    bool comments;
};

std::complex<double> parameterValue(const TouchstoneRow& row, std::complex<double> z) {
    const double r = row.referenceOhm;
    const bool normalised = std::string(row.keywords) != "2.0";
    switch (row.param) {
    case Param::S: return (z - r) / (z + r);
    case Param::Z: return normalised ? z / r : z;
    case Param::Y: return normalised ? r / z : 1.0 / z;
    }
    return z;
}

std::string pair(Pairing pairing, std::complex<double> v) {
    switch (pairing) {
    case Pairing::RI: return number(v.real()) + " " + number(v.imag());
    case Pairing::MA: return number(std::abs(v)) + " " + number(std::arg(v) * 180.0 / kPi);
    case Pairing::DB:
        return number(20.0 * std::log10(std::abs(v))) + " " + number(std::arg(v) * 180.0 / kPi);
    }
    return {};
}

std::string touchstoneText(const TouchstoneRow& row, const std::vector<double>& frequencies) {
    const std::string eol = row.crlf ? "\r\n" : "\n";
    const std::string keywords = row.keywords;
    std::string text;
    if (row.comments) {
        text += "! made up antenna, swept at the feed" + eol + eol + "!" + eol;
    }
    if (!keywords.empty()) {
        text += "[Version] " + keywords + eol;
    }
    if (*row.optionLine) {
        text += std::string(row.optionLine) + (row.comments ? " ! options" : "") + eol;
    }
    if (!keywords.empty()) {
        text += "[Number of Ports] 1" + eol;
        text += "[Number of Frequencies] " + std::to_string(frequencies.size()) + eol;
        text += "[Network Data]" + eol;
    }
    for (const double f : frequencies) {
        text += "  " + number(f * row.perMHz) + "\t " +
                pair(row.pairing, parameterValue(row, madeUpImpedance(f)));
        text += (row.comments ? "   ! a point" : "") + eol;
        if (row.comments) {
            text += eol;
        }
    }
    if (!keywords.empty()) {
        text += "[End]" + eol;
    }
    return text;
}

class TouchstoneVariant : public testing::TestWithParam<TouchstoneRow> {};

void expectMadeUpImpedances(const MeasuredSweep& sweep, const std::vector<double>& frequencies) {
    ASSERT_EQ(sweep.kind, SweepKind::Impedance);
    ASSERT_EQ(sweep.impedance.size(), frequencies.size());
    for (std::size_t i = 0; i < frequencies.size(); ++i) {
        const FeedPoint& p = sweep.impedance[i];
        EXPECT_NEAR(p.frequencyMHz, frequencies[i], 1e-9 * frequencies[i]) << i;
        const auto z = madeUpImpedance(frequencies[i]);
        EXPECT_LT(std::abs(p.impedance - z), 1e-8 * std::abs(z))
            << i << ": " << p.impedance << " != " << z;
    }
}

TEST_P(TouchstoneVariant, ReadsBackTheSameImpedances) {
    const TouchstoneRow& row = GetParam();
    const auto frequencies = evenFrequencies(6.8, 7.3, 51);
    const auto read = readSweep(touchstoneText(row, frequencies), "sweep.s1p");
    ASSERT_TRUE(std::holds_alternative<MeasuredSweep>(read)) << message(std::get<SweepError>(read));
    const auto& sweep = std::get<MeasuredSweep>(read);
    EXPECT_EQ(sweep.format, SweepFormat::Touchstone);
    EXPECT_DOUBLE_EQ(sweep.referenceOhm, row.referenceOhm);
    expectMadeUpImpedances(sweep, frequencies);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOption, TouchstoneVariant,
    testing::Values(
        TouchstoneRow{"Hz_S_RI", "# Hz S RI R 50", 1e6, Param::S, Pairing::RI, 50, "", false,
                      false},
        TouchstoneRow{"kHz_S_MA", "# kHz S MA R 50", 1e3, Param::S, Pairing::MA, 50, "", false,
                      false},
        TouchstoneRow{"MHz_S_DB", "# MHz S DB R 50", 1.0, Param::S, Pairing::DB, 50, "", false,
                      false},
        TouchstoneRow{"GHz_S_RI", "# GHz S RI R 50", 1e-3, Param::S, Pairing::RI, 50, "", false,
                      false},
        TouchstoneRow{"Z_RI_normalised", "# MHz Z RI R 50", 1.0, Param::Z, Pairing::RI, 50, "",
                      false, false},
        TouchstoneRow{"Z_MA_on_75", "# MHz Z MA R 75", 1.0, Param::Z, Pairing::MA, 75, "", false,
                      false},
        TouchstoneRow{"Z_DB", "# MHz Z DB R 50", 1.0, Param::Z, Pairing::DB, 50, "", false, false},
        TouchstoneRow{"Y_RI", "# MHz Y RI R 50", 1.0, Param::Y, Pairing::RI, 50, "", false, false},
        TouchstoneRow{"S_on_75", "# MHz S RI R 75", 1.0, Param::S, Pairing::RI, 75, "", false,
                      false},
        TouchstoneRow{"any_order_and_case", "#r 75 ri mHZ s", 1.0, Param::S, Pairing::RI, 75, "",
                      false, false},
        TouchstoneRow{"defaults_where_missing", "# MHz", 1.0, Param::S, Pairing::MA, 50, "", false,
                      false},
        TouchstoneRow{"bare_option_line", "#", 1e-3, Param::S, Pairing::MA, 50, "", false, false},
        TouchstoneRow{"no_option_line", "", 1e-3, Param::S, Pairing::MA, 50, "", false, false},
        TouchstoneRow{"comments_and_blank_lines", "# MHz S RI R 50", 1.0, Param::S, Pairing::RI, 50,
                      "", false, true},
        TouchstoneRow{"crlf", "# kHz S DB R 50", 1e3, Param::S, Pairing::DB, 50, "", true, true},
        TouchstoneRow{"version_1_1_keywords", "# MHz S MA R 50", 1.0, Param::S, Pairing::MA, 50,
                      "1.1", true, true},
        TouchstoneRow{"version_1_1_Z_normalised", "# MHz Z RI R 50", 1.0, Param::Z, Pairing::RI, 50,
                      "1.1", false, false},
        TouchstoneRow{"version_2_Z_in_ohm", "# MHz Z RI R 50", 1.0, Param::Z, Pairing::RI, 50,
                      "2.0", false, false}),
    [](const testing::TestParamInfo<TouchstoneRow>& row) { return std::string(row.param.tag); });

// ---- CSV ----------------------------------------------------------------------------------

enum class Columns { RX, S11, Swr };

struct CsvRow {
    const char* tag;
    const char* header;
    char separator;
    double perMHz;
    Columns columns;
    bool quoted;
    bool crlf;
    bool decimalComma;
};

std::string cell(const CsvRow& row, double x) {
    std::string text = number(x);
    if (row.decimalComma) {
        for (char& c : text) {
            c = c == '.' ? ',' : c;
        }
    }
    return row.quoted ? "\"" + text + "\"" : text;
}

double madeUpSwr(double f) {
    const auto g = std::abs((madeUpImpedance(f) - 50.0) / (madeUpImpedance(f) + 50.0));
    return (1.0 + g) / (1.0 - g);
}

std::string csvText(const CsvRow& row, const std::vector<double>& frequencies) {
    const std::string eol = row.crlf ? "\r\n" : "\n";
    const std::string sep(1, row.separator);
    std::string text = std::string(row.header) + eol;
    for (const double f : frequencies) {
        const auto z = madeUpImpedance(f);
        const auto s = (z - 50.0) / (z + 50.0);
        text += cell(row, f * row.perMHz) + sep;
        switch (row.columns) {
        case Columns::RX: text += cell(row, z.real()) + sep + cell(row, z.imag()); break;
        case Columns::S11: text += cell(row, s.real()) + sep + cell(row, s.imag()); break;
        case Columns::Swr: text += cell(row, madeUpSwr(f)); break;
        }
        text += sep + cell(row, 1.0) + eol; // a column nobody asked for
    }
    return text;
}

class CsvVariant : public testing::TestWithParam<CsvRow> {};

TEST_P(CsvVariant, ReadsBackTheSameCurve) {
    const CsvRow& row = GetParam();
    const auto frequencies = evenFrequencies(6.8, 7.3, 51);
    const auto read = readSweep(csvText(row, frequencies), "export.csv");
    ASSERT_TRUE(std::holds_alternative<MeasuredSweep>(read)) << message(std::get<SweepError>(read));
    const auto& sweep = std::get<MeasuredSweep>(read);
    EXPECT_EQ(sweep.format, SweepFormat::Csv);
    if (row.columns != Columns::Swr) {
        expectMadeUpImpedances(sweep, frequencies);
        return;
    }
    ASSERT_EQ(sweep.kind, SweepKind::SwrOnly);
    ASSERT_EQ(sweep.swr.size(), frequencies.size());
    for (std::size_t i = 0; i < frequencies.size(); ++i) {
        EXPECT_NEAR(sweep.swr[i].frequencyMHz, frequencies[i], 1e-9 * frequencies[i]);
        EXPECT_NEAR(sweep.swr[i].swr, madeUpSwr(frequencies[i]), 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AnalyserExports, CsvVariant,
    testing::Values(
        CsvRow{"MHz_R_X_comma", "Frequency (MHz),R,X,Other", ',', 1.0, Columns::RX, false, false,
               false},
        CsvRow{"Hz_R_X_semicolon", "Freq(Hz);R(ohm);X(ohm);Other", ';', 1e6, Columns::RX, false,
               false, false},
        CsvRow{"kHz_R_X_tab", "freq_khz\tRs\tXs\tOther", '\t', 1e3, Columns::RX, false, false,
               false},
        CsvRow{"quoted_crlf", "\"Frequency [MHz]\",\"R\",\"X\",\"|Z|\"", ',', 1.0, Columns::RX,
               true, true, false},
        CsvRow{"decimal_comma", "Frequenz (kHz);R;X;Z", ';', 1e3, Columns::RX, true, true, true},
        CsvRow{"S11_real_imaginary", "Frequency (Hz),S11 Real,S11 Imaginary,Other", ',', 1e6,
               Columns::S11, false, false, false},
        CsvRow{"S11_re_im_semicolon", "Freq (MHz);Re(S11);Im(S11);Other", ';', 1.0, Columns::S11,
               false, true, false},
        CsvRow{"S11_among_other_S11_columns",
               "Frequency (MHz),S11 Real,S11 Imag,S11 Return Loss (dB),S11 Phase", ',', 1.0,
               Columns::S11, false, false, false},
        CsvRow{"plain_re_im", "Frequency (kHz),Re,Im,Other", ',', 1e3, Columns::S11, false, false,
               false},
        CsvRow{"SWR_MHz", "Frequency (MHz),SWR,Other", ',', 1.0, Columns::Swr, false, false, false},
        CsvRow{"VSWR_Hz_semicolon", "\"Freq (Hz)\";\"VSWR\";\"Other\"", ';', 1e6, Columns::Swr,
               true, true, false}),
    [](const testing::TestParamInfo<CsvRow>& row) { return std::string(row.param.tag); });

TEST(SweepFormat, IsToldByContentNotByName) {
    const auto frequencies = evenFrequencies(6.8, 7.3, 11);
    const CsvRow csv{"", "Frequency (MHz),R,X", ',', 1.0, Columns::RX, false, false, false};
    const TouchstoneRow touchstone{
        "", "# MHz Z RI R 50", 1.0, Param::Z, Pairing::RI, 50, "", false, false};
    const auto asCsv = readSweep(csvText(csv, frequencies), "sweep.s1p");
    const auto asTouchstone = readSweep(touchstoneText(touchstone, frequencies), "sweep.csv");
    ASSERT_TRUE(std::holds_alternative<MeasuredSweep>(asCsv));
    ASSERT_TRUE(std::holds_alternative<MeasuredSweep>(asTouchstone));
    EXPECT_EQ(std::get<MeasuredSweep>(asCsv).format, SweepFormat::Csv);
    EXPECT_EQ(std::get<MeasuredSweep>(asTouchstone).format, SweepFormat::Touchstone);
}

// ---- Refusals -----------------------------------------------------------------------------

struct Malformed {
    const char* tag;
    const char* fileName;
    const char* text;
    int line;
    const char* says; // a part of the message after "file, line n: "
};

class MalformedSweep : public testing::TestWithParam<Malformed> {};

TEST_P(MalformedSweep, IsRefusedAtItsLine) {
    const Malformed& row = GetParam();
    const auto read = readSweep(row.text, row.fileName);
    ASSERT_TRUE(std::holds_alternative<SweepError>(read)) << "read as a sweep";
    const SweepError& error = std::get<SweepError>(read);
    EXPECT_EQ(error.fileName, row.fileName);
    EXPECT_EQ(error.line, row.line) << message(error);
    const std::string text = message(error);
    const std::string prefix =
        std::string(row.fileName) + ", line " + std::to_string(row.line) + ": expected ";
    EXPECT_EQ(text.rfind(prefix, 0), 0u) << text;
    EXPECT_NE(text.find(row.says), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(
    EveryKindOfFault, MalformedSweep,
    testing::Values(
        Malformed{"word_for_a_number", "sweep.s1p",
                  "! header\n# MHz S RI R 50\n7.0 0.1 0.2\n7.1 0.1 abc\n", 4,
                  "expected 3 numbers (frequency and two parts of S11), found 'abc'"},
        Malformed{"two_numbers", "sweep.s1p", "# MHz Z RI R 50\n7.0 1 0.2\n7.1 1\n", 3,
                  "3 numbers (frequency and two parts of Z11), found 2 numbers"},
        Malformed{"two_port_data", "sweep.s2p", "# MHz S RI R 50\n7.0 0 0 1 0 1 0 0 0\n", 2,
                  "found 9 numbers"},
        Malformed{"unknown_option", "sweep.s1p", "# MHz S XY R 50\n7.0 0.1 0.2\n", 1,
                  "in the option line, found 'XY'"},
        Malformed{"reference_without_value", "sweep.s1p", "# MHz S RI R\n7.0 0.1 0.2\n", 1,
                  "a reference resistance in ohm after R, found the end of the line"},
        Malformed{"hybrid_parameters", "sweep.s1p", "# MHz H RI R 50\n7.0 0.1 0.2\n", 1,
                  "S, Z or Y parameters"},
        Malformed{"falling_frequency", "sweep.s1p",
                  "# MHz S RI R 50\n7.0 0.1 0.2\n7.2 0.1 0.2\n7.1 0.1 0.2\n", 4,
                  "a frequency above the previous point's, found '7.1'"},
        Malformed{"zero_frequency", "sweep.s1p", "# MHz S RI R 50\n0 0.1 0.2\n", 2,
                  "a frequency above zero"},
        Malformed{"option_line_after_data", "sweep.s1p",
                  "7.0 0.1 0.2\n# MHz S RI R 50\n7.1 0.1 0.2\n", 2,
                  "the option line before the first data line"},
        Malformed{"two_ports_declared", "sweep.s1p",
                  "[Version] 2.0\n# MHz S RI R 50\n"
                  "[Number of Ports] 2\n",
                  3, "1 port (a one-port sweep), found '2'"},
        Malformed{"fewer_points_than_declared", "sweep.s1p",
                  "[Version] 1.1\n# MHz S RI R 50\n[Number of Frequencies] 3\n[Network Data]\n"
                  "7.0 0.1 0.2\n7.1 0.1 0.2\n[End]\n",
                  7, "3 data lines as [Number of Frequencies] says, found 2 data lines"},
        Malformed{"one_point", "sweep.s1p", "# MHz S RI R 50\n7.0 0.1 0.2\n", 2,
                  "at least 2 data lines, found 1 data line"},
        Malformed{"open_circuit", "sweep.s1p", "# MHz S RI R 50\n7.0 0.1 0.2\n7.1 1 0\n", 3,
                  "a finite impedance"},
        Malformed{"crlf_and_comments_counted", "sweep.s1p",
                  "! a\r\n! b\r\n\r\n# MHz S RI R 50\r\n7.0 0.1 x\r\n", 5, "found 'x'"},
        Malformed{"lone_cr_line_ends", "sweep.s1p", "# MHz S RI R 50\r7.0 0.1 0.2\r7.1 y 0.2\r", 3,
                  "found 'y'"},
        Malformed{"frequency_without_unit", "export.csv", "Frequency,R,X\n7.0,50,0\n", 1,
                  "the frequency's unit (Hz, kHz, MHz or GHz) in the header, found 'Frequency'"},
        Malformed{"no_usable_columns", "export.csv", "Freq (MHz),|Z|,Phase\n7.0,50,0\n", 1,
                  "a header row naming the frequency and either R and X"},
        Malformed{"header_missing", "export.csv", "7.0,50,0\n7.1,50,0\n", 1, "a header row"},
        Malformed{"word_in_a_cell", "export.csv", "Freq (MHz),R,X\n7.0,50,0\n7.1,fifty,0\n", 3,
                  "a number under 'R' (column 2), found 'fifty'"},
        Malformed{"short_row", "export.csv", "Freq (MHz);R;X\n7.0;50;0\n7.1;50\n", 3,
                  "a number under 'X' (column 3), found the end of the row"},
        Malformed{"swr_below_one", "export.csv", "Freq (kHz),SWR\n7000,1.2\n7100,0.9\n", 3,
                  "an SWR of 1 or more, found '0.9'"},
        Malformed{"csv_falling_frequency", "export.csv", "Freq (MHz),SWR\n7.1,1.2\n7.0,1.3\n", 3,
                  "a frequency above the previous point's, found '7.0'"},
        Malformed{"only_a_header", "export.csv", "Freq (MHz),R,X\r\n", 1,
                  "at least 2 data rows, found 0 data rows"},
        Malformed{"neither_family", "notes.txt", "\n\nhello antenna\n", 3,
                  "a Touchstone option line ('# MHz S RI R 50') or a CSV header row, found "
                  "'hello antenna'"},
        Malformed{"empty_file", "sweep.s1p", "", 1, "at least 2 data lines, found 0"}),
    [](const testing::TestParamInfo<Malformed>& row) { return std::string(row.param.tag); });

} // namespace
} // namespace brevan::check
