// Level loading, the level sequences and the dynamic model slots, on the
// sample data set.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "base/file.h"
#include "base/ini.h"
#include "base/mem.h"
#include "display/hw3d.h"
#include "display/pal.h"
#include "fixtures/sample_data.h"
#include "net/client.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "shell/cmdline.h"
#include "shell/fatal.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "sim/ai.h"
#include "sim/obj.h"
#include "sim/trig.h"
#include "sim/weapon.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"
#include "world/model.h"
#include "world/objarray.h"
#include "world/orf.h"
#include "world/pak.h"
#include "world/terrain_draw.h"
#include "world/terrain.h"

#include "mission_write.h"
#include "world_fixture.h"

namespace {

using HeapShape = std::vector<std::tuple<const void*, uint32_t, std::string>>;

// Every block of the main heap: address, size and tag.
HeapShape Shape(void) {
    HeapShape out;
    for (MemBlock* b = mem_MainHeap.first; b; b = b->next)
        out.emplace_back(b, b->size, b->tag ? b->tag : "");
    return out;
}

const GameModeFlags kSinglePlayer = {1, 1, 1, 1, 0};
const GameModeFlags kDedicated = {1, 0, 0, 0, 0};
const GameModeFlags kRemote = {0, 0, 0, 1, 0};
const GameModeFlags kHostAndPlay = {1, 1, 0, 1, 0};

class Level : public ::testing::Test {
protected:
    TestWorkDir work;

