// The client's sounds of objects: the engine sources of the player's
// aircraft and of the copies, and the two warning tones of the cockpit.
#include "debug/console.h"
#include "net/client.h"
#include "platform/simlog.h"
#include "render/view.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "base/mem.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sound/mix.h"
#include "sound/snd.h"
#include "sound/sndtrig.h"

MixSample* Client_WarningSounds[CLIENT_WARNING_SOUNDS] = {};
const char* const Client_WarningSoundNames[CLIENT_WARNING_SOUNDS] = {"WARN_THREAT", "WARN_MARK", "MISSILE_LOCK",
                                                                     "SEEKER_TONE"};
SndTrigFile Client_LevelSounds = {};

namespace {

constexpr uint8_t ENGINE_VOLUME = 128;
constexpr uint8_t FULL_VOLUME = 255;
constexpr uint16_t ENGINE_SUBTYPE = 0;          // the engine running
constexpr uint16_t ENGINE_ID = 2;
constexpr int32_t OUT_OF_HEARING = 0x17700000;  // added on every axis outside the cockpit
constexpr int32_t VOLUME_SCALE = 255;           // the sound volume setting at full

FixVec3 At(const ObjectRecord* o) {
    return FixVec3{(int32_t)o->position.x, (int32_t)o->position.y, (int32_t)o->position.z};
}

// One tone: its looping source (made again when the source table was
// emptied) set to the sound and level, or silent.
void Tone(int32_t n, MixSample* sample, int32_t level, const FixVec3& at) {
    const int32_t volume = sample ? level * app_Settings.SFX_VOLUME / VOLUME_SCALE : 0;
    if (sample != Client.toneSample[n]) {
        int32_t which = 0;
        for (int32_t i = 0; i < CLIENT_WARNING_SOUNDS; i++)
            if (sample && Client_WarningSounds[i] == sample) which = i + 1;
        plat_SimLog("client", "tone %d %s level=%d", n + 1, which ? Client_WarningSoundNames[which - 1] : "off",
                    sample ? level : 0);
    }
    Client.toneSample[n] = sample;
    Client.toneLevel[n] = sample ? level : 0;
    const uint8_t v = (uint8_t)(volume < 0 ? 0 : volume > 255 ? 255 : volume);
    if (Client.toneSource[n] &&
        mix_SourceSet(Client.toneSource[n], (int32_t)MIX_NATURAL_PITCH, v, FULL_VOLUME, sample, nullptr, &at))
        return;
    MixSourceDesc d{};
    d.x = at.x, d.y = at.y, d.z = at.z;
    d.sample = sample;
    d.pitch = (int32_t)MIX_NATURAL_PITCH;
    d.volume = v;
    d.maxVolume = FULL_VOLUME;
    Client.toneSource[n] = mix_SourceAdd(&d);
}

bool MissileReady(void) {
    if (weapon_CurrentId < 0 || !(weapon_Current.kind & WEAPON_MISSILE)) return false;
    return con_UnlimitedStores || ord_CountById(weapon_CurrentId) > 0;
}

}  // namespace

void Client_LevelSoundsFree(void) {
    // The tones let go of the samples first.
    for (int32_t n = 0; n < 2; n++) {
        if (Client.toneSource[n]) mix_SourceRemove(Client.toneSource[n]);
        Client.toneSource[n] = 0;
        Client.toneSample[n] = nullptr;
        Client.toneLevel[n] = 0;
    }
    for (MixSample*& s : Client_WarningSounds) s = nullptr;
    Client_SoundTriggers = nullptr;
    // Every block of the table carries its heap id, so the blocks are found
    // in the heap itself, never through the table's own pointers (the heap
    // may have been made anew since).
    if (Client_LevelSounds.sounds) snd_StopAllVoices();
    mem_FreeIdRange(CLIENT_SOUND_HEAP_ID, CLIENT_SOUND_HEAP_ID);
    Client_LevelSounds = SndTrigFile{};
}

