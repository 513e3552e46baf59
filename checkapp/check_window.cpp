// SPDX-License-Identifier: GPL-3.0-or-later
#include "check_window.h"

#include "check_runner.h"
#include "field_words.h"
#include "form_reading.h"
#include "input_form.h"
#include "report/advice.h"
#include "result_tabs.h"
#include "spoken_label.h"
#include "study_panel.h"
#include "window_parts.h"

#include <cmath>

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using brevan::check::CheckReport;
using window_parts::joined;
using window_parts::scrolled;
using window_parts::Sideways;
using window_parts::wrapped;

// Typing pauses this long before the full-wave check starts: long enough to span the gap
// between keystrokes, short enough to feel immediate.
constexpr int kPauseMs = 300;

// The design of the README, so that the window opens on a checked antenna.
brevan::check::CheckInputs firstDesign() {
    brevan::check::CheckInputs in;
    in.frequencyMHz = 7.05;
    in.lengthM = 15;
    in.distanceM = 3;
    in.wireSwg = 16;
    in.formerMm = 50;
    in.coilLengthMm = 40;
    in.coilWireSwg = 20;
    return in;
}

// Room for the form beside the three antennas and the plot, on any screen from 1280 x 800 up;
// a smaller screen gets nine tenths of what it has.
QSize firstSize(const QWidget* window) {
    const QSize wanted(1180, 740);
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return wanted;
    }
    return wanted.boundedTo(screen->availableSize() * 9 / 10);
}

// The core's notes name the command's options; the window names its fields.
std::vector<std::string> inFieldWords(std::vector<std::string> sentences) {
    for (std::string& sentence : sentences) {
        sentence = brevan::faces::inFieldWords(sentence, '.');
    }
    return sentences;
}

} // namespace

CheckWindow::CheckWindow(WindowServices services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)) {
    setObjectName(QStringLiteral("checkWindow"));
    setAcceptDrops(true);
    createResults();
    createMenus();
    connectParts();
    m_form->setInputs(firstDesign());
    readInputs();
    setDesignPath({});
    resize(firstSize(this));
    restoreSettings(); // a size the person chose wins over the first one
}

CheckWindow::~CheckWindow() {
    m_runner->cancel();
    // QWidget's destructor deletes the children after this one has run, and a child that loses
    // the focus then (an editable gauge combo's line edit) would still signal this window's slots.
    for (QObject* child : findChildren<QObject*>()) {
        child->blockSignals(true);
    }
}

void CheckWindow::endWithoutAsking() {
    m_runner->cancel();
    saveSettings();
}

void CheckWindow::createResults() {
    m_form = new InputForm;
    auto* inputs = new QScrollArea;
    inputs->setObjectName(QStringLiteral("inputScroll"));
    inputs->setWidget(m_form);
    inputs->setWidgetResizable(true);
    inputs->setFrameShape(QFrame::NoFrame);

    m_verdict = wrapped(QStringLiteral("verdictLabel"), tr("What it means"));
    QFont bold = m_verdict->font();
    bold.setBold(true);
    m_verdict->setFont(bold);
    m_refusal = wrapped(QStringLiteral("designRefusalLabel"), tr("Why there is no design"));
    m_refusal->setForegroundRole(QPalette::Link);
    m_warnings = wrapped(QStringLiteral("warningsLabel"), tr("Warnings"));
    m_engineStatus = wrapped(QStringLiteral("engineStatusLabel"), tr("The full-wave check"));
    m_sweepStatus = wrapped(QStringLiteral("sweepStatusLabel"), tr("The measured sweep"));
    m_sweepStatus->hide();
    // The sweep is put away as visibly as it came: a button beside its name (and File menu).
    m_closeSweep = new QPushButton(tr("Close sweep"));
    m_closeSweep->setObjectName(QStringLiteral("closeSweepButton"));
    m_closeSweep->setAccessibleName(tr("Close the measured sweep"));
    m_closeSweep->hide();
    m_measuredNotes = wrapped(QStringLiteral("measuredNotesLabel"), tr("As measured"));
    m_measuredNotes->hide();
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("checkProgress"));
    m_progress->setAccessibleName(tr("Full-wave check running"));
    m_progress->setRange(0, 0);
    m_progress->setMaximumHeight(m_engineStatus->fontMetrics().height());
    m_progress->setTextVisible(false);
    m_progress->hide();

    m_tabs = new ResultTabs;
    m_study = m_tabs->study();

    // What it means and how the check is going sit above the tabs in a pane of their own, which
    // scrolls when the sentences are longer than it is tall; the divider gives either more room.
    auto* summary = new QWidget;
    auto* column = new QVBoxLayout(summary);
    column->addWidget(m_verdict);
    column->addWidget(m_refusal);
    column->addWidget(m_engineStatus);
    column->addWidget(m_progress);
    auto* sweepRow = new QHBoxLayout;
    sweepRow->addWidget(m_sweepStatus, 1);
    sweepRow->addWidget(m_closeSweep, 0, Qt::AlignTop);
    column->addLayout(sweepRow);
    column->addWidget(m_measuredNotes);
    column->addWidget(m_warnings);
    column->addStretch(1);
    m_summaryScroll = scrolled(QStringLiteral("summaryScroll"), summary, Sideways::No);

    m_resultSplitter = new QSplitter(Qt::Vertical);
    m_resultSplitter->setObjectName(QStringLiteral("resultSplitter"));
    m_resultSplitter->setChildrenCollapsible(false);
    m_resultSplitter->addWidget(m_summaryScroll);
    m_resultSplitter->addWidget(m_tabs);
    m_resultSplitter->setStretchFactor(0, 0);
    m_resultSplitter->setStretchFactor(1, 1);
    // The verdict runs to six or seven wrapped lines, the check's state and the warnings to
    // five or six more: room for them all at first; the tabs get the rest.
    const int line = m_verdict->fontMetrics().lineSpacing();
    m_resultSplitter->setSizes({16 * line, 30 * line});

    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->setObjectName(QStringLiteral("mainSplitter"));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(inputs);
    m_splitter->addWidget(m_resultSplitter);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);

    // Tab goes down the form, then into the results, then to the sweep's button when it shows.
    QList<QWidget*> chain = m_form->tabChain();
    chain << m_tabs << m_tabs->reportText() << m_closeSweep;
    for (int i = 0; i + 1 < chain.size(); ++i) {
        setTabOrder(chain[i], chain[i + 1]);
    }
}

