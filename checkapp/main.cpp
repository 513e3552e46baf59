// Brevan Check: the design check in a window. Everything but the application's identity lives
// in the brevan_checkapp library.
#include "check_window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // QSettings keeps the window's place and the last folder under these names.
    QApplication::setOrganizationName(QStringLiteral("Brevan"));
    QApplication::setApplicationName(QStringLiteral("BrevanCheck"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brevan Check"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));

    CheckWindow window(WindowServices::desktop());
    // A design file named on the command line (as a file manager passes it) opens at once.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        window.openDesign(arguments.at(1));
    }
    window.show();
    return QApplication::exec();
}
