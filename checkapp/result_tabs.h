// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The check window's results, a tab each: the three antennas with the trim and the tolerance
// table, the SWR plot, the cut list, the dipole drawing, the design and coil, the voltage and
// heat at the power, the coil-position study and the whole report as text.
//
//   CheckReport --showReport--> every tab (the report text laid out once its tab is shown)

#include "check_report.h"

#include <QTabWidget>

#include <optional>

class DipoleDrawing;
class QLabel;
class QPlainTextEdit;
class QTableWidget;
class StudyPanel;
class SwrPlotWidget;

class ResultTabs : public QTabWidget {
    Q_OBJECT

public:
    explicit ResultTabs(QWidget* parent = nullptr);

    void showReport(const brevan::check::CheckReport& report);

    StudyPanel* study() const { return m_study; }
    QPlainTextEdit* reportText() const { return m_reportText; }

private:
    void showTolerances(const brevan::check::CheckReport& report);
    void showPower(const brevan::check::CheckReport& report);
    void showReportText();

    std::optional<brevan::check::CheckReport> m_report; // what the tabs show
    bool m_reportTextCurrent = false;                   // the Report tab shows m_report

    QTableWidget* m_antennas = nullptr;
    QLabel* m_trim = nullptr;
    QTableWidget* m_tolerances = nullptr; // how far each building difference moves it
    QLabel* m_toleranceNote = nullptr;    // which antenna, and what matters most
    QTableWidget* m_power = nullptr;      // what the coils and tips hold at the power
    QLabel* m_powerNote = nullptr;
    QTableWidget* m_design = nullptr;
    QTableWidget* m_cutList = nullptr;
    SwrPlotWidget* m_plot = nullptr;
    DipoleDrawing* m_drawing = nullptr;
    StudyPanel* m_study = nullptr;
    QPlainTextEdit* m_reportText = nullptr;
};
