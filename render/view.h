// View state, view modes and camera objects as the other subsystems use
// them.
//
// The camera fields that the eye routines and the unit conversions
// (fix_ViewFromFrame) write and the 3D projection reads; the view modes with
// their sub-views; the look words that the input actions change; the camera
// objects.
#pragma once
#include <cstdint>

#include "base/fix.h"
#include "base/math.h"

struct ObjectRecord;

struct ViewState {
    FixWorldPos position;       // camera position, world units (the eye position)
    FixAngles angles;           // camera heading, pitch, roll
    FixAngles previousAngles;   // the renderer's copy of the angles
    uint32_t angleChanges;      // raised at every new copy
    FixSinCosBlock cameraTrig;  // sines and cosines of the angles
    FixSinCosBlock viewMatrix;  // sines and cosines of the negated angles (the rotation set)
};

inline ViewState view_State = {};

// The near distance of the 3D view: camera-space depths below it are
// behind the camera. Signed, in 1/128 units (compared after a shift by 7).
extern int32_t ViewNearDistance;

// The object the current view follows; its world position anchors the
// leader lines of the 3D markers. Null when the view follows nothing.
extern ObjectRecord* ViewedObject;

// The view mode table, by number.
enum : int32_t {
    VIEW_MODE_COCKPIT,
    VIEW_MODE_HUD,
    VIEW_MODE_DEFAULT,
    VIEW_MODE_FOLLOW,
    VIEW_MODE_FLY_BY,
    VIEW_MODE_WINGMAN,
    VIEW_MODE_MISSILE,
    VIEW_MODE_TARGET,
    VIEW_MODE_LOW_CHASE,
    VIEW_MODE_TARGET_LOCK,
    VIEW_MODE_STATUS,
    VIEW_MODE_HORIZON,
    VIEW_MODE_DEFENSE,
    VIEW_MODE_STORES,
    VIEW_MODE_ATTACK,
    VIEW_MODE_NAVIGATION,
    VIEW_MODE_STICK,
    VIEW_MODE_THROTTLE,
    VIEW_MODE_SNAP_LEFT,
    VIEW_MODE_SNAP_RIGHT,
    VIEW_MODE_SNAP_BACK,
    VIEW_MODE_TARGET_FROM_OBJECT,
    VIEW_MODE_COUNT
};

// One sub-view of a view mode: the eye routine that places the camera, the
// option bits (VIEW_OPT_*), an argument some eyes read and the near plane.
struct ViewSubView;
typedef void (*ViewEyeRoutine)(ObjectRecord* object, const ViewSubView* entry);
struct ViewSubView {
    ViewEyeRoutine eye;
    uint32_t options;
    int32_t argument;
    int32_t nearPlane;
};

// A view mode: its viewed object, sub-views and the look angles and distance
// it keeps while another mode is current.
struct ViewModeRecord {
    ObjectRecord* viewedObject;  // null: none
    int16_t subView;             // current sub-view number
    int16_t subViewCount;
    const ViewSubView* subViews;
    const int32_t* subViewNames; // string numbers, one per sub-view
    int32_t lookYaw, lookPitch, lookRoll;
    int32_t distance;
};

// Option bits of a sub-view.
enum : uint32_t {
    VIEW_OPT_TURN_FOLLOW = 0x1,      // look yaw follows the aircraft's turning on the ground
    VIEW_OPT_TRACKING = 0x2,         // padlock blend eases towards full
    VIEW_OPT_PANEL_FIRST = 0x4,      // panel redraw before the world pass
    VIEW_OPT_PANEL = 0x8,            // panel view
    VIEW_OPT_LOOK_KEYS = 0x10,       // the camera axes turn the look angles
    VIEW_OPT_LOOK_TARGET = 0x20,     // look angles ease towards the target look angles
    VIEW_OPT_HIDE_COCKPIT = 0x80,    // viewed object hidden, no 3D cockpit
    VIEW_OPT_COCKPIT_LAYERS = 0x100, // 3D cockpit, HUD, blackout; zoom adjusts the map
    VIEW_OPT_REAIM_CLEARS = 0x200,   // re-aim clears the look angles; padlock blend runs
    VIEW_OPT_KEEP_SUBVIEW = 0x400,   // the sub-view stays when the mode is selected anew
    VIEW_OPT_ZOOM_DISTANCE = 0x800,  // zoom changes the camera distance
    VIEW_OPT_TEMPORARY = 0x1000,     // not remembered; selected again returns
    VIEW_OPT_LOOK_RETURN = 0x2000,   // look angles ease back to 0 without look input
    VIEW_OPT_CHASE = 0x4000,         // chase views (the look pitch axis is reversed)
    VIEW_OPT_HIDE_VIEWED = 0x8000,   // viewed object hidden during the world pass
    VIEW_OPT_COCKPIT_FAMILY = 0x10000,
    VIEW_OPT_VCURSOR = 0x20000,      // the virtual cursor works
};

