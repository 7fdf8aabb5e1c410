// The cockpit's avionics art: the gauge images and masks, the panel file,
// the background buffers that restore a panel before its gauges are
// redrawn, the gauges themselves, the green colour tables, the glass
// reflection, the sensor image and the HUD glass, the radar sweep picture
// and the stores summary of the status page.
#include "cockpit/avionkrx.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/file.h"
#include "base/mem.h"
#include "base/units.h"
#include "cockpit/avion.h"
#include "cockpit/avion_cue.h"
#include "cockpit/avion_gauge.h"
#include "cockpit/avion_panel.h"
#include "cockpit/hud.h"
#include "cockpit/mfd.h"
#include "cockpit/vcp.h"
#include "cockpit/vcursor.h"
#include "display/draw3d.h"
#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "display/rast.h"
#include "display/vid.h"
#include "net/client.h"
#include "platform/simlog.h"
#include "render/view.h"
#include "shell/fatal.h"
#include "sim/flight_jet.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "world/level.h"
#include "world/pak.h"
#include "world/reloc.h"

uint8_t* avionkrx_Backgrounds[AVIONKRX_BACKGROUNDS];
_PAK_HEADER* avionkrx_GlassModel = nullptr;
uint8_t* avionicScratchBuffer = nullptr;
uint8_t* avionkrxRadarBuffer = nullptr;
uint8_t* avionLantirnTerrainGreenTable = nullptr;
uint8_t* avionLantirnObjectGreenTable = nullptr;
uint8_t* crtGreenTable = nullptr;
uint32_t crtGreenTable16[256];
uint8_t avion_SensorImage[AVION_SENSOR_SIZE * AVION_SENSOR_SIZE];
uint8_t avion_NoiseTable[1024];
int32_t avion_HudGlassEnabled = 1;
int32_t avion_HudGlassSuppressed = 0;
int32_t avion_RadarRange = 0;
int32_t avion_SweepPosition = 0;
int32_t avion_SweepDirection = 1;
int32_t avion_ThreatStrength[9];
int32_t avion_ThreatLevel[9];

