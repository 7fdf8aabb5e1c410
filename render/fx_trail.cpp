// Vapour trails: ribbons of short flat segments behind the aircraft's two
// attachment points. Each segment holds a start and an end cross-piece,
// fades by a fixed step per frame and removes itself; the aircraft keeps
// the newest segment of each trail so that the next one joins it.
#include <cstdlib>

#include "base/fix.h"
#include "render/fx.h"
#include "render/object.h"
#include "render/tri.h"
#include "render/view.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "world/pak.h"

int32_t fx_TrailLife = 0x190000;
int32_t fx_TrailPoint = 0;
FixVec3 fx_TrailHalfWidth = {0, 0, 0};

namespace {

constexpr int32_t kTrailFade = 0xC000;
constexpr int32_t kTrailGone = 0x100000;
constexpr int32_t kTrailLifeMax = 0x1F0000;
constexpr int32_t kNearest = 0x1000;
constexpr int32_t kFarthest = 0xE000000;
// Palette index and colour of the ribbon.
constexpr int32_t kTrailColour = (0xF0F0F0 << 8) | 15;

void TurnZxy(FixVec3* v, const FixAngles& a) {
    FixSinCosBlock b;
    fix_SinCosAngles(a.heading, a.pitch, a.roll, &b);
    fix_TrigToDouble(&b);
    fix_RotateAboutZ(v, v);
    fix_RotateAboutX(v, v);
    fix_RotateAboutY(v, v);
}

FixWorldPos Offset(const FixWorldPos& p, const FixVec3& d, int32_t sign) {
    return FixWorldPos{p.x + (uint32_t)(d.x * sign), p.y + (uint32_t)(d.y * sign), p.z + (uint32_t)(d.z * sign)};
}

int32_t Diff(uint32_t a, uint32_t b) { return (int32_t)(a - b); }

// The attachment point in the world: the model's point, halved, turned by
// the aircraft and added to its position.
FixWorldPos AttachPoint(const ObjectRecord* aircraft, int32_t point) {
    FixVec3 p = {0, 0, 0};
    if (aircraft->model) {
        ord_StationPosition(point, &p);
        p = {p.x / 2, p.y / 2, p.z / 2};
    }
    TurnZxy(&p, aircraft->angles);
    return Offset(aircraft->position, p, 1);
}

}  // namespace

ObjectRecord* fx_TrailSegmentSpawn(ObjectRecord* aircraft, ObjectRecord* previous) {
    if (!aircraft) return nullptr;
    ObjectRecord* s = fx_EffectTake(0, &aircraft->position);
    if (!s) return nullptr;
    s->owner = aircraft;
    s->draw = fx_TrailDraw;
    s->think = fx_TrailThink;
    s->secondPass = nullptr;
    s->model = nullptr;
    EffectObjectFields* f = fx_Fields(s);
    f->life = fx_TrailLife < kTrailLifeMax ? fx_TrailLife : kTrailLifeMax;
    const FixWorldPos p = AttachPoint(aircraft, fx_TrailPoint);
    const FixVec3& w = fx_TrailHalfWidth;
    f->endA = Offset(p, w, -1);
    f->endB = Offset(p, w, 1);
    if (previous) {
        const EffectObjectFields* pf = fx_Fields(previous);
        f->startA = pf->endA;
        f->startB = pf->endB;
    } else {
        const FixWorldPos back = Offset(p, aircraft->motion, -1);
        f->startA = Offset(back, w, -1);
        f->startB = Offset(back, w, 1);
    }
    s->position = FixWorldPos{f->startB.x + (uint32_t)(Diff(f->endA.x, f->startB.x) / 2),
                              f->startB.y + (uint32_t)(Diff(f->endA.y, f->startB.y) / 2),
                              f->startB.z + (uint32_t)(Diff(f->endA.z, f->startB.z) / 2)};
    FixVec3 len = {Diff(f->endA.x, f->startA.x), Diff(f->endA.y, f->startA.y), Diff(f->endA.z, f->startA.z)};
    f->radius = fix_ApproxLength(&len) / 2;
    return s;
}

void fx_TrailPairStep(ObjectRecord* aircraft) {
    if (!aircraft || fx_TrailLife < kTrailGone) return;
    const _PLANE_TYPE* type = plane_Current && plane_Current->descriptor ? plane_Current->descriptor : &plane_TypeKrx;
    FixVec3 w = {type->trailHalfWidth, 0, 0};
    TurnZxy(&w, aircraft->angles);
    fx_TrailHalfWidth = w;
    PlanePlayerFields* links = plane_PlayerFields(aircraft);
    for (int32_t i = 1; i >= 0; i--) {
        fx_TrailPoint = type->trailPoints[i];
        links->trailSegment[i] = fx_TrailSegmentSpawn(aircraft, links->trailSegment[i]);
    }
}

void fx_TrailThink(ObjectRecord* object) {
    if (!object) return;
    EffectObjectFields* f = fx_Fields(object);
    const int32_t life = f->life - kTrailFade;
    if (life < kTrailGone) {
        if (object->owner) {
            PlanePlayerFields* links = plane_PlayerFields(object->owner);
            for (ObjectRecord*& link : links->trailSegment)
                if (link == object) link = nullptr;
        }
        obj_Free(object);
        return;
    }
    f->life = life;
}

void fx_TrailDraw(ObjectRecord* object) {
    if (!object) return;
    EffectObjectFields* f = fx_Fields(object);
    render_ObjectToViewSpaceC(object);
    const int64_t depth = (int64_t)f->radius + object->viewPosition.z;
    if (depth < kNearest || depth >= kFarthest) return;
    // The view-cone test reads the sphere from a mesh of the segment's
    // radius.
    PakGeometry sphere = {};
    sphere.words[4] = (uint32_t)f->radius;
    if (!render_ObjectVisible(object, &sphere)) return;
    const FixWorldPos* corners[4] = {&f->startA, &f->startB, &f->endA, &f->endB};
    RenderVertex v[4] = {};
    const uint32_t shade = (uint32_t)(f->life >> 16) << 16;
    for (int32_t i = 0; i < 4; i++) {
        ObjectRecord point = {};
        point.position = *corners[i];
        render_ObjectToViewSpaceC(&point);
        v[i].viewX = point.viewPosition.x;
        v[i].viewY = point.viewPosition.y;
        v[i].viewZ = point.viewPosition.z;
        FixScreenPoint s;
        fix_ProjectToScreen(&point.viewPosition, &s);
        v[i].screen.x = s.x;
        v[i].screen.y = s.y;
        v[i].screen.colour = shade;
    }
    render_Tri.renderFlags = 0;
    render_Tri.texture = nullptr;
    render_Tri.cardTexture = nullptr;
    // (end B, end A, start B) and (end A, start A, start B).
    render_ModelTriangleDraw(&v[3], &v[2], &v[1], kTrailColour);
    render_ModelTriangleDraw(&v[2], &v[0], &v[1], kTrailColour);
}
