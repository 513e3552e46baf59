// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/engine/nec2c_engine.h"
#include "nec/nec_deck.h"

#include "recorded_data.h"
#include "stand_in.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

#include <atomic>
#include <cmath>
#include <complex>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <csignal>

namespace brevan::check {
namespace {

// Every test gets its own folder for the runs' temporary folders (TMPDIR) and for stand-in
// engines, and leaves PATH and TMPDIR as it found them.
class Nec2cEngine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(base_.isValid());
        ASSERT_TRUE(QDir(base_.path()).mkpath(QStringLiteral("tmp")));
        ASSERT_TRUE(QDir(base_.path()).mkpath(QStringLiteral("bin")));
        savedPath_ = qgetenv("PATH");
        savedTmp_ = qgetenv("TMPDIR");
        hadTmp_ = qEnvironmentVariableIsSet("TMPDIR");
        qputenv("TMPDIR", base_.filePath(QStringLiteral("tmp")).toLocal8Bit());
    }

    void TearDown() override {
        qputenv("PATH", savedPath_);
        if (hadTmp_) {
            qputenv("TMPDIR", savedTmp_);
        } else {
            qunsetenv("TMPDIR");
        }
    }

    // Puts a shell script named nec2c first on PATH.
    void standIn(const std::string& body) {
        const QString path = base_.filePath(QStringLiteral("bin/nec2c"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const std::string script = "#!/bin/sh\n" + body + "\n";
        file.write(script.data(), static_cast<qint64>(script.size()));
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", base_.filePath(QStringLiteral("bin")).toLocal8Bit() + ":" + savedPath_);
    }

    void onlyEmptyFolderOnPath() {
        qputenv("PATH", base_.filePath(QStringLiteral("bin")).toLocal8Bit());
    }

    QStringList leftovers() const {
        return QDir(base_.filePath(QStringLiteral("tmp")))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    std::string pidFile() const { return base_.filePath(QStringLiteral("pids")).toStdString(); }

    QTemporaryDir base_;
    QByteArray savedPath_;
    QByteArray savedTmp_;
    bool hadTmp_ = false;
};

std::vector<std::string> sweepDecks() {
    AntennaModel model;
    model.length = 15.0;
    model.coilDistance = 3.0;
    model.wireDiameter = 0.001626;
    const auto seg = std::get<Segmentation>(segmentAntenna(model, 9.2));
    std::vector<std::string> decks;
    for (int i = 0; i < 5; ++i) {
        std::vector<DeckFrequency> frequencies;
        for (int k = 0; k < 3; ++k) {
            const double mhz = 6.5 + 0.1 * i + 0.2 * k;
            frequencies.push_back({mhz, {2.0 + i, 2e6 * 3.14159265358979 * mhz * (6.0 + i) * 1e-6}});
        }
        decks.push_back(writeDeck(model, seg, frequencies, "sweep"));
    }
    return decks;
}

TEST_F(Nec2cEngine, RunsARecordedDeckAndReadsItBack) {
    const auto runs = runNec2c({recorded("nec_free_space.nec")}, {});
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].failure, EngineFailure::None) << runs[0].detail;
    const auto expected = parseEngineOutput(recorded("nec_free_space.out"), nullptr);
    ASSERT_TRUE(expected);
    ASSERT_EQ(runs[0].points.size(), expected->size());
    for (std::size_t i = 0; i < expected->size(); ++i) {
        const FeedPoint& got = runs[0].points[i];
        const FeedPoint& want = (*expected)[i];
        EXPECT_EQ(got.frequencyMHz, want.frequencyMHz);
        EXPECT_NEAR(got.impedance.real(), want.impedance.real(), 1e-3 * std::abs(want.impedance));
        EXPECT_NEAR(got.impedance.imag(), want.impedance.imag(), 1e-3 * std::abs(want.impedance));
        EXPECT_NEAR(got.inputPower, want.inputPower, 1e-3 * want.inputPower);
        EXPECT_NEAR(got.radiatedPower, want.radiatedPower, 1e-3 * want.inputPower);
    }
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(QLatin1Char(' ')).toStdString();
}

TEST_F(Nec2cEngine, ManyDecksComeBackInOrderAsIfRunOneByOne) {
    const auto decks = sweepDecks();
    const auto together = nec2cEngine({60.0, 2})(decks);
    ASSERT_EQ(together.size(), decks.size());
    for (std::size_t i = 0; i < decks.size(); ++i) {
        SCOPED_TRACE(i);
        const auto alone = runNec2c({decks[i]}, {60.0, 1});
        ASSERT_EQ(together[i].failure, EngineFailure::None) << together[i].detail;
        ASSERT_EQ(alone[0].failure, EngineFailure::None) << alone[0].detail;
        ASSERT_EQ(together[i].points.size(), 3u);
        EXPECT_NEAR(together[i].points[0].frequencyMHz, 6.5 + 0.1 * static_cast<double>(i), 1e-9);
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(together[i].points[k].impedance, alone[0].points[k].impedance);
            EXPECT_EQ(together[i].points[k].radiatedPower, alone[0].points[k].radiatedPower);
        }
    }
    // As many at once as the machine has cores.
    const auto automatic = runNec2c(decks, {60.0, 0});
    ASSERT_EQ(automatic.size(), decks.size());
    EXPECT_EQ(automatic.back().points.back().impedance, together.back().points.back().impedance);
    EXPECT_TRUE(runNec2c({}, {}).empty());
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(Nec2cEngine, EveryFailureIsReportedAndCleanedUp) {
    const std::string replayIfIntact =
        "read -r line && exit 9\n" // stdin must be closed
        "[ -f ./deck.nec ] || exit 8\n"
        "[ \"$1 $2 $3 $4\" = \"-i deck.nec -o out.txt\" ] || exit 7\n"
        "cmp -s deck.nec '" +
        std::string(BREVAN_TEST_DATA) + "/nec_free_space.nec' || exit 6\n" + "cp '" +
        std::string(BREVAN_TEST_DATA) + "/nec_free_space.out' out.txt";
    struct Row {
        const char* name;
        std::string script; // empty: the real nec2c
        std::string deck;
        EngineFailure failure;
        std::string saying;
    };
    const std::string deck = recorded("nec_free_space.nec");
    const std::vector<Row> rows = {
        {"stand-in that replays the recording", replayIfIntact, deck, EngineFailure::None, ""},
        {"exits 3", "echo 'cannot read the deck' >&2\nexit 3", deck, EngineFailure::Failed,
         "code 3: cannot read the deck"},
        {"crashes", "kill -SEGV $$", deck, EngineFailure::Failed, "crashed"},
        {"hangs", "exec sleep 60", deck, EngineFailure::TimedOut, "500 ms"},
        {"writes garbage", "printf 'garbage\\n' > \"$4\"", deck, EngineFailure::Unreadable,
         "could not be read: the output has no frequency block"},
        {"writes nothing", "exit 0", deck, EngineFailure::Unreadable, "no output file"},
        {"real nec2c on a deck that loads a missing wire", "",
         replaced(deck, "EX 0 4 1 0 1 0", "EX 0 99 1 0 1 0"), EngineFailure::Failed, "code"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.script.empty()) {
            standIn(row.script);
        } else {
            qputenv("PATH", savedPath_);
        }
        const auto runs = runNec2c({row.deck, row.deck, row.deck}, {0.5, 2});
        ASSERT_EQ(runs.size(), 3u);
        for (const EngineRun& run : runs) {
            EXPECT_EQ(run.failure, row.failure) << run.detail;
            EXPECT_NE(run.detail.find(row.saying), std::string::npos) << run.detail;
            EXPECT_EQ(run.points.empty(), row.failure != EngineFailure::None);
        }
        EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(QLatin1Char(' ')).toStdString();
    }
}

TEST_F(Nec2cEngine, MissingEngineNamesThePackage) {
    onlyEmptyFolderOnPath();
    const auto runs = runNec2c({"CM\nCE\nEN\n", "CM\nCE\nEN\n"}, {});
    ASSERT_EQ(runs.size(), 2u);
    for (const EngineRun& run : runs) {
        EXPECT_EQ(run.failure, EngineFailure::Missing);
        EXPECT_NE(run.detail.find("install the Debian package nec2c"), std::string::npos);
    }
    EXPECT_TRUE(leftovers().isEmpty());
}

// One deck fails at once while another sleeps with a child: the sleeper and its child are ended,
// the queued decks never start, and every deck that did not finish carries the one failure.
TEST_F(Nec2cEngine, TheFirstFailureStopsItsBatch) {
    const std::string first = base_.filePath(QStringLiteral("first")).toStdString();
    standIn("if mkdir '" + first + "' 2>/dev/null; then\n" + sleepsWithAChild(pidFile()) +
            "\nexit 0\nfi\necho $$ >> '" + pidFile() + "'\nsleep 0.2\necho 'bad deck' >&2\nexit 3");
    const std::vector<std::string> decks(8, recorded("nec_free_space.nec"));
    const auto runs = runNec2c(decks, {60.0, 3});
    ASSERT_EQ(runs.size(), decks.size());
    for (const EngineRun& run : runs) {
        EXPECT_EQ(run.failure, EngineFailure::Failed);
        EXPECT_NE(run.detail.find("code 3: bad deck"), std::string::npos) << run.detail;
    }
    const auto pids = pidsIn(pidFile());
    // The sleeper, its child and at most two failing decks: the rest never started.
    EXPECT_GE(pids.size(), 3u);
    EXPECT_LE(pids.size(), 4u);
    EXPECT_TRUE(stillRunning(pids).empty());
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(QLatin1Char(' ')).toStdString();
}

TEST_F(Nec2cEngine, AStopFromOutsideEndsEveryRunAndStartsNoMore) {
    standIn(sleepsWithAChild(pidFile()));
    const std::vector<std::string> decks(5, recorded("nec_free_space.nec"));
    for (const bool alreadyStopped : {false, true}) {
        SCOPED_TRACE(alreadyStopped ? "stopped before the call" : "stopped while running");
        QFile::remove(QString::fromStdString(pidFile()));
        std::atomic<int> stop{alreadyStopped ? SIGTERM : 0};
        std::thread signaller([&] {
            if (!alreadyStopped) {
                waitForPids(pidFile(), 4); // two stand-ins, each with its child
                stop = SIGTERM;
            }
        });
        Nec2cOptions options{60.0, 2};
        options.stop = &stop;
        const auto runs = runNec2c(decks, options);
        signaller.join();
        ASSERT_EQ(runs.size(), decks.size());
        for (const EngineRun& run : runs) {
            EXPECT_EQ(run.failure, EngineFailure::Failed);
            EXPECT_NE(run.detail.find("stopped before it finished"), std::string::npos)
                << run.detail;
        }
        const auto pids = pidsIn(pidFile());
        EXPECT_EQ(pids.size(), alreadyStopped ? 0u : 4u);
        EXPECT_TRUE(stillRunning(pids).empty());
        EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(QLatin1Char(' ')).toStdString();
    }
}

} // namespace
} // namespace brevan::check
