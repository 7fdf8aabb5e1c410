// The threat warning instrument: every threat around the aircraft becomes a
// marker at one of eight fixed places (four for missiles) chosen by the
// direction it lies in; and the failure bar that rolls down a failed
// display.
#include "cockpit/mfd_threat.h"

#include "cockpit/mfd.h"
#include "cockpit/mfd_sitpage.h"
#include "cockpit/vcp.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "net/client.h"
#include "shell/startup.h"
#include "sim/obj.h"
#include "sim/plane.h"

int32_t mfd_FailureBarRow = 0;

namespace {

// Level colour slots.
constexpr uint8_t kGreen = 4;
constexpr uint8_t kDarkGreen = 8;

constexpr uint32_t kTurn = 0x2000000u;
constexpr uint32_t kAngleMask = kTurn - 1;
constexpr uint32_t kAimBearing = 0x2B0000u;
constexpr uint32_t kAimElevation = 0x150000u;

// Picture class and state bits the walk and the markers test.
constexpr uint8_t kClassAircraft = 0x01, kClassGround = 0x02, kClassSite = 0x04, kClassMissile = 0x08;
constexpr uint8_t kStateHostile = 0x04, kStateTargeting = 0x10, kStateMissileThreat = 0x40;

constexpr DrawShapeCommand M(int16_t x, int16_t y) { return {0, x, y, 0}; }
constexpr DrawShapeCommand L(int16_t x, int16_t y) { return {1, x, y, 0}; }
constexpr DrawShapeCommand E = {2, 0, 0, 0};

const DrawShapeCommand kGroundMarker[] = {M(10, 10), L(10, -10), L(-10, -10), L(-10, 10), L(10, 10), E};
const DrawShapeCommand kSiteMarker[] = {M(-15, -5), L(5, -5), M(-15, -15), L(-5, -5), L(5, -15), E};
const DrawShapeCommand kAimedMarker[] = {M(5, 5), L(15, 15), L(5, -5), L(-5, 15), L(5, 5), E};
const DrawShapeCommand kTargetingMarker[] = {M(5, 15), L(15, 5), L(5, -5), L(-5, 5), L(5, 15), E};
const DrawShapeCommand kMissileMarker[] = {M(-10, -10), L(0, 10), L(10, -10), E};

// A site counts while its site logic runs (it has strength left).
bool SiteActive(const ObjectRecord* o) { return o->hitPoints > 0; }

// Two angles within the limit of each other, around the circle.
bool Within(uint32_t a, uint32_t b, uint32_t limit) {
    const uint32_t d = (a - b) & kAngleMask;
    return d <= limit || d >= kTurn - limit;
}

// Projects the object; false when its point lies outside the clip window.
bool Project(const ObjectRecord* object, const ObjectRecord* own, int32_t* px, int32_t* py) {
    mfd_ObjectToDisplay(object, own);
    *px = mfd_PointX;
    *py = mfd_PointY;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    return *px >= s.clipX1 && *px < s.clipX2 && *py >= s.clipY1 && *py < s.clipY2;
}

// The marker at the octant (or quadrant) position of the object's point.
void Mark(const DrawShapeCommand* shape, const ObjectRecord* object, const ObjectRecord* own, bool quadrant) {
    int32_t px, py, x, y;
    if (!Project(object, own, &px, &py)) return;
    if (quadrant)
        avion_ThreatQuadrant(px, py, &x, &y);
    else
        avion_ThreatOctant(px, py, &x, &y);
    mfd_DrawShape(shape, x, y, kGreen);
}

void Visit(ObjectRecord* o, void* context) {
    const ObjectRecord* own = static_cast<const ObjectRecord*>(context);
    if (o == own || (own && o == own->target)) return;
    const uint8_t c = mfd_ObjectClass(o);
    if (!(c & mfd_ClassMask) || !(mfd_ObjectState(o) & mfd_StateMask)) return;
    if ((c & kClassSite) && SiteActive(o)) {
        avion_ThreatMarkSite(o, own);
        return;
    }
    if (c & kClassAircraft) avion_ThreatMarkAircraft(o, own);
    if (c & kClassGround)
        avion_ThreatMarkGround(o, own);
    else if (c & kClassMissile)
        avion_ThreatMarkMissile(o, own);
}

}  // namespace

bool avion_DisplayFailed(void) { return plane_SystemsDamage[AVION_DISPLAY_SYSTEM] != 0; }

void avion_ThreatOctant(int32_t px, int32_t py, int32_t* x, int32_t* y) {
    const int32_t dx = px - 64, dy = py - 64;
    const int32_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    bool first;
    int32_t a[2], b[2];
    if (py < 64) {
        if (px < 64) {
            first = dx < dy;
            a[0] = 29, a[1] = 47, b[0] = 49, b[1] = 26;
        } else {
            first = dx < ay;
            a[0] = 80, a[1] = 26, b[0] = 100, b[1] = 47;
        }
    } else if (px < 64) {
        first = ax < dy;
        a[0] = 50, a[1] = 100, b[0] = 29, b[1] = 79;
    } else {
        first = dx < dy;
        a[0] = 82, a[1] = 100, b[0] = 103, b[1] = 79;
    }
    *x = first ? a[0] : b[0];
    *y = first ? a[1] : b[1];
}

