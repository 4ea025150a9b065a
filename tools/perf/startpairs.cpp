// vorn-start-pairs REPS PRELOAD PROGRAM BASELINE
//
// Times two Qt programs from the outside, as a user meets them: from the
// exec to their first painted frame. Each program is started with
// PRELOAD (libvorn-firstframe.so) in LD_PRELOAD, which ends it once its
// first frame is painted and reports its peak memory. REPS pairs are run,
// the order within each pair drawn at random, so that a busy moment of the
// machine hits both alike. Prints each run, then the medians as
//   FIGURE startup <program ms> <baseline ms>        (wall clock)
//   FIGURE startupcpu <program ms> <baseline ms>     (user + system CPU)
//   FIGURE memory <program MiB> <baseline MiB>       (peak resident set)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double wallMs = 0;
    double cpuMs = 0;
    double peakMiB = 0;
};

double ms(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
}

// One start of `program` up to its first frame; false when it failed.
bool runOnce(const std::string& program, const std::string& preload, Run& run) {
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;
    // The report descriptor is the only one passed on (as 3).
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, report[1], 3);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "LD_PRELOAD=", 11) != 0 &&
            std::strncmp(*e, "VORN_FIRST_FRAME_FD=", 20) != 0)
            env.emplace_back(*e);
    env.push_back("LD_PRELOAD=" + preload);
    env.push_back("VORN_FIRST_FRAME_FD=3");
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string arg0 = program;
    char* argv[] = {arg0.data(), nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(report[1]);
    if (spawned != 0) {
        ::close(report[0]);
        std::fprintf(stderr, "cannot start %s: %s\n", program.c_str(), std::strerror(spawned));
        return false;
    }
    std::string text;
    bool timedOut = false;
    while (text.find('\n') == std::string::npos) {
        pollfd pfd{report[0], POLLIN, 0};
        const int ready = ::poll(&pfd, 1, 60000);
        if (ready == 0) {
            timedOut = true;
            break;
        }
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        char buf[128];
        const ssize_t n = ::read(report[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    const auto framed = std::chrono::steady_clock::now();
    ::close(report[0]);
    if (timedOut)
        ::kill(pid, SIGKILL);
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    long kib = -1;
    if (timedOut || std::sscanf(text.c_str(), "frame %ld", &kib) != 1 || kib <= 0) {
        std::fprintf(stderr, "%s painted no frame%s\n", program.c_str(),
                     timedOut ? " within 60 seconds" : "");
        return false;
    }
    run.wallMs = std::chrono::duration<double, std::milli>(framed - start).count();
    run.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    run.peakMiB = static_cast<double>(kib) / 1024.0;
    return true;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: vorn-start-pairs REPS PRELOAD PROGRAM BASELINE\n");
        return 2;
    }
    const int reps = std::atoi(argv[1]);
    const std::string preload = argv[2];
    const std::string programs[2] = {argv[3], argv[4]};
    std::vector<Run> runs[2];
    std::mt19937 random(std::random_device{}());
    // One start of each first, not counted: the files come into the cache.
    for (const auto& p : programs) {
        Run warm;
        if (!runOnce(p, preload, warm))
            return 1;
    }
    for (int i = 0; i < reps; ++i) {
        const int first = static_cast<int>(random() % 2);
        for (int k : {first, 1 - first}) {
            Run run;
            if (!runOnce(programs[k], preload, run))
                return 1;
            std::printf("%-8s %8.2f ms wall %8.2f ms cpu %7.1f MiB\n",
                        k == 0 ? "program" : "baseline", run.wallMs, run.cpuMs, run.peakMiB);
            runs[k].push_back(run);
        }
    }
    auto med = [&](int k, double Run::*field) {
        std::vector<double> v;
        for (const Run& r : runs[k])
            v.push_back(r.*field);
        return median(v);
    };
    std::printf("FIGURE startup %.3f %.3f\n", med(0, &Run::wallMs), med(1, &Run::wallMs));
    std::printf("FIGURE startupcpu %.3f %.3f\n", med(0, &Run::cpuMs), med(1, &Run::cpuMs));
    std::printf("FIGURE memory %.3f %.3f\n", med(0, &Run::peakMiB), med(1, &Run::peakMiB));
    return 0;
}
