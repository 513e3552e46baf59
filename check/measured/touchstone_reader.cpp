// SPDX-License-Identifier: GPL-3.0-or-later
// Touchstone one-port files. Version 1 files are an option line and data lines; version 1.1 and
// later add bracketed keywords, of which a one-port sweep may carry [Version], [Number of Ports],
// [Number of Frequencies], [Reference], [Network Data] and [End].

#include "coil/physics.h"
#include "measured/sweep_text.h"

#include "nec/printed_text.h"
#include "portable_maths.h"

#include <cmath>
#include <string>

namespace brevan::check {

namespace {

using namespace sweep_text;

enum class Parameter { S, Z, Y };
enum class Pairing { RealImaginary, MagnitudeAngle, DecibelAngle };

// The defaults stand where the option line leaves a part out, or is missing altogether.
struct Options {
    double toMHz = 1e3; // GHz
    Parameter parameter = Parameter::S;
    Pairing pairing = Pairing::MagnitudeAngle;
    double referenceOhm = 50.0;
};

struct State {
    Options options;
    bool optionLineSeen = false;
    double version = 1.0;
    std::optional<long> declaredFrequencies;
    bool pendingReference = false; // [Reference] with its value on the next line
    bool inInformation = false;
    bool ended = false;
    MeasuredSweep sweep;
};

SweepError refusal(const std::string& fileName, int line, std::string expected, std::string found) {
    return SweepError{fileName, line, std::move(expected), std::move(found)};
}

const char* parameterName(Parameter p) {
    switch (p) {
    case Parameter::S: return "S11";
    case Parameter::Z: return "Z11";
    case Parameter::Y: return "Y11";
    }
    return "S11";
}

// One word of the option line; false when it is none of them.
bool applyOption(Options& options, const std::string& word) {
    if (word == "hz") {
        options.toMHz = 1e-6;
    } else if (word == "khz") {
        options.toMHz = 1e-3;
    } else if (word == "mhz") {
        options.toMHz = 1.0;
    } else if (word == "ghz") {
        options.toMHz = 1e3;
    } else if (word == "s") {
        options.parameter = Parameter::S;
    } else if (word == "z") {
        options.parameter = Parameter::Z;
    } else if (word == "y") {
        options.parameter = Parameter::Y;
    } else if (word == "ri") {
        options.pairing = Pairing::RealImaginary;
    } else if (word == "ma") {
        options.pairing = Pairing::MagnitudeAngle;
    } else if (word == "db") {
        options.pairing = Pairing::DecibelAngle;
    } else {
        return false;
    }
    return true;
}

std::optional<SweepError> readOptionLine(State& state, std::string_view line, int lineNumber,
                                         const std::string& fileName) {
    if (state.optionLineSeen) {
        return std::nullopt; // only the first option line counts
    }
    if (!state.sweep.impedance.empty()) {
        return refusal(fileName, lineNumber, "the option line before the first data line",
                       quoted(line));
    }
    state.optionLineSeen = true;
    const auto words = printed::words(line.substr(1));
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string word = lowercase(words[i]);
        if (word == "r") {
            const auto r = i + 1 < words.size() ? number(words[i + 1]) : std::nullopt;
            if (!r || !(*r > 0.0)) {
                return refusal(fileName, lineNumber, "a reference resistance in ohm after R",
                               i + 1 < words.size() ? quoted(words[i + 1])
                                                    : std::string("the end of the line"));
            }
            state.options.referenceOhm = *r;
            ++i;
        } else if (!applyOption(state.options, word)) {
            const bool otherKind = word == "h" || word == "g";
            return refusal(fileName, lineNumber,
                           otherKind ? "S, Z or Y parameters (a one-port sweep)"
                                     : "Hz, kHz, MHz, GHz, S, Z, Y, RI, MA, DB or R n in the "
                                       "option line",
                           quoted(words[i]));
        }
    }
    return std::nullopt;
}

std::optional<SweepError> readKeyword(State& state, std::string_view line, int lineNumber,
                                      const std::string& fileName) {
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return refusal(fileName, lineNumber, "a keyword closed by ']'", quoted(line));
    }
    const std::string keyword = lowercase(printed::trimmed(line.substr(1, close - 1)));
    const std::string_view value = printed::trimmed(line.substr(close + 1));
    if (state.inInformation) {
        state.inInformation = keyword != "end information";
        return std::nullopt;
    }
    const auto numberAfter = [&](const char* what) -> std::variant<double, SweepError> {
        const auto words = printed::words(value);
        const auto n = words.empty() ? std::nullopt : number(words.front());
        if (!n) {
            return refusal(fileName, lineNumber, std::string(what) + " after [" + keyword + "]",
                           words.empty() ? std::string("the end of the line")
                                         : quoted(words.front()));
        }
        return *n;
    };
    if (keyword == "version") {
        const auto v = numberAfter("a version number");
        if (const auto* e = std::get_if<SweepError>(&v)) {
            return *e;
        }
        state.version = std::get<double>(v);
    } else if (keyword == "number of ports") {
        const auto n = numberAfter("the number of ports");
        if (const auto* e = std::get_if<SweepError>(&n)) {
            return *e;
        }
        if (std::get<double>(n) != 1.0) {
            return refusal(fileName, lineNumber, "1 port (a one-port sweep)", quoted(value));
        }
    } else if (keyword == "number of frequencies") {
        const auto n = numberAfter("the number of frequencies");
        if (const auto* e = std::get_if<SweepError>(&n)) {
            return *e;
        }
        state.declaredFrequencies = std::lround(std::get<double>(n));
    } else if (keyword == "reference") {
        if (value.empty()) {
            state.pendingReference = true;
        } else {
            const auto r = numberAfter("a reference resistance in ohm");
            if (const auto* e = std::get_if<SweepError>(&r)) {
                return *e;
            }
            state.options.referenceOhm = std::get<double>(r);
        }
    } else if (keyword == "end" || keyword == "noise data") {
        state.ended = true;
    } else if (keyword == "begin information") {
        state.inInformation = true;
    }
    // [Network Data], [Matrix Format], [Two-Port Data Order] and the like say nothing a
    // one-port sweep needs.
    return std::nullopt;
}

