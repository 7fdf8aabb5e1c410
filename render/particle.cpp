// The falling particle field: rain and snow in a box around the viewer.
// Emitters fall through the box and release particles where the level's
// density map asks for them; the particles fall by kind, drift with a
// slowly turning wind, wrap around the box so that the field follows the
// viewer, and leave a short splash when they reach the ground.
#include "render/particle.h"

#include <strings.h>

#include <cstring>

#include "base/file.h"
#include "base/math.h"
#include "display/draw3d.h"
#include "display/otw.h"
#include "net/client.h"
#include "render/object.h"
#include "render/render.h"
#include "render/view.h"
#include "sim/obj.h"
#include "world/level.h"
#include "world/terrain.h"

int32_t render_ParticleFieldReady = 0;
int32_t render_ParticleFieldShown = 1;
ParticleField render_Particles = {};

namespace {

constexpr int32_t kHalfBox = 0x40000;
constexpr int32_t kBox = 0x80000;
constexpr int32_t kWrapSteps = 100;
constexpr int32_t kEmitterFall = 0x4000;
constexpr int32_t kEmitterCeiling = 0x7530000;
constexpr int32_t kSplashAge = 16;
constexpr int32_t kPhaseFrames = 400;
constexpr int32_t kWindStep = 64;
// The two distance bands of the emitter ranks.
constexpr int32_t kBandNear = 96;
constexpr int32_t kBandFar = 192;

const char* const kModelNames[4] = {"strail.pak", "chaff.pak", "paper.pak", nullptr};
const char* const kSplashNames[2] = {"splash1.pak", "splash2.pak"};

ParticleField& F = render_Particles;

// A fixed model of the level by file name, or null.
_PAK_HEADER* ModelNamed(const char* name) {
    for (int32_t i = 0; i < LEVEL_MODEL_SLOTS; i++)
        if (level_Models.name[i] && level_Models.pak[i] && !strcasecmp(level_Models.name[i], name))
            return level_Models.pak[i];
    return nullptr;
}

template <typename Node>
void Unlink(ParticleList<Node>& l, Node* n) {
    if (n->prev) n->prev->next = n->next;
    else l.head = n->next;
    if (n->next) n->next->prev = n->prev;
    else l.tail = n->prev;
    n->prev = n->next = nullptr;
    l.count--;
}

template <typename Node>
void Append(ParticleList<Node>& l, Node* n) {
    n->next = nullptr;
    n->prev = l.tail;
    if (l.tail) l.tail->next = n;
    else l.head = n;
    l.tail = n;
    l.count++;
}

template <typename Node>
Node* Take(ParticleList<Node>& freeList, ParticleList<Node>& active) {
    Node* n = freeList.head;
    if (!n) return nullptr;
    Unlink(freeList, n);
    Append(active, n);
    return n;
}

template <typename Node>
void Release(ParticleList<Node>& active, ParticleList<Node>& freeList, Node* n) {
    Unlink(active, n);
    Append(freeList, n);
}

int32_t Towards(int32_t v, int32_t target, int32_t step) {
    if (v < target) return v + step < target ? v + step : target;
    return v - step > target ? v - step : target;
}

void WindTarget(void) {
    static const int32_t kTargets[7][2] = {{0, 0},       {0, 0},       {0x4000, 0x3000}, {0x4000, -0x1000},
                                           {-0x2000, 0x5000}, {0, 0}, {0x4000, 0x3000}};
    int32_t x = kTargets[F.phase][0], z = kTargets[F.phase][1];
    if (F.detail == 1) {
        const int32_t nx = x / 2 + z / 4;
        z = z / 4 + z / 2;
        x = nx;
    } else if (F.detail == 2) {
        x = z / 2;
        z = z / 2;
    }
    if (!F.windEnabled || F.forceOff) x = z = 0;
    F.windTarget[0] = x;
    F.windTarget[1] = z;
}

// Moves a coordinate back into [lo, lo + kBox) by steps of the box size.
uint32_t WrapInto(uint32_t v, uint32_t lo) {
    for (int32_t i = 0; i < kWrapSteps && (int32_t)(v - lo) < 0; i++) v += kBox;
    for (int32_t i = 0; i < kWrapSteps && (int32_t)(v - lo) >= kBox; i++) v -= kBox;
    return v;
}

uint32_t RandomIn(uint32_t lo) { return lo + (math_Random() & (kBox - 1)); }

void BoxPlace(void) {
    const ObjectRecord* follow = F.followPlayer ? Client_PlayerObject : nullptr;
    const FixWorldPos at = follow ? follow->position : view_State.position;
    F.left = at.x - kHalfBox;
    F.nearZ = at.z - kHalfBox;
    int64_t bottom = (int64_t)at.y - kHalfBox;
    const int64_t ground = terrain_HeightBilinear(&at);
    F.nearGround = 0;
    if (bottom < ground) {
        bottom = ground;
        F.nearGround = 1;
    }
    F.bottom = bottom;
    F.top = bottom + kBox;
}

int32_t Density(void) {
    if (F.forceOff) return 0;
    if (F.forceFull) return 255;
    const FixWorldPos at = F.followPlayer && Client_PlayerObject ? Client_PlayerObject->position : view_State.position;
    int32_t d = F.densityMap[((at.z >> 22) & 0x3F) * 64 + ((at.x >> 22) & 0x3F)];
    if (F.detail == 1) d /= 2;
    else if (F.detail == 2) d /= 4;
    else if (d > 191) d = 255;
    else if (d < 64) d = 0;
    return d;
}

void Release(ParticleNode* p, int32_t kind) {
    ParticleNode* n = Take(F.particleFree, F.particles);
    if (!n) return;
    n->x = p->x;
    n->y = p->y;
    n->z = p->z;
    n->kind = kind;
}

void EmittersStep(int32_t frames, int32_t density) {
    for (ParticleEmitter& e : F.emitters) {
        if (!F.paused) e.y -= (int64_t)frames * kEmitterFall;
        if (e.y < F.bottom) {
            e.x = RandomIn(F.left);
            e.z = RandomIn(F.nearZ);
            for (int32_t i = 0; i < kWrapSteps && e.y < F.bottom; i++) e.y += kBox;
            if (density > 0 && e.rank < density && e.y < kEmitterCeiling) {
                ParticleNode at = {};
                at.x = e.x;
                at.y = (int32_t)e.y;
                at.z = e.z;
                Release(&at, e.rank < kBandNear ? 1 : e.rank >= kBandFar ? 4 : 2);
            }
        } else {
            for (int32_t i = 0; i < kWrapSteps && e.y >= F.top; i++) e.y -= kBox;
        }
    }
}

void ParticlesStep(int32_t frames) {
    for (ParticleNode* p = F.particles.head; p;) {
        ParticleNode* next = p->next;
        const int32_t fall = p->kind == 1 ? 0x6000 : p->kind == 2 ? 0x2000 : 0x800;
        p->x += (uint32_t)(frames * F.wind[0]);
        p->z += (uint32_t)(frames * F.wind[1]);
        p->y -= frames * fall;
        p->x = WrapInto(p->x, F.left);
        p->z = WrapInto(p->z, F.nearZ);
        if (p->y < F.bottom) {
            if (F.nearGround) {
                if (SplashNode* s = Take(F.splashFree, F.splashes)) {
                    s->age = 0;
                    s->x = p->x;
                    s->y = p->y;
                    s->z = p->z;
                    s->kind = p->kind == 1 ? 1 : 2;
                }
            }
            Release(F.particles, F.particleFree, p);
        } else if (p->y >= F.top) {
            for (int32_t i = 0; i < kWrapSteps && p->y >= F.top; i++) p->y -= kBox;
            if (p->y < 0) Release(F.particles, F.particleFree, p);
        }
        p = next;
    }
    for (SplashNode* s = F.splashes.head; s;) {
        SplashNode* next = s->next;
        s->age += frames;
        if (s->age >= kSplashAge) Release(F.splashes, F.splashFree, s);
        s = next;
    }
}

void DrawOne(_PAK_HEADER* model, uint32_t x, int32_t y, uint32_t z, uint8_t flags, uint8_t frame, const FixAngles& a) {
    if (!model) return;
    ObjectRecord o = {};
    o.model = model;
    o.drawFlags = flags;
    o.scale = 0x10000;
    o.angles = a;
    o.frame = frame;
    o.position = FixWorldPos{x, (uint32_t)y, z};
    render_ObjectToViewSpaceC(&o);
    render_ObjectDrawC(&o);
}

void DrawBox(void) {
    const uint32_t x0 = F.left, x1 = F.left + kBox, z0 = F.nearZ, z1 = F.nearZ + kBox;
    const uint32_t y0 = (uint32_t)F.bottom, y1 = (uint32_t)F.top;
    const FixWorldPos c[8] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1},
                              {x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}};
    static const int32_t kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                          {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (const auto& e : kEdges) draw_Line3D(&c[e[0]], &c[e[1]], 15);
}

}  // namespace

