// The voice cue scan and the warning lights.
#include "cockpit/avion_cue.h"

#include <cstdio>
#include <cstring>

#include "cockpit/avion.h"
#include "render/view.h"
#include "shell/runner.h"
#include "sim/flight_jet.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sound/mix.h"
#include "sound/sndtrig.h"

AvionCueState avion_Cues;
int32_t avion_WarningLights = 0;

namespace {

struct CueRow {
    uint16_t trigger;
    int32_t light;
};
// By cue number 1..9.
const CueRow kCues[10] = {{0, 0}, {8, 0}, {9, 0}, {75, 0}, {13, 0}, {76, 0}, {77, 4}, {14, 0}, {78, 2}, {12, 1}};

bool Pending(uint8_t slot) { return slot != 0 && slot != 2; }

bool Caution(int32_t word) {
    switch (word) {
    case 2: case 3: case 4: case 5: case 6: case 7: case 10: case 11: case 17: return true;
    default: return false;
    }
}

}  // namespace

void avion_CueSystemsReset(void) { memset(avion_Cues.systems, 0, sizeof avion_Cues.systems); }

void avion_CuesReset(void) {
    avion_Cues = AvionCueState{};
    avion_Cues.weaponType = -1;
    avion_WarningLights = 0;
}

void avion_CuePlay(int32_t cue) {
    if (cue < 1 || cue > 9 || !(ViewFlags & 0x100)) return;
    SndTrigEvent& e = sndtrig_Event;
    e = SndTrigEvent{};
    e.volume = 255;
    e.voice = AVION_COCKPIT_VOICE;
    e.type = 14;
    e.subtype = 11;
    e.id = kCues[cue].trigger;
    avion_WarningLights |= kCues[cue].light;
    if (jet_SoundTable) sndtrig_Trigger(&e, jet_SoundTable);
}

int32_t avion_WarningCuesScan(const AvionCueInputs& in) {
    AvionCueState& c = avion_Cues;
    uint8_t* s = c.slots;
    // 1: the time since the last cue; a busy voice holds the lights.
    uint32_t interval = 0;
    if (!in.voiceBusy) {
        interval = in.now - c.lastCueTime;
        if (interval >= 31) avion_WarningLights = 0;
    }
    // 2: newly failed systems.
    for (int32_t i = 0; i < AVION_CUE_SYSTEMS; i++) {
        if (!in.systems[i] || in.systems[i] == c.systems[i] || i == 16) continue;
        if (Caution(i)) {
            s[1] = 2;
            avion_WarningLights |= 2;
        } else {
            s[3] = 1;
            avion_WarningLights |= 4;
        }
    }
    // 3: the gear word's rising edge.
    if (in.gearWord && !c.gearWord) {
        if ((in.flags & 0x20) || !(in.flags & 0x40)) {
            avion_WarningLights |= 0x10;
        } else {
            s[1] = 8;
            avion_WarningLights |= 8;
        }
    }
    c.gearWord = in.gearWord;
    // 4: overspeed, once on the way up.
    if (in.speed > 790.0f && !(c.speed > 790.0f)) {
        s[1] = 32;
        avion_WarningLights |= 0x20;
    }
    c.speed = in.speed;
    // 5: the other slots.
    if (!(in.flags & 0x60) && in.warning) {
        if (!s[0]) s[0] = 1;
    } else {
        s[0] = 0;
        avion_WarningLights &= ~1;
    }
    if (in.newCueBit) s[5] = 1;
    if (in.fuel < in.fuelWarning) {
        if (!s[2]) s[2] = 1;
    } else {
        s[2] = 0;
    }
    const uint32_t cm = in.countermeasures & 3;
    if (cm == 3) s[6] = 1;
    else if (cm == 1) s[7] = 1;
    else if (cm == 2) s[8] = 1;
    if (in.storeSuppress) {
        s[4] = 0;
    } else if (in.weaponType != -1) {
        if (in.weaponType != c.weaponType) s[4] = in.storeLeft ? 0 : 1;
        else if (s[4] == 0 && !in.storeLeft) s[4] = 1;
    }
    c.weaponType = in.weaponType;
    // 6: the two highest pending cues.
    int32_t l = 0, m = 0;
    for (int32_t i = 0; i < AVION_CUE_SLOTS; i++) {
        if (!Pending(s[i])) continue;
        if (!l) {
            l = 9 - i;
        } else {
            m = 9 - i;
            break;
        }
    }
    // 7: speak, or remember what waits.
    int32_t played = 0;
    if (!in.voiceBusy && interval >= 31) {
        if (c.lastCue > l && c.lastCue > m) {
            played = c.lastCue;
            c.lastCue = (uint8_t)l;
        } else {
            played = l;
            if (m >= c.lastCue || c.lastCue == l) c.lastCue = (uint8_t)m;
        }
    } else if (c.lastCue < l) {
        c.lastCue = (uint8_t)l;
    }
    if (played) {
        avion_CuePlay(played);
        if (played == 1) printf("flares\n");
        else if (played == 2) printf("chaff\n");
        else if (played == 3) printf("counter\n");
        c.lastCueTime = in.now;
        if (played == 5 || played == 7 || played == 9) s[9 - played] = 2;
    }
    // 8: reset for the next frame.
    s[1] = s[3] = 0;
    for (int32_t i = 5; i < AVION_CUE_SLOTS; i++) s[i] = 0;
    memcpy(c.systems, in.systems, sizeof c.systems);
    return played & 0xFF;
}

int32_t avion_WarningCuesUpdate(void) {
    AvionCueInputs in{};
    in.now = app_TickCount.load(std::memory_order_acquire);
    in.voiceBusy = mix_VoiceIsPlaying(AVION_COCKPIT_VOICE) != 0;
    for (int32_t i = 0; i < AVION_CUE_SYSTEMS; i++) in.systems[i] = plane_SystemsDamage[i];
    in.weaponType = weapon_CurrentId;
    in.storeSuppress = ord_Manager == nullptr;
    in.storeLeft = in.weaponType != -1 && ord_StoreAvailable(in.weaponType) != 0;
    in.countermeasures = weapon_DecoyCues;
    weapon_DecoyCues = 0;
    if (plane_Current) {
        _PLANE_JET* jet = jet_Record(plane_Current);
        const JetState& st = jet->state;
        in.flags = plane_Current->flags;
        in.newCueBit = (plane_Current->flags & 0x400000) != 0;
        plane_Current->flags &= ~0x400000u;
        in.gearWord = st.gear.command != st.gear.actual ? 1 : 0;
        in.speed = st.knots;
        in.warning = st.stall;
        in.fuel = ord_Manager ? ord_Manager->fuelWithInternal : 0.0f;
        in.fuelWarning = jet->params.internalFuel * 0.15f;
    } else {
        in.fuel = in.fuelWarning = 0.0f;
    }
    return avion_WarningCuesScan(in);
}
