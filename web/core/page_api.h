// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the web page asks of the core and what it gets back, as JSON texts: the page holds only
// the typed texts and shows what comes back; every figure and sentence is made here, by the
// same functions the check window calls.
//
//   {"fields": {option: typed text}, "decimalPoint": ","}
//     --designResponse--> refusals per field, the design, coil and cut list, the sentences
//     --checkResponse (Engine)--> the same with the three antennas, the plot and the deck
//   with "sweep": {"file": name, "text": the analyser's file}: its feed line read too, and
//     the check adds the "As measured" section and its cut, as --measured does
//   a sweep's text --sweepResponse--> its name in words, or why it is not read
//   the fields --designFileResponse--> the window's design file; its text --openDesignResponse-->
//     the fields and sweep it holds, or why it cannot be opened

#include "check_report.h"
#include "files/design_file.h"
#include "nec/engine.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace brevan::web {

// The fields as the window's form gives them to the command: each typed text with the user's
// decimal separator read as a full stop, empty fields left out, the feed line dropped unless a
// sweep is open.
std::map<std::string, std::string> optionTexts(const std::map<std::string, std::string>& fields,
                                               char decimalPoint, bool withSweep = false);

// The request's fields, decimal point and open sweep; a malformed request is an error in words.
struct PageRequest {
    std::map<std::string, std::string> fields;
    char decimalPoint = '.';
    std::optional<check::SweepCopy> sweep; // the analyser's file, as the page read it
};
std::variant<PageRequest, std::string> readRequest(const std::string& json);

// The band picker's entries: label and centre as the window writes it.
std::string bandsResponse();

// The form's fields as the table of inputs names them: each option's label, the label of the
// picker a preset fills it from, and its unit, for the page to write beside its fields.
std::string fieldsResponse();

// Every keystroke: the refusals, and for an accepted design everything but the full-wave check.
std::string designResponse(const PageRequest& request);

// The same, with the full-wave check run by `engine`; `progress` hears each stage in words.
std::string checkResponse(const PageRequest& request, const check::Engine& engine,
                          const std::function<void(const std::string&)>& progress);

// The coil-position study of the design, run by `engine` as the check window runs it: the
// study's picture (SVG) and sentences, and per position its B, where it is drawn, the B the
// form takes when it is chosen (to the millimetre) and a line for a screen reader; with "key",
// the design apart from B, which a study holds for. {"studied": false, "status"} when the
// design is refused or the study does not finish.
std::string studyResponse(const PageRequest& request, const check::Engine& engine,
                          const std::function<void(const std::string&)>& progress);

// A sweep the page has just read from a picked or dropped file: {"file", "text", "kept"} (kept:
// the name of the sweep open before) -> {"ok": true, "status"} or {"ok": false, "message"}, in
// the window's words.
std::string sweepResponse(const std::string& json);

// The design on the page as the window's design file (its open sweep kept in it):
// {"file": text} or {"error": why not}.
std::string designFileResponse(const PageRequest& request);

// A design file's name and text -> {"fields": option texts, "sweep": {"file", "text"} or null} or
// {"error": why it cannot be opened}.
std::string openDesignResponse(const std::string& fileName, const std::string& fileText);

// An engine run from the page's engine (nec2c built for the browser): its printed output, or
// why there is none, read back as the process adapter reads nec2c's output file.
check::EngineRun engineRunFromOutput(bool ok, const std::string& outputOrError);

} // namespace brevan::web
