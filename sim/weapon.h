// Weapon types, the current weapon and weapon objects.
//
// Every store the simulation knows is one constant row of weapon_Types. The
// player has one current weapon: selecting it copies its row into
// weapon_Current and finds the ordnance manager's panel and mount for it.
// The rows name their seeker, guidance, launch and removal routines by kind.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord;
struct WeaponObjectFields;
struct _PAK_HEADER;

constexpr int32_t WEAPON_TYPES = 39;

// Kind bits of a row.
enum : uint32_t {
    WEAPON_GUN = 0x1,
    WEAPON_AAM = 0x2,
    WEAPON_AGM = 0x4,
    WEAPON_BOMB = 0x8,
    WEAPON_POD = 0x10,
    WEAPON_MISSILE = 0x20,
    WEAPON_FAMILY_A = 0x40,
    WEAPON_FAMILY_B = 0x80,
    WEAPON_AIR_TO_AIR = 0x100,
    WEAPON_AIR_TO_GROUND = 0x200,
    WEAPON_ANTI_SHIP = 0x400,
    WEAPON_RADAR_ACTIVE = 0x800,
    WEAPON_RADAR_SEMI = 0x1000,
    WEAPON_RADAR_ANTI = 0x2000,
    WEAPON_IR_MISSILE = 0x4000,
    WEAPON_IR_IMAGING = 0x8000,
    WEAPON_TV = 0x10000,
    WEAPON_LASER = 0x20000,
    WEAPON_GPS = 0x40000,
    WEAPON_TARGET_LIST = 0x80000,
    WEAPON_SEED_LIST = 0x100000,
    WEAPON_LIST_CAT01 = 0x200000,
    WEAPON_LIST_CAT20 = 0x400000,
    WEAPON_LIST_CAT40 = 0x800000,
    WEAPON_BIT24 = 0x1000000,
    WEAPON_BIT25 = 0x2000000,
    WEAPON_AREA_BLAST = 0x4000000,
};
// The kind of a store for the kind jumps: gun, AAM, AGM, bomb, pod.
constexpr uint32_t WEAPON_KIND_MASK = 0x1F;

// The routines a row binds, by kind.
enum WeaponSeekerKind : int32_t {
    WEAPON_SEEKER_NONE,
    WEAPON_SEEKER_INFRARED,
    WEAPON_SEEKER_ACTIVE_RADAR,
    WEAPON_SEEKER_SEMI_ACTIVE_RADAR,
    WEAPON_SEEKER_ANTI_RADIATION,
    WEAPON_SEEKER_INFRARED_IMAGING,
    WEAPON_SEEKER_TELEVISION,
    WEAPON_SEEKER_LASER,
    WEAPON_SEEKER_SATELLITE,
};
enum WeaponGuidanceKind : int32_t {
    WEAPON_GUIDANCE_NONE,
    WEAPON_GUIDANCE_PURSUIT,
    WEAPON_GUIDANCE_PURSUIT_REACQUIRE,
};
enum WeaponLaunchKind : int32_t {
    WEAPON_LAUNCH_NONE,
    WEAPON_LAUNCH_GUN,
    WEAPON_LAUNCH_MISSILE,
    WEAPON_LAUNCH_BOMB,
};
enum WeaponDecoyKind : int32_t {
    WEAPON_DECOYS_NONE,
    WEAPON_DECOYS_FLARES,
    WEAPON_DECOYS_CHAFF,
};

