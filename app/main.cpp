#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Loaded Dipole Antenna for restricted space ( metric units)"));
    window.resize(643, 373);
    window.show();
    return QApplication::exec();
}