    void SetUp() override {
        test_SampleDataEnter(work, "krx_level");
        if (HasFatalFailure()) return;
        Forget();
        snprintf(level_MissionNames.mission, sizeof level_MissionNames.mission, "F1M1.ORF");
        snprintf(level_MissionNames.reference, sizeof level_MissionNames.reference, "F1M1.REF");
    }
    void TearDown() override {
        pak_UnloadAll();
        model_DymodFreeAll(&model_ServerDymods);
        model_DymodFreeAll(&model_ClientDymods);
        Forget();
        file_StateInit();
        work.Leave();
    }
    // The world tests' reset, and the rest of the level's state.
    static void Forget() {
        world_TestForget();
        level_UserMission[0] = 0;
        level_MapIndex = 0;
        level_Palref = nullptr;
        terrain_Palref = nullptr;
        level_Markers = LevelMarkers{};
        level_Models = LevelModelTable{};
        level_Colours = LevelColourTables{};
        level_PackedNames = nullptr;
        level_PackedNamesSize = 0;
        level_ExcludedType = -1;
        memset(level_MissionOptionsFrontEnd, 0, sizeof level_MissionOptionsFrontEnd);
        level_TablesClear();
        level_ServerArrays = LevelServerArrays{};
        level_ClientArrays = LevelClientArrays{};
        level_ClientObjectArray = DcbPool{};
        level_ClientStaticArray = nullptr;
    }
    // Frees the whole level from the server's start marker (or the client's
    // when no server ran).
    static void FreeLevel() {
        level_ClientModelsFree();
        void* from = level_Markers.serverStart;
        if (from) mem_FreeFrom(from);
        level_Markers = LevelMarkers{};
        pak_UnloadAll();
        level_PalrefRelease();
    }
    // The weapon models come first: one slot for every weapon row with a
    // model, in row order.
    static int32_t WeaponSlots(void) {
        int32_t n = 0;
        for (int32_t i = 0; i < WEAPON_TYPES; i++) n += weapon_Types[i].model != nullptr;
        return n;
    }
    // Rows loading the file.
    static int32_t WeaponRowsOf(const char* name) {
        int32_t n = 0;
        for (int32_t i = 0; i < WEAPON_TYPES; i++)
            n += weapon_Types[i].model && strcmp(weapon_Types[i].model, name) == 0;
        return n;
    }
    static const char* SlotName(int32_t slot) {
        const char* n = level_Models.name[slot];
        return n ? n : "";
    }
};

// Each setting loads the level and leaves the heap as it was once the level
// is freed.
TEST_F(Level, EverySettingLeavesTheHeapAsItWas) {
    static const char kPacked[] = "HANGAR.PAK\0TOWER.PAK\0TANK.PAK\0SAMSITE.PAK";
    uint8_t record[16] = {};
    record[LEVEL_RECORD_NAME_COUNT] = 4;
    struct Case {
        const char* what;
        GameModeFlags mode;
        bool server, client;
        int32_t firstLevelSlot;
    } cases[] = {
        {"single player", kSinglePlayer, true, true, WeaponSlots() + 21},
        {"host and play", kHostAndPlay, true, true, 64},
        {"dedicated", kDedicated, true, false, 64},
        {"remote client", kRemote, false, true, 64},
    };
    for (const Case& c : cases) {
        HeapShape before = Shape();
        level_GameMode = c.mode;
        level_PackedNames = kPacked;
        level_PackedNamesSize = sizeof kPacked;
        uint32_t keyBefore = level_OwnerKey;
        if (c.server) level_LoadServer();
        PALREF* serverPalette = level_Palref;
        uint32_t serverKey = level_OwnerKey;
        if (c.client) level_LoadClient(record, sizeof record);
        // Every flight owns its named blocks under a fresh key; a client
        // beside the server shares the server's. Key 0 would free every
        // unowned block at the stop.
        EXPECT_NE(level_OwnerKey, 0u) << c.what;
        EXPECT_NE(level_OwnerKey, keyBefore) << c.what;
        if (c.server && c.client) {
            EXPECT_EQ(level_OwnerKey, serverKey) << c.what;
        }
        EXPECT_EQ(level_Models.firstLevelSlot, c.firstLevelSlot) << c.what;
        EXPECT_STREQ(SlotName(c.firstLevelSlot), "HANGAR.PAK") << c.what;
        EXPECT_STREQ(SlotName(c.firstLevelSlot + 3), "SAMSITE.PAK") << c.what;
        EXPECT_NE(level_Models.pak[c.firstLevelSlot + 3], nullptr) << c.what;
        // With a display the terrain has a palette object of the tiles' own
        // colours.
        EXPECT_EQ(terrain_Palref != nullptr, (bool)c.mode.display) << c.what;
        if (terrain_Palref) {
            EXPECT_EQ(memcmp(terrain_Palref->source, depth_Level.tilePalette, 768), 0) << c.what;
        }
        if (c.server && c.client) {
            // The client shares what the server loaded: nothing twice (a
            // weapon model once for each row that names it).
            EXPECT_EQ(level_Palref, serverPalette) << c.what;
            for (_PAK_ENTRY* e = pak_List.head; e; e = e->next) {
                int32_t rows = WeaponRowsOf(e->name);
                EXPECT_EQ(e->refCount, strcmp(e->name, "boo.pak") == 0 ? 2 : rows ? rows : 1)
                    << c.what << " " << e->name;
            }
        }
        if (c.server) {
            EXPECT_NE(level_Markers.serverEnd, nullptr);
            bool dedicated = c.mode.hosting && !c.mode.sharedProcess;
            EXPECT_EQ(level_Lists.sam != nullptr, !dedicated) << c.what;
            EXPECT_EQ(level_ServerPlayerLimits[0], c.mode.singlePlayer ? 2 : 16);
            EXPECT_EQ(level_ServerTables.startCount, 16) << c.what;
        }
        if (c.client) {
            EXPECT_NE(level_PlayerModel[0], nullptr) << c.what;
        }
        if (c.mode.display) {
            EXPECT_EQ(level_SpaceValue, (level_SpaceValue & 0xFF) * 0x01010101u) << c.what;
            EXPECT_NE(level_Grey239Value & 0xFF, 0u) << c.what;
            EXPECT_NE(level_ColourCurrent[LEVEL_SPACE], nullptr) << c.what;
        }
        FreeLevel();
        EXPECT_EQ(Shape(), before) << c.what;
        Forget();
        snprintf(level_MissionNames.mission, sizeof level_MissionNames.mission, "F1M1.ORF");
        snprintf(level_MissionNames.reference, sizeof level_MissionNames.reference, "F1M1.REF");
        memset(&level_Lists, 0, sizeof level_Lists);
    }
}

TEST_F(Level, FixedModelsSkyBodyAndTimeOfDay) {
    struct Case {
        int32_t timeOfDay;
        const char* body;
        int32_t kept;
        int32_t region, keptRegion;
    } cases[] = {{0, "sun.pak", 0, 0, 0},  {1, "moon.pak", 1, 0, 0}, {4, "moon.pak", 4, 0, 0},
                 {5, "sun.pak", 0, 12, 0}, {-1, "sun.pak", 0, -3, 0}};
    for (const Case& c : cases) {
        level_GameMode = kDedicated;
        level_TimeOfDay = c.timeOfDay;
        level_Region = c.region;
        level_LoadServer();
        EXPECT_EQ(level_Region, c.keptRegion);
        const int32_t w = WeaponSlots();
        EXPECT_STREQ(SlotName(0), "bullet.pak");
        EXPECT_STREQ(SlotName(w - 1), "fab50.pak");
        EXPECT_EQ(weapon_RowState[38].slot, w);  // slot numbers count from 1
        EXPECT_EQ(weapon_RowState[9].slot, 0);   // flak has no model
        EXPECT_STREQ(SlotName(w), "paper.pak");
        EXPECT_STREQ(SlotName(w + 19), "splash2.pak");
        EXPECT_STREQ(SlotName(w + 20), c.body) << c.timeOfDay;
        {
            // The lens flare's elements are frames 1 to 3 of the body's one
            // animated material.
            const _PAK_HEADER* body = level_Models.pak[w + 20];
            ASSERT_NE(body, nullptr);
            const PakGeometry* mesh = body->models[0].model->subObjects[0].geometry;
            ASSERT_NE(mesh, nullptr);
            EXPECT_EQ(mesh->faceCount, 4);
            EXPECT_EQ(mesh->faces[0].tail[1], 4);
            EXPECT_EQ(mesh->faces[0].tail[2], 0);
        }
        EXPECT_EQ(level_TimeOfDay, c.kept);
        // Numbered slots the level does not fill keep the default model.
        EXPECT_STREQ(SlotName(200), "boo.pak");
        FreeLevel();
        Forget();
        snprintf(level_MissionNames.mission, sizeof level_MissionNames.mission, "F1M1.ORF");
        snprintf(level_MissionNames.reference, sizeof level_MissionNames.reference, "F1M1.REF");
    }
}

// A single-player level's own models follow the fixed ones, the run-time
// list included.
TEST_F(Level, SinglePlayerModelsFollowTheFixedOnes) {
    static const char* const extra[] = {"crate.pak", nullptr};
    level_SinglePlayerModels = extra;
    level_GameMode = kSinglePlayer;
    level_LoadServer();
    level_SinglePlayerModels = nullptr;
    const int32_t w = WeaponSlots();
    EXPECT_STREQ(SlotName(w + 20), "crate.pak");
    EXPECT_EQ(level_Models.firstLevelSlot, w + 22);
    EXPECT_STREQ(SlotName(w + 22), "HANGAR.PAK");
    FreeLevel();
}

TEST_F(Level, PlacedObjectsBecomeTheWorld) {
    level_GameMode = kSinglePlayer;
    // Placed object 17 (serial 18) was destroyed in an earlier mission.
    level_MissionOptionsFrontEnd[18] = 1;
    level_LoadServer();
    LevelServerTables* t = &level_ServerTables;
    EXPECT_EQ(t->startCount, 16);
    EXPECT_EQ(t->starts[9].objectNumber, 10);
    EXPECT_EQ(t->starts[9].heading, 192 << 17);
    EXPECT_EQ(t->placed[9].category, LEVEL_CATEGORY_PLAYER_START);
    EXPECT_EQ(t->placed[9].value, 10);
    // Statics: hit class 5 of kind 2, the destroyed one missing, kind 3 none.
    EXPECT_EQ(t->placed[16].created, 1);
    EXPECT_EQ(t->placed[17].created, 0);
    EXPECT_EQ(trig_Event.id, 18);
    EXPECT_EQ(trig_Event.code, 11);
    ASSERT_GE(t->staticCount, 3);
    EXPECT_EQ(t->staticList[0]->hitPoints, 4096);
    EXPECT_EQ(t->staticList[1]->missionObject, 19);
    EXPECT_EQ(t->staticList[1]->hitPoints, 1024);
    EXPECT_EQ(t->staticList[2]->missionObject, 20);
    EXPECT_EQ(t->staticList[2]->hitPoints, 0);
    EXPECT_EQ(t->staticList[0]->model, level_Models.pak[level_Models.firstLevelSlot]);
    // Statics are on their world cells.
    ObjectRecord* s = t->staticList[0];
    uint32_t cell = (s->position.z >> 25) * 128 + (s->position.x >> 25);
    bool found = false;
    for (ObjectRecord* o = depth_Level.staticHeads[cell]; o; o = o->freeLink) found = found || o == s;
    EXPECT_TRUE(found);
    LevelMapItem item;
    ASSERT_TRUE(level_MapItem(2, &item));
    EXPECT_EQ(item.kind, 1);
    EXPECT_EQ(item.revealMode, 1);
    EXPECT_EQ(item.index, 22);
    EXPECT_EQ(item.triggerFlag, 3);
    EXPECT_FALSE(level_MapItem(3, &item));
    EXPECT_EQ(item.kind, 0);
    auto items = static_cast<const LevelPlacedEntry*>(level_ItemDescTable());
    EXPECT_EQ(items[22].category, LEVEL_CATEGORY_SPECIAL_AI);
    EXPECT_EQ(level_ObjectMarkQuery(level_Mission->placed.records + 17 * ORF_PLACED_SIZE), 2);
    EXPECT_EQ(level_ObjectMarkQuery(level_Mission->placed.records + 16 * ORF_PLACED_SIZE), 1);

    // Every player start lies on the runway: within touchdown range of a
    // landing place with alliance bit 0x08.
    const ObjCategoryList* landing = nullptr;
    for (const ObjCategoryList& l : obj_CategoryLists)
        if (l.bit == OBJ_CATEGORY_LANDING) landing = &l;
    ASSERT_NE(landing, nullptr);
    for (int32_t slot = 0; slot < 16; slot++) {
        bool near = false;
        for (int32_t i = 0; i < landing->count; i++) {
            const ObjectRecord* r = landing->items[i];
            if ((r->flags & OBJ_FLAG_ALLIANCE_B) && obj_PosDistance(&t->starts[slot].position, &r->position) < 0x1900000)
                near = true;
        }
        EXPECT_TRUE(near) << "slot " << slot;
    }

    // Player objects: a start record supplies its side's start items; a slot
    // without one gets none.
    ObjectRecord* p = level_PlayerObjectCreate(9);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->side, 1);
    EXPECT_EQ(t->starts[9].startItemCount, 2u);
    EXPECT_EQ(p->hitPoints, 1024);
    EXPECT_EQ(p->position.x, t->starts[9].position.x);
    // Placed on the ground of its spawn point, inert until it flies.
    const int32_t base = p->model ? p->model->baseHeight : 0;
    EXPECT_EQ(p->position.y, (uint32_t)(terrain_HeightBilinear(&p->position) + base));
    EXPECT_EQ(p->angles.heading, t->starts[9].heading);
    EXPECT_EQ(p->targetClass, 3);
    EXPECT_EQ(p->think, nullptr);
    EXPECT_EQ(p->secondPass, nullptr);
    ObjectRecord* q = level_PlayerObjectCreate(100);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(t->starts[100].startItems, nullptr);
    EXPECT_EQ(t->starts[100].startItemCount, 0u);

