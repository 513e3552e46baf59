// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// Everything the window does that blocks or leaves the program: the modal message box and the
// web-link opener. Tests replace both, so no test waits on a dialog or starts a browser.
struct UiServices {
    std::function<void(QWidget* owner, const QString& message)> showMessage;
    std::function<bool(const QUrl& url)> openUrl;

    // The real ones: a QMessageBox with one OK button and no title of its own, and the
    // desktop's default browser.
    static UiServices desktop();
};
