// The mission map screen: the mission's map picture with its objects and
// the player's route, zoom and scroll, waypoint stepping with a smooth pan,
// name popups, and waypoints dragged to new places. Main thread only.
#pragma once
#include <cstdint>

#include "menu/front.h"
#include "menu/mnu.h"

struct _ORF;
struct FileTable;

constexpr int32_t MNU_MAP_LABEL = 128;
constexpr int32_t MNU_MAP_WAYPOINTS = 32;
constexpr int32_t MNU_MAP_WAYPOINT_TYPE = 12;
constexpr int32_t MNU_MAP_PAN_STEPS = 20;
enum : int32_t { MNU_MAP_SHOWN = 0x1, MNU_MAP_MOVABLE = 0x2, MNU_MAP_THREAT = 0x4 };

// One map object or waypoint; positions in picture pixels.
struct MnuMapObject {
    char label[MNU_MAP_LABEL];
    int32_t x, y;
    int32_t subtype, type;
    int32_t iconFrame, nameIndex, marker;
    int32_t flags;  // MNU_MAP_*
    MnuRect icon;   // the icon's rectangle around (x, y), picture pixels
    MnuRect screen; // worked out per frame
};

// The icon strips: normal and highlighted, blue and red.
enum : int32_t { MNU_MAP_ICONS_B, MNU_MAP_ICONS_BL, MNU_MAP_ICONS_R, MNU_MAP_ICONS_RL, MNU_MAP_ICON_SETS };

struct MnuMapState {
    MnuRect view;                      // screen view: 0, 0, 464, 480 (right, bottom exclusive)
    int32_t pictureWidth, pictureHeight;
    int32_t level;                     // -1..4
    int32_t originX, originY;          // view origin in picture pixels
    int32_t width, height;             // view size in picture pixels
    int32_t step;                      // move step
    int32_t centreX, centreY;          // the first waypoint, or (232, 240)
    int32_t redraw, icons;
    // Pan to a waypoint.
    int32_t panning, panSteps, panDeltaX, panDeltaY, panRemainderX, panRemainderY;
    int32_t panX, panY, panTargetX, panTargetY;
    // Drag of a waypoint.
    int32_t dragging;
    MnuMapObject* dragged;
    int32_t dragFromX, dragFromY;
    int32_t selectedObject, selectedWaypoint, currentWaypoint;  // -1 none
    int32_t iconWidth, iconHeight;
    MnuMapObject* objects;    // "mnu MapObjects"
    int32_t objectCount;
    MnuMapObject* waypoints;  // "mnu WaypointList"
    MnuMapObject* undo;       // "mnu WaypointListUndo"
    int32_t waypointCount;
    void* anchor;             // "mnu Map Anchor"
    FileTable* gameData;
    MnuImage* picture;
    MnuImage* iconSets[MNU_MAP_ICON_SETS];
};
extern MnuMapState mnu_Map;
extern const AppStateRecord WndMap;

// A world position as picture pixels, and back (the picture height given).
void mnu_MapPixelFromWorld(uint32_t x, uint32_t z, int32_t* px, int32_t* py);
void mnu_MapWorldFromPixel(int32_t px, int32_t py, int32_t pictureHeight, int32_t* x, int32_t* z);

// The view: picture size and icon size given, level 0 at the origin.
void mnu_MapViewReset(int32_t pictureWidth, int32_t pictureHeight, int32_t iconWidth, int32_t iconHeight);
void mnu_MapZoomIn(void);
void mnu_MapZoomOut(void);
// 1 up, 2 right, 3 down, 4 left.
void mnu_MapMove(int32_t direction);
void mnu_MapCentreOn(int32_t x, int32_t y);

// The header key of an object's label by type and subtype.
const char* mnu_MapLabelKey(int32_t type, int32_t subtype);
// Fills the label: "%s %s" of the header text and the name, or the
// bullseye text for marker kind 3. Texts may be null.
void mnu_MapLabelFormat(MnuMapObject* o, const char* header, const char* name, const char* bullseye);

// The records from a mission (objects the mark query lists) and from a point
// list (count 24-byte points); the icon rectangles need the icon size set.
// Waypoints beyond MNU_MAP_WAYPOINTS are refused.
int32_t mnu_MapObjectsBuild(const _ORF* mission);
int32_t mnu_MapWaypointsBuild(const uint8_t* points, int32_t count);
void mnu_MapRecordsFree(void);

// Waypoint stepping and the pan's frame step.
void mnu_MapPanTo(int32_t waypoint);
void mnu_MapPanStep(void);
void mnu_MapScreenRects(void);
// The drag step and the pointer pass at a pointer position and left button.
void mnu_MapDragStep(int32_t x, int32_t y, int32_t leftHeld);
void mnu_MapPointer(int32_t x, int32_t y, int32_t leftHeld);
// The waypoints into level_WaypointList.
void mnu_MapWaypointsWrite(void);
// The zoomed copy of the picture's view into a 640-wide 16- or 32-bit frame
// (pixels in the picture's own format, converted by the caller's depth).
void mnu_MapPictureCopy(const uint16_t* picture, int32_t pictureWidth, int32_t pictureHeight, uint8_t* frame,
                        int32_t bytesPerPixel, int32_t rowPixels);

void cbMapAccept(int32_t);
void cbMapReset(int32_t);
void cbMapCenter(int32_t);
void cbMapZoomIn(int32_t);
void cbMapZoomOut(int32_t);
void cbMapWPL(int32_t);
void cbMapWPR(int32_t);
void cbMapMove(int32_t direction);
