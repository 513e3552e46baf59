// SPDX-License-Identifier: GPL-3.0-or-later
#include "fullwave/tolerance.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

namespace {

// The slope of the analysed antenna's reactance is taken over this share of its resonance.
constexpr double kSlopeStep = 0.001;
// A secant step smaller than this share of the resonance has settled it (a few hertz to a few
// tens); the rounds after the first secant step, for the moves that have not.
constexpr double kSettled = 1e-5;
constexpr int kToleranceRounds = 8;

std::size_t indexOf(Tolerance which) {
    return static_cast<std::size_t>(which);
}

} // namespace

double largestMove(const ToleranceRow& row) {
    double largest = 0.0;
    for (const auto& side : {row.more, row.less}) {
        if (side) {
            largest = std::max(largest, std::abs(side->resonanceKHz));
        }
    }
    return largest;
}

bool movesBeyond(const ToleranceRow& row) {
    return row.moreBeyond || row.lessBeyond;
}

std::optional<Tolerance> mattersMost(const std::vector<ToleranceRow>& rows) {
    for (const ToleranceRow& row : rows) {
        if (row.applies && movesBeyond(row)) {
            return row.which;
        }
    }
    std::optional<Tolerance> most;
    double largest = 0.0;
    for (const ToleranceRow& row : rows) {
        if (row.applies && largestMove(row) > largest) {
            largest = largestMove(row);
            most = row.which;
        }
    }
    return most;
}

double secantRoot(double f0, double x0, double f1, double x1) {
    if (f1 == f0 || x1 == x0) {
        return f1;
    }
    return f1 - x1 * (f1 - f0) / (x1 - x0);
}

ToleranceTask::ToleranceTask(const Context& context, const Analysis& base, ChangedCoil changedCoil,
                             bool ofTrimmed)
    : m_context(context), m_base(base), m_ofTrimmed(ofTrimmed) {
    m_workingResonance = base.coarseResonance() ? base.coarseResonance()->frequencyMHz : 0.0;
    m_workingDesign = context.input.designMHz / base.scale();
    const double h = kSlopeStep * m_workingResonance;
    m_slope = (impedanceAt(base.samples(), m_workingResonance + h).imag() -
               impedanceAt(base.samples(), m_workingResonance - h).imag()) /
              (2.0 * h);
    m_geometries.push_back(Geometry{base.model(), base.coarse()});
    m_variants.push_back(
        Variant{std::nullopt, false, 0, base.coil(), {}, {}, 0.0, {}, 0.0, 0.0, {}, false});

    for (const Tolerance which : {Tolerance::Turns, Tolerance::WindingLength,
                                  Tolerance::SelfCapacitance, Tolerance::CoilQ}) {
        for (const bool more : {true, false}) {
            const auto coil = changedCoil ? changedCoil(which, more) : std::nullopt;
            if (coil) {
                m_applies[indexOf(which)] = true;
                m_variants.push_back(
                    Variant{which, more, 0, *coil, {}, {}, 0.0, {}, 0.0, 0.0, {}, false});
            }
        }
    }
    m_applies[indexOf(Tolerance::Tips)] = true;
    for (const bool more : {true, false}) {
        AntennaModel model = base.model();
        model.length += (more ? 2.0 : -2.0) * kTipChange;
        addGeometryVariant(Tolerance::Tips, more, model);
    }
    if (base.model().ground.kind != GroundKind::FreeSpace) {
        m_applies[indexOf(Tolerance::Height)] = true;
        for (const bool more : {true, false}) {
            const double by = more ? kHeightChange : -kHeightChange;
            AntennaModel model = base.model();
            model.ground.height += by;
            if (model.hang.endsHeight) {
                *model.hang.endsHeight += by; // the whole antenna moves, its shape kept
            }
            addGeometryVariant(Tolerance::Height, more, model);
        }
    }
}

// The antenna changed in its shape or place, on the analysed one's segment counts so that
// NEC-2's convergence does not enter the move. A change the NEC rules or the ground refuse
// (too near the ground, a tip inside the coil) leaves that side out.
void ToleranceTask::addGeometryVariant(Tolerance which, bool more, const AntennaModel& model) {
    auto seg = segmentWith(model, m_base.coarse().counts, 1, m_context.highestMHz);
    if (const auto* segmentation = std::get_if<Segmentation>(&seg)) {
        m_geometries.push_back(Geometry{model, *segmentation});
        m_variants.push_back(Variant{which,
                                     more,
                                     m_geometries.size() - 1,
                                     m_base.coil(),
                                     {},
                                     {},
                                     0.0,
                                     {},
                                     0.0,
                                     0.0,
                                     {},
                                     false});
    }
}

std::vector<double> ToleranceTask::frequenciesOf(const Variant& v) const {
    if (m_round == 0) {
        return {m_workingResonance, m_workingDesign};
    }
    return {v.next};
}

// The first two rounds ask for every variant; later ones only for those still moving.
bool ToleranceTask::asksThisRound(const Variant& v) const {
    return m_round < 2 || (v.resonance && !v.settled);
}

