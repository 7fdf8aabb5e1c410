// The pilot record's fields the mission screens read and write, and its
// file image: the 5452-byte record, then the extension block.
#include <cstring>

#include "base/le.h"
#include "menu/brief.h"

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

int32_t mnu_PilotParse(const uint8_t* data, size_t size) {
    mnu_Pilot = MnuPilot{};
    const size_t full = mnu_PilotImage().size();
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
    mnu_Pilot = p;
    return 1;
}
