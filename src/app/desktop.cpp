#include "desktop.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace vorn {

int QtSeam::messageBox(QWidget* parent, MsgIcon icon, MsgButtons buttons, const QString& title,
                       const QString& text) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    // A busy pointer set by a long operation must not hide the question.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    int result = box.exec();
    QApplication::restoreOverrideCursor();
    if (buttons == MsgButtons::Ok)
        return kAnswerOk;
    return result == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
}

void QtSeam::beep() {
    QApplication::beep();
}

void QtSeam::setBusy(QWidget*, bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtSeam::endProgram() {
    // At once: nothing is saved or closed first. Every file the program
    // writes is already closed at this point.
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace vorn
