// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The SWR picture (swr_plot.h) in the window, read with the pointer and the keyboard:
//
//   mouse / keys --SwrPlotWidget--> cursor (read-out) and visible range (zoom)

#include "swr_plot.h"

#include <QWidget>

#include <optional>

class SwrPlotWidget : public QWidget {
    Q_OBJECT

public:
    explicit SwrPlotWidget(QWidget* parent = nullptr);

    void setReport(const brevan::check::CheckReport& report);

    // What the pointer or the keyboard's cursor points at; empty when nothing is.
    QString readOut() const;
    std::optional<double> cursorMHz() const { return m_view.cursorMHz; }
    SwrPlotView view() const { return m_view; }
    const SwrPlotData& data() const { return m_data; }
    bool hasCurves() const { return !m_data.curves.empty(); }
    // The widget's x for a frequency in the current view, for pointing at it.
    double xForFrequency(double frequencyMHz) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void readOutChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    SwrPlotFrame frame() const;
    void pointAt(std::optional<double> frequencyMHz);
    void zoomAround(double frequencyMHz, double factor);
    void resetZoom();
    void moveCursorBy(double fractionOfView);
    void updateDescription();

    SwrPlotData m_data;
    SwrPlotView m_view;
    bool m_cursorFromKeys = false;
};
