// Multi-function displays.
#pragma once
#include <cstdint>

#include "base/fix.h"

// MFD map zoom, 16.16, kept between MFD_ZOOM_MIN and MFD_ZOOM_MAX.
constexpr int32_t MFD_ZOOM_MIN = 81920;
constexpr int32_t MFD_ZOOM_MAX = 6553600;
extern int32_t mfd_MapZoom;

// Changes the MFD map zoom by delta: zoom = clamp(zoom - delta).
void mfd_MapZoomAdjust(int32_t delta);

// Draw the current page of the left (view 3) and right (view 5) MFD.
void mfd_LeftDraw(void);
void mfd_RightDraw(void);
// The plot set-up of an MFD page: S from the viewport's text scale, K, a
// zero-angle rotation block and the player's angles kept for the plots.
void mfd_MapFrameSetup(void);
// The pod video page and the situation page of the current MFD.
void mfd_PodVideoDraw(void);
void mfd_SituationPageDraw(void);

// Advances the radar sweep picture twice per game tick since the last step
// (at most 96 ticks).
void mfd_RadarSweepStep(void);

// ---- The MFD page tree: current pages and their state ----

enum : int32_t {
    MFD_PAGE_TEXT_LIST = 0,
    MFD_PAGE_STATUS = 1,
    MFD_PAGE_SITUATION = 2,
    MFD_PAGE_POD_VIDEO = 3,
};
// The situation page's radar sub-mode.
constexpr int32_t MFD_SUBMODE_RADAR = 4;

// A page button handler: (flags, button code), nonzero when it took the press.
typedef int32_t (*MfdButtonHandler)(int32_t flags, int32_t code);
constexpr int32_t MFD_BUTTONS = 20;
constexpr int32_t MFD_PAGE_RECORDS = 41;
// One page of the static page tree. Buttons and ring neighbours are record
// indices into mfd_PageTable, -1 for none. Button indices: 0..4 the left
// column top to bottom, 5..9 the right column, 10..14 the top row and 15..19
// the bottom row, both from right to left.
struct MfdPageRecord {
    int32_t page;      // page number 0..38
    int32_t titleId;   // string id of the title, -1 none
    int32_t buttons[MFD_BUTTONS];
    int32_t previous;
    int32_t next;
    MfdButtonHandler handler;
    int32_t zero;
};
extern MfdPageRecord mfd_PageTable[MFD_PAGE_RECORDS];
// Records by use: the default pages, the stores page, the situation page and
// its two mode menus, the four store pages.
enum : int32_t {
    MFD_REC_STATUS = 2,
    MFD_REC_STORES = 3,
    MFD_REC_SITUATION = 4,
    MFD_REC_STORES_AIR = 9,
    MFD_REC_STORES_GROUND = 10,
    MFD_REC_STORES_OTHER = 11,
    MFD_REC_STORES_MORE = 12,
    MFD_REC_AIR_MENU = 15,
    MFD_REC_GROUND_MENU = 16,
};
// Record index of a page record of the table, -1 for any other pointer.
int32_t mfd_PageIndex(const MfdPageRecord* page);
// True for the four store pages (records 9 to 12).
bool mfd_IsStorePage(const MfdPageRecord* page);

extern MfdPageRecord* mfd_LeftPage;
extern MfdPageRecord* mfd_RightPage;
// The situation display's sub-mode 0..5: 0 and 1 the air modes, 2, 3 and 5
// the ground modes, 4 the radar sweep picture.
extern int32_t mfd_SubMode;
// Per-MFD declutter flags, toggled by button 15 (B5).
extern int32_t mfd_LeftDeclutter;
extern int32_t mfd_RightDeclutter;
// The pages drawn over their panel without its background: the pod video
// page, and the situation page in its radar sub-mode.
bool mfd_PageKeepsPicture(const MfdPageRecord* page);

