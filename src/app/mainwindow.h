// The form `vorn`: the one main window of Vornwick.
//
// The window owns the shared window state, the control centre and the file
// viewer; the setup panels add their frames to it and reach the rest of the
// window through it (shared members, procedures, and other panels' controls
// found by name with ctl<T>()).
#pragma once

#include "desktop.h"
#include "formtable.h"
#include "platform.h"
#include "windowstate.h"

#include <QColor>
#include <QMainWindow>
#include <QRect>
#include <QStringList>
#include <cstdint>
#include <functional>

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

namespace platform {
class Process;
}
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
// The text of a multi-line box as the program reads it: without the marks
// that keep the viewer from breaking a line at a hyphen.
QString plainText(const QPlainTextEdit* box);
// The same with every line break as CR LF.
QString crlfText(const QPlainTextEdit* box);

// How long any outside command may take before we give up on it.
constexpr int kCommandTimeoutMs = 10000;
// A wait longer than this shows the busy pointer.
constexpr int kBusyAfterMs = 500;

// The property that marks a setup panel: a child of the window, removed by
// ~Vorn before the controls it watches.
constexpr const char* kPanelProperty = "vornPanel";
// How long Start watches the launcher for an early failure.
constexpr int kStartCheckMs = 1000;

class Vorn : public QMainWindow {
    Q_OBJECT

  public:
    explicit Vorn(UiSeam& ui, QWidget* parent = nullptr);
    ~Vorn() override;

    WindowState st;
    UiSeam& ui;
    // Set once the program was ended through the seam; reactions stop.
    bool programEnded = false;

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

    // Any control of the window by its name. The name must exist.
    template <class T> T* ctl(const char* name) const {
        T* w = findChild<T*>(QString::fromLatin1(name));
        Q_ASSERT_X(w, "Vorn::ctl", name);
        return w;
    }

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
    // True when the mods were listed (an empty list counts); false after a
    // red error.
    bool FindMods();
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
    // True when the maps were listed (none counts); false after a red error.
    bool FindMaps();

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

    // ---- the map's Allied country. Callers set st.countryDetected to 0
    // first. Returns false when the program was ended.
    bool DetectAlliedCountry(const QString& mapName);

    // ---- helpers for every panel
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
    // Read a game file's lines, decoded from the 8-bit character set.
    // When it cannot be read, false comes back and `error` (if given) says why.
    bool readGameLines(const QString& winPath, QStringList& lines, QString* error = nullptr);

    // Run one outside command through the batch file and wait for it to end
    // (bounded). `what` names the command in an error message. On failure
    // the status line shows a red error and false comes back.
    // `exitCode` receives the command's exit code (-1 when it did not end).
    bool runCommand(const QString& commandLine, const QString& what, int* exitCode = nullptr);
    // The exit code of the last command runCommand saw end; -1 when it was
    // not started or did not end.
    int lastExitCode = -1;
    // Set when the last command was stopped at its time limit.
    bool lastTimedOut = false;
    // A failed outside command: the red status names it and gives the
    // interpreter's (or Wine's) own words from `outputPath`, and the log
    // keeps them whole.
    void reportCommandFailure(const QString& what, int exitCode, const QString& outputPath);
    // Where the interpreter's complaints about the last command are kept:
    // "vorn.err" beside the listing file.
    QString errorOutputPath() const;
    // A listing: the old listing file is removed, `command` (which redirects
    // into commandListPath(): tempListPath, unless a started server still
    // holds it) is run, and the listing's lines are read once the command
    // has ended.
    bool runListing(const QString& command, const QString& what, QStringList& lines);

    // The step of cmbModList_Click that sets the class lists; installed by
    // the map setup panel.
    std::function<void()> setClassListsForMod;

  private:
    void buildControlCenter();
    void buildViewer();
    void buildMenus();
    void wireReactions();

    // Working files: the root of drive c:, or a per-user directory when the
    // root cannot be written.
    void chooseWorkingDirectory();
    bool waitUntilGone(const QString& winPath, const QString& name);
    // The batch file's one line; false after a red error when it cannot be
    // written.
    bool writeBatchFile(const QString& line, const QString& batchPath);
    // The batch and listing files of outside commands other than the server
    // start: side files while a started server still holds the usual ones.
    bool serverHoldsWorkingFiles() const;
    QString commandBatchPath() const;
    QString commandListPath() const;
    QString commandListName() const;

    // Steps of the server start. A running server is stopped first when the
    // user agrees; false when it keeps running. The UDP port of the
    // command line must be free; false after a red error.
    bool stopRunningServerFirst();
    bool portIsFree();
    // The server window takes over the started launcher.
    void showServer(platform::Process launcher, const QString& line);
    // Run a batch file from its own folder, with `redirect` ("> name",
    // "2> name", names in that folder) behind it.
    platform::Status startBatch(const QString& batchPath, const QString& redirect,
                                platform::Process& process);

    QWidget* formArea_ = nullptr;
    QString workingDirNote_;
    QString saveNote_;
};

} // namespace vorn