void CheckWindow::connectParts() {
    m_runner = new CheckRunner(this);
    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    m_pause->setInterval(kPauseMs);
    connect(m_form, &InputForm::edited, this, &CheckWindow::inputsEdited);
    connect(m_pause, &QTimer::timeout, this, &CheckWindow::startFullCheck);
    connect(m_closeSweep, &QPushButton::clicked, this, &CheckWindow::closeSweep);
    connect(m_runner, &CheckRunner::progress, this, [this](const QString& stage) {
        setEngineStatus(tr("Full-wave check: %1…").arg(stage), true);
    });
    connect(m_runner, &CheckRunner::finished, this, &CheckWindow::fullCheckFinished);
    connect(m_runner, &CheckRunner::failed, this, &CheckWindow::fullCheckFailed);

    m_studyRunner = new CheckRunner(this);
    connect(m_study, &StudyPanel::runRequested, this, &CheckWindow::startStudy);
    connect(m_studyRunner, &CheckRunner::progress, m_study, &StudyPanel::setRunning);
    connect(m_studyRunner, &CheckRunner::finished, m_study, &StudyPanel::showStudy);
    connect(m_studyRunner, &CheckRunner::failed, m_study, &StudyPanel::showFailure);
    connect(m_study, &StudyPanel::positionChosen, this, &CheckWindow::takeCoilDistance);
}

// The study runs beside the live check, for the design as it stands.
void CheckWindow::startStudy() {
    if (!m_inputs) {
        return;
    }
    auto built = brevan::check::buildCheckReport(*m_inputs);
    if (const auto* refusal = std::get_if<brevan::check::DesignRefusal>(&built)) {
        m_study->showFailure(QString::fromStdString(refusal->message));
        return;
    }
    m_study->setRunning(tr("starting"));
    m_studyRunner->startStudy(std::get<CheckReport>(built), m_engineTimeLimit);
}

// A position picked on the study's picture becomes the design's B, as if typed.
void CheckWindow::takeCoilDistance(double coilDistance) {
    if (!m_inputs) {
        return;
    }
    brevan::check::CheckInputs inputs = *m_inputs;
    // To the millimetre, the resolution a builder measures B to.
    inputs.distanceM = std::round(coilDistance * 1000.0) / 1000.0;
    m_form->setInputs(inputs);
    inputsEdited();
}

void CheckWindow::inputsEdited() {
    setWindowModified(true);
    readInputs();
}

