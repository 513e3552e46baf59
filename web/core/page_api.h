// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the web page asks of the core and what it gets back, as JSON texts: the page holds only
// the typed texts and shows what comes back; every figure and sentence is made here, by the
// same functions the check window calls.
//
//   {"fields": {option: typed text}, "decimalPoint": ","}
//     --designResponse--> refusals per field, the design, coil and cut list, the sentences
//     --checkResponse (Engine)--> the same with the three antennas, the plot and the deck

#include "check_report.h"
#include "nec/engine.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace brevan::web {

// The fields as the window's form gives them to the command: each typed text with the user's
// decimal separator read as a full stop, empty fields left out, the sweep's feed line dropped.
std::map<std::string, std::string> optionTexts(const std::map<std::string, std::string>& fields,
                                               char decimalPoint);

// The request's fields and decimal point; a malformed request is an error in words.
struct PageRequest {
    std::map<std::string, std::string> fields;
    char decimalPoint = '.';
};
std::variant<PageRequest, std::string> readRequest(const std::string& json);

// The band picker's entries: label and centre as the window writes it.
std::string bandsResponse();

// Every keystroke: the refusals, and for an accepted design everything but the full-wave check.
std::string designResponse(const PageRequest& request);

// The same, with the full-wave check run by `engine`; `progress` hears each stage in words.
std::string checkResponse(const PageRequest& request, const check::Engine& engine,
                          const std::function<void(const std::string&)>& progress);

// An engine run from the page's engine (nec2c built for the browser): its printed output, or
// why there is none, read back as the process adapter reads nec2c's output file.
check::EngineRun engineRunFromOutput(bool ok, const std::string& outputOrError);

} // namespace brevan::web
