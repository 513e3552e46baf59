// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How exactly the antenna must be built: how far the resonance and the SWR at F move when the
// builder winds one turn more or less, cuts each tip 1 cm longer or shorter, winds the coil 1 mm
// longer or shorter, when the coil's self-capacitance or Q is 10 % off the model's, and when the
// antenna hangs 1 m higher or lower.
//
//   antenna analysed (trimmed, else built) + changed coils / models
//     --ToleranceTask: two engine rounds on its working segmentation--> ToleranceTable
//
// Every change is a real engine run of the changed antenna on the analysed one's working
// segmentation, at its working resonance and at F, with that analysis's correction to NEC-2's
// limit: the coil changes are further loads of the same deck, the tips and the height their own
// decks. The changed resonance is placed by one Newton step on the analysed antenna's slope
// and one secant step through the changed antenna's own reactance; the unchanged antenna runs
// beside them the same way, so that the interpolation of its resonance does not enter the moves.
// Where that secant step is still large (a turn more on a coil of three moves the resonance by
// a tenth), further secant steps follow, in rounds of their own, until it settles; a change
// that moves the resonance beyond the check's window around F, or does not settle, is left
// out of the table with the reason.

#include "fullwave/antenna_analysis.h"

#include "fullwave/tolerance_table.h"

#include <array>
#include <complex>
#include <optional>
#include <vector>

namespace brevan::check {

// The root of the reactance by one secant step through two points (MHz, ohm); the second point
// when the two cannot give one.
double secantRoot(double f0, double x0, double f1, double x1);

// The moves of every tolerance for the antenna `base` (an analysis that has finished and shows
// a resonance), as a task of the engine rounds. `changedCoil` may be empty: no coil row applies.
class ToleranceTask : public Task {
public:
    ToleranceTask(const Context& context, const Analysis& base, ChangedCoil changedCoil,
                  bool ofTrimmed);

    std::vector<Request> requests() override;
    void take(const std::vector<EngineRun>& runs) override;
    ToleranceTable table() const;

private:
    // One antenna: the analysed one, or it with one change made.
    struct Variant {
        std::optional<Tolerance> which; // nothing: the unchanged antenna
        bool more = false;
        std::size_t geometry = 0; // index into m_geometries
        CoilImpedance coil;
        std::optional<std::complex<double>> atResonance; // at the working resonance
        std::optional<std::complex<double>> atDesign;    // at F, working level
        double next = 0.0;                               // the latest step's frequency
        std::optional<double> nextReactance;
        double previous = 0.0; // the step before it, and its reactance, for the next secant
        double previousReactance = 0.0;
        std::optional<double> resonance; // working MHz
        bool settled = false;            // its last secant step moved it by next to nothing
    };
    struct Geometry {
        AntennaModel model;
        Segmentation segmentation;
    };

    void addGeometryVariant(Tolerance which, bool more, const AntennaModel& model);
    std::vector<double> frequenciesOf(const Variant& v) const;
    bool asksThisRound(const Variant& v) const;
    double inWindow(double mhz) const;

    const Context& m_context;
    const Analysis& m_base;
    bool m_ofTrimmed = false;
    double m_workingResonance = 0.0; // MHz
    double m_workingDesign = 0.0;    // MHz, F at the working level
    double m_slope = 0.0;            // ohm per MHz, the analysed antenna's reactance there
    std::vector<Geometry> m_geometries;
    std::vector<Variant> m_variants;
    std::array<bool, kTolerances> m_applies{};
    int m_round = 0;
    // The variants whose frequencies each request of the last round carries, in order.
    std::vector<std::vector<std::size_t>> m_asked;
};

} // namespace brevan::check
