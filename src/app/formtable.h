// The window's frames as tables. Each frame is a list of rows, one per
// control: its name (objectName), kind, caption, tooltip, buddy or
// accessible name, its place in one of the frame's layouts and its member.
// One factory, buildForm(), makes the controls from the rows in row order,
// lays them out and binds each member; frames themselves stand on the form
// at twip rectangles that grow with the desktop font (makeFrame, twips).
#pragma once

#include <QMargins>
#include <QRect>
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QAction;
class QFont;
class QGroupBox;
class QLayout;
class QMenuBar;
class QPlainTextEdit;

namespace vorn {

// ---- twips: the form's unit, scaled with the desktop font

// How much the form grows for a font: its average character width against
// the default desktop font's at 96 dpi, never below 1.
double fontScale(const QFont& font);
// The factor of the window made last (1 before any).
double twipScale();
// Set by each new window from its font.
void setTwipScale(double scale);
// A rectangle given in twips, in pixels: 15 twips are one pixel at 96 dpi,
// and the whole form grows with the font by twipScale().
QRect twips(int left, int top, int width, int height);

// A frame of the form: a group box on `formArea` at a twip rectangle.
QGroupBox* makeFrame(QWidget* formArea, const char* name, const char* caption, QRect twipRect);

// Where a frame stands on the form, in twips.
struct FramePlace {
    const char* name;
    QRect twips;
};
// Frames stand in bands: those with the same top. Each frame is as tall as
// its rows need at the current font and never less than its place; a band
// that grows moves the bands below it down by as much. The size the form
// then needs, in pixels: `margin` twips right of and below the frames.
QSize placeFrames(std::span<const std::pair<QWidget*, QRect>> frames, int margin);

// ---- the rows

enum class Kind {
    Label,      // QLabel with `caption`; names `buddy`
    LineEdit,   // QLineEdit holding `caption`
    TypedCombo, // makeTypedCombo: the user may type its text
    Combo,      // QComboBox that only picks
    CheckBox,   // QCheckBox, `checked` or not
    Button,     // QPushButton, never a default button
    Option,     // QRadioButton
    Text,       // QPlainTextEdit holding `caption`
    List,       // QListWidget
    SubFrame,   // QGroupBox inside the frame
    Box,        // QFrame drawn as a plain box, holding controls of its own
    Line,       // QFrame drawn as a sunken horizontal line
    Nested,     // no control: places layout `nested` here
    Stretch,    // no control: a stretch in a box layout, or an empty grid row below
};

// Where a row goes: a cell of a grid (a row number, or below or beside the
// rows so far), or the next place in a box layout (row -1), or in a box
// layout ahead of another row's control.
struct Place {
    int layout = 0; // index into the frame's layouts
    int row = -1;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    int stretch = 0; // box layouts; in a grid, the stretch of the row
    Qt::Alignment align = {};
    const char* before = nullptr; // box layouts: ahead of this row
};

constexpr Place cell(int layout, int row, int column, int rowSpan = 1, int columnSpan = 1,
                     Qt::Alignment align = {}) {
    return {layout, row, column, rowSpan, columnSpan, 0, align, nullptr};
}
constexpr Place cell(int layout, int row, int column, Qt::Alignment align) {
    return {layout, row, column, 1, 1, 0, align, nullptr};
}
// A single flag would otherwise be taken for a row span.
constexpr Place cell(int layout, int row, int column, Qt::AlignmentFlag align) {
    return cell(layout, row, column, Qt::Alignment(align));
}
// Grid rows without numbers: `below` starts a new row under the last one
// used so far in the grid (and may give that row a stretch), `beside` goes
// on the row last used.
constexpr int kRowBelow = -2;
constexpr int kRowBeside = -3;
constexpr Place below(int layout, int column, int columnSpan = 1, Qt::Alignment align = {},
                      int rowStretch = 0) {
    return {layout, kRowBelow, column, 1, columnSpan, rowStretch, align, nullptr};
}
constexpr Place below(int layout, int column, Qt::AlignmentFlag align) {
    return below(layout, column, 1, Qt::Alignment(align));
}
constexpr Place beside(int layout, int column, int columnSpan = 1, Qt::Alignment align = {}) {
    return {layout, kRowBeside, column, 1, columnSpan, 0, align, nullptr};
}
constexpr Place beside(int layout, int column, Qt::AlignmentFlag align) {
    return beside(layout, column, 1, Qt::Alignment(align));
}
constexpr Place next(int layout, int stretch = 0, Qt::Alignment align = {}) {
    return {layout, -1, 0, 1, 1, stretch, align, nullptr};
}
constexpr Place ahead(int layout, const char* row, int stretch = 0) {
    return {layout, -1, 0, 1, 1, stretch, {}, row};
}

// A typed member a row's control is bound to. The control must be of the
// member's type: the factory refuses a row whose kind makes anything else.
class Slot {
  public:
    Slot() = default;
    template <class T> Slot(T*& member) : target_(&member), bind_(&bindAs<T>) {}
    void bind(QWidget* control, const char* name) const {
        if (bind_)
            bind_(target_, control, name);
    }

