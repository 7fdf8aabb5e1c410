// The terrain pass: patch selection, the 24-slot pipeline, patch geometry
// and the item buffer's drawing batches.
#include "world/terrain_draw.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "cockpit/avion.h"
#include "cockpit/vcursor.h"
#include "display/dsurf.h"
#include "display/hw3d.h"
#include "display/pal.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/wndproc.h"
#include "sim/obj.h"
#include "world/level.h"
#include "world/terrain.h"

TerrainPass terrain_Pass;
PatchVertex terrain_PatchVertices[TERRAIN_SLOTS][25];
PatchTriangle terrain_PatchTriangles[TERRAIN_SLOTS][32];
int32_t terrain_PlainOption = 0;
int32_t terrain_LantirnPass = 0;
PALREF* terrain_Palref = nullptr;
void (*terrain_PlayersPlace)(void) = nullptr;

namespace {

constexpr int32_t kBoxHalf = 0xC000000;      // box reach above and below the camera
constexpr int32_t kTerrainTop = 0x7D00000;   // top of the ground box
constexpr int32_t kPatchSide = 0x2000000;
constexpr int32_t kCellSide = 0x800000;
constexpr int32_t kNearZ = 0x1000;           // outcode near plane
constexpr int32_t kTriangleNear = 0x10000;
constexpr int32_t kFlaggedStatic = 0x1000000;
constexpr int32_t kFlaggedGround = 0x1C00000;
// A line steps half a patch at a time: after 256 steps it is back where it
// started, so no line needs more.
constexpr int32_t kLineSteps = 256;

constexpr int32_t kX[5] = {0x200, 0x4000, 0x8000, 0xC000, 0xFE00};

TerrainVariantTables VariantsMake() {
    TerrainVariantTables t{};
    for (int o = 0; o < 8; o++) {
        for (int r = 0; r < 4; r++) {
            for (int c = 0; c < 4; c++) {
                const int cell = r * 4 + c;
                static const int kCorner[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};  // (dr, dc)
                for (int k = 0; k < 4; k++) {
                    const int j = r + kCorner[k][0], i = c + kCorner[k][1];
                    int u = 0, v = 0;
                    switch (o) {
                        case 0: u = kX[i]; v = kX[j]; break;
                        case 1: u = kX[4 - i]; v = kX[j]; break;
                        case 2: u = kX[i]; v = kX[4 - j]; break;
                        case 3: u = kX[4 - i]; v = kX[4 - j]; break;
                        case 4: u = kX[j]; v = kX[4 - i]; break;
                        case 5: u = kX[j]; v = kX[i]; break;
                        case 6: u = kX[4 - j]; v = kX[4 - i]; break;
                        default: u = kX[4 - j]; v = kX[i]; break;
                    }
                    t.corner[k][o][cell][0] = u;
                    t.corner[k][o][cell][1] = v;
                }
                int tr = r, tc = c;
                switch (o) {
                    case 0: break;
                    case 1: tc = 3 - c; break;
                    case 2: tr = 3 - r; break;
                    case 3: tr = 3 - r; tc = 3 - c; break;
                    case 4: tr = 3 - c; tc = r; break;
                    case 5: tr = c; tc = r; break;
                    case 6: tr = 3 - c; tc = 3 - r; break;
                    default: tr = c; tc = 3 - r; break;
                }
                const int k = tr * 4 + tc;
                const bool swapped = o == 1 || o == 3;
                t.attribute[o][cell][0] = (uint8_t)(swapped ? 2 * k + 1 : 2 * k);
                t.attribute[o][cell][1] = (uint8_t)(swapped ? 2 * k : 2 * k + 1);
            }
        }
    }
    return t;
}

// 512 sines of the turn in 16.16, by the top 9 bits of an angle.
struct SineTable {
    int32_t s[512];
    SineTable() {
        for (int k = 0; k < 512; k++) {
            const double v = std::sin(2.0 * M_PI * k / 512.0) * 65536.0;
            s[k] = (int32_t)std::lround(std::clamp(v, -65535.0, 65535.0));
        }
    }
};
const SineTable kSine;

inline int32_t Add(int32_t a, int32_t b) { return (int32_t)((uint32_t)a + (uint32_t)b); }
inline int32_t Mul(int32_t a, int32_t b) { return (int32_t)((uint32_t)a * (uint32_t)b); }
inline FixVec3 AddV(const FixVec3& a, const FixVec3& b) { return {Add(a.x, b.x), Add(a.y, b.y), Add(a.z, b.z)}; }
inline FixVec3 ScaleV(const FixVec3& a, int32_t k) { return {Mul(a.x, k), Mul(a.y, k), Mul(a.z, k)}; }

void ViewRotate(const FixVec3* in, FixVec3* out) {
    fix_RotateAboutY(in, out);
    fix_RotateAboutX(out, out);
    fix_RotateAboutZ(out, out);
}

void RotationLoad(void) { fix_TrigToDouble(&view_State.viewMatrix); }

// The five-bit outcode of a camera-space point against the near plane and
// the 90-degree frustum.
inline uint32_t Outcode(const FixVec3& p) {
    const int64_t x = p.x, y = p.y, z = p.z;
    uint32_t code = 0;
    if (z < kNearZ) code |= 1;
    if (x > z) code |= 2;
    if (x < -z) code |= 4;
    if (y > z) code |= 8;
    if (y < -z) code |= 16;
    return code;
}

// Appends an item; the buffer stops taking items when full.
bool ItemAppend(void* record, int32_t key) {
    TerrainPass& p = terrain_Pass;
    if (p.itemCount >= TERRAIN_ITEMS) return false;
    p.items[p.itemCount++] = TerrainItem{record, key};
    return true;
}

PatchEntry* SlotEntry(int32_t slot) {
    return slot >= 0 && slot < TERRAIN_SLOTS ? terrain_Pass.slots[slot] : nullptr;
}

void CountdownRaise(void) {
    if (PatchEntry* e = SlotEntry(terrain_Pass.current.slot)) e->countdown++;
}

void CountdownLower(int32_t slot) {
    if (PatchEntry* e = SlotEntry(slot)) e->countdown--;
}

// Tests the patch under the given corner; fills the entry's flag byte and
// distance. Returns 0 when invisible.
int32_t PatchVisible(int32_t cornerX, int32_t cornerZ, uint8_t* flag, int32_t* distance) {
    const TerrainPass& p = terrain_Pass;
    FixVec3 base = {cornerX, p.boxFloor - p.cameraHeight, cornerZ};
    ViewRotate(&base, &base);
    uint32_t all = 0x1F;
    FixVec3 c[8];
    for (int k = 0; k < 8; k++) {
        c[k] = base;
        if (k & 1) c[k] = AddV(c[k], p.edgeX);
        if (k & 2) c[k] = AddV(c[k], p.edgeZ);
        if (k & 4) c[k] = AddV(c[k], p.edgeY);
        all &= Outcode(c[k]);
    }
    if (all) return 0;
    uint8_t f = 0;
    if (!p.aboveTerrain) {
        // The whole ground box, floor to the top of the terrain: its upper
        // corners alone lie above the view for every near patch of a low
        // camera, which would leave the ground under it undrawn.
        uint32_t ground = 0x1F;
        for (int k = 0; k < 4; k++) ground &= Outcode(c[k]) & Outcode(AddV(c[k], p.groundY));
        f = ground ? 0 : 1;
    }
    *flag = f;
    const double dx = (double)cornerX + kPatchSide / 2, dy = -(double)p.cameraHeight, dz = (double)cornerZ + kPatchSide / 2;
    *distance = (int32_t)((int64_t)std::sqrt(dx * dx + dy * dy + dz * dz) >> 14);
    return 1;
}

// One scan line from a start point (units of 1 << 16) in a direction.
void ScanLine(uint32_t x, uint32_t z, int32_t stepX, int32_t stepZ) {
    TerrainPass& p = terrain_Pass;
    uint32_t* stamps = depth_Level.patchStamps;
    int32_t added = 0, misses = TERRAIN_LINE_MISSES;
    for (int32_t step = 0; step < kLineSteps; step++, x += (uint32_t)stepX, z += (uint32_t)stepZ) {
        if (p.count >= TERRAIN_PATCH_LIST || added >= TERRAIN_LINE_PATCHES) return;
        const int32_t px = (int32_t)((x >> 9) & 0x7F), pz = (int32_t)((z >> 9) & 0x7F);
        const int32_t index = pz * 128 + px;
        if (stamps[index] == p.frameStamp) continue;
        const int32_t cornerX = (int32_t)(((uint32_t)px << 25) - p.cameraX);
        const int32_t cornerZ = (int32_t)(((uint32_t)pz << 25) - p.cameraZ);
        uint8_t flag = 0;
        int32_t distance = 0;
        if (!PatchVisible(cornerX, cornerZ, &flag, &distance)) {
            if (--misses <= 0) return;
            continue;
        }
        stamps[index] = p.frameStamp;
        if (distance > TERRAIN_NEAR_DISTANCE && ((px | pz) & 3)) continue;
        PatchEntry& e = p.list[p.count++];
        e = PatchEntry{cornerX, cornerZ, px, pz, index, flag, distance, 0};
        added++;
    }
}

void PatchPrepare(PatchEntry* e, int32_t slot) {
    TerrainCurrentPatch& c = terrain_Pass.current;
    c = TerrainCurrentPatch{e->cornerX, e->cornerZ, e->px, e->pz, e->index, e->flag, slot, 0};
    e->countdown = 0;
    if (e->distance > TERRAIN_NEAR_DISTANCE) return;
    terrain_PatchObjectsQueue();
    terrain_PatchBuild();
}

void Pipeline(void) {
    TerrainPass& p = terrain_Pass;
    for (int32_t i = 0; i < p.count; i++) p.sorted[i] = &p.list[i];
    std::stable_sort(p.sorted, p.sorted + p.count,
                     [](const PatchEntry* a, const PatchEntry* b) { return a->distance > b->distance; });
    std::fill(p.slots, p.slots + TERRAIN_SLOTS, nullptr);
    p.itemCount = 0;
    p.itemRead = 0;
    int32_t next = 0;
    for (;;) {
        bool filled = false, any = false;
        for (int32_t s = 0; s < TERRAIN_SLOTS; s++) {
            if (!p.slots[s] && next < p.count) {
                p.slots[s] = p.sorted[next++];
                PatchPrepare(p.slots[s], s);
                filled = true;
            }
            if (p.slots[s]) any = true;
        }
        if (!any) break;
        if (filled)
            std::stable_sort(p.items, p.items + p.itemCount,
                             [](const TerrainItem& a, const TerrainItem& b) { return a.key > b.key; });
        terrain_ItemsDraw();
        // The undrawn items move to the front; new ones are written behind.
        const int32_t rest = p.itemRemembered - p.itemRead;
        if (rest > 0) std::memmove(p.items, p.items + p.itemRead, (size_t)rest * sizeof(TerrainItem));
        p.itemCount = rest > 0 ? rest : 0;
        p.itemRead = 0;
        p.itemRemembered = 0;
        for (int32_t s = 0; s < TERRAIN_SLOTS; s++)
            if (p.slots[s] && p.slots[s]->countdown <= 0) p.slots[s] = nullptr;
    }
}

inline uint8_t WaterBit(uint32_t n) {
    return (uint8_t)((depth_Level.waterMap[n >> 3] >> (7 - (n & 7))) & 1);
}

}  // namespace

