#include "vorn.h"

#include "batchline.h"
#include "codepage.h"
#include "controls.h"
#include "country.h"
#include "listing.h"
#include "platform.h"
#include "serveroutput.h"
#include "serverwindow.h"
#include "winpath.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFontMetricsF>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#ifndef VORN_VERSION
#define VORN_VERSION "0.0.0"
#endif

// The window icon lives in a resource of this static library.
static void loadIconResource() {
    Q_INIT_RESOURCE(vornwick);
}

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

// The side files of the outside commands while a started server runs.
const QString kSideBatchName = QStringLiteral("vorn_list.bat");
const QString kSideListName = QStringLiteral("vorn_list.log");

// The directory part of a Windows path, with its backslash.
QString parentDir(const QString& winPath) {
    return winPath.left(winPath.lastIndexOf(QLatin1Char('\\')) + 1);
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

// The busy pointer for a wait, once it has lasted longer than a moment.
class BusyWhileWaiting {
  public:
    explicit BusyWhileWaiting(Vorn& window) : w_(window) {}
    ~BusyWhileWaiting() {
        if (on_)
            w_.ui.setBusy(&w_, false);
    }
    BusyWhileWaiting(const BusyWhileWaiting&) = delete;
    BusyWhileWaiting& operator=(const BusyWhileWaiting&) = delete;
    void after(int waitedMs) {
        if (!on_ && waitedMs >= kBusyAfterMs) {
            on_ = true;
            w_.ui.setBusy(&w_, true);
        }
    }

  private:
    Vorn& w_;
    bool on_ = false;
};

} // namespace

QColor fromBgr(std::uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

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

namespace {

// Between two characters, a word joiner keeps the line from breaking there:
// the viewer breaks long lines only at blanks ("+map -heapsize" and
// "C:\Sierra\Half-Life\hl.exe" stay whole).
constexpr char16_t kWordJoiner = 0x2060;

QString joinWords(const QString& text) {
    QString out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text.at(i);
        if (i + 1 < text.size() && !text.at(i).isSpace() && !text.at(i + 1).isSpace())
            out += QChar(kWordJoiner);
    }
    return out;
}

// The viewer: copying from it gives the text without the joiners.
class ViewerText : public QPlainTextEdit {
  protected:
    QMimeData* createMimeDataFromSelection() const override {
        QMimeData* data = QPlainTextEdit::createMimeDataFromSelection();
        if (data)
            data->setText(data->text().remove(QChar(kWordJoiner)));
        return data;
    }
};

} // namespace

QString plainText(const QPlainTextEdit* box) {
    return box->toPlainText().remove(QChar(kWordJoiner));
}

