// The visual effects' data: the animation frame counts of the fixed effect
// models, the ejection sequence's pilot models with their key shapes, and
// the level's density map of the falling particle field.
#include <cstring>
#include <string>
#include <vector>

#include "mkdata.h"
#include "pak_write.h"

namespace {

struct EffectFrames {
    const char* file;
    uint8_t frames;
};
// Frames of the sprites (header byte 70); the others show one.
const EffectFrames kEffectFrames[] = {
    {"flak.pak", 4},  {"ex1.pak", 8},   {"ex2.pak", 8},     {"ex5.pak", 6},   {"ex4.pak", 4},
    {"ex6.pak", 8},   {"debris.pak", 4}, {"fsmoke.pak", 8}, {"flames.pak", 8}, {"strail.pak", 4},
    {"splash1.pak", 8}, {"splash2.pak", 8}, {"splash3.pak", 8},
};

MkPakFace Flat(uint8_t r, uint8_t g, uint8_t b) {
    MkPakFace f;
    f.colour = (uint32_t)r | (uint32_t)g << 8 | (uint32_t)b << 16;
    return f;
}

// A box of eight corners stretched to (w, h, d) half sizes and lifted by
// `lift`: every key shape of one sequence has the same corners, so the
// shapes blend corner by corner.
MkPak Shape(const char* name, int32_t w, int32_t h, int32_t d, int32_t lift, uint8_t r, uint8_t g, uint8_t b) {
    MkPak p;
    p.name = name;
    const int32_t big = w > h ? (w > d ? w : d) : (h > d ? h : d);
    p.radius = big * 2;
    p.baseHeight = 0;
    MkPakFace lit = Flat(r, g, b);
    MkPakFace dark = Flat((uint8_t)(r / 2), (uint8_t)(g / 2), (uint8_t)(b / 2));
    MkPakGeometry geo = mkdata_PakCube(0x1000, {lit, lit, lit, dark, lit, dark}, {});
    for (MkPakXyz& v : geo.vertices) {
        v.x = v.x > 0 ? w : -w;
        v.y = v.y > 0 ? h : -h;
        v.z = v.z > 0 ? d + lift : -d + lift;
    }
    geo.radius = big * 2;
    p.geometries.push_back(geo);
    MkPakModel m;
    m.size = big * 256;
    m.subObjects.push_back({0, 0, {0, 0, 0}});
    p.models.push_back(m);
    return p;
}

struct EjectShape {
    const char* file;
    int32_t w, h, d, lift;
    uint8_t r, g, b;
};
// File axes: x across, y forward, z up (the loader turns them).
const EjectShape kEjectShapes[] = {
    // The seat with the pilot, tucked and stretched.
    {"ejseat.pak", 0x1800, 0x1800, 0x2400, 0, 90, 90, 60},
    {"ejseat1.pak", 0x1800, 0x1800, 0x2400, 0, 90, 90, 60},
    {"ejseat2.pak", 0x1400, 0x2400, 0x2000, 0, 90, 90, 60},
    // The parachute: a bundle that opens into a wide, flat canopy.
    {"ejchute.pak", 0x1000, 0x1000, 0x1000, 0x3000, 240, 240, 240},
    {"ejchut1.pak", 0x1000, 0x1000, 0x1000, 0x3000, 240, 240, 240},
    {"ejchut2.pak", 0x4000, 0x3000, 0x1800, 0x6000, 240, 240, 240},
    {"ejchut3.pak", 0x9000, 0x9000, 0x1000, 0x9000, 240, 240, 240},
    // The pilot on the ground: crouched, then standing.
    {"ejstand.pak", 0x1000, 0x1000, 0x1000, 0x1000, 60, 80, 50},
    {"ejland1.pak", 0x1000, 0x1000, 0x1000, 0x1000, 60, 80, 50},
    {"ejland2.pak", 0x0800, 0x0800, 0x3000, 0x3000, 60, 80, 50},
};

}  // namespace

void mkdata_EffectFramesPatch(const std::string& file, std::vector<uint8_t>* pak) {
    if (!pak || pak->size() < 72) return;
    for (const EffectFrames& e : kEffectFrames)
        if (file == e.file) (*pak)[70] = e.frames;
}

int mkdata_WriteEffects(const std::string& dir) {
    for (const EjectShape& s : kEjectShapes) {
        std::string set = s.file;
        set = set.substr(0, set.find('.'));
        std::vector<uint8_t> data = mkdata_PakBuild(Shape(set.c_str(), s.w, s.h, s.d, s.lift, s.r, s.g, s.b));
        if (data.empty()) return -1;
        mkdata_PffAdd("KRX.PFF", s.file, std::move(data));
    }
    // The density map: a shower over a band of the map's south-east, dry
    // elsewhere (64 x 64 cells, row z).
    std::vector<uint8_t> density(64 * 64, 0);
    for (int z = 40; z < 48; z++)
        for (int x = 40; x < 48; x++) density[z * 64 + x] = (uint8_t)(x < 44 ? 128 : 255);
    return mkdata_WriteFile(dir, "PARTICLE.MAP", density);
}
