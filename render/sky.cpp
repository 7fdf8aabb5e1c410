// The sky: colour set, ramps, the per-frame sky view with the cloud fog,
// the star field, the sun's glare and its application to the palette.
#include "render/sky.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <strings.h>

#include "base/file.h"
#include "base/fix.h"
#include "base/math.h"
#include "display/dsurf.h"
#include "display/hw3d.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "display/pal_hicolor.h"
#include "display/vid.h"
#include "input/ekey.h"
#include "render/object.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/startup.h"
#include "sim/obj.h"
#include "world/level.h"
#include "world/pak.h"

int32_t sky_InsideCloud = 0;
uint32_t sky_ClearFill = 0;
uint8_t sky_ClearColour[3] = {0, 0, 0};
int32_t sky_GlareLevel = 0;
uint8_t sky_GlareColourCard[3] = {0xFF, 0xFF, 0xFF};
uint8_t sky_GlareColourSoft[3] = {0xFF, 0xFF, 0xFF};

int32_t sky_CloudHeight = 0x20000000;
SkyView sky_View = {};
SkyRamps sky_Ramps = {};
uint8_t sky_Pairs[5][2][3] = {};
int32_t sky_CloudIndex = 0;
SkyStar* sky_Stars = nullptr;
const uint8_t* sky_Texture = nullptr;
uint16_t sky_StarColour16[8] = {};
uint8_t sky_StarIndex[8] = {};
int32_t sky_SunAlignment = 0;

namespace {
constexpr int32_t kDeckReach = 0x1000000;    // half the cloud layer's thickness
constexpr int32_t kFogReach = 0x2000000;     // fog within this distance of the deck
constexpr int32_t kAngleMask = 0x1FFFFFF;    // a full turn
constexpr int32_t kGlareStart = 0xE000;      // the sun within about 29 degrees

SkyStar g_stars[SKY_STARS];
PakTextureImage g_starTexture = {};

// Wraps a roll into -0x1000000..0x1000000.
int32_t WrapRoll(int32_t roll) { return (int32_t)(((uint32_t)roll + 0x1000000u) & (uint32_t)kAngleMask) - 0x1000000; }

uint32_t PackBgr(const uint8_t* rgb) { return (uint32_t)rgb[2] << 16 | (uint32_t)rgb[1] << 8 | rgb[0]; }

// 16.16 dot product of a vector's unit direction with the view axis.
int32_t AxisAlignment(int32_t x, int32_t y, int32_t z) {
    const double len = std::sqrt((double)x * x + (double)y * y + (double)z * z);
    if (len <= 0) return 0;
    return (int32_t)((double)z / len * 65536.0);
}

void GlareAdd(int64_t amount) {
    if (amount <= 0) return;
    sky_GlareLevel = (int32_t)std::min<int64_t>((int64_t)sky_GlareLevel + amount, 0x10000);
}
}  // namespace

// The ten sky colours of the level's region and time of day as five pairs
// (the four bands and the cloud), the cloud's palette entry and the colours
// the frame clears with inside the layer and above the deck.
void sky_ColourSetSelect(void) {
    const int32_t region = std::clamp(level_Region, 0, LEVEL_REGIONS - 1);
    const int32_t time = std::clamp(level_TimeOfDay, 0, LEVEL_TIMES_OF_DAY - 1);
    const int32_t entry = 5 * region + time;
    for (int32_t p = 0; p < 5; p++)
        for (int32_t e = 0; e < 2; e++) memcpy(sky_Pairs[p][e], level_Colours.rgb[LEVEL_R1_START + 2 * p + e][entry], 3);
    const uint8_t* cloud = sky_Pairs[4][1];
    sky_CloudIndex = pal_NearestIndex(cloud[0], cloud[1], cloud[2]) & 0xFF;
    memcpy(sky_ClearColour, cloud, 3);
    if (vid_State.bitsPerPixel == 16) {
        const uint32_t c = pal_RgbTo16(cloud[0], cloud[1], cloud[2]);
        sky_ClearFill = c | c << 16;
    } else {
        sky_ClearFill = (uint32_t)sky_CloudIndex * 0x01010101u;
    }
}

