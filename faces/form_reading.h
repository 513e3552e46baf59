// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// From what is typed in the form to the check's inputs, with a message for every field the
// command would refuse. Pure: texts in, inputs and messages out.
//
//   typed texts --optionText--> option texts --readForm (readCheckInputs, field by field)-->
//   CheckInputs and/or a message per option

#include "check_inputs.h"

#include <map>
#include <optional>
#include <string>

namespace brevan::faces {

// A typed number as the command line takes it: the user's decimal separator and the full stop
// both become a full stop; spaces around it go.
std::string optionText(const std::string& typed, char decimalPoint);

// The option a message of readCheckInputs is about ("--coil-length: ..." gives "coil-length");
// empty when it names none.
std::string refusedOption(const std::string& message);

struct FormReading {
    std::optional<check::CheckInputs> inputs;    // all accepted
    std::map<std::string, std::string> refusals; // option -> the command's words
};

// Reads the options as the command does. readCheckInputs stops at the first refusal; to show
// every field's own message at once, a refused option is set aside (an optional one left out,
// a required one given a stand-in value) and the rest read again.
FormReading readForm(std::map<std::string, std::string> given);

} // namespace brevan::faces