void render_ParticleFieldSetup(void) {
    render_ParticleFieldFree();
    std::memset(F.densityMap, 0, sizeof F.densityMap);
    const int32_t n = file_LoadRaw(PARTICLE_DENSITY_FILE, F.densityMap, sizeof F.densityMap);
    if (n != (int32_t)sizeof F.densityMap) std::memset(F.densityMap, 0, sizeof F.densityMap);
    F.particleBlock = new ParticleNode[PARTICLE_NODES]();
    F.splashBlock = new SplashNode[PARTICLE_SPLASHES]();
    for (int32_t i = 0; i < PARTICLE_NODES; i++) Append(F.particleFree, &F.particleBlock[i]);
    for (int32_t i = 0; i < PARTICLE_SPLASHES; i++) Append(F.splashFree, &F.splashBlock[i]);
    for (int32_t i = 0; i < PARTICLE_EMITTERS; i++) {
        ParticleEmitter& e = F.emitters[i];
        e.rank = (i * 256) / PARTICLE_EMITTERS;
        e.x = (uint32_t)(i * 0x9E3779B1u);
        e.z = (uint32_t)(i * 0x7F4A7C15u);
        e.y = -((int64_t)i * (kBox / PARTICLE_EMITTERS));
    }
    for (int32_t k = 0; k < 3; k++) F.models[k] = kModelNames[k] ? ModelNamed(kModelNames[k]) : nullptr;
    for (int32_t k = 0; k < 2; k++) F.splashModels[k] = ModelNamed(kSplashNames[k]);
    F.windEnabled = 1;
    F.scale = 0x10000;
    render_ParticleFieldReady = 1;
}

