// The update program run headless on copies of the sample data set.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "run_util.h"
#include "update/wiz_ui.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const std::string& path) {
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    if (!f) return std::string();
    std::string text((size_t)f.tellg(), '\0');
    f.seekg(0);
    f.read(text.data(), (std::streamsize)text.size());
    return text;
}

std::map<std::string, std::string> Snapshot(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) files[e.path().string()] = ReadText(e.path().string());
    return files;
}

int64_t MTime(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (int64_t)st.st_mtime : -1;
}

bool Exists(const std::string& path) { return fs::exists(path); }

struct UpdateRun : public ::testing::Test {
    std::string dir;
    void SetUp() override {
        dir = run_FreshDataDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override {
        if (!dir.empty()) fs::remove_all(dir);
    }
    RunResult Run(const std::vector<std::string>& env = {}) {
        // As the game starts it; only "/DIR=" is read.
        return run_Program("update", {"12345", "/FORCE", "/LOG", "/WIZ:KRX.WIZ", "/DIR=" + dir}, "/tmp", env);
    }
};

TEST_F(UpdateRun, InstallsTheUpdate) {
    RunResult r = Run();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("dialog: LICENSE:"), std::string::npos);
    EXPECT_NE(r.err.find("status: Examining resource file. (UPDATED.PFF)"), std::string::npos);
    EXPECT_NE(r.err.find("status: Processing resource file 1 of 1."), std::string::npos);
    EXPECT_NE(r.err.find("status: All done."), std::string::npos);
    EXPECT_EQ(r.err.find("box:"), std::string::npos) << r.err;
    // COPY: expanded and stamped; a file that was not compressed only stamped.
    EXPECT_EQ(ReadText(dir + "/KRXNEWS.TXT"),
              "News of the update: news news news, the same words again and again, news news news.\r\n");
    EXPECT_EQ(MTime(dir + "/KRXNEWS.TXT"), 946684800);
    EXPECT_EQ(ReadText(dir + "/KRXHELP.TXT"), "Help text installed as it stands.\r\n");
    EXPECT_EQ(MTime(dir + "/KRXHELP.TXT"), 978307200);
    // REMOVE.
    EXPECT_FALSE(Exists(dir + "/KRXOLD.TXT"));
    // EXECUTE put KRXNOTE.TXT into the archive; the resource file went in
    // expanded and was deleted.
    std::string pff = ReadText(dir + "/UPDATED.PFF");
    EXPECT_NE(pff.find("KRXNOTE.TXT"), std::string::npos);
    EXPECT_NE(pff.find("A note the update's command puts into UPDATED.PFF."), std::string::npos);
    EXPECT_NE(pff.find("UPDMSG.TXT"), std::string::npos);
    EXPECT_NE(pff.find("The updated member of UPDATED.PFF.\r\n"), std::string::npos);
    EXPECT_FALSE(Exists(dir + "/UPDMSG.TXT"));
    // update.dmp's entries deleted at clean-up; nothing of the run is left.
    EXPECT_FALSE(Exists(dir + "/KRXUPD.SRC"));
    EXPECT_FALSE(Exists(dir + "/KRXUPD.TXT"));
    for (const auto& e : fs::directory_iterator(dir)) {
        std::string name = e.path().filename().string();
        EXPECT_TRUE(name.rfind("WIZ", 0) != 0 && name.rfind("!tmpexec", 0) != 0 && name != "update.lst" &&
                    name != "update.dmp")
            << name;
    }
    EXPECT_TRUE(Exists(dir + "/KRX.PFF"));
}

TEST_F(UpdateRun, WorksInItsCurrentFolderWithoutDir) {
    RunResult r = run_Program("update", {}, dir, {});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("status: All done."), std::string::npos);
    EXPECT_FALSE(Exists(dir + "/KRXOLD.TXT"));
}

TEST_F(UpdateRun, FailedExpansionIsNeitherEncodedNorDeleted) {
    std::string damaged = ReadText(dir + "/UPDMSG.TXT");
    damaged.resize(damaged.size() - 4);
    {
        std::ofstream f(dir + "/UPDMSG.TXT", std::ios::binary);
        f << damaged;
    }
    RunResult r = Run();
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_NE(r.err.find("An error occured during decompression of file (UPDMSG.TXT). Skipping."), std::string::npos);
    EXPECT_EQ(ReadText(dir + "/UPDMSG.TXT"), damaged);
    EXPECT_EQ(ReadText(dir + "/UPDATED.PFF").find("UPDMSG.TXT"), std::string::npos);
    // The rest of the update still happened.
    EXPECT_NE(r.err.find("status: All done."), std::string::npos);
    EXPECT_FALSE(Exists(dir + "/KRXOLD.TXT"));
}

