// The server configuration panel over the demo installation: the file's
// bytes, its name, Save, and a Save that cannot write.
#include "guisupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>

namespace vorn::test {
namespace {

const QByteArray kNineLines = "hostname \"My dod server.\"\r\n"
                              "mp_friendlyfire 1\r\n"
                              "mp_footsteps 1\r\n"
                              "mp_flashlight 1\r\n"
                              "mp_deathmsg 1\r\n"
                              "mp_falldamage 1\r\n"
                              "sv_lan 0\r\n"
                              "mp_teamlimit 2\r\n"
                              "mp_timelimit 30\r\n";
const QByteArray kDefaultFile = kNineLines + "sv_maxspectators 4\r\n\r\n";

class ServerCfgTest : public WindowTest {
  protected:
    // dod chosen, the command line saved, the panel open.
    void openPanel() {
        chooseMod(QStringLiteral("dod"));
        click("optCommandLine");
        pickCombo("cmbMapList1", QStringLiteral("dod_anzio"));
        click("cmdCommandOK");
        click("optServerFile");
    }
    QByteArray listenFile() const {
        return DemoInstall::read(demo->game(QStringLiteral("dod/vorn_lserver.cfg")));
    }
    QByteArray dedicatedFile() const {
        return DemoInstall::read(demo->game(QStringLiteral("dod/vorn_server.cfg")));
    }
};

TEST_F(ServerCfgTest, DefaultsGiveElevenLinesForDod) {
    openPanel();
    EXPECT_TRUE(w->ctl<QGroupBox>("frmServerFile")->isVisible());
    EXPECT_FALSE(w->ctl<QGroupBox>("frmCommandLine")->isVisible());
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("vorn_lserver.cfg"));
    EXPECT_EQ(status(), QStringLiteral("Server setup ok?"));
    EXPECT_EQ(statusColour(), fromBgr(colour::Blue));
    EXPECT_TRUE(w->txtFileContents->isReadOnly());
    // The text keeps no final line end; the file gets one.
    EXPECT_EQ(w->st.serverCfgText.toLatin1() + "\r\n", kDefaultFile);
    EXPECT_EQ(listenFile(), QByteArray()); // nothing written before Save

    click("cmdServerOK");
    EXPECT_EQ(listenFile(), kDefaultFile);
    EXPECT_EQ(listenFile().count("\r\n"), 11);
    EXPECT_EQ(w->st.serverCfgSaved, 1);
    EXPECT_TRUE(w->optMapFile->isEnabled());
    EXPECT_EQ(w->optServerFile->palette().color(QPalette::Button), fromBgr(colour::LightGreen));
    EXPECT_EQ(status(), QStringLiteral("Select Map Cycle"));
    EXPECT_EQ(statusColour(), fromBgr(colour::Blue));
    EXPECT_EQ(dedicatedFile(), QByteArray());
}

TEST_F(ServerCfgTest, SwitchesAndValuesGoIntoTheirLines) {
    openPanel();
    for (const char* box : {"chkFriendlyFire", "chkFootSteps", "chkFlashlight", "chkDeathMsgs",
                            "chkFallDamage", "chkLAN"})
        click(box);
    setText("txtTeamLimit", QString());
    setText("txtMapTime", QStringLiteral("45"));
    click("cmdServerOK");
    EXPECT_EQ(listenFile(), QByteArray("hostname \"My dod server.\"\r\n"
                                       "mp_friendlyfire 0\r\n"
                                       "mp_footsteps 0\r\n"
                                       "mp_flashlight 0\r\n"
                                       "mp_deathmsg 0\r\n"
                                       "mp_falldamage 0\r\n"
                                       "sv_lan 1\r\n"
                                       "mp_teamlimit \r\n"
                                       "mp_timelimit 45\r\n"
                                       "sv_maxspectators 4\r\n\r\n"));
}

TEST_F(ServerCfgTest, DedicatedChoosesTheFileName) {
    openPanel();
    click("optCommandLine");
    click("chkDedicated");
    click("optServerFile");
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("vorn_server.cfg"));
    click("cmdServerOK");
    EXPECT_EQ(dedicatedFile(), kDefaultFile);
    EXPECT_EQ(listenFile(), QByteArray());

    click("optCommandLine");
    click("chkDedicated");
    click("optServerFile");
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("vorn_lserver.cfg"));
    click("cmdServerOK");
    EXPECT_EQ(listenFile(), kDefaultFile);
}

