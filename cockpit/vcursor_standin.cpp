// Stand-in until the cockpit panel pick lands: the per-frame cursor
// routines do nothing.
#include "cockpit/vcursor.h"

void vcursor_FrameUpdate(void) {}
void vcursor_PanelHitUpdate(void) {}

// Stand-in panel projection: corners turned by the aircraft's attitude,
// placed at the aircraft and taken into the camera's space, without a hit
// test. Until the cockpit art loads a panel set, the HUD uses one built-in
// panel two metres ahead of the eye, with its boresight row on the nose line.
#include "display/draw3d.h"
#include "base/units.h"
#include "net/client.h"
#include "render/view.h"
#include "sim/obj.h"

const VcursorPanel* vcursor_PanelSet = nullptr;

namespace {
const VcursorPanel kHudPanel = {
    nullptr, 21, {{-0.5f, 0.3047f, 2.0f}, {0.5f, 0.3047f, 2.0f}, {-0.5f, -0.6953f, 2.0f}, {0.5f, -0.6953f, 2.0f}}};
}  // namespace

const VcursorPanel* vcursor_HudPanel(void) {
    for (const VcursorPanel* p = vcursor_PanelSet; p; p = p->next)
        if (p->number == 21) return p;
    return &kHudPanel;
}

void vcursor_ProjectPanelC(const VcursorPanel* panel, FixScreenPoint out[4]) {
    const ObjectRecord* o = Client_PlayerObject;
    for (int32_t i = 0; i < 4; i++) {
        out[i] = {0, 0};
        if (!panel || !o) continue;
        MathVec3 m = {panel->corners[i][0], panel->corners[i][1], panel->corners[i][2]};
        FixVec3 v;
        fix_FloatToIntScaled(&m, &v);
        FixSinCosBlock trig;
        fix_SinCosAngles(o->angles.heading, o->angles.pitch, o->angles.roll, &trig);
        fix_TrigToDouble(&trig);
        fix_RotateAllInverse(&v, &v);
        // Panel corners are held relative to the pilot's eye, where the
        // camera of a cockpit view stands.
        const FixWorldPos& eye = view_State.position;
        FixWorldPos w = {eye.x + (uint32_t)v.x, eye.y + (uint32_t)v.y, eye.z + (uint32_t)v.z};
        FixVec3 camera;
        draw_ToCameraSpace(&w, &camera);
        fix_ProjectToScreen(&camera, &out[i]);
    }
}
