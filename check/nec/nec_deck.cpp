#include "nec/nec_deck.h"

#include "coil/coil_losses.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace brevan::check {

namespace {

constexpr double kMetreMegahertz = 299.792458; // c in m * MHz: lambda = c / f
constexpr double kWavelengthsPerSegment = 50.0;
constexpr double kShortestInRadii = 4.0;    // thin-wire kernel: shorter segments are unreliable
constexpr double kPreferredInRadii = 8.0;   // NEC-2 guide: about 1 % kernel error from here up
constexpr double kSegmentsAlongWire = 60.0; // typical resolution when the wavelength allows more
constexpr double kNeighbourRatio = 2.0;
constexpr double kCoilTolerance = 0.01; // of B
constexpr int kDeckDigits = 9;          // significant digits of every number on a card

// The fill works slightly inside the rules so that rounding the coordinates to the deck's
// digits can never push a segment over a limit.
constexpr double kMargin = 1e-6;
constexpr double kProfileGrowth = 1.9; // a taper grows a little slower than the allowed 2x

// The rule limits of one model, metres.
struct Limits {
    double shortest = 0.0; // 4 radii
    double longest = 0.0;  // lambda / 50 at the highest frequency
    double target = 0.0;   // the length the bulk of the wire is cut into
};

// Prints like %.9g, but in the C locale whatever the process locale is: the deck must read the
// same everywhere.
std::string formatNumber(double value) {
    if (value == 0.0) {
        return "0"; // no "-0"
    }
    std::array<char, 40> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, kDeckDigits);
    return std::string(buffer.data(), result.ptr);
}

// The value the deck will carry, so the segmentation holds exactly what the engine reads.
double roundForDeck(double value) {
    const std::string text = formatNumber(value);
    double parsed = value;
    std::from_chars(text.data(), text.data() + text.size(), parsed);
    return parsed;
}

bool withinRatio(double a, double b, double ratio) {
    return a <= ratio * b && b <= ratio * a;
}

// Cuts `span` metres of wire into segments that join a segment of length `left` on one side and,
// when given, one of length `right` on the other: a profile that grows from each neighbour
// towards the target length, scaled to the span, with the fewest segments that keep every
// segment within the limits and every neighbour within the ratio.
std::optional<std::vector<double>> fillSpan(double span, double left, std::optional<double> right,
                                            const Limits& limits) {
    const double ratio = kNeighbourRatio * (1.0 - kMargin);
    if (span <= 0.0) {
        return std::nullopt;
    }
    constexpr int kMostSegments = 2000;
    std::vector<double> profile;
    for (int count = 1; count <= kMostSegments; ++count) {
        profile.assign(static_cast<std::size_t>(count), limits.target);
        double leftReach = left;
        for (double& length : profile) {
            leftReach *= kProfileGrowth;
            length = std::min(length, leftReach);
        }
        if (right) {
            double rightReach = *right;
            for (auto it = profile.rbegin(); it != profile.rend(); ++it) {
                rightReach *= kProfileGrowth;
                *it = std::min(*it, rightReach);
            }
        }
        double sum = 0.0;
        for (const double length : profile) {
            sum += length;
        }
        const double scale = span / sum;
        for (double& length : profile) {
            length *= scale;
        }
        const auto [smallest, largest] = std::minmax_element(profile.begin(), profile.end());
        if (*smallest < limits.shortest) {
            return std::nullopt; // more segments would only be shorter still
        }
        // Too short against a neighbour: more segments would only be shorter still.
        if (profile.front() * ratio < left || (right && profile.back() * ratio < *right)) {
            return std::nullopt;
        }
        if (*largest > limits.target * (1.0 + kMargin)) {
            continue;
        }
        bool fits = profile.front() <= ratio * left && (!right || profile.back() <= ratio * *right);
        for (std::size_t i = 1; fits && i < profile.size(); ++i) {
            fits = withinRatio(profile[i], profile[i - 1], ratio);
        }
        if (fits) {
            return profile;
        }
    }
    return std::nullopt;
}

// One half of the wire, from the centre outwards: the whole feed segment first (only its outer
// half lies in this half), then every segment to the tip.
struct HalfWire {
    std::vector<double> lengths;
    std::size_t coilIndex = 0; // 0: the coils sit on the feed segment
    double coilCentre = 0.0;
};

double shortestOf(const HalfWire& half) {
    return *std::min_element(half.lengths.begin(), half.lengths.end());
}

