// Sound-trigger files (SNDTRIG) and the radio messages of the data set.
// The file's order: header, sound entries, trigger entries, set block, set
// array, layers, members, then the WAVE images.
#include <cmath>
#include <cstdio>

#include "base/le.h"
#include "mkdata.h"

namespace {

constexpr uint32_t kHeader = 28;
constexpr uint32_t kSound = 52, kTrigger = 12, kBlock = 12, kSet = 80, kLayer = 48, kMember = 28;

std::vector<uint8_t> Tone(double hz, int32_t ms, int32_t amplitude = 20000) {
    return mkdata_WaveBuild(8, 22050, mkdata_WaveTone(22050, hz, ms, amplitude));
}

// A short click: a few cycles of a high tone that die away at once.
std::vector<uint8_t> Click(double hz) { return mkdata_WaveBuild(8, 22050, mkdata_WaveTone(22050, hz, 25, 26000)); }

// A sweep from one pitch to another (page transitions).
std::vector<uint8_t> Sweep(double from, double to, int32_t ms) {
    int32_t count = 22050 * ms / 1000;
    std::vector<int16_t> frames((size_t)count);
    double phase = 0;
    for (int32_t i = 0; i < count; i++) {
        double t = (double)i / count;
        phase += 2 * M_PI * (from + (to - from) * t) / 22050.0;
        double gain = i < 220 ? i / 220.0 : (count - 1 - i < 220 ? (count - 1 - i) / 220.0 : 1.0);
        frames[(size_t)i] = (int16_t)lround(18000 * gain * sin(phase));
    }
    return mkdata_WaveBuild(8, 22050, frames);
}

// A spoken-like message: a carrier whose loudness rises and falls like
// syllables; the two voice variants differ in pitch.
std::vector<uint8_t> Message(double hz, int32_t syllables) {
    int32_t count = 22050 * syllables / 5;
    std::vector<int16_t> frames((size_t)count);
    for (int32_t i = 0; i < count; i++) {
        double t = (double)i / 22050.0;
        double envelope = fabs(sin(M_PI * 5 * t));
        double v = sin(2 * M_PI * hz * t) + 0.4 * sin(2 * M_PI * 2 * hz * t) + 0.2 * sin(2 * M_PI * 3 * hz * t);
        frames[(size_t)i] = (int16_t)lround(12000 * envelope * v);
    }
    return mkdata_WaveBuild(8, 22050, frames);
}

// The cockpit's four looping warning tones, fetched by name: the threat
// warble, the attack mark's beeps, the steady lock tone and the seeker's
// low growl.
std::vector<MkSndSound> WarningSounds(void) {
    std::vector<int16_t> warble, beeps;
    for (int32_t half = 0; half < 4; half++) {
        std::vector<int16_t> part = mkdata_WaveTone(22050, half & 1 ? 1400 : 1000, 125, 16000);
        warble.insert(warble.end(), part.begin(), part.end());
        std::vector<int16_t> beep = mkdata_WaveTone(22050, 1800, 125, half & 1 ? 0 : 16000);
        beeps.insert(beeps.end(), beep.begin(), beep.end());
    }
    return {
        {"WARN_THREAT", mkdata_WaveBuild(8, 22050, warble), 0, 0},
        {"WARN_MARK", mkdata_WaveBuild(8, 22050, beeps), 0, 0},
        {"MISSILE_LOCK", Tone(1600, 500, 16000), 0, 0},
        {"SEEKER_TONE", Tone(400, 500, 14000), 0, 0},
    };
}

}  // namespace

