// SPDX-License-Identifier: GPL-3.0-or-later
#include "stop_signals.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include <signal.h>
#include <time.h>
#include <unistd.h>

namespace brevan::cli {

namespace {

constexpr int kGraceSeconds = 10;

sigset_t stopSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

} // namespace

struct StopSignals::State {
    std::atomic<int> received{0};
};

// The watcher is detached and shares the state, so a signal that comes while main() returns
// finds it still there.
StopSignals::StopSignals() : m_state(std::make_shared<State>()) {
    const sigset_t set = stopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([state = m_state, set] {
        int signal = 0;
        while (sigwait(&set, &signal) != 0 || signal == 0) {
        }
        state->received = signal;
        // Further signals of the set are taken here and do nothing while the run ends.
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::seconds(kGraceSeconds);
        const timespec step{0, 200'000'000};
        while (std::chrono::steady_clock::now() < deadline) {
            siginfo_t info;
            sigtimedwait(&set, &info, &step);
        }
        const char message[] = "brevan-check: the run did not end in time after a signal\n";
        [[maybe_unused]] const ssize_t written =
            ::write(STDERR_FILENO, message, sizeof message - 1);
        ::_exit(statusForSignal(signal));
    }).detach();
}

StopSignals::~StopSignals() = default;

const std::atomic<int>& StopSignals::received() const {
    return m_state->received;
}

int statusForSignal(int signal) {
    return 128 + signal;
}

} // namespace brevan::cli
