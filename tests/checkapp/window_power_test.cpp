// SPDX-License-Identifier: GPL-3.0-or-later
// The power and the mode in the window: typed and picked, read by the command's rules, shown as
// the command's figures on their tab, and kept in the design file.
#include "cli_run.h"
#include "window_fixture.h"

#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>

TEST_F(WindowTest, PowerAndModeGiveTheCommandsFiguresAndAreSaved) {
    type("powerEdit", "400");
    pick("modeCombo", "CW");
    ASSERT_TRUE(window->report().has_value());
    EXPECT_EQ(window->report()->inputs.power.watts, 400.0);
    EXPECT_EQ(window->report()->inputs.power.mode, brevan::check::Mode::Cw);
    ASSERT_TRUE(waitForCheck());
    ASSERT_TRUE(window->report()->power && window->report()->power->trimmed);

    const CliRun cli =
        runCli(typicalDesign({"--power", "400", "--mode", "cw", "--format", "json"}));
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    const QJsonObject trimmed = cli.json()["power"].toObject()["trimmed"].toObject();
    EXPECT_EQ(window->report()->power->trimmed->coil.voltageRms,
              trimmed["coil_voltage_v"].toDouble());
    // The tab shows the rows the report words.
    auto* table = find<QTableWidget>("powerTable");
    ASSERT_GT(table->rowCount(), 0);
    EXPECT_EQ(table->verticalHeaderItem(0)->text(), QStringLiteral("Current in each coil"));
    EXPECT_FALSE(table->item(0, 1)->text().isEmpty());

    // Saved and opened again, the form shows the same power and mode.
    QTemporaryDir dir;
    const QString path = dir.filePath("cw.brevan.json");
    recorded->saveAnswers = {path};
    find<QAction>("saveAction")->trigger();
    QTest::qWait(QApplication::keyboardInputInterval() + 100);
    pick("modeCombo", "SSB");
    recorded->unsavedAnswer = UnsavedAnswer::Discard;
    ASSERT_TRUE(window->openDesign(path));
    EXPECT_EQ(find<QComboBox>("modeCombo")->currentText(), QStringLiteral("CW"));
    EXPECT_EQ(find<QLineEdit>("powerEdit")->text(), QStringLiteral("400"));
}