namespace {

const char kLoader[] = "avionkrx_LoadAvionicAssets";

// Images the gauges copy from, found in the texture table once registered.
enum : int32_t {
    IMG_ALT_NUMB, IMG_INHGNUMB, IMG_HSI_DISK, IMG_HOR_BALL, IMG_AOA_A, IMG_AOA_B, IMG_AOA_C, IMG_AOA_STRP,
    IMG_VVI_STRP, IMG_BHORBALL, IMG_FFIANUMB, IMG_FFI_NUMB, IMG_CPSSTRP, IMG_KRXGEAR, IMG_REFL, IMAGES
};
const char* const kImageNames[IMAGES] = {"ALT_NUMB.PCX", "INHGNUMB.PCX", "HSI_DISK.PCX", "HOR_BALL.PCX",
                                         "AOA_A.PCX",    "AOA_B.PCX",    "AOA_C.PCX",    "AOA_STRP.PCX",
                                         "VVI_STRP.PCX", "BHORBALL.PCX", "FFIANUMB.PCX", "FFI_NUMB.PCX",
                                         "CPSSTRP.PCX",  "KRXGEAR.PCX",  "KRX_REFL.PCX"};
// Registered with the full-size and textured flags.
constexpr uint16_t kImageFlags = 1032;

struct Image {
    const uint8_t* pixels;  // null: not found, the gauge is skipped
    int32_t width, height;
};
Image g_images[IMAGES];

enum : int32_t {
    MASK_ALT, MASK_HSI, MASK_HOR, MASK_AOA, MASK_VVI, MASK_TWS, MASK_BHOR, MASK_FFIA, MASK_FFI, MASK_CPSS, MASKS
};
struct MaskRow {
    const char* name;
    int32_t width, height;
};
const MaskRow kMasks[MASKS] = {{"ALT_MASK.PCX", 12, 16},  {"HSI_MASK.PCX", 84, 83},   {"HOR_MASK.PCX", 76, 75},
                               {"AOA_MASK.PCX", 24, 70},  {"VVI_MASK.PCX", 24, 70},   {"TWS_MASK.PCX", 128, 128},
                               {"BHORMASK.PCX", 100, 99}, {"FFIAMASK.PCX", 8, 12},    {"FFI_MASK.PCX", 8, 24},
                               {"CPSSMASK.PCX", 32, 11}};
struct Mask {
    uint8_t* pixels;  // 5-bit levels
    int32_t rowWidth;
};
Mask g_masks[MASKS];

AvionPanelSet g_panels;
char g_cockpitName[16];
char g_glassName[16];

// --- background buffers -----------------------------------------------------

struct BackgroundRow {
    const char* name;
    int32_t view;
    int32_t bytes;
    int32_t restore;  // bytes copied back; 0 the whole buffer
};
const BackgroundRow kBackgrounds[] = {
    {"centerConsoleHorzBackgroundBuffer", 4, 16384, 0},   {"centerConsoleAltBackgroundBuffer", 15, 16384, 16384},
    {"centerConsoleAOABackgroundBuffer", 16, 8192, 0},    {"centerConsoleVVIBackgroundBuffer", 17, 8192, 0},
    {"centerConsoleMachBackgroundBuffer", 14, 16384, 16384}, {"upperRightConsoleBackgroundBuffer", 2, 32768, 0},
    {"rightGaugesBackgroundBuffer1", 7, 1024, 0},         {"rightGaugesBackgroundBuffer2", 10, 4096, 0},
    {"rightGaugesBackgroundBuffer3", 11, 16384, 0},       {"rightGaugesBackgroundBuffer4", 12, 16384, 0},
    {"crotchoBackgroundBuffer", 6, 16384, 0},             {"mfdLeftBackgroundBuffer", 3, 65536, 0},
    {"mfdRightBackgroundBuffer", 5, 65536, 0},                {"indexerBackgroundBuffer", 18, 2048, 0},
    {"stickBackgroundBuffer", 19, 16384, 16384},          {"twsBackgroundBuffer", 20, 16384, 16384},
    {"gearBackgroundBuffer", 24, 16384, 0},
};
constexpr int32_t kBackgroundCount = (int32_t)(sizeof kBackgrounds / sizeof kBackgrounds[0]);
static_assert(kBackgroundCount <= AVIONKRX_BACKGROUNDS);
// The buffers, as allocated.
uint8_t* g_owned[kBackgroundCount];
int32_t g_ownedBytes[kBackgroundCount];
bool g_backgroundsBuilt = false;

void BackgroundsFree(void) {
    for (int32_t i = 0; i < kBackgroundCount; i++) {
        free(g_owned[i]);
        g_owned[i] = nullptr;
        g_ownedBytes[i] = 0;
        avionkrx_Backgrounds[i] = nullptr;
    }
    g_backgroundsBuilt = false;
}

void BackgroundsBuild(void) {
    for (int32_t i = 0; i < kBackgroundCount; i++) {
        const BackgroundRow& row = kBackgrounds[i];
        const VcpView& v = vcp_Views[row.view - 1];
        const uint8_t* image = pak_TextureFind(vcp_NightByte ? v.nightImage : v.dayImage);
        if (!image) continue;
        const int32_t have = pak_TextureWidth * pak_TextureHeight;
        uint8_t* copy = static_cast<uint8_t*>(calloc(1, (size_t)row.bytes));
        if (!copy) app_FatalErrorBox("avionkrx_RestoreLoresBackgrounds", row.name);
        memcpy(copy, image, (size_t)std::min(have, row.bytes));
        g_owned[i] = avionkrx_Backgrounds[i] = copy;
        g_ownedBytes[i] = std::min(have, row.bytes);
    }
    g_backgroundsBuilt = true;
}

// --- the current sample of the aircraft -----------------------------------

struct Aircraft {
    AvionGaugeSample s;
    float aoa;
    int32_t limit;
    float mach;
    float fuelFlow;       // the drums' f
    float feet;
    bool gearMoving;
    const ObjectRecord* object;
};

float AngleUnits(uint32_t angle) { return (float)((angle & 0x1FFFFFF) >> 16) + (float)(angle & 0xFFFF) / 65536.0f; }

Aircraft Sample(void) {
    Aircraft a{};
    const ObjectRecord* o = Client_PlayerObject;
    a.object = o;
    if (o) {
        a.s.heading = AngleUnits((uint32_t)o->angles.heading);
        a.s.pitch = AngleUnits((uint32_t)o->angles.pitch);
        a.s.roll = AngleUnits((uint32_t)o->angles.roll);
        a.feet = (float)((int32_t)o->position.y / 4096);
    }
    if (plane_Current) {
        _PLANE_JET* jet = jet_Record(plane_Current);
        const JetState& st = jet->state;
        a.s.airspeed = st.knots;
        a.mach = a.s.mach = st.mach;
        // The angle of attack in twentieths of a radian-free scale: 1 = 20 degrees.
        a.aoa = st.relPitch / 20.0f;
        a.limit = st.stall ? (st.relPitch > 0.0f ? -1 : 1) : 0;
        a.s.aoa = avion_AoaTape(a.aoa, a.limit);
        a.s.category = avion_AoaCategory(a.aoa, a.limit);
        a.s.vvi = avion_VviTape(plane_Current->velocity.y);
        a.fuelFlow = (st.engine.dryCopy * jet->params.fuelDry + st.engine.afterburnerCopy * jet->params.fuelAfterburner) *
                     316800.0f;
        if (!std::isfinite(a.fuelFlow) || a.fuelFlow < 0.0f) a.fuelFlow = 0.0f;
        a.s.fuelFlow = a.fuelFlow;
        a.s.nozzle = avion_NozzleNeedle(st.engine.afterburner);
        a.s.rpm = avion_RpmNeedle(st.engine.rpm);
        a.s.temperature = avion_TemperatureNeedle(st.engine.temperature);
        a.gearMoving = st.gear.command != st.gear.actual;
        a.s.gearBits = (a.gearMoving ? 1 : 0) | ((plane_Current->flags & JET_GEAR_DOWN) ? 2 : 0);
    } else {
        a.s.category = 2;
    }
    a.s.altitude = a.feet;
    a.s.fuel = avion_FuelNeedle(ord_Manager ? ord_Manager->fuelWithInternal : 0.0f);
    return a;
}

// --- drawing primitives into the current panel ----------------------------

bool PanelReady(void) { return vcp_PanelTarget && vcp_CurrentPixels && draw_CurrentSurface.base; }

void BlitSetup(const uint8_t* source, int32_t rowWidth, int32_t rows) {
    draw_SetBlitSource(const_cast<uint8_t*>(source), rowWidth);
    draw_SetBlitSourceRows(rows);
    draw_SetBlitDest(vcp_CurrentPixels, draw_CurrentSurface.width);
    draw_Context.sourceDepth = 8;
}

// A window of an image through a mask (or with colour 0 transparent when
// the mask is null) at (x, y); the source starts at (sx, sy) and is cut to
// the image.
void Window(const Image& im, const Mask* mask, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy) {
    if (!im.pixels || !PanelReady()) return;
    sx = std::clamp(sx, 0, std::max(0, im.width - 1));
    sy = std::clamp(sy, 0, std::max(0, im.height - 1));
    w = std::min(w, im.width - sx);
    h = std::min(h, im.height - sy);
    if (w <= 0 || h <= 0) return;
    BlitSetup(im.pixels + (size_t)sy * im.width + sx, im.width, im.height - sy);
    if (mask && mask->pixels) {
        draw_SetBlitShadeMap(mask->pixels, mask->rowWidth);
        draw_SetBlitShadeMapRows(h);
        draw_BlitShadedMasked(x, y, w, h, 0, 0);
    } else {
        draw_BlitTransparent(x, y, w, h, 0, 0);
    }
}

// A vertical strip seen through the window: the value's row at the top.
void Strip(int32_t image, int32_t mask, int32_t x, int32_t y, int32_t w, int32_t h, float value, float scale,
           int32_t offset) {
    const int32_t row = (int32_t)std::lround(value * scale) + offset;
    Window(g_images[image], mask >= 0 ? &g_masks[mask] : nullptr, x, y, w, h, 0, row);
}

// Digit drums of one strip image (ten digits and a second zero, pitch rows
// apart), left to right from (x, y).
void Drums(int32_t image, int32_t mask, int32_t x, int32_t y, int32_t w, int32_t pitch, float value, int32_t count) {
    float digits[6];
    count = std::min(count, 6);
    avion_DrumDigits(value, count, digits);
    for (int32_t i = 0; i < count; i++)
        Strip(image, mask, x + i * w, y, w, kMasks[mask].height, digits[i], (float)pitch, 0);
}

uint8_t NeedleColour(void) { return vcp_NightByte ? 106 : (vcp_WhiteIndex ? vcp_WhiteIndex : 15); }

// A needle about (cx, cy) pixels: tip at length, tail behind, width across,
// at angle (1/512 turn, clockwise from up).
void Needle(float cx, float cy, float length, float tail, float width, float angle, uint8_t colour) {
    if (!PanelReady() || !std::isfinite(angle)) return;
    const float r = angle * 6.2831853f / 512.0f;
    const float s = std::sin(r), c = std::cos(r);
    auto at = [&](float along, float across) {
        PolyVertex v{};
        v.x = (int32_t)std::lround((cx + s * along + c * across) * 128.0f);
        v.y = (int32_t)std::lround((cy - c * along + s * across) * 128.0f);
        return v;
    };
    const PolyVertex tip = at(length, 0.0f), left = at(0.0f, -width), right = at(0.0f, width), back = at(-tail, 0.0f);
    auto tri = [&](PolyVertex a, PolyVertex b, PolyVertex d) {
        const int64_t cross = (int64_t)(b.x - a.x) * (d.y - a.y) - (int64_t)(b.y - a.y) * (d.x - a.x);
        if (cross < 0) std::swap(b, d);
        poly_SpanState.renderFlags = 0;
        poly_DrawPolygon(&a, &b, &d, vcp_CurrentPixels, colour);
    };
    tri(tip, left, right);
    if (tail > 0.0f) tri(back, right, left);
}

// The ball or disk turned by roll and scrolled to row, through its mask, at
// (x, y): rendered into the scratch area first.
void Ball(int32_t image, int32_t mask, int32_t x, int32_t y, float roll, float row) {
    const Image& im = g_images[image];
    const Mask& m = g_masks[mask];
    if (!im.pixels || !m.pixels || !avionicScratchBuffer || !PanelReady() || !std::isfinite(roll) ||
        !std::isfinite(row))
        return;
    const int32_t w = kMasks[mask].width, h = kMasks[mask].height;
    const float r = roll * 6.2831853f / 512.0f, s = std::sin(r), c = std::cos(r);
    const float cx = (w - 1) / 2.0f, cy = (h - 1) / 2.0f, icx = (im.width - 1) / 2.0f;
    for (int32_t j = 0; j < h; j++)
        for (int32_t i = 0; i < w; i++) {
            const float dx = i - cx, dy = j - cy;
            const int32_t u = (int32_t)std::lround(icx + c * dx + s * dy);
            const int32_t v = (int32_t)std::lround(row - s * dx + c * dy);
            uint8_t px = 0;
            if (u >= 0 && u < im.width) {
                const int32_t vv = ((v % im.height) + im.height) % im.height;
                px = im.pixels[(size_t)vv * im.width + u];
            }
            avionicScratchBuffer[j * w + i] = px;
        }
    BlitSetup(avionicScratchBuffer, w, h);
    draw_SetBlitShadeMap(m.pixels, m.rowWidth);
    draw_SetBlitShadeMapRows(h);
    draw_BlitShadedMasked(x, y, w, h, 0, 0);
}

// --- the gauges, by cockpit view ------------------------------------------

void Attitude(int32_t image, int32_t mask, int32_t x, int32_t y, const Aircraft& a) {
    // The horizon row of the ball image lies at its middle; a turn of pitch
    // spans the image's height.
    const Image& im = g_images[image];
    const float pitch = std::fmod(512.0f - a.s.pitch, 512.0f);
    Ball(image, mask, x, y, a.s.roll, (pitch + 256.0f) * (float)im.height / 512.0f);
}

void FuelFlowDrums(const Aircraft& a) {
    Drums(IMG_FFI_NUMB, MASK_FFI, 150, 40, 8, 12, a.fuelFlow / 100.0f, 3);
    // Two fixed zeros below the hundreds.
    for (int32_t i = 0; i < 2; i++) Strip(IMG_FFIANUMB, MASK_FFIA, 174 + 8 * i, 46, 8, 12, 0.0f, 12.0f, 0);
}

void Hsi(const Aircraft& a) {
    Ball(IMG_HSI_DISK, MASK_HSI, 22, 22, -a.s.heading, (float)(g_images[IMG_HSI_DISK].height - 1) / 2.0f);
    const ObjectRecord* o = a.object;
    MathVec3 point;
    if (!o || plane_WaypointPoint(o, &point) != 0) return;
    FixWorldPos to;
    fix_FloatToWorld(&point, &to);
    int32_t bearing = 0;
    avion_BearingC(&o->position, &to, &bearing);
    const int32_t relative = (int32_t)(((uint32_t)bearing - (uint32_t)o->angles.heading) << 7) >> 7;
    float degrees = (float)relative * 360.0f / 33554432.0f;
    if (degrees < 0.0f) degrees += 360.0f;
    const float angle = (float)(degrees * 93205.296875 / 65536.0);
    const uint8_t colour = NeedleColour();
    Needle(64, 64, 34, 0, 2, angle, colour);
    Needle(64, 64, -10, 34, 2, angle, colour);
    Needle(64, 64, 8, 8, 1, angle + 128.0f, colour);
    const double dx = (double)(int32_t)(to.x - o->position.x), dz = (double)(int32_t)(to.z - o->position.z);
    const float range = (float)std::sqrt((dx * dx + dz * dz) * 4.6238753e-8);
    Drums(IMG_ALT_NUMB, MASK_ALT, 2, 2, 12, 16, std::min(range * 10.0f, 9999.9f), 4);
    Drums(IMG_ALT_NUMB, MASK_ALT, 90, 2, 12, 16, degrees, 3);
}

void Altimeter(const Aircraft& a) {
    const int32_t feet = (int32_t)a.feet;
    Drums(IMG_ALT_NUMB, MASK_ALT, 46, 30, 12, 16, std::max(0, feet) / 100.0f, 3);
    Needle(64, 64, 44, 8, 2, avion_AltimeterPointer(feet), NeedleColour());
    if (g_images[IMG_INHGNUMB].pixels)
        Drums(IMG_INHGNUMB, MASK_ALT, 40, 84, 12, 16, avion_PressureSetting(std::max(0, feet)) * 100.0f, 4);
}

void Airspeed(const Aircraft& a) {
    const uint8_t colour = NeedleColour();
    float mach;
    if (avion_MachNeedle(a.mach, &mach)) Needle(64, 64, 30, 0, 2, mach, colour);
    Needle(64, 64, 46, 8, 2, avion_AirspeedNeedle(a.s.airspeed), colour);
}

void Gear(const Aircraft& a) {
    const Image& im = g_images[IMG_KRXGEAR];
    if (!im.pixels) return;
    const int32_t frame = im.height / 2;
    if (a.gearMoving) Window(im, nullptr, 32, 32, im.width, frame, 0, 0);
    else if (a.s.gearBits & 2) Window(im, nullptr, 32, 32, im.width, frame, 0, frame);
}

void Indexer(const Aircraft& a) {
    const int32_t image = a.s.category == 1 ? IMG_AOA_A : a.s.category == 2 ? IMG_AOA_B : IMG_AOA_C;
    Window(g_images[image], nullptr, 0, 0, 32, 64, 0, 0);
}

}  // namespace

