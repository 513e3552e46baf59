// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/nec_deck.h"

#include "coil/physics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <cmath>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

namespace brevan::check {
namespace {

constexpr double kInch = 0.0254;

// The cards of a deck as the engine reads them.
struct GwCard {
    int tag = 0;
    int segments = 0;
    double x1 = 0, y1 = 0, z1 = 0, x2 = 0, y2 = 0, z2 = 0, radius = 0;
};
struct LdCard {
    int type = -1;
    int tag = 0;
    int from = 0;
    int to = 0;
    double resistance = 0, inductance = 0, capacitance = 0;
};
struct ExCard {
    int type = -1;
    int tag = 0;
    int segment = 0;
};
struct ReadDeck {
    std::vector<GwCard> wires;
    std::vector<LdCard> loads;
    std::vector<ExCard> sources;
    std::vector<std::string> names; // every card's name, in order
    double conductivity = 0;        // S/m of the wire, 0 when it is lossless
};

ReadDeck readDeck(const std::string& deck) {
    ReadDeck read;
    std::istringstream lines(deck);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name;
        fields >> name;
        read.names.push_back(name);
        if (name == "GW") {
            GwCard w;
            fields >> w.tag >> w.segments >> w.x1 >> w.y1 >> w.z1 >> w.x2 >> w.y2 >> w.z2 >>
                w.radius;
            EXPECT_FALSE(fields.fail()) << line;
            read.wires.push_back(w);
        } else if (name == "LD") {
            LdCard l;
            fields >> l.type;
            if (l.type == 5) { // the wire's conductivity, on every segment
                fields >> l.tag >> l.from >> l.to >> read.conductivity;
                EXPECT_FALSE(fields.fail()) << line;
                continue;
            }
            if (l.type == -1) { // the next frequency's loads replace these
                continue;
            }
            fields >> l.tag >> l.from >> l.to >> l.resistance >> l.inductance;
            if (l.type != 4) { // an impedance load has no third value
                fields >> l.capacitance;
            }
            EXPECT_FALSE(fields.fail()) << line;
            read.loads.push_back(l);
        } else if (name == "EX") {
            ExCard e;
            fields >> e.type >> e.tag >> e.segment;
            EXPECT_FALSE(fields.fail()) << line;
            read.sources.push_back(e);
        }
    }
    return read;
}

// Where segment `segment` (1-based) of wire `tag` lies: its centre and length.
struct Place {
    double centre = 0;
    double length = 0;
};
Place placeOf(const ReadDeck& deck, int tag, int segment) {
    for (const GwCard& w : deck.wires) {
        if (w.tag == tag) {
            const double length = (w.y2 - w.y1) / w.segments;
            return {w.y1 + (segment - 0.5) * length, length};
        }
    }
    ADD_FAILURE() << "no wire with tag " << tag;
    return {};
}

struct Design {
    const char* name;
    double highestMHz;
    double length;
    double coilDistance;
    double diameter;
    Ground ground;
};

const std::vector<Design>& designs() {
    static const std::vector<Design> table = {
        {"40 m, SWG 16", 7.05 * 1.3, 15.0, 3.0, 0.0640157 * kInch, {}},
        {"80 m, SWG 14", 3.6 * 1.3, 30.0, 8.0, 0.08 * kInch, {}},
        {"20 m, SWG 20", 14.1 * 1.3, 8.0, 2.0, 0.036 * kInch, {}},
        {"40 m over average ground",
         7.05 * 1.3,
         15.0,
         3.0,
         0.0640157 * kInch,
         {GroundKind::Average, 10.0}},
        {"coils 1 cm from the feed", 7.05 * 1.3, 15.0, 0.01, 0.0640157 * kInch, {}},
        {"coils at the feed", 7.05 * 1.3, 15.0, 0.0, 0.0640157 * kInch, {}},
        {"coils 10 cm from the tips", 7.05 * 1.3, 15.0, 7.4, 0.0640157 * kInch, {}},
        {"coils 2 cm from the tips", 7.05 * 1.3, 15.0, 7.48, 0.0640157 * kInch, {}},
        {"10 m, thick SWG 10", 30.0 * 1.3, 3.6, 0.9, 0.12799 * kInch, {}},
        {"160 m, long", 1.8 * 1.3, 60.0, 15.0, 0.08 * kInch, {GroundKind::Poor, 15.0}},
        {"B an awkward fraction",
         7.05 * 1.3,
         15.123456789,
         3.333333333,
         0.0640157 * kInch,
         {GroundKind::Perfect, 7.5}},
    };
    return table;
}

// Each coil at the one frequency of the decks below: 3.25 ohm of loss, 500 ohm of reactance.
const std::complex<double> kCoil(3.25, 500.0);

AntennaModel modelOf(const Design& d) {
    AntennaModel model;
    model.length = d.length;
    model.coilDistance = d.coilDistance;
    model.wireDiameter = d.diameter;
    model.ground = d.ground;
    return model;
}

TEST(SegmentAntenna, DeckReadsBackWithinTheNecRules) {
    for (const Design& d : designs()) {
        SCOPED_TRACE(d.name);
        const AntennaModel model = modelOf(d);
        const auto result = segmentAntenna(model, d.highestMHz);
        ASSERT_TRUE(std::holds_alternative<Segmentation>(result))
            << std::get<ModelRefusal>(result).reason;
        const Segmentation& seg = std::get<Segmentation>(result);
        const ReadDeck deck = readDeck(writeDeck(model, seg, {{6.0, kCoil}}, d.name));

        // The pieces: tags in order, straight along y at the height, end to end, tip to tip.
        ASSERT_EQ(deck.wires.size(), seg.pieces.size());
        const double height = d.ground.kind == GroundKind::FreeSpace ? 0.0 : d.ground.height;
        const double tolerance = 1e-9 * d.length;
        EXPECT_NEAR(deck.wires.front().y1, -d.length / 2, tolerance);
        EXPECT_NEAR(deck.wires.back().y2, d.length / 2, tolerance);
        for (std::size_t i = 0; i < deck.wires.size(); ++i) {
            const GwCard& w = deck.wires[i];
            EXPECT_EQ(w.tag, static_cast<int>(i) + 1);
            EXPECT_EQ(w.x1, 0.0);
            EXPECT_EQ(w.x2, 0.0);
            EXPECT_EQ(w.z1, height);
            EXPECT_EQ(w.z2, height);
            EXPECT_NEAR(w.radius, d.diameter / 2, 1e-9 * d.diameter);
            EXPECT_GT(w.segments, 0);
            EXPECT_LT(w.y1, w.y2);
            if (i > 0) {
                EXPECT_EQ(w.y1, deck.wires[i - 1].y2) << "pieces " << i << " and " << i + 1;
            }
            EXPECT_EQ(w.y1, seg.pieces[i].y1);
            EXPECT_EQ(w.y2, seg.pieces[i].y2);
        }

        // Every segment: no longer than lambda/50, at least 4 radii, within 2x of the next.
        const double longest = 299.792458 / d.highestMHz / 50.0;
        const double shortest = 4.0 * d.diameter / 2.0;
        std::vector<double> lengths;
        for (const GwCard& w : deck.wires) {
            for (int s = 0; s < w.segments; ++s) {
                lengths.push_back((w.y2 - w.y1) / w.segments);
            }
        }
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            EXPECT_LE(lengths[i], longest) << "segment " << i + 1;
            EXPECT_GE(lengths[i], shortest) << "segment " << i + 1;
            // Only a coil closer to the tip than a segment and a half has a shorter segment of
            // its own.
            if (i > 0 && seg.counts.coilShare == 1.0) {
                EXPECT_LE(lengths[i], 2.0 * lengths[i - 1]) << "segment " << i + 1;
                EXPECT_LE(lengths[i - 1], 2.0 * lengths[i]) << "segment " << i + 1;
            }
        }
        EXPECT_EQ(static_cast<int>(lengths.size()), seg.totalSegments);
        EXPECT_LT(seg.totalSegments, 250);
        EXPECT_EQ(seg.totalSegments % 2, 1);
        EXPECT_NEAR(seg.shortestSegment, *std::min_element(lengths.begin(), lengths.end()), 1e-12);
        EXPECT_NEAR(seg.longestSegment, *std::max_element(lengths.begin(), lengths.end()), 1e-12);

        // The feed on the segment centred on 0.
        ASSERT_EQ(deck.sources.size(), 1u);
        EXPECT_EQ(deck.sources[0].type, 0);
        EXPECT_EQ(deck.sources[0].tag, seg.feedTag);
        EXPECT_EQ(deck.sources[0].segment, seg.feedSegment);
        EXPECT_EQ(placeOf(deck, seg.feedTag, seg.feedSegment).centre, 0.0);

        // The coils: impedance loads on the segments centred on -B and +B, or both on the
        // feed segment when they are that close to it.
        if (seg.coilsAtFeed) {
            ASSERT_EQ(deck.loads.size(), 1u);
            const LdCard& l = deck.loads[0];
            EXPECT_EQ(l.tag, seg.feedTag);
            EXPECT_EQ(l.from, seg.feedSegment);
            EXPECT_EQ(l.type, 4);
            EXPECT_DOUBLE_EQ(l.resistance, 2 * kCoil.real());
            EXPECT_DOUBLE_EQ(l.inductance, 2 * kCoil.imag()); // the reactance, on an LD 4
        } else {
            ASSERT_EQ(deck.loads.size(), 2u);
            for (int side = 0; side < 2; ++side) {
                const LdCard& l = deck.loads[static_cast<std::size_t>(side)];
                EXPECT_EQ(l.type, 4);
                EXPECT_EQ(l.from, l.to);
                EXPECT_EQ(l.tag, seg.coilTags[side]);
                EXPECT_EQ(l.from, seg.coilSegments[side]);
                EXPECT_DOUBLE_EQ(l.resistance, kCoil.real());
                EXPECT_DOUBLE_EQ(l.inductance, kCoil.imag());
                const double centre = placeOf(deck, l.tag, l.from).centre;
                const double wanted = side == 0 ? -d.coilDistance : d.coilDistance;
                EXPECT_LE(std::abs(centre - wanted), 1e-6 * d.coilDistance) << "side " << side;
                EXPECT_NEAR(centre, seg.coilCentres[side], 1e-12);
            }
        }
    }
}