// Page pointer operations (op's low byte): 0 the MFD's default page, 1 the
// next page, 2 the previous page, 3 the given record (an index into the
// table, ignored when out of range). Returns the new record (ops 1, 2), the
// argument (op 3) or the op.
int32_t mfd_LeftPageSet(int32_t op, int32_t record);
int32_t mfd_RightPageSet(int32_t op, int32_t record);
// Sub-mode operations: 0 reset, 1 next, 2 previous (both wrap 0..5), 3 set to
// value when it lies in 0..5.
void mfd_SubModeSet(int32_t op, int32_t value);
// Button flags: 1 down, 2 pressed this frame, 4 a third mouse button.
enum : int32_t { MFD_BUTTON_DOWN = 1, MFD_BUTTON_PRESSED = 2, MFD_BUTTON_THIRD = 4 };
// The per-frame button dispatcher; nonzero when a handler or the panel-key
// routine took the press.
int32_t mfd_ButtonPress(int32_t flags, int32_t code);
// The codes that are not page buttons (declutter and the view mode codes).
int32_t mfd_PanelKey(int32_t flags, int32_t code);
// Panel input codes 0..44 to button codes.
constexpr int32_t MFD_PANEL_CODES = 45;
extern const int32_t mfd_PanelButtonCodes[MFD_PANEL_CODES];
// The bezel button index 0..19 of a button code of either MFD, -1 for a code
// that is not an MFD button.
int32_t mfd_ButtonIndex(int32_t code);
// The handlers of the store pages and the two mode menus.
int32_t mfd_WeaponSelectHandler(int32_t flags, int32_t code);
int32_t mfd_AirModeHandler(int32_t flags, int32_t code);
int32_t mfd_GroundModeHandler(int32_t flags, int32_t code);
// One button per weapon on board on the store pages.
void mfd_StorePagesSetup(void);
// The situation display's sub-mode after the current weapon changed.
void mfd_SubModeFollowWeapon(void);
// The three resets of an aircraft (re)start and of the avionics art load
// and release: both page pointers and the sub-mode.
void mfd_PagesReset(void);
// The game keys 57..62 (page rings and sub-mode); nonzero when key is one.
int32_t mfd_GameKey(int32_t key);
// The aircraft's control step: the frame's panel code or cursor press.
void mfd_ControlsStep(int32_t panel, int32_t cursorItem, uint32_t mouseButtons);

// The targeting pod and the radar as the pages read them: failure flags (1
// failed), the pod's offsets from the aircraft (world units), its look
// heading and pitch and its field (record flag bit 8: narrow).
struct MfdPodState {
    int32_t failed;
    int32_t offset[3];
    int32_t look[2];
    uint32_t flags;
};
extern MfdPodState mfd_Pod;
extern int32_t mfd_RadarFailed;

// ---- Page bodies and page parts ----

// Set while an MFD is drawn enlarged or over the frame.
extern uint8_t mfd_EnlargedFlag;
// Set while a store page's frame is drawn.
extern uint8_t mfd_StoresFrameFlag;
// The radar picture word, cleared by the radar title draw.
extern int32_t mfd_RadarPictureWord;
// The colour slot of the pod video cross-hair.
extern uint8_t mfd_PodColour;
// The title line from a string-table text (nothing when the text is missing).
void mfd_TitleDraw(int32_t stringId);
// The threat instrument's 128 x 128 8-bit image.
extern uint8_t mfd_ThreatBuffer[16384];

// ---- Situation display geometry ----
// The current point (display pixels) the transform sets and the circle and
// mark routines draw around; the label point for the next label; the text
// position (1/128 pixel on the cockpit MFD, 1/256 enlarged).
extern int32_t mfd_PointX, mfd_PointY;
extern int32_t mfd_LabelX, mfd_LabelY;
extern int32_t mfd_TextX, mfd_TextY;
// Current colour slot of the circle and shape routines; the mark kind kept
// for the symbol that follows a mark circle.
extern uint8_t mfd_Colour;
extern uint8_t mfd_MarkKind;
// Set while the compact situation display (or the tactical map's plot) is
// drawn: the rings take cockpit colour 0 and marks the small radius.
extern int32_t mfd_AltColourFlag;
extern int32_t mfd_CompactFlag;
// The colour slot the cockpit colour table entry (a palette index) is drawn
// with: MFD_COLOUR_SLOT, set to that palette colour.
constexpr int32_t MFD_COLOUR_SLOT = 24;
uint8_t mfd_CockpitColourSlot(int32_t entry);
// The ladders' label text.
extern char mfd_LabelText[16];

struct FixWorldPos;
struct ObjectRecord;
// The current point from a world position relative to the reference object,
// scaled by K and turned by the rotation block the caller has loaded.
void mfd_WorldToDisplay(const FixWorldPos* point, const ObjectRecord* reference);
void mfd_ObjectToDisplay(const ObjectRecord* object, const ObjectRecord* reference);
// Circles around the current point: radius R x K (a range), R x S (a symbol),
// R x S plus one pixel.
void mfd_CircleWorld(int32_t range);
void mfd_CircleFixed(int32_t radius);
void mfd_CircleFixedWide(int32_t radius);
// Keeps the mark kind, sets the label point and draws the mark circle.
void mfd_MarkCircle(int32_t kind);
void mfd_RangeRingsDraw(void);
void mfd_RangeLadderVertical(void);
void mfd_RangeLadderHorizontal(void);
void mfd_BearingScaleDraw(void);
struct DrawShapeCommand;

