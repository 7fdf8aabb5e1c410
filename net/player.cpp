// Player records: aircraft block images, version stamp, descriptors, packed
// aircraft records and the start-up record.
#include "net/player.h"

#include <cstring>

#include "base/le.h"
#include "base/text.h"
#include "net/client.h"
#include "net/driver.h"
#include "platform/simlog.h"
#include "shell/startup.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"

PlayerAircraftBlock player_AircraftBlock;
char player_SideText[PLAYER_SIDE_SIZE];
uint32_t player_ApplicationId;
uint8_t player_DescriptorBuffer[PLAYER_DESCRIPTOR_SIDE_SIZE];
PlayerTableEntry player_Table[PLAYER_TABLE_SIZE];
PlayerStartupView player_Startup;
uint32_t player_LastStartupNumber = 0xFFFFFFFFu;
PlayerAircraftBlock player_ClientBlocks[2];
int32_t player_LevelLoadedBefore = 0;

namespace {

constexpr uint32_t kBlockLoadout = 48;
constexpr uint32_t kBlockMounts = kBlockLoadout + 8 + ORD_STORES_MAX * 16;  // 184
constexpr uint32_t kBlockTeam = kBlockMounts + ORD_MOUNTS_MAX * 44;          // 1240
constexpr uint32_t kBlockKind = kBlockTeam + 8;                             // 1248

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; i++) p[i] = (uint8_t)(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}
uint32_t Get32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}
uint16_t Get16(const uint8_t* p) { return (uint16_t)(p[0] | p[1] << 8); }

// A text field that must end inside its bytes.
bool FieldText(char* out, const uint8_t* p, size_t n) {
    const void* end = memchr(p, 0, n);
    if (!end) return false;
    memset(out, 0, n);
    memcpy(out, p, (size_t)((const uint8_t*)end - p));
    return true;
}

void FieldPut(uint8_t* p, const char* s, size_t n) {
    memset(p, 0, n);
    size_t len = strnlen(s, n - 1);
    memcpy(p, s, len);
}

// Zero-terminated string at pos, at most max characters: its length, or -1.
int32_t StringAt(const uint8_t* base, size_t size, size_t pos, size_t max) {
    if (pos >= size) return -1;
    size_t limit = size - pos < max + 1 ? size - pos : max + 1;
    const void* end = memchr(base + pos, 0, limit);
    return end ? (int32_t)((const uint8_t*)end - (base + pos)) : -1;
}

size_t Align(size_t pos, size_t a) { return (pos + a - 1) / a * a; }

// Writes a string of at most max characters plus its zero: the new
// position, or 0 when it does not fit.
size_t PutString(uint8_t* base, size_t size, size_t pos, const char* s, size_t max) {
    size_t len = s ? strnlen(s, max) : 0;
    if (pos > size || size - pos < len + 1) return 0;
    if (len) memcpy(base + pos, s, len);
    base[pos + len] = 0;
    return pos + len + 1;
}

size_t PadTo(uint8_t* base, size_t size, size_t pos, size_t a) {
    size_t to = Align(pos, a);
    if (to > size) return 0;
    memset(base + pos, 0, to - pos);
    return to;
}

}  // namespace

void player_BlockSetup(const _PLANE_TYPE* descriptor) {
    memset(&player_AircraftBlock, 0, sizeof player_AircraftBlock);
    if (descriptor && descriptor->setup) descriptor->setup(&player_AircraftBlock);
}

