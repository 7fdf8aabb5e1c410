// The wizard's configuration reader and its entry list.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fixtures/workdir.h"
#include "update/wiz_ini.h"

namespace {

class WizIni : public ::testing::Test {
protected:
    TestWorkDir work;
    void SetUp() override { ASSERT_TRUE(work.Enter("krx_wizini")); }
    void TearDown() override {
        wiz_IniFree();
        wiz_EntryFreeAll();
        work.Leave();
    }
    int32_t Load(const std::string& text) {
        test_WriteText("T.CFG", text);
        return wiz_IniLoadFile("T.CFG");
    }
};

TEST_F(WizIni, LoadRulesAndLineCount) {
    struct Case {
        std::string text;
        int32_t loads, lines;
    } cases[] = {
        {"", 1, 0},
        {"A=1\r\nB=2\r\n", 1, 2},
        {"A=1\r\nB=2", 1, 1},                            // a last line without CR LF is not a line
        {"A=1\r\nB=2\r", 1, 1},                          // nor one ending in a lone CR
        {"A=1\nB=2\n", 0, 0},                             // LF alone is not a line end
        {"A=1\rB=2\r\n", 0, 0},                           // nor CR alone
        {std::string("A=\0x\r\n", 6), 0, 0},            // text only
        {std::string(127, 'x') + "\r\n", 1, 1},          // 127 characters fit
        {std::string(128, 'x') + "\r\n", 0, 0},          // 128 do not
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Load(c.text), c.loads) << c.text;
        EXPECT_EQ(wiz_IniLineCount(), c.lines) << c.text;
    }
    EXPECT_EQ(wiz_IniLoadFile("MISSING.CFG"), 0);
}

TEST_F(WizIni, FailedLoadLeavesNothingLoaded) {
    ASSERT_EQ(Load("[HEADER]\r\nCMD=A.CFG\r\n"), 1);
    ASSERT_EQ(Load("[HEADER]\nCMD=B.CFG\n"), 0);
    char value[32] = "unchanged";
    EXPECT_EQ(wiz_IniGetKey("HEADER", "CMD", value, sizeof value, nullptr), 0);
    EXPECT_STREQ(value, "unchanged");
}

TEST_F(WizIni, KeysAndValues) {
    ASSERT_EQ(Load("; comment line\r\n"
                   "[HEADER] the rest is ignored\r\n"
                   "CMD  =  KRXUPD.CFG ; a comment\r\n"
                   "cmd=lower\r\n"
                   " LEAD=x\r\n"
                   "EMPTY=\r\n"
                   "NUM=42abc\r\n"
                   "[HEADER2]\r\n"
                   "DST=OTHER.PFF\r\n"
                   "[lower]\r\n"
                   "X=1\r\n"),
              1);
    struct Case {
        const char* section;
        const char* key;
        int32_t found;
        const char* value;
    } cases[] = {
        {"HEADER", "CMD", 1, "KRXUPD.CFG "},  // key trimmed, value: leading blanks off, comment cut
        {"HEADER", "cmd", 1, "lower"},        // names are compared exactly
        {"HEADER", "LEAD", 0, ""},            // a blank before the key stays part of it
        {"HEADER", "EMPTY", 0, ""},           // an empty value does not fit the pattern
        {"HEADER", "DST", 0, ""},             // the section ends at the next section line
        {"HEADER2", "DST", 1, "OTHER.PFF"},
        {"HEADER2", "dst", 0, ""},            // a lower-case key is not found
        {"header", "CMD", 0, ""},
        {"lower", "X", 0, ""},                // the name is the upper-case run after "[": empty here
        {"MISSING", "CMD", 0, ""},
    };
    for (const Case& c : cases) {
        char value[WIZ_LINE_MAX] = "";
        EXPECT_EQ(wiz_IniGetKey(c.section, c.key, value, sizeof value, nullptr), c.found) << c.section << "/" << c.key;
        EXPECT_STREQ(value, c.value) << c.section << "/" << c.key;
    }
    char value[8];
    int32_t number = 0;
    ASSERT_EQ(wiz_IniGetKey("HEADER", "NUM", value, sizeof value, &number), 1);
    EXPECT_EQ(number, 42);
    // Cut to the buffer.
    ASSERT_EQ(wiz_IniGetKey("HEADER", "CMD", value, 5, nullptr), 1);
    EXPECT_STREQ(value, "KRXU");
}

