// SPDX-License-Identifier: GPL-3.0-or-later
#include "fullwave/needed_coil.h"

#include "coil/physics.h"

#include <cmath>

namespace brevan::check {

namespace {

// A redo only when the corrections differ by more than the report shows of a resonance.
constexpr double kRescaleThreshold = 0.0005;
constexpr int kMostSearches = 3;

} // namespace

CoilImpedance scaledTo(CoilImpedance coil, double hz, double inductance) {
    const double factor = 2.0 * kPi * hz * inductance / coil(hz).imag();
    return [coil = std::move(coil), factor](double f) { return factor * coil(f); };
}

CoilImpedance scalableShape(const AntennaCheckInput& input) {
    const std::complex<double> built = input.built(input.designMHz * 1e6);
    return built.imag() > 0.0 ? input.built : input.designed;
}

NeededCoilTask::NeededCoilTask(const Context& context, const Analysis& start, double length)
    : m_context(context), m_length(length), m_shape(start.coil()), m_basisScale(start.scale()),
      m_targetMHz(workingTarget(start, context.input.designMHz)),
      m_search(coilSearch(context, start, length, m_targetMHz)) {}

std::vector<Request> NeededCoilTask::requests() {
    while (!m_failure) {
        Task* task = m_analysing ? static_cast<Task*>(m_onF.get()) : m_search.get();
        if (auto next = task->requests(); !next.empty()) {
            return next;
        }
        if (!(m_analysing ? afterAnalysis() : afterSearch())) {
            return {};
        }
    }
    return {};
}

void NeededCoilTask::take(const std::vector<EngineRun>& runs) {
    if (m_analysing) {
        m_onF->take(runs);
    } else {
        m_search->take(runs);
    }
}

// The apparent inductance of `coil` at F against that at the working level's target.
double NeededCoilTask::dispersion(const CoilImpedance& coil) const {
    const double f = m_context.input.designMHz * 1e6;
    const double target = m_targetMHz * 1e6;
    const double atF = coil(f).imag() / f;
    const double atTarget = coil(target).imag() / target;
    return atF > 0.0 && atTarget > 0.0 ? atF / atTarget : 1.0;
}

bool NeededCoilTask::afterSearch() {
    if (m_search->failure()) {
        m_failure = m_search->failure();
        return false;
    }
    const RootSearch& s = m_search->search();
    if (s.state != SearchState::Converged) {
        // A search run again from a nearby antenna that fails keeps the answer it had.
        if (m_outcome != CoilOutcome::Found) {
            m_outcome = s.state == SearchState::OutOfRange ? CoilOutcome::NoCoilReaches
                                                           : CoilOutcome::NotConverged;
        }
        return false;
    }
    const AntennaCheckInput& input = m_context.input;
    m_outcome = CoilOutcome::Found;
    // The search found the inductance at the working level's frequency; a real coil's apparent
    // inductance rises towards its self-resonance, so at F it is a little more.
    m_inductance = s.root * dispersion(m_shape);
    m_turns = input.coilOfTurns ? closestApparentTurns(input, m_inductance) : 0;
    const CoilImpedance shape = m_turns > 0 ? input.coilOfTurns(m_turns) : m_shape;
    m_inductance = s.root * dispersion(shape);
    m_coil = scaledTo(shape, m_targetMHz * 1e6, s.root);
    auto analysis = newAnalysis(m_context, m_length, m_coil, "with the coil that puts it on F");
    if (auto* failure = std::get_if<AntennaCheckFailure>(&analysis)) {
        m_failure = *failure;
        return false;
    }
    m_onF = std::move(std::get<std::unique_ptr<Analysis>>(analysis));
    m_onF->startAtResonance(m_targetMHz);
    m_analysing = true;
    return true;
}

bool NeededCoilTask::afterAnalysis() {
    m_analysing = false;
    const double ratio = m_onF->scale() / m_basisScale;
    if (std::abs(ratio - 1.0) <= kRescaleThreshold || !m_onF->coarseResonance() ||
        m_searches >= kMostSearches) {
        return false;
    }
    ++m_searches;
    m_basisScale = m_onF->scale();
    m_targetMHz = workingTarget(*m_onF, m_context.input.designMHz);
    m_search = coilSearch(m_context, *m_onF, m_length, m_targetMHz);
    return true;
}

} // namespace brevan::check
