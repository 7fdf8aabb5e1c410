// The HUD's flight-path group: the velocity-vector marker with its bank
// scale and clamp cross, the pitch ladder laid out from the marker, the
// steering cue and the approach (landing) symbols.
#include "cockpit/hud_draw.h"

#include <cmath>

#include "base/text.h"
#include "cockpit/avion.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/stroke.h"
#include "net/client.h"
#include "render/view.h"
#include "shell/runner.h"
#include "sim/flight_jet.h"
#include "sim/obj.h"
#include "sim/plane.h"

FixScreenPoint HudVelocityMarker;
int32_t HudVelocityClamped;
ObjectRecord* HudApproachRunway;
int32_t HudWrongEndCue;
uint8_t hud_InfoShown = 1;
uint8_t hud_InfoAirShown = 1;

namespace {

constexpr int32_t kTenDegrees = 0xE38E3;
constexpr int32_t kSize = 0x3555;  // size factor of the marker's shapes

int32_t Sat(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : (int32_t)v; }
int64_t Abs(int64_t v) { return v < 0 ? -v : v; }
// A 25-bit angle as a signed one, -half a turn .. half a turn.
int32_t Signed(int32_t angle) { return (int32_t)((uint32_t)angle << 7) >> 7; }

// HUD units to 1/128 pixel.
int32_t UnitsX(int64_t u) { return Sat((u * HudScaleX) >> 9); }
int32_t UnitsY(int64_t u) { return Sat((u * HudScaleY) >> 9); }
FixScreenPoint Pixels(FixScreenPoint p) { return {p.x >> 7, p.y >> 7}; }

void Line(FixScreenPoint a, FixScreenPoint b) { hud_LineDraw(a, b, HudColour); }

void Rotated(const HudShape* shape, FixScreenPoint at, int32_t angle, int32_t size) {
    hud_ShapeAngle = angle;
    hud_ShapeSize = size;
    hud_ShapeDrawRotated(shape, Pixels(at));
}

const JetState* Jet(void) { return plane_Current ? &jet_Record(plane_Current)->state : nullptr; }

// The runway's forward direction on the ground, `length` world units long.
FixVec3 HeadingVector(int32_t heading, int32_t length) {
    FixSinCosBlock b;
    fix_SinCosAngles((int32_t)(0u - (uint32_t)heading), 0, 0, &b);
    fix_TrigToDouble(&b);
    const FixVec3 ahead = {0, 0, length};
    FixVec3 out;
    fix_RotateAllInverse(&out, &ahead);
    return out;
}

FixWorldPos Offset(const FixWorldPos& p, const FixVec3& d) {
    return {p.x + (uint32_t)d.x, p.y + (uint32_t)d.y, p.z + (uint32_t)d.z};
}

}  // namespace

// ---- Shared helpers ----

void hud_CameraVector(const FixVec3* world, FixVec3* camera) {
    FixVec3 v = *world;
    fix_TrigToDouble(&view_State.viewMatrix);
    fix_RotateAboutY(&v, &v);
    fix_RotateAboutX(&v, &v);
    fix_RotateAboutZ(&v, &v);
    *camera = v;
}

int32_t hud_ProjectDirection(const FixVec3* camera, FixScreenPoint* out) {
    // Only the direction counts: it is lengthened so that the near plane
    // does not bend a short vector, then projected.
    int64_t x = camera->x, y = camera->y, z = camera->z;
    int64_t m = Abs(x) > Abs(y) ? Abs(x) : Abs(y);
    if (Abs(z) > m) m = Abs(z);
    if (m == 0) {
        *out = {draw_CurrentSurface.centreXF, draw_CurrentSurface.centreYF};
        return -1;
    }
    while (m < (1 << 27)) {
        x *= 2;
        y *= 2;
        z *= 2;
        m *= 2;
    }
    while (m >= (1 << 28)) {
        x /= 2;
        y /= 2;
        z /= 2;
        m /= 2;
    }
    const FixVec3 v = {(int32_t)x, (int32_t)y, z > 0 ? (int32_t)z : 1};
    fix_ProjectToScreen(&v, out);
    return z > 0 ? 0 : -1;
}

