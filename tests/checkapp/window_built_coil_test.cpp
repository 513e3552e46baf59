// SPDX-License-Identifier: GPL-3.0-or-later
// The coil as the builder made it, in the window: the wire they have typed into the gauge
// fields, the turns they wound, the coil they measured; read by the command's rules, refused
// beside their fields, checked as the command checks them and kept in the design file.
#include "cli_run.h"
#include "window_fixture.h"

#include <QTemporaryDir>

namespace {} // namespace

// 28 turns of AWG 12: the window's check is the command's, to the figure.
TEST_F(WindowTest, TheTurnsOfAnAwgWireAreTheCommandsCheck) {
    pick("coilWireCombo", "AWG 12");
    type("turnsEdit", "28");
    type("windingLengthEdit", "80");
    ASSERT_TRUE(window->report().has_value());
    const brevan::check::CheckInputs& in = window->report()->inputs;
    ASSERT_TRUE(in.coilWireSize.has_value());
    EXPECT_EQ(in.coilWireSize->system, brevan::check::WireSystem::Awg);
    EXPECT_EQ(in.coilWireSwg, 14);
    EXPECT_EQ(window->report()->coil.coil.turns, 28);
    ASSERT_TRUE(waitForCheck());

    const CliRun cli = runCli({"--frequency", "7.05",   "--length", "15", "--distance",       "3",
                               "--wire",      "16",     "--former", "50", "--coil-length",    "40",
                               "--coil-wire", "AWG 12", "--turns",  "28", "--winding-length", "80",
                               "--format",    "json"});
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    const QJsonObject json = cli.json();
    const auto& report = *window->report();
    EXPECT_EQ(report.losses.apparentInductance * 1e6,
              json["losses"].toObject()["apparent_inductance_uh"].toDouble());
    ASSERT_TRUE(report.antenna.has_value());
    const QJsonObject built = json["antenna"].toObject()["built"].toObject();
    EXPECT_EQ(report.antenna->built.resonanceMHz.value_or(0), built["resonance_mhz"].toDouble());
}

struct BuiltRefusalRow {
    const char* name;
    const char* field;
    const char* typed;
    const char* message;
    const char* words;
};

class BuiltCoilRefusal : public WindowTest,
                         public ::testing::WithParamInterface<BuiltRefusalRow> {};

// What the command refuses shows beside the field it is about.
TEST_P(BuiltCoilRefusal, ShowsTheCommandsWordsBesideTheField) {
    const BuiltRefusalRow row = GetParam();
    if (std::string(row.field).find("Combo") != std::string::npos) {
        pick(row.field, row.typed);
    } else {
        type(row.field, row.typed);
    }
    EXPECT_TRUE(message(row.message).startsWith(QString::fromUtf8(row.words)))
        << message(row.message).toStdString();
    EXPECT_FALSE(find<QAction>("exportJsonAction")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BuiltCoilRefusal,
    ::testing::Values(BuiltRefusalRow{"AwgOutOfRange", "coilWireCombo", "AWG 50",
                                      "coil-wireMessage", "Coil wire: 'AWG 50' is out of range"},
                      BuiltRefusalRow{"NoDiameter", "wireCombo", "0mm", "wireMessage",
                                      "Antenna wire: '0mm' is out of range"},
                      BuiltRefusalRow{"LengthWithoutTurns", "windingLengthEdit", "40",
                                      "winding-lengthMessage", "Winding length needs Turns wound"},
                      BuiltRefusalRow{"NoTurns", "turnsEdit", "0", "turnsMessage",
                                      "Turns wound: '0' is out of range"},
                      BuiltRefusalRow{"ResonanceAlone", "coilSelfResonanceEdit", "12",
                                      "coil-self-resonanceMessage",
                                      "Measured self-resonance needs Measured inductance"},
                      BuiltRefusalRow{"NoInductance", "coilInductanceEdit", "-3",
                                      "coil-inductanceMessage",
                                      "Measured inductance: '-3' is out of range"}),
    [](const auto& row) { return std::string(row.param.name); });

// A measured coil and a millimetre wire are saved as a version 4 design and come back into
// their fields.
TEST_F(WindowTest, AMeasuredCoilIsSavedAndOpenedAgain) {
    QTemporaryDir dir;
    const QString path = dir.filePath("measured.brevan.json");
    type("coilInductanceEdit", "7.4");
    type("coilSelfResonanceEdit", "48");
    pick("wireCombo", "1.63mm");
    ASSERT_TRUE(window->report().has_value());
    ASSERT_TRUE(window->report()->measuredCoil.has_value());
    EXPECT_NEAR(window->report()->measuredCoil->inductance, 7.4e-6, 1e-18);
    EXPECT_EQ(window->report()->losses.selfResonance, 48e6);

    recorded->saveAnswers = {path};
    find<QAction>("saveAction")->trigger();
    const std::string text = contentOf(path).toStdString();
    EXPECT_NE(text.find("\"version\": 4"), std::string::npos) << text;
    EXPECT_NE(text.find("\"wire_mm\": 1.63"), std::string::npos) << text;

    type("coilInductanceEdit", "");
    type("coilSelfResonanceEdit", "");
    pick("wireCombo", "16");
    recorded->unsavedAnswer = UnsavedAnswer::Discard;
    recorded->openAnswers = {path};
    find<QAction>("openAction")->trigger();
    EXPECT_EQ(find<QLineEdit>("coilInductanceEdit")->text(), "7.4");
    EXPECT_EQ(find<QLineEdit>("coilSelfResonanceEdit")->text(), "48");
    EXPECT_EQ(find<QComboBox>("wireCombo")->currentText(), "1.63mm");
    ASSERT_TRUE(window->report().has_value());
    EXPECT_TRUE(window->report()->measuredCoil.has_value());
}
