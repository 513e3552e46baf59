// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The coil that puts an antenna of a given length on F: sought on the working segmentation of
// an analysed antenna, then the correction to NEC-2's limit of the antenna with exactly that
// coil worked out in turn (its working level resonates where the search put it, so only the
// finer level is asked). That correction differs a little from the first antenna's, more so
// with the coils near the tips, so while the two differ the search is run again.
//
//   analysed antenna --coilSearch--> L --correction of the antenna with L--> (differs) again

#include "fullwave/antenna_analysis.h"
#include "fullwave/trim_search.h"

#include <memory>
#include <optional>

namespace brevan::check {

class NeededCoilTask : public Task {
public:
    // `start` must be finished and show a resonance; it must outlive the task's first round.
    NeededCoilTask(const Context& context, const Analysis& start, double length);

    std::vector<Request> requests() override;
    void take(const std::vector<EngineRun>& runs) override;

    CoilOutcome outcome() const { return m_outcome; }
    const std::optional<AntennaCheckFailure>& failure() const { return m_failure; }
    double inductance() const { return m_inductance; } // H, each coil as it must look at F
    int turns() const { return m_turns; }              // whole turns coming closest; 0: none
    // Each coil as found: the whole turns' impedance (their Q, their self-resonance) scaled to
    // exactly the inductance needed. Empty unless found.
    const CoilImpedance& coil() const { return m_coil; }
    // The antenna with that coil, its correction to NEC-2's limit worked out (its finer levels
    // located); null unless found.
    const Analysis* corrected() const { return m_onF.get(); }

private:
    double dispersion(const CoilImpedance& coil) const;
    bool afterSearch();
    bool afterAnalysis();

    const Context& m_context;
    double m_length = 0.0;
    CoilImpedance m_shape; // the coil whose Q and self-resonance the found inductance keeps
    double m_basisScale = 1.0;
    double m_targetMHz = 0.0; // where the working level must resonate
    std::unique_ptr<SearchTask> m_search;
    std::unique_ptr<Analysis> m_onF; // the found antenna's correction only
    CoilImpedance m_coil;
    bool m_analysing = false;
    int m_searches = 1;
    CoilOutcome m_outcome = CoilOutcome::NotSought;
    std::optional<AntennaCheckFailure> m_failure;
    double m_inductance = 0.0;
    int m_turns = 0;
};

// The impedance `coil` has, scaled so that its reactance at `hz` is omega * `inductance`: its Q
// and the shape of its self-resonance stay as they were.
CoilImpedance scaledTo(CoilImpedance coil, double hz, double inductance);

// The built coil, to be scaled to another inductance; a coil of no reactance at F (or a
// capacitive one) cannot be scaled into an inductor, and the lossless designed coil stands in.
CoilImpedance scalableShape(const AntennaCheckInput& input);

} // namespace brevan::check
