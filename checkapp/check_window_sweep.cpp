// SPDX-License-Identifier: GPL-3.0-or-later
// The check window's measured sweep: opened from its file (or kept in a design file), read by
// the command's own readers, named above the results with a button that closes it, and closed
// again; the check then runs with it or without it.
#include "check_window.h"

#include "input_form.h"
#include "measured/measured_sweep.h"
#include "result_tabs.h"
#include "spoken_label.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSettings>

namespace {

const QString kSweepFilter =
    QStringLiteral("Analyser sweeps (*.s1p *.S1P *.csv *.CSV);;All files (*)");

} // namespace

void CheckWindow::openSweepTriggered() {
    const QSettings settings;
    const QString folder =
        settings.value(QStringLiteral("files/lastFolder"), QDir::homePath()).toString();
    const QString path =
        m_services.openFileName(this, tr("Open a measured sweep"), folder, kSweepFilter);
    if (!path.isEmpty()) {
        openSweep(path);
    }
}

// The sweep replaces the one open only when it reads whole; a refusal is shown where the sweep
// is named, as the reader words it (file, line, what was expected), and the results stay.
bool CheckWindow::openSweep(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const QString kept =
            m_sweep ? tr(" The sweep %1 is kept.").arg(QFileInfo(m_sweepPath).fileName())
                    : QString();
        setSpokenText(m_sweepStatus,
                      tr("Cannot open the sweep %1: %2.%3")
                          .arg(QDir::toNativeSeparators(path), file.errorString(), kept));
        m_sweepStatus->show();
        return false;
    }
    const QByteArray text = file.readAll();
    if (!takeSweep(path, text.toStdString(),
                   tr("Measured sweep: %1").arg(QDir::toNativeSeparators(path)))) {
        return false;
    }
    rememberFolder(path);
    setWindowModified(true); // the design file would now keep the sweep
    readInputs();
    return true;
}

// A sweep's text, from its file or from a design file, read by the command's own readers.
bool CheckWindow::takeSweep(const QString& path, const std::string& text, const QString& shown) {
    const QString name = QFileInfo(path).fileName();
    auto read = brevan::check::readSweep(text, name.toStdString());
    if (const auto* error = std::get_if<brevan::check::SweepError>(&read)) {
        const QString kept =
            m_sweep ? tr(" The sweep %1 is kept.").arg(QFileInfo(m_sweepPath).fileName())
                    : QString();
        setSpokenText(
            m_sweepStatus,
            tr("The sweep is not read: %1.%2").arg(QString::fromStdString(message(*error)), kept));
        m_sweepStatus->show();
        return false;
    }
    brevan::check::MeasuredSetup setup;
    setup.fileName = name.toStdString();
    setup.sweep = std::get<brevan::check::MeasuredSweep>(std::move(read));
    m_sweep = std::move(setup);
    m_sweepText = text;
    m_sweepPath = path;
    setSpokenText(m_sweepStatus, shown);
    m_sweepStatus->show();
    m_closeSweep->show();
    m_closeSweepAction->setEnabled(true);
    m_form->showFeedLine(true);
    return true;
}

// The design goes back to its check without a sweep; the feed line's fields go with it, their
// texts kept for a sweep opened again.
void CheckWindow::closeSweep() {
    if (!m_sweep) {
        return;
    }
    forgetSweep();
    setWindowModified(true);
    readInputs();
}

void CheckWindow::forgetSweep() {
    // The button had the focus if it was pressed from the keyboard; it stays in the window.
    if (m_closeSweep->hasFocus()) {
        m_tabs->setFocus();
    }
    m_sweep.reset();
    m_sweepText.clear();
    m_sweepPath.clear();
    m_sweepStatus->hide();
    m_closeSweep->hide();
    m_closeSweepAction->setEnabled(false);
    m_form->showFeedLine(false);
}