void hud_CircleDraw(FixScreenPoint c, int32_t radius, int32_t steps) {
    if (steps <= 0) return;
    if (steps > 512) steps = 512;
    const int64_t r = radius;
    auto at = [&](int32_t step) {
        const int32_t angle = step << 16;
        return FixScreenPoint{Sat(c.x + ((r * fix_Sin(angle)) >> 16)),
                              Sat(c.y - ((r * fix_Sin(angle + (int32_t)FIX_QUARTER)) >> 16))};
    };
    FixScreenPoint from = at(0);
    for (int32_t s = 16;; s += 16) {
        const int32_t step = s < steps ? s : steps;
        const FixScreenPoint to = at(step);
        Line(from, to);
        from = to;
        if (step == steps) break;
    }
}

// ---- Velocity vector, bank scale and pitch ladder ----

void hud_VelocityMarkerDraw(void) {
    const FixScreenPoint m = HudVelocityMarker;
    const int32_t r = UnitsX(2);
    hud_CircleDraw(m, r, 512);
    const int32_t rise = UnitsY(2);
    Line({m.x, m.y - rise}, {m.x, m.y - rise - 0x400});
    Line({m.x - r, m.y}, {m.x - r - 0x400, m.y});
    Line({m.x + r, m.y}, {m.x + r + 0x400, m.y});
}

void hud_VelocityGroup(void) {
    const ObjectRecord* player = Client_PlayerObject;
    if (!player) return;
    FixVec3 camera;
    hud_CameraVector(&player->motion, &camera);
    FixScreenPoint p;
    hud_ProjectDirection(&camera, &p);
    HudVelocityClamped = 0;
    if (p.x < HudFieldLeft) p.x = HudFieldLeft, HudVelocityClamped = 1;
    if (p.x > HudFieldRight) p.x = HudFieldRight, HudVelocityClamped = 1;
    if (p.y < HudFieldTop) p.y = HudFieldTop, HudVelocityClamped = 1;
    if (p.y > HudFieldBottom) p.y = HudFieldBottom, HudVelocityClamped = 1;
    HudVelocityMarker = p;

    hud_VelocityMarkerDraw();
    Rotated(HudShapeBankScale, p, (int32_t)(0u - (uint32_t)player->angles.roll), kSize);
    if (HudVelocityClamped) Rotated(HudShapeClampCross, p, 0, kSize);
    hud_PitchLadder();
}

void hud_LadderRung(int32_t angle, FixScreenPoint left, FixScreenPoint right) {
    // Folded to -90..90 degrees: past the vertical the values run back.
    int32_t a = Signed(angle);
    if (a > (int32_t)FIX_QUARTER) a = 0x1000000 - a;
    else if (a < -(int32_t)FIX_QUARTER) a = -0x1000000 - a;
    const bool horizon = Abs(a) <= 0x10000;

    // u along the rung, v across it (down at zero roll), one HUD unit long.
    const double dx = (double)right.x - left.x, dy = (double)right.y - left.y;
    double len = std::sqrt(dx * dx + dy * dy);
    if (len < 1.0) len = 1.0;
    const double ux = dx / len * (HudScaleX / 512.0), uy = dy / len * (HudScaleY / 512.0);
    const double vx = -uy, vy = ux;
    auto along = [](FixScreenPoint p, double x, double y, double n) {
        return FixScreenPoint{Sat((int64_t)(p.x + x * n)), Sat((int64_t)(p.y + y * n))};
    };

    if (!horizon) {
        const int32_t degrees = (int32_t)((Abs(a) * 360 + 0x1000000) >> 25);
        char label[8];
        text_Format("%d", label, sizeof label, degrees);
        const FixScreenPoint tl = along(left, ux, uy, -8), tr = along(right, ux, uy, 8);
        font_DrawStrokeTextC(label, 2 * tl.x, 2 * (tl.y - 128), HudColour, 0);
        font_DrawStrokeTextC(label, 2 * tr.x, 2 * (tr.y - 128), HudColour, 0);
    }
    if (horizon) {
        Line(along(left, ux, uy, -24), along(left, ux, uy, 24));
        Line(along(right, ux, uy, -24), along(right, ux, uy, 24));
        return;
    }
    const bool above = a > 0;
    const int32_t solid = hud_LineSolid;
    hud_LineSolid = above ? 1 : 0;
    Line(left, along(left, ux, uy, 24));
    Line(right, along(right, ux, uy, -24));
    hud_LineSolid = 1;
    const double tick = above ? 3 : -3;
    Line(left, along(left, vx, vy, tick));
    Line(right, along(right, vx, vy, tick));
    hud_LineSolid = solid;
}

