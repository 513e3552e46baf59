// SPDX-License-Identifier: GPL-3.0-or-later
// What one typed character costs in the real window: the key event goes through the key-press
// filter into the frequency box, whose change handler reads the number and runs the step-1
// gate; a Backspace takes the character out again through the same path. Figures are per
// keystroke (press and release), with and without the repaint that the event loop does next.

#include "main_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A real window whose message box and link opener only count their calls, so a run of millions
// of keystrokes neither blocks nor grows a log.
struct CountingWindow {
    int messages = 0;
    int urls = 0;
    std::unique_ptr<frmBrevan1> window;

    CountingWindow() {
        UiServices services;
        services.showMessage = [this](QWidget*, const QString&) { ++messages; };
        services.openUrl = [this](const QUrl&) {
            ++urls;
            return true;
        };
        window = std::make_unique<frmBrevan1>(std::move(services));
        window->show();
        QCoreApplication::processEvents();
    }

    QLineEdit* edit(const char* name) const {
        return window->findChild<QLineEdit*>(QLatin1String(name));
    }
};

// Press and release, with the key, modifiers and text an X11 desktop delivers.
void keystroke(QWidget* target, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

void perKeystroke(benchmark::State& bench, int keystrokesPerIteration) {
    bench.counters["per_keystroke"] =
        benchmark::Counter(keystrokesPerIteration, benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

// A step-1 page with the three numbers of the worked example, so every keystroke in the
// frequency box leaves a valid frequency and the gate keeps the OK button enabled: the common
// case while a user corrects a value.
struct WorkedExamplePage : CountingWindow {
    QLineEdit* frequency = nullptr;

    WorkedExamplePage() {
        // In the order a user fills them in, so no box complains about a missing one.
        frequency = edit("txtF");
        frequency->setText(QStringLiteral("7.0"));
        edit("txtA")->setText(QStringLiteral("15"));
        edit("txtB")->setText(QStringLiteral("3"));
        frequency->setFocus();
        frequency->end(false);
        QCoreApplication::processEvents();
    }

    bool unchanged() const {
        const auto* ok = window->findChild<QPushButton*>(QStringLiteral("Command1"));
        return frequency->text() == QStringLiteral("7.0") && ok->isEnabled() && messages == 0;
    }
};

// A digit then Backspace in the frequency box, optionally with the event loop run after each
// key, as a desktop does between two key events: the box and anything the gate changed are then
// repainted into the window's back buffer.
void digitThenBackspace(benchmark::State& bench, bool repaint) {
    const QString digit = QStringLiteral("5");
    const QString backspace(QChar(8));
    WorkedExamplePage page;
    for (auto _ : bench) {
        keystroke(page.frequency, Qt::Key_5, digit);
        if (repaint) {
            QCoreApplication::processEvents();
        }
        keystroke(page.frequency, Qt::Key_Backspace, backspace);
        if (repaint) {
            QCoreApplication::processEvents();
        }
    }
    if (!page.unchanged()) {
        bench.SkipWithError("the keystrokes did not take the path they were meant to");
    }
    perKeystroke(bench, 2);
}

void BM_DigitThenBackspace(benchmark::State& bench) { digitThenBackspace(bench, false); }
BENCHMARK(BM_DigitThenBackspace);

void BM_DigitThenBackspaceRepainted(benchmark::State& bench) { digitThenBackspace(bench, true); }
BENCHMARK(BM_DigitThenBackspaceRepainted);

// A letter refused by the filter: the message service is called and the box never changes.
void BM_RefusedLetter(benchmark::State& bench) {
    const QString letter = QStringLiteral("x");
    WorkedExamplePage page;
    for (auto _ : bench) {
        keystroke(page.frequency, Qt::Key_X, letter);
    }
    if (page.frequency->text() != QStringLiteral("7.0") || page.messages == 0) {
        bench.SkipWithError("the letter was not refused");
    }
    perKeystroke(bench, 1);
}
BENCHMARK(BM_RefusedLetter);

} // namespace

int main(int argc, char* argv[]) {
    benchmark::Initialize(&argc, argv);
    // The window is drawn into memory only; no display is needed or touched.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
