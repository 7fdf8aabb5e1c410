// Client debug records: path points, virtual keys, the bomb lists and the
// object listing line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debug/dbgobj.h"
#include "net/client.h"
#include "net/dcbpool.h"
#include "sim/obj.h"

namespace {

class DbgRecordsTest : public ::testing::Test {
protected:
    void TearDown() override {
        dbg_DebugObjectsClear();
        dbg_VirtualKeysClear();
        dbg_BombDebugOff();
        Client_PlayerObject = nullptr;
    }
    static std::vector<uint32_t> PathX(const DbgDebugObject* o) {
        std::vector<uint32_t> xs;
        for (const _CLIENT_DEBUGOBJECT_COORD* c = o->first; c; c = c->next) xs.push_back(c->point.x);
        return xs;
    }
};

TEST_F(DbgRecordsTest, PathsSkipRepeatsAndKeepTheNewest501Points) {
    DbgDebugObject* a = dbg_DebugObjectCreate(0, 7, 4);
    DbgDebugObject* b = dbg_DebugObjectCreate(1, 7, 5);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(dbg_DebugObjectFind(0, 7), a);
    EXPECT_EQ(dbg_DebugObjectFind(1, 7), b);
    EXPECT_EQ(dbg_DebugObjectFind(7, 0), nullptr);

    FixWorldPos p{1, 2, 3};
    EXPECT_NE(dbg_DebugObjectAddCoord(a, &p), nullptr);
    EXPECT_EQ(dbg_DebugObjectAddCoord(a, &p), nullptr) << "the same point twice";
    EXPECT_EQ(a->count, 1);
    p.z = 4;  // differs in one coordinate only
    EXPECT_NE(dbg_DebugObjectAddCoord(a, &p), nullptr);
    EXPECT_EQ(a->count, 2);

    for (uint32_t x = 2; x <= 502; x++) {
        p = {x, 0, 0};
        ASSERT_NE(dbg_DebugObjectAddCoord(b, &p), nullptr);
    }
    EXPECT_EQ(b->count, 501);
    std::vector<uint32_t> xs = PathX(b);
    ASSERT_EQ(xs.size(), 501u);
    EXPECT_EQ(xs.front(), 2u);
    EXPECT_EQ(xs.back(), 502u);
    p = {503, 0, 0};
    const _CLIENT_DEBUGOBJECT_COORD* c = dbg_DebugObjectAddCoord(b, &p);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->owner, b);
    xs = PathX(b);
    EXPECT_EQ(xs.size(), 501u);
    EXPECT_EQ(xs.front(), 3u) << "the oldest point went";
    EXPECT_EQ(b->last->point.x, 503u);
    EXPECT_EQ(b->first->previous, nullptr);

    dbg_DebugObjectDestroy(a);
    EXPECT_EQ(dbg_DebugObjectFind(0, 7), nullptr);
    EXPECT_EQ(dbg_DebugObjectHead, b);
    EXPECT_EQ(dbg_DebugObjectCount, 1);
    EXPECT_EQ(dbg_DebugObjectAddCoord(nullptr, &p), nullptr);
    dbg_DebugObjectsClear();
    EXPECT_EQ(dbg_DebugObjectHead, nullptr);
    EXPECT_EQ(dbg_DebugObjectCount, 0);
}

TEST_F(DbgRecordsTest, TheTwentySecondVirtualKeyReusesTheOldest) {
    for (uint32_t k = 1; k <= 22; k++) dbg_VirtualKeyAdd(k);
    std::vector<uint32_t> keys;
    for (const _CLIENT_DEBUGVIRTUALKEY* k = dbg_VirtualKeyHead; k; k = k->next) keys.push_back(k->key);
    ASSERT_EQ(keys.size(), 21u);
    EXPECT_EQ(dbg_VirtualKeyCount, 21);
    EXPECT_EQ(keys.front(), 2u);
    EXPECT_EQ(keys.back(), 22u);
    dbg_VirtualKeysClear();
    EXPECT_EQ(dbg_VirtualKeyHead, nullptr);
    EXPECT_EQ(dbg_VirtualKeyCount, 0);
}

