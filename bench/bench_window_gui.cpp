// What the user waits for in the main window, on Qt's offscreen platform
// over a demo installation in a throw-away prefix:
//   BM_StartUp        the window with every panel built and Form_Load run,
//                     up to the listed mods (one mod listing through the
//                     batch file and vorn-cmd);
//   BM_BuildWindow    the same without Form_Load, to show what the listing
//                     costs;
//   BM_ChooseMod      cmbModList_Click for a mod with N maps (the map
//                     listing, both map lists filled, the reset).
// Wall-clock times: the work is done in the outside command as much as in
// this process. Each benchmark runs five repetitions; read the medians.
#include "demoinstall.h"
#include "vornwick.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

class QuietSeam : public vorn::UiSeam {
  public:
    int messageBox(QWidget*, vorn::MsgIcon, vorn::MsgButtons buttons, const QString&,
                   const QString&) override {
        return buttons == vorn::MsgButtons::Ok ? vorn::kAnswerOk : vorn::kAnswerYes;
    }
    void beep() override {}
    void setBusy(QWidget*, bool) override {}
    void endProgram() override {}
};

// The demo installation plus mods named "maps<N>" holding N maps each.
class Installation {
  public:
    Installation() {
        std::string error;
        QDir().mkpath(dir_.path() + QStringLiteral("/dosdevices"));
        QFile::link(QStringLiteral("../drive_c"), dir_.path() + QStringLiteral("/dosdevices/c:"));
        if (!dir_.isValid() ||
            !vorn::demo::writeInstallation(
                (dir_.path() + QStringLiteral("/drive_c/Sierra/Half-Life")).toStdString(),
                vorn::demo::programFolder(), error)) {
            std::fprintf(stderr, "cannot make the demo installation: %s\n", error.c_str());
            std::exit(1);
        }
        qputenv("WINEPREFIX", dir_.path().toLocal8Bit());
        for (int n : {10, 1000, 10000})
            addMod(n);
    }

    static QString modName(int maps) { return QStringLiteral("maps%1").arg(maps); }

  private:
    void addMod(int maps) {
        const QString mod =
            dir_.path() + QStringLiteral("/drive_c/Sierra/Half-Life/") + modName(maps);
        QDir().mkpath(mod + QStringLiteral("/maps"));
        write(mod + QStringLiteral("/liblist.gam"), "game \"bench\"\r\n");
        for (int i = 0; i < maps; ++i)
            write(mod + QStringLiteral("/maps/map%1.bsp").arg(i, 5, 10, QLatin1Char('0')), "BSP");
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            std::exit(1);
        }
    }

    QTemporaryDir dir_;
};

void BM_StartUp(benchmark::State& state) {
    QuietSeam seam;
    for (auto _ : state) {
        auto window = vorn::makeVornwick(seam, true);
        state.PauseTiming();
        if (window->cmbModList->count() != 6)
            state.SkipWithError("the mods were not listed");
        window.reset();
        state.ResumeTiming();
    }
}

void BM_BuildWindow(benchmark::State& state) {
    QuietSeam seam;
    for (auto _ : state) {
        auto window = vorn::makeVornwick(seam, false);
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}

void BM_ChooseMod(benchmark::State& state) {
    const int maps = static_cast<int>(state.range(0));
    QuietSeam seam;
    auto window = vorn::makeVornwick(seam, true);
    auto* mods = window->cmbModList;
    const int index = mods->findText(Installation::modName(maps));
    if (index < 0) {
        state.SkipWithError("the mod is not listed");
        return;
    }
    mods->setCurrentIndex(index);
    auto* listed = window->ctl<QListWidget>("lstMapList");
    for (auto _ : state) {
        window->cmbModList_Click();
        if (listed->count() != maps)
            state.SkipWithError("the maps were not listed");
    }
    state.counters["maps"] = maps;
}

BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_BuildWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_ChooseMod)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Installation demo;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