QString crlfText(const QPlainTextEdit* box) {
    QString text = plainText(box);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

// ---------------------------------------------------------------------------
// The form

Vorn::Vorn(UiSeam& seam, QWidget* parent) : QMainWindow(parent), ui(seam) {
    setObjectName(QStringLiteral("vorn"));
    setWindowTitle(QStringLiteral("Vornwick"));
    loadIconResource();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/vornwick-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    gTwipScale = fontScale(font());

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

Vorn::~Vorn() {
    // The panels watch the controls (event filters, connections) and reach
    // into this window from their reactions. They go first, so that no
    // reaction runs while the controls are torn down and this object is no
    // longer whole.
    const QObjectList children = this->children();
    for (QObject* child : children)
        if (child->property(kPanelProperty).toBool())
            delete child;
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

    txtFileContents = new ViewerText;
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

void Vorn::wireReactions() {
    connect(txtExec, &QLineEdit::textChanged, this, [this] { txtExec_Change(); });
    connect(cmbModList, &QComboBox::activated, this, [this] { cmbModList_Click(); });
    onSelected(optMotd, this, [this] { optMotd_Click(); });
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
    // A frame is read out by its own caption, never by the frame around it.
    for (QGroupBox* frame : findChildren<QGroupBox*>())
        if (frame->accessibleName().isEmpty())
            setCaption(frame, frame->title());
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

void Vorn::setCaption(QWidget* control, const QString& caption) {
    auto words = [](QString text) {
        text.remove(QLatin1Char('&'));
        while (text.endsWith(QLatin1Char(':')))
            text.chop(1);
        return text.trimmed();
    };
    if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        frame->setTitle(caption);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(caption);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        // The control the label names is renamed with it.
        QWidget* buddy = label->buddy();
        if (buddy && buddy->accessibleName() == words(label->text()))
            buddy->setAccessibleName(words(caption));
        label->setText(caption);
    }
    // Setting the name tells screen readers that it changed.
    control->setAccessibleName(words(caption));
}

void Vorn::moveFocusFrom(QWidget* leaving, QWidget* next) {
    QWidget* focused = QApplication::focusWidget();
    if (!focused || (focused != leaving && !leaving->isAncestorOf(focused)))
        return;
    if (next && next->isEnabled() && next->isVisible() && next->focusPolicy() != Qt::NoFocus)
        next->setFocus(Qt::OtherFocusReason);
    else
        txtFileContents->setFocus(Qt::OtherFocusReason);
}

void Vorn::onSelected(QAbstractButton* option, QObject* context, std::function<void()> reaction) {
    connect(option, &QAbstractButton::toggled, context, [reaction](bool checked) {
        if (checked)
            reaction();
    });
}

void Vorn::setBackColour(QWidget* widget, std::uint32_t bgr) {
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, fromBgr(bgr));
    pal.setColor(QPalette::Button, fromBgr(bgr));
    // The text on a fixed ground is fixed too, whatever the desktop's
    // palette: a dark theme must not put white text on light green.
    const QColor text = readableTextOn(fromBgr(bgr));
    // A disabled step still looks disabled: its text is greyed.
    const QColor greyed =
        text.lightness() < 128 ? QColor(0x70, 0x70, 0x70) : QColor(0xC0, 0xC0, 0xC0);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        pal.setColor(QPalette::Active, role, text);
        pal.setColor(QPalette::Inactive, role, text);
        pal.setColor(QPalette::Disabled, role, greyed);
    }
    // The option's circle stays light on the light ground.
    pal.setColor(QPalette::Base, fromBgr(0xFFFFFF));
    widget->setPalette(pal);
}

QString Vorn::mod() const {
    return cmbModList->currentText();
}

QString Vorn::modFilePath(const QString& name) const {
    return st.gameDir + mod() + QLatin1Char('\\') + name;
}

bool Vorn::saveGameFile(const QString& winPath, const QString& text, bool finalCrlf) {
    saveNote_.clear();
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
    // The file goes out; what its character set could not hold is named.
    QStringList missing;
    for (const std::string& c : plat::cp1252Missing(u8(text)))
        missing << qs(c);
    if (!missing.isEmpty()) {
        saveNote_ = QStringLiteral("Saved %1; the game has no %2, written as \"?\".")
                        .arg(bareName(winPath), missing.join(QStringLiteral(" ")));
        WriteLog(saveNote_);
    }
    return true;
}

QString Vorn::unusableNameReason(const QString& name) const {
    if (plat::isPlainFileName(u8(name)))
        return {};
    for (QChar c : name)
        if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c))
            return QStringLiteral("holds %1")
                .arg(c.unicode() < 32 ? QStringLiteral("a control character")
                                      : QStringLiteral("'%1'").arg(c));
    return QStringLiteral("is not a file name");
}

void Vorn::showSaveNote() {
    if (!saveNote_.isEmpty())
        setStatus(saveNote_, colour::Red);
    saveNote_.clear();
}

bool Vorn::readGameLines(const QString& winPath, QStringList& lines, QString* error) {
    std::string bytes;
    if (plat::Status s = plat::readFile(u8(winPath), bytes); !s.ok()) {
        if (error)
            *error = failureReason(winPath, s.error);
        return false;
    }
    lines = splitLines(bytes);
    return true;
}

bool Vorn::waitUntilGone(const QString& winPath, const QString& name) {
    // Bounded: a file that cannot be deleted is reported, never waited on
    // for ever.
    auto present = [&] { return qs(plat::storedName(u8(winPath))) == name; };
    BusyWhileWaiting busy(*this);
    for (int waited = 0; present(); waited += 15) {
        if (waited >= kCommandTimeoutMs)
            return false;
        // A read-only file stays: no use waiting for it.
        if (plat::deleteFile(u8(winPath)).error.find("read-only") != std::string::npos)
            return false;
        // Pause only while the file is still there: a deletion that worked
        // at once costs no wait.
        if (present()) {
            ShortPause();
            busy.after(waited);
        }
    }
    return true;
}

