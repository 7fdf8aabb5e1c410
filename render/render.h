// World renderer services used outside the renderer: the window-message
// relay, the in-game screen states, the frame and the object and triangle
// drawing entries.
#pragma once
#include <cstdint>

struct ObjectRecord;
struct PatchTriangle;

// Installs the renderer's message hook (start-up, before the heaps).
void render_UserMessageHookInstall(void);
// Runs on the main thread for a value posted with app_PostRendererMessage.
void render_UserMessageEventPost(uint16_t value);

// In-game screen states: the overlay that owns the screen and the keys.
struct ScreenStateEntry {
    void (*draw)(void);   // may be null
    void (*keys)(void);   // may be null; reads the poll's frame key event
    uint32_t flags;       // 0x04: one key-routine call per frame
};

constexpr int32_t RENDER_SCREEN_STATES = 14;
extern ScreenStateEntry render_ScreenStateTable[RENDER_SCREEN_STATES];
// Null while no screen state is active.
extern const ScreenStateEntry* render_ScreenStateCurrent;
extern const ScreenStateEntry* render_ScreenStatePrevious;

// Previous = current; current = entry n (1..13).
void render_ScreenStateSet(int32_t n);

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
// End-of-flight display state: 0 while flying; nonzero once the mission's
// end screen is up.
extern int32_t render_EndOfFlightState;
