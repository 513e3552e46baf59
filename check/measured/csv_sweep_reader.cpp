// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV files analysers export: a header row that names the columns, then one row a point.
// Analysers differ in names, units, separators and quoting, so the header is read by what its
// cells mean, and every other column is left alone.

#include "measured/sweep_text.h"

#include "nec/printed_text.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace brevan::check {

namespace {

using namespace sweep_text;

enum class Role { Frequency, Resistance, Reactance, ReflectionReal, ReflectionImaginary, Swr };
constexpr std::size_t kRoles = 6;

struct Header {
    char separator = ',';
    double toMHz = 0.0;
    std::array<std::optional<std::size_t>, kRoles> column; // by Role
    std::vector<std::string> names;                        // as written, for refusals
};

std::optional<std::size_t>& columnOf(Header& h, Role r) {
    return h.column[static_cast<std::size_t>(r)];
}
std::optional<std::size_t> columnOf(const Header& h, Role r) {
    return h.column[static_cast<std::size_t>(r)];
}

char separatorOf(std::string_view line) {
    for (const char candidate : {';', ',', '\t'}) {
        if (line.find(candidate) != std::string_view::npos) {
            return candidate;
        }
    }
    return '\0';
}

// The cells of a row; a separator inside double quotes belongs to its cell.
std::vector<std::string_view> cells(std::string_view line, char separator) {
    std::vector<std::string_view> out;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || (line[i] == separator && !quoted)) {
            std::string_view cell = printed::trimmed(line.substr(start, i - start));
            if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"') {
                cell = printed::trimmed(cell.substr(1, cell.size() - 2));
            }
            out.push_back(cell);
            start = i + 1;
        } else if (line[i] == '"') {
            quoted = !quoted;
        }
    }
    return out;
}

// A header cell reduced to what names it: lower case without blanks, quotes or joiners.
std::string compact(std::string_view cell) {
    std::string out;
    for (const char c : lowercase(cell)) {
        if (std::string_view(" _-.\"'").find(c) == std::string_view::npos) {
            out.push_back(c);
        }
    }
    return out;
}

// Without bracketed units: "r(ohm)" -> "r", "x[ω]" -> "x".
std::string withoutUnits(const std::string& name) {
    std::string out;
    int depth = 0;
    for (const char c : name) {
        if (c == '(' || c == '[') {
            ++depth;
        } else if (c == ')' || c == ']') {
            depth = std::max(0, depth - 1);
        } else if (depth == 0) {
            out.push_back(c);
        }
    }
    return out;
}

bool isOneOf(const std::string& name, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return name == n; });
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

std::optional<double> frequencyUnit(const std::string& name) {
    if (contains(name, "ghz")) {
        return 1e3;
    }
    if (contains(name, "mhz")) {
        return 1.0;
    }
    if (contains(name, "khz")) {
        return 1e-3;
    }
    if (contains(name, "hz")) {
        return 1e-6;
    }
    return std::nullopt;
}

std::optional<Role> roleOf(const std::string& name) {
    const std::string base = withoutUnits(name);
    if (contains(name, "swr")) {
        return Role::Swr;
    }
    if (base.rfind("freq", 0) == 0 || base == "f") {
        return Role::Frequency;
    }
    if (contains(name, "s11")) {
        // What is left of "S11 Real", "Re(S11)", "s11_im" once S11 and the brackets go.
        std::string rest;
        std::string others = name;
        others.erase(others.find("s11"), 3);
        for (const char c : others) {
            if (std::string_view("()[]").find(c) == std::string_view::npos) {
                rest.push_back(c);
            }
        }
        if (isOneOf(rest, {"re", "real", "r"})) {
            return Role::ReflectionReal;
        }
        if (isOneOf(rest, {"im", "imag", "imaginary", "i"})) {
            return Role::ReflectionImaginary;
        }
        return std::nullopt; // magnitude, phase, dB, return loss: not read
    }
    if (isOneOf(name, {"re(z)", "real(z)", "zre", "zreal", "zr", "rez", "realz"}) ||
        isOneOf(base, {"r", "rs", "resistance", "rseries"})) {
        return Role::Resistance;
    }
    if (isOneOf(name, {"im(z)", "imag(z)", "zim", "zimag", "zx", "imz", "imagz"}) ||
        isOneOf(base, {"x", "xs", "reactance", "xseries"})) {
        return Role::Reactance;
    }
    if (isOneOf(base, {"re", "real"})) {
        return Role::ReflectionReal;
    }
    if (isOneOf(base, {"im", "imag", "imaginary"})) {
        return Role::ReflectionImaginary;
    }
    return std::nullopt;
}

