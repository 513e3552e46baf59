// SPDX-License-Identifier: GPL-3.0-or-later
#include "result_tabs.h"

#include "dipole_drawing.h"
#include "report/advice.h"
#include "report/power_words.h"
#include "report/report_text.h"
#include "report/tolerance_words.h"
#include "result_rows.h"
#include "spoken_label.h"
#include "study_panel.h"
#include "swr_plot_widget.h"
#include "window_parts.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

using brevan::check::CheckReport;
using window_parts::joined;
using window_parts::scrolled;
using window_parts::Sideways;
using window_parts::wrapped;

// Rows of a label and a cell for each column (the three antennas, the tolerances' two sides).
template <typename Row> void fillCells(QTableWidget* view, const std::vector<Row>& rows) {
    view->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const Row& row = rows[static_cast<std::size_t>(i)];
        view->setVerticalHeaderItem(i, new QTableWidgetItem(QString::fromStdString(row.label)));
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            view->setItem(i, static_cast<int>(c),
                          new QTableWidgetItem(QString::fromStdString(row.cells[c])));
        }
    }
}

// The table's height with every row in view, header and frame included.
int allRowsHeight(const QTableWidget* view) {
    int height = view->horizontalHeader()->sizeHint().height() + 2 * view->frameWidth();
    for (int row = 0; row < view->rowCount(); ++row) {
        height += view->rowHeight(row);
    }
    return height;
}

// The table's width with every column whole, row labels and frame included. The columns are
// measured at their contents' width, then share out whatever room the page gives them.
int allColumnsWidth(QTableWidget* view) {
    QHeaderView* header = view->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    view->resizeColumnsToContents();
    int width = view->verticalHeader()->sizeHint().width() + 2 * view->frameWidth();
    for (int column = 0; column < view->columnCount(); ++column) {
        width += view->columnWidth(column);
    }
    header->setSectionResizeMode(QHeaderView::Stretch);
    return width;
}

QTableWidget* table(const QString& name, const QString& accessible, const QStringList& columns) {
    auto* view = new QTableWidget(0, static_cast<int>(columns.size()));
    view->setObjectName(name);
    view->setAccessibleName(accessible);
    view->setHorizontalHeaderLabels(columns);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false); // Tab leaves the table, arrows move inside it
    view->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

void fill(QTableWidget* view, const std::vector<brevan::faces::ResultRow>& rows) {
    view->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        view->setVerticalHeaderItem(i, new QTableWidgetItem(QString::fromStdString(rows[i].label)));
        view->setItem(i, 0, new QTableWidgetItem(QString::fromStdString(rows[i].value)));
    }
}

} // namespace

ResultTabs::ResultTabs(QWidget* parent) : QTabWidget(parent) {
    m_antennas = table(QStringLiteral("antennaTable"), tr("The three antennas side by side"),
                       {tr("As designed"), tr("As built"), tr("Trimmed")});
    // The table is as tall as its rows, never squeezed to one: when the window is short the
    // page scrolls instead.
    m_antennas->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_antennas->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_antennas->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_antennas->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_trim = wrapped(QStringLiteral("trimLabel"), tr("Trim and coil"));
    m_tolerances = table(QStringLiteral("toleranceTable"),
                         tr("How exactly to build it: what each difference moves"),
                         {tr("Resonance moves"), tr("SWR at F")});
    m_tolerances->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tolerances->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tolerances->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_tolerances->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_toleranceNote = wrapped(QStringLiteral("toleranceLabel"), tr("What matters most"));
    auto* antennaPage = new QWidget;
    auto* antennaLayout = new QVBoxLayout(antennaPage);
    antennaLayout->addWidget(m_antennas);
    antennaLayout->addWidget(m_trim);
    antennaLayout->addWidget(m_tolerances);
    antennaLayout->addWidget(m_toleranceNote);
    antennaLayout->addStretch(1);
    auto* antennaScroll =
        scrolled(QStringLiteral("antennaScroll"), antennaPage, Sideways::AsNeeded);
    m_power = table(QStringLiteral("powerTable"),
                    tr("What each coil and each tip must hold at the power"),
                    {tr("As built"), tr("Trimmed")});
    m_power->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_powerNote = wrapped(QStringLiteral("powerLabel"), tr("How the power figures were found"));
    auto* powerPage = new QWidget;
    auto* powerLayout = new QVBoxLayout(powerPage);
    powerLayout->addWidget(m_power, 1);
    powerLayout->addWidget(m_powerNote);
    m_design =
        table(QStringLiteral("designTable"), tr("The design and the coil as wound"), {tr("Value")});
    m_cutList = table(QStringLiteral("cutListTable"), tr("Cut list, each half of the dipole"),
                      {tr("Length")});
    m_plot = new SwrPlotWidget;
    m_plot->setObjectName(QStringLiteral("swrPlot"));
    m_plot->setAccessibleName(tr("SWR of the three antennas"));
    m_drawing = new DipoleDrawing;
    m_drawing->setObjectName(QStringLiteral("dipoleDrawing"));
    m_drawing->setAccessibleName(tr("One half of the dipole, with the lengths to cut"));
    m_reportText = new QPlainTextEdit;
    m_reportText->setObjectName(QStringLiteral("reportText"));
    m_reportText->setAccessibleName(tr("The whole report as text"));
    m_reportText->setReadOnly(true);
    m_reportText->setFont(QFont(QStringLiteral("monospace")));
    m_reportText->setLineWrapMode(QPlainTextEdit::NoWrap);

    setObjectName(QStringLiteral("resultTabs"));
    setAccessibleName(tr("Results"));
    addTab(antennaScroll, tr("&Antennas"));
    addTab(m_plot, tr("S&WR plot"));
    addTab(m_cutList, tr("&Cut list"));
    addTab(m_drawing, tr("D&ipole"));
    addTab(m_design, tr("Design and co&il"));
    addTab(powerPage, tr("&Voltage and heat"));
    m_study = new StudyPanel;
    m_study->setObjectName(QStringLiteral("studyPanel"));
    addTab(m_study, tr("Coil position stud&y"));
    addTab(m_reportText, tr("&Report"));

    connect(this, &QTabWidget::currentChanged, this, &ResultTabs::showReportText);
}