    // A replay makes the same world again and raises the level counter.
    uint32_t counter = level_Counter;
    int32_t statics = t->staticCount;
    level_StartSequence();
    EXPECT_EQ(level_Counter, counter + 1);
    EXPECT_EQ(t->staticCount, statics);
    EXPECT_EQ(t->startCount, 16);
    FreeLevel();
}

namespace {

bool OnList(ObjectRecord* list, const ObjectRecord* o) {
    for (ObjectRecord* r = list; r; r = r->next)
        if (r == o) return true;
    return false;
}

}  // namespace

// A replay keeps the players' aircraft objects and puts them in the new
// world; every player gets back the aircraft block its mode word picks.
// Two players, so one object had a predecessor on the old list.
TEST_F(Level, ReplayKeepsThePlayersAndRestoresTheirAircraft) {
    level_GameMode = kHostAndPlay;
    level_LoadServer();
    struct Case {
        uint16_t squadron;
        char wanted;  // first letter of the restored block's name
    } cases[] = {{0, 'A'}, {1, 'B'}, {0xFFFF, 'A'}};
    std::vector<PlayerSlot> slots(SERVER_PLAYERS);
    Server.player = slots.data();
    uint8_t queue[SERVER_FAR_QUEUE_BYTES] = {};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.squadron);
        for (PlayerSlot& s : slots) s = PlayerSlot{};
        for (int32_t i : {2, 5}) {
            PlayerSlot& s = slots[i];
            s.inUse = 1;
            s.playerId = static_cast<uint32_t>(i);
            s.aircraft = level_PlayerObjectCreate(i);
            ASSERT_NE(s.aircraft, nullptr);
            s.score = 40;
            s.lastSequence = 9;
            s.farQueueCount = 3;
            s.restartRequest = 1;
            s.squadron = c.squadron;
            snprintf(s.block.name, sizeof s.block.name, "CURRENT");
            snprintf(s.stored[0].name, sizeof s.stored[0].name, "A-SAVED");
            snprintf(s.stored[1].name, sizeof s.stored[1].name, "B-SAVED");
        }
        slots[5].objectQueue = queue;
        slots[5].objectQueueRead = queue + 12;
        slots[7].score = 11;  // not in use: left alone
        ObjectRecord* kept[2] = {slots[2].aircraft, slots[5].aircraft};
        level_StartSequence();
        for (int32_t k = 0; k < 2; k++) {
            PlayerSlot& s = slots[k ? 5 : 2];
            EXPECT_EQ(s.aircraft, kept[k]);
            EXPECT_TRUE(OnList(level_ServerTables.objectList, kept[k]));
            EXPECT_EQ(level_ServerTables.typeLast[kept[k]->typeIndex] != nullptr, true);
            EXPECT_EQ(s.score, 0);
            EXPECT_EQ(s.lastSequence, 0u);
            EXPECT_EQ(s.farQueueCount, 0u);
            EXPECT_EQ(s.restartRequest, 1u);  // only a reload clears it
            EXPECT_EQ(s.block.name[0], c.wanted);
        }
        EXPECT_EQ(slots[5].objectQueueRead, queue);
        EXPECT_EQ(slots[7].score, 11);
    }
    Server.player = nullptr;
    FreeLevel();
}

