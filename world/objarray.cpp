// Level object arrays.
#include "world/objarray.h"

#include <cstdio>
#include <cstring>

#include "world/gamemode.h"

LevelServerArrays level_ServerArrays;
LevelClientArrays level_ClientArrays;
DcbPool level_ClientObjectArray;
DcbPool* level_ClientStaticArray = nullptr;

namespace {

// The heap keeps the tag pointer, so each tag text has its own buffer for
// the life of the level.
struct ArrayTags {
    char player[64], ai[64], common[64], statics[64];
};
ArrayTags g_serverTags;
struct ClientTags {
    char object[64], player[64], common[64], statics[64], special[64];
};
ClientTags g_clientTags;

// The tags name the counts and sizes the game has always shown, whatever
// the native record size.
int32_t Make(DcbPool* pool, DcbPool* group, uint32_t count, uint32_t nativeSize, const char* format,
             uint32_t shownSize, char* tag, size_t tagSize) {
    snprintf(tag, tagSize, format, (long)count, (long)shownSize);
    return net_DcbPoolCreate(nativeSize, count, pool, group, tag);
}

}  // namespace

int32_t level_ServerArraysCreate(void) {
    LevelServerArrays* a = &level_ServerArrays;
    memset(a, 0, sizeof *a);
    DcbPool* group = &a->player;
    int32_t rc = 0;
    rc |= Make(&a->player, group, LEVEL_SERVER_PLAYER_RECORDS, sizeof(_PLAYER_DCB),
               "_PLAYER_DCB [SERVER] array (%ldx%ld)", 306, g_serverTags.player, sizeof g_serverTags.player);
    rc |= Make(&a->ai, group, LEVEL_SERVER_AI_RECORDS, sizeof(_AI_DCB), "_AI_DCB [SERVER] array (%ldx%ld)", 338,
               g_serverTags.ai, sizeof g_serverTags.ai);
    rc |= Make(&a->common, group, LEVEL_SERVER_COMMON_RECORDS, sizeof(_COMMON_DCB),
               "_COMMON_DCB [SERVER] array (%ldx%ld)", 324, g_serverTags.common, sizeof g_serverTags.common);
    rc |= Make(&a->statics, group, LEVEL_SERVER_STATIC_RECORDS, sizeof(_STATIC_DCB),
               "_STATIC_DCB [SERVER] array (%ldx%ld)", 136, g_serverTags.statics, sizeof g_serverTags.statics);
    return rc ? -1 : 0;
}

int32_t level_ClientArraysCreate(void) {
    LevelClientArrays* a = &level_ClientArrays;
    memset(a, 0, sizeof *a);
    memset(&level_ClientObjectArray, 0, sizeof level_ClientObjectArray);
    DcbPool* group = &a->player;
    int32_t rc = 0;
    rc |= Make(&level_ClientObjectArray, group, LEVEL_CLIENT_OBJECT_RECORDS, sizeof(_CLIENT_DCB),
               "_CLIENT_DCB [CLIENT OBJECT] array (%ldx%ld)", 240, g_clientTags.object, sizeof g_clientTags.object);
    rc |= Make(&a->player, group, LEVEL_CLIENT_PLAYER_RECORDS, sizeof(_PLAYER_DCB),
               "_PLAYER_DCB [CLIENT AI] array (%ldx%ld)", 306, g_clientTags.player, sizeof g_clientTags.player);
    rc |= Make(&a->common, group, LEVEL_CLIENT_COMMON_RECORDS, sizeof(_COMMON_DCB),
               "_COMMON_DCB [CLIENT] array (%ldx%ld)", 324, g_clientTags.common, sizeof g_clientTags.common);
    rc |= Make(&a->special, group, LEVEL_CLIENT_SPECIAL_RECORDS, sizeof(_COMMON_DCB),
               "_COMMON_DCB [CLIENT SPECIAL] array (%ldx%ld)", 324, g_clientTags.special,
               sizeof g_clientTags.special);
    if (level_GameMode.sharedProcess) {
        level_ClientStaticArray = &level_ServerArrays.statics;
    } else {
        rc |= Make(&a->statics, group, LEVEL_CLIENT_STATIC_RECORDS, sizeof(_STATIC_DCB),
                   "_STATIC_DCB [CLIENT] array (%ldx%ld)", 136, g_clientTags.statics, sizeof g_clientTags.statics);
        level_ClientStaticArray = &a->statics;
    }
    return rc ? -1 : 0;
}
