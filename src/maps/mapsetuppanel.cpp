#include "mapsetuppanel.h"

#include "alliedcountry.h"
#include "controls.h"
#include "platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>
#include <limits>
#include <string>
#include <vector>

namespace vorn {

namespace {

const QString kMapCycleFile = QStringLiteral("vorn_mapcycle.txt");
const QString kCrLf = QStringLiteral("\r\n");
const QString kPleaseSelectMaps = QStringLiteral("Please select maps for the server.");

} // namespace

MapSetupPanel::MapSetupPanel(Vorn& window) : SetupPanel(&window), w(window) {
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
    chkClassLimit->setVisible(facts.dod);
    if (!facts.addOnVersion.isEmpty()) {
        if (w.st.nationClassSet == 0)
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

void MapSetupPanel::wireReactions() {
    Vorn::onSelected(w.optMapFile, this, [this] { optMapFile_Click(); });
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
}

// ---------------------------------------------------------------------------
// Helpers

QString MapSetupPanel::selectedMap() const {
    const QListWidgetItem* item = lstMapList->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void MapSetupPanel::enableMapControls(bool enabled) {
    lstMapList->setEnabled(enabled);
    cmdClearMapList->setEnabled(enabled);
    cmdAddMap->setEnabled(enabled);
    cmdMapOK->setEnabled(enabled);
}

void MapSetupPanel::fillClassBox(QComboBox* box, ClassTable& table) {
    table.resetValues();
    box->clear();
    for (const std::string& cls : table.classes)
        box->addItem(QString::fromStdString(cls));
}

void MapSetupPanel::setClassLists(const ClassLists& lists) {
    classLists = lists;
    Vorn::setCaption(lblClassAllies, QString::fromStdString(classLists.allies.label));
    Vorn::setCaption(lblClassAxis, QString::fromStdString(classLists.axis.label));
    fillClassBox(cmbClassAllies, classLists.allies);
    fillClassBox(cmbClassAxis, classLists.axis);
}

void MapSetupPanel::showFirstPositions() {
    // Position 1 of a table that holds no classes is empty.
    auto first = [](const std::vector<std::string>& entries) {
        return entries.empty() ? QString() : QString::fromStdString(entries.front());
    };
    cmbClassAllies->setEditText(first(classLists.allies.classes));
    cmbLimitAllies->setEditText(first(classLists.allies.values));
    cmbClassAxis->setEditText(first(classLists.axis.classes));
    cmbLimitAxis->setEditText(first(classLists.axis.values));
}

void MapSetupPanel::showClassLimitPreview() {
    w.st.checkPath = selectedMap() + QStringLiteral(".cfg");
    w.setViewerCaption(w.st.checkPath);
    w.ShowInViewer(classLimitOtherText + kCrLf + classLimitText);
}

// ---------------------------------------------------------------------------
// The map cycle

void MapSetupPanel::optMapFile_Click() {
    w.lockViewer();
    w.showPanel(this);
    w.setViewerCaption(kMapCycleFile);
    w.ShowInViewer(w.st.mapCycleText);
    chkClassLimit->setEnabled(false); // selecting a map enables it again
    frmClassLimit->hide();
    frmMapSetup->show();
    w.frmInfo->show();
    w.setStatus(kPleaseSelectMaps, colour::Blue);
    enableMapControls(true);
    w.UpdateReadiness();
}

void MapSetupPanel::lstMapList_Click() {
    w.setViewerCaption(kMapCycleFile);
    w.ShowInViewer(w.st.mapCycleText);
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
    if (w.st.mapCycleCount == std::numeric_limits<decltype(w.st.mapCycleCount)>::max()) {
        w.setStatus(QStringLiteral("The map cycle cannot hold any more maps."), colour::Red);
        return;
    }

    if (w.st.mapCycleText.isEmpty())
        w.st.mapCycleText = name;
    else
        w.st.mapCycleText += kCrLf + name;
    // The cycle may have been emptied elsewhere (choosing a mod): only the
    // counted entries are the cycle's.
    mapCycleNames.resize(w.st.mapCycleCount);
    mapCycleNames.append(name);
    ++w.st.mapCycleCount;

    w.setViewerCaption(kMapCycleFile);
    w.ShowInViewer(w.st.mapCycleText);
    // The map just added is in view: the viewer scrolls to the last line.
    w.txtFileContents->moveCursor(QTextCursor::End);
    w.txtFileContents->ensureCursorVisible();
    cmdMapOK->setEnabled(true);
    if (w.st.mapCycleCount >= 5)
        w.setStatus(QStringLiteral("Map cycle ok?"), colour::Blue);
    else
        w.setStatus(QStringLiteral("C'mon, add some more maps..."), colour::Blue);
}

void MapSetupPanel::cmdClearMapList_Click() {
    w.st.mapCycleText.clear();
    w.st.mapCycleCount = 0;
    mapCycleNames.clear();
    w.setViewerCaption(kMapCycleFile);
    w.ShowInViewer(w.st.mapCycleText);
    cmdMapOK->setEnabled(false);
    w.setStatus(kPleaseSelectMaps, colour::Blue);
}

void MapSetupPanel::cmdMapOK_Click() {
    const QString mod = w.mod();
    w.st.checkPath = w.modFilePath(kMapCycleFile);
    // A file that could not be written confirms nothing; the error is in
    // the status line and the old file is as it was.
    if (!w.saveGameFile(w.st.checkPath, w.st.mapCycleText))
        return;

    if (mod == QStringLiteral("dod")) {
        const qsizetype count = std::min<qsizetype>(w.st.mapCycleCount, mapCycleNames.size());
        emit rosterMapsOffered(QStringList{w.ask.firstMap()} + mapCycleNames.mid(0, count));
    }
    w.confirmStep(3);
    w.showSaveNote();
}

// ---------------------------------------------------------------------------
// Class limits

void MapSetupPanel::SetNationClassLists() {
    setClassLists(nationClassLists());
}

void MapSetupPanel::SetGenericClassLists() {
    setClassLists(genericClassLists());
}

bool MapSetupPanel::LoadMapClassLimits() {
    if (!chkClassLimit->isChecked())
        return true;
    const QString map = selectedMap();
    Vorn::setCaption(lblClassAxis, QStringLiteral("Axis"));
    Vorn::setCaption(lblClassAllies, QStringLiteral("Allies"));

    if (w.st.nationClassSet == 1) {
        SetNationClassLists();
        if (!map.isEmpty()) {
            w.st.countryDetected = 0;
            if (!DetectAlliedCountry(w, map))
                return false;
            if (w.st.countryDetected == 1 && w.st.alliesBritish == 1) {
                classLists.allies = britishAllies();
                Vorn::setCaption(lblClassAllies, QString::fromStdString(classLists.allies.label));
                fillClassBox(cmbClassAllies, classLists.allies);
            }
        }
    }

    // Every map starts clean: only its own file gives it kept lines and
    // limits, never the map loaded before it.
    classLists.allies.resetValues();
    classLists.axis.resetValues();
    classLimitOtherText.clear();
    classLimitText.clear();
    classLimitReadFailed_ = false;

    classLimitPath = w.modFilePath(map + QStringLiteral(".cfg"));
    // A file stored with other capitals is the same file to the system: it
    // is read, so that saving does not lose its lines.
    if (!map.isEmpty() && w.unusableNameReason(map).isEmpty() &&
        !platform::storedName(classLimitPath.toStdString()).empty()) {
        QStringList lines;
        if (w.readGameLines(classLimitPath, lines)) {
            std::string kept;
            readClassLimitFile(toStdLines(lines), classLists, kept);
            classLimitOtherText = QString::fromStdString(kept);
        } else {
            classLimitReadFailed_ = true;
            w.setStatus(QStringLiteral("Error: cannot read ") + map +
                            QStringLiteral(".cfg; its class limits are not shown."),
                        colour::Red);
        }
    }
    showFirstPositions();
    return true;
}

void MapSetupPanel::BuildClassLimitText() {
    classLimitText = QString::fromStdString(composeClassLimitLines(classLists));
}

void MapSetupPanel::chkClassLimit_Click() {
    if (!chkClassLimit->isChecked()) {
        frmClassLimit->hide();
        w.setViewerCaption(kMapCycleFile);
        w.ShowInViewer(w.st.mapCycleText);
        return;
    }
    enableMapControls(false);
    frmClassLimit->show();
    cmdClassLimitOK->setEnabled(true);
    if (!LoadMapClassLimits())
        return;
    BuildClassLimitText();
    showClassLimitPreview();
    showFirstPositions();
}

void MapSetupPanel::classPick(bool allies, bool limitPick) {
    enableMapControls(false);
    w.st.checkPath = selectedMap() + QStringLiteral(".cfg");
    w.setViewerCaption(w.st.checkPath);

    ClassTable& table = allies ? classLists.allies : classLists.axis;
    const QString classBox =
        allies ? QStringLiteral("cmbClassAllies") : QStringLiteral("cmbClassAxis");
    const QString limitBox =
        allies ? QStringLiteral("cmbLimitAllies") : QStringLiteral("cmbLimitAxis");
    const QString arrayName =
        allies ? QStringLiteral("classAlliesArray") : QStringLiteral("classAxisArray");
    QComboBox* classCombo = allies ? cmbClassAllies : cmbClassAxis;
    QComboBox* limitCombo = allies ? cmbLimitAllies : cmbLimitAxis;

    const QString picked = classCombo->currentText();
    QString logLine;
    for (std::size_t i = 0; i < table.classes.size(); ++i) {
        const QString entry = QString::fromStdString(table.classes[i]);
        logLine = QStringLiteral("Comparing ") + classBox + QStringLiteral(".Text=") + picked +
                  QStringLiteral(" with ") + arrayName + QStringLiteral("(i)=") + entry;
        w.WriteLog(logLine);
        if (entry != picked)
            continue;
        if (i >= table.values.size())
            table.values.resize(table.classes.size(), "-1");
        const QString position = QString::number(i + 1);
        if (limitPick) {
            const QString value = limitCombo->currentText();
            table.values[i] = value.toStdString();
            logLine = QStringLiteral("Setting ") + arrayName + QStringLiteral("Value(") + position +
                      QStringLiteral(") to ") + value;
        } else {
            const QString value = QString::fromStdString(table.values[i]);
            limitCombo->setEditText(value);
            logLine = QStringLiteral("Setting ") + limitBox + QStringLiteral(".Text to ") + value;
        }
        w.WriteLog(logLine);
        break;
    }

    BuildClassLimitText();
    showClassLimitPreview();
    cmdClassLimitOK->setEnabled(true);
}

void MapSetupPanel::cmbClassAllies_Click() {
    classPick(true, false);
}
void MapSetupPanel::cmbClassAxis_Click() {
    classPick(false, false);
}
void MapSetupPanel::cmbLimitAllies_Click() {
    classPick(true, true);
}
void MapSetupPanel::cmbLimitAxis_Click() {
    classPick(false, true);
}

void MapSetupPanel::cmdClassLimitOK_Click() {
    const QString map = selectedMap();
    if (map.isEmpty()) {
        w.setStatus(QStringLiteral("Error: no map is selected, so no class limits were saved. "
                                   "Select a map in the list first."),
                    colour::Red);
        return;
    }
    // A map called "x\..\..\name" would write outside the mod.
    if (const QString why = w.unusableNameReason(map); !why.isEmpty()) {
        w.setStatus(QStringLiteral("Error: map \"%1\" %2: no limits saved.").arg(map, why),
                    colour::Red);
        return;
    }
    classLimitPath = w.modFilePath(map + QStringLiteral(".cfg"));
    w.WriteLog(QStringLiteral("writing ") + classLimitPath);

    if (classLimitReadFailed_) {
        w.setStatus(QStringLiteral("Error: ") + map +
                        QStringLiteral(".cfg cannot be read, so it was not replaced."),
                    colour::Red);
        return;
    }
    // Read before, merged here, replaced whole: the old file stays as it
    // was when the new one cannot be written, and editing goes on.
    const std::string bytes =
        classLimitFileBytes(classLimitOtherText.toStdString(), classLimitText.toStdString());
    if (!w.saveGameFile(classLimitPath, QString::fromStdString(bytes), false))
        return;

    enableMapControls(true);
    // Save disables itself: the keyboard goes to the viewer, not back to
    // the Exec box.
    w.moveFocusFrom(cmdClassLimitOK);
    cmdClassLimitOK->setEnabled(false);
    w.WriteLog(classLimitOtherText + classLimitText);
    w.setStatus(QStringLiteral("Saved the class limits in ") + map + QStringLiteral(".cfg."),
                colour::Blue);
    w.showSaveNote();
}

} // namespace vorn
