// The player aircraft object's own fields, beyond the common object header:
// the aircraft family's part of a player record (_PLAYER_DCB). The comments
// give the offset the AI programs and the mission data know them by.
#pragma once
#include <cstdint>

struct ObjectRecord;

struct PlanePlayerFields {
    uint8_t autopilotMode;      // 0 manual, 1 wings level, 2 waypoint steering, 3 automatic landing
    uint8_t onGround;           // +0xde the ground byte
    uint8_t gear;               // 64 with the gear up
    uint8_t lockMode;           // the status line's lock piece
    uint16_t groundCount;       // +0xd6 ground-contact hysteresis, 0..200
    uint8_t waypointCount;      // waypoints of the route
    uint8_t waypointIndex;      // current waypoint
    uint8_t routeNumber;        // +0xd5 reported with a reached waypoint
    uint8_t waypointId;         // +0xf4 reported with a reached waypoint
    uint8_t stopped;            // stopped on the ground: service given
    uint8_t weaponActive;       // +0xe6 cleared after an idle weapon step
    uint8_t flares;             // +0xeb
    uint8_t chaff;              // +0xec
    uint8_t countermeasures;    // +0xed request bits: 1 flare, 2 chaff
    uint8_t reportToggle;       // +0xef radar/report toggle
    uint8_t ejectState;         // +0xd8 0 in the aircraft, 1 ejected in the air, 2 left on the ground
    int32_t threatDistance;     // the nearest threatening missile, set by the decoy code
    uint32_t touchdownTick;     // clock tick of the last reported touchdown
    uint8_t touchdownReported;  // touchdownTick is valid
    ObjectRecord* wingman;      // the AI unit that flies as the player's wingman, or null
    ObjectRecord* trailSegment[2]; // the newest segment of the first and second trail, or null
    float headYaw;              // the pilot's head, degrees 0..360, turned by the camera axes in free look
    float headPitch;
};