// A reload makes every used slot's aircraft object again in the new level
// memory, with the slot's model, and announces a new start-up record.
TEST_F(Level, ReloadMakesThePlayersAgain) {
    level_GameMode = kHostAndPlay;
    level_LoadServer();
    std::vector<PlayerSlot> slots(SERVER_PLAYERS);
    Server.player = slots.data();
    uint8_t queue[SERVER_FAR_QUEUE_BYTES];
    memset(queue, 0xAA, sizeof queue);
    PlayerSlot& s = slots[3];
    s.inUse = 1;
    s.playerId = 9;
    s.aircraft = level_PlayerObjectCreate(9);
    s.score = 7;
    s.restartRequest = 1;
    s.active = 1;
    s.staticBatchSerial = 4;
    s.startupSerial = 2;
    s.dymodSlot = 194;
    s.objectQueue = queue;
    uint32_t counter = level_Counter;
    level_ServerReload();
    EXPECT_EQ(level_Counter, counter + 1);
    ASSERT_NE(level_Mission, nullptr);
    ASSERT_NE(s.aircraft, nullptr);
    EXPECT_EQ(level_ServerTables.playerObjects[9], s.aircraft);
    EXPECT_TRUE(OnList(level_ServerTables.objectList, s.aircraft));
    EXPECT_EQ(s.aircraft->modelSlot, 194);
    EXPECT_EQ(s.aircraft->player, 9);
    EXPECT_EQ(s.score, 0);
    EXPECT_EQ(s.restartRequest, 0u);
    EXPECT_EQ(s.active, 0u);
    EXPECT_EQ(s.staticBatchSerial, 0u);
    EXPECT_EQ(s.startupSerial, 3u);
    EXPECT_EQ(s.startupPending, 1u);
    EXPECT_EQ(queue[0], 0);
    EXPECT_EQ(queue[SERVER_FAR_QUEUE_BYTES - 1], 0);
    EXPECT_EQ(slots[4].aircraft, nullptr);
    Server.player = nullptr;
    FreeLevel();
}

