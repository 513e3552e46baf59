// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording_window.h"
#include "window_layout.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>

using layout::ControlSpec;
using layout::Kind;

namespace {

QRect twipsRect(const ControlSpec& s) {
    return {s.left, s.top, s.width, s.height};
}

QRect absoluteTwips(const ControlSpec& s) {
    QRect r = twipsRect(s);
    if (s.parent != nullptr) {
        r.translate(twipsRect(*layout::findControl(s.parent)).topLeft());
    }
    return r;
}

TEST(LayoutTable, NamesUniqueAndEveryControlInsideItsContainer) {
    QSet<QString> names;
    const QRect client(0, 0, layout::kClientWidth, layout::kClientHeight);
    for (const ControlSpec& s : layout::kControls) {
        EXPECT_FALSE(names.contains(QLatin1String(s.name))) << s.name;
        names.insert(QLatin1String(s.name));
        EXPECT_TRUE(client.contains(absoluteTwips(s))) << s.name;
        if (s.parent != nullptr) {
            const ControlSpec* parent = layout::findControl(s.parent);
            ASSERT_NE(parent, nullptr) << s.name;
            EXPECT_EQ(parent->kind, Kind::Frame) << s.name;
            EXPECT_TRUE(QRect(0, 0, parent->width, parent->height).contains(twipsRect(s)))
                << s.name;
        }
    }
}

TEST(LayoutTable, FramesOnViewTogetherNeverOverlap) {
    // Pages: step 1, step 2, summary; the top row and the footer are on view with each of them.
    const std::vector<std::vector<const char*>> pages = {
        {"Frame3"}, {"Frame4"}, {"Frame6", "Frame5"}};
    const std::vector<const char*> always = {"Frame1", "Image1", "Frame2", "Label5", "Label11"};
    for (const auto& page : pages) {
        std::vector<const char*> onView = always;
        onView.insert(onView.end(), page.begin(), page.end());
        for (std::size_t i = 0; i < onView.size(); ++i) {
            for (std::size_t j = i + 1; j < onView.size(); ++j) {
                const QRect a = absoluteTwips(*layout::findControl(onView[i]));
                const QRect b = absoluteTwips(*layout::findControl(onView[j]));
                EXPECT_FALSE(a.intersects(b)) << onView[i] << " and " << onView[j];
            }
        }
    }
}

TEST(MainWindow, StartsOnStepOneWithEveryBoxBlank) {
    RecordingWindow w;
    EXPECT_EQ(w.window->windowTitle(),
              QStringLiteral("Loaded Dipole Antenna for restricted space ( metric units)"));
    EXPECT_EQ(w.window->size(), QSize(643, 373));
    EXPECT_FALSE(w.window->windowIcon().isNull());

    for (const ControlSpec& s : layout::kControls) {
        if (s.kind == Kind::TextBox) {
            EXPECT_EQ(w.text(s.name), QStringLiteral(" ")) << s.name;
        }
        QWidget* widget = w.child<QWidget>(s.name);
        ASSERT_NE(widget, nullptr) << s.name;
        const bool button = s.kind == Kind::Button;
        EXPECT_EQ(widget->isEnabled(), !button) << s.name;
    }
    const std::pair<const char*, bool> frames[] = {{"Frame1", true},  {"Frame2", true},
                                                   {"Frame3", true},  {"Frame4", false},
                                                   {"Frame5", false}, {"Frame6", false}};
    for (const auto& [name, visible] : frames) {
        EXPECT_EQ(w.frame(name)->isVisible(), visible) << name;
    }
    EXPECT_TRUE(w.child<QLabel>("Image1")->isVisible());
    EXPECT_EQ(w.combo("cmbSWG1")->currentText(), QStringLiteral("14"));
    EXPECT_EQ(w.combo("cmbSWG2")->currentText(), QStringLiteral("20"));
    EXPECT_TRUE(w.messages.isEmpty());
}

TEST(MainWindow, GaugeListsHoldTheElevenEvenGauges) {
    RecordingWindow w;
    for (const char* name : {"cmbSWG1", "cmbSWG2"}) {
        QStringList items;
        for (int i = 0; i < w.combo(name)->count(); ++i) {
            items << w.combo(name)->itemText(i);
            EXPECT_EQ(w.combo(name)->itemData(i).toInt(), 0);
        }
        EXPECT_EQ(items.join(QLatin1Char(',')), QStringLiteral("10,12,14,16,18,20,22,24,26,28,30"))
            << name;
    }
}

TEST(MainWindow, TabOrderFollowsTheLayoutAndFocusStartsOnFrequency) {
    RecordingWindow w;
    QApplication::setActiveWindow(w.window.get());
    EXPECT_EQ(QApplication::focusWidget(), w.edit("txtF"));

    const QStringList expected =
        QStringLiteral(
            "txtF txtA txtB cmbSWG1 Command1 txtD1 txtB1 cmbSWG2 Command2 txtB2 txtDD1 txtSWG2 L "
            "txtFF txtAA txtBB txtSWG1 txtN")
            .split(QLatin1Char(' '));
    QStringList chain;
    QWidget* widget = w.edit("txtF");
    do {
        if (widget->focusPolicy() & Qt::TabFocus && expected.contains(widget->objectName())) {
            chain << widget->objectName();
        }
        widget = widget->nextInFocusChain();
    } while (widget != w.edit("txtF"));
    EXPECT_EQ(chain, expected);
}

TEST(MainWindow, ResultBoxesLockedAndSummaryInLargeBoldType) {
    RecordingWindow w;
    for (const char* name : {"txtN", "txtB2", "L"}) {
        EXPECT_TRUE(w.edit(name)->isReadOnly()) << name;
    }
    for (const char* name :
         {"txtFF", "txtAA", "txtBB", "txtSWG1", "txtDD1", "txtSWG2", "txtF", "txtD1"}) {
        EXPECT_FALSE(w.edit(name)->isReadOnly()) << name;
    }
    for (const char* name :
         {"txtFF", "txtAA", "txtBB", "txtSWG1", "txtDD1", "txtSWG2", "txtN", "txtB2", "L"}) {
        EXPECT_TRUE(w.edit(name)->font().bold()) << name;
        EXPECT_EQ(w.edit(name)->font().pixelSize(), 16) << name;
    }
    EXPECT_FALSE(w.edit("txtF")->font().bold());

    auto* credit = w.child<QLabel>("Label11");
    EXPECT_EQ(credit->text(), QStringLiteral("Programed by Tolvane"));
    EXPECT_EQ(credit->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(credit->cursor().shape(), Qt::OpenHandCursor);
}

TEST(MainWindow, InputAndResultBoxesHaveAccessibleNames) {
    RecordingWindow w;
    QSet<QString> seen;
    for (const ControlSpec& s : layout::kControls) {
        if (s.kind == Kind::TextBox || s.kind == Kind::ComboBox || s.kind == Kind::Button) {
            const QString name = w.child<QWidget>(s.name)->accessibleName();
            EXPECT_FALSE(name.isEmpty()) << s.name;
            // Boxes on view together must be told apart by ear.
            const QString page = QLatin1String(s.parent) + QLatin1Char('/') + name;
            EXPECT_FALSE(seen.contains(page)) << s.name;
            seen.insert(page);
        }
    }
}

// Every caption, label text and frame title is shown whole inside its box at the window's
// fonts; a label may wrap at word boundaries when its box is tall enough for the lines.
TEST(MainWindow, EveryCaptionFitsItsBox) {
    RecordingWindow w;
    for (const ControlSpec& s : layout::kControls) {
        QWidget* widget = w.child<QWidget>(s.name);
        const QFontMetrics metrics(widget->font());
        const QString text = QString::fromUtf8(s.text);
        if (s.kind == Kind::Label) {
            const QRect needed =
                metrics.boundingRect(QRect(0, 0, widget->width(), 10000), Qt::TextWordWrap, text);
            EXPECT_LE(needed.width(), widget->width()) << s.name;
            EXPECT_LE(needed.height(), widget->height()) << s.name;
            if (widget->height() < 2 * metrics.height()) {
                EXPECT_LE(metrics.horizontalAdvance(text), widget->width()) << s.name;
            }
        } else if (s.kind == Kind::Frame) {
            EXPECT_LE(metrics.horizontalAdvance(text) + 2 * metrics.averageCharWidth(),
                      widget->width())
                << s.name;
        } else if (s.kind == Kind::Button) {
            EXPECT_LE(metrics.horizontalAdvance(text), widget->width() - 8) << s.name;
            EXPECT_LE(metrics.height(), widget->height() - 4) << s.name;
        } else if (s.kind == Kind::TextBox) {
            EXPECT_LE(metrics.height(), widget->height() - 2) << s.name;
        }
    }
}

// The window's handlers rely on the line edit's own change signal: a write from code raises it
// at once, inside the write, and writing the text already shown raises nothing.
TEST(TextBox, ChangeSignalIsSynchronousAndOnlyForARealChange) {
    QLineEdit edit(QStringLiteral(" "));
    QStringList seen;
    QObject::connect(&edit, &QLineEdit::textChanged, &edit,
                     [&seen](const QString& text) { seen << text; });
    edit.setText(QStringLiteral("7.1"));
    EXPECT_EQ(seen, QStringList{QStringLiteral("7.1")});
    edit.setText(QStringLiteral("7.1"));
    EXPECT_EQ(seen.size(), 1);
    edit.setText(QString());
    EXPECT_EQ(seen.size(), 2);
}

TEST(CreditLabel, EachClickOpensTheAuthorsPageAndChangesNothingElse) {
    RecordingWindow w;
    w.edit("txtF")->setText(QStringLiteral("7."));
    const brevan::DesignState before = w.window->design();
    QTest::mouseClick(w.child<QLabel>("Label11"), Qt::LeftButton);
    QTest::mouseClick(w.child<QLabel>("Label11"), Qt::LeftButton);
    ASSERT_EQ(w.urls.size(), 2);
    EXPECT_EQ(w.urls[0].scheme(), QStringLiteral("https"));
    EXPECT_EQ(w.urls[0], w.urls[1]);
    EXPECT_EQ(w.text("txtF"), QStringLiteral("7."));
    EXPECT_EQ(std::memcmp(&before, &w.window->design(), sizeof before), 0);
    EXPECT_TRUE(w.frame("Frame3")->isVisible());
}

TEST(CreditLabel, AFailedOpenShowsNothing) {
    UiServices services;
    QStringList messages;
    services.showMessage = [&messages](QWidget*, const QString& m) { messages << m; };
    services.openUrl = [](const QUrl&) { return false; };
    frmBrevan1 window(services);
    window.Label11_Click();
    EXPECT_TRUE(messages.isEmpty());
}

TEST(MessageBox, HasOneOkButtonAndNoTitleOfItsOwn) {
    QWidget owner;
    QString title = QStringLiteral("unset");
    int buttons = -1;
    QString text;
    // The real box is modal; close it from the event loop it runs.
    QTimer::singleShot(0, &owner, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        buttons = static_cast<int>(box->buttons().size());
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    UiServices::desktop().showMessage(&owner, QStringLiteral("Type only numbers"));
    EXPECT_EQ(title, QString());
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(text, QStringLiteral("Type only numbers"));
}

} // namespace
