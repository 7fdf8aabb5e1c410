// The HUD frame draw (cockpit hook 7): visibility, the frame on the 256 x 256
// HUD panel, the drawing order and the tear-down; the HUD's centre, colour
// and clip window.
#include "cockpit/hud_draw.h"

#include "cockpit/avion.h"
#include "cockpit/hud.h"
#include "cockpit/mfd.h"
#include "cockpit/vcp.h"
#include "cockpit/vcursor.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/otw.h"
#include "display/stroke.h"
#include "net/client.h"
#include "render/view.h"
#include "sim/obj.h"
#include "world/level.h"

// The HUD on/off byte, the brightness levels (day, night) and the level set
// the brightness keys change (1: night).
uint8_t HudShownFlag = 1;
int32_t hud_ColourMode = 0;
int32_t hud_ShadeIndex[2] = {0, 6};
int32_t hud_ProjectionFlag = 0;
// The zoom actions move the list position instead of zooming while the
// list mode is on (the trigger readout page scrolls with it).
uint8_t hud_ListMode = 0;
int32_t hud_ListPosition = 0;
// While set, the camera axes turn the pilot's head in the cockpit view.
uint8_t hud_FreeLook = 0;
// The screen layer's key state (cleared whenever the poll switches the
// screen state), its request for command code 46 and the one-shot request
// that the debug hot key sets.
int32_t hud_ScreenKeyState[3] = {0, 0, 0};
uint8_t hud_DebugRequest = 0;
uint8_t hud_HotKeyRequest = 0;
// Three state bytes of the symbology; the external eyes clear them.
uint8_t hud_SymbolState[3] = {0, 0, 0};

FixScreenPoint HudCentre, HudCentrePixel, HudCentreOffset;
int32_t HudScaleX = 65536, HudScaleY = 65536;
int32_t HudFieldRight, HudFieldLeft, HudFieldBottom, HudFieldTop;
uint8_t HudColour = 16;
int32_t HudTextSize[2];
int32_t HudSavedTextScale;
int32_t HudSurfaceLocked;
int32_t HudDrawing;
int32_t HudApproachShown;

namespace {

// The HUD panel is cockpit view 21.
constexpr int32_t kHudView = 21;
constexpr int32_t kHudFocal = 250;

// 512 steps a turn, folded to the distance from 0 (0..256).
int32_t OffNose(uint32_t angle) {
    const int32_t steps = (int32_t)((angle & 0x1FFFFFF) >> 16);
    return steps > 256 ? 512 - steps : steps;
}

// Hides the HUD when the view looks more than 90 degrees away from the nose.
bool LooksAway(const ObjectRecord* player) {
    if ((ViewFlags & 2) && player->target) {
        return OffNose((uint32_t)view_State.angles.heading - (uint32_t)player->angles.heading) > 128 ||
               OffNose((uint32_t)view_State.angles.pitch - (uint32_t)player->angles.pitch) > 128;
    }
    return OffNose((uint32_t)view_LookYaw) > 128 || OffNose((uint32_t)view_LookPitch) > 128;
}

}  // namespace

void hud_CentreFixed(void) {
    HudCentre = {16384, 16384};
    HudCentrePixel = {128, 128};
    HudCentreOffset = {HudCentre.x - draw_CurrentSurface.centreXF, HudCentre.y - draw_CurrentSurface.centreYF};
}

void hud_ColourSelect(void) {
    // The brightness keys change the level in use: the night one on a night
    // mission.
    hud_ColourMode = level_Night == 1 ? 1 : 0;
    int32_t level = hud_ShadeIndex[hud_ColourMode];
    level = level < 0 ? 0 : level > 6 ? 6 : level;
    HudColour = (uint8_t)(16 + level);
    // The slot carries the stroke colour: green, dimmer at higher levels.
    const int32_t g = 255 - 28 * level;
    draw_SetColourSlot(HudColour, g / 4, g, g / 4);
}

void hud_ClipWindowSet(int32_t mode) {
    if (mode == 1) draw_SetFloatScale(35 * 256.0f, 52 * 256.0f, 206 * 256.0f, 202 * 256.0f);
    else if (ViewFlags & 0x80) draw_SetFloatScale(-256 * 256.0f, -256 * 256.0f, 256 * 256.0f, 256 * 256.0f);
    else draw_SetFloatScale(0.0f, 20 * 256.0f, 255 * 256.0f, 235 * 256.0f);
}

