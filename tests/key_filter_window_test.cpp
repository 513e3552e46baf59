// SPDX-License-Identifier: GPL-3.0-or-later
// Typed characters on their way into the boxes, with key events built the way an X11 desktop
// delivers them as well as the way QTest builds them.

#include "input_window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>

using brevan::Control;

namespace {

const QString kNumbersOnly = QStringLiteral("Type only numbers");

struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    const char* text;
    const char* textAfter; // the box starts as " 12" with the cursor after the space
    int cursorAfter;
    bool message;
};

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;

class KeyFilters : public InputWindowTest {
protected:
    void SetUp() override {
        InputWindowTest::SetUp();
        QApplication::clipboard()->setText(QStringLiteral("7"));
    }

    // A step-2 box: its change handler never shows a message, so every message is the filter's.
    QLineEdit* numericBox() {
        window().setVisible(Control::Frame4, true);
        QLineEdit* box = edit("txtD1");
        box->setText(QStringLiteral(" 12"));
        box->setCursorPosition(1);
        box->setFocus();
        return box;
    }
};

TEST_F(KeyFilters, NumericBoxesTakeDigitsFullStopsAndBackspace) {
    const KeyCase cases[] = {
        {"digit 9", Qt::Key_9, kNone, "9", " 912", 2, false},
        {"digit 0", Qt::Key_0, kNone, "0", " 012", 2, false},
        {"full stop", Qt::Key_Period, kNone, ".", " .12", 2, false},
        {"keypad 5", Qt::Key_5, Qt::KeypadModifier, "5", " 512", 2, false},
        {"backspace", Qt::Key_Backspace, kNone, "\b", "12", 0, false},
        {"colon, just after 9", Qt::Key_Colon, Qt::ShiftModifier, ":", " 12", 1, true},
        {"slash, just before 0", Qt::Key_Slash, kNone, "/", " 12", 1, true},
        {"letter", Qt::Key_A, kNone, "a", " 12", 1, true},
        {"capital E", Qt::Key_E, Qt::ShiftModifier, "E", " 12", 1, true},
        {"space", Qt::Key_Space, kNone, " ", " 12", 1, true},
        {"minus", Qt::Key_Minus, kNone, "-", " 12", 1, true},
        {"plus", Qt::Key_Plus, Qt::ShiftModifier, "+", " 12", 1, true},
        {"comma", Qt::Key_Comma, kNone, ",", " 12", 1, true},
        {"non-ASCII letter", Qt::Key_Eacute, kNone, "\u00e9", " 12", 1, true},
        {"Alt+letter", Qt::Key_A, Qt::AltModifier, "a", " 12", 1, true},
        {"Enter", Qt::Key_Return, kNone, "\r", " 12", 1, true},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, "\r", " 12", 1, true},
        {"Escape", Qt::Key_Escape, kNone, "\x1b", " 12", 1, true},
        {"Ctrl+V as X11 sends it, no paste", Qt::Key_V, kCtrl, "\x16", " 12", 1, true},
        {"Ctrl+V as QTest builds it, no paste", Qt::Key_V, kCtrl, "v", " 12", 1, true},
        {"Ctrl+C as X11 sends it", Qt::Key_C, kCtrl, "\x03", " 12", 1, true},
        {"Delete as X11 sends it", Qt::Key_Delete, kNone, "\x7f", " 2", 1, false},
        {"Delete as QTest builds it", Qt::Key_Delete, kNone, "", " 2", 1, false},
        {"Left", Qt::Key_Left, kNone, "", " 12", 0, false},
        {"Right", Qt::Key_Right, kNone, "", " 12", 2, false},
        {"Home", Qt::Key_Home, kNone, "", " 12", 0, false},
        {"End", Qt::Key_End, kNone, "", " 12", 3, false},
        {"F1", Qt::Key_F1, kNone, "", " 12", 1, false},
        {"Tab", Qt::Key_Tab, kNone, "\t", " 12", 1, false},
        {"Shift+Tab as X11 sends it", Qt::Key_Backtab, Qt::ShiftModifier, "", " 12", 1, false},
        {"Shift+Tab as QTest builds it", Qt::Key_Backtab, Qt::ShiftModifier, "\x0b", " 12", 1,
         false},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        freshWindow();
        QLineEdit* box = numericBox();
        sendKey(box, c.key, c.modifiers, QString::fromUtf8(c.text));
        EXPECT_EQ(box->text(), QString::fromUtf8(c.textAfter));
        EXPECT_EQ(box->cursorPosition(), c.cursorAfter);
        EXPECT_EQ(messages(), c.message ? QStringList{kNumbersOnly} : QStringList{});
    }
}

TEST_F(KeyFilters, QTestKeyClicksAreFilteredTheSameWay) {
    QLineEdit* box = numericBox();
    QTest::keyClicks(box, QStringLiteral("1..5"));
    EXPECT_EQ(box->text(), " 1..512");
    EXPECT_TRUE(messages().isEmpty());
    QTest::keyClicks(box, QStringLiteral("-x 3"));
    EXPECT_EQ(box->text(), " 1..5312");
    EXPECT_EQ(messages(), QStringList(3, kNumbersOnly));
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(messages(), QStringList(5, kNumbersOnly));
    EXPECT_EQ(box->text(), " 1..5312");
}

