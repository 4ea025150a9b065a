// What every window test needs: a scripted seam, a fresh demo installation
// in a temporary Wine-style prefix, and the window over it.
#pragma once

#include "vornwick.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vorn::test {

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

// A demo installation made by scripts/make-demo.sh in a temporary prefix,
// with WINEPREFIX pointing at it for as long as the object lives.
class DemoInstall {
  public:
    DemoInstall();
    ~DemoInstall();

    QString prefix() const { return dir_.path(); }
    // The host path of a path below the prefix's drive_c ("Sierra/Half-Life").
    QString drive(const QString& relative) const;
    // The host path of a path below the game directory ("dod/vorn_motd.txt").
    QString game(const QString& relative) const;

    // Whole file as bytes ("" when missing).
    static QByteArray read(const QString& hostPath);
    static void write(const QString& hostPath, const QByteArray& bytes);
    // Wait (bounded) until the file exists and is not empty.
    static bool waitForFile(const QString& hostPath, int timeoutMs = 10000);

    // Put a stand-in command interpreter in place of vorn-cmd (through
    // VORN_CMD) for as long as the object lives: a shell script with this
    // body, kept in the prefix. Returns its host path.
    QString replaceInterpreter(const QByteArray& scriptBody);
    // Back to the real vorn-cmd.
    void restoreInterpreter();

  private:
    QTemporaryDir dir_;
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

    // Driving the window as a user would.
    void chooseMod(const QString& mod);                    // pick from cmbModList
    void pickCombo(const char* name, const QString& text); // a user's pick from a list
    void setText(const char* name, const QString& text);   // line edit or combo text
    void click(const char* name);                          // button, option or check box
    void clickListItem(const char* name, const QString& text, bool doubleClick = false);
    QString status() const; // lblStatus text
    QColor statusColour() const;
    // The whole status text has room in the status line (nothing clipped).
    bool statusFits() const;
    // Confirm steps 1..last on the chosen mod as a user would: the first
    // listed map on the command line, the proposed server configuration,
    // the first five listed maps in the cycle, the proposed welcome message.
    void confirmSteps(int last);

    ScriptedSeam seam;
    std::unique_ptr<DemoInstall> demo;
    std::unique_ptr<Vorn> w;
};

} // namespace vorn::test
