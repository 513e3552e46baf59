// SPDX-License-Identifier: GPL-3.0-or-later
// BrevanCheck ended by a signal in the middle of its full-wave check, as a logout or a `kill`
// ends it: the real program, offscreen, with a stand-in engine that sleeps with a child first on
// PATH, and private folders for TMPDIR and the settings, so that what is left behind can be seen.
#include "stand_in.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

namespace {

struct SignalRow {
    int signal;
    int status;
};

class WindowSignal : public ::testing::TestWithParam<SignalRow> {
protected:
    void SetUp() override {
        ASSERT_TRUE(base_.isValid());
        for (const char* folder : {"bin", "tmp", "config", "runtime"}) {
            ASSERT_TRUE(QDir(base_.path()).mkpath(QLatin1String(folder)));
        }
        // Qt wants its runtime folder private; without one it would make it under TMPDIR.
        ASSERT_TRUE(QFile::setPermissions(path(QStringLiteral("runtime")),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        ASSERT_TRUE(writeScript(path(QStringLiteral("bin/nec2c")), sleepsWithAChild(pidFile())));
    }

    QString path(const QString& name) const { return base_.filePath(name); }
    std::string pidFile() const { return path(QStringLiteral("pids")).toStdString(); }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"), path(QStringLiteral("bin")) + ":/usr/bin:/bin");
        env.insert(QStringLiteral("TMPDIR"), path(QStringLiteral("tmp")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("runtime")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

    QStringList tmpLeft() const {
        return QDir(path(QStringLiteral("tmp")))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir base_;
};

TEST_P(WindowSignal, EndsTheCheckRemovesItsFoldersKeepsTheSettingsAndAsksNothing) {
    const SignalRow row = GetParam();
    QProcess window;
    window.setProcessEnvironment(environment());
    window.start(QStringLiteral(BREVAN_CHECK_WINDOW_EXE));
    // The check of the first design is under way: an engine run and its child sleep.
    ASSERT_TRUE(waitForPids(pidFile(), 2));
    ASSERT_FALSE(tmpLeft().isEmpty()) << "the engine's folder should be there during the run";
    ::kill(static_cast<pid_t>(window.processId()), row.signal);
    // A question about unsaved changes would keep it open past this.
    ASSERT_TRUE(window.waitForFinished(20000));
    EXPECT_EQ(window.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(window.exitCode(), row.status);

    EXPECT_TRUE(stillRunning(pidsIn(pidFile())).empty()) << "an engine process is still running";
    EXPECT_TRUE(tmpLeft().isEmpty()) << tmpLeft().join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("config/Brevan/BrevanCheck.conf"))));
}

INSTANTIATE_TEST_SUITE_P(HangupInterruptTerminate, WindowSignal,
                         ::testing::Values(SignalRow{SIGHUP, 129}, SignalRow{SIGINT, 130},
                                           SignalRow{SIGTERM, 143}),
                         [](const ::testing::TestParamInfo<SignalRow>& row) {
                             return std::string(sigabbrev_np(row.param.signal));
                         });

} // namespace
