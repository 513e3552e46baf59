// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SIGINT, SIGTERM and SIGHUP end the window as they end brevan-check: the check that runs is
// stopped (its nec2c processes end, their folders go), the window's settings are kept, and the
// program exits with 128 + the signal without asking anything. A logout or a `kill` does not
// wait for an answer, so there is nobody to ask.
//
// The handler only writes the signal's number to a socket (the one thing it may safely do); the
// event loop reads it and calls `onSignal` on the GUI thread. Handlers, unlike a blocked mask,
// are reset for the engine processes the window starts.

#include <QObject>

#include <functional>

class QSocketNotifier;

class QuitSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one object at a time.
    explicit QuitSignals(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~QuitSignals() override;

private:
    void readSignal();

    std::function<void(int)> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};
