// Pointing at the virtual cockpit's panels: the cursor's per-tick and
// per-frame updates, the pick of the labelled spot under the cursor and the
// projection of a panel's corners to the screen.
//
// Panel corners are held relative to the pilot's eye, where the camera of a
// cockpit view stands, in the aircraft's axes: the eye ray and the panels
// meet in metres about the camera.
#include <cmath>

#include "base/text.h"
#include "base/units.h"
#include "cockpit/vcursor.h"
#include "display/draw3d.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "display/vid.h"
#include "net/client.h"
#include "platform/simlog.h"
#include "render/view.h"
#include "shell/cursor.h"
#include "shell/mouse.h"
#include "shell/runner.h"
#include "sim/obj.h"

const VcursorPanel* vcursor_PanelSet = nullptr;

namespace {

// Until the cockpit art loads a panel set, the HUD uses one built-in panel
// two metres ahead of the eye, with its boresight row on the nose line.
const VcursorPanel kHudPanel = {
    nullptr, 21, {{-0.5f, 0.3047f, 2.0f}, {0.5f, 0.3047f, 2.0f}, {-0.5f, -0.6953f, 2.0f}, {0.5f, -0.6953f, 2.0f}}};

struct Vec {
    double x, y, z;
};
double Dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Of(const float v[3]) { return {v[0], v[1], v[2]}; }

// Sines and cosines of heading (a), pitch (b) and bank (c).
struct Turn {
    double sa, ca, sb, cb, sc, cc;
};
constexpr Turn kNoTurn = {0, 1, 0, 1, 0, 1};

Turn TurnOfAngles(const FixAngles& angles) {
    constexpr double kRadiansPerUnit = 6.283185307179586 / 33554432.0;
    const double a = (double)((uint32_t)angles.heading & 0x1FFFFFF) * kRadiansPerUnit;
    const double b = (double)((uint32_t)angles.pitch & 0x1FFFFFF) * kRadiansPerUnit;
    const double c = (double)((uint32_t)angles.roll & 0x1FFFFFF) * kRadiansPerUnit;
    return {std::sin(a), std::cos(a), std::sin(b), std::cos(b), std::sin(c), std::cos(c)};
}

// The camera's turn from the view matrix, which holds the negated angles,
// so that the ray is the exact inverse of the world's projection.
Turn CameraTurn(void) {
    const FixSinCosBlock& m = view_State.viewMatrix;
    return {-m.sinA / 65536.0, m.cosA / 65536.0, -m.sinB / 65536.0,
            m.cosB / 65536.0,  -m.sinC / 65536.0, m.cosC / 65536.0};
}

// From an object's axes to the world's: bank, then pitch, then heading.
Vec ToWorld(const Turn& t, Vec v) {
    double x = v.x * t.cc - v.y * t.sc, y = v.y * t.cc + v.x * t.sc;
    v.x = x;
    v.y = y;
    y = v.y * t.cb + v.z * t.sb;
    double z = v.z * t.cb - v.y * t.sb;
    v.y = y;
    v.z = z;
    x = v.x * t.ca + v.z * t.sa;
    z = v.z * t.ca - v.x * t.sa;
    v.x = x;
    v.z = z;
    return v;
}

// The virtual cockpit's 3D view: the viewed object hidden while no 2D panel
// is shown. There the panels stand in the world's axes about the eye.
bool Cockpit3dView(void) { return (ViewFlags & VIEW_OPT_HIDE_VIEWED) && !(ViewFlags & VIEW_OPT_PANEL); }

Turn PanelTurn(void) {
    if (Cockpit3dView() || !Client_PlayerObject) return kNoTurn;
    return TurnOfAngles(Client_PlayerObject->angles);
}

// The eye ray's direction in world axes through the screen point (pixels).
Vec RayThrough(double x, double y) {
    const _DRAW_SURFACE& s = otw_State.screen;
    const Vec view = {x - s.centreXF / 128.0, -(y - s.centreYF / 128.0), (double)s.xScale};
    return ToWorld(CameraTurn(), view);
}

// Where the ray from the eye meets the panel, in texels: false when it runs
// parallel to the panel, meets it behind the eye or off the panel. The far
// edges (u = width, v = height) are on the panel.
bool PanelTest(const VcursorPanel* p, const Turn& frame, const Vec& ray, int32_t* u, int32_t* v) {
    const Vec axisU = ToWorld(frame, Of(p->uAxis)), axisV = ToWorld(frame, Of(p->vAxis));
    const Vec normal = ToWorld(frame, Of(p->normal)), corner = ToWorld(frame, Of(p->corners[0]));
    const double facing = Dot(normal, ray);
    if (facing == 0.0 || !std::isfinite(facing)) return false;
    const double t = Dot(normal, corner) / facing;
    if (!(t > 0.0) || !std::isfinite(t)) return false;
    const Vec d = {ray.x * t - corner.x, ray.y * t - corner.y, ray.z * t - corner.z};
    const double fu = Dot(axisU, d) * p->width, fv = Dot(axisV, d) * p->height;
    // Far outside the panel (or not a number): no integer to round to.
    if (!(std::fabs(fu) < 1e9) || !(std::fabs(fv) < 1e9)) return false;
    const int64_t iu = std::llround(fu), iv = std::llround(fv);
    if (iu < 0 || iu > p->width || iv < 0 || iv > p->height) return false;
    *u = (int32_t)iu;
    *v = (int32_t)iv;
    return true;
}

// Hidden while the 3D card draws; otherwise as the display mode wants it.
void SystemCursorRestore(void) {
    if (!hw3d_Active && vid_State.windowed)
        app_CursorShowAll();
    else
        app_CursorHideAll();
}

bool SystemCursorHidden(void) { return app_MouseTrack.cursorVisible == 0; }

// Out of the virtual cursor's views: the cursor gives way to the system's.
bool Disabled(void) {
    if (ViewFlags & VIEW_OPT_VCURSOR) {
        vcursor_Enabled = 1;
        return false;
    }
    vcursor_Enabled = 0;
    vcursor_ImageSet(2);
    SystemCursorRestore();
    return true;
}

}  // namespace

