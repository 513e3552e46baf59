// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A real window whose message box and link opener only record what they were asked to do.

#include "main_window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include <memory>

struct RecordingWindow {
    QStringList messages;
    QList<QUrl> urls;
    std::unique_ptr<frmBrevan1> window;

    RecordingWindow() {
        UiServices services;
        services.showMessage = [this](QWidget*, const QString& text) { messages << text; };
        services.openUrl = [this](const QUrl& url) {
            urls << url;
            return true;
        };
        window = std::make_unique<frmBrevan1>(services);
        window->show();
    }

    QLineEdit* edit(const char* name) const { return child<QLineEdit>(name); }
    QComboBox* combo(const char* name) const { return child<QComboBox>(name); }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }
    QGroupBox* frame(const char* name) const { return child<QGroupBox>(name); }
    QString text(const char* name) const { return edit(name)->text(); }

    template <typename T> T* child(const char* name) const {
        return window->findChild<T*>(QLatin1String(name));
    }
};
