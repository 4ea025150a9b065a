// The viewer as the welcome message's editor: the proposed text, Edit and
// Save, the bytes written, and a Save that cannot write.
#include "guisupport.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

// Readable QStrings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& s, std::ostream* os) {
    *os << ::testing::PrintToString(s.toStdString());
}
QT_END_NAMESPACE

namespace vorn::test {
namespace {

class ViewerTest : public WindowTest {
  protected:
    // The welcome message step, reached the way a user reaches it.
    void openMotd(const QString& mod = QStringLiteral("dod")) {
        chooseMod(mod);
        confirmSteps(3);
        click("optMotd");
    }
    QString motdFile(const QString& mod = QStringLiteral("dod")) const {
        return demo->game(mod + QStringLiteral("/vorn_motd.txt"));
    }
    QByteArray motd(const QString& mod = QStringLiteral("dod")) const {
        return DemoInstall::read(motdFile(mod));
    }
    QColor back(QWidget* widget) const { return widget->palette().color(QPalette::Button); }
};

TEST_F(ViewerTest, ProposesTheWelcomeAndOpensItForEditing) {
    openMotd();
    EXPECT_EQ(w->frmInfo->title(), "vorn_motd.txt");
    EXPECT_TRUE(w->frmInfo->isVisible());
    EXPECT_EQ(w->txtFileContents->toPlainText(), "Welcome to My dod server.");
    EXPECT_FALSE(w->txtFileContents->isReadOnly());
    EXPECT_TRUE(w->cmdSaveFile->isEnabled());
    EXPECT_FALSE(w->cmdEditFile->isEnabled());
    EXPECT_EQ(status(), "Like the welcome message?");
    EXPECT_EQ(statusColour(), fromBgr(colour::Blue));
    for (const char* frame : {"frmCommandLine", "frmServerFile", "frmMapSetup", "frmSturmbotSetup"})
        EXPECT_FALSE(w->ctl<QWidget>(frame)->isVisible()) << frame;
}

TEST_F(ViewerTest, SavesTheProposedTextWithCrLfAndConfirmsTheStep) {
    openMotd();
    click("cmdSaveFile");
    EXPECT_EQ(motd(), "Welcome to My dod server.\r\n");
    EXPECT_EQ(w->st.motdSaved, 1);
    EXPECT_EQ(w->st.motdText, "Welcome to My dod server.");
    EXPECT_EQ(back(w->optMotd), fromBgr(colour::LightGreen));
    EXPECT_TRUE(w->txtFileContents->isReadOnly());
    EXPECT_FALSE(w->cmdSaveFile->isEnabled());
    EXPECT_TRUE(w->cmdEditFile->isEnabled());
    // With the add-on, the bot step is next.
    EXPECT_TRUE(w->optBotFile->isEnabled());
    EXPECT_EQ(status(), "Select Bot Setup");
    EXPECT_EQ(statusColour(), fromBgr(colour::Blue));
    EXPECT_FALSE(w->cmdStart->isEnabled());
}

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
        if (w->st.motdSaved) // after a Save, Edit opens the text again
            click("cmdEditFile");
        w->txtFileContents->setPlainText(row.typed);
        click("cmdSaveFile");
        EXPECT_EQ(motd(), row.file);
        EXPECT_EQ(w->st.motdSaved, 1);
        EXPECT_EQ(back(w->optMotd), fromBgr(colour::LightGreen));
    }
}

TEST_F(ViewerTest, SavingTwiceOverwritesAndTheStepStaysConfirmed) {
    openMotd();
    w->txtFileContents->setPlainText(QStringLiteral("A much longer first welcome message."));
    click("cmdSaveFile");
    click("cmdEditFile");
    EXPECT_FALSE(w->txtFileContents->isReadOnly());
    EXPECT_TRUE(w->cmdSaveFile->isEnabled());
    w->txtFileContents->setPlainText(QStringLiteral("Short."));
    click("cmdSaveFile");
    EXPECT_EQ(motd(), "Short.\r\n");
    EXPECT_EQ(w->st.motdSaved, 1);
    EXPECT_EQ(back(w->optMotd), fromBgr(colour::LightGreen));
    EXPECT_EQ(status(), "Select Bot Setup");
}

