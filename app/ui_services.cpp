// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui_services.h"

#include <QDesktopServices>
#include <QMessageBox>

UiServices UiServices::desktop() {
    UiServices services;
    services.showMessage = [](QWidget* owner, const QString& message) {
        // No title of its own: the window system then shows the application's name.
        QMessageBox box(QMessageBox::NoIcon, QString(), message, QMessageBox::Ok, owner);
        box.exec();
    };
    services.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return services;
}