const TerrainVariantTables terrain_Variants = VariantsMake();

uint32_t terrain_LightWord(int32_t height, int32_t shadow, int32_t water, int32_t depth, int32_t card) {
    const int64_t D = level_HazeDepth;
    const int32_t S = level_HazeShift & 31;
    const int64_t K = render_CloudHazeOffset;
    const bool cool = level_Colours.coolHaze != 0;
    const int64_t s13 = (int64_t)(shadow & 0xFF) << 13;
    auto Cool = [&](int64_t d) { return cool ? (d * (255 - std::min(4 * height, 255))) >> 8 : d; };
    uint32_t word;
    if (card) {
        int64_t d = std::max<int64_t>((int64_t)depth - D, 0);
        d = Cool(d);
        const int64_t f = std::clamp<int64_t>(((d >> S) + K) >> 12, 0, 255);
        word = (uint32_t)(s13 | f) & ~1u;
    } else {
        int64_t w;
        if (depth < D) {
            w = std::min<int64_t>(s13 + K, 0x1F0000);
        } else {
            int64_t d = Cool((int64_t)depth - D) >> S;
            const int64_t t = ((0xFFFF - ((d >> 4) & 0xFFFF)) * s13) >> 16;
            w = std::clamp<int64_t>(2 * d + t + K, 0x8000, 0x1F0000);
        }
        word = (uint32_t)w & ~0x1FFu;
    }
    return word | (uint32_t)(water & 1);
}