void ResultTabs::showReport(const CheckReport& report) {
    m_report = report;
    fill(m_design, brevan::faces::designRows(report));
    fill(m_cutList, brevan::faces::cutListRows(report));

    const auto rows = brevan::faces::antennaRows(report);
    fillCells(m_antennas, rows);
    m_antennas->resizeRowsToContents();
    m_antennas->setFixedHeight(allRowsHeight(m_antennas));
    m_antennas->setMinimumWidth(allColumnsWidth(m_antennas));
    setSpokenText(m_trim, report.antenna
                              ? tr("Trim of each tip: %1\nOr, at the designed length: %2")
                                    .arg(QString::fromStdString(brevan::check::trimSummary(report)),
                                         QString::fromStdString(
                                             brevan::check::neededCoilSummary(*report.antenna)))
                              : tr("The antennas appear when the full-wave check is done."));
    showTolerances(report);
    showPower(report);
    // The whole text is laid out only when its tab is shown: it is the costliest part of a
    // keystroke's update, and most keystrokes are typed with another tab in front.
    m_reportTextCurrent = false;
    showReportText();
    m_plot->setReport(report);
    m_drawing->setReport(report);
}

// What the coils and the tips hold at the power, with how the figures were found.
void ResultTabs::showPower(const CheckReport& report) {
    const auto rows = brevan::check::powerRows(report);
    m_power->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        m_power->setVerticalHeaderItem(i,
                                       new QTableWidgetItem(QString::fromStdString(rows[i].label)));
        m_power->setItem(i, 0, new QTableWidgetItem(QString::fromStdString(rows[i].built)));
        m_power->setItem(i, 1, new QTableWidgetItem(QString::fromStdString(rows[i].trimmed)));
    }
    m_power->resizeRowsToContents();
    setSpokenText(m_powerNote,
                  rows.empty()
                      ? tr("The figures appear when the full-wave check is done.")
                      : QString::fromStdString(
                            "At " + brevan::check::powerSettingText(report.inputs.power) + ".\n") +
                            joined(brevan::check::powerMethodNotes(report)));
}

// How exactly to build it, below the trim; hidden until the full-wave check has found it.
void ResultTabs::showTolerances(const CheckReport& report) {
    const auto rows = brevan::faces::toleranceRows(report);
    fillCells(m_tolerances, rows);
    m_tolerances->resizeRowsToContents();
    m_tolerances->setFixedHeight(allRowsHeight(m_tolerances));
    m_tolerances->setVisible(!rows.empty());
    setSpokenText(m_toleranceNote,
                  rows.empty()
                      ? QString()
                      : tr("Of the antenna %1.\n%2")
                            .arg(QString::fromStdString(brevan::check::toleranceBasis(report)),
                                 QString::fromStdString(brevan::check::toleranceSentence(report))));
    m_toleranceNote->setVisible(!rows.empty());
}

void ResultTabs::showReportText() {
    if (m_reportTextCurrent || !m_report || currentWidget() != m_reportText) {
        return;
    }
    m_reportText->setPlainText(QString::fromStdString(brevan::check::reportText(
        *m_report, QCoreApplication::applicationVersion().toStdString())));
    m_reportTextCurrent = true;
}
