// SPDX-License-Identifier: GPL-3.0-or-later
// Designs that once misled a builder, each through the real program and the real engine: what
// the report says about them must hold.

#include "cli_run.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

QStringList design(const char* f, const char* a, const char* b, const char* wire,
                   const char* former, const char* coilLength, const char* coilWire) {
    return {"--frequency", f,        "--length", a,      "--distance",    b,
            "--wire",      wire,     "--former", former, "--coil-length", coilLength,
            "--coil-wire", coilWire, "--format", "json"};
}

// 80 m, 42 turns spaced 6.5 mm on 100 mm, mid-way: long coils whose antenna resonates.
QStringList longCoilsOn80() {
    return design("3.6", "14", "3", "16", "100", "390", "18") +
           QStringList{"--pitch", "6.5", "--turns", "42"};
}

// A 20 m antenna of 2.51 m: long coils, a trim under a centimetre, 1:2 at best leaving an SWR of
// 2.1, and only a long coil to wind that holds 100 W.
QStringList shortOn20() {
    return design("14.2", "2.51", "0.627", "16", "32", "30", "18");
}

QJsonObject checked(const QStringList& arguments) {
    const CliRun run = runCli(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.json();
}

bool anyContains(const QJsonArray& sentences, const char* words) {
    for (const QJsonValue& sentence : sentences) {
        if (sentence.toString().contains(QString::fromUtf8(words))) {
            return true;
        }
    }
    return false;
}

double at(const QJsonObject& o, const char* a, const char* b) {
    return o[a].toObject()[b].toDouble(std::nan(""));
}

TEST(Regression, ACoilThatSelfResonatesBelowFGetsNoTrim) {
    // Its own resonance lies below F: at F it is a capacitor, and no length of wire helps. (The
    // first once read 6 m for A; with the floating coil's smaller capacitance that coil
    // self-resonates at 9.1 MHz, so it is wound for 4.5 m, at 6.0 MHz.)
    for (const QStringList& args : {design("7.05", "4.5", "2", "16", "100", "200", "24"),
                                    design("7.05", "10", "4.5", "16", "150", "40", "20"),
                                    design("18.148", "4.82", "2.26", "18", "120", "79", "10"),
                                    design("7.05", "12", "5.9", "16", "150", "40", "20"),
                                    design("7.05", "12", "5.95", "16", "150", "40", "20")}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const QJsonObject o = checked(args);
        EXPECT_LT(at(o, "losses", "self_resonance_mhz"),
                  o["inputs"].toObject()["frequency_mhz"].toDouble());
        const QJsonObject antenna = o["antenna"].toObject();
        EXPECT_FALSE(antenna["trim"].toObject()["reaches_design"].toBool());
        EXPECT_TRUE(antenna["trimmed"].isNull());
        EXPECT_EQ(antenna["trim"].toObject()["outcome"].toString(),
                  QStringLiteral("coil_resonates"));
        EXPECT_TRUE(o["cut_list"].toObject()["tip_change_m"].isNull());
        EXPECT_TRUE(anyContains(o["verdict"].toArray(), "the coil must change"));
    }
}

TEST(Regression, ACoilThatSelfResonatesJustAboveFIsUnfitAndNoSearchGivesUp) {
    // Each self-resonates 3 to 10 % above F and looks like hundreds of uH where tens are asked.
    // Their searches once ran out of tries: the reactance beside the coil's resonance is all
    // finite falls, each split to the tolerance. Now the coil is named unfit, with coils that
    // would do, and no search is left unfinished.
    for (const QStringList& args : {design("7.05", "6", "2", "16", "120", "300", "24"),
                                    design("7.05", "6", "2", "16", "100", "400", "28"),
                                    design("7.277", "14.03", "6.39", "26", "125.9", "79", "20")}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const QJsonObject o = checked(args);
        const double f = o["inputs"].toObject()["frequency_mhz"].toDouble();
        const double selfResonance = at(o, "losses", "self_resonance_mhz");
        EXPECT_GT(selfResonance, f);
        EXPECT_LT(selfResonance, 1.2 * f);
        const QJsonObject antenna = o["antenna"].toObject();
        EXPECT_EQ(antenna["trim"].toObject()["outcome"].toString(),
                  QStringLiteral("coil_resonates"));
        EXPECT_TRUE(o["cut_list"].toObject()["tip_change_m"].isNull());
        EXPECT_TRUE(anyContains(o["verdict"].toArray(), "the coil must change"));
        EXPECT_TRUE(anyContains(o["verdict"].toArray(), "Coils that would do"));
        for (const char* part : {"verdict", "warnings"}) {
            EXPECT_FALSE(anyContains(o[part].toArray(), "ran out of tries")) << part;
        }
    }
}

TEST(Regression, TheVerdictSaysHowMuchOfThePowerTheHungAntennaRadiates) {
    // The full-size reference by hand: a half wave of SWG 16 copper in free space, 73 ohm of
    // radiation resistance against the skin effect's 0.135 ohm/m over 2 x 10 m of wire with a
    // cosine-squared current (on average half the feed's): 73 / (73 + 1.35) = 98.2 %. The lossy
    // design once read "SWR 1.0" with no word of the 92 % its trimmed coils turn into heat.
    struct Case {
        QStringList args;
        const char* words;
        bool leads;
    };
    for (const Case& c :
         {Case{design("7.05", "15", "3", "16", "50", "40", "20"), "radiates 93 %", false},
          Case{design("7.05", "6", "2", "16", "100", "200", "24"),
               "Most of the power never reaches the sky", true}}) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QJsonObject o = checked(c.args);
        const QJsonObject antenna = o["antenna"].toObject();
        const QJsonObject radiated = antenna["radiated"].toObject();
        EXPECT_EQ(radiated["of"].toString(), QStringLiteral("trimmed"));
        EXPECT_NEAR(radiated["full_size_percent"].toDouble(), 98.2, 0.5);
        EXPECT_DOUBLE_EQ(radiated["percent"].toDouble(),
                         at(antenna, "trimmed", "design_efficiency_percent"));
        EXPECT_NEAR(radiated["db_against_full_size"].toDouble(),
                    10 * std::log10(radiated["percent"].toDouble() /
                                    radiated["full_size_percent"].toDouble()),
                    1e-9);
        const QJsonArray verdict = o["verdict"].toArray();
        EXPECT_TRUE(anyContains(verdict, c.words));
        EXPECT_EQ(verdict.first().toString().startsWith("Most of the power"), c.leads);
    }
}

