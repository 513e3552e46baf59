// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The full-wave check of the antenna with a NEC-2 engine: the antenna as designed, as built
// and as built and trimmed, analysed the same way; the trim of each tip that puts the built one
// on the design frequency, and the coil that would do the same at the designed length.
//
//   AntennaCheckInput --segmentation at two fineness levels, decks--> Engine --> feed points
//     --analysis/ (resonance, 2:1 band, searches)--> AntennaResult (x3) + Trim + NeededCoil
//
// Insulated wire: the same built antenna of bare wire is analysed and trimmed beside it, in the
// same engine rounds, for how much shorter the insulated one is cut (InsulationEffect).
//
// Each resonance is solved at two segmentations and extrapolated, because NEC-2's answer for a
// wire with lumped loads converges slowly with the segment count; the difference between the
// two is kept as the model's uncertainty.

#include "analysis/matching.h"
#include "analysis/reactance_curve.h"
#include "coil/coil_model.h"
#include "fullwave/tolerance_table.h"
#include "nec/engine.h"
#include "nec/nec_deck.h"
#include "power/wire_currents.h"

#include <complex>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace brevan::check {

inline constexpr double kReferenceImpedance = 50.0; // ohm, the feed line the SWR is taken on
inline constexpr double kResonanceWindow = 0.30;    // resonances are sought within +-30 % of F
// A coil that self-resonates below this times F is unfit to load the antenna: its
// self-capacitance more than triples the inductance it shows at F (1 / (1 - 1 / 1.5)), and each
// per cent of error in that capacitance, the least certain figure of any coil, moves what it
// shows by two per cent or more (1 / (1.5 - 1)); close to its resonance a tenth more moves it
// past it. No trim on the analyser saves such a coil.
inline constexpr double kFitSelfResonance = 1.2247448713915890; // sqrt 1.5

// Whether a coil that self-resonates at `selfResonanceHz` is unfit at `frequencyHz`; an unknown
// self-resonance (0) is not.
inline bool coilUnfitAt(double selfResonanceHz, double frequencyHz) {
    return selfResonanceHz > 0.0 && selfResonanceHz <= kFitSelfResonance * frequencyHz;
}

// A coil as the antenna sees it: its two-terminal impedance (ohm) at a frequency (Hz).
using CoilImpedance = std::function<std::complex<double>(double frequencyHz)>;

struct AntennaCheckInput {
    double designMHz = 0.0;
    double length = 0.0;       // m, tip to tip as entered
    double coilDistance = 0.0; // m, B
    double wireDiameter = 0.0; // m, antenna wire
    CoilImpedance designed;    // step 1's inductance, lossless
    CoilImpedance built;       // the coil as wound: inductance, loss, self-capacitance
    // The same coil with Medhurst's grounded-coil capacitance in place of Knight's: analysed
    // beside the built antenna when given, for how far that least certain number moves it.
    CoilImpedance medhurst;
    Ground ground;
    Hang hang; // straight, or an inverted V with its apex at the ground's height
    // The coil of `turns` turns of the chosen wire, pitch and former, as the antenna sees it;
    // used for the alternative to trimming.
    std::function<CoilImpedance(int turns)> coilOfTurns;
    int builtTurns = 0;
    Insulation insulation;      // of the antenna wire; none: bare wire
    double windingLength = 0.0; // m, each coil as wound: a trim stops a joint beyond its end
    // The built coil with one property changed, for the tolerance table; empty: no coil row.
    ChangedCoil changedCoil;
    // H, each coil: what the model's straight wire through the coil's place adds to it
    // (AntennaModel::coilStraightExcess); 0 leaves the loads as they are.
    double coilStraightExcess = 0.0;
    double coilSelfResonance = 0.0; // Hz, of the built coil; 0: not known
    // Relative: how far a long coil's lumped model may put the antenna's resonance from the
    // coil wound as a helix (kLongCoilSpread), added to the built and trimmed antennas' stated
    // uncertainty; 0 for a coil short against the waves.
    double coilModelSpread = 0.0;
    // The same for `turns` wound the same way (coilOfTurns); empty: none.
    std::function<double(int turns)> coilModelSpreadOfTurns;
    // A long coil as wound, spaced widely enough for NEC-2's helix (kHelixWidestSpacing): the
    // antenna is also modelled with each coil wound as that helix, hung and insulated as the
    // lumped one. Nothing: no helix.
    std::optional<WoundCoil> helixCoil;
};

// NEC-2's thin wires hold a helix whose turns are this many wire diameters apart or more: at
// 5.3 its resonance converges with the chord, at 4 the levels of 4 to 16 segments a turn still
// disagree by 0.6 %, at 3 by 1.2 %, and close-wound it had not settled at 16.
inline constexpr double kHelixWidestSpacing = 5.0; // pitch over wire diameter

