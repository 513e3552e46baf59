// SPDX-License-Identifier: GPL-3.0-or-later
// The window laid out as a person first sees it, on whatever screen it opens (the offscreen
// screen is small, and smaller still at scale 2: the hard case): every antenna row in view, the
// verdict whole, no pane collapsed, and nothing painted light on a dark theme.

#include "window_fixture.h"

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>

namespace {

// A window made after the settings are emptied: its first size, not one a test left.
class FirstLayout : public WindowTest {
protected:
    void SetUp() override {
        QSettings().clear();
        WindowTest::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
};

TEST_F(FirstLayout, FitsItsScreenWithNoPaneCollapsed) {
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_LE(window->width(), screen.width());
    EXPECT_LE(window->height(), screen.height());
    for (const char* name : {"mainSplitter", "resultSplitter"}) {
        for (const int size : find<QSplitter>(name)->sizes()) {
            EXPECT_GT(size, 0) << name;
        }
    }
}

TEST_F(FirstLayout, TheAntennaTableShowsEveryRowOnceChecked) {
    ASSERT_TRUE(waitForCheck());
    find<QTabWidget>("resultTabs")->setCurrentIndex(0);
    QCoreApplication::processEvents();
    const auto* antennas = find<QTableWidget>("antennaTable");
    ASSERT_EQ(antennas->rowCount(), 7);
    int rows = 0;
    for (int row = 0; row < antennas->rowCount(); ++row) {
        rows += antennas->rowHeight(row);
    }
    EXPECT_GE(antennas->viewport()->height(), rows);
    // A short window scrolls the page rather than squeezing the table.
    const auto* page = find<QScrollArea>("antennaScroll");
    EXPECT_GE(page->widget()->height(), antennas->height());
}

// How exactly to build it, under the trim: a row per difference and what matters most.
TEST_F(FirstLayout, TheToleranceTableShowsEveryDifferenceOnceChecked) {
    ASSERT_TRUE(waitForCheck());
    find<QTabWidget>("resultTabs")->setCurrentIndex(0);
    QCoreApplication::processEvents();
    const auto* tolerances = find<QTableWidget>("toleranceTable");
    ASSERT_EQ(tolerances->rowCount(), 6);
    EXPECT_TRUE(tolerances->isVisible());
    EXPECT_EQ(tolerances->verticalHeaderItem(0)->text(), QStringLiteral("1 turn more / fewer"));
    // The typical design is close-wound, in free space.
    EXPECT_TRUE(tolerances->item(2, 0)->text().startsWith(QStringLiteral("does not apply")));
    EXPECT_TRUE(tolerances->item(5, 0)->text().startsWith(QStringLiteral("does not apply")));
    EXPECT_TRUE(tolerances->item(1, 0)->text().contains(QStringLiteral(" kHz / ")));
    int rows = 0;
    for (int row = 0; row < tolerances->rowCount(); ++row) {
        rows += tolerances->rowHeight(row);
    }
    EXPECT_GE(tolerances->viewport()->height(), rows);
    EXPECT_TRUE(find<QLabel>("toleranceLabel")->text().contains(QStringLiteral("matters most")));
}

TEST_F(FirstLayout, TheVerdictIsWholeInItsPane) {
    ASSERT_TRUE(waitForCheck());
    QCoreApplication::processEvents();
    const auto* verdict = find<QLabel>("verdictLabel");
    ASSERT_FALSE(verdict->text().isEmpty());
    // Word-wrapped to its width, the label is as tall as its text needs; the pane scrolls to it.
    EXPECT_GE(verdict->height(), verdict->heightForWidth(verdict->width()));
    const auto* pane = find<QScrollArea>("summaryScroll");
    EXPECT_GE(pane->widget()->height(), verdict->geometry().bottom());
}

// A dark theme's palette reaches every part: no panel, plot or drawing keeps a light ground.
TEST(DarkPalette, NoPartOfTheCheckedWindowIsPaintedLight) {
    QSettings().clear();
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    const QColor ground(0x23, 0x26, 0x29);
    for (const auto role :
         {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::AlternateBase}) {
        dark.setColor(role, ground);
    }
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(role, QColor(0xee, 0xee, 0xee));
    }
    QApplication::setPalette(dark);

    auto recorded = std::make_shared<Recorded>();
    CheckWindow window(recordingServices(recorded));
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&window] { return window.checkDone(); }, 60000));
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("resultTabs"));
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        const QImage image = window.grab().toImage();
        int light = 0;
        int all = 0;
        for (int y = 0; y < image.height(); y += 3) {
            for (int x = 0; x < image.width(); x += 3) {
                light += QColor(image.pixel(x, y)).lightnessF() > 0.7 ? 1 : 0;
                ++all;
            }
        }
        // Text and curves are light on a dark theme; a light ground would be most of a page.
        EXPECT_LT(light, all / 8) << tabs->tabText(tab).toStdString();
    }
    QApplication::setPalette(before);
}

} // namespace
