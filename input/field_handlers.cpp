#include "field_handlers.h"

#include "general_format.h"
#include "leading_number.h"
#include "single_precision.h"
#include "step_gates.h"

#include <cmath>
#include <optional>
#include <string>

namespace brevan {
namespace {

constexpr double kFeetPerMetre = 3.28;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kLengthFrequencyProduct = 421.2; // ft x MHz: nine tenths of a half wave
constexpr double kMinLengthPerDistance = 2.6;
constexpr double kMaxDistanceShare = 0.8;
constexpr double kLowestMHz = 1;
constexpr double kHighestMHz = 30;

double readBox(const FormView& form, Control box) {
    return parseLeadingNumber(form.text(box));
}

// A limit is a whole number of feet held in single precision. A quotient or product with no
// finite single value gives no limit, and the caller keeps the one it had.
std::optional<float> wholeFeetLimit(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const float limit = toSingle(std::floor(value));
    if (!std::isfinite(limit)) {
        return std::nullopt;
    }
    return limit;
}

// An infinite value has no place on either side of a limit, so every test counts it out of
// range; the message then shows the limit, which is always finite.
bool isAbove(float value, float limit) {
    return !std::isfinite(value) || value > limit;
}
bool isBelow(double value, double limit) {
    return !std::isfinite(value) || value < limit;
}

} // namespace

void txtF_Change(DesignState& state, FormView& form) {
    state.freqMHz = readBox(form, Control::txtF);
    if (state.freqMHz > kHighestMHz || state.freqMHz < kLowestMHz) {
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

    // A frequency that reads 0 has no length limit; dividing by it is never attempted.
    std::optional<float> maxLength;
    if (state.freqMHz != 0.0) {
        maxLength = wholeFeetLimit(kLengthFrequencyProduct / state.freqMHz);
    }
    if (maxLength) {
        state.maxLengthA = *maxLength;
    }

    // With an unbounded distance the lower bound has no text; the distance box has already
    // complained about that distance itself.
    const double minLength = state.distB * kMinLengthPerDistance;
    if (std::isfinite(minLength) && isBelow(state.lengthA, minLength) &&
        !form.text(Control::txtB).empty()) {
        form.showMessage("A ahould be larger than" + std::string(" ") +
                         formatDouble(minLength, separator) + " ft");
    }

    if (maxLength && isAbove(toSingle(state.lengthA), state.maxLengthA)) {
        form.showMessage(" A should be smaller than " + std::string(" ") +
                         formatSingle(state.maxLengthA, separator) + " ft");
    }
    Validate(form);
}

void txtB_Change(DesignState& state, FormView& form) {
    state.distB = readBox(form, Control::txtB) * kFeetPerMetre;
    // From the length stored right now, which is 0 until the length box has held a number.
    if (const std::optional<float> maxDist =
            wholeFeetLimit(state.lengthA * kMaxDistanceShare / 2)) {
        state.maxDistB = *maxDist;
    }
    if (isAbove(toSingle(state.distB), state.maxDistB)) {
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
