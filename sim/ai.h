// Unit AI: the mission's computer-controlled aircraft, ground units and
// structures. Creation from the mission's placed records, the groups with
// their leaders and formation slots, the per-frame services the command
// programs call, damage and death. Server side of the main thread only.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord;
struct _AI_DCB;

// ---- Unit types ------------------------------------------------------------

// The built-in command programs, as the unit AI names them; the command
// interpreter owns them and gives their addresses (ai_BuiltinProgram).
enum AiProgram : uint8_t {
    AI_PROGRAM_IDLE,
    AI_PROGRAM_TAXI,
    AI_PROGRAM_TAKEOFF,
    AI_PROGRAM_CLIMBOUT,
    AI_PROGRAM_ROUTE,
    AI_PROGRAM_REJOIN,
    AI_PROGRAM_GUN,
    AI_PROGRAM_FLAK,
    AI_PROGRAM_DEFENCE,
    AI_PROGRAM_AREA,
    AI_PROGRAM_IDLE_LOOP,
    AI_PROGRAM_PULLUP,
    AI_PROGRAM_FOLLOW,
    AI_PROGRAM_STRIKE,
    AI_PROGRAM_ATTACK,
    AI_PROGRAM_LANDING,
    AI_PROGRAM_TARGET_LOST,
    AI_PROGRAM_SOLO_ROUTE,
    AI_PROGRAM_ESCORT,
    AI_PROGRAM_ASSIST,
    AI_PROGRAM_GUARD,
    AI_PROGRAM_TURN_MINUS_PLUS,  // turn-minus, turn-plus, then attack
    AI_PROGRAM_TURN_PLUS_MINUS,  // turn-plus, turn-minus, then attack
    AI_PROGRAM_EVADE0,   // evasive manoeuvres 0..7 follow in order
    AI_PROGRAMS = AI_PROGRAM_EVADE0 + 8,
};
// The address of a built-in program (never null for a valid id).
const void* ai_BuiltinProgram(int32_t program);

// Unit type descriptor. Speeds and rates are 16.16 per frame, angles 25-bit.
struct AiUnitType {
    int32_t maxSpeed;
    int32_t takeoffSpeed;
    int32_t cruiseSpeed;
    int32_t headingRate, pitchRate, rollRate;
    int32_t acceleration;
    uint16_t hitPoints;
    uint8_t targetClass;
    int32_t pauseLength;      // frames
    int32_t slowSpeed;        // above it turns slow the unit
    int32_t attackHeight;     // world height of ground attacks
    int32_t attackRange;
    uint8_t defaultProgram;   // AiProgram
    uint8_t attackProgram;
    uint16_t evasion[12];     // band x 4 + skill; low byte: manoeuvres 0..7
};
constexpr int32_t AI_UNIT_TYPES = 31;
extern const AiUnitType ai_UnitTypes[AI_UNIT_TYPES];
// Turn factors (16.16) by speed >> 10.
constexpr int32_t AI_TURN_FACTORS = 199;
extern const int32_t ai_TurnFactor[AI_TURN_FACTORS];
// Skill factors (16.16) by skill level 0..3.
extern const int32_t ai_SpeedSkill[4];
extern const int32_t ai_TurnSkill[4];
extern const int32_t ai_PauseSkill[4];

// Formation slots: an offset from the leader (its frame: x right, y up, z
// ahead), then commanded heading and pitch offsets. Member n takes slot n-1.
struct AiFormationSlot {
    FixVec3 offset;
    int32_t heading;
    int32_t pitch;
};
constexpr int32_t AI_FORMATIONS = 4;
constexpr int32_t AI_GROUP_MEMBERS = 10;
extern const AiFormationSlot ai_Formations[AI_FORMATIONS][AI_GROUP_MEMBERS];

// ---- States and module tables ------------------------------------------------

