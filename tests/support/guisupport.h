// What every window test needs: a scripted seam, a fresh demo installation
// in a temporary Wine-style prefix, and the window over it.
#pragma once

#include "assembly.h"
#include "waituntil.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// Readable texts and bytes in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << ::testing::PrintToString(s.toStdString());
}
inline void PrintTo(const QByteArray& s, std::ostream* os) {
    *os << ::testing::PrintToString(s.toStdString());
}
QT_END_NAMESPACE

// Skips a test whose subject has no meaning on Windows, saying why.
#ifdef _WIN32
#define VORN_SKIP_ON_WINDOWS(why) GTEST_SKIP() << (why)
#else
#define VORN_SKIP_ON_WINDOWS(why) static_cast<void>(0)
#endif

namespace vorn::test {

// What the bot panel writes before its last line with the defaults, once dod
// with add-on 1.6 set the reaction times to 300 and 800; the extra text's own
// CR LF leaves an empty line at the end.
inline const QString kDefaultBotLines = QStringLiteral(
    "min_reaction 300\r\nmax_reaction 800\r\nfriendlyfiremode off\r\nrank on\r\nformsquad off\r\n"
    "knifeonly off\r\npistolonly off\r\ngrenadeonly off\r\nbloodmode 0\r\n"
    "bind \"F3\" \"sturmbotmenu\"\r\nmaxteamkills 3\r\n\r\n");

// Rename a file or folder to a name that differs only in letter case, by
// way of a third name, as a case-blind file system requires.
bool renameCase(const QString& from, const QString& to);

// A control of `window` by its name (objectName). A name the window does not
// hold, or a control of another kind, fails the test there and then, naming
// the control, in every build type.
struct MissingControl : std::runtime_error {
    using std::runtime_error::runtime_error;
};
template <class T> T* control(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw MissingControl(std::string("the window has no control named \"") + name +
                             "\" of the kind " + T::staticMetaObject.className());
    return found;
}

QStringList items(const QComboBox* box);
QStringList items(const QListWidget* list);

// Answers message boxes from a queue (OK / Yes when it runs dry) and
// records every call.
class ScriptedSeam : public UiSeam {
  public:
    struct Box {
        MsgIcon icon;
        MsgButtons buttons;
        QString title;
        QString text;
    };

    std::deque<int> answers;
    std::vector<Box> boxes;
    int beeps = 0;
    int busyOn = 0;
    int busyOff = 0;
    int ends = 0;

    int messageBox(QWidget* parent, MsgIcon icon, MsgButtons buttons, const QString& title,
                   const QString& text) override;
    void beep() override { ++beeps; }
    void setBusy(QWidget*, bool busy) override { ++(busy ? busyOn : busyOff); }
    void endProgram() override { ++ends; }
};

// A fresh demo installation (tools/demo) with the stand-ins built beside
// the tests. Off Windows it lies in a temporary Wine-style prefix, with
// WINEPREFIX pointing at it for as long as the object lives; on Windows in
// the real drive C:, where the window looks for it by default.
class DemoInstall {
  public:
    DemoInstall();
    ~DemoInstall();

    // The host path of a path below drive C: ("Sierra/Half-Life").
    QString drive(const QString& relative) const;
    // The host path of a path below the game directory ("dod/vorn_motd.txt").
    QString game(const QString& relative) const;

    // Whole file as bytes ("" when missing).
    static QByteArray read(const QString& hostPath);
    // The host path of a working file in the per-user folder the window
    // moves to when the root of drive c: cannot be written.
    static QString userTemp(const QString& name);
    static void write(const QString& hostPath, const QByteArray& bytes);

    // Put a stand-in command interpreter in place of vorn-cmd (through
    // VORN_CMD) for as long as the object lives: a shell script with this
    // body, kept in the prefix. Returns its host path. Not on Windows, where
    // cmd.exe is the interpreter.
    QString replaceInterpreter(const QByteArray& scriptBody);
    // Back to the real vorn-cmd.
    void restoreInterpreter();

  private:
    QTemporaryDir dir_;
    QString root_; // the folder that stands for drive C:'s root, less drive_c
    QByteArray oldPrefix_;
    bool hadPrefix_ = false;
    bool replacedInterpreter_ = false;
    bool hadInterpreter_ = false;
    QByteArray oldInterpreter_;
};

// A fixture with both, and the window loaded over the demo.
class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Build (and by default load) the window; tests that prepare the disk
    // first call it themselves after setting `autoLoad` to false.
    void openWindow(bool load = true);
    bool autoLoad = true;

    template <class T> T* ctl(const char* name) const { return control<T>(*w, name); }

    // Driving the window as a user would.
    void chooseMod(const QString& mod);                    // pick from cmbModList
    void pickCombo(const char* name, const QString& text); // a user's pick from a list
    void setText(const char* name, const QString& text);   // a field's text replaced by paste
    void click(const char* name);                          // button, option or check box
    void clickListItem(const char* name, const QString& text, bool doubleClick = false);
    void addMaps(const QStringList& maps); // each clicked in lstMapList, then Add Map
    // Keys as the user types them ("\r" is Return), into whatever has the focus.
    void type(const QString& keys);
    // One key pressed and released where the focus is.
    static void key(int code, const QString& text = {},
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Give a control the focus as Tab would (the window made active first).
    void focus(QWidget* widget);
    // Choose the mod and open a step whose option the steps before would
    // enable: those belong to other panels, so the option is simply enabled.
    void openStep(const char* option, const QString& mod = QStringLiteral("dod"));
    QString status() const; // lblStatus text, whole (its tooltip when it was cut short)
    QColor statusColour() const;
    // The whole status text has room in the status line (nothing clipped).
    bool statusFits() const;
    // Confirm a step as a user would: open it, fill in what it needs (the
    // first listed map on the command line, the first five listed maps in
    // the cycle), and press its Save.
    void confirmStep(const QString& option);
    // Every step shown, in order; or those up to and including `last`.
    void confirmAllSteps();
    void confirmStepsThrough(const char* last);
    // The steps' options in the order the control centre shows them: those
    // on show, or all of them; and the names of those on show.
    QList<QRadioButton*> stepButtons(bool shownOnly = true) const;
    QStringList stepOptions() const;

    // The viewer's text as the program reads it, line breaks as CR LF.
    QString viewer() const;
    // A step's option shows its step confirmed: light green, not pink.
    bool confirmed(const char* option) const;
    // A file below the game directory ("dod/vorn_motd.txt"), as bytes.
    QByteArray gameFile(const QString& relative) const;
    // The back colour of a step's option: pink open, light green confirmed.
    static QColor back(const QWidget* option);
    // The `index`-th message box shown, with its title, icon and buttons.
    void expectBox(std::size_t index, const QString& title, MsgIcon icon, MsgButtons buttons) const;
    // A red error in the status line ("Error: ...") that holds `part`, in
    // full view.
    void expectError(const QString& part) const;
    // A Save that could not write: a red error naming the file, in full view.
    void expectSaveRefused(const QString& fileName) const;
    // Wait (bounded) until the server stand-in has noted `starts` starts;
    // its log.
    QByteArray serverLog(int starts = 1) const;
    // Make a file impossible to replace, for root too: an immutable file
    // cannot be renamed over. Without chattr only a non-root user can be
    // stopped (by a read-only directory). False when neither works.
    bool makeUnreplaceable(const QString& hostPath);

    ScriptedSeam seam;
    std::unique_ptr<DemoInstall> demo;
    std::unique_ptr<Vorn> w;

  private:
    QStringList immutable_;
};

} // namespace vorn::test
