// Visual effects, trails, the ejection sequence and the falling particle
// field, stepped frame by frame on the client's effect pools.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "../sim/sim_fixture.h"
#include "base/math.h"
#include "input/inmap.h"
#include "render/fx.h"
#include "render/particle.h"
#include "render/render.h"
#include "render/view_eject.h"
#include "sim/plane.h"
#include "sim/plane_fields.h"
#include "world/level.h"
#include "world/pak.h"

namespace {

constexpr int32_t kSlot = 40;

class FxTest : public SimEnv {
protected:
    _PAK_HEADER model{};

    void SetUp() override {
        SimEnv::SetUp();
        // Room in the small heap for the loaded-model list.
        ASSERT_EQ(test_HeapsFresh(0x800000, 0x10000, 0x10000, TEST_HEAP1), 0);
        pak_List = PakList{};
        Pools(300, 4);
        level_Models.pak[kSlot] = &model;
        for (int32_t* t : {&fx_TypeSmallExplosion, &fx_TypeFlak, &fx_TypeGroundBurst, &fx_TypeDebris, &fx_TypeFragment,
                           &fx_TypeSmoke, &fx_TypeKillSprite, &fx_TypeSeat, &fx_TypeNearby})
            *t = kSlot;
        Frames(4);
        view_State.position = FixWorldPos{0x10000000, 0x400000, 0x10000000};
        math_RandomReset();
    }
    void TearDown() override {
        level_Models.pak[kSlot] = nullptr;
        SimEnv::TearDown();
    }
    void Pools(uint32_t common, uint32_t special) {
        level_ClientArrays = LevelClientArrays{};
        MakePool(&level_ClientArrays.common, sizeof(_COMMON_DCB), common);
        MakePool(&level_ClientArrays.special, sizeof(_COMMON_DCB), special);
    }
    void Frames(int32_t f) { model.word68 = (uint32_t)f << 16; }
    static bool Removed(const ObjectRecord* o) { return (o->pending & OBJECT_PENDING_REMOVAL) != 0; }
    static int32_t Taken(const DcbPool* pool) { return (int32_t)pool->count - net_DcbPoolFreeCount(pool); }
};

TEST_F(FxTest, ASpriteOfFFramesLivesEightFFramesAndStepsAFrameEveryEight) {
    for (int32_t f : {1, 4, 8}) {
        Frames(f);
        const FixWorldPos at = {0x10000000, 0x500000, 0x10000000};
        ObjectRecord* s = fx_SmallExplosion(&at);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->draw, fx_SpriteDrawScaled);
        EXPECT_EQ(fx_Fields(s)->spriteSize, 190);
        int32_t thinks = 0;
        std::vector<int32_t> firstSeen(f, -1);
        while (!Removed(s) && thinks < 1000) {
            s->think(s);
            thinks++;
            if (!Removed(s) && s->frame < f && firstSeen[s->frame] < 0) firstSeen[s->frame] = thinks;
        }
        EXPECT_EQ(thinks, 8 * f) << f;
        for (int32_t i = 0; i < f; i++) EXPECT_EQ(firstSeen[i], 8 * i + 1) << f << " frame " << i;
        net_DcbPoolFlushAdditions(&level_ClientArrays.common, nullptr);
        net_DcbPoolFlushRemovals(&level_ClientArrays.common, nullptr);
    }
}

TEST_F(FxTest, DebrisSlowsToAStopWithinItsLifeAndNeverGoesBackwards) {
    const FixWorldPos at = {0x10000000, 0x500000, 0x10000000};
    fx_DebrisBurst(&at, 3);
    ASSERT_EQ(Taken(&level_ClientArrays.common), 3);
    ObjectRecord* d = obj_Current;
    ASSERT_EQ(d->think, fx_DebrisThink);
    EXPECT_EQ(d->speed, 0x6000);
    int32_t frames = 0, stoppedAt = -1;
    FixWorldPos last = d->position;
    while (!Removed(d) && frames < 1000) {
        d->think(d);
        frames++;
        ASSERT_GE(d->speed, 0);
        if (d->speed == 0 && stoppedAt < 0) stoppedAt = frames;
        if (stoppedAt >= 0 && stoppedAt < frames && !Removed(d)) {
            EXPECT_EQ(d->position.x, last.x);
            EXPECT_EQ(d->position.y, last.y);
        }
        last = d->position;
    }
    EXPECT_EQ(frames, 160);
    EXPECT_GT(stoppedAt, 0);
    EXPECT_LT(stoppedAt, 160);
}

