// The status texts at their longest, at 10 to 14 points (and 150 % in a
// second run): whole where there is room, else the words that fit with the
// whole text on hover, for a screen reader and in the log. Never clipped.
#include "clipping.h"
#include "guisupport.h"

#include <QAccessible>
#include <QApplication>

namespace vorn::test {
namespace {

// An outside command's last words, cut to the 80 characters kept of them.
const QString kWords = QStringLiteral("wine: could not load kernel32.dll, stat ... "
                                      "ut of memory; cannot start the program.")
                           .leftJustified(79, QLatin1Char('x'));

struct Text {
    QString text;
    bool whole; // must be shown whole at every size
};

// Short texts ("Server started.") fit wherever these do.
std::vector<Text> texts() {
    std::vector<Text> all = {
        {"Now, select a mod", true},
        {"Error: Correct Exec path! Drive D: is not mapped: set WINEPREFIX to the Wine prefix "
         "that holds the game.",
         true},
        {"Error: the mod \"Science and Industry\" cannot go on a command line: its name holds a "
         "blank or one of %&|<>^(),;=\"",
         true},
        {"Error: the port must be a whole number from 1 to 65535, not \"270150\".", true},
        {"Error: Max Players must be a whole number from 1 to 32, not \"320\".", true},
        {"Error: UDP port 27015 is in use by another program; no server was started.", true},
        {"Error: could not save vorn_mapcycle.txt: the directory \"C:\\Sierra\\Half-Life\\dod\" "
         "does not exist.",
         true},
        {"Saved vorn_motd.txt; the game has no \u4E2D \u0416 \u2603, written as \"?\".", true},
        {"Error: cannot read dod_charlie_b2_final.cfg; its class limits are not shown.", true},
        {"Error: no map is selected, so no class limits were saved. Select a map in the list "
         "first.",
         true},
        {"Error: dod_charlie_b2_final.cfg cannot be read, so it was not replaced.", true},
        {"Cannot save the bot setup: \"dod_charlie_b2_final_bot.cfg\" is not a valid file name.",
         true},
        {"Error: The entity tool did not answer within 10 seconds.", true},
        {"Error: The map listing failed (exit code 2147483647), so it is not used.", true},
        {"Error: could not write the batch file vorn.bat: The command interpreter reads its batch "
         "file in code page 437, which has no \u4E2D \u0416, so the command was not written",
         false},
        {"Error: The server start failed: " + kWords, false},
        {"Error: The entity tool failed: " + kWords, false},
        {"Error: the server could not be started. The command interpreter "
         "\"C:\\windows\\system32\\cmd.exe\" could not be started: access is denied.",
         false},
    };
    for (const char* failed :
         {"the server could not be started", "the entity export of dod_charlie_b2_final failed",
          "the mod listing failed", "the map listing failed"})
        for (const char* why :
             {"Wine's 32-bit part does not start", "Wine has no 32-bit part; install wine32"})
            all.push_back(
                {QStringLiteral(
                     "Error: %1: this machine cannot run 32-bit Windows programs (%2). %3")
                     .arg(QLatin1String(failed), QLatin1String(why), kWords),
                 false});
    return all;
}

class StatusLineTest : public WindowTest, public ::testing::WithParamInterface<int> {
  protected:
    DesktopPointSize font_{GetParam()};
    QByteArray log() const { return DemoInstall::read(demo->drive("vorn_master.log")); }
};

TEST_P(StatusLineTest, EveryTextCanBeReadWhole) {
    w->show();
    QLabel* line = ctl<QLabel>("lblStatus");
    for (const Text& row : texts()) {
        SCOPED_TRACE(row.text.toStdString());
        w->setStatus(row.text, colour::Red);
        // Never clipped: what is shown has room.
        EXPECT_TRUE(statusFits());
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(line);
        ASSERT_TRUE(face);
        if (line->text() == row.text) {
            EXPECT_TRUE(line->toolTip().isEmpty());
            EXPECT_EQ(face->text(QAccessible::Description), "Status");
            continue;
        }
        EXPECT_FALSE(row.whole) << "cut short to: " << line->text().toStdString();
        // The words shown are the text's own first words, then an ellipsis;
        // what failed is among them.
        const QString shown = line->text();
        ASSERT_TRUE(shown.endsWith(QStringLiteral(" \u2026"))) << shown.toStdString();
        EXPECT_TRUE(row.text.startsWith(shown.chopped(2))) << shown.toStdString();
        EXPECT_GE(shown.size(), 30) << shown.toStdString();
        EXPECT_EQ(line->toolTip(), row.text);
        EXPECT_EQ(face->text(QAccessible::Description), row.text);
        EXPECT_TRUE(log().contains(row.text.toUtf8()) ||
                    QString::fromLatin1(log()).contains(row.text.left(40)));
    }
}

INSTANTIATE_TEST_SUITE_P(Points, StatusLineTest, ::testing::Values(10, 11, 12, 13, 14));

} // namespace
} // namespace vorn::test