// A better layout has longer shortest segments (further from the thin-wire limit) and, among
// those, fewer segments.
bool better(const HalfWire& a, const HalfWire& b) {
    const double shortA = shortestOf(a);
    const double shortB = shortestOf(b);
    if (std::abs(shortA - shortB) > 1e-9 * std::max(shortA, shortB)) {
        return shortA > shortB;
    }
    return a.lengths.size() < b.lengths.size();
}

std::optional<HalfWire> layoutWithoutGap(double halfLength, double feed, const Limits& limits) {
    const auto tip = fillSpan(halfLength - feed / 2.0, feed, std::nullopt, limits);
    if (!tip) {
        return std::nullopt;
    }
    HalfWire half;
    half.lengths.push_back(feed);
    half.lengths.insert(half.lengths.end(), tip->begin(), tip->end());
    return half;
}

std::optional<HalfWire> layoutWithCoil(double halfLength, double coilDistance, double feed,
                                       double coil, const Limits& limits) {
    const double ratio = kNeighbourRatio * (1.0 - kMargin);
    const double gap = coilDistance - feed / 2.0 - coil / 2.0;
    const double allowed = kCoilTolerance * coilDistance * (1.0 - kMargin);
    HalfWire half;
    half.lengths.push_back(feed);
    if (std::abs(gap) <= allowed) {
        // Feed and coil segments touch; the coil's centre moves by at most the tolerance.
        if (!withinRatio(feed, coil, ratio)) {
            return std::nullopt;
        }
        half.coilCentre = feed / 2.0 + coil / 2.0;
    } else {
        const auto inner = fillSpan(gap, feed, coil, limits);
        if (!inner) {
            return std::nullopt;
        }
        half.lengths.insert(half.lengths.end(), inner->begin(), inner->end());
        half.coilCentre = coilDistance;
    }
    half.coilIndex = half.lengths.size();
    half.lengths.push_back(coil);
    const auto tip =
        fillSpan(halfLength - half.coilCentre - coil / 2.0, coil, std::nullopt, limits);
    if (!tip) {
        return std::nullopt;
    }
    half.lengths.insert(half.lengths.end(), tip->begin(), tip->end());
    return half;
}

// Lengths worth trying for the feed and coil segments: the target and its halvings, B split
// evenly (so the segments between feed and coil are all alike), and the wire beyond the coil
// split evenly (so a coil near the tip still leaves whole segments there).
std::vector<double> candidateLengths(double halfLength, double coilDistance, const Limits& limits) {
    std::vector<double> lengths;
    const auto add = [&](double length) {
        if (length >= limits.shortest && length <= limits.target * (1.0 + kMargin)) {
            lengths.push_back(std::min(length, limits.target));
        }
    };
    for (double length = limits.target; length >= limits.shortest; length /= 2.0) {
        add(length);
    }
    if (coilDistance > 0.0) {
        const double firstSplit = std::max(1.0, std::ceil(coilDistance / limits.target));
        for (double k = firstSplit; k < firstSplit + 4.0; k += 1.0) {
            add(coilDistance / k);
        }
        const double beyond = halfLength - coilDistance;
        const double firstTipSplit =
            std::max(1.0, std::ceil((2.0 * beyond / limits.target - 1.0) / 2.0));
        for (double m = firstTipSplit; m < firstTipSplit + 4.0; m += 1.0) {
            add(2.0 * beyond / (2.0 * m + 1.0));
        }
    }
    return lengths;
}

std::optional<HalfWire> bestLayout(double halfLength, double coilDistance, const Limits& limits) {
    const std::vector<double> lengths = candidateLengths(halfLength, coilDistance, limits);
    std::optional<HalfWire> best;
    const auto consider = [&](std::optional<HalfWire> candidate) {
        if (candidate && (!best || better(*candidate, *best))) {
            best = std::move(candidate);
        }
    };
    for (const double feed : lengths) {
        if (coilDistance == 0.0) {
            consider(layoutWithoutGap(halfLength, feed, limits));
            continue;
        }
        for (const double coil : lengths) {
            consider(layoutWithCoil(halfLength, coilDistance, feed, coil, limits));
        }
    }
    return best;
}

std::string metres(double value) {
    return formatNumber(value) + " m";
}

