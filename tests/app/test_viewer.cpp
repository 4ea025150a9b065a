// The viewer: the welcome message's editor, and every panel's preview.
#include "codepage.h"
#include "guisupport.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <string_view>

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

// The proposed text, then edited texts, each Save replacing the last.
// Characters the game's set cannot hold go out as "?", and are named.
TEST_F(ViewerTest, ProposesTheWelcomeAndSavesEachTextWithCrLf) {
    openMotd();
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "vorn_motd.txt");
    EXPECT_FALSE(ctl<QPlainTextEdit>("txtFileContents")->isReadOnly());
    EXPECT_EQ(status(), "Like the welcome message?");
    for (const char* frame : {"frmCommandLine", "frmServerFile", "frmMapSetup", "frmSturmbotSetup"})
        EXPECT_FALSE(ctl<QWidget>(frame)->isVisible()) << frame;
    struct Row {
        const char* name;
        QString typed; // null: the text proposed
        QByteArray file;
    };
    const Row rows[] = {
        {"proposed", QString(), "Welcome to My dod server.\r\n"},
        {"two lines", QStringLiteral("Welcome!\nNo camping."), "Welcome!\r\nNo camping.\r\n"},
        {"empty", QStringLiteral(""), "\r\n"},
        {"blank line kept", QStringLiteral("a\n\nb\n"), "a\r\n\r\nb\r\n\r\n"},
        {"beyond the game's set", QStringLiteral("Gr\u00fc\u00dfe \u65e5\u672c \u65e5 \u2713"),
         "Gr\xfc\xdf"
         "e ?? ? ?\r\n"},
        {"8-bit text", QStringLiteral("Bienvenue \u00e0 tous"), "Bienvenue \xe0 tous\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.typed.isNull()) {
            click("cmdEditFile");
            ctl<QPlainTextEdit>("txtFileContents")->setPlainText(row.typed);
        }
        click("cmdSaveFile");
        EXPECT_EQ(gameFile("dod/vorn_motd.txt"), row.file);
        EXPECT_TRUE(confirmed("optMotd"));
        EXPECT_TRUE(ctl<QPlainTextEdit>("txtFileContents")->isReadOnly());
        EXPECT_FALSE(ctl<QPushButton>("cmdSaveFile")->isEnabled());
        if (!row.file.contains('?')) {
            EXPECT_EQ(status(), "Select Bot Setup");
            continue;
        }
        for (const QString& named : {QStringLiteral("vorn_motd.txt"), QStringLiteral("\u65e5"),
                                     QStringLiteral("\u672c"), QStringLiteral("\u2713")})
            EXPECT_TRUE(status().contains(named)) << status().toStdString();
        EXPECT_FALSE(status().contains(QStringLiteral("\u00fc")));
        EXPECT_TRUE(statusFits());
    }
    // Another panel locks the viewer; opening the step anew proposes the
    // default, and the file keeps its text.
    click("cmdEditFile");
    click("optServerFile");
    EXPECT_TRUE(ctl<QPlainTextEdit>("txtFileContents")->isReadOnly());
    EXPECT_FALSE(ctl<QPushButton>("cmdSaveFile")->isEnabled());
    EXPECT_FALSE(ctl<QPushButton>("cmdEditFile")->isEnabled());
    click("optMotd");
    EXPECT_EQ(plainText(ctl<QPlainTextEdit>("txtFileContents")), "Welcome to My dod server.");
    EXPECT_EQ(gameFile("dod/vorn_motd.txt"), std::end(rows)[-1].file);
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
    EXPECT_EQ(plainText(ctl<QPlainTextEdit>("txtFileContents")), "New welcome");
    EXPECT_TRUE(ctl<QPushButton>("cmdSaveFile")->isEnabled());
}

// The whole text as an assistive client reads it.
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

TEST_F(ViewerTest, EveryPanelsPreviewReadsOutAsItsFile) {
    const std::pair<const char*, const char*> rows[] = {
        {"optCommandLine", nullptr}, // the line itself
        {"optServerFile", "dod/vorn_lserver.cfg"},
        {"optMapFile", "dod/vorn_mapcycle.txt"},
        {"optMotd", "dod/vorn_motd.txt"},
        {"optBotFile", "dod/sturmbot/bot.cfg"},
    };
    chooseMod("dod");
    auto* view = ctl<QPlainTextEdit>("txtFileContents");
    for (const auto& [option, file] : rows) {
        SCOPED_TRACE(option);
        if (option == std::string_view("optServerFile")) {
            click(option);
            setText("txtHostName", QStringLiteral("Half-Life: Caf\u00e9 [FR] - no rush!"));
        }
        confirmStep(option);
        const QString shown = readOut(view);
        EXPECT_EQ(shown, file ? asShown(gameFile(file)) : w->ask().commandLine());
        EXPECT_EQ(shown, plainText(view));
        // Lines are never broken: each of the file's lines is one line on
        // screen, scrolled to when it is wider than the viewer.
        QApplication::processEvents();
        for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next())
            EXPECT_LE(b.layout()->lineCount(), 1) << b.text().toStdString();
    }
    // The command line is far wider than the viewer: it is scrolled to, and
    // a copy takes the line itself.
    click("optCommandLine");
    EXPECT_GT(view->horizontalScrollBar()->maximum(), 0);
    view->selectAll();
    view->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), w->ask().commandLine());
}

} // namespace
} // namespace vorn::test