TEST_F(FxTest, ANearbyWeaponEffectIsMadeOnlyNearTheCamera) {
    const struct {
        int32_t away;
        bool made;
    } cases[] = {{0x1000, true}, {0x5F00000, true}, {0x5F00001, false}, {0x7000000, false}};
    for (const auto& c : cases) {
        ObjectRecord w{};
        w.position = view_State.position;
        w.position.z += (uint32_t)c.away;
        w.angles = {0x100, 0x200, 0x300};
        ObjectRecord* e = weapon_SpawnNearbyEffect(&w);
        EXPECT_EQ(e != nullptr, c.made) << std::hex << c.away;
        if (e) {
            EXPECT_EQ(e->think, nullptr);
            EXPECT_EQ(e->secondPass, fx_SpriteThinkPass);
            EXPECT_EQ(e->angles.roll, 0x300);
            EXPECT_EQ(e->scale, 0x20000);
        }
    }
}

TEST_F(FxTest, ExplosionsSpawnWhatThePoolHolds) {
    const FixWorldPos at = {0x10000000, 0x800000, 0x10000000};
    for (uint32_t room : {0u, 1u, 5u, 20u}) {
        Pools(room, 1);
        fx_AirExplosion(&at);
        fx_KillExplosion(&at);
        EXPECT_EQ(Taken(&level_ClientArrays.common), (int32_t)room) << room;
    }
    // With room for all: fragments, fires and the three sprites of each.
    Pools(300, 1);
    math_RandomReset();
    fx_KillExplosion(&at);
    int32_t sprites = 0, fragments = 0, fires = 0;
    for (uint32_t i = 0; i < level_ClientArrays.common.count; i++) {
        ObjectRecord* r = (ObjectRecord*)((uint8_t*)level_ClientArrays.common.memory + i * level_ClientArrays.common.size);
        if (r->think == fx_SpriteThink) sprites++;
        if (r->think == fx_FragmentThink) {
            fragments++;
            EXPECT_GT(fx_Fields(r)->velocity.y, 0x200 - 1);  // thrown upwards
        }
        if (r->think == fx_FireThink) {
            fires++;
            EXPECT_GT(fx_Fields(r)->velocity.y, 0x200 - 1);
        }
    }
    EXPECT_EQ(sprites, 3);
    EXPECT_GE(fragments, 3);
    EXPECT_LE(fragments, 10);
    EXPECT_GE(fires, 4);
    EXPECT_LE(fires, 11);
}

TEST_F(FxTest, ABombBlastSpreadsDelayedSpritesOnTheGround) {
    const FixWorldPos at = {0x10000000, 0x800000, 0x10000000};
    fx_BombBlast(&at);
    ASSERT_EQ(Taken(&level_ClientArrays.common), 64);
    for (uint32_t i = 0; i < 64; i++) {
        ObjectRecord* r = (ObjectRecord*)((uint8_t*)level_ClientArrays.common.memory + i * level_ClientArrays.common.size);
        EXPECT_EQ(r->think, fx_DelayThink);
        EXPECT_EQ(r->draw, fx_SpriteDraw);
        EXPECT_LT(r->frameCounter, 32);
        EXPECT_EQ((int64_t)r->position.y, terrain_HeightBilinear(&r->position));
        const int32_t dx = (int32_t)(r->position.x - at.x), dz = (int32_t)(r->position.z - at.z);
        EXPECT_LE(std::abs(dx), 0x200000);
        EXPECT_LE(std::abs(dz), 0x200000);
    }
    // The delay runs out, then the sprite plays.
    ObjectRecord* r = obj_Current;
    r->frameCounter = 2;
    r->think(r);
    EXPECT_EQ(r->think, fx_DelayThink);
    r->think(r);
    EXPECT_EQ(r->think, fx_SpriteThink);
    EXPECT_EQ(r->frameCounter, 0);
    // A small pool ends the loop.
    Pools(5, 1);
    fx_WideBlast(&at);
    EXPECT_EQ(Taken(&level_ClientArrays.common), 5);
}

