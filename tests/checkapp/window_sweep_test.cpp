// SPDX-License-Identifier: GPL-3.0-or-later
// A measured sweep beside the design: made with the real engine from the window's own design
// hung 2 % long, opened through the menu, it must give the cut brevan-check --measured gives,
// on the plot and on the drawing; a broken file is refused in place and nothing shown is lost.
#include "cli_run.h"
#include "dipole_drawing.h"
#include "fullwave/antenna_analysis.h"
#include "nec/engine/nec2c_engine.h"
#include "sweep_files.h"
#include "swr_plot_widget.h"
#include "window_fixture.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>
#include <string>

namespace {

using namespace brevan::check;
using test::madeUpTouchstone;

// The antenna of `length` as the model says an analyser at its feed point would measure it:
// 81 points over +-4 % of its resonance, written as a Touchstone S11 file.
std::string modelledTouchstone(const AntennaCheckInput& design, double length) {
    const Engine engine = nec2cEngine({});
    const Progress quiet;
    const Context context{design,      engine, quiet, design.designMHz * (1.0 + kResonanceWindow),
                          SweepPlan{}, {}};
    auto made = newAnalysis(context, length, design.built, "made for the test");
    auto& analysis = *std::get<std::unique_ptr<Analysis>>(made);
    EXPECT_FALSE(runTogether(engine, {&analysis}));
    const double r = analysis.result().resonanceMHz.value_or(design.designMHz);
    auto runs = runBatch(engine, {analysis.curveRequest(0.96 * r, 1.04 * r, 81)});
    MeasuredSweep sweep;
    for (const FeedPoint& p : std::get<std::vector<EngineRun>>(runs).front().points) {
        sweep.impedance.push_back({p.frequencyMHz * analysis.scale(), p.impedance});
    }
    return test::sweepFileText(sweep, test::Written::TouchstoneS);
}

bool writeText(const QString& path, const std::string& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(text.data(), static_cast<qint64>(text.size())) ==
               static_cast<qint64>(text.size());
}

void dropFile(QWidget* window, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    // As the desktop delivers a drop: the drag enters, is accepted, then lets go.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
}

} // namespace

