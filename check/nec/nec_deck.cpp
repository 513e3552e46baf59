// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/nec_deck.h"

#include "coil/coil_losses.h"
#include "coil/physics.h"
#include "floating_chars.h"
#include "portable_maths.h"

#include <array>
#include <cmath>
#include <initializer_list>
#include <string_view>

namespace brevan::check {

namespace {

constexpr int kDeckDigits = 9; // significant digits of every number on a card

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

// Comment cards of at most 80 columns, the card width NEC-2 programs read; longer text goes on
// as many cards as it takes, broken between words.
std::string commentCards(const std::string& text) {
    constexpr std::size_t kWidth = 77; // after "CM "
    std::string cards;
    std::size_t start = 0;
    do {
        std::size_t end = text.size();
        if (end - start > kWidth) {
            const std::size_t space = text.rfind(' ', start + kWidth);
            end = space != std::string::npos && space > start ? space : start + kWidth;
        }
        cards += "CM " + text.substr(start, end - start) + '\n';
        start = end;
        while (start < text.size() && text[start] == ' ') {
            ++start;
        }
    } while (start < text.size());
    return cards;
}

std::string geometryCards(const AntennaModel& model, const Segmentation& segmentation,
                          const std::string& comment) {
    const bool overGround = model.ground.kind != GroundKind::FreeSpace;
    const std::string radius = deckNumber(model.wireDiameter / 2.0);
    std::string deck = commentCards(commentText(comment));
    deck += "CM ground: " + std::string(groundName(model.ground.kind)) + '\n';
    if (model.hang.shape == HangShape::InvertedV) {
        deck +=
            "CM inverted V: " + deckNumber(std::round(segmentation.shape.legAngle * 10.0) / 10.0) +
            " degrees between the legs, lengths along the wire\n";
    }
    if (isInsulated(model.insulation)) {
        // Other NEC-2 programs have no sleeve: say what the LD 2 cards stand for.
        deck += commentCards("insulated wire: sleeve " + deckNumber(model.insulation.thickness) +
                             " m thick, relative permittivity " +
                             deckNumber(model.insulation.permittivity) +
                             ", as a series inductance per metre (LD 2)");
    }
    deck += "CE\n";
    // Every piece lies on one side of a bend (the feed segment is a piece of its own), so
    // mapping its two ends keeps it straight.
    for (const WirePiece& piece : segmentation.pieces) {
        const WirePoint from = pointAlong(segmentation.shape, piece.y1);
        const WirePoint to = pointAlong(segmentation.shape, piece.y2);
        deck += card("GW", {whole(piece.tag), whole(piece.segments), "0", deckNumber(from.y),
                            deckNumber(from.z), "0", deckNumber(to.y), deckNumber(to.z), radius});
    }
    deck += card("GE", {overGround ? "1" : "0"});
    deck += groundCards(model.ground);
    return deck;
}

// The load that, with the model's straight wire through the coil's place, has the coil's own
// impedance.
std::complex<double> loadFor(const AntennaModel& model, std::complex<double> coil,
                             double frequencyMHz) {
    return coil -
           std::complex<double>(0.0, 2.0 * kPi * frequencyMHz * 1e6 * model.coilStraightExcess);
}

// Each coil as an impedance load at this frequency; at the feed the two are one load of twice
// the impedance.
std::string coilLoads(const Segmentation& segmentation, std::complex<double> coil) {
    const auto load = [](int tag, int segment, std::complex<double> z) {
        return card("LD", {"4", whole(tag), whole(segment), whole(segment), deckNumber(z.real()),
                           deckNumber(z.imag())});
    };
    if (segmentation.coilsAtFeed) {
        return load(segmentation.coilTags[0], segmentation.coilSegments[0], 2.0 * coil);
    }
    return load(segmentation.coilTags[0], segmentation.coilSegments[0], coil) +
           load(segmentation.coilTags[1], segmentation.coilSegments[1], coil);
}

// The antenna wire is copper: its own loss belongs in the power budget's efficiency.
std::string wireLoss() {
    return card("LD", {"5", "0", "0", "0", deckNumber(1.0 / kCopperResistivity)});
}

// The insulation's inductance per metre on every segment, coil segments included: NEC-2 adds
// loads on one segment in series, so it sits on top of the coil and the copper. A zero C on a
// series load means no capacitor.
std::string sleeveLoad(const AntennaModel& model) {
    const double inductance = sleeveInductance(model.insulation, model.wireDiameter);
    if (inductance <= 0.0) {
        return {};
    }
    return card("LD", {"2", "0", "0", "0", "0", deckNumber(inductance), "0"});
}

std::string sourceCard(const Segmentation& segmentation) {
    return card("EX",
                {"0", whole(segmentation.feedTag), whole(segmentation.feedSegment), "0", "1", "0"});
}

} // namespace

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
        return card("GN", {"2", "0", "0", "0", deckNumber(constants.permittivity),
                           deckNumber(constants.conductivity)});
    }
    }
    return {};
}

