// The HUD's target and weapon symbols: the target information lines, the
// radar-contact boxes, the target-direction arrow and the weapon symbology
// the sequencer chooses by the current weapon (gun sights, missile circles,
// ground-attack cross and bomb fall line).
#include "cockpit/hud_draw.h"

#include <cmath>

#include "base/math.h"
#include "base/text.h"
#include "cockpit/avion.h"
#include "debug/console.h"
#include "display/dsurf.h"
#include "display/pal.h"
#include "display/rast.h"
#include "display/stroke.h"
#include "net/client.h"
#include "render/view.h"
#include "sim/flight_jet.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "world/gamemode.h"

int32_t hud_TargetArrowOption = 0;
FixScreenPoint HudGunPipper;
FixScreenPoint HudFunnelPoints[6];
int32_t HudTargetOffscreen;
uint8_t HudSeekerState;

namespace {

constexpr int32_t kGunRange = 190 << 16;        // the sights' longest range
constexpr int32_t kGunRangeFull = 49807360;      // the range circle closes here
constexpr int32_t kFunnelSide = 0x14000;         // 1.25: the funnel's half-width
constexpr int32_t kSeekerDistance = 13434880;    // 1000 m ahead

int32_t Sat(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : (int32_t)v; }
int32_t UnitsX(int64_t u) { return Sat((u * HudScaleX) >> 9); }
int32_t UnitsY(int64_t u) { return Sat((u * HudScaleY) >> 9); }
FixScreenPoint Pixels(FixScreenPoint p) { return {p.x >> 7, p.y >> 7}; }
void Line(FixScreenPoint a, FixScreenPoint b) { hud_LineDraw(a, b, HudColour); }

bool Armed(void) { return plane_Current && (plane_Current->flags & PLANE_ARMED); }
bool AirToAir(void) { return weapon_CurrentId >= 0 && (weapon_Current.kind & WEAPON_AIR_TO_AIR); }
bool StoreHeld(void) { return con_UnlimitedStores || ord_CountById(weapon_CurrentId) >= 1; }

// A vector in the frame of the given attitude into the world.
FixVec3 ToWorld(const FixAngles& a, const FixVec3& v) {
    FixSinCosBlock b;
    fix_SinCosAngles((int32_t)(0u - (uint32_t)a.heading), (int32_t)(0u - (uint32_t)a.pitch),
                     (int32_t)(0u - (uint32_t)a.roll), &b);
    fix_TrigToDouble(&b);
    FixVec3 out;
    fix_RotateAllInverse(&out, &v);
    return out;
}

// A world vector from the aircraft into its own frame.
FixVec3 ToAircraft(const ObjectRecord* aircraft, const FixVec3& v) {
    FixSinCosBlock b;
    fix_SinCosAngles((int32_t)(0u - (uint32_t)aircraft->angles.heading), (int32_t)(0u - (uint32_t)aircraft->angles.pitch),
                     (int32_t)(0u - (uint32_t)aircraft->angles.roll), &b);
    fix_TrigToDouble(&b);
    FixVec3 out;
    fix_RotateAll(&out, &v);
    return out;
}

FixVec3 Between(const FixWorldPos& from, const FixWorldPos& to) {
    return {(int32_t)(to.x - from.x), (int32_t)(to.y - from.y), (int32_t)(to.z - from.z)};
}

// A world vector projected as a direction: 0 in front.
int32_t ProjectWorld(const FixVec3& world, FixScreenPoint* out) {
    FixVec3 camera;
    hud_CameraVector(&world, &camera);
    return hud_ProjectDirection(&camera, out);
}

// A world point seen from the eye; the depth is returned through depth.
int32_t ProjectPoint(const FixWorldPos& p, FixScreenPoint* out, int32_t* depth = nullptr) {
    FixVec3 camera;
    const FixVec3 d = Between(view_State.position, p);
    hud_CameraVector(&d, &camera);
    if (depth) *depth = camera.z;
    return hud_ProjectDirection(&camera, out);
}

// One gun sample: the point `range` ahead (and `side` across) of the
// attitude the aircraft will have turned to by the time the rounds get
// there, with the gun's elevation.
FixScreenPoint GunSample(const ObjectRecord* player, int32_t range, int32_t side) {
    const int64_t time = -(int64_t)range / 4;  // 16.16 frames, backwards
    FixAngles a = player->angles;
    a.heading = (int32_t)((uint32_t)a.heading + (uint32_t)((time * plane_AttitudeChange.heading) >> 16));
    a.pitch = (int32_t)((uint32_t)a.pitch + (uint32_t)((time * plane_AttitudeChange.pitch) >> 16) +
                        (uint32_t)plane_CurrentDescriptor.gunParameters[3]);
    a.roll = (int32_t)((uint32_t)a.roll + (uint32_t)((time * plane_AttitudeChange.roll) >> 16));
    FixScreenPoint p;
    ProjectWorld(ToWorld(a, {side, 0, range}), &p);
    return p;
}

void SeekerStateRefresh(void) {
    const uint8_t mode = weapon_LockState;
    if ((weapon_CurrentId != 1 && weapon_CurrentId != 2) || mode == 0) HudSeekerState = 0;
    else HudSeekerState = mode == 1 ? 1 : 2;
}

void Rotated(const HudShape* shape, FixScreenPoint at, int32_t angle, int32_t size) {
    hud_ShapeAngle = angle;
    hud_ShapeSize = size;
    hud_ShapeDrawRotated(shape, Pixels(at));
}

// The contact's box; false when it was left out.
bool ContactBox(ObjectRecord* player, ObjectRecord* contact, bool isTarget) {
    if (!obj_LineOfSight(player, &contact->position)) return false;
    FixScreenPoint p;
    int32_t depth = 0;
    ProjectPoint(contact->position, &p, &depth);
    if (depth <= 0x1000 || !hud_PointOnScreen(p)) return false;
    const int32_t hw = UnitsX(8), hh = UnitsY(8);
    const bool locked = isTarget && weapon_LockState >= 2 && weapon_LockState <= 4;
    if (weapon_CurrentId == 3) {
        hud_BoxDraw(p, hw, hh);
    } else if (contact->flags & OBJ_FLAG_ALLIANCE_B) {
        hud_BoxDraw(p, hw, hh);
        hud_CrossDraw(p, hw, hh);
    } else if (locked) {
        hud_DiamondDraw(p, hw, hh);
        hud_BoxDraw(p, hw, hh);
    } else {
        hud_BoxDraw(p, hw, hh);
    }
    return true;
}

void Text(const char* text, int32_t ux, int32_t uy) {
    font_DrawStrokeTextC(text, 2 * (HudCentre.x + UnitsX(ux)), 2 * (HudCentre.y + UnitsY(uy)), HudColour,
                         FONT_STROKE_RIGHT);
}

}  // namespace

