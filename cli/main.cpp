// SPDX-License-Identifier: GPL-3.0-or-later
// brevan-check: the command-line check of a loaded dipole design. Everything but the
// application's identity and the taking of signals lives in the check libraries.
#include "exit_status.h"
#include "run_check.h"
#include "stop_signals.h"

#include <QCoreApplication>

#include <cstdio>
#include <exception>

#include <unistd.h>

namespace {

// The last resort for an exception where none may go (a destructor, a noexcept function): a
// message and the internal-error status instead of abort().
[[noreturn]] void internalErrorAndExit() {
    const char message[] = "brevan-check: internal error: the program cannot go on\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(brevan::cli::kExitInternal);
}

} // namespace

int main(int argc, char* argv[]) {
    std::set_terminate(internalErrorAndExit);
    try {
        // Before any other thread starts, so that every thread has the signals blocked.
        const brevan::cli::StopSignals stopSignals;
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("brevan-check"));
        QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));
        brevan::cli::RunEnvironment environment;
        environment.stopSignal = &stopSignals.received();
        return brevan::cli::runCheck(QCoreApplication::arguments(), environment);
    } catch (...) {
        std::fputs("brevan-check: internal error: the program could not start\n", stderr);
        return brevan::cli::kExitInternal;
    }
}
