// SPDX-License-Identifier: GPL-3.0-or-later
// The JSON report's numbers: each reads back to the very double of the record, in its shortest
// text, and figures that are decimal by nature come out as people write them.
#include "hand_made_report.h"
#include "report/report_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>

namespace brevan::check {
namespace {

using test::notReached;
using test::typicalCheck;
using test::typicalReport;

QByteArray jsonBytes(const CheckReport& report, const QString& version) {
    return QByteArray::fromStdString(check::reportJson(report, version.toStdString()));
}

QJsonObject parsed(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.object();
}

std::string shortest(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// `"key": text` followed by the end of the number.
bool writes(const QByteArray& json, const std::string& key, const std::string& text) {
    const std::string all = json.toStdString();
    const std::string needle = "\"" + key + "\": " + text;
    for (std::size_t at = all.find(needle); at != std::string::npos;
         at = all.find(needle, at + 1)) {
        const char next = all[at + needle.size()];
        if (next == ',' || next == '\n') {
            return true;
        }
    }
    return false;
}

TEST(ReportJson, NumbersReadBackToTheSameDoubleInTheirShortestText) {
    const double values[] = {
        7.05,     0.1 + 0.2, 1.0 / 3, 7.371536318253485, 1e-7, 123456.789, 1e21,
        2.5e-300, 0.0,       -4.56,   99999.999999999985};
    for (const double value : values) {
        SCOPED_TRACE(shortest(value));
        CheckReport report = typicalReport();
        report.inputs.frequencyMHz = value;
        const QByteArray json = jsonBytes(report, QStringLiteral("test"));
        EXPECT_EQ(parsed(json)["inputs"].toObject()["frequency_mhz"].toDouble(), value);
        EXPECT_TRUE(writes(json, "frequency_mhz", shortest(value))) << json.toStdString();
    }
}

TEST(ReportJson, DecimalFiguresComeOutAsPeopleWriteThem) {
    CheckReport report = typicalReport();
    AntennaCheck check = typicalCheck();
    // 15 m less 56 cm at each tip is 13.879999999999999 in binary arithmetic.
    check.trim.tipChange = -0.56;
    check.trim.trimmedLength = 15 + 2 * -0.56;
    check.trimmed->length = check.trim.trimmedLength;
    applyAntennaCheck(report, check);
    const QByteArray json = jsonBytes(report, QStringLiteral("test"));
    struct Row {
        const char* key;
        const char* text;
    };
    const Row rows[] = {
        {"trimmed_length_m", "13.88"},
        {"length_m", "13.88"},
        {"tip_change_m", "-0.56"},
        {"coil_wire_diameter_mm", "0.9144"},
        {"pitch_mm", "0.9144"},
        {"wire_diameter_mm", "1.626"},
        {"winding_length_mm", "8.2296"},
        {"inner_wire_m", "2.996"},
        {"outer_wire_m", "4.496"},
        {"coil_lead_allowance_m", "0.1"},
        {"diameter_to_centres_mm", "50.9144"},
    };
    for (const Row& row : rows) {
        EXPECT_TRUE(writes(json, row.key, row.text)) << row.key << " " << json.toStdString();
    }
}

TEST(ReportJson, ATrimShortOfFHasNoLengthToCut) {
    CheckReport report = typicalReport();
    applyAntennaCheck(report, notReached(TrimOutcome::CoilsInTheWay, 6.2, 6.9));
    const QJsonObject root = parsed(jsonBytes(report, QStringLiteral("test")));
    const QJsonObject antenna = root["antenna"].toObject();
    const QJsonObject trim = antenna["trim"].toObject();
    EXPECT_EQ(trim["outcome"].toString(), QStringLiteral("coils_in_the_way"));
    EXPECT_FALSE(trim["reaches_design"].toBool());
    EXPECT_TRUE(trim["tip_change_m"].isNull());
    EXPECT_EQ(trim["limit_length_m"].toDouble(), 6.2);
    EXPECT_EQ(trim["limit_resonance_mhz"].toDouble(), 6.9);
    EXPECT_TRUE(antenna["trimmed"].isNull());
    EXPECT_EQ(antenna["needed_coil"].toObject()["outcome"].toString(),
              QStringLiteral("not_sought"));
    EXPECT_TRUE(root["cut_list"].toObject()["tip_change_m"].isNull());
    EXPECT_FALSE(root["verdict"].toArray().isEmpty());
}

TEST(ReportJson, OverGroundTheSkyShareStandsApartFromTheEfficiency) {
    CheckReport report = typicalReport();
    AntennaCheck check = typicalCheck();
    check.built.sky = SkyShare{0.62, 6.3, 23};
    check.built.resonanceUncertainty = 0.003;
    applyAntennaCheck(report, check);
    const QJsonObject built =
        parsed(jsonBytes(report, QStringLiteral("test")))["antenna"].toObject()["built"].toObject();
    EXPECT_EQ(built["design_efficiency_percent"].toDouble(), 93.5);
    const QJsonObject sky = built["sky"].toObject();
    EXPECT_EQ(sky["radiated_into_sky_percent"].toDouble(), 62);
    EXPECT_EQ(sky["max_gain_dbi"].toDouble(), 6.3);
    EXPECT_EQ(sky["max_gain_elevation_deg"].toDouble(), 23);
    EXPECT_NEAR(built["resonance_uncertainty_percent"].toDouble(), 0.3, 1e-12);
}

TEST(ReportJson, TheStudyKeepsAPositionWithoutACoilApartFromTheOthers) {
    CheckReport report = typicalReport();
    EXPECT_TRUE(parsed(jsonBytes(report, QStringLiteral("test")))["study"].isNull());

    CoilPositionStudy study;
    StudyPoint found;
    found.coilDistance = 2.25;
    found.outcome = StudyOutcome::Found;
    found.inductance = 6.98e-6;
    found.turns = 9;
    found.efficiency = 0.923;
    found.band = {7.0, 7.19};
    found.matchedBand = {6.95, 7.13};
    StudyPoint none;
    none.coilDistance = 6.0;
    none.outcome = StudyOutcome::NoCoilReaches;
    study.points = {found, none};
    nameBest(study);
    report.study = study;
    const QJsonObject o = parsed(jsonBytes(report, QStringLiteral("test")))["study"].toObject();
    const QJsonArray points = o["points"].toArray();
    ASSERT_EQ(points.size(), 2);
    const QJsonObject first = points[0].toObject();
    EXPECT_EQ(first["distance_b_m"].toDouble(), 2.25);
    EXPECT_EQ(first["turns"].toInt(), 9);
    EXPECT_NEAR(first["band_50_ohm"].toObject()["width_khz"].toDouble(), 190, 1e-9);
    EXPECT_NEAR(first["band_matched"].toObject()["width_khz"].toDouble(), 180, 1e-9);
    const QJsonObject second = points[1].toObject();
    EXPECT_EQ(second["outcome"].toString(), "no_coil_reaches");
    EXPECT_TRUE(second["apparent_inductance_uh"].isNull());
    EXPECT_TRUE(second["efficiency_percent"].isNull());
    EXPECT_EQ(o["most_efficient_point"].toInt(), 0);
    EXPECT_EQ(o["widest_band_on"].toString(), "50_ohm");
}

} // namespace
} // namespace brevan::check
