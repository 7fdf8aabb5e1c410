// The pilot record's fields the mission screens read and write, its file
// image (the 5452-byte record, then the extension block) and the slot's
// pilot file "FSLOTnn.sav".
#include <cstdio>
#include <cstring>

#include "base/le.h"
#include "menu/brief.h"
#include "menu/camp.h"
#include "menu/newcamp.h"
#include "menu/quick.h"
#include "shell/startup.h"

MnuPilot mnu_Pilot = {};

namespace {
bool Fits(int32_t offset, int32_t width) { return offset >= 0 && offset + width <= MNU_PILOT_SIZE; }
}  // namespace

uint16_t mnu_PilotGet16(int32_t offset) {
    if (!Fits(offset, 2)) return 0;
    return (uint16_t)(mnu_Pilot.record[offset] | mnu_Pilot.record[offset + 1] << 8);
}

void mnu_PilotSet16(int32_t offset, uint16_t value) {
    if (!Fits(offset, 2)) return;
    mnu_Pilot.record[offset] = (uint8_t)value;
    mnu_Pilot.record[offset + 1] = (uint8_t)(value >> 8);
}

uint32_t mnu_PilotGet32(int32_t offset) {
    if (!Fits(offset, 4)) return 0;
    LeReader r(mnu_Pilot.record + offset, 4);
    return r.u32();
}

void mnu_PilotSet32(int32_t offset, uint32_t value) {
    if (!Fits(offset, 4)) return;
    for (int32_t i = 0; i < 4; i++) mnu_Pilot.record[offset + i] = (uint8_t)(value >> (8 * i));
}

int32_t mnu_PilotStoreAdd(int32_t gained, uint16_t key, uint16_t count) {
    int32_t& n = gained ? mnu_Pilot.gainedCount : mnu_Pilot.usedCount;
    MnuPilotStore* list = gained ? mnu_Pilot.gained : mnu_Pilot.used;
    if (n < 0) n = 0;
    if (n >= MNU_PILOT_STORES) return 0;
    list[n++] = MnuPilotStore{key, count};
    return 1;
}

std::vector<uint8_t> mnu_PilotImage(void) {
    LeWriter w;
    w.bytes(mnu_Pilot.record, sizeof mnu_Pilot.record);
    w.bytes(mnu_Pilot.counters, sizeof mnu_Pilot.counters);
    for (int32_t gained = 0; gained < 2; gained++) {
        int32_t n = gained ? mnu_Pilot.gainedCount : mnu_Pilot.usedCount;
        const MnuPilotStore* list = gained ? mnu_Pilot.gained : mnu_Pilot.used;
        n = n < 0 ? 0 : n > MNU_PILOT_STORES ? MNU_PILOT_STORES : n;
        w.u32((uint32_t)n);
        for (int32_t i = 0; i < MNU_PILOT_STORES; i++) {
            w.u16(i < n ? list[i].key : 0);
            w.u16(i < n ? list[i].count : 0);
        }
    }
    return w.buf;
}

int32_t mnu_PilotParse(const uint8_t* data, size_t size) { return mnu_PilotParseInto(&mnu_Pilot, data, size); }

int32_t mnu_PilotParseInto(MnuPilot* out, const uint8_t* data, size_t size) {
    *out = MnuPilot{};
    const size_t full = MNU_PILOT_FILE_MAX;
    if (!data || (size != (size_t)MNU_PILOT_SIZE && size != full)) return 0;
    LeReader r(data, size);
    MnuPilot p = {};
    memcpy(p.record, data, MNU_PILOT_SIZE);
    r.skip(MNU_PILOT_SIZE);
    if (size == full) {
        memcpy(p.counters, data + r.pos, sizeof p.counters);
        r.skip(sizeof p.counters);
        for (int32_t gained = 0; gained < 2; gained++) {
            uint32_t n = r.u32();
            MnuPilotStore* list = gained ? p.gained : p.used;
            for (int32_t i = 0; i < MNU_PILOT_STORES; i++) {
                list[i].key = r.u16();
                list[i].count = r.u16();
            }
            if (n > (uint32_t)MNU_PILOT_STORES || !r.ok()) return 0;
            (gained ? p.gainedCount : p.usedCount) = (int32_t)n;
        }
    }
    *out = p;
    return 1;
}

