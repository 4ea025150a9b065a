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
    // The mod's maps, as the map listing gave them (empty when it failed).
    QStringList maps;
};

// One panel of the row of setup steps. The window shows one panel's frame
// at a time, resets every panel, and tells each one the mod chosen, in the
// order the panels were added.
class SetupPanel : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    virtual QGroupBox* frame() const = 0;
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

} // namespace vorn
