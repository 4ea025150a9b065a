// The control tree as a screen reader and a keyboard user meet it: names in
// words, labels naming their controls, tooltips read out, and Tab's order.
#include "guisupport.h"

#include <QAccessible>
#include <QRegularExpression>

namespace vorn::test {
namespace {

// Controls by the prefix of their names; "Label<n>" are labels too.
const QRegularExpression
    kControl(QStringLiteral("^(lbl|txt|cmb|lst|opt|chk|cmd|frm)[A-Z]|^Label\\d+$"));
const QStringList kInputKinds{"txt", "cmb", "lst", "opt", "chk", "cmd"};

QString kindOf(const QWidget* widget) {
    const QRegularExpressionMatch m = kControl.match(widget->objectName());
    return !m.hasMatch() ? QString() : m.hasCaptured(1) ? m.captured(1) : QStringLiteral("lbl");
}

// What a screen reader says a widget is called.
QString spokenName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name).trimmed() : QString();
}

// Words, not an identifier: a letter, and not the control's own name.
bool inWords(const QString& text, const QString& objectName) {
    return text.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))) && text != objectName &&
           !kControl.match(text).hasMatch();
}

class AccessibilityTest : public WindowTest {
  protected:
    QList<QWidget*> controls() const {
        QList<QWidget*> out;
        for (QWidget* widget : w->findChildren<QWidget*>())
            if (!kindOf(widget).isEmpty())
                out << widget;
        return out;
    }
    // The whole window in every state that matters: dod with the add-on,
    // the map panel open with its class limits.
    void showEverything() {
        chooseMod(QStringLiteral("dod"));
        for (QWidget* frame : w->findChildren<QGroupBox*>())
            frame->show();
        ctl<QRadioButton>("optBotFile")->show();
        ctl<QWidget>("chkClassLimit")->show();
    }
};

// Every control is named in words; every tooltip is read out as the
// description.
TEST_F(AccessibilityTest, EveryControlIsNamedInWordsAndEveryTooltipReadOut) {
    showEverything();
    QStringList problems;
    int tooltips = 0;
    for (QWidget* widget : w->findChildren<QWidget*>()) {
        tooltips += !widget->toolTip().isEmpty();
        if (widget->accessibleDescription() != widget->toolTip() && !widget->toolTip().isEmpty())
            problems << widget->objectName() + ": tooltip \"" + widget->toolTip() +
                            "\" but description \"" + widget->accessibleDescription() + "\"";
    }
    EXPECT_GE(tooltips, 30);
    EXPECT_GT(controls().size(), 80) << "the whole control tree is there";
    for (QWidget* widget : controls()) {
        const QString kind = kindOf(widget);
        const QString name = widget->objectName();
        const QString spoken = spokenName(widget);
        if (kind == QLatin1String("frm")) {
            auto* frame = qobject_cast<QGroupBox*>(widget);
            if (!frame || !inWords(frame->title(), name))
                problems << name + ": frame without a caption in words";
            continue;
        }
        if (kind == QLatin1String("lbl")) {
            // A label is read out by its text; one that shows a value or
            // symbol ("?", "< 33.5") needs a description of what it shows.
            auto* label = qobject_cast<QLabel*>(widget);
            if (!label ||
                (!inWords(label->text(), name) && !inWords(widget->accessibleName(), name) &&
                 !inWords(widget->accessibleDescription(), name)))
                problems << name + ": label with no words saying what it shows";
            continue;
        }
        // On Linux a combo box is spoken by its value, its name coming
        // through the label relation; its accessible name is checked below.
        if (kind != QLatin1String("cmb") && !inWords(spoken, name))
            problems << name + ": spoken name \"" + spoken + "\" is not in words";
        // An input control's own caption or an explicit name, never a guess
        // from whatever label happens to stand nearby.
        const auto* button = qobject_cast<QAbstractButton*>(widget);
        const bool ownText = button && inWords(button->text().remove(QLatin1Char('&')), name);
        if (!ownText && widget->accessibleName().trimmed().isEmpty())
            problems << name + ": input control without an accessible name";
    }
    EXPECT_TRUE(problems.isEmpty()) << "\n" << problems.join("\n").toStdString();
}

