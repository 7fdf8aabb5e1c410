// Hits on player aircraft on the server, deaths, the crash line and the kill
// announcement: what each does to hit points and scores, and which events
// and texts it queues.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/file_fixture.h"
#include "base/filetable.h"
#include "mkdata.h"
#include "net/msg.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "shell/appstr.h"
#include "sim/hit.h"
#include "sim/obj.h"
#include "world/gamemode.h"

namespace {

// What the server queued, oldest first: event ids, and the texts.
struct Queued {
    std::vector<uint16_t> ids;
    std::vector<std::string> texts;
};

Queued Queue(void) {
    Queued q;
    for (ListNode* n = Server.eventQueue; n; n = n->next) {
        const NetQueuedMessage* e = reinterpret_cast<const NetQueuedMessage*>(n);
        q.ids.insert(q.ids.begin(), e->record[0]);
        MsgEventText t;
        if (e->record[0] == EVENT_TEXT && msg_EventTextDecode(e->record, e->length, &t) == 0)
            q.texts.insert(q.texts.begin(), t.text);
    }
    return q;
}

class DeathTest : public FileEnv {
protected:
    ObjectRecord aircraft[3]{};
    ObjectRecord weapon{};
    ObjectRecord hunter{};

    void SetUp() override {
        FileEnv::SetUp();
        ASSERT_EQ(mkdata_WriteAppStrings("."), 0);
        app_StringTable = file_TableLoad("appstr.bin");
        ASSERT_NE(app_StringTable, nullptr);
        level_GameMode = GameModeFlags{1, 1, 0, 1, 0};
        ASSERT_EQ(Server_RecordCreate(), 0);
        static const char* const names[3] = {"Ann", "Bob", "Cy"};
        for (int32_t i = 0; i < 3; i++) {
            PlayerSlot* s = &Server.player[i];
            ASSERT_EQ(Server_PlayerMemCreate(i), 0);
            s->inUse = 1;
            s->active = 1;
            s->name = names[i];
            s->side = i;
            aircraft[i].serial = 101 + 2 * (uint32_t)i;
            aircraft[i].hitPoints = 1024;
            aircraft[i].hit = Server_PlayerAircraftHit;
            s->aircraft = &aircraft[i];
        }
        // An AI unit that hunts the victim.
        hunter.target = &aircraft[0];
        Server.objects = &hunter;
        Server_NoCollision = Server_NoDamage = 0;
    }
    void TearDown() override {
        memset(&Server, 0, sizeof Server);
        ServerPlayerPtr = nullptr;
        ServerPlayerObject = nullptr;
        level_GameMode = GameModeFlags{};
        sim_HitRecord = SimHitRecord{};
        Server_NoCollision = Server_NoDamage = 0;
        app_StringFileFree();
        FileEnv::TearDown();
    }
    void Hit(ObjectRecord* hitter, int32_t damage, int32_t scale = 0x10000) {
        sim_HitRecord = SimHitRecord{};
        sim_HitRecord.hitter = hitter;
        sim_HitRecord.damage = damage;
        sim_HitRecord.scale = scale;
        aircraft[0].hit(&aircraft[0]);
    }
};

constexpr uint16_t HIT[] = {EVENT_DEBRIS, EVENT_BEENHIT};
constexpr uint16_t KILL[] = {EVENT_DEBRIS, EVENT_BEENHIT, EVENT_BEENKILLED, EVENT_AIREXPLODE};
constexpr uint16_t ANNOUNCED[] = {EVENT_DEBRIS,     EVENT_BEENHIT, EVENT_BEENKILLED,
                                  EVENT_AIREXPLODE, EVENT_TEXT,    EVENT_SCORES};

template <size_t N>
std::vector<uint16_t> Ids(const uint16_t (&a)[N]) {
    return std::vector<uint16_t>(a, a + N);
}

TEST_F(DeathTest, HitsOnAPlayerAircraft) {
    struct Case {
        const char* what;
        int32_t singlePlayer;
        int16_t hitPoints;
        uint32_t countdown;
        int32_t hitterSlot;     // -1: a weapon
        int32_t hitterSide;     // the hitter's slot side; the victim is on side 0
        int32_t victimSide;
        int32_t noDamage, noCollision;
        uint8_t hitterFlags;
        int32_t damage, scale;
        int16_t hitPointsAfter;
        std::vector<uint16_t> events;
        int32_t killerScore;
    };
    const std::vector<uint16_t> none;
    const Case cases[] = {
        {"a hit that leaves 1", 0, 81, 0, 1, 1, 0, 0, 0, 0, 80, 0x10000, 1, Ids(HIT), 0},
        {"half the damage at scale 0.5", 0, 100, 0, 1, 1, 0, 0, 0, 0, 80, 0x8000, 60, Ids(HIT), 0},
        {"a hit that leaves exactly 0 kills", 0, 80, 0, 1, 1, 0, 0, 0, 0, 80, 0x10000, 0, Ids(ANNOUNCED), 1},
        {"a dead aircraft", 0, 0, 0, 1, 1, 0, 0, 0, 0, 80, 0x10000, 0, none, 0},
        {"during the respawn countdown", 0, 80, 5, 1, 1, 0, 0, 0, 0, 80, 0x10000, 80, none, 0},
        {"the same side in a network game", 0, 80, 0, 1, 0, 0, 0, 0, 0, 80, 0x10000, 80, none, 0},
        {"no side hits and scores against all", 0, 80, 0, 1, -1, -1, 0, 0, 0, 80, 0x10000, 0, Ids(ANNOUNCED), 1},
        {"single player: no announcement", 1, 80, 0, 1, 0, 0, 0, 0, 0, 80, 0x10000, 0, Ids(KILL), 0},
        {"the no-damage switch", 0, 80, 0, 1, 1, 0, 1, 0, 0, 80, 0x10000, 80, none, 0},
        {"the no-collision switch", 0, 80, 0, 1, 1, 0, 0, 1, 0, 80, 0x10000, 80, none, 0},
        {"the shooter's no-damage flag, local", 1, 80, 0, 1, 1, 0, 0, 0, SLOT_FLAG_NO_DAMAGE, 80, 0x10000, 80, none, 0},
        {"a weapon kills without a killer", 0, 80, 0, -1, 1, 0, 0, 0, 0, 80, 0x10000, 0, Ids(KILL), 0},
        {"a huge hit does not wrap", 0, 80, 0, -1, 1, 0, 0, 0, 0, INT32_MAX, INT32_MAX, 0, Ids(KILL), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Server.eventQueue = nullptr;
        level_GameMode.singlePlayer = c.singlePlayer;
        PlayerSlot& victim = Server.player[0];
        PlayerSlot& killer = Server.player[1];
        victim.countdown = c.countdown;
        victim.side = c.victimSide;
        killer.side = c.hitterSide;
        killer.score = 0;
        killer.playerFlags = c.hitterFlags;
        aircraft[0].hitPoints = c.hitPoints;
        hunter.target = &aircraft[0];
        Server_NoDamage = c.noDamage;
        Server_NoCollision = c.noCollision;
        Hit(c.hitterSlot >= 0 ? &aircraft[c.hitterSlot] : &weapon, c.damage, c.scale);
        EXPECT_EQ(aircraft[0].hitPoints, c.hitPointsAfter);
        EXPECT_EQ(Queue().ids, c.events);
        EXPECT_EQ(killer.score, c.killerScore);
        // A death leaves nobody aiming at the wreck.
        EXPECT_EQ(hunter.target == nullptr, c.hitPointsAfter == 0 && c.hitPoints > 0);
    }
}

// The kill line names the killer first; a kill within a side is announced
// without a point, a kill of oneself not at all.
TEST_F(DeathTest, KillAnnouncement) {
    Server_AnnounceKill(1, 2);
    Queued q = Queue();
    ASSERT_EQ(q.texts.size(), 1u);
    const std::string& line = q.texts[0];
    ASSERT_NE(line.find("Bob"), std::string::npos);
    ASSERT_NE(line.find("Cy"), std::string::npos);
    EXPECT_LT(line.find("Bob"), line.find("Cy")) << line;
    EXPECT_EQ(Server.player[1].score, 1);

    Server.eventQueue = nullptr;
    Server.player[2].side = 1;
    Server_AnnounceKill(1, 2);
    EXPECT_EQ(Queue().texts.size(), 1u);
    EXPECT_EQ(Server.player[1].score, 1);

    Server.eventQueue = nullptr;
    Server_AnnounceKill(1, 1);
    Server_AnnounceKill(1, 7);
    EXPECT_TRUE(Queue().ids.empty());
}

// The aircraft's own report of its explosion: killed without a killer,
// unless a switch or its flag protects it or it is dead already.
TEST_F(DeathTest, ReportedExplosion) {
    struct Case {
        const char* what;
        int16_t hitPoints;
        int32_t noDamage;
        uint8_t flags;
        std::vector<uint16_t> events;
    } cases[] = {
        {"alive", 500, 0, 0, {EVENT_BEENKILLED, EVENT_AIREXPLODE}},
        {"already dead", 0, 0, 0, {}},
        {"the no-damage switch", 500, 1, 0, {}},
        {"its no-damage flag", 500, 0, SLOT_FLAG_NO_DAMAGE, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Server.eventQueue = nullptr;
        aircraft[0].hitPoints = c.hitPoints;
        Server.player[0].playerFlags = c.flags;
        Server_NoDamage = c.noDamage;
        ServerPlayerPtr = &Server.player[0];
        Server_PlayerExploded();
        EXPECT_EQ(Queue().ids, c.events);
        EXPECT_EQ(aircraft[0].hitPoints, c.events.empty() ? c.hitPoints : 0);
    }
}

TEST_F(DeathTest, CrashLineNamesThePlayer) {
    ServerPlayerPtr = &Server.player[2];
    Server_CrashTextSend();
    Queued q = Queue();
    ASSERT_EQ(q.texts.size(), 1u);
    EXPECT_NE(q.texts[0].find("Cy"), std::string::npos) << q.texts[0];
}

// In single player a dead object also leaves the type list, and no listed
// object keeps it as a target.
TEST_F(DeathTest, ClearingTargets) {
    ObjectRecord listed{};
    obj_TypeListReset();
    obj_TypeListPush(&aircraft[0]);
    obj_TypeListPush(&listed);
    listed.target = &aircraft[0];
    for (int32_t single : {0, 1}) {
        level_GameMode.singlePlayer = single;
        hunter.target = &aircraft[0];
        Server_ClearTargetsOf(&aircraft[0]);
        EXPECT_EQ(hunter.target, nullptr);
        EXPECT_EQ(aircraft[0].typeLinked, single ? 0 : 1);
        EXPECT_EQ(listed.target == nullptr, single == 1);
    }
    obj_TypeListReset();
}

}  // namespace
