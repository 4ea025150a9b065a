// The viewer as the welcome message's editor: the proposed text, Edit and
// Save, the bytes written, and a Save that cannot write.
#include "codepage.h"
#include "guisupport.h"

#include <QAccessible>
#include <QApplication>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <functional>

namespace vorn::test {
namespace {

class ViewerTest : public WindowTest {
  protected:
    // The welcome message step, reached the way a user reaches it.
    void openMotd() {
        chooseMod("dod");
        confirmStepsThrough("optMapFile");
        click("optMotd");
    }
    QString motdFile() const { return demo->game("dod/vorn_motd.txt"); }
};

TEST_F(ViewerTest, ProposesTheWelcomeAndSavesItWithCrLf) {
    openMotd();
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "vorn_motd.txt");
    EXPECT_EQ(plainText(ctl<QPlainTextEdit>("txtFileContents")), "Welcome to My dod server.");
    EXPECT_FALSE(ctl<QPlainTextEdit>("txtFileContents")->isReadOnly());
    EXPECT_EQ(status(), "Like the welcome message?");
    for (const char* frame : {"frmCommandLine", "frmServerFile", "frmMapSetup", "frmSturmbotSetup"})
        EXPECT_FALSE(ctl<QWidget>(frame)->isVisible()) << frame;

    click("cmdSaveFile");
    EXPECT_EQ(gameFile("dod/vorn_motd.txt"), "Welcome to My dod server.\r\n");
    EXPECT_EQ(back(ctl<QRadioButton>("optMotd")), fromBgr(colour::LightGreen));
    EXPECT_TRUE(ctl<QPlainTextEdit>("txtFileContents")->isReadOnly());
    EXPECT_FALSE(ctl<QPushButton>("cmdSaveFile")->isEnabled());
    // With the add-on, the bot step is next.
    EXPECT_TRUE(ctl<QRadioButton>("optBotFile")->isEnabled());
    EXPECT_EQ(status(), "Select Bot Setup");
    EXPECT_FALSE(ctl<QPushButton>("cmdStart")->isEnabled());

    // Another panel locks the viewer.
    click("cmdEditFile");
    click("optServerFile");
    EXPECT_TRUE(ctl<QPlainTextEdit>("txtFileContents")->isReadOnly());
    EXPECT_FALSE(ctl<QPushButton>("cmdSaveFile")->isEnabled());
    EXPECT_FALSE(ctl<QPushButton>("cmdEditFile")->isEnabled());
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
        ctl<QPlainTextEdit>("txtFileContents")->setPlainText(row.typed);
        click("cmdSaveFile");
        EXPECT_EQ(gameFile("dod/vorn_motd.txt"), row.file);
        EXPECT_EQ(back(ctl<QRadioButton>("optMotd")), fromBgr(colour::LightGreen));
        EXPECT_EQ(status(), "Select Bot Setup");
    }
    // Clicking the selected step again keeps the text; opening it anew
    // proposes the default, and the file keeps its text.
    click("optMotd");
    EXPECT_EQ(plainText(ctl<QPlainTextEdit>("txtFileContents")), rows[3].typed);
    click("optServerFile");
    click("optMotd");
    EXPECT_EQ(plainText(ctl<QPlainTextEdit>("txtFileContents")), "Welcome to My dod server.");
    EXPECT_EQ(gameFile("dod/vorn_motd.txt"), rows[3].file);
}

TEST_F(ViewerTest, SaveThatCannotWriteKeepsTheOldFileAndTheStepOpen) {
    // Even root cannot replace a file without any write permission: the
    // platform treats it as the read-only attribute.
    DemoInstall::write(motdFile(), "Old welcome\r\n");
    ASSERT_TRUE(QFile::setPermissions(motdFile(), QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                      QFileDevice::ReadOther));
    openMotd();
    ctl<QPlainTextEdit>("txtFileContents")->setPlainText("New welcome");
    click("cmdSaveFile");

    expectSaveRefused("vorn_motd.txt");
    EXPECT_EQ(back(ctl<QRadioButton>("optMotd")), fromBgr(colour::Pink));
    EXPECT_FALSE(ctl<QRadioButton>("optBotFile")->isEnabled());
    EXPECT_EQ(gameFile("dod/vorn_motd.txt"), "Old welcome\r\n");
    // The typed text is still there to be saved again.
    EXPECT_EQ(plainText(ctl<QPlainTextEdit>("txtFileContents")), "New welcome");
    EXPECT_TRUE(ctl<QPushButton>("cmdSaveFile")->isEnabled());
}

// What an assistive client reads in the viewer: the whole text through the
// accessibility interface's text interface.
QString readOut(QWidget* viewer) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(viewer);
    if (!face || !face->textInterface())
        return QStringLiteral("<no text interface>");
    QAccessibleTextInterface* text = face->textInterface();
    return text->text(0, text->characterCount());
}

// A written file as the viewer shows it: its bytes in the game's 8-bit set,
// less the CR LF written after the text, every line break one "\n".
QString asShown(const QByteArray& file) {
    QString text = QString::fromStdString(platform::cp1252ToUtf8(file.toStdString()));
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// Each panel's preview, read out, is the text the panel writes: no mark
// that the file does not hold, and its lines whole.
TEST_F(ViewerTest, EveryPanelsPreviewReadsOutAsItsFile) {
    struct Row {
        const char* panel;
        std::function<void()> open; // opens the panel and saves where it can
        std::function<QString()> written;
    };
    auto file = [this](const char* relative) {
        return [this, relative] { return asShown(gameFile(relative)); };
    };
    const Row rows[] = {
        {"command line",
         [this] {
             click("optCommandLine");
             pickCombo("cmbMapList1", "dod_anzio");
             click("cmdCommandOK");
         },
         [this] { return w->ask().commandLine(); }},
        {"server configuration",
         [this] {
             click("optServerFile");
             setText("txtHostName", QStringLiteral("Half-Life: Caf\u00e9 [FR] - no rush!"));
             click("cmdServerOK");
         },
         file("dod/vorn_lserver.cfg")},
        {"map cycle",
         [this] {
             click("optMapFile");
             addMaps(items(ctl<QListWidget>("lstMapList")).mid(0, 6));
             click("cmdMapOK");
         },
         file("dod/vorn_mapcycle.txt")},
        {"welcome message",
         [this] {
             click("optMotd");
             click("cmdSaveFile");
         },
         file("dod/vorn_motd.txt")},
        {"bot setup",
         [this] {
             click("optBotFile");
             click("cmdSturmbotOK");
         },
         file("dod/sturmbot/bot.cfg")},
    };
    chooseMod("dod");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.panel);
        row.open();
        const QString shown = readOut(ctl<QPlainTextEdit>("txtFileContents"));
        EXPECT_EQ(shown, row.written());
        EXPECT_EQ(shown, plainText(ctl<QPlainTextEdit>("txtFileContents")));
        // Lines are never broken: each of the file's lines is one line on
        // screen, scrolled to when it is wider than the viewer.
        QApplication::processEvents();
        for (QTextBlock b = ctl<QPlainTextEdit>("txtFileContents")->document()->begin();
             b.isValid(); b = b.next())
            EXPECT_LE(b.layout()->lineCount(), 1) << b.text().toStdString();
    }
    // The command line is far wider than the viewer: it is scrolled to.
    click("optCommandLine");
    EXPECT_GT(ctl<QPlainTextEdit>("txtFileContents")->horizontalScrollBar()->maximum(), 0);
}

} // namespace
} // namespace vorn::test
