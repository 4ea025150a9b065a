// The server window, on Qt's offscreen platform, over a throw-away prefix:
//   BM_FollowBusyOutput  the CPU time this process spends while the window
//                        follows a busy server for five seconds: busy.sh
//                        writes up to 10,000 lines a second (as fast as bash
//                        goes), flood.sh up to 50,000 (counter cpu_percent:
//                        CPU time over wall time; the server's own CPU is not
//                        counted; log_MB: what it wrote);
//   BM_Stop              how long Stop takes: the launcher and all it
//                        started ended (a quiet server, and one that
//                        writes fast), from the call to its return.
#include "platform.h"
#include "serverwindow.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace plat = vorn::platform;

namespace {

class QuietSeam : public vorn::UiSeam {
  public:
    int messageBox(QWidget*, vorn::MsgIcon, vorn::MsgButtons, const QString&,
                   const QString&) override {
        return vorn::kAnswerYes;
    }
    void beep() override {}
    void setBusy(QWidget*, bool) override {}
    void endProgram() override {}
};

// A prefix with two server stand-ins: c:\busy.sh writes 1,000 lines every
// tenth of a second, c:\quiet.sh a few lines and then sleeps.
class Prefix {
  public:
    Prefix() {
        const QString p = dir_.path();
        QDir().mkpath(p + QStringLiteral("/drive_c"));
        QDir().mkpath(p + QStringLiteral("/dosdevices"));
        QFile::link(QStringLiteral("../drive_c"), p + QStringLiteral("/dosdevices/c:"));
        qputenv("WINEPREFIX", p.toLocal8Bit());
        script("busy.sh", "n=0\n"
                          "while :; do\n"
                          "  for i in 1 2 3 4 5 6 7 8 9 10; do\n"
                          "    for j in 1 2 3 4 5 6 7 8 9 10 1 2 3 4 5 6 7 8 9 10 1 2 3 4 5 6 7 "
                          "8 9 10 1 2 3 4 5 6 7 8 9 10 1 2 3 4 5 6 7 8 9 10 1 2 3 4 5 6 7 8 9 "
                          "10 1 2 3 4 5 6 7 8 9 10 1 2 3 4 5 6 7 8 9 10 1 2 3 4 5 6 7 8 9 10 1 "
                          "2 3 4 5 6 7 8 9 10; do\n"
                          "      n=$((n+1)); printf 'L %d: Player %d connected, address "
                          "\"127.0.0.1:27005\"\\r\\n' $n $j\n"
                          "    done\n"
                          "  done\n"
                          "  sleep 0.1\n"
                          "done\n");
        script("flood.sh",
               "exec awk 'BEGIN { for (n = 1; ; n++) {\n"
               "  printf \"L %d: Player %d connected, address \\\"127.0.0.1:27005\\\"\\r\\n\", "
               "n, n % 32\n"
               "  if (n % 5000 == 0) { fflush(); system(\"sleep 0.1\") } } }'\n");
        script("quiet.sh", "printf 'Console initialized.\\r\\n'\nwhile :; do sleep 1; done\n");
    }
    QString host(const QString& name) const { return dir_.path() + "/drive_c/" + name; }

  private:
    void script(const char* name, const QByteArray& body) {
        QFile f(host(QString::fromLatin1(name)));
        if (!f.open(QIODevice::WriteOnly) || f.write("#!/usr/bin/env bash\n" + body) < 0) {
            std::fprintf(stderr, "cannot write %s\n", name);
            std::exit(1);
        }
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }
    QTemporaryDir dir_;
};

Prefix* prefix = nullptr;

// Starts c:\<name> the way Start does: the batch file, output into vorn.log.
plat::Process startServer(const char* name) {
    plat::replaceFile("c:\\vorn.bat", std::string("c:\\") + name + "\r\n");
    plat::Process p;
    const plat::Status s = plat::startHidden("c:\\vorn.bat > c:\\vorn.log", p);
    if (!s.ok()) {
        std::fprintf(stderr, "%s\n", s.error.c_str());
        std::exit(1);
    }
    // Until it has written something.
    for (int waited = 0; waited < 5000 && QFileInfo(prefix->host("vorn.log")).size() == 0;
         waited += 5)
        plat::sleepMilliseconds(5);
    return p;
}

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_FollowBusyOutput(benchmark::State& state) {
    const char* name = state.range(0) ? "flood.sh" : "busy.sh";
    QuietSeam seam;
    vorn::ServerWindow window(seam, vorn::ServerHost{});
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        window.follow(startServer(name), QStringLiteral("c:\\") + QString::fromLatin1(name),
                      QStringLiteral("c:\\vorn.log"));
        const double cpu0 = cpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        QEventLoop loop;
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        cpu += cpuSeconds() - cpu0;
        if (!window.serverRunning() ||
            window.findChild<QPlainTextEdit*>(QStringLiteral("txtServerOutput"))->blockCount() <
                1000)
            state.SkipWithError("the output was not followed");
        state.PauseTiming();
        window.stopServer();
        state.ResumeTiming();
    }
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
    state.counters["log_MB"] = QFileInfo(prefix->host("vorn.log")).size() / 1e6;
    state.SetLabel(name);
}

void BM_Stop(benchmark::State& state) {
    const char* name = state.range(0) ? "busy.sh" : "quiet.sh";
    for (auto _ : state) {
        state.PauseTiming();
        plat::Process p = startServer(name);
        state.ResumeTiming();
        p.kill();
        state.PauseTiming();
        if (p.running())
            state.SkipWithError("the server still runs");
        state.ResumeTiming();
    }
    state.SetLabel(name);
}

BENCHMARK(BM_FollowBusyOutput)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_Stop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Prefix p;
    prefix = &p;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
