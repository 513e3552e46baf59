// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The whole check of one design, as plain data: what the window would show, the coil as it
// will really be wound, its losses, the cut list and the full-wave check when it was run. The
// record holds numbers and outcomes only; report/advice turns it into sentences, and text and
// JSON are both written from it.
//
//   CheckInputs --buildCheckReport--> CheckReport | DesignRefusal
//   CheckReport + Engine --addAntennaCheck--> CheckReport with antenna and trim
//   CheckReport --report/advice--> verdict and warnings

#include "check_inputs.h"
#include "coil/coil_alternatives.h"
#include "coil/coil_losses.h"
#include "coil/coil_model.h"
#include "coil/helical_line.h"
#include "coil/measured_coil.h"
#include "coil_winding.h"
#include "cut_list.h"
#include "design_fault.h"
#include "fullwave/antenna_check.h"
#include "fullwave/coil_position_study.h"
#include "fullwave/measured_calibration.h"
#include "refusal_text.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace brevan::check {

// Step 1 and step 2 exactly as the window computes and shows them.
struct WindowDesign {
    double lengthAFeet = 0.0;
    double distBFeet = 0.0;
    double wireDiameterInch = 0.0;
    double inductanceUh = 0.0;       // full precision
    std::string inductanceText;      // as step 1 writes it, 15 digits
    std::string shownInductanceText; // as L shows it, cut to 0.1 uH
    std::array<CoilPass, CoilWindingResult::kPasses> passes{};
    double coilWireDiameterInch = 0.0;
    double turns = 0.0;
    std::string turnsText;
    double revisedLengthMm = 0.0;
    std::string revisedLengthText; // "Revised length = 7 mm"
};

struct CoilAsWound {
    WoundCoil coil; // step 2's turns (or --turns) at the chosen pitch, of the real wire
    double lengthOverDiameter = 0.0;
    double nagaoka = 0.0;
    double rosaSelf = 0.0;               // A
    double rosaMutual = 0.0;             // B
    double currentSheet = 0.0;           // H
    double inductance = 0.0;             // H, as wound, at low frequency
    double inductanceAtDesign = 0.0;     // H, at F: the skin effect removes the internal part
    double wheeler = 0.0;                // H
    double differencePercent = 0.0;      // as wound against step 1
    int closestTurns = 0;                // whole turns closest to step 1's inductance
    double closestTurnsInductance = 0.0; // H
    bool shortForWheeler = false;        // shorter than 0.4 of its diameter
};

struct CoilLosses {
    double skinDepth = 0.0;        // m at F
    CoilLoss resistance;           // from the wire
    double reactance = 0.0;        // ohm, at F
    double estimatedQ = 0.0;       // from the losses
    bool qGiven = false;           // --coil-q replaced the estimate
    double q = 0.0;                // the Q used
    double seriesResistance = 0.0; // ohm, reactance / q: the loss the antenna sees
    double selfCapacitance = 0.0;  // F, modelCapacitance: the coil floating in the wire
    double selfResonance = 0.0;    // Hz
    // Which model set the self-resonance, and whether the coil is long against the waves at F.
    SelfResonanceModel selfResonanceModel = SelfResonanceModel::Lumped;
    CoilLength length;
    // Medhurst's capacitance for the same coil grounded at one end, and the self-resonance it
    // would give: the figures the report sets beside Knight's.
    double medhurstCapacitance = 0.0; // F
    double medhurstResonance = 0.0;   // Hz
    // What the antenna sees at F: the winding's inductance and loss with its self-capacitance
    // across them, as one series inductance and resistance.
    double apparentInductance = 0.0; // H
    double apparentResistance = 0.0; // ohm
};

// What each coil and each tip must hold at the inputs' power and mode: the antenna as built,
// and as trimmed when the trim reaches F (the one that will hang).
struct PowerReport {
    std::optional<PowerFigures> built;
    std::optional<PowerFigures> trimmed;
    const PowerFigures* hung() const { return trimmed ? &*trimmed : built ? &*built : nullptr; }
    // Once a sweep has calibrated the model: the antenna as swept, after its cut. The model's
    // currents per ampere at the feed, as trimmed (or built), driven through the resistance the
    // calibrated model has at F after the cut, the sweep's: the same power puts the feed's
    // current through it, wherever the difference from the model lies.
    std::optional<PowerFigures> swept;
    double sweptFeedResistance = 0.0; // ohm, the swept antenna's at F after the cut
};

