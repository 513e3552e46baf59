// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What to cut, from what the antenna measured, for what the builder wants: the lowest SWR at F
// on their line.
//
// The model of the antenna as built is calibrated to the sweep by two corrections:
//  - an effective change of each tip's length, standing for what the model does not know (the
//    height, the surroundings, the insulation), that makes it resonate where the antenna did;
//  - a resistance in series with the feed point, of either sign, that makes its resistance at
//    that resonance the measured one. It stands for losses the model lacks (joints, ground,
//    coils worse than their Q) or has too much of; across the few centimetres of a cut such
//    losses change little at the feed point, so it is held fixed.
// On that calibrated model the engine then finds the whole-centimetre change of each real tip
// that gives the lowest SWR at F. A lossy line only scales the reflection at F and a lossless
// one only turns it, so the lowest SWR at F at the feed point is the lowest at the analyser too.
//
// What the model is calibrated to is the reactance's zero and the resistance there, when they
// can be trusted; else the SWR minimum, whose frequency no line moves, and the resistance its
// value implies. Through coax of unknown length the reactance's zero moves (the analyser at the
// shack can show it at 16 ohm where the SWR is 3) while the SWR minimum stays.
//
//   sweep file --readSweep--> MeasuredSweep --analyseMeasured (feed line taken out)--> AsMeasured
//   AsMeasured + AntennaCheckInput + Engine (+ the check's analysis of the built antenna)
//     --calibrateToMeasurement--> Calibration
//     (tip searches to the measured resonance and to the resonance that puts the SWR minimum
//      on F, run together; the calibrated antenna and the one after the cut analysed; the
//      whole centimetres around the cut tried for the lowest SWR at F; the coil search)
//
// The length correction is additive in tip length: the model's tip change for F less the one
// for the measured resonance is the real cut, whatever the correction stands for.

#include "fullwave/antenna_check.h"
#include "measured/feed_line.h"
#include "measured/sweep_analysis.h"

#include <complex>
#include <optional>
#include <string>
#include <variant>

namespace brevan::check {

struct AnalysisRecord;

// A measured resistance at resonance further than this share from the model's is worth a word:
// something the model does not have is in the antenna or its line.
inline constexpr double kResistanceTolerance = 0.30;

// The reactance's zero is taken to be moved by a line when the reflection coefficient there is
// more than this above the one at the SWR minimum (SWR 1.0 against 1.11, 1.2 against 1.33).
inline constexpr double kZeroAgreement = 0.05;

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
    DeembeddedSweep atFeed;          // the sweep itself when no line was given
    SweepAnalysis analysis;          // of atFeed, on 50 ohm
    std::vector<SwrPoint> swrAtFeed; // at each of atFeed's points, on 50 ohm, for the picture
};

AsMeasured analyseMeasured(const MeasuredSetup& setup, double designMHz);

// What the model is calibrated on.
enum class CalibrationBasis {
    ReactanceZero, // the reactance's zero at the feed point and the resistance there
    SwrOnly,       // an SWR-only sweep: its SWR minimum
    ZeroMoved,     // no line given, and the reactance's zero away from the SWR minimum: the minimum
    NoZero,        // an impedance sweep with no reactance zero, but its SWR minimum
};

// The antenna's resonance as the sweep shows it: the reactance's zero, or the SWR minimum (not
// yet moved to where the resonance lies beside it); nothing when the sweep spans neither.
struct MeasuredResonance {
    double frequencyMHz = 0.0;
    CalibrationBasis basis = CalibrationBasis::ReactanceZero;
    std::optional<double> resistanceOhm; // at the reactance's zero; nothing: from the lowest SWR
};

std::optional<MeasuredResonance> measuredResonance(const AsMeasured& measured);

// Whether the sweep's reactance's zero lies where its SWR is much above the lowest
// (kZeroAgreement): false when the sweep has no zero.
bool zeroAwayFromSwrMinimum(const SweepAnalysis& analysis);

// The resistance at resonance a lowest SWR implies on 50 ohm: 50 / SWR or 50 x SWR, whichever is
// nearer (as a ratio) the model's own.
double resistanceFromSwr(double lowestSwr, double modelOhm);

