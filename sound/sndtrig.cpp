// Sound triggers and the SNDTRIG file (layout in docs/formats.md).
#include "sound/sndtrig.h"

#include <strings.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "base/file.h"
#include "base/le.h"
#include "base/mem.h"
#include "render/view.h"
#include "sim/obj.h"
#include "sound/snd.h"

SndTrigEvent sndtrig_Event;

namespace {

constexpr uint32_t kRandomStart = 0x2B0749C1u;
uint32_t g_random = kRandomStart;
int32_t g_conditionMask = 6;
bool g_hookInstalled = false;

struct PlayEntry {
    uint32_t key;
    MixSample* sample;
    int32_t pitch;
    int32_t volume;
    int32_t pan;
};
PlayEntry g_playList[SNDTRIG_PLAY_LIST];

const char* const kTagData = "SNDTRIG DATA";
const char* const kTagTriggers = "SNDTRIG TRIGGERS";
const char* const kTagSets = "SNDTRIG SETS";
const char* const kTagLayers = "SET LAYERS";
const char* const kTagMembers = "LAYER MEMBERS";
const char* const kTagSound = "SNDTRIG SOUND";

// ---- Reading the file ---------------------------------------------------------

// The file layer's current file, read at checked offsets.
bool ReadAt(uint32_t fileSize, uint64_t offset, void* buffer, uint32_t count) {
    if (offset > fileSize || count > fileSize - offset) return false;
    if (file_Seek((int32_t)offset, 0) != (int32_t)offset) return false;
    return file_Read(buffer, (int32_t)count) == (int32_t)count;
}

void* AllocTable(uint64_t size, const char* tag, uint32_t heapId) {
    if (size == 0 || size > 0x7FFFFFFF) return nullptr;
    return mem_AllocWithId((uint32_t)size, 4, tag, heapId);
}

void Damaged(const char* name, const char* what) {
    fprintf(stderr, "krx: sound-trigger file \"%s\" is damaged (%s)\n", name, what);
}

void FreeSets(SndTrigFile* t) {
    if (!t->sets) return;
    for (uint32_t s = 0; s < t->setCount; s++) {
        SndTrigSet& set = t->sets[s];
        if (!set.layers) continue;
        for (uint32_t l = 0; l < set.layerCount; l++)
            if (set.layers[l].members) mem_Free(set.layers[l].members);
        mem_Free(set.layers);
    }
    mem_Free(t->sets);
    t->sets = nullptr;
}

// Reads the set block, sets, layers and members. 1 when done (sets may be
// missing when their memory could not be had), 0 when the file is damaged.
int32_t LoadSets(SndTrigFile* t) {
    if (t->setOffset == 0) return 1;
    uint8_t block[SNDTRIG_SET_BLOCK_SIZE];
    if (!ReadAt(t->fileSize, t->setOffset, block, sizeof block)) return Damaged(t->fileName, "set block"), 0;
    LeReader b(block, sizeof block);
    t->blockLength = b.u32();
    t->setCount = b.u32();
    t->setArrayOffset = b.u32();
    if (t->blockLength < SNDTRIG_SET_BLOCK_SIZE || t->blockLength > t->fileSize - t->setOffset)
        return Damaged(t->fileName, "set block length"), 0;
    uint64_t arrayBytes = (uint64_t)t->setCount * SNDTRIG_SET_SIZE;
    if (t->setArrayOffset > t->fileSize || arrayBytes > t->fileSize - t->setArrayOffset)
        return Damaged(t->fileName, "set array"), 0;
    if (t->setCount == 0) return 1;
    std::vector<uint8_t> raw((size_t)arrayBytes);
    if (!ReadAt(t->fileSize, t->setArrayOffset, raw.data(), (uint32_t)arrayBytes))
        return Damaged(t->fileName, "set array"), 0;

    t->sets = (SndTrigSet*)AllocTable((uint64_t)t->setCount * sizeof(SndTrigSet), kTagSets, t->heapId);
    if (!t->sets) {
        // No sets and no preloading, as when the file names none.
        t->setCount = 0;
        return 1;
    }
    memset(t->sets, 0, (size_t)t->setCount * sizeof(SndTrigSet));
    bool full = false;
    LeReader r(raw.data(), raw.size());
    for (uint32_t s = 0; s < t->setCount; s++) {
        SndTrigSet& set = t->sets[s];
        r.seek((size_t)s * SNDTRIG_SET_SIZE + 28);
        set.pitchBase = r.i32();
        set.pitchSpread = r.u32();
        set.layerCount = r.u32();
        uint32_t layerOffsets[SNDTRIG_MAX_LAYERS];
        for (uint32_t& o : layerOffsets) o = r.u32();
        set.flags = r.u32();
        if (set.layerCount > (uint32_t)SNDTRIG_MAX_LAYERS) {
            set.layerCount = 0;
            return Damaged(t->fileName, "layer count"), 0;
        }
        if (set.layerCount == 0) continue;
        set.layers = (SndTrigLayer*)AllocTable(set.layerCount * sizeof(SndTrigLayer), kTagLayers, t->heapId);
        if (!set.layers) {
            full = true;
            break;
        }
        memset(set.layers, 0, set.layerCount * sizeof(SndTrigLayer));
        for (uint32_t l = 0; l < set.layerCount; l++) {
            SndTrigLayer& layer = set.layers[l];
            uint8_t lb[SNDTRIG_LAYER_SIZE];
            if (!ReadAt(t->fileSize, layerOffsets[l], lb, sizeof lb)) return Damaged(t->fileName, "layer"), 0;
            LeReader lr(lb, sizeof lb);
            uint16_t members = lr.u16();
            uint16_t next = lr.u16();
            layer.range = lr.u32();
            layer.flags = lr.u32();
            lr.skip(4);
            uint32_t memberOffsets[SNDTRIG_MAX_MEMBERS];
            for (uint32_t& o : memberOffsets) o = lr.u32();
            if (members > SNDTRIG_MAX_MEMBERS) return Damaged(t->fileName, "member count"), 0;
            if (members == 0) continue;
            layer.members =
                (SndTrigMember*)AllocTable(members * sizeof(SndTrigMember), kTagMembers, t->heapId);
            if (!layer.members) {
                full = true;
                break;
            }
            layer.memberCount = members;
            layer.next = next < members ? next : 0;
            for (uint32_t m = 0; m < members; m++) {
                uint8_t mb[SNDTRIG_MEMBER_SIZE];
                if (!ReadAt(t->fileSize, memberOffsets[m], mb, sizeof mb))
                    return Damaged(t->fileName, "member"), 0;
                LeReader mr(mb, sizeof mb);
                uint32_t index = mr.u32();
                SndTrigMember& member = layer.members[m];
                member.pitchBase = mr.i32();
                member.pitchSpread = mr.u32();
                member.volume = mr.u32();
                member.volumeCap = mr.u32();
                if (index >= t->soundCount) return Damaged(t->fileName, "member sound index"), 0;
                member.sound = &t->sounds[index];
                if ((layer.flags & SNDTRIG_LAYER_PRELOAD) && !member.sound->owner.playing)
                    member.sound->preload = 1;
            }
        }
        if (full) break;
    }
    if (full) {
        // Out of memory part-way: no sets at all rather than half of them.
        FreeSets(t);
        t->setCount = 0;
        for (uint32_t i = 0; i < t->soundCount; i++) t->sounds[i].preload = 0;
        return 1;
    }
    return 1;
}

// The sample of an entry from the open trigger file; the entry stays
// unloaded when it cannot be had.
void LoadSample(SndTrigFile* t, SndTrigSound* e, bool transient) {
    if (e->owner.playing) return;
    e->owner.sample = nullptr;
    if (e->size == 0 || (uint64_t)e->offset + e->size > t->fileSize) return;
    void* block = transient ? mem_AllocInHeap2(e->size) : mem_AllocEx(e->size, 4, kTagSound);
    if (!block) return;
    MixSample* sample = nullptr;
    if (ReadAt(t->fileSize, e->offset, block, e->size)) sample = snd_SampleConvert(block, e->size);
    if (!sample) {
        if (transient)
            mem_FreeInHeap2(block);
        else
            mem_Free(block);
        return;
    }
    if (!transient) mem_IdSet(block, t->heapId);
    e->owner.sample = sample;
    e->owner.playing = 1;
    e->transient = transient ? 1 : 0;
}

// Opens the table's file around loading one entry's sample.
MixSample* EnsureSample(SndTrigFile* t, SndTrigSound* e, bool transient) {
    if (!e->owner.playing) {
        if (file_OpenEx(t->fileName) == -1) return nullptr;
        LoadSample(t, e, transient);
        file_Close();
    }
    return e->owner.playing ? static_cast<MixSample*>(e->owner.sample) : nullptr;
}

void ReleaseSample(SndTrigSound* e) {
    if (!e->owner.playing || !e->owner.sample) return;
    MixSample* sample = static_cast<MixSample*>(e->owner.sample);
    if (snd_CountSampleVoices(sample)) mix_VoiceStopSample(sample);
    if (e->transient)
        mem_FreeInHeap2(sample);
    else
        mem_Free(sample);
    e->owner.sample = nullptr;
    e->owner.playing = 0;
}

// ---- Playing ------------------------------------------------------------------

uint32_t NextRandom(void) {
    uint32_t x = g_random;
    x = (x >> 21) + x * 2049u;
    x = (x << 3) | (x >> 29);
    g_random = x;
    return x;
}

uint32_t RandomBelow(uint32_t n) {
    uint32_t x = NextRandom();
    if (n <= 1) return 0;
    return (uint32_t)(((uint64_t)n * (x & 0xFF)) >> 8);
}

uint32_t StartVoice(const SndTrigEvent* ev, const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch,
                    uint32_t flags) {
    if (ev->voice == -1) return snd_VoiceStart(sample, pan, volume, pitch, flags);
    return snd_VoicePlayOnEx(ev->voice, sample, pan, volume, pitch, flags);
}

int32_t PlaySound(SndTrigSound* e, SndTrigEvent* ev, SndTrigFile* t) {
    bool transient = (ev->flags & SNDTRIG_TRANSIENT) != 0;
    MixSample* sample = EnsureSample(t, e, transient);
    if (!sample) return 0;
    int64_t volume = ((int64_t)(e->volume ? e->volume : 255) * ev->volume) >> 8;
    if (volume < t->minVolume) return 0;
    // Only a sample of alternate heap 2 is released at its end; one that
    // stays loaded plays as an ordinary sound.
    uint32_t flags = 0;
    if (transient && e->transient) {
        if (!e->handle) e->handle = snd_OwnerHandleAdd(&e->owner);
        if (e->handle) {
            flags = e->handle;
            if (ev->completion) {
                e->owner.completion = ev->completion;
                e->owner.user = ev->completionArgument;
            }
        }
    }
    if (!(ev->flags & SNDTRIG_IGNORE_LIMIT) && t->maxInstances > 0 && snd_CountSampleVoices(sample) >= t->maxInstances)
        return -1;
    return (int32_t)StartVoice(ev, sample, ev->pan, (int32_t)(volume > 255 ? 255 : volume), ev->pitch, flags);
}

int32_t CurveVolume(uint32_t distance, uint32_t range, uint32_t volume, uint32_t cap) {
    uint64_t scaled = (uint64_t)range << 16;
    uint32_t factor = 0;
    if (distance <= scaled) {
        uint64_t f = ((uint64_t)distance << 16) / scaled;
        factor = f >= 65536 ? 0 : sndtrig_VolumeCurve[f >> 8];
    }
    uint64_t v = ((uint64_t)volume * factor) >> 8;
    if (v > cap) v = cap;
    return v > 0x7FFFFFFF ? 0x7FFFFFFF : (int32_t)v;
}

int32_t PlaySet(SndTrigSet* set, SndTrigEvent* ev, SndTrigFile* t) {
    memset(g_playList, 0, sizeof g_playList);
    int32_t listed = 0;
    uint32_t mask = (uint32_t)g_conditionMask;
    for (uint32_t l = 0; l < set->layerCount && listed < SNDTRIG_PLAY_LIST; l++) {
        SndTrigLayer& layer = set->layers[l];
        if (layer.memberCount == 0 || !layer.members) continue;
        if (!(layer.flags & mask & (SNDTRIG_LAYER_COCKPIT | SNDTRIG_LAYER_OUTSIDE))) continue;
        if ((set->flags & SNDTRIG_SET_VOICE_CONDITION) && ((layer.flags ^ mask) & SNDTRIG_LAYER_VOICE)) continue;
        uint32_t pick;
        if (layer.flags & SNDTRIG_LAYER_SEQUENTIAL) {
            pick = layer.next < layer.memberCount ? layer.next : 0;
            layer.next = (uint16_t)(pick + 1 >= layer.memberCount ? 0 : pick + 1);
        } else {
            pick = RandomBelow(layer.memberCount);
        }
        SndTrigMember& m = layer.members[pick];
        MixSample* sample = EnsureSample(t, m.sound, false);
        // A member without a sample is left out: an empty entry would end
        // the list for the layers behind it.
        if (!sample) continue;
        PlayEntry& p = g_playList[listed++];
        p.sample = sample;
        p.pan = (layer.flags & SNDTRIG_LAYER_PAN) ? ev->pan : 0;
        int64_t setPitch = (int64_t)RandomBelow(set->pitchSpread) + set->pitchBase;
        int64_t memberPitch = (int64_t)RandomBelow(m.pitchSpread) + m.pitchBase;
        int64_t eventPitch = ev->pitch ? ev->pitch : 0x10000;
        // The spreads are 32-bit: the products may need more than 64 bits.
        __int128 product = (((__int128)setPitch * memberPitch) >> 16) * eventPitch >> 16;
        p.pitch = product <= 0 ? 0 : product > 0x7FFFFFFF ? 0x7FFFFFFF : (int32_t)product;
        p.volume = layer.range == 0 ? ev->volume : CurveVolume((uint32_t)ev->distance, layer.range, m.volume, m.volumeCap);
    }
    for (int32_t i = 0; i < listed; i++) {
        PlayEntry& p = g_playList[i];
        if (p.volume >= t->minVolume) p.key = StartVoice(ev, p.sample, p.pan, p.volume, p.pitch, 0);
    }
    return listed;
}

// Installed again at every load while output runs: output may have been
// opened after the first table, and the hook is set only while it runs.
void InstallHook(void) {
    if (!snd_Running) return;
    snd_SetEndHook(sndtrig_VoiceEnded);
    g_hookInstalled = true;
}

// Anchors of the volume curve; the entries between them lie on straight
// lines.
struct CurvePoint {
    int32_t index, value;
};
constexpr CurvePoint kCurve[] = {{0, 255},  {1, 238},   {2, 223},   {3, 210},   {4, 199},   {8, 164},
                                 {15, 127}, {32, 81},   {44, 63},   {64, 44},   {96, 27},   {128, 17},
                                 {160, 10}, {192, 6},   {224, 3},   {240, 2},   {254, 1},   {255, 0}};

struct Curve {
    uint8_t v[256];
    constexpr Curve() : v() {
        for (size_t k = 0; k + 1 < sizeof kCurve / sizeof kCurve[0]; k++) {
            CurvePoint a = kCurve[k], b = kCurve[k + 1];
            for (int32_t i = a.index; i <= b.index; i++)
                v[i] = (uint8_t)(a.value + ((b.value - a.value) * (i - a.index) - (b.index - a.index) / 2) /
                                               (b.index - a.index));
        }
        for (CurvePoint p : kCurve) v[p.index] = (uint8_t)p.value;
    }
};
constexpr Curve kCurveTable;

}  // namespace

