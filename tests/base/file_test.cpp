// File layer and PFF archives: round trips with the builder's writer, the
// search orders, the scramble, the current file and damaged archives.
#include <cstring>
#include <functional>

#include "base/le.h"
#include "file_fixture.h"
#include "mkdata.h"

namespace {

class File : public FileEnv {
protected:
    PffRecord* Mount(const std::string& name, const std::vector<MkPffMember>& members) {
        Write(name, mkdata_PffBuild(members));
        PffRecord* pff = pff_Open(name.c_str());
        EXPECT_NE(pff, nullptr);
        if (pff) {
            EXPECT_GE(file_PffSlotAdd(pff), 0);
        }
        return pff;
    }
    // The whole file through file_LoadFileEx, or "<null>".
    std::string Load(const char* path) {
        void* p = file_LoadFileEx(path);
        if (!p) return "<null>";
        std::string s(static_cast<char*>(p), static_cast<size_t>(file_State.lastSize));
        mem_Free(p);
        return s;
    }
    static const char* TagOf(const void* data) {
        return reinterpret_cast<const MemBlock*>(static_cast<const uint8_t*>(data) - MEM_BLOCK_HEADER)->tag;
    }
};

TEST_F(File, ArchiveRoundTripWithScrambledAndEmptyMembers) {
    std::string big(5000, 0);
    for (size_t i = 0; i < big.size(); i++) big[i] = static_cast<char>(i * 7 + 3);
    Mount("A.PFF", {{"PLAIN.TXT", Bytes("hello archive"), false},
                    {"SECRET.BIN", Bytes(big), true},
                    {"EMPTY.DAT", {}, true}});
    EXPECT_EQ(Load("PLAIN.TXT"), "hello archive");
    EXPECT_EQ(Load("SECRET.BIN"), big);

    void* empty = file_LoadFileEx("EMPTY.DAT");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(file_State.lastSize, 0);
    EXPECT_STREQ(TagOf(empty), "PFF LOADED FILE");
    mem_Free(empty);

    // The stored bytes of a scrambled member differ from the plain ones.
    std::string raw = ReadText("A.PFF");
    EXPECT_EQ(raw.find(big.substr(0, 64)), std::string::npos);
    EXPECT_NE(raw.find("hello archive"), std::string::npos);
}

TEST_F(File, ScrambleFollowsTheRotatingKeyFromAnyStart) {
    std::vector<uint8_t> plain(100);
    for (size_t i = 0; i < plain.size(); i++) plain[i] = static_cast<uint8_t>(i);
    // The key stream: rotate left by 7, then XOR the low byte.
    std::vector<uint8_t> expect = plain;
    uint32_t key = 0x6B3D91F4;
    for (auto& b : expect) {
        key = (key << 7) | (key >> 25);
        b ^= static_cast<uint8_t>(key);
    }
    EXPECT_EQ(expect[0], 0x35); // rol(0x6B3D91F4, 7) = 0x9EC8FA35
    for (uint32_t start : {0u, 1u, 31u, 32u, 45u}) {
        std::vector<uint8_t> part(plain.begin() + start, plain.end());
        pff_Scramble(part.data(), static_cast<uint32_t>(part.size()), start);
        EXPECT_TRUE(std::equal(part.begin(), part.end(), expect.begin() + start)) << "start " << start;
        pff_Scramble(part.data(), static_cast<uint32_t>(part.size()), start);
        EXPECT_TRUE(std::equal(part.begin(), part.end(), plain.begin() + start)) << "start " << start;
    }
}

// Which copy a lookup finds, for each setting of the disk-first flag.
TEST_F(File, SearchOrder) {
    struct Case {
        int diskFirst;
        bool mount;
        bool loose;
        bool member;
        const char* expect;
    } cases[] = {
        {1, true, true, true, "disk"},      // a loose file overrides the member
        {1, true, false, true, "member"},
        {1, true, true, false, "disk"},
        {0, true, true, true, "member"},    // archives only while any is mounted
        {0, true, true, false, "<null>"},
        {0, false, true, false, "disk"},    // no archive: the disk
        {0, false, false, false, "<null>"},
    };
    for (const Case& c : cases) {
        file_StateInit();
        std::filesystem::remove("DATA.TXT");
        if (c.loose) WriteText("DATA.TXT", "disk");
        if (c.mount) {
            std::vector<MkPffMember> m = {{"OTHER.TXT", Bytes("x"), false}};
            if (c.member) m.push_back({"DATA.TXT", Bytes("member"), false});
            Mount("A.PFF", m);
        }
        file_DiskFirstSet(c.diskFirst);
        std::string what = std::string("diskFirst ") + std::to_string(c.diskFirst) + " mount " +
                           std::to_string(c.mount) + " loose " + std::to_string(c.loose) + " member " +
                           std::to_string(c.member);
        EXPECT_EQ(Load("DATA.TXT"), c.expect) << what;
        bool found = strcmp(c.expect, "<null>") != 0;
        EXPECT_EQ(file_Exists("DATA.TXT"), found ? 1 : 0) << what;
        EXPECT_EQ(file_FileSizeEx("DATA.TXT"), found ? static_cast<int32_t>(strlen(c.expect)) : -1) << what;
    }
}

TEST_F(File, LowerSlotWinsAndNamesMatchWithoutCaseButWhole) {
    Mount("ONE.PFF", {{"Shared.Txt", Bytes("first"), false}});
    Mount("TWO.PFF", {{"SHARED.TXT", Bytes("second"), false}, {"ONLYTWO.TXT", Bytes("two"), true}});
    EXPECT_EQ(Load("shared.txt"), "first");
    EXPECT_EQ(Load("ONLYTWO.TXT"), "two");
    // A name with directories never matches a member.
    EXPECT_EQ(Load("SUB\\ONLYTWO.TXT"), "<null>");
    EXPECT_EQ(file_State.slotCount, 2);
}

TEST_F(File, SixteenSlotsAtMost) {
    Write("A.PFF", mkdata_PffBuild({{"X", Bytes("x"), false}}));
    for (int i = 0; i < FILE_PFF_SLOTS; i++) {
        PffRecord* pff = pff_Open("A.PFF");
        ASSERT_NE(pff, nullptr);
        EXPECT_EQ(file_PffSlotAdd(pff), i);
    }
    PffRecord* extra = pff_Open("A.PFF");
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(file_PffSlotAdd(extra), -1);
    EXPECT_EQ(file_State.slotCount, FILE_PFF_SLOTS);
    pff_Close(extra);
}

TEST_F(File, CurrentMemberReadSeekAndClose) {
    std::string text = "0123456789abcdefghijklmnopqrstuvwxyz";
    Mount("A.PFF", {{"FIRST", Bytes("AAAA"), false}, {"SCR", Bytes(text), true}, {"LAST", Bytes("ZZZZ"), false}});
    ASSERT_EQ(file_OpenEx("scr"), 1);
    EXPECT_EQ(file_State.memberSelected, 1);
    char buf[64] = {};
    EXPECT_EQ(file_Read(buf, 10), 10);
    EXPECT_EQ(std::string(buf, 10), "0123456789"); // unscrambled on the way in
    EXPECT_EQ(file_Seek(5, 1), 15);
    EXPECT_EQ(file_Read(buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "fgh");
    EXPECT_EQ(file_Seek(0, 2), static_cast<int32_t>(text.size()));
    EXPECT_EQ(file_Seek(-4, 2), static_cast<int32_t>(text.size()) - 4);
    // A read stops at the member's end instead of running into the next one.
    EXPECT_EQ(file_Read(buf, 60), 4);
    EXPECT_EQ(std::string(buf, 4), "wxyz");
    EXPECT_EQ(file_Read(buf, 60), 0);
    EXPECT_EQ(file_Seek(-1, 0), -1);
    EXPECT_EQ(file_Seek(1, 2), -1);
    file_Close();
    // The archive is still usable after closing a member.
    EXPECT_EQ(Load("LAST"), "ZZZZ");
    ASSERT_EQ(file_OpenEx("FIRST"), 1);
    EXPECT_EQ(file_Read(buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "AAAA");
}

TEST_F(File, DiskFileThroughOpenEx) {
    WriteText("LOOSE.TXT", "loose file data");
    file_DiskFirstSet(1);
    int32_t h = file_OpenEx("loose.txt");
    ASSERT_GE(h, 0);
    EXPECT_EQ(file_State.memberSelected, 0);
    EXPECT_EQ(file_Seek(0, 2), 15);
    EXPECT_EQ(file_Seek(6, 0), 6);
    char buf[8] = {};
    EXPECT_EQ(file_Read(buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "file");
    file_Close();
    EXPECT_EQ(file_State.currentHandle, -1);
    void* block = file_LoadFileEx("LOOSE.TXT");
    ASSERT_NE(block, nullptr);
    EXPECT_STREQ(TagOf(block), "LOADED FILE");
    mem_Free(block);
}

TEST_F(File, RawLoaderMeasuresWithoutBufferAndRefusesASmallOne) {
    Mount("A.PFF", {{"M", Bytes("member!"), true}});
    file_DiskFirstSet(1);
    WriteText("D.TXT", "disk data");
    EXPECT_EQ(file_RawLoaderEx("M", nullptr, 0), 7);
    EXPECT_EQ(file_RawLoaderEx("D.TXT", nullptr, 0), 9);
    char buf[16] = {};
    EXPECT_EQ(file_RawLoaderEx("M", buf, sizeof buf), 7);
    EXPECT_STREQ(buf, "member!");
    EXPECT_EQ(file_RawLoaderEx("D.TXT", buf, sizeof buf), 9);
    EXPECT_EQ(std::string(buf, 9), "disk data");
    char small[4];
    EXPECT_EQ(file_RawLoaderEx("M", small, sizeof small), -1);
    EXPECT_EQ(file_RawLoaderEx("D.TXT", small, sizeof small), -1);
    EXPECT_EQ(file_LoadRaw("D.TXT", small, sizeof small), -1);
}

TEST_F(File, MissingFileBoxNamesTheOperation) {
    struct Case {
        const char* title;
        bool (*call)();
    } cases[] = {
        {"file_OpenEx", [] { return file_OpenEx("NOPE.BIN") == -1; }},
        {"file_FileSizeEx", [] { return file_FileSizeEx("NOPE.BIN") == -1; }},
        {"file_LoadFileEx", [] { return file_LoadFileEx("NOPE.BIN") == nullptr; }},
        {"file_RawLoaderEx", [] { return file_RawLoaderEx("NOPE.BIN", nullptr, 0) == -1; }},
    };
    for (const Case& c : cases) {
        file_ReportSet(1);
        testing::internal::CaptureStderr();
        EXPECT_TRUE(c.call());
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(std::string("box: ") + c.title + ": Cannot open file NOPE.BIN"), std::string::npos)
            << err;
        EXPECT_EQ(file_State.error, 1);
        file_ReportSet(0);
        testing::internal::CaptureStderr();
        EXPECT_TRUE(c.call());
        EXPECT_EQ(testing::internal::GetCapturedStderr().find("box:"), std::string::npos);
    }
    file_ReportSet(1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(file_Exists("NOPE.BIN"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

struct TraceCall {
    std::string path, archive;
    int32_t size, ok;
};
std::vector<TraceCall> g_trace;
void RecordTrace(const char* path, const char* archive, int32_t size, int32_t ok) {
    g_trace.push_back({path ? path : "", archive ? archive : "<null>", size, ok});
}

TEST_F(File, TraceHookSeesLoadsAndNeverCallsAFailureSuccess) {
    Mount("A.PFF", {{"M", Bytes("12345"), false}});
    file_DiskFirstSet(1);
    std::vector<uint8_t> huge(0x300000, 1); // larger than the whole main heap
    Write("HUGE.BIN", huge);
    WriteText("D.TXT", "abc");
    g_trace.clear();
    file_TraceHookSet(RecordTrace);
    void* a = file_LoadFileEx("M");
    void* b = file_LoadFileEx("D.TXT");
    EXPECT_EQ(file_LoadFileEx("HUGE.BIN"), nullptr);
    EXPECT_EQ(file_LoadFileEx("MISSING"), nullptr);
    EXPECT_EQ(file_RawLoaderEx("D.TXT", nullptr, 0), 3); // whole-file loads only
    file_TraceHookSet(nullptr);
    mem_Free(a);
    mem_Free(b);
    ASSERT_EQ(g_trace.size(), 4u);
    EXPECT_EQ(g_trace[0].archive, "A.PFF");
    EXPECT_EQ(g_trace[0].size, 5);
    EXPECT_EQ(g_trace[0].ok, 1);
    EXPECT_EQ(g_trace[1].archive, "<null>");
    EXPECT_EQ(g_trace[1].size, 3);
    EXPECT_EQ(g_trace[1].ok, 1);
    for (int i : {2, 3}) {
        EXPECT_EQ(g_trace[i].archive, "<null>");
        EXPECT_EQ(g_trace[i].size, 0);
        EXPECT_EQ(g_trace[i].ok, 0);
    }
}

TEST_F(File, TraceLogLines) {
    Mount("A.PFF", {{"M", Bytes("12345"), false}});
    file_TraceHookSet(file_TraceLoad);
    void* a = file_LoadFileEx("M");
    EXPECT_EQ(file_LoadFileEx("GONE"), nullptr);
    file_TraceHookSet(nullptr);
    mem_Free(a);
    std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(ReadText("_trace.txt"), "A.PFF: M (5 bytes)\r\n" + cwd + ": GONE (FAILURE TO LOAD)\r\n");
}

TEST_F(File, DamagedArchivesAreNotOpened) {
    auto good = [] {
        return mkdata_PffBuild({{"ONE", std::vector<uint8_t>(10, 'a'), false}, {"TWO", std::vector<uint8_t>(20, 'b'), true}});
    };
    std::vector<uint8_t> base = good();
    uint32_t dir = 0;
    ASSERT_TRUE(le_Read32At(base.data(), base.size(), 16, &dir));
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    } cases[] = {
        {"empty file", [](std::vector<uint8_t>& b) { b.clear(); }},
        {"short header", [](std::vector<uint8_t>& b) { b.resize(19); }},
        {"header size 19", [](std::vector<uint8_t>& b) { b[0] = 19; }},
        {"directory past the end", [](std::vector<uint8_t>& b) { b[16] = 0xF0; b[17] = 0xFF; }},
        {"count too large", [](std::vector<uint8_t>& b) { b[8] = 3; }},
        {"count wraps", [](std::vector<uint8_t>& b) { b[11] = 0x08; }},
        {"truncated directory", [](std::vector<uint8_t>& b) { b.resize(b.size() - 1); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = base;
        c.damage(bytes);
        Write("BAD.PFF", bytes);
        testing::internal::CaptureStderr();
        PffRecord* pff = pff_Open("BAD.PFF");
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(pff, nullptr) << c.what;
        if (pff) pff_Close(pff);
    }
    // A missing archive, and a name that fills all 16 bytes (read as 16
    // characters).
    EXPECT_EQ(pff_Open("NONE.PFF"), nullptr);
    std::vector<uint8_t> full = base;
    memset(&full[dir + 16], 'N', 16);
    Write("FULL.PFF", full);
    PffRecord* pff = pff_Open("FULL.PFF");
    ASSERT_NE(pff, nullptr);
    EXPECT_STREQ(pff->directory[0].name, "NNNNNNNNNNNNNNNN");
    EXPECT_EQ(pff_MemberSize(pff, "nnnnnnnnnnnnnnnn"), 10);
    EXPECT_EQ(pff_MemberSize(pff, "TWO"), 20);
    pff_Close(pff);
}

// A bad directory entry makes its member alone unloadable: the archive is
// mounted, the other members load, and every way of reaching the bad one
// fails and names the member and the archive.
TEST_F(File, DamagedMemberEntryFailsOnlyThatMember) {
    std::vector<uint8_t> bytes = mkdata_PffBuild({{"ONE", std::vector<uint8_t>(10, 'a'), false},
                                                  {"TWO", std::vector<uint8_t>(20, 'b'), true},
                                                  {"THREE", std::vector<uint8_t>(5, 'c'), false}});
    uint32_t dir = 0;
    ASSERT_TRUE(le_Read32At(bytes.data(), bytes.size(), 16, &dir));
    struct Damage {
        const char* what;
        uint32_t at;     // byte of the entry of TWO
        uint8_t value;
    } damages[] = {
        {"offset past the end", dir + 32 + 7, 0x7F},
        {"size past the end", dir + 32 + 9, 0xFF},
        {"size of 2 GB", dir + 32 + 11, 0x80},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        file_StateInit();
        std::vector<uint8_t> bad = bytes;
        bad[d.at] = d.value;
        Write("BAD.PFF", bad);
        testing::internal::CaptureStderr();
        PffRecord* pff = pff_Open("BAD.PFF");
        std::string err = testing::internal::GetCapturedStderr();
        ASSERT_NE(pff, nullptr);
        EXPECT_NE(err.find("BAD.PFF: 1 member entry lies outside the file (the first: TWO)"), std::string::npos)
            << err;
        ASSERT_GE(file_PffSlotAdd(pff), 0);
        EXPECT_EQ(Load("ONE"), std::string(10, 'a'));
        EXPECT_EQ(Load("three"), std::string(5, 'c'));
        EXPECT_EQ(file_Exists("TWO"), 1);

        file_ReportSet(1);
        struct Call {
            const char* title;
            bool (*call)();
        } calls[] = {
            {"file_OpenEx", [] { return file_OpenEx("TWO") == -1; }},
            {"file_FileSizeEx", [] { return file_FileSizeEx("TWO") == -1; }},
            {"file_LoadFileEx", [] { return file_LoadFileEx("TWO") == nullptr; }},
            {"file_RawLoaderEx", [] { return file_RawLoaderEx("TWO", nullptr, 0) == -1; }},
        };
        for (const Call& c : calls) {
            testing::internal::CaptureStderr();
            EXPECT_TRUE(c.call()) << c.title;
            err = testing::internal::GetCapturedStderr();
            EXPECT_NE(err.find(std::string("box: ") + c.title +
                               ": Cannot open file TWO (its entry in the archive BAD.PFF is damaged)"),
                      std::string::npos)
                << err;
            EXPECT_EQ(file_State.error, 1);
            EXPECT_EQ(pff->failed, 1);
        }
        // Without the report flag only the line on standard error remains.
        file_ReportSet(0);
        testing::internal::CaptureStderr();
        EXPECT_EQ(file_LoadFileEx("TWO"), nullptr);
        err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.find("box:"), std::string::npos) << err;
        EXPECT_NE(err.find("file_LoadFileEx: TWO: its entry in the archive BAD.PFF lies outside"), std::string::npos)
            << err;
        EXPECT_EQ(pff_MemberOpen(pff, "TWO"), -1);
        EXPECT_EQ(pff_MemberLoad(pff, "TWO"), nullptr);
        char buf[32];
        EXPECT_EQ(pff_MemberLoadRaw(pff, "TWO", buf, sizeof buf), -1);
        EXPECT_EQ(Load("ONE"), std::string(10, 'a'));
    }
}

TEST_F(File, DiskOnlyOperations) {
    EXPECT_EQ(file_SaveRaw("OUT.BIN", "payload", 7), 0);
    EXPECT_EQ(file_ExistsOnDisk("out.bin"), 1);
    EXPECT_EQ(file_SizeOnDisk("OUT.BIN"), 7);
    char buf[8] = {};
    EXPECT_EQ(file_LoadRaw("OUT.BIN", buf, sizeof buf), 7);
    EXPECT_STREQ(buf, "payload");
    EXPECT_EQ(file_LoadRaw("OUT.BIN", nullptr, 0), 7);
    EXPECT_EQ(file_LoadRaw("MISSING", buf, sizeof buf), -1);
    EXPECT_EQ(file_SizeOnDisk("MISSING"), -1);

    ASSERT_GE(file_Create("NEW.TXT"), 0);
    EXPECT_EQ(file_WriteRaw("abcdef", 6), 6);
    EXPECT_EQ(file_SeekRaw(2, 0), 2);
    EXPECT_EQ(file_WriteRaw("X", 1), 1);
    EXPECT_EQ(file_CloseRaw(), 0);
    EXPECT_EQ(ReadText("NEW.TXT"), "abXdef");
    ASSERT_GE(file_OpenRaw("NEW.TXT"), 0);
    EXPECT_EQ(file_ReadRaw(buf, 8), 6);
    file_CloseRaw();
    EXPECT_EQ(file_OpenRaw("MISSING"), -1);
    EXPECT_EQ(file_State.error, 1);

    file_ReportSet(1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(file_Create("NO_SUCH_DIR/X.TXT"), -1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("box: file_Create: Cannot open file NO_SUCH_DIR/X.TXT"),
              std::string::npos);
}

TEST_F(File, SettingsReturnThePreviousValue) {
    EXPECT_EQ(file_DiskFirstSet(1), 0);
    EXPECT_EQ(file_DiskFirstSet(0), 1);
    EXPECT_EQ(file_ReportSet(1), 0);
    EXPECT_EQ(file_ModeWordSet(1), 1);  // the report flag by its other name
    EXPECT_EQ(file_ReportSet(1), 1);
    file_StateInit();
    EXPECT_EQ(file_State.diskFirst, 0);
    EXPECT_EQ(file_State.report, 0);
    EXPECT_EQ(file_State.slotCount, 0);
}

} // namespace
