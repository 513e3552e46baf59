// SPDX-License-Identifier: GPL-3.0-or-later
// Insulated antenna wire in the window: picked with the keyboard, read by the command's rules,
// kept in the design file, and the full check's "shorter than bare wire" the command's figure.
#include "cli_run.h"
#include "window_fixture.h"

#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

// The cut list's value on the row of `label`; empty when there is no such row.
QString cutListValue(const QTableWidget* table, const QString& label) {
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->verticalHeaderItem(row)->text() == label) {
            return table->item(row, 0)->text();
        }
    }
    return {};
}

} // namespace

TEST_F(WindowTest, InsulationGivesTheCommandsShorterCutAndIsSaved) {
    auto* thickness = find<QLineEdit>("insulationThicknessEdit");
    auto* permittivity = find<QLineEdit>("insulationPermittivityEdit");
    EXPECT_FALSE(thickness->isEnabled()); // bare wire at first
    EXPECT_FALSE(permittivity->isEnabled());

    // Another material enables its permittivity; a preset does not need one.
    pick("insulationCombo", "Other");
    EXPECT_TRUE(permittivity->isEnabled());
    QTest::qWait(QApplication::keyboardInputInterval() + 100); // a new search, not "OtherPVC"
    pick("insulationCombo", "PVC");
    EXPECT_TRUE(thickness->isEnabled());
    EXPECT_FALSE(permittivity->isEnabled());
    EXPECT_TRUE(message("insulation-thicknessMessage").startsWith("Wire insulation needs"))
        << message("insulation-thicknessMessage").toStdString();
    type("insulationThicknessEdit", "0.8");
    EXPECT_TRUE(message("insulation-thicknessMessage").isEmpty());
    ASSERT_TRUE(window->report().has_value());
    EXPECT_EQ(window->report()->inputs.insulationThicknessMm, 0.8);
    EXPECT_EQ(window->report()->inputs.insulationPermittivity, 3.5);
    ASSERT_TRUE(waitForCheck());

    const CliRun cli = runCli(typicalDesign(
        {"--insulation", "pvc", "--insulation-thickness", "0.8", "--format", "json"}));
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    const QJsonValue shorter =
        cli.json()["antenna"].toObject()["insulation"].toObject().value("shorter_tip_to_tip_m");
    ASSERT_TRUE(shorter.isDouble());
    ASSERT_TRUE(window->report()->antenna && window->report()->antenna->insulation);
    EXPECT_EQ(window->report()->antenna->insulation->shorterTipToTip, shorter.toDouble());
    const QString cell = cutListValue(find<QTableWidget>("cutListTable"), "Shorter than bare wire");
    EXPECT_TRUE(cell.endsWith("cm each tip)")) << cell.toStdString();

    // Saved and opened again, the form shows the same choice.
    QTemporaryDir dir;
    const QString path = dir.filePath("insulated.brevan.json");
    recorded->saveAnswers = {path};
    find<QAction>("saveAction")->trigger();
    QTest::qWait(QApplication::keyboardInputInterval() + 100);
    pick("insulationCombo", "Bare");
    recorded->unsavedAnswer = UnsavedAnswer::Discard;
    EXPECT_FALSE(thickness->isEnabled());
    ASSERT_TRUE(window->openDesign(path));
    EXPECT_EQ(find<QComboBox>("insulationCombo")->currentIndex(), 1);
    EXPECT_EQ(thickness->text(), "0.8");
    EXPECT_EQ(contentOf(path), designFileJson(window->report()->inputs));
}
