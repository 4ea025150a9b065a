// The command line panel `frmCommandLine`: port, player count, dedicated or
// listen server, first map and extra parameters, composed into the server's
// command line and previewed in the viewer.
#pragma once

#include "panelhost.h"
#include "setuppanel.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vorn {

struct CommandLineInputs;

class CommandLinePanel : public SetupPanel {
    Q_OBJECT

  public:
    explicit CommandLinePanel(PanelHost& host);

    QGroupBox* frame() const override { return frmCommandLine; }
    void open() override { optCommandLine_Click(); }
    // A press on the option opens the panel again even while it is chosen.
    void optionPressed() override { optCommandLine_MouseDown(); }
    // The Exec path was refused: the panel closes.
    void execPathRefused() override;
    void reset() override;
    // The old mod's maps leave the first-map box.
    void modLeaving() override;
    // The mod's maps are offered as the first map; none is chosen.
    void modChosen(const ModFacts& facts) override;

    // What the other panels and the window ask of this one.
    bool isDedicated() const;
    QString maxPlayersText() const;
    QString firstMap() const;
    // The command line as last composed.
    QString commandLine() const;

    // The composer: the option "Command Line" and every watched control.
    void optCommandLine_Click();
    void optCommandLine_MouseDown();
    void cmbMapList1_Click();
    void cmbMapList1_LostFocus();
    void cmbPort_LostFocus();
    void txtExtra1_LostFocus();
    void cmbMaxPlayers_Change();
    void chkDedicated_Click();
    void cmdCommandOK_Click();

  signals:
    // The most bots the player count allows, as the bot panel shows it.
    void maxBotsCaptionChanged(const QString& caption);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void wireReactions();
    void showMaxBotsCaption();
    // What the composer reads from the panel and the window.
    CommandLineInputs gatherInputs() const;

    PanelHost& host;
    QString commandLineText;

    QGroupBox* frmCommandLine = nullptr;
    QLabel* lblMaxPlayers = nullptr;
    QComboBox* cmbMaxPlayers = nullptr;
    QLabel* lblPort = nullptr;
    QComboBox* cmbPort = nullptr;
    QLabel* lblMap1 = nullptr;
    QComboBox* cmbMapList1 = nullptr;
    QLabel* lblExtra1 = nullptr;
    QLineEdit* txtExtra1 = nullptr;
    QCheckBox* chkDedicated = nullptr;
    QPushButton* cmdCommandOK = nullptr;

    // The index of cmbMaxPlayers as last seen: a text change that comes
    // with a new index is a pick from the list, which is not a Change.
    int maxPlayersIndex_ = -1;
};

} // namespace vorn