// ---- Target information, contact boxes and the arrow ----

void hud_TargetInfo(void) {
    ObjectRecord* player = Client_PlayerObject;
    if (!player || !hud_InfoShown || (AirToAir() && !hud_InfoAirShown)) return;
    ObjectRecord* target = player->target;
    if (!target) return;
    char line[64];
    if (target->known) {
        obj_DisplayName(target, line, sizeof line);
        Text(line, 122, 82);
    } else {
        const char* unknown = hud_StringGet(402);
        Text(unknown ? unknown : "???", 122, 82);
        return;
    }
    const char* format = hud_StringGet(410);
    hud_InsertNumber(format ? format : "???", obj_DistanceHalf(player, target) / 190 >> 16, line, sizeof line);
    Text(line, 122, 89);
    // The closure rate reads the aircraft's motion through a copy: the
    // player object itself stays as the simulation left it.
    ObjectRecord own = *player;
    own.velocity = player->motion;
    format = hud_StringGet(412);
    hud_InsertNumber(format ? format : "???", avion_ClosureRate(&own, target), line, sizeof line);
    Text(line, 122, 96);
}

void hud_ContactBoxes(void) {
    HudTargetOffscreen = 0;
    ObjectRecord* player = Client_PlayerObject;
    if (!player || !hud_InfoShown) return;
    const bool air = AirToAir();
    const bool skipAll = !hud_InfoAirShown && air;
    ObjectRecord* target = player->target;
    const bool longList = weapon_CurrentId >= 0 && (weapon_Current.kind & WEAPON_TARGET_LIST);
    const int32_t count = longList ? weapon_TargetCount : obj_CandidateCount;
    const int32_t capacity = longList ? WEAPON_TARGET_LIST_SIZE : OBJ_CANDIDATES;
    const int32_t solid = hud_LineSolid;
    if (!skipAll && (level_GameMode.singlePlayer || air)) {
        hud_LineSolid = 0;
        for (int32_t i = 0; i < count && i < capacity; i++) {
            ObjectRecord* c = longList ? weapon_TargetList[i].object : obj_Candidates[i];
            if (c && c != target) ContactBox(player, c, false);
        }
    }
    hud_LineSolid = 1;
    if (!skipAll && target && !ContactBox(player, target, true)) HudTargetOffscreen = 1;
    hud_LineSolid = solid;
    if (weapon_LockState == 3 || weapon_LockState == 4) hud_ShootCue();
    SeekerStateRefresh();
}

