// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A design saved by the check window (and opened by the web page): the inputs of one check as a
// small JSON object, so that a design can be opened again, mailed to a friend or checked by
// `brevan-check` with the same options. Text in, data out and back: reading and writing the
// bytes on disk is the caller's business. Version 1:
//
//   {
//     "format": "brevan-check design",   always this text
//     "version": 1,                      a file of a later version is refused, not guessed at
//     "frequency_mhz": 7.05,             F
//     "length_a_m": 15,                  A, tip to tip
//     "distance_b_m": 3,                 B, centre to the middle of each coil
//     "wire_swg": 16,                    antenna wire gauge
//     "former_mm": 50,                   coil former diameter
//     "coil_length_mm": 40,              planned coil length
//     "coil_wire_swg": 20,               coil wire gauge
//     "pitch_mm": null,                  turn centre to centre; null: close-wound
//     "coil_q": null,                    the coil's Q; null: estimated from its losses
//     "ground": "free space",            or "poor", "average", "good", "perfect"
//     "height_m": null,                  above that ground; null in free space
//     "insulation_thickness_mm": null,   the antenna wire's insulation; null: bare wire
//     "insulation_permittivity": null    its relative permittivity (PVC 3.5, PE 2.3)
//   }
//
// Version 2 is written only for an inverted V or insulated wire, so that a straight bare-wire
// design still opens in a program that knows version 1 and neither is ever read there as a
// straight bare wire. It adds the insulation's values (above) and:
//
//     "shape": "inverted-v",             or "straight" (the default when missing)
//     "leg_angle_deg": 120,              the angle between the legs; or null with
//     "ends_height_m": null              the height of the ends over ground, below height_m
//
// Files without the two insulation keys (every version 1 file) are of bare wire.
//
// Version 3 is written only for a design saved with an analyser's sweep open, so that a program
// that would drop the sweep refuses the file instead. It adds:
//
//     "sweep": {
//       "file": "dipole.s1p",            the name the sweep was opened under
//       "lines": ["# MHz S RI R 50", …], the analyser's file itself, line by line
//       "feedline_length_m": 14.2,       the coax it was measured through; null: at the feed
//       "feedline_velocity_factor": 0.66,  with a length only
//       "feedline_loss_db_per_100m": 2     with a length only
//     }
//
// Version 4 is written only for a design that names the coil as the builder made it, or winds
// it on a solid former, so that an older program refuses the file instead of checking step 2's
// coil on a tube. It adds, each only when given:
//
//     "former_permittivity": 2.1,        relative, inside the coil; missing or null: a tube
//     "wire_awg": 12,                    the antenna wire as an AWG gauge, with "wire_swg" the
//     "wire_mm": 2.05,                   table's gauge the design uses; or as a bare diameter
//     "coil_wire_awg": 12,               the same for the coil wire
//     "coil_wire_mm": 2.05,
//     "turns": 28,                       the turns wound on each coil
//     "winding_length_mm": 70,           the length they take (instead of "pitch_mm")
//     "coil_inductance_uh": 119.8,       a measured coil: its inductance at low frequency
//     "coil_self_resonance_mhz": 14.2    and its self-resonance
//
// Version 5 is written only for a design checked at another power or mode than 100 W SSB, so
// that an older program refuses the file instead of saying what the coils hold at 100 W. It
// adds, each only when given:
//
//     "power_w": 400,                    the peak envelope power at the feed point, watts
//     "mode": "cw"                       ssb, cw, am, fm or digital
//
// The sweep's own lines, not its path: the design file stands alone when mailed or moved, and
// the sweep is read back by the same readers, to the same figures, as when it was first opened.
//
// Reading checks every value with the same rules as the command line's options, and the sweep
// with the same readers as --measured, so a file can hold nothing the command would refuse.

#include "check_inputs.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace brevan::check {

inline constexpr int kDesignFileVersion = 5; // the newest this program reads

// An analyser's sweep file as it was read: its name and its text.
struct SweepCopy {
    std::string fileName;
    std::string text;
};

// What a design file holds. With a sweep, the inputs' feedline fields describe its line.
struct DesignFile {
    CheckInputs inputs;
    std::optional<SweepCopy> sweep;
};

// The file's text, ending in a newline; the same bytes the window has always written.
std::string designFileJson(const DesignFile& design);

// The design in the file, or why it cannot be opened, in words for the person who chose it.
std::variant<DesignFile, std::string> readDesignFile(std::string_view content);

// The inputs as the command line's option texts (full stop, shortest exact text), the form
// in which the window and the command both read them.
std::map<std::string, std::string> optionTexts(const CheckInputs& inputs);

} // namespace brevan::check
