// A real fault inside the crash guard: a child process faults, the handler
// writes the context dump with the faulting function and the stack named from
// this program's symbol map, saves the settings, and the system still sees
// the fault.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "shell/dump.h"
#include "shell/mainloop.h"
#include "shell/settings.h"

namespace {

// A store through a made-up pointer, kept from the sanitizers' checks so
// that the fault itself is what stops the program.
__attribute__((noinline, no_sanitize("address", "undefined"))) int32_t CrashNow(void) {
    static volatile uintptr_t address = 16;
    *reinterpret_cast<volatile int*>(address) = 1;
    return 0;
}

void SaveSettings(void) { cfg_SettingsWrite(); }

void CrashInChild(const std::string& dir) {
    struct rlimit none = {0, 0};
    setrlimit(RLIMIT_CORE, &none);
    std::filesystem::current_path(dir);
    setenv("KRX_PLATFORM", "headless", 1);
    cfg_SettingsDefaults();
    app_CrashCallbackSet(SaveSettings);
    app_CrashGuardRun(CrashNow);
    std::exit(0);  // not reached
}

std::string Read(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

TEST(CrashRun, AFaultWritesTheContextDumpAndGoesOnToTheSystem) {
    char tmpl[] = "/tmp/krx_crashrun_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    EXPECT_EXIT(CrashInChild(dir), ::testing::KilledBySignal(SIGSEGV),
                "box: KRX: System context dumped to file: \"_SYSDUMP.TXT\"");

    const std::string d = Read(dir + "/_SYSDUMP.TXT");
    EXPECT_EQ(d.rfind("Context dump of\n", 0), 0u) << d;
    EXPECT_NE(d.find("\nRIP: 0x"), std::string::npos) << d;
    EXPECT_NE(d.find("\nEFlags: 0x"), std::string::npos) << d;
    EXPECT_NE(d.find("\nCode bytes at EIP:    "), std::string::npos) << d;
    // The faulting function, and on the stack the guard that called it.
    EXPECT_NE(d.find("Dump Information = \"$"), std::string::npos) << d;
    EXPECT_NE(d.find("CrashNow() (test_run), "), std::string::npos) << d;
    EXPECT_NE(d.find(" app_CrashGuardRun(int_(*)()) (test_run) ("), std::string::npos) << d;
    EXPECT_NE(d.find("\n[MEMMGR]\n"), std::string::npos) << d;
    EXPECT_NE(d.find("Number of memory blocks currently allocated : "), std::string::npos) << d;
    // The crash callback ran before the fault went on.
    EXPECT_TRUE(std::filesystem::exists(dir + "/KRX.INI"));
    std::filesystem::remove_all(dir);
}

}  // namespace