const uint8_t sndtrig_VolumeCurve[256] = {
#define C(i) kCurveTable.v[i]
#define C4(i) C(i), C(i + 1), C(i + 2), C(i + 3)
#define C16(i) C4(i), C4(i + 4), C4(i + 8), C4(i + 12)
    C16(0),   C16(16),  C16(32),  C16(48),  C16(64),  C16(80),  C16(96),  C16(112),
    C16(128), C16(144), C16(160), C16(176), C16(192), C16(208), C16(224), C16(240),
#undef C16
#undef C4
#undef C
};

// ---- Loading ------------------------------------------------------------------

int32_t sndtrig_LoadEx(const char* name, SndTrigFile* table, uint32_t heapId) {
    if (!table) return 0;
    memset(table, 0, sizeof *table);
    if (!name || strlen(name) >= sizeof table->fileName) return 0;
    int32_t size = file_FileSizeEx(name);
    if (size < 0 || file_OpenEx(name) == -1) return 0;
    table->heapId = heapId;
    snprintf(table->fileName, sizeof table->fileName, "%s", name);
    table->fileSize = (uint32_t)size;

    SndTrigFile* t = table;
    bool ok = false;
    do {
        uint8_t header[SNDTRIG_HEADER_MIN];
        if (!ReadAt(t->fileSize, 0, header, sizeof header)) {
            Damaged(name, "header");
            break;
        }
        LeReader h(header, sizeof header);
        t->headerLength = h.u32();
        h.skip(4);
        t->soundCount = h.u32();
        t->triggerCount = h.u32();
        t->setOffset = h.u32();
        uint64_t soundBytes = (uint64_t)t->soundCount * SNDTRIG_SOUND_SIZE;
        uint64_t triggerBytes = (uint64_t)t->triggerCount * SNDTRIG_TRIGGER_SIZE;
        if (t->headerLength < SNDTRIG_HEADER_MIN || t->headerLength > t->fileSize ||
            soundBytes + triggerBytes > t->fileSize - t->headerLength) {
            Damaged(name, "header");
            break;
        }
        if (t->soundCount) {
            std::vector<uint8_t> raw((size_t)soundBytes);
            t->sounds = (SndTrigSound*)AllocTable((uint64_t)t->soundCount * sizeof(SndTrigSound), kTagData, heapId);
            if (!t->sounds || !ReadAt(t->fileSize, t->headerLength, raw.data(), (uint32_t)soundBytes)) break;
            memset(t->sounds, 0, (size_t)t->soundCount * sizeof(SndTrigSound));
            LeReader r(raw.data(), raw.size());
            bool bad = false;
            for (uint32_t i = 0; i < t->soundCount; i++) {
                SndTrigSound& e = t->sounds[i];
                r.bytes(e.name, SNDTRIG_NAME_SIZE);
                e.name[SNDTRIG_NAME_SIZE] = 0;
                e.offset = r.u32();
                e.size = r.u32();
                r.skip(1);
                e.volume = r.u8();
                e.preload = r.u8();
                r.skip(1 + 4 + 4 + 4 + 4);  // the run-time words start cleared
                if (e.size && (uint64_t)e.offset + e.size > t->fileSize) bad = true;
            }
            if (bad) {
                Damaged(name, "sample outside the file");
                break;
            }
        }
        if (t->triggerCount) {
            std::vector<uint8_t> raw((size_t)triggerBytes);
            t->triggers =
                (SndTrigTrigger*)AllocTable((uint64_t)t->triggerCount * sizeof(SndTrigTrigger), kTagTriggers, heapId);
            if (!t->triggers || !ReadAt(t->fileSize, t->headerLength + soundBytes, raw.data(), (uint32_t)triggerBytes))
                break;
            LeReader r(raw.data(), raw.size());
            for (uint32_t i = 0; i < t->triggerCount; i++) {
                SndTrigTrigger& g = t->triggers[i];
                g.type = r.u16();
                g.subtype = r.u16();
                g.id = r.u16();
                g.isSet = r.u16();
                g.index = r.u16();
                r.skip(2);
            }
        }
        ok = LoadSets(t) == 1;
    } while (false);
    file_Close();
    if (!ok) {
        FreeSets(table);
        if (table->triggers) mem_Free(table->triggers);
        if (table->sounds) mem_Free(table->sounds);
        memset(table, 0, sizeof *table);
        return 0;
    }
    sndtrig_LoadMarked(table);
    InstallHook();
    return 1;
}

