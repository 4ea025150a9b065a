// vorn-bare-window: the baseline of Vornwick's start-up figures. A Qt
// program set up as vornwick is (the same QApplication, name and desktop
// file name), showing a bare main window with about the controls the
// window shows before any setup panel, and no work behind them.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Bare"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vornwick.Bare"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.menuBar()->addAction(QStringLiteral("E&xit"));
    window.menuBar()->addAction(QStringLiteral("A&bout"));
    auto* frame = new QGroupBox(QStringLiteral("Frame"));
    auto* box = new QVBoxLayout(frame);
    box->addWidget(new QLineEdit(QStringLiteral("c:\\hl.exe")));
    auto* combo = new QComboBox;
    combo->addItems({QStringLiteral("cstrike"), QStringLiteral("dod"), QStringLiteral("valve")});
    box->addWidget(combo);
    for (int i = 0; i < 5; ++i)
        box->addWidget(new QRadioButton(QStringLiteral("Option %1").arg(i)));
    box->addWidget(new QLabel(QStringLiteral("Status")));
    box->addWidget(new QPushButton(QStringLiteral("Start")));
    box->addWidget(new QPlainTextEdit);
    window.setCentralWidget(frame);
    window.show();
    return QApplication::exec();
}
