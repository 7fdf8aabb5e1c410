// Names matched without regard to case: each folder is read once and its
// listing kept while the folder is unchanged, and files made since, by the
// program or by anyone else, are still found.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fixtures/workdir.h"
#include "platform/files.h"

namespace {

// Sets a folder's modification time an hour back, as a folder that has
// not changed in a while.
void Age(const char* dir) {
    struct timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 3600;
    times[1] = times[0];
    ASSERT_EQ(utimensat(AT_FDCWD, dir, times, 0), 0);
}

class FileListing : public ::testing::Test {
protected:
    TestWorkDir work;
    void SetUp() override {
        ASSERT_TRUE(work.Enter("krx_listing"));
        ASSERT_EQ(mkdir("Data", 0755), 0);
        std::ofstream("Data/Terrain.PCX") << "x";
        Age("Data");
        Age(".");
    }
    void TearDown() override { work.Leave(); }
};

TEST_F(FileListing, AFolderIsReadOnceWhileUnchanged) {
    uint32_t before = plat_FileListingScans();
    EXPECT_TRUE(plat_FileExists("data/terrain.pcx"));
    uint32_t once = plat_FileListingScans();
    EXPECT_GT(once, before);
    for (int i = 0; i < 5; i++) {
        EXPECT_TRUE(plat_FileExists("DATA\\TERRAIN.PCX"));
        EXPECT_FALSE(plat_FileExists("data/missing.pcx"));
    }
    EXPECT_EQ(plat_FileListingScans(), once);
}

TEST_F(FileListing, FilesMadeAfterAReadAreFound) {
    EXPECT_FALSE(plat_FileExists("data/new.bin"));
    // Made by the program: found at once.
    int fd = plat_FileOpen("DATA/New.Bin", PLAT_OPEN_CREATE);
    ASSERT_GE(fd, 0);
    plat_FileClose(fd);
    EXPECT_TRUE(plat_FileExists("data/NEW.BIN"));
    Age("Data");
    EXPECT_FALSE(plat_FileExists("data/other.bin"));
    // Made by someone else, within the same moment: the folder's time moves.
    std::ofstream("Data/Other.Bin") << "y";
    EXPECT_TRUE(plat_FileExists("data/other.bin"));
    Age("Data");
    EXPECT_FALSE(plat_FileExists("data/moved.bin"));
    EXPECT_EQ(plat_FileRename("data/other.bin", "DATA/Moved.Bin"), 0);
    EXPECT_TRUE(plat_FileExists("data/moved.bin"));
    EXPECT_FALSE(plat_FileExists("data/other.bin"));
    EXPECT_EQ(plat_FileDelete("data/moved.bin"), 0);
    EXPECT_FALSE(plat_FileExists("data/moved.bin"));
    // Removed from outside, then made again under another spelling.
    Age("Data");
    EXPECT_TRUE(plat_FileExists("data/terrain.pcx"));
    std::filesystem::remove("Data/Terrain.PCX");
    std::ofstream("Data/TERRAIN.pcx") << "z";
    char real[256];
    EXPECT_EQ(plat_PathResolve("data/terrain.pcx", real, sizeof real), 0);
    EXPECT_STREQ(real, "Data/TERRAIN.pcx");
}

// A listing taken in one folder never answers for another after the
// current folder changes.
TEST_F(FileListing, ListingsFollowTheFolderNotItsName) {
    ASSERT_EQ(mkdir("Other", 0755), 0);
    std::ofstream("Other/Only.Txt") << "o";
    Age("Other");
    Age(".");
    EXPECT_FALSE(plat_FileExists("only.txt"));
    ASSERT_EQ(plat_SetCwd("other"), 0);
    EXPECT_TRUE(plat_FileExists("only.txt"));
    ASSERT_EQ(plat_SetCwd(".."), 0);
}

}  // namespace
