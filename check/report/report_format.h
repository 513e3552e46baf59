#pragma once

// Numbers for people: fixed decimals, a full stop as the decimal point whatever the locale the
// process runs in (Qt sets the user's locale for the C library at start-up).

#include <string>

namespace brevan::check {

std::string number(double value, int decimals);

// Three significant digits or more, the way an engineer rounds a figure: 7.18, 0.914, 1650.
std::string significant(double value, int digits = 3);

// "1 turn", "9 turns".
std::string turnsText(double turns);

} // namespace brevan::check
