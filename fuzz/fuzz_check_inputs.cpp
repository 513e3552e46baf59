// SPDX-License-Identifier: GPL-3.0-or-later
// What brevan-check reads from outside: option values typed by a person and the output of the
// NEC-2 engine. Any option texts either are refused or give a design report whose figures are
// all finite; any engine output either is refused or gives finite feed points.
//
// Input: lines. The first seven are the values of the seven design options, the eighth the
// pitch and the ninth the coil Q (left out when absent or empty); everything after a line
// "%%" is fed to the engine-output reader as it stands.

#include "check_report.h"
#include "fuzz_check.h"
#include "nec/nec_output.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

using brevan::fuzz::require;
using namespace brevan::check;

constexpr const char* kOptions[] = {"frequency", "length",    "distance", "wire", "former",
                                    "coil-length", "coil-wire", "pitch",   "coil-q"};

bool allFinite(std::initializer_list<double> values) {
    for (const double v : values) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

void checkReport(const CheckReport& r, std::string_view text) {
    const CoilAsWound& c = r.coil;
    const CoilLosses& l = r.losses;
    const CutList& cut = r.cut;
    require(allFinite({r.design.inductanceUh, c.inductance, c.currentSheet, c.wheeler, c.nagaoka,
                       c.rosaMutual, c.differencePercent, c.closestTurnsInductance}),
            "a coil figure is not finite", text);
    require(allFinite({l.skinDepth, l.resistance.acResistance, l.reactance, l.q,
                       l.seriesResistance, l.selfCapacitance, l.selfResonance}),
            "a loss figure is not finite", text);
    require(allFinite({cut.innerWire, cut.outerWire, cut.outerWireToCut, cut.coilWireEach,
                       cut.antennaWireTotal, cut.coilWireTotal}),
            "a cut length is not finite", text);
    require(cut.innerWire >= 0 && cut.outerWire >= 0, "a negative cut length", text);
    require(c.closestTurns >= 1, "no closest turns", text);
}

void checkOptions(const std::vector<std::string_view>& lines, std::string_view text) {
    std::map<std::string, std::string> given;
    for (std::size_t i = 0; i < std::size(kOptions) && i < lines.size(); ++i) {
        if (i < 7 || !lines[i].empty()) {
            given[kOptions[i]] = std::string(lines[i]);
        }
    }
    given["no-antenna"] = "";
    const auto inputs = readCheckInputs(given);
    if (const auto* in = std::get_if<CheckInputs>(&inputs)) {
        require(allFinite({in->frequencyMHz, in->lengthM, in->distanceM, in->formerMm,
                           in->coilLengthMm}),
                "an accepted input is not finite", text);
        const auto report = buildCheckReport(*in);
        if (const auto* r = std::get_if<CheckReport>(&report)) {
            checkReport(*r, text);
        }
    }
}

void checkEngineOutput(std::string_view output) {
    const auto points = parseEngineOutput(output, nullptr);
    if (!points) {
        return;
    }
    require(!points->empty(), "an accepted output without points", output);
    for (const FeedPoint& p : *points) {
        require(allFinite({p.frequencyMHz, p.impedance.real(), p.impedance.imag(), p.inputPower,
                           p.radiatedPower, p.structureLoss, efficiency(p)}),
                "a feed point is not finite", output);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::size_t split = text.find("%%\n");
    const std::string_view options = text.substr(0, split);
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at <= options.size();) {
        const std::size_t end = std::min(options.find('\n', at), options.size());
        lines.push_back(options.substr(at, end - at));
        at = end + 1;
    }
    checkOptions(lines, options);
    if (split != std::string_view::npos) {
        checkEngineOutput(text.substr(split + 3));
    }
    return 0;
}