const VcursorPanel* vcursor_HudPanel(void) {
    for (const VcursorPanel* p = vcursor_PanelSet; p; p = p->next)
        if (p->number == 21) return p;
    return &kHudPanel;
}

const VcursorLabel* vcursor_PanelAt(const VcursorPanel* panel, int32_t u, int32_t v) {
    if (!panel || !panel->hitMap || !panel->labels) return nullptr;
    if (u < 0 || v < 0 || u >= panel->width || v >= panel->height) return nullptr;
    // The map's bytes are signed: a negative index or one past the panel's
    // labels is a spot with nothing on it.
    const int32_t index = (int8_t)panel->hitMap[(size_t)v * (size_t)panel->width + (size_t)u];
    if (index < 0 || index >= panel->labelCount) return nullptr;
    const VcursorLabel* label = &panel->labels[index];
    return label->text ? label : nullptr;
}

void vcursor_RayThroughCursor(float out[3]) {
    const Vec r = RayThrough(vcursor_X, vcursor_Y);
    out[0] = (float)r.x;
    out[1] = (float)r.y;
    out[2] = (float)r.z;
}

const VcursorLabel* vcursor_PanelPick(void) {
    vcursor_PanelNumber = vcursor_PanelU = vcursor_PanelV = -1;
    const Vec ray = RayThrough(vcursor_X, vcursor_Y);
    const Turn frame = PanelTurn();
    for (const VcursorPanel* p = vcursor_PanelSet; p; p = p->next) {
        int32_t u, v;
        if (!PanelTest(p, frame, ray, &u, &v)) continue;
        const VcursorLabel* label = vcursor_PanelAt(p, u, v);
        if (!label) continue;
        vcursor_PanelNumber = p->number;
        vcursor_PanelU = u;
        vcursor_PanelV = v;
        return label;
    }
    return nullptr;
}

int32_t vcursor_PanelPickId(void) { return vcursor_Item; }

void vcursor_FrameUpdate(void) {
    if (!vcursor_Data) return;
    const int32_t tick = (int32_t)app_TickCount.load(std::memory_order_acquire);
    if (tick == vcursor_Ticks) return;
    vcursor_Ticks = tick;
    if (Disabled()) return;
    vcursor_Track();
    vcursor_StatusDraw();
    if (vcursor_Counter != 0 && SystemCursorHidden() && !hw3d_Active) vcursor_DrawPrimary();
}

void vcursor_PanelHitUpdate(void) {
    if (!vcursor_Data || Disabled()) return;
    vcursor_Track();
    const VcursorLabel* label = vcursor_PanelPick();
    const int32_t before = vcursor_Item;
    if (label) {
        vcursor_Item = label->id;
        text_CopyZ(vcursor_Label, label->text, sizeof vcursor_Label);
        vcursor_ImageSet(1);
    } else {
        vcursor_Label[0] = 0;
        vcursor_Item = -1;
        vcursor_ImageSet(0);
    }
    if (vcursor_Item != before)
        plat_SimLog("cockpit", "vcursor pick id=%d label=\"%s\" panel=%d u=%d v=%d at=%d,%d", vcursor_Item,
                    vcursor_Label, vcursor_PanelNumber, vcursor_PanelU, vcursor_PanelV, vcursor_X, vcursor_Y);
    vcursor_StatusDraw();
    if (vcursor_Counter != 0 && SystemCursorHidden()) vcursor_Draw();
    vcursor_RenderedX = vcursor_X;
    vcursor_RenderedY = vcursor_Y;
}

void vcursor_ProjectPanel(const VcursorPanel* panel, FixScreenPoint out[4]) {
    const ObjectRecord* o = Client_PlayerObject;
    const bool inside = Cockpit3dView();
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
        FixVec3 camera = v;
        // Outside the 3D view the corner is placed at the eye and taken into
        // the camera's space.
        if (!inside) {
            const FixWorldPos& eye = view_State.position;
            FixWorldPos w = {eye.x + (uint32_t)v.x, eye.y + (uint32_t)v.y, eye.z + (uint32_t)v.z};
            draw_ToCameraSpace(&w, &camera);
        }
        fix_ProjectToScreen(&camera, &out[i]);
    }
}

void vcursor_ProjectPanelC(const VcursorPanel* panel, FixScreenPoint out[4]) { vcursor_ProjectPanel(panel, out); }