TEST_F(ViewerTest, OpeningTheStepAgainProposesTheDefaultWhileTheFileKeepsTheSavedText) {
    openMotd();
    w->txtFileContents->setPlainText(QStringLiteral("Saved text"));
    click("cmdSaveFile");
    click("optMotd");
    EXPECT_EQ(w->txtFileContents->toPlainText(), "Welcome to My dod server.");
    EXPECT_EQ(motd(), "Saved text\r\n");
}

TEST_F(ViewerTest, WithoutTheAddOnTheServerCanStartAfterSave) {
    openMotd(QStringLiteral("cstrike"));
    click("cmdSaveFile");
    EXPECT_EQ(motd(QStringLiteral("cstrike")), "Welcome to My cstrike server.\r\n");
    EXPECT_TRUE(w->optBotFile->isHidden());
    EXPECT_EQ(status(), "You can now start the server.");
    EXPECT_TRUE(w->cmdStart->isEnabled());
}

TEST_F(ViewerTest, SaveThatCannotWriteKeepsTheOldFileAndTheStepOpen) {
    // Even root cannot replace a file without any write permission: the
    // platform treats it as the read-only attribute. A directory in the
    // file's place cannot be replaced by a file either.
    struct Row {
        const char* name;
        bool directoryInTheWay;
    };
    for (const Row& row : {Row{"read-only file", false}, Row{"directory in the way", true}}) {
        SCOPED_TRACE(row.name);
        chooseMod(QStringLiteral("dod"));
        confirmSteps(3);
        const QString path = motdFile();
        QFile::remove(path);
        QDir(path).removeRecursively();
        if (row.directoryInTheWay) {
            ASSERT_TRUE(QDir().mkpath(path));
        } else {
            DemoInstall::write(path, "Old welcome\r\n");
            ASSERT_TRUE(QFile::setPermissions(
                path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        }
        click("optMotd");
        w->txtFileContents->setPlainText(QStringLiteral("New welcome"));
        click("cmdSaveFile");

        EXPECT_TRUE(status().startsWith("Error:")) << status().toStdString();
        EXPECT_TRUE(status().contains("vorn_motd.txt")) << status().toStdString();
        EXPECT_EQ(statusColour(), fromBgr(colour::Red));
        EXPECT_TRUE(statusFits());
        EXPECT_EQ(w->st.motdSaved, 0);
        EXPECT_EQ(back(w->optMotd), fromBgr(colour::Pink));
        EXPECT_FALSE(w->optBotFile->isEnabled());
        EXPECT_FALSE(w->cmdStart->isEnabled());
        // The typed text is still there to be saved again.
        EXPECT_EQ(w->txtFileContents->toPlainText(), "New welcome");
        EXPECT_FALSE(w->txtFileContents->isReadOnly());
        EXPECT_TRUE(w->cmdSaveFile->isEnabled());
        if (row.directoryInTheWay) {
            EXPECT_TRUE(QFileInfo(path).isDir());
        } else {
            EXPECT_EQ(motd(), "Old welcome\r\n");
            // No temporary file is left beside it.
            EXPECT_EQ(QDir(demo->game(QStringLiteral("dod")))
                          .entryList({QStringLiteral("*vorn_motd*")},
                                     QDir::Files | QDir::Hidden | QDir::System)
                          .size(),
                      1);
        }
    }
}

TEST_F(ViewerTest, OtherPanelsLockTheViewer) {
    openMotd();
    click("optServerFile");
    EXPECT_TRUE(w->txtFileContents->isReadOnly());
    EXPECT_FALSE(w->cmdSaveFile->isEnabled());
    EXPECT_FALSE(w->cmdEditFile->isEnabled());
    EXPECT_EQ(w->frmInfo->title(), "vorn_lserver.cfg");
}

} // namespace
} // namespace vorn::test
