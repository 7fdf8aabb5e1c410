// Sky and sun set-up that the level loaders and the client start call.
#pragma once

// After the level's palette is set: the sky colours from the level's colour
// set, the colour ramps, the sky texture.
void sky_ColourSetSelect(void);
void sky_RampsBuild(void);
void sky_TextureLoad(void);
// The default sun position and model (client start).
void sky_SunDefaultsSet(void);
