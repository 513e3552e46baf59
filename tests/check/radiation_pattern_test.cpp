// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/nec_output.h"
#include "nec/radiation_pattern.h"

#include "recorded_data.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace brevan::check {
namespace {

constexpr double kMHz = 14.2;
constexpr double kWavelength = 299.792458 / kMHz; // m

// What the engine printed for the deck, or an empty text (and a failed test) if it did not run.
std::string runEngine(const std::string& deck) {
    QTemporaryDir dir;
    EXPECT_TRUE(dir.isValid());
    const QString input = dir.filePath(QStringLiteral("deck.nec"));
    const QString output = dir.filePath(QStringLiteral("deck.out"));
    QFile file(input);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(deck.data(), static_cast<qint64>(deck.size()));
    file.close();
    QProcess engine;
    engine.start(QStringLiteral("nec2c"),
                 {QStringLiteral("-i"), input, QStringLiteral("-o"), output});
    EXPECT_TRUE(engine.waitForFinished(60000)) << "nec2c did not finish";
    EXPECT_EQ(engine.exitCode(), 0) << engine.readAllStandardError().toStdString();
    QFile printed(output);
    EXPECT_TRUE(printed.open(QIODevice::ReadOnly));
    return printed.readAll().toStdString();
}

// A centre-fed 10 m dipole along y (a half wave at 14.2 MHz), laid out as the check's decks
// are: geometry, GE, ground, then load, excitation, frequency, the sky pattern, XQ.
std::string dipoleDeck(const std::string& groundCard, double heightWavelengths,
                       double seriesResistance) {
    char wire[96];
    std::snprintf(wire, sizeof wire, "GW 1 21 0 -5 %.6g 0 5 %.6g 0.001\n",
                  heightWavelengths * kWavelength, heightWavelengths * kWavelength);
    std::string deck = "CM dipole\nCE\n" + std::string(wire);
    deck += groundCard.empty() ? "GE 0\n" : "GE 1\n" + groundCard + "\n";
    if (seriesResistance > 0.0) {
        deck += "LD 0 1 10 10 " + std::to_string(seriesResistance) + " 0 0\n";
    }
    deck += "EX 0 1 11 0 1 0\nFR 0 1 0 0 14.2 0\n" + skyPatternCard() + "XQ 0\nEN\n";
    return deck;
}

// The engine's own figure: its average power gain over the printed quarter of the upper half
// space, which the model's symmetry makes the average over the whole of it, times that half
// space's share of the sphere.
double printedSkyShare(const std::string& output) {
    const auto at = output.find("AVERAGE POWER GAIN:");
    EXPECT_NE(at, std::string::npos);
    double average = 0.0;
    double solidAngleOverPi = 0.0;
    const int read = std::sscanf(output.c_str() + at,
                                 "AVERAGE POWER GAIN: %lf - SOLID ANGLE USED IN AVERAGING: (%lf)",
                                 &average, &solidAngleOverPi);
    EXPECT_EQ(read, 2);
    EXPECT_NEAR(solidAngleOverPi, 0.5, 1e-9) << "the card should cover a quarter of the sky";
    return 0.5 * average;
}

double budgetEfficiency(const std::string& output) {
    std::string error;
    const auto points = parseEngineOutput(output, &error);
    EXPECT_TRUE(points) << error;
    return points && points->size() == 1 ? efficiency(points->front()) : 0.0;
}

struct SkyRow {
    const char* name;
    std::string groundCard;
    double heightWavelengths;
    double seriesResistance;    // ohm at the feed's neighbour: takes a known part of the power
    double shareOverEfficiency; // expected sky share / budget efficiency; < 0: "well below 1"
    double elevationDeg;        // expected elevation of the maximum; < 0: not checked
};

const std::string kPerfect = "GN 1";
const std::string kAverage = "GN 2 0 0 0 13 0.005";

class SkyShare : public ::testing::TestWithParam<SkyRow> {};

TEST_P(SkyShare, FromTheRealEngine) {
    const SkyRow& row = GetParam();
    const std::string output =
        runEngine(dipoleDeck(row.groundCard, row.heightWavelengths, row.seriesResistance));
    std::string error;
    const auto sky = readSkyPattern(output, &error);
    ASSERT_TRUE(sky) << error;
    const double efficiency = budgetEfficiency(output);

    EXPECT_NEAR(sky->skyShare, printedSkyShare(output), 0.002);
    if (row.shareOverEfficiency > 0.0) {
        EXPECT_NEAR(sky->skyShare, row.shareOverEfficiency * efficiency, 0.005);
    } else {
        EXPECT_LT(sky->skyShare, 0.8 * efficiency);
    }
    if (row.elevationDeg >= 0.0) {
        EXPECT_NEAR(sky->maxGainElevationDeg, row.elevationDeg, 3.0);
    }
    // Power gain is relative to the input: a half-wave dipole's 2.15 dBi less what is lost, and
    // up to 6 dB more (and a little, through the image's mutual resistance) where the ground's
    // reflection adds in phase: 8.4 dBi at half a wavelength over perfect ground.
    const double lostDb = 10.0 * std::log10(efficiency);
    EXPECT_GT(sky->maxGainDbi, 2.0 + lostDb);
    EXPECT_LT(sky->maxGainDbi, 9.0 + lostDb);
}

// Free space: the upper half of a pattern symmetric about the wire's plane. Perfect ground: all
// that is radiated goes up; at half a wavelength the lobe stands at asin(1/4 / 1/2) = 30 degrees,
// at a quarter wavelength and below straight up. Average ground absorbs much of it.
INSTANTIATE_TEST_SUITE_P(
    Dipole, SkyShare,
    ::testing::Values(SkyRow{"freeSpace", "", 0.0, 0.0, 0.5, -1.0},
                      SkyRow{"freeSpaceLossy", "", 0.0, 60.0, 0.5, -1.0},
                      SkyRow{"perfectQuarterWave", kPerfect, 0.25, 0.0, 1.0, 90.0},
                      SkyRow{"perfectHalfWave", kPerfect, 0.5, 0.0, 1.0, 30.0},
                      SkyRow{"perfectHalfWaveLossy", kPerfect, 0.5, 60.0, 1.0, 30.0},
                      SkyRow{"averageLow", kAverage, 0.1, 0.0, -1.0, 90.0},
                      SkyRow{"averageHalfWave", kAverage, 0.5, 0.0, -1.0, 30.0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ReadSkyPattern, ReadsARecordedRun) {
    // The 40 m design 10 m over average ground at 7.1 MHz: the budget says 90.94 % radiated,
    // the sky gets about 69 %.
    const std::string output = recorded("sky_average_ground.out");
    std::string error;
    const auto sky = readSkyPattern(output, &error);
    ASSERT_TRUE(sky) << error;
    EXPECT_NEAR(sky->skyShare, 0.6903, 0.0005);
    EXPECT_NEAR(sky->skyShare, printedSkyShare(output), 0.001);
    EXPECT_DOUBLE_EQ(sky->maxGainDbi, 5.44);
    EXPECT_DOUBLE_EQ(sky->maxGainElevationDeg, 68.0);
    EXPECT_NEAR(budgetEfficiency(output), 0.9094, 0.0001);
}

// `text` without the pattern rows whose direction (theta, phi in degrees) `drop` picks.
template <typename Drop> std::string withoutRows(const std::string& text, Drop drop) {
    std::istringstream in(text);
    std::string kept;
    bool inPattern = false;
    for (std::string line; std::getline(in, line);) {
        inPattern = inPattern || line.find("RADIATION PATTERNS") != std::string::npos;
        double theta = 0.0;
        double phi = 0.0;
        const bool row = inPattern && std::sscanf(line.c_str(), "%lf %lf", &theta, &phi) == 2;
        if (!row || !drop(theta, phi)) {
            kept += line + '\n';
        }
    }
    return kept;
}

std::string upTo(const std::string& text, const std::string& marker) {
    const auto at = text.find(marker);
    EXPECT_NE(at, std::string::npos) << marker;
    return text.substr(0, at);
}

// A pattern row of no field at all, as the engine prints it (no polarisation sense).
std::string deadRow(const char* direction) {
    return std::string(direction) +
           "   -999.99  -999.99  -999.99      0.0000      0.00         0.0000E+00      0.00  "
           "0.0000E+00      0.00\n";
}

TEST(ReadSkyPattern, RefusesBrokenText) {
    const std::string good = recorded("sky_average_ground.out");
    const std::string pattern = good.substr(good.find(" ---------- RADIATION PATTERNS"));
    const std::string noRows = withoutRows(good, [](double, double) { return true; });
    const std::string dead = deadRow("    0.00      0.00") + deadRow("    0.00     90.00") +
                             deadRow("   90.00      0.00") + deadRow("   90.00     90.00");
    struct Row {
        const char* name;
        std::string text;
        const char* saying;
    };
    const std::vector<Row> rows = {
        {"empty", "", "no radiation pattern"},
        {"a run without a pattern", recorded("nec_average_ground.out"), "no radiation pattern"},
        {"cut before the pattern", upTo(good, "---------- RADIATION"), "no radiation pattern"},
        {"cut inside the pattern", upTo(good, "   40.00     30.00"), "truncated"},
        {"no average line", withoutLines(good, "AVERAGE POWER GAIN"), "truncated"},
        {"two patterns", good + pattern, "more than one"},
        {"no rows", noRows, "no rows"},
        {"letters in a gain", replaced(good, "    5.44      0.0000", "    5.4x      0.0000"),
         "5.4x"},
        {"not a number in a gain", replaced(good, "    5.44      0.0000", "     nan      0.0000"),
         "nan"},
        {"missing columns", replaced(good, "     5.44     5.44      0.0000", "      0.0000"),
         "columns"},
        {"a direction missing", withoutLines(good, "   40.00     30.00"), "whole grid"},
        {"a direction twice", replaced(good, "   42.00     30.00", "   40.00     30.00"), "twice"},
        {"not down to the horizon", withoutRows(good, [](double t, double) { return t > 89.0; }),
         "horizon"},
        {"not up to the zenith", withoutRows(good, [](double t, double) { return t < 1.0; }),
         "zenith"},
        {"a single phi cut", withoutRows(good, [](double, double p) { return p > 1.0; }), "phi"},
        {"phi short of a quarter", withoutRows(good, [](double, double p) { return p > 89.0; }),
         "phi"},
        {"no field anywhere", replaced(noRows, "  AVERAGE POWER", dead + "  AVERAGE POWER"),
         "no field"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string error;
        EXPECT_FALSE(readSkyPattern(row.text, &error));
        EXPECT_NE(error.find(row.saying), std::string::npos) << error;
        EXPECT_FALSE(readSkyPattern(row.text, nullptr));
    }
}

} // namespace
} // namespace brevan::check
