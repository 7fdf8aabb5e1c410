// The virtual cursor.
#pragma once
#include <cstdint>

#include "base/fix.h"

extern int32_t vcursor_Enabled;
// The cockpit item under the cursor, -1 for none.
extern int32_t vcursor_Item;

// Loads the three cursor images: 0, or -1 when one is missing.
int32_t vcursor_Load(const char* const names[3]);
void vcursor_Free(void);
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
