// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a person types into it: the command's figures, the command's words beside a
// field that is not accepted, the band picker, the keyboard.
#include "cli_run.h"
#include "window_fixture.h"

#include <QJsonArray>
#include <QLocale>
#include <QTableWidget>
#include <QTemporaryDir>

#include <map>

namespace {

// Every leaf of a JSON value by its path ("antenna.built.resonance_mhz"), so that a difference
// names the field.
void flatten(const QJsonValue& value, const QString& path, std::map<QString, QJsonValue>& out) {
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            flatten(it.value(), path.isEmpty() ? it.key() : path + "." + it.key(), out);
        }
    } else if (value.isArray()) {
        const QJsonArray array = value.toArray();
        for (int i = 0; i < array.size(); ++i) {
            flatten(array.at(i), path + "[" + QString::number(i) + "]", out);
        }
    } else {
        out[path] = value;
    }
}

} // namespace

// Typed with real keys over another design, the typical design gives the command's report
// field by field, and its exports are the command's files byte for byte.
TEST_F(WindowTest, TypedDesignGivesTheCommandsReportAndFiles) {
    QTemporaryDir dir;
    brevan::check::CheckInputs other;
    other.frequencyMHz = 14.2;
    other.lengthM = 7;
    other.distanceM = 1;
    other.wireSwg = 14;
    other.formerMm = 30;
    other.coilLengthMm = 20;
    other.coilWireSwg = 22;
    ASSERT_TRUE(writeFile(dir.filePath("other.brevan.json"), designFileJson(other)));
    ASSERT_TRUE(window->openDesign(dir.filePath("other.brevan.json")));

    type("frequencyEdit", "7.05");
    type("lengthEdit", "15");
    type("distanceEdit", "3");
    pick("wireCombo", "16");
    type("formerEdit", "50");
    type("coilLengthEdit", "40");
    pick("coilWireCombo", "20");
    ASSERT_TRUE(waitForCheck());

    const QString json = dir.filePath("window.json");
    const QString svg = dir.filePath("window.svg");
    const QString deck = dir.filePath("window.nec");
    recorded->saveAnswers = {json, svg, deck};
    find<QAction>("exportJsonAction")->trigger();
    find<QAction>("exportPlotAction")->trigger();
    find<QAction>("exportDeckAction")->trigger();
    EXPECT_TRUE(recorded->messages.isEmpty()) << recorded->messages.join("\n").toStdString();

    const CliRun cli = runCli(typicalDesign({"--format", "json", "--plot", dir.filePath("cli.svg"),
                                             "--deck", dir.filePath("cli.nec")}));
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    std::map<QString, QJsonValue> ours;
    std::map<QString, QJsonValue> theirs;
    flatten(QJsonDocument::fromJson(contentOf(json)).object(), {}, ours);
    flatten(cli.json(), {}, theirs);
    ASSERT_GT(theirs.size(), 50u);
    for (const auto& [path, value] : theirs) {
        EXPECT_EQ(ours[path], value) << path.toStdString();
    }
    EXPECT_EQ(ours.size(), theirs.size());
    EXPECT_EQ(contentOf(json).toStdString(), cli.out);
    EXPECT_EQ(contentOf(svg), contentOf(dir.filePath("cli.svg")));
    EXPECT_EQ(contentOf(deck), contentOf(dir.filePath("cli.nec")));
}

struct RefusalRow {
    const char* name;
    const char* field;
    const char* typed;
    const char* message; // label beside the field
    const char* words;   // the command's, as brevan-check would print them
};

class FieldRefusal : public WindowTest, public ::testing::WithParamInterface<RefusalRow> {};

// What is not accepted shows beside its field, and the results of the last design stay.
TEST_P(FieldRefusal, ShowsTheCommandsWordsBesideTheFieldAndKeepsTheResults) {
    const RefusalRow row = GetParam();
    const QString cutBefore = find<QTableWidget>("cutListTable")->item(0, 0)->text();
    type(row.field, row.typed);
    EXPECT_TRUE(message(row.message).startsWith(QString::fromUtf8(row.words)))
        << message(row.message).toStdString();
    EXPECT_EQ(find<QTableWidget>("cutListTable")->item(0, 0)->text(), cutBefore);
    EXPECT_FALSE(find<QLabel>("verdictLabel")->text().isEmpty());
    EXPECT_FALSE(find<QAction>("exportJsonAction")->isEnabled());

    type(row.field, "3"); // accepted again: the message goes
    EXPECT_TRUE(message(row.message).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FieldRefusal,
    ::testing::Values(RefusalRow{"NotANumber", "lengthEdit", "15 km", "lengthMessage",
                                 "Total length A: '15 km' is not a number"},
                      RefusalRow{"Empty", "formerEdit", "", "formerMessage",
                                 "Coil former diameter is missing"},
                      RefusalRow{"OutOfRange", "frequencyEdit", "0.05", "frequencyMessage",
                                 "Frequency F: '0.05' is out of range"},
                      RefusalRow{"PitchTooClose", "pitchEdit", "0.2", "pitchMessage",
                                 "Pitch: '0.2' is out of range"}),
    [](const auto& row) { return std::string(row.param.name); });

// The user's decimal separator and the full stop are both taken.
TEST(DecimalSeparator, CommaAndFullStopBothReadUnderACommaLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const QString& typed : {QStringLiteral("7,1"), QStringLiteral("7.1")}) {
        auto recorded = std::make_shared<Recorded>();
        CheckWindow window(recordingServices(recorded));
        auto* edit = window.findChild<QLineEdit*>("frequencyEdit");
        EXPECT_EQ(edit->text(), "7,05"); // shown with the user's separator
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, typed);
        ASSERT_TRUE(window.report().has_value());
        EXPECT_EQ(window.report()->inputs.frequencyMHz, 7.1) << typed.toStdString();
        EXPECT_FALSE(window.findChild<QLabel*>("frequencyMessage")->isVisibleTo(&window));
    }
    QLocale::setDefault(before);
}

