// SPDX-License-Identifier: GPL-3.0-or-later
// The tolerance table against finite differences of the full model: for each design, every row's
// change is made in the check's input and the changed antenna analysed afresh by the real
// engine, the way the check analyses any antenna (both segmentation levels, extrapolated to
// NEC-2's limit); the table's moves must match the differences of those resonances and SWRs.
// Then the pure parts: the changed coils against the coil model, the secant step and the row
// that matters most.

#include "check_inputs.h"
#include "check_report.h"
#include "coil/coil_impedance.h"
#include "coil/coil_losses.h"
#include "coil/physics.h"
#include "fullwave/tolerance.h"
#include "fullwave/tolerance_coils.h"
#include "real_engine.h"
#include "report/tolerance_words.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace brevan::check {
namespace {

struct ToleranceDesign {
    const char* name;
    double mhz, length, distance;
    int wire;
    double former, coilLength;
    int coilWire;
    double pitchMm = 0; // 0: close-wound
    double heightM = 0; // 0: free space, else over average ground
};

CheckReport checkedDesign(const ToleranceDesign& d) {
    CheckInputs in;
    in.frequencyMHz = d.mhz;
    in.lengthM = d.length;
    in.distanceM = d.distance;
    in.wireSwg = d.wire;
    in.formerMm = d.former;
    in.coilLengthMm = d.coilLength;
    in.coilWireSwg = d.coilWire;
    if (d.pitchMm > 0) {
        in.pitchMm = d.pitchMm;
    }
    if (d.heightM > 0) {
        in.ground = Ground{GroundKind::Average, d.heightM};
    }
    auto built = buildCheckReport(in);
    EXPECT_TRUE(std::holds_alternative<CheckReport>(built)) << d.name;
    CheckReport report = std::get<CheckReport>(built);
    const auto failure = addAntennaCheck(report, realEngine(), {});
    EXPECT_FALSE(failure) << d.name << ": " << (failure ? failure->message : "");
    return report;
}

// The finite differences: each change made in the input, each changed antenna analysed afresh.
class FiniteDifferences {
public:
    // On the segment counts the table was found on, as the check's trim is.
    FiniteDifferences(const CheckReport& report, double length, SegmentCounts counts)
        : m_input(antennaCheckInput(report)), m_length(length), m_counts(counts) {
        m_base = analysis(m_input, m_length, m_input.built, m_counts);
        EXPECT_FALSE(runTogether(realEngine(), {m_base.get()}));
    }

    // The antenna with one row's change on one side, queued for the engine.
    void add(Tolerance which, bool more) {
        const double sign = more ? 1.0 : -1.0;
        m_which.emplace_back(which, more);
        if (which == Tolerance::Tips) {
            m_changed.push_back(
                analysis(m_input, m_length + sign * 2.0 * kTipChange, m_input.built, m_counts));
        } else if (which == Tolerance::Height) {
            AntennaCheckInput higher = m_input;
            higher.ground.height += sign * kHeightChange;
            m_changed.push_back(analysis(higher, m_length, m_input.built, m_counts));
        } else {
            m_changed.push_back(
                analysis(m_input, m_length, *m_input.changedCoil(which, more), m_counts));
        }
    }

    void run() {
        std::vector<Task*> tasks;
        for (auto& a : m_changed) {
            tasks.push_back(a.get());
        }
        EXPECT_FALSE(runTogether(realEngine(), tasks));
    }

    AntennaResult base() const { return m_base->result(); }
    std::size_t size() const { return m_changed.size(); }
    AntennaResult changed(std::size_t i) const { return m_changed[i]->result(); }
    std::pair<Tolerance, bool> which(std::size_t i) const { return m_which[i]; }

private:
    std::unique_ptr<Analysis> analysis(const AntennaCheckInput& input, double length,
                                       const CoilImpedance& coil,
                                       std::optional<SegmentCounts> counts) {
        m_inputs.push_back(input);
        const AntennaCheckInput& in = m_inputs.back();
        m_contexts.push_back(
            std::make_unique<Context>(Context{in,
                                              realEngine(),
                                              m_progress,
                                              in.designMHz * (1.0 + kResonanceWindow),
                                              sweepPlan(in.ground.kind),
                                              {}}));
        auto made = newAnalysis(*m_contexts.back(), length, coil, "changed", counts);
        EXPECT_TRUE(std::holds_alternative<std::unique_ptr<Analysis>>(made));
        return std::move(std::get<std::unique_ptr<Analysis>>(made));
    }