// The coil to wind instead (coil_to_wind.h).
struct WindingChoice {
    CoilAlternative coil;
    PowerFigures power;         // at the hung antenna's currents, with this coil in place
    double radiatedShare = 0.0; // 0..1, the estimate above
    double dbAgainstPlanned = 0.0;
    // Were a sweep's extra resistance loss (MeasuredReport::radiatedIfLoss): the same estimate
    // with that loss in series, and its gain over the planned coil's.
    std::optional<double> radiatedShareIfLoss{};
    double dbAgainstPlannedIfLoss = 0.0;
};

struct CoilToWind {
    double plannedQ = 0.0; // the planned coil's, at F
    double plannedRadiatedShare = 0.0;
    std::optional<WindingChoice> onFormer;    // nothing: no coil on it does better
    std::optional<WindingChoice> otherFormer; // nothing: no other common former gains much
};

struct CheckReport {
    CheckInputs inputs;
    WindowDesign design;
    CoilAsWound coil;
    // --coil-inductance: the coil the builder measured, which the antenna is modelled with; the
    // losses then give its figures (the measured ones as measured), not the wound coil's.
    std::optional<MeasuredCoil> measuredCoil;
    CoilLosses losses;
    CutList cut;
    std::optional<AntennaCheck> antenna;
    std::optional<PowerReport> power; // with the antenna
    // The coil to wind instead, when one shows the antenna the same reactance with more Q or
    // holds the power the planned one does not (coil_to_wind.h).
    std::optional<CoilToWind> coilToWind;
    CoilAlternatives alternatives;          // empty unless the coil self-resonates at or below F
    std::optional<MeasuredReport> measured; // --measured: the sweep and the cut it asks for
    std::optional<CoilPositionStudy> study; // --study coil-position
};

// A coil's inductance (H) against step 1's, in per cent of step 1's.
double percentAgainstStep1(const WindowDesign& design, double henries);

// A design with no result: the window's own words, or why step 2 never opens.
struct DesignRefusal {
    std::string message;
};

std::variant<CheckReport, DesignRefusal> buildCheckReport(const CheckInputs& inputs);

// The coil of `turns` turns of the report's wire, pitch and former as the antenna sees it: its
// as-wound inductance, its loss (from the given Q when there is one) and its self-capacitance;
// with a measured coil, scaled by the measured coil against the model of the turns wound.
CoilImpedance coilOfTurns(const CheckReport& report, int turns);

// The coil the antenna is built with: the measured one when the builder gave it, else the coil
// as wound (the builder's turns, or step 2's).
CoilImpedance builtCoil(const CheckReport& report);

// Puts a finished full-wave check into the report; only a trim that reaches F goes into the
// cut list.
void applyAntennaCheck(CheckReport& report, AntennaCheck check);

// Runs the full-wave check, then fills in the antenna and the trim in the cut list. On failure
// the report is left as it was.
std::optional<AntennaCheckFailure> addAntennaCheck(CheckReport& report, const Engine& engine,
                                                   const Progress& progress);

// The full-wave check's input for the report's design and coil.
AntennaCheckInput antennaCheckInput(const CheckReport& report);

// Why long coils are not also modelled as NEC-2's helices (AntennaCheckInput::helixCoil).
enum class HelixRefusal {
    None,         // they are, where the helix antenna fits
    Measured,     // the coil is given by its measurements, not by its winding
    CloseWound,   // turns closer than kHelixWidestSpacing wire diameters
};
HelixRefusal helixRefusal(const CheckReport& report);

// Step 1's inductance (H) for the report's design with the coils at `coilDistance` (m); 0 where
// step 1 gives none.
double stepOneInductance(const CheckInputs& inputs, double coilDistance);

// Studies the coil's position for the report's design. On failure the report is left as it was.
std::optional<AntennaCheckFailure> addCoilPositionStudy(CheckReport& report, const Engine& engine,
                                                        const Progress& progress);

// Reads what the sweep shows and calibrates the model of the antenna as built to it. On failure
// the report is left as it was.
std::optional<AntennaCheckFailure> addMeasured(CheckReport& report, const MeasuredSetup& setup,
                                               const Engine& engine, const Progress& progress);

} // namespace brevan::check
