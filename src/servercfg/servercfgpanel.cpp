#include "servercfgpanel.h"

#include "controls.h"
#include "servercfg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vorn {

ServerCfgPanel::ServerCfgPanel(PanelHost& panelHost) : host(panelHost) {
    buildControls();
    wireReactions();
}

void ServerCfgPanel::reset() {
    cmdServerOK->setEnabled(true);
    frmServerFile->hide();
}

void ServerCfgPanel::modChosen(const ModFacts& facts) {
    txtHostName->setText(QStringLiteral("My ") + facts.mod + QStringLiteral(" server."));
}

QString ServerCfgPanel::hostName() const {
    return txtHostName->text();
}

void ServerCfgPanel::wireReactions() {
    // Every setting recomposes and offers Save again. The host name has no
    // reaction of its own: it enters the text at the next composition.
    for (const ServerSetting& setting : kServerSettings) {
        QWidget* control = frmServerFile->findChild<QWidget*>(QLatin1String(setting.control));
        if (auto* box = qobject_cast<QCheckBox*>(control))
            connect(box, &QAbstractButton::toggled, this, &ServerCfgPanel::rebuildPreview);
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            connect(edit, &QLineEdit::textChanged, this, &ServerCfgPanel::rebuildPreview);
    }
    connect(txtExtra2, &QPlainTextEdit::textChanged, this, &ServerCfgPanel::rebuildPreview);
    connect(cmdServerOK, &QAbstractButton::clicked, this, &ServerCfgPanel::cmdServerOK_Click);
}

ServerCfgInputs ServerCfgPanel::gatherInputs() const {
    ServerCfgInputs in;
    in.hostName = txtHostName->text().toStdString();
    for (const ServerSetting& setting : kServerSettings) {
        QWidget* control = frmServerFile->findChild<QWidget*>(QLatin1String(setting.control));
        if (auto* box = qobject_cast<QCheckBox*>(control))
            in.values.push_back(box->isChecked() ? "1" : "0");
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            in.values.push_back(edit->text().toStdString());
        else
            in.values.emplace_back();
    }
    in.extra = crlfText(txtExtra2).toStdString();
    return in;
}

namespace {

// The file the configuration goes to: the server kind picks the name that
// the command line hands to the game.
QString fileNameFor(const PanelHost& host) {
    return QString::fromStdString(serverCfgFileName(host.ask().dedicated()));
}

} // namespace

void ServerCfgPanel::optServerFile_Click() {
    host.lockViewer();
    host.showPanel(this);

    serverCfgText = QString::fromStdString(composeServerCfg(gatherInputs()));

    host.setViewerCaption(fileNameFor(host));
    host.ShowInViewer(serverCfgText);
    host.setStatus(kSetupOk, colour::Blue);
    host.UpdateReadiness();
}

void ServerCfgPanel::rebuildPreview() {
    optServerFile_Click();
    cmdServerOK->setEnabled(true);
}

void ServerCfgPanel::cmdServerOK_Click() {
    // Save composes first, so an edited host name is written too.
    optServerFile_Click();

    // The step is confirmed only once the file is really on disk; a failed
    // write has already put a red error into the status line and left the
    // old file as it was.
    if (!host.saveGameFile(host.modFilePath(fileNameFor(host)), serverCfgText))
        return;
    host.confirmStep(*this);
    host.showSaveNote();
}

} // namespace vorn