// One weapon type. Angles in units of 0x2000000 a full turn; ranges in
// units of 65536 world units.
struct _WEAPON_TYPE {
    const char* id;               // null ends the table
    const char* displayName;
    const char* mountModel;       // as hung on the aircraft, or null
    const char* model;            // the released object, or null
    int32_t index;
    int32_t shortText;            // QJGAME.BIN item of the short name
    int32_t secondText;           // shortText + 151
    uint32_t kind;
    int32_t designation;          // 1: the three target-list routines
    WeaponSeekerKind seeker;
    WeaponGuidanceKind guidance;
    int32_t bombRoutines;         // 1 on every bomb row
    WeaponLaunchKind launch;
    int32_t removal;              // 1: can be jettisoned
    uint32_t reserved0;
    float mass;
    float fuel;
    int32_t hitValue;
    int32_t hitSpread;
    int32_t radiusValue;
    int32_t bombSteeringStep;
    int32_t lifetime;
    int32_t releaseInterval;      // frames between two releases
    int32_t seekerRange;
    int32_t secondRange;
    int32_t turnLimit;
    int32_t turnRamp;
    int32_t gimbalLimit;
    float slewRate;               // degrees per frame
    float seekerField;            // degrees
    float lockTolerance;          // degrees
    int32_t speedStep;
    int32_t topSpeed;
    uint32_t reserved1;
    int32_t hitKind;
    int32_t targetClasses;
    int32_t searchKindA;
    int32_t searchKindB;
    int32_t warningBits;
    WeaponDecoyKind decoys;
    int32_t dropFrames;
    int32_t dropValue;
    int32_t soundNumber;
    uint32_t reserved2;
    int32_t gunFactors[3];        // 16.16
    uint32_t reserved3;
    int32_t firingSoundInterval;
    int32_t rating;
    int32_t defaultCount;
    int32_t defaultCapacity;
    int32_t sizeClass;
};

// The table: 39 rows and a null-id end row.
extern const _WEAPON_TYPE weapon_Types[WEAPON_TYPES + 1];

// The words of a row that change at run time.
struct WeaponRowState {
    _PAK_HEADER* model;           // loaded by weapon_LoadModels, or null
    int32_t slot;                 // level model slot number, 0 when none
    int32_t lastFiringSound;      // clock of the last firing sound
};
extern WeaponRowState weapon_RowState[WEAPON_TYPES];

// The current weapon (the player's).
extern int32_t weapon_CurrentId;           // -1 none
extern int32_t weapon_CurrentPanelIndex;   // -1 none
extern int32_t weapon_CurrentMount;        // -1 none
extern _WEAPON_TYPE weapon_Current;        // copy of the row; index -1 when none
extern const _WEAPON_TYPE* weapon_CurrentRow;
extern float weapon_SeekerHead[2];         // horizontal, vertical
// The last direction the head tracked (horizontal, vertical) and the angle
// between it and the head, in degrees, kept for the seeker readout.
extern float weapon_SeekerTrack[3];
// The aircraft's gun mode (0 air-to-air, 1 air-to-ground): the cannon key
// toggles it on the gun panel; the weapon-changed hook applies it.
extern int32_t weapon_GunMode;
// The row the weapon routine now running works on.
extern const _WEAPON_TYPE* weapon_ProcessedType;

// The row of the index, or null outside 0..38.
const _WEAPON_TYPE* weapon_TypeGet(int32_t type);
// Store class 0..7: 0 gun, 1..4 missiles, 5 bomb, 6 fuel pod, 7 other.
int32_t ord_StoreClass(int32_t type);
// Loadout screen texts of a row: "LO_AIRTOSHIP", ... and "LO_RADAR", ...;
// null when no bit selects one.
const char* weapon_KindText(int32_t type);
const char* weapon_GuidanceText(int32_t type);

// Makes the weapon current (-1 or anything outside 0..38: none).
void weapon_Select(int32_t type);
// Back to no weapon without the selection's side effects (flight start).
void weapon_CurrentReset(void);
// Makes weapon type 0..38 the one the next launch or bullet works on (row 0
// outside the range).
void weapon_SetCurrentType(int32_t type);

void weapon_SelectByIndex(int32_t panelIndex);
void weapon_SelectByMount(int32_t mountNumber);
void weapon_SelectPrev(void);
void weapon_SelectNext(void);
struct _ORDNANCE_PANEL;
_ORDNANCE_PANEL* weapon_FindFirstOfKind(uint32_t mask);
_ORDNANCE_PANEL* weapon_FindLastOfKind(uint32_t mask);
void weapon_SelectFirstOfKind(uint32_t mask);
void weapon_SelectLastOfKind(uint32_t mask);
void weapon_SelectKindPrev(void);
void weapon_SelectKindNext(void);
void weapon_SelectPrevInKind(uint32_t mask);
void weapon_SelectNextInKind(uint32_t mask);
void weapon_SelectSamePrev(void);
void weapon_SelectSameNext(void);

