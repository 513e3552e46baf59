// SPDX-License-Identifier: GPL-3.0-or-later
#include "key_filters.h"

#include <string>

namespace brevan {

void NumericKeyFilter(std::int16_t& keyAscii, FormView& form) {
    constexpr std::int16_t kBackspace = 8;
    constexpr std::int16_t kFullStop = 46;
    if (keyAscii == kBackspace) {
        return;
    }
    // The code is one UTF-16 unit; anything beyond ASCII sorts after "9" like any other
    // character above it, so an unsigned view keeps the ordinal order.
    const auto unit = static_cast<std::uint16_t>(keyAscii);
    // A single character sorts after "90" exactly when it sorts after "9": "9" is a prefix.
    const bool beforeZero = unit < static_cast<std::uint16_t>('0');
    const bool afterNine = unit > static_cast<std::uint16_t>('9');
    if ((beforeZero || afterNine) && keyAscii != kFullStop) {
        // Discard first: the character must stay out however the message is closed.
        keyAscii = 0;
        form.showMessage("Type only numbers");
    }
}

void ReadOnlyKeyFilter(std::int16_t& keyAscii) {
    keyAscii = 0;
}

} // namespace brevan