// Why the input's helix coil gave no HelixCheck.
enum class HelixMiss {
    None,        // it did, or the input has none
    DoesNotFit,  // wound as helices the coils reach the feed's segment or the tips
    NoResonance, // the built antenna has no resonance near F for the helices' to be sought by
    NotFound,    // no zero of the helix antenna's reactance settled within the window
};

// The antenna with its coils wound as NEC-2's helices, at the built length and at a second one
// (the trimmed antenna's, or where the trim moved the tips little, 10 cm shorter each tip, and
// the trimmed antenna's resonance on the line between them).
struct HelixCheck {
    int turns = 0;                    // each coil's, as wound
    double builtMHz = 0.0;            // the resonance at the built length
    double builtUncertainty = 0.0;    // relative, of the chords' extrapolation
    std::optional<double> trimmedMHz; // at the check's trimmed length, when trimmed
    double trimmedUncertainty = 0.0;  // relative
    // m, each tip, signed (+ = add wire), from the built length, that puts the helix antenna on
    // F, in whole trimStep; nothing: the two lengths do not say.
    std::optional<double> tipChange;
    bool tipInTheWay = false; // that trim would leave less than a joint beyond each coil
};

struct SwrBand {
    std::optional<double> lowerMHz; // nothing: the SWR does not fall to 2 below resonance
    std::optional<double> upperMHz;
};

// Over ground: the far field at F, from the pattern over the upper half space.
struct SkyShare {
    double share = 0.0;        // 0..1 of the input power radiated into the sky
    double maxGainDbi = 0.0;   // dBi
    double maxElevation = 0.0; // degrees above the horizon
};

struct AntennaResult {
    double length = 0.0;                  // m, tip to tip as modelled
    std::complex<double> coilAtDesign;    // ohm, each coil at F
    double coilApparentInductance = 0.0;  // H, Im of it over omega (negative: a capacitor)
    std::optional<double> resonanceMHz;   // series resonance nearest F within +-30 %
    double resonanceUncertainty = 0.0;    // relative, 0.001 = 0.1 %, of resonanceMHz
    double resonanceResistance = 0.0;     // ohm, at the resonance
    std::complex<double> designImpedance; // ohm, at F
    double designSwr = 0.0;               // on 50 ohm, at F
    SwrBand band;                         // 2:1 band around the resonance
    double designEfficiency = 0.0;        // 0..1 at F: wire and coils (the power budget)
    std::optional<SkyShare> sky;          // over a finite or perfect ground
    std::vector<FeedPoint> curve;         // points for the SWR picture, ascending frequency
    std::vector<double> curveSwr;         // on 50 ohm, at each of curve's points
    // The SWR on 50 ohm (MHz, SWR) the picture draws: the curve's points and, between them, as
    // many as make it smooth (smoothSwrCurve).
    std::vector<std::pair<double, double>> swrCurve;
    WireShape shape; // how it hangs at this length
    // The engine's currents at F per ampere at the feed, for what the wire must hold at a power;
    // nothing when the engine printed no currents.
    std::optional<CurrentsAtDesign> atDesign;
    bool converged = true; // false: a search ran out of tries
};

// The inductance an impedance at F looks like: Im Z / omega, negative for a capacitor.
double apparentInductance(std::complex<double> impedance, double designMHz);

// The model of the antenna at `length` with `coil` in place of each loading coil.
AntennaModel antennaModel(const AntennaCheckInput& input, double length, CoilImpedance coil);

double swr(std::complex<double> impedance, double reference = kReferenceImpedance);

// The SWR at resonance on 50 ohm: the least the antenna can show, however it is trimmed.
double resonanceSwr(const AntennaResult& result);

struct Trim;
// The step a trim is given in: a centimetre, or a millimetre (Trim::toMillimetres).
double trimStep(const Trim& trim);
bool inBand(const SwrBand& band, double frequencyMHz);

// Why the trim is what it is.
enum class TrimOutcome {
    Reached,       // the trimmed antenna resonates at F
    CoilsInTheWay, // even cut back to the coils (and a joint) it resonates below F
    TooFar,        // it would take tips more than twice as long as designed
    NoResonance,   // as built it has no resonance near F to move
    CoilResonates, // the coil self-resonates at, below or just above F (kFitSelfResonance): it
                   // must change
    NotConverged,  // the search ran out of tries
};

struct Trim {
    TrimOutcome outcome = TrimOutcome::Reached;
    double tipChange = 0.0; // m, each tip, signed (+ = add wire), in whole trimStep
    // A centimetre of tip moves the resonance too far for whole centimetres: whole millimetres.
    bool toMillimetres = false;
    double trimmedLength = 0.0; // m, tip to tip after the trim
    // Not reached: where the antenna resonates at the limit of what a trim can do.
    double limitLength = 0.0;
    std::optional<double> limitResonanceMHz;
};