TEST_F(WindowTest, OpenedSweepGivesTheCommandsCutOnThePlotAndTheDrawing) {
    ASSERT_TRUE(waitForCheck());
    const AntennaCheckInput design = antennaCheckInput(*window->report());
    QTemporaryDir dir;
    const QString path = dir.filePath("hung-long.s1p");
    ASSERT_TRUE(writeText(path, modelledTouchstone(design, 1.02 * design.length)));

    recorded->openAnswers = {path};
    find<QAction>("openSweepAction")->trigger();
    EXPECT_TRUE(message("sweepStatusLabel").contains("hung-long.s1p"));
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window->checkDone() && window->report()->measured.has_value(); }, 120000));
    const Calibration& calibration = window->report()->measured->calibration;
    ASSERT_EQ(calibration.outcome, CalibrationOutcome::Calibrated);

    const CliRun run = runCli(typicalDesign({"--measured", path, "--format", "json"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject cli = run.json().value("measured").toObject().value("calibration").toObject();
    EXPECT_DOUBLE_EQ(calibration.tipChange, cli.value("tip_change_m").toDouble());
    // Hung 15 cm long on each tip: 15 cm less than the model's own trim to F.
    ASSERT_TRUE(window->report()->cut.tipChange.has_value());
    EXPECT_NEAR(calibration.tipChange, *window->report()->cut.tipChange - 0.01 * design.length,
                0.015);
    EXPECT_TRUE(message("verdictLabel").contains("As measured, the antenna resonates at"));
    EXPECT_FALSE(message("measuredNotesLabel").isEmpty());

    const SwrPlotData& plot = find<SwrPlotWidget>("swrPlot")->data();
    ASSERT_FALSE(plot.curves.empty());
    EXPECT_EQ(plot.curves.back().label, "As measured");
    EXPECT_GT(plot.curves.back().points.size(), 40u);
    // Its own colour, not one of the models'.
    EXPECT_EQ(plot.styles.back(), 3u);
    EXPECT_EQ(shownTipChange(*window->report()), calibration.tipChange);
}

TEST_F(WindowTest, BrokenSweepIsRefusedInPlaceAndTheDesignStays) {
    ASSERT_TRUE(waitForCheck());
    const QString verdict = message("verdictLabel");
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.csv");
    ASSERT_TRUE(writeText(path, "Frequency (MHz),R,X\n7.0,50,1\n7.1,fifty,2\n"));

    dropFile(window.get(), path);
    EXPECT_TRUE(message("sweepStatusLabel").contains("bad.csv, line 3: expected"))
        << find<QLabel>("sweepStatusLabel")->text().toStdString();
    EXPECT_TRUE(recorded->messages.isEmpty());
    EXPECT_TRUE(window->sweepPath().isEmpty());
    EXPECT_TRUE(window->checkDone());
    EXPECT_EQ(message("verdictLabel"), verdict);
    EXPECT_FALSE(window->report()->measured.has_value());
}

// The feed line's fields mean nothing without a sweep; with one they are read by the command's
// rules and the sweep is taken back through the line as brevan-check takes it.
TEST_F(WindowTest, FeedLineFieldsGoWithTheSweep) {
    type("feedlineVfEdit", "1.5");
    EXPECT_TRUE(message("feedline-vfMessage").isEmpty());
    ASSERT_TRUE(waitForCheck());

    QTemporaryDir dir;
    const QString path = dir.filePath("through-coax.s1p");
    ASSERT_TRUE(writeText(path, madeUpTouchstone()));
    EXPECT_TRUE(window->openSweep(path));
    EXPECT_TRUE(message("feedline-vfMessage").contains("Velocity factor"));

    type("feedlineLengthEdit", "14.2");
    type("feedlineVfEdit", "0.66");
    type("feedlineLossEdit", "2");
    EXPECT_TRUE(message("feedline-vfMessage").isEmpty());
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window->checkDone() && window->report()->measured.has_value(); }, 120000));
    const MeasuredReport& measured = *window->report()->measured;
    ASSERT_TRUE(measured.sweep.feedLine.has_value());
    EXPECT_DOUBLE_EQ(measured.sweep.feedLine->lengthM, 14.2);

    const CliRun run =
        runCli(typicalDesign({"--measured", path, "--feedline-length", "14.2", "--feedline-vf",
                              "0.66", "--feedline-loss", "2", "--format", "json"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject cli = run.json().value("measured").toObject().value("calibration").toObject();
    EXPECT_DOUBLE_EQ(measured.calibration.tipChange, cli.value("tip_change_m").toDouble());
}

namespace {

bool shownIn(const QWidget* window, const QWidget* widget) {
    return widget != nullptr && widget->isVisibleTo(window);
}

} // namespace

// The sweep's fields and its button are there only with a sweep, and the button closes it from
// the keyboard: the design is checked again as it is, without the sweep.
TEST_F(WindowTest, ASweepIsClosedFromTheKeyboardAndItsFieldsGoWithIt) {
    const auto feedFieldsShown = [this] {
        return shownIn(window.get(), find<QLineEdit>("feedlineLengthEdit")) &&
               shownIn(window.get(), find<QLineEdit>("feedlineVfEdit")) &&
               shownIn(window.get(), find<QLineEdit>("feedlineLossEdit"));
    };
    EXPECT_FALSE(shownIn(window.get(), find<QLineEdit>("feedlineLengthEdit")));
    EXPECT_FALSE(shownIn(window.get(), find<QLineEdit>("feedlineVfEdit")));
    EXPECT_FALSE(shownIn(window.get(), find<QLineEdit>("feedlineLossEdit")));
    EXPECT_FALSE(shownIn(window.get(), find<QPushButton>("closeSweepButton")));
    EXPECT_FALSE(find<QAction>("closeSweepAction")->isEnabled());

    QTemporaryDir dir;
    const QString path = dir.filePath("made-up.s1p");
    ASSERT_TRUE(writeText(path, madeUpTouchstone()));
    ASSERT_TRUE(window->openSweep(path));
    EXPECT_TRUE(feedFieldsShown());
    QPushButton* close = find<QPushButton>("closeSweepButton");
    EXPECT_TRUE(shownIn(window.get(), close));
    EXPECT_FALSE(close->accessibleName().isEmpty());
    EXPECT_TRUE(find<QAction>("closeSweepAction")->isEnabled());
    EXPECT_TRUE(window->isWindowModified()); // a saved design would now keep the sweep
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window->checkDone() && window->report()->measured.has_value(); }, 120000));

    // Tab reaches the button after the results, before it comes round to the form again; Space
    // presses it.
    QWidget* first = find<QWidget>("bandPicker");
    QWidget* next = find<QWidget>("reportText")->nextInFocusChain();
    while (next != close && next != first) {
        next = next->nextInFocusChain();
    }
    EXPECT_EQ(next, close);
    close->setFocus();
    QTest::keyClick(close, Qt::Key_Space);

    EXPECT_TRUE(window->sweepPath().isEmpty());
    EXPECT_TRUE(message("sweepStatusLabel").isEmpty());
    EXPECT_FALSE(shownIn(window.get(), close));
    EXPECT_FALSE(feedFieldsShown());
    EXPECT_FALSE(find<QAction>("closeSweepAction")->isEnabled());
    ASSERT_TRUE(waitForCheck());
    EXPECT_FALSE(window->report()->measured.has_value());
    EXPECT_TRUE(message("measuredNotesLabel").isEmpty());
    EXPECT_FALSE(message("verdictLabel").contains("As measured"));
}

