// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A plain half-wave dipole of the same wire in the same place, at F, for what the coils cost:
// its coils of no impedance, its length the usual 95 % of a free-space half wave (a dipole's
// power budget changes little with a few per cent of length either side of resonance). A task
// of the engine rounds, run beside the antennas as designed and as built.

#include "fullwave/antenna_analysis.h"

#include <optional>
#include <vector>

namespace brevan::check {

class FullSizeTask : public Task {
public:
    explicit FullSizeTask(const Context& context) : m_context(context) {}

    std::vector<Request> requests() override;
    void take(const std::vector<EngineRun>& runs) override;
    // 0..1 at F, from its power budget; nothing when it could not be modelled.
    std::optional<double> efficiencyAtDesign() const { return m_efficiency; }

private:
    const Context& m_context;
    bool m_asked = false;
    std::optional<double> m_efficiency;
};

} // namespace brevan::check