// r e^(i theta), with the sine and cosine that give the same bits in every build.
std::complex<double> polar(double r, double theta) {
    return {r * portable::cos(theta), r * portable::sin(theta)};
}

std::complex<double> pairValue(Pairing pairing, double a, double b) {
    switch (pairing) {
    case Pairing::RealImaginary: return {a, b};
    case Pairing::MagnitudeAngle: return polar(a, b * kPi / 180.0);
    case Pairing::DecibelAngle: return polar(portable::pow(10.0, a / 20.0), b * kPi / 180.0);
    }
    return {a, b};
}

// Version 1 files give Z and Y normalised to the reference resistance; later versions in ohm
// and siemens.
std::optional<std::complex<double>> impedanceOf(const State& state, std::complex<double> value) {
    const Options& o = state.options;
    const bool normalised = state.version < 2.0;
    switch (o.parameter) {
    case Parameter::S: return impedanceFromReflection(value, o.referenceOhm);
    case Parameter::Z: return normalised ? value * o.referenceOhm : value;
    case Parameter::Y:
        if (portable::abs(value) == 0.0) {
            return std::nullopt;
        }
        return portable::divide(normalised ? o.referenceOhm : 1.0, value);
    }
    return std::nullopt;
}

std::optional<SweepError> readDataLine(State& state, std::string_view line, int lineNumber,
                                       const std::string& fileName) {
    const auto words = printed::words(line);
    const std::string expected = std::string("3 numbers (frequency and two parts of ") +
                                 parameterName(state.options.parameter) + ")";
    double values[3] = {};
    for (std::size_t i = 0; i < words.size() && i < 3; ++i) {
        const auto v = number(words[i]);
        if (!v) {
            return refusal(fileName, lineNumber, expected, quoted(words[i]));
        }
        values[i] = *v;
    }
    if (words.size() != 3) {
        return refusal(fileName, lineNumber, expected, countOf(words.size(), "number"));
    }
    const double frequencyMHz = values[0] * state.options.toMHz;
    const auto previous = state.sweep.impedance.empty()
                              ? std::nullopt
                              : std::optional<double>(state.sweep.impedance.back().frequencyMHz);
    if (const auto order = outOfOrder(frequencyMHz, previous)) {
        return refusal(fileName, lineNumber, *order, quoted(words[0]));
    }
    const auto z = impedanceOf(state, pairValue(state.options.pairing, values[1], values[2]));
    if (!z) {
        return refusal(fileName, lineNumber,
                       std::string("a finite impedance (") +
                           parameterName(state.options.parameter) + " of an open circuit)",
                       quoted(line));
    }
    FeedPoint point;
    point.frequencyMHz = frequencyMHz;
    point.impedance = *z;
    state.sweep.impedance.push_back(point);
    return std::nullopt;
}

std::optional<SweepError> readLine(State& state, std::string_view line, int lineNumber,
                                   const std::string& fileName) {
    if (line.front() == '[') {
        return readKeyword(state, line, lineNumber, fileName);
    }
    if (state.inInformation) {
        return std::nullopt;
    }
    if (line.front() == '#') {
        return readOptionLine(state, line, lineNumber, fileName);
    }
    if (state.pendingReference) {
        state.pendingReference = false;
        const auto words = printed::words(line);
        const auto r = number(words.front());
        if (!r || !(*r > 0.0)) {
            return refusal(fileName, lineNumber, "a reference resistance in ohm after [Reference]",
                           quoted(words.front()));
        }
        state.options.referenceOhm = *r;
        return std::nullopt;
    }
    return readDataLine(state, line, lineNumber, fileName);
}

} // namespace

std::variant<MeasuredSweep, SweepError> readTouchstone(std::string_view text,
                                                       const std::string& fileName) {
    State state;
    state.sweep.format = SweepFormat::Touchstone;
    Lines lines(text);
    int endLine = 1;
    while (!state.ended) {
        const auto raw = lines.next();
        if (!raw) {
            break;
        }
        endLine = lines.number();
        const std::string_view line = withoutComment(*raw);
        if (line.empty()) {
            continue;
        }
        if (auto error = readLine(state, line, lines.number(), fileName)) {
            return *error;
        }
    }
    const std::size_t count = state.sweep.impedance.size();
    if (state.declaredFrequencies && *state.declaredFrequencies != static_cast<long>(count)) {
        return refusal(fileName, endLine,
                       std::to_string(*state.declaredFrequencies) +
                           " data lines as [Number of Frequencies] says",
                       countOf(count, "data line"));
    }
    if (count < 2) {
        return refusal(fileName, endLine, "at least 2 data lines", countOf(count, "data line"));
    }
    state.sweep.referenceOhm = state.options.referenceOhm;
    return state.sweep;
}

} // namespace brevan::check
