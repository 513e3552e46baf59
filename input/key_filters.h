// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "form_view.h"

#include <cstdint>

namespace brevan {

// Key-press rules. `keyAscii` is the typed character's code; setting it to 0 discards it.

// Lets through digits, the full stop and backspace; anything else is discarded, then
// "Type only numbers" is shown.
void NumericKeyFilter(std::int16_t& keyAscii, FormView& form);

// Discards every character, silently.
void ReadOnlyKeyFilter(std::int16_t& keyAscii);

} // namespace brevan