// The client's reset clears its player block through the mission-start
// view reset; freeing its models clears the view block and asks for the
// palette to fade in again.
TEST_F(Level, ClientResetAndModelsFreeResetTheViews) {
    level_GameMode = kRemote;
    struct Case {
        const char* name;
        void (*run)(void);
        int32_t fadeRequest;
        int32_t tail;
    } cases[] = {
        {"reset", level_ClientReset, 0, 5},
        {"models free", level_ClientModelsFree, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        memset(Client_PlayerBlock, 0x5A, sizeof Client_PlayerBlock);
        Client_PlayerBlockTail[1] = 5;
        Client_PaletteFadeRequest = 0;
        c.run();
        EXPECT_EQ(Client_PlayerBlock[0], 0);
        EXPECT_EQ(Client_PlayerBlock[sizeof Client_PlayerBlock - 1], 0);
        EXPECT_EQ(Client_PaletteFadeRequest, c.fadeRequest);
        EXPECT_EQ(Client_PlayerBlockTail[1], c.tail);
    }
    Client_PaletteFadeRequest = 0;
    Client_PlayerBlockTail[1] = 0;
}

TEST_F(Level, MissionStateAndOutOfRangeRecordsAreSkipped) {
    level_GameMode = kSinglePlayer;
    level_LoadServer();
    auto rec = [](int i) { return level_Mission->placed.records + i * ORF_PLACED_SIZE; };
    // Record 16 wants state 5 set; record 18 names a state beyond the table;
    // record 19 a serial beyond the destroyed table; record 0 player slot
    // 200; record 1 a side without a start group.
    rec(16)[28] = 1;
    rec(16)[29] = 1;
    rec(16)[30] = 5;
    rec(18)[28] = 1;
    rec(18)[30] = 0xFF;
    rec(18)[31] = 0xFF;
    rec(19)[26] = 0x88;
    rec(19)[27] = 0x13;
    rec(0)[16] = 200;
    rec(1)[23] = 9;
    // Each walk makes the AI units anew: their group tables start empty.
    ai_ClearModuleData();
    level_PlacedObjectsWalk();
    LevelServerTables* t = &level_ServerTables;
    EXPECT_EQ(t->placed[16].created, 0);
    EXPECT_EQ(t->placed[18].created, 0);
    EXPECT_EQ(t->placed[19].created, 1);
    EXPECT_EQ(t->startCount, 15);
    ObjectRecord* p = level_PlayerObjectCreate(1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(t->starts[1].startItemCount, 0u);
    level_MissionOptions[LEVEL_DESTROYED_TABLE_SIZE + 5] = 1;
    ai_ClearModuleData();
    level_PlacedObjectsWalk();
    EXPECT_EQ(t->placed[16].created, 1);
    FreeLevel();
}

// Only the first 1000 placed objects have table entries: the rest are not
// made.
TEST_F(Level, PlacedObjectsBeyondTheTableAreSkipped) {
    MkMission m = mkdata_SampleMission();
    OrfPlaced start = m.placed[0];
    m.placed.clear();
    for (int i = 0; i < 1002; i++) {
        start.playerSlot = static_cast<uint8_t>(i % 128);
        m.placed.push_back(start);
    }
    test_WriteFile("BIG.ORF", mkdata_MissionBuild(m));
    snprintf(level_MissionNames.mission, sizeof level_MissionNames.mission, "BIG.ORF");
    level_GameMode = kDedicated;
    level_LoadServer();
    EXPECT_EQ(level_ServerTables.startCount, LEVEL_PLACED_MAX);
    EXPECT_EQ(level_ServerTables.placed[999].value, 999 % 128 + 1);
    FreeLevel();
}

// ART.CFG: the "%s_rgb" form wins over the components; "brighten" is kept
// modulo 256; a missing section leaves its entries alone; the locale
// override stays off.
TEST_F(Level, ArtCfgColours) {
    test_WriteText("art.txt",
                   "[REG2_TOD3]\r\n"
                   "cool_haze=1\r\n"
                   "haze_rgb=10,20,30\r\n"
                   "haze_red=99\r\n"
                   "smoke_red=1\r\nsmoke_green=2\r\nsmoke_blue=3\r\n"
                   "space_rgb=4,\r\n5,6\r\n"
                   "brighten=256,257,-1,128,300\r\n"
                   "[LOCALE]\r\nMISSION=OTHER\r\nREGION=3\r\n");
    level_Region = 1;
    level_TimeOfDay = 2;
    level_GameMode = kSinglePlayer;
    level_Colours.rgb[LEVEL_HAZE][0][0] = 77;
    ASSERT_EQ(ini_LoadKeepCase("art.txt"), 1);
    level_ArtCfgRead();
    ini_Unload();
    int32_t e = 1 * 5 + 2;
    EXPECT_EQ(level_Colours.coolHaze, 1);
    EXPECT_EQ(level_Colours.rgb[LEVEL_HAZE][e][0], 10);
    EXPECT_EQ(level_Colours.rgb[LEVEL_HAZE][e][2], 30);
    EXPECT_EQ(level_Colours.rgb[LEVEL_SMOKE][e][1], 2);
    EXPECT_EQ(level_Colours.rgb[LEVEL_SPACE][e][0], 4);
    EXPECT_EQ(level_Colours.rgb[LEVEL_SPACE][e][2], 6);
    EXPECT_EQ(level_Colours.brighten[e][0], 0);
    EXPECT_EQ(level_Colours.brighten[e][1], 1);
    EXPECT_EQ(level_Colours.brighten[e][2], 255);
    EXPECT_EQ(level_Colours.brighten[e][4], 44);
    EXPECT_EQ(level_Colours.rgb[LEVEL_HAZE][0][0], 77);
    EXPECT_EQ(level_Region, 1);
    EXPECT_STREQ(level_MissionNames.mission, "F1M1.ORF");
    level_CurrentColoursSelect();
    EXPECT_EQ(level_ColourCurrent[LEVEL_HAZE][1], 20);
    EXPECT_EQ(level_Brighten[2], 255);
}

TEST_F(Level, MultiplayerMapRotation) {
    struct Case {
        const char* what;
        uint32_t bits;
        int32_t changeType;
        int32_t map, tod;
        int32_t result;
        const char* mission;
        int32_t wantMap, wantTod;
    } cases[] = {
        {"no game bit", 4, 0, 3, 2, 0, "", 3, 2},
        {"deathmatch: next map wraps to 1", 1, 0, 9, 2, 1, "QJDM01.ORF", 0, 2},
        {"capture the flag, next map", 2, 0, 9, 1, 1, "QJCTF01.ORF", 0, 1},
        {"time of day steps on the same map", 1, 2, 0, 4, 1, "QJDM01.ORF", 0, 0},
        {"time of day, then the map", 1, 3, 9, 4, 1, "QJDM01.ORF", 0, 0},
        {"random", 1, 1, 5, 0, 1, "QJDM01.ORF", 0, -1},
    };
    // Only map 1 is left of the sample set's maps.
    for (int32_t m = 2; m <= 10; m++)
        for (const char* f : {"QJDM%02d.ORF", "QJDM%02d.REF", "QJCTF%02d.ORF", "QJCTF%02d.REF"}) {
            char name[16];
            snprintf(name, sizeof name, f, (int)m);
            std::filesystem::remove(name);
        }
    for (const Case& c : cases) {
        level_MissionNames = LevelMissionNames{};
        app_Settings.DEATHMATCH_CHANGE_TYPE = c.changeType;
        app_Settings.RAW_CHANGE_TYPE = c.changeType;
        level_MapIndex = c.map;
        level_TimeOfDay = c.tod;
        EXPECT_EQ(level_MultiplayerMapNames(c.bits), c.result) << c.what;
        EXPECT_STREQ(level_MissionNames.mission, c.mission) << c.what;
        EXPECT_EQ(level_MapIndex, c.wantMap) << c.what;
        if (c.wantTod >= 0) {
            EXPECT_EQ(level_TimeOfDay, c.wantTod) << c.what;
        }
    }
    // Mode 2 never leaves the map: with map 5 missing, 51 tries fail and the
    // names stay.
    snprintf(level_MissionNames.mission, sizeof level_MissionNames.mission, "KEEP.ORF");
    app_Settings.DEATHMATCH_CHANGE_TYPE = 2;
    level_MapIndex = 4;
    EXPECT_EQ(level_MultiplayerMapNames(1), 0);
    EXPECT_STREQ(level_MissionNames.mission, "KEEP.ORF");
    // A map whose reference file is missing is passed over.
    std::filesystem::remove("QJDM01.REF");
    app_Settings.DEATHMATCH_CHANGE_TYPE = 0;
    EXPECT_EQ(level_MultiplayerMapNames(1), 0);
}

TEST_F(Level, DynamicModelSlots) {
    level_GameMode = kRemote;
    level_Markers.clientStart = mem_AllocEx(0, 4, "Client level_mem_start");
    // Server side: 192, 193, reuse of 192; two acquires need two releases.
    EXPECT_EQ(model_NamedRefAcquire("TANK.PAK"), 192);
    EXPECT_EQ(model_NamedRefAcquire("TOWER.PAK"), 193);
    EXPECT_EQ(model_NamedRefAcquire("tank.pak"), 192);
    model_NamedRefRelease(192);
    EXPECT_NE(model_DymodFind(&model_ServerDymods, 192), nullptr);
    model_NamedRefRelease(192);
    EXPECT_EQ(model_DymodFind(&model_ServerDymods, 192), nullptr);
    model_NamedRefRelease(250);  // held by none: ignored
    EXPECT_EQ(model_NamedRefAcquire("../../ETC.PAK"), MODEL_DYMOD_NO_SLOT);
    EXPECT_EQ(model_NamedRefAcquire("SIXTEEN_CHARS.PK"), MODEL_DYMOD_NO_SLOT);
    EXPECT_EQ(model_NamedRefAcquire("HANGAR.PAK"), 192);
    char name[24];
    for (int32_t i = model_ServerDymods.count; i < 63; i++) {
        snprintf(name, sizeof name, "M%d.PAK", i);
        EXPECT_NE(model_NamedRefAcquire(name), MODEL_DYMOD_NO_SLOT);
    }
    EXPECT_EQ(model_ServerDymods.count, 63);
    EXPECT_EQ(model_NamedRefAcquire("ONEMORE.PAK"), MODEL_DYMOD_NO_SLOT);
    EXPECT_EQ(model_NamedRefAcquire("M10.PAK"), model_DymodFind(&model_ServerDymods, 192 + 10)->slot);
    model_DymodFreeAll(&model_ServerDymods);
    EXPECT_EQ(model_ServerDymods.first, nullptr);

    // Client side: the file between two anchors; the same name again does
    // nothing; a missing file gives the default model; bad names are refused.
    model_DymodLoad(192, "TANK.PAK");
    _DYMOD* d = model_DymodFind(&model_ClientDymods, 192);
    ASSERT_NE(d, nullptr);
    EXPECT_NE(d->anchorFront, nullptr);
    EXPECT_NE(d->anchorBack, nullptr);
    _PAK_HEADER* tank = level_Models.pak[192];
    EXPECT_NE(tank, nullptr);
    model_DymodLoad(192, "tank.pak");
    EXPECT_EQ(model_DymodFind(&model_ClientDymods, 192)->refCount, 1);
    EXPECT_EQ(model_ClientDymods.count, 1);
    model_DymodLoad(193, "NOFILE.PAK");
    _DYMOD* missing = model_DymodFind(&model_ClientDymods, 193);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->anchorFront, nullptr);
    EXPECT_EQ(level_Models.pak[193]->name, std::string("B2"));
    model_DymodLoad(194, "../KRX.PFF");
    model_DymodLoad(195, "A/B.PAK");
    model_DymodLoad(300, "TANK.PAK");
    EXPECT_EQ(model_ClientDymods.count, 2);
    // Another name in a held slot replaces it.
    model_DymodLoad(192, "TOWER.PAK");
    EXPECT_EQ(model_ClientDymods.count, 2);
    EXPECT_STREQ(model_DymodFind(&model_ClientDymods, 192)->name, "TOWER.PAK");
    level_Markers.clientEnd = mem_AllocEx(0, 4, "Client level_mem_end");
    level_ClientModelsFree();
    EXPECT_EQ(model_ClientDymods.count, 0);
}

TEST(LevelNames, NetworkNamesMustBePlainAndEndInTheirField) {
    char full[16];
    memset(full, 'A', sizeof full);
    EXPECT_FALSE(level_NameIsPlain(full, sizeof full));
    EXPECT_TRUE(level_NameIsPlain("TANK.PAK", 16));
    EXPECT_FALSE(level_NameIsPlain("", 16));
    EXPECT_FALSE(level_NameIsPlain("..PAK", 16));
    EXPECT_FALSE(level_NameIsPlain("A\\B.PAK", 16));
    EXPECT_FALSE(level_NameIsPlain("C:B.PAK", 16));
}

class LevelDeath : public Level {
protected:
    static void PackedWithSeparator() {
        static const char names[] = "HANGAR.PAK\0../X.PAK";
        level_LoadModelsPacked(names, sizeof names, 2);
    }
    static void PackedUnterminated() {
        static const char names[3] = {'A', 'B', 'C'};
        level_LoadModelsPacked(names, sizeof names, 1);
    }
    static void MissingModel() {
        uint8_t names[16] = {'N', 'O', 'N', 'E', '.', 'P', 'A', 'K'};
        level_LoadModels(names, 1);
    }
};

TEST_F(LevelDeath, BadInputEndsWithItsBox) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ::testing::ExitedWithCode data(APP_EXIT_DATA_ERROR);
    EXPECT_EXIT(
        {
            level_GameMode = kDedicated;
            snprintf(level_UserMission, sizeof level_UserMission, "%s", std::string(96, 'M').c_str());
            level_LoadServer();
        },
        data, "level_LoadServer");
    EXPECT_EXIT(
        {
            std::filesystem::remove("ART.CFG");
            level_GameMode = kDedicated;
            level_LoadServer();
        },
        data, "level_ParseArtCfg");
    EXPECT_EXIT(
        {
            LevelPakRef ref;
            level_Models.count = LEVEL_MODEL_SLOTS;
            level_LoadPak(&ref, "boo.pak");
        },
        data, "level_LoadPak");
    EXPECT_EXIT(level_LoadPakInSlot(256, "boo.pak"), ::testing::ExitedWithCode(255),
                "Error! level_LoadPakInSlot \\(256, \"boo.pak\"\\)!");
    EXPECT_EXIT(PackedWithSeparator(), data, "level_LoadModelsPacked");
    EXPECT_EXIT(PackedUnterminated(), data, "level_LoadModelsPacked");
    // The model loader itself ends the program for a missing model.
    EXPECT_EXIT(MissingModel(), data, "NONE.PAK");
}

}  // namespace
