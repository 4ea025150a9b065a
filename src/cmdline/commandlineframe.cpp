// The command line frame, as a table of its controls.
#include "commandlinepanel.h"

#include "formtable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vorn {

void CommandLinePanel::buildControls() {
    frmCommandLine = host.makeFrame("frmCommandLine", "Command Line Setup");
    frmCommandLine->hide();

    const Layout layouts[] = {
        {.type = Layout::Grid,
         .on = "frmCommandLine",
         .margins = {8, 4, 8, 6},
         .vSpacing = 4,
         .columnStretch = {{1, 1}, {3, 1}}},
    };
    // Made in the order of the tab order.
    // clang-format off
    const Row rows[] = {
        {.kind = Kind::TypedCombo, .name = "cmbMaxPlayers", .tip = "10 is a good number.",
         .at = below(0, 1), .member = cmbMaxPlayers},
        {.kind = Kind::Label, .name = "lblMaxPlayers", .caption = "Max Players:",
         .buddy = "cmbMaxPlayers", .at = beside(0, 0), .member = lblMaxPlayers},
        {.kind = Kind::TypedCombo, .name = "cmbPort",
         .tip = "Communication channel. Open router for this.", .at = beside(0, 3),
         .member = cmbPort},
        {.kind = Kind::Label, .name = "lblPort", .caption = "Port:", .buddy = "cmbPort",
         .at = beside(0, 2, Qt::AlignRight), .member = lblPort},
        {.kind = Kind::TypedCombo, .name = "cmbMapList1",
         .tip = "The game will start with this map.", .at = below(0, 1, 3),
         .member = cmbMapList1},
        {.kind = Kind::Label, .name = "lblMap1", .caption = "First Map:", .buddy = "cmbMapList1",
         .at = beside(0, 0), .member = lblMap1},
        {.kind = Kind::Label, .name = "lblExtra1", .caption = "Extra Parameters:",
         .buddy = "txtExtra1", .at = below(0, 0, 4), .member = lblExtra1},
        {.kind = Kind::LineEdit, .name = "txtExtra1", .caption = "-heapsize 64000 -noipx",
         .tip = "Specify more options for hl.exe", .at = below(0, 0, 4), .member = txtExtra1},
        {.kind = Kind::Stretch, .at = below(0, 0, 1, {}, 1)},
        {.kind = Kind::CheckBox, .name = "chkDedicated", .caption = "Dedicated?",
         .tip = "Dedicated means you cannot be in player mode.", .at = below(0, 0, 2),
         .member = chkDedicated},
        {.kind = Kind::Button, .name = "cmdCommandOK", .caption = "Save",
         .access = "Save the command line", .at = beside(0, 3, Qt::AlignRight),
         .member = cmdCommandOK},
    };
    // clang-format on
    const Form form = buildForm(frmCommandLine, layouts, rows);
    orderTabs({&form});

    for (int n = 1; n <= 32; ++n)
        cmbMaxPlayers->addItem(QString::number(n));
    cmbMaxPlayers->setCurrentIndex(cmbMaxPlayers->findText(QStringLiteral("8")));
    maxPlayersIndex_ = cmbMaxPlayers->currentIndex();
    for (int port = 27015; port <= 27020; ++port)
        cmbPort->addItem(QString::number(port));
    cmbPort->setCurrentIndex(0);
    // With a placeholder, the first map listed into the empty box is not
    // made current on its own: the box stays empty until the user picks.
    const QString pickAMap = QStringLiteral("Pick a map");
    cmbMapList1->setPlaceholderText(pickAMap);
    cmbMapList1->lineEdit()->setPlaceholderText(pickAMap);
    cmbMapList1->setCurrentIndex(-1);
    cmbMapList1->setMinimumContentsLength(12);
    cmdCommandOK->setEnabled(false);
}

} // namespace vorn
