// Plain files and directory lists.
#include "base/efile.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "file_fixture.h"

namespace {

class EFile : public FileEnv {
protected:
    std::vector<std::string> Names(const _EDIRLIST* list) {
        std::vector<std::string> out;
        for (const _EDIRLIST_ENTRY* e = list ? list->first : nullptr; e; e = e->next) out.push_back(e->name);
        return out;
    }
    // The list in both directions agrees with its count.
    void CheckLinks(const _EDIRLIST* list) {
        int n = 0;
        const _EDIRLIST_ENTRY* prev = nullptr;
        for (const _EDIRLIST_ENTRY* e = list->first; e; e = e->next, n++) {
            EXPECT_EQ(e->prev, prev);
            EXPECT_EQ(e->list, list);
            prev = e;
        }
        EXPECT_EQ(list->last, prev);
        EXPECT_EQ(list->count, n);
    }
};

TEST_F(EFile, ReadLine) {
    WriteText("LINES.TXT", "first\r\n\r\nform\ffeed\nlong line here\nlast");
    _EFILE* f = efile_Open("lines.txt", EFILE_READ | EFILE_SHARED);
    ASSERT_NE(f, nullptr);
    char buf[8];
    EXPECT_EQ(efile_ReadLine(f, buf, sizeof buf), 5);
    EXPECT_STREQ(buf, "first");
    EXPECT_EQ(efile_ReadLine(f, buf, sizeof buf), 0); // "\r\n" alone
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(efile_ReadLine(f, buf, sizeof buf), 7);
    EXPECT_STREQ(buf, "formfee");
    EXPECT_EQ(efile_ReadLine(f, buf, sizeof buf), 7); // cut, the rest of the line dropped
    EXPECT_STREQ(buf, "long li");
    EXPECT_EQ(efile_ReadLine(f, buf, sizeof buf), 4); // no final "\n"
    EXPECT_STREQ(buf, "last");
    EXPECT_NE(f->state & EFILE_STATE_EOF, 0u);
    EXPECT_EQ(efile_ReadLine(f, buf, sizeof buf), -1);
    EXPECT_EQ(efile_Close(f), 0);
    EXPECT_EQ(efile_ReadLine(nullptr, buf, sizeof buf), -1);
    EXPECT_EQ(efile_Close(nullptr), -1);
}

// Read system calls the process has made so far.
static long ReadCalls() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long value = 0;
    while (io >> key >> value)
        if (key == "syscr:") return value;
    return -1;
}

// Lines are read from blocks read ahead, not byte by byte: a settings file
// of 5,000 bytes takes a handful of system calls.
TEST_F(EFile, LinesAreReadFromBlocksReadAhead) {
    std::string text;
    for (int i = 0; i < 250; i++) text += "KEY_" + std::to_string(i % 10) + " 1234567890\r\n";
    WriteText("KRX.INI", text);
    _EFILE* f = efile_Open("KRX.INI", EFILE_READ | EFILE_SHARED);
    ASSERT_NE(f, nullptr);
    char line[64];
    int lines = 0;
    long before = ReadCalls();
    ASSERT_GE(before, 0);
    while (efile_ReadLine(f, line, sizeof line) >= 0) {
        EXPECT_STREQ(line, ("KEY_" + std::to_string(lines % 10) + " 1234567890").c_str());
        lines++;
    }
    long calls = ReadCalls() - before;
    EXPECT_EQ(lines, 250);
    EXPECT_LT(calls, 20);
    EXPECT_EQ(f->position, static_cast<int32_t>(text.size()));
    EXPECT_NE(f->state & EFILE_STATE_EOF, 0u);
    EXPECT_EQ(efile_Close(f), 0);
}

