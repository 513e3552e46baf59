#pragma once

// The full-wave check of the antenna with a NEC-2 engine: three antennas analysed the same way
// (as designed, as built, as built and trimmed), the trim of each tip that puts the built one on
// the design frequency, and the coil that would do the same at the designed length.
//
//   AntennaCheckInput --segmentAntenna / writeDeck--> decks --Engine--> feed points
//                     --resonance, SWR band, efficiency--> AntennaResult (x3) + Trim

#include "coil/coil_model.h"
#include "nec/engine.h"
#include "nec/nec_deck.h"

#include <complex>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace brevan::check {

inline constexpr double kReferenceImpedance = 50.0; // ohm, the feed line the SWR is taken on
inline constexpr double kResonanceWindow = 0.30;    // resonances are sought within +-30 % of F

struct AntennaCheckInput {
    double designMHz = 0.0;
    double length = 0.0;       // m, tip to tip as entered
    double coilDistance = 0.0; // m, B
    double wireDiameter = 0.0; // m, antenna wire
    CoilLoad designed;         // step 1's inductance, lossless
    CoilLoad built;            // the coil as wound: its inductance and loss resistance
    Ground ground;
    // The load of a coil of `turns` turns of the chosen wire at the chosen pitch (inductance as
    // wound and its loss resistance); used for the alternative to trimming.
    std::function<CoilLoad(int turns)> coilOfTurns;
    // Turns of the built coil: the search for the alternative starts there.
    int builtTurns = 0;
};

struct SwrBand {
    std::optional<double> lowerMHz; // nothing: the SWR does not fall to 2 below resonance
    std::optional<double> upperMHz;
};

struct AntennaResult {
    double length = 0.0;                  // m, tip to tip as modelled
    CoilLoad coil;                        // each coil as modelled
    std::optional<double> resonanceMHz;   // reactance zero nearest F, within +-30 %
    double resonanceResistance = 0.0;     // ohm, at the resonance
    std::complex<double> designImpedance; // ohm, at F
    double designSwr = 0.0;               // on 50 ohm, at F
    SwrBand band;                         // 2:1 band around the resonance
    double designEfficiency = 0.0;        // 0..1 at F, from the engine's power budget
    std::vector<FeedPoint> curve;         // points for the SWR picture, ascending frequency
};

// The NEC model of the check's antenna at `length` with `coil` in place of each loading coil.
AntennaModel antennaModel(const AntennaCheckInput& input, double length, const CoilLoad& coil);

double swr(std::complex<double> impedance, double reference = kReferenceImpedance);
bool inBand(const SwrBand& band, double frequencyMHz);

struct Trim {
    double tipChange = 0.0;        // m, each tip, signed (+ = add wire), whole centimetres
    double trimmedLength = 0.0;    // m, tip to tip after the trim
    bool reachesDesign = true;     // false: no trim reaches F; the change goes as far as it can
    double neededInductance = 0.0; // H, each coil, for resonance at F at the designed length
    int neededTurns = 0;           // whole turns of the chosen wire that come closest
    CoilLoad neededTurnsCoil;      // those turns as wound
    std::optional<double> neededTurnsResonanceMHz;
};

struct AntennaCheck {
    AntennaResult designed; // (a) step 1's inductance, no loss
    AntennaResult built;    // (b) the coil as wound, with its loss
    AntennaResult trimmed;  // (c) (b) with each tip changed by trim.tipChange
    Trim trim;
    Segmentation builtSegmentation;
    std::string builtDeck; // the deck of (b), with a sweep around F
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
