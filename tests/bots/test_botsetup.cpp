// The bot setup panel: the configuration text, its clamps, the "only" boxes.
#include "guisupport.h"

#include <QLayout>

namespace vorn::test {
namespace {

class BotSetupTest : public WindowTest {
  protected:
    QString text(const char* name) const { return ctl<QLineEdit>(name)->text(); }
    bool checked(const char* name) const { return ctl<QCheckBox>(name)->isChecked(); }
    QString botCfgFile() const { return demo->game("dod/sturmbot/bot.cfg"); }
    // A box's number erased key by key and typed anew; the edit goes on.
    void retype(const char* name, const QString& number) {
        auto* box = ctl<QLineEdit>(name);
        focus(box);
        key(Qt::Key_End);
        for (qsizetype i = box->text().size(); i > 0; --i)
            key(Qt::Key_Backspace);
        type(number);
    }
};

// Every control reaches the text (a typed blood mode at the next build).
TEST_F(BotSetupTest, EveryControlReachesTheTextAndFitsItsFrame) {
    openStep("optBotFile");
    auto* blood = ctl<QComboBox>("cmbSturmbotBlood");
    focus(blood);
    blood->clearEditText();
    type("3-Explode\r");
    focus(ctl<QLineEdit>("txtSturmbotPasswd"));
    EXPECT_EQ(blood->currentText(), "3-Explode");
    EXPECT_TRUE(viewer().contains("\r\nbloodmode 0\r\n"));
    setText("txtSturmbotPasswd", "s3cret");
    EXPECT_TRUE(viewer().startsWith("sturmbot_password s3cret\r\nmin_reaction 300\r\n"));
    click("chkSturmbotFF");
    click("chkSturmbotRank");
    click("chkSturmbotFSquad");
    EXPECT_TRUE(viewer().contains("friendlyfiremode on\r\nrank off\r\nformsquad on\r\n"));
    EXPECT_TRUE(viewer().contains("\r\nbloodmode 3\r\n"));
    pickCombo("cmbSturmbotBlood", "2-Bodies");
    EXPECT_TRUE(viewer().contains("\r\nbloodmode 2\r\n"));
    setText("txtExtra3", QString());
    EXPECT_TRUE(viewer().endsWith("bloodmode 2\r\n\r\nfillserver"));
    setText("txtSturmbotPasswd", QString());
    EXPECT_TRUE(viewer().startsWith("min_reaction 300\r\n"));

    // The box clicked; knife, pistol and grenade only after it.
    const std::pair<const char*, QString> rows[] = {{"chkSturmbotPistol", "off on off"},
                                                    {"chkSturmbotKnife", "on off off"},
                                                    {"chkSturmbotGrenade", "off off on"},
                                                    {"chkSturmbotGrenade", "off off off"}};
    const auto on = [this](const char* box) { return QString(checked(box) ? "on" : "off"); };
    for (const auto& [clicked, states] : rows) {
        click(clicked);
        const QStringList s = states.split(' ');
        EXPECT_EQ(on("chkSturmbotKnife") + " " + on("chkSturmbotPistol") + " " +
                      on("chkSturmbotGrenade"),
                  states)
            << clicked;
        EXPECT_TRUE(viewer().contains(
            QString("knifeonly %1\r\npistolonly %2\r\ngrenadeonly %3").arg(s[0], s[1], s[2])))
            << clicked;
    }
    // Every control has the room its text needs, inside its frame, in both modes.
    auto* setup = ctl<QGroupBox>("frmSturmbotSetup");
    for (bool roster : {false, true}) {
        SCOPED_TRACE(roster ? "roster mode" : "fill-server mode");
        if (roster)
            click("chkSturmbotFillserver");
        setup->layout()->activate();
        ctl<QGroupBox>("frmSturmbotCustom")->layout()->activate();
        EXPECT_LE(setup->minimumSizeHint().height(), setup->height());
        EXPECT_LE(setup->minimumSizeHint().width(), setup->width());
        for (QWidget* c : setup->findChildren<QWidget*>()) {
            if (!c->isVisibleTo(setup) || c->objectName().isEmpty() ||
                c->objectName().startsWith("qt_"))
                continue;
            SCOPED_TRACE(c->objectName().toStdString());
            // The frame stands 8 px left of the form: its visible part starts there.
            EXPECT_TRUE(setup->rect()
                            .adjusted(8, 0, 0, 0)
                            .contains(QRect(c->mapTo(setup, QPoint(0, 0)), c->size())));
            const bool captioned = qobject_cast<QAbstractButton*>(c) || qobject_cast<QLabel*>(c);
            EXPECT_GE(c->width(), captioned ? c->sizeHint().width() : c->minimumSizeHint().width());
            EXPECT_GE(c->height(), c->minimumSizeHint().height());
        }
    }
}

// The clamps apply once an edit is finished; non-numbers go in as typed.
TEST_F(BotSetupTest, ClampsWaitForTheEndOfAnEdit) {
    openStep("optCommandLine");
    setText("cmbMaxPlayers", "16");
    ctl<QAbstractButton>("optBotFile")->setEnabled(true);
    click("optBotFile");
    // 9 and 90 on the way to 900 never pull the minimum down.
    retype("txtSturmbotMaxReaction", "900");
    EXPECT_TRUE(viewer().startsWith("min_reaction 300\r\nmax_reaction 900\r\n"));
    type("\r");
    EXPECT_EQ(text("txtSturmbotMinReaction") + "/" + text("txtSturmbotMaxReaction"), "300/900");

    retype("txtSturmbotMinReaction", "950");
    EXPECT_TRUE(viewer().startsWith("min_reaction 950\r\n"));
    type("\r");
    EXPECT_EQ(text("txtSturmbotMinReaction"), "899");
    EXPECT_TRUE(viewer().startsWith("min_reaction 899\r\nmax_reaction 900\r\n"));

    retype("txtSturmbotMaxBots", "20");
    EXPECT_TRUE(viewer().contains("\r\nmin_bots 0\r\nmax_bots 20\r\n"));
    retype("txtSturmbotMinBots", "20"); // the maximum's edit ends here
    EXPECT_EQ(text("txtSturmbotMinBots") + "/" + text("txtSturmbotMaxBots"), "20/16");
    focus(ctl<QWidget>("txtSturmbotPasswd"));
    EXPECT_EQ(text("txtSturmbotMinBots"), "15");
    EXPECT_TRUE(viewer().contains("\r\nmin_bots 15\r\nmax_bots 16\r\n"));

    click("optCommandLine");
    setText("cmbMaxPlayers", "many");
    click("optBotFile");
    setText("txtSturmbotMinBots", "abc");
    setText("txtSturmbotMaxBots", QString());
    setText("txtSturmbotMaxReaction", "x");
    click("chkSturmbotFF");
    EXPECT_TRUE(viewer().contains("\r\nmin_bots abc\r\nmax_bots \r\n"));
    click("cmdSturmbotOK");
    EXPECT_TRUE(confirmed("optBotFile"));
    EXPECT_TRUE(seam.boxes.empty());
    EXPECT_EQ(seam.ends, 0);
}

// A failed write confirms nothing; Save writes the numbers shown.
TEST_F(BotSetupTest, FailedSaveConfirmsNothingAndSaveWritesTheNumbersShown) {
    openStep("optBotFile");
    // A directory in the file's place stops root too.
    ASSERT_TRUE(QDir().mkpath(botCfgFile()));
    click("cmdSturmbotOK");
    expectSaveRefused("bot.cfg");
    EXPECT_FALSE(confirmed("optBotFile"));

    ASSERT_TRUE(QDir().rmdir(botCfgFile()));
    click("cmdSturmbotOK");
    EXPECT_TRUE(confirmed("optBotFile"));
    EXPECT_EQ(DemoInstall::read(botCfgFile()), (kDefaultBotLines + "fillserver\r\n").toLatin1());

    retype("txtSturmbotMaxBots", "5");
    click("cmdSturmbotOK");
    EXPECT_TRUE(DemoInstall::read(botCfgFile()).contains("\r\nmin_bots 0\r\nmax_bots 5\r\n"));
    retype("txtSturmbotMinReaction", "1000");
    click("cmdSturmbotOK");
    EXPECT_EQ(text("txtSturmbotMinReaction"), "799");
    EXPECT_TRUE(DemoInstall::read(botCfgFile()).startsWith("min_reaction 799\r\n"));
}

} // namespace
} // namespace vorn::test
