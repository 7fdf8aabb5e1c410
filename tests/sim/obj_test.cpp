// Object records: static objects in the cell grid, the category lists,
// effects, removal and references, attitude by rates, fields by offset.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "net/rules.h"
#include "render/objmove.h"
#include "render/render.h"
#include "sim/flight.h"
#include "sim_fixture.h"
#include "world/pak.h"

namespace {

using ObjTest = SimEnv;

TEST_F(ObjTest, StaticObjectsLandInTheCellOfTheirPosition) {
    struct Case {
        uint32_t x, z;
        uint32_t cellX, cellZ;
    } cases[] = {
        {0x01FFFFFF, 0x02000000, 0, 1},
        {0, 0, 0, 0},
        {0x02000000, 0x01FFFFFF, 1, 0},
        {0xFFFFFFFF, 0xFFFFFFFF, 127, 127},  // no sign: the top of the range is the last cell
        {0x80000000, 0x7FFFFFFF, 64, 63},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.x << "," << c.z);
        ObjectRecord* r = obj_StaticCreate(c.x, c.z, nullptr, 0);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(obj_CellIndex(c.x, c.z), c.cellZ * 128 + c.cellX);
        EXPECT_EQ(heads[c.cellZ * 128 + c.cellX], r);
        EXPECT_EQ(r->position.x, c.x);
        EXPECT_EQ(r->position.z, c.z);
    }
}

TEST_F(ObjTest, StaticCreationFillsTheRecord) {
    _PAK_HEADER model = {};
    model.baseHeight = 0x3000;
    obj_PendingAngles = {0x2000123, 7, 9};
    obj_PendingType = 42;
    ObjectRecord* first = obj_StaticCreate(0x100000, 0x200000, &model, 0x4205);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(obj_Current, first);
    EXPECT_EQ(first->angles.heading, 0x123);  // kept to 25 bits
    EXPECT_EQ(first->angles.pitch, 0);
    EXPECT_EQ(first->angles.roll, 0);
    EXPECT_EQ(obj_PendingAngles.heading, 0);
    EXPECT_EQ(obj_PendingAngles.pitch, 0);
    EXPECT_EQ(obj_PendingAngles.roll, 0);
    EXPECT_EQ(first->drawFlags, 0x05);
    EXPECT_EQ(first->flags, 0x42 | OBJ_FLAG_STATIC | OBJ_FLAG_UNLISTED);
    EXPECT_EQ(first->position.y, 0x3000u);  // flat ground plus the model's base
    EXPECT_EQ(first->model, &model);
    EXPECT_EQ(first->draw, render_ObjectDraw);
    EXPECT_EQ(first->hit, Server_StaticDamage);
    EXPECT_EQ(first->death, nullptr);
    EXPECT_EQ(first->hitPoints, 100);
    EXPECT_EQ(first->hitPointsMax, 100);
    EXPECT_EQ(first->targetClass, OBJ_TARGET_STRUCTURE);
    EXPECT_EQ(first->modelSlot, 42);
    EXPECT_EQ(first->category, 0);  // the lists are the caller's
    EXPECT_EQ(obj_CategoryLists[0].count, 0);

    // A second object of the cell goes in front and links on to the first.
    ObjectRecord* second = obj_StaticCreateDestructible(0x1FFFFFF, 0, nullptr, 0);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(heads[0], second);
    EXPECT_EQ(second->freeLink, first);
    EXPECT_EQ(second->hit, Server_StaticDamageDestructible);
    EXPECT_EQ(obj_StaticCount, 2);
}

TEST_F(ObjTest, StaticPoolFollowsTheHalvesThisProcessRuns) {
    DcbPool clientOwn = {};
    MakePool(&clientOwn, sizeof(_STATIC_DCB), 2);
    struct Case {
        const char* name;
        int32_t hosting, shared;
        DcbPool* clientStatics;
        DcbPool* expected;
        int32_t listed;   // on the client's static list
    } cases[] = {
        {"single player", 1, 1, &level_ServerArrays.statics, &level_ServerArrays.statics, 1},
        {"dedicated server", 1, 0, nullptr, &level_ServerArrays.statics, 0},
        {"remote client", 0, 0, &clientOwn, &clientOwn, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        obj_ListsReset();
        level_GameMode.hosting = c.hosting;
        level_GameMode.sharedProcess = c.shared;
        level_ClientStaticArray = c.clientStatics;
        ObjectRecord* r = obj_StaticCreate(0, 0, nullptr, 0);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->pool, c.expected);
        EXPECT_EQ(obj_ClientStaticCount, c.listed);
        if (c.listed) {
            EXPECT_EQ(obj_ClientStatics[0], r);
        }
    }
}

