// SPDX-License-Identifier: GPL-3.0-or-later
// The design file, text to inputs and back: every design reads back to itself, every fault in a
// file is refused in words that name its key, and a newer file is refused, not guessed at.
#include "files/design_file.h"
#include "measured/measured_sweep.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <functional>

using brevan::check::CheckInputs;
using brevan::check::DesignFile;
using brevan::check::GroundKind;
using brevan::check::readDesignFile;
using Json = nlohmann::json;

namespace {

std::string designFileJson(const CheckInputs& in) {
    return brevan::check::designFileJson(DesignFile{in, std::nullopt});
}

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
    EXPECT_EQ(a.formerPermittivity, b.formerPermittivity);
    for (const auto& [x, y] :
         {std::pair(a.wireSize, b.wireSize), std::pair(a.coilWireSize, b.coilWireSize)}) {
        ASSERT_EQ(x.has_value(), y.has_value());
        if (x) {
            EXPECT_EQ(x->system, y->system);
            EXPECT_EQ(x->value, y->value);
        }
    }
    EXPECT_EQ(a.turns, b.turns);
    EXPECT_EQ(a.windingLengthMm, b.windingLengthMm);
    EXPECT_EQ(a.coilInductanceUh, b.coilInductanceUh);
    EXPECT_EQ(a.coilSelfResonanceMHz, b.coilSelfResonanceMHz);
    EXPECT_EQ(a.power.watts, b.power.watts);
    EXPECT_EQ(a.power.mode, b.power.mode);
}

// 28 turns of AWG 12 over 80 mm, on an antenna of 1.63 mm wire: the design keeps SWG 14 and 16.
CheckInputs woundByTheBuilder() {
    CheckInputs in = typical();
    in.wireSize = brevan::check::WireSize{brevan::check::WireSystem::Millimetres, 1.63};
    in.coilWireSwg = 14;
    in.coilWireSize = brevan::check::WireSize{brevan::check::WireSystem::Awg, 12};
    in.turns = 28;
    in.windingLengthMm = 80;
    return in;
}

CheckInputs invertedV() {
    CheckInputs in = typical();
    in.ground = {GroundKind::Average, 10};
    in.hang = {brevan::check::HangShape::InvertedV, 180, 6.5};
    return in;
}

// The file as another program might write it back: compact, in its own number format.
std::string editedV(const std::function<void(Json&)>& change) {
    Json object = Json::parse(designFileJson(invertedV()));
    change(object);
    return object.dump();
}

