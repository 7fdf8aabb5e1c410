// The in-flight tactical map: a north-up grid of 2^27-unit squares around
// the aircraft, the situation plot and the own-aircraft symbol through the
// cockpit hooks, the grid square readout, zoom and pan.
#include <algorithm>

#include "base/text.h"
#include "cockpit/avion.h"
#include "cockpit/mfd.h"
#include "cockpit/tacmap.h"
#include "cockpit/vcp.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/otw.h"
#include "input/ekey.h"
#include "input/inmap.h"
#include "net/client.h"
#include "sim/obj.h"
#include "world/level.h"

int32_t tacmap_Shown = 0;
TacmapState tacmap_Map = {};
int32_t tacmap_MapInitialised = 0;
FixWorldPos tacmap_MapCentre = {};

namespace {

constexpr int32_t kFontKey16 = 3;
constexpr int32_t kFontKey11 = 4;
// Cockpit colour entries: 3 the grid lines, 0 labels, readout and symbol.
constexpr int32_t kGridColour = 3;
constexpr int32_t kTextColour = 0;
// One terrain tile per frame of an arrow key.
constexpr int32_t kPanStep = 0x800000;
constexpr int32_t kLines = 34;


void ZoomStep(int32_t delta) {
    const int64_t z = (int64_t)tacmap_Map.zoom + delta;
    tacmap_Map.zoom = (int32_t)std::clamp<int64_t>(z, TACMAP_ZOOM_MIN, TACMAP_ZOOM_MAX);
}

// F x world distance >> 32, in pixels.
int32_t WorldPixels(int64_t distance) { return (int32_t)((distance * tacmap_Map.factor) >> 32); }

void Label(const char* text, int32_t font, int32_t x, int32_t y) {
    const BitmapFont* f = level_Fonts[font];
    if (f && draw_CurrentSurface.base)
        font_DrawShadowedString(text, f, x, y, mfd_CockpitColourSlot(kTextColour), FONT_MODE_ONE_COLOUR);
}

}  // namespace

void tacmap_ZoomIn(int32_t fast) { ZoomStep(fast ? 6144 : 2048); }
void tacmap_ZoomOut(int32_t fast) { ZoomStep(fast ? -6144 : -2048); }

int32_t tacmap_ColumnOf(uint32_t x) { return ((int32_t)x >> 27) & 31; }
int32_t tacmap_RowOf(uint32_t z) { return ((int32_t)(0u - z) >> 27) & 31; }

void tacmap_ColumnLetter(int32_t index, char* out, size_t size) {
    index &= 31;
    if (index < 26)
        text_Format("%c", out, size, 'A' + index);
    else
        text_Format("%c%c", out, size, index + 39, index + 39);
}

void tacmap_GridDraw(void) {
    const int32_t w = tacmap_Scaled(320) - 1, h = tacmap_Scaled(240) - 1;
    const int32_t cx = tacmap_Scaled(160), cy = tacmap_Scaled(120);
    TacmapState& m = tacmap_Map;
    m.factor = (int32_t)(((int64_t)tacmap_Scaled(256) * m.zoom) >> 16);
    m.cell = (int32_t)(((int64_t)m.factor * 2048) >> 16);
    const uint32_t x = tacmap_MapCentre.x, z = 0u - tacmap_MapCentre.z;
    m.originX = cx - WorldPixels(x & 0x7FFFFFFu) - 17 * m.cell;
    m.originY = cy - WorldPixels(z & 0x7FFFFFFu) - 17 * m.cell;
    const int32_t slot = mfd_CockpitColourSlot(kGridColour);
    for (int32_t i = 0; i < kLines; i++) {
        const int32_t lx = m.originX + i * m.cell, ly = m.originY + i * m.cell;
        draw_ClipLineC(lx, 0, lx, h, slot);
        draw_ClipLineC(0, ly, w, ly, slot);
    }
    m.firstColumn = ((int32_t)x >> 27) - 17;
    m.firstRow = ((int32_t)z >> 27) - 17;
}

void tacmap_GridLabelsDraw(void) {
    const uint32_t w = (uint32_t)tacmap_Scaled(320), h = (uint32_t)tacmap_Scaled(240);
    const int32_t margin = tacmap_Scaled(8);
    const TacmapState& m = tacmap_Map;
    char text[16];
    for (int32_t i = 0; i < kLines; i++) {
        const int32_t x = m.originX + i * m.cell;
        if (x != 0 && (uint32_t)x < w) {
            tacmap_ColumnLetter((m.firstColumn + i) & 31, text, sizeof text);
            Label(text, kFontKey11, x, 0);
        }
        const int32_t y = m.originY + i * m.cell;
        if (y > margin && (uint32_t)y < h) {
            text_Format("%d", text, sizeof text, (m.firstRow + i) & 31);
            Label(text, kFontKey11, 4, y - 4);
        }
    }
}

void tacmap_OwnMarkerDraw(void) {
    const int32_t x = tacmap_Scaled(160) - WorldPixels(tacmap_Map.panX);
    const int32_t y = tacmap_Scaled(120) + WorldPixels(tacmap_Map.panZ);
    avion_HookTacMapMarkCall(x, y);
}

void tacmap_PositionReadout(void) {
    const ObjectRecord* player = Client_PlayerObject;
    if (!player) return;
    char column[4], text[16];
    tacmap_ColumnLetter(tacmap_ColumnOf(player->position.x), column, sizeof column);
    text_Format("%s,%d", text, sizeof text, column, tacmap_RowOf(player->position.z));
    Label(text, kFontKey16, tacmap_Scaled(290), tacmap_Scaled(225));
}

void tacmap_Draw(void) {
    if (!tacmap_MapInitialised) {
        tacmap_Map = TacmapState{};
        tacmap_Map.zoom = TACMAP_ZOOM_START;
        tacmap_MapInitialised = 1;
    }
    otw_ClearScreen();
    otw_LockSurface();
    const ObjectRecord* player = Client_PlayerObject;
    // The map is centred on the panned point; the player object stays where
    // it is.
    tacmap_MapCentre = player ? player->position : FixWorldPos{};
    tacmap_MapCentre.x += (uint32_t)tacmap_Map.panX;
    tacmap_MapCentre.z += (uint32_t)tacmap_Map.panZ;
    tacmap_GridDraw();
    avion_HookTacMapCall(tacmap_Map.zoom);
    tacmap_OwnMarkerDraw();
    tacmap_GridLabelsDraw();
    tacmap_PositionReadout();
}

void tacmap_PanKeys(void) {
    TacmapState& m = tacmap_Map;
    const uint16_t key = inmap_KeyEvent.keyValue;
    if (key == 'C') m.panX = m.panZ = 0;
    const uint32_t step = (uint32_t)kPanStep;
    if (ekey_StateTable[0x25]) m.panX = (int32_t)((uint32_t)m.panX - step);  // left arrow
    if (ekey_StateTable[0x27]) m.panX = (int32_t)((uint32_t)m.panX + step);  // right arrow
    if (ekey_StateTable[0x26]) m.panZ = (int32_t)((uint32_t)m.panZ + step);  // up arrow
    if (ekey_StateTable[0x28]) m.panZ = (int32_t)((uint32_t)m.panZ - step);  // down arrow
}