std::string deckNumber(double value) {
    if (value == 0.0) {
        return "0"; // no "-0"
    }
    std::array<char, 40> buffer{};
    const auto result = toChars(buffer.data(), buffer.data() + buffer.size(), value,
                                std::chars_format::general, kDeckDigits);
    return std::string(buffer.data(), result.ptr);
}

std::string deckMetres(double value) {
    return deckNumber(value) + " m";
}

std::string writeDeck(const AntennaModel& model, const Segmentation& segmentation,
                      const std::vector<DeckFrequency>& frequencies, const std::string& comment,
                      const DeckOptions& options) {
    std::string deck = geometryCards(model, segmentation, comment);
    for (const DeckFrequency& run : frequencies) {
        deck += coilLoads(segmentation, loadFor(model, run.coil, run.frequencyMHz));
        deck += wireLoss();
        deck += sleeveLoad(model);
        deck += sourceCard(segmentation);
        deck += card("FR", {"0", "1", "0", "0", deckNumber(run.frequencyMHz), "0"});
        deck += options.patternCards.empty() ? card("XQ", {"0"}) : options.patternCards;
        // The next frequency's coils replace these; the wire's loads are given again with them.
        deck += card("LD", {"-1", "0", "0", "0", "0", "0", "0"});
    }
    deck += "EN\n";
    return deck;
}

std::string writeExportDeck(const AntennaModel& model, const Segmentation& segmentation,
                            std::complex<double> coilAtCentre, double centreMHz, double startMHz,
                            double stepMHz, int count, const std::string& comment) {
    std::string deck = geometryCards(model, segmentation, comment);
    // A series R + L in parallel with C, turned into the parallel R, L, C that has the same
    // admittance at the centre frequency.
    const double omega = 2.0 * kPi * centreMHz * 1e6;
    const std::complex<double> admittance =
        portable::divide(1.0, loadFor(model, coilAtCentre, centreMHz));
    const double factor = segmentation.coilsAtFeed ? 0.5 : 1.0; // two coils in series
    const double conductance = admittance.real() * factor;
    const double susceptance = admittance.imag() * factor;
    const std::string r = conductance > 0.0 ? deckNumber(1.0 / conductance) : "0";
    // A negative susceptance is inductive, a positive one capacitive.
    const std::string l = susceptance < 0.0 ? deckNumber(-1.0 / (omega * susceptance)) : "0";
    const std::string c = susceptance > 0.0 ? deckNumber(susceptance / omega) : "0";
    const int sides = segmentation.coilsAtFeed ? 1 : 2;
    for (int side = 0; side < sides; ++side) {
        deck += card("LD", {"1", whole(segmentation.coilTags[side]),
                            whole(segmentation.coilSegments[side]),
                            whole(segmentation.coilSegments[side]), r, l, c});
    }
    deck += wireLoss();
    deck += sleeveLoad(model);
    deck += sourceCard(segmentation);
    deck += card("FR", {"0", whole(count), "0", "0", deckNumber(startMHz), deckNumber(stepMHz)});
    deck += card("XQ", {"0"});
    deck += "EN\n";
    return deck;
}

} // namespace brevan::check
