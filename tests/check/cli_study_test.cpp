// SPDX-License-Identifier: GPL-3.0-or-later
// Where the coils should go, through the real program and the real engine: designs with their
// coils near the feed, mid-way and near the tips.

#include "cli_run.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <cmath>
#include <vector>

namespace {

struct StudyDesign {
    const char* name;
    QStringList args;
    // Where the study looks, when held: the grid and the one position it adds between two
    // neighbours that differ, which the engine's work on each position must not move.
    std::vector<double> positions;
};

QStringList design(const char* f, const char* a, const char* b, const char* wire,
                   const char* former, const char* coilLength, const char* coilWire) {
    return {"--frequency", f,        "--length", a,      "--distance",    b,
            "--wire",      wire,     "--former", former, "--coil-length", coilLength,
            "--coil-wire", coilWire, "--format", "json", "--study",       "coil-position"};
}

double number(const QJsonObject& o, const char* key) {
    return o[key].toDouble(std::nan(""));
}

class CoilPositionStudy : public ::testing::TestWithParam<StudyDesign> {};

TEST_P(CoilPositionStudy, AgreesWithTheCheckAndWithHowLoadedDipolesBehave) {
    QTemporaryDir dir;
    const QString plot = dir.filePath("study.svg");
    const CliRun run = runCli(GetParam().args + QStringList{"--study-plot", plot});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject o = run.json();
    const QJsonObject in = o["inputs"].toObject();
    const double f = number(in, "frequency_mhz");
    const double half = number(in, "length_a_m") / 2;
    const double usersB = number(in, "distance_b_m");
    const QJsonObject study = o["study"].toObject();
    const QJsonArray points = study["points"].toArray();

    // From the feed to 80 % of the way to the tip, at least nine positions, the user's among them.
    ASSERT_GE(points.size(), 9);
    EXPECT_EQ(number(points.first().toObject(), "distance_b_m"), 0.0);
    EXPECT_GE(number(points.last().toObject(), "distance_b_m"), 0.8 * half - 1e-6);
    const QJsonObject users = points[study["users_point"].toInt()].toObject();
    EXPECT_EQ(number(users, "distance_b_m"), usersB);
    if (!GetParam().positions.empty()) {
        std::vector<double> bs;
        for (const QJsonValue& value : points) {
            bs.push_back(number(value.toObject(), "distance_b_m"));
        }
        EXPECT_EQ(bs, GetParam().positions);
    }

    // At the user's B the study's coil is the check's own needed coil.
    const QJsonObject needed = o["antenna"].toObject()["needed_coil"].toObject();
    EXPECT_NEAR(number(users, "apparent_inductance_uh"), number(needed, "apparent_inductance_uh"),
                1e-9 * number(needed, "apparent_inductance_uh"));
    EXPECT_EQ(users["turns"].toInt(), needed["turns"].toInt());

    double lastB = -1;
    double lastL = 0;
    double lastR = 0;
    double bestEfficiency = 0;
    for (const QJsonValue& value : points) {
        const QJsonObject p = value.toObject();
        const double b = number(p, "distance_b_m");
        SCOPED_TRACE(b);
        EXPECT_GT(b, lastB);
        lastB = b;
        ASSERT_EQ(p["outcome"].toString(), "found");
        // Each coil puts the antenna on F, within the model's extrapolation.
        EXPECT_NEAR(number(p, "resonance_mhz"), f, 0.001 * f);
        // Further out, a coil must be larger, and the feed resistance rises: a centre-loaded
        // dipole has the lowest.
        EXPECT_GT(number(p, "apparent_inductance_uh"), lastL);
        EXPECT_GT(number(p, "resonance_resistance_ohm"), lastR);
        lastL = number(p, "apparent_inductance_uh");
        lastR = number(p, "resonance_resistance_ohm");
        bestEfficiency = std::max(bestEfficiency, number(p, "efficiency_percent"));
    }
    const QJsonObject best = points[study["most_efficient_point"].toInt()].toObject();
    EXPECT_EQ(number(best, "efficiency_percent"), bestEfficiency);
    // Coils mid-way lose less than coils at the feed, where the current is highest.
    EXPECT_GT(bestEfficiency, number(points.first().toObject(), "efficiency_percent"));
    EXPECT_FALSE(study["sentences"].toArray().isEmpty());

    QFile svg(plot);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray picture = svg.readAll();
    EXPECT_TRUE(picture.contains("your B"));
    // A marker for each efficiency and each 2:1 band on 50 ohm the study found.
    qsizetype markers = 0;
    for (const QJsonValue& value : points) {
        markers += 1 + (value.toObject()["band_50_ohm"].toObject()["width_khz"].isDouble() ? 1 : 0);
    }
    EXPECT_EQ(picture.count("<circle"), markers);
}

// Every file or none: the study's picture that cannot be created takes the deck with it.
TEST(CoilPositionStudyFiles, APictureThatCannotBeCreatedFailsWithNothingWritten) {
    QTemporaryDir dir;
    const QString plot = dir.filePath(QStringLiteral("no/such/folder/study.svg"));
    const QString deck = dir.filePath(QStringLiteral("antenna.nec"));
    const CliRun run =
        runCli(typicalDesign({"--study", "coil-position", "--study-plot", plot, "--deck", deck}));
    EXPECT_EQ(run.exitCode, 73) << run.err;
    EXPECT_NE(run.err.find("cannot create"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Designs, CoilPositionStudy,
    ::testing::Values(
        StudyDesign{"mid_way_40m",
                    design("7.05", "15", "3", "16", "50", "60", "20"),
                    {0, 0.75, 1.5, 2.25, 3, 3.75, 4.5, 5.25, 5.625, 6}},
        StudyDesign{"near_the_feed_40m", design("7.05", "12", "0.3", "16", "50", "60", "20"), {}},
        StudyDesign{"near_the_tips_20m", design("14.2", "7", "3.0", "16", "25", "30", "20"), {}},
        // Wound at so wide a pitch that each coil has a third of step 1's inductance: with it the
        // antenna has no resonance near F wherever the coils go, and the study once found none.
        StudyDesign{"coils_far_too_small_160m",
                    design("1.85", "30", "6", "16", "100", "390", "18") +
                        QStringList{"--pitch", "6.5"},
                    {}}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
