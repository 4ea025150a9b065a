#include "vornwick.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vornwick"));
    vorn::QtSeam seam;
    auto window = vorn::makeVornwick(seam);
    window->show();
    return QApplication::exec();
}
