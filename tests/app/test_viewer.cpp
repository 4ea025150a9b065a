// The viewer as the welcome message's editor: the proposed text, Edit and
// Save, the bytes written, and a Save that cannot write.
#include "guisupport.h"

namespace vorn::test {
namespace {

class ViewerTest : public WindowTest {
  protected:
    // The welcome message step, reached the way a user reaches it.
    void openMotd() {
        chooseMod("dod");
        confirmSteps(3);
        click("optMotd");
    }
    QString motdFile() const { return demo->game("dod/vorn_motd.txt"); }
};

TEST_F(ViewerTest, ProposesTheWelcomeAndSavesItWithCrLf) {
    openMotd();
    EXPECT_EQ(w->frmInfo->title(), "vorn_motd.txt");
    EXPECT_EQ(plainText(w->txtFileContents), "Welcome to My dod server.");
    EXPECT_FALSE(w->txtFileContents->isReadOnly());
    EXPECT_EQ(status(), "Like the welcome message?");
    for (const char* frame : {"frmCommandLine", "frmServerFile", "frmMapSetup", "frmSturmbotSetup"})
        EXPECT_FALSE(ctl<QWidget>(frame)->isVisible()) << frame;

    click("cmdSaveFile");
    EXPECT_EQ(gameFile("dod/vorn_motd.txt"), "Welcome to My dod server.\r\n");
    EXPECT_EQ(back(w->optMotd), fromBgr(colour::LightGreen));
    EXPECT_TRUE(w->txtFileContents->isReadOnly());
    EXPECT_FALSE(w->cmdSaveFile->isEnabled());
    // With the add-on, the bot step is next.
    EXPECT_TRUE(w->optBotFile->isEnabled());
    EXPECT_EQ(status(), "Select Bot Setup");
    EXPECT_FALSE(w->cmdStart->isEnabled());

    // Another panel locks the viewer.
    click("cmdEditFile");
    click("optServerFile");
    EXPECT_TRUE(w->txtFileContents->isReadOnly());
    EXPECT_FALSE(w->cmdSaveFile->isEnabled());
    EXPECT_FALSE(w->cmdEditFile->isEnabled());
}

// Saved again and again, each text replacing the last; the step stays
// confirmed.
TEST_F(ViewerTest, EditedTextsAreWrittenWithCrLfLineEnds) {
    struct Row {
        const char* name;
        QString typed;
        QByteArray file;
    };
    const Row rows[] = {
        {"two lines", QStringLiteral("Welcome!\nNo camping."), "Welcome!\r\nNo camping.\r\n"},
        {"empty", QString(), "\r\n"},
        {"blank line kept", QStringLiteral("a\n\nb\n"), "a\r\n\r\nb\r\n\r\n"},
        {"8-bit text", QStringLiteral("Bienvenue \u00e0 tous"), "Bienvenue \xe0 tous\r\n"},
    };
    openMotd();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (confirmed("optMotd")) // after a Save, Edit opens the text again
            click("cmdEditFile");
        w->txtFileContents->setPlainText(row.typed);
        click("cmdSaveFile");
        EXPECT_EQ(gameFile("dod/vorn_motd.txt"), row.file);
        EXPECT_EQ(back(w->optMotd), fromBgr(colour::LightGreen));
        EXPECT_EQ(status(), "Select Bot Setup");
    }
    // Clicking the selected step again keeps the text; opening it anew
    // proposes the default, and the file keeps its text.
    click("optMotd");
    EXPECT_EQ(plainText(w->txtFileContents), rows[3].typed);
    click("optServerFile");
    click("optMotd");
    EXPECT_EQ(plainText(w->txtFileContents), "Welcome to My dod server.");
    EXPECT_EQ(gameFile("dod/vorn_motd.txt"), rows[3].file);
}

TEST_F(ViewerTest, SaveThatCannotWriteKeepsTheOldFileAndTheStepOpen) {
    // Even root cannot replace a file without any write permission: the
    // platform treats it as the read-only attribute.
    DemoInstall::write(motdFile(), "Old welcome\r\n");
    ASSERT_TRUE(QFile::setPermissions(motdFile(), QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                      QFileDevice::ReadOther));
    openMotd();
    w->txtFileContents->setPlainText("New welcome");
    click("cmdSaveFile");

    expectSaveRefused("vorn_motd.txt");
    EXPECT_EQ(back(w->optMotd), fromBgr(colour::Pink));
    EXPECT_FALSE(w->optBotFile->isEnabled());
    EXPECT_EQ(gameFile("dod/vorn_motd.txt"), "Old welcome\r\n");
    // The typed text is still there to be saved again.
    EXPECT_EQ(plainText(w->txtFileContents), "New welcome");
    EXPECT_TRUE(w->cmdSaveFile->isEnabled());
}

} // namespace
} // namespace vorn::test
