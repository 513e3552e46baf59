#include "design_file.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using brevan::check::CheckInputs;
using brevan::check::GroundKind;
using brevan::checkapp::designFileJson;
using brevan::checkapp::readDesignFile;

namespace {

CheckInputs typical() {
    CheckInputs in;
    in.frequencyMHz = 7.05;
    in.lengthM = 15;
    in.distanceM = 3;
    in.wireSwg = 16;
    in.formerMm = 50;
    in.coilLengthMm = 40;
    in.coilWireSwg = 20;
    return in;
}

// The fields a design file keeps; the rest of CheckInputs belongs to the command line.
void expectSameDesign(const CheckInputs& a, const CheckInputs& b) {
    EXPECT_EQ(a.frequencyMHz, b.frequencyMHz);
    EXPECT_EQ(a.lengthM, b.lengthM);
    EXPECT_EQ(a.distanceM, b.distanceM);
    EXPECT_EQ(a.wireSwg, b.wireSwg);
    EXPECT_EQ(a.formerMm, b.formerMm);
    EXPECT_EQ(a.coilLengthMm, b.coilLengthMm);
    EXPECT_EQ(a.coilWireSwg, b.coilWireSwg);
    EXPECT_EQ(a.pitchMm, b.pitchMm);
    EXPECT_EQ(a.coilQ, b.coilQ);
    EXPECT_EQ(a.ground.kind, b.ground.kind);
    EXPECT_EQ(a.ground.height, b.ground.height);
    EXPECT_EQ(a.insulationThicknessMm, b.insulationThicknessMm);
    EXPECT_EQ(a.insulationPermittivity, b.insulationPermittivity);
    EXPECT_EQ(a.hang.shape, b.hang.shape);
    EXPECT_EQ(a.hang.legAngle, b.hang.legAngle);
    EXPECT_EQ(a.hang.endsHeight, b.hang.endsHeight);
}

CheckInputs invertedV() {
    CheckInputs in = typical();
    in.ground = {GroundKind::Average, 10};
    in.hang = {brevan::check::HangShape::InvertedV, 180, 6.5};
    return in;
}

QByteArray editedV(const std::function<void(QJsonObject&)>& change) {
    QJsonObject object = QJsonDocument::fromJson(designFileJson(invertedV())).object();
    change(object);
    return QJsonDocument(object).toJson();
}

QByteArray edited(const std::function<void(QJsonObject&)>& change) {
    QJsonObject object = QJsonDocument::fromJson(designFileJson(typical())).object();
    change(object);
    return QJsonDocument(object).toJson();
}

} // namespace

struct RoundTripRow {
    const char* name;
    std::function<void(CheckInputs&)> change;
};

class DesignFileRoundTrip : public ::testing::TestWithParam<RoundTripRow> {};

TEST_P(DesignFileRoundTrip, ReadsBackTheSameDesign) {
    CheckInputs in = typical();
    GetParam().change(in);
    const auto read = readDesignFile(designFileJson(in));
    ASSERT_TRUE(std::holds_alternative<CheckInputs>(read)) << std::get<QString>(read).toStdString();
    expectSameDesign(std::get<CheckInputs>(read), in);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DesignFileRoundTrip,
    ::testing::Values(RoundTripRow{"FreeSpace", [](CheckInputs&) {}},
                      RoundTripRow{"OverGround",
                                   [](CheckInputs& in) {
                                       in.ground = {GroundKind::Good, 12.5};
                                   }},
                      RoundTripRow{"PitchAndQ",
                                   [](CheckInputs& in) {
                                       in.pitchMm = 1.2;
                                       in.coilQ = 180;
                                   }},
                      RoundTripRow{
                          "InvertedVByAngle",
                          [](CheckInputs& in) {
                              in.hang = {brevan::check::HangShape::InvertedV, 107.5, std::nullopt};
                          }},
                      RoundTripRow{"InvertedVByEnds", [](CheckInputs& in) { in = invertedV(); }},
                      RoundTripRow{"PvcInsulation",
                                   [](CheckInputs& in) {
                                       in.insulationThicknessMm = 0.8;
                                       in.insulationPermittivity = 3.5;
                                   }},
                      RoundTripRow{"OtherInsulation",
                                   [](CheckInputs& in) {
                                       in.insulationThicknessMm = 1.25;
                                       in.insulationPermittivity = 2.85;
                                   }},
                      RoundTripRow{"InsulatedV",
                                   [](CheckInputs& in) {
                                       in = invertedV();
                                       in.insulationThicknessMm = 0.8;
                                       in.insulationPermittivity = 3.5;
                                   }},
                      RoundTripRow{"BinaryTails",
                                   [](CheckInputs& in) {
                                       in.frequencyMHz = 0.1 + 0.2;
                                       in.lengthM = 1.0 / 3.0;
                                   }}),
    [](const auto& row) { return std::string(row.param.name); });