void Client_LevelSoundsLoad(void) {
    Client_LevelSoundsFree();
    const char* name = app_ProductRecord.pwfName;
    if (!name || sndtrig_LoadEx(name, &Client_LevelSounds, CLIENT_SOUND_HEAP_ID) != 1) {
        plat_SimLog("client", "sounds missing %s", name ? name : "");
        return;
    }
    sndtrig_SetMaxInstances(3, &Client_LevelSounds);
    sndtrig_SetMinVolume(32, &Client_LevelSounds);
    Client_SoundTriggers = &Client_LevelSounds;
    int32_t found = 0;
    for (int32_t i = 0; i < CLIENT_WARNING_SOUNDS; i++) {
        Client_WarningSounds[i] = sndtrig_GetSample(Client_WarningSoundNames[i], &Client_LevelSounds);
        if (Client_WarningSounds[i]) found++;
    }
    plat_SimLog("client", "sounds %s warnings=%d", name, found);
}

int32_t Client_ObjectSoundsStart(ObjectRecord* o) {
    if (!o) return 0;
    MixSourceDesc d{};
    const FixVec3 at = At(o);
    d.x = at.x, d.y = at.y, d.z = at.z;
    d.vx = o->velocity.x, d.vy = o->velocity.y, d.vz = o->velocity.z;
    d.pitch = (int32_t)MIX_NATURAL_PITCH;
    d.volume = ENGINE_VOLUME;
    d.maxVolume = FULL_VOLUME;
    d.flags = MIX_SOURCE_DOPPLER;
    o->soundSource = mix_SourceAdd(&d);
    sndtrig_RequestAtObject(o);
    sndtrig_Event.pitch = (int32_t)MIX_NATURAL_PITCH + sndtrig_Random(256) - 0x7F;
    sndtrig_Event.type = (uint16_t)plane_CurrentDescriptor.aircraftSoundType;
    sndtrig_Event.subtype = ENGINE_SUBTYPE;
    sndtrig_Event.id = ENGINE_ID;
    const int32_t key = sndtrig_Trigger(&sndtrig_Event, Client_SoundTriggers);
    return key > 0 ? key : 0;
}

void Client_StartObjectSounds(void) {
    ObjectRecord* p = Client_PlayerObject;
    if (!p) return;
    Client.playerSounds[1] = Client_ObjectSoundsStart(p);
    Client.playerSounds[0] = p->soundSource;
}

void Client_ObjectSoundUpdate(ObjectRecord* o) {
    if (!o || !o->soundSource) return;
    MixSourceDesc d{};
    d.id = o->soundSource;
    const FixVec3 at = At(o);
    d.x = at.x, d.y = at.y, d.z = at.z;
    d.vx = o->velocity.x, d.vy = o->velocity.y, d.vz = o->velocity.z;
    d.volume = ENGINE_VOLUME;
    d.flags = (o->stateFlags & 1) ? MIX_SOURCE_DOPPLER : (uint8_t)(MIX_SOURCE_DOPPLER | MIX_SOURCE_MUTED);
    d.updateMask = MIX_UPDATE_POSITION | MIX_UPDATE_VELOCITY | MIX_UPDATE_VOLUME | MIX_UPDATE_FLAGS;
    if (!mix_SourceUpdate(&d)) o->soundSource = 0;
}

void Client_WarningTones(void) {
    if ((Client.frame & 3) != 0) return;
    FixVec3 at{(int32_t)view_State.position.x, (int32_t)view_State.position.y, (int32_t)view_State.position.z};
    if (!(ViewFlags & 0x100)) {
        at.x = (int32_t)((uint32_t)at.x + OUT_OF_HEARING);
        at.y = (int32_t)((uint32_t)at.y + OUT_OF_HEARING);
        at.z = (int32_t)((uint32_t)at.z + OUT_OF_HEARING);
    }
    MixSample* first = nullptr;
    int32_t firstLevel = 0;
    const ObjectRecord* p = Client_PlayerObject;
    if (p && p->hitPoints != 0) {
        if (Client.warning & 0x03)
            first = Client_WarningSounds[0], firstLevel = 0x21;
        else if (Client.warning & 0x04)
            first = Client_WarningSounds[1], firstLevel = 0x21;
    }
    MixSample* second = nullptr;
    int32_t secondLevel = 0;
    if (MissileReady()) {
        if (Client_AimMode == 2)
            second = Client_WarningSounds[2], secondLevel = 0xD2;
        else if (weapon_Current.kind & WEAPON_IR_MISSILE)
            second = Client_WarningSounds[3], secondLevel = 0xC3;
    }
    Tone(0, first, firstLevel, at);
    Tone(1, second, secondLevel, at);
}
