// SPDX-License-Identifier: GPL-3.0-or-later
// brevan-check ending early: signals, a full disk and a failing engine run, on the real program
// with stand-in engines first on PATH. Each run gets private folders for the stand-in, TMPDIR
// and the files it writes, so that what is left behind can be seen.
#include "cli_run.h"
#include "stand_in.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <string>

namespace {

class CheckEndingEarly : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(base_.isValid());
        for (const char* folder : {"bin", "tmp", "out"}) {
            ASSERT_TRUE(QDir(base_.path()).mkpath(QLatin1String(folder)));
        }
    }

    QString path(const QString& name) const { return base_.filePath(name); }
    std::string pidFile() const { return path(QStringLiteral("pids")).toStdString(); }
    bool standIn(const std::string& body) const {
        return writeScript(path(QStringLiteral("bin/nec2c")), body);
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"), path(QStringLiteral("bin")) + ":/usr/bin:/bin");
        env.insert(QStringLiteral("TMPDIR"), path(QStringLiteral("tmp")));
        return env;
    }

    QStringList tmpLeft() const {
        return QDir(path(QStringLiteral("tmp")))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    QStringList outFiles() const {
        return QDir(path(QStringLiteral("out")))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    // Files in out/ with known contents, as a run finds them: it must leave them so.
    void existing(const QString& name, const QByteArray& content) const {
        QFile file(path(QStringLiteral("out/") + name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray contentOf(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    QTemporaryDir base_;
};

struct SignalRow {
    int signal;
    int status;
};

TEST_F(CheckEndingEarly, ASignalEndsEveryEngineProcessRemovesItsFoldersAndWritesNothing) {
    const SignalRow rows[] = {{SIGHUP, 129}, {SIGINT, 130}, {SIGTERM, 143}};
    ASSERT_TRUE(standIn(sleepsWithAChild(pidFile())));
    existing(QStringLiteral("d.nec"), "old deck\n");
    for (const SignalRow& row : rows) {
        SCOPED_TRACE(strsignal(row.signal));
        QFile::remove(QString::fromStdString(pidFile()));
        QProcess check;
        check.setProcessEnvironment(environment());
        check.start(QStringLiteral(BREVAN_CHECK_EXE),
                    typicalDesign({"--deck", path(QStringLiteral("out/d.nec")), "--plot",
                                   path(QStringLiteral("out/p.svg"))}));
        check.closeWriteChannel();
        // An engine run and its child are under way.
        ASSERT_TRUE(waitForPids(pidFile(), 2));
        ::kill(static_cast<pid_t>(check.processId()), row.signal);
        ASSERT_TRUE(check.waitForFinished(20000));
        EXPECT_EQ(check.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(check.exitCode(), row.status);
        const std::string err = check.readAllStandardError().toStdString();
        EXPECT_NE(err.find("stopped by SIG"), std::string::npos) << err;
        EXPECT_TRUE(check.readAllStandardOutput().isEmpty());

        const auto pids = pidsIn(pidFile());
        EXPECT_GE(pids.size(), 2u);
        EXPECT_TRUE(stillRunning(pids).empty()) << "a process of the stand-in is still running";
        EXPECT_TRUE(tmpLeft().isEmpty()) << tmpLeft().join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(outFiles(), QStringList{QStringLiteral("d.nec")});
        EXPECT_EQ(contentOf(QStringLiteral("out/d.nec")), QByteArray("old deck\n"));
    }
}

// One engine run fails at once while another sleeps, with a child, far longer than the run
// should take: the batch ends with that failure, the sleeper and its child are ended. (Without
// the stop the sleeper would end the run later as a different failure.)
TEST_F(CheckEndingEarly, TheFirstEngineFailureEndsTheBatchAndIsWhatIsReported) {
    if (QThread::idealThreadCount() < 2) {
        GTEST_SKIP() << "the engine runs one deck at a time on this machine";
    }
    const std::string first = path(QStringLiteral("first")).toStdString();
    ASSERT_TRUE(standIn("if mkdir '" + first + "' 2>/dev/null; then\n" +
                        sleepsWithAChild(pidFile()) + "\nexit 0\nfi\nsleep 0.2\n" +
                        "echo 'cannot read this deck' >&2\nexit 3"));
    const CliRun run =
        runCli(typicalDesign({"--deck", path(QStringLiteral("out/d.nec"))}), environment());
    EXPECT_EQ(run.exitCode, 71) << run.err;
    EXPECT_NE(run.err.find("nec2c exited with code 3: cannot read this deck"), std::string::npos)
        << run.err;
    EXPECT_TRUE(run.out.empty());
    EXPECT_TRUE(stillRunning(pidsIn(pidFile())).empty());
    EXPECT_TRUE(tmpLeft().isEmpty()) << tmpLeft().join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(outFiles().isEmpty());
}

// The file size limit stands in for a full disk: writes past it fail with EFBIG (SIGXFSZ is
// ignored, as a shell's trap leaves it across exec). The stand-in lifts its own soft limit again
// and runs the real nec2c, so that only brevan-check's writes meet the limit. The limit is the
// largest engine deck brevan-check writes for nec2c, measured by a first run without it: the
// engine still runs, the picture (larger) cannot be written, and a report added to a file that
// is nearly at the limit cannot be either.
TEST_F(CheckEndingEarly, AFullDiskFailsTheRunAndLeavesEveryFileAsItWas) {
    const QString nec2c = QStandardPaths::findExecutable(QStringLiteral("nec2c"));
    ASSERT_FALSE(nec2c.isEmpty());
    const std::string sizes = path(QStringLiteral("deck_sizes")).toStdString();
    ASSERT_TRUE(standIn("wc -c < deck.nec >> '" + sizes + "'\nulimit -S -f unlimited\nexec '" +
                        nec2c.toStdString() + "' \"$@\""));
    const QStringList files{"--plot", path(QStringLiteral("out/p.svg")), "--deck",
                            path(QStringLiteral("out/d.nec"))};
    const CliRun measure = runCli(typicalDesign(files), environment());
    ASSERT_EQ(measure.exitCode, 0) << measure.err;
    const auto deckSizes = pidsIn(sizes); // numbers, one a line
    ASSERT_FALSE(deckSizes.empty());
    const qint64 limit = *std::max_element(deckSizes.begin(), deckSizes.end());
    ASSERT_GT(QFileInfo(path(QStringLiteral("out/p.svg"))).size(), limit)
        << "the picture must be larger than the engine's decks for this test";

    struct Row {
        const char* name;
        QStringList files; // options that write files into out/
        bool reportToFile; // the report added (>>) to out/report.txt, else into a pipe
        const char* saying;
    };
    const Row rows[] = {
        {"--plot and --deck over files already there", files, false, "cannot write "},
        {"the report added to a file", {}, true, "cannot write the report"},
    };
    // Short of the limit by less than the report: adding the report goes past it.
    const QByteArray earlier = QByteArray(static_cast<int>(limit - 100), '.') + "\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        existing(QStringLiteral("p.svg"), "<svg>old picture</svg>\n");
        existing(QStringLiteral("d.nec"), "CM old deck\nEN\n");
        existing(QStringLiteral("report.txt"), earlier);
        QProcess shell;
        shell.setProcessEnvironment(environment());
        shell.start(QStringLiteral("/bin/sh"),
                    QStringList{"-c",
                                QStringLiteral("trap '' XFSZ; out=$1; shift; exec prlimit "
                                               "--fsize=%1:unlimited \"$@\" %2")
                                    .arg(limit)
                                    .arg(row.reportToFile ? ">> \"$out\"" : ""),
                                "sh", path(QStringLiteral("out/report.txt")),
                                QStringLiteral(BREVAN_CHECK_EXE)} +
                        typicalDesign(row.files));
        shell.closeWriteChannel();
        ASSERT_TRUE(shell.waitForFinished(120000));
        const std::string err = shell.readAllStandardError().toStdString();
        EXPECT_EQ(shell.exitCode(), 74) << err;
        EXPECT_NE(err.find(row.saying), std::string::npos) << err;
        EXPECT_NE(err.find("File too large"), std::string::npos) << err;
        EXPECT_EQ(contentOf(QStringLiteral("out/p.svg")), QByteArray("<svg>old picture</svg>\n"));
        EXPECT_EQ(contentOf(QStringLiteral("out/d.nec")), QByteArray("CM old deck\nEN\n"));
        // What went of the report is taken back out: the file is as it was.
        EXPECT_EQ(contentOf(QStringLiteral("out/report.txt")), earlier);
        EXPECT_EQ(outFiles().size(), 3) << outFiles().join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(tmpLeft().isEmpty());
    }
}

// A real full disk: a small tmpfs filled up, in a mount namespace of its own so nothing outside
// sees it. Where mounting is not allowed, the test is skipped.
TEST_F(CheckEndingEarly, ADeckOnAFullFileSystemLeavesThePreviousDeck) {
    ASSERT_TRUE(QDir(base_.path()).mkpath(QStringLiteral("disk")));
    const char* script = "d=$1; shift\n"
                         "mount -t tmpfs -o size=64k tmpfs \"$d/disk\" 2>/dev/null || exit 77\n"
                         "printf 'CM old deck\\nEN\\n' > \"$d/disk/d.nec\"\n"
                         "head -c 1000000 /dev/zero > \"$d/disk/fill\" 2>/dev/null\n"
                         "\"$@\" --deck \"$d/disk/d.nec\" > \"$d/report\" 2> \"$d/err\"\n"
                         "echo $? > \"$d/status\"\n"
                         "ls -A \"$d/disk\" > \"$d/listing\"\n"
                         "cp \"$d/disk/d.nec\" \"$d/after\"\n";
    QProcess unshare;
    unshare.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    unshare.start(QStringLiteral("unshare"),
                  QStringList{"-m", "/bin/sh", "-c", QLatin1String(script), "sh", base_.path(),
                              QStringLiteral(BREVAN_CHECK_EXE)} +
                      typicalDesign());
    ASSERT_TRUE(unshare.waitForFinished(120000));
    if (!QFile::exists(path(QStringLiteral("status")))) {
        GTEST_SKIP() << "no tmpfs can be mounted here: "
                     << unshare.readAllStandardError().toStdString();
    }
    const std::string err = contentOf(QStringLiteral("err")).toStdString();
    EXPECT_EQ(contentOf(QStringLiteral("status")), QByteArray("74\n")) << err;
    EXPECT_NE(err.find("No space left on device"), std::string::npos) << err;
    EXPECT_EQ(contentOf(QStringLiteral("after")), QByteArray("CM old deck\nEN\n"));
    EXPECT_EQ(contentOf(QStringLiteral("listing")), QByteArray("d.nec\nfill\n"));
    EXPECT_TRUE(contentOf(QStringLiteral("report")).isEmpty());
}

} // namespace
