// The resource utility of the data set: its lists and its archive updates.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/mem.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"
#include "mkdata.h"

namespace {

class Krxres : public ::testing::Test {
protected:
    TestWorkDir work;
    void SetUp() override {
        file_StateInit();
        ASSERT_EQ(test_HeapsFresh(0x100000, 0x10000, 0x40000, TEST_HEAP2 | TEST_HEAP1), 0);
        ASSERT_TRUE(work.Enter("krx_krxres"));
    }
    void TearDown() override {
        file_StateInit();
        work.Leave();
    }
    static int Run(const std::string& args) {
        std::string cmd = std::string(KRX_BIN_DIR) + "/krxres " + args + " 2>/dev/null";
        int status = system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::string Member(const char* archive, const char* name) {
        PffRecord* pff = pff_Open(archive);
        if (!pff) return "<no archive>";
        int32_t size = pff_MemberSize(pff, name);
        std::string text = size < 0 ? "<none>" : std::string((size_t)size, '\0');
        if (size > 0) pff_MemberLoadRaw(pff, name, text.data(), text.size());
        pff_Close(pff);
        return text;
    }
};

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST_F(Krxres, EncodeReplacesOrAddsAMember) {
    test_WriteFile("A.PFF", mkdata_PffBuild({{"KEEP.TXT", Bytes("kept, scrambled"), true},
                                             {"NOTE.TXT", Bytes("old note"), false}}));
    test_WriteText("note.txt", "new note");
    test_WriteText("Fresh.dat", "fresh");
    EXPECT_EQ(Run("a.pff note.txt /ENCODE"), 0);
    EXPECT_EQ(Run("A.PFF Fresh.dat /ENCODE"), 0);
    EXPECT_EQ(Member("A.PFF", "NOTE.TXT"), "new note");
    EXPECT_EQ(Member("A.PFF", "FRESH.DAT"), "fresh");
    EXPECT_EQ(Member("A.PFF", "KEEP.TXT"), "kept, scrambled");

    // Refused: the archive stays as it was.
    std::string before = test_ReadText("A.PFF");
    test_WriteText("SIXTEEN_CHARS.TX", "x");
    test_WriteText("BAD.PFF", "not an archive at all");
    struct Case {
        const char* args;
        const char* archive;
    } refused[] = {
        {"A.PFF SIXTEEN_CHARS.TX /ENCODE", "A.PFF"},  // a member name has at most 15 characters
        {"A.PFF MISSING.TXT /ENCODE", "A.PFF"},
        {"BAD.PFF note.txt /ENCODE", "BAD.PFF"},
        {"A.PFF note.txt /UNKNOWN", "A.PFF"},
    };
    for (const Case& c : refused) {
        std::string was = test_ReadText(c.archive);
        EXPECT_EQ(Run(c.args), 1) << c.args;
        EXPECT_EQ(test_ReadText(c.archive), was) << c.args;
    }
    EXPECT_EQ(test_ReadText("A.PFF"), before);
}

TEST_F(Krxres, ListsFromTheSourceList) {
    test_WriteText("U.SRC", "[ADD]\r\nFILE=ONE.TXT,100,1\r\nFILE=TWO.TXT ; second\r\n[DUMP]\r\nENTRY=U.SRC\r\n");
    EXPECT_EQ(Run("A.PFF U.SRC /WORK"), 0);
    EXPECT_EQ(test_ReadText("update.lst"), "[ADD]\r\nFILE=ONE.TXT,100,1\r\nFILE=TWO.TXT \r\n");
    EXPECT_EQ(Run("A.PFF U.SRC /DUMP"), 0);
    EXPECT_EQ(test_ReadText("update.dmp"), "[PFF]\r\nENTRY=U.SRC\r\n");
    EXPECT_EQ(Run("A.PFF NONE.SRC /WORK"), 1);
}

}  // namespace