std::vector<uint8_t> mkdata_SndTrigBuild(const MkSndTrig& table) {
    uint32_t S = (uint32_t)table.sounds.size(), T = (uint32_t)table.triggers.size();
    uint32_t sets = (uint32_t)table.sets.size();
    uint32_t layers = 0, members = 0;
    for (const MkSndSet& set : table.sets) {
        if (set.layers.size() > 9) {
            fprintf(stderr, "mkdata: a sound set has more than 9 layers\n");
            return {};
        }
        for (const MkSndLayer& layer : set.layers) {
            if (layer.members.size() > 8) {
                fprintf(stderr, "mkdata: a sound layer has more than 8 members\n");
                return {};
            }
            for (const MkSndMember& m : layer.members)
                if (m.sound >= S) {
                    fprintf(stderr, "mkdata: a sound member names no sound\n");
                    return {};
                }
            members += (uint32_t)layer.members.size();
        }
        layers += (uint32_t)set.layers.size();
    }
    uint32_t blockAt = kHeader + S * kSound + T * kTrigger;
    uint32_t arrayAt = blockAt + kBlock;
    uint32_t layerAt = arrayAt + sets * kSet;
    uint32_t memberAt = layerAt + layers * kLayer;
    uint32_t sampleAt = memberAt + members * kMember;
    if (sets == 0) sampleAt = blockAt;

    LeWriter w;
    w.u32(kHeader);
    w.u32(0);
    w.u32(S);
    w.u32(T);
    w.u32(sets ? blockAt : 0);
    w.zeros(kHeader - 20);
    uint32_t at = sampleAt;
    for (const MkSndSound& s : table.sounds) {
        if (s.name.size() >= 24) {
            fprintf(stderr, "mkdata: sound name \"%s\" is too long\n", s.name.c_str());
            return {};
        }
        w.fixedString(s.name.c_str(), 24);
        w.u32(s.wave.empty() ? 0 : at);
        w.u32((uint32_t)s.wave.size());
        w.u8(0);
        w.u8(s.volume);
        w.u8(s.preload);
        w.u8(0);  // loaded
        w.zeros(16);
        at += (uint32_t)s.wave.size();
    }
    for (const MkSndTrigger& g : table.triggers) {
        w.u16(g.type);
        w.u16(g.subtype);
        w.u16(g.id);
        w.u16(g.isSet ? 1 : 0);
        w.u16(g.index);
        w.u16(0);
    }
    if (sets) {
        w.u32(kBlock);
        w.u32(sets);
        w.u32(arrayAt);
        uint32_t nextLayer = layerAt;
        for (const MkSndSet& set : table.sets) {
            w.zeros(28);
            w.i32(set.pitchBase);
            w.u32(set.pitchSpread);
            w.u32((uint32_t)set.layers.size());
            for (size_t l = 0; l < 9; l++) w.u32(l < set.layers.size() ? nextLayer + (uint32_t)l * kLayer : 0);
            w.u32(set.flags);
            nextLayer += (uint32_t)set.layers.size() * kLayer;
        }
        uint32_t nextMember = memberAt;
        for (const MkSndSet& set : table.sets)
            for (const MkSndLayer& layer : set.layers) {
                w.u16((uint16_t)layer.members.size());
                w.u16(layer.next);
                w.u32(layer.range);
                w.u32(layer.flags);
                w.u32(0);
                for (size_t m = 0; m < 8; m++)
                    w.u32(m < layer.members.size() ? nextMember + (uint32_t)m * kMember : 0);
                nextMember += (uint32_t)layer.members.size() * kMember;
            }
        for (const MkSndSet& set : table.sets)
            for (const MkSndLayer& layer : set.layers)
                for (const MkSndMember& m : layer.members) {
                    w.u32(m.sound);
                    w.i32(m.pitchBase);
                    w.u32(m.pitchSpread);
                    w.u32(m.volume);
                    w.u32(m.volumeCap);
                    w.zeros(8);
                }
    }
    for (const MkSndSound& s : table.sounds) w.bytes(s.wave.data(), s.wave.size());
    return w.buf;
}

MkSndTrig mkdata_MenuSoundTable(void) {
    MkSndTrig t;
    t.sounds = {
        {"CLICK", Click(2200), 0, 0},
        {"HOVER", Click(1400), 160, 0},
        {"TRANSITION_IN", Sweep(300, 900, 300), 0, 0},
        {"TRANSITION_OUT", Sweep(900, 300, 300), 0, 0},
        {"TYPING", Click(3000), 200, 0},
        {"KEY2", Click(2600), 200, 0},
        {"KEY3", Click(3400), 200, 0},
    };
    auto event = [](uint16_t id, bool isSet, uint16_t index) {
        return MkSndTrigger{MK_MENU_SOUND_TYPE, 0, id, isSet, index};
    };
    t.triggers = {event(MK_MENU_SOUND_CLICK, false, 0), event(MK_MENU_SOUND_HOVER, false, 1),
                  event(MK_MENU_SOUND_TRANSITION_IN, false, 2), event(MK_MENU_SOUND_TRANSITION_OUT, false, 3),
                  event(MK_MENU_SOUND_TYPING, true, 0)};
    // Typing steps through three key clicks, in every situation.
    MkSndLayer keys;
    keys.flags = 0x02 | 0x04 | 0x10;
    keys.members = {{4}, {5}, {6}};
    t.sets = {{0x10000, 0, 0, {keys}}};
    return t;
}

