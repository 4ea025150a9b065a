#include "mainwindow.h"

#include "pathtext.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

namespace vorn {

QString plainText(const QPlainTextEdit* box) {
    return box->toPlainText();
}

QString crlfText(const QPlainTextEdit* box) {
    QString text = plainText(box);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void Vorn::ShowInViewer(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtFileContents->setPlainText(shown);
    frmInfo->show();
}

void Vorn::setViewerCaption(const QString& caption) {
    setCaption(frmInfo, caption);
}

void Vorn::lockViewer() {
    txtFileContents->setReadOnly(true);
    cmdSaveFile->setEnabled(false);
    cmdEditFile->setEnabled(false);
}

void Vorn::scrollViewerToEnd() {
    txtFileContents->moveCursor(QTextCursor::End);
    txtFileContents->ensureCursorVisible();
}

ViewerControls Vorn::viewerControls() const {
    return {txtFileContents, cmdEditFile, cmdSaveFile};
}

} // namespace vorn