TEST_F(KeyFilters, BackspaceOnAnEmptyBoxShowsNothing) {
    QLineEdit* box = numericBox();
    box->clear();
    sendKey(box, Qt::Key_Backspace, kNone, QStringLiteral("\b"));
    EXPECT_EQ(box->text(), "");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(KeyFilters, ShiftTabMovesTheFocusUnfiltered) {
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    type("txtF", "7");
    edit("txtA")->setFocus();
    ASSERT_TRUE(edit("txtA")->hasFocus());
    sendKey(edit("txtA"), Qt::Key_Backtab, Qt::ShiftModifier, QString());
    EXPECT_TRUE(edit("txtF")->hasFocus());
    sendKey(edit("txtF"), Qt::Key_Tab, kNone, QStringLiteral("\t"));
    EXPECT_TRUE(edit("txtA")->hasFocus());
    EXPECT_EQ(edit("txtF")->text(), " 7");
    EXPECT_EQ(edit("txtA")->text(), " ");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(KeyFilters, GaugeSelectorsDiscardTypingSilently) {
    const KeyCase typedKeys[] = {
        {"digit", Qt::Key_6, kNone, "6", "14", 2, false},
        {"letter", Qt::Key_A, kNone, "a", "14", 2, false},
        {"backspace", Qt::Key_Backspace, kNone, "\b", "14", 2, false},
        {"Enter", Qt::Key_Return, kNone, "\r", "14", 2, false},
        {"Ctrl+V as X11 sends it", Qt::Key_V, kCtrl, "\x16", "14", 2, false},
    };
    for (const char* name : {"cmbSWG1", "cmbSWG2"}) {
        for (const KeyCase& c : typedKeys) {
            SCOPED_TRACE(std::string(name) + ": " + c.name);
            freshWindow();
            window().setVisible(Control::Frame4, true);
            QComboBox* selector = combo(name);
            selector->setCurrentText(QStringLiteral("14"));
            sendKey(selector, c.key, c.modifiers, QString::fromUtf8(c.text));
            EXPECT_EQ(selector->currentText(), QString::fromUtf8(c.textAfter));
            EXPECT_TRUE(messages().isEmpty());
        }
    }
}

TEST_F(KeyFilters, GaugeSelectorsStillTakeKeysThatTypeNothing) {
    QComboBox* selector = combo("cmbSWG1");
    // From the initial "14", the next item down is "16".
    sendKey(selector, Qt::Key_Down, kNone, QString());
    EXPECT_EQ(selector->currentText(), "16");
    // Delete edits the selector's text field: that text is read when step 1 runs.
    sendKey(selector, Qt::Key_Home, kNone, QString());
    sendKey(selector, Qt::Key_Delete, kNone, QStringLiteral("\x7f"));
    EXPECT_EQ(selector->currentText(), "6");
    selector->setCurrentIndex(0);
    EXPECT_EQ(selector->currentText(), "10");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(KeyFilters, SummaryBoxesDiscardTypingSilently) {
    window().setVisible(Control::Frame5, true);
    window().setVisible(Control::Frame6, true);
    for (const char* name : {"txtFF", "txtAA", "txtBB", "txtSWG1", "txtDD1", "txtSWG2"}) {
        SCOPED_TRACE(name);
        QTest::keyClicks(edit(name), QStringLiteral("5a."));
        sendKey(edit(name), Qt::Key_Backspace, kNone, QStringLiteral("\b"));
        EXPECT_EQ(edit(name)->text(), " ");
    }
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(KeyFilters, PastedTextIsNotFiltered) {
    type("txtF", "7");
    edit("txtF")->insert(QStringLiteral("-x"));
    EXPECT_EQ(edit("txtF")->text(), " 7-x");
    EXPECT_EQ(window().design().freqMHz, 7.0);
    EXPECT_TRUE(messages().isEmpty());
}

struct CommitCase {
    const char* name;
    const char* commit;
    const char* textAfter; // the box starts as " 12" with the cursor after the space
    int messageCount;
};

TEST_F(KeyFilters, EachCharacterOfAnInputMethodCommitIsFiltered) {
    const CommitCase cases[] = {
        {"digits", "34", " 3412", 0},
        {"one letter", "x", " 12", 1},
        {"letters among digits", "3x4y", " 3412", 2},
        {"full-width digit", "\uff13", " 12", 1},
        // Committed text is no key: a backspace or other control character in it is dropped.
        {"control characters", "7\b\t\x7f" "8", " 7812", 0},
    };
    for (const CommitCase& c : cases) {
        SCOPED_TRACE(c.name);
        freshWindow();
        QLineEdit* box = numericBox();
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf8(c.commit));
        QCoreApplication::sendEvent(box, &commit);
        EXPECT_EQ(box->text(), QString::fromUtf8(c.textAfter));
        EXPECT_EQ(messages(), QStringList(c.messageCount, kNumbersOnly));
    }
}

TEST_F(KeyFilters, AKeyWithSeveralCharactersKeepsTheAcceptedOnes) {
    QLineEdit* box = numericBox();
    sendKey(box, Qt::Key_3, kNone, QStringLiteral("3a4"));
    EXPECT_EQ(box->text(), " 3412");
    EXPECT_EQ(messages(), QStringList{kNumbersOnly});
    sendKey(box, Qt::Key_5, kNone, QStringLiteral("55"));
    EXPECT_EQ(box->text(), " 345512");
    EXPECT_EQ(messages(), QStringList{kNumbersOnly});
}

TEST_F(KeyFilters, InputMethodCommitsToASelectorAreDiscarded) {
    QComboBox* selector = combo("cmbSWG1");
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("6"));
    QCoreApplication::sendEvent(selector, &commit);
    EXPECT_EQ(selector->currentText(), "14");
    EXPECT_TRUE(messages().isEmpty());
}

} // namespace
