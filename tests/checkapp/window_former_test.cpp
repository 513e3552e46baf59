// SPDX-License-Identifier: GPL-3.0-or-later
// The coils' former in the window: picked with the keyboard, read by the command's rules into
// the coil's self-capacitance the command gives, and kept in the design file.
#include "cli_run.h"
#include "window_fixture.h"

#include <QApplication>
#include <QTemporaryDir>

TEST_F(WindowTest, FormerMaterialGivesTheCommandsCapacitanceAndIsSaved) {
    auto* permittivity = find<QLineEdit>("formerPermittivityEdit");
    EXPECT_FALSE(permittivity->isEnabled()); // a tube at first
    ASSERT_TRUE(window->report().has_value());
    const double onTube = window->report()->losses.selfCapacitance;

    // Another rod enables its permittivity; a preset does not need one.
    pick("formerMaterialCombo", "Other");
    EXPECT_TRUE(permittivity->isEnabled());
    type("formerPermittivityEdit", "4.5");
    ASSERT_TRUE(window->report().has_value());
    EXPECT_EQ(window->report()->inputs.formerPermittivity, 4.5);
    QTest::qWait(QApplication::keyboardInputInterval() + 100); // a new search, not "OtherPTFE"
    pick("formerMaterialCombo", "PTFE");
    EXPECT_FALSE(permittivity->isEnabled());
    ASSERT_TRUE(window->report().has_value());
    EXPECT_EQ(window->report()->inputs.formerPermittivity, 2.1);
    EXPECT_GT(window->report()->losses.selfCapacitance, onTube);
    ASSERT_TRUE(waitForCheck());

    const CliRun cli =
        runCli(typicalDesign({"--former-material", "ptfe", "--no-antenna", "--format", "json"}));
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    const QJsonObject losses = cli.json()["losses"].toObject();
    EXPECT_EQ(window->report()->losses.selfCapacitance * 1e12,
              losses["self_capacitance_pf"].toDouble());

    // Saved and opened again, the form shows the same choice.
    QTemporaryDir dir;
    const QString path = dir.filePath("ptfe.brevan.json");
    recorded->saveAnswers = {path};
    find<QAction>("saveAction")->trigger();
    QTest::qWait(QApplication::keyboardInputInterval() + 100);
    pick("formerMaterialCombo", "Tube");
    recorded->unsavedAnswer = UnsavedAnswer::Discard;
    ASSERT_TRUE(window->openDesign(path));
    EXPECT_EQ(find<QComboBox>("formerMaterialCombo")->currentIndex(), 1);
    EXPECT_FALSE(permittivity->isEnabled());
    ASSERT_TRUE(window->report().has_value());
    EXPECT_EQ(window->report()->inputs.formerPermittivity, 2.1);
}
