// The MFD text and picture pages: the situation page (page 2), the systems
// status page (page 0) and the stores page (page 1).
#pragma once
#include <cstdint>

struct ObjectRecord;
struct DrawShapeCommand;

// One frame of the situation page in its sub-mode (0..3 and 5); the player's
// aircraft is the viewer.
void mfd_DrawSituationPage(void);
// The three readout lines of the player's current target (none without an
// active target).
void mfd_DrawTargetReadout(void);
// The cockpit module's page-shown flags of the left and right MFD: while one
// is set the situation page of that MFD draws no title.
extern int32_t mfd_PageShown[2];

// The systems status page: fifteen label and state lines.
void mfd_DrawSystemsPage(void);
// The state word (text number) line 0..14 of the page shows: 735 works,
// 736 failed, 748 on the first line while the server gives no link.
uint32_t mfd_SystemsStateText(int32_t line);
// The stores page: the outline with its stations, and the gun, chaff and
// flare lines (enlarged view); the failure bar in the cockpit panel.
void mfd_DrawStoresPage(void);