double figure(const QJsonObject& power, const char* antenna, const char* key) {
    return power[antenna].toObject()[key].toDouble();
}

TEST(Regression, ThePowerFiguresAreTheEnginesCurrentsScaledAndAddUp) {
    // The typical design trimmed, at 100 W: about 1.3 A and 0.4 kV rms across each coil and
    // 2.1 W of heat in it, as worked out beside the check with nec2c. What the engine says is
    // radiated, with both coils' heat and the wire's, is the power put in.
    const QJsonObject o = checked(design("7.05", "15", "3", "16", "50", "40", "20"));
    const QJsonObject power = o["power"].toObject();
    EXPECT_NEAR(figure(power, "trimmed", "coil_current_a"), 1.3, 0.05);
    EXPECT_NEAR(figure(power, "trimmed", "coil_voltage_v"), 400, 20);
    EXPECT_NEAR(figure(power, "trimmed", "coil_heat_key_down_w"), 2.1, 0.1);
    EXPECT_DOUBLE_EQ(figure(power, "trimmed", "coil_heat_average_w"),
                     0.2 * figure(power, "trimmed", "coil_heat_key_down_w"));
    const double radiated = o["antenna"].toObject()["radiated"].toObject()["percent"].toDouble();
    EXPECT_NEAR(radiated + 2 * figure(power, "trimmed", "coil_heat_key_down_w") +
                    figure(power, "trimmed", "wire_heat_key_down_w"),
                100.0, 1.0);
    EXPECT_TRUE(anyContains(o["verdict"].toArray(), "use end insulators rated"));

    // Four times the power at full duty: twice the current and voltage, the average heat all of
    // the key-down heat.
    const QJsonObject four = checked(design("7.05", "15", "3", "16", "50", "40", "20") +
                                     QStringList{"--power", "400", "--mode", "digital"})["power"]
                                 .toObject();
    EXPECT_NEAR(figure(four, "trimmed", "coil_voltage_v"),
                2 * figure(power, "trimmed", "coil_voltage_v"), 1e-6);
    EXPECT_NEAR(figure(four, "trimmed", "coil_heat_average_w"),
                4 * figure(power, "trimmed", "coil_heat_key_down_w"), 1e-6);
}

// The warming note once said the rise erred "about 20 % on the warm side" for every coil: the
// former left out takes twice that off the typical coil's rise, and a fraction of it off a long
// coil's. It now gives the share for the coil in hand, wound on a tube or a rod.
TEST(Regression, TheWarmingNoteSaysWhatTheFormerLeftOutWouldTakeOff) {
    const struct {
        QStringList arguments;
        const char* former;
        double least, most;
    } rows[] = {
        {design("7.05", "15", "3", "16", "50", "40", "20"), "tube of 2 mm wall", 0.35, 0.55},
        {design("7.05", "15", "3", "16", "50", "40", "20") +
             QStringList{"--former-material", "pvc"},
         "rod", 0.55, 0.75},
        {longCoilsOn80(), "tube of 2 mm wall", 0.03, 0.12},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.former);
        const QJsonObject power = checked(row.arguments)["power"].toObject();
        const double rise = figure(power, "trimmed", "coil_temperature_rise_k");
        const double with = figure(power, "trimmed", "coil_temperature_rise_with_former_k");
        const double share = 1.0 - with / rise;
        EXPECT_GE(share, row.least);
        EXPECT_LE(share, row.most);
        const QString words = QString("a PVC %1 reaching well past each end would take about %2 "
                                      "% off the rise")
                                  .arg(row.former)
                                  .arg(std::lround(share * 100));
        EXPECT_TRUE(anyContains(power["notes"].toArray(), words.toUtf8().constData()))
            << words.toStdString();
    }
}

TEST(Regression, CoilsThatFailAtThePowerLeadTheVerdictWithThePowerTheyHold) {
    // Three turns of thin wire close-wound for 21 MHz: 10 W of heat key-down and 460 V peak
    // between enamelled turns at 100 W SSB.
    const QJsonObject o = checked(design("21.22", "3.86", "0.48", "18", "102", "16.8", "18"));
    const QJsonObject trimmed = o["power"].toObject()["trimmed"].toObject();
    const double holds =
        std::min({trimmed["turns_limit_w"].toDouble(), trimmed["former_limit_w"].toDouble(),
                  trimmed["enamel_limit_w"].toDouble()});
    EXPECT_LT(holds, 100.0);
    const QString first = o["verdict"].toArray().first().toString();
    EXPECT_TRUE(first.startsWith("At 100 W SSB the coils fail")) << first.toStdString();
    EXPECT_TRUE(first.contains(QString("They hold up to %1 W SSB").arg(std::floor(holds))))
        << first.toStdString();
    EXPECT_TRUE(first.contains("wind the coil named below"));
    EXPECT_TRUE(anyContains(o["verdict"].toArray(), "The coil to wind"));

    // A kilowatt of CW through 8 turns of SWG 18 for 21 MHz: the winding past its enamel's rating,
    // said as the wire being too thin, where it once read that the wire does not carry the
    // current.
    const QJsonObject kw = checked(design("21.2", "5", "1.2", "14", "25", "20", "18") +
                                   QStringList{"--power", "1000", "--mode", "cw"});
    const QString lead = kw["verdict"].toArray().first().toString();
    EXPECT_TRUE(lead.startsWith("At 1000 W CW the coils fail: each winding would run about"))
        << lead.toStdString();
    EXPECT_TRUE(
        lead.contains("above the air, past the 105 °C its enamel (rated 130 °C) takes in air at "
                      "25 °C (the wire is too thin for the current)"))
        << lead.toStdString();
}