std::string edited(const std::function<void(Json&)>& change) {
    Json object = Json::parse(designFileJson(typical()));
    change(object);
    return object.dump();
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
    ASSERT_TRUE(std::holds_alternative<DesignFile>(read)) << std::get<std::string>(read);
    expectSameDesign(std::get<DesignFile>(read).inputs, in);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DesignFileRoundTrip,
    ::testing::Values(
        RoundTripRow{"FreeSpace", [](CheckInputs&) {}},
        RoundTripRow{"OverGround",
                     [](CheckInputs& in) {
                         in.ground = {GroundKind::Good, 12.5};
                     }},
        RoundTripRow{"PitchAndQ",
                     [](CheckInputs& in) {
                         in.pitchMm = 1.2;
                         in.coilQ = 180;
                     }},
        RoundTripRow{"InvertedVByAngle",
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
        RoundTripRow{"PtfeRod", [](CheckInputs& in) { in.formerPermittivity = 2.1; }},
        RoundTripRow{"OtherRodInsulatedV",
                     [](CheckInputs& in) {
                         in = invertedV();
                         in.insulationThicknessMm = 0.8;
                         in.insulationPermittivity = 3.5;
                         in.formerPermittivity = 4.75;
                     }},
        RoundTripRow{"TurnsOfAwgOverALength", [](CheckInputs& in) { in = woundByTheBuilder(); }},
        RoundTripRow{"MeasuredCoil",
                     [](CheckInputs& in) {
                         in.coilInductanceUh = 119.8;
                         in.coilSelfResonanceMHz = 14.25;
                         in.coilQ = 240;
                     }},
        RoundTripRow{"MeasuredInductanceOnly",
                     [](CheckInputs& in) {
                         in.turns = 9.5;
                         in.coilInductanceUh = 7.3;
                     }},
        RoundTripRow{"PowerAndMode",
                     [](CheckInputs& in) {
                         in.power = {1500.0, brevan::check::Mode::Cw};
                     }},
        RoundTripRow{"ModeOnly",
                     [](CheckInputs& in) { in.power.mode = brevan::check::Mode::Digital; }},
        RoundTripRow{"BinaryTails",
                     [](CheckInputs& in) {
                         in.frequencyMHz = 0.1 + 0.2;
                         in.lengthM = 1.0 / 3.0;
                     }}),
    [](const auto& row) { return std::string(row.param.name); });

struct RefusedRow {
    const char* name;
    std::string content;
    const char* words; // what the message must say
};

class DesignFileRefused : public ::testing::TestWithParam<RefusedRow> {};

TEST_P(DesignFileRefused, SaysWhy) {
    const auto read = readDesignFile(GetParam().content);
    ASSERT_TRUE(std::holds_alternative<std::string>(read));
    EXPECT_NE(std::get<std::string>(read).find(GetParam().words), std::string::npos)
        << std::get<std::string>(read);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DesignFileRefused,
    ::testing::Values(
        RefusedRow{"NotJson", "{\"format\": ", "not a JSON object"},
        RefusedRow{"AnArray", "[1, 2]", "not a JSON object"},
        RefusedRow{"OtherFormat", edited([](Json& o) { o["format"] = "something"; }),
                   "not a design file"},
        RefusedRow{"Newer", edited([](Json& o) { o["version"] = 6; }),
                   "version 6, made by a newer program; this one reads up to "
                   "version 5"},
        RefusedRow{"UnknownMode", edited([](Json& o) {
                       o["version"] = 5;
                       o["mode"] = "rtty";
                   }),
                   "\"mode\": 'rtty' is not a choice"},
        RefusedRow{"PowerOutOfRange", edited([](Json& o) {
                       o["version"] = 5;
                       o["power_w"] = 0;
                   }),
                   "\"power_w\": '0' is out of range"},
        RefusedRow{"FormerBelowAir", edited([](Json& o) {
                       o["version"] = 4;
                       o["former_permittivity"] = 0.5;
                   }),
                   "\"former_permittivity\": '0.5' is out of range"},
        RefusedRow{"AwgAsText", edited([](Json& o) { o["coil_wire_awg"] = "12"; }),
                   "\"coil_wire_awg\" is not a number"},
        RefusedRow{"AwgOutOfRange", edited([](Json& o) { o["wire_awg"] = 44; }),
                   "\"wire_awg\": 'AWG 44' is out of range"},
        RefusedRow{"LengthWithoutTurns", edited([](Json& o) { o["winding_length_mm"] = 40; }),
                   "\"winding_length_mm\" needs \"turns\""},
        RefusedRow{"VersionAsText", edited([](Json& o) { o["version"] = "1"; }),
                   "no valid \"version\""},
        RefusedRow{"NoFrequency", edited([](Json& o) { o.erase("frequency_mhz"); }),
                   "no \"frequency_mhz\""},
        RefusedRow{"LengthAsText", edited([](Json& o) { o["length_a_m"] = "15"; }),
                   "\"length_a_m\" is not a number"},
        RefusedRow{"LengthOutOfRange", edited([](Json& o) { o["length_a_m"] = -1; }),
                   "\"length_a_m\": '-1' is out of range"},
        RefusedRow{"NoGauge", edited([](Json& o) { o["coil_wire_swg"] = 17; }),
                   "\"coil_wire_swg\": '17' is not a gauge"},
        RefusedRow{"HeightInFreeSpace", edited([](Json& o) { o["height_m"] = 10; }),
                   "\"height_m\" in free space"},
        RefusedRow{"GroundWithoutHeight", edited([](Json& o) { o["ground"] = "good"; }),
                   "\"ground\" needs \"height_m\""},
        RefusedRow{"UnknownGround", edited([](Json& o) {
                       o["ground"] = "wet";
                       o["height_m"] = 10;
                   }),
                   "'wet' is not a choice"},
        RefusedRow{"UnknownShape", editedV([](Json& o) { o["shape"] = "sloper"; }),
                   "\"shape\": 'sloper' is not a choice"},
        RefusedRow{"ShapeAsNumber", editedV([](Json& o) { o["shape"] = 1; }),
                   "\"shape\" is not a text"},
        RefusedRow{"EndsAboveApex", editedV([](Json& o) { o["ends_height_m"] = 12; }),
                   "\"ends_height_m\": '12' is not below the apex"},
        RefusedRow{"VWithoutItsMeasure", editedV([](Json& o) { o["ends_height_m"] = nullptr; }),
                   "\"shape\" inverted-v needs \"leg_angle_deg\""},
        RefusedRow{"AngleWithoutV", edited([](Json& o) { o["leg_angle_deg"] = 120; }),
                   "\"leg_angle_deg\" describes an inverted V"},
        RefusedRow{"InsulationWithoutThickness",
                   edited([](Json& o) { o["insulation_permittivity"] = 3.5; }),
                   "\"insulation_permittivity\" needs \"insulation_thickness_mm\""},
        RefusedRow{"ThicknessOutOfRange", edited([](Json& o) {
                       o["insulation_permittivity"] = 2.3;
                       o["insulation_thickness_mm"] = 11;
                   }),
                   "\"insulation_thickness_mm\": '11' is out of range"}),
    [](const auto& row) { return std::string(row.param.name); });

// The coil as the builder made it is version 4, which a program that reads up to version 3
// refuses (a version above the reader's is refused: "Newer" above); a design without it keeps
// its version, so older programs still open it.
TEST(DesignFile, TheCoilAsTheBuilderMadeItIsWrittenAsVersionFour) {
    const auto versionOf = [](const CheckInputs& in) {
        return Json::parse(designFileJson(in))["version"].get<int>();
    };
    const std::function<void(CheckInputs&)> changes[] = {
        [](CheckInputs& in) {
            in.wireSize = {brevan::check::WireSystem::Awg, 14};
        },
        [](CheckInputs& in) {
            in.coilWireSize = {brevan::check::WireSystem::Millimetres, 1.63};
        },
        [](CheckInputs& in) { in.turns = 28; },
        [](CheckInputs& in) { in.coilInductanceUh = 119.8; },
    };
    for (const auto& change : changes) {
        CheckInputs in = invertedV();
        change(in);
        EXPECT_EQ(versionOf(in), 4);
        EXPECT_GT(versionOf(in), 3);
    }
    const std::string text = designFileJson(woundByTheBuilder());
    const Json object = Json::parse(text);
    EXPECT_EQ(object["wire_mm"], 1.63);
    EXPECT_EQ(object["wire_swg"], 16);
    EXPECT_EQ(object["coil_wire_awg"], 12);
    EXPECT_EQ(object["coil_wire_swg"], 14);
    EXPECT_FALSE(object.contains("coil_wire_mm"));
    EXPECT_FALSE(object.contains("coil_inductance_uh"));
    EXPECT_EQ(versionOf(typical()), 1);
    EXPECT_EQ(versionOf(invertedV()), 2);
}

// Another power or mode than 100 W SSB is version 5, refused by a program that reads up to
// version 4, which would say what the coils hold at 100 W; 100 W SSB given keeps the version.
TEST(DesignFile, APowerOrModeIsWrittenAsVersionFive) {
    const auto versionOf = [](const CheckInputs& in) {
        return Json::parse(designFileJson(in))["version"].get<int>();
    };
    CheckInputs in = typical();
    in.power.watts = 400;
    EXPECT_EQ(versionOf(in), 5);
    const Json object = Json::parse(designFileJson(in));
    EXPECT_EQ(object["power_w"], 400);
    EXPECT_EQ(object["mode"], "ssb");
    in.power = {100.0, brevan::check::Mode::Ssb};
    EXPECT_EQ(versionOf(in), 1);
    EXPECT_FALSE(Json::parse(designFileJson(in)).contains("power_w"));
}

// A file as the first version of the window wrote it still opens, to the same design.
TEST(DesignFile, AFileOfTheFirstVersionStillOpens) {
    const std::string v1 = R"({
  "format": "brevan-check design",
  "version": 1,
  "frequency_mhz": 7.05,
  "length_a_m": 15,
  "distance_b_m": 3,
  "wire_swg": 16,
  "former_mm": 50,
  "coil_length_mm": 40,
  "coil_wire_swg": 20,
  "pitch_mm": null,
  "coil_q": null,
  "ground": "free space",
  "height_m": null
}
)";
    const auto read = readDesignFile(v1);
    ASSERT_TRUE(std::holds_alternative<DesignFile>(read)) << std::get<std::string>(read);
    expectSameDesign(std::get<DesignFile>(read).inputs, typical());
}

