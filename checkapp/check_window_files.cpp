// SPDX-License-Identifier: GPL-3.0-or-later
// The check window's files, menus and remembered state: designs opened and saved, the exports
// (each byte for byte what brevan-check writes for the same inputs), the question before
// changes are lost, and what QSettings keeps between runs.
#include "check_window.h"

#include "build_sheet.h"
#include "files/design_file.h"
#include "input_form.h"
#include "measured/measured_sweep.h"
#include "report/report_json.h"
#include "report/report_plot.h"
#include "result_tabs.h"
#include "spoken_label.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>

#include <algorithm>

namespace {

const QString kDesignFilter = QStringLiteral("Brevan Check designs (*.brevan.json *.json)");
const QString kDesignSuffix = QStringLiteral(".brevan.json");

// Told apart by the name: a dropped sweep opens beside the design, anything else as a design.
bool isSweepFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("s1p") || suffix == QLatin1String("csv");
}

QString localDesignFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return {};
    }
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

void CheckWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* open = file->addAction(tr("&Open…"), this, &CheckWindow::openTriggered);
    open->setObjectName(QStringLiteral("openAction"));
    open->setShortcut(QKeySequence::Open);
    QAction* openSweepAction =
        file->addAction(tr("Open s&weep…"), this, &CheckWindow::openSweepTriggered);
    openSweepAction->setObjectName(QStringLiteral("openSweepAction"));
    m_closeSweepAction = file->addAction(tr("&Close sweep"), this, &CheckWindow::closeSweep);
    m_closeSweepAction->setObjectName(QStringLiteral("closeSweepAction"));
    m_closeSweepAction->setEnabled(false);
    m_save = file->addAction(tr("&Save"), this, [this] { save(); });
    m_save->setObjectName(QStringLiteral("saveAction"));
    m_save->setShortcut(QKeySequence::Save);
    QAction* saveAsAction = file->addAction(tr("Save &As…"), this, [this] { saveAs(); });
    saveAsAction->setObjectName(QStringLiteral("saveAsAction"));
    saveAsAction->setShortcut(QKeySequence::SaveAs);

    QMenu* exports = file->addMenu(tr("&Export"));
    m_exportSheet =
        exports->addAction(tr("&Build sheet (PDF)…"), this, &CheckWindow::exportBuildSheet);
    m_exportSheet->setObjectName(QStringLiteral("exportSheetAction"));
    m_exportSheet->setShortcut(QKeySequence::Print);
    m_exportPlot = exports->addAction(tr("SWR &plot (SVG)…"), this, &CheckWindow::exportPlot);
    m_exportPlot->setObjectName(QStringLiteral("exportPlotAction"));
    m_exportDeck = exports->addAction(tr("NEC &deck…"), this, &CheckWindow::exportDeck);
    m_exportDeck->setObjectName(QStringLiteral("exportDeckAction"));
    m_exportJson = exports->addAction(tr("&JSON report…"), this, &CheckWindow::exportJson);
    m_exportJson->setObjectName(QStringLiteral("exportJsonAction"));

    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"), this, &QWidget::close);
    quit->setObjectName(QStringLiteral("quitAction"));
    quit->setShortcut(QKeySequence::Quit);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    m_feetAndInches = view->addAction(tr("&Feet and Inches"));
    m_feetAndInches->setObjectName(QStringLiteral("feetAndInchesAction"));
    m_feetAndInches->setCheckable(true);
    m_feetAndInches->setStatusTip(
        tr("Give the report's lengths in feet and inches to the nearest 1/8 inch, the wires as "
           "AWG"));
    connect(m_feetAndInches, &QAction::toggled, this, [this](bool on) {
        QSettings().setValue(QStringLiteral("view/feetAndInches"), on);
        if (m_report) {
            showReport(*m_report);
        }
    });

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* aboutAction = help->addAction(tr("&About Brevan Check"), this, &CheckWindow::about);
    aboutAction->setObjectName(QStringLiteral("aboutAction"));
}