// A coil warming past a limit reads as past it: 40.2 °C once read "about 40 °C, more than the
// 40 °C a plastic former takes". The printed rise is the JSON's, to its decimals.
TEST(Regression, ARiseThatFailsReadsAboveItsLimit) {
    const QStringList rows[] = {
        design("7.1", "12.03", "0.6", "16", "50", "60", "20"),
        design("10.12", "8.44", "0.42", "16", "40", "40", "20") + QStringList{"--turns", "18"},
    };
    const QRegularExpression said(QString::fromUtf8(
        "would warm by about ([0-9.]+) \u00b0C, more than the ([0-9.]+) \u00b0C"));
    for (const QStringList& args : rows) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const QJsonObject o = checked(args);
        const QString first = o["verdict"].toArray().first().toString();
        const QRegularExpressionMatch m = said.match(first);
        ASSERT_TRUE(m.hasMatch()) << first.toStdString();
        EXPECT_GT(m.captured(1).toDouble(), m.captured(2).toDouble()) << first.toStdString();
        const QJsonObject power = o["power"].toObject();
        const QJsonObject hung = power[power["trimmed"].isNull() ? "built" : "trimmed"].toObject();
        const QString printed = m.captured(1);
        const int decimals =
            printed.contains('.') ? int(printed.size() - printed.indexOf('.') - 1) : 0;
        EXPECT_EQ(printed,
                  QString::number(hung["coil_temperature_rise_k"].toDouble(), 'f', decimals));
    }
}

// The coil to wind's Q is estimated. Where the builder gave the planned coil's Q, a third of its
// estimate, the verdict promised the named coil's estimate in full (+1.5 dB on 160 m); it now
// says how far the estimate missed the planned coil, which way.
TEST(Regression, TheCoilToWindSaysItsQIsEstimatedWhereTheBuildersWasGiven) {
    const struct {
        const char* q; // nullptr: none given
        const char* says;
    } rows[] = {
        {"150", "may fall as far short of its own."},
        {"520", "may do as much better than its own."},
        {nullptr, nullptr},
    };
    for (const auto& row : rows) {
        QStringList args = design("1.85", "34.64", "5.2", "24", "110", "300", "16");
        if (row.q) {
            args << "--coil-q" << row.q;
        }
        SCOPED_TRACE(args.join(' ').toStdString());
        const QJsonObject o = checked(args);
        const QJsonObject losses = o["losses"].toObject();
        QString wind;
        for (const QJsonValue& value : o["verdict"].toArray()) {
            if (value.toString().startsWith("The coil to wind")) {
                wind = value.toString();
            }
        }
        ASSERT_FALSE(wind.isEmpty());
        if (!row.q) {
            EXPECT_FALSE(wind.contains("You gave")) << wind.toStdString();
            continue;
        }
        const QString given = QString("You gave the planned coil Q %1 where its estimate is %2: "
                                      "the coil named, whose Q is estimated, %3")
                                  .arg(row.q)
                                  .arg(std::lround(losses["estimated_q"].toDouble()))
                                  .arg(row.says);
        EXPECT_TRUE(wind.endsWith(given)) << wind.toStdString();
    }
}

// A transformer that leaves the SWR at F above 2 leaves no 2:1 band. A 20 m antenna of 2.51 m
// whose best usual ratio, 1:2, leaves 2.1 once read that "the SWR stays under 2 beyond the swept
// range on at least one side".
TEST(Regression, ATransformerThatLeavesTheSwrAboveTwoLeavesNoBand) {
    const QStringList rows[] = {
        shortOn20(),
        longCoilsOn80(),
    };
    for (const QStringList& args : rows) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const QJsonObject o = checked(args);
        const QJsonObject transformer = o["antenna"]["matching"]["transformer"].toObject();
        ASSERT_FALSE(transformer.isEmpty());
        const bool under = transformer["design_swr"].toDouble() < 2.0;
        QString said;
        for (const QJsonValue& value : o["verdict"].toArray()) {
            if (value.toString().startsWith("With a 1:")) {
                said = value.toString().section(". Or an L-network", 0, 0);
            }
        }
        ASSERT_FALSE(said.isEmpty());
        EXPECT_EQ(said.endsWith("and it leaves no 2:1 band"), !under) << said.toStdString();
        EXPECT_EQ(said.contains("its 2:1 band runs from"),
                  under && !transformer["band_lower_mhz"].isNull() &&
                      !transformer["band_upper_mhz"].isNull())
            << said.toStdString();
    }
}

