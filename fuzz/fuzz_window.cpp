// SPDX-License-Identifier: GPL-3.0-or-later
// The whole window, driven the way a user drives it: key presses as an X11 desktop delivers
// them, pasted texts, input-method text, picks from the gauge lists and clicks on the OK
// buttons and the credit link, in any order and only on controls the user can reach. After
// every action the window must still tell the truth: no box or message spells an infinity or a
// NaN, results use the plain number form wherever a design can produce them, L sits on the 0.1
// grid, the OK buttons are enabled only with their inputs present, the pages only move
// forward, and a step that goes ahead leaves a finite design behind while one that refuses
// says so once and changes nothing.
//
// The input is read byte by byte as a list of actions (see Action and keyStroke below), so
// that a finding can be read back by hand.

#include "fuzz_check.h"
#include "fuzz_window_input.h"
#include "general_format.h"
#include "locale_number.h"
#include "main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

using brevan::fuzz::isNumberText;
using brevan::fuzz::require;
using namespace brevan::fuzz::window_input;

constexpr int kMaxActions = 64;
constexpr int kMaxKeysPerAction = 16;

// Where a design's values live; a result shown with an exponent must lie outside.
constexpr double kSmallestPlain = 1e-4;
constexpr double kLargestPlain = 1e15;

// The controls that take typing, pasting and input-method text.
constexpr std::array<const char*, 7> kInputs{"txtF",  "txtA",    "txtB",   "txtD1",
                                             "txtB1", "cmbSWG1", "cmbSWG2"};
constexpr std::size_t kFirstCombo = 5;

// Keys also go to the boxes of the summary, which must refuse them, and (kFocusTarget) to
// whichever control has the keyboard focus, so that Tab and Space reach the OK buttons as they
// do on a desktop.
constexpr std::array<const char*, 17> kKeyTargets{
    "txtF",  "txtA",  "txtB",    "txtD1",  "txtB1",   "cmbSWG1", "cmbSWG2", nullptr, "txtFF",
    "txtAA", "txtBB", "txtSWG1", "txtDD1", "txtSWG2", "L",       "txtN",    "txtB2"};
constexpr std::size_t kFocusTarget = 7;

// Result boxes: the read-only ones hold what the program wrote for good; the summary ones can
// still lose characters to Delete, which types nothing and so passes every key filter.
constexpr std::array<const char*, 3> kLockedResults{"L", "txtN", "txtB2"};
constexpr std::array<const char*, 2> kSummaryResults{"txtFF", "txtDD1"};

// Summary boxes and the control whose text they copy when step 2 goes ahead.
constexpr std::array<std::array<const char*, 2>, 4> kCopies{
    {{"txtAA", "txtA"}, {"txtBB", "txtB"}, {"txtSWG1", "cmbSWG1"}, {"txtSWG2", "cmbSWG2"}}};

constexpr const char* kRevisedPrefix = "Revised length = ";
constexpr const char* kRevisedSuffix = " mm";

// An action is its byte (modulo Count) followed by its own bytes:
//   Type         target (kKeyTargets), count-1 (up to 16), then one byte per key (keyStroke)
//   Paste        box (kInputs), mode, length, bytes (pastedText; mode bit 80 replaces the text)
//   Pick         selector (0 cmbSWG1, 1 cmbSWG2), item
//   Click        0 Command1, 1 Command2, 2 the credit label
//   CallHandler  0 Command1_Click, 1 Command2_Click
//   Compose      box (kInputs), mode, replacement start + 3, replacement length, then the
//                committed text as for Paste (mode bit 40 shows a composition along with it,
//                closed right after)
enum class Action { Type, Paste, Pick, Click, CallHandler, Compose, Count };

// Control characters written out, so that a broken property shows what the box holds.
std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0f];
        } else {
            out += c;
        }
    }
    return out;
}

bool containsExponent(const std::string& text) {
    return text.find('E') != std::string::npos;
}

