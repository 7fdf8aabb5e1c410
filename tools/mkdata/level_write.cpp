// The sample level's remaining files: the fixed effect models, the sun and
// the moon, the sample mission's models, the dynamic default model, the
// cockpit font and cursor images, ART.CFG and the two multiplayer maps.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mission_write.h"
#include "mkdata.h"
#include "pak_write.h"

namespace {

MkPakFace Flat(uint8_t r, uint8_t g, uint8_t b) {
    MkPakFace f;
    f.colour = (uint32_t)r | (uint32_t)g << 8 | (uint32_t)b << 16;
    return f;
}

// A flat-coloured box model: half side and colour.
MkPak Box(const std::string& name, int32_t half, uint8_t r, uint8_t g, uint8_t b) {
    MkPak p;
    p.name = name;
    p.radius = half * 2;
    p.baseHeight = half;
    MkPakFace lit = Flat(r, g, b);
    MkPakFace dark = Flat((uint8_t)(r / 2), (uint8_t)(g / 2), (uint8_t)(b / 2));
    p.geometries.push_back(mkdata_PakCube(half, {lit, lit, lit, dark, lit, dark}, {{0, half * 2, 0}}));
    MkPakModel m;
    // One detail level, drawn out to the object cull distance.
    m.size = 0x1C000000;
    m.subObjects.push_back({0, 0, {0, 0, 0}});
    p.models.push_back(m);
    return p;
}

// "SAMSITE.PAK": the launcher box with a radar dish on a pivot above it, a
// part the pose routine of kind 2 turns with the unit's rotor angle.
MkPak SamSite(int32_t half, uint8_t r, uint8_t g, uint8_t b) {
    MkPak p = Box("SAMSITE", half, r, g, b);
    // Pivot 0 (part 1): on the roof, at twice the model scale, file axes.
    p.geometries[0].points = {{0, 0, half * 2 + 0x1000}};
    MkPakFace dish = Flat(200, 200, 210);
    MkPakGeometry radar = mkdata_PakCube(0x400, {dish}, {});
    // Flattened into a dish: wide and thin.
    for (MkPakXyz& v : radar.vertices) v = {v.x * 4, v.y / 4, v.z * 2};
    radar.radius = 0x2000;
    p.geometries.push_back(radar);
    p.models[0].subObjects.push_back({1, 0, {0, 0, 0}});
    p.poseKind = 2;
    return p;
}

// "JET.PAK": the AI aircraft, a box pressed flat and drawn out along its
// nose, so that it reads as an aircraft at a distance.
MkPak Jet(int32_t half, uint8_t r, uint8_t g, uint8_t b) {
    MkPak p = Box("JET", half, r, g, b);
    for (MkPakXyz& v : p.geometries[0].vertices) v = {v.x, v.y / 4, v.z * 2};
    p.baseHeight = half / 4;
    return p;
}

// "sun.pak" and "moon.pak": the body in frame 0 and the lens flare's three
// element colours in frames 1 to 3, one animated material for every side.
MkPak Light(const std::string& name, int32_t half, uint8_t r, uint8_t g, uint8_t b) {
    MkPak p = Box(name, half, r, g, b);
    MkPakGeometry& mesh = p.geometries[0];
    MkPakFace body = Flat(r, g, b);
    body.fixedShade = 16;
    body.frames = 4;
    body.link = 0;  // the object's own frame picks the material
    MkPakFace flare1 = Flat(255, 200, 120), flare2 = Flat(160, 230, 160), flare3 = Flat(150, 170, 255);
    for (MkPakFace* f : {&flare1, &flare2, &flare3}) f->fixedShade = 16;
    mesh.faces = {body, flare1, flare2, flare3};
    for (MkPakPolygon& poly : mesh.polygons) poly.face = 0;
    return p;
}

struct ModelSpec {
    const char* file;
    int32_t half;
    uint8_t r, g, b;
};

const ModelSpec kModels[] = {
    // Effects, in the order the level loads them.
    {"paper.pak", 0x800, 230, 230, 220},   {"husk1.pak", 0x3000, 60, 55, 50},
    {"husk2.pak", 0x3000, 70, 60, 50},     {"husk3.pak", 0x4000, 50, 50, 50},
    {"husk4.pak", 0x5000, 40, 40, 40},     {"flak.pak", 0x1000, 80, 80, 80},
    {"ex1.pak", 0x2000, 255, 160, 40},     {"ex2.pak", 0x3000, 255, 120, 30},
    {"ex5.pak", 0x6000, 255, 200, 80},     {"ex4.pak", 0x4000, 240, 90, 20},
    {"ex6.pak", 0x8000, 255, 230, 120},    {"debris.pak", 0x800, 90, 80, 70},
    {"strail.pak", 0x400, 200, 200, 200},  {"fsmoke.pak", 0x1000, 110, 110, 110},
    {"chaff.pak", 0x200, 190, 190, 200},   {"flare.pak", 0x300, 255, 255, 200},
    {"flames.pak", 0x1800, 255, 100, 0},   {"splash1.pak", 0x1000, 200, 220, 255},
    {"splash3.pak", 0x2000, 190, 210, 250}, {"splash2.pak", 0x1800, 180, 200, 240},
    // Sky bodies.
    {"sun.pak", 0x10000, 255, 240, 180},   {"moon.pak", 0x8000, 210, 210, 230},
    // The sample mission's models.
    {"HANGAR.PAK", 0x20000, 120, 120, 110}, {"TOWER.PAK", 0x8000, 200, 200, 190},
    {"TANK.PAK", 0x6000, 80, 100, 60},     {"SAMSITE.PAK", 0x8000, 100, 110, 80},
    {"JET.PAK", 0x6000, 150, 150, 160},
    // The default of a dynamic model slot whose file is missing.
    {"B2.PAK", 0x18000, 60, 60, 70},
};

// The colours of one region and time of day: a plain sky that darkens with
// the time of day and tints a little with the region.
std::string ArtSection(int region, int tod) {
    int light = 255 - (tod - 1) * 50;
    auto scale = [&](int v) { return v * light / 255; };
    int tint = (region - 1) * 4;
    char buf[2048];
    int n = snprintf(buf, sizeof buf,
                     "[REG%d_TOD%d]\r\n"
                     "cool_haze=%d\r\n"
                     "r1_start_rgb=%d,%d,%d\r\n"
                     "r1_end_rgb=%d,%d,%d\r\n"
                     "r2_start_rgb=%d,%d,%d\r\n"
                     "r2_end_rgb=%d,%d,%d\r\n"
                     "r3_start_rgb=%d,%d,%d\r\n"
                     "r3_end_rgb=%d,%d,%d\r\n"
                     "r4_start_rgb=%d,%d,%d\r\n"
                     "r4_end_rgb=%d,%d,%d\r\n"
                     "cloud_start_rgb=%d,%d,%d\r\n"
                     "cloud_end_rgb=%d,%d,%d\r\n"
                     "haze_red=%d\r\nhaze_green=%d\r\nhaze_blue=%d\r\n"
                     "smoke_rgb=%d,%d,%d\r\n"
                     "space_rgb=%d,%d,%d\r\n"
                     "brighten=%d,%d,%d,%d,%d\r\n\r\n",
                     region, tod, tod >= 4 ? 1 : 0, scale(40), scale(80), scale(200), scale(70), scale(110),
                     scale(220), scale(70), scale(110), scale(220), scale(110), scale(150), scale(230), scale(110),
                     scale(150), scale(230), scale(150), scale(180), scale(235), scale(150), scale(180), scale(235),
                     scale(190), scale(200), scale(240), scale(230), scale(230), scale(235), scale(250), scale(250),
                     scale(250), scale(170 + tint), scale(180), scale(200), scale(120), scale(120), scale(120),
                     scale(10), scale(10), scale(40), 128, 128, 128 + tint, 128, 128);
    return std::string(buf, n > 0 ? (size_t)n : 0);
}

std::vector<uint8_t> CursorImage(int which, int* w, int* h) {
    *w = *h = 16;
    std::vector<uint8_t> px(256, 0);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            bool on = which == 0 ? (x <= y && x < 10 && y < 14)                  // arrow
                      : which == 1 ? (x == 7 || x == 8 || y == 7 || y == 8)      // cross
                                   : (x == 0 || y == 0 || x == 15 || y == 15);   // box
            px[y * 16 + x] = on ? 255 : 0;
        }
    return px;
}

}  // namespace

