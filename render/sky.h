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
