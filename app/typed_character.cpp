// SPDX-License-Identifier: GPL-3.0-or-later
#include "typed_character.h"

#include <QKeyEvent>

namespace {

constexpr std::int16_t kBackspace = 8;
constexpr std::int16_t kCarriageReturn = 13;
constexpr std::int16_t kEscape = 27;

// Keys that edit or move instead of typing, whatever text the platform attaches to them (an X11
// desktop sends Delete with "\x7f"; QTest gives Backtab "\x0b").
bool typesNothing(int key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
    case Qt::Key_Insert:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Clear: return true;
    default: return key >= Qt::Key_F1 && key <= Qt::Key_F35;
    }
}

// The control code Ctrl with this key types, as the classic desktop produces it: Ctrl+A is 1,
// Ctrl+V 22, Ctrl+[ the Escape code. Other Ctrl combinations type nothing.
std::optional<std::int16_t> controlCode(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return static_cast<std::int16_t>(key - Qt::Key_A + 1);
    }
    switch (key) {
    case Qt::Key_BracketLeft: return std::int16_t{27};
    case Qt::Key_Backslash: return std::int16_t{28};
    case Qt::Key_BracketRight: return std::int16_t{29};
    default: return std::nullopt;
    }
}

} // namespace

std::optional<std::int16_t> typedCharacter(const QKeyEvent& event) {
    const int key = event.key();
    if (typesNothing(key)) {
        return std::nullopt;
    }
    switch (key) {
    case Qt::Key_Backspace: return kBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kCarriageReturn;
    case Qt::Key_Escape: return kEscape;
    default: break;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    // Ctrl together with Alt is AltGr on some layouts and types the character of its text.
    if (modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier)) {
        return controlCode(key);
    }
    const QString text = event.text();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    const char16_t unit = text.at(0).unicode();
    // Remaining control texts come with keys that type nothing (function and media keys).
    if (unit < u' ' || unit == u'\x7f') {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(unit);
}