std::vector<MkModelFile> mkdata_LevelModelFiles(void) {
    std::vector<MkModelFile> files;
    for (const ModelSpec& m : kModels) {
        std::string set = m.file;
        set = set.substr(0, set.find('.'));
        const bool radar = set == "SAMSITE";
        const bool light = set == "sun" || set == "moon";
        files.push_back({m.file, mkdata_PakBuild(radar          ? SamSite(m.half, m.r, m.g, m.b)
                                                 : light        ? Light(set, m.half, m.r, m.g, m.b)
                                                 : set == "JET" ? Jet(m.half, m.r, m.g, m.b)
                                                                : Box(set, m.half, m.r, m.g, m.b))});
        if (radar) files.push_back({"SAMSITE.PIB", mkdata_PibBuild({{0, {{"Body", 0}, {"Radar", 1}}}})});
    }
    for (MkModelFile& f : files) mkdata_EffectFramesPatch(f.name, &f.data);
    return files;
}

std::string mkdata_ArtCfgText(void) {
    std::string text = "; Sky, cloud, haze and space colours by region and time of day.\r\n\r\n";
    for (int r = 1; r <= 10; r++)
        for (int t = 1; t <= 5; t++) text += ArtSection(r, t);
    return text;
}

MkMission mkdata_MultiplayerMission(bool deathmatch) {
    MkMission m = mkdata_SampleMission();
    mkdata_MissionTerrainNames(&m, deathmatch ? "QJDM01.REF" : "QJCTF01.REF");
    return m;
}

