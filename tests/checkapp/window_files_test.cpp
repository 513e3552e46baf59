// SPDX-License-Identifier: GPL-3.0-or-later
// Designs as files through the window: save, open, the round trip, refusals that keep the
// design shown, the title and the question before changes are lost.
#include "window_fixture.h"

#include <QDir>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

namespace {} // namespace

TEST_F(WindowTest, SaveWritesTheDesignAndNamesItInTheTitle) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dipole.brevan.json");
    EXPECT_TRUE(window->windowTitle().startsWith("Untitled[*]"));
    type("coilQEdit", "150");
    EXPECT_TRUE(window->isWindowModified());

    recorded->saveAnswers = {path};
    find<QAction>("saveAction")->trigger();
    EXPECT_EQ(recorded->dialogs, 1);
    EXPECT_EQ(window->designPath(), path);
    EXPECT_TRUE(window->windowTitle().startsWith("dipole.brevan.json[*]"));
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(contentOf(path), designFileJson(window->report()->inputs));

    // Saved again without a dialog, to the same file.
    type("coilQEdit", "160");
    find<QAction>("saveAction")->trigger();
    EXPECT_EQ(recorded->dialogs, 1);
    const auto read = brevan::check::readDesignFile(contentOf(path).toStdString());
    ASSERT_TRUE(std::holds_alternative<brevan::check::DesignFile>(read));
    EXPECT_EQ(std::get<brevan::check::DesignFile>(read).inputs.coilQ, 160.0);
}

TEST_F(WindowTest, OpenedDesignFillsTheFormAndRoundTrips) {
    QTemporaryDir dir;
    brevan::check::CheckInputs in;
    in.frequencyMHz = 3.65;
    in.lengthM = 20;
    in.distanceM = 4.5;
    in.wireSwg = 14;
    in.formerMm = 40;
    in.coilLengthMm = 60;
    in.coilWireSwg = 18;
    in.pitchMm = 1.5;
    in.ground = {brevan::check::GroundKind::Average, 8};
    const QByteArray saved = designFileJson(in);
    ASSERT_TRUE(writeFile(dir.filePath("a.brevan.json"), saved));
    recorded->openAnswers = {dir.filePath("a.brevan.json")};
    find<QAction>("openAction")->trigger();

    EXPECT_EQ(find<QLineEdit>("frequencyEdit")->text(), "3.65");
    EXPECT_EQ(find<QComboBox>("coilWireCombo")->currentText(), "18");
    EXPECT_EQ(find<QComboBox>("groundCombo")->currentIndex(), 2);
    EXPECT_EQ(find<QLineEdit>("heightEdit")->text(), "8");
    EXPECT_TRUE(find<QComboBox>("bandPicker")->currentText().startsWith("80 m, Region 1"));
    EXPECT_FALSE(window->isWindowModified());

    recorded->saveAnswers = {dir.filePath("b.brevan.json")};
    find<QAction>("saveAsAction")->trigger();
    EXPECT_EQ(contentOf(dir.filePath("b.brevan.json")), saved);
}

struct BrokenRow {
    const char* name;
    QByteArray content;
    const char* words;
};

class RefusedDesign : public WindowTest, public ::testing::WithParamInterface<BrokenRow> {};

