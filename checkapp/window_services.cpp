// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_services.h"

#include <QFileDialog>
#include <QMessageBox>

WindowServices WindowServices::desktop() {
    WindowServices services;
    services.showMessage = [](QWidget* owner, const QString& message) {
        QMessageBox::warning(owner, QString(), message);
    };
    services.askUnsaved = [](QWidget* owner, const QString& question) {
        const auto answer = QMessageBox::question(
            owner, QString(), question,
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        return answer == QMessageBox::Save      ? UnsavedAnswer::Save
               : answer == QMessageBox::Discard ? UnsavedAnswer::Discard
                                                : UnsavedAnswer::Cancel;
    };
    services.openFileName = [](QWidget* owner, const QString& caption, const QString& folder,
                               const QString& filter) {
        return QFileDialog::getOpenFileName(owner, caption, folder, filter);
    };
    services.saveFileName = [](QWidget* owner, const QString& caption, const QString& suggested,
                               const QString& filter) {
        return QFileDialog::getSaveFileName(owner, caption, suggested, filter);
    };
    return services;
}
