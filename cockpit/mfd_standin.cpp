// Stand-in until the MFD page bodies land: they draw nothing.
#include "cockpit/mfd.h"

#include <cstring>

#include "cockpit/vcp.h"
#include "cockpit/vcursor.h"
#include "display/draw_line.h"

MfdPodState mfd_Pod = {0, {0, 0, 0}, {0, 0}, 0};
int32_t mfd_RadarFailed = 0;
uint8_t mfd_EnlargedFlag = 0;
uint8_t mfd_StoresFrameFlag = 0;
int32_t mfd_RadarPictureWord = 0;
uint8_t mfd_PodColour = 15;
uint8_t mfd_ThreatBuffer[16384];

void mfd_PageFrameDraw(MfdPageRecord*) {}
void mfd_TextListPageDraw(MfdPageRecord*) {}
void mfd_StatusPageDraw(MfdPageRecord*) {}
void mfd_FailurePartDraw(void) {}
void mfd_PodFramePartDraw(void) {}
void mfd_TitleDraw(int32_t) {}
void mfd_ThreatScopeDraw(void) {}
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
void mfd_TacMapContentHook(int32_t) {}
void mfd_TacMapOwnMarkHook(int32_t, int32_t) {}
