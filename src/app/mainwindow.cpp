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
#include <utility>

// The window icon lives in a resource of this static library.
static void loadIconResource() {
    Q_INIT_RESOURCE(vornwick);
}

namespace vorn {

namespace plat = vorn::platform;

QColor fromBgr(std::uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

Vorn::Vorn(UiSeam& seam, std::span<const StepRow> steps, QWidget* parent)
    : QMainWindow(parent), ui(seam) {
    setObjectName(QStringLiteral("vorn"));
    setWindowTitle(QStringLiteral("Vornwick"));
    loadIconResource();
    setWindowIcon(vornwickIcon());
    setTwipScale(fontScale(font()));

    formArea_ = new QWidget(this);
    formArea_->setObjectName(QStringLiteral("formArea"));
    setCentralWidget(formArea_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    buildMenus();
    buildControlCenter(steps);
    buildViewer();
    // The panels go before the controls they watch, so they are the
    // window's children: made after the form, in the order of the steps.
    for (Step& step : steps_) {
        step.panel = step.row.make(*this);
        step.panel->setParent(this);
    }
    placeFrames();
    wireReactions();
}

Vorn::~Vorn() {
    // The panels watch the controls (event filters, connections) and reach
    // into this window from their reactions. They go first, so that no
    // reaction runs while the controls are torn down and this object is no
    // longer whole.
    for (Step& step : steps_)
        delete std::exchange(step.panel, nullptr);
}

SetupPanel* Vorn::panelOf(const char* option) const {
    for (const Step& step : steps_)
        if (qstrcmp(step.row.option, option) == 0)
            return step.panel;
    return nullptr;
}

Vorn::Step* Vorn::stepOf(const SetupPanel& panel) {
    for (Step& step : steps_)
        if (step.panel == &panel)
            return &step;
    return nullptr;
}

void Vorn::showPanel(const SetupPanel* shown) {
    for (const Step& step : steps_)
        if (step.panel != shown && step.panel->frame())
            step.panel->frame()->hide();
    if (shown && shown->frame())
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
    // Each step's option opens its panel when it becomes selected; a press
    // on it is the panel's to know too.
    for (const Step& step : steps_) {
        SetupPanel* panel = step.panel;
        onSelected(step.option, panel, [panel] { panel->open(); });
        step.option->installEventFilter(this);
    }
    connect(cmdStart, &QAbstractButton::clicked, this, [this] { cmdStart_Click(); });
    connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });
    connect(mnuAbout, &QAction::triggered, this, [this] { mnuAbout_Click(); });
}

bool Vorn::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        for (const Step& step : steps_)
            if (watched == step.option && step.option->isEnabled())
                step.panel->optionPressed();
    return QMainWindow::eventFilter(watched, event);
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

void setCaption(QWidget* control, const QString& caption) {
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

void onSelected(QAbstractButton* option, QObject* context, std::function<void()> reaction) {
    QObject::connect(option, &QAbstractButton::toggled, context, [reaction](bool checked) {
        if (checked)
            reaction();
    });
}

void setBackColour(QWidget* widget, std::uint32_t bgr) {
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
    for (Step& step : steps_)
        step.panel->reset();
    for (Step& step : steps_) {
        step.option->setEnabled(false);
        setBackColour(step.option, colour::Pink);
        step.confirmed = false;
        // No step stays selected with its panel hidden: choosing a step
        // again must open it.
        if (step.option->isChecked()) {
            const QSignalBlocker quiet(step.option);
            step.option->setAutoExclusive(false);
            step.option->setChecked(false);
            step.option->setAutoExclusive(true);
        }
        // A step shown only for some mods waits for the mod's facts.
        if (step.row.shownFor)
            step.option->hide();
    }
    frmInfo->hide();
    lblModSupport->setText(QString());
}

QString selectStepText(const char* caption) {
    return QStringLiteral("Select ") + QString::fromUtf8(caption);
}

void Vorn::UpdateReadiness() {
    // Nothing to say until every step that is always there is confirmed.
    if (!st.modSelected)
        return;
    for (const Step& step : steps_)
        if (!step.row.shownFor && !step.confirmed)
            return;
    for (const Step& step : steps_) {
        if (!step.option->isHidden() && !step.confirmed) {
            cmdStart->setEnabled(false);
            setStatus(selectStepText(step.row.caption), colour::Blue);
            return;
        }
    }
    cmdStart->setEnabled(true);
    setStatus(QStringLiteral("You can now start the server."), colour::Blue);
}

void Vorn::confirmStep(const SetupPanel& panel) {
    Step* step = stepOf(panel);
    if (!step)
        return;
    setBackColour(step->option, colour::LightGreen);
    step->confirmed = true;
    // The next step on show is offered.
    for (Step* next = step + 1; next != steps_.data() + steps_.size(); ++next) {
        if (next->option->isHidden())
            continue;
        next->option->setEnabled(true);
        setStatus(selectStepText(next->row.caption), colour::Blue);
        break;
    }
    UpdateReadiness();
}

void Vorn::mnuExit_Click() {
    if (ui.messageBox(this, MsgIcon::Question, MsgButtons::YesNo, kAlertTitle,
                      QStringLiteral("Are you sure you want to exit?")) == kAnswerYes)
        endProgram();
}

bool Vorn::askToExit() {
    mnuExit_Click();
    return ended_;
}

void Vorn::mnuAbout_Click() {
    ui.messageBox(this, MsgIcon::Information, MsgButtons::Ok, QStringLiteral("VORN information"),
                  QStringLiteral("Vornwick %1\r\nPrepares and starts a Half-Life game server.")
                      .arg(st.programVersion));
}

int Vorn::messageBox(MsgIcon icon, MsgButtons buttons, const QString& title, const QString& text) {
    return ui.messageBox(this, icon, buttons, title, text);
}

void Vorn::beep() {
    ui.beep();
}

void Vorn::setBusy(bool busy) {
    ui.setBusy(this, busy);
}

} // namespace vorn
