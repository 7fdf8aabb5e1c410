// The player's orders to the wingman (plane_WingmanOrder in sim/plane.h) and
// the queries the wing command menu asks.
#pragma once
#include <cstdint>

struct ObjectRecord;

constexpr int32_t AI_WING_ORDERS = 10;

// The same as plane_WingmanOrder.
void ai_WingCommand(ObjectRecord* aircraft, int32_t order);
// The player's wingman (from the server's record of the player when asked
// with the client's copy), or null.
ObjectRecord* ai_WingmanOf(const ObjectRecord* player);
// The nearest hostile of a unit, the nearest object targeting it, and the
// nearest object targeting its target (null when that one is marked as no
// threat); null when there is none.
ObjectRecord* ai_NearestHostileOf(ObjectRecord* object);
ObjectRecord* ai_NearestAttackerOf(ObjectRecord* object);
ObjectRecord* ai_NearestAttackerOfTarget(ObjectRecord* object);
// The order byte the wing command menu reads: the unit's AI state (0 for
// anything but an AI unit).
uint8_t ai_OrderByte(ObjectRecord* unit);