int mkdata_WriteLevel(const std::string& dir) {
    for (MkModelFile& f : mkdata_LevelModelFiles()) {
        if (f.data.empty()) return -1;
        mkdata_PffAdd("KRX.PFF", f.name, std::move(f.data));
    }
    uint8_t palette[768];
    mkdata_GamePalette(palette);
    int32_t w = 0, h = 0;
    std::vector<uint8_t> font = mkdata_FontImage(26, true, &w, &h);
    std::vector<uint8_t> fontPcx = mkdata_PcxBuild(dir, w, h, font.data(), palette);
    if (fontPcx.empty()) return -1;
    mkdata_PffAdd("KRX.PFF", "HTN_26.PCX", std::move(fontPcx));
    for (int i = 0; i < 3; i++) {
        int cw = 0, ch = 0;
        std::vector<uint8_t> px = CursorImage(i, &cw, &ch);
        std::vector<uint8_t> pcx = mkdata_PcxBuild(dir, cw, ch, px.data(), palette);
        if (pcx.empty()) return -1;
        char name[16];
        snprintf(name, sizeof name, "VCURSOR%d.PCX", i + 1);
        mkdata_PffAdd("KRX.PFF", name, std::move(pcx));
    }
    if (mkdata_WriteText(dir, "ART.CFG", mkdata_ArtCfgText()) != 0) return -1;
    // The maps share the sample terrain; their reference files are copies of
    // the sample one, which the terrain writer has written already.
    std::ifstream in(dir + "/" + MK_SAMPLE_REFERENCE, std::ios::binary);
    std::vector<uint8_t> reference((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (reference.empty()) return -1;
    if (mkdata_WriteFile(dir, "QJDM01.ORF", mkdata_MissionBuild(mkdata_MultiplayerMission(true))) != 0 ||
        mkdata_WriteFile(dir, "QJDM01.REF", reference) != 0 ||
        mkdata_WriteFile(dir, "QJCTF01.ORF", mkdata_MissionBuild(mkdata_MultiplayerMission(false))) != 0 ||
        mkdata_WriteFile(dir, "QJCTF01.REF", reference) != 0)
        return -1;
    return 0;
}