TEST_F(ObjTest, EmptyStaticPoolCreatesNothing) {
    for (int i = 0; i < 8; i++) ASSERT_NE(obj_StaticCreate(0, 0, nullptr, 0), nullptr);
    ObjectRecord* last = obj_Current;
    obj_PendingType = 5;
    EXPECT_EQ(obj_StaticCreate(0x4000000, 0, nullptr, 0), nullptr);
    EXPECT_EQ(heads[2], nullptr);
    EXPECT_EQ(heads[0], last);
    EXPECT_EQ(obj_StaticCount, 8);
    EXPECT_EQ(obj_ClientStaticCount, 8);
}

TEST_F(ObjTest, CategoryListsKeepTheirCapacities) {
    std::vector<ObjectRecord> objects(300);
    struct Case {
        const char* name;
        uint8_t category, flags;
        int32_t targetsEnabled, hosting;
        int32_t list, expected;
    } cases[] = {
        {"flag 0x01", 0x01, 0, 1, 1, 0, 128},
        {"player targets", 0x04, OBJ_FLAG_ALLIANCE_A, 1, 1, 1, 128},
        {"player targets off", 0x04, OBJ_FLAG_ALLIANCE_A, 0, 1, 1, 0},
        {"not of the player's alliance", 0x04, OBJ_FLAG_ALLIANCE_B, 1, 1, 1, 0},
        {"flag 0x10", 0x10, 0, 1, 1, 2, 64},
        {"landing places", 0x08, 0, 1, 1, 3, 256},
        {"flag 0x20", 0x20, 0, 1, 1, 4, 128},
        {"flag 0x40", 0x40, 0, 1, 1, 5, 128},
        {"a pure client lists nothing", 0x01, 0, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        obj_ListsReset();
        obj_PlayerTargetsEnabled = c.targetsEnabled;
        level_GameMode.hosting = c.hosting;
        for (ObjectRecord& o : objects) {
            o = ObjectRecord{};
            o.category = c.category;
            o.flags = c.flags;
        }
        for (int32_t i = 0; i < 257; i++) obj_CategoryListsAdd(&objects[i]);
        const ObjCategoryList& list = obj_CategoryLists[c.list];
        EXPECT_EQ(list.count, c.expected);
        if (c.expected) {
            EXPECT_EQ(list.items[c.expected - 1], &objects[c.expected - 1]);
        }
        for (int32_t l = 0; l < OBJ_CATEGORY_LISTS; l++)
            if (l != c.list) {
                EXPECT_EQ(obj_CategoryLists[l].count, 0) << "list " << l;
            }
    }
}

TEST_F(ObjTest, CellListPushSetsTheDamageRoutineAndListsTheObject) {
    ObjectRecord o = {};
    o.position = {0x06000000, 0, 0x04000000};
    o.category = OBJ_CATEGORY_LANDING | OBJ_CATEGORY_01;
    obj_CellListPush(&o);
    EXPECT_EQ(heads[2 * 128 + 3], &o);
    EXPECT_EQ(o.hit, Server_StaticDamage);
    EXPECT_EQ(obj_CategoryLists[0].count, 1);
    EXPECT_EQ(obj_CategoryLists[3].count, 1);
}

TEST_F(ObjTest, RemovingTheWatchedObjectSwitchesOrRewiresTheView) {
    ObjectRecord* watched = obj_StaticCreate(0, 0, nullptr, 0);
    ObjectRecord* other = obj_StaticCreate(0, 0, nullptr, 0);
    ObjectRecord* replacement = obj_StaticCreate(0, 0, nullptr, 0);
    ObjectRecord* target = watched;
    ObjectRecord* owner = watched;
    ObjectRecord* unrelated = other;
    ASSERT_EQ(obj_ReferenceAdd(&target), 0);
    ASSERT_EQ(obj_ReferenceAdd(&owner), 0);
    ASSERT_EQ(obj_ReferenceAdd(&unrelated), 0);
    ASSERT_EQ(obj_ReferenceAdd(&target), 0);  // once in the table

    // Without a replacement the view falls back to the default mode.
    ViewedObject = watched;
    obj_Remove(watched, nullptr);
    EXPECT_EQ(view_ModeCurrentGet(), VIEW_MODE_DEFAULT);
    EXPECT_EQ(target, nullptr);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(unrelated, other);
    EXPECT_TRUE(watched->pending & OBJECT_PENDING_REMOVAL);

    // With one, the view and every reference follow it.
    view_ModeRequest(VIEW_MODE_COCKPIT);
    view_ModeSelect();
    ViewedObject = other;
    target = owner = other;
    obj_Remove(other, replacement);
    EXPECT_EQ(ViewedObject, replacement);
    EXPECT_EQ(view_ModeCurrentGet(), VIEW_MODE_COCKPIT);
    EXPECT_EQ(target, replacement);
    EXPECT_EQ(owner, replacement);
    EXPECT_EQ(unrelated, replacement);

    // The clear form takes the replacement the last removal was given.
    ObjectRecord* late = other;
    ASSERT_EQ(obj_ReferenceAdd(&late), 0);
    obj_ReferencesClear(other);
    EXPECT_EQ(late, replacement);
    obj_ReferenceRemove(&late);
    late = other;
    obj_ReferencesClear(other);
    EXPECT_EQ(late, other);
}

TEST_F(ObjTest, ReferenceTableRefusesWhenFull) {
    std::vector<ObjectRecord*> variables(OBJ_REFERENCE_SLOTS + 1);
    for (int32_t i = 0; i < OBJ_REFERENCE_SLOTS; i++) ASSERT_EQ(obj_ReferenceAdd(&variables[i]), 0);
    EXPECT_EQ(obj_ReferenceAdd(&variables[OBJ_REFERENCE_SLOTS]), -1);
    EXPECT_EQ(obj_ReferenceAdd(nullptr), -1);
}

TEST_F(ObjTest, FreeingTwiceQueuesOnce) {
    DcbPool& pool = level_ServerArrays.statics;
    ObjectRecord* r = obj_StaticCreate(0, 0, nullptr, 0);
    ASSERT_NE(r, nullptr);
    const int32_t freeBefore = net_DcbPoolFreeCount(&pool);
    obj_Free(r);
    obj_Free(r);
    int32_t queued = 0;
    for (ObjectRecord* q = pool.pendingRemove; q; q = q->pendingLink) queued++;
    EXPECT_EQ(queued, 1);
    net_DcbPoolFlushRemovals(&pool, nullptr);
    EXPECT_EQ(net_DcbPoolFreeCount(&pool), freeBefore + 1);
}

TEST_F(ObjTest, EffectsStartFromTheirSource) {
    ObjectRecord source = {};
    source.position = {10, 20, 30};
    source.velocity = {1, 2, 3};
    source.angles = {4, 5, 6};
    ObjectRecord* moving = fx_EffectSpawnMoving(7, &source);
    ASSERT_NE(moving, nullptr);
    EXPECT_EQ(moving->pool, &level_ClientArrays.common);
    EXPECT_EQ(moving->position.y, 20u);
    EXPECT_EQ(moving->velocity.z, 3);
    EXPECT_EQ(moving->angles.roll, 6);
    EXPECT_EQ(moving->speed, 0x30000);
    EXPECT_EQ(moving->frameCounter, 450);
    EXPECT_EQ(moving->modelSlot, 7);
    EXPECT_EQ(moving->think, fx_EffectThink);
    EXPECT_EQ(moving->secondPass, fx_EffectGroundTest);
    EXPECT_EQ(moving->draw, render_ObjectDraw);
    EXPECT_EQ(level_ClientArrays.common.pendingAdd, moving);  // joins the active list at the flush

    const FixWorldPos at = {100, 200, 300};
    ObjectRecord* still = fx_EffectSpawnAtObject(2, &at);
    ASSERT_NE(still, nullptr);
    EXPECT_EQ(still->pool, &level_ClientArrays.special);
    EXPECT_EQ(still->position.z, 300u);
    EXPECT_EQ(still->velocity.x, 0);
    EXPECT_EQ(still->angles.heading, 0);
    // The second effect pool holds one record: the next spawn gets none.
    EXPECT_EQ(fx_EffectSpawnAtObject(2, &at), nullptr);
    EXPECT_EQ(fx_EffectSpawnMoving(1, nullptr), nullptr);
}

TEST_F(ObjTest, ReusedRecordsKeepNothingOfTheirLastObject) {
    const FixWorldPos first = {0, 0, 0};
    ObjectRecord* r = fx_EffectTake(3, &first);
    ASSERT_NE(r, nullptr);
    r->category = 0x7F;
    r->target = r;
    r->hitPoints = -5;
    obj_Free(r);
    net_DcbPoolFlushAdditions(&level_ClientArrays.common, nullptr);
    net_DcbPoolFlushRemovals(&level_ClientArrays.common, nullptr);
    const FixWorldPos at = {1, 2, 3};
    ObjectRecord* again = nullptr;
    for (int i = 0; i < 4 && again != r; i++) again = fx_EffectTake(3, &at);
    ASSERT_EQ(again, r);
    EXPECT_EQ(r->category, 0);
    EXPECT_EQ(r->target, nullptr);
    EXPECT_EQ(r->hitPoints, 0);
    EXPECT_EQ(r->pool, &level_ClientArrays.common);
    EXPECT_EQ(r->serial % 2, 1u);
}

// Angles within a few units of a 25-bit turn.
void ExpectAngle(int32_t actual, int32_t expected) {
    int32_t d = (int32_t)(((uint32_t)actual - (uint32_t)expected) << 7) >> 7;
    EXPECT_LE(std::abs(d), 0x400) << std::hex << actual << " vs " << expected;
}

TEST_F(ObjTest, AngularRatesTurnTheAttitude) {
    struct Case {
        FixAngles attitude, rates, expected;
    } cases[] = {
        {{0, 0, 0}, {0x100000, 0, 0}, {0x100000, 0, 0}},
        {{0x400000, 0, 0}, {0x100000, 0, 0}, {0x500000, 0, 0}},
        {{0x1F00000, 0, 0}, {0x200000, 0, 0}, {0x100000, 0, 0}},  // wraps past a turn
        {{0, 0, 0}, {0, 0x80000, 0}, {0, 0x80000, 0}},
        {{0, 0, 0}, {0, 0, 0x40000}, {0, 0, 0x40000}},
        {{0x600000, 0x100000, 0}, {0, 0, 0}, {0x600000, 0x100000, 0}},  // no rates: untouched
    };
    for (const Case& c : cases) {
        ObjectRecord o = {};
        o.angles = c.attitude;
        o.rates = c.rates;
        obj_ApplyAngularRates(&o);
        ExpectAngle(o.angles.heading, c.expected.heading);
        ExpectAngle(o.angles.pitch, c.expected.pitch);
        ExpectAngle(o.angles.roll, c.expected.roll);
    }
}

TEST_F(ObjTest, SpeedFromVelocityIsTheExactLength) {
    struct Case {
        FixVec3 velocity;
        int32_t speed;
        FixVec3 direction;
    } cases[] = {
        {{3000, 4000, 0}, 5000, {0x9999, 0xCCCC, 0}},
        {{0, 0, -700}, 700, {0, 0, -0x10000}},
        {{0, 0, 0}, 0, {0, 0, 0}},
        {{0x40000000, 0x40000000, 0}, 0x5A827999, {0xB505, 0xB505, 0}},  // no overflow
    };
    for (const Case& c : cases) {
        ObjectRecord o = {};
        o.velocity = c.velocity;
        flight_SpeedFromVelocity(&o);
        EXPECT_NEAR(o.speed, c.speed, 1);
        EXPECT_NEAR(o.velocity.x, c.direction.x, 2);
        EXPECT_NEAR(o.velocity.y, c.direction.y, 2);
        EXPECT_NEAR(o.velocity.z, c.direction.z, 2);
    }
}

}  // namespace