// Kept within the check's window around the working resonance: beyond it the check would find
// no resonance to move.
double ToleranceTask::inWindow(double mhz) const {
    return std::clamp(mhz, m_workingResonance * (1.0 - kResonanceWindow),
                      m_workingResonance * (1.0 + kResonanceWindow));
}

std::vector<Request> ToleranceTask::requests() {
    m_asked.clear();
    if (m_round >= kToleranceRounds || m_workingResonance <= 0.0) {
        return {};
    }
    if (m_round == 1) {
        // A Newton step on the analysed antenna's slope, kept within half the search window.
        for (Variant& v : m_variants) {
            const double x = v.atResonance ? v.atResonance->imag() : 0.0;
            const double step = m_slope > 0.0 ? -x / m_slope : 0.0;
            v.next = std::clamp(m_workingResonance + step,
                                m_workingResonance * (1.0 - kResonanceWindow / 2.0),
                                m_workingResonance * (1.0 + kResonanceWindow / 2.0));
            if (v.next == m_workingResonance) {
                v.next = m_workingResonance * (1.0 + kSlopeStep); // two points for the secant
            }
        }
    } else if (m_round >= 2) {
        // A further secant step from where the last one put the resonance.
        bool any = false;
        for (Variant& v : m_variants) {
            if (asksThisRound(v)) {
                v.previous = v.next;
                v.previousReactance = *v.nextReactance;
                v.next = inWindow(*v.resonance);
                any = true;
            }
        }
        if (!any) {
            return {};
        }
    }
    std::vector<Request> out;
    for (std::size_t g = 0; g < m_geometries.size(); ++g) {
        Request request{m_geometries[g].model,
                        m_geometries[g].segmentation,
                        {},
                        describe("tolerances", m_geometries[g].model, m_context.input.designMHz),
                        {}};
        std::vector<std::size_t> asked;
        for (std::size_t i = 0; i < m_variants.size(); ++i) {
            if (m_variants[i].geometry == g && asksThisRound(m_variants[i])) {
                const auto mine = at(m_variants[i].coil, frequenciesOf(m_variants[i]));
                request.frequencies.insert(request.frequencies.end(), mine.begin(), mine.end());
                asked.push_back(i);
            }
        }
        if (!asked.empty()) {
            out.push_back(std::move(request));
            m_asked.push_back(std::move(asked));
        }
    }
    return out;
}

void ToleranceTask::take(const std::vector<EngineRun>& runs) {
    for (std::size_t r = 0; r < runs.size() && r < m_asked.size(); ++r) {
        std::size_t k = 0;
        const auto& points = runs[r].points;
        for (const std::size_t i : m_asked[r]) {
            Variant& v = m_variants[i];
            if (m_round == 0 && k + 1 < points.size()) {
                v.atResonance = points[k].impedance;
                v.atDesign = points[k + 1].impedance;
                k += 2;
            } else if (m_round >= 1 && k < points.size() && v.atResonance) {
                v.nextReactance = points[k].impedance.imag();
                v.resonance = m_round == 1 ? secantRoot(m_workingResonance, v.atResonance->imag(),
                                                        v.next, *v.nextReactance)
                                           : secantRoot(v.previous, v.previousReactance, v.next,
                                                        *v.nextReactance);
                v.settled = std::abs(*v.resonance - v.next) <= kSettled * m_workingResonance;
                k += 1;
            }
        }
    }
    ++m_round;
}

ToleranceTable ToleranceTask::table() const {
    ToleranceTable table;
    table.ofTrimmed = m_ofTrimmed;
    table.counts = m_base.coarse().counts;
    const Variant& base = m_variants.front();
    const double scale = m_base.scale();
    if (!base.resonance || !base.atDesign) {
        return table;
    }
    table.resonanceMHz = *base.resonance * scale;
    table.swr = swr(*base.atDesign);
    for (const Tolerance which : kAllTolerances) {
        ToleranceRow row;
        row.which = which;
        row.applies = m_applies[indexOf(which)];
        table.rows.push_back(row);
    }
    for (std::size_t i = 1; i < m_variants.size(); ++i) {
        const Variant& v = m_variants[i];
        ToleranceRow& row = table.rows[indexOf(*v.which)];
        // A resonance the steps place beyond the search window is none the check would find,
        // and one they did not settle is no figure.
        if (v.resonance &&
            std::abs(*v.resonance / m_workingResonance - 1.0) >= kResonanceWindow * 0.999) {
            (v.more ? row.moreBeyond : row.lessBeyond) = true;
            continue;
        }
        if (!v.resonance || !v.atDesign || !v.settled) {
            continue;
        }
        const ToleranceMove move{(*v.resonance - *base.resonance) * scale * 1000.0,
                                 swr(*v.atDesign)};
        (v.more ? row.more : row.less) = move;
    }
    table.mattersMost = mattersMost(table.rows);
    return table;
}

} // namespace brevan::check
