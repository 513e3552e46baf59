// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/radiation_pattern.h"

#include "nec/printed_text.h"
#include "portable_maths.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <map>
#include <system_error>
#include <utility>
#include <vector>

namespace brevan::check {

namespace {

// Markers of nec2c's printed pattern.
constexpr std::string_view kPatternTitle = "RADIATION PATTERNS";
constexpr std::string_view kAverageLabel = "AVERAGE POWER GAIN";

// A pattern row: theta, phi, three gains (dB), axial ratio, tilt, sense, and the magnitude and
// phase of E(theta) and E(phi). The sense is left blank where there is no field at all.
constexpr std::size_t kRowColumns = 12;
constexpr std::size_t kTotalGainColumn = 4;
constexpr std::size_t kSenseColumn = 7;

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180.0;
constexpr double kZenithToHorizon = 90.0; // degrees of theta
constexpr double kAngleTolerance = 1e-9;  // degrees
// The engine prints -999.99 dB for no field; anything this low is no radiation.
constexpr double kNoFieldDb = -999.0;
// The upper half space's share of the full sphere, over which the power gain averages to the
// share of the input power radiated.
constexpr double kHalfSpaceShare = 0.5;

using printed::contains;
using printed::number;
using printed::trimmed;
using printed::words;

bool same(double a, double b) {
    return std::abs(a - b) <= kAngleTolerance;
}

// The printed grid: gains in dB keyed by (theta, phi) in degrees.
using Grid = std::map<std::pair<double, double>, double>;

class PatternReader {
public:
    bool line(std::string_view text) {
        if (contains(text, kPatternTitle)) {
            if (started_) {
                return fail("the output has more than one radiation pattern: the sky share is "
                            "read from a one-frequency run");
            }
            started_ = true;
            return true;
        }
        if (!started_ || ended_) {
            return true;
        }
        if (contains(text, kAverageLabel)) {
            ended_ = true;
            return true;
        }
        return row(text);
    }

    bool finish() {
        if (!started_) {
            return fail("the output has no radiation pattern: the deck asked for none");
        }
        if (!ended_) {
            return fail("the radiation pattern stops before the engine's average power gain "
                        "line: it is truncated");
        }
        if (grid_.empty()) {
            return fail("the radiation pattern has no rows");
        }
        return true;
    }

    const Grid& grid() const { return grid_; }
    const std::string& error() const { return error_; }

    bool fail(std::string message) {
        error_ = std::move(message);
        return false;
    }

private:
    bool row(std::string_view text) {
        const auto fields = words(text);
        // Headings and blank lines: a row starts with its theta.
        if (fields.empty() || !number(fields[0])) {
            return true;
        }
        const bool senseBlank = fields.size() == kRowColumns - 1;
        if (fields.size() != kRowColumns && !senseBlank) {
            return fail("the pattern row \"" + std::string(trimmed(text)) + "\" has " +
                        std::to_string(fields.size()) + " columns instead of " +
                        std::to_string(kRowColumns));
        }
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const bool senseColumn = i == kSenseColumn && !senseBlank;
            if (!senseColumn && !number(fields[i])) {
                return fail("unreadable number \"" + std::string(fields[i]) +
                            "\" in the pattern row \"" + std::string(trimmed(text)) + "\"");
            }
        }
        const auto key = std::make_pair(*number(fields[0]), *number(fields[1]));
        if (!grid_.emplace(key, *number(fields[kTotalGainColumn])).second) {
            return fail("the pattern prints the direction theta " + std::string(fields[0]) +
                        ", phi " + std::string(fields[1]) + " twice");
        }
        return true;
    }

