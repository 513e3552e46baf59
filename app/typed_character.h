// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class QKeyEvent;

// The character code a key press types, as a classic key-press handler sees it, or nothing for
// keys that type no character (Delete, arrows, Home/End, function keys, Tab and Shift+Tab).
// Decided from key() and the modifiers, as an X11 desktop delivers them: Backspace is 8,
// Enter 13, Escape 27, Ctrl+letter its control code (Ctrl+V is 22).
std::optional<std::int16_t> typedCharacter(const QKeyEvent& event);