void mnu_PilotFileName(int32_t slot, char* out, size_t size) {
    snprintf(out, size, "%s%02d.sav", app_ProductRecord.slotPrefix, (int)slot);
}

int32_t mnu_PilotFileRead(int32_t slot, MnuPilot* out) {
    *out = MnuPilot{};
    if (slot < 1 || slot > MNU_PILOT_SLOTS) return 0;
    char name[64];
    mnu_PilotFileName(slot, name, sizeof name);
    std::vector<uint8_t> image;
    int32_t read = mnu_FileRead(name, &image, MNU_PILOT_FILE_MAX);
    if (read == 0) return 0;
    if (read > 0 && mnu_PilotParseInto(out, image.data(), image.size())) return 1;
    // Kept for a look; the slot shows empty.
    mnu_FileSetAside(name, "pilot");
    return -1;
}

void mnu_PilotCallsign(const MnuPilot* p, char* out, size_t size) {
    if (!size) return;
    size_t n = strnlen(reinterpret_cast<const char*>(p->record + MNU_PILOT_CALLSIGN), MNU_PILOT_CALLSIGN_LENGTH);
    if (n >= size) n = size - 1;
    memcpy(out, p->record + MNU_PILOT_CALLSIGN, n);
    out[n] = 0;
}

void mnu_PilotCallsignSet(const char* name) {
    uint8_t* field = mnu_Pilot.record + MNU_PILOT_CALLSIGN;
    memset(field, 0, MNU_PILOT_CALLSIGN_LENGTH + 1);
    if (name) memcpy(field, name, strnlen(name, MNU_PILOT_CALLSIGN_LENGTH));
}

void mnu_PilotLoad(void) {
    uint16_t slot = mnu_PilotGet16(MNU_PILOT_SLOT);
    static MnuPilot loaded;
    mnu_PilotFileRead(slot, &loaded);
    mnu_Pilot = loaded;
    if (!mnu_PilotGet16(MNU_PILOT_CAMPAIGN)) mnu_PilotSet16(MNU_PILOT_CAMPAIGN, 1);
    if (!mnu_PilotGet16(MNU_PILOT_MISSION)) mnu_PilotSet16(MNU_PILOT_MISSION, 1);
    mnu_PilotSet16(MNU_PILOT_RETURNED, 0);
    mnu_PilotSet16(MNU_PILOT_COMPLETED, 0);
    mnu_PilotSet32(MNU_PILOT_RUNTIME, 0);
    mnu_PilotSet16(MNU_PILOT_SLOT, slot);
}

int32_t mnu_PilotSaveResult(void) {
    const int32_t slot = mnu_PilotGet16(MNU_PILOT_SLOT);
    if (mnu_GameMode == 1 || slot < 1 || slot > MNU_PILOT_SLOTS) return 0;
    char name[64];
    mnu_PilotFileName(slot, name, sizeof name);
    if (mnu_FileSaveReplace(name, mnu_PilotImage())) return 1;
    fprintf(stderr, "krx: the pilot file %s could not be written; the old one is kept\n", name);
    return 0;
}

void mnu_PilotSave(void) { mnu_PilotSaveResult(); }

int32_t mnu_PilotLastReached(int32_t campaign) {
    if (campaign < 1 || campaign > MNU_PILOT_REACHED_COUNT) return 0;
    return mnu_Pilot.record[MNU_PILOT_REACHED + campaign - 1];
}

void mnu_PilotLastReachedSet(int32_t campaign, int32_t mission) {
    if (campaign < 1 || campaign > MNU_PILOT_REACHED_COUNT) return;
    mnu_Pilot.record[MNU_PILOT_REACHED + campaign - 1] = (uint8_t)(mission < 0 ? 0 : mission > 255 ? 255 : mission);
}
