// brevan-check: the command-line check of a loaded dipole design. Everything but the
// application's identity lives in the check libraries.
#include "run_check.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brevan-check"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));
    return brevan::cli::runCheck(QCoreApplication::arguments());
}
