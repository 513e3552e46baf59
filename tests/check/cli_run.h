// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs the real brevan-check and keeps what it printed and how it ended.

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <string>

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;

    QJsonObject json() const {
        return QJsonDocument::fromJson(QByteArray::fromStdString(out)).object();
    }
};

inline CliRun
runCli(const QStringList& arguments,
       const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(BREVAN_CHECK_EXE), arguments);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    CliRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

// The typical design of the README, with `extra` options after it.
inline QStringList typicalDesign(const QStringList& extra = {}) {
    return QStringList{"--frequency", "7.05", "--length", "15", "--distance",    "3",
                       "--wire",      "16",   "--former", "50", "--coil-length", "40",
                       "--coil-wire", "20"} +
           extra;
}
