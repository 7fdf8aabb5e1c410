// Unit AI: creation by kind and the group tables, mission errors, group
// bookkeeping, damage and the death routines, weapon choice, evasion and
// route flying.
#include <array>
#include <deque>
#include <string>
#include <vector>

#include "ai_fixture.h"
#include "sim/hit.h"
#include "sim/trig.h"

namespace {

std::vector<TriggerEvent> g_events;

}  // namespace

// The units' trigger events (linked with --wrap).
extern "C" void __real__Z14trig_PostEventv(void);
extern "C" void __wrap__Z14trig_PostEventv(void) {
    g_events.push_back(trig_Event);
    __real__Z14trig_PostEventv();
}

namespace {

using Record = std::array<uint8_t, ORF_PLACED_SIZE>;

struct UnitSpec {
    uint8_t kind = 0;
    uint8_t subtype = 0;
    uint8_t group = 1;
    uint8_t member = 0;
    uint8_t startFlags = ORF_AI_AIRBORNE;
    uint8_t route = ORF_AI_NONE;
    uint8_t skill = 3;
    uint16_t number = 1;
    std::array<uint8_t, 3> weapons = {0, 0, 0};
};

Record MakeRecord(const UnitSpec& s) {
    Record r{};
    r[13] = 4;
    r[14] = 1;
    r[17] = s.kind;
    r[24] = static_cast<uint8_t>(s.number);
    r[25] = static_cast<uint8_t>(s.number >> 8);
    uint8_t* a = r.data() + ORF_PLACED_AI;
    a[0] = s.subtype;
    a[1] = s.group;
    a[2] = ORF_AI_NONE;
    a[3] = s.route;
    a[5] = s.startFlags;
    a[6] = s.skill;
    a[7] = s.member;
    for (int i = 0; i < 3; i++) a[18 + i] = s.weapons[static_cast<size_t>(i)];
    return r;
}

bool HasEvent(uint16_t type, uint16_t id, uint16_t code, int32_t argument = -1) {
    for (const TriggerEvent& e : g_events)
        if (e.type == type && e.id == id && e.code == code && (argument < 0 || e.argument == argument)) return true;
    return false;
}
int CountEvents(uint16_t type, uint16_t id, uint16_t code) {
    int n = 0;
    for (const TriggerEvent& e : g_events) n += e.type == type && e.id == id && e.code == code;
    return n;
}

class Ai : public AiEnv {
protected:
    Ai() : AiEnv(16, 3) {}