void player_BlockWrite(uint8_t* out, const PlayerAircraftBlock* b) {
    memset(out, 0, PLAYER_AIRCRAFT_BLOCK_SIZE);
    FieldPut(out + 0, b->name, 16);
    FieldPut(out + 16, b->modelFile, 16);
    FieldPut(out + 32, b->aiModel, 16);
    const OrdLoadout& l = b->loadout;
    Put32(out + kBlockLoadout, l.storeCount);
    Put32(out + kBlockLoadout + 4, l.mountCount);
    for (uint32_t i = 0; i < ORD_STORES_MAX; i++) {
        uint8_t* p = out + kBlockLoadout + 8 + i * 16;
        const OrdStoreEntry& s = l.stores[i];
        Put32(p, (uint32_t)s.type);
        Put32(p + 4, (uint32_t)s.count);
        Put32(p + 8, (uint32_t)s.capacity);
        Put32(p + 12, (uint32_t)s.interval);
    }
    for (uint32_t i = 0; i < ORD_MOUNTS_MAX; i++) {
        uint8_t* p = out + kBlockMounts + i * 44;
        const OrdMountEntry& m = l.mounts[i];
        Put32(p, (uint32_t)m.part);
        Put32(p + 4, (uint32_t)m.flagA);
        Put32(p + 8, (uint32_t)m.flagB);
        FieldPut(p + 12, m.modelName, 16);
        Put16(p + 28, (uint16_t)m.type);
        Put16(p + 30, (uint16_t)m.attachment);
        Put32(p + 32, (uint32_t)m.amount);
        Put32(p + 36, (uint32_t)m.fullAmount);
        Put32(p + 40, (uint32_t)m.reserved);
    }
    Put32(out + kBlockTeam, b->teamFields[0]);
    Put32(out + kBlockTeam + 4, b->teamFields[1]);
    out[kBlockKind] = b->kind;
}

int32_t player_BlockRead(PlayerAircraftBlock* block, const uint8_t* in) {
    PlayerAircraftBlock b;
    memset(&b, 0, sizeof b);
    if (!FieldText(b.name, in, 16) || !FieldText(b.modelFile, in + 16, 16) || !FieldText(b.aiModel, in + 32, 16))
        return -1;
    OrdLoadout& l = b.loadout;
    l.storeCount = Get32(in + kBlockLoadout);
    l.mountCount = Get32(in + kBlockLoadout + 4);
    if (l.storeCount > (uint32_t)ORD_STORES_MAX || l.mountCount > (uint32_t)ORD_MOUNTS_MAX) return -1;
    for (uint32_t i = 0; i < ORD_STORES_MAX; i++) {
        const uint8_t* p = in + kBlockLoadout + 8 + i * 16;
        l.stores[i] = {(int32_t)Get32(p), (int32_t)Get32(p + 4), (int32_t)Get32(p + 8), (int32_t)Get32(p + 12)};
    }
    for (uint32_t i = 0; i < ORD_MOUNTS_MAX; i++) {
        const uint8_t* p = in + kBlockMounts + i * 44;
        OrdMountEntry& m = l.mounts[i];
        m.part = (int32_t)Get32(p);
        m.flagA = (int32_t)Get32(p + 4);
        m.flagB = (int32_t)Get32(p + 8);
        if (!FieldText(m.modelName, p + 12, 16)) return -1;
        m.type = (int16_t)Get16(p + 28);
        m.attachment = (int16_t)Get16(p + 30);
        m.amount = (int32_t)Get32(p + 32);
        m.fullAmount = (int32_t)Get32(p + 36);
        m.reserved = (int32_t)Get32(p + 40);
    }
    b.teamFields[0] = Get32(in + kBlockTeam);
    b.teamFields[1] = Get32(in + kBlockTeam + 4);
    b.kind = in[kBlockKind];
    *block = b;
    return 0;
}

uint32_t player_DataStamp(void) {
    return (uint32_t)APP_VERSION_MAJOR << 24 | (uint32_t)APP_VERSION_MINOR << 16 | (uint32_t)APP_VERSION_THIRD << 8 |
           (uint32_t)APP_VERSION_BUILD;
}

void player_VersionStampFill(PlayerVersionStamp* s) {
    if (!s) return;
    memset(s, 0, sizeof *s);
    s->major = APP_VERSION_MAJOR;
    s->minor = APP_VERSION_MINOR;
    s->build = APP_VERSION_BUILD;
    s->dataStamp = player_DataStamp();
    const uint32_t parts[5] = {APP_VERSION_MAJOR, APP_VERSION_MINOR, APP_VERSION_THIRD, APP_VERSION_BUILD,
                               APP_RELEASE_NUMBER};
    // Each word: one version value in the high half, its position low.
    for (uint32_t i = 0; i < 10; i++) s->words[i] = parts[i % 5] << 16 | i;
    s->versionWord = (uint32_t)APP_NETWORK_VERSION;
}

void player_StampWrite(uint8_t* out, const PlayerVersionStamp* s) {
    memset(out, 0, PLAYER_STAMP_SIZE);
    Put32(out, s->major);
    Put32(out + 4, s->minor);
    Put32(out + 8, s->build);
    Put32(out + 12, s->dataStamp);
    for (int i = 0; i < 10; i++) Put32(out + 16 + 4 * i, s->words[i]);
    Put32(out + 60, s->versionWord);
}