void avionkrx_GaugesDraw(int32_t view, int32_t routine) {
    if (!PanelReady()) return;
    const Aircraft a = Sample();
    const uint8_t colour = NeedleColour();
    if (routine == 0) plat_SimLog("panel", "repaint %d", view);
    switch (view) {
    case 2:
        if (routine == 0) Attitude(IMG_BHORBALL, MASK_BHOR, 20, 20, a);
        else FuelFlowDrums(a);
        break;
    case 4: Attitude(IMG_HOR_BALL, MASK_HOR, 26, 26, a); break;
    case 6: Hsi(a); break;
    case 10: Needle(32, 32, 24, 4, 2, a.s.nozzle, colour); break;
    case 11: Needle(64, 64, 46, 8, 2, a.s.rpm, colour); break;
    case 12: Needle(64, 64, 46, 8, 2, a.s.temperature, colour); break;
    case 14: Airspeed(a); break;
    case 15: Altimeter(a); break;
    case 16: Strip(IMG_AOA_STRP, MASK_AOA, 52, 29, 24, 70, a.s.aoa, 60.0f, 93); break;
    case 17: Strip(IMG_VVI_STRP, MASK_VVI, 52, 29, 24, 70, a.s.vvi, 18.0f, 93); break;
    case 18: Indexer(a); break;
    case 19:
        if (routine == 0) {
            const Image& im = g_images[IMG_CPSSTRP];
            Window(im, &g_masks[MASK_CPSS], 48, 4, 32, 11, (int32_t)a.s.heading, 0);
        } else {
            Needle(64, 90, 26, 4, 2, a.s.fuel, colour);
        }
        break;
    case 20: vcp_DrawThreatPanel(); break;
    case 24: Gear(a); break;
    default: break;
    }
}

