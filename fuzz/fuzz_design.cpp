// SPDX-License-Identifier: GPL-3.0-or-later
// The two design steps driven by a script of operations: set an input field, run step 1, run
// step 2, in any order and as often as the input says, so that values left over from an earlier
// run meet new inputs. A step either stores only finite values and a readable text, or refuses
// and leaves every byte of the state as it was.

#include "coil_winding.h"
#include "fuzz_check.h"
#include "general_format.h"
#include "leading_number.h"
#include "loading_coil.h"
#include "locale_number.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>

namespace {

using brevan::DesignFault;
using brevan::DesignState;
using brevan::fuzz::isNumberText;
using brevan::fuzz::require;

// The inputs that the boxes fill, with the factor from the box's unit to the field's.
struct InputField {
    double DesignState::*field;
    double fromBoxUnit;
};

constexpr double kFeetPerMetre = 3.28;
constexpr double kInchPerMm = 1 / 25.4;

constexpr std::array<InputField, 6> kInputs{{
    {&DesignState::freqMHz, 1},
    {&DesignState::lengthA, kFeetPerMetre},
    {&DesignState::distB, kFeetPerMetre},
    {&DesignState::formerDia, kInchPerMm},
    {&DesignState::coilLength, kInchPerMm},
    {&DesignState::inductance, 1},
}};

enum class Op { Step1 = kInputs.size(), Step2, Last = Step2 };

using StateBytes = std::array<unsigned char, sizeof(DesignState)>;

StateBytes bytesOf(const DesignState& state) {
    StateBytes bytes;
    std::memcpy(bytes.data(), &state, sizeof state);
    return bytes;
}

using Limits = std::numeric_limits<double>;

// Where the arithmetic turns: too rarely hit by chance to be left to the mutations.
constexpr std::array<double, 12> kEdgeValues{0.0,
                                             -0.0,
                                             Limits::denorm_min(),
                                             2 * Limits::denorm_min(),
                                             Limits::min(),
                                             1e-200,
                                             Limits::max(),
                                             -Limits::max(),
                                             Limits::infinity(),
                                             -Limits::infinity(),
                                             Limits::quiet_NaN(),
                                             1.0};

// A value as a box's text gives it, as a plain decimal, as an edge of the double range, as any
// finite double, or as any bit pattern at all. Only box values go through the unit.
double consumeValue(FuzzedDataProvider& in, double fromBoxUnit) {
    switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0:
        return brevan::parseLeadingNumber(in.ConsumeRandomLengthString(24)) * fromBoxUnit;
    case 1:
        return in.ConsumeIntegralInRange(-100000, 100000) / 100.0 * fromBoxUnit;
    case 2:
        return kEdgeValues[in.ConsumeIntegralInRange<std::size_t>(0, kEdgeValues.size() - 1)];
    case 3:
        return in.ConsumeFloatingPoint<double>();
    default: {
        const auto bits = in.ConsumeIntegral<std::uint64_t>();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    }
}

// Mostly a gauge from the selector's list, so that the formulas run, sometimes anything.
double consumeGauge(FuzzedDataProvider& in) {
    if (in.ConsumeBool()) {
        return 10 + 2 * in.ConsumeIntegralInRange(0, 10);
    }
    return consumeValue(in, 1);
}

void requireAllFinite(std::initializer_list<double> values, const char* property) {
    for (double v : values) {
        require(std::isfinite(v), property);
    }
}

void requireShowable(double value, const char* property) {
    require(isNumberText(brevan::formatDouble(value, ".")), property);
}

void runStepOne(DesignState& state, double gauge, std::string_view separator) {
    const StateBytes before = bytesOf(state);
    const auto result = brevan::computeLoadingCoil(state, gauge, separator);
    if (result.fault != DesignFault::None) {
        require(bytesOf(state) == before, "step 1 refused but changed the state");
        require(result.text.empty(), "step 1 refused but gave a text", result.text);
        return;
    }
    const DesignState& s = state;
    requireAllFinite({s.fullOuterLength, s.outerLength, s.inductanceScale, s.fullLogTerm,
                      s.fullShapeTerm, s.outerLogTerm, s.outerShapeTerm, s.freqMHz, s.lengthA,
                      s.distB, s.wireDia, s.wireSWG, s.inductance},
                     "step 1 stored a value that is not finite");
    require(s.wireDia > 0, "step 1 ran without a wire diameter");
    require(result.inductance == s.inductance, "step 1 returned another value than it stored");
    require(isNumberText(result.text), "step 1 gave no number text", result.text);
    // The result box reads its own text back to decide whether step 2 may start.
    require(brevan::parseLocaleNumber(result.text, separator).has_value(),
            "step 1's text cannot be read back", result.text);
}

void runStepTwo(DesignState& state, double gauge) {
    const StateBytes before = bytesOf(state);
    const auto result = brevan::computeCoilWinding(state, gauge);
    if (result.fault != DesignFault::None) {
        require(bytesOf(state) == before, "step 2 refused but changed the state");
        return;
    }
    const DesignState& s = state;
    requireAllFinite({s.inductance, s.formerDia, s.coilLength, s.coilWireSWG, s.coilWireDia,
                      s.coilRadius, s.fullOuterLength, s.turns, s.windingLength,
                      result.revisedLengthMm},
                     "step 2 stored a value that is not finite");
    for (const brevan::CoilPass& pass : result.passes) {
        requireAllFinite({pass.turns, pass.windingLength}, "a pass of step 2 is not finite");
    }
    require(s.coilRadius > 0 && s.coilWireDia > 0, "step 2 ran without a coil or a wire");
    require(s.turns >= 0 && result.revisedLengthMm >= 0, "step 2 gave a coil that cannot exist");
    require(s.coilLength == s.windingLength, "step 2 did not keep the last winding length");
    require(s.fullOuterLength == 11.0, "step 2 did not make ten passes");
    requireShowable(s.turns, "step 2's turns have no text");
    requireShowable(result.revisedLengthMm, "step 2's revised length has no text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    DesignState state;
    for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
        const auto op =
            in.ConsumeIntegralInRange<std::size_t>(0, static_cast<std::size_t>(Op::Last));
        if (op < kInputs.size()) {
            state.*kInputs[op].field = consumeValue(in, kInputs[op].fromBoxUnit);
        } else if (op == static_cast<std::size_t>(Op::Step1)) {
            const double gauge = consumeGauge(in);
            runStepOne(state, gauge, in.ConsumeBool() ? "," : ".");
        } else {
            runStepTwo(state, consumeGauge(in));
        }
    }
    return 0;
}
