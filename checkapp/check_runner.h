// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The full-wave check off the window's thread. One check at a time: starting another stops the
// one running (its nec2c processes end, their folders go) and whatever it would have said is
// dropped. Results come back as signals on the window's thread.
//
//   start(report, sweep) --worker thread: addAntennaCheck (nec2c), then with a sweep addMeasured
//     --> finished(report) | failed(words)
//   startStudy(report) --worker thread: addCoilPositionStudy --> finished(report) | failed

#include "check_report.h"
#include "nec/engine/nec2c_engine.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CheckRunner : public QObject {
    Q_OBJECT
public:
    explicit CheckRunner(QObject* parent = nullptr);
    // Stops the check that runs and waits for its thread: a fraction of a second at most.
    ~CheckRunner() override;

    // With a measured sweep the model is also calibrated to it, on the same thread and engine;
    // when only that fails, the antennas come first (finished) and then the failure.
    void start(const brevan::check::CheckReport& report,
               const std::optional<brevan::check::MeasuredSetup>& sweep, double timeLimitSeconds);
    // Where the coils should go, for the report's design: finished() brings the report with its
    // study.
    void startStudy(const brevan::check::CheckReport& report, double timeLimitSeconds);
    // Stops the running check, if any; nothing it found is reported.
    void cancel();
    bool running() const { return m_running; }

Q_SIGNALS:
    void progress(const QString& stage);
    void finished(const brevan::check::CheckReport& report);
    void failed(const QString& message);

private:
    struct Run {
        std::atomic<int> stop{0};
        QPointer<QThread> thread;
    };

    // What a run found: a failure ends it; `afterwards` is reported after the report itself.
    struct Outcome {
        std::optional<brevan::check::AntennaCheckFailure> failure;
        std::optional<QString> afterwards;
    };
    using Work = std::function<Outcome(brevan::check::CheckReport&, const brevan::check::Engine&,
                                       const brevan::check::Progress&, const std::atomic<int>&)>;

    void launch(const brevan::check::CheckReport& report, double timeLimitSeconds, Work work);
    void deliver(unsigned generation, const std::function<void()>& signal);

    unsigned m_generation = 0;
    bool m_running = false;
    std::shared_ptr<Run> m_current;
    std::vector<std::shared_ptr<Run>> m_stopping; // told to stop, their threads still ending
};
