// Sky and sun set-up that the level loaders and the client start call.
#pragma once

// After the level's palette is set: the sky colours from the level's colour
// set, the colour ramps, the sky texture.
void sky_ColourSetSelect(void);
void sky_RampsBuild(void);
void sky_TextureLoad(void);
// The default sun position and model (client start).
void sky_SunDefaultsSet(void);

// The frame's sky, sun, star and flare passes.
void sky_CardDraw(void);        // the sky polygons on the 3D card
void sky_SoftDraw(void);        // the software sky
void sky_SunDraw(void);         // sun and moon
void sky_StarFieldDraw(void);
void sky_LensFlareDraw(void);
void sky_FogOverlay(void);      // the cloud-fog overlay
// Sky state the frame reads: inside the cloud layer (the first sky-clear
// flag; the second is render_AboveCloudDeck), the fill value and the card
// clear colour used then, the glare level (0 none) and the level's two glare
// colours (R, G, B).
#include <cstdint>
extern int32_t sky_InsideCloud;
extern uint32_t sky_ClearFill;
extern uint8_t sky_ClearColour[3];
extern int32_t sky_GlareLevel;
extern uint8_t sky_GlareColourCard[3];
extern uint8_t sky_GlareColourSoft[3];

// The sky module's own state, for the frame passes and the tests.
struct ObjectRecord;
#include "sim/obj.h"
// Deck height (the level's cloud value << 16).
extern int32_t sky_CloudHeight;
// The sky view of the frame: angles, eye height and the deck and fog flags.
struct SkyView {
    int32_t heading, pitch, roll;
    int32_t eye;
    int32_t above;      // camera above the deck (mirrored sky)
    int32_t inside;     // camera inside the layer: no sky
    int32_t inFog;
    int32_t density;    // fog density 0..0x2000000
};
extern SkyView sky_View;
// Ramps A..E: 10, 8, 8, 10 and 16 steps, two entries a step.
constexpr int32_t SKY_RAMP_STEPS[5] = {10, 8, 8, 10, 16};
constexpr int32_t SKY_RAMP_ENTRIES = 2 * (10 + 8 + 8 + 10 + 16);
struct SkyRamps {
    uint16_t colour16[SKY_RAMP_ENTRIES];  // 16-bit surfaces
    uint8_t index8[SKY_RAMP_ENTRIES];     // 8-bit surfaces: nearest palette entry
    uint8_t rgb[SKY_RAMP_ENTRIES][3];
    int32_t first[5];                     // first entry of each ramp
    uint32_t packed[6];                   // 0x00BBGGRR: P4 start, P1 start, P2 start, P2 end, P3 start, P3 end
};
extern SkyRamps sky_Ramps;
// The level's sky colour pairs P0..P4 (start, end; R, G, B).
extern uint8_t sky_Pairs[5][2][3];
// The cloud colour's palette entry.
extern int32_t sky_CloudIndex;
// Sky view and flags; 0 when a sky is to be drawn, -1 when not.
int32_t sky_FrameSetup(void);
// Fog density, haze bias and palette fog from the camera height.
void sky_CloudFog(int32_t cameraHeight);
// The fog overlay's level (0 for none).
int32_t sky_FogLevel(void);

// Stars: direction (length 0x20000000) and brightness 0..7.
constexpr int32_t SKY_STARS = 512;
struct SkyStar {
    int32_t x, y, z;
    int32_t level;
};
extern SkyStar* sky_Stars;
extern uint16_t sky_StarColour16[8];
extern uint8_t sky_StarIndex[8];
void sky_StarFieldInit(void);
// Glare: 0 at level start and every frame (sun draw), raised by the sun's
// measurement and by bright objects; applied to the working palette.
void sky_GlareReset(void);
// Adds the sun's glare from its view-space position; returns the alignment
// with the view axis (16.16, 0x10000 straight ahead).
int32_t sky_GlareMeasure(int32_t x, int32_t y, int32_t z);
void sky_GlareFromObject(ObjectRecord* object, int32_t radius);
void sky_GlareApply(void);
// The sun's alignment kept from the last measurement.
extern int32_t sky_SunAlignment;
// The sun record (camera-facing billboard, world position beside the camera).
extern ObjectRecord sky_Sun;
// The light angle (16.16 steps of the 512-step sine table) and its turning
// by keys.
extern int32_t sky_LightAngle;
void sky_LightTurn(void);
// The cloud deck's 256 x 256 texture, null when "sky10.pcx" could not be used.
extern const uint8_t* sky_Texture;
// The software sky's span state, set once when it changes instead of per
// block: the frame buffer's row pitch (the block writers' second-row
// offset), the deck texture, the dither seed (next = rol(rol(seed, 11) +
// seed, 3), the low byte the noise), the rows' direction and the deck's
// texel-to-ramp-E table by distance level.
struct SkySpanState {
    int32_t pitch;
    const uint8_t* texture;
    uint32_t seed;
    int32_t alongRows;  // block rows run along screen rows (else columns)
    int32_t lookupBuilt;
    uint8_t deckLookup[16][256];
};
extern SkySpanState sky_Span;
// The view's axes as directions of the world, for angles heading, pitch and
// roll (row i: view axis i, x right, y up, z ahead).
void sky_ViewAxes(int32_t heading, int32_t pitch, int32_t roll, double out[3][3]);
// The card's parts: the fog quad at a level, a star sprite around a
// projected point (1/128 pixel).
struct PakTextureImage;
struct FixScreenPoint;
void sky_CardFogOverlay(int32_t level);
void sky_CardStarDraw(const FixScreenPoint& p, int32_t level, PakTextureImage* texture);
