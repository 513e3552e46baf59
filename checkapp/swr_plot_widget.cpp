// SPDX-License-Identifier: GPL-3.0-or-later
#include "swr_plot_widget.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kZoomStep = 1.5;         // a key press or a wheel notch
constexpr double kFinestView = 1.0 / 200; // of the whole sweep: a few kHz at HF

} // namespace

SwrPlotWidget::SwrPlotWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("swrPlot"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("SWR plot"));
    m_view.caption = QStringLiteral("Point at the curves or use the arrow keys for a read-out; "
                                    "wheel or +/- to zoom, 0 to reset");
    updateDescription();
}

void SwrPlotWidget::setReport(const brevan::check::CheckReport& report) {
    const SwrPlotData before = m_data;
    m_data = swrPlotData(report);
    // A new check of the same design keeps the reader's zoom; another design starts whole.
    const bool keepView = !before.curves.empty() && before.designMHz == m_data.designMHz &&
                          m_view.lowMHz >= m_data.lowMHz && m_view.highMHz <= m_data.highMHz &&
                          m_view.highMHz > m_view.lowMHz;
    if (!keepView) {
        m_view.lowMHz = m_data.lowMHz;
        m_view.highMHz = m_data.highMHz;
    }
    if (m_view.cursorMHz && (m_data.curves.empty() || *m_view.cursorMHz < m_view.lowMHz ||
                             *m_view.cursorMHz > m_view.highMHz)) {
        m_view.cursorMHz.reset();
    }
    updateDescription();
    update();
    Q_EMIT readOutChanged(readOut());
}

QString SwrPlotWidget::readOut() const {
    return m_view.cursorMHz && hasCurves() ? readOutText(m_data, *m_view.cursorMHz) : QString();
}

double SwrPlotWidget::xForFrequency(double frequencyMHz) const {
    return frame().xAt(frequencyMHz);
}

QSize SwrPlotWidget::sizeHint() const {
    const int h = fontMetrics().height();
    return {h * 36, h * 20};
}

QSize SwrPlotWidget::minimumSizeHint() const {
    const int h = fontMetrics().height();
    return {h * 18, h * 12};
}

SwrPlotFrame SwrPlotWidget::frame() const {
    return swrPlotFrame(QFontMetricsF(font(), this), QRectF(rect()), m_data, m_view);
}

void SwrPlotWidget::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    const PlotColours colours = plotColours(palette());
    if (!hasCurves()) {
        painter.fillRect(rect(), colours.background);
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("The SWR plot appears here when the full-wave check has "
                                        "run."));
    } else {
        paintSwrPlot(painter, QRectF(rect()), m_data, m_view, colours);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.backgroundColor = colours.background;
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
}

void SwrPlotWidget::mouseMoveEvent(QMouseEvent* event) {
    const SwrPlotFrame f = frame();
    const double x = event->position().x();
    m_cursorFromKeys = false;
    if (hasCurves() && x >= f.area.left() && x <= f.area.right()) {
        pointAt(f.frequencyAt(x));
    } else {
        pointAt(std::nullopt);
    }
}

void SwrPlotWidget::mouseDoubleClickEvent(QMouseEvent* /*event*/) {
    resetZoom();
}

void SwrPlotWidget::leaveEvent(QEvent* /*event*/) {
    // A cursor put there from the keyboard stays when the pointer passes by.
    if (!m_cursorFromKeys) {
        pointAt(std::nullopt);
    }
}

void SwrPlotWidget::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / 120;
    if (!hasCurves() || notches == 0) {
        event->ignore();
        return;
    }
    const double at = frame().frequencyAt(event->position().x());
    zoomAround(std::clamp(at, m_view.lowMHz, m_view.highMHz), std::pow(kZoomStep, -notches));
    event->accept();
}

void SwrPlotWidget::keyPressEvent(QKeyEvent* event) {
    if (!hasCurves()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const double fine = (event->modifiers() & Qt::ShiftModifier) ? 0.1 : 0.01;
    const double centre = m_view.cursorMHz.value_or((m_view.lowMHz + m_view.highMHz) / 2);
    m_cursorFromKeys = true;
    switch (event->key()) {
    case Qt::Key_Left: moveCursorBy(-fine); break;
    case Qt::Key_Right: moveCursorBy(fine); break;
    case Qt::Key_Home: pointAt(m_view.lowMHz); break;
    case Qt::Key_End: pointAt(m_view.highMHz); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: zoomAround(centre, 1.0 / kZoomStep); break;
    case Qt::Key_Minus: zoomAround(centre, kZoomStep); break;
    case Qt::Key_0: resetZoom(); break;
    case Qt::Key_Escape:
        if (!m_view.cursorMHz) {
            QWidget::keyPressEvent(event);
            return;
        }
        pointAt(std::nullopt);
        break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void SwrPlotWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        update();
    }
    QWidget::changeEvent(event);
}

void SwrPlotWidget::pointAt(std::optional<double> frequencyMHz) {
    if (frequencyMHz == m_view.cursorMHz) {
        return;
    }
    m_view.cursorMHz = frequencyMHz;
    updateDescription();
    update();
    Q_EMIT readOutChanged(readOut());
}

void SwrPlotWidget::zoomAround(double frequencyMHz, double factor) {
    const double whole = m_data.highMHz - m_data.lowMHz;
    const double span = m_view.highMHz - m_view.lowMHz;
    const double wanted = std::clamp(span * factor, whole * kFinestView, whole);
    // The frequency under the pointer stays where it is on the screen.
    double low = frequencyMHz - (frequencyMHz - m_view.lowMHz) * wanted / span;
    low = std::clamp(low, m_data.lowMHz, m_data.highMHz - wanted);
    m_view.lowMHz = low;
    m_view.highMHz = low + wanted;
    updateDescription();
    update();
}

void SwrPlotWidget::resetZoom() {
    m_view.lowMHz = m_data.lowMHz;
    m_view.highMHz = m_data.highMHz;
    update();
}

// The cursor walks in steps of the visible range and pulls the view along at its edges.
void SwrPlotWidget::moveCursorBy(double fractionOfView) {
    const double span = m_view.highMHz - m_view.lowMHz;
    const double from = m_view.cursorMHz.value_or(m_data.designMHz);
    const double to = std::clamp(from + fractionOfView * span, m_data.lowMHz, m_data.highMHz);
    if (to < m_view.lowMHz) {
        m_view.lowMHz = to;
        m_view.highMHz = to + span;
    } else if (to > m_view.highMHz) {
        m_view.highMHz = to;
        m_view.lowMHz = to - span;
    }
    pointAt(to);
    update();
}

void SwrPlotWidget::updateDescription() {
    if (!hasCurves()) {
        setAccessibleDescription(QStringLiteral("No SWR plot: the full-wave check has not run."));
        return;
    }
    const int decimals = readOutDecimals(m_data.highMHz - m_data.lowMHz);
    QString text = QStringLiteral("SWR on 50 ohm of the antennas from ") +
                   mhzText(m_view.lowMHz, decimals) + QStringLiteral(" to ") +
                   mhzText(m_view.highMHz, decimals) + QStringLiteral(" MHz.");
    if (m_view.cursorMHz) {
        text += QStringLiteral(" ") + readOut();
    }
    setAccessibleDescription(text);
}
