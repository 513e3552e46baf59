// SPDX-License-Identifier: GPL-3.0-or-later
#include "field_words.h"

#include "option_table.h"

#include <algorithm>
#include <cctype>

namespace brevan::faces {

const std::vector<FormField>& formFields() {
    static const std::vector<FormField> fields = [] {
        std::vector<FormField> out;
        for (const check::OptionRow& row : check::optionTable()) {
            if (row.label) {
                out.push_back({row.option, check::formName(row)});
            }
        }
        return out;
    }();
    return fields;
}

namespace {

bool optionCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
}

} // namespace

std::string inFieldWords(std::string message, char decimalPoint) {
    // Longest names first, so that "--insulation-thickness" is not read as "--insulation".
    std::vector<FormField> fields = formFields();
    std::sort(fields.begin(), fields.end(), [](const FormField& a, const FormField& b) {
        return std::string(a.option).size() > std::string(b.option).size();
    });
    std::string out;
    std::size_t at = 0;
    while (at < message.size()) {
        const std::size_t dashes = message.find("--", at);
        if (dashes == std::string::npos) {
            break;
        }
        out += message.substr(at, dashes - at);
        std::size_t end = dashes + 2;
        while (end < message.size() && optionCharacter(message[end])) {
            ++end;
        }
        const std::string name = message.substr(dashes + 2, end - dashes - 2);
        const auto field = std::find_if(fields.begin(), fields.end(),
                                        [&](const FormField& f) { return name == f.option; });
        out += field == fields.end() ? message.substr(dashes, end - dashes)
                                     : std::string(field->label);
        at = end;
    }
    out += message.substr(std::min(at, message.size()));
    if (decimalPoint != '.') {
        const std::string fullStop = "with a full stop as the decimal point";
        const std::string either =
            std::string("with a full stop or '") + decimalPoint + "' as the decimal point";
        for (auto pos = out.find(fullStop); pos != std::string::npos;
             pos = out.find(fullStop, pos + either.size())) {
            out.replace(pos, fullStop.size(), either);
        }
    }
    // The command's own advice about itself means nothing on a form.
    for (const std::string tail : {" (see --help)"}) {
        for (auto pos = out.find(tail); pos != std::string::npos; pos = out.find(tail)) {
            out.erase(pos, tail.size());
        }
    }
    return out;
}

} // namespace brevan::faces