// One fresh window with its messages and link openings recorded, and what the checks have to
// remember from earlier actions.
class WindowRun {
public:
    WindowRun() {
        UiServices services;
        services.showMessage = [this](QWidget*, const QString& message) { m_messages << message; };
        services.openUrl = [this](const QUrl&) {
            ++m_urlsOpened;
            return true;
        };
        m_window = std::make_unique<frmBrevan1>(std::move(services));
        m_window->show();
        // Active, as the window a user types into is, so that focus follows Tab and leaves a
        // page that hides.
        QApplication::setActiveWindow(m_window.get());
        m_separator = m_window->decimalSeparator();
        // Looked up once: the checks after every key press would otherwise search the whole
        // window for each control they read.
        for (QWidget* widget : m_window->findChildren<QWidget*>()) {
            m_controls.emplace(widget->objectName().toStdString(), widget);
        }
        checkWindow("the window as it starts");
    }

    void run(ByteReader& in) {
        for (int i = 0; i < kMaxActions && !in.atEnd(); ++i) {
            switch (static_cast<Action>(in.below(static_cast<std::size_t>(Action::Count)))) {
            case Action::Type: type(in); break;
            case Action::Paste: paste(in); break;
            case Action::Pick: pick(in); break;
            case Action::Click: click(in); break;
            case Action::CallHandler: callHandler(in); break;
            case Action::Compose: compose(in); break;
            case Action::Count: break;
            }
            checkWindow("after an action");
        }
    }

private:
    template <typename T> T* child(const char* name) const {
        const auto found = m_controls.find(std::string_view(name));
        T* widget = found != m_controls.end() ? qobject_cast<T*>(found->second) : nullptr;
        require(widget != nullptr, "the window lacks a control", name);
        return widget;
    }
    std::string text(const char* name) const {
        QWidget* widget = child<QWidget>(name);
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            return combo->currentText().toStdString();
        }
        return static_cast<QLineEdit*>(widget)->text().toStdString();
    }
    bool shown(const char* name) const { return child<QWidget>(name)->isVisible(); }

    QLineEdit* lineEditOf(std::size_t input) const {
        if (input >= kFirstCombo) {
            return child<QComboBox>(kInputs[input])->lineEdit();
        }
        return child<QLineEdit>(kInputs[input]);
    }

    // What a user can type into, paste into or click: shown and enabled.
    static bool reachable(const QWidget* widget) {
        return widget != nullptr && widget->isVisible() && widget->isEnabled();
    }

    void type(ByteReader& in) {
        const std::size_t which = in.below(kKeyTargets.size());
        QWidget* target =
            which == kFocusTarget ? m_window->focusWidget() : child<QWidget>(kKeyTargets[which]);
        // Typing into a chosen box means clicking into it first, so that Tab goes on from there.
        if (which != kFocusTarget && reachable(target)) {
            target->setFocus(Qt::MouseFocusReason);
        }
        const std::size_t count = in.below(kMaxKeysPerAction) + 1;
        for (std::size_t i = 0; i < count && !in.atEnd(); ++i) {
            const KeyStroke stroke = keyStroke(in.next(), in);
            // Tab moves the focus, and a click on an OK button can hide the focused control.
            if (which == kFocusTarget) {
                target = m_window->focusWidget();
            }
            if (!reachable(target)) {
                continue;
            }
            const bool clicksButton = qobject_cast<QPushButton*>(target) != nullptr;
            const Snapshot before = snapshot();
            QKeyEvent press(QEvent::KeyPress, stroke.key, stroke.modifiers, stroke.text);
            QCoreApplication::sendEvent(target, &press);
            QKeyEvent release(QEvent::KeyRelease, stroke.key, stroke.modifiers, stroke.text);
            QCoreApplication::sendEvent(target, &release);
            if (clicksButton) {
                checkStep(before);
            }
            checkWindow("after a key press");
        }
    }

    void paste(ByteReader& in) {
        const std::size_t which = in.below(kInputs.size());
        const std::uint8_t mode = in.next();
        const QString pasted = pastedText(in, mode);
        QWidget* target = child<QWidget>(kInputs[which]);
        if (!reachable(target)) {
            return;
        }
        QLineEdit* line = lineEditOf(which);
        m_pastedInto[which] = true;
        if ((mode & 0x80) != 0) {
            line->setText(pasted);
        } else {
            line->insert(pasted);
        }
    }

    // Text committed by an input method (a compose key, a dead key, an IME), maybe with a
    // composition still open and replacing characters around the cursor.
    void compose(ByteReader& in) {
        const std::size_t which = in.below(kInputs.size());
        const std::uint8_t mode = in.next();
        const int replaceFrom = static_cast<int>(in.below(7)) - 3;
        const int replaceLength = static_cast<int>(in.below(4));
        const QString committed = pastedText(in, mode);
        QWidget* target = child<QWidget>(kInputs[which]);
        if (!reachable(target)) {
            return;
        }
        target->setFocus(Qt::MouseFocusReason);
        // An input method replaces only characters that are there. Qt pads the text with spaces
        // for a replacement that starts beyond its end, which no input method asks for. The
        // selection goes first, so the room is measured without it.
        const QLineEdit* line = lineEditOf(which);
        const auto size = static_cast<int>(line->text().size() - line->selectedText().size());
        const int cursor =
            line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
        const int from = std::clamp(replaceFrom, -cursor, size - cursor);
        const int length = std::min(replaceLength, size - cursor - from);
        const QString preedit = (mode & 0x40) != 0 ? QStringLiteral("\u00b4") : QString();
        QInputMethodEvent event(preedit, {});
        event.setCommitString(committed, from, length);
        QCoreApplication::sendEvent(target, &event);
        // While it composes, the input method keeps the keys to itself; a composition left open
        // would let the arrow keys move the cursor into its text and beyond the box's end. So
        // it is closed before anything else reaches the box.
        if (!preedit.isEmpty()) {
            QInputMethodEvent close;
            QCoreApplication::sendEvent(target, &close);
        }
    }

    void pick(ByteReader& in) {
        auto* combo = child<QComboBox>(kInputs[kFirstCombo + in.below(2)]);
        const int index = static_cast<int>(in.below(static_cast<std::size_t>(combo->count())));
        if (reachable(combo)) {
            combo->setCurrentIndex(index);
        }
    }

    void click(ByteReader& in) {
        static constexpr std::array<const char*, 3> kClickable{"Command1", "Command2", "Label11"};
        const char* name = kClickable[in.below(kClickable.size())];
        QWidget* target = child<QWidget>(name);
        if (!reachable(target)) {
            return;
        }
        const Snapshot before = snapshot();
        QTest::mouseClick(target, Qt::LeftButton);
        if (std::strcmp(name, "Label11") == 0) {
            require(m_urlsOpened == before.urlsOpened + 1, "the credit link opened no page");
            require(m_messages.size() == before.messages, "the credit link showed a message");
        } else {
            checkStep(before);
        }
    }

    // The handlers themselves, as tests call them, while their page is shown, even with the
    // button disabled.
    void callHandler(ByteReader& in) {
        const bool second = in.below(2) == 1;
        if (!shown(second ? "Frame4" : "Frame3")) {
            return;
        }
        const Snapshot before = snapshot();
        if (second) {
            m_window->Command2_Click();
        } else {
            m_window->Command1_Click();
        }
        checkStep(before);
    }

    // The design as bytes, so that a NaN compares equal to itself.
    using DesignBytes = std::array<unsigned char, sizeof(brevan::DesignState)>;

    DesignBytes designBytes() const {
        DesignBytes bytes;
        std::memcpy(bytes.data(), &m_window->design(), bytes.size());
        return bytes;
    }

    struct Snapshot {
        bool step1Page;
        bool step2Page;
        DesignBytes design;
        qsizetype messages;
        int urlsOpened;
    };

    Snapshot snapshot() const {
        return {shown("Frame3"), shown("Frame4"), designBytes(), m_messages.size(), m_urlsOpened};
    }

    // A step either goes ahead without a word and leaves only finite values in the design, or
    // refuses with one message and leaves the design and the page as they were.
    void checkStep(const Snapshot& before) {
        const bool step1Done = before.step1Page && !shown("Frame3");
        const bool step2Done = before.step2Page && !shown("Frame4");
        const qsizetype newMessages = m_messages.size() - before.messages;
        if (step1Done || step2Done) {
            require(newMessages == 0, "a step went ahead and showed a message");
            requireFiniteDesign(step1Done ? "step 1 went ahead with a value that is not finite"
                                          : "step 2 went ahead with a value that is not finite");
            if (step2Done) {
                checkSummaryAsWritten();
            }
            return;
        }
        if (newMessages == 0) {
            return; // the key or click reached no handler (a disabled button ignores it)
        }
        require(newMessages == 1, "a refused step showed more than one message");
        require(before.design == designBytes(), "a refused step changed the design");
    }

    void requireFiniteDesign(const char* property) const {
        const brevan::DesignState& s = m_window->design();
        for (double v : {s.fullOuterLength, s.outerLength,  s.inductanceScale, s.fullLogTerm,
                         s.fullShapeTerm,   s.outerLogTerm, s.outerShapeTerm,  s.freqMHz,
                         s.lengthA,         s.distB,        s.wireDia,         s.wireSWG,
                         s.coilWireSWG,     s.inductance,   s.coilRadius,      s.coilLength,
                         s.formerDia,       s.coilWireDia,  s.windingLength,   s.turns}) {
            require(std::isfinite(v), property);
        }
        require(std::isfinite(s.maxLengthA) && std::isfinite(s.maxDistB), property);
    }

    void checkWindow(const char* when) {
        checkPages(when);
        checkGates();
        checkInputs();
        checkResults();
        for (; m_checkedMessages < m_messages.size(); ++m_checkedMessages) {
            const std::string message = m_messages[m_checkedMessages].toStdString();
            require(isNumberText(message), "a message spells inf or nan", message);
        }
    }

    // One page at a time, and never back: step 1, then step 2, then the summary.
    void checkPages(const char* when) {
        const bool step1 = shown("Frame3");
        const bool step2 = shown("Frame4");
        const bool summary = shown("Frame5");
        require(summary == shown("Frame6"), "half of the summary page is shown", when);
        require(int{step1} + int{step2} + int{summary} == 1, "not exactly one page is shown", when);
        require(!(step1 && m_leftStep1), "the step-1 page came back", when);
        require(!(step2 && m_reachedSummary), "the step-2 page came back", when);
        m_leftStep1 = m_leftStep1 || !step1;
        m_reachedSummary = m_reachedSummary || summary;
    }

    void checkGates() const {
        if (child<QPushButton>("Command1")->isEnabled()) {
            for (const char* box : {"txtF", "txtA", "txtB"}) {
                require(!brevan::isBlank(text(box)), "OK of step 1 is enabled with a blank box",
                        box);
            }
        }
        if (child<QPushButton>("Command2")->isEnabled()) {
            for (const char* box : {"txtD1", "txtB1"}) {
                require(!brevan::isBlank(text(box)), "OK of step 2 is enabled with a blank box",
                        box);
            }
            const auto inductance = brevan::parseLocaleNumber(text("L"), m_separator);
            require(inductance && *inductance != 0.0, "OK of step 2 is enabled with no inductance",
                    text("L"));
        }
    }

    // Keys alone let only digits and full stops in; the single space every box starts with may
    // stay. Pasted text is the user's own and may hold anything.
    void checkInputs() const {
        for (std::size_t i = 0; i < kInputs.size(); ++i) {
            if (m_pastedInto[i]) {
                continue;
            }
            const std::string shownText = text(kInputs[i]);
            const char* allowed = i < kFirstCombo ? "0123456789. " : "0123456789";
            const bool onlyAllowed = shownText.find_first_not_of(allowed) == std::string::npos;
            const auto spaces = std::count(shownText.begin(), shownText.end(), ' ');
            if (!onlyAllowed || spaces > 1) {
                require(false, "a character the filter should refuse reached a box",
                        kInputs[i] + (": " + escaped(shownText)));
            }
        }
        // Afterwards Delete may shorten the summary boxes, but nothing can spell a word there.
        for (const auto& [copy, source] : kCopies) {
            const std::string shownText = text(copy);
            const auto input = std::find(kInputs.begin(), kInputs.end(), std::string_view(source));
            const bool pasted = m_pastedInto[static_cast<std::size_t>(input - kInputs.begin())];
            require(pasted || shownText.empty() || isNumberText(shownText),
                    "a summary box spells inf or nan", copy);
        }
        for (const char* box : kSummaryResults) {
            const std::string shownText = text(box);
            require(shownText.empty() || isNumberText(shownText), "a summary box spells inf or nan",
                    shownText);
        }
    }

    // The moment step 2 goes ahead: the copies are exact and the numbers in the general form.
    void checkSummaryAsWritten() const {
        for (const auto& [copy, source] : kCopies) {
            require(text(copy) == text(source), "a summary box differs from its input", copy);
        }
        for (const char* box : kSummaryResults) {
            checkResultNumber(box, text(box));
        }
    }

    void checkResults() const {
        for (const char* box : kLockedResults) {
            std::string shownText = text(box);
            if (shownText == " ") {
                continue;
            }
            if (std::strcmp(box, "txtB2") == 0) {
                const std::string prefix = kRevisedPrefix;
                const std::string suffix = kRevisedSuffix;
                require(shownText.size() > prefix.size() + suffix.size() &&
                            shownText.compare(0, prefix.size(), prefix) == 0 &&
                            shownText.compare(shownText.size() - suffix.size(), suffix.size(),
                                              suffix) == 0,
                        "the revised length has another form", shownText);
                shownText = shownText.substr(prefix.size(),
                                             shownText.size() - prefix.size() - suffix.size());
            }
            checkResultNumber(box, shownText);
        }
    }

    void checkResultNumber(const char* box, const std::string& shownText) const {
        require(isNumberText(shownText), "a result spells inf or nan", shownText);
        const std::optional<double> value = brevan::parseLocaleNumber(shownText, m_separator);
        require(value.has_value(), "a result is no number", shownText);
        require(brevan::formatDouble(*value, m_separator) == shownText,
                "a result is not in the general number form", shownText);
        const double magnitude = std::fabs(*value);
        if (containsExponent(shownText)) {
            require(magnitude < kSmallestPlain || magnitude >= kLargestPlain,
                    "a result within design magnitudes has an exponent", shownText);
        }
        if (std::strcmp(box, "L") == 0) {
            const double cut = std::floor(*value * 10) / 10;
            // The very largest doubles have no tenth; L keeps them as step 1 wrote them.
            if (std::isfinite(cut)) {
                require(brevan::formatDouble(cut, m_separator) == shownText, "L is not cut to 0.1",
                        shownText);
            }
        }
    }

    std::unique_ptr<frmBrevan1> m_window;
    std::map<std::string, QWidget*, std::less<>> m_controls;
    QStringList m_messages;
    qsizetype m_checkedMessages = 0;
    int m_urlsOpened = 0;
    std::string m_separator;
    std::array<bool, kInputs.size()> m_pastedInto{};
    bool m_leftStep1 = false;
    bool m_reachedSummary = false;
};

// The one application object for every run, as the program has it: offscreen unless told
// otherwise, with the program's style. It lives until the process ends.
void ensureApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "fuzz_window";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
}

} // namespace

// Every input builds and tears down a whole window, thousands of allocations. With the default
// 256 MB of freed memory held back, the process grows towards a gigabyte and runs at half the
// speed; 32 MB still holds everything freed by the last few dozen windows, which is where a
// use after free of this program would point.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=32";
}

// Fontconfig keeps its configuration for the life of the process and drops the last pointers to
// parts of it, so LeakSanitizer sees them as lost once the first text has been laid out. Only
// allocations made inside that system library are let go; a leak in our code or in Qt still
// counts.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ensureApplication();
    ByteReader in(data, size);
    try {
        WindowRun run;
        run.run(in);
    } catch (...) {
        require(false, "an action threw");
    }
    // The window system queues its notes on showing and activating a window until the event
    // loop runs, and controls may have asked to be deleted later; with the window gone, one
    // pass of the loop drops them all, so that runs do not pile them up.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