void player_StampRead(PlayerVersionStamp* s, const uint8_t* in) {
    s->major = Get32(in);
    s->minor = Get32(in + 4);
    s->build = Get32(in + 8);
    s->dataStamp = Get32(in + 12);
    for (int i = 0; i < 10; i++) s->words[i] = Get32(in + 16 + 4 * i);
    s->versionWord = Get32(in + 60);
}

uint32_t player_DescriptorBuild(uint8_t* buffer) {
    if (!buffer) return 0;
    player_BlockWrite(buffer, &player_AircraftBlock);
    PlayerVersionStamp stamp;
    player_VersionStampFill(&stamp);
    player_StampWrite(buffer + PLAYER_AIRCRAFT_BLOCK_SIZE, &stamp);
    uint8_t* p = buffer + PLAYER_DESCRIPTOR_CHUNKS;
    memcpy(p, "TARV", 4);
    Put32(p + 4, 4);
    Put32(p + 8, player_ApplicationId);
    p += 12;
    if (player_SideText[0]) {
        memcpy(p, "SIDE", 4);
        Put32(p + 4, PLAYER_SIDE_SIZE);
        FieldPut(p + 8, player_SideText, PLAYER_SIDE_SIZE);
        p += 8 + PLAYER_SIDE_SIZE;
    }
    memcpy(p, "DONE", 4);
    Put32(p + 4, 0);
    p += 8;
    return (uint32_t)(p - buffer);
}

namespace {

// Walks the chunks from pos; calls fn(tag, data, length) for each. -1 when a
// chunk runs past the end or no ending chunk comes before it.
template <typename Fn>
int32_t WalkChunks(const uint8_t* base, size_t size, size_t pos, Fn fn) {
    for (;;) {
        if (pos > size || size - pos < PLAYER_CHUNK_HEAD) return -1;
        const uint8_t* c = base + pos;
        int32_t length = (int32_t)Get32(c + 4);
        if (length <= 0) return 0;
        if ((size_t)length > size - pos - PLAYER_CHUNK_HEAD) return -1;
        if (fn(c, c + PLAYER_CHUNK_HEAD, (uint32_t)length) < 0) return -1;
        pos += PLAYER_CHUNK_HEAD + (size_t)length;
    }
}

}  // namespace

int32_t player_DescriptorApply(const uint8_t* d, size_t size, PlayerSlotRecords* slot) {
    if (!d || !slot || size < PLAYER_DESCRIPTOR_CHUNKS) return -1;
    PlayerAircraftBlock block;
    if (player_BlockRead(&block, d) < 0) return -1;
    uint8_t appId[4] = {};
    char side[PLAYER_SIDE_SIZE] = {};
    int32_t r = WalkChunks(d, size, PLAYER_DESCRIPTOR_CHUNKS, [&](const uint8_t* tag, const uint8_t* data, uint32_t n) {
        if (memcmp(tag, "TARV", 4) == 0) {
            if (n != 4) return -1;
            memcpy(appId, data, 4);
        } else if (memcmp(tag, "SIDE", 4) == 0) {
            if (n > PLAYER_SIDE_SIZE || !memchr(data, 0, n)) return -1;
            memset(side, 0, sizeof side);
            memcpy(side, data, n);
        }
        return 0;
    });
    if (r < 0) return -1;
    for (PlayerAircraftBlock& b : slot->blocks) b = block;
    player_StampRead(&slot->stamp, d + PLAYER_AIRCRAFT_BLOCK_SIZE);
    memcpy(slot->applicationId, appId, 4);
    memcpy(slot->sideText, side, PLAYER_SIDE_SIZE);
    return 0;
}

void player_DescriptorSide(const uint8_t* d, size_t size, char* side) {
    if (!side) return;
    memset(side, 0, PLAYER_SIDE_SIZE);
    if (!d || size < PLAYER_DESCRIPTOR_CHUNKS) return;
    char found[PLAYER_SIDE_SIZE] = {};
    int32_t r = WalkChunks(d, size, PLAYER_DESCRIPTOR_CHUNKS, [&](const uint8_t* tag, const uint8_t* data, uint32_t n) {
        if (memcmp(tag, "SIDE", 4) != 0) return 0;
        if (n > PLAYER_SIDE_SIZE || !memchr(data, 0, n)) return -1;
        memcpy(found, data, n);
        return 0;
    });
    if (r == 0) memcpy(side, found, PLAYER_SIDE_SIZE);
}

