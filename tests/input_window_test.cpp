// SPDX-License-Identifier: GPL-3.0-or-later
// The input boxes, their messages and the two OK buttons' gates, driven through the real window.

#include "input_window_fixture.h"

#include <QGroupBox>
#include <QLocale>
#include <QSignalSpy>

#include <string>
#include <vector>

using brevan::Control;

namespace {

enum class Act { Type, Backspace, Paste, WriteL };

// One user action: keys typed into a box, backspaces, text pasted at the cursor (it reaches the
// box without key presses), or a write into L as step 1 does it.
struct Step {
    Act act;
    const char* box;
    const char* text = "";
};

Step typed(const char* box, const char* keys) {
    return {Act::Type, box, keys};
}
Step erased(const char* box) {
    return {Act::Backspace, box};
}
Step pasted(const char* box, const char* text) {
    return {Act::Paste, box, text};
}
Step writtenToL(const char* text) {
    return {Act::WriteL, "L", text};
}

const QString kRange = QStringLiteral("Input HF range only (1.5 to 30MHz)");
const QString kNoFrequency = QStringLiteral("Input a value for frequency");

QString aLarger(const char* feet) {
    return "A ahould be larger than " + QString(feet) + " ft";
}
QString aSmaller(const char* feet) {
    return " A should be smaller than  " + QString(feet) + " ft";
}
QString bLower(const char* feet) {
    return "B should be lower than " + QString(feet) + " ft";
}

class InputBoxes : public InputWindowTest {
protected:
    void run(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            switch (step.act) {
            case Act::Type: type(step.box, step.text); break;
            case Act::Backspace: backspace(step.box); break;
            case Act::Paste: edit(step.box)->insert(QString::fromLatin1(step.text)); break;
            case Act::WriteL: window().setText(Control::L, step.text); break;
            }
        }
    }
    void showStep2Panel() { window().setVisible(Control::Frame4, true); }
};

struct MessageCase {
    const char* name;
    std::vector<Step> steps;
    QStringList expected;
    float maxLengthA;
    float maxDistB;
};