// The aircraft's key codes of the SELECT_WEAPON_* actions (9 to 34, the
// frame's input command): runs the selection; 1 when the code was one.
int32_t weapon_KeyCode(int32_t code);

// Level load: the model of every weapon type into its model slot.
void weapon_LoadModels(void);
void weapon_UnloadModels(void);
// Mission start: empties the flare and chaff lists and the launch counters.
void weapon_DecoyListsReset(void);

// --- routines of the seekers, guidance and launches --------------------------

// The air-to-ground target list: refilled on selection; the player's target
// is checked against the list the current weapon uses.
void weapon_TargetListSeed(void);
void weapon_TargetValidate(void);
// The flare and chaff lists (heads; the decoys chain through their
// type-list links) and the two launch counters (bullets made against the
// player, and by launchers with flag 0x08).
extern ObjectRecord* weapon_FlareList;
extern ObjectRecord* weapon_ChaffList;
extern int32_t weapon_LaunchCounters[2];

// The launch record the creations below read: the launch position and two
// launch values.
struct WeaponLaunchRecord {
    FixVec3 position;
    int32_t value[2];
};
extern WeaponLaunchRecord weapon_LaunchRecord;

// A bullet of the current type from the position, velocity and angles
// already in the object.
void weapon_InitBullet(ObjectRecord* bullet);
// Weapon objects of the current type from the launch record; null when none
// could be made.
ObjectRecord* weapon_LaunchMissileObject(ObjectRecord* launcher);
// A bomb of the processed type for the launcher; aimPoint may be null.
ObjectRecord* weapon_LaunchBombObject(ObjectRecord* launcher, const FixWorldPos* aimPoint);
void weapon_InitBomb(ObjectRecord* bomb, ObjectRecord* launcher, const FixWorldPos* aimPoint);
// Steering, gravity and tumble of a falling bomb.
void weapon_BombStep(ObjectRecord* bomb);
// The bomb's second pass: its blast once at or below the ground.
int32_t weapon_AreaBlast(ObjectRecord* bomb);
// A jettisoned store falling from the launcher; it bursts on the ground.
ObjectRecord* weapon_SpawnReleasedStore(ObjectRecord* launcher);
// The lock state at launch the missile creation reads (2: the launcher's
// target becomes the missile's).
extern uint8_t weapon_LaunchLock;
// A missile of the processed type for the launcher, off the launch record's
// station offset, drop frames (value 0) and drop value (value 1, 16.16);
// null when the pool is empty.
ObjectRecord* weapon_CreateMissile(ObjectRecord* launcher);
// Think routines: bullet (two moves a frame), missile drop phase, missile.
void weapon_BulletStep(ObjectRecord* bullet);
void weapon_MissileDrop(ObjectRecord* missile);
void weapon_MissileThink(ObjectRecord* missile);
// Calls the target-lost routine and frees the weapon.
void weapon_End(ObjectRecord* weapon);
// The player's launches of the current weapon: each refuses silently (dead
// launcher, store not ready, bomb beyond 84.375 degrees of pitch or roll,
// jettison while not upright), else takes the store and queues its message.
void weapon_LaunchMissile(ObjectRecord* launcher);
void weapon_LaunchBomb(ObjectRecord* launcher);
void weapon_Jettison(ObjectRecord* launcher);
// The fire trigger: the current weapon's launch routine (gun, missile or
// bomb by its row).
void weapon_LaunchRun(ObjectRecord* launcher);
// The jettison key: the current weapon's store removal (jettison), when its
// row has one.
void weapon_RemoveRun(ObjectRecord* launcher);
// The cannon trigger: the aircraft's gun (its first panel) whatever weapon
// is current; the selection stays as it was.
void weapon_FireCannon(ObjectRecord* launcher);
// The spawn parameters the next decoy takes, used once: the pool (null: the
// server's common pool for an owner, the client's without one) and the
// silent flag (a decoy made for a network message: no sound); the position
// is the launch record's.
struct DcbPool;
struct WeaponDecoySpawn {
    DcbPool* pool;
    uint8_t silent;
};
extern WeaponDecoySpawn weapon_DecoySpawn;
// The player's flare and chaff keys: one decoy from the client's pool and
// its MSG_ECMDROP; nothing with none left or the pool full.
void weapon_DropFlare(ObjectRecord* aircraft);
void weapon_DropChaff(ObjectRecord* aircraft);
// Launch record position = the launcher's + (0, 0x6000, -0x10000) turned.
void weapon_DecoySpawnPosition(const ObjectRecord* launcher);
void weapon_DecoyListPush(ObjectRecord* object, ObjectRecord** head);
void weapon_DecoyListRemove(ObjectRecord* object, ObjectRecord** head);
// 200 frames, then off its list and freed.
void weapon_DecoyStep(ObjectRecord* decoy);
// A flare or chaff object for the owner, or null.
ObjectRecord* weapon_FlareCreate(ObjectRecord* owner);
ObjectRecord* weapon_ChaffCreate(ObjectRecord* owner);
// The flare's draw: its glare, then the object.
void weapon_FlareDraw(ObjectRecord* flare);

