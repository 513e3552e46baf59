// SPDX-License-Identifier: GPL-3.0-or-later
// The helix antenna's resonance search and its deck, against a made-up engine: each level of
// segments a turn resonates at limit + a / n^2 + b / n^3, its reactance rising through that
// zero with a pole nearby, as beside an antenna's antiresonance or a coil's own. The search
// must find the zero from either side and past the pole, land on the made-up limit, and give
// up where the window holds no zero.

#include "coil/physics.h"
#include "fullwave/engine_rounds.h"
#include "fullwave/helix_analysis.h"
#include "nec/helix_deck.h"
#include "real_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

namespace brevan::check {
namespace {

// An 80 m antenna with 42 spaced turns of 1.2 mm wire on a 100 mm former at 3 m.
HelixAntenna eightyMetres(double length = 14.0) {
    HelixAntenna a;
    a.length = length;
    a.coilDistance = 3.0;
    a.wireDiameter = 1.626e-3;
    a.coil.turns = 42;
    a.coil.pitch = 6.5e-3;
    a.coil.meanDiameter = 0.1012;
    a.coil.wireDiameter = 1.219e-3;
    return a;
}

struct Card {
    std::string name;
    std::vector<double> fields;
};

std::vector<Card> cards(const std::string& deck) {
    std::vector<Card> out;
    std::istringstream lines(deck);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        Card card;
        words >> card.name;
        if (card.name == "CM") {
            continue;
        }
        double value = 0.0;
        while (words >> value) {
            card.fields.push_back(value);
        }
        out.push_back(card);
    }
    return out;
}

struct MadeUpHelix {
    const char* name;
    double limitMHz;
    double square, cube; // MHz, of each level's zero against the limit
    double poleMHz;      // where the reactance turns over through a pole
    double startMHz;
};

// Each level's reactance: rising 3000 ohm a MHz through its zero, with a pole at `poleMHz`
// whose strength leaves the zero where it is.
double reactance(const MadeUpHelix& m, int perTurn, double mhz) {
    const double n = perTurn;
    const double zero = m.limitMHz + m.square / (n * n) + m.cube / (n * n * n);
    const auto pole = [&](double f) { return 2.0 / (m.poleMHz - f); };
    return 3000.0 * (mhz - zero) + pole(mhz) - pole(zero);
}

// Reads each deck's level (the GH card's segments over its turns) and frequency, and answers
// half the made-up reactance: the helix deck's feed is two sources in series.
Engine madeUpEngine(const MadeUpHelix& m, int& decks) {
    return [&m, &decks](const std::vector<std::string>& in) {
        std::vector<EngineRun> runs;
        for (const std::string& deck : in) {
            ++decks;
            int perTurn = 0;
            double mhz = 0.0;
            for (const Card& card : cards(deck)) {
                if (card.name == "GH") {
                    perTurn = static_cast<int>(std::lround(card.fields[1] / 42.0));
                }
                if (card.name == "FR") {
                    mhz = card.fields[4];
                }
            }
            EngineRun run;
            FeedPoint point;
            point.frequencyMHz = mhz;
            point.impedance = {10.0, reactance(m, perTurn, mhz) / 2.0};
            run.points = {point};
            runs.push_back(run);
        }
        return runs;
    };
}

TEST(HelixResonance, FindsTheZeroPastPolesAndLandsOnTheLimit) {
    const std::vector<MadeUpHelix> rows = {
        {"from below", 3.64, 0.9, -8.0, 4.5, 3.55},
        {"from above", 3.64, 0.9, -8.0, 4.5, 3.75},
        {"a pole 4 % above the zeros", 3.64, 0.9, -8.0, 3.81, 3.56},
        {"a pole 4 % below the zeros, from above", 3.64, -0.6, 5.0, 3.47, 3.70},
        {"a pole 4 % below the zeros, from below", 3.64, -0.6, 5.0, 3.47, 3.55},
        {"on the start", 3.64, 0.0, 0.0, 5.0, 3.64},
    };
    for (const MadeUpHelix& m : rows) {
        int decks = 0;
        HelixResonanceTask task(eightyMetres(), m.startMHz, 2.52, 4.68);
        ASSERT_FALSE(runTogether(madeUpEngine(m, decks), {&task})) << m.name;
        ASSERT_TRUE(task.resonance()) << m.name;
        EXPECT_NEAR(task.resonance()->limitMHz, m.limitMHz, 2e-5 * m.limitMHz) << m.name;
        EXPECT_LT(decks, 20) << m.name;
    }
}

// The second length begins each level where the first length's levels put it: where level 4's
// zero moved a little, one solve a level and level 4's one more; where it moved beyond the
// guide's reach, or a pole bends the curve, the search as at the first length.
TEST(HelixResonance, ASecondLengthBegunFromTheFirstsLevelsLandsOnItsLimit) {
    const MadeUpHelix first{"first", 3.64, 0.9, -8.0, 4.5, 3.55};
    int decks = 0;
    HelixResonanceTask built(eightyMetres(), first.startMHz, 2.52, 4.68);
    ASSERT_FALSE(runTogether(madeUpEngine(first, decks), {&built}));
    const std::optional<HelixLevels> levels = built.levels();
    ASSERT_TRUE(levels);
    struct Row {
        MadeUpHelix second;
        int mostDecks;
    };
    const std::vector<Row> rows = {
        {{"moved 1.5 %", 3.6946, 0.9, -8.0, 4.5, 0.0}, 4},
        {{"moved 1.5 %, the finer levels moved apart", 3.6946, 1.2, -9.0, 4.5, 0.0}, 6},
        {{"moved 1.5 % toward a pole 1 % above it", 3.6946, 0.9, -8.0, 3.73, 0.0}, 20},
        {{"moved 7 %, beyond the guide's reach", 3.8948, 0.9, -8.0, 4.5, 0.0}, 20},
    };
    for (const Row& row : rows) {
        const MadeUpHelix& m = row.second;
        decks = 0;
        HelixResonanceTask task(eightyMetres(13.7), levels->zero[0], 2.52, 4.68, levels);
        ASSERT_FALSE(runTogether(madeUpEngine(m, decks), {&task})) << m.name;
        ASSERT_TRUE(task.resonance()) << m.name;
        EXPECT_NEAR(task.resonance()->limitMHz, m.limitMHz, 2e-5 * m.limitMHz) << m.name;
        EXPECT_LE(decks, row.mostDecks) << m.name;
    }
}

TEST(HelixResonance, GivesUpWhereTheWindowHoldsNoZero) {
    const MadeUpHelix beyond{"beyond the window", 5.0, 0.9, -8.0, 6.0, 3.6};
    int decks = 0;
    HelixResonanceTask task(eightyMetres(), beyond.startMHz, 2.52, 4.68);
    ASSERT_FALSE(runTogether(madeUpEngine(beyond, decks), {&task}));
    EXPECT_FALSE(task.resonance());
}

TEST(HelixResonance, TheLengthForTheResonanceIsOnTheLineThroughTwo) {
    EXPECT_NEAR(*lengthForResonance(14.0, 3.645, 13.736, 3.699, 3.6), 14.0 + 0.264 * 45 / 54,
                1e-12);
    EXPECT_FALSE(lengthForResonance(14.0, 3.6, 13.8, 3.6, 3.5));
    EXPECT_FALSE(lengthForResonance(14.0, 3.6, 14.0, 3.7, 3.5));
}

// The half deck: every segment counted, the wire from the feed to the tip with the coil's turns
// between its pieces, the image by GX and the two halves of the feed driven the same way.
TEST(HelixDeck, HalfTheAntennaFromFeedToTipWithItsImage) {
    struct Place {
        const char* name;
        double distance, length;
    };
    for (const Place& p : {Place{"mid-way", 3.0, 14.0}, Place{"near the feed", 0.2, 14.0},
                           Place{"near the tips", 6.7, 14.0}, Place{"tip short", 3.0, 6.3}}) {
        HelixAntenna a = eightyMetres(p.length);
        a.coilDistance = p.distance;
        ASSERT_TRUE(helixFits(a)) << p.name;
        for (const int perTurn : {4, 8}) {
            const std::vector<Card> deck = cards(writeHelixDeck(a, perTurn, 3.6, "test"));
            int segments = 0;
            double wireEnd = 0.0;
            double helixAt = -1.0;
            std::vector<double> sources;
            bool image = false;
            for (const Card& card : deck) {
                if (card.name == "GW") {
                    segments += static_cast<int>(card.fields[1]);
                    EXPECT_NEAR(card.fields[4], wireEnd, 1e-9) << p.name; // joined end to end
                    wireEnd = card.fields[7];
                    if (helixAt >= 0.0 && std::abs(wireEnd - card.fields[7]) < 1e-12 &&
                        card.fields[4] < helixAt) {
                        ADD_FAILURE() << p.name << ": wire inside the coil";
                    }
                } else if (card.name == "GH") {
                    segments += static_cast<int>(card.fields[1]);
                    EXPECT_EQ(card.fields[1], 42 * perTurn);
                    EXPECT_NEAR(card.fields[3], 42 * 6.5e-3, 1e-12);
                } else if (card.name == "GM") {
                    helixAt = card.fields[7];
                    EXPECT_NEAR(helixAt, wireEnd, 1e-9) << p.name; // the turns start there
                    wireEnd += 42 * 6.5e-3;
                } else if (card.name == "GX") {
                    image = card.fields[0] == kHelixImageTags && card.fields[1] == 1;
                } else if (card.name == "EX") {
                    sources.push_back(card.fields[4]);
                }
            }
            EXPECT_EQ(segments, helixSegments(a, perTurn)) << p.name;
            EXPECT_NEAR(wireEnd, p.length / 2, 1e-9) << p.name;
            EXPECT_NEAR(helixAt, p.distance - 42 * 6.5e-3 / 2, 1e-9) << p.name;
            EXPECT_TRUE(image) << p.name;
            EXPECT_EQ(sources, (std::vector<double>{1.0, -1.0})) << p.name;
        }
    }
}

// A segment of NEC-2's segmentation table: its centre, length, slope (degrees) and tag.
struct PrintedSegment {
    double x, z, length, alpha;
    int tag;
};

std::vector<PrintedSegment> printedSegments(const std::string& output) {
    std::vector<PrintedSegment> out;
    std::istringstream lines(output.substr(output.find("SEGMENTATION DATA")));
    std::string line;
    while (std::getline(lines, line) && line.find("MATRIX") == std::string::npos) {
        std::istringstream words(line);
        double f[12];
        int n = 0;
        while (n < 12 && words >> f[n]) {
            ++n;
        }
        if (n == 12) {
            out.push_back({f[1], f[3], f[4], f[5], static_cast<int>(f[11])});
        }
    }
    return out;
}

// Over ground the helix antenna hangs where the lumped one does: level across the feed at the
// apex's height, an inverted V's legs down to the ends' height, the image in the plane across
// the feed; the sleeve of insulated wire is on every segment of the wire and none of the coil.
TEST(HelixDeck, HangsAsTheLumpedAntennaWithTheSleeveOnItsWireAlone) {
    HelixAntenna a = eightyMetres();
    a.ground = {GroundKind::Perfect, 10.0};
    a.hang.shape = HangShape::InvertedV;
    a.hang.endsHeight = 7.0;
    a.insulation = {0.5e-3, kPvcPermittivity};
    ASSERT_TRUE(helixFits(a));
    const std::string deck = writeHelixDeck(a, 4, 3.6, "hung");
    const std::vector<EngineRun> runs = realEngine()({deck});
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_FALSE(runs[0].points.empty()) << runs[0].detail;
    const std::vector<PrintedSegment> segments = printedSegments(runs[0].output);
    ASSERT_EQ(segments.size(), 2u * helixSegments(a, 4));
    int helixTag = 0;
    std::vector<int> sleeves(segments.size() + 1, 0);
    for (const Card& card : cards(deck)) {
        if (card.name == "GH") {
            helixTag = static_cast<int>(card.fields[0]);
        }
        if (card.name == "LD" && card.fields[0] == 2) {
            for (int s = static_cast<int>(card.fields[2]); s <= card.fields[3]; ++s) {
                ++sleeves.at(static_cast<std::size_t>(s));
            }
        }
    }
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const bool coil = segments[i].tag % kHelixImageTags == helixTag;
        EXPECT_EQ(sleeves[i + 1], coil ? 0 : 1) << "segment " << i + 1;
        EXPECT_GT(segments[i].z, 6.9) << "segment " << i + 1;
    }
    const PrintedSegment& feed = segments.front();
    EXPECT_NEAR(feed.z, 10.0, 1e-4);
    EXPECT_NEAR(feed.alpha, 0.0, 1e-3);
    // The tip: the half's last segment's outer end, and its image's.
    AntennaModel lumped;
    lumped.length = a.length;
    lumped.ground = a.ground;
    lumped.hang = a.hang;
    lumped.wireDiameter = a.wireDiameter;
    const auto shape = wireShapeAlong(lumped, kHelixFeedSegment, a.length / 2.0);
    ASSERT_TRUE(std::holds_alternative<WireShape>(shape));
    const double droop = std::get<WireShape>(shape).droop;
    for (const std::size_t last : {segments.size() / 2 - 1, segments.size() - 1}) {
        const PrintedSegment& tip = segments[last];
        const double slope = tip.alpha * kPi / 180.0;
        EXPECT_NEAR(slope, -droop, 1e-4);
        EXPECT_NEAR(tip.z + tip.length / 2.0 * std::sin(slope), 7.0, 1e-3);
        EXPECT_NEAR(std::abs(tip.x) + tip.length / 2.0 * std::cos(slope),
                    std::get<WireShape>(shape).span / 2.0, 1e-3);
    }
}

TEST(HelixDeck, RefusesCoilsOverTheFeedOrPastTheTip) {
    for (const double distance : {0.1, 6.9, 7.2}) {
        HelixAntenna a = eightyMetres();
        a.coilDistance = distance;
        EXPECT_FALSE(helixFits(a)) << distance;
    }
}

} // namespace
} // namespace brevan::check
