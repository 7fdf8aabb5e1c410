// Indexed data files: writer-to-reader round trips, item and group look-ups,
// and damaged images.
#include "base/filetable.h"

#include <cstring>

#include "base/le.h"
#include "file_fixture.h"
#include "mkdata.h"

namespace {

class Table : public FileEnv {
protected:
    // Groups: WEAPONS {GUN, MISSILE, BOMB}, SOUNDS {GUN, ENGINE}, WEAPONS {ROCKET}.
    std::vector<MkTableGroup> Groups() {
        return {
            {"WEAPONS", {{"GUN", "cannon", 11, 12, 13}, {"MISSILE", "heat seeker", 2}, {"BOMB", "iron bomb", 3}}},
            {"Sounds", {{"gun", "bang", 4}, {"ENGINE", "hum", 5}}},
            {"WEAPONS", {{"ROCKET", "unguided", 6}}},
        };
    }
    FileTable* Build() {
        std::vector<uint8_t> image = mkdata_TableBuild(Groups());
        return file_TableRelocate(image.data(), static_cast<uint32_t>(image.size()));
    }
};

TEST_F(Table, ItemsByNumber) {
    FileTable* t = Build();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->word0, MK_TABLE_MAGIC);
    EXPECT_EQ(memcmp(&t->word0, "RTXT", 4), 0);
    EXPECT_EQ(file_TableCount(t), 6u);
    const char* texts[] = {"cannon", "heat seeker", "iron bomb", "bang", "hum", "unguided"};
    for (uint32_t i = 0; i < 6; i++) {
        FileTableEntry* e = file_TableEntryGet(t, i);
        ASSERT_NE(e, nullptr);
        EXPECT_STREQ(e->text, texts[i]);
        EXPECT_EQ(file_TableEntryGetReg(i, t), e);
    }
    FileTableEntry* first = file_TableEntryGet(t, 0);
    EXPECT_EQ(first->word1, 11u);
    EXPECT_EQ(first->word2, 12u);
    EXPECT_EQ(first->word3, 13u);
    EXPECT_STREQ(file_TableEntryGet(t, 5)->text, "unguided"); // N - 1
    EXPECT_EQ(file_TableEntryGet(t, 6), nullptr);               // N
    EXPECT_EQ(file_TableEntryGet(t, 0xFFFFFFFFu), nullptr);
    EXPECT_EQ(file_TableEntryGet(nullptr, 0), nullptr);
    EXPECT_EQ(file_TableCount(nullptr), 0u);
    mem_Free(t);
}

TEST_F(Table, ItemNamesInEntryOrder) {
    FileTable* t = Build();
    ASSERT_NE(t, nullptr);
    const char* names[] = {"GUN", "MISSILE", "BOMB", "gun", "ENGINE", "ROCKET"};
    for (uint32_t i = 0; i < 6; i++) {
        EXPECT_STREQ(file_TableNameGet(t, i), names[i]);
        const char* n = nullptr;
        EXPECT_EQ(file_TableNameGetReg(t, i, &n), 1);
        EXPECT_STREQ(n, names[i]);
    }
    EXPECT_EQ(file_TableNameGet(t, 6), nullptr);
    const char* n = "x";
    EXPECT_EQ(file_TableNameGetReg(t, 6, &n), 0);
    EXPECT_EQ(n, nullptr);
    mem_Free(t);
}

TEST_F(Table, FindNamed) {
    FileTable* t = Build();
    ASSERT_NE(t, nullptr);
    struct Case {
        const char* group;
        const char* item;
        int expect; // entry number, -1 for none
    } cases[] = {
        {"WEAPONS", "GUN", 0},
        {"SOUNDS", "GUN", 3},     // each group finds its own item of that name
        {"weapons", "missile", 1}, // names compare without case
        {"sounds", "Engine", 4},
        {"WEAPONS", "ENGINE", -1},
        {"WEAPONS", "ROCKET", -1}, // only the first group of that name is searched
        {"NOGROUP", "GUN", -1},
        {"WEAPON", "GUN", -1},     // whole names only
        {"WEAPONS", "GU", -1},
    };
    for (const Case& c : cases) {
        FileTableEntry* e = file_TableFindNamed(t, c.group, c.item);
        if (c.expect < 0) {
            EXPECT_EQ(e, nullptr) << c.group << "/" << c.item;
        } else {
            EXPECT_EQ(e, file_TableEntryGet(t, static_cast<uint32_t>(c.expect))) << c.group << "/" << c.item;
        }
        EXPECT_EQ(file_TableFindNamedReg(t, c.group, c.item), e);
    }
    EXPECT_EQ(file_TableFindNamed(nullptr, "WEAPONS", "GUN"), nullptr);
    mem_Free(t);

    // No groups: nothing is found by name.
    std::vector<uint8_t> image = mkdata_TableBuild({});
    FileTable* empty = file_TableRelocate(image.data(), static_cast<uint32_t>(image.size()));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(file_TableCount(empty), 0u);
    EXPECT_EQ(file_TableFindNamed(empty, "A", "B"), nullptr);
    EXPECT_EQ(file_TableNameGet(empty, 0), nullptr);
    mem_Free(empty);
}