void avionkrx_ThreatMaskDraw(void) {
    const Mask& m = g_masks[MASK_TWS];
    if (!m.pixels || !PanelReady()) return;
    BlitSetup(mfd_ThreatBuffer, 128, 128);
    draw_SetBlitShadeMap(m.pixels, m.rowWidth);
    draw_SetBlitShadeMapRows(128);
    draw_BlitShadedMasked(0, 0, 128, 128, 0, 0);
}

void avionkrx_GaugeChangeDetect(void) { avion_GaugeChangeDetectSample(Sample().s, vcp_CockpitPanel); }

// --- restore --------------------------------------------------------------

void avionkrx_RestoreLoresBackgrounds(void) {
    if (!g_backgroundsBuilt) BackgroundsBuild();
    if (!vcp_PanelTarget || !vcp_CurrentPixels) return;
    const int32_t view = vcp_CockpitPanel;
    const size_t room = (size_t)std::max(0, draw_CurrentSurface.width) * (size_t)std::max(0, draw_CurrentSurface.height);
    for (int32_t i = 0; i < kBackgroundCount; i++) {
        if (kBackgrounds[i].view != view || !g_owned[i]) continue;
        const int32_t n = kBackgrounds[i].restore ? std::min(kBackgrounds[i].restore, g_ownedBytes[i]) : g_ownedBytes[i];
        memcpy(vcp_CurrentPixels, g_owned[i], std::min<size_t>((size_t)n, room));
        return;
    }
}