void hud_PitchLadder(void) {
    const ObjectRecord* player = Client_PlayerObject;
    if (!player) return;
    hud_ClipWindowSet(1);
    const int32_t pitch = Signed(player->angles.pitch);
    const int32_t roll = player->angles.roll;
    font_SetStrokeRotation(0, HudTextSize[0], HudTextSize[1], (int32_t)(0u - (uint32_t)roll));

    int64_t steps = pitch / kTenDegrees;
    if (pitch < 0 && pitch % kTenDegrees) steps--;
    const int32_t base = (int32_t)(steps * kTenDegrees);
    const int32_t offset = pitch - base;

    // A rung's two ends and its centre, projected relative to the HUD centre.
    auto project = [&](int32_t rungs, FixScreenPoint* l, FixScreenPoint* r) {
        FixSinCosBlock b;
        fix_SinCosAngles(0, rungs * kTenDegrees - offset, (int32_t)(0u - (uint32_t)roll), &b);
        FixVec3 ends[2] = {{-5 * 65536, 0, 42 * 65536}, {5 * 65536, 0, 42 * 65536}};
        FixScreenPoint out[2];
        for (int32_t i = 0; i < 2; i++) {
            fix_TrigToDouble(&b);
            fix_RotateAboutX(&ends[i], &ends[i]);
            fix_RotateAboutZ(&ends[i], &ends[i]);
            hud_ProjectDirection(&ends[i], &out[i]);
        }
        *l = out[0];
        *r = out[1];
    };
    FixScreenPoint l0, r0, l1, r1;
    project(0, &l0, &r0);
    project(1, &l1, &r1);
    const int32_t cx = draw_CurrentSurface.centreXF, cy = draw_CurrentSurface.centreYF;
    const FixScreenPoint shift = {HudVelocityMarker.x - cx, HudVelocityMarker.y - cy};
    const FixScreenPoint step = {l1.x - l0.x, l1.y - l0.y};
    const FixScreenPoint left = {l0.x + shift.x, l0.y + shift.y}, right = {r0.x + shift.x, r0.y + shift.y};
    for (int32_t k = -2; k <= 3; k++) {
        const FixScreenPoint l = {Sat(left.x + (int64_t)k * step.x), Sat(left.y + (int64_t)k * step.y)};
        const FixScreenPoint r = {Sat(right.x + (int64_t)k * step.x), Sat(right.y + (int64_t)k * step.y)};
        hud_LadderRung((int32_t)((uint32_t)base + (uint32_t)(k * kTenDegrees)), l, r);
    }
    font_SetStrokeRotation(0, HudTextSize[0], HudTextSize[1], 0);
    hud_ClipWindowSet(0);
}

// ---- Steering cue ----

void hud_SteeringCue(void) {
    ObjectRecord* player = Client_PlayerObject;
    FixWorldPos point;
    if (hud_SteerpointGet(player, &point) != 0) return;
    const int32_t relative = Signed((int32_t)((uint32_t)obj_Bearing(&player->position, &point) -
                                              (uint32_t)player->angles.heading));
    FixVec3 offset = {0, 0, 0};
    if (!(plane_Current && (plane_Current->flags & PLANE_ON_GROUND))) {
        int32_t value = relative >> 16;
        value = value < -128 ? -128 : value > 128 ? 128 : value;
        offset.x = (int32_t)(((int64_t)value * HudScaleX) >> 11);
        FixSinCosBlock b;
        fix_SinCosAngles(0, 0, player->angles.roll, &b);
        fix_TrigToDouble(&b);
        fix_RotateAboutZ(&offset, &offset);
    }
    const FixScreenPoint at = {Sat((int64_t)HudVelocityMarker.x + offset.x),
                               Sat((int64_t)HudVelocityMarker.y + offset.y)};
    hud_CircleDraw(at, UnitsX(1), 512);
    Rotated(HudShapeSteerTail, at, (int32_t)(0u - (uint32_t)relative), kSize);
}

// ---- Approach symbols ----

