// Whether a window shows each of its texts in full.
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QWidget>

namespace vorn::test {

// The named labels and buttons of `window` that have less room than their
// text needs (a word-wrapped label: the height its text needs at its
// width), each as "name: WxH < WxH"; empty when nothing is clipped.
inline QStringList clippedControls(QWidget* window) {
    for (QWidget* widget : window->findChildren<QWidget*>())
        if (widget->layout())
            widget->layout()->activate();
    QStringList out;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->objectName().isEmpty() ||
            (!qobject_cast<QLabel*>(widget) && !qobject_cast<QAbstractButton*>(widget)))
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
