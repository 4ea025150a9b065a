#include "mapsetuppanel.h"

#include "controls.h"
#include "gamefilenames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <limits>

namespace vorn {

namespace {

const QString kMapCycleFile = QString::fromLatin1(files::kMapCycle);
const QString kCrLf = QStringLiteral("\r\n");
const QString kPleaseSelectMaps = QStringLiteral("Please select maps for the server.");

} // namespace

MapSetupPanel::MapSetupPanel(PanelHost& panelHost) : host(panelHost) {
    buildControls();
    wireReactions();
}

void MapSetupPanel::reset() {
    cmdMapOK->setEnabled(false);
    cmdAddMap->setEnabled(false);
    frmMapSetup->hide();
    chkClassLimit->hide();
    frmClassLimit->hide();
}

void MapSetupPanel::modChosen(const ModFacts& facts) {
    // A new mod starts with an empty cycle.
    mapCycleText.clear();
    mapCycleCount = 0;
    chkClassLimit->setVisible(facts.dod);
    nationClasses_ = facts.nationClasses;
    if (!facts.addOnVersion.isEmpty()) {
        if (!nationClasses_)
            SetGenericClassLists();
        else
            SetNationClassLists();
    }
    // One batch of items, laid out once: a mod may hold a hundred thousand
    // maps.
    lstMapList->setUpdatesEnabled(false);
    lstMapList->clear();
    lstMapList->addItems(facts.maps);
    lstMapList->setUpdatesEnabled(true);
}

void MapSetupPanel::modLeaving() {
    lstMapList->clear();
}

void MapSetupPanel::wireReactions() {
    // Every change of the current map runs the click reaction, whatever
    // caused it (mouse, arrow keys, Home/End, a drag, code); so does a
    // click on the map already selected.
    connect(lstMapList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        // The current map is the selected one, also when the list only
        // made it current on getting the focus.
        if (QListWidgetItem* item = lstMapList->item(row); !item->isSelected())
            item->setSelected(true);
        rowClickHandled_ = row;
        lstMapList_Click();
    });
    connect(lstMapList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = lstMapList->row(item);
        // The click that made the item current has already run it.
        if (row == rowClickHandled_) {
            rowClickHandled_ = -1;
            return;
        }
        if (item == lstMapList->currentItem())
            lstMapList_Click();
    });
    connect(lstMapList, &QListWidget::itemDoubleClicked, this, [this] { lstMapList_DblClick(); });
    connect(cmdAddMap, &QAbstractButton::clicked, this, [this] { cmdAddMap_Click(); });
    connect(cmdClearMapList, &QAbstractButton::clicked, this, [this] { cmdClearMapList_Click(); });
    connect(cmdMapOK, &QAbstractButton::clicked, this, [this] { cmdMapOK_Click(); });
    connect(chkClassLimit, &QAbstractButton::toggled, this, [this] { chkClassLimit_Click(); });
    connect(cmbClassAllies, &QComboBox::activated, this, [this] { cmbClassAllies_Click(); });
    connect(cmbClassAxis, &QComboBox::activated, this, [this] { cmbClassAxis_Click(); });
    connect(cmbLimitAllies, &QComboBox::activated, this, [this] { cmbLimitAllies_Click(); });
    connect(cmbLimitAxis, &QComboBox::activated, this, [this] { cmbLimitAxis_Click(); });
    connect(cmdClassLimitOK, &QAbstractButton::clicked, this, [this] { cmdClassLimitOK_Click(); });
    for (QComboBox* box : {cmbClassAllies, cmbLimitAllies, cmbClassAxis, cmbLimitAxis})
        keepListPositionWithText(box);
    // A typed limit counts as a picked one does, for the class shown.
    connect(cmbLimitAllies->lineEdit(), &QLineEdit::textEdited, this,
            [this] { classPick(true, true, false); });
    connect(cmbLimitAxis->lineEdit(), &QLineEdit::textEdited, this,
            [this] { classPick(false, true, false); });
}

// ---------------------------------------------------------------------------
// Helpers

QString MapSetupPanel::selectedMap() const {
    const QListWidgetItem* item = lstMapList->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void MapSetupPanel::showMapCycle() {
    host.setViewerCaption(kMapCycleFile);
    host.ShowInViewer(mapCycleText);
}

void MapSetupPanel::enableMapControls(bool enabled) {
    lstMapList->setEnabled(enabled);
    cmdClearMapList->setEnabled(enabled);
    cmdAddMap->setEnabled(enabled);
    cmdMapOK->setEnabled(enabled);
}

// ---------------------------------------------------------------------------
// The map cycle

void MapSetupPanel::optMapFile_Click() {
    host.lockViewer();
    host.showPanel(this);
    showMapCycle();
    chkClassLimit->setEnabled(false); // selecting a map enables it again
    frmClassLimit->hide();
    frmMapSetup->show();
    host.setStatus(kPleaseSelectMaps, colour::Blue);
    enableMapControls(true);
    host.UpdateReadiness();
}

void MapSetupPanel::lstMapList_Click() {
    showMapCycle();
    cmdAddMap->setEnabled(true);
    chkClassLimit->setEnabled(true);
    // While limits are on, the map's lists and values follow the selection.
    if (!chkClassLimit->isChecked())
        return;
    if (!LoadMapClassLimits())
        return;
    BuildClassLimitText();
}

void MapSetupPanel::lstMapList_DblClick() {
    cmdAddMap_Click();
}

void MapSetupPanel::cmdAddMap_Click() {
    const QString name = selectedMap();
    if (name.isEmpty())
        return; // nothing selected: nothing to add
    if (mapCycleCount == std::numeric_limits<decltype(mapCycleCount)>::max()) {
        host.setStatus(QStringLiteral("The map cycle cannot hold any more maps."), colour::Red);
        return;
    }

    if (mapCycleText.isEmpty())
        mapCycleText = name;
    else
        mapCycleText += kCrLf + name;
    // The cycle may have been emptied elsewhere (choosing a mod): only the
    // counted entries are the cycle's.
    mapCycleNames.resize(mapCycleCount);
    mapCycleNames.append(name);
    ++mapCycleCount;

    showMapCycle();
    // The map just added is in view: the viewer scrolls to the last line.
    host.scrollViewerToEnd();
    cmdMapOK->setEnabled(true);
    if (mapCycleCount >= 5)
        host.setStatus(QStringLiteral("Map cycle ok?"), colour::Blue);
    else
        host.setStatus(QStringLiteral("C'mon, add some more maps..."), colour::Blue);
}

void MapSetupPanel::cmdClearMapList_Click() {
    mapCycleText.clear();
    mapCycleCount = 0;
    mapCycleNames.clear();
    showMapCycle();
    cmdMapOK->setEnabled(false);
    host.setStatus(kPleaseSelectMaps, colour::Blue);
}

void MapSetupPanel::cmdMapOK_Click() {
    const QString mod = host.mod();
    // A file that could not be written confirms nothing; the error is in
    // the status line and the old file is as it was.
    if (!host.saveGameFile(host.modFilePath(kMapCycleFile), mapCycleText))
        return;

    if (mod == QStringLiteral("dod")) {
        const qsizetype count = std::min<qsizetype>(mapCycleCount, mapCycleNames.size());
        emit rosterMapsOffered(QStringList{host.ask().firstMap()} + mapCycleNames.mid(0, count));
    }
    host.confirmStep(*this);
    host.showSaveNote();
}

} // namespace vorn
