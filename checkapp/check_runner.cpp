// SPDX-License-Identifier: GPL-3.0-or-later
#include "check_runner.h"

#include <QMetaObject>

#include <exception>

using brevan::check::CheckReport;

CheckRunner::CheckRunner(QObject* parent) : QObject(parent) {}

CheckRunner::~CheckRunner() {
    cancel();
    for (const auto& run : m_stopping) {
        if (run->thread) {
            run->thread->wait();
        }
    }
}

void CheckRunner::deliver(unsigned generation, const std::function<void()>& signal) {
    // Queued to this object's thread, where the generation can be compared without a lock.
    QMetaObject::invokeMethod(
        this,
        [this, generation, signal] {
            if (generation == m_generation) {
                signal();
            }
        },
        Qt::QueuedConnection);
}

void CheckRunner::start(const CheckReport& report,
                        const std::optional<brevan::check::MeasuredSetup>& sweep,
                        double timeLimitSeconds) {
    launch(report, timeLimitSeconds,
           [sweep](CheckReport& checked, const brevan::check::Engine& engine,
                   const brevan::check::Progress& progress, const std::atomic<int>& stop) {
               Outcome outcome;
               outcome.failure = brevan::check::addAntennaCheck(checked, engine, progress);
               // The antennas are worth showing even when the calibration to the sweep fails.
               if (!outcome.failure && sweep && stop == 0) {
                   if (const auto failure =
                           brevan::check::addMeasured(checked, *sweep, engine, progress)) {
                       outcome.afterwards = QStringLiteral("the sweep: %1")
                                                .arg(QString::fromStdString(failure->message));
                   }
               }
               return outcome;
           });
}

void CheckRunner::startStudy(const CheckReport& report, double timeLimitSeconds) {
    launch(report, timeLimitSeconds,
           [](CheckReport& checked, const brevan::check::Engine& engine,
              const brevan::check::Progress& progress, const std::atomic<int>&) {
               return Outcome{brevan::check::addCoilPositionStudy(checked, engine, progress), {}};
           });
}

void CheckRunner::launch(const CheckReport& report, double timeLimitSeconds, Work work) {
    cancel();
    const unsigned generation = ++m_generation;
    auto run = std::make_shared<Run>();
    brevan::check::Nec2cOptions options;
    options.timeLimitSeconds = timeLimitSeconds;
    options.stop = &run->stop;
    // The worker keeps `run` alive (and with it the stop flag the engine reads) until it ends.
    QThread* thread = QThread::create([this, run, options, report, work, generation] {
        try {
            CheckReport checked = report;
            const auto progress = [this, generation](const std::string& stage) {
                const QString text = QString::fromStdString(stage);
                deliver(generation, [this, text] { Q_EMIT this->progress(text); });
            };
            const brevan::check::Engine engine = brevan::check::nec2cEngine(options);
            const Outcome outcome = work(checked, engine, progress, run->stop);
            if (run->stop != 0) {
                return;
            }
            if (outcome.failure) {
                const QString message = QString::fromStdString(outcome.failure->message);
                deliver(generation, [this, message] {
                    m_running = false;
                    Q_EMIT failed(message);
                });
                return;
            }
            deliver(generation, [this, checked] {
                m_running = false;
                Q_EMIT finished(checked);
            });
            if (outcome.afterwards) {
                const QString message = *outcome.afterwards;
                deliver(generation, [this, message] { Q_EMIT failed(message); });
            }
        } catch (const std::exception& error) {
            const QString message = QStringLiteral("internal error: %1").arg(error.what());
            deliver(generation, [this, message] {
                m_running = false;
                Q_EMIT failed(message);
            });
        }
    });
    run->thread = thread;
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    m_current = run;
    m_running = true;
    thread->start(QThread::LowPriority);
}

void CheckRunner::cancel() {
    ++m_generation;
    m_running = false;
    if (m_current) {
        m_current->stop = 1;
        m_stopping.push_back(m_current);
        m_current.reset();
    }
    // Forget the runs whose threads have gone.
    std::vector<std::shared_ptr<Run>> still;
    for (const auto& run : m_stopping) {
        if (run->thread && !run->thread->isFinished()) {
            still.push_back(run);
        }
    }
    m_stopping = std::move(still);
}
