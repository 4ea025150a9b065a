// Class limits of dod maps: lists by country, kept lines, the log, the file.
#include "guisupport.h"

#include <QRegularExpression>

namespace vorn::test {
namespace {

class ClassLimitTest : public WindowTest {
  protected:
    // The limits of one map being edited.
    void editMap(const QString& map) {
        openStep("optMapFile");
        clickListItem("lstMapList", map);
        click("chkClassLimit");
        ASSERT_TRUE(ctl<QCheckBox>("chkClassLimit")->isChecked());
    }

    QComboBox* box(const char* name) const { return ctl<QComboBox>(name); }
    QString teams() const {
        return ctl<QLabel>("lblClassAllies")->text() + "/" + ctl<QLabel>("lblClassAxis")->text();
    }
    QString cfg(const QString& map) const { return demo->game("dod/" + map + ".cfg"); }
    // The map's saved file, found without regard to case.
    QByteArray saved(const QString& map) const {
        const QStringList found = QDir(demo->game("dod")).entryList({map + ".cfg"}, QDir::Files);
        EXPECT_EQ(found.size(), 1) << found.join(' ').toStdString();
        return found.isEmpty() ? QByteArray() : gameFile("dod/" + found.first());
    }
    // A saved file: its kept lines, an empty line, the limit lines, an empty line.
    static QByteArray keptPart(const QByteArray& file) {
        return file.left(file.startsWith("\r\n") ? 0 : file.indexOf("\r\n\r\n") + 2);
    }
    static QStringList limitLines(const QByteArray& file) {
        EXPECT_TRUE(file.endsWith("\r\n\r\n")) << file.toStdString();
        const QString limits = QString::fromLatin1(file.mid(keptPart(file).size() + 2));
        return limits.split("\r\n", Qt::SkipEmptyParts);
    }
    // Every limit line of the file, less those of `set`, holds -1.
    static void expectUnsetBut(const QStringList& limits, const QStringList& set) {
        for (const QString& line : limits)
            EXPECT_TRUE(set.contains(line) || line.endsWith(" -1")) << line.toStdString();
        for (const QString& line : set)
            EXPECT_TRUE(limits.contains(line)) << line.toStdString();
    }
    qsizetype logSize() const { return DemoInstall::read(demo->drive("vorn_master.log")).size(); }
    // The log's lines written since `from` bytes.
    QStringList logSince(qsizetype from) const {
        QString text =
            QString::fromLatin1(DemoInstall::read(demo->drive("vorn_master.log")).mid(from));
        text.chop(2);
        return text.split("\r\n");
    }
};

TEST_F(ClassLimitTest, AUsMapGetsTheNationListsAndALimitForEachClass) {
    editMap("dod_anzio");
    EXPECT_EQ(teams(), "U.S./German");
    const char* const mapControls[] = {"lstMapList", "cmdAddMap", "cmdClearMapList", "cmdMapOK"};
    // The map stays fixed while its limits are edited.
    for (const char* name : mapControls)
        EXPECT_FALSE(ctl<QWidget>(name)->isEnabled()) << name;
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "dod_anzio.cfg");
    // The entity export was made to find the country.
    EXPECT_TRUE(QFile::exists(demo->game("dod/maps/dod_anzio.ent")));
    // Unticking ends the editing at once, the map cycle back in the viewer.
    click("chkClassLimit");
    for (const char* name : mapControls)
        EXPECT_TRUE(ctl<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(ctl<QWidget>("frmClassLimit")->isHidden());
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "vorn_mapcycle.txt");
    click("cmdAddMap");
    EXPECT_EQ(viewer(), "dod_anzio");