int32_t net_CreateLocalPlayer(const char* name, int32_t flag) {
    uint32_t size = player_DescriptorBuild(player_DescriptorBuffer);
    return net_CreatePlayer(name, flag, player_DescriptorBuffer, size);
}

size_t player_AircraftPack(uint8_t* base, size_t size, size_t pos, const PlayerAircraftBlock* b) {
    if (!base || !b || pos > size) return 0;
    const OrdLoadout& l = b->loadout;
    uint32_t c = l.storeCount < (uint32_t)ORD_STORES_MAX ? l.storeCount : ORD_STORES_MAX;
    uint32_t n = l.mountCount < (uint32_t)ORD_MOUNTS_MAX ? l.mountCount : ORD_MOUNTS_MAX;
    if (size - pos < 3) return 0;
    base[pos++] = b->kind;
    base[pos++] = (uint8_t)c;
    base[pos++] = (uint8_t)n;
    for (const char* s : {b->name, b->modelFile, b->aiModel})
        if (!(pos = PutString(base, size, pos, s, 15))) return 0;
    for (uint32_t i = 0; i < c; i++) {
        // Counts go past a byte (500 rounds of the gun): 16 bits each.
        const OrdStoreEntry& s = l.stores[i];
        if (size - pos < 8) return 0;
        base[pos] = (uint8_t)s.type;
        base[pos + 1] = (uint8_t)s.interval;
        Put16(base + pos + 2, (uint16_t)s.count);
        Put16(base + pos + 4, (uint16_t)s.capacity);
        Put16(base + pos + 6, 0);
        pos += 8;
    }
    for (uint32_t i = 0; i < n; i++) {
        const OrdMountEntry& m = l.mounts[i];
        if (size - pos < 3) return 0;
        base[pos] = (uint8_t)m.part;
        base[pos + 1] = (uint8_t)m.flagA;
        base[pos + 2] = (uint8_t)m.flagB;
        pos += 3;
        if (!(pos = PutString(base, size, pos, m.modelName, 15))) return 0;
        if (!(pos = PadTo(base, size, pos, 4))) return 0;
        if (size - pos < 16) return 0;
        Put16(base + pos, (uint16_t)m.type);
        Put16(base + pos + 2, (uint16_t)m.attachment);
        Put32(base + pos + 4, (uint32_t)m.amount);
        Put32(base + pos + 8, (uint32_t)m.fullAmount);
        Put32(base + pos + 12, (uint32_t)m.reserved);
        pos += 16;
    }
    return pos;
}

size_t player_AircraftUnpack(const uint8_t* base, size_t size, size_t pos, PlayerAircraftBlock* block) {
    if (!base || !block || pos > size || size - pos < 3) return 0;
    PlayerAircraftBlock b;
    memset(&b, 0, sizeof b);
    b.kind = base[pos];
    uint32_t c = base[pos + 1], n = base[pos + 2];
    if (c > (uint32_t)ORD_STORES_MAX || n > (uint32_t)ORD_MOUNTS_MAX) return 0;
    pos += 3;
    for (char* s : {b.name, b.modelFile, b.aiModel}) {
        int32_t len = StringAt(base, size, pos, 15);
        if (len < 0) return 0;
        memcpy(s, base + pos, (size_t)len);
        pos += (size_t)len + 1;
    }
    b.loadout.storeCount = c;
    b.loadout.mountCount = n;
    for (uint32_t i = 0; i < c; i++) {
        if (size - pos < 8) return 0;
        OrdStoreEntry& s = b.loadout.stores[i];
        s.type = (int8_t)base[pos];
        s.interval = (int8_t)base[pos + 1];
        s.count = (int16_t)Get16(base + pos + 2);
        s.capacity = (int16_t)Get16(base + pos + 4);
        pos += 8;
    }
    for (uint32_t i = 0; i < n; i++) {
        OrdMountEntry& m = b.loadout.mounts[i];
        if (size - pos < 3) return 0;
        m.part = (int8_t)base[pos];
        m.flagA = (int8_t)base[pos + 1];
        m.flagB = (int8_t)base[pos + 2];
        pos += 3;
        int32_t len = StringAt(base, size, pos, 15);
        if (len < 0) return 0;
        memcpy(m.modelName, base + pos, (size_t)len);
        pos = Align(pos + (size_t)len + 1, 4);
        if (pos > size || size - pos < 16) return 0;
        m.type = (int16_t)Get16(base + pos);
        m.attachment = (int16_t)Get16(base + pos + 2);
        m.amount = (int32_t)Get32(base + pos + 4);
        m.fullAmount = (int32_t)Get32(base + pos + 8);
        m.reserved = (int32_t)Get32(base + pos + 12);
        pos += 16;
    }
    *block = b;
    return pos;
}

