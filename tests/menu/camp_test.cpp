// The campaign loadout lists and their "PLT1" file: counts and adjustments,
// a fresh slot seeded from the campaigns' first missions, the round trip,
// damaged files and a failed save.
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "base/le.h"
#include "menu/camp.h"
#include "menu/loadout.h"
#include "menu/quick.h"
#include "menu_fixture.h"
#include "mission_write.h"

namespace {

class CampTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        mnu_CampLoadout = MnuCampBlock{MNU_CAMP_MAGIC, {}};  // the last test's heaps are gone
        mnu_GameMode = 0;
    }
    void TearDown() override {
        mnu_CampLoadoutFree();
        mnu_GameMode = 0;
        MenuTest::TearDown();
    }
    static std::vector<uint8_t> ReadAll(const char* name) {
        std::ifstream f(name, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
    }
    MnuCampList* List(int32_t i) { return &mnu_CampLoadout.lists[i]; }
};

TEST_F(CampTest, AdjustSetAndCount) {
    struct Case {
        int32_t start;  // -1: absent
        int32_t delta;
        int32_t returned, stored;  // stored -1: still absent
    } cases[] = {
        {-1, -3, -3, -1},  // nothing stored, the delta returned
        {-1, 3, 3, 3},     // appended
        {2, -5, 0, 0},     // not below 0
        {2, 4, 6, 6},
    };
    for (const Case& c : cases) {
        mnu_CampLoadoutFree();
        MnuCampList* l = List(0);
        mnu_CampLoadoutSet(l, 9, 1);  // another key first
        if (c.start >= 0) mnu_CampLoadoutSet(l, 7, c.start);
        EXPECT_EQ(mnu_CampLoadoutAdjust(l, 7, c.delta), c.returned) << c.start << " " << c.delta;
        EXPECT_EQ(l->count, c.stored < 0 ? 1 : 2) << c.start << " " << c.delta;
        EXPECT_EQ(mnu_CampLoadoutCount(l, 7), c.stored < 0 ? 0 : c.stored) << c.start << " " << c.delta;
    }
    // A quick mission: every store once, nothing stored.
    mnu_GameMode = 1;
    EXPECT_EQ(mnu_CampLoadoutCount(List(0), 1234), 1);
    mnu_CampLoadoutAdjust(List(0), 7, 5);
    mnu_CampLoadoutSet(List(0), 8, 5);
    mnu_GameMode = 0;
    EXPECT_EQ(mnu_CampLoadoutCount(List(0), 7), 6);
    EXPECT_EQ(mnu_CampLoadoutCount(List(0), 8), 0);
}

TEST_F(CampTest, FreshSlotSeededSavedAndReadBack) {
    MkMission m;
    auto pair = [](uint16_t key, uint16_t count) {
        LeWriter w;
        w.u16(key);
        w.u16(count);
        w.u32(0);
        return w.buf;
    };
    std::vector<uint8_t> stores = pair(21, 4);
    std::vector<uint8_t> second = pair(35, 2);
    stores.insert(stores.end(), second.begin(), second.end());
    m.array2 = stores;
    m.text = mkdata_TableBuild({{"MISS 1 HEADERS", {{"TITLE", "First"}}}});
    test_WriteFile("F2M1.ORF", mkdata_MissionBuild(m));
    ASSERT_EQ(mnu_CampLoadoutLoad(0), 1);
    std::vector<uint8_t> file = ReadAll("FSLOT00.cmp");
    // Magic, 64 counts, two pairs of campaign 2.
    ASSERT_EQ(file.size(), 4u + 64 * 4 + 2 * 8);
    EXPECT_EQ(memcmp(file.data(), "PLT1", 4), 0);
    EXPECT_EQ(List(1)->count, 2);
    EXPECT_EQ(mnu_CampLoadoutCount(List(1), 35), 2);
    EXPECT_EQ(List(0)->count, 0);

    // Round trip with a change.
    mnu_CampLoadoutAdjust(List(63), 5, 9);
    ASSERT_EQ(mnu_CampLoadoutSave(0), 1);
    mnu_CampLoadoutFree();
    ASSERT_EQ(mnu_CampLoadoutLoad(0), 1);
    EXPECT_EQ(mnu_CampLoadoutCount(List(63), 5), 9);
    EXPECT_EQ(mnu_CampLoadoutCount(List(1), 21), 4);
    EXPECT_EQ(mnu_CampLoadoutImage(), ReadAll("FSLOT00.cmp"));

    mnu_CampLoadoutDelete(0);
    EXPECT_EQ(ReadAll("FSLOT00.cmp").size(), 0u);
    EXPECT_EQ(List(1)->count, 0);
}

TEST_F(CampTest, DamagedFilesAreKeptAsideAndLeaveEmptyLists) {
    std::vector<uint8_t> good;
    mnu_CampLoadoutSet(List(3), 4, 4);
    good = mnu_CampLoadoutImage();
    const std::vector<uint8_t> badMagic = [&] {
        std::vector<uint8_t> v = good;
        v[0] = 'X';
        return v;
    }();
    const std::vector<uint8_t> huge = [&] {
        std::vector<uint8_t> v = good;
        v[4] = 0xFF, v[5] = 0xFF, v[6] = 0xFF, v[7] = 0x7F;  // list 0 claims far more than the file holds
        return v;
    }();
    const std::vector<uint8_t> shortFile(good.begin(), good.end() - 4);
    const std::vector<uint8_t> empty;
    for (const std::vector<uint8_t>* f : {&badMagic, &huge, &shortFile, &empty}) {
        const std::vector<uint8_t>& image = *f;
        test_WriteFile("FSLOT01.cmp", image);
        mnu_CampLoadoutSet(List(3), 4, 4);
        EXPECT_EQ(mnu_CampLoadoutLoad(1), 0);
        EXPECT_EQ(List(3)->count, 0);
        EXPECT_EQ(ReadAll("FSLOT01.cmp.bad"), image);
        EXPECT_EQ(ReadAll("FSLOT01.cmp").size(), 0u);
        std::remove("FSLOT01.cmp.bad");
    }
}

TEST_F(CampTest, FailedSaveKeepsTheOldFile) {
    mnu_CampLoadoutSet(List(0), 1, 1);
    ASSERT_EQ(mnu_CampLoadoutSave(2), 1);
    std::vector<uint8_t> before = ReadAll("FSLOT02.cmp");
    ASSERT_EQ(mkdir("FSLOT02.cmp.tmp", 0755), 0);  // the temporary file cannot be made
    mnu_CampLoadoutSet(List(0), 1, 5);
    EXPECT_EQ(mnu_CampLoadoutSave(2), 0);
    EXPECT_EQ(ReadAll("FSLOT02.cmp"), before);
}

}  // namespace
