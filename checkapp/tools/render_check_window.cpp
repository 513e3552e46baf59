// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the check window with the typical design and its full-wave check done (nec2c runs for
// real) to PNG files, one for each of the tabs a builder reads first: the three antennas, the
// SWR plot, the dipole drawing and the coil-position study. For the README and for looking at the
// layout at any scale:
//   QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 brevan_render_check_window <folder> [--dark]
// --dark paints the window with a dark palette, as a dark desktop theme does.

#include "check_window.h"
#include "study_panel.h"
#include "swr_plot_widget.h"

#include "picture_text.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QTabWidget>
#include <QThread>

#include <cstdio>
#include <functional>

namespace {

// The size the pictures are taken at, in logical pixels: the window's first size on a
// 1280 x 800 screen.
constexpr QSize kPictureSize(1180, 740);

// Each picture names the tab's page by its object name, so that a tab added in between does
// not change which page a picture shows.
struct Page {
    const char* widget;
    const char* name;
};
constexpr Page kPages[] = {{"antennaScroll", "antennas"},
                           {"swrPlot", "swr-plot"},
                           {"dipoleDrawing", "dipole"},
                           {"studyPanel", "coil-position"}};

QPalette darkPalette() {
    QPalette p;
    const QColor window(0x2a, 0x2d, 0x31);
    const QColor base(0x1e, 0x20, 0x23);
    const QColor text(0xe8, 0xe8, 0xe8);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
    p.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
    p.setColor(QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::Link, QColor(0x6c, 0xc4, 0xff));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    return p;
}

bool waitFor(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(120000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    return done();
}

bool waitForCheck(const CheckWindow& window) {
    return waitFor([&window] { return window.checkDone(); });
}

// The study run from its button, as a person would, and waited for.
bool runStudy(QWidget* tab) {
    auto* panel = qobject_cast<StudyPanel*>(tab);
    auto* run = tab->findChild<QPushButton*>(QStringLiteral("runStudy"));
    if (panel == nullptr || run == nullptr) {
        return false;
    }
    run->click();
    return waitFor([panel] { return panel->studied().has_value(); });
}

// The pointer over the plot, a little above the design frequency, so the picture shows the
// read-out of frequency and SWR.
void pointAt(QWidget* plot) {
    const QPointF at(plot->width() * 0.52, plot->height() * 0.45);
    QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(plot, &move);
}

bool save(QWidget& window, const QString& folder, const char* page, bool dark) {
    const QString path = QDir(folder).filePath(
        QStringLiteral("%1%2@%3x.png")
            .arg(QLatin1String(page), dark ? QStringLiteral("-dark") : QString(),
                 QString::number(window.devicePixelRatioF())));
    const bool ok = picture_text::savePicture(window, path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("BrevanCheck"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));
    // Settings of its own, emptied: a size or splitter a person left must not shape the picture.
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setOrganizationName(QStringLiteral("BrevanPictures"));
    QSettings().clear();

    const QStringList arguments = QApplication::arguments();
    const QString folder = arguments.size() > 1 ? arguments.at(1) : QStringLiteral(".");
    const bool dark = arguments.contains(QStringLiteral("--dark"));
    if (dark) {
        QApplication::setPalette(darkPalette());
    }
    QDir().mkpath(folder);

    WindowServices quiet;
    quiet.showMessage = [](QWidget*, const QString& message) {
        std::fprintf(stderr, "message: %s\n", qPrintable(message));
    };
    quiet.askUnsaved = [](QWidget*, const QString&) { return UnsavedAnswer::Discard; };
    quiet.openFileName = [](QWidget*, const QString&, const QString&, const QString&) {
        return QString();
    };
    quiet.saveFileName = quiet.openFileName;
    CheckWindow window(quiet);
    window.resize(kPictureSize);
    window.show();
    if (!waitForCheck(window)) {
        std::fprintf(stderr, "the full-wave check did not finish; is nec2c installed?\n");
        return 1;
    }

    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("resultTabs"));
    bool ok = tabs != nullptr;
    for (const Page& page : kPages) {
        if (!ok) {
            break;
        }
        const int tab = tabs->indexOf(tabs->findChild<QWidget*>(QLatin1String(page.widget)));
        if (tab < 0) {
            std::fprintf(stderr, "no tab shows %s\n", page.widget);
            return 1;
        }
        tabs->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        if (qobject_cast<SwrPlotWidget*>(tabs->currentWidget()) != nullptr) {
            pointAt(tabs->currentWidget());
        }
        if (qobject_cast<StudyPanel*>(tabs->currentWidget()) != nullptr &&
            !runStudy(tabs->currentWidget())) {
            std::fprintf(stderr, "the study did not finish\n");
            return 1;
        }
        ok = save(window, folder, page.name, dark);
    }
    return ok ? 0 : 1;
}