int32_t player_JoinResult(int32_t singleApplication, uint32_t serverApplicationId, uint32_t playerApplicationId,
                          int32_t refusalState) {
    if (singleApplication && serverApplicationId != playerApplicationId) return PLAYER_JOIN_OTHER_APPLICATION;
    if (refusalState == 1) return PLAYER_JOIN_REFUSED_FIRST;
    if (refusalState == 2) return PLAYER_JOIN_REFUSED_SECOND;
    return PLAYER_JOIN_ACCEPTED;
}

uint32_t player_StartupWrite(uint8_t* r, size_t size, const PlayerStartupSource* s) {
    if (!r || !s || size < PLAYER_STARTUP_HEAD) return 0;
    if ((s->namePairCount && !s->namePairs) || (s->flaggedCount && !s->flagged)) return 0;
    memset(r, 0, PLAYER_STARTUP_HEAD);
    Put16(r + 0, 4);
    Put32(r + 4, player_DataStamp());
    Put16(r + 8, s->playerNumber);
    Put16(r + 10, s->missionNameCount);
    for (int i = 0; i < 3; i++) {
        Put32(r + 12 + 4 * i, (uint32_t)s->startPosition[i]);
        Put32(r + 24 + 4 * i, s->startOrientation[i]);
    }
    Put16(r + 36, (uint16_t)(s->modelSlot & 0xFF));
    Put16(r + 38, s->startEntryCount);
    Put16(r + 40, s->namePairCount);
    Put32(r + 42, s->levelRunNumber);
    Put32(r + 46, s->startupNumber);
    r[52] = (uint8_t)s->region;
    r[53] = (uint8_t)s->timeOfDay;
    r[54] = s->sides[0];
    r[55] = s->sides[1];
    r[60] = s->ctfStart;
    r[61] = (uint8_t)s->squadron;
    r[62] = s->teamPlay;
    r[64] = s->blackouts;
    r[65] = s->secondGameFlag ? 1 : 0;
    Put32(r + 68, s->flaggedCount);
    size_t pos = PLAYER_STARTUP_HEAD;
    for (const char* t : s->strings)
        if (!(pos = PutString(r, size, pos, t, 15))) return 0;
    for (uint32_t i = 0; i < s->missionNameCount; i++)
        if (!(pos = PutString(r, size, pos, s->missionNames ? s->missionNames[i] : nullptr, 15))) return 0;
    if (!(pos = PadTo(r, size, pos, 4))) return 0;
    size_t entries = (size_t)s->startEntryCount * PLAYER_START_ENTRY_SIZE;
    if (size - pos < entries || (entries && !s->startEntries)) return 0;
    if (entries) memcpy(r + pos, s->startEntries, entries);
    pos += entries;
    if (!(pos = PadTo(r, size, pos, 4))) return 0;
    for (uint32_t i = 0; i < s->namePairCount; i++) {
        const PlayerNamePair& p = s->namePairs[i];
        if (!(pos = PutString(r, size, pos, p.first, 38))) return 0;
        if (!(pos = PutString(r, size, pos, p.second, 16))) return 0;
        if (!(pos = PadTo(r, size, pos, 2))) return 0;
        if (size - pos < 4) return 0;
        Put16(r + pos, p.values[0]);
        Put16(r + pos + 2, p.values[1]);
        pos += 4;
    }
    if (!(pos = PadTo(r, size, pos, 4))) return 0;
    for (uint32_t i = 0; i < s->flaggedCount; i++) {
        if (size - pos < 1) return 0;
        r[pos++] = s->flagged[i].flag;
        if (!(pos = PutString(r, size, pos, s->flagged[i].text, 255))) return 0;
    }
    if (!(pos = PadTo(r, size, pos, 4))) return 0;
    PlayerAircraftBlock empty;
    memset(&empty, 0, sizeof empty);
    for (const PlayerAircraftBlock* b : s->blocks)
        if (!(pos = player_AircraftPack(r, size, pos, b ? b : &empty))) return 0;
    if (!(pos = PadTo(r, size, pos, 4))) return 0;
    if (size - pos < PLAYER_STAMP_SIZE + 12 + 8) return 0;
    PlayerVersionStamp stamp;
    player_VersionStampFill(&stamp);
    player_StampWrite(r + pos, &stamp);
    pos += PLAYER_STAMP_SIZE;
    memcpy(r + pos, "EXIT", 4);
    Put32(r + pos + 4, 4);
    Put32(r + pos + 8, (uint32_t)s->joinResult);
    memcpy(r + pos + 12, "DONE", 4);
    Put32(r + pos + 16, 0);
    pos += 20;
    if (pos > 0xFFFF) return 0;
    Put16(r + 2, (uint16_t)pos);
    return (uint32_t)pos;
}

