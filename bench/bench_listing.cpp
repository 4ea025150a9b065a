// How much the batch-file route costs for a directory listing: the window
// writes `dir "<dir>\*.bsp" /b > <listing>` into its batch file, starts the
// batch file hidden, waits for its end and reads the listing. Compared
// here, in the same run, with reading the directory directly through
// std::filesystem (matching and sorting the names as the listing does).
//
// The batch file is written with TextFile (opened for output, as the window
// does); BM_ReplaceBatchFile shows what writing it with replaceFile adds.
//
// Runs on the POSIX backend with vorn-cmd in a throw-away Wine-style
// prefix. Prints a table with both times and their ratio at the end.
#include "platform.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace vorn::platform;

namespace {

const int kSizes[] = {10, 1000, 10000};

struct Prefix {
    std::string root;

    Prefix() {
        std::string tmpl = (fs::temp_directory_path() / "vorn-bench-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        root = tmpl;
        fs::create_directories(root + "/drive_c/bench");
        fs::create_directories(root + "/dosdevices");
        fs::create_directory_symlink("../drive_c", root + "/dosdevices/c:");
        ::setenv("WINEPREFIX", root.c_str(), 1);
        for (int n : kSizes) {
            const std::string dir = root + "/drive_c/bench/n" + std::to_string(n);
            fs::create_directories(dir);
            for (int i = 0; i < n; ++i) {
                char name[32];
                std::snprintf(name, sizeof name, "map%05d.bsp", i);
                std::ofstream(dir + "/" + name) << "BSP";
            }
            // A few others that the pattern must leave out.
            std::ofstream(dir + "/readme.txt") << "x";
            std::ofstream(dir + "/maps.wad") << "x";
        }
    }
    ~Prefix() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

Prefix& prefix() {
    static Prefix p;
    return p;
}

std::size_t countLines(const std::string& bytes) {
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

void BM_BatchFileRoute(benchmark::State& state) {
    prefix();
    const int n = static_cast<int>(state.range(0));
    const std::string dir = "c:\\bench\\n" + std::to_string(n);
    const std::string batch = "c:\\bench\\vorn.bat";
    const std::string listing = "c:\\bench\\vorn.log";
    std::size_t listed = 0;
    for (auto _ : state) {
        TextFile bat;
        if (!bat.open(batch, TextFile::Mode::Output) ||
            !bat.writeLine("dir \"" + dir + "\\*.bsp\" /b > " + listing)) {
            state.SkipWithError("cannot write the batch file");
            return;
        }
        bat.close();
        Process p;
        if (const Status s = startHidden(batch, p); !s) {
            state.SkipWithError(s.error.c_str());
            return;
        }
        if (p.wait(60000) != Process::Wait::Finished) {
            p.kill();
            state.SkipWithError("the listing did not finish in time");
            return;
        }
        std::string bytes;
        if (!readFile(listing, bytes)) {
            state.SkipWithError("no listing");
            return;
        }
        listed = countLines(bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    if (listed != static_cast<std::size_t>(n))
        state.SkipWithError("the listing is incomplete");
    state.counters["files"] = static_cast<double>(listed);
}

void BM_Direct(benchmark::State& state) {
    prefix();
    const int n = static_cast<int>(state.range(0));
    std::string host;
    hostPath("c:\\bench\\n" + std::to_string(n), host);
    std::size_t listed = 0;
    for (auto _ : state) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(host)) {
            std::string name = e.path().filename().string();
            std::string lower = name;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".bsp") == 0 &&
                e.is_regular_file())
                names.push_back(std::move(name));
        }
        std::sort(names.begin(), names.end());
        listed = names.size();
        benchmark::DoNotOptimize(names.data());
    }
    state.counters["files"] = static_cast<double>(listed);
}

// Writing the batch file atomically instead (temporary file, fsync,
// rename) costs this much more per command.
void BM_ReplaceBatchFile(benchmark::State& state) {
    prefix();
    for (auto _ : state) {
        if (!replaceFile("c:\\bench\\vorn.bat",
                         "dir \"c:\\bench\\n10\\*.bsp\" /b > c:\\bench\\vorn.log\r\n")) {
            state.SkipWithError("cannot write the batch file");
            return;
        }
    }
}

BENCHMARK(BM_ReplaceBatchFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BatchFileRoute)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Direct)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Shows the usual console output and keeps each run's time per iteration
// for the table at the end.
class Recorder : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> millis;

    Recorder() : ConsoleReporter(::isatty(1) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration)
                continue;
            const double perIteration = r.GetAdjustedRealTime(); // in r.time_unit
            millis[r.benchmark_name()] =
                perIteration * 1000.0 / benchmark::GetTimeUnitMultiplier(r.time_unit);
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    std::printf("\n%8s  %16s  %12s  %8s\n", "files", "batch route ms", "direct ms", "ratio");
    for (int n : kSizes) {
        const auto batch =
            recorder.millis.find("BM_BatchFileRoute/" + std::to_string(n) + "/real_time");
        const auto direct = recorder.millis.find("BM_Direct/" + std::to_string(n) + "/real_time");
        if (batch == recorder.millis.end() || direct == recorder.millis.end())
            continue;
        std::printf("%8d  %16.3f  %12.3f  %7.1fx\n", n, batch->second, direct->second,
                    batch->second / direct->second);
    }
    benchmark::Shutdown();
    return 0;
}