constexpr const char* kHeaderExpected =
    "a header row naming the frequency and either R and X, S11's real and imaginary parts, or "
    "SWR";

std::variant<Header, SweepError> readHeader(std::string_view line, int lineNumber,
                                            const std::string& fileName) {
    Header h;
    h.separator = separatorOf(line);
    if (h.separator == '\0') {
        return SweepError{fileName, lineNumber, kHeaderExpected, quoted(line)};
    }
    const auto row = cells(line, h.separator);
    for (std::size_t i = 0; i < row.size(); ++i) {
        h.names.emplace_back(row[i]);
        const std::string name = compact(row[i]);
        const auto role = roleOf(name);
        if (!role || columnOf(h, *role)) {
            continue; // an unknown column, or a second one of a kind: the first counts
        }
        if (*role == Role::Frequency) {
            const auto unit = frequencyUnit(name);
            if (!unit) {
                return SweepError{fileName, lineNumber,
                                  "the frequency's unit (Hz, kHz, MHz or GHz) in the header",
                                  quoted(row[i])};
            }
            h.toMHz = *unit;
        }
        columnOf(h, *role) = i;
    }
    const bool impedance = columnOf(h, Role::Resistance) && columnOf(h, Role::Reactance);
    const bool reflection =
        columnOf(h, Role::ReflectionReal) && columnOf(h, Role::ReflectionImaginary);
    const bool swr = columnOf(h, Role::Swr).has_value();
    if (!columnOf(h, Role::Frequency) || !(impedance || reflection || swr)) {
        return SweepError{fileName, lineNumber, kHeaderExpected, quoted(line)};
    }
    return h;
}

SweepKind kindOf(const Header& h) {
    const bool impedance = columnOf(h, Role::Resistance) && columnOf(h, Role::Reactance);
    const bool reflection =
        columnOf(h, Role::ReflectionReal) && columnOf(h, Role::ReflectionImaginary);
    return impedance || reflection ? SweepKind::Impedance : SweepKind::SwrOnly;
}

// A cell of a data row as a number; a semicolon or tab file may write a decimal comma.
std::optional<double> cellNumber(std::string_view cell, char separator) {
    if (separator != ',' && cell.find(',') != std::string_view::npos) {
        std::string dotted(cell);
        std::replace(dotted.begin(), dotted.end(), ',', '.');
        return number(dotted);
    }
    return number(cell);
}

struct Row {
    const Header& header;
    std::vector<std::string_view> cells;
    int line;
    const std::string& fileName;

    std::variant<double, SweepError> value(Role role) const {
        const std::size_t i = *columnOf(header, role);
        const std::string expected =
            "a number under " + quoted(header.names[i]) + " (column " + std::to_string(i + 1) + ")";
        if (i >= cells.size() || cells[i].empty()) {
            return SweepError{fileName, line, expected,
                              i >= cells.size() ? std::string("the end of the row")
                                                : std::string("an empty cell")};
        }
        const auto v = cellNumber(cells[i], header.separator);
        if (!v) {
            return SweepError{fileName, line, expected, quoted(cells[i])};
        }
        return *v;
    }
};

