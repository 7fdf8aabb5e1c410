// Message and event records.
#include "net/msg.h"

#include <cstring>

namespace {

uint16_t Get16(const uint8_t* p) { return (uint16_t)(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

// Opens a record (or event) of this type for reading: the reader spans the
// record's own length, which must reach min and lie inside size.
bool Open(const uint8_t* record, size_t size, uint16_t type, uint16_t min, LeReader* r) {
    if (!record || size < MSG_HEADER_SIZE) return false;
    const uint16_t t = Get16(record);
    const uint16_t length = Get16(record + 2);
    if (t != type || length < min || length > size) return false;
    *r = LeReader(record, length);
    r->pos = MSG_HEADER_SIZE;
    return true;
}

// Starts a record of a known length; nothing is written when it does not fit.
bool Begin(LeSpanWriter* w, uint16_t type, size_t length) {
    if (!w || w->failed || length > 0xFFFF || w->remaining() < length) return false;
    w->u16(type);
    w->u16((uint16_t)length);
    return true;
}

int32_t Done(LeSpanWriter* w) { return w->ok() ? 0 : -1; }

void Zeros(LeSpanWriter* w, size_t n) {
    static const uint8_t zero[64] = {};
    while (n) {
        const size_t k = n < sizeof zero ? n : sizeof zero;
        w->bytes(zero, k);
        n -= k;
    }
}

// A zero-terminated text in a field of n bytes: at most n - 1 characters,
// the rest zeros.
void PutText(LeSpanWriter* w, const char* s, size_t n) {
    const size_t len = strnlen(s, n - 1);
    w->bytes(s, len);
    Zeros(w, n - len);
}

void PutVec(LeSpanWriter* w, const FixVec3& v) {
    w->i32(v.x);
    w->i32(v.y);
    w->i32(v.z);
}
FixVec3 GetVec(LeReader* r) {
    FixVec3 v;
    v.x = r->i32();
    v.y = r->i32();
    v.z = r->i32();
    return v;
}

void PutAngles(LeSpanWriter* w, const FixAngles& a) {
    w->u16(msg_AngleToWire(a.heading));
    w->u16(msg_AngleToWire(a.pitch));
    w->u16(msg_AngleToWire(a.roll));
}
FixAngles GetAngles(LeReader* r) {
    FixAngles a;
    a.heading = msg_AngleFromWire(r->u16());
    a.pitch = msg_AngleFromWire(r->u16());
    a.roll = msg_AngleFromWire(r->u16());
    return a;
}

int32_t Read(const LeReader& r) { return r.ok() ? 0 : -1; }

// The checks of one record past its type's least length: inner counts.
int32_t CheckInner(uint16_t type, const uint8_t* record, uint16_t length) {
    switch (type) {
    case MSG_OBJECTDATA: {
        const uint64_t n = Get16(record + 4);
        return MSG_OBJECTDATA_HEAD + n * MSG_OBJECT_ENTRY_SIZE <= length ? 0 : MSG_WALK_BAD_COUNT;
    }
    case MSG_STATICDATA: {
        const uint64_t n = Get16(record + 6);
        return MSG_STATICDATA_HEAD + n * MSG_STATIC_ENTRY_SIZE <= length ? 0 : MSG_WALK_BAD_COUNT;
    }
    case MSG_MSGCONFIRM: {
        const uint64_t n = Get32(record + 4);
        return MSG_MSGCONFIRM_HEAD + n * 4 <= length ? 0 : MSG_WALK_BAD_COUNT;
    }
    case MSG_EVENTDATA: {
        MsgEventWalker ew;
        int32_t rc = msg_EventWalkBegin(&ew, record, length);
        MsgRecord ev;
        while (rc == 0 && (rc = msg_EventWalkNext(&ew, &ev)) > 0) rc = 0;
        return rc;
    }
    default:
        return 0;
    }
}

}  // namespace

// ---- Record properties ----

uint16_t msg_MinLength(uint16_t type) {
    switch (type) {
    case MSG_CHAT: return MSG_CHAT_LENGTH;
    case MSG_OBJECTDATA: return MSG_OBJECTDATA_HEAD;
    case MSG_PLAYERDATA: return MSG_PLAYERDATA_LENGTH;
    case MSG_STARTUPDATA: return MSG_STARTUPDATA_HEAD;
    case MSG_STATICDATA: return MSG_STATICDATA_HEAD;
    case MSG_EVENTDATA: return MSG_EVENTDATA_HEAD;
    case MSG_PLAYERINFO: return MSG_PLAYERINFO_LENGTH;
    case MSG_BULLETFIRED: return MSG_BULLETFIRED_LENGTH;
    case MSG_BULLETHIT: return MSG_BULLETHIT_LENGTH;
    case MSG_LAUNCHMISSILE: return MSG_LAUNCHMISSILE_LENGTH;
    case MSG_LAUNCHBOMB: return MSG_LAUNCHBOMB_LENGTH;
    case MSG_JETTISONWEAPON: return MSG_JETTISONWEAPON_LENGTH;
    case MSG_PLAYERRESET: return MSG_PLAYERRESET_LENGTH;
    case MSG_PLAYERCRASH: return MSG_PLAYERCRASH_LENGTH;
    case MSG_ECMDROP: return MSG_ECMDROP_LENGTH;
    case MSG_PLAYERTRIG: return MSG_PLAYERTRIG_LENGTH;
    case MSG_BULLETHIT_ST: return MSG_BULLETHIT_ST_LENGTH;
    case MSG_WINGCOMMAND: return MSG_WINGCOMMAND_LENGTH;
    case MSG_PLAYERTYPE: return MSG_PLAYERTYPE_LENGTH;
    case MSG_MIDAIR: return MSG_MIDAIR_LENGTH;
    case MSG_STARTUPCONFIRM: return MSG_STARTUPCONFIRM_LENGTH;
    case MSG_SQUADREQUEST: return MSG_SQUADREQUEST_LENGTH;
    case MSG_RESPONSE: return MSG_RESPONSE_LENGTH;
    case MSG_LAUNCH_FUELPLANE: return MSG_LAUNCH_FUELPLANE_LENGTH;
    case MSG_PLAYER_EXPLODED: return MSG_PLAYER_EXPLODED_LENGTH;
    case MSG_VICTORY: return MSG_VICTORY_LENGTH;
    case MSG_CONSOLECOMMAND: return MSG_CONSOLECOMMAND_LENGTH;
    case MSG_STATICCONFIRM: return MSG_STATICCONFIRM_LENGTH;
    case MSG_MSGCONFIRM: return MSG_MSGCONFIRM_HEAD;
    default: return MSG_HEADER_SIZE;
    }
}

bool msg_EventIsCommon(uint16_t id) {
    switch (id) {
    case EVENT_DEBRIS:
    case EVENT_AIREXPLODE:
    case EVENT_GRNDEXPLODE:
    case EVENT_BEENHIT:
    case EVENT_BEENKILLED:
    case EVENT_SMALLEXPLODE:
    case EVENT_ECMDROP:
    case EVENT_GRNDEXPLODE_SM:
    case EVENT_STATICMODIFY:
    case EVENT_BOMBEXPLODE:
    case EVENT_FLAK:
    case EVENT_RADARDIE:
    case EVENT_RADARCHANGE:
    case EVENT_CTF_OVER:
    case EVENT_DM_OVER:
    case EVENT_SQUADJOIN:
    case EVENT_PLAYERRESET:
    case EVENT_EXPLODE_FX:
        return true;
    default:
        return false;
    }
}

uint16_t msg_EventMinLength(uint16_t id) {
    if (msg_EventIsCommon(id)) return EVENT_COMMON_LENGTH;
    switch (id) {
    case EVENT_TEXT: return EVENT_TEXT_MIN_LENGTH;
    case EVENT_BULLET: return EVENT_BULLET_LENGTH;
    case EVENT_SCORES: return EVENT_HEAD + 4;
    case EVENT_NAME: return EVENT_NAME_LENGTH;
    case EVENT_LEVEL_RESET: return EVENT_LEVEL_RESET_LENGTH;
    case EVENT_SQUADRON: return EVENT_SQUADRON_LENGTH;
    case EVENT_DYMANIC_MODEL: return EVENT_DYMANIC_MODEL_LENGTH;
    case EVENT_DEBUGPATH: return EVENT_DEBUGPATH_LENGTH;
    default: return EVENT_HEAD;
    }
}

int32_t msg_SendCount(uint16_t type) {
    switch (type) {
    case MSG_BULLETHIT:
    case MSG_BULLETHIT_ST:
    case MSG_PLAYERTRIG:
        return MSG_SEND_COUNT_HIT;
    default:
        return MSG_SEND_COUNT;
    }
}

bool msg_AppendsAtTail(uint16_t type) { return type == MSG_BULLETHIT || type == MSG_BULLETHIT_ST; }

// ---- The walker ----

void msg_WalkBegin(MsgWalker* walker, const void* packet, size_t size) {
    walker->data = (const uint8_t*)packet;
    walker->size = packet ? size : 0;
    walker->pos = 0;
    walker->status = size > MSG_PACKET_MAX ? MSG_WALK_TOO_LARGE : 0;
}

int32_t msg_WalkNext(MsgWalker* walker, MsgRecord* record) {
    if (walker->status) return walker->status;
    if (walker->pos > walker->size) return 0;  // past MSG_END
    const size_t left = walker->size - walker->pos;
    const uint8_t* p = walker->data + walker->pos;
    int32_t rc = 0;
    uint16_t type = 0, length = 0;
    if (left < 2) {
        rc = MSG_WALK_NO_END;
    } else if ((type = Get16(p)) == MSG_END) {
        // The reader stops at the type: the length is not read.
        walker->pos = walker->size + 1;
        return 0;
    } else if (left < MSG_HEADER_SIZE) {
        rc = MSG_WALK_BAD_LENGTH;
    } else if ((length = Get16(p + 2)) < MSG_HEADER_SIZE || length > left) {
        rc = MSG_WALK_BAD_LENGTH;
    } else if (length < msg_MinLength(type)) {
        rc = MSG_WALK_SHORT;
    } else {
        rc = CheckInner(type, p, length);
    }
    if (rc) {
        walker->status = rc;
        return rc;
    }
    record->type = type;
    record->length = length;
    record->data = p;
    walker->pos += length;
    return 1;
}

int32_t msg_PacketRead(const void* packet, size_t size, const MsgHandlerEntry* table, size_t count, void* context) {
    MsgWalker walker;
    MsgRecord record;
    int32_t rc;
    msg_WalkBegin(&walker, packet, size);
    while ((rc = msg_WalkNext(&walker, &record)) > 0)
        for (size_t i = 0; i < count; i++)
            if (table[i].type == record.type && table[i].handler) {
                table[i].handler(&record, context);
                break;
            }
    return rc;
}

int32_t msg_EventWalkBegin(MsgEventWalker* walker, const uint8_t* record, size_t size) {
    memset(walker, 0, sizeof *walker);
    if (!record || size < MSG_EVENTDATA_HEAD || Get16(record) != MSG_EVENTDATA) {
        walker->status = MSG_WALK_SHORT;
        return walker->status;
    }
    const uint16_t length = Get16(record + 2);
    if (length < MSG_EVENTDATA_HEAD || length > size) {
        walker->status = MSG_WALK_BAD_LENGTH;
        return walker->status;
    }
    walker->data = record;
    walker->size = length;
    walker->pos = MSG_EVENTDATA_HEAD;
    walker->left = Get16(record + 4);
    return 0;
}

int32_t msg_EventWalkNext(MsgEventWalker* walker, MsgRecord* event) {
    if (walker->status) return walker->status;
    if (walker->left == 0) return 0;
    const size_t left = walker->size - walker->pos;
    const uint8_t* p = walker->data + walker->pos;
    int32_t rc = 0;
    uint16_t id = 0, length = 0;
    if (left < MSG_HEADER_SIZE) {
        rc = MSG_WALK_BAD_COUNT;  // more events counted than the record holds
    } else if ((length = Get16(p + 2)) < MSG_HEADER_SIZE || length > left) {
        rc = MSG_WALK_BAD_LENGTH;
    } else if (length < msg_EventMinLength(id = Get16(p))) {
        rc = MSG_WALK_SHORT;
    }
    if (rc) {
        walker->status = rc;
        return rc;
    }
    event->type = id;
    event->length = length;
    event->data = p;
    walker->pos += length;
    walker->left--;
    return 1;
}

// ---- Server to client ----

int32_t msg_ObjectDataEncode(LeSpanWriter* w, const MsgObjectData* head, const MsgObjectEntry* entries) {
    if (head->count && !entries) return -1;
    if (!Begin(w, MSG_OBJECTDATA, MSG_OBJECTDATA_HEAD + (size_t)head->count * MSG_OBJECT_ENTRY_SIZE)) return -1;
    w->u16(head->count);
    PutVec(w, head->base);
    for (uint32_t i = 0; i < head->count; i++) {
        const MsgObjectEntry& e = entries[i];
        w->u32(e.serial);
        w->i16(e.x);
        w->i16(e.y);
        w->i16(e.z);
        PutAngles(w, e.angles);
        w->u16(e.speed);
        w->u8(e.owner);
        w->u8(e.typeIndex);
        w->u8(e.status);
        w->u8(e.flags);
        w->u8(e.category);
        w->u8(e.side);
        w->u8(e.modelState[0]);
        w->u8(e.modelState[1]);
        w->u8(e.alive);
        w->u8(0);  // +27
        w->u32(e.aux);
    }
    return Done(w);
}

int32_t msg_ObjectDataDecode(const uint8_t* record, size_t size, MsgObjectData* out) {
    LeReader r;
    if (!Open(record, size, MSG_OBJECTDATA, MSG_OBJECTDATA_HEAD, &r)) return -1;
    out->count = r.u16();
    out->base = GetVec(&r);
    if ((size_t)MSG_OBJECTDATA_HEAD + (size_t)out->count * MSG_OBJECT_ENTRY_SIZE > r.size) return -1;
    return Read(r);
}

int32_t msg_ObjectEntryDecode(const uint8_t* record, size_t size, uint32_t index, MsgObjectEntry* out) {
    MsgObjectData head;
    if (msg_ObjectDataDecode(record, size, &head) != 0 || index >= head.count) return -1;
    LeReader r(record, MSG_OBJECTDATA_HEAD + (size_t)head.count * MSG_OBJECT_ENTRY_SIZE);
    r.seek(MSG_OBJECTDATA_HEAD + (size_t)index * MSG_OBJECT_ENTRY_SIZE);
    out->serial = r.u32();
    out->x = r.i16();
    out->y = r.i16();
    out->z = r.i16();
    out->angles = GetAngles(&r);
    out->speed = r.u16();
    out->owner = r.u8();
    out->typeIndex = r.u8();
    out->status = r.u8();
    out->flags = r.u8();
    out->category = r.u8();
    out->side = r.u8();
    out->modelState[0] = r.u8();
    out->modelState[1] = r.u8();
    out->alive = r.u8();
    r.skip(1);
    out->aux = r.u32();
    return Read(r);
}

int32_t msg_StaticDataEncode(LeSpanWriter* w, const MsgStaticData* head, const MsgStaticEntry* entries) {
    if (head->count && !entries) return -1;
    if (!Begin(w, MSG_STATICDATA, MSG_STATICDATA_HEAD + (size_t)head->count * MSG_STATIC_ENTRY_SIZE)) return -1;
    w->u16(head->batch);
    w->u16(head->count);
    for (uint32_t i = 0; i < head->count; i++) {
        const MsgStaticEntry& e = entries[i];
        PutVec(w, e.position);
        PutAngles(w, e.angles);
        w->u16(e.typeIndex);
        w->u8(e.kind);
        w->u8(e.side);
        w->u8(e.categoryFlags);
        w->u8(e.categoryNext);
        w->u8(e.modelState[0]);
        w->u8(e.modelState[1]);
    }
    return Done(w);
}

int32_t msg_StaticDataDecode(const uint8_t* record, size_t size, MsgStaticData* out) {
    LeReader r;
    if (!Open(record, size, MSG_STATICDATA, MSG_STATICDATA_HEAD, &r)) return -1;
    out->batch = r.u16();
    out->count = r.u16();
    if ((size_t)MSG_STATICDATA_HEAD + (size_t)out->count * MSG_STATIC_ENTRY_SIZE > r.size) return -1;
    return Read(r);
}

int32_t msg_StaticEntryDecode(const uint8_t* record, size_t size, uint32_t index, MsgStaticEntry* out) {
    MsgStaticData head;
    if (msg_StaticDataDecode(record, size, &head) != 0 || index >= head.count) return -1;
    LeReader r(record, MSG_STATICDATA_HEAD + (size_t)head.count * MSG_STATIC_ENTRY_SIZE);
    r.seek(MSG_STATICDATA_HEAD + (size_t)index * MSG_STATIC_ENTRY_SIZE);
    out->position = GetVec(&r);
    out->angles = GetAngles(&r);
    out->typeIndex = r.u16();
    out->kind = r.u8();
    out->side = r.u8();
    out->categoryFlags = r.u8();
    out->categoryNext = r.u8();
    out->modelState[0] = r.u8();
    out->modelState[1] = r.u8();
    return Read(r);
}

int32_t msg_EventDataEncode(LeSpanWriter* w, uint16_t count, const void* events, size_t bytes) {
    if (bytes && !events) return -1;
    if (!Begin(w, MSG_EVENTDATA, MSG_EVENTDATA_HEAD + bytes)) return -1;
    w->u16(count);
    w->bytes(events, bytes);
    return Done(w);
}

int32_t msg_EventDataDecode(const uint8_t* record, size_t size, MsgEventData* out) {
    LeReader r;
    if (!Open(record, size, MSG_EVENTDATA, MSG_EVENTDATA_HEAD, &r)) return -1;
    if (CheckInner(MSG_EVENTDATA, record, (uint16_t)r.size) != 0) return -1;
    out->count = r.u16();
    return Read(r);
}

int32_t msg_PlayerInfoEncode(LeSpanWriter* w, const MsgPlayerInfo* m) {
    if (!Begin(w, MSG_PLAYERINFO, MSG_PLAYERINFO_LENGTH)) return -1;
    w->i32(m->frame);
    w->u8(m->mark);
    w->u8(m->sideActive);
    w->i16(m->score);
    w->u32(m->runNumber);
    return Done(w);
}

int32_t msg_PlayerInfoDecode(const uint8_t* record, size_t size, MsgPlayerInfo* out) {
    LeReader r;
    if (!Open(record, size, MSG_PLAYERINFO, MSG_PLAYERINFO_LENGTH, &r)) return -1;
    out->frame = r.i32();
    out->mark = r.u8();
    out->sideActive = r.u8();
    out->score = r.i16();
    out->runNumber = r.u32();
    return Read(r);
}

// ---- Client to server ----

int32_t msg_ChatEncode(LeSpanWriter* w, const MsgChat* m) {
    if (!Begin(w, MSG_CHAT, MSG_CHAT_LENGTH)) return -1;
    w->u32(m->tag);
    w->u16(m->mode);
    w->u16(m->squadron);
    PutText(w, m->text, sizeof m->text);
    return Done(w);
}

int32_t msg_ChatDecode(const uint8_t* record, size_t size, MsgChat* out) {
    LeReader r;
    if (!Open(record, size, MSG_CHAT, MSG_CHAT_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->mode = r.u16();
    out->squadron = r.u16();
    r.fixedString(out->text, sizeof out->text, 128);
    return Read(r);
}

int32_t msg_PlayerDataEncode(LeSpanWriter* w, const MsgPlayerData* m) {
    if (!Begin(w, MSG_PLAYERDATA, MSG_PLAYERDATA_LENGTH)) return -1;
    PutVec(w, m->position);
    PutAngles(w, m->angles);
    w->u16(m->owner);
    w->u8(m->status);
    w->u8(m->sightFlag);
    w->u8(m->playerFlags);
    w->u8(m->aimMode);
    w->u8(m->category);
    w->u8(0);  // +29
    w->u32(m->frame);
    w->u32(m->target);
    w->u32(m->aux);
    w->u32(m->runNumber);
    for (int16_t v : m->eye) w->i16(v);
    PutVec(w, m->sight);
    return Done(w);
}

int32_t msg_PlayerDataDecode(const uint8_t* record, size_t size, MsgPlayerData* out) {
    LeReader r;
    if (!Open(record, size, MSG_PLAYERDATA, MSG_PLAYERDATA_LENGTH, &r)) return -1;
    out->position = GetVec(&r);
    out->angles = GetAngles(&r);
    out->owner = r.u16();
    out->status = r.u8();
    out->sightFlag = r.u8();
    out->playerFlags = r.u8();
    out->aimMode = r.u8();
    out->category = r.u8();
    r.skip(1);
    out->frame = r.u32();
    out->target = r.u32();
    out->aux = r.u32();
    out->runNumber = r.u32();
    for (int16_t& v : out->eye) v = r.i16();
    out->sight = GetVec(&r);
    return Read(r);
}

namespace {

void PutBulletBody(LeSpanWriter* w, const MsgBullet* m, uint8_t flag) {
    w->u32(m->tag);
    w->u32(m->id);
    PutVec(w, m->position);
    PutVec(w, m->velocity);
    PutAngles(w, m->angles);
    w->u16(m->frame);
    w->u8(m->weaponType);
    w->u8(flag);
}

void GetBulletBody(LeReader* r, MsgBullet* out) {
    out->tag = r->u32();
    out->id = r->u32();
    out->position = GetVec(r);
    out->velocity = GetVec(r);
    out->angles = GetAngles(r);
    out->frame = r->u16();
    out->weaponType = r->u8();
    out->flag = r->u8();
}

}  // namespace

int32_t msg_BulletFiredEncode(LeSpanWriter* w, const MsgBullet* m) {
    if (!Begin(w, MSG_BULLETFIRED, MSG_BULLETFIRED_LENGTH)) return -1;
    PutBulletBody(w, m, 0);
    return Done(w);
}

int32_t msg_BulletFiredDecode(const uint8_t* record, size_t size, MsgBullet* out) {
    LeReader r;
    if (!Open(record, size, MSG_BULLETFIRED, MSG_BULLETFIRED_LENGTH, &r)) return -1;
    GetBulletBody(&r, out);
    return Read(r);
}

int32_t msg_BulletHitEncode(LeSpanWriter* w, const MsgBulletHit* m) {
    if (!Begin(w, MSG_BULLETHIT, MSG_BULLETHIT_LENGTH)) return -1;
    w->u32(m->tag);
    w->u32(m->target);
    w->u32(m->bullet);
    w->u16(m->frame);
    return Done(w);
}

int32_t msg_BulletHitDecode(const uint8_t* record, size_t size, MsgBulletHit* out) {
    LeReader r;
    if (!Open(record, size, MSG_BULLETHIT, MSG_BULLETHIT_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->target = r.u32();
    out->bullet = r.u32();
    out->frame = r.u16();
    return Read(r);
}

int32_t msg_LaunchMissileEncode(LeSpanWriter* w, const MsgLaunchMissile* m) {
    if (!Begin(w, MSG_LAUNCHMISSILE, MSG_LAUNCHMISSILE_LENGTH)) return -1;
    w->u32(m->tag);
    w->u32(m->weaponType);
    w->u32(m->target);
    PutVec(w, m->launchPoint);
    w->u32(m->weaponWords[0]);
    w->u32(m->weaponWords[1]);
    if (m->byPosition == 1)
        PutVec(w, m->targetPosition);
    else
        Zeros(w, 12);
    w->u32(m->byPosition);
    return Done(w);
}

int32_t msg_LaunchMissileDecode(const uint8_t* record, size_t size, MsgLaunchMissile* out) {
    LeReader r;
    if (!Open(record, size, MSG_LAUNCHMISSILE, MSG_LAUNCHMISSILE_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->weaponType = r.u32();
    out->target = r.u32();
    out->launchPoint = GetVec(&r);
    out->weaponWords[0] = r.u32();
    out->weaponWords[1] = r.u32();
    out->targetPosition = GetVec(&r);
    out->byPosition = r.u32();
    return Read(r);
}

int32_t msg_LaunchBombEncode(LeSpanWriter* w, const MsgLaunchBomb* m) {
    if (!Begin(w, MSG_LAUNCHBOMB, MSG_LAUNCHBOMB_LENGTH)) return -1;
    w->u32(m->tag);
    PutVec(w, m->aimPoint);
    PutVec(w, m->launchPoint);
    w->u8(m->weaponType);
    w->u8(m->hasAimPoint);
    return Done(w);
}

int32_t msg_LaunchBombDecode(const uint8_t* record, size_t size, MsgLaunchBomb* out) {
    LeReader r;
    if (!Open(record, size, MSG_LAUNCHBOMB, MSG_LAUNCHBOMB_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->aimPoint = GetVec(&r);
    out->launchPoint = GetVec(&r);
    out->weaponType = r.u8();
    out->hasAimPoint = r.u8();
    return Read(r);
}

int32_t msg_JettisonWeaponEncode(LeSpanWriter* w, const MsgJettisonWeapon* m) {
    if (!Begin(w, MSG_JETTISONWEAPON, MSG_JETTISONWEAPON_LENGTH)) return -1;
    w->u32(m->tag);
    PutVec(w, m->launchPoint);
    w->u32(m->weaponType);
    return Done(w);
}

int32_t msg_JettisonWeaponDecode(const uint8_t* record, size_t size, MsgJettisonWeapon* out) {
    LeReader r;
    if (!Open(record, size, MSG_JETTISONWEAPON, MSG_JETTISONWEAPON_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->launchPoint = GetVec(&r);
    out->weaponType = r.u32();
    return Read(r);
}

int32_t msg_PlayerResetEncode(LeSpanWriter* w, const MsgPlayerReset* m) {
    if (!Begin(w, MSG_PLAYERRESET, MSG_PLAYERRESET_LENGTH)) return -1;
    w->u32(m->tag);
    w->u16(m->flags);
    PutVec(w, m->position);
    return Done(w);
}

int32_t msg_PlayerResetDecode(const uint8_t* record, size_t size, MsgPlayerReset* out) {
    LeReader r;
    if (!Open(record, size, MSG_PLAYERRESET, MSG_PLAYERRESET_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->flags = r.u16();
    out->position = GetVec(&r);
    return Read(r);
}

namespace {

int32_t PositionEncode(LeSpanWriter* w, uint16_t type, uint16_t length, const MsgPlayerPosition* m) {
    if (!Begin(w, type, length)) return -1;
    w->u32(m->tag);
    PutVec(w, m->position);
    Zeros(w, length - 20u);  // MSG_MIDAIR +20: reserved
    return Done(w);
}

int32_t PositionDecode(const uint8_t* record, size_t size, uint16_t type, uint16_t length, MsgPlayerPosition* out) {
    LeReader r;
    if (!Open(record, size, type, length, &r)) return -1;
    out->tag = r.u32();
    out->position = GetVec(&r);
    return Read(r);
}

}  // namespace

int32_t msg_PlayerCrashEncode(LeSpanWriter* w, const MsgPlayerPosition* m) {
    return PositionEncode(w, MSG_PLAYERCRASH, MSG_PLAYERCRASH_LENGTH, m);
}
int32_t msg_PlayerCrashDecode(const uint8_t* record, size_t size, MsgPlayerPosition* out) {
    return PositionDecode(record, size, MSG_PLAYERCRASH, MSG_PLAYERCRASH_LENGTH, out);
}
int32_t msg_MidairEncode(LeSpanWriter* w, const MsgPlayerPosition* m) {
    return PositionEncode(w, MSG_MIDAIR, MSG_MIDAIR_LENGTH, m);
}
int32_t msg_MidairDecode(const uint8_t* record, size_t size, MsgPlayerPosition* out) {
    return PositionDecode(record, size, MSG_MIDAIR, MSG_MIDAIR_LENGTH, out);
}

int32_t msg_EcmDropEncode(LeSpanWriter* w, const MsgEcmDrop* m) {
    if (!Begin(w, MSG_ECMDROP, MSG_ECMDROP_LENGTH)) return -1;
    w->u32(m->tag);
    w->i16(m->x);
    w->i16(m->y);
    w->i16(m->z);
    w->u16(m->kind);
    return Done(w);
}

int32_t msg_EcmDropDecode(const uint8_t* record, size_t size, MsgEcmDrop* out) {
    LeReader r;
    if (!Open(record, size, MSG_ECMDROP, MSG_ECMDROP_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->x = r.i16();
    out->y = r.i16();
    out->z = r.i16();
    out->kind = r.u16();
    return Read(r);
}

int32_t msg_PlayerTrigEncode(LeSpanWriter* w, const MsgPlayerTrig* m) {
    if (!Begin(w, MSG_PLAYERTRIG, MSG_PLAYERTRIG_LENGTH)) return -1;
    w->u32(m->tag);
    w->u16(m->value);
    w->u16(m->trigger);
    return Done(w);
}

int32_t msg_PlayerTrigDecode(const uint8_t* record, size_t size, MsgPlayerTrig* out) {
    LeReader r;
    if (!Open(record, size, MSG_PLAYERTRIG, MSG_PLAYERTRIG_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->value = r.u16();
    out->trigger = r.u16();
    return Read(r);
}

int32_t msg_BulletHitStaticEncode(LeSpanWriter* w, const MsgBulletHitStatic* m) {
    if (!Begin(w, MSG_BULLETHIT_ST, MSG_BULLETHIT_ST_LENGTH)) return -1;
    w->u32(m->tag);
    w->u32(m->bullet);
    PutVec(w, m->position);
    w->u16(m->frame);
    return Done(w);
}

int32_t msg_BulletHitStaticDecode(const uint8_t* record, size_t size, MsgBulletHitStatic* out) {
    LeReader r;
    if (!Open(record, size, MSG_BULLETHIT_ST, MSG_BULLETHIT_ST_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->bullet = r.u32();
    out->position = GetVec(&r);
    out->frame = r.u16();
    return Read(r);
}

namespace {

int32_t WordEncode(LeSpanWriter* w, uint16_t type, const MsgWord* m) {
    if (!Begin(w, type, 10)) return -1;
    w->u32(m->tag);
    w->u16(m->value);
    return Done(w);
}

int32_t WordDecode(const uint8_t* record, size_t size, uint16_t type, MsgWord* out) {
    LeReader r;
    if (!Open(record, size, type, 10, &r)) return -1;
    out->tag = r.u32();
    out->value = r.u16();
    return Read(r);
}

int32_t TagEncode(LeSpanWriter* w, uint16_t type, const MsgTagOnly* m) {
    if (!Begin(w, type, 8)) return -1;
    w->u32(m->tag);
    return Done(w);
}

int32_t TagDecode(const uint8_t* record, size_t size, uint16_t type, MsgTagOnly* out) {
    LeReader r;
    if (!Open(record, size, type, 8, &r)) return -1;
    out->tag = r.u32();
    return Read(r);
}

}  // namespace

int32_t msg_WingCommandEncode(LeSpanWriter* w, const MsgWord* m) { return WordEncode(w, MSG_WINGCOMMAND, m); }
int32_t msg_WingCommandDecode(const uint8_t* record, size_t size, MsgWord* out) {
    return WordDecode(record, size, MSG_WINGCOMMAND, out);
}
int32_t msg_PlayerTypeEncode(LeSpanWriter* w, const MsgWord* m) { return WordEncode(w, MSG_PLAYERTYPE, m); }
int32_t msg_PlayerTypeDecode(const uint8_t* record, size_t size, MsgWord* out) {
    return WordDecode(record, size, MSG_PLAYERTYPE, out);
}

int32_t msg_StartupConfirmEncode(LeSpanWriter* w, const MsgStartupConfirm* m) {
    if (!Begin(w, MSG_STARTUPCONFIRM, MSG_STARTUPCONFIRM_LENGTH)) return -1;
    w->u32(m->tag);
    w->u32(m->number);
    return Done(w);
}

int32_t msg_StartupConfirmDecode(const uint8_t* record, size_t size, MsgStartupConfirm* out) {
    LeReader r;
    if (!Open(record, size, MSG_STARTUPCONFIRM, MSG_STARTUPCONFIRM_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->number = r.u32();
    return Read(r);
}

int32_t msg_SquadRequestEncode(LeSpanWriter* w, const MsgSquadRequest* m) {
    if (!Begin(w, MSG_SQUADREQUEST, MSG_SQUADREQUEST_LENGTH)) return -1;
    w->u32(m->tag);
    PutText(w, m->name, sizeof m->name);
    PutText(w, m->password, sizeof m->password);
    return Done(w);
}

int32_t msg_SquadRequestDecode(const uint8_t* record, size_t size, MsgSquadRequest* out) {
    LeReader r;
    if (!Open(record, size, MSG_SQUADREQUEST, MSG_SQUADREQUEST_LENGTH, &r)) return -1;
    out->tag = r.u32();
    r.fixedString(out->name, sizeof out->name, 22);
    r.fixedString(out->password, sizeof out->password, 12);
    return Read(r);
}

int32_t msg_ResponseEncode(LeSpanWriter* w, const MsgResponse* m) {
    if (!Begin(w, MSG_RESPONSE, MSG_RESPONSE_LENGTH)) return -1;
    w->u32(m->tag);
    w->u16(m->kind);
    w->u32(m->value);
    return Done(w);
}

int32_t msg_ResponseDecode(const uint8_t* record, size_t size, MsgResponse* out) {
    LeReader r;
    if (!Open(record, size, MSG_RESPONSE, MSG_RESPONSE_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->kind = r.u16();
    out->value = r.u32();
    return Read(r);
}

int32_t msg_LaunchFuelPlaneEncode(LeSpanWriter* w, const MsgLaunchFuelPlane* m) {
    if (!Begin(w, MSG_LAUNCH_FUELPLANE, MSG_LAUNCH_FUELPLANE_LENGTH)) return -1;
    w->u32(m->tag);
    w->f32(m->frame.pos.x);
    w->f32(m->frame.pos.y);
    w->f32(m->frame.pos.z);
    for (const auto& row : m->frame.rot.m)
        for (float v : row) w->f32(v);
    return Done(w);
}

int32_t msg_LaunchFuelPlaneDecode(const uint8_t* record, size_t size, MsgLaunchFuelPlane* out) {
    LeReader r;
    if (!Open(record, size, MSG_LAUNCH_FUELPLANE, MSG_LAUNCH_FUELPLANE_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->frame.pos.x = r.f32();
    out->frame.pos.y = r.f32();
    out->frame.pos.z = r.f32();
    for (auto& row : out->frame.rot.m)
        for (float& v : row) v = r.f32();
    return Read(r);
}

int32_t msg_PlayerExplodedEncode(LeSpanWriter* w, const MsgTagOnly* m) { return TagEncode(w, MSG_PLAYER_EXPLODED, m); }
int32_t msg_PlayerExplodedDecode(const uint8_t* record, size_t size, MsgTagOnly* out) {
    return TagDecode(record, size, MSG_PLAYER_EXPLODED, out);
}
int32_t msg_VictoryEncode(LeSpanWriter* w, const MsgTagOnly* m) { return TagEncode(w, MSG_VICTORY, m); }
int32_t msg_VictoryDecode(const uint8_t* record, size_t size, MsgTagOnly* out) {
    return TagDecode(record, size, MSG_VICTORY, out);
}

int32_t msg_ConsoleCommandEncode(LeSpanWriter* w, const MsgConsoleCommand* m) {
    if (!Begin(w, MSG_CONSOLECOMMAND, MSG_CONSOLECOMMAND_LENGTH)) return -1;
    w->u32(m->tag);
    PutText(w, m->text, sizeof m->text);
    return Done(w);
}

int32_t msg_ConsoleCommandDecode(const uint8_t* record, size_t size, MsgConsoleCommand* out) {
    LeReader r;
    if (!Open(record, size, MSG_CONSOLECOMMAND, MSG_CONSOLECOMMAND_LENGTH, &r)) return -1;
    out->tag = r.u32();
    r.fixedString(out->text, sizeof out->text, 128);
    return Read(r);
}

int32_t msg_StaticConfirmEncode(LeSpanWriter* w, const MsgStaticConfirm* m) {
    if (!Begin(w, MSG_STATICCONFIRM, MSG_STATICCONFIRM_LENGTH)) return -1;
    w->u16(m->batch);
    return Done(w);
}

int32_t msg_StaticConfirmDecode(const uint8_t* record, size_t size, MsgStaticConfirm* out) {
    LeReader r;
    if (!Open(record, size, MSG_STATICCONFIRM, MSG_STATICCONFIRM_LENGTH, &r)) return -1;
    out->batch = r.u16();
    return Read(r);
}

int32_t msg_MsgConfirmEncode(LeSpanWriter* w, const uint32_t* tags, uint32_t count) {
    if (count == 0 || !tags) return -1;
    if (!Begin(w, MSG_MSGCONFIRM, MSG_MSGCONFIRM_HEAD + (uint64_t)count * 4)) return -1;
    w->u32(count);
    for (uint32_t i = 0; i < count; i++) w->u32(tags[i]);
    return Done(w);
}

int32_t msg_MsgConfirmDecode(const uint8_t* record, size_t size, MsgMsgConfirm* out) {
    LeReader r;
    if (!Open(record, size, MSG_MSGCONFIRM, MSG_MSGCONFIRM_HEAD, &r)) return -1;
    out->count = r.u32();
    if (MSG_MSGCONFIRM_HEAD + (uint64_t)out->count * 4 > r.size) return -1;
    return Read(r);
}

int32_t msg_MsgConfirmTag(const uint8_t* record, size_t size, uint32_t index, uint32_t* tag) {
    MsgMsgConfirm head;
    if (msg_MsgConfirmDecode(record, size, &head) != 0 || index >= head.count) return -1;
    *tag = Get32(record + MSG_MSGCONFIRM_HEAD + (size_t)index * 4);
    return 0;
}

int32_t msg_EndEncode(LeSpanWriter* w) {
    if (!w || w->failed || w->remaining() < MSG_END_LENGTH) return -1;
    w->u16(MSG_END);
    w->u16(0);
    return Done(w);
}

// ---- Events ----

namespace {

bool BeginEvent(LeSpanWriter* w, uint16_t id, size_t length, uint32_t tag) {
    if (!Begin(w, id, length)) return false;
    w->u32(tag);
    return true;
}

}  // namespace

int32_t msg_EventCommonEncode(LeSpanWriter* w, const MsgEventCommon* m) {
    if (!msg_EventIsCommon(m->id) || !BeginEvent(w, m->id, EVENT_COMMON_LENGTH, m->tag)) return -1;
    w->u32(m->value);
    PutVec(w, m->position);
    return Done(w);
}

int32_t msg_EventCommonDecode(const uint8_t* event, size_t size, MsgEventCommon* out) {
    LeReader r;
    if (!event || size < MSG_HEADER_SIZE || !msg_EventIsCommon(Get16(event))) return -1;
    out->id = Get16(event);
    if (!Open(event, size, out->id, EVENT_COMMON_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->value = r.u32();
    out->position = GetVec(&r);
    return Read(r);
}

int32_t msg_EventTextEncode(LeSpanWriter* w, const MsgEventText* m) {
    const size_t len = strnlen(m->text, EVENT_TEXT_MAX_CHARS);
    const size_t length = (10 + len + 1 + 1) & ~(size_t)1;
    if (!BeginEvent(w, EVENT_TEXT, length, m->tag)) return -1;
    w->u16(m->sound);
    w->bytes(m->text, len);
    Zeros(w, length - 10 - len);  // the zero and the pad
    return Done(w);
}

int32_t msg_EventTextDecode(const uint8_t* event, size_t size, MsgEventText* out) {
    LeReader r;
    if (!Open(event, size, EVENT_TEXT, EVENT_TEXT_MIN_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->sound = r.u16();
    const uint8_t* text = r.data + r.pos;
    const size_t room = r.size - r.pos;
    const void* zero = memchr(text, 0, room);
    if (!zero) return -1;
    size_t len = (size_t)((const uint8_t*)zero - text);
    if (len > EVENT_TEXT_MAX_CHARS) len = EVENT_TEXT_MAX_CHARS;
    memcpy(out->text, text, len);
    out->text[len] = 0;
    return Read(r);
}

int32_t msg_EventBulletEncode(LeSpanWriter* w, const MsgBullet* m) {
    if (!Begin(w, EVENT_BULLET, EVENT_BULLET_LENGTH)) return -1;
    PutBulletBody(w, m, m->flag);
    return Done(w);
}

int32_t msg_EventBulletDecode(const uint8_t* event, size_t size, MsgBullet* out) {
    LeReader r;
    if (!Open(event, size, EVENT_BULLET, EVENT_BULLET_LENGTH, &r)) return -1;
    GetBulletBody(&r, out);
    return Read(r);
}

int32_t msg_EventScoresEncode(LeSpanWriter* w, const MsgEventScores* m) {
    if (m->count > EVENT_SCORES_MAX || !BeginEvent(w, EVENT_SCORES, 12 + 4 * (size_t)m->count, m->tag)) return -1;
    w->u32(m->count);
    for (uint32_t i = 0; i < m->count; i++) {
        w->u16(m->entries[i].player);
        w->i16(m->entries[i].score);
    }
    return Done(w);
}

int32_t msg_EventScoresDecode(const uint8_t* event, size_t size, MsgEventScores* out) {
    LeReader r;
    if (!Open(event, size, EVENT_SCORES, EVENT_HEAD + 4, &r)) return -1;
    out->tag = r.u32();
    out->count = r.u32();
    if (out->count > EVENT_SCORES_MAX || 12 + 4 * (size_t)out->count > r.size) return -1;
    for (uint32_t i = 0; i < out->count; i++) {
        out->entries[i].player = r.u16();
        out->entries[i].score = r.i16();
    }
    return Read(r);
}

int32_t msg_EventNameEncode(LeSpanWriter* w, const MsgEventName* m) {
    if (!BeginEvent(w, EVENT_NAME, EVENT_NAME_LENGTH, m->tag)) return -1;
    w->u16(m->player);
    PutText(w, m->name, sizeof m->name);
    PutText(w, m->plane, sizeof m->plane);
    w->u16(m->side);
    w->u16(m->squadron);
    return Done(w);
}

int32_t msg_EventNameDecode(const uint8_t* event, size_t size, MsgEventName* out) {
    LeReader r;
    if (!Open(event, size, EVENT_NAME, EVENT_NAME_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->player = r.u16();
    r.fixedString(out->name, sizeof out->name, 22);
    r.fixedString(out->plane, sizeof out->plane, 16);
    out->side = r.u16();
    out->squadron = r.u16();
    return Read(r);
}

int32_t msg_EventLevelResetEncode(LeSpanWriter* w, const MsgEventLevelReset* m) {
    if (!BeginEvent(w, EVENT_LEVEL_RESET, EVENT_LEVEL_RESET_LENGTH, m->tag)) return -1;
    w->u16(m->restart);
    w->u32(m->runNumber);
    return Done(w);
}

int32_t msg_EventLevelResetDecode(const uint8_t* event, size_t size, MsgEventLevelReset* out) {
    LeReader r;
    if (!Open(event, size, EVENT_LEVEL_RESET, EVENT_LEVEL_RESET_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->restart = r.u16();
    out->runNumber = r.u32();
    return Read(r);
}

int32_t msg_EventSquadronEncode(LeSpanWriter* w, const MsgEventSquadron* m) {
    if (!BeginEvent(w, EVENT_SQUADRON, EVENT_SQUADRON_LENGTH, m->tag)) return -1;
    w->u16(m->slot);
    w->u16(m->answer);
    PutText(w, m->name, sizeof m->name);
    return Done(w);
}

int32_t msg_EventSquadronDecode(const uint8_t* event, size_t size, MsgEventSquadron* out) {
    LeReader r;
    if (!Open(event, size, EVENT_SQUADRON, EVENT_SQUADRON_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->slot = r.u16();
    out->answer = r.u16();
    r.fixedString(out->name, sizeof out->name, 22);
    return Read(r);
}

int32_t msg_EventDynamicModelEncode(LeSpanWriter* w, const MsgEventDynamicModel* m) {
    if (!BeginEvent(w, EVENT_DYMANIC_MODEL, EVENT_DYMANIC_MODEL_LENGTH, m->tag)) return -1;
    w->u32(m->release);
    w->u32(m->id);
    if (m->release == 0)
        PutText(w, m->name, sizeof m->name);
    else
        Zeros(w, sizeof m->name);
    return Done(w);
}

int32_t msg_EventDynamicModelDecode(const uint8_t* event, size_t size, MsgEventDynamicModel* out) {
    LeReader r;
    if (!Open(event, size, EVENT_DYMANIC_MODEL, EVENT_DYMANIC_MODEL_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->release = r.u32();
    out->id = r.u32();
    r.fixedString(out->name, sizeof out->name, 32);
    return Read(r);
}

int32_t msg_EventDebugPathEncode(LeSpanWriter* w, const MsgEventDebugPath* m) {
    if (!BeginEvent(w, EVENT_DEBUGPATH, EVENT_DEBUGPATH_LENGTH, m->tag)) return -1;
    w->u32(m->remove);
    w->u32(m->key);
    w->u32(m->colour);
    PutVec(w, m->position);
    return Done(w);
}

int32_t msg_EventDebugPathDecode(const uint8_t* event, size_t size, MsgEventDebugPath* out) {
    LeReader r;
    if (!Open(event, size, EVENT_DEBUGPATH, EVENT_DEBUGPATH_LENGTH, &r)) return -1;
    out->tag = r.u32();
    out->remove = r.u32();
    out->key = r.u32();
    out->colour = r.u32();
    out->position = GetVec(&r);
    return Read(r);
}
