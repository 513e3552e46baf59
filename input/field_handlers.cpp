// SPDX-License-Identifier: GPL-3.0-or-later
#include "field_handlers.h"

#include "general_format.h"
#include "leading_number.h"
#include "range_limits.h"
#include "single_precision.h"
#include "step_gates.h"

#include <cmath>
#include <optional>
#include <string>

namespace brevan {
namespace {

double readBox(const FormView& form, Control box) {
    return parseLeadingNumber(form.text(box));
}

} // namespace

void txtF_Change(DesignState& state, FormView& form) {
    state.freqMHz = readBox(form, Control::txtF);
    if (frequencyOutsideHf(state.freqMHz)) {
        form.showMessage("Input HF range only (1.5 to 30MHz)");
    }
    Validate(form);
}

void txtA_Change(DesignState& state, FormView& form) {
    state.lengthA = readBox(form, Control::txtA) * kFeetPerMetre;
    if (isBlank(form.text(Control::txtF))) {
        form.showMessage("Input a value for frequency");
        return;
    }
    const std::string separator = form.decimalSeparator();

    const std::optional<float> maxLength = maxLengthFeet(state.freqMHz);
    if (maxLength) {
        state.maxLengthA = *maxLength;
    }

    // With an unbounded distance the lower bound has no text; the distance box has already
    // complained about that distance itself.
    const double minLength = minLengthFeet(state.distB);
    if (std::isfinite(minLength) && isBelowLimit(state.lengthA, minLength) &&
        !form.text(Control::txtB).empty()) {
        form.showMessage("A ahould be larger than" + std::string(" ") +
                         formatDouble(minLength, separator) + " ft");
    }

    if (maxLength && isAboveLimit(toSingle(state.lengthA), state.maxLengthA)) {
        form.showMessage(" A should be smaller than " + std::string(" ") +
                         formatSingle(state.maxLengthA, separator) + " ft");
    }
    Validate(form);
}

void txtB_Change(DesignState& state, FormView& form) {
    state.distB = readBox(form, Control::txtB) * kFeetPerMetre;
    // From the length stored right now, which is 0 until the length box has held a number.
    if (const std::optional<float> maxDist = maxDistanceFeet(state.lengthA)) {
        state.maxDistB = *maxDist;
    }
    if (isAboveLimit(toSingle(state.distB), state.maxDistB)) {
        form.showMessage("B should be lower than" + std::string(" ") +
                         formatSingle(state.maxDistB, form.decimalSeparator()) + " ft");
    }
    Validate(form);
}

void txtD1_Change(DesignState& state, FormView& form) {
    state.formerDia = readBox(form, Control::txtD1) / kMillimetresPerInch;
    Validate1(form);
}

void txtB1_Change(DesignState& state, FormView& form) {
    state.coilLength = readBox(form, Control::txtB1) / kMillimetresPerInch;
    Validate1(form);
}

} // namespace brevan