// The status and the mod support are read out by what they say (a name
// would hide it); a caption label is its control's buddy.
TEST_F(AccessibilityTest, LabelsAndFramesAreReadOutByTheirWordsAndLabelsNameTheirControls) {
    // Before a mod is chosen: a combo box with a value is spoken by it.
    EXPECT_EQ(spokenName(ctl<QWidget>("txtExec")), "Exec");
    EXPECT_EQ(spokenName(ctl<QWidget>("cmbModList")), "Mod");
    EXPECT_EQ(spokenName(ctl<QLabel>("lblStatus")), "Now, select a mod");
    EXPECT_FALSE(ctl<QLabel>("lblStatus")->accessibleDescription().isEmpty());
    chooseMod(QStringLiteral("dod"));
    EXPECT_EQ(spokenName(ctl<QLabel>("lblStatus")), "Select Command Line.");
    EXPECT_EQ(spokenName(ctl<QLabel>("lblModSupport")), "Recognized");
    EXPECT_FALSE(ctl<QLabel>("lblModSupport")->accessibleDescription().isEmpty());
    for (auto [label, control] : {std::pair{"lblExec", "txtExec"},
                                  {"lblMod", "cmbModList"},
                                  {"lblMaxPlayers", "cmbMaxPlayers"},
                                  {"lblSturmbotPasswd", "txtSturmbotPasswd"}})
        EXPECT_EQ(ctl<QLabel>(label)->buddy(), ctl<QWidget>(control)) << label;

    // A frame is read by its own caption, also after the caption changed.
    openStep("optBotFile");
    ctl<QComboBox>("cmbSturmbotMapList")->addItems({"dod_kalt", "dod_anzio"});
    click("chkSturmbotFillserver");
    pickCombo("cmbSturmbotMapList", "dod_kalt");
    EXPECT_EQ(spokenName(ctl<QWidget>("frmSturmbotCustom")), "dod_kalt.wpt");
    EXPECT_EQ(spokenName(ctl<QGroupBox>("frmInfo")), "dod_kalt_bot.cfg");
    EXPECT_EQ(spokenName(ctl<QWidget>("frmClassLimit")), "Custom class limit for each map.");
}

TEST_F(AccessibilityTest, TabReachesEveryInputAndWalksTheControlCentreInVisualOrder) {
    showEverything();
    for (QRadioButton* opt : stepButtons(false))
        opt->setEnabled(true);
    ctl<QPushButton>("cmdStart")->setEnabled(true);
    // Once round the window's focus chain.
    QList<QWidget*> chain{ctl<QLineEdit>("txtExec")};
    for (QWidget* next = ctl<QLineEdit>("txtExec")->nextInFocusChain();
         next && next != ctl<QLineEdit>("txtExec") && chain.size() < 10000;
         next = next->nextInFocusChain())
        chain << next;

    QStringList problems;
    for (QWidget* widget : controls()) {
        QWidget* target = widget->focusProxy() ? widget->focusProxy() : widget;
        if (kInputKinds.contains(kindOf(widget)) &&
            (!(target->focusPolicy() & Qt::TabFocus) || !chain.contains(target)))
            problems << widget->objectName() + ": Tab cannot reach it";
    }
    EXPECT_TRUE(problems.isEmpty()) << "\n" << problems.join("\n").toStdString();

    QList<QWidget*> visited;
    QStringList order;
    for (QWidget* widget : chain)
        if (widget->parentWidget() == ctl<QGroupBox>("frmControlCenter") &&
            (widget->focusPolicy() & Qt::TabFocus)) {
            visited << widget;
            order << widget->objectName();
        }
    EXPECT_EQ(order,
              QStringList({"txtExec", "cmbModList"}) + stepOptions() + QStringList({"cmdStart"}));

    // The visual order: top to bottom, then left to right.
    for (int i = 1; i < visited.size(); ++i) {
        const QPoint a = visited[i - 1]->mapTo(w.get(), QPoint(0, 0));
        const QPoint b = visited[i]->mapTo(w.get(), QPoint(0, 0));
        const bool sameRow = std::abs(a.y() - b.y()) < visited[i]->height() / 2;
        EXPECT_TRUE(sameRow ? a.x() < b.x() : a.y() < b.y())
            << order[i - 1].toStdString() << " before " << order[i].toStdString();
    }
    // After the control centre, Tab goes on to the viewer's text, and a
    // keyboard user can leave that text with Tab again.
    EXPECT_TRUE(ctl<QPlainTextEdit>("txtFileContents")->tabChangesFocus());
    QWidget* after = ctl<QPushButton>("cmdStart")->nextInFocusChain();
    while (after && !(after->focusPolicy() & Qt::TabFocus))
        after = after->nextInFocusChain();
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after, ctl<QPlainTextEdit>("txtFileContents")) << after->objectName().toStdString();
}

} // namespace
} // namespace vorn::test
