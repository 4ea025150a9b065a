// What a setup panel may ask of the window that holds it. A panel sees this
// and nothing more of the window: the status line and the log, the viewer,
// the game's files, outside commands, the chosen mod's facts, and its own
// step.
#pragma once

#include "desktop.h"
#include "platform.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace vorn {

class SetupPanel;

// How long any outside command may take before we give up on it.
constexpr int kCommandTimeoutMs = 10000;
// A wait longer than this shows the busy pointer.
constexpr int kBusyAfterMs = 500;

// The title of every question and warning box.
inline const QString kAlertTitle = QStringLiteral("VORN Allert!");

// An outside command run to its end, or not.
struct CommandResult {
    // Success: the command ran and ended.
    platform::Status status;
    // Its exit code once it ended; -1 when it did not start or end.
    int exitCode = -1;
    // It was stopped at its time limit.
    bool timedOut = false;
};

// What the window and the panels ask of controls that another panel owns.
// The owning panel answers; the assembly fills these in.
struct PanelQueries {
    std::function<bool()> dedicated = [] { return false; };         // chkDedicated
    std::function<QString()> maxPlayers = [] { return QString(); }; // cmbMaxPlayers
    std::function<QString()> firstMap = [] { return QString(); };   // cmbMapList1
    std::function<QString()> hostName = [] { return QString(); };   // txtHostName
    std::function<QString()> commandLine = [] { return QString(); };
};

// The viewer's controls, for the step that edits its text there.
struct ViewerControls {
    QPlainTextEdit* text;
    QPushButton* edit;
    QPushButton* save;
};

class PanelHost {
  public:
    virtual ~PanelHost() = default;

    // ---- the panel's frame and its step
    // A frame on the form, at the place the window's table of frames gives
    // it; a frame not listed there stands below the control centre.
    virtual QGroupBox* makeFrame(const char* name, const char* caption) = 0;
    // The panel's frame is shown and every other panel's hidden.
    virtual void showPanel(const SetupPanel* shown) = 0;
    // After the panel's Save has done its work: the step is confirmed,
    // the next one offered, and readiness checked.
    virtual void confirmStep(const SetupPanel& panel) = 0;
    virtual void UpdateReadiness() = 0;
    virtual const PanelQueries& ask() const = 0;

    // ---- status line, log and the user
    virtual void setStatus(const QString& text, std::uint32_t bgr) = 0;
    virtual void WriteLog(const QString& text) = 0;
    virtual int messageBox(MsgIcon icon, MsgButtons buttons, const QString& title,
                           const QString& text) = 0;
    virtual void beep() = 0;
    virtual void setBusy(bool busy) = 0;
    // The user is asked whether to end the program (the Exit menu); true
    // when it was ended.
    virtual bool askToExit() = 0;
    virtual void endProgram() = 0;
    virtual bool programEnded() const = 0;
    // Before a Save disables its own button: the keyboard focus goes to
    // `next` when it can take it, else to the viewer.
    virtual void moveFocusFrom(QWidget* leaving, QWidget* next = nullptr) = 0;

    // ---- the viewer
    virtual void ShowInViewer(const QString& text) = 0;
    virtual void setViewerCaption(const QString& caption) = 0;
    // Locked, Edit and Save disabled: what every step but the welcome
    // message does when it takes the viewer over.
    virtual void lockViewer() = 0;
    virtual void scrollViewerToEnd() = 0;
    virtual ViewerControls viewerControls() const = 0;

    // ---- the Exec path and the game's files
    virtual QString execPath() const = 0;
    // The Exec box gets `path`, and is checked again even when it held it.
    virtual void setExecPath(const QString& path) = 0;
    // The game directory, with its final "\".
    virtual QString gameDir() const = 0;
    virtual QString mod() const = 0;
    // gameDir & mod & "\" & name
    virtual QString modFilePath(const QString& name) const = 0;
    // Replace a game file with `text` (plus CR LF when `finalCrlf`) in the
    // game's 8-bit character set, atomically; false after a red error.
    virtual bool saveGameFile(const QString& winPath, const QString& text,
                              bool finalCrlf = true) = 0;
    // Why a name from a listing cannot become part of a path; "" when it can.
    virtual QString unusableNameReason(const QString& name) const = 0;
    virtual void showSaveNote() = 0;
    virtual platform::Status readGameLines(const QString& winPath, QStringList& lines) = 0;

    // ---- outside commands
    // Run one command through the batch file and wait for it (bounded).
    // `meanwhile`, when given, runs once the command has started, while it
    // works.
    virtual CommandResult runCommand(const QString& commandLine, const QString& what,
                                     const std::function<void()>& meanwhile = {}) = 0;
    // The error of a failed command, with the interpreter's own words.
    virtual QString commandFailure(const QString& what, int exitCode) = 0;
    // The file a command's listing is redirected into.
    virtual QString commandListPath() const = 0;
};

} // namespace vorn