// A coil to wind that is long says so, as the planned coil's losses do: the lumped model is less
// sure of it. On a 20 m antenna of 2.51 m only 60 turns of SWG 14 on 25 mm, 122 mm long, hold
// the 100 W; the typical design's coil to wind is short.
TEST(Regression, ALongCoilToWindSaysItIsLong) {
    const struct {
        QStringList args;
        bool isLong;
    } rows[] = {
        {shortOn20(), true},
        {design("7.05", "15", "3", "16", "50", "40", "20"), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const QJsonObject o = checked(row.args);
        const QJsonObject wind = o["power"]["coil_to_wind"].toObject();
        const QJsonObject named =
            wind[wind["on_former"].isNull() ? "other_former" : "on_former"].toObject();
        ASSERT_FALSE(named.isEmpty());
        EXPECT_EQ(named["long_coil"].toBool(), row.isLong);
        int said = 0;
        for (const QJsonValue& value : o["verdict"].toArray()) {
            said += value.toString().startsWith("The coil to wind") &&
                    value.toString().contains(
                        " long, a long coil, whose current falls along it: the model is less "
                        "sure of it), Q ");
        }
        EXPECT_EQ(said, row.isLong ? 1 : 0);
    }
}

// The coils named where the planned one cannot load the antenna say which are long, as the coil
// to wind does. On 20 m every coil of 28.6 uH has a quarter wavelength of wire; on 40 m the
// list ends in long ones where no more short ones clear the margin.
TEST(Regression, TheCoilsThatWouldDoSayWhichAreLong) {
    const struct {
        QStringList args;
        int longCoils;
        const char* said; // nullptr: no long coil is named
    } rows[] = {
        {design("14.2", "4.75", "2.02", "16", "100", "390", "18") +
             QStringList{"--pitch", "6.5", "--turns", "23", "--no-antenna"},
         1, "). It is a long coil, whose current falls along it: the model is less sure of it."},
        {design("7.277", "14.03", "6.39", "26", "125.9", "79", "20") + QStringList{"--no-antenna"},
         3, "; a long coil). A long coil's current falls along it: the model is less sure of it."},
        {design("7.05", "6", "2", "16", "120", "300", "24") + QStringList{"--no-antenna"}, 0,
         nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const QJsonObject o = checked(row.args);
        int longCoils = 0;
        for (const QJsonValue& coil : o["alternatives"]["coils"].toArray()) {
            longCoils += coil["long_coil"].toBool();
        }
        EXPECT_EQ(longCoils, row.longCoils);
        const QJsonArray verdict = o["verdict"].toArray();
        EXPECT_TRUE(anyContains(verdict, "would do: "));
        EXPECT_EQ(anyContains(verdict, "long coil"), row.said != nullptr);
        if (row.said) {
            EXPECT_TRUE(anyContains(verdict, row.said));
        }
    }
}

// The turns that would keep the designed length are as uncertain as the coils they are: on 40 m,
// 27 spaced turns on 100 mm where 31 are planned, long coils whose share is their own (their
// rise is less than the planned coil's); the typical design's 10 turns are short and no share
// is shown. Where the turns are those wound (80 m, 25 spaced turns) their uncertainty is the
// built antenna's.
// Long coils spaced five wire diameters or more are also modelled as NEC-2's helices: the
// warning gives that antenna's resonances as the JSON has them and the wire each tip wants
// beyond the trim, which the spare covers. Long coils closer wound are not, and a warning says
// why (the other reasons: advice_test.cpp).
TEST(Regression, SpacedLongCoilsAreAlsoModelledAsHelices) {
    const QJsonObject o = checked(longCoilsOn80());
    const QJsonObject antenna = o["antenna"].toObject();
    const QJsonObject helix = antenna["helix"].toObject();
    ASSERT_FALSE(helix.isEmpty());
    EXPECT_EQ(helix["turns"].toInt(), 42);
    const double built = helix["built_resonance_mhz"].toDouble();
    const double trimmed = helix["trimmed_resonance_mhz"].toDouble();
    // NEC-2's helix of these coils resonates above the lumped ones (helix_antenna_test.cpp).
    EXPECT_GT(built, at(antenna, "built", "resonance_mhz"));
    EXPECT_GT(trimmed, at(antenna, "trimmed", "resonance_mhz"));
    const double beyond =
        helix["tip_change_m"].toDouble() - antenna["trim"].toObject()["tip_change_m"].toDouble();
    EXPECT_GT(beyond, 0.1);
    EXPECT_GE(o["cut_list"].toObject()["tip_spare_m"].toDouble(), beyond - 1e-9);
    const QString said =
        "Modelled as helices in NEC-2 (42 turns each), which carries the fall of the current "
        "along each coil, the antenna resonates at " +
        QString::number(built, 'f', 3) + " MHz ± " +
        QString::number(helix["built_uncertainty_percent"].toDouble(), 'f', 1) +
        " % as built and at " + QString::number(trimmed, 'f', 3) + " MHz ± " +
        QString::number(helix["trimmed_uncertainty_percent"].toDouble(), 'f', 1) +
        " % trimmed: for 3.6 MHz each tip wants " + QString::number(beyond * 100, 'f', 1) +
        " cm more wire than the trim gives.";
    EXPECT_TRUE(anyContains(o["warnings"].toArray(), said.toUtf8().constData()))
        << said.toStdString();

    const struct {
        QStringList args;
        const char* why;
    } without[] = {
        {design("3.6", "14", "3", "16", "40", "90", "18"),
         "NEC-2's thin wires hold a helix only with its turns 5 wire diameters apart or more, and "
         "these are 1.0"},
        // Spaced, but 14 cm from the feed: the winding reaches its segment.
        {design("3.6", "14", "0.14", "16", "100", "390", "18") +
             QStringList{"--pitch", "6.5", "--turns", "42"},
         "wound as NEC-2's helices, the coils would reach the feed's own segment or the tips"},
        // Spaced, on 160 m with half the inductance step 1 asks: no resonance near F.
        {design("1.85", "30", "12", "16", "100", "390", "18") +
             QStringList{"--pitch", "6.5", "--turns", "90"},
         "the antenna as built has no resonance within 30 % of 1.85 MHz, so that of its helices "
         "was not sought"},
    };
    for (const auto& row : without) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const QJsonObject w = checked(row.args);
        EXPECT_TRUE(w["losses"].toObject()["long_coil"].toBool());
        EXPECT_TRUE(w["antenna"].toObject()["helix"].isNull());
        EXPECT_TRUE(anyContains(
            w["warnings"].toArray(),
            (std::string("The current's fall along the coils is not modelled: ") + row.why + ".")
                .c_str()));
    }
}

TEST(Regression, TheTurnsThatKeepTheLengthCarryTheirUncertainty) {
    const struct {
        QStringList args;
        bool isLong;
    } rows[] = {
        {design("7.1", "8", "2.8", "16", "100", "390", "18") +
             QStringList{"--pitch", "6.5", "--turns", "31"},
         true},
        {design("3.6", "18.72", "2.34", "16", "100", "390", "18") +
             QStringList{"--pitch", "6.5", "--turns", "25"},
         true},
        {design("7.05", "15", "3", "16", "50", "40", "20"), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const QJsonObject o = checked(row.args);
        const QJsonObject antenna = o["antenna"].toObject();
        const QJsonObject needed = antenna["needed_coil"].toObject();
        ASSERT_EQ(needed["outcome"].toString(), QStringLiteral("found"));
        const double mhz = needed["turns_resonance_mhz"].toDouble();
        const double percent = needed["turns_resonance_uncertainty_percent"].toDouble();
        const double built = at(antenna, "built", "resonance_uncertainty_percent");
        const QString resonate = "resonate at " + QString::number(mhz, 'f', 3) + " MHz";
        if (row.isLong) {
            EXPECT_GT(percent, 1.0);
            const int wound = o["inputs"].toObject()["turns"].toInt();
            if (needed["turns"].toInt() == wound) {
                EXPECT_DOUBLE_EQ(percent, built);
            } else {
                EXPECT_LT(needed["turns"].toInt(), wound);
                EXPECT_LT(percent, built);
            }
            EXPECT_TRUE(anyContains(o["verdict"].toArray(),
                                    (resonate + " ± " + QString::number(percent, 'f', 1) + " %.")
                                        .toUtf8()
                                        .constData()));
        } else {
            EXPECT_LT(percent, 0.05);
            EXPECT_TRUE(anyContains(o["verdict"].toArray(), (resonate + ".").toUtf8().constData()));
        }
    }
}

TEST(Regression, TheCoilToWindRadiatesAndHoldsWhatTheReportSays) {
    // The coil the report names, wound and checked in its place: the antenna radiates the
    // share the report estimated and the coils hold the power it said.
    struct Case {
        QStringList args;
        const char* former;
    };
    for (const Case& c :
         {Case{design("7.05", "15", "3", "16", "50", "40", "20"), "on_former"},
          Case{design("21.22", "3.86", "0.48", "18", "102", "16.8", "18"), "other_former"}}) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QJsonObject o = checked(c.args);
        const QJsonObject wind = o["power"].toObject()["coil_to_wind"].toObject();
        const QJsonObject choice = wind[c.former].toObject();
        ASSERT_FALSE(choice.isEmpty());
        EXPECT_GT(choice["q"].toDouble(), 1.1 * wind["planned_q"].toDouble());
        EXPECT_GT(choice["radiated_percent"].toDouble(),
                  wind["planned_radiated_percent"].toDouble());
        QStringList args = c.args;
        const auto set = [&args](const QString& option, const QString& value) {
            const int at = static_cast<int>(args.indexOf(option));
            if (at >= 0) {
                args[at + 1] = value;
            } else {
                args << option << value;
            }
        };
        set("--former", QString::number(choice["former_mm"].toDouble()));
        set("--coil-wire", QString::number(choice["coil_wire_swg"].toInt()));
        set("--turns", QString::number(choice["turns"].toDouble()));
        set("--pitch", QString::number(choice["pitch_mm"].toDouble(), 'g', 17));
        const QJsonObject wound = checked(args);
        EXPECT_NEAR(wound["antenna"].toObject()["radiated"].toObject()["percent"].toDouble(),
                    choice["radiated_percent"].toDouble(), 1.0);
        const QJsonObject power = wound["power"].toObject();
        const QJsonObject hung =
            power[power["trimmed"].isObject() ? "trimmed" : "built"].toObject();
        const double holds =
            std::min({hung["turns_limit_w"].toDouble(), hung["former_limit_w"].toDouble(),
                      hung["enamel_limit_w"].toDouble()});
        EXPECT_NEAR(holds, choice["holds_w"].toDouble(), 0.1 * holds);
        EXPECT_GE(holds, 100.0);
    }
}

TEST(Regression, AFewTurnsCoilFillsItsTurnsRowAsTheCheckWouldWindIt) {
    // Three turns: one more or fewer moves the resonance by a fifth or more, where one Newton
    // and one secant step once left the row "- / -" and named the self-capacitance instead.
    // Each side is held against the check itself, winding that many turns at the trimmed length.
    const QStringList args = design("19.281", "4.56", "0", "24", "128", "11", "14");
    const QJsonObject o = checked(args);
    const QJsonObject tolerances = o["antenna"].toObject()["tolerances"].toObject();
    const QJsonObject turns = tolerances["rows"].toObject()["turns"].toObject();
    EXPECT_EQ(tolerances["matters_most"].toString(), QStringLiteral("turns"));
    const double base = tolerances["resonance_mhz"].toDouble();
    const QString trimmed =
        QString::number(o["antenna"].toObject()["trim"].toObject()["trimmed_length_m"].toDouble());
    const auto wound = [&](const char* n) {
        QStringList again = design("19.281", "4.56", "0", "24", "128", "11", "14");
        again[again.indexOf(QStringLiteral("--length")) + 1] = trimmed;
        again << "--turns" << n;
        const QJsonObject built = checked(again)["antenna"].toObject()["built"].toObject();
        return built.value("resonance_mhz");
    };
    ASSERT_FALSE(turns["more"].isNull());
    const double more = base + turns["more"].toObject()["resonance_move_khz"].toDouble() / 1000;
    EXPECT_NEAR(more, wound("4").toDouble(), 0.002 * 19.281);
    EXPECT_TRUE(turns["less"].isNull());
    EXPECT_TRUE(turns["less_beyond_window"].toBool());
    EXPECT_TRUE(wound("2").isNull()); // no resonance within 30 % of F
    EXPECT_TRUE(tolerances["sentence"].toString().contains("more than 30 %"));
}

TEST(Regression, TheTrimmedAntennaIsTheCheckOfThatLength) {
    // The trimmed figure once came from the built antenna's segments stretched over the longer
    // wire: 7.2832 MHz where the same coil at 7.64 m, cut afresh, gave 7.2983, outside the
    // stated 0.18 %. And on a 2 m antenna whose tips move it half a per cent a centimetre,
    // whole centimetres left it 0.46 % above F; it is trimmed to the millimetre now.
    struct Case {
        QStringList args;
        const char* turns;
        bool millimetres;
    };
    for (const Case& c :
         {Case{design("7.291", "7.38", "2.28", "24", "20", "93", "28"), "52", true},
          Case{design("28.123", "2.03", "0.72", "22", "36.7", "142", "20"), "14", true}}) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QJsonObject antenna = checked(c.args)["antenna"].toObject();
        const QJsonObject trim = antenna["trim"].toObject();
        ASSERT_EQ(trim["outcome"].toString(), QStringLiteral("reached"));
        const double tipCm = trim["tip_change_m"].toDouble() * 100;
        EXPECT_EQ(std::abs(tipCm - std::round(tipCm)) > 1e-6, c.millimetres) << tipCm;
        const double f = c.args[1].toDouble();
        const double trimmed = at(antenna, "trimmed", "resonance_mhz");
        const double stated = at(antenna, "trimmed", "resonance_uncertainty_percent") / 100;
        EXPECT_LE(std::abs(trimmed / f - 1), std::max(stated, 0.0005));
        // The same coil, checked as built at the trimmed length.
        QStringList again = c.args;
        again[again.indexOf(QStringLiteral("--length")) + 1] =
            QString::number(trim["trimmed_length_m"].toDouble(), 'g', 12);
        again << "--turns" << c.turns;
        const QJsonObject built = checked(again)["antenna"].toObject()["built"].toObject();
        EXPECT_NEAR(built.value("resonance_mhz").toDouble(), trimmed, 1e-9 * f);
    }
}