// A plain-words reason for a model that cannot be built.
std::optional<std::string> inputProblem(const AntennaModel& model, double highestMHz) {
    const auto bad = [](double value) { return !std::isfinite(value) || value <= 0.0; };
    if (bad(highestMHz)) {
        return "the highest frequency of the sweep must be a positive number of MHz";
    }
    if (bad(model.length)) {
        return "the antenna length must be a positive number of metres";
    }
    if (bad(model.wireDiameter)) {
        return "the wire diameter must be a positive number of metres";
    }
    if (!std::isfinite(model.coilDistance) || model.coilDistance < 0.0 ||
        model.coilDistance >= model.length / 2.0) {
        return "the coils must lie between the centre and the tips: B = " +
               metres(model.coilDistance) + " with the half length " + metres(model.length / 2.0);
    }
    if (model.ground.kind != GroundKind::FreeSpace) {
        const double radius = model.wireDiameter / 2.0;
        if (!std::isfinite(model.ground.height) ||
            model.ground.height < kShortestInRadii * radius) {
            return "over ground the wire must hang at least 4 wire radii (" +
                   metres(kShortestInRadii * radius) + ") above it; the height is " +
                   metres(model.ground.height);
        }
    }
    return std::nullopt;
}

std::string noLayoutReason(const AntennaModel& model, const Limits& limits) {
    const double halfLength = model.length / 2.0;
    const double beyond = halfLength - model.coilDistance;
    const std::string limitsText = "segments must be between 4 wire radii (" +
                                   metres(limits.shortest) + ") and lambda/50 (" +
                                   metres(limits.longest) + ") long";
    if (model.coilDistance > 0.0 && model.coilDistance < limits.shortest * (1.0 - kCoilTolerance)) {
        return "the coils are only " + metres(model.coilDistance) +
               " from the centre, closer than one segment of 4 wire radii (" +
               metres(limits.shortest) +
               "), so the feed and coil segments would overlap; for coils at the feed point give B "
               "= 0";
    }
    if (model.coilDistance > 0.0 && beyond < 1.5 * limits.shortest) {
        return "the wire beyond each coil is only " + metres(beyond) +
               " from the coil's middle to the tip; it needs at least " +
               metres(1.5 * limits.shortest) +
               " for half a coil segment and one more segment of 4 wire radii";
    }
    if (halfLength < 1.5 * limits.shortest) {
        return "the antenna is too short for its wire: " + limitsText;
    }
    return "no division of the wire meets the NEC rules: " + limitsText +
           ", each within a factor of two of its neighbours, with the loads centred within 1 % "
           "of B = " +
           metres(model.coilDistance);
}

// Turns the half into GW pieces along the whole wire, -A/2 to +A/2, with every coordinate
// already rounded to what the deck will print.
Segmentation assemble(const HalfWire& half, double halfLength) {
    // Boundaries on the positive side; the last one is the tip exactly.
    std::vector<double> ends;
    double position = half.lengths.front() / 2.0;
    ends.push_back(roundForDeck(position));
    for (std::size_t i = 1; i < half.lengths.size(); ++i) {
        position += half.lengths[i];
        ends.push_back(roundForDeck(position));
    }
    ends.back() = roundForDeck(halfLength);

    // Runs of equal segments share a piece; the coil segment always has its own.
    struct Run {
        std::size_t first = 0; // index into half.lengths
        int count = 0;
    };
    std::vector<Run> runs;
    for (std::size_t i = 1; i < half.lengths.size(); ++i) {
        const bool isCoil = i == half.coilIndex;
        const bool afterCoil = i == half.coilIndex + 1 && half.coilIndex != 0;
        const bool sameAsLast =
            !runs.empty() && !isCoil && !afterCoil &&
            std::abs(half.lengths[i] - half.lengths[i - 1]) <= 1e-12 * half.lengths[i];
        if (sameAsLast) {
            ++runs.back().count;
        } else {
            runs.push_back({i, 1});
        }
    }

    Segmentation segmentation;
    const auto endBefore = [&](std::size_t index) { return ends[index - 1]; };
    const auto endAfter = [&](std::size_t index) { return ends[index]; };
    int tag = 0;
    int negativeCoilTag = 0;
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        const std::size_t last = it->first + static_cast<std::size_t>(it->count) - 1;
        segmentation.pieces.push_back({++tag, it->count, -endAfter(last), -endBefore(it->first)});
        if (it->first == half.coilIndex && half.coilIndex != 0) {
            negativeCoilTag = tag;
        }
    }
    segmentation.pieces.push_back({++tag, 1, -ends.front(), ends.front()});
    segmentation.feedTag = tag;
    segmentation.feedSegment = 1;
    int positiveCoilTag = tag;
    for (const Run& run : runs) {
        const std::size_t last = run.first + static_cast<std::size_t>(run.count) - 1;
        segmentation.pieces.push_back({++tag, run.count, endBefore(run.first), endAfter(last)});
        if (run.first == half.coilIndex && half.coilIndex != 0) {
            positiveCoilTag = tag;
        }
    }
    if (half.coilIndex == 0) {
        negativeCoilTag = segmentation.feedTag;
    }
    segmentation.coilTags[0] = negativeCoilTag;
    segmentation.coilTags[1] = positiveCoilTag;
    segmentation.coilSegments[0] = 1;
    segmentation.coilSegments[1] = 1;
    for (int side = 0; side < 2; ++side) {
        const WirePiece& piece =
            segmentation.pieces[static_cast<std::size_t>(segmentation.coilTags[side] - 1)];
        segmentation.coilCentres[side] = (piece.y1 + piece.y2) / 2.0;
    }
    return segmentation;
}