void terrain_DrawFrame(void) {
    TerrainPass& p = terrain_Pass;
    if (!depth_Level.patchStamps || !depth_Level.heightMap || !depth_Level.waterMap) return;
    p.count = 0;
    p.batches = 0;
    p.itemCount = p.itemRead = p.itemRemembered = 0;
    p.frameStamp++;
    if (terrain_PlayersPlace) terrain_PlayersPlace();
    p.drawFlags = terrain_PlainOption ? POLY_TEXTURED : (POLY_JITTER | POLY_TEXTURED);

    p.cameraX = view_State.position.x;
    p.cameraZ = view_State.position.z;
    const int64_t h = std::min<uint32_t>(view_State.position.y, 0x7FFFFFFFu - kBoxHalf);
    p.cameraHeight = (int32_t)h;
    p.boxFloor = (int32_t)std::max<int64_t>(h - kBoxHalf, 0);
    p.boxTop = (int32_t)(h + kBoxHalf);
    p.aboveTerrain = kTerrainTop <= p.boxFloor;
    RotationLoad();
    const FixVec3 ex = {kPatchSide, 0, 0}, ey = {0, p.boxTop - p.boxFloor, 0}, ez = {0, 0, kPatchSide};
    ViewRotate(&ex, &p.edgeX);
    ViewRotate(&ey, &p.edgeY);
    ViewRotate(&ez, &p.edgeZ);
    const FixVec3 gy = {0, kTerrainTop - p.boxFloor, 0};
    ViewRotate(&gy, &p.groundY);
    const FixVec3 cx = {kCellSide, 0, 0}, hu = {0, 0x10000, 0}, cz = {0, 0, kCellSide};
    ViewRotate(&cx, &p.cellX);
    ViewRotate(&hu, &p.heightUnit);
    ViewRotate(&cz, &p.cellZ);

    // Forward step and the two sideways steps, half a patch each.
    const uint32_t a = ((uint32_t)view_State.angles.heading & FIX_ANGLE_MASK) >> 16;
    const int32_t sinA = kSine.s[a & 511], cosA = kSine.s[(a + 128) & 511];
    const int32_t fx = (sinA * 256) >> 16, fz = (cosA * 256) >> 16;
    const uint32_t camX = p.cameraX >> 16, camZ = p.cameraZ >> 16;
    for (int32_t dir = 1; dir >= -1; dir -= 2) {
        uint32_t rx = camX, rz = camZ;
        for (int32_t row = 0; row < TERRAIN_SCAN_ROWS; row++) {
            if (dir < 0) rx -= (uint32_t)fx, rz -= (uint32_t)fz;
            ScanLine(rx, rz, fz, -fx);
            ScanLine(rx, rz, -fz, fx);
            if (dir > 0) rx += (uint32_t)fx, rz += (uint32_t)fz;
        }
    }
    Pipeline();
}

