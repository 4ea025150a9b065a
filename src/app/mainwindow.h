// The form `vorn`: the one main window of Vornwick.
//
// The window owns the control centre, the file viewer and the row of setup
// steps, made from a table of steps (StepRow). Each step's panel sees the
// window only as its PanelHost; what one panel needs of another goes
// through typed queries and signals that the assembly (assembly.cpp)
// connects.
#pragma once

#include "controls.h"
#include "desktop.h"
#include "formtable.h"
#include "panelhost.h"
#include "platform.h"
#include "setuppanel.h"
#include "windowstate.h"

#include <QColor>
#include <QMainWindow>
#include <QRect>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class QAbstractButton;
class QAction;
class QFont;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QFrame;

namespace vorn::platform {
class Process;
}

namespace vorn {

class ServerWindow;

// What the status line says to offer a step: "Select " and its caption.
QString selectStepText(const char* caption);

// How long Start watches the launcher for an early failure.
constexpr int kStartCheckMs = 1000;

class Vorn : public QMainWindow, public PanelHost {
    Q_OBJECT

  public:
    // The window with the steps of `steps`, each panel made in that order.
    Vorn(UiSeam& ui, std::span<const StepRow> steps, QWidget* parent = nullptr);
    ~Vorn() override;

    UiSeam& ui;

    // The panel of the step whose option is named `option`.
    SetupPanel* panelOf(const char* option) const;
    // What the panels ask of each other; the assembly fills it in.
    PanelQueries queries;

    // Once every panel is built: tooltips become accessible descriptions,
    // and every input control is named in words for screen readers.
    void polishAccessibility();

    // ---- start-up, paths, log and mod list
    void Form_Load();
    void InitSettings();
    void txtExec_Change();
    void DeriveGameDir();
    void CheckExecPath();
    // The mods listed into cmbModList (an empty list counts); a failure
    // says why.
    platform::Status FindMods();
    void ShortPause();

    // ---- panels and readiness
    void ResetPanels();

    // ---- mod selection and map listing
    void cmbModList_Click();
    // The maps of the chosen mod into `maps` (none counts); a failure says
    // why. While the maps are listed, the panels let go of the old mod's
    // lists (SetupPanel::modLeaving).
    platform::Status FindMaps(QStringList& maps);

    // ---- server start and menus
    void cmdStart_Click();
    // The window of the last server started (nullptr before the first).
    ServerWindow* serverWindow = nullptr;
    void mnuExit_Click();
    void mnuAbout_Click();
    // After the start's short pause: true, after a red error with the
    // launcher's own words, when it has already ended with an error.
    bool launcherFailedEarly(platform::Process& launcher);

    // ---- the end of the program
    // Ends the program at once (through the desktop). Nothing in the window
    // starts another step afterwards: a scripted desktop only records the
    // end, and the window then takes no more input.
    void endProgram() override;
    bool programEnded() const override { return ended_; }

    // ---- what the panels ask of the window (PanelHost)
    QGroupBox* makeFrame(const char* name, const char* caption) override;
    void showPanel(const SetupPanel* shown) override;
    // The step protocol: light green, confirmed, the next step's option
    // enabled and offered, readiness.
    void confirmStep(const SetupPanel& panel) override;
    void UpdateReadiness() override;
    const PanelQueries& ask() const override { return queries; }
    // The status line: the text, or as much of it as the line has room for.
    void setStatus(const QString& text, std::uint32_t bgr) override;
    void WriteLog(const QString& text) override;
    int messageBox(MsgIcon icon, MsgButtons buttons, const QString& title,
                   const QString& text) override;
    void beep() override;
    void setBusy(bool busy) override;
    bool askToExit() override;
    // Never back to the Exec box, where the next key would replace the path.
    void moveFocusFrom(QWidget* leaving, QWidget* next = nullptr) override;
    void ShowInViewer(const QString& text) override;
    void setViewerCaption(const QString& caption) override;
    void lockViewer() override;
    void scrollViewerToEnd() override;
    ViewerControls viewerControls() const override;
    QString execPath() const override;
    void setExecPath(const QString& path) override;
    QString gameDir() const override { return st.gameDir; }
    QString mod() const override; // the text of cmbModList
    QString modFilePath(const QString& name) const override;
    bool saveGameFile(const QString& winPath, const QString& text, bool finalCrlf = true) override;
    // As "holds '\'" or "is not a file name".
    QString unusableNameReason(const QString& name) const override;
    // At the end of a Save: when the last file saved had characters that
    // its character set cannot hold, the status line names them.
    void showSaveNote() override;
    platform::Status readGameLines(const QString& winPath, QStringList& lines) override;
    CommandResult runCommand(const QString& commandLine, const QString& what,
                             const std::function<void()>& meanwhile = {}) override;
    QString commandFailure(const QString& what, int exitCode) override;
    // The listing file of outside commands: tempListPath, unless a started
    // server still holds it.
    QString commandListPath() const override;

