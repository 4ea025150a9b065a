// The form `vorn`: the one main window of Vornwick.
//
// The window owns the shared window state, the control centre and the file
// viewer; the setup panels add their frames to it and reach the rest of the
// window through it (shared members, procedures, and other panels' controls
// found by name with ctl<T>()).
#pragma once

#include "seam.h"
#include "windowstate.h"

#include <QColor>
#include <QMainWindow>
#include <QRect>
#include <QStringList>
#include <cstdint>
#include <functional>

class QAction;
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
// A rectangle given in twips (15 twips are one pixel at 96 dpi).
QRect twips(int left, int top, int width, int height);

// The text of a multi-line box with every line break as CR LF.
QString crlfText(const QPlainTextEdit* box);

// How long any outside command may take before we give up on it.
constexpr int kCommandTimeoutMs = 10000;

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

    // Place a panel's frame on the form at its twip position.
    void addFrame(QGroupBox* frame, int left, int top, int width, int height);
    QWidget* formArea() const { return formArea_; }

    // ---- start-up, paths, log and mod list
    void Form_Load();
    void InitSettings();
    void txtExec_Change();
    void DeriveGameDir();
    void CheckExecPath();
    void FindMods();
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
    void FindMaps();

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

    // ---- the map's Allied country. Callers set st.countryDetected to 0
    // first. Returns false when the program was ended.
    bool DetectAlliedCountry(const QString& mapName);

    // ---- helpers for every panel
    void setStatus(const QString& text, std::uint32_t bgr);
    void setBackColour(QWidget* widget, std::uint32_t bgr);
    QString mod() const; // the text of cmbModList
    // gameDir & mod & "\" & name
    QString modFilePath(const QString& name) const;
    // Replace a game file with `text` (plus CR LF when `finalCrlf`), in the
    // game's 8-bit character set, atomically. On failure the status line
    // shows a red error naming the file, and false comes back.
    bool saveGameFile(const QString& winPath, const QString& text, bool finalCrlf = true);
    // Read a game file's lines, decoded from the 8-bit character set.
    bool readGameLines(const QString& winPath, QStringList& lines);

    // Run one outside command through the batch file and wait for it to end
    // (bounded). `what` names the command in an error message. On failure
    // the status line shows a red error and false comes back.
    bool runCommand(const QString& commandLine, const QString& what);
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

    QWidget* formArea_ = nullptr;
    QString workingDirNote_;
};

} // namespace vorn
