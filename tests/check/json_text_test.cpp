// SPDX-License-Identifier: GPL-3.0-or-later
// The core's JSON text against Qt's QJsonDocument, which wrote every report and design file
// before the core took the writing over: the same bytes for the same document, so that files
// and scripts written against the old output keep working.
#include "json/json_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <random>

namespace brevan::check {
namespace {

std::string qtNumber(double value) {
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2).toStdString();
}

TEST(JsonText, NumbersAreWrittenAsQtWroteThem) {
    // The turns between integer, decimal and exponent forms, and the ties between the last two.
    const double values[] = {0.0,
                             -0.0,
                             1.0,
                             -4.56,
                             7.05,
                             0.1 + 0.2,
                             1.0 / 3,
                             1e-4,
                             1.5e-4,
                             1e-5,
                             9.5e-5,
                             0.000123,
                             1e5,
                             100000.5,
                             1e15,
                             1e16,
                             1.5e16,
                             123456789012e5,
                             9007199254740992.0,
                             9007199254740994.0,
                             9.0072e15,
                             9223372036854775808.0,
                             12345678901234567890.0,
                             1e21,
                             1e300,
                             2.5e-300,
                             5e-324,
                             std::numeric_limits<double>::max(),
                             99999.999999999985};
    for (const double value : values) {
        EXPECT_EQ(jsonNumber(value), qtNumber(value)) << value;
    }
    // Any bit pattern, and figures of every size with few digits, as measurements have.
    std::mt19937_64 random(20261209);
    std::uniform_int_distribution<int> exponent(-12, 22);
    std::uniform_int_distribution<int> digits(1, 99999);
    for (int i = 0; i < 20000; ++i) {
        std::uint64_t bits = random();
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) {
            ASSERT_EQ(jsonNumber(value), qtNumber(value)) << bits;
        }
        const double figure = digits(random) * std::pow(10.0, exponent(random));
        ASSERT_EQ(jsonNumber(figure), qtNumber(figure)) << figure;
    }
}

TEST(JsonText, DocumentsAreLaidOutAsQtLaidThemOut) {
    const std::string awkward = std::string("a\"b\\c/d\n\t\r\b\f") + '\x01' + "\x1f\x7f é — ok";
    const Json core{{"b", Json::array()},
                    {"a", Json::object()},
                    {"c", Json::array({Json::array({1.5, 2}), Json::array()})},
                    {"n", nullptr},
                    {"t", true},
                    {"f", false},
                    {"s", awkward},
                    {"_x", 1},
                    {"Z", -2},
                    {"a_b", 3},
                    {"ab", 4},
                    {"a1", 5},
                    {"deep", {{"inner", {{"list", Json::array({"x", nullptr, 0.25})}}}}}};
    const QJsonObject qt{
        {"b", QJsonArray{}},
        {"a", QJsonObject{}},
        {"c", QJsonArray{QJsonArray{1.5, 2}, QJsonArray{}}},
        {"n", QJsonValue()},
        {"t", true},
        {"f", false},
        {"s", QString::fromStdString(awkward)},
        {"_x", 1},
        {"Z", -2},
        {"a_b", 3},
        {"ab", 4},
        {"a1", 5},
        {"deep",
         QJsonObject{{"inner", QJsonObject{{"list", QJsonArray{"x", QJsonValue(), 0.25}}}}}}};
    EXPECT_EQ(jsonText(core), QJsonDocument(qt).toJson(QJsonDocument::Indented).toStdString());
    EXPECT_EQ(jsonText(Json::object()), QJsonDocument(QJsonObject{}).toJson().toStdString());
}

// Text that is not UTF-8 (a file name from an odd disk) is still written as valid JSON.
TEST(JsonText, BytesThatAreNotUtf8BecomeReplacementCharacters) {
    const std::string bad = "bad\xff\xfe"
                            "x\xc3(\xe2\x82";
    const std::string expected =
        "\"bad\xef\xbf\xbd\xef\xbf\xbdx\xef\xbf\xbd(\xef\xbf\xbd\xef\xbf\xbd\"";
    EXPECT_EQ(jsonText(Json{{"k", bad}}), "{\n    \"k\": " + expected + "\n}\n");
}

} // namespace
} // namespace brevan::check