// A band picked from the keyboard fills in its centre; a frequency typed leaves the picker on
// "as typed".
TEST_F(WindowTest, BandPickerFillsTheCentreAndFollowsTyping) {
    auto* picker = find<QComboBox>("bandPicker");
    EXPECT_EQ(picker->currentIndex(), 0); // 7.05 is no band's centre
    picker->setFocus();
    QTest::keyClicks(picker, "40");
    EXPECT_TRUE(picker->currentText().startsWith("40 m, Regions 1 and 3"));
    EXPECT_EQ(find<QLineEdit>("frequencyEdit")->text(), "7.1");
    EXPECT_EQ(window->report()->inputs.frequencyMHz, 7.1);
    EXPECT_TRUE(window->isWindowModified());
    type("frequencyEdit", "3.75");
    EXPECT_TRUE(picker->currentText().startsWith("80 m, Region 2"))
        << picker->currentText().toStdString();
}

// Tab walks down the form in reading order, and every field has a name a screen reader says.
TEST_F(WindowTest, TabWalksTheFormInOrderAndEveryFieldHasAName) {
    const QStringList order{"bandPicker",
                            "frequencyEdit",
                            "lengthEdit",
                            "distanceEdit",
                            "wireCombo",
                            "formerEdit",
                            "coilLengthEdit",
                            "coilWireCombo",
                            "pitchEdit",
                            "coilQEdit",
                            "formerMaterialCombo",
                            "formerPermittivityEdit",
                            "turnsEdit",
                            "windingLengthEdit",
                            "coilInductanceEdit",
                            "coilSelfResonanceEdit",
                            "groundCombo",
                            "heightEdit",
                            "shapeCombo",
                            "legAngleEdit",
                            "endsHeightEdit",
                            "insulationCombo",
                            "insulationThicknessEdit",
                            "insulationPermittivityEdit",
                            "powerEdit",
                            "modeCombo",
                            "feedlineLengthEdit",
                            "feedlineVfEdit",
                            "feedlineLossEdit",
                            "resultTabs"};
    QWidget* widget = find<QWidget>("bandPicker");
    for (int i = 1; i < order.size(); ++i) {
        // As Tab does, past a widget that hands its focus on (a gauge combo's own line edit).
        do {
            widget = widget->nextInFocusChain();
        } while (
            (widget->focusPolicy() & Qt::TabFocus) == 0 ||
            (widget->focusProxy() != nullptr && widget->focusProxy() == widget->parentWidget()));
        EXPECT_EQ(widget->objectName(), order[i]);
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << order[i].toStdString();
    }
}

// Feet and inches are the window's preference, not the design's: the cut list turns to them at
// once, with no new check, and the next window starts with them.
TEST_F(WindowTest, FeetAndInchesTurnTheCutListAndAreKeptForTheNextWindow) {
    ASSERT_TRUE(window->report().has_value());
    const auto outerToCut = [this] {
        auto* cut = find<QTableWidget>("cutListTable");
        for (int row = 0; row < cut->rowCount(); ++row) {
            if (cut->verticalHeaderItem(row)->text() == QStringLiteral("Outer wire to cut")) {
                return cut->item(row, 0)->text();
            }
        }
        return QString();
    };
    EXPECT_TRUE(outerToCut().endsWith(QStringLiteral(" m"))) << outerToCut().toStdString();
    const brevan::check::CheckInputs before = window->report()->inputs;
    find<QAction>("feetAndInchesAction")->trigger();
    EXPECT_EQ(window->report()->inputs.units, brevan::check::LengthUnits::Imperial);
    EXPECT_EQ(window->report()->inputs.lengthM, before.lengthM);
    EXPECT_TRUE(outerToCut().contains(QStringLiteral(" ft "))) << outerToCut().toStdString();

    CheckWindow next(recordingServices(recorded));
    EXPECT_TRUE(next.findChild<QAction*>(QStringLiteral("feetAndInchesAction"))->isChecked());
    // Back to metres, so the other tests' windows start as a person's first one does.
    find<QAction>("feetAndInchesAction")->trigger();
    EXPECT_TRUE(outerToCut().endsWith(QStringLiteral(" m"))) << outerToCut().toStdString();
}