// The straight wire through each coil's place has more inductance than the coil's own axial
// path: each coil load is that much less, at each frequency its own reactance, and twice over
// when both coils sit on the feed segment.
TEST(WriteDeck, CoilLoadsLessTheStraightWiresExcess) {
    const double excess = 40e-9; // H
    for (const Design& d : {designs()[0], designs()[5]}) {
        SCOPED_TRACE(d.name);
        AntennaModel model = modelOf(d);
        model.coilStraightExcess = excess;
        const auto seg = std::get<Segmentation>(segmentAntenna(model, d.highestMHz));
        const int coils = seg.coilsAtFeed ? 2 : 1;
        const ReadDeck deck = readDeck(writeDeck(model, seg, {{6.0, kCoil}, {7.0, kCoil}}, d.name));
        ASSERT_EQ(deck.loads.size(), seg.coilsAtFeed ? 2u : 4u);
        for (std::size_t i = 0; i < deck.loads.size(); ++i) {
            const double mhz = i < deck.loads.size() / 2 ? 6.0 : 7.0;
            const double reactance = kCoil.imag() - 2 * kPi * mhz * 1e6 * excess;
            EXPECT_NEAR(deck.loads[i].inductance, coils * reactance, 1e-6) << i;
            EXPECT_DOUBLE_EQ(deck.loads[i].resistance, coils * kCoil.real()) << i;
        }
    }
}