    click("chkClassLimit");
    click("cmdClassLimitOK");
    // No kept lines; the U.S. and the German classes, none of them limited.
    const QByteArray file = saved("dod_anzio");
    EXPECT_EQ(keptPart(file), "");
    const QStringList limits = limitLines(file);
    EXPECT_EQ(limits.first(), "mp_limitalliesgarand -1");
    EXPECT_EQ(limits.filter("mp_limitallies").size(), 7);
    EXPECT_EQ(limits.filter("mp_limitaxis").size(), 9);
    expectUnsetBut(limits, {});
    EXPECT_FALSE(ctl<QWidget>("cmdClassLimitOK")->isEnabled());
    for (const char* name : mapControls)
        EXPECT_TRUE(ctl<QWidget>(name)->isEnabled()) << name;
}

TEST_F(ClassLimitTest, PicksAreLoggedAndSetTheLimits) {
    editMap("dod_anzio");
    const qsizetype mark = logSize();
    pickCombo("cmbClassAllies", "bar");
    EXPECT_EQ(logSince(mark),
              (QStringList{
                  "Comparing cmbClassAllies.Text=bar with classAlliesArray(i)=garand",
                  "Comparing cmbClassAllies.Text=bar with classAlliesArray(i)=carbine",
                  "Comparing cmbClassAllies.Text=bar with classAlliesArray(i)=bar",
                  "Setting cmbLimitAllies.Text to -1",
              }));
    qsizetype next = logSize();
    pickCombo("cmbLimitAllies", "4");
    EXPECT_EQ(logSince(next).last(), "Setting classAlliesArrayValue(3) to 4");
    EXPECT_EQ(logSince(next).size(), 4);

    pickCombo("cmbClassAxis", "mg42");
    pickCombo("cmbLimitAxis", "0");
    next = logSize();
    pickCombo("cmbClassAxis", "kar");
    EXPECT_EQ(logSince(next),
              (QStringList{"Comparing cmbClassAxis.Text=kar with classAxisArray(i)=kar",
                           "Setting cmbLimitAxis.Text to -1"}));
    pickCombo("cmbClassAxis", "mg42");
    EXPECT_EQ(box("cmbLimitAxis")->currentText(), "0");

    // A typed name that is no class changes nothing; only comparisons are logged.
    setText("cmbClassAllies", "bazooka");
    next = logSize();
    pickCombo("cmbLimitAllies", "7");
    const QStringList typed = logSince(next);
    EXPECT_EQ(typed.size(), 7);
    EXPECT_EQ(typed.first(),
              "Comparing cmbClassAllies.Text=bazooka with classAlliesArray(i)=garand");
    EXPECT_TRUE(typed.filter("Setting").isEmpty());

    // The preview follows every pick, and so does the file.
    EXPECT_TRUE(viewer().contains("mp_limitalliesbar 4\r\n"));
    click("cmdClassLimitOK");
    EXPECT_TRUE(saved("dod_anzio").contains("\r\nmp_limitalliesbar 4\r\n"));
    EXPECT_TRUE(logSince(next).contains("writing C:\\Sierra\\Half-Life\\dod\\dod_anzio.cfg"));
}

TEST_F(ClassLimitTest, WithNoClassListSinceStartUpOnlyKeptLinesAreWritten) {
    // The add-on is gone before dod is chosen: no class list is ever set.
    ASSERT_TRUE(QDir(demo->game("dod/sturmbot")).removeRecursively());
    DemoInstall::write(cfg("dod_anzio"), "hostname x\r\nmp_limitalliesgarand 2\r\n");
    editMap("dod_anzio");
    const QStringList digits{"-1", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    EXPECT_EQ(items(box("cmbClassAllies")) + items(box("cmbClassAxis")), digits + digits);
    EXPECT_EQ(teams(), "Allies/Axis");
    // No country was needed, so no entity export was made.
    EXPECT_FALSE(QFile::exists(demo->game("dod/maps/dod_anzio.ent")));

    const qsizetype mark = logSize();
    pickCombo("cmbClassAllies", "3");
    pickCombo("cmbLimitAllies", "5");
    pickCombo("cmbClassAxis", "1");
    EXPECT_TRUE(logSince(mark).filter(QRegularExpression("^(Comparing|Setting)")).isEmpty());
    click("cmdClassLimitOK");
    EXPECT_EQ(saved("dod_anzio"), QByteArray("hostname x\r\n\r\n\r\n"));
}

// A British map, then by keys a U.S. map without a file: nothing leaks across.
TEST_F(ClassLimitTest, ASecondMapWithoutAFileStartsClean) {
    DemoInstall::write(cfg("dod_charlie"),
                       "hostname a\r\nmp_limitbritmg 3\r\nmp_limitallieslight 2\r\n");
    editMap("dod_charlie");
    EXPECT_EQ(teams(), "British/German");
    EXPECT_EQ(box("cmbLimitAllies")->currentText(), "2");
    pickCombo("cmbClassAllies", "sniper");
    pickCombo("cmbLimitAllies", "1");
    click("cmdClassLimitOK");
    EXPECT_TRUE(status().contains("dod_charlie.cfg")) << status().toStdString();
    EXPECT_EQ(keptPart(saved("dod_charlie")), "hostname a\r\n");
    const QStringList british = limitLines(saved("dod_charlie"));
    EXPECT_EQ(british.filter("mp_limitbrit").size(), 4);
    EXPECT_TRUE(british.filter("mp_limitallies").isEmpty());
    expectUnsetBut(british, {"mp_limitbritsniper 1", "mp_limitbritmg 3", "mp_limitbritlight 2"});
    // Still checked: the next map's limits load as the keyboard moves to it.
    auto* maps = ctl<QListWidget>("lstMapList");
    focus(maps);
    key(Qt::Key_Home);
    ASSERT_EQ(maps->currentItem()->text(), "dod_anzio");
    EXPECT_EQ(teams(), "U.S./German");
    EXPECT_EQ(box("cmbLimitAllies")->currentText(), "-1");
    pickCombo("cmbLimitAxis", "2");
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "dod_anzio.cfg");
    click("cmdClassLimitOK");
    EXPECT_EQ(keptPart(saved("dod_anzio")), "");
    expectUnsetBut(limitLines(saved("dod_anzio")), {"mp_limitaxiskar 2"});
    EXPECT_EQ(limitLines(saved("dod_charlie")), british);
    // Read back and saved again, a file keeps every byte.
    const QByteArray charlie = saved("dod_charlie");
    click("chkClassLimit");
    clickListItem("lstMapList", "dod_charlie");
    click("chkClassLimit");
    click("cmdClassLimitOK");
    EXPECT_EQ(saved("dod_charlie"), charlie);

    maps->setCurrentRow(-1);
    maps->clearSelection();
    pickCombo("cmbLimitAllies", "2");
    click("cmdClassLimitOK");
    expectError("no map is selected");
}

TEST_F(ClassLimitTest, GenericListsDoNotCarryOneMapsLimitsIntoAnother) {
    // Add-on 1.5: generic lists, set once when dod is chosen.
    DemoInstall::write(demo->game("dod/sturmbot/History.txt"), "h\r\n-\r\n1.5\r\n");
    DemoInstall::write(cfg("dod_anzio"), "hostname a\r\nmp_limitallieslight 2\r\n");
    editMap("dod_anzio");
    EXPECT_EQ(teams(), "Allies/Axis");
    EXPECT_EQ(items(box("cmbClassAxis")),
              (QStringList{"light", "assault", "heavy", "sniper", "mg"}));
    EXPECT_EQ(box("cmbLimitAllies")->currentText(), "2");
    click("cmdClassLimitOK");

    clickListItem("lstMapList", "dod_kalt");
    click("chkClassLimit"); // off
    click("chkClassLimit"); // on again
    click("cmdClassLimitOK");
    EXPECT_EQ(keptPart(saved("dod_kalt")), "");
    EXPECT_EQ(limitLines(saved("dod_kalt")).size(), 10);
    expectUnsetBut(limitLines(saved("dod_kalt")), {});
}

// A map name like "x\..\..\..\name" (POSIX, Wine) never becomes a path.
TEST_F(ClassLimitTest, MapNamesThatAreNoFileNamesNeverBecomePaths) {
    VORN_SKIP_ON_WINDOWS("a Windows disk cannot hold such names; they come from other disks");
    const std::pair<QString, QString> rows[] = {{"x\\..\\..\\..\\name", "\\"},
                                                {"say \"hi\"", "\""}};
    for (const auto& [map, bad] : rows)
        DemoInstall::write(demo->game("dod/maps/" + map + ".bsp"), "BSP\n");
    for (const auto& [map, bad] : rows) {
        SCOPED_TRACE(map.toStdString());
        w.reset();
        seam.boxes.clear();
        openWindow();
        editMap(map);
        ASSERT_EQ(seam.boxes.size(), 1u);
        EXPECT_TRUE(seam.boxes[0].text.contains(
            "The map name \"" + map + "\" cannot be a file name: it holds '" + bad + "'."))
            << seam.boxes[0].text.toStdString();
        click("cmdClassLimitOK");
        EXPECT_EQ(status(), "Error: map \"" + map + "\" holds '" + bad + "': no limits saved.");
        EXPECT_TRUE(statusFits());
    }
    EXPECT_FALSE(QFile::exists(demo->drive("Sierra/name.cfg")));
    EXPECT_FALSE(QFile::exists(demo->drive("Sierra/name.ent")));
}

TEST_F(ClassLimitTest, AFileThatCannotBeReplacedStaysAsItWas) {
    const QByteArray old = "hostname keep\r\nmp_limitaxiskar 2\r\n";
    DemoInstall::write(cfg("dod_anzio"), old);
    if (!makeUnreplaceable(cfg("dod_anzio")))
        GTEST_SKIP() << "no way to stop root from replacing a file here (chattr missing)";
    editMap("dod_anzio");
    pickCombo("cmbLimitAllies", "1");
    click("cmdClassLimitOK");
    expectSaveRefused("dod_anzio.cfg");
    EXPECT_EQ(saved("dod_anzio"), old);
    // Still editing: the user can try again.
    EXPECT_TRUE(ctl<QWidget>("cmdClassLimitOK")->isEnabled());
    EXPECT_TRUE(viewer().startsWith("hostname keep\r\n"));
}

// Typed limits count; arrow keys step from the limit shown, wherever it came from.
TEST_F(ClassLimitTest, TypedLimitsAreSavedAndArrowKeysStepFromTheLimitShown) {
    DemoInstall::write(demo->game("dod/DOD_ANZIO.cfg"), "hostname caps\r\nmp_limitaxiskar 2\r\n");
    editMap("dod_anzio");
    EXPECT_EQ(box("cmbLimitAxis")->currentText(), "2"); // from the file
    focus(box("cmbLimitAxis"));
    key(Qt::Key_Down);
    EXPECT_EQ(box("cmbLimitAxis")->currentText(), "3");
    key(Qt::Key_Home);
    type("-"); // "-3": not in the list, saved as typed

    pickCombo("cmbLimitAllies", "5"); // garand
    pickCombo("cmbClassAllies", "carbine");
    EXPECT_EQ(box("cmbLimitAllies")->currentText(), "-1");
    focus(box("cmbLimitAllies"));
    key(Qt::Key_Down);
    EXPECT_EQ(box("cmbLimitAllies")->currentText(), "0");
    key(Qt::Key_End);
    key(Qt::Key_Backspace);
    type("8");
    EXPECT_TRUE(viewer().contains("mp_limitalliescarbine 8\r\n")) << viewer().toStdString();
    key(Qt::Key_Up);
    EXPECT_EQ(box("cmbLimitAllies")->currentText(), "7");
    click("cmdClassLimitOK");
    EXPECT_EQ(keptPart(saved("dod_anzio")), "hostname caps\r\n");
    expectUnsetBut(limitLines(saved("dod_anzio")),
                   {"mp_limitalliesgarand 5", "mp_limitalliescarbine 7", "mp_limitaxiskar -3"});
}

} // namespace
} // namespace vorn::test
