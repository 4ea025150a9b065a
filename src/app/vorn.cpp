#include "vorn.h"

#include "batchline.h"
#include "codepage.h"
#include "controls.h"
#include "country.h"
#include "listing.h"
#include "platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QVBoxLayout>

#include <algorithm>

namespace vorn {

namespace plat = vorn::platform;

namespace {

std::string u8(const QString& s) {
    return s.toStdString();
}
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Lines of a file's bytes: CR LF or LF ends a line; a last line without an
// end counts, a final line end adds no empty line.
QStringList splitLines(const std::string& bytes) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    auto add = [&](std::size_t from, std::size_t to) {
        const char* text = bytes.data() + from;
        const auto length = static_cast<qsizetype>(to - from);
        // Plain ASCII reads the same in Windows-1252 and Latin-1.
        if (std::all_of(text, text + length,
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            lines << QString::fromLatin1(text, length);
        else
            lines << qs(plat::cp1252ToUtf8(std::string(text, static_cast<std::size_t>(length))));
    };
    std::size_t from = 0;
    for (std::size_t end; (end = bytes.find('\n', from)) != std::string::npos; from = end + 1)
        add(from, end > from && bytes[end - 1] == '\r' ? end - 1 : end);
    if (from < bytes.size())
        add(from, bytes.size());
    return lines;
}

// A path or name quoted for the batch line; "" with `error` set when it
// cannot be made safe.
QString quoted(const QString& text, QString& error) {
    std::string out, err;
    if (!plat::quoteBatchArgument(u8(text), out, err)) {
        error = qs(err);
        return {};
    }
    return qs(out);
}

// The map name of one line of a "*.bsp" listing (mapNameFromListing),
// without the round trip through UTF-8 for each of many lines.
QString mapNameOf(const QString& line) {
    static const char suffix[] = ".bsp";
    constexpr qsizetype suffixLength = sizeof suffix - 1;
    const qsizetype stem = line.size() - suffixLength;
    if (stem < 0)
        return {};
    for (qsizetype i = 0; i < suffixLength; ++i) {
        char16_t c = line.at(stem + i).unicode();
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char16_t>(c - 'A' + 'a');
        if (c != static_cast<char16_t>(suffix[i]))
            return {};
    }
    return line.left(stem);
}

// The bare name at the end of a Windows path.
QString bareName(const QString& winPath) {
    return winPath.mid(winPath.lastIndexOf(QLatin1Char('\\')) + 1);
}

// Why a file could not be written, without the path the platform repeats
// in front of it: the status line has room for a few lines only.
QString failureReason(const QString& winPath, const std::string& error) {
    QString reason = qs(error);
    const QString named = winPath + QStringLiteral("\": ");
    const qsizetype at = reason.indexOf(named);
    if (at >= 0)
        reason = reason.mid(at + named.size());
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    return reason;
}

} // namespace

QColor fromBgr(std::uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QRect twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QString crlfText(const QPlainTextEdit* box) {
    QString text = box->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

// ---------------------------------------------------------------------------
// The form

Vorn::Vorn(UiSeam& seam, QWidget* parent) : QMainWindow(parent), ui(seam) {
    setObjectName(QStringLiteral("vorn"));
    setWindowTitle(QStringLiteral("Vornwick"));

    formArea_ = new QWidget(this);
    formArea_->setObjectName(QStringLiteral("formArea"));
    // The client area: 8805 x 7365 twips.
    formArea_->setFixedSize(twips(0, 0, 8805, 7365).size());
    setCentralWidget(formArea_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    buildMenus();
    buildControlCenter();
    buildViewer();
    wireReactions();
}

Vorn::~Vorn() = default;

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

    txtFileContents = new QPlainTextEdit;
    txtFileContents->setObjectName(QStringLiteral("txtFileContents"));
    txtFileContents->setAccessibleName(QStringLiteral("File contents"));
    txtFileContents->setLineWrapMode(QPlainTextEdit::WidgetWidth);
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

void Vorn::wireReactions() {
    connect(txtExec, &QLineEdit::textChanged, this, [this] { txtExec_Change(); });
    connect(cmbModList, &QComboBox::activated, this, [this] { cmbModList_Click(); });
    connect(optMotd, &QAbstractButton::clicked, this, [this] { optMotd_Click(); });
    connect(cmdEditFile, &QAbstractButton::clicked, this, [this] { cmdEditFile_Click(); });
    connect(cmdSaveFile, &QAbstractButton::clicked, this, [this] { cmdSaveFile_Click(); });
    connect(cmdStart, &QAbstractButton::clicked, this, [this] { cmdStart_Click(); });
    connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });
    connect(mnuAbout, &QAction::triggered, this, [this] { mnuAbout_Click(); });
}

void Vorn::polishAccessibility() {
    const auto widgets = findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (!widget->toolTip().isEmpty() && widget->accessibleDescription().isEmpty())
            widget->setAccessibleDescription(widget->toolTip());
    }
    // An input control captioned by a label is named by that label's words.
    const auto labels = findChildren<QLabel*>();
    for (QLabel* label : labels) {
        QWidget* buddy = label->buddy();
        if (!buddy || !buddy->accessibleName().isEmpty())
            continue;
        QString words = label->text();
        words.remove(QLatin1Char('&'));
        while (words.endsWith(QLatin1Char(':')))
            words.chop(1);
        buddy->setAccessibleName(words.trimmed());
    }
}

// ---------------------------------------------------------------------------
// Helpers

void Vorn::setStatus(const QString& text, std::uint32_t bgr) {
    lblStatus->setText(text);
    setTextColour(lblStatus, bgr);
}

void Vorn::setBackColour(QWidget* widget, std::uint32_t bgr) {
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, fromBgr(bgr));
    pal.setColor(QPalette::Button, fromBgr(bgr));
    widget->setPalette(pal);
}

QString Vorn::mod() const {
    return cmbModList->currentText();
}

QString Vorn::modFilePath(const QString& name) const {
    return st.gameDir + mod() + QLatin1Char('\\') + name;
}

bool Vorn::saveGameFile(const QString& winPath, const QString& text, bool finalCrlf) {
    std::string bytes = plat::utf8ToCp1252(u8(finalCrlf ? text + QStringLiteral("\r\n") : text));
    plat::Status s = plat::replaceFile(u8(winPath), bytes);
    if (!s.ok()) {
        // The status names the file; the log keeps the whole path.
        WriteLog(QStringLiteral("Error: ") + qs(s.error));
        setStatus(QStringLiteral("Error: could not save %1: %2.")
                      .arg(bareName(winPath), failureReason(winPath, s.error)),
                  colour::Red);
        return false;
    }
    return true;
}

bool Vorn::readGameLines(const QString& winPath, QStringList& lines) {
    std::string bytes;
    if (!plat::readFile(u8(winPath), bytes).ok())
        return false;
    lines = splitLines(bytes);
    return true;
}

bool Vorn::waitUntilGone(const QString& winPath, const QString& name) {
    // Bounded: a file that cannot be deleted is reported, never waited on
    // for ever.
    auto present = [&] { return qs(plat::storedName(u8(winPath))) == name; };
    for (int waited = 0; present(); waited += 15) {
        if (waited >= kCommandTimeoutMs)
            return false;
        plat::deleteFile(u8(winPath));
        // Pause only while the file is still there: a deletion that worked
        // at once costs no wait.
        if (present())
            ShortPause();
    }
    return true;
}

bool Vorn::writeBatchFile(const QString& line) {
    st.fileNumber = 1;
    plat::Status s = plat::writeBatchFile(u8(st.batchPath), u8(line));
    if (s.ok())
        return true;
    WriteLog(QStringLiteral("Error: ") + qs(s.error));
    setStatus(QStringLiteral("Error: could not write the batch file %1: %2.")
                  .arg(bareName(st.batchPath), failureReason(st.batchPath, s.error)),
              colour::Red);
    return false;
}

bool Vorn::runCommand(const QString& commandLine, const QString& what) {
    st.shellCommand = commandLine;
    if (!writeBatchFile(st.shellCommand))
        return false;
    QString err;
    QString batch = quoted(st.batchPath, err);
    if (batch.isEmpty()) {
        setStatus(
            QStringLiteral("Error: the batch file %1 cannot be run. %2").arg(st.batchPath, err),
            colour::Red);
        return false;
    }
    plat::Process process;
    plat::Status s = plat::startHidden(u8(batch), process);
    if (!s.ok()) {
        setStatus(QStringLiteral("Error: %1 could not be started. %2").arg(what, qs(s.error)),
                  colour::Red);
        return false;
    }
    if (process.wait(kCommandTimeoutMs) != plat::Process::Wait::Finished) {
        process.kill();
        setStatus(QStringLiteral("Error: %1 did not answer within %2 seconds.")
                      .arg(what)
                      .arg(kCommandTimeoutMs / 1000),
                  colour::Red);
        return false;
    }
    return true;
}

bool Vorn::runListing(const QString& command, const QString& what, QStringList& lines) {
    lines.clear();
    if (!waitUntilGone(st.tempListPath, st.tempListName)) {
        setStatus(
            QStringLiteral("Error: the old listing %1 cannot be removed.").arg(st.tempListPath),
            colour::Red);
        return false;
    }
    if (!runCommand(command, what))
        return false;
    // The command has ended, so the listing is complete.
    if (qs(plat::storedName(u8(st.tempListPath))) != st.tempListName ||
        !readGameLines(st.tempListPath, lines)) {
        setStatus(QStringLiteral("Error: %1 left no listing in %2.").arg(what, st.tempListPath),
                  colour::Red);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Start-up, paths, log and mod list

void Vorn::Form_Load() {
    InitSettings();
    ResetPanels();
    DeriveGameDir();
    CheckExecPath();
}

void Vorn::chooseWorkingDirectory() {
    // The log, the batch file and the listing live in the root of drive c:.
    // Where a standard user may not create files there, a per-user
    // directory serves instead.
    // A directory standing in a working file's place stops every writer.
    auto blocked = [](const QString& winPath) {
        return !plat::storedName(u8(winPath), true).empty() &&
               plat::storedName(u8(winPath)).empty();
    };
    plat::TextFile probe;
    if (!blocked(st.batchPath) && !blocked(st.tempListPath) &&
        probe.open(u8(st.masterLogPath), plat::TextFile::Mode::Append).ok())
        return;
    std::string dir;
    if (!plat::userTempDir(dir).ok())
        return;
    QString d = qs(dir);
    st.masterLogPath = d + QStringLiteral("vorn_master.log");
    st.tempListPath = d + st.tempListName;
    st.batchPath = d + st.batchName;
    workingDirNote_ =
        QStringLiteral("The root of drive c: cannot be written; working files are kept in ") + d;
}

void Vorn::InitSettings() {
    st.commandLine.clear();
    st.serverCfgText.clear();
    st.mapCycleText.clear();
    st.motdText.clear();
    st.botCfgText.clear();
    st.sturmbotVersion.clear();
    st.programVersion = QStringLiteral("v0.1.0");
    st.masterLogPath = QStringLiteral("c:\\vorn_master.log");
    st.tempListName = QStringLiteral("vorn.log");
    st.batchName = QStringLiteral("vorn.bat");
    st.tempListPath = QStringLiteral("c:\\") + st.tempListName;
    st.batchPath = QStringLiteral("c:\\") + st.batchName;
    st.mapBotCfgText.clear();
    st.gameDir = QStringLiteral("C:\\Sierra\\Half-Life\\");
    st.mapCycleCount = 0;
    st.listedGameDir.clear();
    chooseWorkingDirectory();
    // Setting the text runs txtExec_Change, as a user's edit does.
    txtExec->setText(st.gameDir + QStringLiteral("hl.exe"));
    WriteLog(QStringLiteral("======================================"));
    WriteLog(QStringLiteral("Starting up VORN..."));
    if (!workingDirNote_.isEmpty())
        WriteLog(workingDirNote_);
}

void Vorn::txtExec_Change() {
    DeriveGameDir();
    CheckExecPath();
}

void Vorn::DeriveGameDir() {
    const QString text = txtExec->text();
    if (text.size() < 9)
        return;
    auto* dedicated = findChild<QAbstractButton*>(QStringLiteral("chkDedicated"));
    bool isDedicated = dedicated && dedicated->isChecked();
    st.gameDir = text.left(text.size() - (isDedicated ? 8 : 6));
}

void Vorn::CheckExecPath() {
    st.checkPath = txtExec->text();
    st.execPathValid = 1;
    if (st.checkPath.size() < 2 || st.checkPath.at(1) != QLatin1Char(':'))
        return;
    auto* dedicated = findChild<QAbstractButton*>(QStringLiteral("chkDedicated"));
    const QString expected =
        dedicated && dedicated->isChecked() ? QStringLiteral("hlds.exe") : QStringLiteral("hl.exe");
    if (qs(plat::storedName(u8(st.checkPath))) != expected)
        st.execPathValid = 0;

    if (st.execPathValid) {
        if (st.gameDir != st.listedGameDir) {
            ResetPanels();
            st.listedGameDir = st.gameDir;
            FindMods();
            // A listing that failed has already said why.
            if (!lblStatus->text().startsWith(QStringLiteral("Error:"))) {
                if (cmbModList->count() > 0)
                    setStatus(QStringLiteral("Now, select a mod"), colour::Blue);
                else
                    setStatus(QStringLiteral("No mods found!"), colour::Red);
            }
        }
        cmbModList->setEnabled(true);
        lblMod->setEnabled(true);
    } else {
        ui.beep();
        setStatus(QStringLiteral("Error: Correct Exec path!"), colour::Red);
        cmbModList->setEnabled(false);
        lblMod->setEnabled(false);
        if (auto* frame = findChild<QWidget*>(QStringLiteral("frmCommandLine")))
            frame->hide();
    }
}

void Vorn::FindMods() {
    // Cleared first so that a failed listing shows no stale mods.
    setStatus(QString(), colour::Blue);
    QString err;
    QString dir = quoted(st.gameDir, err);
    QString list = quoted(st.tempListPath, err);
    QStringList lines;
    bool listed = false;
    if (dir.isEmpty() || list.isEmpty()) {
        setStatus(QStringLiteral("Error: the game directory cannot be listed. %1").arg(err),
                  colour::Red);
    } else {
        listed = runListing(QStringLiteral("dir ") + dir + QStringLiteral(" /ad /b > ") + list,
                            QStringLiteral("The mod listing"), lines);
    }
    if (!listed)
        st.listedGameDir.clear(); // the next valid path lists again
    cmbModList->clear();
    for (const std::string& entry : splitModListing(toStdLines(lines))) {
        st.modEntry = qs(entry);
        if (st.modEntry.isEmpty())
            continue;
        st.checkPath = st.gameDir + st.modEntry + QStringLiteral("\\liblist.gam");
        if (qs(plat::storedName(u8(st.checkPath))) == QStringLiteral("liblist.gam"))
            cmbModList->addItem(st.modEntry);
    }
    // No mod is chosen until the user picks one.
    cmbModList->setCurrentIndex(-1);
}

void Vorn::WriteLog(const QString& text) {
    // A log that cannot be written never stops the program.
    st.logFileNumber = 1;
    plat::TextFile log;
    if (!log.open(u8(st.masterLogPath), plat::TextFile::Mode::Append).ok())
        return;
    log.writeLine(plat::utf8ToCp1252(u8(text)));
    log.close();
}

void Vorn::ShortPause() {
    plat::sleepMilliseconds(15);
}

// ---------------------------------------------------------------------------
// Panels and readiness

void Vorn::ResetPanels() {
    auto each = [this](std::initializer_list<const char*> names, auto&& act) {
        for (const char* n : names)
            if (auto* widget = findChild<QWidget*>(QString::fromLatin1(n)))
                act(widget);
    };
    each({"cmdStart", "cmdCommandOK", "cmdMapOK", "cmdAddMap", "cmdEditFile", "cmdSaveFile"},
         [](QWidget* x) { x->setEnabled(false); });
    each({"cmdServerOK", "cmdSturmbotOK"}, [](QWidget* x) { x->setEnabled(true); });
    for (QRadioButton* opt : {optCommandLine, optServerFile, optMapFile, optMotd, optBotFile}) {
        opt->setEnabled(false);
        setBackColour(opt, colour::Pink);
    }
    each({"frmCommandLine", "frmServerFile", "frmMapSetup", "frmSturmbotSetup", "frmInfo"},
         [](QWidget* x) { x->hide(); });
    each({"chkClassLimit", "frmClassLimit", "optBotFile"}, [](QWidget* x) { x->hide(); });
    st.nationClassSet = 0;
    st.alliesBritish = 0;
    st.commandLineSaved = 0;
    st.serverCfgSaved = 0;
    st.mapCycleSaved = 0;
    st.motdSaved = 0;
    st.botCfgSaved = 0;
    lblModSupport->setText(QString());
}

void Vorn::UpdateReadiness() {
    if (!(st.commandLineSaved && st.serverCfgSaved && st.mapCycleSaved && st.motdSaved &&
          st.modSelected))
        return;
    if (!optBotFile->isHidden() && st.botCfgSaved == 0) {
        cmdStart->setEnabled(false);
        setStatus(QStringLiteral("Select ") + optBotFile->text(), colour::Blue);
    } else {
        cmdStart->setEnabled(true);
        setStatus(QStringLiteral("You can now start the server."), colour::Blue);
    }
}

void Vorn::confirmStep(int step) {
    QRadioButton* options[] = {optCommandLine, optServerFile, optMapFile, optMotd, optBotFile};
    Flag* flags[] = {&st.commandLineSaved, &st.serverCfgSaved, &st.mapCycleSaved, &st.motdSaved,
                     &st.botCfgSaved};
    if (step < 1 || step > 5)
        return;
    setBackColour(options[step - 1], colour::LightGreen);
    *flags[step - 1] = 1;
    if (step <= 3) {
        options[step]->setEnabled(true);
        setStatus(QStringLiteral("Select ") + options[step]->text(), colour::Blue);
    } else if (step == 4 && !optBotFile->isHidden()) {
        optBotFile->setEnabled(true);
    }
    UpdateReadiness();
}

// ---------------------------------------------------------------------------
// Mod selection and map listing

void Vorn::cmbModList_Click() {
    const QString m = mod();
    ResetPanels();
    ctl<QLineEdit>("txtHostName")->setText(QStringLiteral("My ") + m + QStringLiteral(" server."));
    lblModSupport->setText(QStringLiteral("Recognized"));
    setTextColour(lblModSupport, colour::NearBlack);
    if (m != QStringLiteral("dod")) {
        ctl<QWidget>("chkClassLimit")->hide();
        ctl<QWidget>("frmClassLimit")->hide();
        lblModSupport->setText(QStringLiteral("Not recognized"));
        setTextColour(lblModSupport, colour::Red);
    } else {
        ctl<QWidget>("chkClassLimit")->show();
        st.checkPath = st.gameDir + m + QStringLiteral("\\sturmbot\\dlls\\STURM_bot.dll");
        if (qs(plat::storedName(u8(st.checkPath))) == QStringLiteral("STURM_bot.dll")) {
            optBotFile->show();
            st.botCfgName = QStringLiteral("bot.cfg");
            ctl<QAbstractButton>("chkSturmbotFillserver")->setChecked(true);

            st.checkPath = st.gameDir + m + QStringLiteral("\\sturmbot\\History.txt");
            QStringList history;
            readGameLines(st.checkPath, history); // missing: an empty version
            st.sturmbotVersion = qs(versionFromHistory(toStdLines(history)));

            auto* frame = ctl<QGroupBox>("frmSturmbotSetup");
            if (!st.sturmbotVersion.isEmpty()) {
                frame->setTitle(QStringLiteral("Sturmbot ") + st.sturmbotVersion +
                                QStringLiteral(" Setup"));
                const bool old = st.sturmbotVersion == QStringLiteral("1.5");
                auto* minBox = ctl<QLineEdit>("txtSturmbotMinReaction");
                auto* maxBox = ctl<QLineEdit>("txtSturmbotMaxReaction");
                const QString minText = old ? QStringLiteral("30") : QStringLiteral("300");
                const QString maxText = old ? QStringLiteral("80") : QStringLiteral("800");
                // Each assignment runs its box's reaction, which keeps the
                // pair in order; raising both starts with the maximum so the
                // new minimum is not pulled below its default.
                if (maxBox->text().toDouble() <= minText.toDouble()) {
                    maxBox->setText(maxText);
                    minBox->setText(minText);
                } else {
                    minBox->setText(minText);
                    maxBox->setText(maxText);
                }
                st.nationClassSet = old ? 0 : 1;
                // The class lists follow the version.
                if (setClassListsForMod)
                    setClassListsForMod();
            } else {
                frame->setTitle(QStringLiteral("Sturmbot Setup"));
            }
            ctl<QWidget>("cmdSturmbotAdd")->setEnabled(false);
            ctl<QWidget>("cmdSturmbotClear")->setEnabled(false);
        }
    }
    FindMaps();
    optCommandLine->setEnabled(true);
    st.modSelected = 1;
    if (ctl<QComboBox>("cmbMapList1")->currentText().isEmpty() &&
        !lblStatus->text().startsWith(QStringLiteral("Error:")))
        setStatus(QStringLiteral("Select Command Line."), colour::Blue);
    UpdateReadiness();
}

void Vorn::FindMaps() {
    QString err;
    QString pattern = quoted(st.gameDir + mod() + QStringLiteral("\\maps\\*.bsp"), err);
    QString list = quoted(st.tempListPath, err);
    QStringList lines;
    if (pattern.isEmpty() || list.isEmpty()) {
        setStatus(QStringLiteral("Error: the maps of this mod cannot be listed. %1").arg(err),
                  colour::Red);
    } else {
        runListing(QStringLiteral("dir ") + pattern + QStringLiteral(" /b > ") + list,
                   QStringLiteral("The map listing"), lines);
    }
    st.mapCycleText.clear();
    st.mapCycleCount = 0;
    QStringList names;
    names.reserve(lines.size());
    for (const QString& line : lines) {
        QString name = mapNameOf(line);
        if (!name.isEmpty())
            names << std::move(name);
    }
    if (!lines.isEmpty())
        st.mapEntry = lines.constLast();

    // The first-map box shows one list model, replaced whole: a mod may
    // hold a hundred thousand maps. No map is chosen afterwards.
    auto* first = ctl<QComboBox>("cmbMapList1");
    auto* model = qobject_cast<QStringListModel*>(first->model());
    if (!model) {
        model = new QStringListModel(first);
        first->setModel(model);
    }
    {
        // The box would pick the first map for a moment.
        const QSignalBlocker quiet(first);
        model->setStringList(names);
    }
    first->setCurrentIndex(-1);
    first->setEditText(QString());

    // The map list: one batch of items, laid out once.
    auto* maps = ctl<QListWidget>("lstMapList");
    maps->setUpdatesEnabled(false);
    maps->clear();
    maps->addItems(names);
    maps->setUpdatesEnabled(true);
}

// ---------------------------------------------------------------------------
// The viewer and the welcome message

void Vorn::ShowInViewer(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtFileContents->setPlainText(shown);
    frmInfo->show();
}

void Vorn::setViewerCaption(const QString& caption) {
    frmInfo->setTitle(caption);
}

void Vorn::lockViewer() {
    txtFileContents->setReadOnly(true);
    cmdSaveFile->setEnabled(false);
    cmdEditFile->setEnabled(false);
}

void Vorn::optMotd_Click() {
    st.motdText = QStringLiteral("Welcome to ") + ctl<QLineEdit>("txtHostName")->text();
    for (const char* n : {"frmCommandLine", "frmServerFile", "frmMapSetup", "frmSturmbotSetup"})
        if (auto* frame = findChild<QWidget*>(QString::fromLatin1(n)))
            frame->hide();
    setViewerCaption(QStringLiteral("vorn_motd.txt"));
    ShowInViewer(st.motdText);
    cmdEditFile_Click();
    frmInfo->show();
    setStatus(QStringLiteral("Like the welcome message?"), colour::Blue);
    UpdateReadiness();
}

void Vorn::cmdEditFile_Click() {
    txtFileContents->setReadOnly(false);
    cmdSaveFile->setEnabled(true);
    cmdEditFile->setEnabled(false);
}

void Vorn::cmdSaveFile_Click() {
    txtFileContents->setReadOnly(true);
    cmdSaveFile->setEnabled(false);
    st.motdText = crlfText(txtFileContents);
    cmdEditFile->setEnabled(true);
    st.checkPath = st.gameDir + mod() + QLatin1Char('\\') + frmInfo->title();
    st.fileNumber = 1;
    if (!saveGameFile(st.checkPath, st.motdText)) {
        // The step stays unconfirmed, and the text stays editable so that
        // nothing typed is lost.
        cmdEditFile_Click();
        return;
    }
    confirmStep(4);
}

// ---------------------------------------------------------------------------
// Server start

void Vorn::cmdStart_Click() {
    // What goes into the batch line: the user's own parameters pass as
    // typed, but never a line break, and names from the disk must be plain.
    std::string err;
    if (!plat::checkBatchText(u8(st.commandLine), err)) {
        setStatus(QStringLiteral("Error: the command line cannot be run. %1").arg(qs(err)),
                  colour::Red);
        return;
    }
    if (!plat::isPlainBatchWord(u8(mod()))) {
        setStatus(QStringLiteral("Error: the mod name \"%1\" cannot be used on a command line.")
                      .arg(mod()),
                  colour::Red);
        return;
    }
    // A map name such as "a&b" would end the server's line and run "b".
    const QString firstMap = ctl<QComboBox>("cmbMapList1")->currentText();
    if (!firstMap.isEmpty() && !plat::isPlainBatchWord(u8(firstMap))) {
        setStatus(QStringLiteral("Error: the map name \"%1\" cannot be used on a command line.")
                      .arg(firstMap),
                  colour::Red);
        return;
    }
    // An executable path with blanks runs only when quoted.
    QString line = st.commandLine;
    const QString exec = txtExec->text();
    if (line.startsWith(exec) && !plat::isPlainBatchWord(u8(exec))) {
        QString qerr;
        QString q = quoted(exec, qerr);
        if (q.isEmpty()) {
            setStatus(QStringLiteral("Error: the program path cannot be run. %1").arg(qerr),
                      colour::Red);
            return;
        }
        line = q + line.mid(exec.size());
    }
    QString batchErr;
    QString batch = quoted(st.batchPath, batchErr);
    QString list = quoted(st.tempListPath, batchErr);
    if (batch.isEmpty() || list.isEmpty()) {
        setStatus(QStringLiteral("Error: the batch file cannot be run. %1").arg(batchErr),
                  colour::Red);
        return;
    }
    st.shellCommand = batch + QStringLiteral(" > ") + list;
    if (!writeBatchFile(line))
        return;
    plat::Process process;
    plat::Status s = plat::startHidden(u8(st.shellCommand), process);
    if (!s.ok()) {
        setStatus(QStringLiteral("Error: the server could not be started. %1").arg(qs(s.error)),
                  colour::Red);
        return;
    }
    ShortPause();
    setStatus(QStringLiteral("Server started."), colour::Green);
}

// ---------------------------------------------------------------------------
// Menus

void Vorn::mnuExit_Click() {
    st.msgAnswer = std::int16_t(ui.messageBox(this, MsgIcon::Question, MsgButtons::YesNo,
                                              QStringLiteral("VORN Allert!"),
                                              QStringLiteral("Are you sure you want to exit?")));
    if (st.msgAnswer == kAnswerYes) {
        programEnded = true;
        ui.endProgram();
    }
}

void Vorn::mnuAbout_Click() {
    st.msgAnswer = std::int16_t(ui.messageBox(
        this, MsgIcon::Information, MsgButtons::Ok, QStringLiteral("VORN information"),
        QStringLiteral("Vornwick %1\r\nPrepares and starts a Half-Life game server.\r\n"
                       "Contact: vornwick@example.org")
            .arg(st.programVersion)));
}

// ---------------------------------------------------------------------------
// The map's Allied country

bool Vorn::DetectAlliedCountry(const QString& mapName) {
    const QString mapsDir = st.gameDir + mod() + QStringLiteral("\\maps\\");
    const QString entityFilePath = mapsDir + mapName + QStringLiteral(".ent");
    const QString entityName = mapName + QStringLiteral(".ent");
    auto present = [&] { return qs(plat::storedName(u8(entityFilePath))) == entityName; };
    bool busy = false;
    auto done = [&] {
        if (busy)
            ui.setBusy(this, false);
    };

    if (!present()) {
        ui.setBusy(this, true);
        busy = true;
        const QString mapFilePath = mapsDir + mapName + QStringLiteral(".bsp");
        st.checkPath = st.gameDir + QStringLiteral("ripent.exe");
        if (qs(plat::storedName(u8(st.checkPath))) != QStringLiteral("ripent.exe")) {
            done();
            st.msgAnswer = std::int16_t(ui.messageBox(
                this, MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("VORN Allert!"),
                QStringLiteral("The entity tool %1 is missing, so the Allied country of a map "
                               "cannot be found. Vornwick ends now.")
                    .arg(st.checkPath)));
            programEnded = true;
            ui.endProgram();
            return false;
        }
        // The map path is quoted; a name that cannot be made safe is never
        // run, and the country stays undetermined.
        QString err;
        QString tool = quoted(st.checkPath, err);
        QString map = quoted(mapFilePath, err);
        QString list = quoted(st.tempListPath, err);
        if (!tool.isEmpty() && !map.isEmpty() && !list.isEmpty()) {
            // Waits for the tool to end (bounded), so a half-written export
            // is never read.
            runCommand(tool + QStringLiteral(" -export ") + map + QStringLiteral(" > ") + list,
                       QStringLiteral("The entity tool"));
        }
    }

    if (present()) {
        QStringList lines;
        readGameLines(entityFilePath, lines);
        CountryScan scan = scanAlliedCountry(toStdLines(lines));
        if (scan.detected) {
            st.alliesBritish = scan.british ? 1 : 0;
            st.countryDetected = 1;
        }
    } else {
        st.msgAnswer = std::int16_t(ui.messageBox(
            this, MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("VORN Allert!"),
            QStringLiteral("Encountered a problem with determining country for Allies.\r\n"
                           "Would you like to ignore this and proceed?")));
        if (st.msgAnswer == kAnswerNo) {
            mnuExit_Click();
            if (programEnded) {
                done();
                return false;
            }
        }
    }
    done();
    return true;
}

} // namespace vorn