TEST(SegmentAntenna, BulkSegmentsAreNeitherCoarseNorWasteful) {
    for (const Design& d : designs()) {
        SCOPED_TRACE(d.name);
        const auto result = segmentAntenna(modelOf(d), d.highestMHz);
        ASSERT_TRUE(std::holds_alternative<Segmentation>(result));
        const Segmentation& seg = std::get<Segmentation>(result);
        EXPECT_GE(seg.totalSegments, 21);
        EXPECT_LE(seg.totalSegments, 250);
        // Well above the 4-radii floor wherever the geometry leaves room.
        if (d.coilDistance == 0.0 || d.coilDistance > 0.1) {
            EXPECT_GE(seg.shortestSegment, 8.0 * d.diameter / 2.0);
        }
    }
}

// Coils near the tips: short segments only beyond the coils and beside them, at every level;
// away from them the inner wire's segments grow to about A/60, with fewer segments in all than
// equal ones of the coil's step would take. Elsewhere the segments stay equal.
TEST(SegmentAntenna, OnlyTheWireNearTheCoilsIsCutShort) {
    struct Row {
        const Design& design;
        bool graded;
    };
    for (const Row& row : {Row{designs()[0], false}, Row{designs()[1], false},
                           Row{designs()[6], true}, Row{designs()[7], true}}) {
        const Design& d = row.design;
        SCOPED_TRACE(d.name);
        const AntennaModel model = modelOf(d);
        const auto base = std::get<Segmentation>(segmentAntenna(model, d.highestMHz));
        EXPECT_EQ(base.counts.grading > 1, row.graded);
        SegmentCounts evenCounts = base.counts;
        evenCounts.grading = 1;
        for (const int factor : {1, 2, 4}) {
            SCOPED_TRACE(factor);
            const auto seg =
                std::get<Segmentation>(segmentWith(model, base.counts, factor, d.highestMHz));
            const auto even =
                std::get<Segmentation>(segmentWith(model, evenCounts, factor, d.highestMHz));
            const double step = d.coilDistance / seg.counts.inner; // at this level
            const double coilEdge = seg.coilCentres[1] - step * seg.counts.coilShare / 2;
            // Four of the working level's steps on the feed side of the coil, as even.
            for (const WirePiece& piece : seg.pieces) {
                if (piece.y2 > coilEdge - (4 * factor - 0.5) * step && piece.y2 < coilEdge + 1e-6) {
                    EXPECT_NEAR((piece.y2 - piece.y1) / piece.segments, step, 1e-6 * step)
                        << piece.y1;
                }
            }
            if (row.graded) {
                EXPECT_LT(2 * seg.totalSegments, even.totalSegments);
                EXPECT_GT(seg.longestSegment, 2.0 * step);
                EXPECT_LE(seg.longestSegment, 1.42 * d.length / 60 / factor);
            } else {
                EXPECT_EQ(seg.totalSegments, even.totalSegments);
                EXPECT_EQ(seg.pieces.size(), even.pieces.size());
            }
        }
    }
}