    // ---- outside commands
    // A failed outside command: the error names it and gives the
    // interpreter's (or Wine's) own words from `outputPath`; the log keeps
    // them whole.
    QString commandFailure(const QString& what, int exitCode, const QString& outputPath);
    // Where the interpreter's complaints about the last command are kept:
    // "vorn.err" beside the listing file.
    QString errorOutputPath() const;
    // A listing: the old listing file is removed, `command` (which redirects
    // into commandListPath()) is run, and the listing's lines are read once
    // the command has ended. A listing cut short is never used.
    platform::Status runListing(const QString& command, const QString& what, QStringList& lines,
                                const std::function<void()>& meanwhile = {});
    // A `dir` listing of `path` (quoted) with `switches`; `refusal` begins
    // the error when a path cannot be put on the batch line.
    platform::Status runDir(const QString& path, const QString& switches, const QString& what,
                            const QString& refusal, QStringList& lines,
                            const std::function<void()>& meanwhile = {});

  private:
    // One step of the row, as the window keeps it.
    struct Step {
        StepRow row;
        QRadioButton* option = nullptr;
        SetupPanel* panel = nullptr;
        bool confirmed = false;
    };
    Step* stepOf(const SetupPanel& panel);

    void buildControlCenter(std::span<const StepRow> steps);
    void buildViewer();
    void buildMenus();
    void wireReactions();
    // Every frame at its place from the table of frames, each as tall as
    // its rows need: a taller frame moves the frames below it, and the form
    // grows with them.
    void placeFrames();
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Working files: the root of drive c:, or a per-user directory when the
    // root cannot be written.
    void chooseWorkingDirectory();
    bool waitUntilGone(const QString& winPath, const QString& name);
    // The batch file's one line; a failure says why.
    platform::Status writeBatchFile(const QString& line, const QString& batchPath);
    // The batch and listing files of outside commands other than the server
    // start: side files while a started server still holds the usual ones.
    bool serverHoldsWorkingFiles() const;
    QString commandBatchPath() const;
    QString commandListName() const;

    // The add-on of a dod mod: facts, and a problem with its History.txt to
    // say once the maps are listed.
    void findAddOn(ModFacts& facts, QString& problem);
    // The server's line as Start runs it; a failure says why.
    platform::Status startLine(QString& line) const;
    // Steps of the server start. A running server is stopped first when the
    // user agrees; false when it keeps running. The UDP port of the
    // command line must be free; false after a red error.
    bool stopRunningServerFirst();
    bool portIsFree();
    // Why a server on this UDP port cannot start, as the status line says
    // it; "" when the port is free or there is none (0).
    QString portRefusal(int port) const;
    // Where the server's launcher sends its console output and complaints.
    QString serverRedirect() const;
    // The server window starts a server that ended by itself again: the
    // same line, the same checks and files as Start; a refusal is shown in
    // the status line too.
    platform::Status restartServer(const QString& line, platform::Process& launcher);
    // The server window takes over the started launcher.
    void showServer(platform::Process launcher, const QString& line);
    // Run a batch file from its own folder, with `redirect` ("> name",
    // "2> name", names in that folder) behind it.
    platform::Status startBatch(const QString& batchPath, const QString& redirect,
                                platform::Process& process);
    // The status text, cut short after its last word that fits when the
    // status line has no room for all of it.
    QString fittedStatus(const QString& text) const;

    WindowState st;

    // ---- controls of the control centre and the viewer
    QGroupBox* frmControlCenter = nullptr;
    QLabel* lblExec = nullptr;
    QLineEdit* txtExec = nullptr;
    QLabel* lblMod = nullptr;
    QComboBox* cmbModList = nullptr;
    QLabel* lblModSupport = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdStart = nullptr;
    QFrame* Shape2 = nullptr;

    QGroupBox* frmInfo = nullptr;
    QPlainTextEdit* txtFileContents = nullptr;
    QPushButton* cmdEditFile = nullptr;
    QPushButton* cmdSaveFile = nullptr;

    QAction* mnuExit = nullptr;
    QAction* mnuAbout = nullptr;

    QWidget* formArea_ = nullptr;
    // Every frame on the form, in the order made.
    std::vector<QGroupBox*> frames_;
    // The steps in the order the user takes them.
    std::vector<Step> steps_;
    QString workingDirNote_;
    QString saveNote_;
    bool ended_ = false;
};

} // namespace vorn
