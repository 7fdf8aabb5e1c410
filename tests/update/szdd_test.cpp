// SZDD expansion: files of an outside compressor, the builder's own files,
// damaged data, and expansion in place.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "fixtures/workdir.h"
#include "mkdata.h"
#include "platform/files.h"
#include "update/wiz.h"
#include "update/wiz_szdd.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> Text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(Szdd, OutsideCompressorFilesExpandByteForByte) {
    for (const char* name : {"hello.txt", "spaces.txt", "repeat.txt", "wrap.bin"}) {
        std::string base = std::string(KRX_FIXTURE_DIR) + "/szdd/" + name;
        std::vector<uint8_t> packed = ReadFile(base + "_"), plain = ReadFile(base), out;
        ASSERT_FALSE(packed.empty()) << name;
        ASSERT_EQ(szdd_Expand(packed.data(), packed.size(), &out), 0) << name;
        EXPECT_EQ(out, plain) << name;
    }
}

TEST(Szdd, BuilderFilesRoundTrip) {
    std::vector<std::vector<uint8_t>> inputs = {
        {},
        Text("x"),
        Text(std::string(100, ' ') + "blanks first, as the window starts"),
        Text(std::string(5000, 'a')),
    };
    std::vector<uint8_t> noise;
    uint32_t seed = 1;
    for (int i = 0; i < 9000; i++) {
        seed = seed * 1103515245u + 12345u;
        noise.push_back((uint8_t)((seed >> 16) % 7 + 'a'));
    }
    inputs.push_back(noise);
    for (const auto& in : inputs) {
        std::vector<uint8_t> packed = mkdata_SzddBuild(in), out;
        ASSERT_EQ(szdd_Expand(packed.data(), packed.size(), &out), 0) << in.size();
        EXPECT_EQ(out, in);
    }
}

// The builder's files are read by the outside expander too (when installed).
TEST(Szdd, OutsideExpanderReadsBuilderFiles) {
    if (system("command -v msexpand >/dev/null 2>&1") != 0) GTEST_SKIP() << "msexpand is not installed";
    TestWorkDir work;
    ASSERT_TRUE(work.Enter("krx_szdd"));
    std::vector<uint8_t> plain = ReadFile(std::string(KRX_FIXTURE_DIR) + "/szdd/wrap.bin");
    test_WriteFile("in.sz_", mkdata_SzddBuild(plain));
    ASSERT_EQ(system("msexpand < in.sz_ > out.bin 2>/dev/null"), 0);
    EXPECT_EQ(ReadFile("out.bin"), plain);
    work.Leave();
}

TEST(Szdd, DamagedDataFailsCleanly) {
    std::vector<uint8_t> good = mkdata_SzddBuild(Text("Some text, some text, some text to pack."));
    std::vector<uint8_t> out;
    // Every shorter image promises more than it holds.
    for (size_t n = 0; n < good.size(); n++) EXPECT_EQ(szdd_Expand(good.data(), n, &out), -1) << n;
    struct Case {
        size_t at;
        uint8_t value;
    } bad[] = {{0, 'X'}, {4, 0}, {8, 'B'}};
    for (const Case& c : bad) {
        std::vector<uint8_t> img = good;
        img[c.at] = c.value;
        EXPECT_EQ(szdd_Expand(img.data(), img.size(), &out), -1) << c.at;
    }
    // A length far beyond the data.
    std::vector<uint8_t> huge = good;
    huge[13] = 0x7F;
    EXPECT_EQ(szdd_Expand(huge.data(), huge.size(), &out), -1);
    // An empty original: the header alone.
    std::vector<uint8_t> empty = mkdata_SzddBuild({});
    EXPECT_EQ(empty.size(), SZDD_HEADER_SIZE);
    EXPECT_EQ(szdd_Expand(empty.data(), empty.size(), &out), 0);
    EXPECT_TRUE(out.empty());
}

class WizExpand : public ::testing::Test {
protected:
    TestWorkDir work;
    void SetUp() override { ASSERT_TRUE(work.Enter("krx_wizexp")); }
    void TearDown() override { work.Leave(); }
};

TEST_F(WizExpand, InPlaceWholeOrNotAtAll) {
    std::vector<uint8_t> plain = Text("expanded in place\r\n");
    test_WriteFile("A.TXT", mkdata_SzddBuild(plain));
    chmod("A.TXT", 0755);
    EXPECT_EQ(wiz_IsSzdd("a.txt"), 1);
    EXPECT_EQ(wiz_ExpandFile("a.txt"), 1);  // names match without regard to case
    EXPECT_EQ(ReadFile("A.TXT"), plain);
    struct stat st;
    ASSERT_EQ(stat("A.TXT", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);  // a program stays a program
    // Not compressed: counts as expanded and stays as it is.
    EXPECT_EQ(wiz_ExpandFile("A.TXT"), 1);
    EXPECT_EQ(ReadFile("A.TXT"), plain);
    // A missing file is "not compressed" too; an empty name is nothing to do.
    EXPECT_EQ(wiz_ExpandFile("NONE.TXT"), 1);
    EXPECT_EQ(wiz_ExpandFile(""), 1);

    // Truncated data: the file is left as it was and no temporary remains.
    std::vector<uint8_t> packed = mkdata_SzddBuild(Text(std::string(300, 'q') + "tail"));
    packed.resize(packed.size() - 3);
    test_WriteFile("B.TXT", packed);
    EXPECT_EQ(wiz_ExpandFile("B.TXT"), 0);
    EXPECT_EQ(ReadFile("B.TXT"), packed);
    PlatFindData fd;
    EXPECT_EQ(plat_FindFirst("WIZ*", &fd), nullptr);
}

TEST_F(WizExpand, NamesOutsideTheFolderAreRefused) {
    struct Case {
        const char* name;
        int32_t safe;
    } cases[] = {
        {"A.TXT", 1},           {"SUB\\A.TXT", 1},  {"sub/a.txt", 1},  {"..\\A.TXT", 0},  {"../a.txt", 0},
        {"SUB/../../A.TXT", 0}, {"/etc/passwd", 0}, {"\\A.TXT", 0},    {"C:\\A.TXT", 0},  {"", 0},
        {"..A.TXT", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(wiz_NameSafe(c.name), c.safe) << c.name;
    mkdir("inner", 0755);
    std::vector<uint8_t> packed = mkdata_SzddBuild(Text("outside"));
    test_WriteFile("OUT.TXT", packed);
    ASSERT_EQ(chdir("inner"), 0);
    EXPECT_EQ(wiz_ExpandFile("../OUT.TXT"), 0);
    ASSERT_EQ(chdir(".."), 0);
    EXPECT_EQ(ReadFile("OUT.TXT"), packed);
}

}  // namespace