// Every keystroke: the command's reading of the fields, then the fast part of the check. What
// is not accepted shows beside its field; the results of the last accepted design stay.
void CheckWindow::readInputs() {
    m_runner->cancel();
    m_pause->stop();
    m_reportCurrent = false;
    auto given = m_form->optionTexts();
    // The feed line belongs to the sweep: read by the command's rules only while one is open.
    if (m_sweep) {
        given["measured"] = m_sweepPath.toStdString();
    } else {
        for (const char* option : {"feedline-length", "feedline-vf", "feedline-loss"}) {
            given.erase(option);
        }
    }
    const auto reading = brevan::faces::readForm(given);
    m_form->showRefusals(reading.refusals);
    if (!reading.inputs) {
        m_inputs.reset();
        m_study->setDesign(std::nullopt);
        m_refusal->hide();
        setEngineStatus(
            m_report ? tr("The results shown are of the last design accepted.") : QString(), false);
        updateActions();
        return;
    }
    m_inputs = reading.inputs;
    m_study->setDesign(m_inputs);
    auto built = brevan::check::buildCheckReport(*m_inputs);
    if (const auto* refusal = std::get_if<brevan::check::DesignRefusal>(&built)) {
        setSpokenText(m_refusal, QString::fromStdString(refusal->message));
        m_refusal->show();
        setEngineStatus(
            m_report ? tr("The results shown are of the last design accepted.") : QString(), false);
        updateActions();
        return;
    }
    m_refusal->hide();
    showReport(std::get<CheckReport>(built));
    m_reportCurrent = true;
    setEngineStatus(tr("Full-wave check: waiting for typing to pause…"), false);
    m_pause->start();
    updateActions();
}

void CheckWindow::showReport(const CheckReport& checked) {
    // The units are the window's preference, not the design's: they change the words only.
    m_report = checked;
    m_report->inputs.units = m_feetAndInches->isChecked() ? brevan::check::LengthUnits::Imperial
                                                          : brevan::check::LengthUnits::Metric;
    const CheckReport& report = *m_report;
    setSpokenText(m_verdict, joined(brevan::check::verdictSentences(report)));
    const QString warnings = joined(brevan::check::warningSentences(report));
    setSpokenText(m_warnings, warnings.isEmpty() ? QString() : tr("Warnings:\n%1").arg(warnings));
    m_warnings->setVisible(!warnings.isEmpty());
    const QString notes =
        report.measured ? joined(inFieldWords(brevan::check::measuredNotes(report))) : QString();
    setSpokenText(m_measuredNotes, notes.isEmpty() ? QString() : tr("As measured:\n%1").arg(notes));
    m_measuredNotes->setVisible(!notes.isEmpty());
    m_tabs->showReport(report);
}

void CheckWindow::startFullCheck() {
    if (!m_report || !m_reportCurrent) {
        return;
    }
    setEngineStatus(tr("Full-wave check: starting nec2c…"), true);
    std::optional<brevan::check::MeasuredSetup> sweep = m_sweep;
    const brevan::check::CheckInputs& in = m_report->inputs;
    if (sweep && in.feedlineLengthM) {
        sweep->feedLine = brevan::check::FeedLine{*in.feedlineLengthM, in.feedlineVelocityFactor,
                                                  in.feedlineLossDb, in.frequencyMHz, 50.0};
    }
    m_runner->start(*m_report, sweep, m_engineTimeLimit);
}

void CheckWindow::fullCheckFinished(const CheckReport& report) {
    showReport(report);
    setEngineStatus(tr("Full-wave check done (nec2c)."), false);
    updateActions();
}

void CheckWindow::fullCheckFailed(const QString& message) {
    // The command's words; the engine comes from Debian's package of the same name.
    QString text = tr("The full-wave check did not finish: %1").arg(message);
    if (!message.contains(QLatin1String("install"))) {
        text += tr("\nThe engine is nec2c, from the Debian package nec2c.");
    }
    setEngineStatus(text, false);
    updateActions();
}

void CheckWindow::setEngineStatus(const QString& text, bool busy) {
    setSpokenText(m_engineStatus, text);
    m_engineStatus->setVisible(!text.isEmpty());
    m_progress->setVisible(busy);
    // The pane does not follow its content's height by itself when the wrapped sentences
    // change; asking again fits the content to them, so nothing is cut off below.
    m_summaryScroll->setWidgetResizable(true);
}

bool CheckWindow::checkDone() const {
    return m_reportCurrent && m_report && m_report->antenna;
}

void CheckWindow::updateActions() {
    const bool done = checkDone();
    m_exportSheet->setEnabled(done);
    m_exportPlot->setEnabled(done);
    m_exportDeck->setEnabled(done);
    m_exportJson->setEnabled(done);
    m_save->setEnabled(m_inputs.has_value());
}
