// SPDX-License-Identifier: GPL-3.0-or-later
// What the check window costs as a person types, measured on the real window (offscreen):
//  - one keystroke's live update, everything but the engine: the key event into the frequency
//    field, the command's reading of the form, the fast part of the check (design, coil as
//    wound, losses, cut list) and every table, text, plot and drawing filled again; with and
//    without the repaint the event loop does next;
//  - the full check's result on screen after the last keystroke, in free space, with the real
//    nec2c: from the last key event, through the pause that waits for typing to stop and the
//    full-wave check off the window's thread, until the antennas are shown and painted.

#include "check_report.h"
#include "check_window.h"
#include "nec/engine/nec2c_engine.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <variant>

namespace {

// Press and release, with the key, modifiers and text an X11 desktop delivers.
void keystroke(QWidget* target, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

WindowServices silent() {
    WindowServices s;
    s.showMessage = [](QWidget*, const QString&) {};
    s.askUnsaved = [](QWidget*, const QString&) { return UnsavedAnswer::Discard; };
    s.openFileName = [](QWidget*, const QString&, const QString&, const QString&) {
        return QString();
    };
    s.saveFileName = s.openFileName;
    return s;
}

// The window on the typical design (what it opens with), the frequency field focused with the
// cursor at its end.
struct TypicalWindow {
    std::unique_ptr<CheckWindow> window;
    QLineEdit* frequency = nullptr;

    TypicalWindow() : window(std::make_unique<CheckWindow>(silent())) {
        window->show();
        frequency = window->findChild<QLineEdit*>(QStringLiteral("frequencyEdit"));
        frequency->setFocus();
        frequency->end(false);
        QCoreApplication::processEvents();
    }
};

// A digit then Backspace at the end of "7.05": 7.055 MHz is a design of its own, so each key
// runs the whole live update, and the field is back where it started after the pair.
void digitThenBackspace(benchmark::State& bench, bool repaint) {
    TypicalWindow typical;
    const QString digit = QStringLiteral("5");
    const QString backspace(QChar(8));
    for (auto _ : bench) {
        keystroke(typical.frequency, Qt::Key_5, digit);
        if (repaint) {
            QCoreApplication::processEvents();
        }
        keystroke(typical.frequency, Qt::Key_Backspace, backspace);
        if (repaint) {
            QCoreApplication::processEvents();
        }
    }
    if (typical.frequency->text() != QStringLiteral("7.05") || !typical.window->report() ||
        typical.window->report()->inputs.frequencyMHz != 7.05) {
        bench.SkipWithError("the keystrokes did not update the live results");
    }
    bench.counters["per_keystroke"] = benchmark::Counter(
        2, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_LiveUpdatePerKeystroke(benchmark::State& bench) {
    digitThenBackspace(bench, false);
}
BENCHMARK(BM_LiveUpdatePerKeystroke)->Unit(benchmark::kMicrosecond);

void BM_LiveUpdatePerKeystrokeRepainted(benchmark::State& bench) {
    digitThenBackspace(bench, true);
}
BENCHMARK(BM_LiveUpdatePerKeystrokeRepainted)->Unit(benchmark::kMicrosecond);

// The frequency retyped as a person does (select all, then the digits), alternating between two
// bands' worth of designs so that every round is a new check; the clock runs from the last key
// event until the checked report is on screen and painted.
void BM_FullCheckAfterLastKeystroke(benchmark::State& bench) {
    using Clock = std::chrono::steady_clock;
    TypicalWindow typical;
    const QString frequencies[] = {QStringLiteral("7.06"), QStringLiteral("7.05")};
    int round = 0;
    for (auto _ : bench) {
        const QString& text = frequencies[round++ % 2];
        typical.frequency->selectAll();
        keystroke(typical.frequency, Qt::Key_Backspace, QString(QChar(8)));
        for (int i = 0; i + 1 < text.size(); ++i) {
            keystroke(typical.frequency, Qt::Key(text.at(i).unicode()), text.mid(i, 1));
        }
        const QString last = text.right(1);
        keystroke(typical.frequency, Qt::Key(last.at(0).unicode()), last);
        const auto lastKey = Clock::now();
        while (!typical.window->checkDone()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        QCoreApplication::processEvents(); // the repaint that shows it
        const auto shown = Clock::now();
        bench.SetIterationTime(std::chrono::duration<double>(shown - lastKey).count());
        if (typical.window->report()->inputs.frequencyMHz != text.toDouble()) {
            bench.SkipWithError("the check shown is not of the frequency typed");
            break;
        }
    }
}
BENCHMARK(BM_FullCheckAfterLastKeystroke)
    ->UseManualTime()
    ->Iterations(6)
    ->Unit(benchmark::kMillisecond);

// The same checks without the window, as brevan-check runs them, in the same run: what the
// full-wave check itself takes on this machine now, so the window's share (the pause that waits
// for typing to stop, the thread, the showing) is the difference.
void BM_EngineAloneSameDesigns(benchmark::State& bench) {
    const brevan::check::Engine engine = brevan::check::nec2cEngine({});
    const double frequencies[] = {7.06, 7.05};
    int round = 0;
    for (auto _ : bench) {
        brevan::check::CheckInputs in;
        in.frequencyMHz = frequencies[round++ % 2];
        in.lengthM = 15;
        in.distanceM = 3;
        in.wireSwg = 16;
        in.formerMm = 50;
        in.coilLengthMm = 40;
        in.coilWireSwg = 20;
        auto report = std::get<brevan::check::CheckReport>(brevan::check::buildCheckReport(in));
        if (brevan::check::addAntennaCheck(report, engine, {})) {
            bench.SkipWithError("the engine failed");
            break;
        }
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(BM_EngineAloneSameDesigns)->UseRealTime()->Iterations(6)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[]) {
    benchmark::Initialize(&argc, argv);
    // The window is drawn into memory only; no display is needed or touched.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    // Settings of the benchmark's own: a person's window size must not change what is measured.
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setOrganizationName(QStringLiteral("BrevanBench"));
    QApplication::setApplicationName(QStringLiteral("BrevanCheckBench"));
    QSettings().clear();
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