int32_t player_StartupParse(const uint8_t* r, size_t size, PlayerStartupView* out) {
    if (!r || !out || size < PLAYER_STARTUP_HEAD) return -1;
    if (Get16(r) != 4) return -1;
    size_t total = Get16(r + 2);
    if (total < PLAYER_STARTUP_HEAD || total > size) return -1;
    size = total;
    PlayerStartupView v;
    memset(&v, 0, sizeof v);
    v.dataStamp = Get32(r + 4);
    v.playerNumber = Get16(r + 8);
    v.missionNameCount = Get16(r + 10);
    for (int i = 0; i < 3; i++) {
        v.startPosition[i] = (int32_t)Get32(r + 12 + 4 * i);
        v.startOrientation[i] = Get32(r + 24 + 4 * i);
    }
    v.startEntryCount = Get16(r + 38);
    v.namePairCount = Get16(r + 40);
    v.levelRunNumber = Get32(r + 42);
    v.startupNumber = Get32(r + 46);
    v.region = (int8_t)r[52];
    v.timeOfDay = (int8_t)r[53];
    v.sides[0] = r[54];
    v.sides[1] = r[55];
    v.ctfStart = r[60];
    v.squadron = r[61];
    v.teamPlay = r[62];
    v.blackouts = r[64];
    v.secondGameFlag = r[65];
    v.flaggedCount = Get32(r + 68);
    size_t pos = PLAYER_STARTUP_HEAD;
    for (auto& slot : v.strings) {
        int32_t len = StringAt(r, size, pos, 15);
        if (len < 0) return -1;
        memcpy(slot, r + pos, (size_t)len);
        pos += (size_t)len + 1;
    }
    v.missionNamesAt = (uint32_t)pos;
    for (uint32_t i = 0; i < v.missionNameCount; i++) {
        int32_t len = StringAt(r, size, pos, 15);
        if (len < 0) return -1;
        pos += (size_t)len + 1;
    }
    pos = Align(pos, 4);
    v.startEntriesAt = (uint32_t)pos;
    size_t entries = (size_t)v.startEntryCount * PLAYER_START_ENTRY_SIZE;
    if (pos > size || size - pos < entries) return -1;
    pos = Align(pos + entries, 4);
    v.namePairsAt = (uint32_t)pos;
    for (uint32_t i = 0; i < v.namePairCount; i++) {
        int32_t a = StringAt(r, size, pos, 38);
        if (a < 0) return -1;
        pos += (size_t)a + 1;
        int32_t b = StringAt(r, size, pos, 16);
        if (b < 0) return -1;
        pos = Align(pos + (size_t)b + 1, 2);
        if (pos > size || size - pos < 4) return -1;
        pos += 4;
    }
    pos = Align(pos, 4);
    v.flaggedAt = (uint32_t)pos;
    // Each flagged string takes at least two bytes: a count beyond what
    // remains is refused before the walk.
    if (pos > size || v.flaggedCount > (size - pos) / 2) return -1;
    for (uint32_t i = 0; i < v.flaggedCount; i++) {
        int32_t len = StringAt(r, size, pos + 1, 255);
        if (len < 0) return -1;
        pos += (size_t)len + 2;
    }
    pos = Align(pos, 4);
    for (PlayerAircraftBlock& b : v.blocks)
        if (!(pos = player_AircraftUnpack(r, size, pos, &b))) return -1;
    pos = Align(pos, 4);
    if (pos > size || size - pos < PLAYER_STAMP_SIZE) return -1;
    player_StampRead(&v.stamp, r + pos);
    pos += PLAYER_STAMP_SIZE;
    int32_t exitCode = PLAYER_JOIN_ACCEPTED;
    int32_t walked = WalkChunks(r, size, pos, [&](const uint8_t* tag, const uint8_t* data, uint32_t n) {
        if (memcmp(tag, "EXIT", 4) == 0) {
            if (n != 4) return -1;
            exitCode = (int32_t)Get32(data);
        }
        return 0;
    });
    if (walked < 0) return -1;
    v.joinResult = exitCode;
    *out = v;
    return 0;
}

