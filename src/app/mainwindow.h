// The form `vorn`: the one main window of Vornwick.
//
// The window owns the shared window state, the control centre and the file
// viewer. The setup panels add their frames to it and use its shared
// procedures; the window knows them only as SetupPanels. What one panel
// needs of another goes through typed queries and signals that the
// assembly (assembly.cpp) connects.
#pragma once

#include "desktop.h"
#include "formtable.h"
#include "platform.h"
#include "setuppanel.h"
#include "windowstate.h"

#include <QColor>
#include <QMainWindow>
#include <QRect>
#include <QStringList>
#include <cstdint>
#include <functional>
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

// The colour table, as 0x00BBGGRR values.
namespace colour {
constexpr std::uint32_t Blue = 0xFF1111;
constexpr std::uint32_t Red = 0x1111FF;
constexpr std::uint32_t Green = 0x11AA11;
constexpr std::uint32_t NearBlack = 0x111111;
constexpr std::uint32_t Pink = 0xC0C0FF;
constexpr std::uint32_t LightGreen = 0xC0FFC0;
} // namespace colour

// 0x00BBGGRR as a QColor.
QColor fromBgr(std::uint32_t bgr);
// The text of a multi-line box as the program reads it.
QString plainText(const QPlainTextEdit* box);
// The same with every line break as CR LF.
QString crlfText(const QPlainTextEdit* box);

// How long any outside command may take before we give up on it.
constexpr int kCommandTimeoutMs = 10000;
// A wait longer than this shows the busy pointer.
constexpr int kBusyAfterMs = 500;

// How long Start watches the launcher for an early failure.
constexpr int kStartCheckMs = 1000;

// What the window and the panels ask of controls that another panel owns.
// The owning panel answers; the assembly fills these in.
struct PanelQueries {
    std::function<bool()> dedicated = [] { return false; };         // chkDedicated
    std::function<QString()> maxPlayers = [] { return QString(); }; // cmbMaxPlayers
    std::function<QString()> firstMap = [] { return QString(); };   // cmbMapList1
    std::function<QString()> hostName = [] { return QString(); };   // txtHostName
};

class Vorn : public QMainWindow {
    Q_OBJECT

  public:
    explicit Vorn(UiSeam& ui, QWidget* parent = nullptr);
    ~Vorn() override;

    WindowState st;
    UiSeam& ui;
    PanelQueries ask;

    // ---- controls of the control centre and the viewer
    QGroupBox* frmControlCenter = nullptr;
    QLabel* lblExec = nullptr;
    QLineEdit* txtExec = nullptr;
    QLabel* lblMod = nullptr;
    QComboBox* cmbModList = nullptr;
    QLabel* lblModSupport = nullptr;
    QRadioButton* optCommandLine = nullptr;
    QRadioButton* optServerFile = nullptr;
    QRadioButton* optMapFile = nullptr;
    QRadioButton* optMotd = nullptr;
    QRadioButton* optBotFile = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdStart = nullptr;
    QFrame* Shape2 = nullptr;

    QGroupBox* frmInfo = nullptr;
    QPlainTextEdit* txtFileContents = nullptr;
    QPushButton* cmdEditFile = nullptr;
    QPushButton* cmdSaveFile = nullptr;

    QAction* mnuExit = nullptr;
    QAction* mnuAbout = nullptr;

    // ---- the setup panels
    // The window takes the panel (it goes before the controls it watches).
    // Reset and mod choice reach the panels in the order they were added.
    void addPanel(SetupPanel* panel);
    // The panel's frame is shown and every other panel's frame hidden;
    // nullptr hides them all.
    void showPanel(const SetupPanel* shown);
    // Once every panel is built: tooltips become accessible descriptions,
    // and every input control is named in words for screen readers.
    void polishAccessibility();
    QWidget* formArea() const { return formArea_; }

    // ---- start-up, paths, log and mod list
    void Form_Load();
    void InitSettings();
    void txtExec_Change();
    void DeriveGameDir();
    void CheckExecPath();
    // The mods listed into cmbModList (an empty list counts); a failure
    // says why.
    platform::Status FindMods();
    void WriteLog(const QString& text);
    void ShortPause();

