// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Everything the check window does that waits on a person: message boxes, the question before
// unsaved changes are lost and the file dialogs. Tests put recorders here, so no test ever
// waits on a dialog.

#include <QString>

#include <functional>

class QWidget;

enum class UnsavedAnswer { Save, Discard, Cancel };

struct WindowServices {
    std::function<void(QWidget* owner, const QString& message)> showMessage;
    std::function<UnsavedAnswer(QWidget* owner, const QString& question)> askUnsaved;
    // The chosen file, or an empty text when the person cancelled.
    std::function<QString(QWidget* owner, const QString& caption, const QString& folder,
                          const QString& filter)>
        openFileName;
    std::function<QString(QWidget* owner, const QString& caption, const QString& suggested,
                          const QString& filter)>
        saveFileName;

    // The desktop's own: QMessageBox and QFileDialog.
    static WindowServices desktop();
};
