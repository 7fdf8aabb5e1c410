// Section/key text parser: section, key and comment rules, line handling and
// the buffer's lifetime.
#include "base/ini.h"

#include <cstring>

#include "file_fixture.h"
#include "mkdata.h"

namespace {

class Ini : public FileEnv {
protected:
    // Joins lines with "\r\n" after each.
    static std::string Crlf(std::initializer_list<const char*> lines) {
        std::string s;
        for (const char* l : lines) s += std::string(l) + "\r\n";
        return s;
    }
    int HeapBlocks(const MemHeap& h) {
        int n = 0;
        for (const MemBlock* b = h.first; b; b = b->next) n++;
        return n;
    }
};

TEST_F(Ini, SectionAndKeyRules) {
    WriteText("KRX.CFG", Crlf({
                             "; a comment line",
                             "[display]",
                             "  PAGE_FLIPPING  =  1   ; flip pages",
                             "\tWIDTH\t=\t640",
                             "NAME = Red Baron ",
                             "EMPTY =",
                             "NOEQUALS",
                             "=orphan",
                             "NEG=-12x",
                             "[CONNECTION] trailing text",
                             "BAUDRATE=19200",
                             "[AUDIO",
                             "DIRECTSOUND=0",
                         }));
    ASSERT_EQ(ini_Load("krx.cfg"), 1);
    struct Case {
        const char* section;
        const char* key;
        int found;
        const char* value;
        int32_t number;
    } cases[] = {
        {"DISPLAY", "PAGE_FLIPPING", 0, "", 0}, // leading blanks stay part of the key
        {"DISPLAY", "  PAGE_FLIPPING", 1, "1", 1},
        {"display", "  page_flipping", 1, "1", 1},
        {"DISPLAY", " WIDTH", 1, "640", 640}, // tabs became blanks
        {"DISPLAY", "NAME", 1, "RED BARON", 0}, // upper-cased, blanks trimmed
        {"DISPLAY", "EMPTY", 1, "", 0},
        {"DISPLAY", "NOEQUALS", 0, "", 0},
        {"DISPLAY", "NEG", 1, "-12X", -12},
        {"DISPLAY", "BAUDRATE", 0, "", 0}, // belongs to the next section
        {"CONNECTION", "BAUDRATE", 1, "19200", 19200},
        {"AUDIO", "DIRECTSOUND", 1, "0", 0}, // the closing bracket is not required
        {"LOCALE", "LANGUAGE", 0, "", 0},
    };
    for (const Case& c : cases) {
        char value[64] = "untouched";
        int32_t number = 99;
        int32_t r = ini_SectionKeyGet(c.section, c.key, value, sizeof value, &number);
        EXPECT_EQ(r != 0, c.found != 0) << c.section << "/" << c.key;
        if (c.found) {
            EXPECT_STREQ(value, c.value) << c.section << "/" << c.key;
        } else {
            EXPECT_STREQ(value, "untouched") << c.section << "/" << c.key;
        }
        EXPECT_EQ(number, c.number) << c.section << "/" << c.key;
    }
}

TEST_F(Ini, KeepCaseNeedsUpperCaseSectionNames) {
    WriteText("A.TXT", Crlf({"[lower]", "Key=Value", "[UPPER]", "Key=Mixed Case"}));
    ASSERT_EQ(ini_LoadKeepCase("A.TXT"), 1);
    char value[32] = "";
    EXPECT_EQ(ini_SectionFind("LOWER"), 0);
    EXPECT_EQ(ini_SectionKeyGet("upper", "KEY", value, sizeof value, nullptr), 1);
    EXPECT_STREQ(value, "Mixed Case");
}

TEST_F(Ini, RepeatedKeysComeInFileOrder) {
    WriteText("MENU.TXT", Crlf({"[STRINGS]", "STRING=one", "OTHER=x", "STRING=two", "STRING=three", "[NEXT]",
                                "STRING=four"}));
    ASSERT_EQ(ini_Load("MENU.TXT"), 1);
    ASSERT_NE(ini_SectionFind("STRINGS"), 0);
    std::vector<std::string> got;
    char value[16];
    while (ini_KeyGet("STRING", value, sizeof value, nullptr)) got.push_back(value);
    EXPECT_EQ(got, (std::vector<std::string>{"ONE", "TWO", "THREE"}));
    // A key asked out of order after the search ended is not found; a fresh
    // section search finds it again.
    ASSERT_NE(ini_SectionFind("STRINGS"), 0);
    EXPECT_EQ(ini_KeyGet("OTHER", value, sizeof value, nullptr), 1);
    EXPECT_EQ(ini_KeyGet("STRING", value, sizeof value, nullptr), 1);
    EXPECT_STREQ(value, "TWO");
}

TEST_F(Ini, OnlyCrLfEndsALine) {
    WriteText("LF.TXT", "[DISPLAY]\nPAGE_FLIPPING=1\n");
    ASSERT_EQ(ini_Load("LF.TXT"), 1);
    EXPECT_EQ(ini_State.lineCount, 0u);
    EXPECT_EQ(ini_SectionFind("DISPLAY"), 0);

    // Text behind the last "\r\n" is never read.
    WriteText("TAIL.TXT", "[A]\r\nK=1\r\nL=2");
    ASSERT_EQ(ini_Load("TAIL.TXT"), 1);
    EXPECT_EQ(ini_State.lineCount, 2u);
    EXPECT_EQ(ini_SectionKeyGet("A", "K", nullptr, 0, nullptr), 1);
    EXPECT_EQ(ini_SectionKeyGet("A", "L", nullptr, 0, nullptr), 0);
}

TEST_F(Ini, LinesAndValuesOfAnyLengthStayInTheirBuffers) {
    std::string longValue(5000, 'v');
    std::string longLine = "[" + std::string(3000, 'S') + "]";
    WriteText("LONG.TXT", Crlf({longLine.c_str(), ("K=" + longValue).c_str(), "[B]", "X=abcdefghij"}));
    ASSERT_EQ(ini_Load("LONG.TXT"), 1);
    EXPECT_NE(ini_SectionFind(std::string(3000, 's').c_str()), 0);
    char small[8];
    memset(small, '#', sizeof small);
    EXPECT_EQ(ini_KeyGet("K", small, 5, nullptr), 1);
    EXPECT_STREQ(small, "VVVV"); // value size 5: four characters and the zero
    EXPECT_EQ(small[5], '#');
    EXPECT_EQ(ini_SectionKeyGet("B", "X", small, sizeof small, nullptr), 1);
    EXPECT_STREQ(small, "ABCDEFG");

    ini_State.cursor = ini_State.buffer;
    ini_State.lineIndex = 0;
    char line[16];
    memset(line, '#', sizeof line);
    ASSERT_NE(ini_LineNext(line, 10), nullptr);
    EXPECT_EQ(strlen(line), 9u);
    EXPECT_EQ(line[10], '#');
    ASSERT_NE(ini_LineNext(line, sizeof line), nullptr);
    EXPECT_STREQ(line, "K=VVVVVVVVVVVVV");
    ASSERT_NE(ini_LineNext(line, sizeof line), nullptr);
    EXPECT_STREQ(line, "[B]\n");
    ASSERT_NE(ini_LineNext(line, sizeof line), nullptr);
    EXPECT_EQ(ini_LineNext(line, sizeof line), nullptr);
}

TEST_F(Ini, LoadingAgainFreesTheFirstBufferAndUnloadClears) {
    WriteText("A.TXT", Crlf({"[A]", "K=1"}));
    int before = HeapBlocks(mem_AltHeap1);
    ASSERT_EQ(ini_Load("A.TXT"), 1);
    EXPECT_EQ(HeapBlocks(mem_AltHeap1), before + 1);
    ASSERT_EQ(ini_Load("A.TXT"), 1);
    EXPECT_EQ(HeapBlocks(mem_AltHeap1), before + 1);
    EXPECT_EQ(ini_Unload(), 1);
    EXPECT_EQ(HeapBlocks(mem_AltHeap1), before);
    EXPECT_EQ(ini_State.buffer, nullptr);
    EXPECT_EQ(ini_SectionFind("A"), 0);
    EXPECT_EQ(ini_KeyGet("K", nullptr, 0, nullptr), 0);
    EXPECT_EQ(ini_Load("MISSING.TXT"), 0);
}

TEST_F(Ini, ReadsFromAnArchive) {
    Write("A.PFF", mkdata_PffBuild({{"CENSOR.TXT", Bytes(Crlf({"[WORDS]", "WORD=darn"})), true}}));
    PffRecord* pff = pff_Open("A.PFF");
    ASSERT_NE(pff, nullptr);
    file_PffSlotAdd(pff);
    char value[16];
    ASSERT_EQ(ini_Load("censor.txt"), 1);
    EXPECT_EQ(ini_SectionKeyGet("WORDS", "WORD", value, sizeof value, nullptr), 1);
    EXPECT_STREQ(value, "DARN");
}

} // namespace