TEST_F(FxTest, ATrailSegmentFadesFrom25To16AndGoesAtItsThirteenthThink) {
    ObjectRecord aircraft{};
    aircraft.position = FixWorldPos{0x10000000, 0x800000, 0x10000000};
    aircraft.motion = {0, 0, 0x4000};
    fx_TrailHalfWidth = {0x1000, 0, 0};
    fx_TrailLife = 0x190000;
    ObjectRecord* first = fx_TrailSegmentSpawn(&aircraft, nullptr);
    ASSERT_NE(first, nullptr);
    EffectObjectFields* f = fx_Fields(first);
    // The first segment reaches back by the last step; its end is the
    // attachment point, W to either side.
    EXPECT_EQ((int32_t)(f->endB.x - f->endA.x), 0x2000);
    EXPECT_EQ((int32_t)(f->endA.z - f->startA.z), 0x4000);
    aircraft.position.z += 0x4000;
    ObjectRecord* next = fx_TrailSegmentSpawn(&aircraft, first);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(fx_Fields(next)->startA.z, f->endA.z);
    EXPECT_EQ(fx_Fields(next)->startB.x, f->endB.x);

    PlanePlayerFields* links = plane_PlayerFields(&aircraft);
    links->trailSegment[0] = first;
    links->trailSegment[1] = nullptr;
    std::vector<int32_t> shades;
    int32_t thinks = 0;
    while (!Removed(first) && thinks < 50) {
        shades.push_back(f->life >> 16);
        first->think(first);
        thinks++;
    }
    EXPECT_EQ(thinks, 13);
    EXPECT_EQ(shades.front(), 25);
    EXPECT_EQ(shades.back(), 16);
    EXPECT_EQ(links->trailSegment[0], nullptr);
    // Below the least life no trail is laid.
    fx_TrailLife = 0xFFFFF;
    const int32_t before = Taken(&level_ClientArrays.common);
    fx_TrailPairStep(&aircraft);
    EXPECT_EQ(Taken(&level_ClientArrays.common), before);
    fx_TrailLife = 0x190000;
}

// ---- Ejection ----

PakVertex g_vertA[2], g_vertB[3], g_vertOut[4];
PakGeometry g_geo[3];
PakSubObject g_sub[3];
PakModel g_level[3];
PakModelEntry g_entry[3];
_PAK_HEADER g_pak[3];

_PAK_HEADER* Mesh(int32_t i, PakVertex* v, int32_t n) {
    g_geo[i] = PakGeometry{};
    g_geo[i].vertexCount = n;
    g_geo[i].vertices = v;
    g_sub[i] = PakSubObject{};
    g_sub[i].geometry = &g_geo[i];
    g_level[i] = PakModel{0, 1, 0, &g_sub[i]};
    g_entry[i] = PakModelEntry{0, &g_level[i]};
    g_pak[i] = _PAK_HEADER{};
    g_pak[i].modelCount = 1;
    g_pak[i].models = &g_entry[i];
    return &g_pak[i];
}