// Systems-damage indices of the stores: the gun, the release system and the
// countermeasure dispenser.
constexpr int32_t WEAPON_SYS_GUN = 12;
constexpr int32_t WEAPON_SYS_RELEASE = 13;
constexpr int32_t WEAPON_SYS_DISPENSER = 14;
// The cockpit's countermeasure cue bits (2 flare, 1 chaff dropped).
extern uint32_t weapon_DecoyCues;
// The level's object types (model slots) of the flare and the chaff; -1 none.
extern int32_t weapon_DecoyTypes[2];

// --- unit AI launches (server side) -------------------------------------------

// The pitch and roll offsets of the bullets of the two AI gun muzzles.
extern FixAngles weapon_AiGunAngles[2];
// A missile of weapon type `type` (row 0 outside 0..38) off the unit's
// launch offset, locked on the unit's target; sets the unit's fired flag,
// which the missile clears when it ends. Null when none could be made.
ObjectRecord* weapon_AiLaunchMissile(ObjectRecord* unit, int32_t type, const FixVec3* launchOffset);
// A SAM from the launcher's position at its heading, 63.28 degrees up, at
// the launcher's target.
ObjectRecord* weapon_AiLaunchSam(ObjectRecord* launcher);
// The AI bomb off the unit's launch offset, aimed at its target's position.
ObjectRecord* weapon_AiDropBomb(ObjectRecord* unit, const FixVec3* launchOffset);
// One M61A1 bullet from muzzle entry 0 or 1, with its event for the clients.
ObjectRecord* weapon_AiGunShot(ObjectRecord* unit, int32_t entry);
// A flak burst of the launcher at the position; null when the pool is empty.
ObjectRecord* weapon_FlakCreate(ObjectRecord* launcher, const FixWorldPos* at);
void weapon_FlakStep(ObjectRecord* burst);

// --- gun, hits and endings ----------------------------------------------------

