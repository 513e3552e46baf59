// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The form's fields as a face names them, and the core's messages in those words: a refusal
// or a note that names a command's option ("--frequency: 'abc' is not a number") names the
// field instead ("Frequency F: 'abc' is not a number").

#include <string>
#include <vector>

namespace brevan::faces {

struct FormField {
    const char* option; // the command's long option, without its dashes
    std::string label;  // how the form names it (the option table's formName)
};

// Every field of the form, in the option table's order.
const std::vector<FormField>& formFields();

// `message` with each option it names replaced by its field's label, and the decimal point it
// asks for as the form takes it: `decimalPoint` the visitor's, a full stop always accepted.
std::string inFieldWords(std::string message, char decimalPoint);

} // namespace brevan::faces
