// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SIGINT, SIGTERM and SIGHUP end a run cleanly. They are blocked in every thread (so this must be
// made before any other thread starts; the threads inherit the mask) and taken by one thread of
// its own with sigwait, which only records which came. No handler runs in signal context.
//
// The run looks at `received()`: the engine ends its processes and removes its folders, the run
// writes no file and returns 128 + the signal. Should it not have done so within a grace time
// (a write to a pipe nobody reads, say), the watching thread ends the program with that status.

#include <atomic>
#include <memory>

namespace brevan::cli {

class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // 0 until one of the signals came, then its number.
    const std::atomic<int>& received() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

// 128 + the signal, as a shell reports a program a signal ended.
int statusForSignal(int signal);

} // namespace brevan::cli