void render_ParticleFrameTick(void) { F.elapsed++; }

void render_ParticleFieldStep(void) {
    const int32_t n = F.elapsed;
    F.elapsed = 0;
    for (int32_t i = 0; i < n; i++) {
        if (++F.phaseTimer >= kPhaseFrames) {
            F.phaseTimer = 0;
            F.phase = F.phase >= 6 ? 0 : F.phase + 1;
        }
        WindTarget();
        F.wind[0] = Towards(F.wind[0], F.windTarget[0], kWindStep);
        F.wind[1] = Towards(F.wind[1], F.windTarget[1], kWindStep);
    }
    F.density = Density();
    BoxPlace();
    if (n <= 0) return;
    EmittersStep(n, F.density);
    ParticlesStep(n);
}

void render_ParticleFieldDraw(void) {
    render_ParticleFieldStep();
    const int32_t wasLocked = otw_State.locked;
    if (!wasLocked) otw_LockSurface();
    for (const ParticleNode* p = F.particles.head; p; p = p->next) {
        if (p->kind == 1) {
            // Rain streaks point along their fall.
            const FixWorldPos from = {p->x, (uint32_t)p->y, p->z};
            const FixWorldPos to = {p->x + (uint32_t)F.wind[0], (uint32_t)(p->y - 0x6000), p->z + (uint32_t)F.wind[1]};
            const FixAngles a = {obj_Bearing(&from, &to), obj_ElevationReverse(&from, &to), 0};
            DrawOne(F.models[0], p->x, p->y, p->z, 0, 0, a);
        } else {
            DrawOne(F.models[p->kind == 2 ? 1 : 2], p->x, p->y, p->z, 0x4, 0, FixAngles{});
        }
    }
    for (const SplashNode* s = F.splashes.head; s; s = s->next)
        DrawOne(F.splashModels[s->kind == 1 ? 0 : 1], s->x, s->y, s->z, 0x4, (uint8_t)(s->age / 2), FixAngles{});
    if (F.showBox) DrawBox();
    if (!wasLocked) otw_UnlockSurface();
}

void render_ParticleFieldFree(void) {
    delete[] F.particleBlock;
    delete[] F.splashBlock;
    F.particleBlock = nullptr;
    F.splashBlock = nullptr;
    F.particles = {};
    F.particleFree = {};
    F.splashes = {};
    F.splashFree = {};
    F.left = F.nearZ = 0;
    F.bottom = F.top = 0;
    F.nearGround = 0;
    F.phase = F.phaseTimer = 0;
    F.windTarget[0] = F.windTarget[1] = F.wind[0] = F.wind[1] = 0;
    F.elapsed = 0;
    F.scale = 0x10000;
    render_ParticleFieldReady = 0;
}
