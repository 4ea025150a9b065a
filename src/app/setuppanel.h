// What the window knows of a setup panel, and what it tells every panel
// when a mod is chosen.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QGroupBox;

namespace vorn {

// The chosen mod, as the window found it on the disk.
struct ModFacts {
    QString mod;
    bool dod = false;
    // The bot add-on is installed (its DLL is there; dod only).
    bool addOn = false;
    // The add-on's version from its History.txt; "" when none is given.
    QString addOnVersion;
    // The add-on's class lists know the nations (any version but 1.5).
    bool nationClasses = false;
    // The mod's maps, as the map listing gave them (empty when it failed).
    QStringList maps;
};

class PanelHost;

// What a panel's status line says while its step is open and composed.
inline const QString kSetupOk = QStringLiteral("Server setup ok?");

// One panel of the row of setup steps. The window shows one panel's frame
// at a time, resets every panel, and tells each one the mod chosen, in the
// order the panels were added.
class SetupPanel : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    // The panel's frame; nullptr for a step that has the viewer alone.
    virtual QGroupBox* frame() const = 0;
    // The step's option became selected: the panel opens.
    virtual void open() = 0;
    // The mouse went down on the step's option, selected or not.
    virtual void optionPressed() {}
    // The Exec path was refused: a panel that depends on it closes.
    virtual void execPathRefused() {}
    // Back to the state before any step: the frame hidden, Save as at
    // start-up.
    virtual void reset() = 0;
    // After the reset of a mod choice, while the new mod's maps are being
    // listed (when the listing starts at all): what the panel holds of the
    // old mod's maps can go now. modChosen follows in any case.
    virtual void modLeaving() {}
    // After the reset of a mod choice, with the mod's facts.
    virtual void modChosen(const ModFacts& facts) = 0;
};

// One step in the row of setup steps, as the window's table of steps holds
// it, in the order the user takes them.
struct StepRow {
    const char* option;  // the option button's name
    const char* caption; // its caption; "Select <caption>" offers the step
    // The panel of the step, made once the window stands.
    SetupPanel* (*make)(PanelHost& host);
    // When the step is shown; nullptr: always. A step shown only for some
    // mods is not needed for the others.
    bool (*shownFor)(const ModFacts& facts) = nullptr;
};

template <class Panel> SetupPanel* makePanel(PanelHost& host) {
    return new Panel(host);
}

} // namespace vorn
