#pragma once

// Placeholder until the dipole drawing lands: the agreed interface, painting nothing.

#include "check_report.h"

#include <QWidget>

#include <string>
#include <vector>

struct MarkedLength {
    std::string label;
    double metres = 0.0;
};

std::vector<MarkedLength> markedLengths(const brevan::check::CheckReport& report);

class DipoleDrawing : public QWidget {
    Q_OBJECT
public:
    explicit DipoleDrawing(QWidget* parent = nullptr);
    void setReport(const brevan::check::CheckReport& report);
};
