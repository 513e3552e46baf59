// SPDX-License-Identifier: GPL-3.0-or-later
// brevan-check --measured through the real program: the as-measured section in text and JSON,
// the measured curve in the picture, and sweep files and feed-line options refused before the
// engine runs.

#include "cli_run.h"
#include "measured/feed_line.h"
#include "sweep_files.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <string>

namespace {

using brevan::check::test::madeUpTouchstone;

QString written(const QTemporaryDir& dir, const char* name, const std::string& content) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content.data(), static_cast<qint64>(content.size()));
    return path;
}

TEST(MeasuredCli, TextReportSaysWhereItResonatesAndWhatToCut) {
    QTemporaryDir dir;
    const QString sweep = written(dir, "my-sweep.s1p", madeUpTouchstone());
    const QString plot = dir.filePath("swr.svg");
    const CliRun run = runCli(typicalDesign({"--measured", sweep, "--plot", plot}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::size_t section = run.out.find("\nAs measured\n");
    ASSERT_NE(section, std::string::npos) << run.out;
    const std::string part = run.out.substr(section, run.out.find("\nCut list", section) - section);
    for (const char* words :
         {"my-sweep.s1p, Touchstone, impedance, 101 points", "6.950 MHz, the reactance's zero",
          "Resistance there              45.0 ohm", "cm on each tip (- = cut off)",
          "a lossless line does not move the SWR minimum",
          "Then expect                   SWR 1.1 at F at the feed point; reactance's zero 7.0"}) {
        EXPECT_NE(part.find(words), std::string::npos) << words << "\n" << part;
    }
    EXPECT_NE(run.out.find("As measured, the antenna resonates at 6.950 MHz"), std::string::npos);
    QFile svg(plot);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("As measured"));
}

TEST(MeasuredCli, JsonHasTheMeasuredObjectThroughAFeedLine) {
    QTemporaryDir dir;
    const QString sweep = written(dir, "my-sweep.s1p", madeUpTouchstone());
    // Near half a wave long at 6.95 MHz: the line gives the impedance back, a little turned.
    const CliRun run =
        runCli(typicalDesign({"--measured", sweep, "--feedline-length", "14.2", "--feedline-vf",
                              "0.66", "--feedline-loss", "2", "--format", "json"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject measured = run.json().value("measured").toObject();
    ASSERT_FALSE(measured.isEmpty()) << run.out;
    EXPECT_EQ(measured.value("format").toString(), "touchstone");
    EXPECT_EQ(measured.value("points").toInt(), 101);
    EXPECT_DOUBLE_EQ(measured.value("feed_line").toObject().value("length_m").toDouble(), 14.2);
    EXPECT_NEAR(measured.value("resonance_mhz").toDouble(), 6.95, 0.1);
    const QJsonObject calibration = measured.value("calibration").toObject();
    EXPECT_EQ(calibration.value("outcome").toString(), "calibrated");
    const double tip = calibration.value("tip_change_m").toDouble();
    EXPECT_DOUBLE_EQ(std::round(tip * 100) / 100, tip);
    EXPECT_NEAR(calibration.value("after_cut").toObject().value("resonance_mhz").toDouble(), 7.05,
                0.01);
    EXPECT_FALSE(measured.value("notes").toArray().isEmpty());
    // The design's trim is marked as replaced by the sweep's cut, which the verdict gives too,
    // and the model's resonance as built and its coil for the designed length as what was
    // expected before the sweep: the sweep has said where the antenna really resonates. The
    // model's 2:1 band as built is left to the antenna table.
    int replaced = 0;
    int expected = 0;
    for (const QJsonValue& value : run.json().value("verdict").toArray()) {
        const QString line = value.toString();
        replaced += line.startsWith("As designed, before the sweep (its cut, above, "
                                    "replaces this now that the antenna hangs)");
        expected += line.startsWith("As designed, before the sweep: as built, the antenna "
                                    "resonates at ") ||
                    line.startsWith("As designed, before the sweep: keep the length");
        EXPECT_FALSE(line.startsWith("As built") || line.startsWith("Or keep") ||
                     line.contains("2:1 SWR band ("))
            << line.toStdString();
    }
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(expected, 2);
}

// A sweep of another band is no calibration: the model cannot resonate there, and a cut from
// it would be the design's own trim passed off as a reading of the antenna.
TEST(MeasuredCli, ASweepOfAnotherBandGivesNoCut) {
    std::string text = "Frequency (MHz),R (ohm),X (ohm)\n";
    for (int i = 0; i <= 200; ++i) {
        const double f = 28.0 + 2.0 * i / 200.0;
        const double u = f / 29.663;
        text += std::to_string(f) + ",40," + std::to_string(1200.0 * (u - 1.0 / u)) + "\n";
    }
    QTemporaryDir dir;
    const QString sweep = written(dir, "ten-metres.csv", text);
    const CliRun run = runCli({"--frequency", "14.1", "--length", "7", "--distance", "1.5",
                               "--wire", "16", "--former", "32", "--coil-length", "30",
                               "--coil-wire", "22", "--measured", sweep, "--format", "json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject root = run.json();
    const QJsonObject calibration = root["measured"]["calibration"].toObject();
    EXPECT_EQ(calibration["outcome"].toString(), "other-band");
    EXPECT_TRUE(calibration["tip_change_m"].isNull());
    // No cut of the sweep's: the design's trim stands unmarked.
    for (const QJsonValue& line : root["verdict"].toArray()) {
        EXPECT_FALSE(line.toString().startsWith("As designed, before"));
    }
    QString verdict;
    for (const QJsonValue& line : root["verdict"].toArray()) {
        verdict += line.toString() + "\n";
    }
    EXPECT_TRUE(verdict.contains("does not cover 14.1 MHz")) << verdict.toStdString();
    EXPECT_TRUE(verdict.contains("another band or another antenna")) << verdict.toStdString();
    EXPECT_FALSE(verdict.contains("As measured")) << verdict.toStdString();
}

// Swept at the shack through 4 m of coax nobody gave: the reactance's zero moves to where the
// SWR is 2.1, but the SWR minimum, the band and so the cut stay those of the feed point.
TEST(MeasuredCli, ThroughCoaxNotGivenTheBandAndTheCutFollowTheSwrMinimum) {
    QTemporaryDir dir;
    const QString atFeed = written(dir, "at-feed.s1p", madeUpTouchstone());
    const QString atShack = written(dir, "at-shack.s1p", madeUpTouchstone(4.0));
    const CliRun feed = runCli(typicalDesign({"--measured", atFeed, "--format", "json"}));
    const CliRun shack = runCli(typicalDesign({"--measured", atShack, "--format", "json"}));
    ASSERT_EQ(feed.exitCode, 0) << feed.err;
    ASSERT_EQ(shack.exitCode, 0) << shack.err;
    const QJsonObject f = feed.json().value("measured").toObject();
    const QJsonObject s = shack.json().value("measured").toObject();
    EXPECT_GE(s.value("resonance_swr").toDouble(), 2.0);
    for (const char* key : {"band_lower_mhz", "band_upper_mhz", "swr_minimum_mhz"}) {
        EXPECT_NEAR(s.value(key).toDouble(), f.value(key).toDouble(), 0.001) << key;
    }
    const QJsonObject fc = f.value("calibration").toObject();
    const QJsonObject sc = s.value("calibration").toObject();
    EXPECT_EQ(fc.value("calibrated_on").toString(), "reactance-zero");
    EXPECT_EQ(sc.value("calibrated_on").toString(), "swr-minimum-zero-moved");
    EXPECT_TRUE(sc.value("cut_lowers_swr").toBool());
    EXPECT_NEAR(sc.value("tip_change_m").toDouble(), fc.value("tip_change_m").toDouble(), 0.011);
    EXPECT_NE(s.value("verdict").toString().indexOf("worked out from the SWR minimum"), -1)
        << s.value("verdict").toString().toStdString();
}

struct SweepRefusal {
    const char* name;
    const char* content; // nullptr: the file does not exist
    QStringList extra;
    int status;
    const char* message;
};

// A series-resonant feed point at 3.55 MHz with `ohm` of resistance, as an analyser would
// write it.
std::string resonantAt355(double ohm) {
    std::string text = "! made up for the test\n# MHz Z RI R 50\n";
    for (int i = 0; i <= 100; ++i) {
        const double f = 3.4 + 0.3 * i / 100.0;
        const double u = f / 3.55;
        char row[96];
        std::snprintf(row, sizeof row, "%.5f %.6f %.6f\n", f, ohm / 50.0,
                      1200.0 * (u - 1.0 / u) / 50.0);
        text += row;
    }
    return text;
}

// Once swept, the match is the hung antenna's. The model of this 80 m design wants one for its
// 18.5 ohm, and said to feed it through one; swept at 12 ohm the antenna after its cut needs
// a 1:4 transformer, and swept at 35 ohm none. The model's match, and its warning that the
// trimmed antenna needs one, once stood beside either sweep. At 35 ohm the difference may be
// loss, and the verdict says what the antenna would then radiate. The coils' figures at the
// power are the swept antenna's: at 12 ohm the same 100 W drives more current through them
// than the model's 18.5 would, at 35 ohm less; and the coil to wind holds what it says there.
TEST(MeasuredCli, TheMatchAndTheLossAreTheSweptAntennas) {
    const QStringList design{"--frequency", "3.6", "--length", "14",  "--distance",    "3",
                             "--wire",      "16",  "--former", "100", "--coil-length", "390",
                             "--coil-wire", "18",  "--pitch",  "6.5", "--turns",       "42",
                             "--format",    "json"};
    const struct {
        double ohm;
        bool matched;
    } rows[] = {{12.0, true}, {35.0, false}};
    // The design unswept, for the coil to wind as the model alone would name it.
    const CliRun unswept = runCli(design);
    ASSERT_EQ(unswept.exitCode, 0) << unswept.err;
    const QJsonObject unsweptRoot = unswept.json();
    const QJsonObject modelWind = unsweptRoot["power"]["coil_to_wind"]["on_former"].toObject();
    ASSERT_FALSE(modelWind.isEmpty());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ohm);
        QTemporaryDir dir;
        const QString sweep = written(dir, "hung.s1p", resonantAt355(row.ohm));
        const CliRun run = runCli(design + QStringList{"--measured", sweep});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const QJsonObject root = run.json();
        const QJsonObject calibration = root["measured"]["calibration"].toObject();
        ASSERT_EQ(calibration["outcome"].toString(), "calibrated");
        // The design's own match is there, for 18.5 ohm, in the antenna's section.
        EXPECT_FALSE(root["antenna"]["matching"].isNull());
        const QJsonValue match = calibration["matching_after_cut"];
        EXPECT_EQ(!match.isNull(), row.matched);
        int matchLines = 0;
        for (const QJsonValue& value : root["verdict"].toArray()) {
            const QString line = value.toString();
            EXPECT_FALSE(line.startsWith("With a 1:")) << line.toStdString();
            matchLines += line.startsWith("As measured, after the cut: with a 1:4 transformer "
                                          "(stepping the antenna up)");
        }
        EXPECT_EQ(matchLines, row.matched ? 1 : 0);
        int warned = 0;
        int expected = 0;
        for (const QJsonValue& value : root["warnings"].toArray()) {
            const QString line = value.toString();
            EXPECT_FALSE(line.startsWith("Trimmed to resonance")) << line.toStdString();
            warned += line.startsWith("After its cut, the antenna as swept will still show an SWR");
            expected += line.startsWith("As designed, before the sweep: cut to the calculated "
                                        "length, the antenna will not be usable");
        }
        EXPECT_EQ(warned, row.matched ? 1 : 0);
        EXPECT_EQ(expected, 1);
        // The share radiated were the sweep's extra resistance loss: the model's share, the
        // difference taking its part of the power at the feed point.
        const double model = calibration["model_resistance_ohm"].toDouble();
        const double swept = calibration["calibrated_to_ohm"].toDouble();
        const double share = root["antenna"]["radiated"]["percent"].toDouble() * model / swept;
        const QString loss = QString("if the difference is loss (joints, the coils, the ground) "
                                     "rather than the feed line radiating or an object nearby, "
                                     "the antenna radiates about %1 %.")
                                 .arg(std::lround(share));
        int lossLines = 0;
        for (const QJsonValue& value : root["verdict"].toArray()) {
            lossLines += value.toString().contains(loss);
        }
        EXPECT_EQ(lossLines, row.matched ? 0 : 1) << loss.toStdString();
        const QJsonValue ifLoss = root["measured"]["radiated_if_loss_percent"];
        EXPECT_EQ(ifLoss.isNull(), row.matched);
        if (!row.matched) {
            EXPECT_NEAR(ifLoss.toDouble(), share, 1e-6);
        }
        // The verdict's power figures are the swept antenna's after its cut: the feed's current
        // at 100 W through its resistance at F, and the model's currents for each ampere there.
        const QJsonObject power = root["power"].toObject();
        const QJsonObject trimmed = power["trimmed"].toObject();
        const QJsonObject asSwept = power["swept"].toObject();
        ASSERT_FALSE(asSwept.isEmpty());
        const double ohm = calibration["after_cut"]["resistance_at_design_ohm"].toDouble();
        EXPECT_NEAR(asSwept["feed_current_a"].toDouble(), std::sqrt(100.0 / ohm), 1e-9);
        EXPECT_NEAR(asSwept["coil_current_a"].toDouble() / asSwept["feed_current_a"].toDouble(),
                    trimmed["coil_current_a"].toDouble() / trimmed["feed_current_a"].toDouble(),
                    1e-9);
        EXPECT_EQ(asSwept["coil_current_a"].toDouble() > trimmed["coil_current_a"].toDouble(),
                  row.ohm < 18.0);
        const QString carries = QString("At 100 W SSB, as swept, after the cut, each coil "
                                        "carries %1 A")
                                    .arg(asSwept["coil_current_a"].toDouble(), 0, 'f', 2);
        int powerLines = 0;
        for (const QJsonValue& value : root["verdict"].toArray()) {
            powerLines += value.toString().startsWith(carries);
        }
        EXPECT_EQ(powerLines, 1) << carries.toStdString();
        // The coil to wind holds the power in the antenna as swept. The same coil, it holds
        // less where the sweep's resistance drives more current, and more where it drives
        // less; the loss it saves, the same either way, takes the ratio further from 1 than
        // the resistances' own.
        const QJsonObject wind = power["coil_to_wind"]["on_former"].toObject();
        ASSERT_FALSE(wind.isEmpty());
        EXPECT_EQ(wind["turns"].toDouble(), modelWind["turns"].toDouble());
        const double held = wind["holds_w"].toDouble() / modelWind["holds_w"].toDouble();
        const double resistances =
            ohm / (100.0 / std::pow(trimmed["feed_current_a"].toDouble(), 2));
        if (row.ohm < 18.0) {
            EXPECT_LT(held, resistances);
        } else {
            EXPECT_GT(held, resistances);
        }
        EXPECT_EQ(wind["radiated_percent"].toDouble(), modelWind["radiated_percent"].toDouble());
        const QString holds =
            QString("it holds up to %1 W SSB").arg(std::floor(wind["holds_w"].toDouble()));
        int windLines = 0;
        for (const QJsonValue& value : root["verdict"].toArray()) {
            windLines +=
                value.toString().startsWith("The coil to wind") && value.toString().contains(holds);
        }
        EXPECT_EQ(windLines, 1) << holds.toStdString();
        // Were the sweep's extra resistance loss, the better coil saves the same ohms of the
        // model's resistance, but the loss stays in series: it radiates less, and gains less
        // over the planned coil, than the model alone says.
        const QJsonValue windIfLoss = wind["radiated_if_loss_percent"];
        EXPECT_EQ(windIfLoss.isNull(), row.matched);
        if (!row.matched) {
            const double x = windIfLoss.toDouble() / wind["radiated_percent"].toDouble();
            const double rest = calibration["series_loss_ohm"].toDouble() * x / (1.0 - x);
            const double planned =
                root["power"]["coil_to_wind"]["planned_radiated_percent"].toDouble();
            // The model's resistance with this coil, as the shares have it: within 5 %.
            EXPECT_NEAR(rest / (model * planned / wind["radiated_percent"].toDouble()), 1.0, 0.05);
            EXPECT_LT(rest, model);
            const double gain = wind["db_against_planned_if_loss"].toDouble();
            EXPECT_NEAR(gain, 10 * std::log10(windIfLoss.toDouble() / share), 1e-6);
            EXPECT_GT(gain, 0.0);
            EXPECT_LT(gain, wind["db_against_planned"].toDouble());
            const QString words =
                QString("%1 % (+%2 dB) if the sweep's difference is loss. The "
                        "planned coil has Q %3 and the antenna %4 % (%5 % if "
                        "it is loss).")
                    .arg(std::lround(windIfLoss.toDouble()))
                    .arg(gain, 0, 'f', 1)
                    .arg(std::lround(root["power"]["coil_to_wind"]["planned_q"].toDouble()))
                    .arg(std::lround(planned))
                    .arg(std::lround(share));
            int windLossLines = 0;
            for (const QJsonValue& value : root["verdict"].toArray()) {
                windLossLines += value.toString().startsWith("The coil to wind") &&
                                 value.toString().endsWith(words);
            }
            EXPECT_EQ(windLossLines, 1) << words.toStdString();
            EXPECT_NEAR(share, 32.0, 3.0);
            continue;
        }
        // What the match claims, against the antenna after the cut: about 12 ohm at resonance,
        // four times that on the line.
        const double after = calibration["after_cut"]["resistance_ohm"].toDouble();
        EXPECT_NEAR(after, 12.0, 0.5);
        const QJsonObject transformer = match["transformer"].toObject();
        EXPECT_EQ(transformer["ratio"].toDouble(), 4.0);
        EXPECT_TRUE(transformer["steps_antenna_up"].toBool());
        EXPECT_LT(transformer["design_swr"].toDouble(), 1.3);
        EXPECT_LT(transformer["band_lower_mhz"].toDouble(), 3.6);
        EXPECT_GT(transformer["band_upper_mhz"].toDouble(), 3.6);
        // The L-network for 12 ohm asks a smaller series inductor than the model's for 18.5.
        const double ours = match["l_network"]["series"]["value_uh"].toDouble();
        const double theirs =
            root["antenna"]["matching"]["l_network"]["series"]["value_uh"].toDouble();
        EXPECT_GT(ours, 0.0);
        EXPECT_LT(ours, 0.9 * theirs);
    }
}

TEST(MeasuredCli, RefusesBadSweepsAndLineOptionsBeforeTheEngineRuns) {
    QTemporaryDir dir;
    const SweepRefusal rows[] = {
        {"bad.s1p", "# MHz Z RI R 50\n7.0 1 0\n7.1 one 0\n", {}, 66, "bad.s1p, line 3: expected"},
        {"missing.s1p", nullptr, {}, 66, "cannot read the sweep"},
        {"good.s1p",
         "# MHz Z RI R 50\n7.0 1 0\n7.1 1 0.1\n",
         {"--feedline-vf", "1.5"},
         64,
         "--feedline-vf: '1.5' is out of range"},
        {"good.s1p",
         "# MHz Z RI R 50\n7.0 1 0\n7.1 1 0.1\n",
         {"--feedline-loss", "2"},
         64,
         "--feedline-loss needs --feedline-length"},
        {"good.s1p",
         "# MHz Z RI R 50\n7.0 1 0\n7.1 1 0.1\n",
         {"--no-antenna"},
         64,
         "--measured needs the full-wave check"},
    };
    for (const SweepRefusal& row : rows) {
        const QString path = row.content ? written(dir, row.name, row.content)
                                         : dir.filePath(QString::fromLatin1(row.name));
        const CliRun run = runCli(typicalDesign(QStringList{"--measured", path} + row.extra));
        EXPECT_EQ(run.exitCode, row.status) << row.name << ": " << run.err;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    const CliRun alone = runCli(typicalDesign({"--feedline-length", "10"}));
    EXPECT_EQ(alone.exitCode, 64);
    EXPECT_NE(alone.err.find("give the sweep with --measured"), std::string::npos) << alone.err;
}

} // namespace
