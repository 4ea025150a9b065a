#include "motdpanel.h"

#include "controls.h"
#include "gamefilenames.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace vorn {

MotdPanel::MotdPanel(PanelHost& panelHost) : host(panelHost), viewer(host.viewerControls()) {
    connect(viewer.edit, &QAbstractButton::clicked, this, [this] { cmdEditFile_Click(); });
    connect(viewer.save, &QAbstractButton::clicked, this, [this] { cmdSaveFile_Click(); });
}

void MotdPanel::optMotd_Click() {
    motdText = QStringLiteral("Welcome to ") + host.ask().hostName();
    host.showPanel(nullptr);
    host.setViewerCaption(QString::fromLatin1(files::kMotd));
    host.ShowInViewer(motdText);
    cmdEditFile_Click();
    host.setStatus(QStringLiteral("Like the welcome message?"), colour::Blue);
    host.UpdateReadiness();
}

void MotdPanel::cmdEditFile_Click() {
    viewer.text->setReadOnly(false);
    viewer.save->setEnabled(true);
    // Edit disables itself: the keyboard goes on in the text to edit.
    host.moveFocusFrom(viewer.edit, viewer.text);
    viewer.edit->setEnabled(false);
}

void MotdPanel::cmdSaveFile_Click() {
    viewer.text->setReadOnly(true);
    host.moveFocusFrom(viewer.save);
    viewer.save->setEnabled(false);
    motdText = crlfText(viewer.text);
    viewer.edit->setEnabled(true);
    // Save is open only while the viewer shows the welcome message.
    if (!host.saveGameFile(host.modFilePath(QString::fromLatin1(files::kMotd)), motdText)) {
        // The step stays unconfirmed, and the text stays editable so that
        // nothing typed is lost.
        cmdEditFile_Click();
        return;
    }
    host.confirmStep(*this);
    host.showSaveNote();
}

} // namespace vorn