bool Vorn::writeBatchFile(const QString& line, const QString& batchPath) {
    st.fileNumber = 1;
    plat::Status s = plat::writeBatchFile(u8(batchPath), u8(line));
    if (s.ok())
        return true;
    WriteLog(QStringLiteral("Error: ") + qs(s.error));
    setStatus(QStringLiteral("Error: could not write the batch file %1: %2.")
                  .arg(bareName(batchPath), failureReason(batchPath, s.error)),
              colour::Red);
    return false;
}

// A started server's interpreter keeps the batch file and the listing file
// (its console output) in use for as long as it runs: a listing that
// removed and rewrote the listing file would take the server's output away
// from the server window (and on Windows the removal fails while the
// redirection holds the file), and the interpreter reads the batch file
// again once the server ends. The other outside commands then use side
// files beside them.
bool Vorn::serverHoldsWorkingFiles() const {
    return serverWindow && serverWindow->following();
}

QString Vorn::commandListPath() const {
    return serverHoldsWorkingFiles() ? parentDir(st.tempListPath) + kSideListName : st.tempListPath;
}

QString Vorn::commandListName() const {
    return serverHoldsWorkingFiles() ? kSideListName : st.tempListName;
}

QString Vorn::commandBatchPath() const {
    return serverHoldsWorkingFiles() ? parentDir(st.batchPath) + kSideBatchName : st.batchPath;
}

namespace {
// Where the interpreter's complaints about a command go, beside the batch
// file and the listing.
const QString kErrorOutputName = QStringLiteral("vorn.err");
} // namespace

QString Vorn::errorOutputPath() const {
    return st.tempListPath.left(st.tempListPath.size() - st.tempListName.size()) + kErrorOutputName;
}

namespace {

// The last words an outside command left in its output: its last lines
// that are not empty (one message may take two or three), shortened in the
// middle where they would not fit the status line beside the error, so
// that both what failed and why stay in view.
QString lastWords(const QStringList& lines) {
    constexpr qsizetype kRoom = 80;
    constexpr int kLines = 3;
    QString words;
    int taken = 0;
    for (qsizetype i = lines.size() - 1; i >= 0 && taken < kLines; --i) {
        const QString line = lines.at(i).simplified();
        if (line.isEmpty())
            continue;
        words = words.isEmpty() ? line : line + QLatin1Char(' ') + words;
        ++taken;
    }
    if (words.size() > kRoom) {
        const qsizetype half = (kRoom - 5) / 2;
        words = words.left(half) + QStringLiteral(" ... ") + words.right(half);
    }
    return words;
}

} // namespace

void Vorn::reportCommandFailure(const QString& what, int exitCode, const QString& outputPath) {
    QStringList lines;
    readGameLines(outputPath, lines);
    const QString words = lastWords(lines);
    const QString code = QStringLiteral("exit code %1").arg(exitCode);
    // The log keeps everything the command said.
    WriteLog(QStringLiteral("Error: %1 failed (%2).").arg(what, code));
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty())
            WriteLog(QStringLiteral("  ") + line);
    setStatus(QStringLiteral("Error: %1 failed: %2").arg(what, words.isEmpty() ? code : words),
              colour::Red);
}

bool Vorn::runCommand(const QString& commandLine, const QString& what, int* exitCode) {
    lastExitCode = -1;
    lastTimedOut = false;
    st.shellCommand = commandLine;
    const QString batchPath = commandBatchPath();
    if (!writeBatchFile(st.shellCommand, batchPath))
        return false;
    // What the interpreter (or Wine, or the program) complains about goes
    // into a file of its own, so that a failure can say why. A leftover
    // that cannot be replaced only costs the words, never the command.
    const QString errors = errorOutputPath();
    plat::deleteFile(u8(errors));
    QString redirect;
    if (plat::storedName(u8(errors), true).empty())
        redirect = QStringLiteral("2> ") + kErrorOutputName;
    plat::Process process;
    plat::Status s = startBatch(batchPath, redirect, process);
    if (!s.ok()) {
        setStatus(QStringLiteral("Error: %1 could not be started. %2").arg(what, qs(s.error)),
                  colour::Red);
        return false;
    }
    // The busy pointer shows once the wait is longer than a moment.
    auto waited = process.wait(kBusyAfterMs);
    if (waited == plat::Process::Wait::TimedOut) {
        ui.setBusy(this, true);
        waited = process.wait(kCommandTimeoutMs - kBusyAfterMs);
        ui.setBusy(this, false);
    }
    if (exitCode)
        *exitCode = process.exitCode();
    if (waited != plat::Process::Wait::Finished) {
        process.kill();
        lastTimedOut = true;
        setStatus(QStringLiteral("Error: %1 did not answer within %2 seconds.")
                      .arg(what)
                      .arg(kCommandTimeoutMs / 1000),
                  colour::Red);
        return false;
    }
    lastExitCode = process.exitCode();
    return true;
}

