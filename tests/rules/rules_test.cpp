// Game-type rules: team colours and slots, flag counts and round ends,
// score limits, replay or next map, respawn and the static damage routine.
#include "net/rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/filetable.h"
#include "base/math.h"
#include "fixtures/heaps.h"
#include "menu/host.h"
#include "mkdata.h"
#include "net/msg.h"
#include "net/player.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "render/render.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "sim/hit.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/gamemode.h"
#include "world/level.h"

// What the rules queue is read back from the server's event queue, oldest
// first, and the queue is then emptied as a send step with no players would.
struct QueuedEvent {
    uint16_t id;
    uint32_t value;
    bool hasPosition;
    FixWorldPos position;
    uint32_t range;
};
std::vector<QueuedEvent> g_events;
std::vector<std::string> g_texts;
int32_t g_levelResets = 0;
int32_t g_scoreSends = 0;

namespace {

void Drain(void) {
    std::vector<const NetQueuedMessage*> queued;
    for (ListNode* node = Server.eventQueue; node; node = node->next)
        queued.insert(queued.begin(), reinterpret_cast<const NetQueuedMessage*>(node));
    for (const NetQueuedMessage* n : queued) {
        uint16_t id = static_cast<uint16_t>(n->record[0] | (n->record[1] << 8));
        MsgEventText text{};
        MsgEventCommon common{};
        if (id == EVENT_TEXT && msg_EventTextDecode(n->record, n->length, &text) == 0) {
            g_texts.push_back(text.text);
        } else if (id == EVENT_LEVEL_RESET) {
            g_levelResets++;
        } else if (id == EVENT_SCORES) {
            g_scoreSends++;
        } else if (msg_EventCommonDecode(n->record, n->length, &common) == 0) {
            FixWorldPos at{};
            at.x = static_cast<uint32_t>(common.position.x);
            at.y = static_cast<uint32_t>(common.position.y);
            at.z = static_cast<uint32_t>(common.position.z);
            bool has = at.x != 0 || at.y != 0 || at.z != 0;
            g_events.push_back({id, common.value, has, at, n->range});
        }
    }
    Server_EventsDistribute();
}
std::vector<QueuedEvent>& Events(void) { Drain(); return g_events; }
std::vector<std::string>& Texts(void) { Drain(); return g_texts; }
int32_t LevelResets(void) { Drain(); return g_levelResets; }

}  // namespace

namespace {

// The builder's game data entries as the level load leaves them.
FileTable* GameDataTable(void) {
    std::vector<MkGameText> texts = mkdata_RulesGameTexts();
    MkTableGroup g{"QJGAME", {}};
    for (uint32_t i = 0; i < 1022; i++) {
        MkTableItem item;
        item.name = "ITEM" + std::to_string(i);
        for (const MkGameText& t : texts)
            if (t.item == i) {
                item.name = t.name;
                item.text = t.text;
            }
        g.items.push_back(item);
    }
    std::vector<uint8_t> image = mkdata_TableBuild({g});
    return file_TableRelocate(image.data(), static_cast<uint32_t>(image.size()));
}

uint16_t CountEvents(uint16_t id) {
    uint16_t n = 0;
    for (const QueuedEvent& e : Events()) n += e.id == id;
    return n;
}
const QueuedEvent* LastEvent(uint16_t id) {
    std::vector<QueuedEvent>& events = Events();
    for (auto it = events.rbegin(); it != events.rend(); ++it)
        if (it->id == id) return &*it;
    return nullptr;
}

class Rules : public ::testing::Test {
protected:
    ObjectRecord aircraft[SERVER_PLAYERS]{};
    char names[SERVER_PLAYERS][8]{};