// Reads, seeks and writes mixed on one file see the bytes where the
// position says, whatever was read ahead.
TEST_F(EFile, ReadAheadStaysBehindSeeksAndWrites) {
    std::string text(10000, 0);
    for (size_t i = 0; i < text.size(); i++) text[i] = static_cast<char>('a' + i % 26);
    for (size_t i = 99; i < text.size(); i += 100) text[i] = '\n';
    WriteText("MIX.TXT", text);
    _EFILE* f = efile_Open("MIX.TXT", EFILE_READ | EFILE_WRITE);
    ASSERT_NE(f, nullptr);
    char line[200];
    ASSERT_EQ(efile_ReadLine(f, line, sizeof line), 99);
    EXPECT_EQ(f->position, 100);
    char four[4];
    ASSERT_EQ(efile_Read(f, four, 4), 4);
    EXPECT_EQ(std::string(four, 4), text.substr(100, 4));
    EXPECT_EQ(efile_Seek(f, -4, 1), 100);  // from the position, not from what was read ahead
    ASSERT_EQ(efile_Write(f, "WXYZ", 4), 4);
    text.replace(100, 4, "WXYZ");
    ASSERT_EQ(efile_Read(f, four, 4), 4);
    EXPECT_EQ(std::string(four, 4), text.substr(104, 4));
    // A large read past what was read ahead, then lines again.
    std::vector<char> big(6000);
    ASSERT_EQ(efile_Read(f, big.data(), 6000), 6000);
    EXPECT_EQ(std::string(big.data(), 6000), text.substr(108, 6000));
    ASSERT_EQ(efile_ReadLine(f, line, sizeof line), 91);
    EXPECT_EQ(std::string(line), text.substr(6108, 91));
    EXPECT_EQ(efile_Seek(f, 9990, 0), 9990);
    EXPECT_EQ(efile_Read(f, big.data(), 100), 10);
    EXPECT_NE(f->state & EFILE_STATE_EOF, 0u);
    EXPECT_EQ(efile_Seek(f, -1, 0), -1);
    EXPECT_EQ(f->position, 10000);
    EXPECT_EQ(efile_Close(f), 0);
    EXPECT_EQ(ReadText("MIX.TXT"), text);
}

TEST_F(EFile, OpenFlagsAndPositions) {
    EXPECT_EQ(efile_Open("NEW.TXT", EFILE_READ), nullptr);      // missing, no create flag
    EXPECT_EQ(efile_Open("NEW.TXT", EFILE_CREATE), nullptr);    // neither read nor write
    _EFILE* f = efile_Open("NEW.TXT", EFILE_WRITE | EFILE_CREATE);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->size, 0);
    EXPECT_EQ(f->state, EFILE_STATE_OPEN | EFILE_STATE_EOF);
    EXPECT_EQ(efile_WriteLine(f, "hello"), 7);
    EXPECT_EQ(efile_Size(f), 7);
    EXPECT_EQ(efile_Seek(f, 0, 0), 0);
    EXPECT_EQ(f->state & EFILE_STATE_EOF, 0u);
    EXPECT_EQ(efile_Write(f, "J", 1), 1);
    EXPECT_EQ(f->position, 1);
    EXPECT_EQ(efile_Close(f), 0);
    EXPECT_EQ(ReadText("NEW.TXT"), "Jello\r\n");

    // Opening an existing file with the create flag keeps its contents.
    f = efile_Open("NEW.TXT", EFILE_READ | EFILE_WRITE | EFILE_CREATE);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(efile_Size(f), 7);
    uint32_t word = 0;
    EXPECT_EQ(efile_ReadWord(f, &word), 4);
    EXPECT_EQ(word, 0x6C6C654Au); // "Jell"
    EXPECT_EQ(efile_Seek(f, 0, 2), 7);
    EXPECT_NE(f->state & EFILE_STATE_EOF, 0u);
    EXPECT_EQ(efile_Close(f), 0);
    EXPECT_EQ(efile_Size(nullptr), -1);
    EXPECT_EQ(efile_Seek(nullptr, 0, 0), -1);
}

// Size and position are signed 32-bit words: a write that would carry the
// position past them is refused and leaves the file alone; reads there find
// nothing.
TEST_F(EFile, PositionNeverPassesTheTwoGigabyteLimit) {
    _EFILE* f = efile_Open("EDGE.TXT", EFILE_READ | EFILE_WRITE | EFILE_CREATE);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(efile_Seek(f, INT32_MAX - 1, 0), INT32_MAX - 1);
    EXPECT_EQ(efile_Write(f, "abcd", 4), -1);
    EXPECT_EQ(f->position, INT32_MAX - 1);
    EXPECT_EQ(efile_Size(f), 0);
    char buf[4];
    EXPECT_EQ(efile_Read(f, buf, 4), 0);
    ASSERT_EQ(efile_Seek(f, INT32_MAX, 0), INT32_MAX);
    EXPECT_EQ(efile_ReadLine(f, buf, sizeof buf), -1);
    EXPECT_EQ(f->position, INT32_MAX);
    EXPECT_EQ(efile_Close(f), 0);
    EXPECT_EQ(ReadText("EDGE.TXT"), "");
}