enum class CoilOutcome {
    Found,         // a coil of `apparentInductance` puts the resonance on F
    NoCoilReaches, // the designed length is already too long for F: no coil helps
    NotConverged,  // the search ran out of tries
    NotSought,     // the coil is unfit (TrimOutcome::CoilResonates), or no resonance to move
};

struct NeededCoil {
    CoilOutcome outcome = CoilOutcome::NotSought;
    double apparentInductance = 0.0;      // H, each coil, as it must look at F
    int turns = 0;                        // whole turns of the chosen wire that come closest
    std::complex<double> turnsAtDesign;   // ohm, those turns at F
    double turnsApparentInductance = 0.0; // H, Im of it over omega
    std::optional<double> turnsResonanceMHz;
    double turnsResonanceUncertainty = 0.0; // relative, as AntennaResult's
};

// Insulated wire against bare: the same built antenna of bare wire, trimmed to F by the same
// engine search, and how much shorter the insulated one is cut.
struct InsulationEffect {
    double inductancePerMetre = 0.0;                 // H/m, the sleeve's series inductance
    TrimOutcome bareTrim = TrimOutcome::NoResonance; // the bare wire's trim
    std::optional<double> shorterTipToTip;           // m; nothing: a trim does not reach
    std::optional<double> shorterPerTip;             // m, half of it
};

// When the trimmed antenna's resistance at resonance keeps the SWR at F above 1.5: the usual
// transformer that matches it best, and the L-network that matches it exactly at F.
inline constexpr double kMatchAbove = 1.5;
struct Matching {
    TransformerMatch transformer;
    std::optional<LNetwork> network;
};

// Both, from a curve of feed-point samples around the resonance and F.
Matching matchingFor(const Samples& curve, double designMHz);

// How much of the power at the feed point the antenna that will hang radiates at F: trimmed when
// the trim reaches F, else as built; against a full-size dipole of the same wire in the same
// place, when that could be modelled.
struct RadiatedPower {
    bool ofTrimmed = false;
    double share = 0.0; // 0..1, the rest heats the coils and the wire
    std::optional<double> fullSizeShare;
    std::optional<double> dbAgainstFullSize; // 10 log10 (share / fullSizeShare), <= 0 mostly
};

// The antenna that will hang's radiated power, from its result and the full-size dipole's.
RadiatedPower radiatedPower(const AntennaResult& hung, bool ofTrimmed,
                            std::optional<double> fullSizeShare);

struct AnalysisRecord; // antenna_analysis.h

struct AntennaCheck {
    AntennaResult designed;               // step 1's inductance, no loss
    AntennaResult built;                  // the coil as wound
    std::optional<AntennaResult> trimmed; // built with each tip changed by trim.tipChange
    Trim trim;
    NeededCoil neededCoil;
    std::optional<Matching> matching;
    std::optional<InsulationEffect> insulation; // only for insulated wire
    // 0..1 at F, wire only: a plain half-wave dipole of the same wire, hung the same way in the
    // same surroundings, for what the coils cost (nothing when it cannot be modelled).
    std::optional<double> fullSizeEfficiency;
    RadiatedPower radiated;
    // How far each building tolerance moves the resonance and the SWR at F; nothing when the
    // antenna has no resonance near F to move.
    std::optional<ToleranceTable> tolerances;
    // The built antenna with Medhurst's capacitance in each coil (AntennaCheckInput::medhurst).
    std::optional<AntennaResult> medhurst;
    // Relative, the long coils' share of the built and trimmed antennas' resonanceUncertainty:
    // the bound AntennaCheckInput::coilModelSpread, or what the coils solved as helices showed.
    double coilModelSpread = 0.0;
    bool spreadFromHelix = false;
    std::optional<HelixCheck> helix; // where the input has a helix coil and it could be modelled
    HelixMiss helixMiss = HelixMiss::None; // else why not, where the input has one
    int segments = 0;                      // of the built antenna, at the coarser of the two levels
    int fineSegments = 0;                  // at the finer
    std::string builtDeck; // the deck of the built antenna, for other NEC-2 programs
    // The built antenna's analysis as found, for the calibration to a measured sweep to reuse.
    std::shared_ptr<const AnalysisRecord> builtAnalysis;
};

struct AntennaCheckFailure {
    std::optional<ModelRefusal> model;          // the NEC rules cannot be met
    EngineFailure engine = EngineFailure::None; // or the engine failed
    std::string message;                        // in words, for standard error
};

// Progress for a person watching: a short line per stage ("modelling the antenna as built").
using Progress = std::function<void(const std::string&)>;

std::variant<AntennaCheck, AntennaCheckFailure>
checkAntenna(const AntennaCheckInput& input, const Engine& engine, const Progress& progress);

} // namespace brevan::check