MkSndTrig mkdata_LevelSoundTable(void) {
    MkSndTrig t;
    std::vector<int16_t> drone(22050 / 2);
    for (size_t i = 0; i < drone.size(); i++) {
        double s = (double)i / 22050.0;
        drone[i] = (int16_t)lround(9000 * sin(2 * M_PI * 60 * s) + 5000 * sin(2 * M_PI * 120 * s));
    }
    std::vector<int16_t> boom(11025);
    uint32_t noise = 0x1234567u;
    for (size_t i = 0; i < boom.size(); i++) {
        noise = noise * 1103515245u + 12345u;
        boom[i] = (int16_t)lround(((int32_t)(noise >> 16) - 32768) * 0.9 * exp(-4.0 * (double)i / boom.size()));
    }
    t.sounds = {
        {"ENGINE", mkdata_WaveBuild(16, 22050, drone), 0, 1},
        {"ENGINE_START", Sweep(80, 160, 600), 0, 0},
        {"ENGINE_STOP", Sweep(160, 60, 600), 0, 0},
        {"BOOM", mkdata_WaveBuild(8, 11025, boom), 0, 0},
        {"GUN", Click(700), 220, 0},
        {"CUE_FUEL_E", Message(180, 3), 0, 0},
        {"CUE_FUEL_R", Message(240, 3), 0, 0},
        {"WIND", Tone(90, 500, 9000), 120, 0},
    };
    for (MkSndSound& w : WarningSounds()) t.sounds.push_back(std::move(w));
    // Engine start: the start sweep inside, the sweep and wind outside,
    // fading with distance.
    MkSndLayer inside, outside, wind;
    inside.flags = 0x02;
    inside.members = {{1}};
    outside.flags = 0x04 | 0x01;
    outside.range = 0x4000;
    outside.members = {{1, 0x10000, 0x2000, 255, 255}};
    wind.flags = 0x04 | 0x01 | 0x40;
    wind.range = 0x2000;
    wind.members = {{7, 0x10000, 0, 200, 160}};
    MkSndSet start{0x10000, 0x1000, 0, {inside, outside, wind}};
    MkSndLayer stopInside, stopOutside;
    stopInside.flags = 0x02;
    stopInside.members = {{2}};
    stopOutside.flags = 0x04 | 0x01;
    stopOutside.range = 0x4000;
    stopOutside.members = {{2}};
    MkSndSet stop{0x10000, 0, 0, {stopInside, stopOutside}};
    // The fuel cue: a layer for each voice variant, chosen by mask bit 5.
    MkSndLayer cueE, cueR;
    cueE.flags = 0x02 | 0x04;
    cueE.members = {{5}};
    cueR.flags = 0x02 | 0x04 | 0x20;
    cueR.members = {{6}};
    MkSndSet cue{0x10000, 0, 1, {cueE, cueR}};
    t.sets = {start, stop, cue};
    t.triggers = {
        {12, 0, 2, true, 0},      // engine now running
        {12, 0x13, 2, true, 1},   // engine now stopped
        {12, 1, 0, false, 3},     // explosion
        {12, 12, 33, false, 4},   // gun
        {14, 11, 3, true, 2},     // low fuel
    };
    return t;
}

int mkdata_WriteSoundTriggers(const std::string& dir) {
    for (auto [name, table] : {std::pair{MK_MENU_SOUND_FILE, mkdata_MenuSoundTable()},
                               std::pair{MK_LEVEL_SOUND_FILE, mkdata_LevelSoundTable()}}) {
        std::vector<uint8_t> image = mkdata_SndTrigBuild(table);
        if (image.empty() || mkdata_WriteFile(dir, name, image) != 0) return -1;
    }
    const struct {
        const char* name;
        double hz;
        int32_t syllables;
    } kMessages[] = {{"MSGE01.WAV", 170, 4}, {"MSGR01.WAV", 230, 4}, {"MSGE02.WAV", 160, 6}, {"MSGR02.WAV", 220, 6}};
    for (const auto& m : kMessages)
        if (mkdata_WriteFile(dir, m.name, Message(m.hz, m.syllables)) != 0) return -1;
    return 0;
}