    AntennaCheckInput m_input;
    double m_length;
    Progress m_progress;
    std::deque<AntennaCheckInput> m_inputs;
    std::vector<std::unique_ptr<Context>> m_contexts;
    std::unique_ptr<Analysis> m_base;
    SegmentCounts m_counts;
    std::vector<std::unique_ptr<Analysis>> m_changed;
    std::vector<std::pair<Tolerance, bool>> m_which;
};

TEST(ToleranceTable, MovesMatchFiniteDifferencesOfTheFullModel) {
    const std::vector<ToleranceDesign> designs = {
        {"40 m, coils near the feed", 7.05, 15, 0.3, 16, 50, 40, 20},
        {"40 m, coils near the tips, spaced", 7.05, 15, 6.2, 16, 50, 40, 20, 1.5},
        {"80 m, coils mid-way, spaced", 3.6, 25, 6, 16, 60, 80, 18, 1.8},
        {"40 m, 10 m over average ground", 7.05, 15, 3, 16, 50, 40, 20, 0, 10},
    };
    // The mid-way coils of 40 m are the design over ground.
    for (const ToleranceDesign& d : designs) {
        SCOPED_TRACE(d.name);
        const CheckReport report = checkedDesign(d);
        ASSERT_TRUE(report.antenna);
        const AntennaCheck& a = *report.antenna;
        ASSERT_TRUE(a.tolerances);
        const ToleranceTable& table = *a.tolerances;
        EXPECT_EQ(table.ofTrimmed, a.trim.outcome == TrimOutcome::Reached);
        FiniteDifferences fd(report, table.ofTrimmed ? a.trim.trimmedLength : d.length,
                             table.counts);
        const AntennaResult base = fd.base();
        ASSERT_TRUE(base.resonanceMHz);
        EXPECT_NEAR(table.resonanceMHz, *base.resonanceMHz, 0.0005 * d.mhz);
        EXPECT_NEAR(table.swr, base.designSwr, 0.01 * base.designSwr);
        std::printf("%-36s base: table %.4f MHz fd %.4f MHz | swr %.4f fd %.4f\n", d.name,
                    table.resonanceMHz, *base.resonanceMHz, table.swr, base.designSwr);

        ASSERT_EQ(table.rows.size(), std::size_t(kTolerances));
        for (const ToleranceRow& row : table.rows) {
            const bool expected = row.which == Tolerance::WindingLength ? d.pitchMm > 0
                                  : row.which == Tolerance::Height      ? d.heightM > 0
                                                                        : true;
            EXPECT_EQ(row.applies, expected) << toleranceKey(row.which);
            for (const bool more : {true, false}) {
                if (row.applies) {
                    EXPECT_TRUE(more ? row.more : row.less) << toleranceKey(row.which);
                    fd.add(row.which, more);
                }
            }
        }
        fd.run();
        for (std::size_t i = 0; i < fd.size(); ++i) {
            const auto [which, more] = fd.which(i);
            const ToleranceRow& row = table.rows[static_cast<std::size_t>(which)];
            const ToleranceMove& side = more ? *row.more : *row.less;
            const AntennaResult changed = fd.changed(i);
            ASSERT_TRUE(changed.resonanceMHz);
            const double moved = (*changed.resonanceMHz - *base.resonanceMHz) * 1000.0;
            const double swrMoved = changed.designSwr - base.designSwr;
            std::printf("%-36s %-16s %-5s table %+9.3f kHz fd %+9.3f kHz | swr %.4f fd %.4f\n",
                        d.name, toleranceKey(which), more ? "more" : "less", side.resonanceKHz,
                        moved, side.swr, changed.designSwr);
            // The changed antennas' own correction to NEC-2's limit differs from the analysed
            // one's by up to 2.5 % of the move (a turn more on coils near the tips). And the full
            // model places each resonance between samples a quarter of a per cent of F apart, to
            // about 1.5e-4 of F: a difference of two such placements carries that much, where the
            // table's move, both antennas taken through the same steps, does not (seen: 0.77 kHz
            // at 3.6 MHz for a 2 kHz move whose SWR at F the table gives to 1e-4).
            const double placement = 1.5e-4 * *base.resonanceMHz * 1000.0;
            EXPECT_NEAR(side.resonanceKHz, moved, 0.04 * std::abs(moved) + 0.2 + placement)
                << toleranceKey(which) << (more ? " more" : " less");
            EXPECT_NEAR(side.swr - table.swr, swrMoved, 0.1 * std::abs(swrMoved) + 0.01)
                << toleranceKey(which) << (more ? " more" : " less");
        }
    }
}

// A coil of the report's design, for the pure tests.
WoundCoil typicalCoil() {
    WoundCoil coil;
    coil.turns = 24;
    coil.wireDiameter = 0.914e-3;
    coil.pitch = 1.2e-3;
    coil.meanDiameter = 50e-3 + coil.wireDiameter;
    return coil;
}

TEST(ChangedCoils, QAndCapacitanceChangeOnlyTheirOwnPart) {
    const WoundCoil coil = typicalCoil();
    const double c = selfCapacitance(coil);
    for (const double hz : {3.6e6, 7.05e6, 14.2e6}) {
        const double omega = 2.0 * kPi * hz;
        for (const double q : {80.0, 250.0}) {
            // The coil model with the Q given 10 % higher is the same coil as withQ makes.
            const std::complex<double> higher = coilImpedance(coil, hz, q * 1.1);
            const std::complex<double> made = withQ(coilImpedance(coil, hz, q), omega, c, 1.1);
            EXPECT_NEAR(std::abs(made - higher) / std::abs(higher), 0.0, 1e-9) << hz << " " << q;
        }
        // 10 % more capacitance across the winding R + j omega L.
        const double r = lossResistance(coil, hz, std::nullopt);
        const std::complex<double> winding(r, omega * inductanceAt(coil, hz));
        const std::complex<double> expected =
            winding / (1.0 + std::complex<double>(0.0, omega * 1.1 * c) * winding);
        const std::complex<double> made =
            withCapacitance(coilImpedance(coil, hz, std::nullopt), omega, 0.1 * c);
        EXPECT_NEAR(std::abs(made - expected) / std::abs(expected), 0.0, 1e-9) << hz;
    }
}

TEST(ChangedCoils, RowsApplyOnlyWhereTheCoilCanBeMadeSo) {
    CheckInputs in;
    in.frequencyMHz = 7.05;
    in.lengthM = 15;
    in.distanceM = 3;
    in.wireSwg = 16;
    in.formerMm = 50;
    in.coilLengthMm = 40;
    in.coilWireSwg = 20;
    in.antenna = false;
    const auto closeWound = std::get<CheckReport>(buildCheckReport(in));
    const ChangedCoil close = changedCoils(closeWound);
    EXPECT_FALSE(close(Tolerance::WindingLength, true));
    EXPECT_FALSE(close(Tolerance::WindingLength, false));
    EXPECT_FALSE(close(Tolerance::Tips, true));
    EXPECT_FALSE(close(Tolerance::Height, true));
    const double hz = 7.05e6;
    const int turns = static_cast<int>(closeWound.design.turns);
    // One turn more is the coil model's coil of one turn more, the same pitch.
    EXPECT_EQ((*close(Tolerance::Turns, true))(hz), coilOfTurns(closeWound, turns + 1)(hz));
    EXPECT_EQ((*close(Tolerance::Turns, false))(hz), coilOfTurns(closeWound, turns - 1)(hz));

    in.pitchMm = 1.5;
    const auto spaced = std::get<CheckReport>(buildCheckReport(in));
    const ChangedCoil changed = changedCoils(spaced);
    const auto inductance = [hz](const CoilImpedance& z) {
        return z(hz).imag() / (2.0 * kPi * hz);
    };
    const double asBuilt = inductance(coilOfTurns(spaced, static_cast<int>(spaced.design.turns)));
    // A longer winding of the same turns has less inductance, a shorter one more.
    EXPECT_LT(inductance(*changed(Tolerance::WindingLength, true)), asBuilt);
    EXPECT_GT(inductance(*changed(Tolerance::WindingLength, false)), asBuilt);
}

TEST(ToleranceSteps, SecantAndTheRowThatMattersMost) {
    // A straight line's root is exact; coincident points give the second.
    EXPECT_DOUBLE_EQ(secantRoot(7.0, -10.0, 7.2, 10.0), 7.1);
    EXPECT_DOUBLE_EQ(secantRoot(7.0, 5.0, 7.0, 5.0), 7.0);
    EXPECT_DOUBLE_EQ(secantRoot(7.0, 5.0, 7.1, 5.0), 7.1);

    std::vector<ToleranceRow> rows(kTolerances);
    for (int i = 0; i < kTolerances; ++i) {
        rows[static_cast<std::size_t>(i)].which = kAllTolerances[static_cast<std::size_t>(i)];
    }
    EXPECT_FALSE(mattersMost(rows));
    rows[0] = {Tolerance::Turns, true, ToleranceMove{-40, 1.6}, ToleranceMove{41, 1.7}};
    rows[1] = {Tolerance::Tips, true, ToleranceMove{-6, 1.1}, std::nullopt};
    // A row that does not apply never matters, whatever it holds.
    rows[5] = {Tolerance::Height, false, ToleranceMove{-90, 1.6}, std::nullopt};
    EXPECT_EQ(largestMove(rows[0]), 41);
    EXPECT_EQ(mattersMost(rows), Tolerance::Turns);
    rows[1].less = ToleranceMove{-50, 1.2};
    EXPECT_EQ(mattersMost(rows), Tolerance::Tips);
    // A side beyond the window has no figure, but moves it further than any that has one.
    rows[3] = {Tolerance::SelfCapacitance, true, std::nullopt, ToleranceMove{5, 1.1}};
    rows[3].moreBeyond = true;
    EXPECT_TRUE(movesBeyond(rows[3]));
    EXPECT_EQ(mattersMost(rows), Tolerance::SelfCapacitance);
    rows[5].lessBeyond = true; // not applying, still never matters
    EXPECT_EQ(mattersMost(rows), Tolerance::SelfCapacitance);
}

} // namespace
} // namespace brevan::check
