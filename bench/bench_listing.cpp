// How much the batch-file route costs for a directory listing, driven
// exactly as the window drives it (Vorn::runListing): the old listing is
// deleted, `dir "<dir>\*.bsp" /b > <listing>` is written into the batch
// file with writeBatchFile (the window's own writer), the quoted batch file
// is started hidden, waited for, and the listing is found and read.
// Compared with reading the directory directly through std::filesystem
// (matching and sorting the names as the listing does).
//
// BM_WriteGameFile and BM_WriteScratchFile show what one small file costs
// written as a game file (flushed to the disk) and as a scratch file.
//
// Runs on the POSIX backend with vorn-cmd in a throw-away Wine-style
// prefix. By default 5 repetitions each, interleaved at random so that a
// noisy moment of the machine hits both sides alike; the table at the end
// gives the medians and their ratio (also with
// --benchmark_report_aggregates_only=true).
#include "batchline.h"
#include "platform.h"

#include <benchmark/benchmark.h>

#include "recorder.h"

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
    std::string quotedBatch, quotedPattern, quotedListing;
    for (const Status& s : {quoteBatchArgument(batch, quotedBatch),
                            quoteBatchArgument(dir + "\\*.bsp", quotedPattern),
                            quoteBatchArgument(listing, quotedListing)})
        if (!s.ok()) {
            state.SkipWithError(s.error.c_str());
            return;
        }
    const std::string command = "dir " + quotedPattern + " /b > " + quotedListing;
    std::size_t listed = 0;
    for (auto _ : state) {
        if (storedName(listing) == "vorn.log" && !deleteFile(listing)) {
            state.SkipWithError("cannot delete the old listing");
            return;
        }
        if (const Status s = writeBatchFile(batch, command); !s) {
            state.SkipWithError(s.error.c_str());
            return;
        }
        Process p;
        if (const Status s = startHidden(quotedBatch, p); !s) {
            state.SkipWithError(s.error.c_str());
            return;
        }
        if (p.wait(60000) != Process::Wait::Finished) {
            p.kill();
            state.SkipWithError("the listing did not finish in time");
            return;
        }
        std::string bytes;
        if (storedName(listing) != "vorn.log" || !readFile(listing, bytes)) {
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

// One small file written as a game file and as a scratch file.
void writeSmallFile(benchmark::State& state,
                    Status (*write)(const std::string&, const std::string&)) {
    prefix();
    for (auto _ : state) {
        if (!write("c:\\bench\\small.cfg", "dir \"c:\\bench\\n10\\*.bsp\" /b\r\n")) {
            state.SkipWithError("cannot write the file");
            return;
        }
    }
}

void BM_WriteGameFile(benchmark::State& state) {
    writeSmallFile(state, replaceFile);
}

void BM_WriteScratchFile(benchmark::State& state) {
    writeSmallFile(state, writeScratchFile);
}

BENCHMARK(BM_WriteGameFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteScratchFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BatchFileRoute)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Direct)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

using vorn::bench::Recorder;

} // namespace

int main(int argc, char** argv) {
    // Defaults first, so that the command line overrides them.
    std::vector<char*> args = {argv[0]};
    std::string reps = "--benchmark_repetitions=5";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.push_back(reps.data());
    args.push_back(interleave.data());
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    std::printf("\n%8s  %16s  %12s  %8s   (medians)\n", "files", "batch route ms", "direct ms",
                "ratio");
    std::string figures;
    for (int n : kSizes) {
        const auto batch =
            recorder.millis.find("BM_BatchFileRoute/" + std::to_string(n) + "/real_time");
        const auto direct = recorder.millis.find("BM_Direct/" + std::to_string(n) + "/real_time");
        if (batch == recorder.millis.end() || direct == recorder.millis.end())
            continue;
        std::printf("%8d  %16.3f  %12.3f  %7.2fx\n", n, batch->second, direct->second,
                    batch->second / direct->second);
        figures += "FIGURE listing" + std::to_string(n) + " " + std::to_string(batch->second) +
                   " " + std::to_string(direct->second) + "\n";
    }
    // The same, one figure a line, for scripts.
    std::fputs(figures.c_str(), stdout);
    benchmark::Shutdown();
    return 0;
}
