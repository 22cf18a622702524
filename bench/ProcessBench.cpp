// The application as a process: idle CPU of qozel-config with no device and
// of the demo with its installation, and
// its start-up time and peak memory against a bare Qt window program built
// the same way, all measured in this run on Qt's offscreen platform.
// Prints idle_cpu_percent=, idle_cpu_percent_demo=, startup_vs_bare_qt=,
// startup_ms=, startup_bare_ms=, rss_minus_bare_mb=.
#include "BenchTiming.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

pid_t Spawn(const char* path)
{
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // Qt's warnings (no device access, offscreen fonts) are not part of the figures.
        std::freopen("/dev/null", "w", stderr);
        std::freopen("/dev/null", "w", stdout);
        execl(path, path, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// utime + stime of a live process, in clock ticks; -1 when unreadable.
long CpuTicks(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long utime = 0, stime = 0;
    // Fields after the name start at 3 (state); utime is 14, stime 15.
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            utime = std::stol(field);
        if (i == 15)
            stime = std::stol(field);
    }
    return utime + stime;
}

struct Run {
    double wallMs = 0;
    long maxRssKb = 0;
    bool ok = false;
};

Run TimeToExit(const char* path)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = Spawn(path);
    int status = 0;
    rusage usage{};
    Run run;
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
        run.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        run.maxRssKb = usage.ru_maxrss;
        run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return run;
}

void Startup()
{
    constexpr int kRuns = 9;
    std::vector<double> app, bare, appRss, bareRss;
    // One unmeasured run of each warms the page cache.
    TimeToExit(QOZEL_STARTUP_PROBE);
    TimeToExit(QOZEL_BARE_PROGRAM);
    for (int i = 0; i < kRuns; ++i) {
        const Run a = TimeToExit(QOZEL_STARTUP_PROBE);
        const Run b = TimeToExit(QOZEL_BARE_PROGRAM);
        if (!a.ok || !b.ok) {
            std::printf("startup_vs_bare_qt=n/a\nrss_minus_bare_mb=n/a\n");
            return;
        }
        app.push_back(a.wallMs);
        bare.push_back(b.wallMs);
        appRss.push_back(static_cast<double>(a.maxRssKb));
        bareRss.push_back(static_cast<double>(b.maxRssKb));
    }
    std::printf("startup_ms=%.1f\n", Median(app));
    std::printf("startup_bare_ms=%.1f\n", Median(bare));
    std::printf("startup_vs_bare_qt=%.2f\n", Median(app) / Median(bare));
    std::printf("rss_mb=%.1f\n", Median(appRss) / 1024);
    std::printf("rss_bare_mb=%.1f\n", Median(bareRss) / 1024);
    std::printf("rss_minus_bare_mb=%.1f\n", (Median(appRss) - Median(bareRss)) / 1024);
}

// CPU seconds per wall second of `program` left alone for `seconds`,
// printed as `name`.
void IdleCpu(const char* name, const char* program, int seconds)
{
    const pid_t pid = Spawn(program);
    if (pid <= 0) {
        std::printf("%s=n/a\n", name);
        return;
    }
    // Start-up is not idle time: the count starts once the window is up.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const long startTicks = CpuTicks(pid);
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const long endTicks = CpuTicks(pid);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    if (startTicks < 0 || endTicks < 0) {
        std::printf("%s=n/a\n", name);
        return;
    }
    const double cpu = static_cast<double>(endTicks - startTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
    std::printf("%s=%.2f\n", name, 100.0 * cpu / wall);
}

} // namespace

int main(int argc, char** argv)
{
    int seconds = 30;
    if (argc > 1)
        seconds = std::max(1, std::atoi(argv[1]));
    Startup();
    IdleCpu("idle_cpu_percent", QOZEL_CONFIG_PROGRAM, seconds);
#ifdef QOZEL_DEMO_PROGRAM
    // The demo with its whole installation present: a Manager pass every tick.
    IdleCpu("idle_cpu_percent_demo", QOZEL_DEMO_PROGRAM, seconds);
#else
    std::printf("idle_cpu_percent_demo=n/a\n");
#endif
    return 0;
}