// An older program must refuse what it would misread: a V as straight, a sleeve as bare wire.
TEST(DesignFile, OnlyAnInvertedVOrInsulatedWireIsWrittenAsVersionTwo) {
    const auto versionOf = [](const CheckInputs& in) {
        return Json::parse(designFileJson(in))["version"].get<int>();
    };
    EXPECT_EQ(versionOf(typical()), 1);
    EXPECT_FALSE(Json::parse(designFileJson(typical())).contains("shape"));
    EXPECT_EQ(versionOf(invertedV()), 2);
    CheckInputs insulated = typical();
    insulated.insulationThicknessMm = 0.8;
    insulated.insulationPermittivity = 3.5;
    EXPECT_EQ(versionOf(insulated), 2);
}

// A program that knows only version 3 would wind a solid former's coils on a tube: such a file
// is version 4, and a file without the key is a tube.
TEST(DesignFile, OnlyASolidFormerIsWrittenAsVersionFour) {
    CheckInputs rod = typical();
    rod.formerPermittivity = 2.3;
    const Json written = Json::parse(designFileJson(rod));
    EXPECT_EQ(written["version"], 4);
    EXPECT_EQ(written["former_permittivity"], 2.3);
    EXPECT_FALSE(Json::parse(designFileJson(typical())).contains("former_permittivity"));
    const auto read = readDesignFile(edited([](Json&) {}));
    ASSERT_TRUE(std::holds_alternative<DesignFile>(read));
    EXPECT_EQ(std::get<DesignFile>(read).inputs.formerPermittivity, 1.0);
}