// Ramps A..E from pairs P0..P4. Each step gives the colour at the step and
// the colour three quarters of the way to the next; the step is a whole
// ramp's span divided by the step count, so the end colour is never reached.
void sky_RampsBuild(void) {
    const bool matched = vid_State.bitsPerPixel != 16;
    int32_t at = 0;
    for (int32_t r = 0; r < 5; r++) {
        const int32_t n = SKY_RAMP_STEPS[r];
        sky_Ramps.first[r] = at;
        int32_t c[3], step[3];
        for (int32_t k = 0; k < 3; k++) {
            c[k] = (int32_t)sky_Pairs[r][0][k] << 16;
            step[k] = (((int32_t)sky_Pairs[r][1][k] - sky_Pairs[r][0][k]) << 16) / n;
        }
        for (int32_t s = 0; s < n; s++) {
            for (int32_t half = 0; half < 2; half++) {
                uint8_t* rgb = sky_Ramps.rgb[at];
                for (int32_t k = 0; k < 3; k++) {
                    const int32_t v = c[k] + (half ? step[k] - step[k] / 4 : 0);
                    rgb[k] = (uint8_t)std::clamp(v >> 16, 0, 255);
                }
                sky_Ramps.colour16[at] = pal_RgbTo16(rgb[0], rgb[1], rgb[2]);
                sky_Ramps.index8[at] = matched ? (uint8_t)pal_NearestIndex(rgb[0], rgb[1], rgb[2]) : 0;
                at++;
            }
            for (int32_t k = 0; k < 3; k++) c[k] += step[k];
        }
    }
    sky_Ramps.packed[0] = PackBgr(sky_Pairs[4][0]);
    sky_Ramps.packed[1] = PackBgr(sky_Pairs[1][0]);
    sky_Ramps.packed[2] = PackBgr(sky_Pairs[2][0]);
    sky_Ramps.packed[3] = PackBgr(sky_Pairs[2][1]);
    sky_Ramps.packed[4] = PackBgr(sky_Pairs[3][0]);
    sky_Ramps.packed[5] = PackBgr(sky_Pairs[3][1]);
}

// Fog density from the distance to the deck, the far objects' haze bias and
// the first palette entries blended towards the cloud colour.
void sky_CloudFog(int32_t cameraHeight) {
    const int64_t d = std::llabs((int64_t)cameraHeight - sky_CloudHeight);
    if (d <= kFogReach) {
        sky_View.inFog = 1;
        sky_View.density = (int32_t)(kFogReach - d);
    } else {
        if (!sky_View.inFog) return;
        sky_View.inFog = 0;
        sky_View.density = 0;
    }
    render_CloudHazeOffset = sky_View.density / 4;
    const int32_t g = std::clamp(sky_View.density / 256, 0, 0x10000);
    const uint8_t* cloud = &render_BasePalette[sky_CloudIndex * 3];
    for (int32_t i = 1; i <= 22; i++)
        for (int32_t k = 0; k < 3; k++) {
            const int64_t c = render_BasePalette[i * 3 + k];
            render_WorkingPalette[i * 3 + k] = (uint8_t)((c * (0x10000 - g) + (int64_t)cloud[k] * g) >> 16);
        }
    render_PaletteRequest = 1;
}