// Saved with its sweep and line, the design opens again with both, as it was: the same check,
// and the same file when saved again. A design saved without a sweep closes the one open.
TEST_F(WindowTest, ASweepIsSavedWithTheDesignAndComesBackWithIt) {
    QTemporaryDir dir;
    const QString sweepPath = dir.filePath("through-coax.s1p");
    ASSERT_TRUE(writeText(sweepPath, madeUpTouchstone()));
    ASSERT_TRUE(window->openSweep(sweepPath));
    type("feedlineLengthEdit", "14.2");
    type("feedlineLossEdit", "2");
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window->checkDone() && window->report()->measured.has_value(); }, 120000));
    const double tipChange = window->report()->measured->calibration.tipChange;

    const QString designPath = dir.filePath("with-sweep.brevan.json");
    recorded->saveAnswers = {designPath};
    find<QAction>("saveAction")->trigger();
    EXPECT_FALSE(window->isWindowModified());
    QFile saved(designPath);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray content = saved.readAll();
    saved.close();
    EXPECT_TRUE(content.contains("\"version\": 3,"));
    EXPECT_TRUE(content.contains("\"file\": \"through-coax.s1p\""));
    EXPECT_TRUE(content.contains("\"feedline_length_m\": 14.2,"));
    // The file stands alone: the sweep's own file may go.
    ASSERT_TRUE(QFile::remove(sweepPath));

    auto other = std::make_unique<CheckWindow>(recordingServices(recorded));
    other->show();
    ASSERT_TRUE(other->openDesign(designPath));
    EXPECT_EQ(other->sweepPath(), QStringLiteral("through-coax.s1p"));
    EXPECT_FALSE(other->isWindowModified());
    EXPECT_EQ(other->findChild<QLineEdit*>("feedlineLengthEdit")->text(), QLocale().toString(14.2));
    EXPECT_TRUE(shownIn(other.get(), other->findChild<QPushButton*>("closeSweepButton")));
    ASSERT_TRUE(QTest::qWaitFor(
        [&other] { return other->checkDone() && other->report()->measured.has_value(); }, 120000));
    EXPECT_EQ(other->report()->measured->calibration.tipChange, tipChange);
    ASSERT_TRUE(other->report()->measured->sweep.feedLine.has_value());
    EXPECT_DOUBLE_EQ(other->report()->measured->sweep.feedLine->lengthM, 14.2);

    const QString again = dir.filePath("again.brevan.json");
    recorded->saveAnswers = {again};
    other->findChild<QAction*>("saveAsAction")->trigger();
    QFile resaved(again);
    ASSERT_TRUE(resaved.open(QIODevice::ReadOnly));
    EXPECT_EQ(resaved.readAll(), content);

    const QString plain = dir.filePath("plain.brevan.json");
    ASSERT_TRUE(writeFile(plain, designFileJson(other->report()->inputs)));
    ASSERT_TRUE(other->openDesign(plain));
    EXPECT_TRUE(other->sweepPath().isEmpty());
    EXPECT_FALSE(shownIn(other.get(), other->findChild<QLineEdit*>("feedlineLengthEdit")));
}
