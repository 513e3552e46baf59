#pragma once

// What to cut, from what the antenna measured. The model of the antenna as built is calibrated
// to the sweep by one correction: an effective change of each tip's length, standing for what
// the model does not know (the height, the surroundings, the insulation), that makes it resonate
// where the antenna did. On that calibrated model the engine then finds the change of each real
// tip that puts the resonance on F, and the whole turns of each coil that would do instead.
//
//   sweep file --readSweep--> MeasuredSweep --analyseMeasured (feed line taken out)--> AsMeasured
//   AsMeasured + AntennaCheckInput + Engine --calibrateToMeasurement--> Calibration
//     (the built antenna analysed; tip searches to the measured resonance and to F, run
//      together; the calibrated antenna and the one after the cut analysed; the coil search)
//
// The correction is additive in tip length: the model's tip change for F less the one for the
// measured resonance is the real cut, whatever the correction stands for.

#include "antenna_check.h"
#include "measured/feed_line.h"
#include "measured/sweep_analysis.h"

#include <optional>
#include <string>
#include <variant>

namespace brevan::check {

// A measured resistance at resonance further than this share from the calibrated model's is
// worth a word: something the model does not have is in the antenna or its line.
inline constexpr double kResistanceTolerance = 0.30;

// The sweep as the command line gives it: read, with the line it was measured through.
struct MeasuredSetup {
    std::string fileName;
    MeasuredSweep sweep; // at the analyser
    std::optional<FeedLine> feedLine;
};

// The sweep at the feed point and what it shows; pure, no engine.
struct AsMeasured {
    std::string fileName;
    MeasuredSweep atAnalyser;
    std::optional<FeedLine> feedLine;
    DeembeddedSweep atFeed; // the sweep itself when no line was given
    SweepAnalysis analysis; // of atFeed, on 50 ohm
};

AsMeasured analyseMeasured(const MeasuredSetup& setup, double designMHz);

// The measured frequency the model is calibrated to: the reactance's zero, or an SWR-only
// sweep's SWR minimum; nothing when the sweep does not span it.
std::optional<double> calibrationFrequency(const SweepAnalysis& analysis);

// An SWR minimum is not quite the resonance: the resistance changes across the dip. The model's
// own minimum lies `modelMinimumMHz - modelResonanceMHz` from its resonance; the antenna's
// resonance is taken to lie as far from its measured minimum, in proportion to frequency.
double resonanceFromSwrMinimum(double measuredMinimumMHz, double modelResonanceMHz,
                               double modelMinimumMHz);

// Beyond kResistanceTolerance of the model's, either way.
bool resistanceFarFromModel(double measuredOhm, double modelOhm);

enum class CalibrationOutcome {
    Calibrated,          // the cut is found
    NoMeasuredResonance, // the sweep does not span the resonance: nothing to calibrate to
    NoModelResonance,    // the model as built has no resonance near F to calibrate
    OutOfReach,          // no change of the tips makes the model resonate where measured
    CutOutOfReach,       // calibrated, but no trim of the tips reaches F
    NotConverged,        // a search ran out of tries
};

struct Calibration {
    CalibrationOutcome outcome = CalibrationOutcome::NoMeasuredResonance;
    double calibrationMHz = 0.0;  // the antenna's resonance the model is calibrated to
    bool fromSwrMinimum = false;  // ... worked out from an SWR-only sweep's minimum
    double correction = 0.0;      // m, each tip's effective change in the model, signed
    double modelResistance = 0.0; // ohm, the calibrated model's at its resonance
    bool resistanceFar = false;   // the measured resistance beyond kResistanceTolerance of it
    double tipChange = 0.0;       // m, each real tip, whole centimetres (+ = add wire)
    double lengthAfterCut = 0.0;  // m, the real antenna tip to tip after the cut
    std::optional<AntennaResult> afterCut;   // the calibrated model after the cut
    int turns = 0;                           // whole turns of each coil that would do instead
    std::optional<double> turnsResonanceMHz; // the calibrated model's resonance with them
};

// The as-measured part of a report: the sweep and what it says to cut.
struct MeasuredReport {
    AsMeasured sweep;
    Calibration calibration;
};

std::variant<Calibration, AntennaCheckFailure>
calibrateToMeasurement(const AntennaCheckInput& input, const AsMeasured& measured,
                       const Engine& engine, const Progress& progress);

} // namespace brevan::check
