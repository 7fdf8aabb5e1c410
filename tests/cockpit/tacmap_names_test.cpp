// Map item names: reveal modes against the trigger flags, the kinds' name
// words and frames, missing words, and the description a map item takes
// from its placed object.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cockpit/game_text_fixture.h"
#include "cockpit/tacmap.h"
#include "sim/trig.h"
#include "world/level.h"
#include "world/orf.h"

namespace {

class TacmapNames : public ::testing::Test {
protected:
    TestGameTexts texts{190};
    void SetUp() override {
        texts[0] = "UNKNOWN";
        texts[3] = "RENDEZVOUS";
        texts[6] = "ATTACK %s";
        texts[7] = "ESCORT %s";
        texts[8] = "DEFEND %s";
        texts[27] = "RED";
        texts[32] = "AZURE";
        texts[179] = "SAM SITE";
        memset(trig_Flags, 0, sizeof trig_Flags);
    }
    void TearDown() override {
        memset(trig_Flags, 0, sizeof trig_Flags);
    }
    static LevelMapItem Item(uint8_t kind, uint16_t index, uint8_t reveal = 0, uint16_t flag = 0) {
        LevelMapItem item{};
        item.kind = kind;
        item.index = index;
        item.revealMode = reveal;
        item.triggerFlag = flag;
        return item;
    }
    static std::string Name(const LevelMapItem& item) { return tacmap_ItemNameGetC(&item); }
};

TEST_F(TacmapNames, KindsNameTheirWordsInTheirFrames) {
    struct Case {
        LevelMapItem item;
        const char* name;
    } cases[] = {
        {Item(7, 5), "ESCORT AZURE"},      // text 7 framing text 27 + 5
        {Item(8, 2), "DEFEND SAM SITE"},   // text 8 framing text 177 + 2
        {Item(3, 99), "RENDEZVOUS"},       // any other kind: its own text
        {Item(7, 13), "ESCORT ???"},       // a missing name word
        {Item(8, 500), "DEFEND ???"},      // past the table
        {Item(100, 0), "???"},             // a missing kind text
        {Item(255, 0), "???"},
    };
    for (const Case& c : cases) EXPECT_EQ(Name(c.item), c.name) << (int)c.item.kind << " " << c.item.index;
}

TEST_F(TacmapNames, HiddenItemsAreTextZeroWhateverTheirKind) {
    trig_Flags[4] = 1;
    struct Case {
        uint8_t reveal;
        uint16_t flag;
        bool hidden;
    } cases[] = {
        {0, 3, false}, {0, 4, false},
        {1, 3, true},  {1, 4, false},  // mode 1: hidden while the flag is clear
        {2, 3, false}, {2, 4, true},   // any other mode: hidden while it is set
        {9, 4, true},
        {1, 600, true}, {2, 600, false},  // a flag past the 512 reads clear
    };
    for (const Case& c : cases)
        for (uint8_t kind : {3, 7, 8}) {
            const std::string name = Name(Item(kind, 5, c.reveal, c.flag));
            EXPECT_EQ(name == "UNKNOWN", c.hidden) << (int)c.reveal << " " << c.flag << " kind " << (int)kind;
        }
    // Kind 6 is never hidden.
    LevelMapItem six = Item(6, 0, 1, 3);
    six.descKind = 0;
    six.nameIndex = 0;
    EXPECT_EQ(Name(six), "ATTACK RED");
    texts[0] = nullptr;
    EXPECT_EQ(Name(Item(7, 5, 1, 3)), "???");
}

TEST_F(TacmapNames, KindSixNamesItsDescriptionAndKeepsTheScratchOtherwise) {
    LevelMapItem item = Item(6, 0);
    item.descKind = 0;
    item.nameIndex = 5;
    EXPECT_EQ(Name(item), "ATTACK AZURE");
    item.descKind = 2;
    item.nameIndex = 2;
    EXPECT_EQ(Name(item), "ATTACK SAM SITE");
    for (int32_t kind : {1, 3, (int32_t)LEVEL_DESC_NONE}) {
        item.descKind = (uint8_t)kind;
        item.nameIndex = 9;
        EXPECT_EQ(Name(item), "ATTACK SAM SITE") << (int)kind;
    }
    // A kind-7 name leaves its word in the scratch text too.
    Name(Item(7, 0));
    EXPECT_EQ(Name(item), "ATTACK RED");
}

TEST_F(TacmapNames, DamagedFramesAndLongWordsStayInTheResult) {
    texts[7] = "%s %s";
    EXPECT_EQ(Name(Item(7, 5)), "???");
    texts[7] = "%d";
    EXPECT_EQ(Name(Item(7, 5)), "???");
    texts[7] = "100%% %s";
    EXPECT_EQ(Name(Item(7, 5)), "100% AZURE");
    const std::string longWord(600, 'W');
    texts[32] = longWord.c_str();
    texts[7] = "ESCORT %s";
    const std::string name = Name(Item(7, 5));
    EXPECT_EQ(name.size(), TACMAP_NAME_SIZE - 1);
    EXPECT_EQ(name.compare(0, 8, "ESCORT W"), 0);
    texts[3] = longWord.c_str();
    EXPECT_EQ(Name(Item(3, 0)).size(), TACMAP_NAME_SIZE - 1);
    // No game data at all: every word reads missing.
    level_GameData = nullptr;
    EXPECT_EQ(Name(Item(7, 5)), "???");
    EXPECT_EQ(Name(Item(3, 0)), "???");
}

TEST_F(TacmapNames, MapItemsCarryTheirPlacedObjectsDescription) {
    uint8_t items[3 * ORF_ARRAY1_SIZE] = {6, 0, 1, 0, 0, 0, 0, 0,   // placed object 1
                                          6, 0, 2, 0, 0, 0, 0, 0,   // none: only two placed
                                          7, 2, 5, 0, 3, 0, 0, 0};
    uint8_t placed[2 * ORF_PLACED_SIZE] = {};
    placed[ORF_PLACED_SIZE + 34] = 2;
    placed[ORF_PLACED_SIZE + 35] = 2;
    _ORF mission{};
    mission.array1 = {items, 3};
    mission.placed = {placed, 2};
    _ORF* const saved = level_Mission;
    level_Mission = &mission;
    LevelMapItem item;
    ASSERT_TRUE(level_MapItem(0, &item));
    EXPECT_EQ(item.descKind, 2);
    EXPECT_EQ(item.nameIndex, 2);
    EXPECT_EQ(Name(item), "ATTACK SAM SITE");
    ASSERT_TRUE(level_MapItem(1, &item));
    EXPECT_EQ(item.descKind, LEVEL_DESC_NONE);
    EXPECT_EQ(Name(item), "ATTACK SAM SITE");
    ASSERT_TRUE(level_MapItem(2, &item));
    EXPECT_EQ(Name(item), "ESCORT AZURE");  // reveal mode 2, flag 3 clear
    trig_Flags[3] = 1;
    EXPECT_EQ(Name(item), "UNKNOWN");
    level_Mission = saved;
}

}  // namespace
