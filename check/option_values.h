// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One option's value read by the command's rules, for the check's inputs: a number in its
// range (a length with its unit), a wire gauge, a choice, a path. Each refusal names the
// option, what was given (its start, when long) and what is accepted.

#include "check_inputs.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace brevan::check::options {

struct Range {
    double low;
    bool lowIncluded;
    double high;
    const char* unit;     // "MHz", "m", ...
    const char* accepted; // what the option is, for the message
};

// A limit as people type it: 0.1, 0.9144, 100000.
std::string plain(double value);

UsageError badValue(const std::string& option, std::string_view given, const std::string& why,
                    const std::string& accepted);

// Each reads its option from `given` into `out`: nothing when all is well (or, but for
// readGauge and readRequired, when it was not given), else the refusal.
std::optional<UsageError> readNumber(const std::map<std::string, std::string>& given,
                                     const std::string& option, const Range& range,
                                     std::optional<double>& out);
std::optional<UsageError> readGauge(const std::map<std::string, std::string>& given,
                                    const std::string& option, bool coilColumn, int& swg,
                                    std::optional<WireSize>& size);
std::optional<UsageError> readRequired(const std::map<std::string, std::string>& given,
                                       const std::string& option, const Range& range, double& out);
std::optional<UsageError> readChoice(const std::map<std::string, std::string>& given,
                                     const std::string& option,
                                     const std::map<std::string, int>& choices, int& out);
std::optional<UsageError> readPath(const std::map<std::string, std::string>& given,
                                   const std::string& option, std::optional<std::string>& out);

} // namespace brevan::check::options