// ---- Situation picture ----
// The picture state beyond the display centre, S and K of the geometry:
// the symbol angle (25-bit) of the next rotated symbol, the style flags and
// the object pass's class and state masks. The MFD page's state is all
// flags clear and both masks 0xFF.
extern int32_t mfd_SymbolAngle;
extern uint8_t mfd_ColourPicture;
extern uint8_t mfd_TacticalStyle;
extern uint8_t mfd_NorthUp;
extern uint8_t mfd_ClassMask;
extern uint8_t mfd_StateMask;
// The picture state the MFD page expects (flags clear, masks 0xFF).
void mfd_PictureReset(void);
// Picture class bits of an object and its state bits.
enum : uint8_t { MFD_CLASS_AIRCRAFT = 1, MFD_CLASS_GROUND = 2, MFD_CLASS_SITE = 4, MFD_CLASS_MISSILE = 8 };
enum : uint8_t {
    MFD_STATE_FIXED = 0x01,      // a fixed ground object
    MFD_STATE_RANGED = 0x02,     // detected only within range
    MFD_STATE_HOSTILE = 0x04,
    MFD_STATE_FRIENDLY = 0x08,
    MFD_STATE_PILOT = 0x10,      // flown by a player
    MFD_STATE_WINGMAN = 0x20,
};
uint8_t mfd_ObjectClass(const ObjectRecord* object);
uint8_t mfd_ObjectState(const ObjectRecord* object);
// Named colour slots of the picture (the level's colours, violet the
// picture's own).
enum : uint8_t {
    MFD_BLACK = 1, MFD_WHITE = 2, MFD_RED = 3, MFD_GREEN = 4, MFD_YELLOW = 6, MFD_DARK_GREEN = 8, MFD_CYAN = 9,
    MFD_VIOLET = 25,
};
// The symbols: {op, x, y, 0} records (0 move, 1 line, 2 end) in display units.
extern const DrawShapeCommand mfd_ShapeOwnship[], mfd_ShapeStar[], mfd_ShapeSquare[], mfd_ShapeTriangle[],
    mfd_ShapeCrossedBox[], mfd_ShapeHeadingBar[], mfd_ShapeInactive[], mfd_ShapeFixed[], mfd_ShapeHostile[],
    mfd_ShapeFriendly[], mfd_ShapeTactical[];
// A shape scaled by S at (x, y) in the colour slot, unrotated or turned by
// minus the symbol angle.
void mfd_DrawShape(const DrawShapeCommand* shape, int32_t x, int32_t y, uint8_t colour);
void mfd_DrawShapeRotated(const DrawShapeCommand* shape, int32_t x, int32_t y, uint8_t colour);
// The object pass over the client chain, the target last, then the
// category lists of the sub-mode.
void mfd_PlotObjects(const ObjectRecord* own);
void mfd_DrawRoute(const ObjectRecord* own);
void mfd_DrawOwnship(void);
void mfd_PlotAircraft(const ObjectRecord* object, const ObjectRecord* own);
void mfd_PlotGroundObject(const ObjectRecord* object, const ObjectRecord* own);
void mfd_PlotThreatRing(const ObjectRecord* object, const ObjectRecord* own);
void mfd_PlotMissile(const ObjectRecord* object, const ObjectRecord* own);
void mfd_PlotListMarker(const ObjectRecord* object, const ObjectRecord* own);
void mfd_PlotListHeading(const ObjectRecord* object, const ObjectRecord* own);
void mfd_PlotCategoryLists(const ObjectRecord* own);
// The name in a filled box under the current point.
void mfd_DrawNameTag(const ObjectRecord* object);
// Nonzero when the terrain hides the object from the own aircraft or it lies
// outside the radar's search cone.
int32_t mfd_LineOfSightToObject(const ObjectRecord* object, const ObjectRecord* own);
// The two 256-byte line buffers of the MFD pages.
extern char mfd_LineBuffer[2][256];

// ---- Labels, title line and readouts ----
// The 15-character title buffer ('#' until first written).
extern char mfd_TitleBuffer[16];
// The twenty button labels of a page (enlarged view).
void mfd_DrawButtonLabels(const MfdPageRecord* page);
void mfd_SetTitle(const char* text);
void mfd_DrawTitleLine(void);
void mfd_DrawPage3Labels(void);
// The situation page's height and heading footer.
void mfd_DrawHeightHeading(void);
// The enlarged situation view, its range line and view wedge.
void mfd_DrawEnlargedSituation(void);
void mfd_DrawRangeText(void);
void mfd_DrawViewWedge(void);
// Cockpit hooks 10 and 11: the tactical map's picture at its range and the
// ownship symbol at its point.
void avion_MapPictureHook(int32_t range);
void avion_MapOwnshipHook(int32_t x, int32_t y);