int32_t sndtrig_Load(const char* name, SndTrigFile* table) { return sndtrig_LoadEx(name, table, 0xFFFFFFFFu); }

void sndtrig_Free(SndTrigFile* table) {
    if (!table) return;
    for (uint32_t s = 0; table->sets && s < table->setCount; s++) {
        SndTrigSet& set = table->sets[s];
        for (uint32_t l = 0; set.layers && l < set.layerCount; l++)
            for (uint32_t m = 0; m < set.layers[l].memberCount; m++) ReleaseSample(set.layers[l].members[m].sound);
    }
    FreeSets(table);
    for (uint32_t i = 0; table->sounds && i < table->soundCount; i++) {
        SndTrigSound& e = table->sounds[i];
        // Transient samples would otherwise wait for an end report that
        // can no longer find their entry.
        if (e.transient) ReleaseSample(&e);
        if (e.handle) snd_OwnerHandleRemove(e.handle);
        if (void (*done)(uint32_t) = e.owner.completion) {
            e.owner.completion = nullptr;
            done(e.owner.user);
        }
    }
    if (table->sounds) mem_Free(table->sounds);
    if (table->triggers) mem_Free(table->triggers);
    memset(table, 0, sizeof *table);
}

SndTrigSound* sndtrig_FindSound(const char* name, SndTrigFile* table) {
    if (!name || !table || !table->sounds) return nullptr;
    for (uint32_t i = 0; i < table->soundCount; i++)
        if (strcasecmp(table->sounds[i].name, name) == 0) return table->sounds[i].size ? &table->sounds[i] : nullptr;
    return nullptr;
}