int32_t sky_FrameSetup(void) {
    const int32_t y = (int32_t)view_State.position.y;
    const int64_t H = sky_CloudHeight;
    const FixAngles& a = view_State.angles;
    sky_View.inside = 0;
    if ((int64_t)y <= H - kDeckReach) {
        sky_View.above = 0;
        sky_View.heading = a.heading & kAngleMask;
        sky_View.pitch = a.pitch & kAngleMask;
        sky_View.roll = a.roll;
        sky_View.eye = y;
    } else if ((int64_t)y >= H + kDeckReach) {
        sky_View.above = 1;
        sky_View.heading = -a.heading & kAngleMask;
        sky_View.pitch = (0x2000000 - a.pitch) & kAngleMask;
        sky_View.roll = WrapRoll(a.roll + 0x1000000);
        sky_View.eye = (int32_t)(H - ((int64_t)y - H));
    } else {
        sky_View.inside = 1;
        sky_InsideCloud = 1;
        sky_CloudFog(y);
        return -1;
    }
    sky_InsideCloud = 0;
    render_AboveCloudDeck = sky_View.above;
    sky_CloudFog(y);
    // Looking nearly straight down at the mirrored or real ground: no sky.
    if (sky_View.pitch > 0x1600000 && sky_View.pitch < 0x1A00000) return -1;
    sky_View.roll = WrapRoll(sky_View.roll);
    return 0;
}

int32_t sky_FogLevel(void) {
    const int32_t level = sky_View.density >> 16;
    if (level <= 8) return 0;
    return std::min(level, 0xF0);
}

// The frame buffer fogged towards the cloud colour (software, 16-bit).
void sky_FogOverlay(void) {
    const int32_t level = sky_FogLevel();
    if (!level) return;
    if (hw3d_Active) {
        sky_CardFogOverlay(level);
        return;
    }
    if (draw_CurrentSurface.bytesPerPixel != 2) return;
    const uint8_t* c = sky_Pairs[4][1];
    pal_TintView16(c[0], c[1], c[2], level);
}

void sky_ViewAxes(int32_t heading, int32_t pitch, int32_t roll, double out[3][3]) {
    FixSinCosBlock block;
    fix_SinCosAngles(heading, pitch, roll, &block);
    fix_TrigToDouble(&block);
    for (int32_t i = 0; i < 3; i++) {
        FixVec3 e = {i == 0 ? 1 << 24 : 0, i == 1 ? 1 << 24 : 0, i == 2 ? 1 << 24 : 0}, w;
        fix_RotateAllInverse(&w, &e);
        out[i][0] = w.x / 16777216.0;
        out[i][1] = w.y / 16777216.0;
        out[i][2] = w.z / 16777216.0;
    }
}

// 512 stars between 11.25 degrees above the horizon and straight up, eight
// grey levels.
void sky_StarFieldInit(void) {
    if (hw3d_Active) {
        uint8_t* image = file_Exists("star.pcx") ? pcx_Load("star.pcx") : nullptr;
        if (image && (pal_Second.width != 16 || pal_Second.height != 16)) image = nullptr;
        g_starTexture = PakTextureImage{image, 4, 4, 0x80};
    }
    sky_Stars = g_stars;
    constexpr double kTurn = 2.0 * M_PI / 0x2000000;
    for (SkyStar& s : g_stars) {
        uint32_t a;
        do a = math_Random2() & 0x7FFFFF;
        while (a >= 0x700000);
        const uint32_t h = math_Random2() & 0x1FFFFFF;
        // (0, L, 0) turned about x by a, then about y by h.
        const double L = 0x20000000;
        const double y = L * std::cos(a * kTurn), r = L * std::sin(a * kTurn);
        s.x = (int32_t)(r * std::sin(h * kTurn));
        s.y = (int32_t)y;
        s.z = (int32_t)(r * std::cos(h * kTurn));
        s.level = (int32_t)(math_Random2() & 7);
    }
    for (int32_t n = 0; n < 8; n++) {
        const int32_t grey = 0x9F + 9 * n;
        sky_StarIndex[n] = (uint8_t)pal_NearestIndex(grey, grey, grey);
        sky_StarColour16[n] = pal_RgbTo16(grey, grey, grey);
    }
}

void sky_GlareReset(void) { sky_GlareLevel = 0; }

