#pragma once

// Placeholder until the SWR plot lands: the agreed interface, painting nothing.

#include "check_report.h"

#include <QWidget>

class SwrPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit SwrPlotWidget(QWidget* parent = nullptr);
    void setReport(const brevan::check::CheckReport& report);
};
