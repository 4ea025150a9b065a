// The server configuration frame, as a table of its controls.
#include "servercfgpanel.h"

#include "formtable.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vorn {

void ServerCfgPanel::buildControls() {
    frmServerFile = host.makeFrame("frmServerFile", "Server Configuration");
    frmServerFile->hide();

    // The settings on the left, the extra variables on the right.
    enum { Outer, Left, Right };
    const Layout layouts[] = {
        {.type = Layout::Line, .on = "frmServerFile", .margins = {8, 4, 8, 6}, .spacing = 12},
        {.type = Layout::Grid, .vSpacing = 3, .columnStretch = {{1, 1}, {3, 1}}},
        {.type = Layout::Column, .spacing = 3},
    };
    // Made in the order of the tab order.
    // clang-format off
    const Row rows[] = {
        {.kind = Kind::Nested, .at = next(Outer, 3), .nested = Left},
        {.kind = Kind::Nested, .at = next(Outer, 2), .nested = Right},
        {.kind = Kind::LineEdit, .name = "txtHostName", .at = below(Left, 1, 3),
         .member = txtHostName},
        {.kind = Kind::Label, .name = "Label4", .caption = "Host Name:", .buddy = "txtHostName",
         .at = beside(Left, 0)},
        {.kind = Kind::CheckBox, .name = "chkFriendlyFire", .caption = "Friendly Fire?",
         .tip = "Watch those grenades.", .checked = true, .at = below(Left, 0, 2)},
        {.kind = Kind::CheckBox, .name = "chkFootSteps", .caption = "Foot Steps?",
         .tip = "Is it an enemy?", .checked = true, .at = beside(Left, 2, 2)},
        {.kind = Kind::CheckBox, .name = "chkFlashlight", .caption = "Flashlight?",
         .tip = "Slows down servers, but go for it.", .checked = true, .at = below(Left, 0, 2)},
        {.kind = Kind::CheckBox, .name = "chkDeathMsgs", .caption = "Death Messages?",
         .tip = "Allow kills displayed. TUrn it off for fear factor.", .checked = true,
         .at = beside(Left, 2, 2)},
        {.kind = Kind::CheckBox, .name = "chkFallDamage", .caption = "Fall Damage?",
         .tip = "Disable supermen.", .checked = true, .at = below(Left, 0, 2)},
        {.kind = Kind::CheckBox, .name = "chkLAN", .caption = "LAN only?",
         .tip = "Internet players cannot join in.", .at = beside(Left, 2, 2)},
        {.kind = Kind::LineEdit, .name = "txtMapTime", .caption = "30",
         .tip = "Set to \"0\" to ignore time.", .at = below(Left, 1)},
        {.kind = Kind::Label, .name = "lblMapTime", .caption = "Map Time(min):",
         .buddy = "txtMapTime", .at = beside(Left, 0)},
        {.kind = Kind::LineEdit, .name = "txtTeamLimit", .caption = "2",
         .tip = "How unbalanced do you want your teams? Set to \"0\" to ignore limit.",
         .at = beside(Left, 3)},
        {.kind = Kind::Label, .name = "Label5", .caption = "Team limit:", .buddy = "txtTeamLimit",
         .at = beside(Left, 2, Qt::AlignRight)},
        // The box keeps "\n"; its text reads back with CR LF line ends.
        {.kind = Kind::Text, .name = "txtExtra2", .caption = "sv_maxspectators 4\n",
         .tip = "Add more goodies in here.", .at = next(Right, 1), .member = txtExtra2},
        {.kind = Kind::Label, .name = "lblExtra2", .caption = "Extra Variables:",
         .buddy = "txtExtra2", .at = ahead(Right, "txtExtra2")},
        {.kind = Kind::Button, .name = "cmdServerOK", .caption = "Save",
         .access = "Save the server configuration", .at = next(Right, 0, Qt::AlignRight),
         .member = cmdServerOK},
    };
    // clang-format on
    const Form form = buildForm(frmServerFile, layouts, rows);
    orderTabs({&form});

    txtExtra2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtExtra2->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtExtra2->setTabChangesFocus(true);
}

} // namespace vorn
