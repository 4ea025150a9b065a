// The server configuration panel `frmServerFile`: host name, the settings
// of the server's table of settings (game-rule switches, LAN only, team
// limit, map time) and extra variables, composed into the server
// configuration file and saved into the mod directory.
#pragma once

#include "panelhost.h"
#include "setuppanel.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vorn {

struct ServerCfgInputs;

class ServerCfgPanel : public SetupPanel {
    Q_OBJECT

  public:
    explicit ServerCfgPanel(PanelHost& host);

    QGroupBox* frame() const override { return frmServerFile; }
    void open() override { optServerFile_Click(); }
    void reset() override;
    // The host name proposed for the mod.
    void modChosen(const ModFacts& facts) override;

    QString hostName() const;

    // The composer: the option "Server Configuration".
    void optServerFile_Click();
    void cmdServerOK_Click();

  private:
    void buildControls();
    void wireReactions();
    // What the composer reads from the panel.
    ServerCfgInputs gatherInputs() const;
    // What every setting's change and the extra variables' change share:
    // the text composed again and shown, and Save offered.
    void rebuildPreview();

    PanelHost& host;
    // The configuration text as last composed.
    QString serverCfgText;

    QGroupBox* frmServerFile = nullptr;
    QLineEdit* txtHostName = nullptr;
    QPlainTextEdit* txtExtra2 = nullptr;
    QPushButton* cmdServerOK = nullptr;
};

} // namespace vorn
