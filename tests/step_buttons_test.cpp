// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording_window.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Types into a box as the program itself never does: through the box's text, so that its
// change handler runs just as it does for keystrokes.
void enter(RecordingWindow& w, const char* box, const char* text) {
    w.edit(box)->setText(QString::fromLatin1(text));
}

void fillStepOne(RecordingWindow& w, const char* f, const char* a, const char* b,
                 const char* gauge) {
    enter(w, "txtF", f);
    enter(w, "txtA", a);
    enter(w, "txtB", b);
    w.combo("cmbSWG1")->setCurrentText(QLatin1String(gauge));
}

QStringList changesOf(QLineEdit* edit, const std::function<void()>& action) {
    QStringList seen;
    const auto connection = QObject::connect(edit, &QLineEdit::textChanged, edit,
                                             [&seen](const QString& t) { seen << t; });
    action();
    QObject::disconnect(connection);
    return seen;
}

// The typical design of the README, clicked through to the summary.
void runTypicalDesign(RecordingWindow& w, const char* f, const char* a, const char* b,
                      const char* former) {
    fillStepOne(w, f, a, b, "16");
    QTest::mouseClick(w.button("Command1"), Qt::LeftButton);
    enter(w, "txtD1", former);
    enter(w, "txtB1", "40");
    QTest::mouseClick(w.button("Command2"), Qt::LeftButton);
}

