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
// Message boxes are answered with OK / Yes and printed. Run it with
// WINEPREFIX set to a game installation (scripts/make-demo.sh makes one),
// on the offscreen platform (QT_QPA_PLATFORM=offscreen) or under Xvfb.
#include "vornwick.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <cstdio>

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
    if (kind == QLatin1String("click")) {
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

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: vorn-screenshot OUT.png [ACTION...]\n");
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
    std::printf("status: %s\n", qPrintable(w->lblStatus->text()));
    if (!w->grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