TEST_F(InputBoxes, MessagesAndLimitsFollowEachChange) {
    const MessageCase cases[] = {
        {"1 MHz is in range", {typed("txtF", "1")}, {}, 0, 0},
        {"30 MHz is in range", {typed("txtF", "30")}, {}, 0, 0},
        {"0.99 MHz, every digit below 1",
         {typed("txtF", "0.99")},
         {kRange, kRange, kRange, kRange},
         0,
         0},
        {"30.01 MHz, only the last digit", {typed("txtF", "30.01")}, {kRange}, 0, 0},
        {"emptied frequency reads 0", {typed("txtF", "7"), erased("txtF")}, {kRange}, 0, 0},
        {"lone full stop reads 0", {typed("txtF", ".")}, {kRange}, 0, 0},
        {"1.2.3 reads 1.2", {typed("txtF", "1.2.3")}, {}, 0, 0},
        {"length half typed",
         {typed("txtF", "3.5"), typed("txtB", "3"), typed("txtA", "2"), typed("txtA", "0")},
         {bLower("0"), aLarger("25.584")},
         120,
         0},
        {"length before any frequency", {typed("txtA", "15")}, {kNoFrequency, kNoFrequency}, 0, 0},
        {"distance before any length", {typed("txtB", "3")}, {bLower("0")}, 0, 0},
        {"distance of 0 before any length", {typed("txtB", "0")}, {}, 0, 0},
        {"10 m at 14 MHz", {typed("txtF", "14"), typed("txtA", "10")}, {aSmaller("30")}, 30, 0},
        {"8 m at 14 MHz", {typed("txtF", "14"), typed("txtA", "8")}, {}, 30, 0},
        {"length at its single-precision limit",
         {typed("txtF", "14"), typed("txtA", "9.14634149")},
         {},
         30,
         0},
        {"length just above it",
         {typed("txtF", "14"), typed("txtA", "9.146342")},
         {aSmaller("30")},
         30,
         0},
        {"distance at its single-precision limit",
         {typed("txtF", "14"), typed("txtA", "8"), typed("txtB", "3.04878049")},
         {},
         30,
         10},
        {"distance just above it",
         {typed("txtF", "14"), typed("txtA", "8"), typed("txtB", "3.048781")},
         {bLower("10")},
         30,
         10},
        {"3.1 m with A = 8 m",
         {typed("txtF", "14"), typed("txtA", "8"), typed("txtB", "3.1")},
         {bLower("10")},
         30,
         10},
        {"both length tests, lower first",
         {typed("txtF", "30"), typed("txtB", "3"), typed("txtA", "5")},
         {bLower("0"), aLarger("25.584"), aSmaller("14")},
         14,
         0},
        {"a later frequency does not re-test the length",
         {typed("txtF", "14"), typed("txtA", "10"), erased("txtF"), erased("txtA"),
          typed("txtA", "0")},
         {aSmaller("30")},
         421,
         0},
        {"a frequency that reads 0 keeps the limit and skips its test",
         {typed("txtF", "14"), typed("txtA", "1"), erased("txtF"), erased("txtF"),
          typed("txtF", "0"), typed("txtA", "0")},
         {kRange, kRange},
         30,
         0},
        {"a frequency too small for a single-precision limit",
         {pasted("txtF", "1D-300"), typed("txtA", "5")},
         {kRange},
         0,
         0},
        {"an infinite frequency",
         {pasted("txtF", "1e400"), typed("txtA", "5")},
         {kRange, aSmaller("0")},
         0,
         0},
        {"an infinite distance",
         {typed("txtF", "14"), pasted("txtB", "1e400"), typed("txtA", "5"), pasted("txtA", "E39"),
          typed("txtB", "1")},
         {bLower("0"), aSmaller("30"), bLower("0")},
         30,
         0},
        {"an infinite length meets both tests",
         {typed("txtF", "14"), typed("txtB", "3"), pasted("txtA", "1e400")},
         {bLower("0"), aLarger("25.584"), aSmaller("30")},
         30,
         0},
        {"a length of minus infinity",
         {typed("txtF", "14"), typed("txtB", "3"), pasted("txtA", "-1e400")},
         {bLower("0"), aLarger("25.584"), aSmaller("30")},
         30,
         0},
        // A pasted negative length is the only one below 0 ft, the lower bound of an untouched
        // distance box: its single space counts as text, an emptied box does not.
        {"lower test with the distance box untouched",
         {typed("txtF", "14"), pasted("txtA", "-1")},
         {aLarger("0")},
         30,
         0},
        {"lower test with the distance box emptied",
         {typed("txtF", "14"), typed("txtB", "0"), erased("txtB"), erased("txtB"),
          pasted("txtA", "-1")},
         {},
         30,
         0},
        {"the step-2 boxes never complain",
         {typed("txtD1", "."), typed("txtD1", "50"), typed("txtB1", "0.5")},
         {},
         0,
         0},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.name);
        freshWindow();
        showStep2Panel();
        run(c.steps);
        EXPECT_EQ(messages(), c.expected);
        EXPECT_EQ(window().design().maxLengthA, c.maxLengthA);
        EXPECT_EQ(window().design().maxDistB, c.maxDistB);
    }
}

TEST_F(InputBoxes, StoresTheReadingInFeetAndInches) {
    type("txtF", "1.2.3");
    type("txtA", "15");
    type("txtB", "3");
    showStep2Panel();
    type("txtD1", "50");
    type("txtB1", ".");
    const brevan::DesignState& state = window().design();
    EXPECT_EQ(state.freqMHz, 1.2);
    EXPECT_EQ(state.lengthA, 15 * 3.28);
    EXPECT_EQ(state.distB, 3 * 3.28);
    EXPECT_EQ(state.formerDia, 50 / 25.4);
    EXPECT_EQ(state.coilLength, 0.0);
}

TEST_F(InputBoxes, ALengthWithoutFrequencyIsStoredButNotLimited) {
    type("txtF", "14");
    type("txtA", "5");
    backspace("txtF");
    EXPECT_EQ(window().design().maxLengthA, 30.0F) << "kept until the length changes";
    backspace("txtF", 2);
    takeMessages();
    type("txtA", "0");
    EXPECT_EQ(messages(), QStringList{kNoFrequency});
    EXPECT_EQ(window().design().lengthA, 50 * 3.28);
    EXPECT_EQ(window().design().maxLengthA, 30.0F);
}

struct GateCase {
    const char* name;
    std::vector<Step> steps;
    bool command1;
};

