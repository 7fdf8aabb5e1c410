// The cockpit model passes of the frame: the 3D cockpit over the world and
// the cockpit model that fills the panel views.
#include <cstring>

#include "cockpit/avion.h"
#include "cockpit/avionkrx.h"
#include "cockpit/hud.h"
#include "cockpit/vcp.h"
#include "display/dsurf.h"
#include "display/hw3d.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "net/client.h"
#include "render/object.h"
#include "render/render.h"
#include "render/view.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/level.h"

int32_t vcp_CockpitPanel = 7;
int32_t vcp_CockpitScale = 96;
int32_t vcp_Available = 0;
int32_t vcp_CockpitGlass = 0;
uint8_t vcp_CockpitClear = 0;

namespace {

constexpr int32_t kCockpitNear = 0x670;

// Draws the object with another model, wherever the view culls it; the
// object's model and draw flags are put back.
void ModelDraw(ObjectRecord* o, _PAK_HEADER* model) {
    _PAK_HEADER* own = o->model;
    const uint8_t flags = o->drawFlags;
    const int32_t finest = render_Object.forceFinest;
    o->model = model;
    o->drawFlags = (uint8_t)((flags | RENDER_DRAW_NO_CULL) & ~RENDER_DRAW_NEVER);
    render_Object.forceFinest = 1;
    render_ObjectToViewSpace(o);
    render_ObjectDraw(o);
    render_Object.forceFinest = finest;
    o->drawFlags = flags;
    o->model = own;
}

// The cockpit models draw with the level's light table (mode 1 of the level
// palette reference, never the far haze); the tables and the palette
// reference in use before are put back when the scope ends.
struct LightTableScope {
    PalDrawTables tables = pal_DrawTables;
    PALREF* current = pal_Palrefs.current;
    LightTableScope() {
        if (level_Palref) pal_SelectPalref(level_Palref, 1);
    }
    ~LightTableScope() {
        pal_DrawTables = tables;
        if (current && current != pal_Palrefs.current) hw3d_SetStatePalette(current->working);
        pal_Palrefs.current = current;
    }
};

// The frame buffer's fill value for a colour: doubled 16-bit pixels, or the
// nearest palette index in every byte on an 8-bit surface.
uint32_t FillValue(int32_t r, int32_t g, int32_t b) {
    if (draw_CurrentSurface.bytesPerPixel == 1) return (uint32_t)(pal_NearestIndex(r, g, b) & 0xFF) * 0x01010101u;
    const uint32_t v = pal_RgbTo16(r, g, b);
    return v | v << 16;
}

}  // namespace

void vcp_Cockpit3dPass(void) {
    if (hw3d_Active && hw3d_Descriptor.setValue) hw3d_Descriptor.setValue(-1024);
    ObjectRecord* o = Client_PlayerObject;
    if (!view_CockpitModel || !o) return;
    const int32_t nearA = view_NearPlane, nearB = ViewNearDistance;
    view_NearPlane = ViewNearDistance = kCockpitNear;
    const int32_t projection = hud_ProjectionFlag;
    hud_ProjectionFlag = 1;
    // The glass flag asks the HUD for its glass alone; it is put back, so
    // that the frame's own HUD pass draws the whole HUD afterwards.
    vcp_CockpitGlass = 1;
    plane_HookHud(0);
    vcp_CockpitGlass = 0;
    hud_ProjectionFlag = projection;
    view_NearPlane = nearA;
    ViewNearDistance = nearB;
    if (vcp_CockpitClear) {
        if (hw3d_Active) {
            if (hw3d_Descriptor.colourRegister) hw3d_Descriptor.colourRegister(3, 255, 255, 255);
            if (hw3d_Descriptor.clear) hw3d_Descriptor.clear();
        } else {
            render_FrameBufferFill(0xFFFFFFFFu);
        }
    }
    LightTableScope light;
    if (avionkrx_GlassModel) ModelDraw(o, avionkrx_GlassModel);
    ModelDraw(o, view_CockpitModel);
}

void vcp_CockpitModelPass(void) {
    ObjectRecord* o = Client_PlayerObject;
    if (!view_CockpitModel || !o) return;
    if (level_Palref) pal_SelectPalref(level_Palref, 1);
    const bool night = vcp_NightByte != 0;
    if (hw3d_Active) {
        if (hw3d_Descriptor.colourRegister) {
            if (night)
                hw3d_Descriptor.colourRegister(3, 8, 8, 8);
            else
                hw3d_Descriptor.colourRegister(3, 80, 84, 80);
        }
        if (hw3d_Descriptor.clear) hw3d_Descriptor.clear();
    } else {
        render_FrameBufferFill(night ? FillValue(8, 8, 8) : FillValue(84, 80, 84));
    }
    _PAK_HEADER* own = o->model;
    o->model = view_CockpitModel;
    avion_InstrumentsHookCall();
    o->model = own;
    const FixAngles angles = o->angles;
    vcp_SavedAngles = angles;
    o->angles = {0, 0, 0};
    fix_TrigToDouble(&view_State.viewMatrix);
    const uint8_t flags = o->drawFlags;
    o->drawFlags &= (uint8_t)~RENDER_DRAW_NEVER;
    {
        LightTableScope light;
        ModelDraw(o, view_CockpitModel);
    }
    o->drawFlags = flags;
    o->angles = angles;
    render_PaletteApply();
}