enum AiState : uint8_t {
    AI_STATE_IDLE = 0,
    AI_STATE_GROUND = 1,
    AI_STATE_ROUTE = 2,
    AI_STATE_TAKEOFF = 3,
    AI_STATE_FOLLOW = 4,
    AI_STATE_ATTACK = 5,
    AI_STATE_EVADE = 6,
    AI_STATE_PULLUP = 7,
    AI_STATE_LANDING = 8,
    AI_STATE_STRIKE = 9,
    AI_STATE_REJOIN = 10,
};

constexpr int32_t AI_GROUPS = 128;
// The group the player flies in: its aircraft follow the player.
constexpr int32_t AI_PLAYER_GROUP = 0;
constexpr int32_t AI_GROUND_LIST = 64;
struct AiModule {
    ObjectRecord* leader[AI_GROUPS];
    ObjectRecord* members[AI_GROUPS][AI_GROUP_MEMBERS];
    int32_t aircraftStart[AI_GROUPS], aircraftNow[AI_GROUPS];
    int32_t groundStart[AI_GROUPS], groundNow[AI_GROUPS];
    int32_t onGround[AI_GROUPS];         // aircraft still on the ground
    ObjectRecord* subtype1[AI_GROUND_LIST];
    int32_t subtype1Count;
    ObjectRecord* subtype2[AI_GROUND_LIST];
    int32_t subtype2Count;
    int32_t phase;                       // rotating seed of the frame counters
    int32_t sideLosses[2];
};
extern AiModule ai_Module;

// Units that started in the air, per alliance (the object's alliance-B flag
// picks the second).
extern int32_t ai_AirStartCount[2];
// The AI aircraft flying as the player's wingman, or null.
extern ObjectRecord* ai_Wingman;

// ---- Mission start -----------------------------------------------------------

void ai_ClearModuleData(void);
void ai_LinkWaygroups(void);
void ai_AttachNearbyUnits(void);
void ai_SaveGroupCounters(void);
void ai_Nop(void);

// Sets up a new AI or static object from its 76-byte mission placed record.
void ai_InitObjectByKind(ObjectRecord* object, const void* placed);
// The command interpreter's start of a unit: its think routine and first
// program.
void ai_ProgramStart(ObjectRecord* object, const void* placed);
void ai_UnitThink(ObjectRecord* object);
// Loss bookkeeping of a ground unit or structure.
void ai_ObjectDestroyed(ObjectRecord* object);
// Single player: the player's aircraft entered; it leads its group's first
// member, which becomes its wingman.
void ai_PlayerWingmanSet(ObjectRecord* player);

// Mission data errors: "Mission Error!\n\n%s ..." with the unit's name. The
// handler shows the text and ends the program; tests and the fuzz target
// put their own (which returns, and the caller gives up on the unit).
typedef void (*AiMissionErrorHandler)(const char* text);
extern AiMissionErrorHandler ai_MissionErrorHandler;
void ai_MissionError(const char* format, const ObjectRecord* unit);

// ---- Events --------------------------------------------------------------------

// A player locked a new target: the target's sighting events with the
// aircraft as spotter, and the target's reaction to the aircraft.
void ai_PostKillEvents(ObjectRecord* aircraft, ObjectRecord* target);
void ai_ReactToThreat(ObjectRecord* unit, ObjectRecord* other);
// Run before a client trigger message of kind 5 (the player's take-off) or 4.
void ai_TriggerKind5Action(ObjectRecord* player);
void ai_TriggerKind4Action(ObjectRecord* player);
// The player's aircraft took off: its first follower, when idle, goes on
// at its take-off roll.
void ai_FollowerWake(ObjectRecord* player);
// The sighting events of a hostile found by the spotter.
void ai_SightingEvents(ObjectRecord* spotter, ObjectRecord* hostile);
// Single player, every 64 frames of a unit: its near events.
void ai_NearEvents(ObjectRecord* unit);
// Remaining strength of a group: 10 - 10 x lost / at start.
int32_t ai_RemainingStrength(int32_t atStart, int32_t now);

// ---- Damage and death ----------------------------------------------------------

// The damage routine of AI units: reads the hit record.
void ai_UnitDamage(ObjectRecord* unit);
void ai_LeaderDeath(ObjectRecord* unit);
void ai_MemberDeath(ObjectRecord* unit);
// The group's on-ground count after a unit left the ground or died there;
// (group, 1) once it reaches 0.
void ai_GroupAirborne(ObjectRecord* unit);

