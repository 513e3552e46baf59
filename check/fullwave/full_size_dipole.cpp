// SPDX-License-Identifier: GPL-3.0-or-later
#include "fullwave/full_size_dipole.h"

namespace brevan::check {

namespace {

constexpr double kFullSizeShare = 0.95;
constexpr double kHalfWaveMetreMHz = 299.792458 / 2.0; // m x MHz

} // namespace

std::vector<Request> FullSizeTask::requests() {
    if (m_asked) {
        return {};
    }
    m_asked = true;
    const AntennaCheckInput& in = m_context.input;
    AntennaModel model = antennaModel(in, kFullSizeShare * kHalfWaveMetreMHz / in.designMHz, {});
    model.insulation = {};
    model.coilStraightExcess = 0.0;
    const auto segmented = segmentAntenna(model, m_context.highestMHz);
    const auto* segmentation = std::get_if<Segmentation>(&segmented);
    if (!segmentation) {
        return {};
    }
    return {Request{model,
                    *segmentation,
                    {DeckFrequency{in.designMHz, {}}},
                    describe("full-size dipole", model, in.designMHz),
                    {}}};
}

void FullSizeTask::take(const std::vector<EngineRun>& runs) {
    if (!runs.empty() && !runs.front().points.empty()) {
        m_efficiency = efficiency(runs.front().points.front());
    }
}

} // namespace brevan::check