namespace {

// The model names a client in its own process loads: copied out of the
// record, which the next packet overwrites (the level's model table keeps
// pointers to them). A record's length is 16 bits, so they always fit.
char g_levelNames[0x10000];

// A client in its own process has no mission of its own: the level's names
// come with the start-up record. Empty texts leave the block as it is.
void TakeLevelNames(const uint8_t* record, const PlayerStartupView& v) {
    if (v.strings[PLAYER_TEXT_MISSION][0])
        text_CopyZ(level_MissionNames.mission, v.strings[PLAYER_TEXT_MISSION], sizeof level_MissionNames.mission);
    if (v.strings[PLAYER_TEXT_REFERENCE][0])
        text_CopyZ(level_MissionNames.reference, v.strings[PLAYER_TEXT_REFERENCE],
                   sizeof level_MissionNames.reference);
    // The parse checked that every name ends before the start entries.
    size_t n = v.startEntriesAt > v.missionNamesAt ? v.startEntriesAt - v.missionNamesAt : 0;
    if (n > sizeof g_levelNames) n = sizeof g_levelNames;
    if (n) memcpy(g_levelNames, record + v.missionNamesAt, n);
    level_PackedNames = g_levelNames;
    level_PackedNamesSize = (uint32_t)n;
}

}  // namespace

int32_t player_ClientStartupRead(const uint8_t* record, size_t size) {
    if (!record || size < PLAYER_STARTUP_HEAD) return -1;
    uint32_t number = Get32(record + 46);
    if (number == player_LastStartupNumber) return -1;
    player_LastStartupNumber = number;
    PlayerStartupView v;
    if (Get32(record + 4) != player_DataStamp() || player_StartupParse(record, size, &v) < 0) {
        // Another version, or a record this version cannot read: the flight
        // ends.
        level_PaletteFadeOut(level_PaletteCopy, 16);
        Client_FlightState = 1;
        Client_ExitResult = -1;
        return -1;
    }
    if (v.joinResult != PLAYER_JOIN_ACCEPTED) {
        // Refused: the screens say why, and nothing flies.
        Client_LaunchStatus = v.joinResult == PLAYER_JOIN_REFUSED_FIRST || v.joinResult == PLAYER_JOIN_REFUSED_SECOND
                                  ? v.joinResult
                                  : -1;
        plat_SimLog("client", "refused result=%d status=%d", (int)v.joinResult, (int)Client_LaunchStatus);
        Client_FlightState = 1;
        Client_ExitResult = -1;
        return -1;
    }
    player_Startup = v;
    player_ClientBlocks[0] = v.blocks[0];
    player_ClientBlocks[1] = v.blocks[1];
    player_AircraftBlock = player_ClientBlocks[0];
    if (v.teamPlay == 2) player_AircraftBlock.teamFields[0] = player_AircraftBlock.teamFields[1] = 0;
    if (player_LevelLoadedBefore)
        level_ClientModelsFree();
    else
        player_LevelLoadedBefore = 1;
    Client_GameFlags[0] = v.blackouts;
    if (v.secondGameFlag & 1) Client_GameFlags[1] = 1;
    level_Region = v.region;
    level_TimeOfDay = v.timeOfDay;
    Client_SquadronWord = v.squadron;
    Client_TeamPlayWord = v.teamPlay;
    Client_LevelRunNumber = v.levelRunNumber;
    Client_CtfStart = v.ctfStart;
    if (!level_GameMode.sharedProcess) TakeLevelNames(record, v);
    level_LoadClient(record, size);
    return 0;
}