TEST_F(DbgRecordsTest, BombListsKeepRecordsOnlyWhileRecording) {
    _COMMON_DCB bomb{}, other{};
    ObjectRecord target{};
    target.position = {500, 0, 600};
    bomb.object.position = {10, 20, 30};
    bomb.weapon.aimPoint = {40, 0, 50};
    const FixWorldPos from{1, 1, 1}, to{2, 2, 2};

    dbg_BombDebugAdd(&bomb.object);
    dbg_BombPathAdd(9, &from, &to);
    EXPECT_EQ(dbg_BombDebugHead, nullptr) << "recording is off";
    EXPECT_EQ(dbg_BombPathHead, nullptr);

    dbg_BombDebugOn();
    dbg_BombDebugAdd(&bomb.object);
    ASSERT_NE(dbg_BombDebugHead, nullptr);
    const _WEAPON_BOMBDEBUG* n = dbg_BombDebugHead;
    EXPECT_EQ(n->hasTarget, 0);
    EXPECT_EQ(n->release.y, 20u);
    EXPECT_EQ(n->target.x + n->aim.x, 0u) << "no target: both triples zero";
    other.object.target = &target;
    other.weapon.aimPoint = {40, 0, 50};
    dbg_BombDebugAdd(&other.object);
    n = dbg_BombDebugHead->next;
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->hasTarget, 1);
    EXPECT_EQ(n->target.z, 600u);
    EXPECT_EQ(n->aim.z, 50u);

    // Path nodes need a key and both points.
    dbg_BombPathAdd(0, &from, &to);
    dbg_BombPathAdd(9, nullptr, &to);
    dbg_BombPathAdd(9, &from, nullptr);
    EXPECT_EQ(dbg_BombPathHead, nullptr);
    dbg_BombPathAdd(9, &from, &to);
    dbg_BombPathAdd(11, &from, &to);
    dbg_BombPathAdd(9, &to, &from);
    dbg_BombPathRemove(9);
    ASSERT_NE(dbg_BombPathHead, nullptr);
    EXPECT_EQ(dbg_BombPathHead->key, 11u);
    EXPECT_EQ(dbg_BombPathHead->next, nullptr);

    dbg_BombDebugRemove(&bomb.object);
    ASSERT_NE(dbg_BombDebugHead, nullptr);
    EXPECT_EQ(dbg_BombDebugHead->weapon, &other.object);
    EXPECT_EQ(dbg_BombDebugHead->next, nullptr);

    // On again starts with empty lists; off frees everything.
    dbg_BombDebugOn();
    EXPECT_EQ(dbg_BombDebugHead, nullptr);
    EXPECT_EQ(dbg_BombPathHead, nullptr);
    dbg_BombDebugAdd(&bomb.object);
    dbg_BombDebugOff();
    EXPECT_EQ(dbg_BombDebugHead, nullptr);
    EXPECT_EQ(dbg_BombRecording, 0);
}

TEST_F(DbgRecordsTest, ListingLineNamesFlagsAndDistances) {
    ObjectRecord player{};
    player.position = {0x1000000, 0, 0x1000000};
    player.flags = OBJ_FLAG_PLAYER;
    // 0x1000000 units ahead: d and the half-scale distance >> 14.
    const uint32_t ahead = 0x1000000;
    struct Case {
        uint8_t flags;
        const char* words;
        bool second;
    } cases[] = {
        {0x00, "", true},
        {0x01, "STATIC ", false},
        {0x02, "PLAYER ", true},
        {0x04, "ENEMY ", true},
        {0x08, "FRIENDLY ", true},
        {0x10, "NEUTRAL ", true},
        {0x20, "WINGMAN ", false},
        {0x40, "", true},
        {0x80, "NOAI ", true},
        {0x23, "STATIC PLAYER WINGMAN ", true},  // a player keeps d2
        {0x21, "STATIC WINGMAN ", false},
    };
    ObjectRecord o{};
    o.serial = 0xAB;
    o.position = {0x1000000 + ahead, 0, 0x1000000};
    Client_PlayerObject = &player;
    // 0x1000000 units are 0.6726 nm; the half-scale distance >> 14 is 512.
    const std::string d = "d=  0.672nm";
    char line[200];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words);
        o.flags = c.flags;
        dbg_ObjectListingLine(&o, line, sizeof line);
        const std::string want = std::string("$000000AB \"NOPAK\" ") + c.words + d;
        const std::string got = line;
        EXPECT_EQ(got.substr(0, want.size()), want);
        EXPECT_EQ(got.find(" d2=") != std::string::npos, c.second) << got;
    }
    o.flags = 0;
    dbg_ObjectListingLine(&o, line, sizeof line);
    EXPECT_EQ(std::string(line), "$000000AB \"NOPAK\" d=  0.672nm d2=  0.312nm");
    // Without a player aircraft both distances are 0.
    Client_PlayerObject = nullptr;
    dbg_ObjectListingLine(&o, line, sizeof line);
    EXPECT_EQ(std::string(line), "$000000AB \"NOPAK\" d=  0.000nm d2=  0.000nm");
    // A short buffer is cut, never overrun.
    char small[12];
    dbg_ObjectListingLine(&o, small, sizeof small);
    EXPECT_EQ(std::string(small), "$000000AB \"");
}

}  // namespace
