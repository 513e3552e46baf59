// SPDX-License-Identifier: GPL-3.0-or-later
// Brevan Check: the design check in a window. Everything but the application's identity lives
// in the brevan_checkapp library.
#include "check_icon.h"
#include "check_window.h"
#include "quit_signals.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // QSettings keeps the window's place and the last folder under these names.
    QApplication::setOrganizationName(QStringLiteral("Brevan"));
    QApplication::setApplicationName(QStringLiteral("BrevanCheck"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brevan Check"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));
    // The desktop entry's name, so a Wayland desktop shows the menu's icon for the window.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.example.BrevanCheck"));
    QApplication::setWindowIcon(makeCheckIcon());

    CheckWindow window(WindowServices::desktop());
    // A design file named on the command line (as a file manager passes it) opens at once.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        window.openDesign(arguments.at(1));
    }
    // A logout, a kill or Ctrl+C in the terminal ends the window as it ends brevan-check; the
    // window's destructor then waits for the stopped check to remove its folders.
    const QuitSignals quitSignals([&window](int signal) {
        window.endWithoutAsking();
        QCoreApplication::exit(128 + signal);
    });
    window.show();
    return QApplication::exec();
}
