// Start-up time: from starting krx (headless) to its main screen, that is
// until the front end closes the loading window.
#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string DataCopy(void) {
    static std::string dir = [] {
        std::string d = "/tmp/krx_bench_startup_" + std::to_string(getpid());
        std::string cmd = "rm -rf '" + d + "' && cp -r '" KRX_DATA_DIR "' '" + d + "'";
        return system(cmd.c_str()) == 0 ? d : std::string();
    }();
    return dir;
}

// Seconds until "loading: closed" appears on the program's standard error,
// or a negative value when it never does.
double TimeToMainScreen(const std::string& dir) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 2);
        close(fds[0]);
        if (chdir(dir.c_str()) != 0) _exit(126);
        std::string runtime = dir + "/runtime";
        mkdir(runtime.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("KRX_PLATFORM", "headless", 1);
        setenv("KRX_MAXTICKS", "1", 1);
        std::string bin = std::string(KRX_BIN_DIR) + "/krx";
        execl(bin.c_str(), bin.c_str(), (char*)nullptr);
        _exit(127);
    }
    close(fds[1]);
    std::string seen;
    double seconds = -1;
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) {
        seen.append(buf, (size_t)n);
        if (seconds < 0 && seen.find("loading: closed") != std::string::npos)
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return seconds;
}

void BM_StartupToMainScreen(benchmark::State& state) {
    std::string dir = DataCopy();
    if (dir.empty()) {
        state.SkipWithError("no copy of the data set");
        return;
    }
    for (auto _ : state) {
        double s = TimeToMainScreen(dir);
        if (s < 0) {
            state.SkipWithError("krx did not reach its main screen");
            return;
        }
        state.SetIterationTime(s);
    }
}
BENCHMARK(BM_StartupToMainScreen)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
