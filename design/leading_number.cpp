// SPDX-License-Identifier: GPL-3.0-or-later
#include "leading_number.h"

#include "floating_chars.h"

#include <algorithm>
#include <limits>
#include <string>

namespace brevan {
namespace {

bool isSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Walks the text while skipping blanks, so "1 2. 5" reads like "12.5".
class Cursor {
public:
    explicit Cursor(std::string_view text) : m_text(text) { skipBlanks(); }
    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }
    void next() {
        ++m_pos;
        skipBlanks();
    }

private:
    void skipBlanks() {
        while (!atEnd() && isSkipped(m_text[m_pos])) {
            ++m_pos;
        }
    }
    std::string_view m_text;
    std::size_t m_pos = 0;
};

int digitValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

double readWhole(Cursor& in, int radix) {
    double value = 0.0;
    for (int d = digitValue(in.peek()); d < radix; d = digitValue(in.peek())) {
        value = value * radix + d; // saturates at infinity, never wraps
        in.next();
    }
    return value;
}

// Collects the decimal form into a compact string for from_chars, counting where the decimal
// exponent ends up so that a range error can be told apart as overflow or underflow.
struct DecimalText {
    std::string digits;      // "123.45e-6" without sign
    long long magnitude = 0; // rough decimal exponent of the value
    bool hasDigit = false;
};

constexpr long long kExponentLimit = 1LL << 40; // far beyond any binary64 exponent

long long clampedAdd(long long a, long long b) {
    return std::max(-kExponentLimit, std::min(a + b, kExponentLimit));
}

DecimalText readDecimal(Cursor& in) {
    DecimalText t;
    bool leadingZeros = true;
    long long intDigits = 0;
    long long fractionZeros = 0;
    for (; isDigit(in.peek()); in.next()) {
        t.digits += in.peek();
        t.hasDigit = true;
        leadingZeros = leadingZeros && in.peek() == '0';
        if (!leadingZeros) {
            intDigits = clampedAdd(intDigits, 1);
        }
    }
    if (in.peek() == '.') {
        t.digits += '.';
        in.next();
        for (; isDigit(in.peek()); in.next()) {
            t.digits += in.peek();
            t.hasDigit = true;
            if (leadingZeros && in.peek() == '0') {
                fractionZeros = clampedAdd(fractionZeros, 1);
            } else {
                leadingZeros = false;
            }
        }
    }
    t.magnitude = intDigits > 0 ? intDigits : -fractionZeros;
    if (!t.hasDigit) {
        return t;
    }

    const char e = in.peek();
    if (e != 'e' && e != 'E' && e != 'd' && e != 'D') {
        return t;
    }
    in.next();
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.next();
    }
    if (!isDigit(in.peek())) {
        return t; // "1e" and "1e+" read as 1
    }
    long long exponent = 0;
    for (; isDigit(in.peek()); in.next()) {
        exponent = std::min(exponent * 10 + (in.peek() - '0'), kExponentLimit);
    }
    exponent = negative ? -exponent : exponent;
    t.digits += 'e';
    t.digits += std::to_string(exponent);
    t.magnitude = clampedAdd(t.magnitude, exponent);
    return t;
}

double toDouble(const DecimalText& t) {
    double value = 0.0;
    const char* first = t.digits.data();
    const auto [ptr, ec] = fromChars(first, first + t.digits.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        return t.magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return ec == std::errc() ? value : 0.0;
}

} // namespace

double parseLeadingNumber(std::string_view text) {
    Cursor in(text);
    if (in.peek() == '&') {
        in.next();
        const char kind = in.peek();
        if (kind == 'h' || kind == 'H') {
            in.next();
            return readWhole(in, 16);
        }
        if (kind == 'o' || kind == 'O') {
            in.next();
        }
        return readWhole(in, 8);
    }

    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.next();
    }
    const DecimalText t = readDecimal(in);
    if (!t.hasDigit) {
        return 0.0;
    }
    const double value = toDouble(t);
    return negative ? -value : value;
}

} // namespace brevan
