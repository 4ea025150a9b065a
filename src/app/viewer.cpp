#include "mainwindow.h"

#include "pathtext.h"
#include "viewertext.h"

#include <QGroupBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vorn {

namespace plat = vorn::platform;

namespace {

// Between two characters, a word joiner keeps the line from breaking there:
// the viewer breaks long lines only at blanks ("+map -heapsize" and
// "C:\\Sierra\\Half-Life\\hl.exe" stay whole).
constexpr char16_t kWordJoiner = 0x2060;

QString joinWords(const QString& text) {
    QString out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text.at(i);
        if (i + 1 < text.size() && !text.at(i).isSpace() && !text.at(i + 1).isSpace())
            out += QChar(kWordJoiner);
    }
    return out;
}

// The viewer: copying from it gives the text without the joiners.
class ViewerText : public QPlainTextEdit {
  protected:
    QMimeData* createMimeDataFromSelection() const override {
        QMimeData* data = QPlainTextEdit::createMimeDataFromSelection();
        if (data)
            data->setText(data->text().remove(QChar(kWordJoiner)));
        return data;
    }
};

} // namespace

QPlainTextEdit* newViewerText() {
    return new ViewerText;
}

QString plainText(const QPlainTextEdit* box) {
    return box->toPlainText().remove(QChar(kWordJoiner));
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
    txtFileContents->setPlainText(joinWords(shown));
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
    // Text to edit has no joiners: the cursor moves one character a key.
    const QString text = plainText(txtFileContents);
    if (text != txtFileContents->toPlainText())
        txtFileContents->setPlainText(text);
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
