// Object labels: the display name of the player's target (label mode 1) or
// of every known object in view (mode 2), centred under its projected point
// in the small font.
#include "cockpit/hud.h"
#include "debug/dbgobj.h"
#include "display/draw3d.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "net/client.h"
#include "sim/obj.h"
#include "world/level.h"

namespace {

// Label text 15 (white) over a shadow (slot 10), 4 pixels below the point.
constexpr int32_t kLabelSlot = 15;
constexpr int32_t kLabelDrop = 4;

void Label(const ObjectRecord* object, const BitmapFont* font) {
    if (!object) return;
    FixScreenPoint p;
    if (draw_ProjectPoint3D(&object->position, &p) != 0 || draw_PointInClip(&p) != 0) return;
    char name[64];
    obj_DisplayName(object, name, sizeof name);
    if (!name[0]) return;
    const int32_t x = p.x - font_StringWidth(name, font) / 2;
    font_DrawShadowedString(name, font, x, p.y + kLabelDrop, kLabelSlot, FONT_MODE_ONE_COLOUR);
}

}  // namespace

void hud_ObjectLabelsDraw(void) {
    const BitmapFont* font = level_Fonts[0];
    if (!font || !draw_CurrentSurface.base) return;
    if (dbg_ObjectLabelMode == 1) {
        if (Client_PlayerObject) Label(Client_PlayerObject->target, font);
    } else if (dbg_ObjectLabelMode == 2) {
        // The objects the player can know are those of the player-target list.
        for (const ObjCategoryList& list : obj_CategoryLists) {
            if (list.bit != OBJ_CATEGORY_PLAYER_TARGET) continue;
            for (int32_t i = 0; i < list.count && i < (int32_t)(sizeof list.items / sizeof list.items[0]); i++) {
                const ObjectRecord* o = list.items[i];
                if (o && o->known && o != Client_PlayerObject) Label(o, font);
            }
        }
    }
}