// The player's gun: one bullet of the current weapon and its MSG_BULLETFIRED.
void weapon_LaunchGun(ObjectRecord* launcher);
// The firing sounds of the processed type: 14 (or 15 within the row's
// firing-sound interval), then 12.
void weapon_FiringSound(void);
// A weapon sound of the aircraft's sound type at full volume.
void weapon_Sound(int32_t subtype, int32_t id);
// 1 when the record belongs to the server's world.
int32_t weapon_OnServer(const ObjectRecord* object);
// A hit of the weapon on the candidate (the hit record's multiplier set): 1.
int32_t weapon_ProximityTest(ObjectRecord* weapon, ObjectRecord* candidate);
// The first object the weapon hits: its target, its chain, its world cell.
ObjectRecord* weapon_FindHit(ObjectRecord* weapon);
// Second pass of bullets, missiles and flak: the ground, then a hit.
int32_t weapon_HitCheck(ObjectRecord* weapon);
// Second pass of released stores: the small blast once on the ground.
int32_t weapon_DirectBlast(ObjectRecord* store);
// Ground-hit routines: the missile's explosion event, and the bullet's
// impact sprite on land.
void weapon_Explode(ObjectRecord* weapon);
void weapon_TerrainHit(ObjectRecord* bullet);
// The bomb's area blast used as a missile's ground-hit routine.
void weapon_AreaBlastGround(ObjectRecord* weapon);
// The released store's think: gravity and tumble.
void weapon_StoreStep(ObjectRecord* store);
// The player's counters: shots and hits per store class (gun, missile
// family 0x40, missile family 0x80, bomb, fuel pod), each hit counter split
// by the victim's flags 0x4, 0x8, 0x10.
struct WeaponStats {
    int32_t shots[5];
    int32_t hits[5];
    int32_t hitsBy[5][3];
};
extern WeaponStats weapon_Stats;
// The per-weapon-type counters: shots, hits and hits by victim kind.
struct WeaponTypeStats {
    int32_t shots;
    int32_t hits;
    int32_t hitsBy[3];
};
extern WeaponTypeStats weapon_TypeStats[WEAPON_TYPES];
void weapon_StatsShot(const ObjectRecord* launcher, const _WEAPON_TYPE* row);
void weapon_StatsHit(const ObjectRecord* owner, const _WEAPON_TYPE* row, const ObjectRecord* victim);
// The player's last launched weapon (the missile camera follows it).
extern ObjectRecord* weapon_LastLaunch;
void weapon_NoteOwnLaunch(ObjectRecord* launcher, ObjectRecord* weapon);

// --- seekers and the air-to-ground target list ------------------------------

// Lock state of the player's aircraft: 0 none, 1 tracking, 2 locked, 3 locked
// with a bomb solution, 4 laser spot. Written by the seekers each frame.
extern uint8_t weapon_LockState;
// What the weapon overlay shows of the designation: the current weapon's
// marker routine (its third designation routine, set by the weapon-changed
// hook; null for none) and the world size of the bomb aim symbol drawn at
// the predicted impact point.
extern void (*weapon_DesignationDebug)(void);
extern int32_t weapon_AimSymbolSize;
// The aircraft's radar mode (1 on); the radar seekers need 1.
extern uint8_t weapon_RadarMode;
// This frame's seeker range (the row's << 16) and the cockpit's locked aim
// point, cleared whenever it leaves the seeker cone.
extern int32_t weapon_SeekerRange;
extern FixWorldPos weapon_AimPoint;
// The systems-damage index of the satellite navigation.
constexpr int32_t WEAPON_SYS_SATELLITE = 18;

struct WeaponImpact {
    FixWorldPos point;
    int32_t reach;
    uint8_t valid;
};
extern WeaponImpact weapon_Impact;
// The designated ground point of the sight ray, valid for this frame.
struct WeaponGroundPoint {
    FixWorldPos point;
    uint8_t valid;
};
extern WeaponGroundPoint weapon_GroundPoint;
constexpr int32_t WEAPON_IMPACT_STEPS = 4000;
constexpr int32_t WEAPON_BOMB_GRAVITY = 0x52;   // world units per frame per frame

// The seekers of the rows; weapon_SeekerRun dispatches by kind.
void weapon_SeekerActiveRadar(void);
void weapon_SeekerSemiActiveRadar(void);
void weapon_SeekerAntiRadiation(void);
void weapon_SeekerInfrared(void);
void weapon_SeekerImagingInfrared(void);
void weapon_SeekerTelevision(void);
void weapon_SeekerLaser(void);
void weapon_SeekerSatellite(void);
void weapon_SeekerRun(WeaponSeekerKind kind);