int32_t sky_GlareMeasure(int32_t x, int32_t y, int32_t z) {
    const int32_t d = AxisAlignment(x, y, z);
    sky_SunAlignment = d;
    if (level_Night == 1) return d;
    if (d > kGlareStart) GlareAdd((int64_t)(d - kGlareStart) * 8);
    return d;
}

// A bright object within the radius adds glare by its nearness and its
// alignment with the line of sight.
void sky_GlareFromObject(ObjectRecord* object, int32_t radius) {
    if (!object || radius <= 0) return;
    const FixVec3& p = object->viewPosition;
    const double r = std::sqrt((double)p.x * p.x + (double)p.y * p.y + (double)p.z * p.z);
    if (r >= radius) return;
    const int64_t weight = (int64_t)(((double)radius - r) / radius * 65536.0);
    const int32_t d = AxisAlignment(p.x, p.y, p.z);
    if (d <= kGlareStart) return;
    GlareAdd((((int64_t)(d - kGlareStart) * weight) >> 16) * 8);
}

// Whitens palette entries 1..255 by the glare level.
void sky_GlareApply(void) {
    const int64_t g = sky_GlareLevel;
    if (g <= 0) return;
    for (int32_t i = 3; i < 768; i++) {
        const int64_t c = render_WorkingPalette[i];
        render_WorkingPalette[i] = (uint8_t)std::min<int64_t>((c * (0x10000 - g) + 255 * g) >> 16, 255);
    }
    render_PaletteRequest = 1;
}

// The sun's billboard is drawn by the object renderer once its model is
// placed; here the glare is cleared and the sun's view-space position made
// for the measurement.
ObjectRecord sky_Sun = {};

void sky_SunDraw(void) {
    sky_GlareLevel = 0;
    if (sky_InsideCloud) return;
    sky_Sun.frame = 0;
    sky_Sun.drawFlags = 0x15;
    sky_Sun.scale = 0xC0000;
    sky_Sun.position.x = view_State.position.x + 0x4000000u;
    sky_Sun.position.y = view_State.position.y + 0x4000000u;
    sky_Sun.position.z = view_State.position.z + 0x4000000u;
    render_ObjectToViewSpace(&sky_Sun);
    if (sky_Sun.model) render_ObjectDraw(&sky_Sun);
}

// Glare from the sun, applied to the working palette, then six flare
// elements along the line from the sun through a point straight ahead.
void sky_LensFlareDraw(void) {
    if (level_Night == 1 || sky_InsideCloud) return;
    const FixVec3 sun = sky_Sun.viewPosition;
    const int32_t d = sky_GlareMeasure(sun.x, sun.y, sun.z);
    sky_GlareApply();
    if (sky_View.inFog || (ViewFlags & 0x100) || d <= 0xB1E0 || !sky_Sun.model) return;
    constexpr int32_t kAhead = 0x2000000;
    const double ax = sun.x, ay = sun.y, az = (double)sun.z - kAhead;
    const double len = std::sqrt(ax * ax + ay * ay + az * az);
    if (len <= 0) return;
    static const struct {
        int32_t t, size;
        uint8_t frame;
    } kElements[6] = {
        {-0x1900000, 0x20000, 1}, {-0x12C0000, 0x10000, 2}, {-0x1000000, 0x30000, 3},
        {0x640000, 0x10000, 3},   {0x1900000, 0x50000, 2},  {0x2BC0000, 0x30000, 3},
    };
    const int64_t ux = (int64_t)(ax / len * 65536.0), uy = (int64_t)(ay / len * 65536.0),
                  uz = (int64_t)(az / len * 65536.0);
    for (const auto& e : kElements) {
        sky_Sun.scale = 2 * e.size;
        sky_Sun.frame = e.frame;
        sky_Sun.viewPosition = {(int32_t)((e.t * ux) >> 16), (int32_t)((e.t * uy) >> 16),
                                (int32_t)(kAhead + ((e.t * uz) >> 16))};
        render_ObjectDraw(&sky_Sun);
    }
}

