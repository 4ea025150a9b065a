#include "mainwindow.h"

#include "batchline.h"
#include "controls.h"
#include "listing.h"
#include "pathtext.h"
#include "platform.h"

#include <QLabel>
#include <QRadioButton>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace vorn {

namespace plat = vorn::platform;

namespace {

// The length of the map name in one line of a "*.bsp" listing
// (mapNameFromListing), 0 when the line names no map; without the round
// trip through UTF-8 for each of many lines.
qsizetype mapNameLength(const QString& line) {
    static const char suffix[] = ".bsp";
    constexpr qsizetype suffixLength = sizeof suffix - 1;
    const qsizetype stem = line.size() - suffixLength;
    if (stem <= 0)
        return 0;
    for (qsizetype i = 0; i < suffixLength; ++i) {
        char16_t c = line.at(stem + i).unicode();
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char16_t>(c - 'A' + 'a');
        if (c != static_cast<char16_t>(suffix[i]))
            return 0;
    }
    return stem;
}

} // namespace

void Vorn::cmbModList_Click() {
    ModFacts facts;
    facts.mod = mod();
    ResetPanels();
    // The mod's name goes on the server's command line: a name that cannot
    // stand there is refused now, before any panel is filled in.
    if (!plat::isPlainBatchWord(u8(facts.mod))) {
        setStatus(QStringLiteral("Error: the mod \"%1\" cannot go on a command line: its name "
                                 "holds a blank or one of %2")
                      .arg(facts.mod, QStringLiteral("%&|<>^(),;=\"")),
                  colour::Red);
        return;
    }
    facts.dod = facts.mod == QStringLiteral("dod");
    lblModSupport->setText(facts.dod ? QStringLiteral("Recognized")
                                     : QStringLiteral("Not recognized"));
    setTextColour(lblModSupport, facts.dod ? colour::NearBlack : colour::Red);
    // A problem with the add-on is said once the maps are listed.
    QString addOnProblem;
    if (facts.dod)
        findAddOn(facts, addOnProblem);
    const plat::Status listed = FindMaps(facts.maps);
    for (Step& step : steps_) {
        if (step.row.shownFor && step.row.shownFor(facts))
            step.option->show();
        step.panel->modChosen(facts);
    }
    steps_.front().option->setEnabled(true);
    st.modSelected = true;
    if (!listed.ok())
        setStatus(reasonOf(listed), colour::Red);
    else if (!addOnProblem.isEmpty())
        setStatus(addOnProblem, colour::Red);
    else if (queries.firstMap().isEmpty())
        setStatus(selectStepText(steps_.front().row.caption) + QLatin1Char('.'), colour::Blue);
    UpdateReadiness();
}

void Vorn::findAddOn(ModFacts& facts, QString& problem) {
    const QString dll = modFilePath(QStringLiteral("sturmbot\\dlls\\STURM_bot.dll"));
    if (qs(plat::storedName(u8(dll))) != QStringLiteral("STURM_bot.dll"))
        return;
    facts.addOn = true;

    QStringList history;
    // Missing: an empty version. Present but unreadable (a pipe, a link to
    // something endless, far too large): said so.
    if (plat::Status read =
            readGameLines(modFilePath(QStringLiteral("sturmbot\\History.txt")), history);
        !read.ok() && read.fault != plat::Status::Fault::Missing)
        problem = QStringLiteral("Error: the add-on's History.txt cannot be read: %1.")
                      .arg(reasonOf(read));
    facts.addOnVersion = qs(versionFromHistory(toStdLines(history)));
    // The class lists follow the version: the old one knows no nations.
    facts.nationClasses =
        !facts.addOnVersion.isEmpty() && facts.addOnVersion != QStringLiteral("1.5");
}

plat::Status Vorn::FindMaps(QStringList& maps) {
    QStringList lines;
    const plat::Status listed =
        runDir(st.gameDir + mod() + QStringLiteral("\\maps\\*.bsp"), QStringLiteral("/b"),
               QStringLiteral("The map listing"),
               QStringLiteral("Error: the maps of this mod cannot be listed."), lines, [this] {
                   // The old mod's lists go while the command lists the new
                   // one's maps: a hundred thousand maps take as long to let
                   // go of as the listing takes.
                   for (Step& step : steps_)
                       step.panel->modLeaving();
#ifdef __GLIBC__
                   // The many small blocks just freed are merged now, not at
                   // the next large allocation after the listing.
                   malloc_trim(0);
#endif
               });
    maps.clear();
    maps.reserve(lines.size());
    for (QString& line : lines) {
        // The line becomes the name in place: no copy for each map.
        if (const qsizetype length = mapNameLength(line); length > 0) {
            line.truncate(length);
            maps << std::move(line);
        }
    }
    return listed;
}

} // namespace vorn