void terrain_PatchObjectsQueue(void) {
    TerrainPass& p = terrain_Pass;
    TerrainCurrentPatch& c = p.current;
    const int32_t n = c.index;
    if (depth_Level.dynamicStamps && depth_Level.dynamicHeads && depth_Level.dynamicStamps[n] == p.frameStamp) {
        RotationLoad();
        for (ObjectRecord* o = depth_Level.dynamicHeads[n]; o; o = o->freeLink) {
            avion_SensorMapMark(o);
            render_ObjectToViewSpace(o);
            o->made = (uint8_t)c.slot;  // the second byte is the object's slot byte here
            if (ItemAppend(o, o->viewPosition.z)) CountdownRaise();
        }
    }
    RotationLoad();
    if (depth_Level.dynamicHeads) depth_Level.dynamicHeads[n] = nullptr;
    if (!c.flag || render_AboveCloudDeck || !depth_Level.staticHeads) return;
    for (ObjectRecord* o = depth_Level.staticHeads[n]; o; o = o->freeLink) {
        render_ObjectToViewSpace(o);
        o->made = (uint8_t)c.slot;
        int32_t key = o->viewPosition.z;
        if (o->drawFlags & 1) {
            key = Add(key, kFlaggedStatic);
            c.flaggedObject = 1;
        }
        if (ItemAppend(o, key)) CountdownRaise();
    }
}

