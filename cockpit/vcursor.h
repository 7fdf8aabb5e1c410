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

// At most once per game tick: the cursor works exactly while the view's
// virtual cursor bit is set; it follows the mouse and is drawn on the
// primary surface while the system cursor is hidden. Out of those views it
// shows image 2 and the system cursor is as the display mode wants it.
void vcursor_FrameUpdate(void);
// Every frame: as above, and the pick under the cursor: its label's id and
// text with image 1, or none (-1, empty) with image 0; the cursor drawn on
// the display surface while the system cursor is hidden.
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
void vcursor_ProjectPanel(const VcursorPanel* panel, FixScreenPoint out[4]);
void vcursor_ProjectPanelC(const VcursorPanel* panel, FixScreenPoint out[4]);
// The label at texel (u, v) of the panel, or null: off the map, a map byte
// naming no label (negative or past the labels) or a label without text.
const VcursorLabel* vcursor_PanelAt(const VcursorPanel* panel, int32_t u, int32_t v);
// The eye ray's direction through the cursor, in world axes.
void vcursor_RayThroughCursor(float out[3]);
// The label under the cursor: the first panel of the chain that the ray
// meets on a label wins, and its number, u and v are kept (all -1 without
// one).
const VcursorLabel* vcursor_PanelPick(void);
// The id of the label picked last, -1 for none.
int32_t vcursor_PanelPickId(void);