struct RefusedRow {
    const char* name;
    QByteArray content;
    const char* words; // what the message must say
};

class DesignFileRefused : public ::testing::TestWithParam<RefusedRow> {};

TEST_P(DesignFileRefused, SaysWhy) {
    const auto read = readDesignFile(GetParam().content);
    ASSERT_TRUE(std::holds_alternative<QString>(read));
    EXPECT_TRUE(std::get<QString>(read).contains(QString::fromUtf8(GetParam().words)))
        << std::get<QString>(read).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DesignFileRefused,
    ::testing::Values(
        RefusedRow{"NotJson", "{\"format\": ", "not a JSON object"},
        RefusedRow{"AnArray", "[1, 2]", "not a JSON object"},
        RefusedRow{"OtherFormat", edited([](QJsonObject& o) { o["format"] = "something"; }),
                   "not a design file"},
        RefusedRow{"Newer", edited([](QJsonObject& o) { o["version"] = 3; }),
                   "version 3, made by a newer program"},
        RefusedRow{"VersionAsText", edited([](QJsonObject& o) { o["version"] = "1"; }),
                   "no valid \"version\""},
        RefusedRow{"NoFrequency", edited([](QJsonObject& o) { o.remove("frequency_mhz"); }),
                   "no \"frequency_mhz\""},
        RefusedRow{"LengthAsText", edited([](QJsonObject& o) { o["length_a_m"] = "15"; }),
                   "\"length_a_m\" is not a number"},
        RefusedRow{"LengthOutOfRange", edited([](QJsonObject& o) { o["length_a_m"] = -1; }),
                   "\"length_a_m\": '-1' is out of range"},
        RefusedRow{"NoGauge", edited([](QJsonObject& o) { o["coil_wire_swg"] = 17; }),
                   "\"coil_wire_swg\": '17' is not a gauge"},
        RefusedRow{"HeightInFreeSpace", edited([](QJsonObject& o) { o["height_m"] = 10; }),
                   "\"height_m\" in free space"},
        RefusedRow{"GroundWithoutHeight", edited([](QJsonObject& o) { o["ground"] = "good"; }),
                   "\"ground\" needs \"height_m\""},
        RefusedRow{"UnknownGround", edited([](QJsonObject& o) {
                       o["ground"] = "wet";
                       o["height_m"] = 10;
                   }),
                   "'wet' is not a choice"},
        RefusedRow{"UnknownShape", editedV([](QJsonObject& o) { o["shape"] = "sloper"; }),
                   "\"shape\": 'sloper' is not a choice"},
        RefusedRow{"ShapeAsNumber", editedV([](QJsonObject& o) { o["shape"] = 1; }),
                   "\"shape\" is not a text"},
        RefusedRow{"EndsAboveApex", editedV([](QJsonObject& o) { o["ends_height_m"] = 12; }),
                   "\"ends_height_m\": '12' is not below the apex"},
        RefusedRow{"VWithoutItsMeasure",
                   editedV([](QJsonObject& o) { o["ends_height_m"] = QJsonValue(); }),
                   "\"shape\" inverted-v needs \"leg_angle_deg\""},
        RefusedRow{"AngleWithoutV", edited([](QJsonObject& o) { o["leg_angle_deg"] = 120; }),
                   "\"leg_angle_deg\" describes an inverted V"},
        RefusedRow{"InsulationWithoutThickness",
                   edited([](QJsonObject& o) { o["insulation_permittivity"] = 3.5; }),
                   "\"insulation_permittivity\" needs \"insulation_thickness_mm\""},
        RefusedRow{"ThicknessOutOfRange", edited([](QJsonObject& o) {
                       o["insulation_permittivity"] = 2.3;
                       o["insulation_thickness_mm"] = 11;
                   }),
                   "\"insulation_thickness_mm\": '11' is out of range"}),
    [](const auto& row) { return std::string(row.param.name); });

// An older program must refuse what it would misread: a V as straight, a sleeve as bare wire.
TEST(DesignFile, OnlyAnInvertedVOrInsulatedWireIsWrittenAsVersionTwo) {
    const auto versionOf = [](const CheckInputs& in) {
        return QJsonDocument::fromJson(designFileJson(in)).object()["version"].toInt();
    };
    EXPECT_EQ(versionOf(typical()), 1);
    EXPECT_FALSE(QJsonDocument::fromJson(designFileJson(typical())).object().contains("shape"));
    EXPECT_EQ(versionOf(invertedV()), 2);
    CheckInputs insulated = typical();
    insulated.insulationThicknessMm = 0.8;
    insulated.insulationPermittivity = 3.5;
    EXPECT_EQ(versionOf(insulated), 2);
}
