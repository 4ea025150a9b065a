// Choosing a mod: the reset, the dod and add-on recognition with its
// version, the map listing into both map lists, and the status texts.
#include "guisupport.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

// Readable QStrings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace vorn::test {
namespace {

QStringList comboItems(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QStringList listItems(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

class ModSelectTest : public WindowTest {
  protected:
    void SetUp() override {
        autoLoad = false;
        WindowTest::SetUp();
    }
    QStringList firstMaps() const { return comboItems(w->ctl<QComboBox>("cmbMapList1")); }
    QStringList cycleMaps() const { return listItems(w->ctl<QListWidget>("lstMapList")); }
    QColor modSupportColour() const {
        return w->lblModSupport->palette().color(QPalette::WindowText);
    }
    QString history() const { return demo->game(QStringLiteral("dod/sturmbot/History.txt")); }
    QString minReaction() const { return w->ctl<QLineEdit>("txtSturmbotMinReaction")->text(); }
    QString maxReaction() const { return w->ctl<QLineEdit>("txtSturmbotMaxReaction")->text(); }
    QString botCaption() const { return w->ctl<QGroupBox>("frmSturmbotSetup")->title(); }
};

TEST_F(ModSelectTest, ChoosingAModListsItsMapsAndOpensTheFirstStep) {
    openWindow();
    chooseMod(QStringLiteral("valve"));
    const QStringList valve{"boot_camp", "bounce",        "crossfire", "datacore",
                            "gasworks",  "lambda_bunker", "snark_pit", "stalkyard"};
    EXPECT_EQ(firstMaps(), valve);
    EXPECT_EQ(cycleMaps(), valve);
    // No first map is chosen for the user.
    EXPECT_EQ(w->ctl<QComboBox>("cmbMapList1")->currentText(), QString());
    EXPECT_EQ(status(), "Select Command Line.");
    EXPECT_EQ(statusColour(), fromBgr(colour::Blue));
    EXPECT_EQ(w->ctl<QLineEdit>("txtHostName")->text(), "My valve server.");
    EXPECT_TRUE(w->optCommandLine->isEnabled());
    EXPECT_FALSE(w->optServerFile->isEnabled());
    EXPECT_EQ(w->st.modSelected, 1);
    // valve is not dod: no class limits, no add-on step.
    EXPECT_EQ(w->lblModSupport->text(), "Not recognized");
    EXPECT_EQ(modSupportColour(), fromBgr(colour::Red));
    EXPECT_TRUE(w->ctl<QWidget>("chkClassLimit")->isHidden());
    EXPECT_TRUE(w->ctl<QWidget>("frmClassLimit")->isHidden());
    EXPECT_TRUE(w->optBotFile->isHidden());
}

TEST_F(ModSelectTest, DodIsRecognizedWithItsAddOn) {
    openWindow();
    chooseMod(QStringLiteral("dod"));
    EXPECT_EQ(w->lblModSupport->text(), "Recognized");
    EXPECT_EQ(modSupportColour(), fromBgr(colour::NearBlack));
    EXPECT_FALSE(w->ctl<QWidget>("chkClassLimit")->isHidden());
    EXPECT_FALSE(w->optBotFile->isHidden());
    EXPECT_FALSE(w->optBotFile->isEnabled()) << "the bot step waits for step 4";
    EXPECT_EQ(w->st.botCfgName, "bot.cfg");
    EXPECT_TRUE(w->ctl<QAbstractButton>("chkSturmbotFillserver")->isChecked());
    EXPECT_FALSE(w->ctl<QWidget>("cmdSturmbotAdd")->isEnabled());
    EXPECT_FALSE(w->ctl<QWidget>("cmdSturmbotClear")->isEnabled());
    EXPECT_EQ(firstMaps().size(), 25);
    EXPECT_EQ(cycleMaps(), firstMaps());
    EXPECT_EQ(status(), "Select Command Line.");
}

TEST_F(ModSelectTest, SecondModReplacesTheMapsAndEmptiesTheCycle) {
    openWindow();
    chooseMod(QStringLiteral("valve"));
    confirmSteps(3);
    ASSERT_EQ(w->st.mapCycleCount, 5);
    ASSERT_FALSE(w->st.mapCycleText.isEmpty());

    chooseMod(QStringLiteral("dod"));
    EXPECT_EQ(w->st.mapCycleText, QString());
    EXPECT_EQ(w->st.mapCycleCount, 0);
    EXPECT_EQ(firstMaps().size(), 25);
    EXPECT_TRUE(firstMaps().contains("dod_anzio"));
    EXPECT_FALSE(firstMaps().contains("crossfire"));
    EXPECT_EQ(cycleMaps(), firstMaps());
    // Every step starts again: flags clear, options pink, only the first on.
    EXPECT_EQ(w->st.commandLineSaved + w->st.serverCfgSaved + w->st.mapCycleSaved, 0);
    for (QRadioButton* opt : {w->optCommandLine, w->optServerFile, w->optMapFile, w->optMotd})
        EXPECT_EQ(opt->palette().color(QPalette::Button), fromBgr(colour::Pink))
            << opt->objectName().toStdString();
    EXPECT_TRUE(w->optCommandLine->isEnabled());
    EXPECT_FALSE(w->optServerFile->isEnabled());
    EXPECT_FALSE(w->optMapFile->isEnabled());
    EXPECT_FALSE(w->cmdStart->isEnabled());
    EXPECT_FALSE(w->frmInfo->isVisible());
}

TEST_F(ModSelectTest, UpperCaseDodIsNotRecognized) {
    // A mod directory named DOD is another mod to the exact comparison.
    ASSERT_TRUE(
        QDir().rename(demo->game(QStringLiteral("dod")), demo->game(QStringLiteral("DOD"))));
    openWindow();
    ASSERT_EQ(comboItems(w->cmbModList), (QStringList{"cstrike", "DOD", "valve"}));
    // A dod chosen first shows the class-limit check box; DOD hides it.
    chooseMod(QStringLiteral("DOD"));
    EXPECT_EQ(w->lblModSupport->text(), "Not recognized");
    EXPECT_EQ(modSupportColour(), fromBgr(colour::Red));
    EXPECT_TRUE(w->ctl<QWidget>("chkClassLimit")->isHidden());
    EXPECT_TRUE(w->ctl<QWidget>("frmClassLimit")->isHidden());
    EXPECT_TRUE(w->optBotFile->isHidden());
    EXPECT_EQ(firstMaps().size(), 25);
    EXPECT_EQ(w->ctl<QLineEdit>("txtHostName")->text(), "My DOD server.");
}

TEST_F(ModSelectTest, AddOnVersionSetsCaptionReactionsAndClassSet) {
    struct Row {
        const char* name;
        QByteArray history; // "" : no History.txt at all
        const char* caption;
        const char* minReaction; // nullptr: left as they were
        const char* maxReaction;
        Flag nationClassSet;
    };
    const Row rows[] = {
        {"1.5", "Sturmbot history\r\n---\r\n1.5\r\n", "Sturmbot 1.5 Setup", "30", "80", 0},
        {"1.6", "Sturmbot history\r\n---\r\n1.6\r\n", "Sturmbot 1.6 Setup", "300", "800", 1},
        {"other", "h\r\n-\r\n2.0 beta\r\n", "Sturmbot 2.0 beta Setup", "300", "800", 1},
        {"empty third line", "h\r\n-\r\n\r\nmore\r\n", "Sturmbot Setup", nullptr, nullptr, 0},
        {"two lines", "h\r\n-\r\n", "Sturmbot Setup", nullptr, nullptr, 0},
        {"missing", "", "Sturmbot Setup", nullptr, nullptr, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // A fresh installation per row; the old one gives WINEPREFIX back first.
        demo.reset();
        demo = std::make_unique<DemoInstall>();
        if (row.history.isEmpty())
            ASSERT_TRUE(QFile::remove(history()));
        else
            DemoInstall::write(history(), row.history);
        openWindow();
        const QString minBefore = minReaction();
        const QString maxBefore = maxReaction();
        chooseMod(QStringLiteral("dod"));

        EXPECT_EQ(botCaption(), QString::fromLatin1(row.caption));
        EXPECT_EQ(minReaction(),
                  row.minReaction ? QString::fromLatin1(row.minReaction) : minBefore);
        EXPECT_EQ(maxReaction(),
                  row.maxReaction ? QString::fromLatin1(row.maxReaction) : maxBefore);
        EXPECT_EQ(w->st.nationClassSet, row.nationClassSet);
        EXPECT_FALSE(w->optBotFile->isHidden());
        EXPECT_EQ(status(), "Select Command Line.");
        w.reset();
    }
}

TEST_F(ModSelectTest, AddOnVersionFromAnEarlierChoiceIsKeptForAModWithout) {
    DemoInstall::write(history(), "h\r\n-\r\n1.5\r\n");
    openWindow();
    chooseMod(QStringLiteral("dod"));
    chooseMod(QStringLiteral("valve"));
    EXPECT_EQ(w->st.sturmbotVersion, "1.5");
    EXPECT_EQ(botCaption(), "Sturmbot 1.5 Setup");
    EXPECT_EQ(w->st.nationClassSet, 0);
    EXPECT_TRUE(w->optBotFile->isHidden());
}

TEST_F(ModSelectTest, ListingNamesThatAreNotMapsAreSkipped) {
    // The interpreter's *.bsp also matches x.bsp2, as Windows does through
    // short names; that file is no map.
    const QString maps = demo->game(QStringLiteral("cstrike/maps/"));
    for (const char* name : {"x.bsp2", "UPPER.BSP", "b.bsp", "notes.txt"})
        DemoInstall::write(maps + QString::fromLatin1(name), "BSP\n");
    openWindow();
    chooseMod(QStringLiteral("cstrike"));
    EXPECT_EQ(firstMaps(), (QStringList{"b", "cs_italy", "cs_office", "de_aztec", "de_dust",
                                        "de_dust2", "de_nuke", "UPPER"}));
    EXPECT_EQ(cycleMaps(), firstMaps());
}

TEST_F(ModSelectTest, ShortAndOddListingLinesAreSkipped) {
    openWindow();
    // An interpreter that answers every command with the same odd listing.
    demo->replaceInterpreter("printf 'de_a.bsp\\r\\nab\\r\\n.bsp\\r\\n\\r\\nbsp\\r\\nx.bsp2\\r\\n"
                             "b.bsp\\r\\n' > \"$WINEPREFIX/drive_c/vorn.log\"\n");
    chooseMod(QStringLiteral("valve"));
    EXPECT_EQ(firstMaps(), (QStringList{"de_a", "b"}));
    EXPECT_EQ(cycleMaps(), firstMaps());
    EXPECT_EQ(status(), "Select Command Line.");
}

TEST_F(ModSelectTest, ModWithoutMapsLeavesBothListsEmpty) {
    QDir(demo->game(QStringLiteral("cstrike/maps"))).removeRecursively();
    openWindow();
    chooseMod(QStringLiteral("valve"));
    chooseMod(QStringLiteral("cstrike"));
    EXPECT_TRUE(firstMaps().isEmpty());
    EXPECT_TRUE(cycleMaps().isEmpty());
    EXPECT_TRUE(w->optCommandLine->isEnabled());
    EXPECT_EQ(status(), "Select Command Line.");
}

} // namespace
} // namespace vorn::test