TEST(ModelMorph, BlendsOverTheSmallestVertexCount) {
    for (PakVertex& v : g_vertA) v = PakVertex{0, 100, -100, {}};
    for (PakVertex& v : g_vertB) v = PakVertex{256, 300, 100, {}};
    for (PakVertex& v : g_vertOut) v = PakVertex{7, 7, 7, {}};
    _PAK_HEADER* a = Mesh(0, g_vertA, 2);
    _PAK_HEADER* b = Mesh(1, g_vertB, 3);
    _PAK_HEADER* out = Mesh(2, g_vertOut, 4);
    const struct {
        int32_t t, x, y, z;
    } cases[] = {{0, 0, 100, -100}, {128, 128, 200, 0}, {256, 256, 300, 100}, {400, 256, 300, 100}, {-5, 0, 100, -100}};
    for (const auto& c : cases) {
        view_ModelMorph(out, a, b, c.t);
        EXPECT_EQ(g_vertOut[1].x, c.x) << c.t;
        EXPECT_EQ(g_vertOut[1].y, c.y) << c.t;
        EXPECT_EQ(g_vertOut[1].z, c.z) << c.t;
        EXPECT_EQ(g_vertOut[2].x, 7);  // beyond the smallest count
    }
    view_MorphDisable = 1;
    view_ModelMorph(out, b, a, 0);
    view_MorphDisable = 0;
    EXPECT_EQ(g_vertOut[0].x, 0);  // left as the last blend made it
}

class EjectTest : public FxTest {
protected:
    ObjectRecord aircraft{};
    void SetUp() override {
        FxTest::SetUp();
        render_EjectionSequence = 0;
        view_ActiveFlag = 1;
        render_ScreenStateSet(0);
        aircraft.position = FixWorldPos{0x10000000, 0x4000000, 0x10000000};
        aircraft.flags = OBJ_FLAG_PLAYER;
        plane_PlayerFields(&aircraft)->onGround = 0;
    }
    void TearDown() override {
        render_EjectionSequence = 0;
        view_ActiveFlag = 1;
        render_ScreenStateCurrent = nullptr;
        view_EjectPilot = nullptr;
        FxTest::TearDown();
    }
};

TEST_F(EjectTest, EjectingTwiceLaunchesOnePilot) {
    const int32_t count = view_EjectCount;
    view_EjectStart(&aircraft);
    ASSERT_EQ(Taken(&level_ClientArrays.special), 1);
    ObjectRecord* pilot = view_EjectPilot;
    ASSERT_NE(pilot, nullptr);
    EXPECT_EQ(pilot->think, view_EjectSeatThink);
    EXPECT_EQ(pilot->frameCounter, 600);
    EXPECT_EQ(render_EjectionSequence, 1);
    EXPECT_EQ(view_ActiveFlag, 0);
    EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[5]);
    EXPECT_EQ(view_EjectCount, count + 1);
    EXPECT_EQ(view_CameraDistance, 0x20000);
    view_EjectStart(&aircraft);
    EXPECT_EQ(Taken(&level_ClientArrays.special), 1);
    EXPECT_EQ(view_EjectCount, count + 1);
}

TEST_F(EjectTest, WithNoRecordForThePilotNothingHappens) {
    Pools(300, 0);
    view_EjectStart(&aircraft);
    EXPECT_EQ(render_EjectionSequence, 0);
    EXPECT_EQ(view_ActiveFlag, 1);
    EXPECT_EQ(render_ScreenStateCurrent, nullptr);
    // On the ground nothing happens either.
    Pools(300, 4);
    plane_PlayerFields(&aircraft)->onGround = 1;
    view_EjectStart(&aircraft);
    EXPECT_EQ(render_EjectionSequence, 0);
}

TEST_F(EjectTest, TheSequenceRunsFromSeatToStandingAndEndsOnTheInformationPage) {
    aircraft.position.y = (uint32_t)(terrain_HeightBilinear(&aircraft.position) + 0x800000);
    view_EjectStart(&aircraft);
    ObjectRecord* pilot = view_EjectPilot;
    ASSERT_NE(pilot, nullptr);
    std::vector<ObjectRoutine> states = {pilot->think};
    int32_t yawChanges = 0;
    for (int32_t i = 0; i < 5000 && pilot->think != view_EjectStandThink; i++) {
        const int32_t yaw = view_LookYaw;
        pilot->think(pilot);
        if (view_LookYaw != yaw) yawChanges++;
        if (pilot->think != states.back()) states.push_back(pilot->think);
    }
    const std::vector<ObjectRoutine> expected = {view_EjectSeatThink, view_EjectOpenThink, view_EjectDescentThink,
                                                 view_EjectLandThink, view_EjectStandThink};
    EXPECT_EQ(states, expected);
    EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[4]);
    EXPECT_GT(yawChanges, 100);  // the camera circles all along
    EXPECT_GE((int64_t)pilot->position.y, terrain_HeightBilinear(&pilot->position));
}

