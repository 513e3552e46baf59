// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One half of the dipole drawn to scale along the wire, feed point at the left and tip at the
// right, with each length of the cut list written on it; beside it the coil with its turns,
// former and winding length. An inverted V is cut the same; a small sketch shows its angle. The
// painting is a free function over a painter and a rectangle, so the window's widget and the
// printed build sheet draw the same picture.
//
//   CheckReport --markedLengths--> the pieces of one half, feed to tip, as the cut list has them
//   CheckReport --paintDipoleDrawing(painter, rect)--> picture

#include "check_report.h"

#include <QColor>
#include <QLineF>
#include <QPalette>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class QFontMetricsF;
class QPainter;

// The calibration to a measured sweep has found the cut: it, not the model's trim, is drawn.
bool cutFromSweep(const brevan::check::CheckReport& report);
// The change of each tip drawn: the measured sweep's cut when there is one, else the model's
// trim (none when no trim reaches F).
std::optional<double> shownTipChange(const brevan::check::CheckReport& report);

// An inverted V as it will hang: the trimmed antenna's shape, or the built one's when no trim
// reaches F; nothing for the straight wire or before the full-wave check.
std::optional<brevan::check::WireShape> hungShape(const brevan::check::CheckReport& report);

struct MarkedLength {
    std::string label; // "Inner wire", "Coil", "Outer wire", "Trim", "Spare"
    double metres = 0.0;
};

// The pieces of one half from the feed point out: the inner wire (none when the coils sit at
// the feed), the coil's winding, the outer wire as designed, the trim of the tip (signed, + adds
// wire; the measured sweep's cut when there is one; none when no trim reaches F) and the spare left
// for the final adjustment.
std::vector<MarkedLength> markedLengths(const brevan::check::CheckReport& report);

struct DrawingColours {
    QColor background;
    QColor text;
    QColor wire;
    QColor coil;
    QColor former;
    QColor trimAdded;
    QColor trimCut;
    QColor spare;
};
DrawingColours drawingColours(const QPalette& palette);

// Uses the painter's font for the labels; line widths grow with it.
void paintDipoleDrawing(QPainter& painter, const QRectF& rect,
                        const brevan::check::CheckReport& report, const DrawingColours& colours);

// Where the drawing puts the half dipole, the coil and the words along the wire: no words
// overlap others, and no leader (the dotted line from the wire to a length's line) runs through
// words. Where the height allows a coil of a readable size under the wire, the coil goes there;
// otherwise beside it, with the half dipole in the middle of the height.
struct DrawnText {
    QString text;
    QRectF box;
};
struct DipoleLayout {
    QRectF wirePart;
    QRectF coilPart;
    double wireY = 0.0;
    std::vector<DrawnText> texts; // "feed", "tip" and the words of every length
    std::vector<QLineF> leaders;
};
DipoleLayout dipoleLayout(const QRectF& rect, const brevan::check::CheckReport& report,
                          const QFontMetricsF& metrics);

class DipoleDrawing : public QWidget {
    Q_OBJECT

public:
    explicit DipoleDrawing(QWidget* parent = nullptr);

    void setReport(const brevan::check::CheckReport& report);
    void clearReport();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<brevan::check::CheckReport> m_report;
};