TEST_F(ServerCfgTest, SaveWritesAnEditedHostNameAndOverwrites) {
    openPanel();
    click("cmdServerOK");
    ASSERT_EQ(listenFile(), kDefaultFile);

    // The host name has no reaction: only Save's composition picks it up.
    setText("txtHostName", QStringLiteral("Vorn \"best\" server"));
    EXPECT_TRUE(w->st.serverCfgText.startsWith(QStringLiteral("hostname \"My dod server.\"")));
    click("cmdServerOK");
    EXPECT_EQ(listenFile(), "hostname \"Vorn \"best\" server\"\r\n" + kNineLines.mid(27) +
                                "sv_maxspectators 4\r\n\r\n");

    // Saving again replaces the file with the current text.
    click("chkFriendlyFire");
    click("cmdServerOK");
    QByteArray expected = listenFile();
    EXPECT_EQ(expected.count("hostname"), 1);
    EXPECT_TRUE(expected.contains("\r\nmp_friendlyfire 0\r\n"));
    EXPECT_EQ(w->st.serverCfgText.toLatin1() + "\r\n", expected);
}

TEST_F(ServerCfgTest, ExtraVariablesAreWrittenWithCrLf) {
    openPanel();
    struct Row {
        QString typed;
        QByteArray tail;
    };
    const Row rows[] = {
        {QString(), "\r\n\r\n"},
        {QStringLiteral("sv_a 1"), "\r\nsv_a 1\r\n"},
        {QStringLiteral("sv_a 1\nsv_b 2\n"), "\r\nsv_a 1\r\nsv_b 2\r\n\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        setText("txtExtra2", row.typed);
        EXPECT_TRUE(w->ctl<QPushButton>("cmdServerOK")->isEnabled());
        click("cmdServerOK");
        EXPECT_EQ(listenFile(), kNineLines.chopped(2) + row.tail);
    }

    // Line breaks typed with the Return key.
    auto* extra = w->ctl<QPlainTextEdit>("txtExtra2");
    setText("txtExtra2", QStringLiteral("sv_a 1"));
    extra->moveCursor(QTextCursor::End);
    for (const QString& key : {QStringLiteral("\r"), QStringLiteral("b")}) {
        QKeyEvent press(QEvent::KeyPress, key == QStringLiteral("\r") ? Qt::Key_Return : Qt::Key_B,
                        Qt::NoModifier, key);
        QApplication::sendEvent(extra, &press);
    }
    click("cmdServerOK");
    const QByteArray bytes = listenFile();
    EXPECT_EQ(bytes, kNineLines.chopped(2) + "\r\nsv_a 1\r\nb\r\n");
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")); // no bare line feed
}

// Save into a place that cannot be written: the error shows in red, the step
// stays unconfirmed and what was there stays as it was. The tests run as
// root, which ignores permission bits, so the target is blocked by things
// root cannot write through either.
TEST_F(ServerCfgTest, SaveThatCannotWriteConfirmsNothing) {
    // A directory where the file should go: it cannot be replaced by a file.
    const QString target = demo->game(QStringLiteral("dod/vorn_lserver.cfg"));
    ASSERT_TRUE(QDir().mkpath(target));
    DemoInstall::write(target + QStringLiteral("/keep.txt"), "kept\r\n");

    openPanel();
    click("cmdServerOK");
    EXPECT_EQ(statusColour(), fromBgr(colour::Red));
    EXPECT_TRUE(status().contains(QStringLiteral("vorn_lserver.cfg"))) << status().toStdString();
    EXPECT_EQ(w->st.serverCfgSaved, 0);
    EXPECT_FALSE(w->optMapFile->isEnabled());
    EXPECT_NE(w->optServerFile->palette().color(QPalette::Button), fromBgr(colour::LightGreen));
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_EQ(DemoInstall::read(target + QStringLiteral("/keep.txt")), QByteArray("kept\r\n"));
    // No half-written file is left beside it.
    const QStringList left = QDir(demo->game(QStringLiteral("dod")))
                                 .entryList({QStringLiteral("vorn_lserver*")}, QDir::Files);
    EXPECT_TRUE(left.isEmpty()) << left.join(QLatin1Char(' ')).toStdString();
}

TEST_F(ServerCfgTest, SaveOverAnUnchangeableFileKeepsTheOldFile) {
    // An immutable old file: neither replaced nor renamed over, even by root.
    const QString target = demo->game(QStringLiteral("dod/vorn_lserver.cfg"));
    DemoInstall::write(target, "hostname \"old\"\r\n");
    if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), target}) != 0)
        GTEST_SKIP() << "chattr +i does not work here";
    struct Unlock {
        QString path;
        ~Unlock() { QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path}); }
    } unlock{target};

    openPanel();
    click("cmdServerOK");
    EXPECT_EQ(statusColour(), fromBgr(colour::Red));
    EXPECT_EQ(w->st.serverCfgSaved, 0);
    EXPECT_FALSE(w->optMapFile->isEnabled());
    EXPECT_EQ(listenFile(), QByteArray("hostname \"old\"\r\n"));
}

} // namespace
} // namespace vorn::test