    void SetUp() override {
        ASSERT_EQ(test_HeapsFresh(0x400000, 0x1000, 0x1000), 0);
        level_GameMode = GameModeFlags{1, 0, 0, 0, 0};
        ASSERT_EQ(Server_RecordCreate(), 0);
        level_GameData = GameDataTable();
        ASSERT_NE(level_GameData, nullptr);
        memset(&app_Settings, 0, sizeof app_Settings);
        app_TickCount.store(1000);
        math_RandomSetFixed(0);
        Events().clear();
        Texts().clear();
        g_levelResets = 0;
        g_scoreSends = 0;
        Server_LevelRequest = 0;
    }
    void TearDown() override {
        memset(&Server, 0, sizeof Server);
        ServerPlayerObject = nullptr;
        level_GameData = nullptr;
        level_GameMode = GameModeFlags{};
        math_RandomSetFixed(0);
    }
    // A used slot with its aircraft, through the rules' object hook.
    PlayerSlot& Join(int32_t slot) {
        PlayerSlot& s = Server.player[slot];
        s.inUse = 1;
        s.playerId = static_cast<uint32_t>(slot);
        snprintf(names[slot], sizeof names[slot], "P%d", slot);
        s.name = names[slot];
        aircraft[slot] = ObjectRecord{};
        aircraft[slot].player = static_cast<uint8_t>(slot);
        aircraft[slot].hitPoints = 1024;
        aircraft[slot].serial = 101 + 2 * static_cast<uint32_t>(slot);
        s.aircraft = &aircraft[slot];
        if (RulesRecord* r = rules_Current(); r && r->playerObjectMade) r->playerObjectMade(slot);
        return s;
    }
    // The team choice for a joining player; the chosen slot becomes used.
    int32_t Choose(const char* squadron, int32_t* reply, int32_t recordSide = 0) {
        RulesJoin join{squadron, recordSide, 0};
        int32_t slot = rules_Current()->teamChoice(&join, reply);
        if (slot >= 0) Join(slot);
        return slot;
    }
    static void Tick(uint32_t ticks) { app_TickCount.store(app_TickCount.load() + ticks); }
};

// A static object of a team (0x08 team A, 0x04 team B, 0 none), counted at
// level start.
ObjectRecord Static(uint8_t teamBits, uint32_t x = 0) {
    ObjectRecord o{};
    o.flags = static_cast<uint8_t>(OBJ_FLAG_STATIC | OBJ_FLAG_UNLISTED | teamBits);
    o.hitPoints = 100;
    o.position = FixWorldPos{x, 0, 7};
    return o;
}

void Kill(ObjectRecord* o) {
    sim_HitRecord = SimHitRecord{nullptr, 1000, 0x10000};
    Server_StaticDamage(o);
}

TEST_F(Rules, RuleStartsCopyTheSettings) {
    app_Settings.DEATHMATCH_MAX_PLAYERS = 6;
    app_Settings.DEATHMATCH_SPIN_DEATHS = 1;
    app_Settings.DEATHMATCH_BLACKOUTS = 1;
    app_Settings.RAW_MAX_PLAYERS = 4;
    app_Settings.RAW_GPS_ENABLED = 1;
    app_Settings.RAW_BLACKOUTS = 1;
    app_Settings.BLACKOUTS = 1;
    struct Case {
        void (*start)(void);
        int32_t slots, respawn, flag0, flag1;
        uint8_t ctfStart, teamPlay;
    } cases[] = {
        {rules_SinglePlayerStart, 1, 0, -1, 1, 0, 0},
        {rules_CaptureTheFlagStart, 4, 0, 1, 1, 1, 2},
        {rules_DeathmatchStart, 6, 1, 1, 0, 0, 1},
    };
    for (const Case& c : cases) {
        rules_Settings = RulesSettings{0, 0, {-1, -1}};
        c.start();
        EXPECT_EQ(rules_Settings.playerSlots, c.slots);
        EXPECT_EQ(rules_Settings.respawn, c.respawn);
        EXPECT_EQ(rules_Settings.gameFlags[0], c.flag0);  // single player leaves it
        EXPECT_EQ(rules_Settings.gameFlags[1], c.flag1);
        PlayerStartupSource src{};
        rules_Current()->startupFields(&src);
        EXPECT_EQ(src.ctfStart, c.ctfStart);
        EXPECT_EQ(src.teamPlay, c.teamPlay);
        EXPECT_EQ(src.blackouts, 1);
        EXPECT_EQ(rules_Current()->frame, nullptr);
    }
}

// Settings never read: the host stand-in gives the defaults, not 0 slots.
TEST_F(Rules, HostDefaultsWithoutSettings) {
    rules_DeathmatchStart();
    EXPECT_EQ(rules_Settings.playerSlots, 16);
    rules_CaptureTheFlagStart();
    EXPECT_EQ(rules_Settings.playerSlots, 16);
}

// Team B draws first; a colour both teams drew gives team A colour 37,
// whose name is entry 64.
TEST_F(Rules, CollidingColoursGiveXAnd37) {
    math_RandomSetFixed(1);
    rules_CaptureTheFlagStart();
    EXPECT_EQ(rules_Ctf.colour[RULES_TEAM_B], 0);
    EXPECT_EQ(rules_Ctf.colour[RULES_TEAM_A], RULES_COLOUR_COLLISION);
    PlayerSlot& s = Join(0);
    EXPECT_EQ(s.squadron, 37);
    EXPECT_EQ(player_Table[0].squadron, 37);
    rules_Current()->playerJoined(0);
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0], "P0 JOINS THE COMET TEAM");
    math_RandomSetFixed(0);
    for (int i = 0; i < 50; i++) {
        rules_CaptureTheFlagStart();
        EXPECT_NE(rules_Ctf.colour[RULES_TEAM_A], rules_Ctf.colour[RULES_TEAM_B]);
        EXPECT_LE(rules_Ctf.colour[RULES_TEAM_B], 31);
    }
}