TEST(Regression, CoilsNearTheTipsAreModelledWithTheirUncertainty) {
    // Once refused or five per cent off between segmentations; now answered, with the spread.
    for (const QStringList& args : {design("3.956", "15.81", "7.57", "24", "34", "75.3", "24")}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const QJsonObject built = checked(args)["antenna"].toObject()["built"].toObject();
        if (!built["resonance_mhz"].isNull()) {
            EXPECT_GT(built["resonance_uncertainty_percent"].toDouble(), 0.0);
        }
    }
}

// The uncertainty warning names the long coils' share only of an antenna wound with them. 74
// turns where step 1 asks for 33 leave the antenna as built no resonance near F, and the
// largest uncertainty was the designed antenna's 0.3 %, of step 1's coils, which the warning
// said was 17.3 % the long coils'. With a resonance as built, the share is part of the whole.
TEST(Regression, TheLongCoilsShareIsOfAnAntennaWoundWithThem) {
    const struct {
        QStringList args;
        bool builtResonates;
    } rows[] = {
        {design("7.1", "13", "5.5", "16", "40", "100", "22") + QStringList{"--turns", "74"}, false},
        {longCoilsOn80(), true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const QJsonObject o = checked(row.args);
        const QJsonObject antenna = o["antenna"].toObject();
        ASSERT_TRUE(o["losses"].toObject()["long_coil"].toBool());
        EXPECT_EQ(!antenna["built"].toObject()["resonance_mhz"].isNull(), row.builtResonates);
        int named = 0;
        for (const QJsonValue& value : o["warnings"].toArray()) {
            const QString line = value.toString();
            const QRegularExpression share(QString::fromUtf8(
                "uncertain by \u00b1 ([0-9.]+) %: \u00b1 ([0-9.]+) % of it is the long coils'"));
            const QRegularExpressionMatch m = share.match(line);
            if (m.hasMatch()) {
                ++named;
                EXPECT_LT(m.captured(2).toDouble(), m.captured(1).toDouble()) << line.toStdString();
            }
        }
        EXPECT_EQ(named, row.builtResonates ? 1 : 0);
    }
}

// The spare kept on each tip covers the long coils' share of the uncertainty, the wire the
// helix's higher resonance would want. Where the trim was under a centimetre the spare was the
// plain 5 cm: on a 20 m antenna of 2.51 m whose coils' share is 6 %, about 10 cm short.
TEST(Regression, TheSpareCoversTheLongCoilsShareWhateverTheTrim) {
    const QStringList rows[] = {
        shortOn20(),
        longCoilsOn80(),
    };
    for (const QStringList& args : rows) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const QJsonObject o = checked(args);
        const QJsonObject antenna = o["antenna"].toObject();
        const double spread = antenna["coil_model_spread_percent"].toDouble() / 100;
        ASSERT_GT(spread, 0.0);
        const double f = antenna["trimmed"]["resonance_mhz"].toDouble();
        const double perCm =
            antenna["tolerances"]["rows"]["tips"]["more"]["resonance_move_khz"].toDouble() / 1000;
        ASSERT_LT(perCm, 0.0);
        const double wanted = spread * f / std::abs(perCm) / 100; // m
        // The trim's own slope stands in where it moved the tips; the two differ by the curve's
        // bend over the trim.
        EXPECT_GE(o["cut_list"]["tip_spare_m"].toDouble(), 0.9 * wanted);
    }
}

