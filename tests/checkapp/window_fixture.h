// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A fresh check window per test, whose dialogs and message boxes only record, and the means to
// type into it with real key events.

#include "check_window.h"
#include "files/design_file.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

// What the file at `path` holds; nothing when it cannot be read.
inline QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Recorded {
    QStringList messages;
    int unsavedQuestions = 0;
    UnsavedAnswer unsavedAnswer = UnsavedAnswer::Cancel;
    std::deque<QString> openAnswers; // the file each open dialog "chooses"
    std::deque<QString> saveAnswers;
    int dialogs = 0;
};

inline WindowServices recordingServices(const std::shared_ptr<Recorded>& r) {
    WindowServices s;
    s.showMessage = [r](QWidget*, const QString& message) { r->messages << message; };
    s.askUnsaved = [r](QWidget*, const QString&) {
        ++r->unsavedQuestions;
        return r->unsavedAnswer;
    };
    s.openFileName = [r](QWidget*, const QString&, const QString&, const QString&) {
        ++r->dialogs;
        QString answer;
        if (!r->openAnswers.empty()) {
            answer = r->openAnswers.front();
            r->openAnswers.pop_front();
        }
        return answer;
    };
    s.saveFileName = [r](QWidget*, const QString&, const QString&, const QString&) {
        ++r->dialogs;
        QString answer;
        if (!r->saveAnswers.empty()) {
            answer = r->saveAnswers.front();
            r->saveAnswers.pop_front();
        }
        return answer;
    };
    return s;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        recorded = std::make_shared<Recorded>();
        window = std::make_unique<CheckWindow>(recordingServices(recorded));
        window->show();
    }

    template <typename T> T* find(const char* name) const {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // Replaces a field's text as a person would: select all, then type.
    void type(const char* field, const QString& text) {
        QLineEdit* edit = find<QLineEdit>(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    // Picks a combo's entry by typing its start, as the keyboard does on a closed combo; in a
    // combo that takes typing (the wire gauges), types over its text.
    void pick(const char* combo, const QString& text) {
        QComboBox* box = find<QComboBox>(combo);
        box->setFocus();
        if (box->isEditable()) {
            box->lineEdit()->selectAll();
            QTest::keyClick(box, Qt::Key_Backspace);
        }
        QTest::keyClicks(box, text);
    }

    QString message(const char* field) const {
        const QLabel* label = find<QLabel>(field);
        return label != nullptr && label->isVisibleTo(window.get()) ? label->text() : QString();
    }

    bool waitForCheck(int ms = 60000) {
        return QTest::qWaitFor([this] { return window->checkDone(); }, ms);
    }

    // The design file the window writes for these inputs, without a sweep.
    static QByteArray designFileJson(const brevan::check::CheckInputs& inputs) {
        return QByteArray::fromStdString(
            brevan::check::designFileJson(brevan::check::DesignFile{inputs, std::nullopt}));
    }

    bool writeFile(const QString& path, const QByteArray& content) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }

    std::shared_ptr<Recorded> recorded;
    std::unique_ptr<CheckWindow> window;
};