// --- load and release -----------------------------------------------------

void Avion_InitGeneralAvionics(void) {
    if (!avionicScratchBuffer) {
        avionicScratchBuffer = static_cast<uint8_t*>(malloc(AVION_SCRATCH_BYTES));
        if (!avionicScratchBuffer) app_FatalErrorBox("Avion_InitGeneralAvionics", "avionicScratchBuffer");
    }
    vcp_NightByte = 0;
    avion_DisplayStateReset();
}

namespace {

void ImagesRegister(bool glass) {
    for (int32_t i = 0; i < IMAGES; i++) {
        g_images[i] = Image{};
        if (i == IMG_REFL && !glass) continue;
        PakFace face{};
        snprintf(face.name, sizeof face.name, "%s", kImageNames[i]);
        face.flags = kImageFlags;
        pak_MaterialAdd(&face);
        if (!face.texture || face.texture == pak_Textures.defaultTexture) continue;
        for (int32_t e = 0; e < pak_Textures.count && e < PAK_TEXTURE_ENTRIES; e++)
            if (pak_Textures.entries[e].image == face.texture) {
                g_images[i] = {face.texture, pak_Textures.entries[e].width, pak_Textures.entries[e].height};
                break;
            }
    }
}

void MasksFree(void) {
    for (Mask& m : g_masks) {
        if (m.pixels) mem_Free(m.pixels);
        m = Mask{};
    }
}

void MasksLoad(void) {
    for (int32_t i = 0; i < MASKS; i++) {
        const MaskRow& row = kMasks[i];
        uint8_t* pixels = pcx_Load(row.name);
        // A mask smaller than its gauge window would be read past its end.
        if (pixels && (pal_Second.width < row.width || pal_Second.height < row.height)) {
            mem_Free(pixels);
            pixels = nullptr;
        }
        if (!pixels) app_FatalErrorBox(kLoader, row.name);
        pak_ColourBytesTo5Bit(pixels, pal_Second.width, pal_Second.height);
        g_masks[i] = {pixels, pal_Second.width};
    }
}

void PanelsLoad(void) {
    avion_PanelSetFree(&g_panels);
    vcursor_PanelSet = nullptr;
    RelocBlock* block = level_RelocFileLoad(AVION_PANEL_FILE);
    const int32_t result = block ? avion_PanelSetRead(block, &g_panels) : -1;
    if (block) mem_Free(block);
    if (result != 0) app_FatalErrorBox(kLoader, AVION_PANEL_FILE);
    vcursor_PanelSet = g_panels.count ? g_panels.panels : nullptr;
}

void Release(void) {
    if (g_glassName[0]) pak_Release(g_glassName);
    g_glassName[0] = 0;
    avionkrx_GlassModel = nullptr;
    if (g_cockpitName[0]) pak_Release(g_cockpitName);
    g_cockpitName[0] = 0;
    view_CockpitModel = nullptr;
    vcp_Available = 0;
    for (Image& im : g_images) im = Image{};
    MasksFree();
    BackgroundsFree();
    vcursor_PanelSet = nullptr;
    avion_PanelSetFree(&g_panels);
    free(avionLantirnTerrainGreenTable);
    free(avionLantirnObjectGreenTable);
    free(crtGreenTable);
    avionLantirnTerrainGreenTable = avionLantirnObjectGreenTable = crtGreenTable = nullptr;
    free(avionkrxRadarBuffer);
    avionkrxRadarBuffer = nullptr;
    free(avionicScratchBuffer);
    avionicScratchBuffer = nullptr;
}

}  // namespace

