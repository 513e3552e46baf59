// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A fresh window per test, with its messages recorded instead of shown, and helpers that type
// into it with real key events.

#include "recording_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

class InputWindowTest : public ::testing::Test {
protected:
    void SetUp() override { freshWindow(); }

    // Table rows start from a window as the program starts it, with no messages so far.
    void freshWindow() {
        m_recording.reset();
        m_recording = std::make_unique<RecordingWindow>();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_recording->window.get()));
    }

    frmBrevan1& window() { return *m_recording->window; }
    const QStringList& messages() const { return m_recording->messages; }
    QStringList takeMessages() { return std::exchange(m_recording->messages, {}); }

    QLineEdit* edit(const char* name) const {
        auto* widget = m_recording->window->findChild<QLineEdit*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QComboBox* combo(const char* name) const {
        auto* widget = m_recording->window->findChild<QComboBox*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QPushButton* button(const char* name) const {
        auto* widget = m_recording->window->findChild<QPushButton*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // Types the characters one key event each, as QTest builds them.
    void type(const char* box, const char* keys) {
        QTest::keyClicks(edit(box), QString::fromLatin1(keys));
    }
    void backspace(const char* box, int times = 1) {
        for (int i = 0; i < times; ++i) {
            QTest::keyClick(edit(box), Qt::Key_Backspace);
        }
    }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    // A key press exactly as a desktop delivers it: the toolkit's key, modifiers and text,
    // which QTest would build differently for several keys.
    static void sendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers,
                        const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QCoreApplication::sendEvent(target, &release);
    }

    // The step-1 inputs of the worked example, typed in.
    void typeTypicalStep1() {
        type("txtF", "7.05");
        type("txtA", "15");
        type("txtB", "3");
    }

private:
    std::unique_ptr<RecordingWindow> m_recording;
};
