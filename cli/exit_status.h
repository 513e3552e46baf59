// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every exit status of brevan-check, in one table: the code returns the constants, --help prints
// the table, and a test holds the manual (docs/check-options.md) and the man page to the same rows.

#include <string>

namespace brevan::cli {

// sysexits.h numbers where one fits; a signal that stops the run gives 128 + its number, as a
// shell reports a program the signal ended.
enum ExitStatus : int {
    kExitOk = 0,
    kExitUsage = 64,
    kExitNoDesign = 65,
    kExitBadSweep = 66,
    kExitEngineMissing = 69,
    kExitInternal = 70,
    kExitEngineFailed = 71,
    kExitCannotCreate = 73,
    kExitIoError = 74,
    kExitEngineTimedOut = 75,
    kExitEngineUnreadable = 76,
    kExitHangUp = 129,
    kExitInterrupted = 130,
    kExitTerminated = 143,
};

struct ExitStatusEntry {
    ExitStatus status;
    const char* name;
    const char* meaning; // one sentence, as --help, the manual and the man page give it
};

inline constexpr ExitStatusEntry kExitStatuses[] = {
    {kExitOk, "ok", "done: the report is on standard output and every file asked for is written."},
    {kExitUsage, "usage",
     "bad command line: an unknown option, a missing or bad value, or options that cannot go "
     "together; nothing is written."},
    {kExitNoDesign, "no-design",
     "the design has no result, for the reasons the window's OK buttons give, or the antenna "
     "cannot be modelled within the segmentation rules of NEC-2."},
    {kExitBadSweep, "bad-sweep",
     "the sweep given with --measured cannot be read, or is not a sweep: the message names the "
     "file, the line and what was expected there; nothing is written."},
    {kExitEngineMissing, "engine-missing",
     "nec2c is not installed: install the Debian package nec2c, or use --no-antenna."},
    {kExitInternal, "internal", "internal error."},
    {kExitEngineFailed, "engine-failed",
     "nec2c failed: it did not start, it crashed or it exited with an error."},
    {kExitCannotCreate, "cannot-create",
     "a file asked for with --plot, --deck or --study-plot cannot be created, for example in a "
     "folder that does not exist."},
    {kExitIoError, "io-error",
     "a file or standard output cannot be written whole, for example on a full disk; a file it "
     "would have replaced is left as it was."},
    {kExitEngineTimedOut, "engine-timeout",
     "nec2c ran past its time limit (see --engine-timeout)."},
    {kExitEngineUnreadable, "engine-output", "the output of nec2c cannot be read."},
    {kExitHangUp, "hangup",
     "SIGHUP stopped the run: every nec2c run is ended, its temporary folder removed, and no "
     "file is written."},
    {kExitInterrupted, "interrupted", "SIGINT (Ctrl-C) stopped the run, as for SIGHUP."},
    {kExitTerminated, "terminated", "SIGTERM stopped the run, as for SIGHUP."},
};

// The table as --help shows it, each meaning wrapped to fit `width` columns.
std::string exitStatusHelp(int width = 79);

} // namespace brevan::cli