void hud_FrameDraw(void) {
    if (!HudShownFlag) return;
    ObjectRecord* player = Client_PlayerObject;
    if (!player) return;
    if (LooksAway(player)) {
        mfd_EnlargedFlag = 0;
        return;
    }
    if (!(ViewFlags & (4 | 1 | 8))) return;
    if (vcp_CockpitGlass) {
        avion_HudGlassDraw();
        return;
    }
    if (ViewFlags & 0x80) avion_HudGlassDraw();

    // Frame set-up on the HUD panel.
    HudApproachShown = 0;
    HudDrawing = 1;
    hud_ColourSelect();
    const _DRAW_SURFACE frame = draw_CurrentSurface;
    const int32_t view = vcp_CockpitPanel;
    vcp_DrawStatePush();
    vcp_CockpitPanel = kHudView;
    int32_t focal = 256 * 256 / 320, centreX = 255 * 64, centreY = 255 * 64;
    if (vcp_PanelTargetSelect() == 0) {
        focal = draw_CurrentSurface.xScale;
        centreX = draw_CurrentSurface.centreXF;
        centreY = draw_CurrentSurface.centreYF;
    } else {
        // No panel image: the panel still measures 256 x 256.
        draw_CurrentSurface.xScale = focal;
        draw_CurrentSurface.centreXF = centreX;
        draw_CurrentSurface.centreYF = centreY;
    }
    HudSavedTextScale = draw_CurrentSurface.widthScale;
    HudScaleX = HudScaleY = 65536;
    hud_CentreFixed();
    HudTextSize[0] = (6 * HudScaleX) >> 8;
    HudTextSize[1] = (6 * HudScaleY) >> 8;
    font_SetStrokeRotation(0, HudTextSize[0], HudTextSize[1], 0);
    vcp_DrawStatePop();
    vcp_CockpitPanel = view;
    if (!otw_State.locked) {
        otw_LockSurface();
        HudSurfaceLocked = 1;
    }
    // The panel's corners on the screen: panel lines in 1/256 pixel land on
    // the projected panel. The float window runs top-left, top-right,
    // bottom-right, bottom-left; the panel's corners 0, 1, 3, 2.
    FixScreenPoint c[4];
    vcursor_ProjectPanelC(vcursor_HudPanel(), c);
    draw_SetFloatClipWindow(c[0], c[1], c[3], c[2]);
    draw_CurrentSurface.xScale = focal;
    draw_CurrentSurface.centreXF = centreX;
    draw_CurrentSurface.centreYF = centreY;
    const int32_t savedFocal = draw_CurrentSurface.xScale;
    draw_CurrentSurface.xScale = kHudFocal;
    const int32_t hx = (int32_t)((90 * (int64_t)HudScaleX) >> 9), hy = (int32_t)((90 * (int64_t)HudScaleY) >> 9);
    HudFieldRight = HudCentre.x + hx;
    HudFieldLeft = HudCentre.x - hx;
    HudFieldBottom = HudCentre.y + hy;
    HudFieldTop = HudCentre.y - hy;

    // The fixed symbols and readouts, then the moving symbols.
    hud_ClipWindowSet(0);
    hud_WeaponLine();
    hud_VelocityGroup();
    hud_ShapeDraw(HudShapeBoresightCross, {HudCentrePixel.x, HudCentrePixel.y - 50}, 0, HudColour);
    hud_AirspeedTape();
    hud_AltitudeTape();
    hud_HeadingTape();
    hud_SecondAltitudeBox();
    hud_MachReadout();
    hud_GReadout();
    hud_ModeText();
    hud_SteerpointBlock();
    hud_SteeringCue();
    hud_Warnings();
    hud_TargetInfo();
    hud_ContactBoxes();
    hud_SymbolSequencer();

    // Tear-down.
    HudDrawing = 0;
    draw_CurrentSurface.widthScale = HudSavedTextScale;
    if (HudSurfaceLocked) {
        otw_UnlockSurface();
        HudSurfaceLocked = 0;
    }
    draw_CurrentSurface.xScale = savedFocal;
    draw_SelectSurface(&frame);
    if (hud_TargetArrowOption) hud_TargetArrow();
}
