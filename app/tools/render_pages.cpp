// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the three pages of the window (step 1, step 2, summary of the typical design) to PNG
// files, for the README and for looking at the layout at any scale factor:
//   QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 render_pages <output-folder>

#include "main_window.h"

#include "picture_text.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>

namespace {

void type(frmBrevan1& window, const char* box, const char* text) {
    window.findChild<QLineEdit*>(QLatin1String(box))->setText(QString::fromLatin1(text));
}

bool save(frmBrevan1& window, const QString& folder, const char* page) {
    const QString scale = QString::number(window.devicePixelRatioF());
    const QString path =
        QDir(folder).filePath(QStringLiteral("%1@%2x.png").arg(QLatin1String(page), scale));
    const bool ok = picture_text::savePicture(window, path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    UiServices quiet;
    quiet.showMessage = [](QWidget*, const QString&) {};
    quiet.openUrl = [](const QUrl&) { return true; };
    frmBrevan1 window(quiet);
    window.show();

    bool ok = save(window, folder, "step1");
    type(window, "txtF", "7.05");
    type(window, "txtA", "15");
    type(window, "txtB", "3");
    window.findChild<QComboBox*>(QStringLiteral("cmbSWG1"))->setCurrentText(QStringLiteral("16"));
    window.Command1_Click();
    ok = save(window, folder, "step2") && ok;
    type(window, "txtD1", "50");
    type(window, "txtB1", "40");
    window.Command2_Click();
    ok = save(window, folder, "summary") && ok;
    return ok ? 0 : 1;
}