void avionkrx_LoadAvionicAssets(void) {
    Release();
    mfd_PagesReset();
    Avion_InitGeneralAvionics();
    vcp_NightByte = level_Night == 1 ? 1 : 0;
    const char* name = vcp_NightByte ? plane_CurrentDescriptor.cockpitNightModel : plane_CurrentDescriptor.cockpitModel;
    // A type without a virtual cockpit on disk flies without the panels.
    if (!name[0] || !file_Exists(name)) return;
    view_CockpitModel = pak_Load(name);
    if (!view_CockpitModel) return;
    snprintf(g_cockpitName, sizeof g_cockpitName, "%.15s", name);
    vcp_Available = 1;
    PALREF* palette = view_CockpitModel->palette;
    const char* glass = plane_CurrentDescriptor.glassModel;
    if (hw3d_Active && glass[0] && file_Exists(glass)) {
        avionkrx_GlassModel = pak_LoadPakEx(glass, palette ? g_cockpitName : nullptr, palette);
        if (avionkrx_GlassModel) snprintf(g_glassName, sizeof g_glassName, "%.15s", glass);
    }
    if (palette) pal_SetMatchMask(palette->working, palette->flags);
    pal_SelectMatcher(vcp_NightByte ? PAL_MATCH_FLAGGED : PAL_MATCH_UNFLAGGED);
    ImagesRegister(avionkrx_GlassModel != nullptr);
    MasksLoad();
    PanelsLoad();
    mem_FillDwords(avionicScratchBuffer, 0x1B1B1B1Bu, AVION_SCRATCH_BYTES);
    avionkrxRadarBuffer = static_cast<uint8_t*>(malloc(AVION_RADAR_BYTES));
    if (!avionkrxRadarBuffer) app_FatalErrorBox(kLoader, "avionkrxRadarBuffer");
    mem_FillDwords(avionkrxRadarBuffer, 0x1B1B1B1Bu, AVION_RADAR_BYTES);
    avion_GaugeDrawn = AvionGaugeSample{};
    avionkrx_InitGreenTable();
    avion_CueSystemsReset();
    memset(vcp_DirtyFlags, 1, sizeof vcp_DirtyFlags);
}

void avionkrx_ReleaseAvionicAssets(void) {
    Release();
    mfd_PagesReset();
}


// --- green tables ---------------------------------------------------------

void avionkrx_InitGreenTable(void) {
    if (!crtGreenTable) {
        crtGreenTable = static_cast<uint8_t*>(malloc(256));
        if (!crtGreenTable) app_FatalErrorBox("avionkrx_InitGreenTable", "crtGreenTable");
        for (int32_t i = 0; i < 256; i++) crtGreenTable[i] = (uint8_t)pal_NearestIndex(i / 5, i, i / 5);
    }
    if (!avionLantirnObjectGreenTable || !avionLantirnTerrainGreenTable) {
        uint8_t row[256];
        for (int32_t c = 0; c < 256; c++) {
            const uint8_t* rgb = pal_Current.palette + 3 * c;
            row[c] = crtGreenTable[(rgb[0] * 2 + rgb[1] * 5 + rgb[2]) / 8];
        }
        row[0] = crtGreenTable[0];
        if (!avionLantirnObjectGreenTable) {
            avionLantirnObjectGreenTable = static_cast<uint8_t*>(malloc(8192));
            if (!avionLantirnObjectGreenTable) app_FatalErrorBox("avionkrx_InitGreenTable", "avionLantirnObjectGreenTable");
            for (int32_t r = 0; r < 32; r++) memcpy(avionLantirnObjectGreenTable + 256 * r, row, 256);
        }
        if (!avionLantirnTerrainGreenTable) {
            avionLantirnTerrainGreenTable = static_cast<uint8_t*>(malloc(65536));
            if (!avionLantirnTerrainGreenTable)
                app_FatalErrorBox("avionkrx_InitGreenTable", "avionLantirnTerrainGreenTable");
            for (int32_t r = 0; r < 256; r++) memcpy(avionLantirnTerrainGreenTable + 256 * r, row, 256);
        }
    }
    // The 16-bit green shades follow the current pixel format.
    const PalMaskSet& m = pal_Second.masks[0];
    for (int32_t i = 0; i < 256; i++) {
        const int32_t g = m.greenWidth > 0 && m.greenWidth < 8 ? i >> (8 - m.greenWidth) : i;
        const int32_t r = m.redWidth > 0 && m.redWidth < 8 ? (i / 5) >> (8 - m.redWidth) : i / 5;
        const int32_t b = m.blueWidth > 0 && m.blueWidth < 8 ? (i / 5) >> (8 - m.blueWidth) : i / 5;
        crtGreenTable16[i] = ((uint32_t)(r << m.redShift) & (uint32_t)m.redMask) |
                             ((uint32_t)(g << m.greenShift) & (uint32_t)m.greenMask) |
                             ((uint32_t)(b << m.blueShift) & (uint32_t)m.blueMask);
    }
}