// Head tracking onto a position: 1 locked (within the row's tolerance).
int32_t weapon_SeekerHeadTrack(const FixWorldPos* position, uint32_t instant);
int32_t weapon_SeekerHeadTrackPoint(const FixWorldPos* position);
void weapon_SeekerHeadCentre(void);
void weapon_SeekerHeadReset(void);
void weapon_SeekerPointCheck(void);
// The target's view position must be set (weapon_SeekerViewTransform).
// Cone and range, range alone (in front and within the seeker range), cone
// alone (|2x| <= z and |2y| <= z).
int32_t weapon_SeekerConeRangeTest(const ObjectRecord* target);
int32_t weapon_SeekerRangeTest(const ObjectRecord* target);
int32_t weapon_SeekerConeTest(const ObjectRecord* target);
void weapon_SeekerViewTransform(ObjectRecord* target);
int32_t weapon_ArrayContains(const ObjectRecord* object, ObjectRecord* const* array, int32_t count);

// 0 with weapon_Impact filled, -1 (valid 0) when the launcher is too steep
// or the bomb meets no ground in WEAPON_IMPACT_STEPS frames.
int32_t weapon_BombImpactPredict(const ObjectRecord* launcher, int32_t reachStep);
int32_t weapon_BombTargetInReach(void);
int32_t weapon_BombSpotInReach(void);
int32_t weapon_SpotInRange(void);

constexpr int32_t WEAPON_TARGET_LIST_SIZE = 128;
struct WeaponTargetEntry {
    ObjectRecord* object;
    uint8_t flags;   // 1 player target list, 2 rebuild, 4 and 8 further markers
};
extern WeaponTargetEntry weapon_TargetList[WEAPON_TARGET_LIST_SIZE];
extern int32_t weapon_TargetCount;
extern int32_t weapon_TargetIndex;   // -1 none
// Colour slots of the four marker kinds.
constexpr int32_t WEAPON_MARKER_SLOT_LIST = 2;
constexpr int32_t WEAPON_MARKER_SLOT_REBUILT = 3;
constexpr int32_t WEAPON_MARKER_SLOT_4 = 4;
constexpr int32_t WEAPON_MARKER_SLOT_8 = 5;
void weapon_TargetListClear(void);
void weapon_TargetListRebuild(void);
void weapon_TargetListDraw(void);
void weapon_TargetListAdd(ObjectRecord* object);
ObjectRecord* weapon_TargetListGet(int32_t index);
void weapon_TargetPrev(void);
void weapon_TargetNext(void);
void weapon_TargetPrevUnflagged(void);
void weapon_TargetNextUnflagged(void);
void weapon_TargetNearestOnScreen(void);
// Takes every entry of the object out of the weapon target list; the index
// becomes -1 when its entry goes.
void weapon_TargetListRemove(ObjectRecord* object);

// The player aircraft's per-frame weapon step: designated ground point,
// target list, bomb impact prediction and the current weapon's seeker.
void weapon_PlayerStep(ObjectRecord* player);

// --- guidance -----------------------------------------------------------------

// The guidance fields of a weapon object (a record of a common pool).
WeaponObjectFields* weapon_Fields(ObjectRecord* weapon);
// Fresh weapon fields for the row, its hit values copied; the fields.
WeaponObjectFields* weapon_FieldsInit(ObjectRecord* weapon, const _WEAPON_TYPE* row);
// The row's guidance entry for the weapon object.
void weapon_GuidanceRun(ObjectRecord* weapon);
void weapon_GuidancePursuit(ObjectRecord* weapon);
void weapon_GuidanceInfrared(ObjectRecord* weapon);
void weapon_GuidanceStep(ObjectRecord* weapon);
// The last aim point and the errors to it, for the decoy check.
extern FixWorldPos weapon_GuidanceAim;
extern int32_t weapon_GuidanceYawError, weapon_GuidancePitchError;
extern int32_t weapon_TargetNotPlayer;
ObjectRecord* weapon_DecoyPick(ObjectRecord* weapon, ObjectRecord* list, int32_t maximum);
void weapon_DecoyCheck(ObjectRecord* weapon, ObjectRecord* decoy);
void weapon_LoseTarget(ObjectRecord* weapon);
