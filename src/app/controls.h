// Small factories for the controls of the window and its panels: each
// control is born with its name (objectName), its caption or text and its
// tooltip. A tooltip is also read out as the control's description once
// the window is assembled (Vorn::polishAccessibility), so the factories set
// only the tooltip.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QObject;

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace vorn {

// A caption; with a buddy, the label names that control.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption,
                  QWidget* buddy = nullptr);
QLineEdit* makeLineEdit(QWidget* parent, const char* name, const QString& text = {},
                        const QString& tip = {});
QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption, bool checked,
                        const QString& tip = {});
// Never a default button: Return in a text field presses nothing.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& tip = {});
// A combo box whose text the user may type, and whose list only offers
// values: typing never adds an item, never completes the text, and never
// counts as picking an item (Qt would pick a matching item when the box
// loses focus or Return is pressed, which would run the pick's reaction).
// `activated`, the pick, comes only from the list.
QComboBox* makeTypedCombo(QWidget* parent, const char* name, const QString& tip = {});

// The list position of a typed combo box follows its text, typed or set
// from code: the arrow keys and the list step from the value shown to its
// neighbour. A text the list does not hold leaves no item current.
void keepListPositionWithText(QComboBox* box);

// The mouse wheel turns the box's choice only while the box has the
// keyboard focus, and never gives it the focus: a wheel turn meant for
// something else never chooses. Keys and clicks choose as before.
void wheelOnlyWithFocus(QComboBox* box);

// The ground under text whose colour is fixed: white, as 0x00BBGGRR.
constexpr std::uint32_t kTextGround = 0xFFFFFF;
// The colour of a control's text, as 0x00BBGGRR, on the fixed ground.
void setTextColour(QWidget* widget, std::uint32_t bgr);
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
// A caption that changes while the program runs: screen readers read the
// new one too.
void setCaption(QWidget* control, const QString& caption);
// A fixed back colour (0x00BBGGRR), with text that stays readable on it.
void setBackColour(QWidget* widget, std::uint32_t bgr);
// Connect an option button's reaction: it runs whenever the option
// becomes selected (mouse, keyboard, accessibility action or code), and
// not again while it stays selected.
void onSelected(QAbstractButton* option, QObject* context, std::function<void()> reaction);
// The contrast of two colours, 1 to 21, as accessibility guidelines count it.
double contrastRatio(const QColor& a, const QColor& b);
// Near black or white, whichever reads better on `ground`.
QColor readableTextOn(const QColor& ground);

// Lines read through the window, for the Qt-free code that parses them.
std::vector<std::string> toStdLines(const QStringList& lines);

} // namespace vorn