// --- glass reflection -----------------------------------------------------

void avionkrx_GlassReflectionRefresh(void) {
    const Image& refl = g_images[IMG_REFL];
    if (!refl.pixels) return;
    const char* key = vcp_NightByte ? "krxvrtcn:KRXGLASB.PCX" : "krxvrtc:KRXGLASB.PCX";
    uint8_t* glass = const_cast<uint8_t*>(pak_TextureFind(key));
    if (!glass) return;
    const int32_t w = pak_TextureWidth, h = pak_TextureHeight;
    const bool locked = otw_State.locked != 0;
    if (locked) otw_UnlockSurface();
    for (int32_t y = 0; y < h && y < refl.height; y++)
        memcpy(glass + (size_t)y * w, refl.pixels + (size_t)y * refl.width, (size_t)std::min(w, refl.width));
    if (hw3d_Active && hw3d_Descriptor.uploadImage) {
        if (PakTextureImage* e = pak_TextureEntryFind(key)) hw3d_Descriptor.uploadImage(e, nullptr, 0, 0);
    }
    if (locked) otw_LockSurface();
}

// --- sensor image and HUD glass -------------------------------------------

void avion_SensorMapMark(ObjectRecord* object) {
    if (!object) return;
    FixVec3 camera;
    draw_ToCameraSpace(&object->position, &camera);
    if (camera.z <= 4096) return;
    FixScreenPoint p;
    draw_ProjectToScreen(&camera, &p);
    const int32_t width = draw_CurrentSurface.width > 0 ? draw_CurrentSurface.width : 1;
    avion_SensorMarkCell((int32_t)((int64_t)p.x * AVION_SENSOR_SIZE / width),
                         (int32_t)((int64_t)p.y * AVION_SENSOR_SIZE / width));
}

void avion_SensorMarkCell(int32_t x, int32_t y) {
    constexpr int32_t n = AVION_SENSOR_SIZE;
    if (x < 0 || y < 0 || x >= n || y >= n) return;
    uint8_t* image = avion_SensorImage;
    image[y * n + x] = 255;
    image[y * n + (x + 1) % n] = 128;
    image[y * n + (x + n - 1) % n] = 128;
    image[((y + 1) % n) * n + x] = 128;
    image[((y + n - 1) % n) * n + x] = 128;
}

namespace {

void GlassQuad(const FixScreenPoint c[4], uint8_t* destination) {
    auto vertex = [](const FixScreenPoint& p) {
        PolyVertex v{};
        v.x = p.x;
        v.y = p.y;
        v.colour = 128u << 16;
        return v;
    };
    auto tri = [&](PolyVertex a, PolyVertex b, PolyVertex d) {
        const int64_t cross = (int64_t)(b.x - a.x) * (d.y - a.y) - (int64_t)(b.y - a.y) * (d.x - a.x);
        if (cross < 0) std::swap(b, d);
        poly_DrawPolygonTex(&a, &b, &d, destination, 0x80, vcp_NightByte ? POLY_DARKEN : POLY_TRANSLUCENT);
    };
    // The outline runs 0-1-3-2.
    tri(vertex(c[0]), vertex(c[1]), vertex(c[3]));
    tri(vertex(c[0]), vertex(c[3]), vertex(c[2]));
}

}  // namespace

void avion_HudGlassDraw(void) {
    if (!HudShownFlag || !avion_HudGlassEnabled || avion_HudGlassSuppressed) return;
    for (uint8_t& b : avion_SensorImage) b >>= 1;
    for (uint8_t& b : avion_NoiseTable) b = (uint8_t)(16 + (poly_NextRandom() & 15));
    // The software fill needs its translucency table and a surface to draw on.
    uint8_t* destination = draw_CurrentSurface.base;
    if (hw3d_Active || !destination || !poly_SpanState.blendTable || draw_CurrentSurface.bitsPerPixel != 8) return;
    FixScreenPoint corners[4];
    if (ViewFlags & 0x80) {
        vcursor_ProjectPanelC(vcursor_HudPanel(), corners);
        GlassQuad(corners, destination);
        return;
    }
    for (const VcursorPanel* p = vcursor_PanelSet; p; p = p->next) {
        if (!p->name || strncmp(p->name, "GLASS", 5) != 0) continue;
        vcursor_ProjectPanelC(p, corners);
        GlassQuad(corners, destination);
    }
}

