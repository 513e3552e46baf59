// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The coil-position study in the window: a button that runs it for the design on screen, the
// picture of efficiency and 2:1 band against B, and what it says. A click on a position (or
// the arrow keys and Enter) takes that B into the design.
//
//   runRequested --the window's study runner--> showStudy(report with its study)
//   click / Enter on a position --> positionChosen(B)

#include "check_report.h"
#include "report/study_plot.h"

#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QPushButton;

class StudyPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit StudyPlotWidget(QWidget* parent = nullptr);

    // Nothing: the placeholder. `spoken` has a line per point for a screen reader.
    void setPicture(std::optional<brevan::check::StudyPicture> picture,
                    std::vector<double> positions, std::vector<QString> spoken);
    std::optional<std::size_t> selected() const { return m_selected; }
    // The widget's point that a click at `x` (widget pixels) would take.
    std::optional<std::size_t> pointAtPixel(double x) const;

    QSize sizeHint() const override { return {640, 400}; }

Q_SIGNALS:
    void positionChosen(double coilDistance);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRectF pictureRect() const; // the picture's page in widget pixels, its shape kept
    void select(std::optional<std::size_t> index);

    std::optional<brevan::check::StudyPicture> m_picture;
    std::vector<double> m_positions;
    std::vector<QString> m_spoken;
    std::optional<std::size_t> m_selected;
};

class StudyPanel : public QWidget {
    Q_OBJECT
public:
    explicit StudyPanel(QWidget* parent = nullptr);

    // The design as it stands (nothing when the form is not accepted): a study of other inputs
    // than these, B apart, is put away.
    void setDesign(const std::optional<brevan::check::CheckInputs>& inputs);
    void setRunning(const QString& stage);
    void showStudy(const brevan::check::CheckReport& report);
    void showFailure(const QString& message);
    const std::optional<brevan::check::CheckReport>& studied() const { return m_studied; }
    StudyPlotWidget* plot() const { return m_plot; }

Q_SIGNALS:
    void runRequested();
    void positionChosen(double coilDistance);

private:
    void clear(const QString& status);

    std::optional<brevan::check::CheckReport> m_studied;
    std::optional<brevan::check::CheckInputs> m_design;
    QPushButton* m_run = nullptr;
    QLabel* m_status = nullptr;
    StudyPlotWidget* m_plot = nullptr;
    QLabel* m_sentences = nullptr;
};
