// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The antenna as measured: an analyser's sweep read back into numbers.
//
//   file text --readSweep--> MeasuredSweep --deembedFeedLine--> the sweep at the feed point
//                                          --analyseSweep-----> resonance, SWR at F, 2:1 band
//
// Two families of files are read, told apart by their content (the extension only chooses the
// wording of a refusal): Touchstone one-port files and the CSV files analysers export. A file
// either reads whole or is refused with its name, the line and what was expected there.

#include "analysis/reactance_curve.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brevan::check {

enum class SweepKind {
    Impedance, // the file gives the complex impedance (or S11, turned into impedance)
    SwrOnly    // the file gives only the SWR: no phase, so no reactance
};

enum class SweepFormat { Touchstone, Csv };

struct SwrPoint {
    double frequencyMHz = 0.0;
    double swr = 0.0;
};

struct MeasuredSweep {
    SweepKind kind = SweepKind::Impedance;
    SweepFormat format = SweepFormat::Touchstone;
    // The file's reference resistance (Touchstone's `R n`; 50 ohm for CSV files, which do not
    // say): S11 is turned into impedance on it, and an SWR-only file's SWR is taken to be on it.
    double referenceOhm = 50.0;
    Samples impedance;         // Impedance: ascending frequency, ohm (power fields unused)
    std::vector<SwrPoint> swr; // SwrOnly: ascending frequency, SWR on referenceOhm
};

// Where and why a file was refused. `line` counts from 1; `found` is already worded ("'abc'",
// "2 numbers", "the end of the file").
struct SweepError {
    std::string fileName;
    int line = 0;
    std::string expected;
    std::string found;
};

// "sweep.s1p, line 12: expected 3 numbers (frequency and two parts of S11), found 'abc'"
std::string message(const SweepError& error);

// Reads a whole sweep file. `fileName` names the file in a refusal; its extension (.s1p, .csv)
// only words the refusal when the content is neither family.
//
// Touchstone (versions 1.0 and 1.1, and the keywords of later versions a one-port file may
// carry): the first option line counts (`# Hz|kHz|MHz|GHz S|Z|Y RI|MA|DB R n`, any order and
// case, GHz S MA R 50 where parts are missing, also when the line is missing altogether); `!`
// starts a comment anywhere. Z and Y data are normalised to R as version 1 files have them, and
// in ohm and siemens once `[Version] 2.0` or later says so.
//
// CSV: a header row naming the frequency with its unit (Hz, kHz, MHz, GHz) and either R and X,
// S11's real and imaginary parts, or the SWR; comma, semicolon or tab separated; cells may be
// quoted; a semicolon file may write decimal commas.
//
// Frequencies must rise from line to line, and at least two points are needed.
std::variant<MeasuredSweep, SweepError> readSweep(std::string_view text,
                                                  const std::string& fileName);

// The sweep's SWR on `systemOhm` at every point: computed from the impedance, or, for an
// SWR-only sweep, as the file gives it (on its own reference).
std::vector<SwrPoint> swrCurve(const MeasuredSweep& sweep, double systemOhm);

} // namespace brevan::check