TEST_F(Table, LoadKeepsTheFileTagAndTakesAGroupId) {
    Write("T.BIN", mkdata_TableBuild(Groups()));
    Write("A.PFF", mkdata_PffBuild({{"P.BIN", mkdata_TableBuild(Groups()), true}}));
    file_DiskFirstSet(1);
    PffRecord* pff = pff_Open("A.PFF");
    ASSERT_NE(pff, nullptr);
    file_PffSlotAdd(pff);

    auto tagOf = [](const void* p) {
        return reinterpret_cast<const MemBlock*>(static_cast<const uint8_t*>(p) - MEM_BLOCK_HEADER);
    };
    FileTable* disk = file_TableLoad("T.BIN");
    ASSERT_NE(disk, nullptr);
    EXPECT_STREQ(tagOf(disk)->tag, "LOADED FILE");
    EXPECT_GE(tagOf(disk)->id, MEM_ID_FIRST);
    FileTable* member = file_TableLoadWithId("p.bin", 0x42);
    ASSERT_NE(member, nullptr);
    EXPECT_STREQ(tagOf(member)->tag, "PFF LOADED FILE");
    EXPECT_EQ(tagOf(member)->id, 0x42u);
    EXPECT_STREQ(file_TableFindNamed(member, "sounds", "engine")->text, "hum");
    EXPECT_EQ(file_TableLoadReg("MISSING.BIN"), nullptr);
    // The loaded image is not kept beside the table.
    EXPECT_EQ(mem_Free(disk), 0);
    EXPECT_EQ(mem_Free(member), 0);
    EXPECT_EQ(mem_MainHeap.first->next, nullptr);
}

TEST_F(Table, DamagedImagesGiveNull) {
    std::vector<uint8_t> good = mkdata_TableBuild(Groups());
    uint32_t dirOffset = 0;
    ASSERT_TRUE(le_Read32At(good.data(), good.size(), 4, &dirOffset));
    auto with32 = [&](size_t at, uint32_t v) {
        std::vector<uint8_t> b = good;
        for (int i = 0; i < 4; i++) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
        return b;
    };
    std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"entry count past the end", with32(12, 1000)},
        {"entry count wraps", with32(12, 0x10000000)},
        {"text offset past the end", with32(16 + 16, 0x7FFFFFF0)},
        {"directory past the end", with32(4, static_cast<uint32_t>(good.size()))},
        {"group count past the end", with32(dirOffset, 0x20000000)},
        {"group name offset past the end", with32(dirOffset + 4, 0xFFFFFF00)},
    };
    for (auto& [what, bytes] : cases) {
        FileTable* t = file_TableRelocate(bytes.data(), static_cast<uint32_t>(bytes.size()));
        EXPECT_EQ(t, nullptr) << what;
        if (t) mem_Free(t);
    }
    // Every cut of the file either fails or yields only pointers inside it.
    for (size_t n = 0; n < good.size(); n++) {
        FileTable* t = file_TableRelocate(good.data(), static_cast<uint32_t>(n));
        if (!t) continue;
        for (uint32_t i = 0; i < file_TableCount(t); i++) {
            EXPECT_LE(strlen(file_TableEntryGet(t, i)->text), n);
            const char* name = file_TableNameGet(t, i);
            if (name) {
                EXPECT_LE(name, t->imageEnd);
            }
        }
        file_TableFindNamed(t, "SOUNDS", "ENGINE");
        mem_Free(t);
    }
    EXPECT_EQ(mem_MainHeap.first->next, nullptr);
}

} // namespace
