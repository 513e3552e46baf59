// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/nec_output.h"

#include "nec/printed_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace brevan::check {

namespace {

// Markers of nec2c's printed output.
constexpr std::string_view kFrequencyLabel = "FREQUENCY :";
constexpr std::string_view kInputParametersTitle = "ANTENNA INPUT PARAMETERS";
constexpr std::string_view kInputPowerLabel = "INPUT POWER";
constexpr std::string_view kRadiatedPowerLabel = "RADIATED POWER";
constexpr std::string_view kStructureLossLabel = "STRUCTURE LOSS";
constexpr std::string_view kRunEnd = "TOTAL RUN TIME";

// Columns of an input-parameter row: tag, segment, voltage, current, impedance, admittance
// (each real and imaginary) and power.
constexpr std::size_t kInputRowColumns = 11;
constexpr std::size_t kImpedanceRealColumn = 6;

using printed::contains;
using printed::number;
using printed::trimmed;
using printed::words;

// What has been read of the frequency block being parsed.
struct Block {
    FeedPoint point;
    bool hasImpedance = false;
    bool hasInput = false;
    bool hasRadiated = false;
    bool hasLoss = false;
    bool awaitingRow = false; // inside the input-parameter table, before its row
};

class Reader {
public:
    bool fail(std::string message) {
        error_ = std::move(message);
        return false;
    }

    bool line(std::string_view text) {
        if (contains(text, kFrequencyLabel)) {
            return startBlock(text);
        }
        if (contains(text, kRunEnd)) {
            ended_ = true;
            return true;
        }
        if (!block_) {
            return true; // the echo of the deck and the structure come before any frequency
        }
        if (block_->awaitingRow) {
            return inputRow(text);
        }
        if (contains(text, kInputParametersTitle)) {
            block_->awaitingRow = true;
            return true;
        }
        if (contains(text, kInputPowerLabel)) {
            return power(text, block_->point.inputPower, block_->hasInput);
        }
        if (contains(text, kRadiatedPowerLabel)) {
            return power(text, block_->point.radiatedPower, block_->hasRadiated);
        }
        if (contains(text, kStructureLossLabel)) {
            return power(text, block_->point.structureLoss, block_->hasLoss);
        }
        return true;
    }

    bool finish() {
        if (!closeBlock()) {
            return false;
        }
        if (points_.empty()) {
            return fail("the output has no frequency block: the engine computed nothing");
        }
        if (!ended_) {
            return fail("the output stops before the engine's closing run-time line: it is "
                        "truncated");
        }
        return true;
    }

    std::vector<FeedPoint> takePoints() { return std::move(points_); }
    const std::string& error() const { return error_; }

private:
    bool startBlock(std::string_view text) {
        if (!closeBlock()) {
            return false;
        }
        if (ended_) {
            return fail("a frequency block follows the closing run-time line");
        }
        const auto rest = text.substr(text.find(kFrequencyLabel) + kFrequencyLabel.size());
        const auto fields = words(rest);
        const auto value =
            fields.size() == 2 && fields[1] == "MHz" ? number(fields[0]) : std::nullopt;
        if (!value) {
            return fail("unreadable frequency line: \"" + std::string(trimmed(text)) + "\"");
        }
        block_ = Block{};
        block_->point.frequencyMHz = *value;
        return true;
    }

    std::string where() const {
        return "the block of frequency " + std::to_string(points_.size() + 1);
    }

    bool closeBlock() {
        if (!block_) {
            return true;
        }
        if (!block_->hasImpedance) {
            return fail(where() + " has no antenna input parameters");
        }
        if (!block_->hasInput || !block_->hasRadiated || !block_->hasLoss) {
            return fail(where() + " has no complete power budget (input power, radiated power, "
                                  "structure loss)");
        }
        points_.push_back(block_->point);
        block_.reset();
        return true;
    }