// ---- Services (one frame of work each; nonzero: done) --------------------------

int32_t ai_FlyToWaypoint(ObjectRecord* unit);
int32_t ai_TaxiToStep(ObjectRecord* unit);
int32_t ai_TurnToStep(ObjectRecord* unit);
int32_t ai_TurnToHeading(ObjectRecord* unit);
int32_t ai_ClimbOut(ObjectRecord* unit);
int32_t ai_LandingRoll(ObjectRecord* unit);
int32_t ai_FlyFormation(ObjectRecord* unit);
int32_t ai_Rejoin(ObjectRecord* unit);
int32_t ai_LevelOut(ObjectRecord* unit);
int32_t ai_SteerToCommand(ObjectRecord* unit);
int32_t ai_AimAtTarget(ObjectRecord* unit);
int32_t ai_AirAttack(ObjectRecord* unit);
int32_t ai_GroundAttackRun(ObjectRecord* unit);
int32_t ai_FireAtTarget(ObjectRecord* unit);
int32_t ai_GroundFire(ObjectRecord* unit);
int32_t ai_BurstDone(ObjectRecord* unit);
int32_t ai_CollisionAhead(ObjectRecord* unit);
int32_t ai_DefenceSearch(ObjectRecord* unit);
int32_t ai_AreaSearch(ObjectRecord* unit);
int32_t ai_GunDefence(ObjectRecord* unit);
int32_t ai_FlakFire(ObjectRecord* unit);
// The countermeasure step (every 128 frames, skill above 1); nonzero when
// it switched the unit's program.
int32_t ai_Countermeasures(ObjectRecord* unit);

// Steering toward a point: one frame of heading, roll and pitch change.
// The heading error before the turn (signed) in *headingError and the pitch
// error in *pitchError when given.
void ai_SteerToPoint(ObjectRecord* unit, const FixWorldPos* point, int32_t* headingError, int32_t* pitchError);
// Speed toward the value by at most the step.
void ai_SpeedToward(ObjectRecord* unit, int32_t value, int32_t step);

// Weapon choice by range and engagement bits: 5, 6, 7, or 0 for none (also
// stored in the unit's weapon byte).
int32_t ai_ChooseWeapon(ObjectRecord* unit, ObjectRecord* target);
// Hostiles for the group: every one found gets the first free member that
// can take it.
void ai_AssignAttackers(ObjectRecord* unit);
// Gives the hostile to the first fitting member of the unit's group; nonzero
// when one took it.
int32_t ai_AssignTarget(ObjectRecord* unit, ObjectRecord* hostile);
// The nearest hostile of the unit's side masks within the range, or null.
ObjectRecord* ai_NearestHostile(ObjectRecord* unit, int32_t range);
// An airborne AI unit evades (state 6 and an evasive manoeuvre).
void ai_Evade(ObjectRecord* unit);
// The evasive manoeuvre 0..7 for a mask and a random start bit.
int32_t ai_EvasionPick(uint8_t mask, uint32_t random);
// The evasion band of a height above the terrain.
int32_t ai_EvasionBand(int32_t heightAboveTerrain);
// Runs the current waypoint's action (after copying its behaviour byte and
// engagement bits down the group chain).
void ai_WaypointAction(ObjectRecord* unit);
// Moves the unit to waypoint n of its route (the first past the end).
void ai_WaypointSet(ObjectRecord* unit, int32_t n);
// Road movement of road vehicles; the transient flyer.
void ai_RoadThink(ObjectRecord* unit);
void ai_TransientThink(ObjectRecord* object);
// The end routine of a missile an AI unit launched: clears the countdown
// in its launcher.
void ai_MissileTargetLost(ObjectRecord* missile);

// Accessors.
_AI_DCB* ai_Unit(ObjectRecord* object);          // null unless an AI-pool record
const AiUnitType* ai_TypeOf(const ObjectRecord* object);
