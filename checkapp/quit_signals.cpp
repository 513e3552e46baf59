// SPDX-License-Identifier: GPL-3.0-or-later
#include "quit_signals.h"

#include <QSocketNotifier>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The handler's end and the event loop's end of the socket pair; a handler can reach nothing else.
int g_socket[2] = {-1, -1};

extern "C" void writeSignal(int signal) {
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_socket[0], &number, 1);
}

} // namespace

QuitSignals::QuitSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), m_onSignal(std::move(onSignal)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_socket) != 0) {
        return; // the signals keep their default action: the program still ends
    }
    m_notifier = new QSocketNotifier(g_socket[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = writeSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

QuitSignals::~QuitSignals() {
    if (m_notifier == nullptr) {
        return;
    }
    for (const int signal : kSignals) {
        std::signal(signal, SIG_DFL);
    }
    ::close(g_socket[0]);
    ::close(g_socket[1]);
    g_socket[0] = g_socket[1] = -1;
}

void QuitSignals::readSignal() {
    unsigned char number = 0;
    if (::read(g_socket[1], &number, 1) == 1 && m_onSignal) {
        // Later signals change nothing: the first one decides how the program ends.
        m_notifier->setEnabled(false);
        m_onSignal(number);
    }
}