TEST(SegmentAntenna, RefusesWhatTheRulesCannotHold) {
    struct Row {
        const char* name;
        double highestMHz;
        double length;
        double coilDistance;
        double diameter;
        Ground ground;
        std::vector<std::string> saying;
    };
    const std::vector<Row> rows = {
        {"wire too thick for the frequency",
         30.0,
         4.0,
         1.0,
         0.2,
         {},
         {"thick", "4 wire radii", "0.4 m"}},
        {"coils at the tips",
         7.05,
         15.0,
         7.499,
         0.0640157 * kInch,
         {},
         {"4 wire radii"}},
        {"coils past the tips", 7.05, 15.0, 7.5, 0.002, {}, {"between the centre and the tips"}},
        {"negative B", 7.05, 15.0, -1.0, 0.002, {}, {"between the centre and the tips"}},
        {"no length", 7.05, 0.0, 0.0, 0.002, {}, {"length"}},
        {"no wire", 7.05, 15.0, 3.0, 0.0, {}, {"diameter"}},
        {"no frequency", 0.0, 15.0, 3.0, 0.002, {}, {"frequency"}},
        {"not a number", 7.05, std::nan(""), 3.0, 0.002, {}, {"length"}},
        {"lying on the ground", 7.05, 15.0, 3.0, 0.002, {GroundKind::Good, 0.0}, {"above"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AntennaModel model;
        model.length = row.length;
        model.coilDistance = row.coilDistance;
        model.wireDiameter = row.diameter;
        model.ground = row.ground;
        const auto result = segmentAntenna(model, row.highestMHz);
        ASSERT_TRUE(std::holds_alternative<ModelRefusal>(result));
        const std::string& reason = std::get<ModelRefusal>(result).reason;
        for (const std::string& fragment : row.saying) {
            EXPECT_NE(reason.find(fragment), std::string::npos) << reason;
        }
    }
}

TEST(WriteDeck, CardsForEachGroundAndSweep) {
    struct Row {
        Ground ground;
        std::vector<std::string> cards;  // whole lines that must be present
        std::vector<std::string> absent; // card names that must not be
    };
    const std::vector<Row> rows = {
        {{GroundKind::FreeSpace, 10.0}, {"GE 0", "CM ground: free space"}, {"GN"}},
        {{GroundKind::Perfect, 10.0}, {"GE 1", "GN 1 0 0 0", "CM ground: perfect"}, {}},
        {{GroundKind::Poor, 10.0}, {"GE 1", "GN 2 0 0 0 13 0.002"}, {}},
        {{GroundKind::Average, 10.0}, {"GE 1", "GN 2 0 0 0 13 0.005"}, {}},
        {{GroundKind::Good, 10.0}, {"GE 1", "GN 2 0 0 0 20 0.0303"}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(groundName(row.ground.kind));
        AntennaModel model = modelOf(designs().front());
        model.ground = row.ground;
        const auto seg = std::get<Segmentation>(segmentAntenna(model, 9.2));
        const std::string deck =
            writeDeck(model, seg, {{6.5, kCoil}, {7.05, kCoil}}, "trial\nrun");
        const ReadDeck read = readDeck(deck);
        std::vector<std::string> lines;
        std::istringstream in(deck);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        EXPECT_EQ(lines.front(), "CM trial run");
        for (const std::string& card : row.cards) {
            EXPECT_NE(std::find(lines.begin(), lines.end(), card), lines.end()) << card;
        }
        for (const std::string& name : row.absent) {
            EXPECT_EQ(std::find(read.names.begin(), read.names.end(), name), read.names.end());
        }
        // Geometry, then ground and loads, then the source and the runs; EN closes.
        // Each frequency its own execution; the loads cleared after it. No PT: not every
        // NEC-2 program reads it.
        const std::vector<std::string> tail = {"EX 0 " + std::to_string(seg.feedTag) + " 1 0 1 0",
                                               "FR 0 1 0 0 7.05 0",
                                               "XQ 0",
                                               "LD -1 0 0 0 0 0 0",
                                               "EN"};
        EXPECT_EQ(std::count(read.names.begin(), read.names.end(), "PT"), 0);
        ASSERT_GE(lines.size(), tail.size());
        EXPECT_EQ(
            std::vector<std::string>(lines.end() - static_cast<long>(tail.size()), lines.end()),
            tail);
        EXPECT_NEAR(read.conductivity, 5.8e7, 0.01e7); // copper wire, every segment
        const auto ge = std::find(read.names.begin(), read.names.end(), "GE");
        EXPECT_EQ(std::count(read.names.begin(), ge, "GW"), static_cast<long>(seg.pieces.size()));
    }
}

} // namespace
} // namespace brevan::check