// With four slots team A has 0 and 2, team B 1 and 3; the object hook gives
// each its side bytes by parity.
TEST_F(Rules, TeamsTakeSlotsByParity) {
    app_Settings.RAW_MAX_PLAYERS = 4;
    rules_CaptureTheFlagStart();
    int32_t reply = -1;
    std::vector<int32_t> got;
    for (int i = 0; i < 4; i++) got.push_back(Choose(nullptr, &reply));
    EXPECT_EQ(got, (std::vector<int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(rules_Ctf.players[RULES_TEAM_A], 2);
    EXPECT_EQ(rules_Ctf.players[RULES_TEAM_B], 2);
    EXPECT_EQ(aircraft[0].flags & 0x0E, 10);
    EXPECT_EQ(aircraft[1].flags & 0x0E, 6);
    EXPECT_EQ(aircraft[0].side, 4);
    // A fifth player gets no slot, and nothing is counted for it.
    EXPECT_EQ(Choose(nullptr, &reply), -1);
    EXPECT_EQ(reply, RULES_REPLY_TEAM_FULL);
    EXPECT_EQ(rules_Ctf.players[RULES_TEAM_A] + rules_Ctf.players[RULES_TEAM_B], 4);
    // A refused player's hooks find no slot -1 to change.
    for (RulesSlotHook hook : {rules_Current()->playerObjectMade, rules_Current()->playerLeft,
                               rules_Current()->playerJoined, rules_Current()->scorePenalty})
        hook(-1);
    EXPECT_EQ(rules_Ctf.players[RULES_TEAM_A] + rules_Ctf.players[RULES_TEAM_B], 4);
    EXPECT_TRUE(Texts().empty());
    // One leaves team B: its slot is free again.
    Server.player[3].inUse = 0;
    rules_Current()->playerLeft(3);
    EXPECT_EQ(Choose(nullptr, &reply), 3);
}

TEST_F(Rules, TeamChoiceByNamesAndSides) {
    app_Settings.RAW_MAX_PLAYERS = 4;
    strcpy(app_Settings.RAW_SIDE1_PASSWORD, "HAWKS");
    strcpy(app_Settings.RAW_SIDE2_PASSWORD, "OWLS");
    rules_CaptureTheFlagStart();
    struct Step {
        const char* squadron;
        int32_t slot, reply;
    } steps[] = {
        {"HAWKS", 0, 0}, {"OWLS", 1, 0}, {"HAWKS", 2, 0},
        {"HAWKS", -1, RULES_REPLY_TEAM_FULL},  // team A is full: no slot, not the other team
        {"CROWS", -1, RULES_REPLY_NO_TEAM},    {nullptr, -1, RULES_REPLY_NO_TEAM},
    };
    for (const Step& st : steps) {
        int32_t reply = -1;
        EXPECT_EQ(Choose(st.squadron, &reply), st.slot) << (st.squadron ? st.squadron : "(none)");
        EXPECT_EQ(reply, st.reply);
    }
    EXPECT_EQ(rules_Ctf.players[RULES_TEAM_A], 2);
    EXPECT_EQ(rules_Ctf.players[RULES_TEAM_B], 1);

    // Only team B named: its members to B, everybody else to A; then the
    // side in the player's record, falling over to the other team.
    for (int i = 0; i < SERVER_PLAYERS; i++) Server.player[i].inUse = 0;
    app_Settings.RAW_SIDE1_PASSWORD[0] = 0;
    rules_CaptureTheFlagStart();
    int32_t reply;
    EXPECT_EQ(Choose("OWLS", &reply), 1);
    EXPECT_EQ(Choose("CROWS", &reply), 0);
    for (int i = 0; i < SERVER_PLAYERS; i++) Server.player[i].inUse = 0;
    app_Settings.RAW_SIDE2_PASSWORD[0] = 0;
    app_Settings.RAW_SIDE_SELECTION = HO_SIDE_PLAYER;
    rules_CaptureTheFlagStart();
    EXPECT_EQ(Choose(nullptr, &reply, 2), 1);
    EXPECT_EQ(Choose(nullptr, &reply, 2), 3);
    EXPECT_EQ(Choose(nullptr, &reply, 2), 0);  // team B full: team A
}

// The flags counted at level start decide the round end.
TEST_F(Rules, FlagCountsEndTheRound) {
    struct Case {
        int flagsA, flagsB;
        uint8_t destroyed;  // team bits of the destroyed object
        int winner;         // -1: the round goes on
    } cases[] = {
        {0, 2, 0, RULES_TEAM_B},  // no flags for team A: the first destroyed object ends it
        {2, 0, 0, RULES_TEAM_A},
        {0, 0, 0, RULES_TEAM_B},  // no flags at all: team B wins
        {1, 1, 0, -1},
        {2, 1, 0x08, -1},
        {1, 2, 0x08, RULES_TEAM_B},
        {2, 1, 0x04, RULES_TEAM_A},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.flagsA << "/" << c.flagsB << " destroyed " << int(c.destroyed));
        rules_CaptureTheFlagStart();
        Events().clear();
        Texts().clear();
        std::vector<ObjectRecord> placed;
        for (int i = 0; i < c.flagsA; i++) placed.push_back(Static(0x08));
        for (int i = 0; i < c.flagsB; i++) placed.push_back(Static(0x04));
        placed.push_back(Static(0));  // a plain building
        for (ObjectRecord& o : placed) rules_Current()->countObject(&o);
        EXPECT_EQ(rules_Ctf.flags[RULES_TEAM_A], c.flagsA);
        EXPECT_EQ(rules_Ctf.flags[RULES_TEAM_B], c.flagsB);
        ObjectRecord victim = Static(c.destroyed, 0x5000);
        Kill(&victim);
        const QueuedEvent* over = LastEvent(EVENT_CTF_OVER);
        if (c.winner < 0) {
            EXPECT_EQ(over, nullptr);
            EXPECT_EQ(rules_Current()->frame, nullptr);
            continue;
        }
        ASSERT_NE(over, nullptr);
        EXPECT_EQ(over->value, static_cast<uint32_t>(rules_Ctf.colour[c.winner]));
        // The position of the flag destroyed last; none without one.
        EXPECT_EQ(over->hasPosition, c.destroyed != 0);
        if (c.destroyed) {
            EXPECT_EQ(over->position.x, 0x5000u);
        }
        EXPECT_NE(rules_Current()->frame, nullptr);
        // Further losses during the pause end nothing again.
        ObjectRecord more = Static(0);
        Kill(&more);
        EXPECT_EQ(CountEvents(EVENT_CTF_OVER), 1);
    }
}

// A flag lost in one round is not the last flag of the next.
TEST_F(Rules, NoStaleLastFlag) {
    app_Settings.RAW_GAMES_PER_CHANGE = 5;
    rules_CaptureTheFlagStart();
    ObjectRecord flag = Static(0x08, 0x9000);
    rules_Current()->countObject(&flag);
    Kill(&flag);
    ASSERT_TRUE(LastEvent(EVENT_CTF_OVER)->hasPosition);
    Tick(RULES_ROUND_END_TICKS);
    Server_RulesFrame();
    EXPECT_EQ(Server_LevelRequest, 1);
    // The replayed map counts no flags: the first loss ends the round.
    ObjectRecord plain = Static(0);
    Kill(&plain);
    EXPECT_EQ(CountEvents(EVENT_CTF_OVER), 2);
    EXPECT_FALSE(LastEvent(EVENT_CTF_OVER)->hasPosition);
}

TEST_F(Rules, FlagLossIsAnnouncedInTheTeamColour) {
    rules_CaptureTheFlagStart();
    ObjectRecord a = Static(0x08), a2 = Static(0x08), b = Static(0x04);
    for (ObjectRecord* o : {&a, &a2, &b}) rules_Current()->countObject(o);
    Kill(&a);
    std::string team = file_TableEntryGet(static_cast<FileTable*>(level_GameData),
                                          RULES_TEXT_TEAM_NAMES + static_cast<uint32_t>(rules_Ctf.colour[0]))->text;
    ASSERT_EQ(Texts().size(), 2u);  // the destroyed object, then the flag
    EXPECT_EQ(Texts()[0], "NOPAK DESTROYED");  // a static without a model
    EXPECT_EQ(Texts()[1], "THE " + team + " TEAM HAS LOST A FLAG");
    EXPECT_EQ(rules_Ctf.flags[RULES_TEAM_A], 1);
}

TEST_F(Rules, DeathmatchLimitEndsAtTheLimit) {
    app_Settings.DEATHMATCH_KILLS_PER_ROUND = 10;
    rules_DeathmatchStart();
    PlayerSlot& s = Join(2);
    s.score = 9;
    Server_RulesScore(2);
    EXPECT_EQ(CountEvents(EVENT_DM_OVER), 0);
    EXPECT_EQ(rules_Current()->frame, nullptr);
    s.score = 10;
    Server_RulesScore(2);
    ASSERT_EQ(CountEvents(EVENT_DM_OVER), 1);
    EXPECT_EQ(LastEvent(EVENT_DM_OVER)->value, aircraft[2].serial);
    EXPECT_NE(rules_Current()->frame, nullptr);
    EXPECT_EQ(rules_RoundEndTick, 1000u + RULES_ROUND_END_TICKS);
    s.score = 11;
    Server_RulesScore(2);
    EXPECT_EQ(CountEvents(EVENT_DM_OVER), 1);
}

// Rounds per map 3: the first two round ends replay the map, the third goes
// to the next; the pause lasts 600 ticks.
TEST_F(Rules, ReplayBeforeTheLastRoundNextMapAfter) {
    app_Settings.DEATHMATCH_KILLS_PER_ROUND = 1;
    app_Settings.DEATHMATCH_ROUNDS_PER_CHANGE = 3;
    rules_DeathmatchStart();
    PlayerSlot& s = Join(0);
    struct Round {
        int32_t request, resets, roundsAfter;
    } rounds[] = {{1, 1, 1}, {1, 2, 2}, {2, 2, 0}, {1, 3, 1}};
    for (const Round& r : rounds) {
        Server_LevelRequest = 0;
        player_Table[0].squadron = 5;
        s.score = 1;
        Server_RulesScore(0);
        Tick(RULES_ROUND_END_TICKS - 1);
        Server_RulesFrame();
        EXPECT_EQ(Server_LevelRequest, 0);
        Tick(1);
        Server_RulesFrame();
        EXPECT_EQ(Server_LevelRequest, r.request);
        EXPECT_EQ(LevelResets(), r.resets);
        EXPECT_EQ(rules_DeathmatchRounds, r.roundsAfter);
        EXPECT_EQ(rules_Current()->frame, nullptr);
        EXPECT_EQ(player_Table[0].squadron, 0xFFFF);
    }
}

TEST_F(Rules, DeathmatchDeathsAndRespawn) {
    struct Case {
        int32_t spinDeaths;
        int16_t hitPoints;
        int32_t scoreAfter;
        ObjectRoutine think;
    } cases[] = {
        {1, 0, -1, plane_RespawnWait},  // respawn: the penalty even when shot down
        {1, 500, -1, plane_RespawnWait},
        {0, 0, 0, plane_DeathThink},
        {0, 500, -1, plane_DeathThink},
    };
    for (const Case& c : cases) {
        app_Settings.DEATHMATCH_SPIN_DEATHS = c.spinDeaths;
        rules_DeathmatchStart();
        PlayerSlot& s = Join(1);
        s.score = 0;
        aircraft[1].hitPoints = c.hitPoints;
        Server_RulesDeath(1);
        EXPECT_EQ(s.score, c.scoreAfter);
        EXPECT_EQ(aircraft[1].think, c.think);
        if (c.spinDeaths) {
            EXPECT_EQ(aircraft[1].frameCounter, RULES_RESPAWN_DELAY);
        }
    }
    Server_RulesReset(1);
    EXPECT_EQ(Server.player[1].countdown, static_cast<uint32_t>(RULES_DEATHMATCH_TIMER));
}

// Objects as a player sees them in its updates.
TEST_F(Rules, UpdateSides) {
    app_Settings.RAW_MAX_PLAYERS = 4;
    rules_CaptureTheFlagStart();
    Join(0);
    Join(1);
    Join(2);
    ObjectRecord flagA = Static(0x08), plain = Static(0);
    RulesSideHook side = rules_Current()->objectSide;
    EXPECT_EQ(side(0, &flagA) & 0x0C, 0x08);  // own team
    EXPECT_EQ(side(1, &flagA) & 0x0C, 0x04);
    EXPECT_EQ(side(0, &aircraft[2]) & 0x0C, 0x08);
    EXPECT_EQ(side(0, &aircraft[1]) & 0x0C, 0x04);
    EXPECT_EQ(side(0, &plain), plain.flags);
    Server.player[1].squadron = 1;  // the second loadout
    EXPECT_EQ(side(0, &aircraft[1]) & 0x20, 0x20);

    rules_DeathmatchStart();
    side = rules_Current()->objectSide;
    Server.player[0].squadron = 3;
    Server.player[1].squadron = 3;
    Server.player[2].squadron = 0xFFFF;
    EXPECT_EQ(side(0, &aircraft[1]) & 0x0C, 0x08);
    EXPECT_EQ(side(0, &aircraft[2]) & 0x0C, 0x04);
    Server.player[0].squadron = 0xFFFF;
    EXPECT_EQ(side(0, &aircraft[2]) & 0x0C, 0x04);  // no squadron is nobody's friend
}

TEST_F(Rules, StaticDamage) {
    rules_SinglePlayerStart();
    ObjectRecord o = Static(0);
    o.hitPoints = 100;
    o.think = [](ObjectRecord*) {};
    // 16.16 product: 80 x 0.5 = 40.
    sim_HitRecord = SimHitRecord{nullptr, 80, 0x8000};
    Server_StaticDamage(&o);
    EXPECT_EQ(o.hitPoints, 60);
    EXPECT_EQ(CountEvents(EVENT_DEBRIS), 1);
    EXPECT_TRUE(Texts().empty());
    // Exactly 0 destroys it.
    sim_HitRecord = SimHitRecord{nullptr, 60, 0x10000};
    Server_StaticDamage(&o);
    EXPECT_EQ(o.hitPoints, 0);
    EXPECT_EQ(o.draw, render_DestroyedDraw);
    EXPECT_NE(o.think, nullptr);  // bit 7 of the flag byte keeps it
    EXPECT_EQ(CountEvents(EVENT_GRNDEXPLODE), 1);
    EXPECT_EQ(CountEvents(EVENT_STATICMODIFY), 1);
    EXPECT_EQ(Texts().size(), 1u);
    // A destroyed object is not touched again.
    size_t events = Events().size();
    Server_StaticDamage(&o);
    EXPECT_EQ(Events().size(), events);

    // Bits 0 and 4 of the flag byte: destroyed without an announcement; no
    // bit 7: the think routine goes.
    ObjectRecord quiet{};
    quiet.flags = 0x11;
    quiet.hitPoints = 1;
    quiet.think = [](ObjectRecord*) {};
    Texts().clear();
    Kill(&quiet);
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(quiet.think, nullptr);

    // A huge hit destroys without overflowing; a negative one heals at most
    // to the top of the range.
    ObjectRecord big = Static(0), odd = Static(0);
    sim_HitRecord = SimHitRecord{nullptr, INT32_MAX, INT32_MAX};
    Server_StaticDamage(&big);
    EXPECT_EQ(big.hitPoints, 0);
    sim_HitRecord = SimHitRecord{nullptr, INT32_MIN, 0x10000};
    Server_StaticDamage(&odd);
    EXPECT_EQ(odd.hitPoints, INT16_MAX);
}

TEST_F(Rules, SelectRulesByGameType) {
    level_GameMode.singlePlayer = 1;
    Server_SelectRules();
    EXPECT_EQ(rules_Current(), &rules_SinglePlayer);
    level_GameMode.singlePlayer = 0;
    app_Settings.HOST_GAME_TYPE = 0;
    Server_SelectRules();
    EXPECT_EQ(rules_Current(), &rules_Deathmatch);
    app_Settings.HOST_GAME_TYPE = 1;
    Server_SelectRules();
    EXPECT_EQ(rules_Current(), &rules_CaptureTheFlag);
    // Victory messages only end the round of their own game type.
    Server_RulesDeathmatchEnd();
    EXPECT_EQ(CountEvents(EVENT_DM_OVER), 0);
    Server_RulesFlagEnd(1);
    ASSERT_EQ(CountEvents(EVENT_CTF_OVER), 1);
    EXPECT_EQ(LastEvent(EVENT_CTF_OVER)->value, static_cast<uint32_t>(rules_Ctf.colour[RULES_TEAM_B]));
}

}  // namespace
