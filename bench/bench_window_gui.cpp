// What the user waits for in the main window, on Qt's offscreen platform
// over a demo installation in a throw-away prefix:
//   BM_StartUp        the program started afresh, up to its window shown
//                     with the mods listed (every panel built, Form_Load
//                     run: one mod listing through the batch file and
//                     vorn-cmd), and ended: one child process per run;
//   BM_BareStartUp    the baseline: a program started afresh up to a bare
//                     Qt main window with a few widgets shown (a menu bar,
//                     a frame with a text field, a combo box, five option
//                     buttons, a label, a button and a text box), and
//                     ended. Both report the child's peak memory (peak_MiB,
//                     the child's own VmHWM);
//   BM_BuildWindow    in this process: the window without Form_Load;
//   BM_ChooseMod      cmbModList_Click for a mod with N maps (the map
//                     listing, both map lists filled, the reset).
// Wall-clock times: the work is done in the outside command as much as in
// this process. By default each benchmark runs 5 repetitions, interleaved
// at random with the others so that a noisy moment of the machine hits
// both sides of a comparison alike (--benchmark_repetitions=N changes the
// count). The table at the end gives the medians and the start-up ratios,
// also with --benchmark_report_aggregates_only=true.
//
// `bench_window_gui --once=startup|bare` is the child: one start-up over
// the installation in WINEPREFIX, then the end.
#include "assembly.h"
#include "demoinstall.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include "recorder.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {

const int kMapCounts[] = {10, 1000, 10000, 100000};

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
        for (int n : kMapCounts)
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
            write(mod + QStringLiteral("/maps/map%1.bsp").arg(i, 6, 10, QLatin1Char('0')), "BSP");
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

// The baseline: a main window with about the controls the window shows
// before any setup panel, and no work behind them.
std::unique_ptr<QMainWindow> makeBareWindow() {
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle(QStringLiteral("Bare"));
    window->menuBar()->addAction(QStringLiteral("E&xit"));
    window->menuBar()->addAction(QStringLiteral("A&bout"));
    auto* frame = new QGroupBox(QStringLiteral("Frame"));
    auto* box = new QVBoxLayout(frame);
    box->addWidget(new QLineEdit(QStringLiteral("c:\\hl.exe")));
    auto* combo = new QComboBox;
    combo->addItems({QStringLiteral("cstrike"), QStringLiteral("dod"), QStringLiteral("valve")});
    box->addWidget(combo);
    for (int i = 0; i < 5; ++i)
        box->addWidget(new QRadioButton(QStringLiteral("Option %1").arg(i)));
    box->addWidget(new QLabel(QStringLiteral("Status")));
    box->addWidget(new QPushButton(QStringLiteral("Start")));
    box->addWidget(new QPlainTextEdit);
    window->setCentralWidget(frame);
    return window;
}

// The peak memory of this process in KiB (VmHWM: unlike the resource
// usage, it does not carry over the parent's peak through the spawn).
long peakKiB() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1)
            break;
    std::fclose(f);
    return kib;
}

// `--once=startup|bare`: one start-up, the window shown, then the end.
int runOnce(const char* what) {
    QuietSeam seam;
    std::unique_ptr<QMainWindow> window;
    if (std::strcmp(what, "startup") == 0) {
        auto vorn = vorn::makeVornwick(seam, true);
        if (vorn->findChild<QComboBox*>(QStringLiteral("cmbModList"))->count() < 3)
            return 1;
        window = std::move(vorn);
    } else if (std::strcmp(what, "bare") == 0) {
        window = makeBareWindow();
    } else {
        std::fprintf(stderr, "--once takes startup or bare\n");
        return 2;
    }
    window->show();
    QApplication::processEvents();
    std::printf("peak %ld\n", peakKiB());
    return 0;
}

