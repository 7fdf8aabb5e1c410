// What the force-feedback frame reads from the player's aircraft.
#pragma once
#include <cstdint>

struct PlaneFeedbackState {
    int32_t noControl;            // the player cannot fly
    int32_t onGround;             // aircraft flag 0x20
    float yawForce;               // degrees
    float pitchForce;             // degrees
    float speed;
    float referenceSpeed;         // speed / this = VELOCITY
    float groundReferenceSpeed;   // speed / this = GROUND_FRICTION
    float gLoad;
    float balanceFactor;
    float level;                  // r: LEVEL = -(|r| x r)
    float engineOutput;
    float stress;                 // the global stress value
    int32_t hasOrdnanceManager;   // the player's ordnance manager exists
    float imbalance;              // its imbalance value
};

// 0 with the state of the player's aircraft, -1 when there is none.
int32_t plane_FeedbackStateGet(PlaneFeedbackState* state);
