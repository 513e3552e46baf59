// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Stand-in engines for the tests of how runs end: a shell script put where nec2c is looked for,
// which notes the numbers of the processes it makes so that a test can see none is left.

#include <QFile>
#include <QString>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

// Writes an executable shell script with `body` at `path`.
inline bool writeScript(const QString& path, const std::string& body) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const std::string script = "#!/bin/sh\n" + body + "\n";
    file.write(script.data(), static_cast<qint64>(script.size()));
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A stand-in body that notes its own pid and that of a child it starts, then waits for the
// child: ending the stand-in alone would leave the child running.
inline std::string sleepsWithAChild(const std::string& pidFile) {
    return "echo $$ >> '" + pidFile + "'\nsleep 30 &\necho $! >> '" + pidFile + "'\nwait";
}

inline std::vector<pid_t> pidsIn(const std::string& pidFile) {
    std::vector<pid_t> pids;
    std::ifstream file(pidFile);
    for (long pid = 0; file >> pid;) {
        pids.push_back(static_cast<pid_t>(pid));
    }
    return pids;
}

// Whether the process is gone; a zombie counts as gone (it runs no more, and whoever adopted it
// reaps it in its own time).
inline bool processGone(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidField;
    std::string name;
    std::string state;
    if (!(stat >> pidField >> name >> state)) {
        return true;
    }
    return state == "Z" || state == "X";
}

// The pids among `pids` still running after a short while for the kill to land.
inline std::vector<pid_t> stillRunning(const std::vector<pid_t>& pids) {
    std::vector<pid_t> running;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    do {
        running.clear();
        for (const pid_t pid : pids) {
            if (!processGone(pid)) {
                running.push_back(pid);
            }
        }
        if (running.empty()) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return running;
}

// Waits until `count` pids are noted (the stand-ins are running), or a while has passed.
inline bool waitForPids(const std::string& pidFile, std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (pidsIn(pidFile).size() < count) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
