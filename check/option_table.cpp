// SPDX-License-Identifier: GPL-3.0-or-later
#include "option_table.h"

#include "nec/nec_deck.h"

#include <algorithm>
#include <cstdlib>

namespace brevan::check {

namespace {

using options::Range;

// clang-format off
const std::vector<OptionRow> kTable = {
    {"frequency", "MHz",
     "Design frequency in MHz (0.1 to 100; the design is meant for 1.5 to 30).",
     FileKey::Design, "frequency_mhz", true, "&Frequency F", nullptr, "MHz",
     Range{0.1, true, 100, "MHz", "the design frequency in MHz"}},
    {"length", "m",
     "Total length A of the antenna, tip to tip, in metres.",
     FileKey::Design, "length_a_m", true, "Total &length A", nullptr, "m",
     Range{0, false, 1000, "m", "the total length A in metres"}},
    {"distance", "m",
     "Distance B from the centre to the middle of each coil, in metres.",
     FileKey::Design, "distance_b_m", true, "Coil &distance B", nullptr, "m",
     Range{0, true, 1000, "m", "the centre-to-coil distance B in metres"}},
    {"wire", "gauge",
     "Antenna wire: an SWG of 10 12 14 16 18 20 22 24 26 28 30, an AWG gauge as 'AWG 14', or "
     "the bare diameter as '1.63mm'. The design uses the SWG nearest in diameter; the model, "
     "the wire itself.",
     FileKey::Design, "wire_swg", true, "Antenna &wire", nullptr, "SWG",
     std::nullopt},
    {"former", "mm",
     "Coil former diameter in millimetres.",
     FileKey::Design, "former_mm", true, "C&oil former diameter", nullptr, "mm",
     Range{0, false, 1000, "mm", "the coil former diameter in millimetres"}},
    {"coil-length", "mm",
     "Planned coil length in millimetres.",
     FileKey::Design, "coil_length_mm", true, "Coil le&ngth", nullptr, "mm",
     Range{0, true, 10000, "mm", "the planned coil length in millimetres"}},
    {"coil-wire", "gauge",
     "Coil wire, in the same forms.",
     FileKey::Design, "coil_wire_swg", true, "Co&il wire", nullptr, "SWG",
     std::nullopt},
    {"pitch", "mm",
     "Distance between turn centres in millimetres (default: close-wound, one "
     "bare wire diameter).",
     FileKey::Design, "pitch_mm", false, "&Pitch", nullptr, "mm",
     std::nullopt},
    {"coil-q", "Q",
     "Use this Q for each coil instead of the estimate from its losses.",
     FileKey::Design, "coil_q", false, "Coil &Q", nullptr, "",
     Range{1, true, 100000, "", "the coil's Q"}},
    {"former-material", "tube|ptfe|pe|pvc|permittivity",
     "What the coils are wound on: a thin-walled tube or air (default), or a solid rod of PTFE "
     "(relative permittivity 2.1), PE (2.3), PVC (3.5) or the given relative permittivity.",
     FileKey::Design, "former_permittivity", false, "Rod permittivity", "Coil former &material", "",
     Range{1, true, 100, "", "the relative permittivity of the coil's solid former"}},
    {"turns", "N",
     "The turns actually wound on each coil, in place of step 2's; their length comes from "
     "--pitch or --winding-length.",
     FileKey::Design, "turns", false, "Turns wound", nullptr, "",
     Range{1, true, 100000, "", "the turns wound on each coil"}},
    {"winding-length", "mm",
     "The length the --turns were wound over, in millimetres (instead of --pitch).",
     FileKey::Design, "winding_length_mm", false, "Winding length", nullptr, "mm",
     std::nullopt},
    {"coil-inductance", "uH",
     "Each coil's inductance as measured at low frequency, in microhenries: the check models "
     "this coil instead of the computed one.",
     FileKey::Design, "coil_inductance_uh", false, "Measured inductance", nullptr, "uH",
     Range{0, false, 100000, "uH", "the coil's inductance in microhenries, as measured at low frequency"}},
    {"coil-self-resonance", "MHz",
     "That coil's measured self-resonance, in MHz, which gives its self-capacitance (default: "
     "the self-capacitance computed for the coil as wound).",
     FileKey::Design, "coil_self_resonance_mhz", false, "Measured self-resonance", nullptr, "MHz",
     Range{0, false, 10000, "MHz", "the coil's measured self-resonance in MHz"}},
    {"height", "m",
     "Height of the antenna above ground in metres (default: free space).",
     FileKey::Design, "height_m", false, "&Height above ground", nullptr, "m",
     Range{0.1, true, 1000, "m", "the height above ground in metres"}},
    {"ground", "kind",
     "Ground under the antenna: poor, average (default with --height), good "
     "or perfect.",
     FileKey::None, nullptr, false, "&Surroundings", nullptr, "",
     std::nullopt},
    {"shape", "straight|inverted-v",
     "How the wire hangs: straight and horizontal (default), or an inverted V from one support "
     "with its apex at --height (in free space, at the centre).",
     FileKey::None, nullptr, false, "Han&g", nullptr, "",
     std::nullopt},
    {"leg-angle", "degrees",
     "Inverted V: the angle between the legs, 60 to 180 degrees; kept when the trim changes the "
     "length.",
     FileKey::Design, "leg_angle_deg", false, "Angle be&tween legs", nullptr, "deg",
     Range{kNarrowestLegAngle, true, 180, "degrees", "the angle between the legs of the inverted V in degrees (180 is straight)"}},
    {"ends-height", "m",
     "Inverted V over ground: the height of the ends in metres, below --height; kept when the "
     "trim changes the length.",
     FileKey::Design, "ends_height_m", false, "&Ends height", nullptr, "m",
     Range{0, false, 1000, "m", "the height of the inverted V's ends above ground in metres"}},
    {"insulation", "pvc|pe|permittivity",
     "The antenna wire is insulated: PVC (relative permittivity 3.5), PE (2.3) or the "
     "sleeve's relative permittivity (default: bare wire). Needs --insulation-thickness.",
     FileKey::Design, "insulation_permittivity", false, "Relative permittivity", "Wire &insulation", "",
     Range{1, false, 100, "", "the relative permittivity of the wire's insulation"}},
    {"insulation-thickness", "mm",
     "Radial thickness of that insulation in millimetres (0 is bare wire).",
     FileKey::Design, "insulation_thickness_mm", false, "Insulation thickness", nullptr, "mm",
     Range{0, true, 10, "mm", "the thickness of the wire's insulation in millimetres"}},
    {"power", "W",
     "The transmitter's peak envelope power at the feed point in watts (default 100): what "
     "each coil and the tips must hold.",
     FileKey::Design, "power_w", false, "Power (PEP)", nullptr, "W",
     Range{0, false, 100000, "W", "the peak envelope power at the feed point in watts"}},
    {"mode", "ssb|cw|am|fm|digital",
     "The mode, for the coils' average heat: SSB (default, 20 % of the peak on average), CW "
     "(40 %), AM (26 %), FM or digital modes at full duty (100 %).",
     FileKey::None, nullptr, false, "Mode", nullptr, "",
     std::nullopt},
    {"no-antenna", nullptr,
     "Skip the full-wave check with nec2c: design, coil, losses and cut "
     "list only.",
     FileKey::None, nullptr, false, nullptr, nullptr, "",
     std::nullopt},
    {"engine-timeout", "seconds",
     "Time limit of each nec2c run (default 60).",
     FileKey::None, nullptr, false, nullptr, nullptr, "",
     Range{0.1, true, 3600, "s", "the time limit of each engine run in seconds"}},
    {"format", "text|json",
     "Report as text to read (default) or as one JSON object.",
     FileKey::None, nullptr, false, nullptr, nullptr, "",
     std::nullopt},
    {"units", "metric|imperial",
     "Lengths in the text report in metres and millimetres (default), or in feet and inches to "
     "the nearest 1/8 inch, with the wires as AWG. The JSON keeps SI units.",
     FileKey::None, nullptr, false, "Lengths shown in", nullptr, "",
     std::nullopt},
    {"plot", "FILE.svg",
     "Also write SWR against frequency of the three antennas as SVG.",
     FileKey::None, nullptr, false, nullptr, nullptr, "",
     std::nullopt},
    {"deck", "FILE.nec",
     "Also write the NEC-2 deck of the antenna as built.",
     FileKey::None, nullptr, false, nullptr, nullptr, "",
     std::nullopt},
    {"measured", "FILE",
     "The analyser's sweep of the antenna as hung (Touchstone .s1p or CSV): add what it shows "
     "and what to cut to the report.",
     FileKey::None, nullptr, false, nullptr, nullptr, "",
     std::nullopt},
    {"feedline-length", "m",
     "The sweep was measured through this length of coax, in metres (default: at the feed "
     "point).",
     FileKey::Sweep, "feedline_length_m", false, "Sweep's feed line", nullptr, "m",
     Range{0, true, 10000, "m", "the length of the feed line in metres"}},
    {"feedline-vf", "factor",
     "Velocity factor of that coax (default 0.66).",
     FileKey::Sweep, "feedline_velocity_factor", false, "Velocity factor", nullptr, "",
     Range{0, false, 1, "", "the velocity factor of the feed line"}},
    {"feedline-loss", "dB",
     "Loss of that coax in dB per 100 m at the design frequency (default 0, lossless).",
     FileKey::Sweep, "feedline_loss_db_per_100m", false, "Line loss", nullptr, "dB/100 m",
     Range{0, true, 100, "dB per 100 m", "the loss of the feed line at the design frequency"}},
    {"study", "coil-position",
     "Also study where the coils should go: the coil that puts the antenna on frequency, its "
     "efficiency and 2:1 band with the coils at positions from the feed to 80 % of the way to "
     "the tip.",
     FileKey::None, nullptr, false, nullptr, nullptr, "",
     std::nullopt},
    {"study-plot", "FILE.svg",
     "Also write the study's efficiency and 2:1 band against B as SVG.",
     FileKey::None, nullptr, false, nullptr, nullptr, "",
     std::nullopt},
};
// clang-format on

} // namespace

const std::vector<OptionRow>& optionTable() {
    return kTable;
}

const OptionRow& optionRow(std::string_view option) {
    const auto it = std::find_if(kTable.begin(), kTable.end(),
                                 [option](const OptionRow& row) { return row.option == option; });
    if (it == kTable.end()) {
        std::abort(); // a name the code spells wrongly: no input can reach here
    }
    return *it;
}

const Range& limitsOf(std::string_view option) {
    const OptionRow& row = optionRow(option);
    if (!row.limits) {
        std::abort(); // the code asks a number's limits of an option that has none fixed
    }
    return *row.limits;
}

std::string plainLabel(const char* label) {
    std::string out;
    for (const char* c = label; c && *c; ++c) {
        if (*c != '&') {
            out += *c;
        }
    }
    return out;
}

std::string formName(const OptionRow& row) {
    return plainLabel(row.picker ? row.picker : row.label);
}

} // namespace brevan::check
