// The head-up display: the frame draw (cockpit hook 7), its vector shapes
// and line primitives, and the fixed readouts, tapes and text lines.
//
// The HUD draws on the 256 x 256 HUD panel: positions are held in 1/128
// pixel of the panel, strokes go to draw_ClipLineF in 1/256 pixel, and the
// float clip window maps the panel onto its projected screen corners.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/fix.h"
#include "cockpit/tacmap.h"

// ---- Frame state (rebuilt every frame) ----

extern FixScreenPoint HudCentre;        // 1/128 pixel
extern FixScreenPoint HudCentrePixel;   // whole pixels
extern FixScreenPoint HudCentreOffset;  // HUD centre minus the viewport's centre, 1/128 pixel
extern int32_t HudScaleX, HudScaleY;    // 16.16 pixels per HUD unit
extern int32_t HudFieldRight, HudFieldLeft, HudFieldBottom, HudFieldTop;
extern uint8_t HudColour;
extern int32_t HudTextSize[2];          // 1/256 pixel
extern int32_t HudSavedTextScale;
extern int32_t HudSurfaceLocked;
// Set while the frame draw runs; the approach symbols set their own flag.
extern int32_t HudDrawing;
extern int32_t HudApproachShown;

// The frame draw, cockpit hook 7.
void hud_FrameDraw(void);
void hud_CentreFixed(void);
void hud_ColourSelect(void);
// Mode 0 the general HUD window, 1 the pitch-ladder window.
void hud_ClipWindowSet(int32_t mode);

// ---- Shapes and line primitives ----

// One stroke record: op 0 moves the pen, 1 draws to (x, y), 2 ends the
// shape, any other op is skipped. x right, y down, in HUD units.
struct HudShape {
    int16_t op, x, y, spare;
};

extern const HudShape HudShapeSteerTail[];
extern const HudShape HudShapeBankScale[];
extern const HudShape HudShapeClampCross[];
extern const HudShape HudShapeBoresightCross[];
extern const HudShape HudShapeSpeedBox[];
extern const HudShape HudShapeAltBox[];
extern const HudShape HudShapeHeadingBox[];
extern const HudShape HudShapeAltBox2[];
extern const HudShape HudShapeRangeScale[];
extern const HudShape HudShapeRangeLimits[];
extern const HudShape HudShapeRangeCaret[];
extern const HudShape HudShapeGunPipper[];
extern const HudShape HudShapeGunRangeTick[];
extern const HudShape HudShapeAamTicks[];
extern const HudShape HudShapeAamRangeTick[];
extern const HudShape HudShapeAamRangeCaret[];
extern const HudShape HudShapeGlidePathBar[];
extern const HudShape HudShapeCourseBar[];
extern const HudShape HudShapeScaleBar[];
extern const HudShape HudShapeCcipCross[];

// Switches of the shape module: multipliers read as 16.16 factors instead
// of integers; lines drawn solid (off: patterned 1, 2, 8).
extern int32_t hud_ShapeFractional;
extern int32_t hud_LineSolid;
// Rotation (25-bit angle) and 16.16 size of hud_ShapeDrawRotated.
extern int32_t hud_ShapeAngle;
extern int32_t hud_ShapeSize;

// origin in whole pixels of the panel; multiplier 0 is the plain HUD scale.
void hud_ShapeDraw(const HudShape* shape, FixScreenPoint origin, int32_t multiplier, int32_t colour);
void hud_ShapeDrawRotated(const HudShape* shape, FixScreenPoint origin);
// Points in 1/128 pixel.
void hud_LineDraw(FixScreenPoint from, FixScreenPoint to, int32_t colour);
void hud_BoxDraw(FixScreenPoint centre, int32_t halfWidth, int32_t halfHeight);
void hud_DiamondDraw(FixScreenPoint centre, int32_t halfWidth, int32_t halfHeight);
void hud_CrossDraw(FixScreenPoint centre, int32_t halfWidth, int32_t halfHeight);
// 1 when the point (1/128 pixel) lies in the viewport clip rectangle, edges
// included; 0 otherwise.
int32_t hud_PointOnScreen(FixScreenPoint point);

// ---- Readouts, tapes and text lines ----

// The module's three scratch strings (23 characters and the terminator).
constexpr size_t HUD_SCRATCH_SIZE = 24;
extern char hud_Scratch[3][HUD_SCRATCH_SIZE];
// Airspeed blink state: shown flag, tick of the last toggle, over-speed flag.
extern int32_t hud_SpeedBlinkShown;
extern uint32_t hud_SpeedBlinkTick;
extern int32_t hud_SpeedOver;