TEST_F(InputBoxes, Command1FollowsThePresenceOfText) {
    const GateCase cases[] = {
        {"untouched", {}, false},
        {"frequency and length only", {typed("txtF", "7.05"), typed("txtA", "15")}, false},
        {"all three", {typed("txtF", "7.05"), typed("txtA", "15"), typed("txtB", "3")}, true},
        {"distance emptied",
         {typed("txtF", "7.05"), typed("txtA", "15"), typed("txtB", "3"), erased("txtB")},
         false},
        {"distance refilled",
         {typed("txtF", "7.05"), typed("txtA", "15"), typed("txtB", "3"), erased("txtB"),
          typed("txtB", "2")},
         true},
        {"frequency emptied",
         {typed("txtF", "7"), typed("txtA", "15"), typed("txtB", "3"), erased("txtF")},
         false},
        {"length emptied",
         {typed("txtF", "7"), typed("txtA", "1"), typed("txtB", "3"), erased("txtA")},
         false},
        {"out-of-range frequency still counts",
         {typed("txtF", "50"), typed("txtA", "15"), typed("txtB", "3")},
         true},
        {"full stops count as filled",
         {typed("txtF", "."), typed("txtA", "."), typed("txtB", ".")},
         true},
        {"frequency never touched", {typed("txtA", "15"), typed("txtB", "3")}, false},
    };
    for (const GateCase& c : cases) {
        SCOPED_TRACE(c.name);
        freshWindow();
        run(c.steps);
        EXPECT_EQ(button("Command1")->isEnabled(), c.command1);
    }
}

TEST_F(InputBoxes, ALengthChangeWithoutFrequencyLeavesCommand1Alone) {
    typeTypicalStep1();
    backspace("txtF", 4);
    EXPECT_FALSE(button("Command1")->isEnabled());
    // Only the gate changes the button; enabling it here shows whether the length's change
    // handler runs the gate while the frequency box is blank.
    window().setEnabled(Control::Command1, true);
    type("txtA", "0");
    EXPECT_TRUE(button("Command1")->isEnabled());
    EXPECT_EQ(messages().last(), kNoFrequency);
}

struct Gate2Case {
    const char* name;
    std::vector<Step> steps;
    bool command2;
};

TEST_F(InputBoxes, Command2NeedsBothBoxesAndAnInductance) {
    const Gate2Case cases[] = {
        {"both boxes and 7.1",
         {typed("txtD1", "50"), typed("txtB1", "40"), writtenToL("7.1")},
         true},
        {"inductance first", {writtenToL("7.1"), typed("txtD1", "50"), typed("txtB1", "40")}, true},
        {"no inductance yet", {typed("txtD1", "50"), typed("txtB1", "40")}, false},
        {"inductance 0", {typed("txtD1", "50"), typed("txtB1", "40"), writtenToL("0")}, false},
        {"inductance cut to 0",
         {typed("txtD1", "50"), typed("txtB1", "40"), writtenToL("0.09")},
         false},
        {"inductance not a number",
         {typed("txtD1", "50"), typed("txtB1", "40"), writtenToL("abc")},
         false},
        {"negative inductance",
         {typed("txtD1", "50"), typed("txtB1", "40"), writtenToL("-3.45")},
         true},
        {"diameter missing", {typed("txtB1", "40"), writtenToL("7.1")}, false},
        {"length missing", {typed("txtD1", "50"), writtenToL("7.1")}, false},
        {"full stops count as filled",
         {typed("txtD1", "."), typed("txtB1", "."), writtenToL("7.1")},
         true},
        {"diameter emptied",
         {writtenToL("7.1"), typed("txtD1", "5"), typed("txtB1", "40"), erased("txtD1")},
         false},
        {"diameter refilled",
         {writtenToL("7.1"), typed("txtD1", "5"), typed("txtB1", "40"), erased("txtD1"),
          typed("txtD1", "6")},
         true},
        {"length emptied",
         {writtenToL("7.1"), typed("txtD1", "5"), typed("txtB1", "4"), erased("txtB1")},
         false},
    };
    for (const Gate2Case& c : cases) {
        SCOPED_TRACE(c.name);
        freshWindow();
        showStep2Panel();
        run(c.steps);
        EXPECT_EQ(button("Command2")->isEnabled(), c.command2);
        EXPECT_TRUE(messages().isEmpty());
    }
}

struct CutCase {
    const char* written;
    const char* shown;
    int changes; // text changes of L, the write included
};

