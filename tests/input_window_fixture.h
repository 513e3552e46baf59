#pragma once

// A fresh window per test, with its messages recorded instead of shown, and helpers that type
// into it with real key events.

#include "main_window.h"

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
        m_window.reset();
        m_messages.clear();
        m_urls.clear();
        UiServices services;
        services.showMessage = [this](QWidget*, const QString& message) { m_messages << message; };
        services.openUrl = [this](const QUrl& url) {
            m_urls << url;
            return true;
        };
        m_window = std::make_unique<frmBrevan1>(std::move(services));
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }

    frmBrevan1& window() { return *m_window; }
    const QStringList& messages() const { return m_messages; }
    QStringList takeMessages() { return std::exchange(m_messages, {}); }

    QLineEdit* edit(const char* name) const {
        auto* widget = m_window->findChild<QLineEdit*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QComboBox* combo(const char* name) const {
        auto* widget = m_window->findChild<QComboBox*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QPushButton* button(const char* name) const {
        auto* widget = m_window->findChild<QPushButton*>(QLatin1String(name));
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
    std::unique_ptr<frmBrevan1> m_window;
    QStringList m_messages;
    QList<QUrl> m_urls;
};
