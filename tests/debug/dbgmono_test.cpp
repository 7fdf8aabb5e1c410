// The monochrome debug screen on a memory buffer in place of the monitor.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "debug/dbgmono.h"
#include "fixtures/heaps.h"

namespace {

class MonoTest : public ::testing::Test {
protected:
    std::vector<uint8_t> screen = std::vector<uint8_t>(DBG_MONO_BYTES, 0xAA);

    void SetUp() override {
        ASSERT_EQ(test_HeapsFresh(1u << 16, 0, 0), 0);
        dbg_MonoAttach(screen.data());
    }
    void TearDown() override { dbg_MonoClose(); }
    std::string Row(int32_t row, int32_t from = 0, int32_t to = DBG_MONO_COLUMNS) const {
        std::string s;
        for (int32_t c = from; c < to; c++) s += (char)screen[(row * DBG_MONO_COLUMNS + c) * 2];
        return s;
    }
    uint8_t Attribute(int32_t column, int32_t row) const { return screen[(row * DBG_MONO_COLUMNS + column) * 2 + 1]; }
};

TEST_F(MonoTest, PrintStopsAtColumn80WithoutWrapping) {
    dbg_MonoClear();
    dbg_MonoPrint("ABCDEFGHIJ", 75, 3, 7);
    EXPECT_EQ(Row(3, 75), "ABCDE");
    EXPECT_EQ(Attribute(75, 3), 7);
    EXPECT_EQ(Row(4), std::string(80, ' '));
    EXPECT_EQ(Attribute(0, 4), 0);
    // Cells outside the screen are never written.
    std::vector<uint8_t> before = screen;
    dbg_MonoPrint("X", 80, 0, 7);
    dbg_MonoPrint("X", 0, 25, 7);
    dbg_MonoPrint("X", -1, 0, 7);
    EXPECT_EQ(screen, before);
}

TEST_F(MonoTest, TabsFillToTheNextMultipleOfFour) {
    struct Case {
        int32_t column, blanks;
    } cases[] = {{3, 1}, {4, 4}, {0, 4}, {77, 3}};
    for (const Case& c : cases) {
        std::fill(screen.begin(), screen.end(), '.');
        dbg_MonoPrint("\tx", c.column, 0, 1);
        EXPECT_EQ(Row(0, c.column, c.column + c.blanks), std::string((size_t)c.blanks, ' ')) << c.column;
        const int32_t x = c.column + c.blanks;
        if (x < DBG_MONO_COLUMNS) {
            EXPECT_EQ(Row(0, x, x + 1), "x") << c.column;
        }
        if (c.column > 0) {
            EXPECT_EQ(Row(0, c.column - 1, c.column), ".") << c.column;
        }
        EXPECT_EQ(Row(1, 0, 1), ".") << "never the next row";
    }
}

TEST_F(MonoTest, BufferedModeReachesTheScreenOnlyOnFlush) {
    dbg_MonoClear();
    dbg_MonoSetMode(DBG_MONO_BUFFERED);
    dbg_MonoClear();
    dbg_MonoPrint("HELLO", 0, 0, 2);
    EXPECT_EQ(Row(0, 0, 5), "     ");
    dbg_MonoFlush();
    EXPECT_EQ(Row(0, 0, 5), "HELLO");
    dbg_MonoSetMode(DBG_MONO_DIRECT);
    dbg_MonoPrint("BYE", 0, 1, 2);
    EXPECT_EQ(Row(1, 0, 3), "BYE");
}

TEST_F(MonoTest, WithoutAMonitorEveryOperationIsHarmless) {
    dbg_MonoClose();
    dbg_MonoOpen();
    std::vector<uint8_t> before = screen;
    dbg_MonoSetMode(DBG_MONO_BUFFERED);
    dbg_MonoClear();
    dbg_MonoPrint("TEXT", 0, 0, 7);
    dbg_MonoPrint(nullptr, 0, 0, 7);
    dbg_MonoFlush();
    dbg_MonoSetWindow(7, 1, 2, 3);
    dbg_MonoClose();
    EXPECT_EQ(screen, before);
    EXPECT_EQ(dbg_MonoWindow.attribute, 7);
    EXPECT_EQ(dbg_MonoWindow.coordinates[2], 3);
}

}  // namespace