TEST(Regression, CoilsThatEndWithinAJointOfTheTipsAreNotModelled) {
    // Once reported to 0.00 % where NEC-2 at finer segments gave 2 to 7 % more: the coil and
    // the stub beyond it nearly resonate, and the answer swings with the segments.
    struct Case {
        QStringList args;
        const char* where;
    };
    for (const Case& c : {Case{design("7.05", "15", "7.45", "16", "50", "40", "20"),
                               "each reaches 5.1 cm past its tip"},
                          Case{design("7.05", "15", "7.49", "16", "50", "40", "20"),
                               "each reaches 23.0 cm past its tip"},
                          Case{design("14.1", "6", "2.98", "18", "30", "25", "22"),
                               "each reaches 6.5 cm past its tip"}}) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.exitCode, 65);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find("too close to the tips"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.where), std::string::npos) << run.err;
        // What to change: B for a joint's length of wire beyond the coil's end.
        EXPECT_NE(run.err.find("move the coils in to B = "), std::string::npos) << run.err;
    }
}

TEST(Regression, ATrimFollowsTheTipsInToAJointBeyondTheCoils) {
    // Once "even cut back to the coils" with 16 to 30 cm of wire still beyond each coil, where
    // the search stopped at the model's segmentation and F lay further in.
    // The last once ended "the search ran out of tries": the trimmed antenna's segmentation at
    // each of two lengths pointed at the other.
    struct Case {
        QStringList args;
        double oldLimit; // m, the length once called "cut back to the coils"
        // m, where NEC-2 on an even deck puts F with the floating coil's capacitance and the
        // straight wire's excess (convergence_test.cpp holds these trimmed antennas against it:
        // 1.89 m resonates 0.3 % above F, 3.77 m 0.2 % above). The second's coil is 18
        // diameters long, and its capacitance the helical line's.
        double atF;
    };
    for (const Case& c :
         {Case{design("28.123", "2.03", "0.72", "22", "36.7", "142", "20"), 1.753, 1.90},
          Case{design("18.132", "2.83", "0.65", "12", "16", "142", "10"), 2.089, 2.40},
          Case{design("21.297", "3.97", "1.74", "10", "54", "11.3", "10"), 3.758, 3.78}}) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QJsonObject o = checked(c.args);
        const QJsonObject trim = o["antenna"].toObject()["trim"].toObject();
        const QString outcome = trim["outcome"].toString();
        EXPECT_EQ(outcome, QStringLiteral("reached"));
        EXPECT_NEAR(trim["trimmed_length_m"].toDouble(), c.atF, 0.03);
        const double shortest = outcome == QStringLiteral("reached")
                                    ? trim["trimmed_length_m"].toDouble()
                                    : trim["limit_length_m"].toDouble();
        // With the floating coil's smaller capacitance and the straight wire's excess taken off
        // its coils, the first and third now reach F before the old limit; any that stops
        // short of F must have gone further in than it once did.
        if (outcome == QStringLiteral("reached")) {
            const double trimmed =
                o["antenna"].toObject()["trimmed"].toObject()["resonance_mhz"].toDouble();
            // A whole centimetre of each tip moves these short antennas by about 1 %.
            EXPECT_NEAR(trimmed / o["inputs"].toObject()["frequency_mhz"].toDouble(), 1.0, 0.01);
        } else {
            EXPECT_LT(shortest, c.oldLimit - 0.04) << outcome.toStdString();
        }
        EXPECT_FALSE(anyContains(o["verdict"].toArray(), "cut back to the coils"));
        if (outcome == QStringLiteral("coils_in_the_way")) {
            // Stopped short of F only where a joint or the model stops it, and says which.
            EXPECT_TRUE(anyContains(o["verdict"].toArray(), "as short as"));
        }
        if (outcome == QStringLiteral("reached")) {
            const double f = c.args[1].toDouble();
            const QJsonObject trimmed = o["antenna"].toObject()["trimmed"].toObject();
            const double spread = trimmed["resonance_uncertainty_percent"].toDouble() / 100;
            // Whole centimetres each tip: half a centimetre's move of both tips, at most.
            const double rounding = 0.01 / trimmed["length_m"].toDouble();
            EXPECT_NEAR(trimmed["resonance_mhz"].toDouble() / f, 1.0, rounding + spread);
        }
    }
}

