// Level object arrays: the fixed pools of object records each half of the
// game makes late in its level load. They live in the level memory and go
// with it; nothing frees them one by one.
#pragma once
#include <cstdint>

#include "net/dcbpool.h"

// Record counts as the game has them.
constexpr uint32_t LEVEL_SERVER_PLAYER_RECORDS = 16;
constexpr uint32_t LEVEL_SERVER_AI_RECORDS = 500;
constexpr uint32_t LEVEL_SERVER_COMMON_RECORDS = 1000;
constexpr uint32_t LEVEL_SERVER_STATIC_RECORDS = 1000;
constexpr uint32_t LEVEL_CLIENT_OBJECT_RECORDS = 200;
constexpr uint32_t LEVEL_CLIENT_PLAYER_RECORDS = 2;
constexpr uint32_t LEVEL_CLIENT_COMMON_RECORDS = 700;
constexpr uint32_t LEVEL_CLIENT_STATIC_RECORDS = 700;
constexpr uint32_t LEVEL_CLIENT_SPECIAL_RECORDS = 8;

// The server's anchor block: every server pool's group is its player pool.
struct LevelServerArrays {
    DcbPool player;    // player aircraft
    DcbPool ai;        // AI units from the mission's placed objects
    DcbPool common;    // weapons, effects
    DcbPool statics;   // static objects
};
// The client's anchor block: every client pool's group is its player pool.
struct LevelClientArrays {
    DcbPool player;    // the local aircraft records
    DcbPool common;    // client-side weapons and effects
    DcbPool statics;   // static objects; made only when no server shares the process
    DcbPool special;   // a small reserve of common records
};

extern LevelServerArrays level_ServerArrays;
extern LevelClientArrays level_ClientArrays;
// Beside the client's anchor: copies of remote objects.
extern DcbPool level_ClientObjectArray;
// The client's static pool: its own, or the server's when both halves run in
// this process.
extern DcbPool* level_ClientStaticArray;

// Clears the server anchor and makes its four arrays in the current heap.
// 0, or -1 when one of them does not fit (that pool stays empty).
int32_t level_ServerArraysCreate(void);
// Clears the client anchor and makes the client's arrays; with the
// shared-process flag the client takes the server's static array.
int32_t level_ClientArraysCreate(void);
