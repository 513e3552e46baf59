#include "swr_plot_widget.h"

SwrPlotWidget::SwrPlotWidget(QWidget* parent) : QWidget(parent) {}

void SwrPlotWidget::setReport(const brevan::check::CheckReport& /*report*/) {}