void avion_ThreatQuadrant(int32_t px, int32_t py, int32_t* x, int32_t* y) {
    *x = px < 64 ? 51 : 78;
    *y = py < 64 ? 49 : 75;
}

bool avion_ThreatAimedAtPlayer(const ObjectRecord* object, const ObjectRecord* own) {
    if (!object || !own) return false;
    const uint32_t bearing = (uint32_t)obj_Bearing(&object->position, &own->position) & kAngleMask;
    if (!Within(bearing, (uint32_t)object->angles.heading & kAngleMask, kAimBearing)) return false;
    uint32_t elevation = (uint32_t)obj_Elevation(&object->position, &own->position) & kAngleMask;
    // Between a quarter and three quarters of a turn the elevation is folded
    // back by half a turn.
    if (elevation > kTurn / 4 && elevation < kTurn / 4 * 3) elevation = (elevation - kTurn / 2) & kAngleMask;
    return Within(elevation, (uint32_t)object->angles.pitch & kAngleMask, kAimElevation);
}

void avion_ThreatMarkGround(const ObjectRecord* object, const ObjectRecord* own) {
    if (!object || !(mfd_ObjectState(object) & kStateHostile)) return;
    Mark(kGroundMarker, object, own, false);
}

void avion_ThreatMarkSite(const ObjectRecord* object, const ObjectRecord* own) {
    if (!object || !(mfd_ObjectState(object) & kStateHostile)) return;
    Mark(kSiteMarker, object, own, false);
}

void avion_ThreatMarkAircraft(const ObjectRecord* object, const ObjectRecord* own) {
    if (!object) return;
    const uint8_t state = mfd_ObjectState(object);
    if (!(state & kStateHostile)) return;
    if (state & kStateTargeting)
        Mark(kTargetingMarker, object, own, false);
    else if (avion_ThreatAimedAtPlayer(object, own))
        Mark(kAimedMarker, object, own, false);
}

void avion_ThreatMarkMissile(const ObjectRecord* object, const ObjectRecord* own) {
    if (!object || !(mfd_ObjectState(object) & (kStateHostile | kStateMissileThreat))) return;
    if (avion_ThreatAimedAtPlayer(object, own)) Mark(kMissileMarker, object, own, true);
}

void avion_ThreatMarkSiteList(const ObjectRecord* own) {
    for (const ObjCategoryList& l : obj_CategoryLists) {
        if (l.bit != OBJ_CATEGORY_01) continue;
        const int32_t n = l.count < l.capacity ? l.count : l.capacity;
        for (int32_t i = 0; i < n && i < 256; i++) {
            const ObjectRecord* o = l.items[i];
            // The selected target never gets a marker.
            if (!o || o == own || (own && o == own->target)) continue;
            if (o->category & OBJ_CATEGORY_AI_PROGRAM) avion_ThreatMarkSite(o, own);
        }
    }
}

void avion_ThreatDisplayObjects(void) {
    ObjectRecord* own = Client_PlayerObject;
    obj_ClientChainWalk(Visit, own);
    avion_ThreatMarkSiteList(own);
}

void avion_ThreatDisplayDraw(void) {
    // The model renderer's mode word, as the HUD leaves it.
    app_ModeWord = 4;
    if (avion_DisplayFailed()) {
        mfd_DrawFailureBar(0);
        return;
    }
    mfd_ClassMask = AVION_THREAT_CLASS_MASK;
    mfd_StateMask = AVION_THREAT_STATE_MASK;
    const int32_t zoom = mfd_MapZoom, factor = vcp_DisplayFactor;
    mfd_MapZoom = AVION_THREAT_ZOOM;
    vcp_DisplayFactorUpdate();
    avion_ThreatDisplayObjects();
    mfd_MapZoom = zoom;
    vcp_DisplayFactor = factor;
}

void mfd_DrawFailureBar(int32_t extra) {
    int32_t row = (int32_t)((uint32_t)mfd_FailureBarRow + (uint32_t)extra + 4u);
    if (row > 470) row -= 450;
    mfd_FailureBarRow = row;
    const uint8_t colours[3] = {kGreen, kDarkGreen, kGreen};
    for (int32_t i = 0; i < 3; i++) {
        const int32_t y = row + i;
        if (mfd_EnlargedFlag)
            draw_ClipLineF(10 * 256, y * 256, 620 * 256, y * 256, colours[i]);
        else
            draw_ClipLineC(10, y, 620, y, colours[i]);
    }
}
