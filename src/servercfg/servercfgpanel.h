// The server configuration panel `frmServerFile`: host name, team limit,
// map time, the game-rule switches, LAN only and extra variables, composed
// into the server configuration file and saved into the mod directory.
#pragma once

#include "mainwindow.h"
#include "setuppanel.h"

class QCheckBox;
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
    explicit ServerCfgPanel(Vorn& window);

    QGroupBox* frame() const override { return frmServerFile; }
    void reset() override;
    // The host name proposed for the mod.
    void modChosen(const ModFacts& facts) override;

    QString hostName() const;

    QGroupBox* frmServerFile = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtHostName = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* txtTeamLimit = nullptr;
    QLabel* lblMapTime = nullptr;
    QLineEdit* txtMapTime = nullptr;
    QCheckBox* chkFriendlyFire = nullptr;
    QCheckBox* chkFootSteps = nullptr;
    QCheckBox* chkFlashlight = nullptr;
    QCheckBox* chkDeathMsgs = nullptr;
    QCheckBox* chkFallDamage = nullptr;
    QCheckBox* chkLAN = nullptr;
    QLabel* lblExtra2 = nullptr;
    QPlainTextEdit* txtExtra2 = nullptr;
    QPushButton* cmdServerOK = nullptr;

    // The composer: the option "Server Configuration".
    void optServerFile_Click();
    // The watched controls: each recomposes and offers Save again.
    void chkFriendlyFire_Click();
    void chkFootSteps_Click();
    void chkFlashlight_Click();
    void chkDeathMsgs_Click();
    void chkFallDamage_Click();
    void chkLAN_Click();
    void txtTeamLimit_Change();
    void txtMapTime_Change();
    void txtExtra2_Change();
    void cmdServerOK_Click();

    // What the composer reads from the window.
    ServerCfgInputs gatherInputs() const;

  private:
    void buildControls();
    void wireReactions();
    // What the nine change reactions share: the text composed again and
    // shown, and Save offered.
    void rebuildPreview();

    Vorn& w;
};

} // namespace vorn