TEST_F(EjectTest, EscapeOpensTheCommandMenu) {
    render_ScreenStateSet(5);
    inmap_KeyEvent.keyValue = 'A';
    view_EjectKeys();
    EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[5]);
    inmap_KeyEvent.keyValue = 0x1B;
    view_EjectKeys();
    EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[1]);
    inmap_KeyEvent.keyValue = 0;
}

// ---- Particle field ----

class ParticleTest : public FxTest {
protected:
    void SetUp() override {
        FxTest::SetUp();
        render_ParticleFieldSetup();
        render_Particles.forceFull = 1;
        view_State.position = FixWorldPos{0x10000000, 0, 0x10000000};
    }
    void TearDown() override {
        render_ParticleFieldFree();
        render_Particles = ParticleField{};
        FxTest::TearDown();
    }
    void Frames(int32_t n) {
        for (int32_t i = 0; i < n; i++) render_ParticleFrameTick();
        render_ParticleFieldStep();
    }
    void Height(int64_t aboveGround) {
        view_State.position.y = (uint32_t)(terrain_HeightBilinear(&view_State.position) + aboveGround);
    }
};

TEST_F(ParticleTest, WithNoFrameElapsedNothingMoves) {
    Height(0x1000000);
    for (int32_t i = 0; i < 40; i++) Frames(3);
    ASSERT_GT(render_Particles.particles.count, 0);
    std::vector<ParticleNode> before;
    for (ParticleNode* p = render_Particles.particles.head; p; p = p->next) before.push_back(*p);
    const int64_t emitter = render_Particles.emitters[0].y;
    Frames(0);
    size_t i = 0;
    for (ParticleNode* p = render_Particles.particles.head; p; p = p->next, i++) {
        ASSERT_LT(i, before.size());
        EXPECT_EQ(p->x, before[i].x);
        EXPECT_EQ(p->y, before[i].y);
    }
    EXPECT_EQ(i, before.size());
    EXPECT_EQ(render_Particles.emitters[0].y, emitter);
}

TEST_F(ParticleTest, SplashesOnlyNearTheGround) {
    Height(0x1000000);
    for (int32_t i = 0; i < 200; i++) Frames(2);
    EXPECT_EQ(render_Particles.nearGround, 0);
    EXPECT_GT(render_Particles.particles.count, 0);
    EXPECT_EQ(render_Particles.splashes.count, 0);
    Height(0x1000);
    for (int32_t i = 0; i < 200 && render_Particles.splashes.count == 0; i++) Frames(2);
    EXPECT_EQ(render_Particles.nearGround, 1);
    EXPECT_GT(render_Particles.splashes.count, 0);
    for (SplashNode* s = render_Particles.splashes.head; s; s = s->next) EXPECT_LT(s->age, 16);
}

TEST_F(ParticleTest, ForceOffStillsTheWindAndEmptiesTheSky) {
    render_Particles.windEnabled = 1;
    for (int32_t i = 0; i < 30; i++) Frames(100);
    EXPECT_NE(render_Particles.wind[0] | render_Particles.wind[1], 0);
    render_Particles.forceOff = 1;
    for (int32_t i = 0; i < 10; i++) Frames(100);
    EXPECT_EQ(render_Particles.wind[0], 0);
    EXPECT_EQ(render_Particles.wind[1], 0);
    EXPECT_EQ(render_Particles.density, 0);
    // Freeing leaves nothing behind and marks the field as not set up.
    render_ParticleFieldFree();
    EXPECT_EQ(render_ParticleFieldReady, 0);
    EXPECT_EQ(render_Particles.particles.count, 0);
}

}  // namespace