plat::Status Vorn::startBatch(const QString& batchPath, const QString& redirect,
                              plat::Process& process) {
    // The batch file is named without its folder and run from there: '%' in
    // a folder (a user name such as "100%", or "%PATH%") would be expanded
    // on the interpreter's command line, where no quoting prevents it.
    QString line = QStringLiteral(".\\") + bareName(batchPath);
    if (!redirect.isEmpty())
        line += QLatin1Char(' ') + redirect;
    return plat::startHidden(u8(line), process, plat::parentOf(u8(batchPath)));
}

bool Vorn::runListing(const QString& command, const QString& what, QStringList& lines) {
    lines.clear();
    const QString listPath = commandListPath();
    if (!waitUntilGone(listPath, commandListName())) {
        setStatus(QStringLiteral("Error: the old listing %1 cannot be removed.").arg(listPath),
                  colour::Red);
        return false;
    }
    int code = -1;
    if (!runCommand(command, what, &code))
        return false;
    // The command has ended, so the listing is complete.
    if (qs(plat::storedName(u8(listPath))) != commandListName() ||
        !readGameLines(listPath, lines)) {
        if (lastExitCode != 0) {
            // The interpreter said why; that goes to the user and the log.
            reportCommandFailure(what, lastExitCode, errorOutputPath());
            return false;
        }
        setStatus(QStringLiteral("Error: %1 left no listing in %2.").arg(what, listPath),
                  colour::Red);
        return false;
    }
    // A listing cut short (a full disk, a killed interpreter) is never
    // taken for the whole list. `dir` ends with 1 when nothing matched,
    // and then the listing is empty.
    if (code != 0 && !(code == 1 && lines.isEmpty())) {
        lines.clear();
        setStatus(QStringLiteral("Error: %1 failed (exit code %2), so it is not used.")
                      .arg(what)
                      .arg(code),
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
    // The root is tested by making files there as every command will: the
    // batch file, the listing and a new file (which also needs a temporary
    // one), not only by the log, which may be an old file that is still
    // writable where nothing new can be made. A directory standing in a
    // working file's place fails the test too.
    const QString probe = QStringLiteral("c:\\vorn-probe.tmp");
    plat::TextFile log;
    if (plat::replaceFile(u8(st.batchPath), {}).ok() &&
        plat::replaceFile(u8(st.tempListPath), {}).ok() && plat::replaceFile(u8(probe), {}).ok() &&
        plat::deleteFile(u8(probe)).ok() &&
        log.open(u8(st.masterLogPath), plat::TextFile::Mode::Append).ok())
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
    // The build's project version, e.g. "v0.1.0".
    st.programVersion = QStringLiteral("v" VORN_VERSION);
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
            // A listing that failed has already said why.
            if (FindMods()) {
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
        QString text = QStringLiteral("Error: Correct Exec path!");
#ifndef Q_OS_WIN
        // Off Windows the drives are Wine's: a drive that is not there at
        // all (no Wine prefix, as with no ~/.wine, or none with that drive)
        // says so, and where the drives come from.
        std::string host;
        if (st.checkPath.at(0).isLetter() && !plat::hostPath(u8(st.checkPath), host))
            text += QStringLiteral(" Drive %1: is not mapped: set WINEPREFIX to the Wine prefix "
                                   "that holds the game.")
                        .arg(st.checkPath.at(0).toUpper());
#endif
        setStatus(text, colour::Red);
        cmbModList->setEnabled(false);
        lblMod->setEnabled(false);
        if (auto* frame = findChild<QWidget*>(QStringLiteral("frmCommandLine")))
            frame->hide();
    }
}

bool Vorn::FindMods() {
    // Cleared first so that a failed listing shows no stale mods.
    setStatus(QString(), colour::Blue);
    QString err;
    QString dir = quoted(st.gameDir, err);
    QString list = quoted(commandListPath(), err);
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
    return listed;
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
    // No step stays selected with its panel hidden: choosing a step again
    // must open it.
    for (QRadioButton* opt : {optCommandLine, optServerFile, optMapFile, optMotd, optBotFile}) {
        if (!opt->isChecked())
            continue;
        const QSignalBlocker quiet(opt);
        opt->setAutoExclusive(false);
        opt->setChecked(false);
        opt->setAutoExclusive(true);
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
    // The mod's name goes on the server's command line: a name that cannot
    // stand there is refused now, before any panel is filled in.
    if (!plat::isPlainBatchWord(u8(m))) {
        setStatus(QStringLiteral("Error: the mod \"%1\" cannot go on a command line: its name "
                                 "holds a blank or one of %2")
                      .arg(m, QStringLiteral("%&|<>^(),;=\"")),
                  colour::Red);
        return;
    }
    ctl<QLineEdit>("txtHostName")->setText(QStringLiteral("My ") + m + QStringLiteral(" server."));
    // A problem with the add-on is said once the maps are listed.
    QString addOnProblem;
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
            QString why;
            // Missing: an empty version. Present but unreadable (a pipe, a
            // link to something endless, far too large): said so.
            if (!readGameLines(st.checkPath, history, &why) &&
                !why.endsWith(QStringLiteral("does not exist")))
                addOnProblem =
                    QStringLiteral("Error: the add-on's History.txt cannot be read: %1.").arg(why);
            st.sturmbotVersion = qs(versionFromHistory(toStdLines(history)));

            auto* frame = ctl<QGroupBox>("frmSturmbotSetup");
            if (!st.sturmbotVersion.isEmpty()) {
                setCaption(frame, QStringLiteral("Sturmbot ") + st.sturmbotVersion +
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
                setCaption(frame, QStringLiteral("Sturmbot Setup"));
            }
            ctl<QWidget>("cmdSturmbotAdd")->setEnabled(false);
            ctl<QWidget>("cmdSturmbotClear")->setEnabled(false);
        }
    }
    const bool mapsListed = FindMaps();
    optCommandLine->setEnabled(true);
    st.modSelected = 1;
    // A failed listing has said why; its error stays.
    if (mapsListed && !addOnProblem.isEmpty())
        setStatus(addOnProblem, colour::Red);
    else if (mapsListed && ctl<QComboBox>("cmbMapList1")->currentText().isEmpty())
        setStatus(QStringLiteral("Select Command Line."), colour::Blue);
    UpdateReadiness();
}

bool Vorn::FindMaps() {
    QString err;
    QString pattern = quoted(st.gameDir + mod() + QStringLiteral("\\maps\\*.bsp"), err);
    QString list = quoted(commandListPath(), err);
    QStringList lines;
    bool listed = false;
    if (pattern.isEmpty() || list.isEmpty()) {
        setStatus(QStringLiteral("Error: the maps of this mod cannot be listed. %1").arg(err),
                  colour::Red);
    } else {
        listed = runListing(QStringLiteral("dir ") + pattern + QStringLiteral(" /b > ") + list,
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
    return listed;
}

// ---------------------------------------------------------------------------
// The viewer and the welcome message

void Vorn::ShowInViewer(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtFileContents->setPlainText(joinWords(shown));
    frmInfo->show();
}

void Vorn::setViewerCaption(const QString& caption) {
    setCaption(frmInfo, caption);
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
    // Text to edit has no joiners: the cursor moves one character a key.
    const QString text = plainText(txtFileContents);
    if (text != txtFileContents->toPlainText())
        txtFileContents->setPlainText(text);
    txtFileContents->setReadOnly(false);
    cmdSaveFile->setEnabled(true);
    // Edit disables itself: the keyboard goes on in the text to edit.
    moveFocusFrom(cmdEditFile, txtFileContents);
    cmdEditFile->setEnabled(false);
}

void Vorn::cmdSaveFile_Click() {
    txtFileContents->setReadOnly(true);
    moveFocusFrom(cmdSaveFile);
    cmdSaveFile->setEnabled(false);
    st.motdText = crlfText(txtFileContents);
    cmdEditFile->setEnabled(true);
    // Save is open only while the viewer shows the welcome message.
    st.checkPath = st.gameDir + mod() + QStringLiteral("\\vorn_motd.txt");
    st.fileNumber = 1;
    if (!saveGameFile(st.checkPath, st.motdText)) {
        // The step stays unconfirmed, and the text stays editable so that
        // nothing typed is lost.
        cmdEditFile_Click();
        return;
    }
    confirmStep(4);
    showSaveNote();
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
    if (!stopRunningServerFirst() || !portIsFree())
        return;
    // The launcher's output lies beside the batch file, which runs from its
    // folder. Complaints go into the output file too, so that a start that
    // failed can say why.
    st.shellCommand =
        st.batchPath + QStringLiteral(" > ") + st.tempListPath + QStringLiteral(" 2>&1");
    if (!writeBatchFile(line, st.batchPath))
        return;
    // The output of an earlier run goes first, so that the server window
    // never shows it before the launcher has made the file anew.
    plat::deleteFile(u8(st.tempListPath));
    plat::Process process;
    plat::Status s = startBatch(
        st.batchPath, QStringLiteral("> ") + st.tempListName + QStringLiteral(" 2>&1"), process);
    if (!s.ok()) {
        setStatus(QStringLiteral("Error: the server could not be started. %1").arg(qs(s.error)),
                  colour::Red);
        return;
    }
    ShortPause();
    if (launcherFailedEarly(process))
        return;
    setStatus(QStringLiteral("Server started."), colour::Green);
    showServer(std::move(process), line);
}

bool Vorn::stopRunningServerFirst() {
    if (!serverWindow || !serverWindow->serverRunning())
        return true;
    st.msgAnswer = std::int16_t(
        ui.messageBox(this, MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("VORN Allert!"),
                      QStringLiteral("A server started earlier is still running.\r\n"
                                     "Stop it and start the new one?")));
    if (st.msgAnswer != kAnswerYes)
        return false;
    serverWindow->stopServer();
    return true;
}

bool Vorn::portIsFree() {
    const int port = udpPortOfCommandLine(u8(st.commandLine));
    std::string err;
    if (port == 0 || plat::udpPortFree(port, err))
        return true;
    // Another program, such as a server started earlier, holds the port.
    setStatus(err.find("in use") != std::string::npos
                  ? QStringLiteral("Error: UDP port %1 is in use by another program; no server "
                                   "was started.")
                        .arg(port)
                  : QStringLiteral("Error: no server was started. %1").arg(qs(err)),
              colour::Red);
    return false;
}

void Vorn::showServer(plat::Process launcher, const QString& line) {
    if (!serverWindow)
        serverWindow = new ServerWindow(ui, this);
    serverWindow->follow(std::move(launcher), line, st.tempListPath);
}

bool Vorn::launcherFailedEarly(plat::Process& launcher) {
    // A launcher that cannot run the server (no such program, a Windows
    // program without a working Wine) ends at once with an error. One
    // that is still running, or ended well, has started the server.
    if (launcher.wait(kStartCheckMs) != plat::Process::Wait::Finished)
        return false;
    const int code = launcher.exitCode();
    if (code == 0)
        return false;
    reportCommandFailure(QStringLiteral("The server start"), code, st.tempListPath);
    return true;
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
        QStringLiteral("Vornwick %1\r\nPrepares and starts a Half-Life game server.")
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
    // A name that cannot be a file name is never made into a path; the
    // problem box says why.
    const QString why = unusableNameReason(mapName);

    if (why.isEmpty() && !present()) {
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
        QString list = quoted(commandListPath(), err);
        if (!tool.isEmpty() && !map.isEmpty() && !list.isEmpty()) {
            // Waits for the tool to end (bounded), so a half-written export
            // is never read.
            const QString what = QStringLiteral("The entity tool");
            const bool ended = runCommand(
                tool + QStringLiteral(" -export ") + map + QStringLiteral(" > ") + list, what);
            if (!ended && lastTimedOut && present()) {
                // Stopped mid-way: what it left may be cut short. Removed,
                // so that the next detection runs the tool again.
                plat::deleteFile(u8(entityFilePath));
                WriteLog(QStringLiteral("%1 was stopped after %2 seconds; its unfinished export "
                                        "%3 was removed.")
                             .arg(what)
                             .arg(kCommandTimeoutMs / 1000)
                             .arg(entityFilePath));
            } else if (ended && lastExitCode != 0) {
                reportCommandFailure(what, lastExitCode, errorOutputPath());
            }
        }
    }

    if (why.isEmpty() && present()) {
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
            QStringLiteral("Encountered a problem with determining country for Allies.\r\n") +
                (why.isEmpty()
                     ? QString()
                     : QStringLiteral("The map name \"%1\" cannot be a file name: it %2.\r\n")
                           .arg(mapName, why)) +
                QStringLiteral("Would you like to ignore this and proceed?")));
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
