// World renderer services used outside the renderer: the window-message
// relay, the in-game screen states, the frame and the object and triangle
// drawing entries.
#pragma once
#include <cstdint>

struct ObjectRecord;
struct PatchTriangle;

// Installs the renderer's message hook (start-up, before the heaps).
void render_UserMessageHookInstall(void);
// The hook's routine: -1 does nothing; with bit 31 the value less bit 31
// goes to the main window for render_UserMessageEventPost, otherwise it is
// posted as a deferred call.
void render_UserMessageRelay(int32_t value);
// Runs on the main thread for a value posted with app_PostRendererMessage:
// mission trigger event (5, value, 0, 0).
void render_UserMessageEventPost(uint16_t value);

// In-game screen states: the overlay that owns the screen and the keys.
struct ScreenStateEntry {
    void (*draw)(void);   // may be null
    void (*keys)(void);   // may be null; reads the poll's frame key event
    uint32_t flags;       // 0x02: leaves the hat switch to flight; 0x04: one key-routine call per frame
};

constexpr int32_t RENDER_SCREEN_STATES = 14;
extern ScreenStateEntry render_ScreenStateTable[RENDER_SCREEN_STATES];
// Null while no screen state is active.
extern const ScreenStateEntry* render_ScreenStateCurrent;
extern const ScreenStateEntry* render_ScreenStatePrevious;

// Previous = current; current = entry n (1..13; other numbers change
// nothing); clears the goals-page and keys-page toggles.
void render_ScreenStateSet(int32_t n);
void render_ScreenStateSetC(int32_t n);
// The routines of the one-shot action codes 1..9 (slot code - 1).
constexpr int32_t RENDER_KEY_ACTIONS = 9;
extern void (*const render_KeyActionTable[RENDER_KEY_ACTIONS])(void);

// One-shot action code of the screen pass (the screenshot is 3).
extern uint8_t render_OneShotAction;
// Set to 1 to switch between windowed and full screen at the next frame.
extern uint8_t render_WindowedToggleRequest;

// Frame composition state the view reset clears: the frame counter, the
// sky detail index, the ejection-sequence flag and the end-of-flight stamp
// flag and notice byte.
extern int32_t render_FrameCounter;
extern int32_t render_SkyDetail;
extern uint8_t render_EjectionSequence;
extern uint8_t render_EndStampFlag;
extern uint8_t render_EndNotice;

// Composes and presents the flight picture.
void render_Frame(void);

// Frame state.
extern int32_t render_FrameRate;        // 16.16 frames per second
extern int32_t render_RateFrames;       // -1 until the first sample
extern uint32_t render_RateTick;
extern uint8_t render_WorldWanted;
extern int32_t render_LockedHere;
extern uint8_t render_ScreenCaptured;
extern int32_t render_EndOfFlight;      // 0 flying; 3 after the death sequence
extern uint32_t render_EndStamp;
extern uint8_t render_PaletteFlash;
// The palettes of the sky and star code: the base palette, the working
// copy they change and their request to upload it.
extern uint8_t render_BasePalette[768];
extern uint8_t render_WorkingPalette[768];
extern uint8_t render_PaletteRequest;
// The g-effect of the flight model: kind 0 none, 1 blackout, other redout;
// level 0..0xFFF.
extern int32_t render_GEffectKind;
extern int32_t render_GEffectLevel;

// Returns the frame rate (16.16) after counting this frame.
int32_t render_FrameRateMeasure(void);
// Fills the whole current frame buffer with the 32-bit value.
void render_FrameBufferFill(uint32_t value);
void render_PaletteApply(void);
// The present step: the virtual cursor's panel hit update, then the present.
void render_PanelsAndDrawHooks(void);
// The rasteriser's pixel mode 2 or 1, then its state reset.
void render_PixelMode2C(void);
void render_PixelMode1C(void);
// Back to real time when time is compressed and the controls are moved.
void render_TimeCompressionCancel(void);
// The frame's passes, for the paths and the tests.
void render_GlareTint(void);
void render_VignetteSoft(void);
void render_VignetteCard(void);
void render_GlareWashCard(void);
void render_OverlayPass(void);
void render_ScreenPass(void);
void render_BorderRowsClear(void);
void render_WindowedToggle(void);

// Screen shake: the request (written by the flight model, cleared after
// every frame) and the four offsets of the frame (x, y in 1/128 pixel,
// x, y in pixels).
extern float render_ShakeRequest;
extern int32_t render_ShakeOffsets[4];
void render_ShakeApply(void);
void render_ShakeRemove(void);
// The screenshot of one-shot action 3; the counter and the text of the
// last "Saved" line.
void render_Screenshot(void);
extern int32_t render_ScreenshotCounter;
extern char render_ScreenshotName[32];
extern char render_ScreenMessage[64];
// The model-shading light from the sun direction (client start).
void render_LightDirectionSet(void);
// The standard draw routine of objects.
void render_ObjectDraw(ObjectRecord* object);
// The draw routine of a destroyed static object.
void render_DestroyedDraw(ObjectRecord* object);
// The object's camera-space position (its terrain sort key is the depth).
void render_ObjectToViewSpace(ObjectRecord* object);
// Frees the falling particle field (the marker lists) at client stop.
void render_ParticleFieldFree(void);
// The falling particle field and its two enables (set up for the level,
// its display setting).
void render_ParticleFieldDraw(void);
extern int32_t render_ParticleFieldReady;
extern int32_t render_ParticleFieldShown;

// 1 while the camera is above the cloud deck (no ground is drawn), and the
// cloud haze offset added to the terrain's light words near the cloud layer.
extern int32_t render_AboveCloudDeck;
extern int32_t render_CloudHazeOffset;
// The renderer's two shade-table words.
extern const uint8_t* render_ShadeTables[2];

// The polygon render_TriangleDraw draws, set by the terrain drawing.
extern const PatchTriangle* render_CurrentPolygon;
// Draws the current polygon through the triangle path (render/tri.h): -1
// takes its texture coordinates from the record (and, at or beyond the
// texture distance, its average colour instead), any other value is a flat
// colour.
void render_TriangleDraw(int32_t colour);

// Clips a screen polygon to the current surface's clip rectangle (1/128
// pixel) with the four clipper passes, alternating between a and b (eight
// vertices each); the result is in a. Returns its vertex count, 0 when
// nothing is left or count is not 3 or 4.
struct PolyClipVertex;
int32_t render_ClipPasses(int32_t count, PolyClipVertex* a, PolyClipVertex* b);