    bool inputRow(std::string_view text) {
        const auto fields = words(text);
        if (fields.empty() || fields[0] == "TAG" || fields[0] == "No:") {
            return true; // the table's blank lines and column headings
        }
        block_->awaitingRow = false;
        if (fields.size() != kInputRowColumns) {
            return fail(where() + ": the input-parameter row has " + std::to_string(fields.size()) +
                        " columns instead of " + std::to_string(kInputRowColumns));
        }
        for (const auto& field : fields) {
            if (!number(field)) {
                return fail(where() + ": unreadable number \"" + std::string(field) +
                            "\" in the input-parameter row");
            }
        }
        block_->point.impedance = {*number(fields[kImpedanceRealColumn]),
                                   *number(fields[kImpedanceRealColumn + 1])};
        block_->hasImpedance = true;
        return true;
    }

    bool power(std::string_view text, double& value, bool& seen) {
        const auto equals = text.find('=');
        const auto fields = equals == std::string_view::npos ? std::vector<std::string_view>{}
                                                             : words(text.substr(equals + 1));
        const auto read =
            fields.size() == 2 && fields[1] == "Watts" ? number(fields[0]) : std::nullopt;
        if (!read) {
            return fail(where() + ": unreadable power line \"" + std::string(trimmed(text)) + "\"");
        }
        value = *read;
        seen = true;
        return true;
    }

    std::optional<Block> block_;
    std::vector<FeedPoint> points_;
    bool ended_ = false;
    std::string error_;
};

// The table of currents: a title, two lines of headings, then one row per segment (segment,
// tag, x, y, z, length, real, imaginary, magnitude, phase) up to a blank line.
constexpr std::string_view kCurrentsTitle = "CURRENTS AND LOCATION";
constexpr std::size_t kCurrentRowColumns = 10;
constexpr std::size_t kCurrentRealColumn = 6;

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t position = 0;
    while (position < text.size()) {
        auto end = text.find('\n', position);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        out.push_back(text.substr(position, end - position));
        position = end + 1;
    }
    return out;
}

} // namespace

std::optional<std::vector<std::complex<double>>> parseSegmentCurrents(std::string_view text) {
    const std::vector<std::string_view> all = lines(text);
    auto line = std::find_if(all.begin(), all.end(),
                             [](std::string_view l) { return contains(l, kCurrentsTitle); });
    if (line == all.end()) {
        return std::nullopt;
    }
    std::vector<std::complex<double>> out;
    for (++line; line != all.end(); ++line) {
        const auto fields = words(*line);
        if (fields.empty()) {
            if (out.empty()) {
                continue; // the blank line under the title
            }
            break;
        }
        if (fields.size() != kCurrentRowColumns || !number(fields[0])) {
            if (out.empty()) {
                continue; // the headings
            }
            return std::nullopt;
        }
        const auto re = number(fields[kCurrentRealColumn]);
        const auto im = number(fields[kCurrentRealColumn + 1]);
        if (!re || !im || *number(fields[0]) != static_cast<double>(out.size() + 1)) {
            return std::nullopt;
        }
        out.emplace_back(*re, *im);
    }
    if (out.empty()) {
        return std::nullopt;
    }
    return out;
}

double efficiency(const FeedPoint& point) {
    if (!(point.inputPower > 0.0)) {
        return 0.0;
    }
    return point.radiatedPower / point.inputPower;
}

std::optional<std::vector<FeedPoint>> parseEngineOutput(std::string_view text, std::string* error) {
    Reader reader;
    bool ok = true;
    std::size_t position = 0;
    while (ok && position < text.size()) {
        auto end = text.find('\n', position);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        ok = reader.line(text.substr(position, end - position));
        position = end + 1;
    }
    ok = ok && reader.finish();
    if (!ok) {
        if (error) {
            *error = reader.error();
        }
        return std::nullopt;
    }
    return reader.takePoints();
}

} // namespace brevan::check
