// The map setup panel: the server's map cycle ("vorn_mapcycle.txt") and,
// for the dod mod, the class limits of each map ("<map>.cfg").
#pragma once

#include "classlimits.h"
#include "panelhost.h"
#include "setuppanel.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace vorn {

class MapSetupPanel : public SetupPanel {
    Q_OBJECT

  public:
    explicit MapSetupPanel(PanelHost& host);

    QGroupBox* frame() const override { return frmMapSetup; }
    void open() override { optMapFile_Click(); }
    void reset() override;
    // The mod's maps into the list; for dod the class limits are offered,
    // with the class lists of the add-on's version.
    void modChosen(const ModFacts& facts) override;
    // The old mod's maps leave the list (its frame is hidden by then).
    void modLeaving() override;

    // ---- the map cycle
    void optMapFile_Click();
    void lstMapList_Click();
    void lstMapList_DblClick();
    void cmdAddMap_Click();
    void cmdClearMapList_Click();
    void cmdMapOK_Click();

    // ---- class limits of the selected map
    void SetNationClassLists();
    void SetGenericClassLists();
    // Prepares the lists for the selected map and reads its file. Returns
    // false when the program was ended meanwhile (callers stop at once).
    bool LoadMapClassLimits();
    void BuildClassLimitText();
    void chkClassLimit_Click();
    void cmbClassAllies_Click();
    void cmbClassAxis_Click();
    void cmbLimitAllies_Click();
    void cmbLimitAxis_Click();
    void cmdClassLimitOK_Click();

  signals:
    // The maps a roster can be made for, once the dod map cycle is saved:
    // the first map, then the cycle's maps.
    void rosterMapsOffered(const QStringList& maps);

  private:
    void buildControls();
    void wireReactions();

    // The map cycle in the viewer, under its file name.
    void showMapCycle();
    // The selected entry of lstMapList, "" when none is selected.
    QString selectedMap() const;
    void enableMapControls(bool enabled);
    // Fill a class box with a table's classes (limits back to "-1").
    void fillClassBox(QComboBox* box, ClassTable& table);
    void setClassLists(const ClassLists& lists);
    // The class and limit boxes show position 1 of the tables.
    void showFirstPositions();
    void showClassLimitPreview();
    // The shared part of the four class and limit pickers. `limitPick`:
    // a limit was picked (the value goes into the table) rather than a
    // class (the table's value goes into the limit box). A typed limit
    // goes the same way, without the pickers' log lines.
    void classPick(bool allies, bool limitPick, bool logged = true);

    PanelHost& host;
    // The add-on's class lists know the nations.
    bool nationClasses_ = false;

    // ---- controls
    QGroupBox* frmMapSetup = nullptr;
    QListWidget* lstMapList = nullptr;
    QPushButton* cmdAddMap = nullptr;
    QPushButton* cmdClearMapList = nullptr;
    QPushButton* cmdMapOK = nullptr;
    QCheckBox* chkClassLimit = nullptr;
    QGroupBox* frmClassLimit = nullptr;
    QLabel* lblClassAllies = nullptr;
    QComboBox* cmbClassAllies = nullptr;
    QComboBox* cmbLimitAllies = nullptr;
    QLabel* lblClassAxis = nullptr;
    QComboBox* cmbClassAxis = nullptr;
    QComboBox* cmbLimitAxis = nullptr;
    QPushButton* cmdClassLimitOK = nullptr;

    // ---- the panel's working data
    // The map cycle's text, as the file holds it, and how many maps it has.
    QString mapCycleText;
    std::int16_t mapCycleCount = 0;
    // The maps of the cycle, in the order added. Only the first
    // mapCycleCount entries are in use: emptying the cycle just sets the
    // count back.
    QStringList mapCycleNames;
    // Allied and axis tables: classes, limits, labels and prefixes. Empty
    // until a class list is set.
    ClassLists classLists;
    QString classLimitPath;
    QString classLimitOtherText; // kept lines of the map's file, each ending in CR LF
    QString classLimitText;      // the limit lines built from the tables

    // The selected map's file exists but could not be read: saving would
    // lose its kept lines, so it is refused.
    bool classLimitReadFailed_ = false;
    // The row whose change of the current map already ran the click
    // reaction: the mouse click that made it current runs nothing more.
    int rowClickHandled_ = -1;
};

} // namespace vorn