// The 22 view modes, indexed by VIEW_MODE_*.
extern ViewModeRecord view_ModeTable[VIEW_MODE_COUNT];

// The view state beyond the camera fields of view_State.
struct ViewStateWords {
    ViewModeRecord* pending;     // applied by view_ModeSelect
    ViewModeRecord* current;
    ViewModeRecord* previous;    // last applied
    ViewModeRecord* remembered;  // returned to after a temporary mode
    int32_t lookRoll;
    int32_t subViewNumber;       // noted before the eye routine runs
    const ViewSubView* subViewEntry;
    int32_t projectionTerm;      // view_SetQuarterExtent
    uint8_t cockpitToCockpit;    // a change between cockpit views is under way
    uint8_t cameraPlaced;        // 0: the next chase placement snaps
    uint8_t noReAim;
};
extern ViewStateWords view_Words;

// Option bits of the current sub-view (0x100: leader lines end at the
// screen centre).
extern uint32_t ViewFlags;
// Look yaw and pitch (25-bit angles) and the camera distance (16.16).
extern int32_t view_LookYaw;
extern int32_t view_LookPitch;
extern int32_t view_CameraDistance;
// 1 while the camera actions may change the view (set when the player's
// object is bound).
extern int32_t view_ActiveFlag;
// Sub-mode of the follow camera, 0..2.
extern int32_t view_FollowSubMode;
// Nonzero while the follow camera spins by itself.
extern uint8_t view_CameraAutoSpin;
// The view near plane of the current sub-view; the object renderer copies it
// into ViewNearDistance, the near plane the clippers use.
extern int32_t view_NearPlane;
// Vertical projection centre of the 3D view, 1/128 pixel.
extern int32_t view_ProjectionCentreY;

// Stores mode n as the pending mode (applied at the end of the frame).
void view_ModeRequest(int32_t mode);
// Applies the pending view mode record; the C form stores mode first.
void view_ModeSelect(void);
void view_ModeSelectC(ViewModeRecord* mode);
void view_ModeReturn(void);
void view_ReAim(void);
void view_TargetSet(ViewModeRecord* mode, ObjectRecord* object);
// The number of the current mode, -1 for none.
int32_t view_ModeCurrentGet(void);
// Nonzero when the current mode looks at the player's own aircraft.
int32_t view_ViewedIsPlayer(void);

// Camera state back to its start (client start and stop, level start).
void view_Reset(void);
void view_StateReset(void);
void view_MissionStartReset(void);
void view_BlockClear(void);
void view_SetQuarterExtent(void);
// Per client frame: follow the viewed object; ease the look angles back.
void view_TrackUpdate(void);
void view_LookAnglesEase(void);

// External camera block of the eye routines.
struct ViewCameraBlock {
    int32_t groundClearance;    // 16.16
    int32_t targetYaw, targetPitch, targetRoll;
    int32_t padlockBlend;       // 0..0x800000
    FixVec3 cockpitEyeOffset;
    int32_t lookAtHeading, lookAtPitch;
};
extern ViewCameraBlock view_CameraBlock;
// The cockpit model the eye offsets are read from (null: none).
struct _PAK_HEADER;
extern _PAK_HEADER* view_CockpitModel;

// Eye routines (the mode table names them).
void view_EyeChase(ObjectRecord* object, const ViewSubView* entry);
void view_EyeHighChase(ObjectRecord* object, const ViewSubView* entry);
void view_EyeLowChase(ObjectRecord* object, const ViewSubView* entry);
void view_EyeFlyBy(ObjectRecord* object, const ViewSubView* entry);
void view_EyeObjectToTarget(ObjectRecord* object, const ViewSubView* entry);
void view_EyePadlock(ObjectRecord* object, const ViewSubView* entry);
void view_EyeSnapYaw(ObjectRecord* object, const ViewSubView* entry);
void view_EyePanel7(ObjectRecord* object, const ViewSubView* entry);
void view_EyePanel8(ObjectRecord* object, const ViewSubView* entry);
void view_EyePanel(ObjectRecord* object, const ViewSubView* entry);

