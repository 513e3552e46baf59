// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Sweep files as analysers write them, for the tests of the measured loop on the command line,
// in the window and in the calibration: the text of a file, never the disk.

#include "measured/feed_line.h"
#include "measured/measured_sweep.h"

#include <complex>
#include <cstdio>
#include <string>

namespace brevan::check::test {

inline std::string sweepNumber(double x) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.9g", x);
    return buffer;
}

// A made-up antenna that resonates at 6.95 MHz, below the typical design's 7.05, with 45 ohm,
// in 101 points from 6.7 to 7.2 MHz; swept through `coax` m of lossless coax when given.
inline std::string madeUpTouchstone(double coax = 0.0) {
    const FeedLine line{coax, 0.66, 0.0, 7.05, 50.0};
    std::string text = "! made up for the test\n# MHz Z RI R 50\n";
    for (int i = 0; i <= 100; ++i) {
        const double f = 6.7 + 0.5 * i / 100.0;
        const double u = f / 6.95;
        std::complex<double> z{5.0 + 40.0 * u * u, 700.0 * (u - 1.0 / u)};
        if (coax > 0.0) {
            z = throughFeedLine(z, line, f);
        }
        char row[96];
        std::snprintf(row, sizeof row, "%.5f %.6f %.6f\n", f, z.real() / 50.0, z.imag() / 50.0);
        text += row;
    }
    return text;
}

enum class Written { TouchstoneS, CsvRX, CsvSwr };

// An impedance sweep as an analyser writes it: Touchstone S11 on 50 ohm, or a CSV file of R and
// X or of the SWR alone.
inline std::string sweepFileText(const MeasuredSweep& sweep, Written as) {
    std::string text = as == Written::TouchstoneS ? "! made by the engine\n# MHz S RI R 50\n"
                       : as == Written::CsvRX     ? "Frequency (Hz),R,X\n"
                                                  : "Frequency (kHz);SWR\n";
    const auto points = swrCurve(sweep, 50.0);
    for (std::size_t i = 0; i < sweep.impedance.size(); ++i) {
        const double f = sweep.impedance[i].frequencyMHz;
        const std::complex<double> z = sweep.impedance[i].impedance;
        const std::complex<double> s = (z - 50.0) / (z + 50.0);
        switch (as) {
        case Written::TouchstoneS:
            text +=
                sweepNumber(f) + " " + sweepNumber(s.real()) + " " + sweepNumber(s.imag()) + "\n";
            break;
        case Written::CsvRX:
            text += sweepNumber(f * 1e6) + "," + sweepNumber(z.real()) + "," +
                    sweepNumber(z.imag()) + "\n";
            break;
        case Written::CsvSwr:
            text += sweepNumber(f * 1e3) + ";" + sweepNumber(points[i].swr) + "\n";
        }
    }
    return text;
}

} // namespace brevan::check::test