    // ---- panels, readiness and the step protocol
    void ResetPanels();
    void UpdateReadiness();
    // The confirming reaction of step 1..5 calls this after its own work:
    // light green, the saved flag, the next option, the status, readiness.
    void confirmStep(int step);

    // ---- mod selection and map listing
    void cmbModList_Click();
    // The maps of the chosen mod into `maps` (none counts); a failure says
    // why. The map cycle is emptied. While the maps are listed, the panels
    // let go of the old mod's lists (SetupPanel::modLeaving).
    platform::Status FindMaps(QStringList& maps);

    // ---- viewer and welcome message
    void ShowInViewer(const QString& text);
    void setViewerCaption(const QString& caption);
    // What every panel's option does when it takes over the viewer:
    // txtFileContents locked, Edit and Save disabled.
    void lockViewer();
    void optMotd_Click();
    void cmdEditFile_Click();
    void cmdSaveFile_Click();

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
    void endProgram();
    bool programEnded() const { return ended_; }

    // ---- helpers for every panel
    // The status line: the text, or as much of it as the line has room for.
    void setStatus(const QString& text, std::uint32_t bgr);
    // A caption that changes while the program runs: screen readers read
    // the new one too.
    static void setCaption(QWidget* control, const QString& caption);
    // Before a Save disables its own button: the keyboard focus goes to
    // `next` when it can take it, else to the viewer, never back to the
    // Exec box where the next key would replace the path.
    void moveFocusFrom(QWidget* leaving, QWidget* next = nullptr);
    // Connect an option button's reaction: it runs whenever the option
    // becomes selected (mouse, keyboard, accessibility action or code), and
    // not again while it stays selected.
    static void onSelected(QAbstractButton* option, QObject* context,
                           std::function<void()> reaction);
    void setBackColour(QWidget* widget, std::uint32_t bgr);
    QString mod() const; // the text of cmbModList
    // The game directory found from the Exec path, with its final "\\".
    QString gameDir() const { return st.gameDir; }
    // gameDir & mod & "\" & name
    QString modFilePath(const QString& name) const;
    // Replace a game file with `text` (plus CR LF when `finalCrlf`), in the
    // game's 8-bit character set, atomically. On failure the status line
    // shows a red error naming the file, and false comes back.
    bool saveGameFile(const QString& winPath, const QString& text, bool finalCrlf = true);
    // Why a name from a listing cannot become part of a file's path, as
    // "holds '\'" or "is not a file name"; "" when it can.
    QString unusableNameReason(const QString& name) const;
    // At the end of a Save: when the last file saved had characters that
    // its character set cannot hold, the status line names them.
    void showSaveNote();
    // Read a game file's lines, decoded from the 8-bit character set. A
    // failure says why.
    platform::Status readGameLines(const QString& winPath, QStringList& lines);

    // ---- outside commands
    // Run one outside command through the batch file and wait for it to end
    // (bounded). `what` names the command in the error. Success means the
    // command ran and ended; its exit code is then in lastExitCode.
    // `meanwhile`, when given, runs once the command has started, while it
    // works: the window's own work overlaps the command's.
    platform::Status runCommand(const QString& commandLine, const QString& what,
                                const std::function<void()>& meanwhile = {});
    // The exit code of the last command runCommand saw end; -1 when it was
    // not started or did not end.
    int lastExitCode = -1;
    // Set when the last command was stopped at its time limit.
    bool lastTimedOut = false;
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
    // The listing file of outside commands: tempListPath, unless a started
    // server still holds it.
    QString commandListPath() const;

  signals:
    // The Exec path was refused: the command line's panel closes.
    void execPathRefused();

  private:
    void buildControlCenter();
    void buildViewer();
    void buildMenus();
    void wireReactions();

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

    // The add-on of a dod mod: facts, the bot step's option, and a problem
    // with its History.txt to say once the maps are listed.
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

    QWidget* formArea_ = nullptr;
    std::vector<SetupPanel*> panels_;
    QString workingDirNote_;
    QString saveNote_;
    // The status text, cut short after its last word that fits when the
    // status line has no room for all of it.
    QString fittedStatus(const QString& text) const;
    bool ended_ = false;
};

} // namespace vorn