// Every segment of the wire in order, as (start, length).
std::vector<std::pair<double, double>> segmentsOf(const Segmentation& segmentation) {
    std::vector<std::pair<double, double>> segments;
    for (const WirePiece& piece : segmentation.pieces) {
        const double length = (piece.y2 - piece.y1) / piece.segments;
        for (int i = 0; i < piece.segments; ++i) {
            segments.emplace_back(piece.y1 + i * length, length);
        }
    }
    return segments;
}

// The rules checked on the finished pieces, as the engine will see them; a message when one
// fails.
std::optional<std::string> ruleBreach(const Segmentation& segmentation, const AntennaModel& model,
                                      const Limits& limits) {
    const auto& pieces = segmentation.pieces;
    const double halfLength = roundForDeck(model.length / 2.0);
    if (pieces.empty() || pieces.front().y1 != -halfLength || pieces.back().y2 != halfLength) {
        return "the pieces do not span the wire from tip to tip";
    }
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        if (pieces[i].y1 != pieces[i - 1].y2) {
            return "pieces " + std::to_string(i) + " and " + std::to_string(i + 1) + " do not meet";
        }
    }
    const auto segments = segmentsOf(segmentation);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const double length = segments[i].second;
        if (length > limits.longest || length < limits.shortest) {
            return "segment " + std::to_string(i + 1) + " is " + metres(length) +
                   " long, outside " + metres(limits.shortest) + " to " + metres(limits.longest);
        }
        if (i > 0 && !withinRatio(length, segments[i - 1].second, kNeighbourRatio)) {
            return "segments " + std::to_string(i) + " and " + std::to_string(i + 1) +
                   " differ in length by more than a factor of two";
        }
    }
    const WirePiece& feed = pieces[static_cast<std::size_t>(segmentation.feedTag - 1)];
    if (feed.segments != 1 || feed.y1 != -feed.y2) {
        return "the feed segment is not centred on the middle of the wire";
    }
    const double allowed = kCoilTolerance * model.coilDistance;
    if (std::abs(segmentation.coilCentres[0] + model.coilDistance) > allowed ||
        std::abs(segmentation.coilCentres[1] - model.coilDistance) > allowed) {
        return "the loaded segments are not centred within 1 % of B";
    }
    return std::nullopt;
}

} // namespace

GroundConstants groundConstants(GroundKind kind) {
    // ARRL Antenna Book, "Conductivities and dielectric constants for common types of earth",
    // the rows it rates poor (rocky soil, steep hills), average (pastoral, medium hills, heavy
    // clay) and very good (pastoral, low hills, rich soil).
    switch (kind) {
    case GroundKind::Poor: return {13.0, 0.002};
    case GroundKind::Average: return {13.0, 0.005};
    case GroundKind::Good: return {20.0, 0.0303};
    case GroundKind::FreeSpace:
    case GroundKind::Perfect: break;
    }
    return {};
}

const char* groundName(GroundKind kind) {
    switch (kind) {
    case GroundKind::FreeSpace: return "free space";
    case GroundKind::Poor: return "poor";
    case GroundKind::Average: return "average";
    case GroundKind::Good: return "good";
    case GroundKind::Perfect: return "perfect";
    }
    return "free space";
}