TEST(Regression, CoilsMillimetresFromTheFeedActLikeCoilsAtTheFeed) {
    // Once 2 % low against both neighbours: the segmentation near the feed, not the coil.
    const auto built = [](const char* b) {
        return at(checked(design("7.05", "15", b, "16", "50", "40", "20"))["antenna"].toObject(),
                  "built", "resonance_mhz");
    };
    const double atFeed = built("0");
    const double fewMillimetres = built("0.005");
    const double fewCentimetres = built("0.05");
    const double fifthOfAMetre = built("0.2");
    // Moving the coils out raises the resonance steadily, a few millimetres hardly at all.
    EXPECT_NEAR(fewMillimetres / atFeed, 1.0, 0.0003);
    EXPECT_LT(atFeed, fewMillimetres);
    EXPECT_LT(fewMillimetres, fewCentimetres);
    EXPECT_LT(fewCentimetres, fifthOfAMetre);
    // Nearly in proportion to B there: within a fifth of the straight line's rise.
    const double line = atFeed + (fifthOfAMetre - atFeed) * 0.05 / 0.2;
    EXPECT_NEAR(fewCentimetres, line, 0.2 * (fifthOfAMetre - atFeed));
}

TEST(Regression, ATrimThatReachesFResonatesThere) {
    for (const QStringList& args : {design("7.05", "15", "3", "16", "50", "40", "20"),
                                    design("3.6", "10", "1", "16", "50", "60", "20"),
                                    design("1.862", "31.6", "0", "28", "26", "46.3", "16")}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const QJsonObject antenna = checked(args)["antenna"].toObject();
        ASSERT_TRUE(antenna["trim"].toObject()["reaches_design"].toBool());
        const double f = args[1].toDouble();
        const double trimmed = at(antenna, "trimmed", "resonance_mhz");
        // Whole centimetres of wire: within the move of one centimetre, and 0.1 % at most.
        EXPECT_NEAR(trimmed / f, 1.0, 0.001);
    }
}