  private:
    template <class T> static void bindAs(void* target, QWidget* control, const char* name) {
        T* typed = qobject_cast<T*>(control);
        if (!typed)
            throw std::logic_error(std::string("form row of the wrong type for its member: ") +
                                   name);
        *static_cast<T**>(target) = typed;
    }
    void* target_ = nullptr;
    void (*bind_)(void*, QWidget*, const char*) = nullptr;
};

struct Row {
    Kind kind;
    const char* name = nullptr; // objectName
    const char* caption = nullptr;
    const char* tip = nullptr;
    bool checked = false;
    const char* buddy = nullptr;       // labels: the row they name
    const char* access = nullptr;      // accessible name
    const char* description = nullptr; // accessible description
    Place at = {};
    Slot member = {};
    int tab = 0;    // explicit place in the tab order (1, 2, ...); 0: row order
    int nested = 0; // Kind::Nested: the layout placed here
    QPlainTextEdit* (*make)() = nullptr; // Kind::Text: made by this instead
};

// A layout of a frame: a grid, a column (QVBoxLayout) or a line
// (QHBoxLayout), installed on the control named `on` (the frame's own name,
// or a sub-frame's or box's), or placed in another by a Nested row.
struct Layout {
    enum Type { Grid, Column, Line } type;
    const char* on = nullptr;
    QMargins margins = {-1, -1, -1, -1}; // -1: the style's
    int spacing = -1;                    // boxes
    int hSpacing = -1;                   // grids
    int vSpacing = -1;
    std::vector<std::pair<int, int>> rowStretch = {};
    std::vector<std::pair<int, int>> columnStretch = {};
};

// What buildForm made: the frame's controls in row order, and its layouts.
struct Form {
    struct Made {
        std::string_view name;
        QWidget* widget;
        int tab; // explicit place, 0 in row order, -1 out of the tab order
    };
    std::vector<Made> made;
    std::vector<QLayout*> layouts;
    // The control of the row `name`; throws std::logic_error when none.
    QWidget* operator[](std::string_view name) const;
};

// The controls of `frame` from `rows`, made in row order in the widget that
// holds their layout, named, captioned, bound to their members and placed.
// Throws std::logic_error for a row that names no row (buddy, before,
// layout owner) or does not fit its member.
Form buildForm(QWidget* frame, std::span<const Layout> layouts, std::span<const Row> rows);

// Chains the tab order of the forms' controls: by their explicit numbers
// when any row has one, else in row order.
void orderTabs(std::initializer_list<const Form*> forms);

// A menu bar entry: its objectName, caption and member.
struct MenuRow {
    const char* name;
    const char* caption;
    QAction*& member;
};
void buildMenuBar(QMenuBar* bar, std::initializer_list<MenuRow> rows);

} // namespace vorn
