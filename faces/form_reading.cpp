// SPDX-License-Identifier: GPL-3.0-or-later
#include "form_reading.h"

#include <cctype>

namespace brevan::faces {
namespace {

// Accepted values for the required options, only ever standing in for a refused one so that
// the others are still read.
const std::map<std::string, std::string> kStandIns{
    {"frequency", "7"}, {"length", "10"},      {"distance", "1"},   {"wire", "16"},
    {"former", "50"},   {"coil-length", "40"}, {"coil-wire", "20"}, {"height", "10"}};

} // namespace

std::string optionText(const std::string& typed, char decimalPoint) {
    const auto first = typed.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    std::string text = typed.substr(first, typed.find_last_not_of(" \t") - first + 1);
    for (char& c : text) {
        if (c == decimalPoint) {
            c = '.';
        }
    }
    return text;
}

std::string refusedOption(const std::string& message) {
    if (message.rfind("--", 0) != 0) {
        return {};
    }
    std::size_t end = 2;
    while (end < message.size() &&
           (std::isalnum(static_cast<unsigned char>(message[end])) || message[end] == '-')) {
        ++end;
    }
    return message.substr(2, end - 2);
}

FormReading readForm(std::map<std::string, std::string> given) {
    FormReading reading;
    // Each pass sets one option aside, so this ends after at most one pass per option.
    for (std::size_t pass = 0; pass <= kStandIns.size() + given.size(); ++pass) {
        const auto read = check::readCheckInputs(given);
        if (const auto* inputs = std::get_if<check::CheckInputs>(&read)) {
            if (reading.refusals.empty()) {
                reading.inputs = *inputs;
            }
            return reading;
        }
        const std::string& message = std::get<check::UsageError>(read).message;
        std::string option = refusedOption(message);
        // A ground without a height is the height's business: the ground is a choice.
        if (option == "ground") {
            option = "height";
        }
        // So is an insulation without a thickness: the thickness field is the one to fill.
        if (option == "insulation" && !given.count("insulation-thickness")) {
            reading.refusals["insulation-thickness"] = message;
            given.erase(option);
            continue;
        }
        // And once the material is refused, that the thickness needs one is no news.
        if (option == "insulation-thickness" && reading.refusals.count("insulation")) {
            given.erase(option);
            continue;
        }
        if (option.empty() || reading.refusals.count(option)) {
            reading.refusals[""] = message;
            return reading;
        }
        reading.refusals[option] = message;
        // Without its measure the V cannot be read at all: the rest is read as straight.
        if (option == "leg-angle" || option == "ends-height") {
            given.erase("shape");
        }
        const auto standIn = kStandIns.find(option);
        if (standIn != kStandIns.end()) {
            given[option] = standIn->second;
        } else {
            given.erase(option);
        }
    }
    return reading;
}

} // namespace brevan::faces
