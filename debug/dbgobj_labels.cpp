// The weapon overlay (seeker and target boxes, bomb aim symbol, "SHOOT" and
// the sight's ground point) and the bomb and object markers, drawn into the
// 3D view: every world point goes through the projection, so nothing is
// drawn for a point behind the eye.
#include <cstring>

#include "base/math.h"
#include "base/text.h"
#include "base/units.h"
#include "debug/console.h"
#include "debug/dbgobj.h"
#include "debug/dbgoverlay.h"
#include "display/draw3d.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "net/client.h"
#include "render/render.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "world/gamemode.h"
#include "world/level.h"

char dbg_LabelBuffer[DBG_LABEL_SIZE];

namespace {

constexpr int32_t FONT_SHOOT = 3;  // "key16bna.pcx"
constexpr int32_t SIGHT_SYMBOL_SIZE = 0x200000;

// The point 1000 m along the seeker's line of sight, in world units.
FixWorldPos SeekerPoint(const _PLANE* plane) {
    MathFrame f;
    f.pos = plane->position;
    math_Mat33Copy(&f.rot, &plane->orientation);
    math_RotateRows02(&f.rot, weapon_SeekerHead[0]);
    math_RotateRows12(&f.rot, weapon_SeekerHead[1]);
    math_FrameMoveRow3(&f, 1000.0f);
    FixWorldPos p;
    fix_FloatToWorld(&f.pos, &p);
    return p;
}

void Shoot(void) {
    const BitmapFont* font = level_Fonts[FONT_SHOOT];
    if (!font) return;
    const char* text = "SHOOT";
    const int32_t x = draw_CurrentSurface.width / 2 - font_StringWidth(text, font) / 2;
    dbg_ShadowLine(font, x, draw_CurrentSurface.height / 2, DBG_CYAN, "%s", text);
}

// A white label with a black shadow at the object's position.
void Label(const ObjectRecord* o, const char* text) {
    MathVec3 at;
    fix_WorldToFloat(&o->position, &at);
    draw_LabelAt3D(&at, text, DBG_WHITE, DBG_BLACK);
}

}  // namespace

void dbg_DrawObjectLabels(void) {
    if (!con_ToggleBlock[CON_WEAPON_OVERLAY] || !level_GameMode.singlePlayer) return;
    if (weapon_DesignationDebug) weapon_DesignationDebug();
    const bool armed = weapon_CurrentId >= 0;
    const uint8_t lock = weapon_LockState;
    const _PLANE* plane = plane_Current;
    if (armed && (weapon_Current.kind & WEAPON_BIT25) && lock && plane) {
        const FixWorldPos p = SeekerPoint(plane);
        draw_Rect3D(&p, 32, 16, lock >= 2 ? DBG_RED : DBG_YELLOW);
    }
    const ObjectRecord* player = Client_PlayerObject;
    if (player && player->target) draw_Rect3D(&player->target->position, 32, 24, DBG_GREEN);
    if (armed && (weapon_Current.kind & WEAPON_BOMB) && weapon_Impact.valid)
        draw_Symbol3D(&weapon_Impact.point, weapon_AimSymbolSize, DBG_YELLOW);
    if (lock == 3 || lock == 4) Shoot();
    if (plane && (plane->flags & PLANE_SIGHT_WANTED) && (plane->flags & PLANE_SIGHT_WANTED2) &&
        plane_GroundSightOff != 1) {
        FixWorldPos hit;
        if (plane_SightGroundPoint(&hit) == 0) draw_Symbol3D(&hit, SIGHT_SYMBOL_SIZE, DBG_RED);
    }
}

void dbg_DrawBombDebug(void) {
    if (dbg_BombRecording) {
        for (const _WEAPON_BOMBDEBUG* b = dbg_BombDebugHead; b; b = b->next) {
            if (b->hasTarget) {
                draw_Line3D(&b->release, &b->target, DBG_YELLOW);
                draw_Line3D(&b->target, &b->aim, DBG_WHITE);
                draw_Line3D(&b->aim, &b->release, DBG_GREEN);
            }
            draw_Diamond3D(&b->release, 8, DBG_RED);
            // The bomb's marker blinks between '+' and 'x' while it falls.
            if (const ObjectRecord* w = obj_HandleResolve(&b->handle)) {
                if (render_FrameCounter & 1)
                    draw_Plus3D(&w->position, 8, DBG_WHITE);
                else
                    draw_Cross3D(&w->position, 8, DBG_WHITE);
            }
        }
        for (const _WEAPON_BOMBDEBUGPATH* p = dbg_BombPathHead; p; p = p->next) draw_Line3D(&p->from, &p->to, DBG_CYAN);
    }
    const NetBookkeeping lists = net_Bookkeeping();
    if (con_ToggleBlock[CON_OBJECT_OVERLAY])
        for (const ObjectRecord* o = lists.serverObjects; o; o = o->next) draw_Diamond3D(&o->position, 4, DBG_RED);

    const bool hitPoints = con_ToggleBlock[CON_HIT_POINT_LABELS] != 0;
    const bool signatures = con_ToggleBlock[CON_SIGNATURE_LABELS] != 0;
    if (hitPoints || signatures) {
        // The labels take the small font unless one is set for them.
        BitmapFont* saved = draw_LabelFont;
        if (!draw_LabelFont) draw_LabelFont = level_Fonts[0];
        char* text = dbg_LabelBuffer;
        if (hitPoints)
            for (const ObjectRecord* o = lists.serverObjects; o; o = o->next) {
                text_Format("HP=%ld/%ld", text, DBG_LABEL_SIZE, (int32_t)o->hitPoints, (int32_t)o->hitPointsMax);
                Label(o, text);
            }
        if (signatures)
            for (const ObjectRecord* list : {lists.knownObjects, lists.playerObjects})
                for (const ObjectRecord* o = list; o; o = o->next) {
                    if (!(o->flags & OBJ_FLAG_PLAYER)) continue;
                    text_Format("SIG=%ld", text, DBG_LABEL_SIZE, obj_SignatureFactor(o));
                    Label(o, text);
                }
        draw_LabelFont = saved;
    }
    if (dbg_DebugObjectsShown) dbg_DebugObjectsDraw();
}
