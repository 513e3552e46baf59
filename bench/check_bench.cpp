// SPDX-License-Identifier: GPL-3.0-or-later
// brevan-check's costs: one whole report without the engine (the design, the coil as wound,
// its losses, the cut list and the text), the whole full-wave check with the real nec2c in free
// space and over average ground, the way the program runs it, the tolerance table's share of
// it, and the coil-position study.

#include "check_report.h"
#include "fullwave/tolerance.h"
#include "nec/engine/nec2c_engine.h"
#include "report/report_text.h"

#include <benchmark/benchmark.h>

#include <variant>

namespace {

using namespace brevan::check;

CheckInputs typicalDesign() {
    CheckInputs in;
    in.frequencyMHz = 7.05;
    in.lengthM = 15;
    in.distanceM = 3;
    in.wireSwg = 16;
    in.formerMm = 50;
    in.coilLengthMm = 40;
    in.coilWireSwg = 20;
    return in;
}

void BM_WholeReport(benchmark::State& bench) {
    CheckInputs in = typicalDesign();
    in.antenna = false;
    for (auto _ : bench) {
        auto built = buildCheckReport(in);
        std::string text = reportText(std::get<CheckReport>(built), "1.2");
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_WholeReport)->Unit(benchmark::kMicrosecond);

// The whole check of `in` as the program runs it, once an iteration.
void fullWaveChecks(benchmark::State& bench, const CheckInputs& in) {
    const Engine engine = nec2cEngine({});
    for (auto _ : bench) {
        CheckReport report = std::get<CheckReport>(buildCheckReport(in));
        if (addAntennaCheck(report, engine, {})) {
            bench.SkipWithError("the engine failed");
            break;
        }
        benchmark::DoNotOptimize(report);
    }
}

void BM_FullWaveCheck(benchmark::State& bench, Ground ground) {
    CheckInputs in = typicalDesign();
    in.ground = ground;
    fullWaveChecks(bench, in);
}
BENCHMARK_CAPTURE(BM_FullWaveCheck, free_space, Ground{})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_FullWaveCheck, average_ground_10m, Ground{GroundKind::Average, 10})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The coils 10 cm of wire from the tips, as the window suggests B = 7.379 m for the typical
// design: the short wire beyond them takes short segments, there and beside the coils only (67
// segments graded, where equal ones took 219), and the resonance is located at twice and four
// times those, a chain of lone decks, each split over both cores.
void BM_FullWaveCheckNearTheTips(benchmark::State& bench) {
    CheckInputs in = typicalDesign();
    in.distanceM = 7.379;
    fullWaveChecks(bench, in);
}
BENCHMARK(BM_FullWaveCheckNearTheTips)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// An 80 m antenna with long coils (42 spaced turns on a 100 mm former, 273 mm long): the lumped
// coil with its self-capacitance from the helical line, as any other, and beside it NEC-2's
// helices of the coils at two lengths, which is most of what it costs beyond the typical check.
// Over ground each helix solve works out the Sommerfeld ground afresh.
void BM_FullWaveCheckLongCoils(benchmark::State& bench, Ground ground) {
    CheckInputs in;
    in.frequencyMHz = 3.6;
    in.lengthM = 14;
    in.distanceM = 3;
    in.wireSwg = 16;
    in.formerMm = 100;
    in.coilLengthMm = 390;
    in.coilWireSwg = 18;
    in.pitchMm = 6.5;
    in.turns = 42;
    in.ground = ground;
    fullWaveChecks(bench, in);
}
BENCHMARK_CAPTURE(BM_FullWaveCheckLongCoils, free_space, Ground{})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_FullWaveCheckLongCoils, average_ground_10m, Ground{GroundKind::Average, 10})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The time the tolerance table adds to the full-wave check: its engine rounds on the antenna as
// built, analysed once beforehand as the check analyses it.
void BM_ToleranceTable(benchmark::State& bench, Ground ground) {
    CheckInputs in = typicalDesign();
    in.ground = ground;
    const Engine engine = nec2cEngine({});
    const CheckReport report = std::get<CheckReport>(buildCheckReport(in));
    const AntennaCheckInput input = antennaCheckInput(report);
    const Progress progress;
    const Context context{
        input, engine, progress, input.designMHz * (1.0 + kResonanceWindow), sweepPlan(ground.kind),
        {}};
    auto analysis = newAnalysis(context, input.length, input.built, "as built");
    auto& built = *std::get<std::unique_ptr<Analysis>>(analysis);
    if (runTogether(engine, {&built})) {
        bench.SkipWithError("the engine failed");
        return;
    }
    for (auto _ : bench) {
        ToleranceTask tolerances(context, built, input.changedCoil, false);
        if (runTogether(engine, {&tolerances})) {
            bench.SkipWithError("the engine failed");
            break;
        }
        ToleranceTable table = tolerances.table();
        benchmark::DoNotOptimize(table);
    }
}
BENCHMARK_CAPTURE(BM_ToleranceTable, free_space, Ground{})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_ToleranceTable, average_ground_10m, Ground{GroundKind::Average, 10})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// Where the coils should go, in free space: the target is the whole study under 5 s.
void BM_CoilPositionStudy(benchmark::State& bench) {
    const Engine engine = nec2cEngine({});
    for (auto _ : bench) {
        CheckReport report = std::get<CheckReport>(buildCheckReport(typicalDesign()));
        if (addCoilPositionStudy(report, engine, {})) {
            bench.SkipWithError("the engine failed");
            break;
        }
        bench.counters["positions"] = static_cast<double>(report.study->points.size());
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(BM_CoilPositionStudy)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
