// SPDX-License-Identifier: GPL-3.0-or-later
// The design core on the worked examples, one step at a time and as a whole design. Every
// iteration starts from the same state, as a click on an OK button does.

#include "coil_winding.h"
#include "leading_number.h"
#include "loading_coil.h"

#include <benchmark/benchmark.h>

#include <string_view>

namespace {

constexpr double kFeetPerMetre = 3.28;
constexpr double kMmPerInch = 25.4;

brevan::DesignState stepOneInputs() {
    brevan::DesignState s;
    s.freqMHz = 7.05;
    s.lengthA = 15 * kFeetPerMetre;
    s.distB = 3 * kFeetPerMetre;
    return s;
}

brevan::DesignState stepTwoInputs() {
    brevan::DesignState s;
    s.inductance = 20;
    s.formerDia = 50 / kMmPerInch;
    s.coilLength = 40 / kMmPerInch;
    return s;
}

void BM_LoadingCoil(benchmark::State& bench) {
    const brevan::DesignState start = stepOneInputs();
    for (auto _ : bench) {
        brevan::DesignState s = start;
        benchmark::DoNotOptimize(s);
        auto result = brevan::computeLoadingCoil(s, 16, ".");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_LoadingCoil);

void BM_CoilWinding(benchmark::State& bench) {
    const brevan::DesignState start = stepTwoInputs();
    for (auto _ : bench) {
        brevan::DesignState s = start;
        benchmark::DoNotOptimize(s);
        auto result = brevan::computeCoilWinding(s, 18);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_CoilWinding);

// Step 1 on the first worked example, then step 2 from its full-precision inductance.
void BM_WholeDesign(benchmark::State& bench) {
    brevan::DesignState start = stepOneInputs();
    start.formerDia = 50 / kMmPerInch;
    start.coilLength = 40 / kMmPerInch;
    for (auto _ : bench) {
        brevan::DesignState s = start;
        benchmark::DoNotOptimize(s);
        auto inductance = brevan::computeLoadingCoil(s, 16, ".");
        auto winding = brevan::computeCoilWinding(s, 18);
        benchmark::DoNotOptimize(inductance);
        benchmark::DoNotOptimize(winding);
    }
}
BENCHMARK(BM_WholeDesign);

// What a change handler reads on each keystroke: a plain number, a whole number, and a text
// that stops at its second full stop.
void BM_LeadingNumber(benchmark::State& bench, std::string_view text) {
    for (auto _ : bench) {
        benchmark::DoNotOptimize(text);
        benchmark::DoNotOptimize(brevan::parseLeadingNumber(text));
    }
}
BENCHMARK_CAPTURE(BM_LeadingNumber, frequency, std::string_view(" 7.05"));
BENCHMARK_CAPTURE(BM_LeadingNumber, whole, std::string_view("15"));
BENCHMARK_CAPTURE(BM_LeadingNumber, two_stops, std::string_view(" 1.2.3"));

} // namespace

BENCHMARK_MAIN();
