// vorn-window-figures REPS
//
// The figures a user meets inside the running window, over the game
// installation in WINEPREFIX (C:\Sierra\Half-Life\ with the mods
// "maps10000" and "maps100000", holding that many maps):
//   - one listing of maps10000's "*.bsp" through the batch route, as the
//     window runs it (Vorn::runDir: the old listing removed, the batch file
//     replaced, vorn-cmd started and waited for, the listing read into the
//     window's lines), against a direct std::filesystem listing of the same
//     folder into the same lines, matched and sorted, in this process;
//   - choosing the mod with 10,000 and with 100,000 maps: the pick's
//     reaction and the repaint that follows it.
// REPS interleaved pairs (picks), each pair in random order. Prints each
// run, then the medians as
//   FIGURE listing10000 <route ms> <direct ms>
//   FIGURE choose10000 <ms>
//   FIGURE choose100000 <ms>
#include "assembly.h"
#include "platform.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// Says what the window would ask or report, and answers it quietly.
class QuietSeam : public vorn::UiSeam {
  public:
    int messageBox(QWidget*, vorn::MsgIcon, vorn::MsgButtons buttons, const QString& title,
                   const QString& text) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        return buttons == vorn::MsgButtons::Ok ? vorn::kAnswerOk : vorn::kAnswerNo;
    }
    void beep() override {}
    void setBusy(QWidget*, bool) override {}
    void endProgram() override {}
};

const QString kGameDir = QStringLiteral("C:\\Sierra\\Half-Life\\");

double timed(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The direct listing: the folder's "*.bsp" files, sorted, as lines.
void listDirectly(const std::string& hostDir, QStringList& lines) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(hostDir)) {
        std::string name = e.path().filename().string();
        std::string lower = name;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".bsp") == 0 &&
            e.is_regular_file())
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    lines.clear();
    lines.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& n : names)
        lines << QString::fromStdString(n);
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "vorn-window-figures: %s\n", what);
    std::exit(1);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int reps = argc == 2 ? std::atoi(argv[1]) : 0;
    if (reps < 1) {
        std::fprintf(stderr, "usage: vorn-window-figures REPS\n");
        return 2;
    }
    QuietSeam seam;
    auto window = vorn::makeVornwick(seam, true);
    window->show();
    QApplication::processEvents();
    std::mt19937 random(std::random_device{}());

    // The listing route against the direct listing.
    const QString folder = kGameDir + QStringLiteral("maps10000\\maps");
    std::string hostDir;
    if (!vorn::platform::hostPath(folder.toStdString(), hostDir))
        fail("the drive of the game is not mapped");
    std::vector<double> route, direct;
    auto runRoute = [&] {
        QStringList lines;
        const double t = timed([&] {
            if (!window
                     ->runDir(folder + QStringLiteral("\\*.bsp"), QStringLiteral("/b"),
                              QStringLiteral("The map listing"), QStringLiteral("Refused."), lines)
                     .ok())
                fail("the listing through the batch route failed");
        });
        if (lines.size() != 10000)
            fail("the batch route did not list 10,000 maps");
        return t;
    };
    auto runDirect = [&] {
        QStringList lines;
        const double t = timed([&] { listDirectly(hostDir, lines); });
        if (lines.size() != 10000)
            fail("the direct listing did not list 10,000 maps");
        return t;
    };
    runRoute(); // the files into the cache, not counted
    runDirect();
    for (int i = 0; i < reps; ++i) {
        const bool routeFirst = random() % 2;
        for (bool isRoute : {routeFirst, !routeFirst}) {
            const double t = isRoute ? runRoute() : runDirect();
            (isRoute ? route : direct).push_back(t);
            std::printf("%-10s %8.2f ms\n", isRoute ? "route" : "direct", t);
        }
    }

    // Choosing a mod, as a pick from the list runs it.
    auto* mods = window->findChild<QComboBox*>(QStringLiteral("cmbModList"));
    const int counts[2] = {10000, 100000};
    int index[2];
    for (int k : {0, 1})
        if ((index[k] = mods->findText(QStringLiteral("maps%1").arg(counts[k]))) < 0)
            fail("a mod with many maps is not listed");
    std::vector<double> choose[2];
    auto pick = [&](int k) {
        return timed([&] {
            mods->setCurrentIndex(index[k]);
            window->cmbModList_Click();
            QApplication::processEvents();
        });
    };
    pick(0);
    pick(1);
    for (int i = 0; i < reps; ++i) {
        const int first = static_cast<int>(random() % 2);
        for (int k : {first, 1 - first}) {
            const double t = pick(k);
            choose[k].push_back(t);
            std::printf("choose%-6d %8.2f ms\n", counts[k], t);
        }
    }
    std::printf("FIGURE listing10000 %.3f %.3f\n", median(route), median(direct));
    std::printf("FIGURE choose10000 %.3f\n", median(choose[0]));
    std::printf("FIGURE choose100000 %.3f\n", median(choose[1]));
    return 0;
}