int32_t hud_ApproachTest(void) {
    HudApproachRunway = nullptr;
    HudWrongEndCue = 0;
    const ObjectRecord* player = Client_PlayerObject;
    if (!player || (player->stateFlags & OBJ_STATE_WAITING)) return 0;
    if (plane_Current && (plane_Current->flags & PLANE_ARMED)) return 0;
    for (const ObjCategoryList& list : obj_CategoryLists) {
        if (list.bit != OBJ_CATEGORY_LANDING) continue;
        for (int32_t i = 0; i < list.count && i < list.capacity; i++) {
            ObjectRecord* runway = list.items[i];
            if (!runway || !(runway->flags & OBJ_FLAG_ALLIANCE_B)) continue;
            if ((uint32_t)obj_Distance(player, runway) > 149422080u) continue;
            if (Abs((int64_t)(int32_t)(runway->position.y - player->position.y)) > 20447232) continue;
            const int64_t d = Abs(Signed((int32_t)((uint32_t)runway->angles.heading -
                                                   (uint32_t)player->angles.heading)));
            if (d >= 0xC00000 && !hud_InfoShown) HudWrongEndCue = 1;
            if (d <= 0x400000) {
                HudApproachRunway = runway;
                return 1;
            }
        }
    }
    return 0;
}

void hud_ApproachSymbols(void) {
    ObjectRecord* player = Client_PlayerObject;
    const ObjectRecord* runway = HudApproachRunway;
    if (!player || !runway) return;
    HudApproachShown = 1;
    // The reference point lies behind the runway's threshold, at its height.
    const FixVec3 back = HeadingVector(runway->angles.heading, -0x780000);
    ObjectRecord reference{};
    reference.position = Offset(runway->position, {back.x, 0, back.z});

    // Course bar: a square law of the bearing off the runway's line, more
    // sensitive close in.
    const int64_t distance = obj_DistanceExactHalf(player, &reference) >> 15;
    const int64_t d = Signed((int32_t)((uint32_t)obj_BearingHalfScale(&player->position, &reference.position) -
                                       (uint32_t)runway->angles.heading));
    if (Abs(d) >= 0x800000) return;
    int64_t v = 6 * d * Abs(d) / 65536;
    if (distance < 49807360) v = v * distance / 49807360;
    int64_t units = v / 65536;
    units = units < -90 ? -90 : units > 90 ? 90 : units;
    const FixScreenPoint m = HudVelocityMarker;
    hud_ShapeDraw(HudShapeCourseBar, Pixels({Sat(m.x + UnitsX(units)), m.y}), 0, HudColour);

    // Glide-path bar: the glide point rises at 2.8125 degrees from the
    // reference point, as far out as the aircraft is.
    const int64_t range = (uint32_t)obj_PosDistance(&reference.position, &player->position);
    const int64_t ground = (range * fix_Sin((int32_t)FIX_QUARTER + 0x40000)) >> 16;
    const int64_t rise = (range * fix_Sin(0x40000)) >> 16;
    const FixVec3 out = HeadingVector(runway->angles.heading, -(int32_t)(ground > INT32_MAX ? INT32_MAX : ground));
    const FixWorldPos glide = Offset(reference.position, {out.x, Sat(rise), out.z});
    const FixWorldPos eye = Offset(player->position, {Sat(80LL * player->motion.x), Sat(80LL * player->motion.y),
                                                      Sat(80LL * player->motion.z)});
    FixVec3 toGlide = {(int32_t)(glide.x - eye.x), (int32_t)(glide.y - eye.y), (int32_t)(glide.z - eye.z)};
    hud_CameraVector(&toGlide, &toGlide);
    FixScreenPoint g;
    hud_ProjectDirection(&toGlide, &g);
    int64_t dy = ((int64_t)g.y - m.y) >> 7;
    dy = dy < -90 ? -90 : dy > 90 ? 90 : dy;
    hud_ShapeDraw(HudShapeGlidePathBar, {m.x >> 7, (int32_t)((m.y >> 7) + dy)}, 0, HudColour);

    // Angle-of-attack bracket: level with the marker at 11 degrees, 3.75
    // pixels a degree, held between 3 and 19 degrees.
    const JetState* s = Jet();
    float aoa = s ? s->relPitch : 11.0f;
    aoa = aoa < 3.0f ? 3.0f : aoa > 19.0f ? 19.0f : aoa;
    const int64_t fraction = (int64_t)((11.0f - aoa) * 65536.0f) * 30 / 8;
    const int32_t off = (int32_t)(fraction >> 9);
    hud_ShapeDraw(HudShapeScaleBar, Pixels({m.x - UnitsX(10), m.y + off}), 0, HudColour);
}