int32_t sndtrig_MarkSound(const char* name, SndTrigFile* table) {
    SndTrigSound* e = sndtrig_FindSound(name, table);
    if (!e) return 0;
    e->preload = 1;
    return 1;
}

int32_t sndtrig_LoadMarked(SndTrigFile* table) {
    if (!table || !table->sounds) return 0;
    int32_t marked = 0;
    bool open = false;
    for (uint32_t i = 0; i < table->soundCount; i++) {
        SndTrigSound& e = table->sounds[i];
        if (!e.preload) continue;
        marked++;
        if (e.owner.playing) continue;
        if (!open) {
            if (file_OpenEx(table->fileName) == -1) return marked;
            open = true;
        }
        LoadSample(table, &e, false);
    }
    if (open) file_Close();
    return marked;
}

MixSample* sndtrig_GetSample(const char* name, SndTrigFile* table) {
    SndTrigSound* e = sndtrig_FindSound(name, table);
    return e ? EnsureSample(table, e, false) : nullptr;
}

int32_t sndtrig_Trigger(SndTrigEvent* event, SndTrigFile* table) {
    if (!event || !table) return 0;
    if (!table->triggers || table->triggerCount == 0) return -1;
    for (uint32_t i = 0; i < table->triggerCount; i++) {
        const SndTrigTrigger& g = table->triggers[i];
        if (g.type != event->type || g.subtype != event->subtype || g.id != event->id) continue;
        return g.isSet ? sndtrig_PlaySetIndexed(g.index, event, table) : sndtrig_PlayIndexed(g.index, event, table);
    }
    return -1;
}

