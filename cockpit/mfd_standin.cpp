// Stand-in until the MFD page bodies land: they draw nothing.
#include "cockpit/mfd.h"

#include <cstring>

#include "cockpit/mfd_sitpage.h"
#include "cockpit/vcp.h"
#include "cockpit/vcursor.h"

MfdPodState mfd_Pod = {0, {0, 0, 0}, {0, 0}, 0};
int32_t mfd_RadarFailed = 0;
uint8_t mfd_EnlargedFlag = 0;
uint8_t mfd_StoresFrameFlag = 0;
int32_t mfd_RadarPictureWord = 0;
uint8_t mfd_PodColour = 15;
uint8_t mfd_ThreatBuffer[16384];

void mfd_PageFrameDraw(MfdPageRecord*) {}
void mfd_PodFramePartDraw(void) {}
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