TEST_F(WizIni, LinesAndRepeatedKeys) {
    ASSERT_EQ(Load("[COPY]\r\nCOPY=A\r\nOTHER=B\r\nCOPY=C\r\n[NEXT]\r\nCOPY=D\r\n"), 1);
    char line[WIZ_LINE_MAX];
    ASSERT_NE(wiz_IniNextLine(line, sizeof line), nullptr);
    EXPECT_STREQ(line, "[COPY]\n");
    ASSERT_STREQ(wiz_IniFindSection("COPY"), "[COPY]\n");
    std::string seen;
    char value[WIZ_LINE_MAX];
    while (wiz_IniNextKey("COPY", value, sizeof value, nullptr)) seen += value;
    EXPECT_EQ(seen, "AC");
    // Stopped at the section line: it is the next line read.
    ASSERT_NE(wiz_IniNextLine(line, sizeof line), nullptr);
    EXPECT_STREQ(line, "[NEXT]\n");
    ASSERT_NE(wiz_IniNextLine(line, sizeof line), nullptr);
    EXPECT_EQ(wiz_IniNextLine(line, sizeof line), nullptr);
}

TEST_F(WizIni, EntriesFromValues) {
    struct Case {
        const char* value;
        const char* name;
        int32_t time, number;
    } cases[] = {
        {"KRXNEWS.TXT,946684800,7", "KRXNEWS.TXT", 946684800, 7},
        {"KRXNEWS.TXT ,946684800", "KRXNEWS.TXT ", 946684800, 0},  // the blank stays in the name
        {"A.TXT", "A.TXT", 0, 0},                                   // missing items read as 0
        {",,B.TXT,,5,,6", "B.TXT", 5, 6},                           // empty items are skipped
        {"C.TXT,-1,x", "C.TXT", -1, 0},
    };
    for (const Case& c : cases) {
        WizEntry* e = wiz_EntryCreate(c.value);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e, wiz_EntryList);
        EXPECT_EQ(e->flags, 0u);
        EXPECT_STREQ(e->name, c.name) << c.value;
        EXPECT_EQ(e->time, c.time) << c.value;
        EXPECT_EQ(e->number, c.number) << c.value;
    }
    // A name of 127 characters fits whole; a longer one is cut.
    std::string longName(140, 'N');
    WizEntry* e = wiz_EntryCreate(longName.c_str());
    EXPECT_EQ(strlen(e->name), 127u);
}

TEST_F(WizIni, EntriesRunInReverseOrderOfReading) {
    ASSERT_EQ(Load("[PFF]\r\nENTRY=FIRST\r\nENTRY=SECOND\r\nENTRY=THIRD ; last\r\n"), 1);
    ASSERT_NE(wiz_IniFindSection("PFF"), nullptr);
    char value[WIZ_LINE_MAX];
    while (wiz_IniNextKey("ENTRY", value, sizeof value, nullptr)) wiz_EntryCreate(value)->flags |= WIZ_ENTRY_DELETE;
    wiz_EntryCreate("COPIED")->flags |= WIZ_ENTRY_COPY;
    std::string order;
    for (WizEntry* e = wiz_EntryList; e; e = e->next) order += std::string(e->name) + "|";
    EXPECT_EQ(order, "COPIED|THIRD |SECOND|FIRST|");
    EXPECT_EQ(wiz_EntryCount(WIZ_ENTRY_DELETE), 3);
    EXPECT_EQ(wiz_EntryCount(WIZ_ENTRY_DELETE | WIZ_ENTRY_COPY), 4);
    EXPECT_EQ(wiz_EntryCount(WIZ_ENTRY_RESOURCE), 0);
    wiz_EntryFreeAll();
    EXPECT_EQ(wiz_EntryList, nullptr);
}

TEST_F(WizIni, FirstItem) {
    struct Case {
        const char* value;
        const char* first;
    } cases[] = {{"krxres,other", "krxres"}, {",,B", "B"}, {"", ""}, {",,", ""}, {"ONE", "ONE"}};
    for (const Case& c : cases) {
        char out[16] = "x";
        wiz_FirstItem(c.value, out, sizeof out);
        EXPECT_STREQ(out, c.first) << c.value;
    }
}

}  // namespace
