// SPDX-License-Identifier: GPL-3.0-or-later
// Which key presses count as typed characters, for key events as an X11 desktop delivers them
// and as QTest builds them.

#include "typed_character.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

struct Row {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    const char* text;
    int expected; // -1: the key types no character
};

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;

TEST(TypedCharacter, DecidesFromTheKeyAndItsModifiers) {
    const Row rows[] = {
        {"digit", Qt::Key_7, kNone, "7", '7'},
        {"keypad digit", Qt::Key_7, Qt::KeypadModifier, "7", '7'},
        {"full stop", Qt::Key_Period, kNone, ".", '.'},
        {"letter", Qt::Key_A, kNone, "a", 'a'},
        {"capital", Qt::Key_A, kShift, "A", 'A'},
        {"space", Qt::Key_Space, kNone, " ", ' '},
        {"punctuation", Qt::Key_Colon, kShift, ":", ':'},
        {"non-ASCII", Qt::Key_Eacute, kNone, "\u00e9", 0xe9},
        {"AltGr as Ctrl+Alt", Qt::Key_Q, kCtrl | Qt::AltModifier, "@", '@'},
        {"Alt+letter still types its letter", Qt::Key_A, Qt::AltModifier, "a", 'a'},
        {"Backspace", Qt::Key_Backspace, kNone, "\b", 8},
        {"Backspace without text", Qt::Key_Backspace, kNone, "", 8},
        {"Return", Qt::Key_Return, kNone, "\r", 13},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, "\r", 13},
        {"Escape", Qt::Key_Escape, kNone, "\x1b", 27},
        {"Ctrl+V (X11)", Qt::Key_V, kCtrl, "\x16", 22},
        {"Ctrl+V (QTest)", Qt::Key_V, kCtrl, "v", 22},
        {"Ctrl+Shift+V", Qt::Key_V, kCtrl | kShift, "\x16", 22},
        {"Ctrl+C (X11)", Qt::Key_C, kCtrl, "\x03", 3},
        {"Ctrl+A", Qt::Key_A, kCtrl, "\x01", 1},
        {"Ctrl+Z", Qt::Key_Z, kCtrl, "\x1a", 26},
        {"Ctrl+[", Qt::Key_BracketLeft, kCtrl, "\x1b", 27},
        {"Ctrl+digit", Qt::Key_1, kCtrl, "1", -1},
        {"Delete (X11)", Qt::Key_Delete, kNone, "\x7f", -1},
        {"Delete (QTest)", Qt::Key_Delete, kNone, "", -1},
        {"Tab", Qt::Key_Tab, kNone, "\t", -1},
        {"Shift+Tab (X11)", Qt::Key_Backtab, kShift, "", -1},
        {"Shift+Tab (QTest)", Qt::Key_Backtab, kShift, "\x0b", -1},
        {"Left", Qt::Key_Left, kNone, "", -1},
        {"Home", Qt::Key_Home, kNone, "", -1},
        {"End", Qt::Key_End, kNone, "", -1},
        {"Page Down", Qt::Key_PageDown, kNone, "", -1},
        {"Insert", Qt::Key_Insert, kNone, "", -1},
        {"F5", Qt::Key_F5, kNone, "", -1},
        {"Shift alone", Qt::Key_Shift, kShift, "", -1},
        {"a control text with no typing key", Qt::Key_unknown, kNone, "\x1c", -1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const QKeyEvent event(QEvent::KeyPress, r.key, r.modifiers, QString::fromUtf8(r.text));
        const std::optional<std::int16_t> code = typedCharacter(event);
        if (r.expected < 0) {
            EXPECT_FALSE(code.has_value()) << *code;
        } else {
            ASSERT_TRUE(code.has_value());
            EXPECT_EQ(*code, r.expected);
        }
    }
}

} // namespace
