// SPDX-License-Identifier: GPL-3.0-or-later
#include "step_gates.h"

#include "general_format.h"
#include "locale_number.h"

#include <cmath>
#include <optional>

namespace brevan {
namespace {

// Each gate evaluates every condition, then writes the button state, whether or not it changes.
bool allFilled(bool a, bool b, bool c) {
    return a && b && c;
}

} // namespace

void Validate(FormView& form) {
    const bool frequency = !isBlank(form.text(Control::txtF));
    const bool length = !isBlank(form.text(Control::txtA));
    const bool distance = !isBlank(form.text(Control::txtB));
    form.setEnabled(Control::Command1, allFilled(frequency, length, distance));
}

void Validate1(FormView& form) {
    const bool diameter = !isBlank(form.text(Control::txtD1));
    const bool coilLength = !isBlank(form.text(Control::txtB1));
    // L is read as a whole number text, the way L_Change writes it; a text that is no number
    // (only possible before step 1 has run) counts as no inductance.
    const std::optional<double> inductance =
        parseLocaleNumber(form.text(Control::L), form.decimalSeparator());
    const bool hasInductance = inductance.has_value() && *inductance != 0.0;
    form.setEnabled(Control::Command2, allFilled(diameter, coilLength, hasInductance));
}

void L_Change(FormView& form) {
    const std::string separator = form.decimalSeparator();
    const std::optional<double> x = parseLocaleNumber(form.text(Control::L), separator);
    if (x) {
        // Cut toward minus infinity, so the shown value never exceeds the computed one.
        const double y = std::floor(*x * 10) / 10;
        // Only a value near the top of the double range has no tenth to show; it stays as
        // written rather than becoming an empty box.
        if (std::isfinite(y)) {
            // Writing a different text re-enters this handler, which reads the cut value, writes
            // the same text again and so raises nothing more.
            form.setText(Control::L, formatDouble(y, separator));
        }
    }
    Validate1(form);
}

} // namespace brevan
