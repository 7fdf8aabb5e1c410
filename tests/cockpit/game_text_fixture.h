// A game data text table for a test: `count` items, all missing until set,
// serving as the level's game data while the record lives.
#pragma once
#include <cstddef>
#include <vector>

#include "base/filetable.h"
#include "world/level.h"

struct TestGameTexts {
    std::vector<FileTableEntry> entries;
    FileTable table{};
    void* const saved = level_GameData;
    explicit TestGameTexts(size_t count) : entries(count, FileTableEntry{nullptr, 0, 0, 0}) {
        table.count = (uint32_t)count;
        table.entries = entries.data();
        level_GameData = &table;
    }
    ~TestGameTexts() { level_GameData = saved; }
    TestGameTexts(const TestGameTexts&) = delete;
    TestGameTexts& operator=(const TestGameTexts&) = delete;
    const char*& operator[](size_t n) { return entries[n].text; }
};