void hud_TargetArrow(void) {
    ObjectRecord* player = Client_PlayerObject;
    if (!player || !player->target || !HudTargetOffscreen || !draw_CurrentSurface.base) return;
    FixVec3 camera;
    const FixVec3 d = Between(view_State.position, player->target->position);
    hud_CameraVector(&d, &camera);
    const uint32_t angle = (uint32_t)fix_Atan2(camera.x, -camera.y);
    // The tip 110 units out from the screen centre towards the target, the
    // base 8 units back and 6 wide; units of the frame's layout scale.
    const double turn = (double)(angle & FIX_ANGLE_MASK) / FIX_TURN * 6.283185307179586;
    const double scale = draw_CurrentSurface.widthScale / 65536.0 * 128.0;
    const double cx = draw_CurrentSurface.width * 64.0, cy = draw_CurrentSurface.height * 64.0;
    const double dx = -std::sin(turn), dy = -std::cos(turn);  // screen direction of the target
    auto at = [&](double along, double across) {
        return PolyVertex{(int32_t)std::lround(cx + (dx * along - dy * across) * scale),
                          (int32_t)std::lround(cy + (dy * along + dx * across) * scale), 0, 0, 0};
    };
    PolyVertex tip = at(110.0, 0.0), left = at(102.0, -3.0), right = at(102.0, 3.0);
    const uintptr_t colour = poly_PixelMode == 5 ? 0xFF0000u : (uintptr_t)pal_NearestIndex(255, 0, 0);
    // A plain flat fill; either winding: one of the two draws.
    const uint32_t flags = poly_SpanState.renderFlags;
    poly_DrawPolygonTex(&tip, &left, &right, draw_CurrentSurface.base, colour, 0);
    poly_DrawPolygonTex(&tip, &right, &left, draw_CurrentSurface.base, colour, 0);
    poly_SpanState.renderFlags = flags;
}

// ---- Weapon symbology ----