void terrain_PatchBuild(void) {
    TerrainPass& p = terrain_Pass;
    const TerrainCurrentPatch& c = p.current;
    if (render_AboveCloudDeck || c.flag != 1) return;
    if (c.slot < 0 || c.slot >= TERRAIN_SLOTS) return;
    const DepthLevel& d = depth_Level;
    if (!d.reference || !d.tiles || !d.tileAttributes || !d.tileCount) return;
    const int32_t worldX = Add(c.cornerX, (int32_t)p.cameraX), worldZ = Add(c.cornerZ, (int32_t)p.cameraZ);
    FixVec3 corner = {c.cornerX, -p.cameraHeight, c.cornerZ};
    ViewRotate(&corner, &corner);
    const bool card = hw3d_Active && !terrain_LantirnPass;

    PatchVertex* v = terrain_PatchVertices[c.slot];
    for (int32_t j = 0; j < 5; j++) {
        const uint32_t cz = (uint32_t)(c.pz * 4 + j) & 511;
        const FixVec3 rowBase = AddV(corner, ScaleV(p.cellZ, j));
        for (int32_t i = 0; i < 5; i++) {
            const uint32_t cx = (uint32_t)(c.px * 4 + i) & 511;
            const uint32_t n = cz * 512 + cx;
            const int32_t h = d.heightMap[n];
            const int32_t s = d.shadowMap ? d.shadowMap[n] : 0;
            const int32_t w = WaterBit(n);
            PatchVertex& pv = v[j * 5 + i];
            const FixVec3 cam = AddV(AddV(rowBase, ScaleV(p.cellX, i)), ScaleV(p.heightUnit, 4 * h));
            pv.viewX = cam.x;
            pv.viewY = cam.y;
            pv.viewZ = cam.z;
            pv.worldX = Add(worldX, Mul(i, kCellSide));
            pv.worldZ = Add(worldZ, Mul(j, kCellSide));
            pv.worldHeight = (4 * h) << 16;
            FixScreenPoint sp;
            fix_ProjectToScreen(&cam, &sp);
            pv.screen.x = sp.x;
            pv.screen.y = sp.y;
            pv.screen.u = pv.screen.v = 0;
            pv.screen.colour = terrain_LantirnPass ? 0 : terrain_LightWord(h, s, w, cam.z, card);
        }
    }

    uint32_t t = d.reference[c.index];
    if (t >= d.tileCount) t = 0;  // the reference check keeps this from happening
    const uint8_t nib = d.reference[TERRAIN_PATCHES + c.index / 2];
    // Variants 8 to 15 show as the eight defined ones.
    const int32_t o = ((c.index & 1) ? nib >> 4 : nib & 0x0F) & 7;
    DepthTile* tile = &d.tiles[t];
    const uint8_t* attributes = d.tileAttributes + (size_t)t * DEPTH_TILE_ATTRIBUTES;
    const TerrainVariantTables& vt = terrain_Variants;
    PatchTriangle* tri = terrain_PatchTriangles[c.slot];
    for (int32_t r = 0; r < 4; r++) {
        for (int32_t col = 0; col < 4; col++) {
            const int32_t cell = r * 4 + col;
            PatchVertex* v00 = &v[r * 5 + col];
            PatchVertex* v01 = &v[r * 5 + col + 1];
            PatchVertex* v10 = &v[(r + 1) * 5 + col];
            PatchVertex* v11 = &v[(r + 1) * 5 + col + 1];
            const int32_t* uv00 = vt.corner[0][o][cell];
            const int32_t* uv01 = vt.corner[1][o][cell];
            const int32_t* uv10 = vt.corner[2][o][cell];
            const int32_t* uv11 = vt.corner[3][o][cell];
            PatchTriangle& A = tri[cell * 2];
            PatchTriangle& B = tri[cell * 2 + 1];
            A = PatchTriangle{0, 0, (uint8_t)c.slot, attributes[vt.attribute[o][cell][0]], tile,
                              {v00, v11, v10},
                              {{uv00[0], uv00[1]}, {uv11[0], uv11[1]}, {uv10[0], uv10[1]}}};
            B = PatchTriangle{0, 0, (uint8_t)c.slot, attributes[vt.attribute[o][cell][1]], tile,
                              {v00, v01, v11},
                              {{uv00[0], uv00[1]}, {uv01[0], uv01[1]}, {uv11[0], uv11[1]}}};
            for (PatchTriangle* pt : {&A, &B}) {
                if (terrain_TriangleClassify(pt) != 1) continue;
                int32_t key = std::max({pt->vertex[0]->viewZ, pt->vertex[1]->viewZ, pt->vertex[2]->viewZ});
                if (c.flaggedObject) key = Add(key, kFlaggedGround);
                if (!ItemAppend(pt, key)) continue;
                pt->queued = 1;
                CountdownRaise();
            }
        }
    }
}

