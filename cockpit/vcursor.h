// The virtual cursor: its three images and state, tracking from the mouse,
// drawing, image selection and status page; the cockpit panels it points at.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct _DRAW_SURFACE;

// The cursor block: three names and images, and a save area, all of S
// bytes (width x height x bytes per pixel); the pixel areas and the name
// copies follow the header in the same block.
struct _VCURSOR_DATA {
    const char* names[3];
    uint8_t* images[3];
    uint8_t* save;
};
// Cursor state.
extern _VCURSOR_DATA* vcursor_Data;
extern int32_t vcursor_Enabled;
extern int32_t vcursor_Image;
extern int32_t vcursor_X, vcursor_Y;
extern int32_t vcursor_Width, vcursor_Height;
extern int32_t vcursor_Bytes;
extern int32_t vcursor_Moved;
extern int32_t vcursor_RenderedX, vcursor_RenderedY;
extern int32_t vcursor_Drawn;
extern int32_t vcursor_Ticks;
extern char vcursor_Label[64];
// The label id of the cockpit item under the cursor, -1 for none.
extern int32_t vcursor_Item;
extern int32_t vcursor_Counter;
// The panel number and U, V of the last pick (-1 none).
extern int32_t vcursor_PanelNumber, vcursor_PanelU, vcursor_PanelV;

// Loads the three cursor images: 0, or -1 (no cursor left) when a name is
// null, an image does not load, the sizes differ or there is no memory.
int32_t vcursor_Load(const char* const names[3]);
void vcursor_Free(void);
// Clamps the image to 0..2 and makes it current (0 and nothing without
// cursor data).
int32_t vcursor_ImageSet(int32_t image);
// One tracking step from the mouse; returns the counter.
int32_t vcursor_Track(void);
// Draws the current image on the display surface / the primary surface.
void vcursor_Draw(void);
void vcursor_DrawPrimary(void);
// Copies the pixels (the cursor's size) at (x, y) onto the surface, colour 0
// transparent, on 16 and 32-bit surfaces.
void vcursor_Blit(int32_t x, int32_t y, const uint8_t* pixels, const _DRAW_SURFACE* surface);
// The status page on the debug text screen, while its option bit is set.
void vcursor_StatusDraw(void);

// At most once per game tick: shows and moves the cursor in the cockpit view.
void vcursor_FrameUpdate(void);
// The panel hit update of the present step.
void vcursor_PanelHitUpdate(void);

// A virtual cockpit panel: the records of the panel file, chained for the
// hit test. Corners are in the cockpit model's frame, in metres (x right,
// y up, z forward); the outline runs 0-1-3-2 back to 0.
struct VcursorLabel {
    const char* text;  // null: nothing selectable
    int32_t id;        // -1 none
};
struct VcursorPanel {
    const VcursorPanel* next;
    int32_t number;
    float corners[4][3];
    float uAxis[3], vAxis[3], normal[3];  // the axes span the panel 0..1
    int32_t width, height;                // texels
    const int8_t* hitMap;                 // width x height label indices, -1 none
    const VcursorLabel* labels;
    int32_t labelCount;
    const char* name;
};
// The loaded panel set (null until the cockpit art provides one).
extern const VcursorPanel* vcursor_PanelSet;
// The HUD panel's record: the set's panel 21, else a built-in one.
const VcursorPanel* vcursor_HudPanel(void);
// The panel's four corners on the screen, in 1/128 pixel, in corner order.
void vcursor_ProjectPanelC(const VcursorPanel* panel, FixScreenPoint out[4]);
