// SPDX-License-Identifier: GPL-3.0-or-later
// The full-wave check behind the window: cancelled by typing with nothing left behind, and its
// failures shown in place in the command's words.
#include "stand_in.h"
#include "window_fixture.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

// Waits with the window's events going on: the check only starts from the window's timer.
bool waitForStandIns(const std::string& pidFile, std::size_t count) {
    return QTest::qWaitFor([&] { return pidsIn(pidFile).size() >= count; }, 30000);
}

// PATH and TMPDIR for one test: a folder of stand-ins first on PATH, and a private temporary
// folder whose emptiness shows that the engine's folders were removed.
class EngineEnvironment {
public:
    explicit EngineEnvironment(bool keepSystemPath)
        : m_path(qgetenv("PATH")), m_tmp(qgetenv("TMPDIR")) {
        qputenv("PATH", keepSystemPath ? m_bin.path().toLocal8Bit() + ":" + m_path
                                       : m_bin.path().toLocal8Bit());
        qputenv("TMPDIR", m_temp.path().toLocal8Bit());
    }
    ~EngineEnvironment() {
        qputenv("PATH", m_path);
        qputenv("TMPDIR", m_tmp);
    }
    EngineEnvironment(const EngineEnvironment&) = delete;
    EngineEnvironment& operator=(const EngineEnvironment&) = delete;

    bool standIn(const std::string& body) { return writeScript(m_bin.filePath("nec2c"), body); }
    std::string pidFile() const { return m_bin.filePath("pids").toStdString(); }
    QStringList leftInTemp() const {
        return QDir(m_temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

private:
    QTemporaryDir m_bin;
    QTemporaryDir m_temp;
    QByteArray m_path;
    QByteArray m_tmp;
};

} // namespace

TEST(FullCheck, ATypedChangeEndsTheRunningCheckAndLeavesNothingBehind) {
    EngineEnvironment environment(true);
    ASSERT_TRUE(environment.standIn(sleepsWithAChild(environment.pidFile())));
    auto recorded = std::make_shared<Recorded>();
    auto window = std::make_unique<CheckWindow>(recordingServices(recorded));
    window->show();
    ASSERT_TRUE(waitForStandIns(environment.pidFile(), 2));
    EXPECT_TRUE(window->findChild<QProgressBar*>("checkProgress")->isVisibleTo(window.get()));
    const std::vector<pid_t> first = pidsIn(environment.pidFile());

    // Typing goes on while the engine runs, and ends it.
    auto* q = window->findChild<QLineEdit*>("coilQEdit");
    q->setFocus();
    QTest::keyClick(q, Qt::Key_1);
    EXPECT_EQ(q->text(), "1");
    EXPECT_TRUE(stillRunning(first).empty());

    // The check starts again for the new design once typing pauses; closing the window ends it.
    ASSERT_TRUE(waitForStandIns(environment.pidFile(), first.size() + 2));
    window->setWindowModified(false);
    window.reset();
    EXPECT_TRUE(stillRunning(pidsIn(environment.pidFile())).empty());
    EXPECT_TRUE(environment.leftInTemp().isEmpty())
        << environment.leftInTemp().join(' ').toStdString();
}

struct FailureRow {
    const char* name;
    const char* standIn; // nullptr: no nec2c on PATH at all
    double timeLimit;
    const char* words;
};

class EngineFailure : public ::testing::TestWithParam<FailureRow> {};

TEST_P(EngineFailure, IsShownInPlaceWithTheCommandsWordsAndThePackage) {
    const FailureRow row = GetParam();
    EngineEnvironment environment(row.standIn != nullptr);
    if (row.standIn != nullptr) {
        ASSERT_TRUE(environment.standIn(row.standIn));
    }
    auto recorded = std::make_shared<Recorded>();
    CheckWindow window(recordingServices(recorded));
    window.setEngineTimeLimit(row.timeLimit);
    window.show();
    auto* status = window.findChild<QLabel*>("engineStatusLabel");
    ASSERT_TRUE(
        QTest::qWaitFor([status] { return status->text().contains("did not finish"); }, 30000))
        << status->text().toStdString();
    EXPECT_TRUE(status->text().contains(QString::fromUtf8(row.words)))
        << status->text().toStdString();
    EXPECT_TRUE(status->text().contains("Debian package nec2c")) << status->text().toStdString();
    EXPECT_FALSE(window.findChild<QProgressBar*>("checkProgress")->isVisibleTo(&window));
    EXPECT_FALSE(window.checkDone());
    EXPECT_TRUE(recorded->messages.isEmpty()); // in place, never a box
    // The live results stay.
    EXPECT_FALSE(window.findChild<QLabel*>("verdictLabel")->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EngineFailure,
    ::testing::Values(FailureRow{"Missing", nullptr, 60, "nec2c was not found on PATH"},
                      FailureRow{"ExitsWithAnError", "echo broken >&2\nexit 3", 60,
                                 "nec2c exited with code 3"},
                      FailureRow{"TimesOut", "sleep 30", 0.3, "nec2c ran longer than 300 ms"}),
    [](const auto& row) { return std::string(row.param.name); });