std::optional<SweepError> readRow(MeasuredSweep& sweep, const Row& row,
                                  std::optional<double>& lastMHz) {
    std::array<double, kRoles> v{};
    const std::array<Role, 3> wanted =
        sweep.kind == SweepKind::SwrOnly
            ? std::array<Role, 3>{Role::Frequency, Role::Swr, Role::Swr}
        : columnOf(row.header, Role::Resistance) && columnOf(row.header, Role::Reactance)
            ? std::array<Role, 3>{Role::Frequency, Role::Resistance, Role::Reactance}
            : std::array<Role, 3>{Role::Frequency, Role::ReflectionReal, Role::ReflectionImaginary};
    for (const Role role : wanted) {
        auto value = row.value(role);
        if (auto* e = std::get_if<SweepError>(&value)) {
            return std::move(*e);
        }
        v[static_cast<std::size_t>(role)] = std::get<double>(value);
    }
    const double f = v[static_cast<std::size_t>(Role::Frequency)] * row.header.toMHz;
    const std::size_t fColumn = *columnOf(row.header, Role::Frequency);
    if (const auto order = outOfOrder(f, lastMHz)) {
        return SweepError{row.fileName, row.line, *order, quoted(row.cells[fColumn])};
    }
    lastMHz = f;
    if (sweep.kind == SweepKind::SwrOnly) {
        const double s = v[static_cast<std::size_t>(Role::Swr)];
        if (!(s >= 1.0)) {
            return SweepError{row.fileName, row.line, "an SWR of 1 or more",
                              quoted(row.cells[*columnOf(row.header, Role::Swr)])};
        }
        sweep.swr.push_back(SwrPoint{f, s});
        return std::nullopt;
    }
    FeedPoint point;
    point.frequencyMHz = f;
    if (wanted[1] == Role::Resistance) {
        point.impedance = {v[static_cast<std::size_t>(Role::Resistance)],
                           v[static_cast<std::size_t>(Role::Reactance)]};
    } else {
        const std::complex<double> s11{v[static_cast<std::size_t>(Role::ReflectionReal)],
                                       v[static_cast<std::size_t>(Role::ReflectionImaginary)]};
        const auto z = impedanceFromReflection(s11, sweep.referenceOhm);
        if (!z) {
            return SweepError{row.fileName, row.line, "a finite impedance (S11 of an open circuit)",
                              "S11 = 1"};
        }
        point.impedance = *z;
    }
    sweep.impedance.push_back(point);
    return std::nullopt;
}

} // namespace

std::variant<MeasuredSweep, SweepError> readCsvSweep(std::string_view text,
                                                     const std::string& fileName) {
    MeasuredSweep sweep;
    sweep.format = SweepFormat::Csv;
    sweep.referenceOhm = 50.0; // analysers' CSV files do not say; their ports are 50 ohm
    Lines lines(text);
    std::optional<Header> header;
    std::optional<double> lastMHz;
    std::size_t count = 0;
    int endLine = 1;
    while (const auto raw = lines.next()) {
        endLine = lines.number();
        const std::string_view line = printed::trimmed(*raw);
        if (line.empty() || line.front() == '!') {
            continue;
        }
        if (!header) {
            auto read = readHeader(line, lines.number(), fileName);
            if (auto* e = std::get_if<SweepError>(&read)) {
                return std::move(*e);
            }
            header = std::get<Header>(std::move(read));
            sweep.kind = kindOf(*header);
            continue;
        }
        const Row row{*header, cells(line, header->separator), lines.number(), fileName};
        if (auto error = readRow(sweep, row, lastMHz)) {
            return std::move(*error);
        }
        ++count;
    }
    if (!header) {
        return SweepError{fileName, endLine, kHeaderExpected, "the end of the file"};
    }
    if (count < 2) {
        return SweepError{fileName, endLine, "at least 2 data rows", countOf(count, "data row")};
    }
    return sweep;
}

} // namespace brevan::check
