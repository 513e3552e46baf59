// SPDX-License-Identifier: GPL-3.0-or-later
// Reading an analyser's sweep of 100,000 points, the largest a NanoVNA or a scripted sweep
// writes, as Touchstone and as CSV, and analysing it: each must take well under a second.

#include "measured/measured_sweep.h"
#include "measured/sweep_analysis.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <string>
#include <variant>

namespace {

using namespace brevan::check;

constexpr int kPoints = 100000;

std::complex<double> impedance(double fMHz) {
    const double u = fMHz / 7.05;
    return {5.0 + 40.0 * u * u, 700.0 * (u - 1.0 / u)};
}

std::string sweepText(bool csv) {
    std::string text = csv ? "Frequency (Hz),R,X\r\n" : "! 100k points\n# Hz S RI R 50\n";
    char line[96];
    for (int i = 0; i < kPoints; ++i) {
        const double f = 6.0 + 2.0 * i / kPoints;
        const auto z = impedance(f);
        const auto s = (z - 50.0) / (z + 50.0);
        if (csv) {
            std::snprintf(line, sizeof line, "%.0f,%.6f,%.6f\r\n", f * 1e6, z.real(), z.imag());
        } else {
            std::snprintf(line, sizeof line, "%.0f %.9f %.9f\n", f * 1e6, s.real(), s.imag());
        }
        text += line;
    }
    return text;
}

void BM_ReadSweep(benchmark::State& bench, bool csv) {
    const std::string text = sweepText(csv);
    for (auto _ : bench) {
        auto sweep = readSweep(text, csv ? "big.csv" : "big.s1p");
        benchmark::DoNotOptimize(sweep);
    }
}
BENCHMARK_CAPTURE(BM_ReadSweep, touchstone_100k, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadSweep, csv_100k, true)->Unit(benchmark::kMillisecond);

void BM_AnalyseSweep(benchmark::State& bench) {
    const auto sweep = std::get<MeasuredSweep>(readSweep(sweepText(false), "big.s1p"));
    for (auto _ : bench) {
        auto analysis = analyseSweep(sweep, 7.1);
        benchmark::DoNotOptimize(analysis);
    }
}
BENCHMARK(BM_AnalyseSweep)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