TEST_P(RefusedDesign, IsRefusedWithAMessageAndTheDesignKept) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.brevan.json");
    ASSERT_TRUE(writeFile(path, GetParam().content));
    type("lengthEdit", "14");
    window->setWindowModified(false);
    recorded->openAnswers = {path};
    find<QAction>("openAction")->trigger();

    ASSERT_EQ(recorded->messages.size(), 1);
    EXPECT_TRUE(recorded->messages[0].contains(QString::fromUtf8(GetParam().words)))
        << recorded->messages[0].toStdString();
    EXPECT_TRUE(recorded->messages[0].contains("The design shown is kept"));
    EXPECT_EQ(find<QLineEdit>("lengthEdit")->text(), "14");
    EXPECT_TRUE(window->designPath().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusedDesign,
    ::testing::Values(BrokenRow{"Broken", "{\"format\": \"brevan-check design\", ",
                                "not a JSON object"},
                      BrokenRow{"Future", "{\"format\": \"brevan-check design\", \"version\": 7}",
                                "version 7, made by a newer program"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(WindowTest, UnsavedChangesAreAskedAboutBeforeTheyAreLost) {
    type("lengthEdit", "14");
    recorded->unsavedAnswer = UnsavedAnswer::Cancel;
    find<QAction>("openAction")->trigger();
    EXPECT_EQ(recorded->unsavedQuestions, 1);
    EXPECT_EQ(recorded->dialogs, 0); // cancelled: no file dialog
    EXPECT_FALSE(window->close());
    EXPECT_EQ(recorded->unsavedQuestions, 2);

    recorded->unsavedAnswer = UnsavedAnswer::Discard;
    EXPECT_TRUE(window->close());
}

TEST_F(WindowTest, ADroppedDesignFileOpens) {
    QTemporaryDir dir;
    brevan::check::CheckInputs in = window->report()->inputs;
    in.lengthM = 12.5;
    const QString path = dir.filePath("dropped.brevan.json");
    ASSERT_TRUE(writeFile(path, designFileJson(in)));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    // As the desktop delivers a drop: the drag enters, is accepted, then lets go.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &drop);
    EXPECT_TRUE(recorded->messages.isEmpty()) << recorded->messages.join("\n").toStdString();
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(window->designPath(), path);
    EXPECT_EQ(find<QLineEdit>("lengthEdit")->text(), "12.5");
}

// The window's place and the last folder outlive the window.
TEST_F(WindowTest, TheFolderAndTheWindowsPlaceAreRemembered) {
    QTemporaryDir dir;
    recorded->saveAnswers = {dir.filePath("kept.brevan.json")};
    find<QAction>("saveAsAction")->trigger();
    window->resize(900, 640);
    ASSERT_TRUE(window->close());

    QSettings settings;
    EXPECT_EQ(settings.value("files/lastFolder").toString(), QDir(dir.path()).absolutePath());
    auto again = std::make_unique<CheckWindow>(recordingServices(recorded));
    EXPECT_EQ(again->size(), QSize(900, 640));
}

// An inverted V chosen and measured from the keyboard: only its own measure's field is open, the
// command's words show beside the field it is about, and the file keeps the V as given.
TEST_F(WindowTest, AnInvertedVIsChosenTypedSavedAndOpenedAgain) {
    QTemporaryDir dir;
    const QString path = dir.filePath("v.brevan.json");
    EXPECT_FALSE(find<QLineEdit>("legAngleEdit")->isEnabled());
    EXPECT_FALSE(find<QLineEdit>("endsHeightEdit")->isEnabled());

    pick("shapeCombo", "Inverted V, by the a");
    EXPECT_TRUE(find<QLineEdit>("legAngleEdit")->isEnabled());
    EXPECT_FALSE(find<QLineEdit>("endsHeightEdit")->isEnabled());
    type("legAngleEdit", "45");
    EXPECT_TRUE(message("leg-angleMessage").contains("Angle between legs: '45' is out of range"))
        << message("leg-angleMessage").toStdString();
    type("legAngleEdit", "100");
    EXPECT_TRUE(message("leg-angleMessage").isEmpty());
    ASSERT_TRUE(window->report().has_value());
    EXPECT_EQ(window->report()->inputs.hang.shape, brevan::check::HangShape::InvertedV);
    EXPECT_EQ(window->report()->inputs.hang.legAngle, 100.0);

    // The next entry down, as the arrow key gives it.
    find<QComboBox>("shapeCombo")->setFocus();
    QTest::keyClick(find<QComboBox>("shapeCombo"), Qt::Key_Down);
    EXPECT_EQ(find<QComboBox>("shapeCombo")->currentIndex(), 2);
    EXPECT_FALSE(find<QLineEdit>("legAngleEdit")->isEnabled());
    type("endsHeightEdit", "6.5");
    EXPECT_TRUE(message("ends-heightMessage").contains("Ends height needs Height above ground"));
    pick("groundCombo", "Over good");
    EXPECT_TRUE(message("ends-heightMessage").isEmpty());
    ASSERT_TRUE(window->report().has_value());
    EXPECT_EQ(window->report()->inputs.hang.endsHeight, 6.5);

    recorded->saveAnswers = {path};
    find<QAction>("saveAction")->trigger();
    const auto read = brevan::check::readDesignFile(contentOf(path).toStdString());
    ASSERT_TRUE(std::holds_alternative<brevan::check::DesignFile>(read));
    EXPECT_EQ(std::get<brevan::check::DesignFile>(read).inputs.hang.endsHeight, 6.5);

    find<QComboBox>("shapeCombo")->setFocus();
    QTest::keyClick(find<QComboBox>("shapeCombo"), Qt::Key_Home);
    EXPECT_EQ(find<QComboBox>("shapeCombo")->currentIndex(), 0);
    recorded->unsavedAnswer = UnsavedAnswer::Discard;
    recorded->openAnswers = {path};
    find<QAction>("openAction")->trigger();
    EXPECT_EQ(find<QComboBox>("shapeCombo")->currentIndex(), 2);
    EXPECT_EQ(find<QLineEdit>("endsHeightEdit")->text(), "6.5");
    EXPECT_TRUE(find<QLineEdit>("endsHeightEdit")->isEnabled());
    EXPECT_EQ(window->report()->inputs.hang.endsHeight, 6.5);
}
