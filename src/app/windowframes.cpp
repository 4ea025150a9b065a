#include "mainwindow.h"

#include "formtable.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vorn {

void Vorn::buildMenus() {
    buildMenuBar(menuBar(), {{"mnuExit", "E&xit", mnuExit}, {"mnuAbout", "A&bout", mnuAbout}});
}

void Vorn::buildControlCenter() {
    frmControlCenter =
        makeFrame(formArea_, "frmControlCenter", "Control Center", {0, 0, 4575, 3015});

    const Layout layouts[] = {
        {.type = Layout::Grid,
         .on = "frmControlCenter",
         .margins = {6, 4, 6, 6},
         .hSpacing = 6,
         .vSpacing = 3,
         .rowStretch = {{6, 1}},
         .columnStretch = {{1, 1}, {2, 1}}},
    };
    // In the order of the layout, which is also the tab order.
    // clang-format off
    const Row rows[] = {
        {.kind = Kind::Label, .name = "lblExec", .caption = "Exec:", .buddy = "txtExec",
         .at = cell(0, 0, 0), .member = lblExec},
        {.kind = Kind::LineEdit, .name = "txtExec", .tip = "Path to hl.exe",
         .at = cell(0, 0, 1, 1, 3), .member = txtExec},
        {.kind = Kind::Label, .name = "lblMod", .caption = "Mod:", .buddy = "cmbModList",
         .at = cell(0, 1, 0), .member = lblMod},
        {.kind = Kind::Combo, .name = "cmbModList", .tip = "Game mod.", .at = cell(0, 1, 1, 1, 2),
         .member = cmbModList},
        // A label is read out by its text; the description says what it is.
        {.kind = Kind::Label, .name = "lblModSupport", .caption = "I dunno!",
         .description = "Support for the chosen mod", .at = cell(0, 1, 3), .member = lblModSupport},
        {.kind = Kind::Option, .name = "optCommandLine", .caption = "Command Line",
         .at = cell(0, 2, 0, 1, 2), .member = optCommandLine},
        {.kind = Kind::Option, .name = "optServerFile", .caption = "Server Configuration",
         .at = cell(0, 2, 2, 1, 2), .member = optServerFile},
        {.kind = Kind::Option, .name = "optMapFile", .caption = "Map Cycle",
         .at = cell(0, 3, 0, 1, 2), .member = optMapFile},
        {.kind = Kind::Option, .name = "optMotd", .caption = "Welcome Message",
         .at = cell(0, 3, 2, 1, 2), .member = optMotd},
        {.kind = Kind::Option, .name = "optBotFile", .caption = "Bot Setup",
         .at = cell(0, 4, 0, 1, 2), .member = optBotFile},
        {.kind = Kind::Line, .name = "Shape2", .at = cell(0, 5, 0, 1, 4), .member = Shape2},
        {.kind = Kind::Label, .name = "lblStatus", .caption = "Hi there!", .description = "Status",
         .at = cell(0, 6, 0, 1, 3), .member = lblStatus},
        {.kind = Kind::Button, .name = "cmdStart", .caption = "Start Server",
         .tip = "Get the game going", .at = cell(0, 6, 3, Qt::AlignRight | Qt::AlignBottom),
         .member = cmdStart},
    };
    // clang-format on
    buildForm(frmControlCenter, layouts, rows);

    cmbModList->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    for (QRadioButton* option : {optCommandLine, optServerFile, optMapFile, optMotd, optBotFile})
        option->setAutoFillBackground(true);
    lblStatus->setWordWrap(true);
    lblStatus->setTextFormat(Qt::PlainText);
    // The status line has the room left below the steps, whatever its text:
    // a long text is cut to fit it (Vorn::setStatus), never clipped.
    QSizePolicy room = lblStatus->sizePolicy();
    room.setVerticalPolicy(QSizePolicy::Ignored);
    room.setHeightForWidth(false);
    lblStatus->setSizePolicy(room);
    setStatus(lblStatus->text(), colour::Red);
}

void Vorn::buildViewer() {
    frmInfo = makeFrame(formArea_, "frmInfo", "File Name", {4560, 0, 4095, 3015});

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
