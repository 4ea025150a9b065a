#include "controls.h"

#include "mainwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

namespace vorn {

namespace {

template <class T> T* named(T* control, const char* name, const QString& tip = {}) {
    control->setObjectName(QString::fromLatin1(name));
    if (!tip.isEmpty())
        control->setToolTip(tip);
    return control;
}

// A completer that stays with no text field: see makeTypedCombo.
QCompleter* lentCompleter() {
    static QPointer<QCompleter> lent;
    if (!lent) {
        lent = new QCompleter(QCoreApplication::instance());
        lent->setCompletionMode(QCompleter::InlineCompletion);
    }
    return lent;
}

// Swallows wheel turns over a control that has not the focus.
class WheelGuard : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget && !widget->hasFocus();
    }
};

} // namespace

void keepListPositionWithText(QComboBox* box) {
    QObject::connect(box->lineEdit(), &QLineEdit::textChanged, box, [box](const QString& text) {
        const int shown = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (shown == box->currentIndex())
            return;
        // Quietly: the text stays as it is, and moving the position is no
        // pick and no change of the text.
        QLineEdit* edit = box->lineEdit();
        const int cursor = edit->cursorPosition();
        const QSignalBlocker quietBox(box);
        const QSignalBlocker quietEdit(edit);
        box->setCurrentIndex(shown);
        if (edit->text() != text) {
            edit->setText(text);
            edit->setCursorPosition(cursor);
        }
    });
}

void wheelOnlyWithFocus(QComboBox* box) {
    static QPointer<WheelGuard> guard;
    if (!guard)
        guard = new WheelGuard(QCoreApplication::instance());
    // A combo box takes the focus from the wheel; Tab and clicks still give it.
    box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(guard);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, QWidget* buddy) {
    auto* label = named(new QLabel(caption, parent), name);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

QLineEdit* makeLineEdit(QWidget* parent, const char* name, const QString& text,
                        const QString& tip) {
    return named(new QLineEdit(text, parent), name, tip);
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption, bool checked,
                        const QString& tip) {
    auto* box = named(new QCheckBox(caption, parent), name, tip);
    box->setChecked(checked);
    return box;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& tip) {
    auto* button = named(new QPushButton(caption, parent), name, tip);
    button->setAutoDefault(false);
    return button;
}

QComboBox* makeTypedCombo(QWidget* parent, const char* name, const QString& tip) {
    auto* box = named(new QComboBox(parent), name, tip);
    // Handing the box its own text field makes it editable as setEditable
    // does, without building the list's popup before it is first needed.
    // The field comes with a completer lent for the moment: the box would
    // otherwise make a completer of its own, only to have it taken off
    // again below. Both would make the panels' many combo boxes the
    // largest part of the window's start-up.
    auto* edit = new QLineEdit(box);
    edit->setPalette(box->palette());
    edit->setCompleter(lentCompleter());
    box->setLineEdit(edit);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
    return box;
}

void setTextColour(QWidget* widget, std::uint32_t bgr) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, fromBgr(bgr));
    // A fixed text colour gets a fixed ground: a dark desktop palette must
    // not put blue or red text on dark grey.
    pal.setColor(QPalette::Window, fromBgr(kTextGround));
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

double contrastRatio(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableTextOn(const QColor& ground) {
    const QColor nearBlack = fromBgr(0x111111);
    const QColor white = fromBgr(0xFFFFFF);
    return contrastRatio(nearBlack, ground) >= contrastRatio(white, ground) ? nearBlack : white;
}

std::vector<std::string> toStdLines(const QStringList& lines) {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines)
        out.push_back(line.toStdString());
    return out;
}

} // namespace vorn
