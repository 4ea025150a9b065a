#include "mainwindow.h"

#include "pathtext.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vorn {

namespace plat = vorn::platform;

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

void Vorn::optMotd_Click() {
    st.motdText = QStringLiteral("Welcome to ") + ask.hostName();
    showPanel(nullptr);
    setViewerCaption(QStringLiteral("vorn_motd.txt"));
    ShowInViewer(st.motdText);
    cmdEditFile_Click();
    frmInfo->show();
    setStatus(QStringLiteral("Like the welcome message?"), colour::Blue);
    UpdateReadiness();
}

void Vorn::cmdEditFile_Click() {
    txtFileContents->setReadOnly(false);
    cmdSaveFile->setEnabled(true);
    // Edit disables itself: the keyboard goes on in the text to edit.
    moveFocusFrom(cmdEditFile, txtFileContents);
    cmdEditFile->setEnabled(false);
}

void Vorn::cmdSaveFile_Click() {
    txtFileContents->setReadOnly(true);
    moveFocusFrom(cmdSaveFile);
    cmdSaveFile->setEnabled(false);
    st.motdText = crlfText(txtFileContents);
    cmdEditFile->setEnabled(true);
    // Save is open only while the viewer shows the welcome message.
    st.checkPath = st.gameDir + mod() + QStringLiteral("\\vorn_motd.txt");
    if (!saveGameFile(st.checkPath, st.motdText)) {
        // The step stays unconfirmed, and the text stays editable so that
        // nothing typed is lost.
        cmdEditFile_Click();
        return;
    }
    confirmStep(4);
    showSaveNote();
}

} // namespace vorn
