// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_run.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Replaces the value of `option` in the typical design, or drops the option when value is null.
QStringList typicalWith(const QString& option, const char* value) {
    QStringList args = typicalDesign();
    const qsizetype at = args.indexOf(option);
    if (value == nullptr) {
        args.remove(at, 2);
    } else {
        args[at + 1] = QString::fromUtf8(value);
    }
    return args;
}

struct Refusal {
    const char* name;
    QStringList args;
    int status;
    const char* message; // a part of what standard error must say
};

TEST(CommandLine, RefusesBadInputBeforeComputingWithAMessageAndNoOutput) {
    const Refusal rows[] = {
        {"missing", typicalWith("--frequency", nullptr), 64, "--frequency is missing"},
        {"comma", typicalWith("--frequency", "7,05"), 64, "--frequency: '7,05' is not a number"},
        {"trailing", typicalWith("--frequency", "7.05MHz"), 64, "'7.05MHz' is not a number"},
        {"empty", typicalWith("--length", ""), 64, "--length: '' is not a number"},
        {"infinite", typicalWith("--length", "inf"), 64, "'inf' is not a number"},
        {"nan", typicalWith("--distance", "nan"), 64, "'nan' is not a number"},
        {"overflow", typicalWith("--length", "1e999"), 64, "'1e999' is not a number"},
        {"zero_f", typicalWith("--frequency", "0"), 64, "from 0.1 to 100 MHz"},
        {"high_f", typicalWith("--frequency", "300"), 64, "'300' is out of range"},
        {"zero_a", typicalWith("--length", "0"), 64, "more than 0 up to 1000 m"},
        {"negative_b", typicalWith("--distance", "-1"), 64, "--distance: '-1' is out of range"},
        {"odd_gauge", typicalWith("--wire", "15"), 64, "--wire: '15' is not a gauge"},
        {"fraction_gauge", typicalWith("--coil-wire", "20.5"), 64, "10 12 14 16 18 20 22"},
        {"zero_former", typicalWith("--former", "0"), 64, "--former: '0' is out of range"},
        {"negative_coil", typicalWith("--coil-length", "-5"), 64, "--coil-length"},
        {"tight_pitch", typicalDesign({"--pitch", "0.5"}), 64, "at least the bare diameter"},
        {"zero_q", typicalDesign({"--coil-q", "0"}), 64, "--coil-q: '0' is out of range"},
        {"ground_kind", typicalDesign({"--height", "10", "--ground", "wet"}), 64,
         "give one of average, good, perfect, poor"},
        {"ground_alone", typicalDesign({"--ground", "good"}), 64, "--ground needs --height"},
        {"low_height", typicalDesign({"--height", "0"}), 64, "--height: '0' is out of range"},
        {"format", typicalDesign({"--format", "xml"}), 64, "give one of json, text"},
        {"shape", typicalDesign({"--shape", "v"}), 64, "give one of inverted-v, straight"},
        {"angle_without_v", typicalDesign({"--leg-angle", "120"}), 64,
         "--leg-angle describes an inverted V"},
        {"ends_straight", typicalDesign({"--shape", "straight", "--ends-height", "5"}), 64,
         "--ends-height describes an inverted V"},
        {"v_alone", typicalDesign({"--shape", "inverted-v"}), 64,
         "--shape inverted-v needs --leg-angle"},
        {"v_both",
         typicalDesign({"--shape", "inverted-v", "--height", "10", "--leg-angle", "120",
                        "--ends-height", "6"}),
         64, "give one of them"},
        {"narrow_angle", typicalDesign({"--shape", "inverted-v", "--leg-angle", "59"}), 64,
         "--leg-angle: '59' is out of range; give the angle between the legs"},
        {"past_straight", typicalDesign({"--shape", "inverted-v", "--leg-angle", "181"}), 64,
         "from 60 to 180 degrees"},
        {"ends_in_free_space", typicalDesign({"--shape", "inverted-v", "--ends-height", "6"}), 64,
         "--ends-height needs --height"},
        {"ends_above_apex",
         typicalDesign({"--shape", "inverted-v", "--height", "10", "--ends-height", "10"}), 64,
         "--ends-height: '10' is not below the apex; give a height below the --height of 10 m"},
        {"v_without_check",
         typicalDesign({"--no-antenna", "--shape", "inverted-v", "--leg-angle", "120"}), 64,
         "--shape needs the full-wave check"},
        {"plot_without_check", typicalDesign({"--no-antenna", "--plot", "x.svg"}), 64,
         "--plot needs the full-wave check"},
        {"empty_deck", typicalDesign({"--deck", ""}), 64, "the file name is empty"},
        {"study_kind", typicalDesign({"--study", "coil-length"}), 64, "give one of coil-position"},
        {"study_without_check", typicalDesign({"--no-antenna", "--study", "coil-position"}), 64,
         "--study needs the full-wave check"},
        {"study_plot_alone", typicalDesign({"--study-plot", "s.svg"}), 64,
         "--study-plot draws the study; give --study coil-position"},
        {"unknown", typicalDesign({"--colour", "red"}), 64, "Unknown option 'colour'"},
        {"positional", typicalDesign({"extra"}), 64, "unexpected argument 'extra'"},
        {"twice", typicalDesign({"--frequency", "7.1"}), 64, "--frequency is given more than once"},
        {"no_value", QStringList{"--frequency"}, 64, "Missing value after '--frequency'"},
        // Designs the window's OK buttons refuse, in the window's words.
        {"coil_beyond_quarter_wave", typicalWith("--frequency", "30"), 65,
         "B is too long for this frequency"},
        {"no_outer_wire", typicalWith("--distance", "7.5"), 65,
         "A must be more than twice B, so that wire is left beyond each coil."},
        {"negative_inductance", typicalWith("--distance", "7.4995"), 65,
         "The inductance from step 1 is negative"},
        {"no_coil_needed", typicalWith("--length", "20.2"), 65, "shows as 0"},
        // Inverted Vs that cannot hang, refused before the engine runs.
        {"ends_on_the_ground",
         typicalDesign({"--shape", "inverted-v", "--height", "5", "--ends-height", "0.003"}), 65,
         "must hang more than 4 wire radii"},
        {"legs_too_short",
         typicalDesign({"--shape", "inverted-v", "--height", "10", "--ends-height", "1"}), 65,
         // 7.5 m less the level half of the feed segment, to the millimetre
         "each leg of the inverted V slopes for 7.385 m beyond the level wire at the feed, too "
         "short to drop 9 m"},
        {"no_coil_so_big",
         {"--frequency", "0.1", "--length", "1", "--distance", "0.45", "--wire", "10", "--former",
          "1", "--coil-length", "1", "--coil-wire", "12"},
         65,
         "far more than a loading coil can have"},
    };
    for (const Refusal& row : rows) {
        SCOPED_TRACE(row.name);
        const CliRun run = runCli(row.args);
        EXPECT_EQ(run.exitCode, row.status);
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        EXPECT_EQ(run.err.rfind("brevan-check: ", 0), 0U) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}

// Each spelling of a length in feet and inches, turns per inch or a cross-section gives the very
// report of the same design typed in metric.
TEST(CommandLine, FeetInchesTurnsPerInchAndCrossSectionsReadAsTheirMetricSelves) {
    struct Spelling {
        const char* option;
        const char* imperial;
        const char* metric;
    };
    const Spelling spellings[] = {
        {"--length", "49.2ft", "14.99616"},
        {"--length", "49 ft 2.5 in", "14.9987"},
        {"--length", "49' 2.5\"", "14.9987"},
        {"--length", "49'2.5", "14.9987"},
        {"--length", "49 feet", "14.9352"},
        {"--distance", "118.11in", "2.999994"},
        {"--former", "2in", "50.8"},
        {"--former", "1.97\"", "50.038"},
        {"--coil-length", "1.5 inches", "38.1"},
        {"--pitch", "20tpi", "1.27"},
        {"--coil-wire", "0.5mm2", "0.7978845608028654mm"},
        {"--wire", "2.5 mm²", "1.7841241161527712mm"},
    };
    for (const Spelling& s : spellings) {
        SCOPED_TRACE(std::string(s.option) + " " + s.imperial);
        const auto report = [&s](const char* value) {
            QStringList args = typicalDesign({"--no-antenna", "--format", "json"});
            const qsizetype at = args.indexOf(s.option);
            if (at >= 0) {
                args[at + 1] = QString::fromUtf8(value);
            } else {
                args << s.option << QString::fromUtf8(value);
            }
            return runCli(args);
        };
        const CliRun imperial = report(s.imperial);
        const CliRun metric = report(s.metric);
        ASSERT_EQ(imperial.exitCode, 0) << imperial.err;
        ASSERT_EQ(metric.exitCode, 0) << metric.err;
        EXPECT_EQ(imperial.out, metric.out);
    }
    // With the full check too (in free space: a height reads as every other length does).
    const CliRun feet = runCli(typicalWith("--length", "49 ft 2.5 in") << "--format"
                                                                       << "json");
    const CliRun metres = runCli(typicalWith("--length", "14.9987") << "--format"
                                                                    << "json");
    ASSERT_EQ(feet.exitCode, 0) << feet.err;
    EXPECT_EQ(feet.out, metres.out);
}

// Feet and inches out change the words only: the JSON is the same, and a unit the option does
// not know is refused.
TEST(CommandLine, UnitsImperialChangesTheWordsAndNotTheJson) {
    const CliRun metric = runCli(typicalDesign({"--no-antenna"}));
    const CliRun imperial = runCli(typicalDesign({"--no-antenna", "--units", "imperial"}));
    ASSERT_EQ(imperial.exitCode, 0) << imperial.err;
    EXPECT_NE(metric.out.find("Outer wire to cut             4.586 m,"), std::string::npos)
        << metric.out;
    EXPECT_NE(imperial.out.find("Outer wire to cut             15 ft 0 1/2 in,"), std::string::npos)
        << imperial.out;
    EXPECT_EQ(
        runCli(typicalDesign({"--no-antenna", "--format", "json"})).out,
        runCli(typicalDesign({"--no-antenna", "--format", "json", "--units", "imperial"})).out);
    const CliRun refused = runCli(typicalDesign({"--no-antenna", "--units", "feet"}));
    EXPECT_EQ(refused.exitCode, 64);
    EXPECT_NE(refused.err.find("metric"), std::string::npos) << refused.err;
}

TEST(CommandLine, HelpAndVersionGoToStandardOutput) {
    const CliRun help = runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option :
         {"--frequency <MHz>", "--coil-wire <gauge>", "--pitch <mm>", "--turns <N>",
          "--coil-inductance <uH>", "--ground <kind>", "--format <text|json>", "Exit status"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    const CliRun version = runCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("brevan-check 1.2", 0), 0U) << version.out;
    EXPECT_TRUE(version.err.empty());
}

TEST(CommandLine, NumbersUseTheFullStopWhateverTheLocale) {
    QProcessEnvironment german = QProcessEnvironment::systemEnvironment();
    german.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    german.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    const CliRun run = runCli(typicalDesign({"--no-antenna"}), german);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("7.17692396135787 uH (the window shows 7.1)"), std::string::npos);
    EXPECT_EQ(runCli(typicalWith("--frequency", "7,05"), german).exitCode, 64);
}

