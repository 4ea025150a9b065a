#include "mainwindow.h"

#include "batchline.h"
#include "controls.h"
#include "country.h"
#include "listing.h"
#include "pathtext.h"
#include "platform.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStringListModel>

namespace vorn {

namespace plat = vorn::platform;

namespace {

// The map name of one line of a "*.bsp" listing (mapNameFromListing),
// without the round trip through UTF-8 for each of many lines.
QString mapNameOf(const QString& line) {
    static const char suffix[] = ".bsp";
    constexpr qsizetype suffixLength = sizeof suffix - 1;
    const qsizetype stem = line.size() - suffixLength;
    if (stem < 0)
        return {};
    for (qsizetype i = 0; i < suffixLength; ++i) {
        char16_t c = line.at(stem + i).unicode();
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char16_t>(c - 'A' + 'a');
        if (c != static_cast<char16_t>(suffix[i]))
            return {};
    }
    return line.left(stem);
}

} // namespace

void Vorn::cmbModList_Click() {
    const QString m = mod();
    ResetPanels();
    // The mod's name goes on the server's command line: a name that cannot
    // stand there is refused now, before any panel is filled in.
    if (!plat::isPlainBatchWord(u8(m))) {
        setStatus(QStringLiteral("Error: the mod \"%1\" cannot go on a command line: its name "
                                 "holds a blank or one of %2")
                      .arg(m, QStringLiteral("%&|<>^(),;=\"")),
                  colour::Red);
        return;
    }
    ctl<QLineEdit>("txtHostName")->setText(QStringLiteral("My ") + m + QStringLiteral(" server."));
    // A problem with the add-on is said once the maps are listed.
    QString addOnProblem;
    lblModSupport->setText(QStringLiteral("Recognized"));
    setTextColour(lblModSupport, colour::NearBlack);
    if (m != QStringLiteral("dod")) {
        ctl<QWidget>("chkClassLimit")->hide();
        ctl<QWidget>("frmClassLimit")->hide();
        lblModSupport->setText(QStringLiteral("Not recognized"));
        setTextColour(lblModSupport, colour::Red);
    } else {
        ctl<QWidget>("chkClassLimit")->show();
        st.checkPath = st.gameDir + m + QStringLiteral("\\sturmbot\\dlls\\STURM_bot.dll");
        if (qs(plat::storedName(u8(st.checkPath))) == QStringLiteral("STURM_bot.dll")) {
            optBotFile->show();
            st.botCfgName = QStringLiteral("bot.cfg");
            ctl<QAbstractButton>("chkSturmbotFillserver")->setChecked(true);

            st.checkPath = st.gameDir + m + QStringLiteral("\\sturmbot\\History.txt");
            QStringList history;
            QString why;
            // Missing: an empty version. Present but unreadable (a pipe, a
            // link to something endless, far too large): said so.
            if (!readGameLines(st.checkPath, history, &why) &&
                !why.endsWith(QStringLiteral("does not exist")))
                addOnProblem =
                    QStringLiteral("Error: the add-on's History.txt cannot be read: %1.").arg(why);
            st.sturmbotVersion = qs(versionFromHistory(toStdLines(history)));

            auto* frame = ctl<QGroupBox>("frmSturmbotSetup");
            if (!st.sturmbotVersion.isEmpty()) {
                setCaption(frame, QStringLiteral("Sturmbot ") + st.sturmbotVersion +
                                      QStringLiteral(" Setup"));
                const bool old = st.sturmbotVersion == QStringLiteral("1.5");
                auto* minBox = ctl<QLineEdit>("txtSturmbotMinReaction");
                auto* maxBox = ctl<QLineEdit>("txtSturmbotMaxReaction");
                const QString minText = old ? QStringLiteral("30") : QStringLiteral("300");
                const QString maxText = old ? QStringLiteral("80") : QStringLiteral("800");
                // Each assignment runs its box's reaction, which keeps the
                // pair in order; raising both starts with the maximum so the
                // new minimum is not pulled below its default.
                if (maxBox->text().toDouble() <= minText.toDouble()) {
                    maxBox->setText(maxText);
                    minBox->setText(minText);
                } else {
                    minBox->setText(minText);
                    maxBox->setText(maxText);
                }
                st.nationClassSet = old ? 0 : 1;
                // The class lists follow the version.
                if (setClassListsForMod)
                    setClassListsForMod();
            } else {
                setCaption(frame, QStringLiteral("Sturmbot Setup"));
            }
            ctl<QWidget>("cmdSturmbotAdd")->setEnabled(false);
            ctl<QWidget>("cmdSturmbotClear")->setEnabled(false);
        }
    }
    const bool mapsListed = FindMaps();
    optCommandLine->setEnabled(true);
    st.modSelected = 1;
    // A failed listing has said why; its error stays.
    if (mapsListed && !addOnProblem.isEmpty())
        setStatus(addOnProblem, colour::Red);
    else if (mapsListed && ctl<QComboBox>("cmbMapList1")->currentText().isEmpty())
        setStatus(QStringLiteral("Select Command Line."), colour::Blue);
    UpdateReadiness();
}

bool Vorn::FindMaps() {
    QString err;
    QString pattern = quoted(st.gameDir + mod() + QStringLiteral("\\maps\\*.bsp"), err);
    QString list = quoted(commandListPath(), err);
    QStringList lines;
    bool listed = false;
    if (pattern.isEmpty() || list.isEmpty()) {
        setStatus(QStringLiteral("Error: the maps of this mod cannot be listed. %1").arg(err),
                  colour::Red);
    } else {
        listed = runListing(QStringLiteral("dir ") + pattern + QStringLiteral(" /b > ") + list,
                            QStringLiteral("The map listing"), lines);
    }
    st.mapCycleText.clear();
    st.mapCycleCount = 0;
    QStringList names;
    names.reserve(lines.size());
    for (const QString& line : lines) {
        QString name = mapNameOf(line);
        if (!name.isEmpty())
            names << std::move(name);
    }
    if (!lines.isEmpty())
        st.mapEntry = lines.constLast();

    // The first-map box shows one list model, replaced whole: a mod may
    // hold a hundred thousand maps. No map is chosen afterwards.
    auto* first = ctl<QComboBox>("cmbMapList1");
    auto* model = qobject_cast<QStringListModel*>(first->model());
    if (!model) {
        model = new QStringListModel(first);
        first->setModel(model);
    }
    {
        // The box would pick the first map for a moment.
        const QSignalBlocker quiet(first);
        model->setStringList(names);
    }
    first->setCurrentIndex(-1);
    first->setEditText(QString());

    // The map list: one batch of items, laid out once.
    auto* maps = ctl<QListWidget>("lstMapList");
    maps->setUpdatesEnabled(false);
    maps->clear();
    maps->addItems(names);
    maps->setUpdatesEnabled(true);
    return listed;
}

} // namespace vorn