TEST(Regression, NoResonanceAtAllIsSaid) {
    QStringList args = design("7.05", "10", "1", "16", "50", "40", "20");
    args << "--pitch"
         << "5";
    const QJsonObject o = checked(args);
    EXPECT_TRUE(o["antenna"].toObject()["built"].toObject()["resonance_mhz"].isNull());
    EXPECT_FALSE(o["antenna"].toObject()["trim"].toObject()["reaches_design"].toBool());
    // Once an SWR of 625 with "Warnings: None".
    EXPECT_TRUE(anyContains(o["warnings"].toArray(), "no resonance"));
    // No trim moves it, yet the coils that keep the length are given, once "none: no resonance
    // to move": as designed it resonates near F.
    const QJsonObject needed = o["antenna"].toObject()["needed_coil"].toObject();
    ASSERT_EQ(needed["outcome"].toString(), "found");
    EXPECT_NEAR(needed["turns_resonance_mhz"].toDouble(), 7.05, 0.02 * 7.05);
    EXPECT_TRUE(anyContains(o["verdict"].toArray(), "Keep the length and give each coil"));
    EXPECT_FALSE(anyContains(o["verdict"].toArray(), "Or keep the length"));
    // A coil of the same reactance would leave it as it is: none is offered to wind.
    EXPECT_TRUE(o["power"].toObject()["coil_to_wind"].isNull());
    EXPECT_FALSE(anyContains(o["verdict"].toArray(), "The coil to wind"));

    // Forty turns where step 1 asks for nine: 1 % radiated and the coils failing at 100 W, both
    // of the mistuning, so the advice is the coils that keep the length, not a higher Q.
    const QJsonObject forty =
        checked(design("7.05", "15", "3", "16", "50", "40", "20") + QStringList{"--turns", "40"});
    const QJsonArray verdict = forty["verdict"].toArray();
    EXPECT_TRUE(anyContains(verdict, "the coils that keep the length, below, come before any"));
    EXPECT_TRUE(anyContains(verdict, "give the coils the turns named below, then check again"));
    EXPECT_TRUE(anyContains(verdict, "Keep the length and give each coil"));
    EXPECT_FALSE(anyContains(verdict, "Coils of higher Q help most"));
    EXPECT_FALSE(anyContains(verdict, "wind thicker wire on a larger former"));
}

TEST(Regression, ATrimmedAntennaFarFromFiftyOhmIsNotCalledUsable) {
    // 12 ohm at resonance: trimmed onto F, the SWR there still stays near 4.
    const QJsonObject o = checked(design("3.6", "10", "1", "16", "50", "60", "20"));
    const QJsonObject trimmed = o["antenna"].toObject()["trimmed"].toObject();
    ASSERT_GT(trimmed["design_swr"].toDouble(), 2.0);
    EXPECT_TRUE(anyContains(o["verdict"].toArray(), "matching network or transformer"));
    EXPECT_TRUE(anyContains(o["warnings"].toArray(), "ohm at resonance"));
    // And how to match it: the transformer that fits 12.8 ohm is 1:4, and the L-network is
    // exact at F.
    const QJsonObject matching = o["antenna"].toObject()["matching"].toObject();
    const QJsonObject transformer = matching["transformer"].toObject();
    EXPECT_EQ(transformer["ratio"].toDouble(), 4.0);
    EXPECT_LT(transformer["design_swr"].toDouble(), 1.5);
    EXPECT_TRUE(anyContains(o["verdict"].toArray(), "With a 1:4 transformer"));
    EXPECT_FALSE(matching["l_network"].isNull());
}

TEST(Regression, CoilsAtTheFeedAreCutAsModelled) {
    // Each coil starts at the feed point: each half is the coil and the outer wire, nothing more.
    const QJsonObject o = checked(design("1.862", "31.6", "0", "28", "26", "46.3", "16"));
    const QJsonObject cut = o["cut_list"].toObject();
    EXPECT_EQ(cut["inner_wire_m"].toDouble(), 0.0);
    EXPECT_NEAR(cut["outer_wire_m"].toDouble() + cut["coil_winding_length_m"].toDouble(), 31.6 / 2,
                0.0006);
    EXPECT_FALSE(anyContains(o["warnings"].toArray(), "Make B larger"));
}

TEST(Regression, OverGroundTheSkyShareIsApartFromTheEfficiency) {
    QStringList args = design("7.05", "15", "3", "16", "50", "40", "20");
    args << "--height"
         << "10";
    const QJsonObject built = checked(args)["antenna"].toObject()["built"].toObject();
    const QJsonObject sky = built["sky"].toObject();
    ASSERT_FALSE(sky.isEmpty());
    // The ground takes its share: less reaches the sky than the wire and coils let through.
    EXPECT_LT(sky["radiated_into_sky_percent"].toDouble(),
              built["design_efficiency_percent"].toDouble());
    EXPECT_GT(sky["radiated_into_sky_percent"].toDouble(), 20.0);
    EXPECT_GT(sky["max_gain_elevation_deg"].toDouble(), 0.0);
}

TEST(Regression, TheTrimCellAgreesWithTheVerdictWhereNoTrimReachesF) {
    // Once the antenna table's cell said "cut back to a joint ... it is still low" where the
    // verdict said the cut-back antenna resonates above F.
    struct Case {
        QStringList args;
        bool above;        // the cut-back antenna resonates above F
        const char* cell;  // in the antenna table's trim row
        const char* words; // in the verdict
    };
    QStringList text = design("10.1", "8", "3.8", "16", "40", "40", "20");
    text.removeLast();
    text.removeLast();
    QStringList low = design("10.1", "8", "3.9", "16", "30", "40", "22");
    low.removeLast();
    low.removeLast();
    for (const Case& c :
         {Case{text, true, "none reaches F dependably: cut back to a joint beyond the coils",
               "reaches 10.1 MHz dependably"},
          Case{low, false, "none reaches F: cut back to a joint beyond the coils", "even with"}}) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun run = runCli(c.args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find(c.cell), std::string::npos) << run.out;
        EXPECT_NE(run.out.find(c.words), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("it is still low") != std::string::npos, !c.above) << run.out;
        EXPECT_EQ(run.out.find("it resonates above F") != std::string::npos, c.above) << run.out;
    }
}

} // namespace