    void SetUp() override {
        AiEnv::SetUp();
        g_events.clear();
    }
    ObjectRecord* Make(const UnitSpec& s, uint32_t x = 0x10000000u, uint32_t y = 0x1000000u) {
        ObjectRecord* o = net_DcbPoolTake(&level_ServerArrays.ai);
        if (!o) return nullptr;
        o->position = FixWorldPos{x, y, 0x10000000u};
        o->missionObject = s.number;
        records.push_back(MakeRecord(s));
        ai_InitObjectByKind(o, records.back().data());
        obj_TypeListPush(o);
        return o;
    }
    static void Kill(ObjectRecord* o, ObjectRecord* attacker) {
        sim_HitRecord = SimHitRecord{attacker, 30000, 0x10000};
        o->hit(o);
    }
};

TEST_F(Ai, FirstAircraftOfAGroupLeadsAndTheNextTakeSlotsInOrder) {
    ObjectRecord* lead = Make({.group = 5, .member = 0, .number = 1});
    ObjectRecord* second = Make({.group = 5, .member = 1, .number = 2});
    ObjectRecord* third = Make({.group = 5, .member = 2, .number = 3});
    ASSERT_TRUE(lead && second && third);
    EXPECT_EQ(ai_Module.leader[5], lead);
    EXPECT_EQ(U(lead)->isMember, 0);
    EXPECT_EQ(lead->death, ai_LeaderDeath);
    EXPECT_EQ(U(second)->isMember, 1);
    EXPECT_EQ(second->member, 2);
    EXPECT_EQ(U(second)->formationSlot, &ai_Formations[0][0]);
    EXPECT_EQ(U(third)->formationSlot, &ai_Formations[0][1]);
    EXPECT_EQ(second->death, ai_MemberDeath);
    EXPECT_EQ(ai_Module.members[5][0], second);
    EXPECT_EQ(ai_Module.members[5][1], third);
    EXPECT_EQ(ai_Module.aircraftNow[5], 3);
    // Type 0 at full skill: its rates, hit points and cruise speed (airborne).
    EXPECT_EQ(U(lead)->turnLimits.heading, ai_UnitTypes[0].headingRate);
    EXPECT_EQ(lead->hitPoints, 512);
    EXPECT_EQ(lead->speed, ai_UnitTypes[0].cruiseSpeed);

    ai_LinkWaygroups();
    EXPECT_EQ(U(lead)->groupNext, second);
    EXPECT_EQ(U(second)->groupNext, third);
    EXPECT_EQ(U(third)->groupNext, nullptr);
    EXPECT_EQ(U(third)->leader, lead);
}

TEST_F(Ai, ThePlayersGroupGetsNoLeaderAtCreation) {
    ObjectRecord* a = Make({.group = AI_PLAYER_GROUP, .member = 0, .skill = 0, .number = 1});
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(ai_Module.leader[AI_PLAYER_GROUP], nullptr);
    EXPECT_EQ(U(a)->isMember, 1);
    EXPECT_EQ(ai_Module.members[AI_PLAYER_GROUP][0], a);
    EXPECT_EQ(U(a)->radarFactor, 0x4000);
    // Skill 0 turns at 0.8 of the type's rate.
    EXPECT_EQ(U(a)->turnLimits.heading, (static_cast<int64_t>(ai_UnitTypes[0].headingRate) * 0xCCCC) >> 16);
}

TEST_F(Ai, BadUnitsAreMissionErrorsNamingTheUnit) {
    struct Case {
        UnitSpec spec;
        const char* words;
    } cases[] = {
        {{.kind = 0, .subtype = 31}, "has no unit type"},
        {{.kind = 1, .subtype = 13}, "has no unit type"},
        {{.kind = 0, .group = 128}, "has no group"},
        {{.kind = 1, .group = 200}, "has no group"},
    };
    for (const Case& c : cases) {
        missionErrors.clear();
        ObjectRecord* o = Make(c.spec);
        ASSERT_NE(o, nullptr);
        ASSERT_EQ(missionErrors.size(), 1u) << c.words;
        EXPECT_EQ(missionErrors[0].rfind("Mission Error!\n\n", 0), 0u);
        EXPECT_NE(missionErrors[0].find(c.words), std::string::npos) << missionErrors[0];
        EXPECT_EQ(o->think, nullptr);
    }
    // Ten members fill a group; the eleventh is refused.
    ai_ClearModuleData();
    missionErrors.clear();
    Make({.group = 3});
    for (int i = 0; i < AI_GROUP_MEMBERS; i++) Make({.group = 3, .member = static_cast<uint8_t>(i + 1)});
    EXPECT_TRUE(missionErrors.empty());
    ObjectRecord* extra = Make({.group = 3, .member = 11});
    ASSERT_NE(extra, nullptr);
    ASSERT_EQ(missionErrors.size(), 1u);
    EXPECT_NE(missionErrors[0].find("too many"), std::string::npos);
    EXPECT_EQ(U(extra)->isMember, 0);
}

TEST_F(Ai, TheGroupIsAirborneOnceItsLastAircraftTakesOff) {
    ObjectRecord* a = Make({.group = 7, .startFlags = 0, .number = 1});
    ObjectRecord* b = Make({.group = 7, .member = 1, .startFlags = ORF_AI_WAITING, .number = 2});
    ASSERT_EQ(ai_Module.onGround[7], 2);
    U(a)->aiState = AI_STATE_TAKEOFF;
    ai_GroupAirborne(a);
    EXPECT_EQ(CountEvents(1, 7, 1), 0);
    U(a)->aiState = AI_STATE_ROUTE;
    ai_GroupAirborne(a);  // already airborne: no second count
    EXPECT_EQ(ai_Module.onGround[7], 1);
    U(b)->aiState = AI_STATE_TAKEOFF;
    ai_GroupAirborne(b);
    ai_GroupAirborne(b);
    EXPECT_EQ(CountEvents(1, 7, 1), 1);
}

TEST_F(Ai, ADeadLeaderHandsRouteAndWaypointToTheNextMember) {
    ObjectRecord* units[4];
    for (uint8_t i = 0; i < 4; i++)
        units[i] = Make({.group = 9, .member = i, .route = 0, .number = static_cast<uint16_t>(10 + i)});
    ai_LinkWaygroups();
    ai_SaveGroupCounters();
    ai_WaypointSet(units[0], 2);
    units[0]->stateFlags = OBJ_STATE_AIRBORNE;
    ObjectRecord* attacker = Make({.group = 20, .number = 99});
    g_events.clear();
    Kill(units[0], attacker);
    for (uint16_t code : {0, 9, 11}) EXPECT_TRUE(HasEvent(0, 10, code)) << code;
    EXPECT_TRUE(HasEvent(1, 9, 0, 8)) << "a 4-unit group after one loss has strength 8";
    EXPECT_EQ(ai_Module.leader[9], units[1]);
    EXPECT_EQ(U(units[1])->isMember, 0);
    EXPECT_EQ(U(units[1])->waypointNumber, 2);
    EXPECT_EQ(U(units[1])->waypoint, waypoints.data() + 2 * ORF_START_ITEM_SIZE);
    EXPECT_EQ(U(units[2])->leader, units[1]);
    EXPECT_EQ(U(units[3])->leader, units[1]);
    EXPECT_EQ(ai_Module.members[9][0], units[2]);
    EXPECT_EQ(units[1]->death, ai_LeaderDeath);
    EXPECT_EQ(obj_TypeListCount(nullptr), 4) << "the dead leader left the type list";

    // A member's death unlinks it from the chain.
    Kill(units[2], attacker);
    EXPECT_EQ(U(units[1])->groupNext, units[3]);
    EXPECT_TRUE(HasEvent(1, 9, 0, 5));
}

TEST_F(Ai, DamageBelowHalfStrengthMarksTheUnitAndGroundGroupsGetTheirEvents) {
    ObjectRecord* tank = Make({.kind = 1, .subtype = 0, .group = 30, .number = 5});
    ObjectRecord* attacker = Make({.group = 20, .number = 77});
    ASSERT_EQ(tank->hitPoints, 196);
    sim_HitRecord = SimHitRecord{attacker, 100, 0x10000};
    tank->hit(tank);
    EXPECT_EQ(tank->hitPoints, 96);
    EXPECT_TRUE(tank->aiFlags & OBJ_AI_DAMAGED);
    EXPECT_TRUE(HasEvent(2, 30, 2));
    EXPECT_TRUE(HasEvent(2, 30, 3));
    for (const TriggerEvent& e : g_events)
        if (e.type == 0 && e.code == 8) {
            EXPECT_EQ(e.extensionId, 77);
        }
    // A loss is counted once, however often the bookkeeping runs.
    ai_SaveGroupCounters();
    ObjectRecord* second = Make({.kind = 1, .subtype = 5, .group = 30, .number = 6});
    ai_ObjectDestroyed(second);
    ai_ObjectDestroyed(second);
    EXPECT_EQ(CountEvents(2, 30, 0), 1);
    EXPECT_EQ(ai_Module.groundNow[30], 1);
    // Hits on a dead unit change nothing.
    tank->hitPoints = 0;
    g_events.clear();
    tank->hit(tank);
    EXPECT_TRUE(g_events.empty());
}

TEST_F(Ai, WeaponChoiceByRangeAndEngagementBits) {
    ObjectRecord* fighter = Make({.group = 1, .weapons = {2, 2, 10}});
    ObjectRecord* target = Make({.group = 2, .number = 2});
    ASSERT_EQ(fighter->targetClass, OBJ_TARGET_AIR_COMBAT);
    struct Case {
        uint32_t distance;
        uint8_t engagement;
        uint8_t shortM, longM;
        int32_t weapon;
    } cases[] = {
        {0x9000000, 3, 2, 2, 7},  // far, long-range allowed
        {0x9000000, 1, 2, 2, 6},  // far, only short-range allowed
        {0x9000000, 3, 2, 0, 6},  // no long-range missiles left
        {0x3000000, 3, 2, 2, 6},  // middle range
        {0x1000000, 3, 2, 2, 5},  // close: the gun
        {0x3000000, 1, 0, 0, 5},  // no missiles: the gun
        {0x9000000, 2, 2, 0, 0},  // long-range only and none left
        {0x1000000, 0, 2, 2, 0},  // no engagement
    };
    for (const Case& c : cases) {
        target->position.x = fighter->position.x + c.distance;
        U(fighter)->engagement = c.engagement;
        U(fighter)->shortMissiles = c.shortM;
        U(fighter)->longMissiles = c.longM;
        EXPECT_EQ(ai_ChooseWeapon(fighter, target), c.weapon) << std::hex << c.distance << " " << (int)c.engagement;
    }
    // A ground attacker uses its gun while it has bursts.
    ObjectRecord* striker = Make({.subtype = 9, .group = 3, .number = 3, .weapons = {0, 0, 1}});
    EXPECT_EQ(ai_ChooseWeapon(striker, target), 5);
    U(striker)->gunBursts = 0;
    EXPECT_EQ(ai_ChooseWeapon(striker, target), 0);
}

TEST_F(Ai, EvasionPicksTheFirstSetBitFromTheRandomStart) {
    struct Case {
        uint8_t mask;
        uint32_t start;
        int32_t pick;
    } cases[] = {
        {0x21, 0, 0}, {0x21, 1, 5}, {0x21, 6, 0}, {0x12, 2, 4}, {0x52, 7, 1}, {0x01, 5, 0}, {0x80, 0, 7},
    };
    for (const Case& c : cases) EXPECT_EQ(ai_EvasionPick(c.mask, c.start), c.pick) << (int)c.mask << " " << c.start;
    EXPECT_EQ(ai_EvasionBand(0x1770000), 0);
    EXPECT_EQ(ai_EvasionBand(0x1770001), 1);
    EXPECT_EQ(ai_EvasionBand(0x7080000), 2);

    // An airborne unit takes state 6 and a manoeuvre its mask allows.
    ObjectRecord* a = Make({.group = 1, .skill = 2});
    a->stateFlags = OBJ_STATE_AIRBORNE;
    U(a)->aiState = AI_STATE_ROUTE;
    ai_Evade(a);
    EXPECT_EQ(U(a)->aiState, AI_STATE_EVADE);
    EXPECT_EQ(U(a)->savedState, AI_STATE_ROUTE);
    bool allowed = false;
    for (int32_t m = 0; m < 8; m++)
        if (U(a)->pendingProgram == ai_BuiltinProgram(AI_PROGRAM_EVADE0 + m)) allowed = (0x12 >> m) & 1;
    EXPECT_TRUE(allowed);
}

TEST_F(Ai, RouteFlyingReachesTheWaypointAndActionsStepOn) {
    ObjectRecord* a = Make({.group = 1, .route = 0, .number = 4}, 0x10000000u - 0x1000000u, 0x640000);
    a->frameCounter = 1;  // off the periodic frames
    EXPECT_EQ(ai_FlyToWaypoint(a), 0) << "256.0 short of the waypoint is beyond 200.0";
    g_events.clear();
    a->position.x = 0x10000000u + 0x3E80000u * 3;
    ai_WaypointSet(a, 3);
    EXPECT_EQ(ai_FlyToWaypoint(a), 1);
    EXPECT_TRUE(HasEvent(0, 4, 6, 3));
    EXPECT_TRUE(HasEvent(1, 1, 5, 3));
    // Action 0 past the last waypoint goes back to the first; the engagement
    // bits come down from the waypoint.
    ai_WaypointAction(a);
    EXPECT_EQ(U(a)->waypointNumber, 0);
    EXPECT_EQ(U(a)->engagement, 3);
    // Without a route, a jump is a mission error.
    ObjectRecord* lost = Make({.group = 2, .number = 5});
    U(lost)->waypoint = waypoints.data();
    waypoints[12] = 1;
    ai_WaypointAction(lost);
    ASSERT_EQ(missionErrors.size(), 1u);
    EXPECT_NE(missionErrors[0].find("has no waygroup"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(Ai, AnAttackerThatIsAMemberSwapsPlacesWithTheLeader) {
    ObjectRecord* lead = Make({.group = 4, .route = 0, .number = 1, .weapons = {2, 2, 10}});
    ObjectRecord* wing = Make({.group = 4, .member = 1, .number = 2, .weapons = {2, 2, 10}});
    ObjectRecord* hostile = Make({.group = 40, .number = 3});
    ai_LinkWaygroups();
    ai_WaypointSet(lead, 1);
    // The leader is busy; its wingman flies along and may fire its gun.
    U(lead)->aiState = AI_STATE_ATTACK;
    lead->target = hostile;
    U(wing)->aiState = AI_STATE_FOLLOW;
    U(wing)->engagement = 1;
    hostile->position.x = wing->position.x + 0x1000000;
    ASSERT_EQ(ai_AssignTarget(lead, hostile), 1);
    EXPECT_EQ(wing->target, hostile);
    EXPECT_EQ(U(wing)->pendingProgram, ai_BuiltinProgram(AI_PROGRAM_ATTACK));
    EXPECT_EQ(U(wing)->ownTargets, 0);
    // The wingman leads now, on the old leader's route and waypoint.
    EXPECT_EQ(ai_Module.leader[4], wing);
    EXPECT_EQ(ai_Module.members[4][0], lead);
    EXPECT_EQ(U(wing)->isMember, 0);
    EXPECT_EQ(U(lead)->isMember, 1);
    EXPECT_EQ(U(wing)->groupNext, lead);
    EXPECT_EQ(U(lead)->leader, wing);
    EXPECT_EQ(U(wing)->waypointNumber, 1);
    EXPECT_EQ(U(lead)->formationSlot, &ai_Formations[0][0]);
    EXPECT_EQ(wing->death, ai_LeaderDeath);
    EXPECT_EQ(lead->death, ai_MemberDeath);
    EXPECT_EQ(U(lead)->aiState, AI_STATE_FOLLOW);
    // Nobody else is free for a second hostile.
    EXPECT_EQ(ai_AssignTarget(wing, Make({.group = 41, .number = 4})), 0);
}

}  // namespace