// The sun beside the camera at (1, 1, 1), its model the level's sun or moon.
void sky_SunDefaultsSet(void) {
    sky_Sun = ObjectRecord{};
    sky_Sun.position = {0x4000000, 0x4000000, 0x4000000};
    for (int32_t i = 0; i < level_Models.count && i < LEVEL_MODEL_SLOTS; i++) {
        const char* name = level_Models.name[i];
        if (name && (!strcasecmp(name, "sun.pak") || !strcasecmp(name, "moon.pak"))) {
            sky_Sun.model = level_Models.pak[i];
            sky_Sun.modelSlot = (uint16_t)i;
            break;
        }
    }
}

// One pixel a star (software); the card draws them as sprites.
void sky_StarFieldDraw(void) {
    if (!sky_Stars) return;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const bool card = hw3d_Active != 0;
    if (card && !g_starTexture.pixels) return;
    if (!card && (!s.base || (s.bytesPerPixel != 1 && s.bytesPerPixel != 2))) return;
    fix_TrigToDouble(&view_State.viewMatrix);
    for (int32_t i = 0; i < SKY_STARS; i++) {
        const SkyStar& star = sky_Stars[i];
        FixVec3 v = {star.x, star.y, star.z};
        fix_RotateAboutY(&v, &v);
        fix_RotateAboutX(&v, &v);
        fix_RotateAboutZ(&v, &v);
        if (v.z <= 0) continue;
        FixScreenPoint p;
        fix_ProjectToScreen(&v, &p);
        if (card) {
            sky_CardStarDraw(p, star.level & 7, &g_starTexture);
            continue;
        }
        const int32_t x = p.x >> 7, y = p.y >> 7;
        if (x < s.clipX1 || x >= s.clipX2 || y < s.clipY1 || y >= s.clipY2) continue;
        if (x < 0 || y < 0 || x >= s.width || y >= s.height) continue;
        uint8_t* at = s.base + (size_t)y * (size_t)s.bytesPerRow + (size_t)x * (size_t)s.bytesPerPixel;
        if (s.bytesPerPixel == 2) {
            const uint16_t c = sky_StarColour16[star.level & 7];
            memcpy(at, &c, 2);
        } else {
            *at = sky_StarIndex[star.level & 7];
        }
    }
}

// Turning the light by keys (C, with Control downwards) while the mode word
// is 4.
int32_t sky_LightAngle = 0;

void sky_LightTurn(void) {
    if (app_ModeWord != 4 || !ekey_StateTable[0x43]) return;
    sky_LightAngle += ekey_StateTable[0x11] ? -0x4000 : 0x4000;
    const int32_t* sine = fix_SinTable();
    const int32_t i = (sky_LightAngle >> 16) & 511;
    const int32_t f = (sky_LightAngle >> 8) & 0xFF;
    auto at = [&](int32_t k) {
        const int64_t a = sine[k & 511], b = sine[(k + 1) & 511];
        return (int32_t)(a + ((b - a) * f) / 256);
    };
    const int32_t sinA = at(i), cosA = at(i + 128);
    render_LightDirectionSetC(sinA << 10, cosA << 10, 0);
}

// The cloud deck's texture; a missing or wrongly sized image leaves the deck
// plain (the P4 start colour) instead of sampling nothing.
void sky_TextureLoad(void) {
    uint8_t* image = file_Exists("sky10.pcx") ? pcx_Load("sky10.pcx") : nullptr;
    if (image && (pal_Second.width != 256 || pal_Second.height != 256)) image = nullptr;
    sky_Texture = image;
    if (!sky_Texture) fprintf(stderr, "krx: sky10.pcx is missing or not 256x256 (8-bit), the cloud deck is drawn plain\n");
    sky_RampsBuild();
}