TEST_F(EFile, WholeFilesAndAppendedLines) {
    EXPECT_EQ(efile_AppendLine("LOG.TXT", "one"), 0);
    EXPECT_EQ(efile_AppendLine("LOG.TXT", "two"), 0);
    EXPECT_EQ(ReadText("LOG.TXT"), "one\r\ntwo\r\n");

    int32_t size = 0;
    char* text = efile_LoadText("log.txt", &size);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(size, 11);
    EXPECT_STREQ(text, "one\r\ntwo\r\n");
    mem_GlobalFreeNamed(text);
    void* whole = efile_LoadWhole("LOG.TXT", &size);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(size, 10);
    EXPECT_EQ(memcmp(whole, "one\r\ntwo\r\n", 10), 0);
    mem_GlobalFreeNamed(whole);
    EXPECT_EQ(efile_LoadText("MISSING.TXT", &size), nullptr);
}

TEST_F(EFile, ExistsSingleAndDirectoryCalls) {
    WriteText("ONE.CFG", "x");
    WriteText("A.INI", "x");
    WriteText("B.INI", "x");
    std::filesystem::create_directory("SUBDIR");
    EXPECT_EQ(file_ExistsSingle("one.cfg"), 1);
    EXPECT_EQ(file_ExistsSingle("*.cfg"), 1);
    EXPECT_EQ(file_ExistsSingle("*.INI"), 0); // two matches
    EXPECT_EQ(file_ExistsSingle("SUBDIR"), 0); // a directory
    EXPECT_EQ(file_ExistsSingle("*.NONE"), 0);
    EXPECT_EQ(file_ExistsSingle(nullptr), 0);

    char cwd[512];
    ASSERT_EQ(dir_GetCurrent(cwd, sizeof cwd), 0);
    EXPECT_EQ(dir_SetCurrent("subdir"), 0);
    EXPECT_EQ(dir_SetCurrent(cwd), 0);
    EXPECT_EQ(dir_SetCurrent("NOPE"), -1);
    EXPECT_EQ(dir_GetCurrent(nullptr, 10), -1);
    EXPECT_EQ(file_Delete("a.ini"), 0);
    EXPECT_EQ(file_Delete("A.INI"), -1);
    EXPECT_EQ(file_Delete(nullptr), -1);
}

TEST_F(EFile, DirectoryListsAreSorted) {
    uint32_t blocksBefore = mem_GlobalStateGet()->count;
    std::filesystem::create_directory("D");
    for (const char* n : {"beta.txt", "Alpha.txt", "gamma.txt", "Delta.dat"}) WriteText(std::string("D/") + n, "12345");
    std::filesystem::create_directory("D/sub");

    _EDIRLIST* list = dir_ListMake("D\\*", EDIR_SORT_NOCASE);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Alpha.txt", "beta.txt", "Delta.dat", "gamma.txt", "sub"}));
    CheckLinks(list);
    const _EDIRLIST_ENTRY* alpha = list->first;
    EXPECT_EQ(alpha->size, 5u);
    EXPECT_EQ(alpha->attributes, EDIR_ATTR_NORMAL);
    EXPECT_EQ(list->last->attributes, EDIR_ATTR_DIRECTORY);

    // Removing entries keeps the first, last and count right.
    dir_ListEntryRemove(list->first);
    dir_ListEntryRemove(list->last);
    dir_ListEntryRemove(list->first->next);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"beta.txt", "gamma.txt"}));
    CheckLinks(list);
    dir_ListFree(list);

    list = dir_ListMake("d\\*.TXT", EDIR_WITH_DIRECTORY);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"d\\Alpha.txt", "d\\beta.txt", "d\\gamma.txt"}));
    dir_ListFree(list);

    list = dir_ListMake("D\\*", EDIR_KEEP_PARENT);
    ASSERT_NE(list, nullptr);
    std::vector<std::string> names = Names(list);
    EXPECT_EQ(names.front(), ".."); // case-sensitive: '.' sorts first
    EXPECT_EQ(std::count(names.begin(), names.end(), "."), 0);
    dir_ListFree(list);

    EXPECT_EQ(dir_ListMake("D\\*.NONE", 0), nullptr);
    EXPECT_EQ(mem_GlobalStateGet()->count, blocksBefore);
}

} // namespace