    Grid grid_;
    bool started_ = false;
    bool ended_ = false;
    std::string error_;
};

std::vector<double> sortedUnique(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

struct Axes {
    std::vector<double> thetas; // degrees, ascending
    std::vector<double> phis;   // degrees, ascending
};

// The grid's axes when it is whole and covers the upper half space (through the model's
// symmetry), or the reason it does not.
std::optional<Axes> axesOf(const Grid& grid, std::string& why) {
    std::vector<double> thetas;
    std::vector<double> phis;
    for (const auto& entry : grid) {
        thetas.push_back(entry.first.first);
        phis.push_back(entry.first.second);
    }
    Axes axes{sortedUnique(thetas), sortedUnique(phis)};
    if (axes.thetas.size() < 2 || !same(axes.thetas.front(), 0.0) ||
        !same(axes.thetas.back(), kZenithToHorizon)) {
        why = "the pattern does not run from the zenith (theta 0) to the horizon (theta 90)";
        return std::nullopt;
    }
    const double phiSpan = axes.phis.back() - axes.phis.front();
    if (axes.phis.size() < 2 || !same(axes.phis.front(), 0.0) ||
        !(same(phiSpan, 90.0) || same(phiSpan, 180.0) || same(phiSpan, 360.0))) {
        why = "the pattern's phi does not run from 0 to 90, 180 or 360 degrees";
        return std::nullopt;
    }
    if (grid.size() != axes.thetas.size() * axes.phis.size()) {
        why = "the pattern has " + std::to_string(grid.size()) + " rows, not the " +
              std::to_string(axes.thetas.size() * axes.phis.size()) + " of a whole grid";
        return std::nullopt;
    }
    return axes;
}

double powerRatio(double db) {
    return db <= kNoFieldDb ? 0.0 : portable::pow(10.0, db / 10.0);
}

// Trapezoid weights of a sorted axis, in radians.
std::vector<double> trapezoidWeights(const std::vector<double>& degrees) {
    std::vector<double> weights(degrees.size(), 0.0);
    for (std::size_t i = 0; i + 1 < degrees.size(); ++i) {
        const double half = 0.5 * (degrees[i + 1] - degrees[i]) * kDegree;
        weights[i] += half;
        weights[i + 1] += half;
    }
    return weights;
}

// The power gain averaged over the printed directions, each weighted by its solid angle. The
// same weights in numerator and denominator make the quadrature's error in the solid angle
// itself cancel.
double averagePowerGain(const Grid& grid, const Axes& axes) {
    const auto thetaWeights = trapezoidWeights(axes.thetas);
    const auto phiWeights = trapezoidWeights(axes.phis);
    double weightedGain = 0.0;
    double solidAngle = 0.0;
    for (std::size_t p = 0; p < axes.phis.size(); ++p) {
        for (std::size_t t = 0; t < axes.thetas.size(); ++t) {
            const double weight =
                phiWeights[p] * thetaWeights[t] * portable::sin(axes.thetas[t] * kDegree);
            weightedGain += weight * powerRatio(grid.at({axes.thetas[t], axes.phis[p]}));
            solidAngle += weight;
        }
    }
    return weightedGain / solidAngle;
}

// The highest gain and its elevation into `pattern`; false when no direction has any field.
// Directions are visited by rising theta, so of equal gains the one nearest the zenith wins.
bool strongest(const Grid& grid, const Axes& axes, SkyPattern& pattern) {
    bool found = false;
    for (const double theta : axes.thetas) {
        for (const double phi : axes.phis) {
            const double gain = grid.at({theta, phi});
            if (gain > kNoFieldDb && (!found || gain > pattern.maxGainDbi)) {
                found = true;
                pattern.maxGainDbi = gain;
                pattern.maxGainElevationDeg = kZenithToHorizon - theta;
            }
        }
    }
    return found;
}

} // namespace

std::string skyPatternCard() {
    // RP mode 0 (space wave), 46 thetas x 10 phis, XNDA 1001: vertical/horizontal gains, no
    // normalisation, power gain, average printed; from theta 0 and phi 0 in steps of 2 and 10
    // degrees; no field distance. The average converges to 0.1 % of input power at this grid.
    return "RP 0 46 10 1001 0 0 2 10 0 0\n";
}

std::optional<SkyPattern> readSkyPattern(std::string_view engineOutput, std::string* error) {
    PatternReader reader;
    bool ok = true;
    std::size_t position = 0;
    while (ok && position < engineOutput.size()) {
        auto end = engineOutput.find('\n', position);
        if (end == std::string_view::npos) {
            end = engineOutput.size();
        }
        ok = reader.line(engineOutput.substr(position, end - position));
        position = end + 1;
    }
    ok = ok && reader.finish();
    std::optional<Axes> axes;
    if (ok) {
        std::string why;
        axes = axesOf(reader.grid(), why);
        ok = axes.has_value() || reader.fail(why);
    }
    SkyPattern pattern;
    if (ok) {
        ok = strongest(reader.grid(), *axes, pattern) ||
             reader.fail("the radiation pattern shows no field in any direction");
        pattern.skyShare = kHalfSpaceShare * averagePowerGain(reader.grid(), *axes);
    }
    if (!ok) {
        if (error) {
            *error = reader.error();
        }
        return std::nullopt;
    }
    return pattern;
}

} // namespace brevan::check