namespace {

// A made-up analyser's file: a comment, the option line and a few points, with the carriage
// returns a Windows program writes.
const std::string kSweepText = "! made up for the test\r\n# MHz Z RI R 50\r\n"
                               "6.9 0.82 -0.4\r\n6.95 0.9 0\r\n7.0 0.98 0.41\r\n";

DesignFile withSweep() {
    DesignFile design{typical(), brevan::check::SweepCopy{"dipole.s1p", kSweepText}};
    design.inputs.feedlineLengthM = 14.2;
    design.inputs.feedlineVelocityFactor = 0.66;
    design.inputs.feedlineLossDb = 2;
    return design;
}

std::string editedSweep(const std::function<void(Json&)>& change) {
    Json object = Json::parse(brevan::check::designFileJson(withSweep()));
    change(object["sweep"]);
    return object.dump();
}

} // namespace

// The sweep comes back as the same points under the same name, its line with it, and the file
// written again from what was read is the same text.
TEST(DesignFile, ASweepIsKeptWholeAndReadBackByTheSweepReaders) {
    const std::string text = brevan::check::designFileJson(withSweep());
    EXPECT_EQ(Json::parse(text)["version"], 3);
    const auto read = readDesignFile(text);
    ASSERT_TRUE(std::holds_alternative<DesignFile>(read)) << std::get<std::string>(read);
    const DesignFile& design = std::get<DesignFile>(read);
    expectSameDesign(design.inputs, typical());
    ASSERT_TRUE(design.sweep.has_value());
    EXPECT_EQ(design.sweep->fileName, "dipole.s1p");
    EXPECT_EQ(design.inputs.feedlineLengthM, 14.2);
    EXPECT_EQ(design.inputs.feedlineVelocityFactor, 0.66);
    EXPECT_EQ(design.inputs.feedlineLossDb, 2.0);

    const auto before = brevan::check::readSweep(kSweepText, "dipole.s1p");
    const auto after = brevan::check::readSweep(design.sweep->text, "dipole.s1p");
    ASSERT_TRUE(std::holds_alternative<brevan::check::MeasuredSweep>(after));
    const auto& a = std::get<brevan::check::MeasuredSweep>(before).impedance;
    const auto& b = std::get<brevan::check::MeasuredSweep>(after).impedance;
    ASSERT_EQ(a.size(), 3u);
    ASSERT_EQ(b.size(), a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(b[i].frequencyMHz, a[i].frequencyMHz);
        EXPECT_EQ(b[i].impedance, a[i].impedance);
    }
    EXPECT_EQ(brevan::check::designFileJson(design), text);
}