// The whole check, engine and all, under a decimal-comma locale: the same report byte for byte.
TEST(CommandLine, TheFullCheckIsTheSameWhateverTheLocale) {
    QProcessEnvironment german = QProcessEnvironment::systemEnvironment();
    german.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    german.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    const QStringList options =
        typicalDesign({"--shape", "inverted-v", "--ends-height", "6", "--ground", "average",
                       "--height", "10", "--format", "json"});
    const CliRun there = runCli(options, german);
    ASSERT_EQ(there.exitCode, 0) << there.err;
    const CliRun here = runCli(options);
    ASSERT_EQ(here.exitCode, 0) << here.err;
    EXPECT_EQ(there.out, here.out);
}

TEST(CommandLine, JsonCarriesTheReportAtFullPrecision) {
    const CliRun run = runCli(typicalDesign({"--no-antenna", "--format", "json"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject root = run.json();
    ASSERT_FALSE(root.isEmpty()) << run.out;
    EXPECT_EQ(root["inputs"]["frequency_mhz"].toDouble(), 7.05);
    // Full precision: the number reads back to the double whose 15 digits step 1 writes.
    EXPECT_EQ(QString::number(root["design"]["inductance_uh"].toDouble(), 'g', 15),
              QLatin1String("7.17692396135787"));
    EXPECT_NE(root["design"]["inductance_uh"].toDouble(), 7.17692396135787);
    EXPECT_EQ(root["design"]["inductance_shown"].toString(), "7.1");
    EXPECT_EQ(root["design"]["turns"].toDouble(), 9);
    EXPECT_EQ(root["design"]["revised_length_text"].toString(), "Revised length = 7 mm");
    EXPECT_EQ(root["design"]["passes"].toArray().size(), 10);
    EXPECT_TRUE(root["antenna"].isNull());
    // The figures of the coil, its losses and the cut list hang together.
    const QJsonObject coil = root["coil"].toObject();
    const double target = root["design"]["inductance_uh"].toDouble();
    EXPECT_NEAR(coil["difference_percent"].toDouble(),
                (coil["inductance_uh"].toDouble() - target) / target * 100, 1e-9);
    const QJsonObject cut = root["cut_list"].toObject();
    EXPECT_NEAR(cut["inner_wire_m"].toDouble() + cut["outer_wire_m"].toDouble() +
                    cut["coil_winding_length_m"].toDouble(),
                7.5, 0.0015);
    EXPECT_NEAR(cut["antenna_wire_total_m"].toDouble(),
                2 * (cut["inner_wire_m"].toDouble() + cut["outer_wire_to_cut_m"].toDouble()), 1e-9);
    EXPECT_GT(cut["coil_wire_each_m"].toDouble(), coil["turns"].toDouble() * 3.14159 * 0.05);
    const QJsonObject losses = root["losses"].toObject();
    EXPECT_NEAR(losses["q"].toDouble(),
                losses["reactance_ohm"].toDouble() / losses["ac_resistance_ohm"].toDouble(), 1e-9);
}

TEST(CommandLine, AGivenQReplacesTheEstimate) {
    const CliRun run =
        runCli(typicalDesign({"--no-antenna", "--format", "json", "--coil-q", "150"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject losses = run.json()["losses"].toObject();
    EXPECT_EQ(losses["q"].toDouble(), 150);
    EXPECT_TRUE(losses["q_given"].toBool());
    EXPECT_NEAR(losses["series_resistance_ohm"].toDouble(),
                losses["reactance_ohm"].toDouble() / 150, 1e-12);
}

// A solid former raises the coil's capacitance by Knight's inside term, and the report says
// what it is and what Medhurst's grounded coil would give, in words and in the JSON; the
// antenna with Medhurst's capacitance resonates lower than the one built with Knight's.
TEST(CommandLine, FormerMaterialAndMedhurstsFigure) {
    const CliRun tube = runCli(typicalDesign({"--format", "json"}));
    ASSERT_EQ(tube.exitCode, 0) << tube.err;
    const CliRun rod = runCli(typicalDesign({"--former-material", "pvc", "--format", "json"}));
    ASSERT_EQ(rod.exitCode, 0) << rod.err;
    const QJsonObject tubeRoot = tube.json();
    const QJsonObject rodRoot = rod.json();
    const QJsonObject tubeLosses = tubeRoot["losses"].toObject();
    const QJsonObject rodLosses = rodRoot["losses"].toObject();
    EXPECT_EQ(tubeRoot["inputs"]["former_permittivity"].toDouble(), 1.0);
    EXPECT_EQ(rodRoot["inputs"]["former_permittivity"].toDouble(), 3.5);
    EXPECT_GT(rodLosses["self_capacitance_pf"].toDouble(),
              tubeLosses["self_capacitance_pf"].toDouble());
    EXPECT_LT(rodLosses["self_resonance_mhz"].toDouble(),
              tubeLosses["self_resonance_mhz"].toDouble());
    // Medhurst's figure knows nothing of the former.
    EXPECT_EQ(rodLosses["medhurst_capacitance_pf"].toDouble(),
              tubeLosses["medhurst_capacitance_pf"].toDouble());
    EXPECT_GT(tubeLosses["medhurst_capacitance_pf"].toDouble(),
              tubeLosses["self_capacitance_pf"].toDouble());
    const QJsonObject antenna = tubeRoot["antenna"].toObject();
    const QJsonObject medhurst = antenna["medhurst"].toObject();
    const double built = antenna["built"].toObject()["resonance_mhz"].toDouble();
    EXPECT_LT(medhurst["resonance_mhz"].toDouble(), built);
    EXPECT_NEAR(medhurst["resonance_change_khz"].toDouble(),
                (medhurst["resonance_mhz"].toDouble() - built) * 1000, 1e-9);
    EXPECT_EQ(medhurst["capacitance_pf"].toDouble(),
              tubeLosses["medhurst_capacitance_pf"].toDouble());

    const CliRun text = runCli(typicalDesign({"--former-material", "ptfe"}));
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("a solid PTFE rod (relative permittivity 2.1)"), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("Medhurst's grounded coil"), std::string::npos);
    EXPECT_NE(text.out.find("With Medhurst's capacitance"), std::string::npos);
}

TEST(CommandLine, WarnsAboutWhatTheWindowOnlyAdvises) {
    struct Row {
        const char* name;
        QStringList args;
        const char* warning;
    };
    const Row rows[] = {
        {"frequency", typicalWith("--frequency", "0.5"), "outside the HF range"},
        {"long", typicalWith("--length", "19"), "longer than nine tenths of a half wave"},
        {"coil_far_out", typicalWith("--distance", "6"), "shorter than 2.6 x B"},
        {"b_share", typicalWith("--distance", "6.5"), "more than four tenths of A"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CliRun run = runCli(row.args + QStringList{"--no-antenna", "--format", "json"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const QJsonArray warnings = run.json()["warnings"].toArray();
        bool found = false;
        for (const QJsonValue& w : warnings) {
            found = found || w.toString().contains(QLatin1String(row.warning));
        }
        EXPECT_TRUE(found) << run.out;
    }
}

TEST(CommandLine, AFileThatCannotBeWrittenFailsWithoutOutput) {
    QTemporaryDir dir;
    const QString plot = dir.filePath(QStringLiteral("no/such/folder/swr.svg"));
    const QString deck = dir.filePath(QStringLiteral("antenna.nec"));
    const CliRun run = runCli(typicalDesign({"--plot", plot, "--deck", deck}));
    EXPECT_EQ(run.exitCode, 73) << run.err;
    EXPECT_NE(run.err.find("cannot create"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

} // namespace
