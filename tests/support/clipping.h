// Whether a window shows each of its texts in full.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QWidget>

namespace vorn::test {

// The desktop font at another point size for as long as the object lives.
// As a fixture member it is in place before the window is built and until
// after it is gone.
class DesktopPointSize {
  public:
    explicit DesktopPointSize(int points) : old_(QApplication::font()) {
        QFont font = old_;
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    ~DesktopPointSize() { QApplication::setFont(old_); }
    DesktopPointSize(const DesktopPointSize&) = delete;
    DesktopPointSize& operator=(const DesktopPointSize&) = delete;

  private:
    QFont old_;
};

// The named labels and buttons of `window` (with `entriesToo`, also its
// combo boxes, line edits and group boxes) that have less room than their
// text needs (a word-wrapped label: the height its text needs at its
// width), each as "name: WxH < WxH"; empty when nothing is clipped.
inline QStringList clippedControls(QWidget* window, bool entriesToo = false) {
    for (QWidget* widget : window->findChildren<QWidget*>())
        if (widget->layout())
            widget->layout()->activate();
    QStringList out;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->objectName().isEmpty())
            continue;
        bool captioned = qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget);
        if (entriesToo) {
            if (widget->objectName().startsWith(QLatin1String("qt_")))
                continue;
            captioned = captioned || qobject_cast<QComboBox*>(widget) ||
                        qobject_cast<QLineEdit*>(widget) || qobject_cast<QGroupBox*>(widget);
        }
        if (!captioned)
            continue;
        QSize need = widget->minimumSizeHint();
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->wordWrap())
            need = QSize(0, label->heightForWidth(label->width()));
        if (widget->width() < need.width() || widget->height() < need.height())
            out << QStringLiteral("%1: %2x%3 < %4x%5")
                       .arg(widget->objectName())
                       .arg(widget->width())
                       .arg(widget->height())
                       .arg(need.width())
                       .arg(need.height());
    }
    return out;
}

// Whether the last line of `view` is in full view.
inline bool lastLineInView(const QPlainTextEdit* view) {
    const QRect line = view->cursorRect(QTextCursor(view->document()->lastBlock()));
    return line.top() >= 0 && line.bottom() < view->viewport()->height();
}

} // namespace vorn::test
