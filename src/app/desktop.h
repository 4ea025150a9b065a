// Message boxes, the beep, the busy pointer and ending the program.
//
// The window reaches the user's desktop only through this interface, so
// that tests can answer message boxes, see beeps and record the end of the
// program instead of exiting.
#pragma once

#include <QString>

class QWidget;

namespace vorn {

enum class MsgIcon { Information, Question, Critical };
enum class MsgButtons { Ok, YesNo };

// Answers as the form keeps them in msgAnswer.
constexpr int kAnswerOk = 1;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

class UiSeam {
  public:
    virtual ~UiSeam() = default;
    virtual int messageBox(QWidget* parent, MsgIcon icon, MsgButtons buttons, const QString& title,
                           const QString& text) = 0;
    virtual void beep() = 0;
    virtual void setBusy(QWidget* window, bool busy) = 0;
    // Ends the program at once. A scripted seam records the call instead;
    // callers return straight after it.
    virtual void endProgram() = 0;
};

// The real desktop: QMessageBox, QApplication::beep, the wait cursor and an
// immediate exit.
class QtSeam : public UiSeam {
  public:
    int messageBox(QWidget* parent, MsgIcon icon, MsgButtons buttons, const QString& title,
                   const QString& text) override;
    void beep() override;
    void setBusy(QWidget* window, bool busy) override;
    void endProgram() override;
};

} // namespace vorn