// Runs this program as a child doing one start-up; false when that failed.
// `peakMiB` gets the child's peak memory, which the child writes out.
bool runChild(const char* mode, double& peakMiB) {
    int out[2];
    if (::pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    char program[] = "/proc/self/exe";
    std::string arg = std::string("--once=") + mode;
    char* argv[] = {program, arg.data(), nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string text;
    char buf[256];
    for (ssize_t n; spawned == 0 && (n = ::read(out[0], buf, sizeof buf)) != 0;) {
        if (n > 0)
            text.append(buf, static_cast<std::size_t>(n));
        else if (errno != EINTR)
            break;
    }
    ::close(out[0]);
    if (spawned != 0)
        return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    long kib = -1;
    if (std::sscanf(text.c_str(), "peak %ld", &kib) != 1 || kib <= 0)
        return false;
    peakMiB = static_cast<double>(kib) / 1024.0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void startUps(benchmark::State& state, const char* mode) {
    double peak = 0;
    for (auto _ : state) {
        double one = 0;
        if (!runChild(mode, one)) {
            state.SkipWithError("the start-up failed");
            return;
        }
        peak += one;
    }
    state.counters["peak_MiB"] = benchmark::Counter(peak, benchmark::Counter::kAvgIterations);
}

void BM_StartUp(benchmark::State& state) {
    startUps(state, "startup");
}

void BM_BareStartUp(benchmark::State& state) {
    startUps(state, "bare");
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
    auto* mods = window->findChild<QComboBox*>(QStringLiteral("cmbModList"));
    const int index = mods->findText(Installation::modName(maps));
    if (index < 0) {
        state.SkipWithError("the mod is not listed");
        return;
    }
    mods->setCurrentIndex(index);
    auto* listed = window->findChild<QListWidget*>(QStringLiteral("lstMapList"));
    if (!listed) {
        state.SkipWithError("the window has no lstMapList");
        return;
    }
    for (auto _ : state) {
        window->cmbModList_Click();
        if (listed->count() != maps)
            state.SkipWithError("the maps were not listed");
    }
    state.counters["maps"] = maps;
}

BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareStartUp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BuildWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChooseMod)
    ->Arg(kMapCounts[0])
    ->Arg(kMapCounts[1])
    ->Arg(kMapCounts[2])
    ->Arg(kMapCounts[3])
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

using vorn::bench::Recorder;

double find(const std::map<std::string, double>& in, const std::string& name) {
    const auto it = in.find(name);
    return it == in.end() ? -1 : it->second;
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 2 && std::strncmp(argv[1], "--once=", 7) == 0)
        return runOnce(argv[1] + 7);

    // Defaults first, so that the command line overrides them.
    std::string reps = "--benchmark_repetitions=5";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args = {argv[0], reps.data(), interleave.data()};
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    Installation demo;
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);

    const auto& ms = recorder.millis;
    const auto& mib = recorder.peakMiB;
    std::printf("\n%-34s  %10s  %20s  %7s   (medians)\n", "", "Vornwick", "baseline", "ratio");
    const double startUp = find(ms, "BM_StartUp/real_time");
    const double bare = find(ms, "BM_BareStartUp/real_time");
    if (startUp > 0 && bare > 0)
        std::printf("%-34s  %7.2f ms  %8s %8.2f ms  %6.2fx\n", "start-up to the listed mods",
                    startUp, "bare", bare, startUp / bare);
    const double startUpMiB = find(mib, "BM_StartUp/real_time");
    const double bareMiB = find(mib, "BM_BareStartUp/real_time");
    if (startUpMiB > 0 && bareMiB > 0)
        std::printf("%-34s  %6.1f MiB  %8s %7.1f MiB  %6.2fx\n", "peak memory at start-up",
                    startUpMiB, "bare", bareMiB, startUpMiB / bareMiB);
    for (int n : kMapCounts) {
        const double choose = find(ms, "BM_ChooseMod/" + std::to_string(n) + "/real_time");
        if (choose > 0)
            std::printf("%-34s  %7.2f ms\n",
                        ("choosing a mod with " + std::to_string(n) + " maps").c_str(), choose);
    }
    // The same, one figure a line, for scripts.
    if (startUp > 0 && bare > 0)
        std::printf("FIGURE startup %.3f %.3f\n", startUp, bare);
    if (startUpMiB > 0 && bareMiB > 0)
        std::printf("FIGURE memory %.3f %.3f\n", startUpMiB, bareMiB);
    for (int n : kMapCounts) {
        const double choose = find(ms, "BM_ChooseMod/" + std::to_string(n) + "/real_time");
        if (choose > 0)
            std::printf("FIGURE choose%d %.3f\n", n, choose);
    }
    benchmark::Shutdown();
    return 0;
}
