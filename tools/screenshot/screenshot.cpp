// Saves a PNG of the Vornwick window, optionally after driving it.
//
//   vorn-screenshot OUT.png [ACTION...]
// Actions, run in order:
//   mod:NAME            pick a mod from cmbModList
//   click:CONTROL       click a button, option or check box
//   pick:COMBO:TEXT     pick an item of a combo box
//   text:CONTROL:TEXT   set the text of a line edit, combo box or text box
//   item:LIST:TEXT      click an item of a list box
//   dblitem:LIST:TEXT   double-click an item of a list box
//   show:CONTROL        show and enable a control (to reach every panel)
// Options before the output file:
//   --points N          the desktop font at N points
//   --dark              a dark desktop palette (Fusion style)
// Message boxes are answered with OK / Yes and printed. Run it with
// WINEPREFIX set to a game installation (scripts/make-demo.sh makes one),
// on the offscreen platform (QT_QPA_PLATFORM=offscreen) or under Xvfb.
#include "assembly.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QStyle>
#include <cstdio>
#include <cstdlib>

namespace {

class AnsweringSeam : public vorn::UiSeam {
  public:
    int messageBox(QWidget*, vorn::MsgIcon, vorn::MsgButtons buttons, const QString& title,
                   const QString& text) override {
        std::printf("message box \"%s\": %s\n", qPrintable(title), qPrintable(text));
        return buttons == vorn::MsgButtons::Ok ? vorn::kAnswerOk : vorn::kAnswerYes;
    }
    void beep() override { std::printf("beep\n"); }
    void setBusy(QWidget*, bool) override {}
    void endProgram() override { std::printf("the program would end here\n"); }
};

bool act(vorn::Vorn& w, const QString& action) {
    const QString kind = action.section(QLatin1Char(':'), 0, 0);
    const QString name = action.section(QLatin1Char(':'), 1, 1);
    const QString value = action.section(QLatin1Char(':'), 2);
    if (kind == QLatin1String("mod"))
        return act(w, QStringLiteral("pick:cmbModList:") + name);
    QObject* o = w.findChild<QObject*>(name);
    if (!o) {
        std::fprintf(stderr, "no control named %s\n", qPrintable(name));
        return false;
    }
    if (kind == QLatin1String("show")) {
        if (auto* widget = qobject_cast<QWidget*>(o)) {
            widget->show();
            widget->setEnabled(true);
            return true;
        }
    } else if (kind == QLatin1String("click")) {
        if (auto* b = qobject_cast<QAbstractButton*>(o)) {
            b->click();
            return true;
        }
    } else if (kind == QLatin1String("pick")) {
        if (auto* c = qobject_cast<QComboBox*>(o)) {
            int i = c->findText(value);
            if (i < 0)
                return false;
            c->setCurrentIndex(i);
            emit c->activated(i);
            return true;
        }
    } else if (kind == QLatin1String("text")) {
        if (auto* c = qobject_cast<QComboBox*>(o))
            c->setEditText(value);
        else if (auto* e = qobject_cast<QLineEdit*>(o))
            e->setText(value);
        else if (auto* p = qobject_cast<QPlainTextEdit*>(o))
            p->setPlainText(value);
        else
            return false;
        return true;
    } else if (kind == QLatin1String("item") || kind == QLatin1String("dblitem")) {
        if (auto* l = qobject_cast<QListWidget*>(o)) {
            auto items = l->findItems(value, Qt::MatchExactly);
            if (items.isEmpty())
                return false;
            l->setCurrentItem(items.first());
            emit l->itemClicked(items.first());
            if (kind == QLatin1String("dblitem"))
                emit l->itemDoubleClicked(items.first());
            return true;
        }
    }
    std::fprintf(stderr, "cannot do %s\n", qPrintable(action));
    return false;
}

} // namespace

// A dark desktop palette, as dark themes give it.
QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::AlternateBase, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    dark.setColor(QPalette::ToolTipBase, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::ToolTipText, Qt::white);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
    return dark;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int first = 1;
    while (first < argc && argv[first][0] == '-' && argv[first][1] == '-') {
        const QString option = QString::fromLocal8Bit(argv[first]);
        if (option == QLatin1String("--points") && first + 1 < argc) {
            QFont font = QApplication::font();
            font.setPointSize(std::atoi(argv[first + 1]));
            QApplication::setFont(font);
            first += 2;
        } else if (option == QLatin1String("--dark")) {
            QApplication::setStyle(QStringLiteral("Fusion"));
            QApplication::setPalette(darkPalette());
            ++first;
        } else {
            std::fprintf(stderr, "unknown option %s\n", argv[first]);
            return 2;
        }
    }
    argv += first - 1;
    argc -= first - 1;
    if (argc < 2) {
        std::fprintf(stderr, "usage: vorn-screenshot [--points N] [--dark] OUT.png [ACTION...]\n");
        return 2;
    }
    AnsweringSeam seam;
    auto w = vorn::makeVornwick(seam);
    w->show();
    QApplication::processEvents();
    for (int i = 2; i < argc; ++i) {
        if (!act(*w, QString::fromLocal8Bit(argv[i])))
            return 1;
        QApplication::processEvents();
    }
    std::printf("status: %s\n",
                qPrintable(w->findChild<QLabel*>(QStringLiteral("lblStatus"))->text()));
    if (!w->grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
