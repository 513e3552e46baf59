// SPDX-License-Identifier: GPL-3.0-or-later
// The verdict: what the report says first, gathered from the coil, the antenna and the sweep,
// and the warnings after it; with the few words every subject's sentences share.
#include "report/advice.h"

#include "coil/physics.h"
#include "cut_list.h"
#include "general_format.h"
#include "range_limits.h"
#include "report/advice_parts.h"
#include "report/power_words.h"
#include "report/report_format.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace brevan::check {

using namespace advice_parts;

namespace advice_parts {

// The design frequency as it was given: "7.05 MHz".
std::string designText(const CheckReport& report) {
    return formatDouble(report.inputs.frequencyMHz, ".") + " MHz";
}

std::string verb(double count, const char* one, const char* many) {
    return count == 1 ? one : many;
}

std::string beforeTheSweep(std::string sentence, const std::string& why) {
    sentence[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(sentence[0])));
    return "As designed, before the sweep" + why + ": " + sentence;
}

} // namespace advice_parts

namespace {

enum class PowerWords { Sentences, OneLine };

std::vector<std::string> verdict(const CheckReport& report, PowerWords powerWords) {
    std::vector<std::string> out{coilVerdict(report)};
    const bool trimSaysIt =
        report.antenna && report.antenna->trim.outcome == TrimOutcome::CoilResonates;
    if (coilUnfit(report) && !trimSaysIt) {
        if (!coilSelfResonates(report)) {
            // Without the antenna's check, nothing else says it (the warnings say the rest).
            std::string line = unfitCoilText(report) + ".";
            line[0] = 'T';
            out.push_back(line);
        }
        const std::string alternatives = alternativesSentence(report);
        if (!alternatives.empty()) {
            out.push_back(alternatives);
        }
    }
    if (!report.antenna) {
        return out;
    }
    const AntennaCheck& check = *report.antenna;
    // What to do comes first: the trim, or once the antenna hangs and is swept, the sweep's
    // cut, which replaces the design's; the model's resonance and coil are then what was
    // expected before it, and its band as built is the antenna table's alone.
    const bool swept = calibratedBySweep(report);
    std::vector<std::string> built = builtVerdict(report, check.built);
    if (swept) {
        built = {beforeTheSweep(std::move(built.front()))};
    }
    for (std::string& line : built) {
        out.push_back(std::move(line));
    }
    std::string trim = trimVerdict(report, check);
    const std::string measured = measuredVerdict(report);
    if (swept && !trim.empty()) {
        trim = beforeTheSweep(std::move(trim),
                              " (its cut, above, replaces this now that the antenna hangs)");
        out.insert(out.begin(), measured);
        out.push_back(trim);
    } else {
        out.insert(out.begin(), trim);
    }
    // Under half the power radiated, that comes first: no trim or match makes up for it.
    const std::string radiated = radiatedVerdict(report, check);
    if (radiatesPoorly(check)) {
        out.insert(out.begin(), radiated);
    } else {
        out.push_back(radiated);
    }
    // Coils that fail at the builder's power come first too: they must change before any cut.
    std::vector<std::string> power = powerSentences(report);
    if (powerWords == PowerWords::OneLine) {
        power.clear();
        if (const std::string line = powerSummary(report); !line.empty()) {
            power.push_back(line);
        }
    }
    if (powerFails(report) && !power.empty()) {
        const auto after = out.begin() + (radiatesPoorly(check) ? 1 : 0);
        out.insert(after, power.front());
        power.erase(power.begin());
    }
    for (std::string& line : power) {
        out.push_back(std::move(line));
    }
    if (const std::string wind = coilToWindSentence(report);
        !wind.empty() && powerWords == PowerWords::Sentences) {
        out.push_back(wind);
    }
    // Once swept, the match is the hung antenna's after its cut; the design's is for a
    // resistance the sweep has replaced.
    const std::optional<Matching>& matching =
        swept ? report.measured->calibration.matching : check.matching;
    if (matching) {
        std::string line = matchingVerdict(report, *matching);
        if (swept) {
            line[0] = 'w';
            line = "As measured, after the cut: " + line;
        }
        out.push_back(std::move(line));
    }
    const std::string coil = neededCoilVerdict(report, check);
    if (!coil.empty()) {
        out.push_back(swept ? beforeTheSweep(coil) : coil);
    }
    const std::string insulation = insulationSentence(report);
    if (!insulation.empty()) {
        out.push_back(insulation);
    }
    if (!swept && !measured.empty()) {
        out.push_back(measured);
    }
    return out;
}

} // namespace

std::vector<std::string> verdictSentences(const CheckReport& report) {
    return verdict(report, PowerWords::Sentences);
}

std::vector<std::string> sheetVerdictSentences(const CheckReport& report) {
    return verdict(report, PowerWords::OneLine);
}

std::vector<std::string> warningSentences(const CheckReport& report) {
    std::vector<std::string> out = rangeWarnings(report);
    for (std::string& line : coilWarnings(report)) {
        out.push_back(std::move(line));
    }
    if (report.antenna) {
        for (std::string& line : antennaWarnings(report, *report.antenna)) {
            out.push_back(std::move(line));
        }
    }
    return out;
}

} // namespace brevan::check
