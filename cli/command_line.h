// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The command line of brevan-check: the options Qt's parser knows, and their texts handed on to
// the check library, which validates them.

#include <QStringList>

#include <map>
#include <string>
#include <variant>

namespace brevan::cli {

struct HelpRequest {
    std::string text; // --help or --version: print this and succeed
};
struct CommandLineError {
    std::string message;
};
using GivenOptions = std::map<std::string, std::string>;

// The given options by long name, or what to print instead, or what is wrong with the line.
std::variant<GivenOptions, HelpRequest, CommandLineError>
parseCommandLine(const QStringList& arguments);

} // namespace brevan::cli
