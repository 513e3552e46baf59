#pragma once

// A design saved by the window: the inputs of one check as a small JSON object, so that a
// design can be opened again, mailed to a friend or checked by `brevan-check` with the same
// options. Version 1:
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
// straight bare wire. It adds the insulation's values (below) and:
//
//     "shape": "inverted-v",             or "straight" (the default when missing)
//     "leg_angle_deg": 120,              the angle between the legs; or null with
//     "ends_height_m": null              the height of the ends over ground, below height_m
//
// Files without the two insulation keys (every version 1 file) are of bare wire.
//
// Reading checks every value with the same rules as the command line's options, so a file can
// hold nothing the command would refuse.

#include "check_inputs.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <string>
#include <variant>

namespace brevan::checkapp {

inline constexpr int kDesignFileVersion = 2; // the newest this program reads

QByteArray designFileJson(const check::CheckInputs& inputs);

// The inputs of the file, or why it cannot be opened, in words for the person who chose it.
std::variant<check::CheckInputs, QString> readDesignFile(const QByteArray& content);

// The inputs as the command line's option texts (full stop, shortest exact text), the form
// in which the window and the command both read them.
std::map<std::string, std::string> optionTexts(const check::CheckInputs& inputs);

} // namespace brevan::checkapp