// --- radar sweep ----------------------------------------------------------

void avion_SweepStep(void) {
    avion_SweepPosition += avion_SweepDirection;
    if (avion_SweepPosition > 47 || avion_SweepPosition < -47) avion_SweepDirection = -avion_SweepDirection;
}

void avion_RadarSweep(void) {
    avion_SweepStep();
    uint8_t* picture = avionkrxRadarBuffer;
    const ObjectRecord* o = Client_PlayerObject;
    if (!picture || !crtGreenTable || !o) return;
    // The beam: its angle from the heading and the sweep position, its
    // length from the range and the height.
    const uint32_t heading = (uint32_t)(-(int64_t)(uint32_t)o->angles.heading) & 0x1FF0000u;
    const double angle = (double)heading - avion_SweepPosition * 83436.5;
    const double alt = std::min((double)(int32_t)o->position.y / 4096.0 * 0.00005, 1.0);
    const double x = (101.25 - avion_RadarRange / 65536.0) * 0.01 * std::max(alt, 0.0);
    const double length = std::clamp(525.97 * x, 0.0, 127.0);
    const double r = angle / 65536.0 * 6.283185307179586 / 512.0;
    const double spread = 1.27 * 6.283185307179586 / 512.0;
    auto at = [&](double a, double len) {
        PolyVertex v{};
        v.x = (int32_t)std::lround((128.0 + std::sin(a) * len) * 128.0);
        v.y = (int32_t)std::lround((128.0 - std::cos(a) * len) * 128.0);
        v.x = std::clamp(v.x, 0, 255 * 128);
        v.y = std::clamp(v.y, 0, 255 * 128);
        return v;
    };
    PolyVertex a = at(r, 0.0), b = at(r - spread, length), c = at(r + spread, length);
    const _DRAW_SURFACE saved = draw_CurrentSurface;
    _DRAW_SURFACE s;
    draw_InitSurfaceDesc(&s, picture, 256, 256, 1);
    draw_SelectSurface(&s);
    const int32_t mode = poly_PixelMode;
    if (mode != POLY_MODE_8) poly_SetPixelMode(POLY_MODE_8);
    const int64_t cross = (int64_t)(b.x - a.x) * (c.y - a.y) - (int64_t)(b.y - a.y) * (c.x - a.x);
    if (cross < 0) std::swap(b, c);
    poly_SpanState.renderFlags = 0;
    poly_DrawPolygon(&a, &b, &c, picture, crtGreenTable[200]);
    if (mode != POLY_MODE_8) poly_SetPixelMode(mode);
    draw_CurrentSurface = saved;
    if (vcp_PanelTarget && vcp_CurrentPixels && draw_CurrentSurface.width == 256)
        memcpy(vcp_CurrentPixels, picture,
               std::min<size_t>(AVION_RADAR_BYTES, (size_t)256 * std::max(0, draw_CurrentSurface.height)));
}

// --- stores summary -------------------------------------------------------

int32_t avion_ThreatClass(int32_t letter) {
    if (letter < 'D' || letter > 'Z') return -1;
    if (letter == 'D') return 4;
    if (letter == 'E') return 0;
    if (letter == 'F' || letter == 'G') return 1;
    if (letter >= 'L' && letter <= 'O') return 3;
    if (letter == 'P') return 8;
    if (letter == 'Q' || letter == 'R') return 7;
    if (letter >= 'S' && letter <= 'V') return 6;
    if (letter >= 'W') return 5;
    return 2;
}

int32_t avion_ThreatTypeLevel(int32_t type) {
    if (type == 1 || type == 2) return 3;
    if (type == 3 || (type >= 29 && type <= 35)) return 2;
    if (type == 10 || type == 12 || type == 14) return 1;
    if (type >= 15 && type <= 18) return 4;
    return -1;
}

void avion_ThreatSummary(void) {
    memset(avion_ThreatStrength, 0, sizeof avion_ThreatStrength);
    memset(avion_ThreatLevel, 0, sizeof avion_ThreatLevel);
    if (!ord_Manager) return;
    int32_t guard = 0;
    for (const _ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m && guard < 4096; m = m->next, guard++) {
        if (m->type == -1) continue;
        const int32_t k = avion_ThreatClass(m->station);
        if (k < 0) continue;
        avion_ThreatStrength[k] += m->amount;
        const int32_t level = avion_ThreatTypeLevel(m->type);
        if (level >= 0) avion_ThreatLevel[k] = level;
    }
}

// --- display state --------------------------------------------------------

void avion_DisplayStateReset(void) {
    avion_RadarRange = 0;
    avion_SweepPosition = 0;
    avion_SweepDirection = 1;
    memset(avion_SensorImage, 0, sizeof avion_SensorImage);
    memset(avion_ThreatStrength, 0, sizeof avion_ThreatStrength);
    memset(avion_ThreatLevel, 0, sizeof avion_ThreatLevel);
    avion_CuesReset();
}