TEST_F(UpdateRun, AbortsBeforeAnyChange) {
    struct Case {
        const char* remove;
        const char* box;
    } cases[] = {
        {"krxres", "Resource Utility (krxres) could not be located. Aborting."},
        {"KRXUPD.CFG", "Configuration file (KRXUPD.CFG) could not be located. Aborting."},
        {"KRX.WIZ", "Configuration file (.WIZ) could not be located. Aborting."},
        {"UPDATED.PFF", "Resource file (UPDATED.PFF) could not be located. Aborting."},
    };
    for (const Case& c : cases) {
        std::string copy = dir + "_" + c.remove;
        fs::remove_all(copy);
        fs::copy(dir, copy, fs::copy_options::recursive);
        fs::remove(copy + "/" + c.remove);
        auto before = Snapshot(copy);
        RunResult r = run_Program("update", {"/DIR=" + copy}, "/tmp", {});
        EXPECT_EQ(r.exitCode, 1) << c.remove << r.err;
        EXPECT_NE(r.err.find(std::string("box: Tarvesk Local File Update Wizard v1.0.05: ") + c.box), std::string::npos)
            << r.err;
        EXPECT_EQ(r.err.find("status: Decompressing"), std::string::npos);
        EXPECT_TRUE(Snapshot(copy) == before) << c.remove;
        fs::remove_all(copy);
    }
}

TEST_F(UpdateRun, TheFirstWizFileByNameIsRead) {
    {
        std::ofstream f(dir + "/a.Wiz", std::ios::binary);
        f << "[HEADER]\r\nCMD=OTHER.CFG\r\n";
    }
    RunResult r = Run();
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("Configuration file (OTHER.CFG) could not be located. Aborting."), std::string::npos);
}

TEST_F(UpdateRun, CancelledAgreementChangesNothing) {
    std::string script = dir + ".script";
    {
        std::ofstream f(script);
        f << "0 dialog 2\n";
    }
    auto before = Snapshot(dir);
    RunResult r = Run({"KRX_SCRIPT=" + script});
    fs::remove(script);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("dialog: LICENSE:"), std::string::npos);
    EXPECT_EQ(r.err.find("status:"), std::string::npos);
    EXPECT_TRUE(Snapshot(dir) == before);
}

TEST_F(UpdateRun, CancelButtonAsksFirst) {
    struct Case {
        const char* answer;  // to "Are you sure you want to cancel?"
        bool done;
    } cases[] = {{"6", false}, {"7", true}};
    for (const Case& c : cases) {
        std::string copy = dir + "_cancel" + c.answer;
        fs::remove_all(copy);
        fs::copy(dir, copy, fs::copy_options::recursive);
        std::string script = copy + ".script";
        {
            std::ofstream f(script);
            int32_t x = 0, y = 0;
            ASSERT_EQ(wizui_ControlCentre(WIZ_ID_CANCEL_BUTTON, &x, &y), 0);
            f << "0 lbutton click " << x << " " << y << "\n0 box " << c.answer << "\n";
        }
        auto before = Snapshot(copy);
        RunResult r = run_Program("update", {"/DIR=" + copy}, "/tmp", {"KRX_SCRIPT=" + script});
        fs::remove(script);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.err.find("Are you sure you want to cancel?"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("status: All done.") != std::string::npos, c.done) << r.err;
        if (c.done) {
            EXPECT_FALSE(Exists(copy + "/KRXOLD.TXT"));
        } else {
            EXPECT_TRUE(Snapshot(copy) == before);
        }
        fs::remove_all(copy);
    }
}

TEST_F(UpdateRun, BadDirectoryIsReportedAndTheRunGoesOn) {
    RunResult r = run_Program("update", {"/DIR=/nonexistent/folder"}, dir, {});
    EXPECT_NE(r.err.find("Could not set current directory to (/nonexistent/folder)."), std::string::npos);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("status: All done."), std::string::npos);
}

}  // namespace
