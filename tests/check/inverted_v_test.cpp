// SPDX-License-Identifier: GPL-3.0-or-later
// The inverted V: where its wire lies in the deck, which shapes are refused, and what the real
// engine makes of it.

#include "coil/physics.h"
#include "fullwave/antenna_check.h"
#include "nec/engine/nec2c_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

namespace brevan::check {
namespace {

constexpr double kWireDiameter = 1.626e-3; // SWG 16
constexpr double kHighestMHz = 7.05 * 1.3; // the top of the check's search window at 7.05 MHz

struct Gw {
    int tag = 0;
    int segments = 0;
    double y1 = 0, z1 = 0, y2 = 0, z2 = 0;
    double length() const { return std::hypot(y2 - y1, z2 - z1); }
};

std::vector<Gw> wiresOf(const std::string& deck) {
    std::vector<Gw> wires;
    std::istringstream lines(deck);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name;
        double x1 = 0, x2 = 0, radius = 0;
        fields >> name;
        if (name != "GW") {
            continue;
        }
        Gw w;
        fields >> w.tag >> w.segments >> x1 >> w.y1 >> w.z1 >> x2 >> w.y2 >> w.z2 >> radius;
        EXPECT_FALSE(fields.fail()) << line;
        EXPECT_EQ(x1, 0.0);
        EXPECT_EQ(x2, 0.0);
        wires.push_back(w);
    }
    return wires;
}

AntennaModel model(double length, double coilDistance, Ground ground, Hang hang) {
    AntennaModel m;
    m.length = length;
    m.coilDistance = coilDistance;
    m.wireDiameter = kWireDiameter;
    m.ground = ground;
    m.hang = hang;
    return m;
}

Hang byAngle(double degrees) {
    return Hang{HangShape::InvertedV, degrees, std::nullopt};
}

Hang byEnds(double height) {
    return Hang{HangShape::InvertedV, 180.0, height};
}

Segmentation segmented(const AntennaModel& m) {
    const auto result = segmentAntenna(m, kHighestMHz);
    if (const auto* refusal = std::get_if<ModelRefusal>(&result)) {
        ADD_FAILURE() << refusal->reason;
        return {};
    }
    return std::get<Segmentation>(result);
}

// Degrees between two directions in the y-z plane.
double degreesBetween(double y1, double z1, double y2, double z2) {
    const double cosine = (y1 * y2 + z1 * z2) / (std::hypot(y1, z1) * std::hypot(y2, z2));
    return std::acos(std::clamp(cosine, -1.0, 1.0)) * 180.0 / kPi;
}

// ------------------------------------------------------------------ the wire in the deck

TEST(InvertedVDeck, FeedLevelAtTheApexLegsStraightToTheEndsLengthsAlongTheWire) {
    struct Row {
        const char* name;
        double coilDistance;
        Ground ground;
        Hang hang;
        double legAngle;   // expected, degrees; 0: follows from the ends' height
        double endsHeight; // expected over ground; 0 in free space
    };
    const Ground average{GroundKind::Average, 10.0};
    const Row rows[] = {
        {"free space, 120 deg, coils at 3 m", 3.0, {}, byAngle(120), 120, 0},
        {"free space, 90 deg, coils at the feed", 0.0, {}, byAngle(90), 90, 0},
        {"over ground, ends at 6 m, coils at 3 m", 3.0, average, byEnds(6.0), 0, 6.0},
        {"over ground, ends at 7 m, coils at the feed", 0.0, average, byEnds(7.0), 0, 7.0},
        {"over ground, 150 deg, coils near the tips", 7.3, average, byAngle(150), 150, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const AntennaModel straightModel = model(15.0, row.coilDistance, row.ground, {});
        const AntennaModel vModel = model(15.0, row.coilDistance, row.ground, row.hang);
        const Segmentation seg = segmented(vModel);
        const std::vector<Gw> straight =
            wiresOf(writeDeck(straightModel, segmented(straightModel), {{7.0, {1, 500}}}, ""));
        const std::vector<Gw> v = wiresOf(writeDeck(vModel, seg, {{7.0, {1, 500}}}, ""));
        ASSERT_EQ(v.size(), straight.size());
        ASSERT_GE(v.size(), 3U);
        const double apex = row.ground.kind == GroundKind::FreeSpace ? 0.0 : row.ground.height;

        // The feed segment: level at the apex, centred.
        const Gw& feed = v[static_cast<std::size_t>(seg.feedTag - 1)];
        EXPECT_EQ(feed.z1, apex);
        EXPECT_EQ(feed.z2, apex);
        EXPECT_NEAR(feed.y1, -feed.y2, 1e-12);

        // Each piece as long along the wire as the straight wire's, with the same segments:
        // the segmentation, the trim and the cut list see the same wire.
        for (std::size_t i = 0; i < v.size(); ++i) {
            EXPECT_EQ(v[i].segments, straight[i].segments) << "piece " << i + 1;
            EXPECT_NEAR(v[i].length(), straight[i].length(), 1e-7) << "piece " << i + 1;
            if (i > 0) { // end to end
                EXPECT_NEAR(v[i].y1, v[i - 1].y2, 1e-7) << "piece " << i + 1;
                EXPECT_NEAR(v[i].z1, v[i - 1].z2, 1e-7) << "piece " << i + 1;
            }
        }

        // Every other piece lies wholly on one leg, sloping like the leg: the bend falls on
        // the feed segment's edges, never inside a piece.
        const Gw& leftTip = v.front();
        const Gw& rightTip = v.back();
        const double leg = degreesBetween(leftTip.y1 - leftTip.y2, leftTip.z1 - leftTip.z2,
                                          rightTip.y2 - rightTip.y1, rightTip.z2 - rightTip.z1);
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (static_cast<int>(i) + 1 == seg.feedTag) {
                continue;
            }
            const bool right = v[i].y1 >= feed.y2 - 1e-12;
            EXPECT_TRUE(right || v[i].y2 <= feed.y1 + 1e-12) << "piece " << i + 1;
            const Gw& tip = right ? rightTip : leftTip;
            EXPECT_NEAR(degreesBetween(v[i].y2 - v[i].y1, v[i].z2 - v[i].z1, tip.y2 - tip.y1,
                                       tip.z2 - tip.z1),
                        0.0, 1e-5)
                << "piece " << i + 1;
            EXPECT_LT(v[i].z1 + v[i].z2, 2 * apex) << "piece " << i + 1;
        }

        // The legs: the angle asked for, or down to the ends' height asked for.
        if (row.legAngle > 0) {
            EXPECT_NEAR(leg, row.legAngle, 1e-6);
            EXPECT_NEAR(seg.shape.legAngle, row.legAngle, 1e-9);
        } else {
            EXPECT_NEAR(leftTip.z1, row.endsHeight, 1e-7);
            EXPECT_NEAR(rightTip.z2, row.endsHeight, 1e-7);
            EXPECT_NEAR(leg, seg.shape.legAngle, 1e-6);
        }
        EXPECT_NEAR(rightTip.z2, seg.shape.endsHeight, 1e-7);
        EXPECT_NEAR(rightTip.y2 - leftTip.y1, seg.shape.span, 1e-7);
    }
}

TEST(InvertedVDeck, GivenEndsTheDroopFollowsTheLengthGivenAnAngleTheEndsDo) {
    const Ground ground{GroundKind::Good, 12.0};
    const auto shapeAt = [&](double length, Hang hang) {
        return segmented(model(length, 3.0, ground, hang)).shape;
    };
    const WireShape endsShort = shapeAt(15.0, byEnds(8.0));
    const WireShape endsLong = shapeAt(16.0, byEnds(8.0));
    EXPECT_NEAR(endsShort.endsHeight, 8.0, 1e-9);
    EXPECT_NEAR(endsLong.endsHeight, 8.0, 1e-9);
    EXPECT_GT(endsLong.legAngle, endsShort.legAngle);

    const WireShape angleShort = shapeAt(15.0, byAngle(110));
    const WireShape angleLong = shapeAt(16.0, byAngle(110));
    EXPECT_NEAR(angleLong.legAngle, 110.0, 1e-9);
    EXPECT_LT(angleLong.endsHeight, angleShort.endsHeight);
}

TEST(InvertedVDeck, RefusesShapesThatCannotHang) {
    struct Row {
        const char* name;
        double length;
        Ground ground;
        Hang hang;
        const char* reason; // part of the refusal's words
    };
    const Ground ten{GroundKind::Average, 10.0};
    const Row rows[] = {
        {"ends above the apex", 15.0, ten, byEnds(11.0), "must hang below its apex"},
        {"ends at the apex", 15.0, ten, byEnds(10.0), "must hang below its apex"},
        {"ends at 4 wire radii", 30.0, ten, byEnds(2.0 * kWireDiameter), "more than 4 wire radii"},
        {"legs too short for the drop", 15.0, ten, byEnds(1.0), "too short to drop"},
        {"legs closer than 60 deg", 15.0, ten, byEnds(3.0), "at least 60 degrees"},
        {"angle too narrow", 15.0, {}, byAngle(59.9), "from 60 to 180 degrees"},
        {"angle past straight", 15.0, {}, byAngle(181), "from 60 to 180 degrees"},
        {"ends' height in free space", 15.0, {}, byEnds(5.0), "only over ground"},
        {"ends in the ground by the angle", 15.0, Ground{GroundKind::Average, 4.0}, byAngle(60),
         "more than 4 wire radii"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto result =
            segmentAntenna(model(row.length, 3.0, row.ground, row.hang), kHighestMHz);
        ASSERT_TRUE(std::holds_alternative<ModelRefusal>(result));
        EXPECT_NE(std::get<ModelRefusal>(result).reason.find(row.reason), std::string::npos)
            << std::get<ModelRefusal>(result).reason;
    }
}

// ------------------------------------------------------------------ through the real engine

struct SweptResonance {
    double frequencyMHz = 0.0;
    double resistance = 0.0;
};

// The reactance's zero in one sweep, and the resistance there, by linear interpolation.
std::optional<SweptResonance> resonanceIn(const std::vector<FeedPoint>& points) {
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const double x0 = points[i].impedance.imag();
        const double x1 = points[i + 1].impedance.imag();
        if (x0 < 0.0 && x1 >= 0.0) {
            const double t = x0 / (x0 - x1);
            const FeedPoint& a = points[i];
            const FeedPoint& b = points[i + 1];
            return SweptResonance{a.frequencyMHz + t * (b.frequencyMHz - a.frequencyMHz),
                             a.impedance.real() + t * (b.impedance.real() - a.impedance.real())};
        }
    }
    return std::nullopt;
}

TEST(InvertedVEngine, ClosingTheLegsRaisesTheResonanceAndLowersTheResistance) {
    // The 40 m design of the README as built (a 7.1 uH coil with 1.3 ohm of loss), in free
    // space, at the check's own segmentation: each closing of the legs moves the resonance up
    // and the feed resistance down, as the ends' currents partly cancel.
    const double angles[] = {180, 150, 120, 90};
    const std::complex<double> perHenry{1.3 / (2 * kPi * 7.05e6 * 7.12e-6), 1.0};
    std::vector<std::string> decks;
    for (const double angle : angles) {
        const AntennaModel m = model(15.0, 3.0, {}, byAngle(angle));
        std::vector<DeckFrequency> frequencies;
        for (int i = 0; i <= 40; ++i) {
            const double f = 6.9 + 0.02 * i;
            frequencies.push_back({f, perHenry * (2 * kPi * f * 1e6 * 7.12e-6)});
        }
        decks.push_back(writeDeck(m, segmented(m), frequencies, "inverted V"));
    }
    const auto runs = nec2cEngine({})(decks);
    ASSERT_EQ(runs.size(), decks.size());
    std::optional<SweptResonance> before;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(std::to_string(angles[i]) + " deg between the legs");
        ASSERT_EQ(runs[i].failure, EngineFailure::None);
        const std::optional<SweptResonance> now = resonanceIn(runs[i].points);
        ASSERT_TRUE(now.has_value());
        if (before) {
            EXPECT_GT(now->frequencyMHz, before->frequencyMHz);
            EXPECT_LT(now->resistance, before->resistance);
        }
        before = now;
    }
}

