// Stand-in until the MFD page bodies land: they draw nothing.
#include "cockpit/mfd.h"

#include <cstring>

#include "cockpit/mfd_sitpage.h"
#include "cockpit/vcp.h"
#include "cockpit/vcursor.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "net/client.h"
#include "sim/obj.h"

MfdPodState mfd_Pod = {0, {0, 0, 0}, {0, 0}, 0};
int32_t mfd_RadarFailed = 0;
uint8_t mfd_EnlargedFlag = 0;
uint8_t mfd_StoresFrameFlag = 0;
int32_t mfd_RadarPictureWord = 0;
uint8_t mfd_PodColour = 15;
uint8_t mfd_ThreatBuffer[16384];

void mfd_PageFrameDraw(MfdPageRecord*) {}
void mfd_PodFramePartDraw(void) {}
void mfd_TitleDraw(int32_t) {}
// Lines only, scaled by S; in the enlarged view through the mapped space.
void mfd_ShapeDraw(const DrawShapeCommand* shape, int32_t x, int32_t y) {
    const int64_t s = vcp_DisplayScale[0];
    int32_t px = x, py = y;
    for (int32_t i = 0; shape && i < DRAW_SHAPE_MAX_COMMANDS && shape[i].op != DRAW_SHAPE_END; i++) {
        const int32_t nx = x + (int32_t)((shape[i].dx * s) >> 16), ny = y + (int32_t)((shape[i].dy * s) >> 16);
        if (shape[i].op == DRAW_SHAPE_LINE) {
            if (mfd_EnlargedFlag)
                draw_ClipLineF(px * 256, py * 256, nx * 256, ny * 256, mfd_Colour);
            else
                draw_ClipLineC(px, py, nx, ny, mfd_Colour);
        }
        px = nx;
        py = ny;
    }
}
// The screen corners of the panel at that place of the loaded panel list,
// in clip-window order: top left, top right, bottom right, bottom left.
int32_t vcp_PanelProject(int32_t panel, FixScreenPoint out[4]) {
    memset(out, 0, 4 * sizeof *out);
    const VcursorPanel* p = vcursor_PanelSet;
    for (int32_t i = 0; p && i < panel; i++) p = p->next;
    if (panel < 0 || !p) return -1;
    FixScreenPoint c[4];
    vcursor_ProjectPanelC(p, c);
    out[0] = c[0];
    out[1] = c[1];
    out[2] = c[3];
    out[3] = c[2];
    return 0;
}
void mfd_TacMapContentHook(int32_t) {}
void mfd_TacMapOwnMarkHook(int32_t, int32_t) {}

// Stand-ins until the situation picture lands: the picture state, the
// object classes, the shapes (unrotated) and the chain walk; the plots, the
// route, the title line and the footer draw nothing.
int32_t mfd_SymbolAngle = 0;
uint8_t mfd_ClassMask = 0xFF;
uint8_t mfd_StateMask = 0xFF;
char mfd_TitleBuffer[16] = "###############";
uint8_t mfd_ObjectClass(const ObjectRecord* o) {
    if (!o) return 0;
    if ((o->stateFlags & OBJ_STATE_GROUND_UNIT) && (o->category & OBJ_CATEGORY_01)) return 4;
    if ((o->stateFlags & (OBJ_STATE_GROUND_UNIT | OBJ_STATE_ROAD)) || (o->flags & OBJ_FLAG_STATIC) ||
        (o->aiClass & 0x7F) == 2)
        return 2;
    if ((o->flags & OBJ_FLAG_PLAYER) || (o->stateFlags & (OBJ_STATE_AIRBORNE | OBJ_STATE_WAITING)) ||
        (o->aiClass & 0x7F) == 1)
        return 1;
    return o->speed != 0 ? 8 : 0;
}
uint8_t mfd_ObjectState(const ObjectRecord* o) {
    if (!o) return 0;
    uint8_t s = 0;
    const uint8_t c = mfd_ObjectClass(o);
    if ((c & 6) && !(o->stateFlags & OBJ_STATE_ROAD)) s |= 0x01;
    if ((c & 1) && !(o->flags & OBJ_FLAG_PLAYER)) s |= 0x02;
    s |= (o->flags & (OBJ_FLAG_ALLIANCE_A | OBJ_FLAG_WINGMAN)) ? 0x08 : 0x04;
    if (o->flags & OBJ_FLAG_PLAYER) s |= 0x10;
    if (o->flags & OBJ_FLAG_WINGMAN) s |= 0x20;
    return s;
}
void mfd_DrawShape(const DrawShapeCommand* shape, int32_t x, int32_t y, uint8_t colour) {
    mfd_Colour = colour;
    draw_Context.colourSlot = colour;
    mfd_ShapeDraw(shape, x, y);
}
void mfd_DrawShapeRotated(const DrawShapeCommand* shape, int32_t x, int32_t y, uint8_t colour) {
    mfd_DrawShape(shape, x, y, colour);
}
void mfd_PlotObjects(const ObjectRecord*) {}
void mfd_DrawRoute(const ObjectRecord*) {}
void mfd_DrawOwnship(void) {}
void mfd_DrawTitleLine(void) {}
void mfd_DrawHeightHeading(void) {}
void obj_ClientChainWalk(void (*visit)(ObjectRecord* object, void* context), void* context) {
    if (!visit) return;
    for (ObjectRecord* list : {Client.packetObjects, Client.knownObjects})
        for (ObjectRecord *o = list, *next; o; o = next) {
            next = o->next;
            visit(o, context);
        }
    const int32_t statics = obj_ClientStaticCount < OBJ_CLIENT_STATICS ? obj_ClientStaticCount : OBJ_CLIENT_STATICS;
    for (int32_t i = 0; i < statics; i++)
        if (obj_ClientStatics[i]) visit(obj_ClientStatics[i], context);
}