int32_t terrain_TriangleClassify(const PatchTriangle* triangle) {
    const PatchVertex* p0 = triangle->vertex[0];
    const PatchVertex* p1 = triangle->vertex[1];
    const PatchVertex* p2 = triangle->vertex[2];
    const int32_t near = (p0->viewZ < kTriangleNear) + (p1->viewZ < kTriangleNear) + (p2->viewZ < kTriangleNear);
    if (near == 3) return 4;
    if (near > 0) {
        const FixVec3 a = {p0->viewX, p0->viewY, p0->viewZ};
        const FixVec3 b = {p1->viewX, p1->viewY, p1->viewZ};
        const FixVec3 c = {p2->viewX, p2->viewY, p2->viewZ};
        FixVec3 n;
        fix_TriangleNormal(&a, &b, &c, &n);
        const FixVec3 sum = AddV(AddV(a, b), c);
        return fix_Dot(&sum, &n) < 0 ? 2 : 1;
    }
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const int32_t x0 = p0->screen.x, x1 = p1->screen.x, x2 = p2->screen.x;
    const int32_t y0 = p0->screen.y, y1 = p1->screen.y, y2 = p2->screen.y;
    if ((x0 < s.clipX1F && x1 < s.clipX1F && x2 < s.clipX1F) || (x0 > s.clipX2F && x1 > s.clipX2F && x2 > s.clipX2F) ||
        (y0 < s.clipY1F && y1 < s.clipY1F && y2 < s.clipY1F) || (y0 > s.clipY2F && y1 > s.clipY2F && y2 > s.clipY2F))
        return 4;
    const int64_t dx1 = (int64_t)(x0 - x1) >> 4, dx2 = (int64_t)(x0 - x2) >> 4;
    const int64_t dy1 = (int64_t)(y0 - y1) >> 4, dy2 = (int64_t)(y0 - y2) >> 4;
    return dx1 * dy2 - dy1 * dx2 > 0 ? 2 : 1;
}