// Swept at the feed point: no line, and nothing of the line's defaults written as if given.
TEST(DesignFile, ASweepWithoutALineWritesNone) {
    DesignFile design = withSweep();
    design.inputs.feedlineLengthM.reset();
    const Json sweep = Json::parse(brevan::check::designFileJson(design))["sweep"];
    EXPECT_TRUE(sweep["feedline_length_m"].is_null());
    EXPECT_TRUE(sweep["feedline_velocity_factor"].is_null());
    EXPECT_TRUE(sweep["feedline_loss_db_per_100m"].is_null());
    EXPECT_EQ(sweep["lines"].size(), 5u);
    const auto read = readDesignFile(brevan::check::designFileJson(design));
    ASSERT_TRUE(std::holds_alternative<DesignFile>(read)) << std::get<std::string>(read);
    EXPECT_FALSE(std::get<DesignFile>(read).inputs.feedlineLengthM.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Sweep, DesignFileRefused,
    ::testing::Values(
        RefusedRow{"NotAnObject", editedSweep([](Json& s) { s = "dipole.s1p"; }),
                   "\"sweep\" is not an object"},
        RefusedRow{"NoFile", editedSweep([](Json& s) { s.erase("file"); }),
                   "\"sweep\" has no \"file\""},
        RefusedRow{"EmptyName", editedSweep([](Json& s) { s["file"] = ""; }),
                   "\"sweep\" has no \"file\""},
        RefusedRow{"NoLines", editedSweep([](Json& s) { s["lines"] = "6.9 0.82 -0.4"; }),
                   "\"sweep\" has no \"lines\""},
        RefusedRow{"LineAsNumber", editedSweep([](Json& s) { s["lines"][2] = 6.9; }),
                   "a line that is not a text"},
        RefusedRow{"BrokenSweep", editedSweep([](Json& s) { s["lines"][3] = "6.95 fifty 0"; }),
                   "sweep cannot be used: dipole.s1p, line 4: expected"},
        RefusedRow{"TooFewPoints", editedSweep([](Json& s) {
                       s["lines"] = Json::array({"# MHz Z RI R 50", "7.0 1 0"});
                   }),
                   "sweep cannot be used: dipole.s1p"},
        RefusedRow{"LineAsText", editedSweep([](Json& s) { s["feedline_length_m"] = "14.2"; }),
                   "\"feedline_length_m\" is not a number"},
        RefusedRow{"NegativeLine", editedSweep([](Json& s) { s["feedline_length_m"] = -3; }),
                   "\"feedline_length_m\": '-3' is out of range"},
        RefusedRow{"FactorWithoutLength", editedSweep([](Json& s) {
                       s["feedline_length_m"] = nullptr;
                       s["feedline_loss_db_per_100m"] = nullptr;
                   }),
                   "\"feedline_velocity_factor\" needs \"feedline_length_m\""},
        RefusedRow{"FactorOutOfRange",
                   editedSweep([](Json& s) { s["feedline_velocity_factor"] = 1.5; }),
                   "\"feedline_velocity_factor\": '1.5' is out of range"}),
    [](const auto& row) { return std::string(row.param.name); });

// A file cut short says where the JSON broke, not only that it did.
TEST(DesignFile, BrokenJsonSaysWhere) {
    const auto read = readDesignFile("{\n  \"format\": \"brevan-check design\",\n  \"version\"");
    ASSERT_TRUE(std::holds_alternative<std::string>(read));
    EXPECT_NE(std::get<std::string>(read).find("not a JSON object (at line 3, column"),
              std::string::npos)
        << std::get<std::string>(read);
}
