// The server configuration panel: the file's bytes, its name, and Save.
#include "guisupport.h"

namespace vorn::test {
namespace {

const QByteArray kFixedLines = "hostname \"My dod server.\"\r\n"
                               "mp_friendlyfire 1\r\n"
                               "mp_footsteps 1\r\n"
                               "mp_flashlight 1\r\n"
                               "mp_deathmsg 1\r\n"
                               "mp_falldamage 1\r\n"
                               "sv_lan 0\r\n"
                               "mp_teamlimit 2\r\n"
                               "mp_timelimit 30\r\n";
const QByteArray kDefaultFile = kFixedLines + "sv_maxspectators 4\r\n\r\n";

class ServerCfgTest : public WindowTest {
  protected:
    // dod chosen, the command line saved, the panel open.
    void openPanel() {
        chooseMod("dod");
        confirmStepsThrough("optCommandLine");
        click("optServerFile");
    }
    QByteArray listenFile() const { return gameFile("dod/vorn_lserver.cfg"); }
};

// A directory in the file's place stops even root; once gone, Save writes.
TEST_F(ServerCfgTest, SaveWritesWhatTheControlsSayUnderTheNameDedicatedChooses) {
    const QString target = demo->game("dod/vorn_lserver.cfg");
    ASSERT_TRUE(QDir().mkpath(target));
    DemoInstall::write(target + "/keep.txt", "kept\r\n");
    openPanel();
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "vorn_lserver.cfg");
    EXPECT_EQ(status(), "Server setup ok?");
    click("cmdServerOK");
    expectSaveRefused("vorn_lserver.cfg");
    EXPECT_FALSE(ctl<QWidget>("optMapFile")->isEnabled());
    EXPECT_FALSE(confirmed("optServerFile"));
    EXPECT_EQ(DemoInstall::read(target + "/keep.txt"), "kept\r\n");
    ASSERT_TRUE(QDir(target).removeRecursively());
    for (bool dedicated : {true, false}) {
        click("optCommandLine");
        click("chkDedicated");
        click("optServerFile");
        const char* name = dedicated ? "vorn_server.cfg" : "vorn_lserver.cfg";
        EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), name);
        EXPECT_EQ(listenFile(), QByteArray()); // nothing written before Save
        click("cmdServerOK");
        EXPECT_EQ(gameFile(QStringLiteral("dod/") + name), kDefaultFile);
        EXPECT_TRUE(confirmed("optServerFile"));
        EXPECT_TRUE(ctl<QWidget>("optMapFile")->isEnabled());
    }

    // The extra variables, then every switch and value, reach their lines.
    for (const auto& [typed, tail] : {std::pair<QString, QByteArray>{"", "\r\n\r\n"},
                                      {"sv_a 1\nsv_b 2\n", "\r\nsv_a 1\r\nsv_b 2\r\n\r\n"}}) {
        setText("txtExtra2", typed);
        click("cmdServerOK");
        EXPECT_EQ(listenFile(), kFixedLines.chopped(2) + tail) << typed.toStdString();
    }
    // Line breaks typed with the Return key.
    auto* extra = ctl<QPlainTextEdit>("txtExtra2");
    setText("txtExtra2", "sv_a 1");
    focus(extra);
    extra->moveCursor(QTextCursor::End);
    type("\rb");
    click("cmdServerOK");
    EXPECT_EQ(listenFile(), kFixedLines.chopped(2) + "\r\nsv_a 1\r\nb\r\n");

    for (const char* box : {"chkFriendlyFire", "chkFootSteps", "chkFlashlight", "chkDeathMsgs",
                            "chkFallDamage", "chkLAN"})
        click(box);
    setText("txtTeamLimit", QString());
    setText("txtMapTime", "45");
    // The host name has no reaction: only Save's composition picks it up.
    setText("txtHostName", "Vorn \"best\" server");
    EXPECT_TRUE(viewer().startsWith("hostname \"My dod server.\""));
    click("cmdServerOK");
    EXPECT_EQ(listenFile(), "hostname \"Vorn \"best\" server\"\r\n"
                            "mp_friendlyfire 0\r\n"
                            "mp_footsteps 0\r\n"
                            "mp_flashlight 0\r\n"
                            "mp_deathmsg 0\r\n"
                            "mp_falldamage 0\r\n"
                            "sv_lan 1\r\n"
                            "mp_teamlimit \r\n"
                            "mp_timelimit 45\r\n"
                            "sv_a 1\r\nb\r\n");
}

} // namespace
} // namespace vorn::test
