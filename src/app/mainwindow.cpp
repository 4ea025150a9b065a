#include "mainwindow.h"

#include "controls.h"
#include "windowicon.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

// The window icon lives in a resource of this static library.
static void loadIconResource() {
    Q_INIT_RESOURCE(vornwick);
}

namespace vorn {

namespace plat = vorn::platform;

QColor fromBgr(std::uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

Vorn::Vorn(UiSeam& seam, QWidget* parent) : QMainWindow(parent), ui(seam) {
    setObjectName(QStringLiteral("vorn"));
    setWindowTitle(QStringLiteral("Vornwick"));
    loadIconResource();
    setWindowIcon(vornwickIcon());
    setTwipScale(fontScale(font()));

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
    for (SetupPanel* panel : panels_)
        delete panel;
}

void Vorn::addPanel(SetupPanel* panel) {
    panel->setParent(this);
    panels_.push_back(panel);
}

void Vorn::showPanel(const SetupPanel* shown) {
    for (SetupPanel* panel : panels_)
        if (panel != shown)
            panel->frame()->hide();
    if (shown)
        shown->frame()->show();
}

void Vorn::endProgram() {
    ended_ = true;
    ui.endProgram();
    // Only a scripted desktop comes back here: the window takes no more
    // input, so no step starts after the end.
    formArea_->setEnabled(false);
    menuBar()->setEnabled(false);
}

void Vorn::wireReactions() {
    connect(txtExec, &QLineEdit::textChanged, this, [this] { txtExec_Change(); });
    connect(cmbModList, &QComboBox::activated, this, [this] { cmbModList_Click(); });
    // Choosing a mod resets every step: a stray wheel turn must not do it.
    wheelOnlyWithFocus(cmbModList);
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

void Vorn::setStatus(const QString& text, std::uint32_t bgr) {
    setTextColour(lblStatus, bgr);
    const QString shown = fittedStatus(text);
    lblStatus->setText(shown);
    // A text cut short is there in full on hover, for a screen reader, and
    // in the log.
    const bool whole = shown == text;
    lblStatus->setToolTip(whole ? QString() : text);
    lblStatus->setAccessibleDescription(whole ? QStringLiteral("Status") : text);
    if (!whole)
        WriteLog(text);
}

QString Vorn::fittedStatus(const QString& text) const {
    if (QLayout* layout = frmControlCenter ? frmControlCenter->layout() : nullptr)
        layout->activate();
    const QRect room = lblStatus->contentsRect();
    const QFontMetrics metrics(lblStatus->font());
    auto fits = [&](const QString& candidate) {
        const QRect need =
            metrics.boundingRect(QRect(0, 0, room.width(), 1 << 20),
                                 Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, candidate);
        return need.width() <= room.width() && need.height() <= room.height();
    };
    if (room.isEmpty() || fits(text))
        return text;
    // As many whole words as fit, then an ellipsis: what failed comes
    // first in every status text, the details after it.
    const QStringList words = text.split(QLatin1Char(' '));
    const QString more = QStringLiteral(" \u2026");
    auto kept = [&](qsizetype n) { return QStringList(words.mid(0, n)).join(QLatin1Char(' ')); };
    qsizetype good = 0;
    qsizetype bad = words.size();
    while (bad - good > 1) {
        const qsizetype mid = (good + bad) / 2;
        (fits(kept(mid) + more) ? good : bad) = mid;
    }
    return good == 0 ? QStringLiteral("\u2026") : kept(good) + more;
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

void Vorn::ResetPanels() {
    for (QWidget* own : std::initializer_list<QWidget*>{cmdStart, cmdEditFile, cmdSaveFile})
        own->setEnabled(false);
    for (SetupPanel* panel : panels_)
        panel->reset();
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
    frmInfo->hide();
    optBotFile->hide();
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

void Vorn::mnuExit_Click() {
    st.msgAnswer = std::int16_t(ui.messageBox(this, MsgIcon::Question, MsgButtons::YesNo,
                                              QStringLiteral("VORN Allert!"),
                                              QStringLiteral("Are you sure you want to exit?")));
    if (st.msgAnswer == kAnswerYes)
        endProgram();
}

void Vorn::mnuAbout_Click() {
    st.msgAnswer = std::int16_t(ui.messageBox(
        this, MsgIcon::Information, MsgButtons::Ok, QStringLiteral("VORN information"),
        QStringLiteral("Vornwick %1\r\nPrepares and starts a Half-Life game server.")
            .arg(st.programVersion)));
}

} // namespace vorn