// An SWR minimum is not quite the resonance: the resistance changes across the dip. The model's
// own minimum lies `modelMinimumMHz - modelResonanceMHz` from its resonance; the antenna's
// resonance is taken to lie as far from its measured minimum, in proportion to frequency.
double resonanceFromSwrMinimum(double measuredMinimumMHz, double modelResonanceMHz,
                               double modelMinimumMHz);

// The calibrated model resonates this near the resonance measured (relative), or the
// calibration has failed: a cut worked out from it would be the design's own trim.
inline constexpr double kCalibrationReach = 0.01;

// Whether a resonance measured at `measuredMHz` lies where the check seeks the antenna's own,
// within kResonanceWindow of F.
bool withinResonanceWindow(double measuredMHz, double designMHz);

// Beyond kResistanceTolerance of the model's, either way.
bool resistanceFarFromModel(double measuredOhm, double modelOhm);

enum class CalibrationOutcome {
    Calibrated,          // the cut is found (it may be none)
    NoMeasuredResonance, // the sweep spans neither a reactance zero nor its SWR minimum
    NoModelResonance,    // the model as built has no resonance near F to calibrate
    OtherBand,           // the measured resonance lies beyond the model's window around F: the
                         // sweep is of another band or another antenna
    OutOfReach,          // no change of the tips makes the model resonate where measured
    CutOutOfReach,       // calibrated, but no trim of the tips brings the SWR minimum to F
    NotConverged,        // a search ran out of tries
};

// The calibrated model after the cut, with the series loss: what the analyser should show.
struct AfterCut {
    std::optional<double> resonanceMHz;           // its reactance's zero at the feed point
    double resistanceOhm = 0.0;                   // there, with the series loss
    double swrAtDesign = 0.0;                     // at F at the feed point, on 50 ohm
    std::optional<double> swrAtDesignAtAnalyser;  // carried back through the given feed line
    std::complex<double> impedanceAtDesign = 0.0; // ohm, at F at the feed point, with the loss
};

struct Calibration {
    CalibrationOutcome outcome = CalibrationOutcome::NoMeasuredResonance;
    CalibrationBasis basis = CalibrationBasis::ReactanceZero;
    double calibrationMHz = 0.0;     // the antenna's resonance the model is calibrated to
    bool fromSwrMinimum = false;     // ... worked out from the SWR minimum (every basis but zero)
    double correction = 0.0;         // m, each tip's effective change in the model, signed
    double measuredResistance = 0.0; // ohm, at resonance, the model is calibrated to
    double seriesLoss = 0.0;         // ohm, in series with the model's feed point, signed
    double modelResistance = 0.0;    // ohm, the calibrated model's at its resonance, without it
    bool resistanceFar = false;      // the measured resistance beyond kResistanceTolerance of it
    double swrAtDesignNow = 0.0;     // the calibrated model's at F, before any cut
    double tipChange = 0.0;          // m, each real tip, whole centimetres (+ = add wire)
    bool cutLowersSwr = false;       // false: no cut lowers the SWR at F: do not cut
    double lengthAfterCut = 0.0;     // m, the real antenna tip to tip after the cut
    std::optional<AfterCut> afterCut;
    // After the cut, when its resistance at resonance keeps the SWR above kMatchAbove: the match
    // it needs, from the calibrated model's curve with the series loss.
    std::optional<Matching> matching;
    int turns = 0;                           // whole turns of each coil that would do instead
    std::optional<double> turnsResonanceMHz; // the calibrated model's resonance with them
};

// The as-measured part of a report: the sweep and what it says to cut.
struct MeasuredReport {
    AsMeasured sweep;
    Calibration calibration;
    // 0..1: what the antenna that will hang radiates at F were the sweep's resistance, well
    // above the model's, loss the model lacks: the model's share less the difference's part of
    // the power at the feed point. Nothing otherwise.
    std::optional<double> radiatedIfLoss;
};

// `checked` is the check's own analysis of the built antenna, when it has run: used instead of
// analysing the antenna again.
std::variant<Calibration, AntennaCheckFailure>
calibrateToMeasurement(const AntennaCheckInput& input, const AsMeasured& measured,
                       const Engine& engine, const Progress& progress,
                       const AnalysisRecord* checked = nullptr);

} // namespace brevan::check
