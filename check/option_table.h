// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every input of the check, once: the command's long option (also the link's key), its value
// as --help shows it and --help's sentence, the design file's key, the forms' label and unit,
// and its limits where they are fixed. The command's options, the reading of the inputs, both
// forms (the check window and the page), the design file and the link all read this table, so
// a field is named in one place.

#include "option_values.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevan::check {

// Where the design file keeps an input.
enum class FileKey {
    None,   // not kept: an output, a run's setting or a file of its own
    Design, // a number at the design's top level
    Sweep,  // a number inside the design's "sweep", with the line it was measured through
};

struct OptionRow {
    const char* option;    // "length"
    const char* valueName; // as --help shows the value, "m"; nullptr for a flag
    const char* help;      // --help's sentence
    FileKey place;         // where the design file keeps it
    const char* fileKey;   // "length_a_m"; nullptr where the file keeps it under `option`
    bool required;         // a design file without it is refused
    const char* label;     // the field's label, '&' before the check window's shortcut key;
                           // nullptr: no form has a field for it
    const char* picker;    // the label of the picker beside a field that a preset fills
                           // ("Coil former &material"); nullptr: none
    const char* unit;      // beside the field: "m", "SWG"; empty for none
    std::optional<options::Range> limits; // fixed limits of a number; nothing otherwise
};

// In the order --help lists them.
const std::vector<OptionRow>& optionTable();

// The row of `option`; every option the check reads has one.
const OptionRow& optionRow(std::string_view option);

// The limits of a number whose limits are fixed.
const options::Range& limitsOf(std::string_view option);

// The label as people read it, without the shortcut's '&'.
std::string plainLabel(const char* label);

// How the forms name an option in words: its picker where a preset fills the field, else its
// field ("Coil former material", "Total length A"); empty where no form has it.
std::string formName(const OptionRow& row);

} // namespace brevan::check
