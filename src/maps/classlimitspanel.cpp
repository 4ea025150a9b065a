// The class limits of the map setup panel: for the dod mod, each map's
// limits per class, read from and saved to the map's "<map>.cfg".
#include "mapsetuppanel.h"

#include "alliedcountry.h"
#include "controls.h"
#include "platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <string>
#include <vector>

namespace vorn {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

void MapSetupPanel::fillClassBox(QComboBox* box, ClassTable& table) {
    table.resetValues();
    box->clear();
    for (const std::string& cls : table.classes)
        box->addItem(QString::fromStdString(cls));
}

void MapSetupPanel::setClassLists(const ClassLists& lists) {
    classLists = lists;
    setCaption(lblClassAllies, QString::fromStdString(classLists.allies.label));
    setCaption(lblClassAxis, QString::fromStdString(classLists.axis.label));
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
    host.setViewerCaption(selectedMap() + QStringLiteral(".cfg"));
    host.ShowInViewer(classLimitOtherText + kCrLf + classLimitText);
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
    setCaption(lblClassAxis, QStringLiteral("Axis"));
    setCaption(lblClassAllies, QStringLiteral("Allies"));

    if (nationClasses_) {
        SetNationClassLists();
        if (!map.isEmpty()) {
            const AlliedCountry country = DetectAlliedCountry(host, map);
            if (country.programEnded)
                return false;
            if (country.found == AlliedCountry::British) {
                classLists.allies = britishAllies();
                setCaption(lblClassAllies, QString::fromStdString(classLists.allies.label));
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

    classLimitPath = host.modFilePath(map + QStringLiteral(".cfg"));
    // A file stored with other capitals is the same file to the system: it
    // is read, so that saving does not lose its lines.
    if (!map.isEmpty() && host.unusableNameReason(map).isEmpty() &&
        !platform::storedName(classLimitPath.toStdString()).empty()) {
        QStringList lines;
        if (host.readGameLines(classLimitPath, lines)) {
            std::string kept;
            readClassLimitFile(toStdLines(lines), classLists, kept);
            classLimitOtherText = QString::fromStdString(kept);
        } else {
            classLimitReadFailed_ = true;
            host.setStatus(QStringLiteral("Error: cannot read ") + map +
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
        showMapCycle();
        // The map is free again at once, as after the limits' Save.
        enableMapControls(true);
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

void MapSetupPanel::classPick(bool allies, bool limitPick, bool logged) {
    enableMapControls(false);
    host.setViewerCaption(selectedMap() + QStringLiteral(".cfg"));

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
        if (logged)
            host.WriteLog(logLine);
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
        if (logged)
            host.WriteLog(logLine);
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
        host.setStatus(QStringLiteral("Error: no map is selected, so no class limits were saved. "
                                      "Select a map in the list first."),
                       colour::Red);
        return;
    }
    // A map called "x\..\..\name" would write outside the mod.
    if (const QString why = host.unusableNameReason(map); !why.isEmpty()) {
        host.setStatus(QStringLiteral("Error: map \"%1\" %2: no limits saved.").arg(map, why),
                       colour::Red);
        return;
    }
    classLimitPath = host.modFilePath(map + QStringLiteral(".cfg"));
    host.WriteLog(QStringLiteral("writing ") + classLimitPath);

    if (classLimitReadFailed_) {
        host.setStatus(QStringLiteral("Error: ") + map +
                           QStringLiteral(".cfg cannot be read, so it was not replaced."),
                       colour::Red);
        return;
    }
    // Read before, merged here, replaced whole: the old file stays as it
    // was when the new one cannot be written, and editing goes on.
    const std::string bytes =
        classLimitFileBytes(classLimitOtherText.toStdString(), classLimitText.toStdString());
    if (!host.saveGameFile(classLimitPath, QString::fromStdString(bytes), false))
        return;

    enableMapControls(true);
    // Save disables itself: the keyboard goes to the viewer, not back to
    // the Exec box.
    host.moveFocusFrom(cmdClassLimitOK);
    cmdClassLimitOK->setEnabled(false);
    host.WriteLog(classLimitOtherText + classLimitText);
    host.setStatus(QStringLiteral("Saved the class limits in ") + map + QStringLiteral(".cfg."),
                   colour::Blue);
    host.showSaveNote();
}

} // namespace vorn
