#include "mainwindow.h"

#include "formtable.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vorn {

namespace {

// Where each frame stands on the form, in twips: the control centre and the
// viewer side by side, the setup panels below them in one place. A frame
// not listed is a setup panel's, below the control centre, as wide as the
// form and as tall as its rows.
const FramePlace kFramePlaces[] = {
    {"frmControlCenter", {0, 0, 4575, 3015}},  {"frmInfo", {4560, 0, 4095, 3015}},
    {"frmCommandLine", {0, 3000, 4575, 3015}}, {"frmServerFile", {0, 3000, 8655, 2415}},
    {"frmMapSetup", {0, 3000, 8655, 3975}},    {"frmSturmbotSetup", {-120, 3000, 8655, 4215}},
};
constexpr QRect kPanelPlace{0, 3000, 8655, 0};
// The form's margin right of and below the frames.
constexpr int kFormMargin = 150;

QRect placeOf(const QString& frame) {
    for (const FramePlace& place : kFramePlaces)
        if (frame == QLatin1String(place.name))
            return place.twips;
    return kPanelPlace;
}

} // namespace

void Vorn::buildMenus() {
    buildMenuBar(menuBar(), {{"mnuExit", "E&xit", mnuExit}, {"mnuAbout", "A&bout", mnuAbout}});
}

QGroupBox* Vorn::makeFrame(const char* name, const char* caption) {
    QGroupBox* frame = vorn::makeFrame(formArea_, name, caption, placeOf(QLatin1String(name)));
    frames_.push_back(frame);
    return frame;
}

void Vorn::placeFrames() {
    std::vector<std::pair<QWidget*, QRect>> frames;
    for (QGroupBox* frame : frames_)
        frames.emplace_back(frame, placeOf(frame->objectName()));
    formArea_->setFixedSize(vorn::placeFrames(frames, kFormMargin));
}

void Vorn::buildControlCenter(std::span<const StepRow> steps) {
    frmControlCenter = makeFrame("frmControlCenter", "Control Center");

    const Layout layouts[] = {
        {.type = Layout::Grid,
         .on = "frmControlCenter",
         .margins = {6, 4, 6, 6},
         .hSpacing = 6,
         .vSpacing = 3,
         .columnStretch = {{1, 1}, {2, 1}}},
    };
    // In the order of the layout, which is also the tab order.
    // clang-format off
    std::vector<Row> rows = {
        {.kind = Kind::Label, .name = "lblExec", .caption = "Exec:", .buddy = "txtExec",
         .at = below(0, 0), .member = lblExec},
        {.kind = Kind::LineEdit, .name = "txtExec", .tip = "Path to hl.exe",
         .at = beside(0, 1, 3), .member = txtExec},
        {.kind = Kind::Label, .name = "lblMod", .caption = "Mod:", .buddy = "cmbModList",
         .at = below(0, 0), .member = lblMod},
        {.kind = Kind::Combo, .name = "cmbModList", .tip = "Game mod.", .at = beside(0, 1, 2),
         .member = cmbModList},
        // A label is read out by its text; the description says what it is.
        {.kind = Kind::Label, .name = "lblModSupport", .caption = "I dunno!",
         .description = "Support for the chosen mod", .at = beside(0, 3), .member = lblModSupport},
    };
    // The steps' options, two to a row, in the order the user takes them.
    for (std::size_t i = 0; i < steps.size(); ++i)
        rows.push_back({.kind = Kind::Option, .name = steps[i].option,
                        .caption = steps[i].caption,
                        .at = i % 2 == 0 ? below(0, 0, 2) : beside(0, 2, 2)});
    rows.insert(rows.end(), {
        {.kind = Kind::Line, .name = "Shape2", .at = below(0, 0, 4), .member = Shape2},
        {.kind = Kind::Label, .name = "lblStatus", .caption = "Hi there!", .description = "Status",
         .at = below(0, 0, 3, {}, 1), .member = lblStatus},
        {.kind = Kind::Button, .name = "cmdStart", .caption = "Start Server",
         .tip = "Get the game going", .at = beside(0, 3, 1, Qt::AlignRight | Qt::AlignBottom),
         .member = cmdStart},
    });
    // clang-format on
    const Form form = buildForm(frmControlCenter, layouts, rows);
    for (const StepRow& row : steps) {
        auto* option = static_cast<QRadioButton*>(form[row.option]);
        option->setAutoFillBackground(true);
        steps_.push_back({.row = row, .option = option});
    }

    cmbModList->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    lblStatus->setWordWrap(true);
    lblStatus->setTextFormat(Qt::PlainText);
    // The status line has the room left below the steps, whatever its text:
    // a long text is cut to fit it (Vorn::setStatus), never clipped.
    QSizePolicy room = lblStatus->sizePolicy();
    room.setVerticalPolicy(QSizePolicy::Ignored);
    room.setHeightForWidth(false);
    lblStatus->setSizePolicy(room);
    // Never less than three lines of text: more steps make the frame taller
    // rather than the status line shorter.
    lblStatus->setMinimumHeight(3 * QFontMetrics(lblStatus->font()).lineSpacing());
    setStatus(lblStatus->text(), colour::Red);
}

void Vorn::buildViewer() {
    frmInfo = makeFrame("frmInfo", "File Name");

    const Layout layouts[] = {
        {.type = Layout::Column, .on = "frmInfo", .margins = {6, 4, 6, 6}},
        {.type = Layout::Line},
    };
    // clang-format off
    const Row rows[] = {
        {.kind = Kind::Text, .name = "txtFileContents", .access = "File contents", .at = next(0, 1),
         .member = txtFileContents},
        {.kind = Kind::Nested, .at = next(0), .nested = 1},
        {.kind = Kind::Button, .name = "cmdEditFile", .caption = "Edit",
         .access = "Edit welcome message", .at = next(1), .member = cmdEditFile},
        {.kind = Kind::Stretch, .at = next(1, 1)},
        {.kind = Kind::Button, .name = "cmdSaveFile", .caption = "Save",
         .access = "Save welcome message", .at = next(1), .member = cmdSaveFile},
    };
    // clang-format on
    buildForm(frmInfo, layouts, rows);

    // Lines are shown as the file holds them, never broken: the layout
    // would break after any hyphen ("-heapsize", "Half-Life"), and a file's
    // text is never changed to prevent that. A long line is scrolled to.
    txtFileContents->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtFileContents->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txtFileContents->setReadOnly(true);
    // Tab leaves the text for the buttons instead of typing a tab.
    txtFileContents->setTabChangesFocus(true);
}

} // namespace vorn