void hud_AirspeedTape(void);
void hud_MachReadout(void);
void hud_GReadout(void);
void hud_ModeText(void);
void hud_SteerpointBlock(void);
void hud_AltitudeTape(void);
void hud_HeadingTape(void);
void hud_SecondAltitudeBox(void);
void hud_WeaponLine(void);
void hud_RangeScale(void);
void hud_CentreText(int32_t textId);
void hud_Warnings(void);
void hud_ShootCue(void);

// The steerpoint label: a condition (mode byte and counter number), an
// action word and a second word.
struct HudSteerpointLabel {
    TacmapLabelCondition condition;
    int32_t action;
    int32_t second;
};
void hud_SteerpointLabel(const HudSteerpointLabel* label);
// 0 with the player's current steerpoint (at the player's height), -1 when
// there is none.
struct ObjectRecord;
int32_t hud_SteerpointGet(ObjectRecord* player, FixWorldPos* out);

// Text of the run-time string table's entry, or null when it is missing.
const char* hud_StringGet(int32_t id);
// Formats the box readout of an altitude in feet ("%2d,%02d0" or "  ,%02d0",
// clamped to 0..99999) into out.
void hud_AltitudeText(int32_t feet, char* out, size_t size);
// Time to go from a distance and a ground speed: "999:99" or "%03d:%02d".
void hud_TimeToGoText(int32_t distance, float speed, char* out, size_t size);
// Label of a steerpoint from a string-table entry that holds one "%s"
// conversion; any other entry is shown followed by the inserted text.
void hud_InsertText(const char* format, const char* text, char* out, size_t size);

// Only the format's one numeric conversion takes the value; any other
// format is shown followed by the value.
void hud_InsertNumber(const char* format, int32_t value, char* out, size_t size);

// ---- The symbols of the moving HUD (flight path, steering, weapons) ----

struct ObjectRecord;

// State of the moving symbols, in 1/128 pixel unless said otherwise.
extern FixScreenPoint HudVelocityMarker;   // after clamping to the HUD field
extern int32_t HudVelocityClamped;
extern FixScreenPoint HudGunPipper;        // smoothed across frames
extern FixScreenPoint HudFunnelPoints[6];
extern int32_t HudTargetOffscreen;         // the target's box was left out
extern ObjectRecord* HudApproachRunway;
extern int32_t HudWrongEndCue;
// 0 no air-to-air missile selected or seeker idle, 1 searching, 2 any other
// seeker state.
extern uint8_t HudSeekerState;
// The player's display switches: target information and boxes, and the
// second one those need while an air-to-air weapon is selected.
extern uint8_t hud_InfoShown;
extern uint8_t hud_InfoAirShown;

void hud_VelocityGroup(void);
void hud_VelocityMarkerDraw(void);
void hud_PitchLadder(void);
// One rung: its angle (25-bit), the projected end points (1/128 pixel).
void hud_LadderRung(int32_t angle, FixScreenPoint left, FixScreenPoint right);
void hud_SteeringCue(void);
// 1 when a runway qualifies for the approach symbols (HudApproachRunway).
int32_t hud_ApproachTest(void);
void hud_ApproachSymbols(void);
void hud_TargetInfo(void);
void hud_ContactBoxes(void);
void hud_SymbolSequencer(void);
void hud_AamLongRange(void);
void hud_AamShortRange(void);
void hud_GunLeadSight(void);
void hud_GunFunnel(void);
void hud_GroundAttackCross(void);
void hud_BombFallLine(void);
void hud_TargetArrow(void);
// The target-direction arrow option of the options screen.
extern int32_t hud_TargetArrowOption;

// Helpers of the moving symbols. A world vector (a difference, not a
// position) into camera space by the view matrix.
void hud_CameraVector(const FixVec3* world, FixVec3* camera);
// A camera-space direction projected at the current focal length: 0 when it
// lies in front, -1 behind (the point is then off to the same side).
int32_t hud_ProjectDirection(const FixVec3* camera, FixScreenPoint* out);
// An arc of `steps` 512ths of a turn clockwise from the top (512 or more:
// the whole circle); centre and radius in 1/128 pixel.
void hud_CircleDraw(FixScreenPoint centre, int32_t radius, int32_t steps);
