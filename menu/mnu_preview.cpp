// The loadout screen's aircraft preview: its own surface over the screen
// with the preview rectangle as clip, the palette and shading it is drawn
// with, and the draw of the aircraft model with its stores through the
// orbit camera and the object renderer. The view selects the surface for
// the orbit camera, so the surface lives here apart from the screen.
#include <cstring>

#include "display/dsurf.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/rast.h"
#include "menu/loadout.h"
#include "render/object.h"
#include "render/render.h"
#include "render/view.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "world/pak.h"

_DRAW_SURFACE mnu_PreviewSurface = {};
PALREF* mnu_PreviewPalette = nullptr;

namespace {

constexpr int32_t kLeft = 16, kTop = 17, kWidth = 609, kHeight = 223;
// The preview lights its model with a wider range than the flight does:
// ambient 35 against a maximum of 68. The brightest lit row of the light
// tables is level 15 (byte 0x78); the rows above it blend into the fog
// colour, so the range is kept and its top put there.
constexpr int32_t kMaximum = 0x78, kAmbient = kMaximum * 35 / 68;
// The model is scaled so that its radius fills a quarter of the camera's
// starting distance, whatever size it was built at.
constexpr int64_t kFitRadius = 589824 / 4;
// Where the model stands while it is drawn: the middle of the world.
constexpr uint32_t kPlace = 0x40000000u;

struct Saved {
    int32_t ambient, maximum;
    int32_t stored;
} g_saved = {};

uint8_t* g_shadeTable = nullptr;

// The renderer's words the preview changes for its draw, put back after it.
struct ViewWords {
    ViewState state;
    int32_t yaw, pitch, roll, distance, placed, nearPlane, nearDistance;
    _DRAW_SURFACE surface;
    const uint8_t* shadeTables[2];
    const uint8_t* spanShade;
    int32_t spanRows;
};

void ViewSave(ViewWords* w) {
    w->state = view_State;
    w->yaw = view_LookYaw;
    w->pitch = view_LookPitch;
    w->roll = view_Words.lookRoll;
    w->distance = view_CameraDistance;
    w->placed = view_Words.cameraPlaced;
    w->nearPlane = view_NearPlane;
    w->nearDistance = ViewNearDistance;
    w->surface = draw_CurrentSurface;
    w->shadeTables[0] = render_ShadeTables[0];
    w->shadeTables[1] = render_ShadeTables[1];
    w->spanShade = poly_SpanState.shadeTable;
    w->spanRows = poly_SpanState.shadeRows;
}

void ViewRestore(const ViewWords& w) {
    view_State = w.state;
    view_LookYaw = w.yaw;
    view_LookPitch = w.pitch;
    view_Words.lookRoll = w.roll;
    view_CameraDistance = w.distance;
    view_Words.cameraPlaced = w.placed;
    view_NearPlane = w.nearPlane;
    ViewNearDistance = w.nearDistance;
    draw_SelectSurface(&w.surface);
    render_ShadeTables[0] = w.shadeTables[0];
    render_ShadeTables[1] = w.shadeTables[1];
    poly_SpanState.shadeTable = w.spanShade;
    poly_SpanState.shadeRows = w.spanRows;
}

// The preview rectangle over the current screen buffer; the projection
// centre is the rectangle's middle.
void SurfaceSetUp(void) {
    const _DRAW_SURFACE& screen = otw_ScreenSurface;
    _DRAW_SURFACE& s = mnu_PreviewSurface;
    draw_InitSurfaceDesc(&s, screen.base, 640, 480, 2);
    if (screen.base && screen.width == 640 && screen.height == 480 && screen.bytesPerPixel == 2)
        s.bytesPerRow = screen.bytesPerRow;
    else
        s.base = nullptr;  // not the menu's screen: nothing to draw on
    draw_SetSurfaceClip(&s, kLeft, kTop, kLeft + kWidth, kTop + kHeight);
    draw_CentreSurface(&s);
    s.centreXF += kLeft * 128;
    s.centreYF += kTop * 128;
}

// The renderer's scale word (twice the matrix scale) that fits the model.
int32_t FitScale(const _PAK_HEADER* model) {
    int64_t r = model->radius > 0 ? model->radius : 0x10000;
    int64_t s = 0x8000 * kFitRadius / r;
    if (s < 0x800) s = 0x800;
    if (s > 0x400000) s = 0x400000;
    return (int32_t)(s * 2);
}

// Each store hung on a station, drawn at the station's place on the model.
void StoresDraw(const ObjectRecord& aircraft) {
    if (!ord_Manager) return;
    for (_ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m; m = m->next) {
        if (m->attachedPart < 0) continue;
        _PAK_HEADER* store = ord_StationContent(m->attachedPart);
        if (!store) continue;
        int32_t at[3];
        if (ord_StationFind(m->attachedPart, at) != 0) continue;
        // The station points are halved; at the unscaled 0x8000 a model
        // unit is a world unit.
        ObjectRecord o = aircraft;
        o.model = store;
        const int64_t k = aircraft.scale / 2;
        o.position.x = aircraft.position.x + (uint32_t)(int32_t)(((int64_t)at[0] * 2 * k) >> 15);
        o.position.y = aircraft.position.y + (uint32_t)(int32_t)(((int64_t)at[1] * 2 * k) >> 15);
        o.position.z = aircraft.position.z + (uint32_t)(int32_t)(((int64_t)at[2] * 2 * k) >> 15);
        render_ObjectToViewSpaceC(&o);
        render_ObjectDrawC(&o);
    }
}

}  // namespace