void terrain_ItemsDraw(void) {
    TerrainPass& p = terrain_Pass;
    app_PumpMessagesEx();
    pal_SelectPalref(terrain_Palref, 1);
    p.itemRemembered = p.itemCount;
    p.itemRead = 0;
    if (p.itemCount <= 0) return;
    p.batches++;
    const bool card = hw3d_Active && !terrain_LantirnPass;
    const int32_t n = std::min(p.itemCount, TERRAIN_BATCH);
    for (int32_t k = 0; k < n; k++) {
        void* record = p.items[p.itemRead].record;
        if (*static_cast<const uint8_t*>(record) == 0) {
            PatchTriangle* t = static_cast<PatchTriangle*>(record);
            pal_SelectPalref(terrain_Palref, 2);
            if (card) {
                if (hw3d_Descriptor.selectPalette) hw3d_Descriptor.selectPalette(1);
                if (hw3d_Descriptor.setValue) hw3d_Descriptor.setValue(0);
            }
            CountdownLower(t->slot);
            poly_SpanState.renderFlags = p.drawFlags;
            render_CurrentPolygon = t;
            poly_SpanState.texture = t->tile->pixels;
            poly_SpanState.textureShiftU = poly_SpanState.textureShiftV = depth_Level.tileShift;
            t->tile->dry = ((t->vertex[0]->screen.colour | t->vertex[1]->screen.colour | t->vertex[2]->screen.colour) & 1)
                               ? 0
                               : 1;
            if (card && hw3d_Descriptor.setColour) {
                const uint8_t* haze = level_ColourCurrent[LEVEL_HAZE];
                if (haze) hw3d_Descriptor.setColour(haze[0], haze[1], haze[2]);
            }
            const uint8_t* remembered = render_ShadeTables[0];
            if (terrain_LantirnPass) {
                poly_SpanState.shadeTable = avionLantirnTerrainGreenTable;
                poly_SpanState.blendTable = avionLantirnTerrainGreenTable;
                render_ShadeTables[0] = render_ShadeTables[1] = avionLantirnTerrainGreenTable;
            }
            render_TriangleDraw(-1);
            if (terrain_LantirnPass) {
                poly_SpanState.shadeTable = remembered;
                render_ShadeTables[0] = render_ShadeTables[1] = remembered;
            }
        } else {
            ObjectRecord* o = static_cast<ObjectRecord*>(record);
            pal_SelectPalref(level_Palref, 1);
            if (card) {
                if (hw3d_Descriptor.selectPalette) hw3d_Descriptor.selectPalette(2);
                if (hw3d_Descriptor.setValue) hw3d_Descriptor.setValue(-128);
            }
            CountdownLower(o->made);
            if (o->draw) {
                const uint8_t* remembered = render_ShadeTables[0];
                if (terrain_LantirnPass) {
                    poly_SpanState.shadeTable = avionLantirnObjectGreenTable;
                    render_ShadeTables[0] = render_ShadeTables[1] = avionLantirnObjectGreenTable;
                    poly_SpanState.blendTable = avionLantirnTerrainGreenTable;
                }
                o->draw(o);
                if (terrain_LantirnPass) {
                    poly_SpanState.shadeTable = remembered;
                    render_ShadeTables[0] = render_ShadeTables[1] = remembered;
                }
            }
        }
        vcursor_FrameUpdate();
        p.itemRead++;
        p.itemCount--;
    }
    p.itemCount = 0;
}