TEST(InvertedVEngine, TheCheckKeepsTheShapeThroughTheTrim) {
    // The whole check over ground with the ends' height given: the trimmed antenna, longer,
    // hangs with its ends where the builder said, at a wider angle.
    AntennaCheckInput input;
    input.designMHz = 7.05;
    input.length = 15.0;
    input.coilDistance = 3.0;
    input.wireDiameter = kWireDiameter;
    const auto coil = [](double frequencyHz) {
        return std::complex<double>{1.3, 2 * kPi * frequencyHz * 7.12e-6};
    };
    input.designed = coil;
    input.built = coil;
    input.coilOfTurns = [coil](int) { return CoilImpedance(coil); };
    input.builtTurns = 9;
    input.ground = Ground{GroundKind::Perfect, 10.0};
    input.hang = byEnds(6.0);
    auto v = checkAntenna(input, nec2cEngine({}), {});
    ASSERT_TRUE(std::holds_alternative<AntennaCheck>(v));
    const AntennaCheck& a = std::get<AntennaCheck>(v);
    ASSERT_TRUE(a.trimmed.has_value());
    EXPECT_NE(a.trimmed->length, a.built.length);
    EXPECT_NEAR(a.built.shape.endsHeight, 6.0, 1e-9);
    EXPECT_NEAR(a.trimmed->shape.endsHeight, 6.0, 1e-9);
    EXPECT_NE(a.trimmed->shape.legAngle, a.built.shape.legAngle);
    EXPECT_NE(a.builtDeck.find("CM inverted V"), std::string::npos);
}

} // namespace
} // namespace brevan::check
