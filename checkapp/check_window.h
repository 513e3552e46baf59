// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The check window: brevan-check's report on one screen, as the design is typed.
//
//   InputForm --edited--> readForm (the command's rules) --buildCheckReport--> live results
//     --typing pauses--> CheckRunner (nec2c, off this thread) --> antennas, plot, drawing
//
// Every figure comes from the check library; the window only lays out what it returns. Its
// parts, by job: the form (input_form.h), the results' tabs (result_tabs.h), the summary above
// them and the live check (check_window.cpp), files, menus and exports (check_window_files.cpp),
// the measured sweep (check_window_sweep.cpp). Everything that would wait on a person goes
// through WindowServices.

#include "check_report.h"
#include "window_services.h"

#include <QMainWindow>
#include <QString>

#include <optional>

class CheckRunner;
class InputForm;
class QAction;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSplitter;
class QTimer;
class ResultTabs;
class StudyPanel;

class CheckWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit CheckWindow(WindowServices services, QWidget* parent = nullptr);
    ~CheckWindow() override;

    // The time each nec2c run may take; the command's default unless changed.
    void setEngineTimeLimit(double seconds) { m_engineTimeLimit = seconds; }
    // The file open, or empty for a design not yet saved.
    QString designPath() const { return m_path; }
    bool openDesign(const QString& path);
    // Opens an analyser's sweep (.s1p, .csv) beside the design; the full-wave check then also
    // says what to cut. A file that cannot be read is refused in place, the sweep shown kept.
    bool openSweep(const QString& path);
    // The sweep's file on disk, or its name when it came with the design file; empty: none.
    QString sweepPath() const { return m_sweepPath; }
    // The report on screen, whole (with the full-wave check) once it has arrived.
    const std::optional<brevan::check::CheckReport>& report() const { return m_report; }
    bool checkDone() const;
    // For a signal that ends the program: the running check stops and the settings are kept,
    // with no question about unsaved changes.
    void endWithoutAsking();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Creation, in the order the constructor runs them.
    void createResults();
    void createMenus();
    void connectParts();
    void restoreSettings();
    void saveSettings() const;

    // Live results.
    void inputsEdited();
    void readInputs();
    void showReport(const brevan::check::CheckReport& report);
    void startFullCheck();
    void fullCheckFinished(const brevan::check::CheckReport& report);
    void fullCheckFailed(const QString& message);
    void setEngineStatus(const QString& text, bool busy);
    void startStudy();
    void takeCoilDistance(double coilDistance);
    void updateActions();

    // Files (check_window_files.cpp).
    void openTriggered();
    void openSweepTriggered();
    bool takeSweep(const QString& path, const std::string& text, const QString& shown);
    void closeSweep();
    void forgetSweep();
    bool save();
    bool saveAs();
    bool saveTo(const QString& path);
    bool maybeKeepChanges();
    void exportBuildSheet();
    void exportPlot();
    void exportDeck();
    void exportJson();
    QString askExportPath(const QString& caption, const QString& suffix, const QString& filter);
    bool writeWhole(const QString& path, const QByteArray& content);
    void setDesignPath(const QString& path);
    void rememberFolder(const QString& path);
    void about();

    WindowServices m_services;
    double m_engineTimeLimit = 60.0;
    QString m_path;
    std::optional<brevan::check::CheckInputs> m_inputs;  // as last accepted
    std::optional<brevan::check::CheckReport> m_report;  // what is on screen
    std::optional<brevan::check::MeasuredSetup> m_sweep; // the sweep open, at the analyser
    std::string m_sweepText;                             // its file, saved with the design
    QString m_sweepPath;
    bool m_reportCurrent = false; // m_report is of the inputs as they stand

    InputForm* m_form = nullptr;
    CheckRunner* m_runner = nullptr;
    CheckRunner* m_studyRunner = nullptr; // the coil-position study, beside the live check
    QTimer* m_pause = nullptr;
    QSplitter* m_splitter = nullptr;       // the form | the results
    QSplitter* m_resultSplitter = nullptr; // what it means, above the tabs
    QScrollArea* m_summaryScroll = nullptr;
    QLabel* m_verdict = nullptr;
    QLabel* m_refusal = nullptr;
    QLabel* m_warnings = nullptr;
    QLabel* m_engineStatus = nullptr;
    QLabel* m_sweepStatus = nullptr; // the sweep open, or why a file was refused
    QPushButton* m_closeSweep = nullptr;
    QLabel* m_measuredNotes = nullptr; // what the sweep says beyond the verdict
    QProgressBar* m_progress = nullptr;
    ResultTabs* m_tabs = nullptr;
    StudyPanel* m_study = nullptr;      // the study's tab, m_tabs's
    QAction* m_feetAndInches = nullptr; // the report's lengths in feet and inches
    QAction* m_save = nullptr;
    QAction* m_closeSweepAction = nullptr;
    QAction* m_exportSheet = nullptr;
    QAction* m_exportPlot = nullptr;
    QAction* m_exportDeck = nullptr;
    QAction* m_exportJson = nullptr;
};