int32_t view_CameraDistanceTo(const FixWorldPos* position);
// 0..256, falling linearly from 256 at distance 0 to 0 at 0x1000000.
int32_t view_DistanceGain(int32_t distance);
void view_OrbitCameraSetC(ObjectRecord* object);
void view_CamerasReset(void);

// Camera objects.
struct _CAM;
// Settings block of a camera (native; the named fields add up to 22 words).
struct ViewCameraSettings {
    int32_t mode;
    int32_t targetKind;
    int32_t k;
    int32_t zero[8];
    float base[3];
    float gains[4];
    float acceleration;
    float spare;
    float maximumSpeed;
    float range;
};
struct _CAM {
    _CAM* prev;
    _CAM* next;
    int32_t listPosition;
    ViewCameraSettings settings;
    MathFrame current;
    MathFrame target;
    MathFrame working;
    float speed;
    MathVec3 offset;
    float centreStep, centre, centreTarget;
    float fovStep, fov, fovTarget;
    float saved[3];       // orbit distance, spin and tilt (degrees)
    float smoothed[3];
    float smoothedStep[3];
};
extern const ViewCameraSettings view_CameraSettingsFirst;
extern const ViewCameraSettings view_CameraSettingsSecond;
// The two cameras of the client (null before view_CamerasCreate).
extern _CAM* view_CameraFirst;
extern _CAM* view_CameraSecond;
struct ViewCameraList {
    _CAM* head;
    _CAM* tail;
    int32_t count;
};
extern ViewCameraList view_Cameras;
typedef void (*ViewCameraRoutine)(_CAM* camera);
extern const ViewCameraRoutine view_CameraModeTable[7][2];

_CAM* view_CameraCreate(const ViewCameraSettings* settings);
void view_CameraDestroy(_CAM* camera);
void view_CameraCurrentSet(_CAM* camera, const void* eyeBlock);
void view_CameraPositionSave(_CAM* camera);
void view_CameraModeSetup(_CAM* camera);
// Eye position of a cockpit panel (0..10) from the model's named nodes.
int32_t view_CockpitEyeOffset(const _PAK_HEADER* model, int32_t panel, FixVec3* out);
void view_CamerasCreate(void);

// The current camera (the focus object when it is a camera), or null.
_CAM* view_CameraCurrentGet(void);
// Puts the camera back on its resting orbit (distance, spin and tilt from
// its settings) and snaps it there.
void view_CameraPark(_CAM* camera);
// Nonzero for the external (follow) camera.
int32_t view_CameraIsExternal(const _CAM* camera);
// Its saved orbit distance.
float view_CameraDistanceGet(const _CAM* camera);
void view_CameraDistanceSet(_CAM* camera, float distance);
// Saves its four motion words (eye speed, the three smoothed-orbit steps)
// in view_CameraHeldMotion and zeroes them (for the pause).
void view_CameraMotionHold(_CAM* camera);
extern float view_CameraHeldMotion[4];
// Its target eye frame (a 48-byte eye block; null clears it) and its eye
// offset (null clears it).
void view_CameraEyeSet(_CAM* camera, const void* eyeBlock);
void view_CameraOffsetSet(_CAM* camera, const MathVec3* offset);
// Keeps its angles within half a turn of their targets.
void view_CameraAnglesUnwrap(_CAM* camera);
// Runs its mode routine for this frame.
void view_CameraModeFrame(_CAM* camera);
// Frees both camera objects (client stop).
void view_CamerasFree(void);

// Sound geometry of the view.
// The distance from the view position (the listener) to a world position:
// the length of the offset, wrapped per axis, saturating at INT32_MAX.
int32_t view_ListenerDistance(const FixWorldPos* position);
// The direction byte of an offset from the listener in the camera's frame
// (0 ahead, 64 left, 128 behind, 192 right); 0 below distance 0x10000.
int32_t view_TransformToCamera(int32_t dx, int32_t dy, int32_t dz, int32_t distance);

// The key handler of the ejection sequence's screen state.
void view_EjectKeys(void);

// The start-position index (0..15) that the start-position cycling steps
// through; 0 until it is set.
extern int32_t view_StartPosition;