int32_t sndtrig_PlayIndexed(int32_t index, SndTrigEvent* event, SndTrigFile* table) {
    if (!event || !table || !table->sounds || index < 0 || (uint32_t)index >= table->soundCount) return 0;
    return PlaySound(&table->sounds[index], event, table);
}

int32_t sndtrig_PlaySetIndexed(int32_t index, SndTrigEvent* event, SndTrigFile* table) {
    if (!event || !table || !table->sets || index < 0 || (uint32_t)index >= table->setCount) return 0;
    return PlaySet(&table->sets[index], event, table);
}

void sndtrig_SetMaxInstances(int32_t limit, SndTrigFile* table) {
    if (table) table->maxInstances = limit;
}

void sndtrig_SetMinVolume(int32_t volume, SndTrigFile* table) {
    if (table) table->minVolume = volume;
}

int32_t sndtrig_SetConditionMask(int32_t mask) {
    int32_t previous = g_conditionMask;
    g_conditionMask = mask;
    return previous;
}

int32_t sndtrig_Random(int32_t n) { return (int32_t)RandomBelow(n > 1 ? (uint32_t)n : 0); }

void sndtrig_RandomSeed(uint32_t state) { g_random = state ? state : kRandomStart; }

void sndtrig_RequestAtPosition(const FixWorldPos* position) {
    if (!position) return;
    int32_t d = view_ListenerDistance(position);
    SndTrigEvent& ev = sndtrig_Event;
    ev.distance = (int32_t)((uint32_t)d * 16u);
    int32_t volume = 255 - (d >> 17);
    ev.volume = volume < 0 ? 0 : volume;
    ev.pan = d < 0x10000 ? 0
                         : view_TransformToCamera((int32_t)(position->x - view_State.position.x),
                                                  (int32_t)(position->y - view_State.position.y),
                                                  (int32_t)(position->z - view_State.position.z), d);
    ev.pitch = 0;
    ev.voice = -1;
    ev.flags = 0;
    ev.completion = nullptr;
}

void sndtrig_RequestAtObject(const ObjectRecord* object) {
    if (object) sndtrig_RequestAtPosition(&object->position);
}

void sndtrig_VoiceEnded(uint32_t flags) {
    // Speech voices carry bit 31 and report nothing.
    if (flags == 0 || (flags & 0x80000000u)) return;
    vid_PostDeferredCall((intptr_t)flags);
}