void CheckWindow::restoreSettings() {
    const QSettings settings;
    m_feetAndInches->setChecked(settings.value(QStringLiteral("view/feetAndInches")).toBool());
    restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray());
    restoreState(settings.value(QStringLiteral("window/state")).toByteArray());
    if (!m_splitter->restoreState(
            settings.value(QStringLiteral("window/splitter")).toByteArray())) {
        // At first the form has room for every label, field and unit side by side; on a small
        // screen the results keep their least width and the form scrolls instead.
        auto* inputs = qobject_cast<QScrollArea*>(m_splitter->widget(0));
        const int formWidth =
            m_form->sizeHint().width() + inputs->verticalScrollBar()->sizeHint().width();
        m_splitter->setSizes({formWidth, std::max(1, width() - formWidth)});
    }
    m_resultSplitter->restoreState(
        settings.value(QStringLiteral("window/resultSplitter")).toByteArray());
}

void CheckWindow::closeEvent(QCloseEvent* event) {
    if (!maybeKeepChanges()) {
        event->ignore();
        return;
    }
    saveSettings();
    event->accept();
}

void CheckWindow::saveSettings() const {
    QSettings settings;
    settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    settings.setValue(QStringLiteral("window/state"), saveState());
    settings.setValue(QStringLiteral("window/splitter"), m_splitter->saveState());
    settings.setValue(QStringLiteral("window/resultSplitter"), m_resultSplitter->saveState());
}

void CheckWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!localDesignFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CheckWindow::dropEvent(QDropEvent* event) {
    const QString path = localDesignFile(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    if (isSweepFile(path)) {
        openSweep(path);
    } else if (maybeKeepChanges()) {
        openDesign(path);
    }
}

// True when it is fine to go on: nothing unsaved, saved now, or let go on purpose.
bool CheckWindow::maybeKeepChanges() {
    if (!isWindowModified()) {
        return true;
    }
    switch (m_services.askUnsaved(this, tr("The design has changes that are not saved. Save "
                                           "them first?"))) {
    case UnsavedAnswer::Save: return save();
    case UnsavedAnswer::Discard: return true;
    case UnsavedAnswer::Cancel: break;
    }
    return false;
}

void CheckWindow::openTriggered() {
    if (!maybeKeepChanges()) {
        return;
    }
    const QSettings settings;
    const QString folder =
        settings.value(QStringLiteral("files/lastFolder"), QDir::homePath()).toString();
    const QString path = m_services.openFileName(this, tr("Open a design"), folder, kDesignFilter);
    if (!path.isEmpty()) {
        openDesign(path);
    }
}

// A design file is the whole design: its sweep, if it keeps one, replaces the one open, and a
// file without one closes it.
bool CheckWindow::openDesign(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_services.showMessage(this, tr("Cannot open %1: %2. The design shown is kept.")
                                         .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    const QByteArray content = file.readAll();
    const auto read = brevan::check::readDesignFile(content.toStdString());
    if (const auto* message = std::get_if<std::string>(&read)) {
        m_services.showMessage(
            this, tr("Cannot open %1. %2 The design shown is kept.")
                      .arg(QDir::toNativeSeparators(path), QString::fromStdString(*message)));
        return false;
    }
    const brevan::check::DesignFile& design = std::get<brevan::check::DesignFile>(read);
    m_form->setInputs(design.inputs);
    m_form->setFeedLine(design.inputs);
    if (design.sweep) {
        const QString name = QString::fromStdString(design.sweep->fileName);
        takeSweep(name, design.sweep->text,
                  tr("Measured sweep: %1, kept in the design file").arg(name));
    } else if (m_sweep) {
        forgetSweep();
    }
    rememberFolder(path);
    setDesignPath(path);
    readInputs();
    return true;
}

bool CheckWindow::save() {
    return m_path.isEmpty() ? saveAs() : saveTo(m_path);
}

bool CheckWindow::saveAs() {
    const QSettings settings;
    const QString folder =
        settings.value(QStringLiteral("files/lastFolder"), QDir::homePath()).toString();
    const QString suggested =
        m_path.isEmpty() ? QDir(folder).filePath(tr("design") + kDesignSuffix) : m_path;
    const QString path =
        m_services.saveFileName(this, tr("Save the design"), suggested, kDesignFilter);
    return !path.isEmpty() && saveTo(path);
}

bool CheckWindow::saveTo(const QString& path) {
    if (!m_inputs) {
        m_services.showMessage(this, tr("The design cannot be saved while a field is not "
                                        "accepted: see the message beside it."));
        return false;
    }
    brevan::check::DesignFile design{*m_inputs, std::nullopt};
    if (m_sweep) {
        design.sweep = brevan::check::SweepCopy{m_sweep->fileName, m_sweepText};
    }
    if (!writeWhole(path, QByteArray::fromStdString(brevan::check::designFileJson(design)))) {
        return false;
    }
    rememberFolder(path);
    setDesignPath(path);
    return true;
}

bool CheckWindow::writeWhole(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() ||
        !file.commit()) {
        m_services.showMessage(this, tr("Cannot write %1: %2. Nothing was written.")
                                         .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    return true;
}

QString CheckWindow::askExportPath(const QString& caption, const QString& suffix,
                                   const QString& filter) {
    const QSettings settings;
    const QString folder =
        settings.value(QStringLiteral("files/lastFolder"), QDir::homePath()).toString();
    QString base = m_path.isEmpty() ? tr("design") : QFileInfo(m_path).fileName();
    if (base.endsWith(kDesignSuffix)) {
        base.chop(kDesignSuffix.size());
    }
    const QString path =
        m_services.saveFileName(this, caption, QDir(folder).filePath(base + suffix), filter);
    if (!path.isEmpty()) {
        rememberFolder(path);
    }
    return path;
}

void CheckWindow::exportBuildSheet() {
    if (!checkDone()) {
        return;
    }
    const QString path =
        askExportPath(tr("Export the build sheet"), QStringLiteral(".pdf"), tr("PDF (*.pdf)"));
    QString error;
    if (!path.isEmpty() &&
        !writeBuildSheet(path, *m_report, QCoreApplication::applicationVersion(), &error)) {
        m_services.showMessage(this, tr("Cannot write %1: %2. Nothing was written.")
                                         .arg(QDir::toNativeSeparators(path), error));
    }
}

void CheckWindow::exportPlot() {
    if (!checkDone()) {
        return;
    }
    const QString path = askExportPath(tr("Export the SWR plot"), QStringLiteral(".svg"),
                                       tr("SVG pictures (*.svg)"));
    if (!path.isEmpty()) {
        writeWhole(path, QByteArray::fromStdString(brevan::check::reportPlotCurvesSvg(*m_report)));
    }
}

void CheckWindow::exportDeck() {
    if (!checkDone()) {
        return;
    }
    const QString path =
        askExportPath(tr("Export the NEC deck"), QStringLiteral(".nec"), tr("NEC-2 decks (*.nec)"));
    if (!path.isEmpty()) {
        writeWhole(path, QByteArray::fromStdString(m_report->antenna->builtDeck));
    }
}

void CheckWindow::exportJson() {
    if (!checkDone()) {
        return;
    }
    const QString path =
        askExportPath(tr("Export the JSON report"), QStringLiteral(".json"), tr("JSON (*.json)"));
    if (!path.isEmpty()) {
        writeWhole(path, QByteArray::fromStdString(brevan::check::reportJson(
                             *m_report, QCoreApplication::applicationVersion().toStdString())));
    }
}

void CheckWindow::setDesignPath(const QString& path) {
    m_path = path;
    const QString name = path.isEmpty() ? tr("Untitled") : QFileInfo(path).fileName();
    setWindowTitle(tr("%1[*] — Brevan Check").arg(name));
    setWindowFilePath(path);
    setWindowModified(false);
}

void CheckWindow::rememberFolder(const QString& path) {
    QSettings settings;
    settings.setValue(QStringLiteral("files/lastFolder"), QFileInfo(path).absolutePath());
}

void CheckWindow::about() {
    m_services.showMessage(
        this, tr("Brevan Check %1\n\nThe check of a shortened, coil-loaded dipole before the wire "
                 "is cut: the design as Brevan1-2 computes it, the coil as it will really be "
                 "wound, and the antenna modelled with the NEC-2 engine nec2c. The same check as "
                 "the command brevan-check.\n\n"
                 "Free software under the GNU General Public License, version 3 or any later "
                 "version. It comes with no warranty.")
                  .arg(QCoreApplication::applicationVersion()));
}