void mnu_LoadoutPreviewSetUp(void) {
    pal_LightColour = {255, 255, 255};
    pal_RebuildAllPalrefs(128, 128, 128, 128, 128);
    if (mnu_PreviewPalette) pal_SelectPalref(mnu_PreviewPalette, 1);
    pal_SelectMatcher(PAL_MATCH_UNFLAGGED);
    g_shadeTable = pal_CreateShadeTable();
    SurfaceSetUp();
    if (!g_saved.stored) {
        g_saved = {render_Object.ambient, render_Object.maximum, 1};
    }
    render_Object.ambient = kAmbient;
    render_Object.maximum = kMaximum;
    render_LightDirectionSetC(33 << 16, 226 << 16, 170 << 16);
}

void mnu_LoadoutPreviewRestore(void) {
    if (g_saved.stored) {
        render_Object.ambient = g_saved.ambient;
        render_Object.maximum = g_saved.maximum;
        g_saved.stored = 0;
    }
    // The shade table and the palette go with the loadout's heap.
    g_shadeTable = nullptr;
    mnu_PreviewPalette = nullptr;
}

int32_t mnu_LoadoutPreviewDraw(_PAK_HEADER* model, int32_t yaw, int32_t pitch, int32_t distance) {
    SurfaceSetUp();
    if (!model || !mnu_PreviewSurface.base) return 0;
    ViewWords saved;
    ViewSave(&saved);
    // The rectangle is drawn anew: clear it first.
    draw_SelectSurface(&mnu_PreviewSurface);
    for (int32_t y = kTop; y < kTop + kHeight; y++)
        memset(mnu_PreviewSurface.base + (size_t)y * (size_t)mnu_PreviewSurface.bytesPerRow + (size_t)kLeft * 2, 0,
               (size_t)kWidth * 2);
    poly_SetPixelMode(POLY_MODE_16);
    if (g_shadeTable) {
        render_ShadeTables[0] = render_ShadeTables[1] = g_shadeTable;
        poly_SpanState.shadeTable = g_shadeTable;
        poly_SpanState.shadeRows = PAL_SHADE_ROWS;
    }
    _PAK_HEADER* aircraftModel = ord_AircraftModel;
    ord_AircraftModel = model;
    ord_PreviewEnabled = 1;
    ord_PreviewAttach();

    ObjectRecord aircraft{};
    aircraft.model = model;
    aircraft.position = {kPlace, kPlace, kPlace};
    aircraft.drawFlags = RENDER_DRAW_NO_CULL | RENDER_DRAW_SCALED;
    aircraft.scale = FitScale(model);
    view_LookYaw = yaw;
    view_LookPitch = pitch;
    view_Words.lookRoll = 0;
    view_CameraDistance = distance;
    view_Words.cameraPlaced = 0;
    view_NearPlane = ViewNearDistance = 0x1000;
    view_OrbitCameraSetC(&aircraft);
    const FixAngles& a = view_State.angles;
    fix_SinCosAngles((int32_t)(0u - (uint32_t)a.heading), (int32_t)(0u - (uint32_t)a.pitch),
                     (int32_t)(0u - (uint32_t)a.roll), &view_State.viewMatrix);
    render_ObjectToViewSpaceC(&aircraft);
    int32_t drawn = render_ObjectDrawC(&aircraft);
    StoresDraw(aircraft);

    ord_PreviewDetach();
    ord_PreviewEnabled = 0;
    ord_AircraftModel = aircraftModel;
    ViewRestore(saved);
    return drawn;
}
