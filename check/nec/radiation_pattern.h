// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How much of the input power goes up into the sky. Over a lossy ground the engine's power budget
// books what the ground absorbs as "radiated", so radiated / input overstates what leaves the
// antenna. The far-field power gain does not: averaged over the upper half space it is the power
// radiated upwards relative to the input power.
//
//   skyPatternCard() -> after the FR card of a one-frequency deck -> nec2c -> readSkyPattern()

#include <optional>
#include <string>
#include <string_view>

namespace brevan::check {

struct SkyPattern {
    double skyShare = 0.0;            // power radiated into the upper half space / input power
    double maxGainDbi = 0.0;          // highest power gain over the upper half space
    double maxGainElevationDeg = 0.0; // its angle above the horizon; 90 is straight up
};

// The RP card (with its line end) that makes the engine print the power gain over the upper half
// space, theta 0..90 degrees from the zenith in 2-degree steps and phi 0..90 in 10-degree steps,
// with its own average. A quarter of the horizon suffices because the model, a horizontal wire
// along y centred over the origin, is mirror-symmetric in both x and y.
std::string skyPatternCard();

// The sky share and the maximum gain from the one pattern the engine printed, integrated over
// the printed grid with solid-angle weights; or nothing with `error` set when the text has no
// complete pattern over the upper half space (no pattern, more than one, cut short, rows missing
// or unreadable, theta not 0..90, phi not 0 to 90, 180 or 360).
std::optional<SkyPattern> readSkyPattern(std::string_view engineOutput, std::string* error);

} // namespace brevan::check