std::variant<Segmentation, ModelRefusal> segmentAntenna(const AntennaModel& model,
                                                        double highestMHz) {
    if (const auto problem = inputProblem(model, highestMHz)) {
        return ModelRefusal{*problem};
    }
    const double radius = model.wireDiameter / 2.0;
    const double wavelength = kMetreMegahertz / highestMHz;
    Limits limits;
    limits.shortest = kShortestInRadii * radius;
    limits.longest = wavelength / kWavelengthsPerSegment;
    if (limits.shortest > limits.longest) {
        return ModelRefusal{"the wire is too thick for " + formatNumber(highestMHz) +
                            " MHz: a segment must be at least 4 wire radii (" +
                            metres(limits.shortest) + ") long but at most lambda/50 (" +
                            metres(limits.longest) + ")"};
    }
    limits.target = std::min(
        limits.longest, std::max(model.length / kSegmentsAlongWire, kPreferredInRadii * radius));
    // Inside the limits by a hair, so the rounded deck still meets them.
    Limits working = limits;
    working.shortest *= 1.0 + kMargin;
    working.target = std::min(working.target, limits.longest * (1.0 - kMargin));

    const auto half = bestLayout(model.length / 2.0, model.coilDistance, working);
    if (!half) {
        return ModelRefusal{noLayoutReason(model, limits)};
    }
    Segmentation segmentation = assemble(*half, model.length / 2.0);
    if (const auto breach = ruleBreach(segmentation, model, limits)) {
        return ModelRefusal{"the wire could not be divided within the NEC rules: " + *breach};
    }
    const auto segments = segmentsOf(segmentation);
    segmentation.totalSegments = static_cast<int>(segments.size());
    const auto [shortest, longest] =
        std::minmax_element(segments.begin(), segments.end(),
                            [](const auto& a, const auto& b) { return a.second < b.second; });
    segmentation.shortestSegment = shortest->second;
    segmentation.longestSegment = longest->second;
    return segmentation;
}

namespace {

std::string card(std::string_view name, std::initializer_list<std::string> fields) {
    std::string line(name);
    for (const std::string& field : fields) {
        line += ' ';
        line += field;
    }
    line += '\n';
    return line;
}

std::string whole(int value) {
    return std::to_string(value);
}

// A comment card carries one line of printable text.
std::string commentText(const std::string& comment) {
    std::string text;
    for (const char c : comment) {
        text += (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
    }
    return text;
}

std::string groundCards(const Ground& ground) {
    switch (ground.kind) {
    case GroundKind::FreeSpace: return {};
    case GroundKind::Perfect: return card("GN", {"1", "0", "0", "0"});
    case GroundKind::Poor:
    case GroundKind::Average:
    case GroundKind::Good: {
        const GroundConstants constants = groundConstants(ground.kind);
        // Sommerfeld-Norton: right for a wire at any height, unlike the reflection-coefficient
        // approximation near the ground.
        return card("GN", {"2", "0", "0", "0", formatNumber(constants.permittivity),
                           formatNumber(constants.conductivity)});
    }
    }
    return {};
}

std::string loadCard(int tag, int segment, double resistance, double inductance) {
    return card("LD", {"0", whole(tag), whole(segment), whole(segment), formatNumber(resistance),
                       formatNumber(inductance), "0"});
}

} // namespace

std::string writeDeck(const AntennaModel& model, const Segmentation& segmentation,
                      const std::vector<Sweep>& sweeps, const std::string& comment) {
    const bool overGround = model.ground.kind != GroundKind::FreeSpace;
    const std::string height = formatNumber(overGround ? model.ground.height : 0.0);
    const std::string radius = formatNumber(model.wireDiameter / 2.0);

    std::string deck = "CM " + commentText(comment) + '\n';
    deck += "CM ground: " + std::string(groundName(model.ground.kind)) + '\n';
    deck += "CE\n";
    for (const WirePiece& piece : segmentation.pieces) {
        deck += card("GW", {whole(piece.tag), whole(piece.segments), "0", formatNumber(piece.y1),
                            height, "0", formatNumber(piece.y2), height, radius});
    }
    deck += card("GE", {overGround ? "1" : "0"});
    deck += groundCards(model.ground);
    const CoilLoad& coil = model.coil;
    if (segmentation.coilTags[0] == segmentation.coilTags[1] &&
        segmentation.coilSegments[0] == segmentation.coilSegments[1]) {
        // Both coils at the feed: one segment carrying the two in series.
        deck += loadCard(segmentation.coilTags[0], segmentation.coilSegments[0],
                         2.0 * coil.resistance, 2.0 * coil.inductance);
    } else {
        for (int side = 0; side < 2; ++side) {
            deck += loadCard(segmentation.coilTags[side], segmentation.coilSegments[side],
                             coil.resistance, coil.inductance);
        }
    }
    // The antenna wire is copper: its own loss belongs in the power budget's efficiency.
    deck += card("LD", {"5", "0", "0", "0", formatNumber(1.0 / kCopperResistivity)});
    deck += card(
        "EX", {"0", whole(segmentation.feedTag), whole(segmentation.feedSegment), "0", "1", "0"});
    deck += card("PT", {"-1", "0", "0", "0"});
    for (const Sweep& sweep : sweeps) {
        if (sweep.count < 1) {
            continue;
        }
        deck += card("FR", {"0", whole(sweep.count), "0", "0", formatNumber(sweep.start),
                            formatNumber(sweep.step)});
        deck += card("XQ", {"0"});
    }
    deck += "EN\n";
    return deck;
}

} // namespace brevan::check