bool sameState(const brevan::DesignState& a, const brevan::DesignState& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(StepOne, WorkedExamplesThroughTheWindow) {
    struct Row {
        const char *f, *a, *b, *gauge, *written, *shown;
    };
    const Row rows[] = {
        {"7.05", "15", "3", "16", "7.17692396135787", "7.1"},
        {"3.6", "30", "8", "14", "18.3668811962878", "18.3"},
        {"14.1", "8", "2", "20", "3.41836127094353", "3.4"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.f);
        RecordingWindow w;
        fillStepOne(w, r.f, r.a, r.b, r.gauge);
        ASSERT_TRUE(w.button("Command1")->isEnabled());
        const QStringList written = changesOf(
            w.edit("L"), [&] { QTest::mouseClick(w.button("Command1"), Qt::LeftButton); });
        // The full text goes in and the box's own handler, running nested inside that write,
        // cuts it to 0.1 uH; this observer hears the nested change before the outer one.
        EXPECT_EQ(written, (QStringList{QLatin1String(r.shown), QLatin1String(r.written)}));
        EXPECT_EQ(w.text("L"), QLatin1String(r.shown));
        EXPECT_EQ(QString::number(w.window->design().inductance, 'g', 15),
                  QLatin1String(r.written));
        EXPECT_FALSE(w.frame("Frame3")->isVisible());
        EXPECT_TRUE(w.frame("Frame4")->isVisible());
        EXPECT_FALSE(w.frame("Frame5")->isVisible());
        EXPECT_FALSE(w.frame("Frame6")->isVisible());
        EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(QLatin1Char('|')).toStdString();
    }
}

struct StepTwoRow {
    const char* name;
    double inductance;
    const char *former, *coil, *gauge;
    QStringList turns; // each distinct text txtN shows, in pass order
    const char* revised;
};

TEST(StepTwo, WorkedExamplesThroughTheWindow) {
    const StepTwoRow rows[] = {
        {"settles", 20, "50", "40", "18", {"22", "19"}, "Revised length = 22 mm"},
        {"ten_passes", 10, "10", "10", "10",
         QStringLiteral("38 113 193 253 289 309 319 325 327 329").split(QLatin1Char(' ')),
         "Revised length = 1069 mm"},
    };
    for (const StepTwoRow& r : rows) {
        SCOPED_TRACE(r.name);
        RecordingWindow w;
        fillStepOne(w, "7.05", "15", "3", "16");
        QTest::mouseClick(w.button("Command1"), Qt::LeftButton);
        w.window->design().inductance = r.inductance; // step 2 reads the stored value
        enter(w, "txtD1", r.former);
        enter(w, "txtB1", r.coil);
        w.combo("cmbSWG2")->setCurrentText(QLatin1String(r.gauge));
        ASSERT_TRUE(w.button("Command2")->isEnabled());

        const QStringList turns = changesOf(
            w.edit("txtN"), [&] { QTest::mouseClick(w.button("Command2"), Qt::LeftButton); });
        EXPECT_EQ(turns, r.turns);
        EXPECT_EQ(w.text("txtB2"), QLatin1String(r.revised));
        EXPECT_EQ(w.text("txtDD1"), QLatin1String(r.former));
        EXPECT_EQ(w.text("txtSWG2"), QLatin1String(r.gauge));
        EXPECT_EQ(w.window->design().coilLength, w.window->design().windingLength);
    }
}

TEST(StepTwo, UsesTheFullPrecisionInductanceNotTheShownOne) {
    RecordingWindow w;
    fillStepOne(w, "7.05", "15", "3", "16");
    QTest::mouseClick(w.button("Command1"), Qt::LeftButton);
    EXPECT_EQ(w.text("L"), QStringLiteral("7.1"));
    enter(w, "txtD1", "50");
    enter(w, "txtB1", "40");
    QTest::mouseClick(w.button("Command2"), Qt::LeftButton);
    EXPECT_EQ(w.text("txtN"), QStringLiteral("9"));
    EXPECT_EQ(w.text("txtB2"), QStringLiteral("Revised length = 7 mm"));
}

TEST(Summary, CopiesInputsAsTypedAndReformatsTheNumbers) {
    RecordingWindow w;
    runTypicalDesign(w, "7.10", "15.0", " 3", "050");
    const std::pair<const char*, const char*> expected[] = {
        {"txtFF", "7.1"},  {"txtAA", "15.0"}, {"txtBB", " 3"},
        {"txtSWG1", "16"}, {"txtDD1", "50"},  {"txtSWG2", "20"},
    };
    for (const auto& [box, text] : expected) {
        EXPECT_EQ(w.text(box), QLatin1String(text)) << box;
    }
}

TEST(Pages, MoveForwardOnlyAndStayOnTheSummary) {
    RecordingWindow w;
    runTypicalDesign(w, "7.05", "15", "3", "50");
    for (const char* name : {"Frame3", "Frame4"}) {
        EXPECT_FALSE(w.frame(name)->isVisible()) << name;
    }
    for (const char* name : {"Frame5", "Frame6", "Frame1", "Frame2"}) {
        EXPECT_TRUE(w.frame(name)->isVisible()) << name;
    }
    // Neither OK button can be reached any more.
    EXPECT_FALSE(w.button("Command1")->isVisible());
    EXPECT_FALSE(w.button("Command2")->isVisible());
}

struct RefusalRow {
    const char* name;
    const char *f, *a, *b, *gauge;
    const char* message;
};

TEST(StepOne, UndefinedDesignsAreRefusedAndNothingMoves) {
    const RefusalRow rows[] = {
        {"zero_frequency", "0", "15", "3", "16",
         "The frequency reads as 0 MHz. Enter the design frequency (1.5 to 30 MHz)."},
        {"lone_full_stop", ".", "15", "3", "16",
         "The frequency reads as 0 MHz. Enter the design frequency (1.5 to 30 MHz)."},
        {"no_wire_beyond_coil", "7.05", "6", "3", "16",
         "A must be more than twice B, so that wire is left beyond each coil. Enter a longer A "
         "or a shorter B."},
        {"coil_beyond_quarter_wave", "7.05", "100", "40", "16",
         "B is too long for this frequency: each coil must sit within a quarter wave (234 / F "
         "ft) of the centre. Enter a shorter B or a lower frequency."},
        {"gauge_not_a_number", "7.05", "15", "3", "abc",
         "Pick the antenna wire SWG from the list (10 to 30)."},
        {"gauge_without_row", "7.05", "15", "3", "15",
         "Pick the antenna wire SWG from the list (10 to 30)."},
        {"gauge_blank", "7.05", "15", "3", "",
         "Pick the antenna wire SWG from the list (10 to 30)."},
        {"overflowing_length", "7.05", "1e400", "3", "16",
         "These numbers are too large to design with. Check the frequency, A and B."},
    };
    for (const RefusalRow& r : rows) {
        SCOPED_TRACE(r.name);
        RecordingWindow w;
        fillStepOne(w, r.f, r.a, r.b, r.gauge);
        w.messages.clear(); // the advisory range messages while typing are not under test here
        const brevan::DesignState before = w.window->design();
        w.window->Command1_Click();
        EXPECT_EQ(w.messages, QStringList{QLatin1String(r.message)});
        EXPECT_TRUE(sameState(before, w.window->design()));
        EXPECT_TRUE(w.frame("Frame3")->isVisible());
        EXPECT_FALSE(w.frame("Frame4")->isVisible());
        EXPECT_EQ(w.text("L"), QStringLiteral(" "));
    }
}

TEST(StepOne, ACorrectedInputGoesThroughAfterARefusal) {
    RecordingWindow w;
    fillStepOne(w, "7.05", "15", "3", "15");
    w.window->Command1_Click();
    w.combo("cmbSWG1")->setCurrentText(QStringLiteral("16"));
    w.window->Command1_Click();
    EXPECT_EQ(w.text("L"), QStringLiteral("7.1"));
}

TEST(StepTwo, UndefinedDesignsAreRefusedAndNothingMoves) {
    struct Row {
        const char* name;
        double inductance;
        const char *former, *coil, *gauge, *message;
    };
    const Row rows[] = {
        {"zero_former", 7.2, "0", "40", "20",
         "The coil former diameter must be more than 0 mm. Enter the former diameter."},
        {"negative_inductance", -2.5, "50", "40", "20",
         "The inductance from step 1 is negative, so no coil can be wound for it. Start the "
         "program again with a longer A or a shorter B."},
        {"gauge_not_a_number", 7.2, "50", "40", "x",
         "Pick the coil wire SWG from the list (10 to 30)."},
        {"gauge_without_row", 7.2, "50", "40", "21",
         "Pick the coil wire SWG from the list (10 to 30)."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        RecordingWindow w;
        fillStepOne(w, "7.05", "15", "3", "16");
        w.window->Command1_Click();
        w.window->design().inductance = r.inductance;
        enter(w, "txtD1", r.former);
        enter(w, "txtB1", r.coil);
        w.combo("cmbSWG2")->setCurrentText(QLatin1String(r.gauge));
        w.messages.clear();
        const brevan::DesignState before = w.window->design();
        w.window->Command2_Click();
        EXPECT_EQ(w.messages, QStringList{QLatin1String(r.message)});
        EXPECT_TRUE(sameState(before, w.window->design()));
        EXPECT_TRUE(w.frame("Frame4")->isVisible());
        EXPECT_FALSE(w.frame("Frame5")->isVisible());
        for (const char* box : {"txtN", "txtB2", "txtFF", "txtDD1"}) {
            EXPECT_EQ(w.text(box), QStringLiteral(" ")) << box;
        }
    }
}

} // namespace
