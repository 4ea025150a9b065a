#include "assembly.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vornwick"));
    // The desktop matches the window to the installed desktop file, and so
    // to the application icon in its task switcher.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vornwick.Vornwick"));
    vorn::QtSeam seam;
    auto window = vorn::makeVornwick(seam);
    window->show();
    return QApplication::exec();
}