void hud_SymbolSequencer(void) {
    const bool armed = Armed();
    const int32_t w = weapon_CurrentId;
    if (armed) {
        HudApproachRunway = nullptr;
        HudWrongEndCue = 0;
        if ((w == 2 || w == 17) && StoreHeld()) hud_AamLongRange();
        else if (w == 1 && StoreHeld()) hud_AamShortRange();
        else if (w == 0) {
            const JetState* s = plane_Current ? &jet_Record(plane_Current)->state : nullptr;
            const int32_t mode = s ? s->gunSightMode : 0;
            if (mode == 0) hud_GunFunnel();
            else if (mode == 1) hud_GunLeadSight();
        } else if (w == 15 || w == 16) {
            hud_GroundAttackCross();
        } else if (w == 30 || w == 31 || w == 32) {
            hud_GroundAttackCross();
            hud_BombFallLine();
        } else if (w == 18) {
            if (StoreHeld()) hud_RangeScale();
        } else if (w == 3 || w == 29 || w == 33 || w == 34 || w == 35) {
            hud_BombFallLine();
        }
    } else if (hud_ApproachTest()) {
        hud_ApproachSymbols();
    }
    if (HudWrongEndCue && avion_WarningLights == 0 && plane_Current &&
        jet_Record(plane_Current)->state.knots <= 790.0f)
        hud_CentreText(423);
}

void hud_AamLongRange(void) {
    hud_CircleDraw(HudCentre, UnitsX(55), 512);
    hud_RangeScale();
    FixScreenPoint at = HudCentre;
    const ObjectRecord* player = Client_PlayerObject;
    if (player && player->target) {
        const FixVec3 v = ToAircraft(player, Between(player->position, player->target->position));
        const MathVec3 f = {(float)v.x, (float)v.y, (float)v.z};
        float heading = 0.0f, pitch = 0.0f;
        math_VectorHeadingPitch(&f, &heading, &pitch);
        auto units = [](float degrees) {
            const float u = degrees / 5.0f * 60.0f;
            return (int32_t)(u < -60.0f ? -60.0f : u > 60.0f ? 60.0f : u);
        };
        at.x += UnitsX(units(heading - weapon_SeekerHead[0]));
        at.y -= UnitsY(units(pitch - weapon_SeekerHead[1]));
    }
    hud_CircleDraw(at, UnitsX(2), 512);
}

void hud_AamShortRange(void) {
    const ObjectRecord* player = Client_PlayerObject;
    if (!player) return;
    // The seeker's line of sight, 1000 m out along the head's direction.
    const double h = weapon_SeekerHead[0] * 0.017453292519943295, e = weapon_SeekerHead[1] * 0.017453292519943295;
    const FixVec3 look = {(int32_t)(kSeekerDistance * std::sin(h) * std::cos(e)),
                          (int32_t)(kSeekerDistance * std::sin(e)),
                          (int32_t)(kSeekerDistance * std::cos(h) * std::cos(e))};
    FixScreenPoint c;
    ProjectWorld(ToWorld(player->angles, look), &c);
    hud_CircleDraw(c, UnitsX(20), 512);
    const int32_t m = weapon_Current.secondRange / 380, range = weapon_Current.seekerRange / 380;
    int32_t arc = m > 0 ? (int32_t)(256LL * range / m) : 0;
    arc = arc < 0 ? 0 : arc > 512 ? 512 : arc;
    hud_CircleDraw(c, UnitsX(16), arc);
    hud_ShapeDraw(HudShapeAamRangeTick, Pixels(c), 0, HudColour);
    Rotated(HudShapeAamRangeTick, c, (int32_t)(0u - ((uint32_t)arc << 16)), HudScaleX);
    hud_ShapeDraw(HudShapeAamTicks, Pixels(c), 0, HudColour);
    if (player->target && m > 0) {
        const int64_t r = obj_DistanceHalf(player, player->target) / 190;
        if (r <= (20 << 16)) {
            const int64_t turn = r * 0x1000000 / ((int64_t)m << 16);
            Rotated(HudShapeAamRangeCaret, c, (int32_t)(0u - (uint32_t)turn), HudScaleX);
        }
    }
    hud_RangeScale();
}

