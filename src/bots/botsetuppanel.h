// The bot setup panel `frmSturmbotSetup` with its nested roster frame
// `frmSturmbotCustom`.
//
// The panel turns its controls into the Sturmbot configuration text (kept
// in botCfgText and previewed in the viewer) and saves it into the mod's
// "sturmbot" directory as "bot.cfg" (fill-server mode) or as
// "<map>_bot.cfg" with one "addbot" line per bot named in the roster frame.
#pragma once

#include "formtable.h"
#include "panelhost.h"
#include "setuppanel.h"

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace vorn {

class BotSetupPanel : public SetupPanel {
    Q_OBJECT

  public:
    explicit BotSetupPanel(PanelHost& host);

    QGroupBox* frame() const override { return frmSturmbotSetup; }
    void open() override { optBotFile_Click(); }
    void reset() override;
    // With the add-on: fill-server mode, the frame's caption and the
    // reaction times of the add-on's version. Without it nothing changes.
    void modChosen(const ModFacts& facts) override;

    // The most bots the player count allows ("< n").
    void showMaxBotsCaption(const QString& caption);
    // The maps a roster can be made for; none is chosen for the user.
    void offerRosterMaps(const QStringList& maps);

    // ---- the configuration text
    // The composer: opens the panel and builds botCfgText (dod only).
    void optBotFile_Click();
    // The bot counts kept within the player count and in order.
    void ClampBotCounts();
    // The reaction times kept in order; writes its corrections without
    // running the reaction fields' change handlers again.
    void ClampReactionTimes();

    void chkSturmbotFF_Click();
    void chkSturmbotRank_Click();
    void chkSturmbotFSquad_Click();
    void chkSturmbotKnife_Click();
    void chkSturmbotPistol_Click();
    void chkSturmbotGrenade_Click();
    void cmbSturmbotBlood_Click();
    void txtExtra3_Change();
    void txtSturmbotPasswd_Change();
    void txtSturmbotMinReaction_Change();
    void txtSturmbotMaxReaction_Change();
    void txtSturmbotMinBots_Change();
    void txtSturmbotMaxBots_Change();
    void cmdSturmbotOK_Click();

    // ---- the per-map rosters
    void chkSturmbotFillserver_Click();
    void cmbSturmbotMapList_Click();
    void optSturmbotAllies1_Click();
    void optSturmbotAllies2_Click();
    void optSturmbotAxis1_Click();
    void cmbSturmbotClass_Click();
    void cmdSturmbotAdd_Click();
    void cmdSturmbotClear_Click();

    // The roster frame's own state: the chosen map's waypoint file name,
    // and the name the existence test found for it ("" when none).
    QString waypointName;
    QString waypointMatch;

  private:
    void buildSetupFrame();
    void buildRosterFrame();
    void setTabOrder();
    // The roster frame shown or hidden. Its boxes take their fixed widths
    // before it is first shown: setting a box's width rule builds its popup
    // list, which start-up need not wait for while the frame is hidden.
    void showRoster(bool shown);
    // Before the setup frame is first shown: its caption's place, a style
    // sheet, which restyles every control inside the frame; start-up need
    // not wait for that while the frame is hidden.
    void placeSetupCaption();
    void wireReactions();

    // optBotFile_Click, ShowInViewer(botCfgText), Save enabled.
    void rebuildPreview();
    // The configuration text, with or without the bot counts' clamp first.
    void buildText(bool clampCounts);
    // A reaction time or bot count typed: the preview follows, unclamped.
    void numberTyped();
    // An edit of a reaction time or a bot count finished: clamped, rebuilt.
    void reactionTimeFinished();
    void botCountFinished();
    // Why Save refuses the roster file ("" when it may be written): roster
    // mode without a map, or for a map without waypoints.
    QString rosterRefusal() const;
    // Empty the class list and, for dod, fill it with `items`.
    void fillClassList(const std::vector<std::string>& items);
    void setRosterControlsEnabled(bool enabled);
    void setMapStatus(const QString& text, std::uint32_t bgr);

    PanelHost& host;
    // The configuration text as last composed, the roster lines of the
    // chosen map, and the file the text goes to.
    QString botCfgText;
    QString mapBotCfgText;
    QString botCfgName;
    // The add-on's class lists know the nations.
    bool nationClasses_ = false;
    bool clampingReactions_ = false;
    // The two frames as built, for the tab order across them.
    Form setupForm_;
    Form rosterForm_;
    bool rosterWidthsFixed_ = false;
    bool setupCaptionPlaced_ = false;

    QGroupBox* frmSturmbotSetup = nullptr;
    QCheckBox* chkSturmbotFillserver = nullptr;
    QCheckBox* chkSturmbotFF = nullptr;
    QCheckBox* chkSturmbotRank = nullptr;
    QCheckBox* chkSturmbotFSquad = nullptr;
    QCheckBox* chkSturmbotKnife = nullptr;
    QCheckBox* chkSturmbotPistol = nullptr;
    QCheckBox* chkSturmbotGrenade = nullptr;
    QFrame* Shape1 = nullptr;
    QLabel* lblSturmbotPasswd = nullptr;
    QLineEdit* txtSturmbotPasswd = nullptr;
    QLabel* lblSturmbotBlood = nullptr;
    QComboBox* cmbSturmbotBlood = nullptr;
    QLabel* lblSturmbotReaction = nullptr;
    QLineEdit* txtSturmbotMinReaction = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtSturmbotMaxReaction = nullptr;
    QLabel* lblSturmbotNumber = nullptr;
    QLineEdit* txtSturmbotMinBots = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtSturmbotMaxBots = nullptr;
    QLabel* lblMxBt = nullptr;
    QLabel* lblExtra3 = nullptr;
    QPlainTextEdit* txtExtra3 = nullptr;
    QPushButton* cmdSturmbotOK = nullptr;

    QGroupBox* frmSturmbotCustom = nullptr;
    QLabel* lblSturmbotMap = nullptr;
    QComboBox* cmbSturmbotMapList = nullptr;
    QLabel* lblSturmbotMapStatus = nullptr;
    QRadioButton* optSturmbotAllies1 = nullptr;
    QRadioButton* optSturmbotAllies2 = nullptr;
    QRadioButton* optSturmbotAxis1 = nullptr;
    QComboBox* cmbSturmbotClass = nullptr;
    QLabel* lblSturmbotSkill = nullptr;
    QComboBox* cmbSturmbotSkill = nullptr;
    QLabel* lblSturmbotName = nullptr;
    QLineEdit* txtSturmbotName = nullptr;
    QPushButton* cmdSturmbotAdd = nullptr;
    QPushButton* cmdSturmbotClear = nullptr;
};

} // namespace vorn