TEST_F(InputBoxes, LIsCutDownToATenthOnce) {
    const CutCase cases[] = {
        {"7.17692396135787", "7.1", 2},
        {"12.04", "12", 2},
        {"0.09", "0", 2},
        {"-3.45", "-3.5", 2},
        {"18.3", "18.3", 1},
        {"7.1", "7.1", 1},
        {"1E+300", "1E+300", 1},
        {"abc", "abc", 1},
        {"", "", 1},
        // No tenth of it is representable; the text stays rather than becoming empty.
        {"1.7976931348623157E+308", "1.7976931348623157E+308", 1},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.written);
        freshWindow();
        QSignalSpy changes(edit("L"), &QLineEdit::textChanged);
        window().setText(Control::L, c.written);
        EXPECT_EQ(edit("L")->text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(changes.count(), c.changes);
    }
}

class TypicalDesign : public InputWindowTest {
protected:
    void runToSummary() {
        EXPECT_EQ(edit("txtF")->text(), " ");
        EXPECT_EQ(combo("cmbSWG1")->currentText(), "14");
        EXPECT_EQ(combo("cmbSWG2")->currentText(), "20");
        EXPECT_FALSE(button("Command1")->isEnabled());
        EXPECT_FALSE(button("Command2")->isEnabled());

        typeTypicalStep1();
        EXPECT_TRUE(button("Command1")->isEnabled());
        combo("cmbSWG1")->setCurrentIndex(combo("cmbSWG1")->findText("16"));
        click("Command1");
        EXPECT_FALSE(window().findChild<QGroupBox*>("Frame3")->isVisible());
        EXPECT_TRUE(window().findChild<QGroupBox*>("Frame4")->isVisible());
        EXPECT_FALSE(button("Command2")->isEnabled());

        type("txtD1", "50");
        type("txtB1", "40");
        EXPECT_TRUE(button("Command2")->isEnabled());
        click("Command2");
        EXPECT_TRUE(window().findChild<QGroupBox*>("Frame5")->isVisible());
        EXPECT_TRUE(window().findChild<QGroupBox*>("Frame6")->isVisible());
    }
};

TEST_F(TypicalDesign, FromTheFirstKeystrokeToTheSummary) {
    runToSummary();
    const brevan::DesignState& state = window().design();
    EXPECT_EQ(state.maxLengthA, 59.0F);
    EXPECT_EQ(state.maxDistB, 19.0F);
    EXPECT_NEAR(state.inductance, 7.17692396135787, 1e-13);
    EXPECT_EQ(edit("L")->text(), "7.1");
    EXPECT_EQ(edit("txtN")->text(), "9");
    EXPECT_EQ(edit("txtB2")->text(), "Revised length = 7 mm");
    EXPECT_EQ(edit("txtFF")->text(), "7.05");
    EXPECT_EQ(edit("txtAA")->text(), " 15");
    EXPECT_EQ(edit("txtBB")->text(), " 3");
    EXPECT_EQ(edit("txtSWG1")->text(), "16");
    EXPECT_EQ(edit("txtDD1")->text(), "50");
    EXPECT_EQ(edit("txtSWG2")->text(), "20");
    EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
}

// Sets the default locale for one test and puts the previous one back, even when it fails.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_previous); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    QLocale m_previous;
};

TEST_F(TypicalDesign, ACommaLocaleShowsCommasAndStillEnablesStep2) {
    const DefaultLocale german{QLocale(QLocale::German)};
    runToSummary();
    EXPECT_EQ(edit("L")->text(), "7,1");
    EXPECT_EQ(edit("txtFF")->text(), "7,05");
    EXPECT_EQ(edit("txtN")->text(), "9");
    EXPECT_EQ(edit("txtB2")->text(), "Revised length = 7 mm");
    EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
}

TEST_F(InputBoxes, ACommaLocaleWritesMessagesAndLWithCommas) {
    const DefaultLocale german{QLocale(QLocale::German)};
    run({typed("txtF", "3.5"), typed("txtB", "3"), typed("txtA", "2")});
    EXPECT_EQ(messages(), (QStringList{bLower("0"), aLarger("25,584")}));
    showStep2Panel();
    run({typed("txtD1", "5"), typed("txtB1", "4"), writtenToL("-3,45")});
    EXPECT_EQ(edit("L")->text(), "-3,5");
    EXPECT_TRUE(button("Command2")->isEnabled());
}

} // namespace
