#include "run_util.h"

#include "base/bmp.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

RunResult run_Program(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                      const std::vector<std::string>& env) {
    RunResult r;
    char outTmpl[] = "/tmp/krx_run_outXXXXXX";
    char errTmpl[] = "/tmp/krx_run_errXXXXXX";
    int outFd = mkstemp(outTmpl);
    int errFd = mkstemp(errTmpl);
    // Everything the child needs is made before the fork: a test may run
    // programs from two threads, and a child of a threaded process may only
    // make plain system calls until it starts the program.
    static std::atomic<int> serial{0};
    // A runtime folder of its own, so that runs in parallel do not take each
    // other for a running copy (a test may pass its own).
    const std::string runtime =
        "/tmp/krx_run_rt_" + std::to_string(getpid()) + "_" + std::to_string(serial.fetch_add(1));
    mkdir(runtime.c_str(), 0700);
    // The environment with the entries set here, then the test's, each
    // replacing an entry of the same name.
    std::vector<std::string> all;
    auto set = [&all](const std::string& entry) {
        const size_t eq = entry.find('=');
        const size_t n = eq == std::string::npos ? entry.size() : eq + 1;
        for (std::string& v : all)
            if (v.compare(0, n, entry, 0, n) == 0) {
                v = entry;
                return;
            }
        all.push_back(entry);
    };
    for (char** e = environ; *e; e++) all.push_back(*e);
    set("KRX_PLATFORM=headless");
    set("XDG_RUNTIME_DIR=" + runtime);
    for (const std::string& e : env) set(e);
    std::vector<char*> envp;
    for (std::string& v : all) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string bin = program[0] == '/' ? program : std::string(KRX_BIN_DIR) + "/" + program;
    std::vector<std::string> words = {bin};
    words.insert(words.end(), args.begin(), args.end());
    // Launched flights are drawn in software unless the test asks for the
    // card: their pictures are checked in 8 and 16 bits.
    bool launched = false, card = false;
    for (const auto& e : env) {
        launched = launched || e.rfind("KRX_LAUNCH=", 0) == 0;
        card = card || e == kRunCard;
    }
    if (launched && !card && args.empty()) words.push_back("SOFTWARE");
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(outFd, 1);
        dup2(errFd, 2);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        execve(bin.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    close(outFd);
    close(errFd);
    r.out = run_ReadAll(outTmpl);
    r.err = run_ReadAll(errTmpl);
    unlink(outTmpl);
    unlink(errTmpl);
    return r;
}

namespace {
// The run folders of this test program; they go when it ends with every test
// passed (a failure leaves them for a look).
std::vector<std::string>& RunDirs() {
    static std::vector<std::string> dirs;
    return dirs;
}
void RemoveRunDirs() {
    if (!::testing::UnitTest::GetInstance()->Passed() || getenv("KRX_KEEP_RUNS")) return;
    for (const std::string& d : RunDirs()) {
        std::string cmd = "rm -rf '" + d + "'";
        if (system(cmd.c_str()) != 0) fprintf(stderr, "could not remove %s\n", d.c_str());
    }
}
}  // namespace

std::string run_FreshDataDir(const std::string& name, std::string* frames) {
    if (frames) frames->clear();
    std::string dir = std::string("/tmp/krx_run_") + name + "_" + std::to_string(getpid());
    std::string cmd = "rm -rf '" + dir + "' && cp -r '" KRX_DATA_DIR "' '" + dir + "'";
    if (system(cmd.c_str()) != 0) return std::string();
    if (RunDirs().empty()) atexit(RemoveRunDirs);
    RunDirs().push_back(dir);
    if (frames) {
        const std::string dump = dir + "/frames";
        if (mkdir(dump.c_str(), 0755) != 0) return std::string();
        *frames = dump;
    }
    return dir;
}

RunResult run_Krx(const std::string& dir, const std::string& script, int ticks, std::string* log,
                  const std::vector<std::string>& extra) {
    std::vector<std::string> env = {"KRX_MAXTICKS=" + std::to_string(ticks)};
    if (log) env.push_back("KRX_SIMLOG=" + dir + "/sim.log");
    if (!script.empty()) {
        std::ofstream out(dir + "/script.txt", std::ios::binary);
        out << script;
        env.push_back("KRX_SCRIPT=" + dir + "/script.txt");
    }
    env.insert(env.end(), extra.begin(), extra.end());
    RunResult r = run_Program("krx", {}, dir, env);
    if (log) *log = run_ReadAll(dir + "/sim.log");
    return r;
}

RunResult run_SingleFlight(const std::string& dir, const std::string& script, int ticks, std::string* log,
                           const std::vector<std::string>& extra) {
    std::vector<std::string> env = {"KRX_LAUNCH=single"};
    env.insert(env.end(), extra.begin(), extra.end());
    std::string unread;
    return run_Krx(dir, script, ticks, log ? log : &unread, env);
}

std::string run_FlightLog(const std::string& name, const std::string& script, int ticks) {
    const std::string dir = run_FreshDataDir(name);
    EXPECT_FALSE(dir.empty()) << name;
    if (dir.empty()) return "";
    std::string log;
    const RunResult r = run_SingleFlight(dir, script, ticks, &log);
    EXPECT_EQ(r.exitCode, 0) << name << ": " << r.err;
    (void)remove((dir + "/sim.log").c_str());
    return r.exitCode == 0 ? log : "";
}

std::string run_DumpedFlight(const std::string& name, const std::string& script, int ticks, int every, int bits,
                             std::string* log, const std::vector<std::string>& extra) {
    std::string dump;
    const std::string dir = run_FreshDataDir(name, &dump);
    EXPECT_FALSE(dir.empty()) << name;
    if (dir.empty()) return "";
    if (bits != 0 && !run_SetSoftwareDepth(dir, bits)) {
        ADD_FAILURE() << name << ": no settings file for " << bits << " bits";
        return "";
    }
    std::vector<std::string> env = {"KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=" + std::to_string(every)};
    env.insert(env.end(), extra.begin(), extra.end());
    const RunResult r = run_SingleFlight(dir, script, ticks, log, env);
    EXPECT_EQ(r.exitCode, 0) << name << ": " << r.err;
    return r.exitCode == 0 ? dump : "";
}

bool run_HostAndJoin(RunPeer& host, RunPeer& joiner) {
    host.dir = run_FreshDataDir(host.name);
    joiner.dir = run_FreshDataDir(joiner.name);
    if (host.dir.empty() || joiner.dir.empty()) return false;
    auto run = [](RunPeer& peer) {
        std::vector<std::string> env = {"KRX_REALTIME=1"};
        env.insert(env.end(), peer.env.begin(), peer.env.end());
        peer.result = run_Krx(peer.dir, peer.script, peer.ticks, &peer.log, env);
    };
    std::thread hostRun([&] { run(host); });
    run(joiner);
    hostRun.join();
    return true;
}

std::string run_TypeLine(int tick, const std::string& text) {
    std::string out;
    for (char c : text) {
        std::string key = c == ' ' ? "SPACE" : std::string(1, (char)toupper((unsigned char)c));
        out += std::to_string(tick) + " keydown " + key + "\n" + std::to_string(tick) + " char " +
               std::to_string((int)(unsigned char)c) + "\n" + std::to_string(tick) + " keyup " + key + "\n";
    }
    return out;
}

bool run_SetSoftwareDepth(const std::string& dir, int bits) {
    RunResult first = run_Program("krx", {}, dir, {"KRX_MAXTICKS=2"});
    std::string ini = run_ReadAll(dir + "/KRX.INI");
    const std::string key = "BITDEPTH_SOFTWARE 16";
    const size_t at = ini.find(key);
    if (first.exitCode != 0 || at == std::string::npos) return false;
    ini.replace(at, key.size(), "BITDEPTH_SOFTWARE " + std::to_string(bits));
    std::ofstream out(dir + "/KRX.INI", std::ios::binary);
    out << ini;
    return (bool)out;
}

std::string run_ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

long run_LogTick(const std::string& log, const std::string& what) {
    size_t at = log.find(what);
    if (at == std::string::npos) return -1;
    size_t line = log.rfind('\n', at);
    line = line == std::string::npos ? 0 : line + 1;
    return strtol(log.c_str() + line, nullptr, 10);
}

_EIMAGE2* run_LoadFrame(const std::string& dump, long tick) {
    char name[32];
    snprintf(name, sizeof name, "/frame%05ld.bmp", tick);
    return img_LoadBmp((dump + name).c_str());
}

uint32_t run_PixelAt(const _EIMAGE2* img, int32_t x, int32_t y) {
    const uint8_t* p = img->rows[y] + x * 3;
    return (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
}

RunRgb run_Rgb(const _EIMAGE2* img, int32_t x, int32_t y) {
    const uint32_t p = run_PixelAt(img, x, y);
    return {(int)(p >> 16 & 0xFF), (int)(p >> 8 & 0xFF), (int)(p & 0xFF)};
}

int32_t run_AircraftPixels(const _EIMAGE2* follow) {
    const RunRgb ground = run_Rgb(follow, 100, 400);
    return run_Count(follow, 290, 230, 350, 300, [ground](RunRgb c) {
        return std::abs(c.r - ground.r) + std::abs(c.g - ground.g) + std::abs(c.b - ground.b) > 60;
    });
}

int32_t run_CountInFile(const std::string& file, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                        bool (*test)(RunRgb)) {
    _EIMAGE2* img = img_LoadBmp(file.c_str());
    if (!img) return -1;
    const int32_t n = run_Count(img, x0, y0, x1, y1, test);
    img_Free(img);
    return n;
}
