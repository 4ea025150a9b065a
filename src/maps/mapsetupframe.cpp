// The map setup frame, as a table of its controls.
#include "mapsetuppanel.h"

#include "controls.h"
#include "formtable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>

namespace vorn {

namespace {

// The limits a class can be given; also what a class box offers before any
// class list is set.
QStringList limitItems() {
    QStringList items{QStringLiteral("-1")};
    for (int n = 0; n <= 9; ++n)
        items << QString::number(n);
    return items;
}

// White text on a coloured ground (0x00BBGGRR).
void colourTeam(QLabel* label, std::uint32_t ground) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, fromBgr(ground));
    pal.setColor(QPalette::WindowText, fromBgr(0xFFFFFF));
    label->setPalette(pal);
    label->setAutoFillBackground(true);
    label->setMargin(2);
}

} // namespace

void MapSetupPanel::buildControls() {
    frmMapSetup = host.makeFrame("frmMapSetup", "Map Setup");

    // The map list on the left, its buttons beside it, the class limits on
    // the right with their check box above them.
    enum { Outer, Buttons, ClassColumn, Limits };
    const Layout layouts[] = {
        {.type = Layout::Line, .on = "frmMapSetup"},
        {.type = Layout::Column},
        {.type = Layout::Column},
        {.type = Layout::Grid, .on = "frmClassLimit", .columnStretch = {{1, 2}, {2, 1}}},
    };
    // Made in the order of the tab order.
    // clang-format off
    const Row rows[] = {
        {.kind = Kind::List, .name = "lstMapList", .access = "Maps of the mod",
         .at = next(Outer, 3), .member = lstMapList},
        {.kind = Kind::Nested, .at = next(Outer, 0), .nested = Buttons},
        {.kind = Kind::Button, .name = "cmdAddMap", .caption = "Add Map", .tip = "Add this map.",
         .at = next(Buttons), .member = cmdAddMap},
        {.kind = Kind::Button, .name = "cmdClearMapList", .caption = "Clear Map List",
         .tip = "Your map selection sucks.", .at = next(Buttons), .member = cmdClearMapList},
        {.kind = Kind::Button, .name = "cmdMapOK", .caption = "Save",
         .access = "Save the map cycle", .at = next(Buttons), .member = cmdMapOK},
        {.kind = Kind::Stretch, .at = next(Buttons, 1)},
        {.kind = Kind::Nested, .at = next(Outer, 4), .nested = ClassColumn},
        {.kind = Kind::CheckBox, .name = "chkClassLimit", .caption = "Limit classes?",
         .tip = "COMMING SOON", .at = next(ClassColumn), .member = chkClassLimit},
        {.kind = Kind::SubFrame, .name = "frmClassLimit",
         .caption = "Custom class limit for each map.", .at = next(ClassColumn, 1),
         .member = frmClassLimit},
        {.kind = Kind::Label, .name = "lblClassAllies", .caption = "Allies",
         .buddy = "cmbClassAllies", .at = below(Limits, 0), .member = lblClassAllies},
        {.kind = Kind::TypedCombo, .name = "cmbClassAllies", .tip = "Select class",
         .at = beside(Limits, 1), .member = cmbClassAllies},
        {.kind = Kind::TypedCombo, .name = "cmbLimitAllies", .tip = "-1 means no limit",
         .access = "Limit of the allied class", .at = beside(Limits, 2), .member = cmbLimitAllies},
        {.kind = Kind::Label, .name = "lblClassAxis", .caption = "Axis", .buddy = "cmbClassAxis",
         .at = below(Limits, 0), .member = lblClassAxis},
        {.kind = Kind::TypedCombo, .name = "cmbClassAxis", .tip = "Select class",
         .at = beside(Limits, 1), .member = cmbClassAxis},
        {.kind = Kind::TypedCombo, .name = "cmbLimitAxis", .tip = "-1 means no limit",
         .access = "Limit of the axis class", .at = beside(Limits, 2), .member = cmbLimitAxis},
        {.kind = Kind::Button, .name = "cmdClassLimitOK", .caption = "Save",
         .access = "Save the class limits of this map", .at = below(Limits, 2),
         .member = cmdClassLimitOK},
        {.kind = Kind::Stretch, .at = below(Limits, 0, 1, {}, 1)},
    };
    // clang-format on
    const Form form = buildForm(frmMapSetup, layouts, rows);
    orderTabs({&form});

    lstMapList->setSelectionMode(QAbstractItemView::SingleSelection);
    // One line of text each: laid out without measuring every map.
    lstMapList->setUniformItemSizes(true);
    colourTeam(lblClassAllies, 0x00C000);
    colourTeam(lblClassAxis, 0x0000FF);
    for (QComboBox* box : {cmbClassAllies, cmbLimitAllies, cmbClassAxis, cmbLimitAxis})
        box->addItems(limitItems());
    // The class boxes stay empty until a class is shown.
    cmbClassAllies->setCurrentIndex(-1);
    cmbClassAxis->setCurrentIndex(-1);

    // Showing and hiding the class limits must not move the map controls.
    QSizePolicy policy = frmClassLimit->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    frmClassLimit->setSizePolicy(policy);
    frmClassLimit->hide();
    frmMapSetup->hide();
}

} // namespace vorn
