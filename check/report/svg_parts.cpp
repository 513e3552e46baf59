// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/svg_parts.h"

#include "floating_chars.h"
#include "portable_maths.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace brevan::check::svg {

std::string number(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto result = toChars(buffer.data(), buffer.data() + buffer.size(), value,
                                std::chars_format::fixed, decimals);
    std::string text(buffer.data(), result.ptr);
    return text == "-0" || text.find_first_not_of("-0.") == std::string::npos ? "0" : text;
}

std::string coord(double value) {
    return number(value, 2);
}

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

double niceStep(double span, int wanted) {
    const double raw = span / std::max(wanted, 1);
    const double decade = portable::pow(10.0, portable::decimalExponent(raw));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * decade >= raw) {
            return factor * decade;
        }
    }
    return 10.0 * decade;
}

int decimalsFor(double step) {
    return std::max(0, -portable::decimalExponent(step * (1.0 + 1e-9)));
}

std::string text(double x, double y, const std::string& content, const std::string& extra) {
    return "<text x=\"" + coord(x) + "\" y=\"" + coord(y) + "\"" + extra + ">" + escaped(content) +
           "</text>\n";
}

std::string line(double x1, double y1, double x2, double y2, const std::string& style) {
    return "<line x1=\"" + coord(x1) + "\" y1=\"" + coord(y1) + "\" x2=\"" + coord(x2) +
           "\" y2=\"" + coord(y2) + "\" " + style + "/>\n";
}

} // namespace brevan::check::svg
