// SDL is a library of its own that only an sdl run loads: a headless run
// maps no SDL library at all, and a program without a usable SDL library
// beside it runs headless.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "run_util.h"

namespace {

TEST(SdlLoad, HeadlessRunMapsNoSdlLibrary) {
    std::string dir = run_FreshDataDir("nosdlmap");
    ASSERT_FALSE(dir.empty());
    // The dynamic loader reports every library it maps, dlopen's included.
    RunResult r = run_Program("krx", {}, dir, {"KRX_MAXTICKS=10", "LD_DEBUG=libs"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find(" frame steps\n"), std::string::npos) << r.err;
    ASSERT_NE(r.err.find("libc.so"), std::string::npos) << "the loader's report is missing";
    EXPECT_EQ(r.err.find("libSDL"), std::string::npos);
    EXPECT_EQ(r.err.find("libkrx_sdl"), std::string::npos);
    std::filesystem::remove_all(dir);
}

// The program alone in a folder, with `library` beside it as the SDL
// library (none when empty).
TEST(SdlLoad, WithoutAUsableSdlLibraryRunsHeadless) {
    struct Case {
        const char* library;
        const char* why;
    } cases[] = {
        {"", "no such file"},
        {"libhw_broken.so", "does not fit"},  // a library, but not the SDL side
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.library);
        std::string bin = "/tmp/krx_nosdl_bin_" + std::to_string(getpid());
        std::filesystem::remove_all(bin);
        ASSERT_TRUE(std::filesystem::create_directory(bin));
        std::string own = std::string(KRX_BIN_DIR) + "/krx";
        if (link(own.c_str(), (bin + "/krx").c_str()) != 0)
            std::filesystem::copy_file(own, bin + "/krx");
        if (*c.library)
            std::filesystem::copy_file(std::string(KRX_BIN_DIR) + "/" + c.library, bin + "/libkrx_sdl.so");
        std::string dir = run_FreshDataDir("nosdl");
        ASSERT_FALSE(dir.empty());
        RunResult r = run_Program(bin + "/krx", {}, dir, {"KRX_PLATFORM=sdl", "KRX_MAXTICKS=10"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.err.find("krx: the SDL platform cannot be loaded"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.why), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(" frame steps\n"), std::string::npos) << r.err;
        std::filesystem::remove_all(dir);
        std::filesystem::remove_all(bin);
    }
}

}  // namespace