void hud_GunLeadSight(void) {
    SeekerStateRefresh();
    const ObjectRecord* player = Client_PlayerObject;
    if (!player) return;
    int32_t range = kGunRange;
    if (player->target) {
        const int32_t d = obj_Distance(player, player->target);
        if ((uint32_t)d < (uint32_t)kGunRange) range = d;
    }
    const FixScreenPoint p = GunSample(player, range, 0);
    HudGunPipper.x = Sat(HudGunPipper.x + ((int64_t)p.x - HudGunPipper.x) / 4);
    HudGunPipper.y = Sat(HudGunPipper.y + ((int64_t)p.y - HudGunPipper.y) / 4);
    const FixScreenPoint g = HudGunPipper;
    Line(g, g);
    hud_CircleDraw(g, UnitsX(6), 512);
    const int32_t r6x = UnitsX(6), r7x = UnitsX(7), r6y = UnitsY(6), r7y = UnitsY(7);
    Line({g.x - r6x, g.y}, {g.x - r7x, g.y});
    Line({g.x, g.y - r6y}, {g.x, g.y - r7y});
    Line({g.x + r6x, g.y}, {g.x + r7x + 64, g.y});
    Line({g.x, g.y + r6y}, {g.x, g.y + r7y + 64});
}

void hud_GunFunnel(void) {
    hud_ClipWindowSet(0);
    const ObjectRecord* player = Client_PlayerObject;
    if (!player) return;
    const ObjectRecord* target = player->target;
    const bool known = target && target->known;
    int64_t range = 0;
    if (known) {
        range = 2LL * obj_DistanceHalf(player, target);
        const FixScreenPoint c = {HudCentre.x + UnitsX(70), HudCentre.y - UnitsY(30)};
        const int32_t steps = range >= kGunRangeFull ? 512 : (int32_t)(512 * range / kGunRangeFull);
        hud_CircleDraw(c, UnitsX(10), steps);
        hud_ShapeDraw(HudShapeGunRangeTick, Pixels(c), 0, HudColour);
    }
    static const int32_t kRanges[6] = {23 << 16, 78 << 16, 0x698000, 133 << 16, 0xA08000, 188 << 16};
    FixScreenPoint left[6], right[6];
    for (int32_t i = 0; i < 6; i++) {
        HudFunnelPoints[i] = GunSample(player, kRanges[i], 0);
        left[i] = GunSample(player, kRanges[i], -kFunnelSide);
        right[i] = GunSample(player, kRanges[i], kFunnelSide);
    }
    for (int32_t i = 0; i + 1 < 6; i++) {
        Line(left[i], left[i + 1]);
        Line(right[i], right[i + 1]);
    }
    FixScreenPoint pipper = {0, 0};
    if (known && range <= kGunRange) pipper = GunSample(player, (int32_t)range, 0);
    if (pipper.x || pipper.y) hud_ShapeDraw(HudShapeGunPipper, Pixels(pipper), 0, HudColour);
}

void hud_GroundAttackCross(void) {
    FixWorldPos ground;
    if (plane_SightGroundPoint(&ground) == 0) {
        FixScreenPoint p;
        if (ProjectPoint(ground, &p) == 0) hud_ShapeDraw(HudShapeCcipCross, Pixels(p), 0, HudColour);
    }
    if (weapon_Current.kind & WEAPON_MISSILE) hud_RangeScale();
}

void hud_BombFallLine(void) {
    if (!weapon_Impact.valid) return;
    FixScreenPoint p;
    if (ProjectPoint(weapon_Impact.point, &p) != 0) return;
    static const HudShape kDiamond[] = {{0, -2, 0, 0}, {1, 0, -3, 0}, {1, 2, 0, 0}, {1, 0, 3, 0},
                                        {1, -2, 0, 0}, {2, 0, 0, 0}};
    hud_ShapeDraw(kDiamond, Pixels(p), 5, HudColour);
    Line(p, HudVelocityMarker);
    hud_CircleDraw(p, 128, 512);
}
