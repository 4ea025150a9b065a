#include "mainwindow.h"

#include "controls.h"
#include "viewertext.h"

#include <QComboBox>
#include <QFontMetricsF>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace vorn {

namespace plat = vorn::platform;

namespace {

// How much the form grows with the desktop font: set once per window from
// its font, read wherever twips become pixels.
double gTwipScale = 1.0;

} // namespace

double fontScale(const QFont& font) {
    // The average width of the letters a-z and A-Z, as the old form system
    // measured a font, for the default desktop font (9 points) at 96 dpi:
    // the size the form's twip positions were laid out for.
    constexpr double kDefaultAverageCharWidth = 7.4;
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const double width = QFontMetricsF(font).horizontalAdvance(letters) / letters.size();
    // The form grows with larger fonts and never shrinks below its size.
    return std::max(1.0, width / kDefaultAverageCharWidth);
}

double twipScale() {
    return gTwipScale;
}

QRect twips(int left, int top, int width, int height) {
    // 15 twips are one pixel at 96 dpi, times the font's growth.
    auto px = [](int t) { return int(std::lround(t * gTwipScale / 15.0)); };
    return QRect(px(left), px(top), px(width), px(height));
}

void setTwipScale(double scale) {
    gTwipScale = scale;
}

void Vorn::addFrame(QGroupBox* frame, int left, int top, int width, int height) {
    frame->setParent(formArea_);
    frame->setGeometry(twips(left, top, width, height));
}

void Vorn::buildMenus() {
    mnuExit = menuBar()->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    mnuAbout = menuBar()->addAction(QStringLiteral("A&bout"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
}

void Vorn::buildControlCenter() {
    frmControlCenter = new QGroupBox(QStringLiteral("Control Center"));
    frmControlCenter->setObjectName(QStringLiteral("frmControlCenter"));
    addFrame(frmControlCenter, 0, 0, 4575, 3015);

    auto name = [](QWidget* w, const char* n) { w->setObjectName(QString::fromLatin1(n)); };

    // Made without a parent: the layout puts each control into the frame
    // in the order it is added there.
    txtExec = makeLineEdit(nullptr, "txtExec", {}, QStringLiteral("Path to hl.exe"));
    lblExec = makeLabel(nullptr, "lblExec", QStringLiteral("Exec:"), txtExec);

    cmbModList = new QComboBox;
    name(cmbModList, "cmbModList");
    cmbModList->setToolTip(QStringLiteral("Game mod."));
    cmbModList->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    lblMod = makeLabel(nullptr, "lblMod", QStringLiteral("Mod:"), cmbModList);
    lblModSupport = makeLabel(nullptr, "lblModSupport", QStringLiteral("I dunno!"));
    // A label is read out by its text; the description says what it is.
    lblModSupport->setAccessibleDescription(QStringLiteral("Support for the chosen mod"));

    auto option = [&](QRadioButton*& opt, const char* n, const char* caption) {
        opt = new QRadioButton(QString::fromLatin1(caption));
        name(opt, n);
        opt->setAutoFillBackground(true);
    };
    option(optCommandLine, "optCommandLine", "Command Line");
    option(optServerFile, "optServerFile", "Server Configuration");
    option(optMapFile, "optMapFile", "Map Cycle");
    option(optMotd, "optMotd", "Welcome Message");
    option(optBotFile, "optBotFile", "Bot Setup");

    Shape2 = new QFrame;
    name(Shape2, "Shape2");
    Shape2->setFrameShape(QFrame::HLine);
    Shape2->setFrameShadow(QFrame::Sunken);

    lblStatus = makeLabel(nullptr, "lblStatus", QStringLiteral("Hi there!"));
    lblStatus->setWordWrap(true);
    lblStatus->setAccessibleDescription(QStringLiteral("Status"));
    setStatus(lblStatus->text(), colour::Red);

    cmdStart = makeButton(nullptr, "cmdStart", QStringLiteral("Start Server"),
                          QStringLiteral("Get the game going"));

    auto* grid = new QGridLayout(frmControlCenter);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    grid->addWidget(lblExec, 0, 0);
    grid->addWidget(txtExec, 0, 1, 1, 3);
    grid->addWidget(lblMod, 1, 0);
    grid->addWidget(cmbModList, 1, 1, 1, 2);
    grid->addWidget(lblModSupport, 1, 3);
    grid->addWidget(optCommandLine, 2, 0, 1, 2);
    grid->addWidget(optServerFile, 2, 2, 1, 2);
    grid->addWidget(optMapFile, 3, 0, 1, 2);
    grid->addWidget(optMotd, 3, 2, 1, 2);
    grid->addWidget(optBotFile, 4, 0, 1, 2);
    grid->addWidget(Shape2, 5, 0, 1, 4);
    grid->addWidget(lblStatus, 6, 0, 1, 3);
    grid->addWidget(cmdStart, 6, 3, Qt::AlignRight | Qt::AlignBottom);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(6, 1);
}

void Vorn::buildViewer() {
    frmInfo = new QGroupBox(QStringLiteral("File Name"));
    frmInfo->setObjectName(QStringLiteral("frmInfo"));
    addFrame(frmInfo, 4560, 0, 4095, 3015);

    txtFileContents = newViewerText();
    txtFileContents->setObjectName(QStringLiteral("txtFileContents"));
    txtFileContents->setAccessibleName(QStringLiteral("File contents"));
    txtFileContents->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // A word longer than the line is scrolled to, never cut.
    txtFileContents->setWordWrapMode(QTextOption::WordWrap);
    txtFileContents->setReadOnly(true);
    // Tab leaves the text for the buttons instead of typing a tab.
    txtFileContents->setTabChangesFocus(true);
    cmdEditFile = makeButton(nullptr, "cmdEditFile", QStringLiteral("Edit"));
    cmdSaveFile = makeButton(nullptr, "cmdSaveFile", QStringLiteral("Save"));
    cmdSaveFile->setAccessibleName(QStringLiteral("Save welcome message"));
    cmdEditFile->setAccessibleName(QStringLiteral("Edit welcome message"));

    auto* box = new QVBoxLayout(frmInfo);
    box->setContentsMargins(6, 4, 6, 6);
    box->addWidget(txtFileContents, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(cmdEditFile);
    row->addStretch(1);
    row->addWidget(cmdSaveFile);
    box->addLayout(row);
}

} // namespace vorn
