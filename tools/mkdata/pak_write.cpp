// PAK model files, ".PAL" companions and relocatable list files (".PIB"),
// laid out as docs/formats.md fixes them; words the format leaves open are
// written 0.
#include "pak_write.h"

#include "world/pak.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "base/le.h"
#include "mkdata.h"
#include "sim/weapon.h"

namespace {

constexpr uint32_t kHeader = 72, kModelEntry = 8, kModelRecord = 12, kSubObject = 44, kGeometry = 92;
constexpr uint32_t kFace = 28, kVertex = 44, kPolygon = 32, kNormal = 16, kPoint = 12;

void Xyz(LeWriter& w, const MkPakXyz& p, uint32_t pad) {
    w.i32(p.x);
    w.i32(p.y);
    w.i32(p.z);
    w.zeros(pad);
}

}  // namespace

std::vector<uint8_t> mkdata_PakRle(const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < pixels.size()) {
        uint8_t b = pixels[i];
        size_t run = 1;
        while (i + run < pixels.size() && pixels[i + run] == b && run < 63) run++;
        if (run == 1 && b < 0xC0) {
            out.push_back(b);
        } else {
            out.push_back((uint8_t)(0xC0 | run));
            out.push_back(b);
        }
        i += run;
    }
    return out;
}

std::vector<uint8_t> mkdata_PakBuild(const MkPak& pak) {
    // Offsets first: header, model table, model records, geometry blocks.
    uint32_t at = kHeader;
    uint32_t table = at;
    at += (uint32_t)pak.models.size() * kModelEntry;
    std::vector<uint32_t> modelAt;
    for (const MkPakModel& m : pak.models) {
        modelAt.push_back(at);
        at += kModelRecord + (uint32_t)m.subObjects.size() * kSubObject;
    }
    struct GeoAt {
        uint32_t header, faces, vertices, polygons, normals, points;
    };
    std::vector<GeoAt> geoAt;
    for (const MkPakGeometry& g : pak.geometries) {
        GeoAt a;
        a.header = at;
        at += kGeometry;
        a.faces = at;
        at += (uint32_t)g.faces.size() * kFace;
        a.vertices = at;
        at += (uint32_t)g.vertices.size() * kVertex;
        a.polygons = at;
        at += (uint32_t)g.polygons.size() * kPolygon;
        a.normals = at;
        at += (uint32_t)g.normals.size() * kNormal;
        a.points = at;
        at += (uint32_t)g.points.size() * kPoint;
        geoAt.push_back(a);
    }
    uint32_t dataEnd = at;

    LeWriter w;
    w.u32(0);
    w.u32(pak.version);
    w.fixedString(pak.name.c_str(), 36);
    w.u32((uint32_t)pak.models.size());
    w.i32(pak.radius * 2);
    w.i32(pak.baseHeight * 2);
    w.u32(table);
    w.u32(dataEnd);
    size_t imageEndAt = w.size();
    w.u32(0);  // end of the image block, known below
    w.u32(pak.poseKind);
    for (size_t m = 0; m < pak.models.size(); m++) {
        w.i32(pak.models[m].size * 2);
        w.u32(modelAt[m]);
    }
    for (const MkPakModel& m : pak.models) {
        w.u32(0);
        w.u32((uint32_t)m.subObjects.size());
        w.u32(0);
        for (const MkPakSubObject& s : m.subObjects) {
            w.u32(geoAt[(size_t)s.geometry].header);
            for (int32_t a : s.angles) w.i32(a);
            w.u8(s.flags);
            w.bytes(s.rgb, 3);
            w.zeros(24);
        }
    }
    for (size_t gi = 0; gi < pak.geometries.size(); gi++) {
        const MkPakGeometry& g = pak.geometries[gi];
        const GeoAt& a = geoAt[gi];
        w.zeros(16);
        w.i32(g.radius);
        w.zeros(24);
        w.u32((uint32_t)g.faces.size());
        w.u32((uint32_t)g.vertices.size());
        w.u32((uint32_t)g.polygons.size());
        w.u32((uint32_t)g.normals.size());
        w.u32((uint32_t)g.points.size());
        w.u32(0);
        w.u32(a.faces);
        w.u32(a.vertices);
        w.u32(a.polygons);
        w.u32(a.normals);
        w.u32(a.points);
        w.u32(0);  // no further array
        for (const MkPakFace& f : g.faces) {
            w.fixedString(f.name.c_str(), 13);
            w.u8(f.log2Width);
            w.u8(f.log2Height);
            w.u8(f.fixedShade);
            w.u32(f.colour);
            w.u8(f.specShift);
            w.u8(f.specPower);
            w.u16(f.flags);
            w.u8(0);
            w.u8(f.frames);
            w.u8(f.link);
            w.u8(0);
        }
        for (size_t k = 0; k < g.vertices.size(); k++) {
            Xyz(w, g.vertices[k], 20);
            const MkPakXyz uv = k < g.uv.size() ? g.uv[k] : MkPakXyz{};
            w.i32(uv.x);
            w.i32(uv.y);
            w.u32(0);
        }
        for (const MkPakPolygon& p : g.polygons) {
            w.u32(0);
            w.u32(a.faces + (uint32_t)p.face * kFace);
            for (int k = 0; k < 3; k++) w.u32(a.vertices + (uint32_t)p.vertex[k] * kVertex);
            for (int k = 0; k < 3; k++) w.u32(a.normals + (uint32_t)p.normal[k] * kNormal);
        }
        for (const MkPakXyz& n : g.normals) Xyz(w, n, kNormal - 12);
        for (const MkPakXyz& p : g.points) Xyz(w, p, 0);
    }
    if (!pak.images.empty()) {
        w.u32((uint32_t)pak.images.size());
        for (const MkPakImage& im : pak.images) {
            std::vector<uint8_t> rle = mkdata_PakRle(im.pixels);
            bool withPalette = im.palette.size() == 768;
            w.fixedString(im.name.c_str(), 12);
            w.u16(withPalette ? 1 : 0);
            w.u16(im.flags);
            w.i32(im.width);
            w.i32(im.height);
            w.u32((uint32_t)rle.size());
            w.bytes(rle.data(), rle.size());
            if (withPalette) w.bytes(im.palette.data(), 768);
        }
    }
    w.put32At(imageEndAt, (uint32_t)w.size());
    return w.buf;
}

MkPakGeometry mkdata_PakCube(int32_t half, const std::vector<MkPakFace>& sixFaces,
                             const std::vector<MkPakXyz>& points) {
    MkPakGeometry g;
    g.faces = sixFaces;
    g.points = points;
    g.radius = half * 2;
    for (int i = 0; i < 8; i++) {
        g.vertices.push_back({(i & 1) ? half : -half, (i & 2) ? half : -half, (i & 4) ? half : -half});
        g.uv.push_back({(i & 1) ? 0x10000 : 0, (i & 6) ? 0x10000 : 0, 0});
    }
    // Corners of each side and its outward normal.
    const int sides[6][4] = {{1, 3, 7, 5}, {0, 4, 6, 2}, {2, 6, 7, 3}, {0, 1, 5, 4}, {4, 5, 7, 6}, {0, 2, 3, 1}};
    const MkPakXyz normals[6] = {{16384, 0, 0}, {-16384, 0, 0}, {0, 16384, 0},
                                 {0, -16384, 0}, {0, 0, 16384}, {0, 0, -16384}};
    for (int s = 0; s < 6; s++) {
        g.normals.push_back(normals[s]);
        int face = sixFaces.empty() ? 0 : s % (int)sixFaces.size();
        MkPakPolygon a, b;
        a.face = b.face = face;
        a.vertex[0] = sides[s][0], a.vertex[1] = sides[s][1], a.vertex[2] = sides[s][2];
        b.vertex[0] = sides[s][0], b.vertex[1] = sides[s][2], b.vertex[2] = sides[s][3];
        for (int k = 0; k < 3; k++) a.normal[k] = b.normal[k] = s;
        g.polygons.push_back(a);
        g.polygons.push_back(b);
    }
    return g;
}

std::vector<uint8_t> mkdata_RelocBuild(const std::vector<MkRelocValue>& values,
                                       const std::vector<MkRelocGroup>& groups, uint32_t flags) {
    constexpr uint32_t kRelocHeader = 40, kValue = 24, kGroup = 20, kSub = 16;
    uint32_t at = kRelocHeader;
    std::vector<uint32_t> valueAt, groupAt;
    std::vector<std::vector<uint32_t>> subAt(groups.size());
    for (size_t i = 0; i < values.size(); i++, at += kValue) valueAt.push_back(at);
    for (const MkRelocGroup& g : groups) {
        groupAt.push_back(at);
        at += kGroup + 4 * (uint32_t)g.extra.size();
    }
    for (size_t gi = 0; gi < groups.size(); gi++)
        for (const MkRelocSub& s : groups[gi].subs) {
            subAt[gi].push_back(at);
            at += kSub + 4 * (uint32_t)s.extra.size();
        }
    // Names last, each once per entry.
    std::vector<std::string> names;
    auto nameAt = [&](const std::string& n) -> uint32_t {
        if (n.empty()) return 0;
        uint32_t off = at;
        names.push_back(n);
        at += (uint32_t)n.size() + 1;
        return off;
    };
    std::vector<uint32_t> valueName, groupName;
    std::vector<std::vector<uint32_t>> subName(groups.size());
    for (const MkRelocValue& v : values) valueName.push_back(nameAt(v.name));
    for (size_t gi = 0; gi < groups.size(); gi++) {
        groupName.push_back(nameAt(groups[gi].name));
        for (const MkRelocSub& s : groups[gi].subs) subName[gi].push_back(nameAt(s.name));
    }

    auto link = [](const std::vector<uint32_t>& list, size_t i, int step) -> uint32_t {
        if (step < 0) return i == 0 ? 0 : list[i - 1];
        return i + 1 < list.size() ? list[i + 1] : 0;
    };
    LeWriter w;
    w.zeros(12);
    w.u32(flags);
    w.u32(valueAt.empty() ? 0 : valueAt.front());
    w.u32(valueAt.empty() ? 0 : valueAt.back());
    w.u32((uint32_t)values.size());
    w.u32(groupAt.empty() ? 0 : groupAt.front());
    w.u32(groupAt.empty() ? 0 : groupAt.back());
    w.u32((uint32_t)groups.size());
    for (size_t i = 0; i < values.size(); i++) {
        w.u32(link(valueAt, i, -1));
        w.u32(link(valueAt, i, 1));
        w.u32(0);  // owner, set at load
        w.u32(0);
        w.u32(valueName[i]);
        w.i32(values[i].value);
    }
    for (size_t gi = 0; gi < groups.size(); gi++) {
        w.u32(link(groupAt, gi, -1));
        w.u32(link(groupAt, gi, 1));
        w.u32(0);
        w.u32(subAt[gi].empty() ? 0 : subAt[gi].front());
        w.u32(groupName[gi]);
        for (uint32_t x : groups[gi].extra) w.u32(x);
    }
    for (size_t gi = 0; gi < groups.size(); gi++)
        for (size_t si = 0; si < groups[gi].subs.size(); si++) {
            w.u32(link(subAt[gi], si, -1));
            w.u32(link(subAt[gi], si, 1));
            w.u32(subName[gi][si]);
            w.u32(0);  // no data
            for (uint32_t x : groups[gi].subs[si].extra) w.u32(x);
        }
    for (const std::string& n : names) w.cString(n.c_str());
    return w.buf;
}

std::vector<uint8_t> mkdata_PibBuild(const std::vector<MkPibNode>& nodes) {
    std::vector<MkRelocGroup> groups;
    for (const MkPibNode& n : nodes) {
        MkRelocGroup g;
        g.extra.push_back((uint32_t)n.model);
        for (const MkPibPart& p : n.parts) g.subs.push_back({p.name, {(uint32_t)p.subObject}});
        groups.push_back(g);
    }
    return mkdata_RelocBuild({}, groups);
}

namespace {

MkPakFace Flat(uint8_t r, uint8_t g, uint8_t b) {
    MkPakFace f;
    f.colour = (uint32_t)r | (uint32_t)g << 8 | (uint32_t)b << 16;
    return f;
}

// "boo.pak", the stand-in model of every empty slot: a grey-and-red box,
// flat colours only, with two attachment points.
MkPak BooModel() {
    MkPak p;
    p.name = "boo";
    p.radius = 0x8000;
    p.baseHeight = 0x4000;
    p.geometries.push_back(mkdata_PakCube(0x4000,
                                          {Flat(160, 160, 160), Flat(160, 160, 160), Flat(200, 40, 40),
                                           Flat(90, 90, 90), Flat(128, 128, 128), Flat(128, 128, 128)},
                                          {{0, 0x8000, 0}, {0, -0x8000, 0}}));
    MkPakModel m;
    m.size = 0x100000;
    m.subObjects.push_back({0, 0, {0, 0, 0}});
    p.models.push_back(m);
    return p;
}

// "crate.pak": a textured box with a lid (a second sub-object sharing the
// geometry, drawn as a flat-coloured part), its image embedded with its own
// palette; a nearer and a farther detail level.
MkPak CrateModel(const uint8_t* palette) {
    MkPak p;
    p.name = "crate";
    p.radius = 0x6000;
    p.baseHeight = 0x3000;
    MkPakFace tex;
    tex.name = "CRATE.PCX";
    tex.flags = 0x0008;
    tex.log2Width = tex.log2Height = 4;
    p.geometries.push_back(mkdata_PakCube(0x3000, {tex}, {{0, 0x6000, 0}}));
    p.geometries.push_back(mkdata_PakCube(0x3000, {Flat(150, 110, 60)}, {}));
    MkPakModel near;
    near.size = 0x80000;
    near.subObjects.push_back({0, 0, {0, 0, 0}});
    near.subObjects.push_back({0, 0x02, {150, 110, 60}});
    MkPakModel far;
    far.size = 0x400000;
    far.subObjects.push_back({1, 0, {0, 0, 0}});
    p.models.push_back(near);
    p.models.push_back(far);

    MkPakImage im;
    im.name = "CRATE.PCX";
    im.width = im.height = 32;
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            bool edge = x < 3 || y < 3 || x > 28 || y > 28 || x == y || x == 31 - y;
            im.pixels.push_back((uint8_t)(edge ? 40 : 20 + ((x / 4 + y) & 3)));
        }
    im.palette.assign(palette, palette + 768);
    p.images.push_back(im);
    return p;
}

// The player aircraft's models: a flat-coloured box for the body, with one
// more sub-object per store mount (parts 68 to 90) when mounts is set.
MkPak AircraftModel(const char* name, int32_t half, uint8_t r, uint8_t g, uint8_t b, bool mounts) {
    MkPak p;
    p.name = name;
    p.radius = half * 2;
    p.baseHeight = half;
    p.geometries.push_back(mkdata_PakCube(half, {Flat(r, g, b)}, {{0, half * 2, 0}}));
    MkPakModel m;
    m.size = 0x100000;
    m.subObjects.push_back({0, 0x02, {r, g, b}});
    if (mounts)
        for (int32_t part = 68; part <= 90; part++) m.subObjects.push_back({0, 0x02, {90, 90, 90}});
    p.models.push_back(m);
    return p;
}

// World axes (x right, height, forward) to the file's: the loader makes the
// file's y and z into height and forward as (z, -y).
MkPakXyz FileAxes(int32_t x, int32_t h, int32_t fwd) { return {x, -fwd, h}; }

// A box of half sizes (hx, hh, hf) around (cx, ch, cf) in world axes, appended
// to g with face f on every side (faces give the sides their own colour when
// f2 differs: the lower and the rear side take f2).
void BoxAppend(MkPakGeometry& g, int32_t cx, int32_t ch, int32_t cf, int32_t hx, int32_t hh, int32_t hf, int32_t f,
               int32_t f2) {
    const int32_t base = (int32_t)g.vertices.size(), nbase = (int32_t)g.normals.size();
    MkPakGeometry cube = mkdata_PakCube(1, {}, {});
    for (size_t i = 0; i < cube.vertices.size(); i++) {
        const MkPakXyz& v = cube.vertices[i];
        // The cube's own file axes: x, y (minus forward), z (height).
        g.vertices.push_back({cx + v.x * hx, -cf + v.y * hf, ch + v.z * hh});
        g.uv.push_back(cube.uv[i]);
    }
    for (const MkPakXyz& n : cube.normals) g.normals.push_back(n);
    for (size_t k = 0; k < cube.polygons.size(); k++) {
        MkPakPolygon p = cube.polygons[k];
        const int32_t side = (int32_t)k / 2;
        // Sides 3 (file -y: rear) and 5 (file -z: below).
        p.face = side == 3 || side == 5 ? f2 : f;
        for (int32_t& v : p.vertex) v += base;
        for (int32_t& n : p.normal) n += nbase;
        g.polygons.push_back(p);
    }
}

// A flat quad in world axes (corners in order), one side only: its face
// decides whether the other side is drawn.
void QuadAppend(MkPakGeometry& g, const MkPakXyz (&c)[4], int32_t face) {
    const int32_t base = (int32_t)g.vertices.size(), n = (int32_t)g.normals.size();
    for (int32_t k = 0; k < 4; k++) {
        g.vertices.push_back(FileAxes(c[k].x, c[k].y, c[k].z));
        g.uv.push_back({(k == 1 || k == 2) ? 0x10000 : 0, k >= 2 ? 0x10000 : 0, 0});
    }
    g.normals.push_back(FileAxes(0, 16384, 0));
    MkPakPolygon a, b;
    a.face = b.face = face;
    a.vertex[0] = base, a.vertex[1] = base + 1, a.vertex[2] = base + 2;
    b.vertex[0] = base, b.vertex[1] = base + 2, b.vertex[2] = base + 3;
    for (int32_t k = 0; k < 3; k++) a.normal[k] = b.normal[k] = n;
    g.polygons.push_back(a);
    g.polygons.push_back(b);
}

// The attachment points of the player aircraft's parts: the 23 mounts under
// the wings (parts 68 to 90 are sub-objects 1 to 23), the four gear legs,
// the exhaust and the heat glow; world axes, single scale.
constexpr int32_t kKrxMounts = 23;
MkPakXyz KrxPivot(int32_t subObject) {
    if (subObject >= 1 && subObject <= kKrxMounts) return {(subObject - 12) * 0x380, -0x900, -0x400};
    switch (subObject) {
    case 24: return {0, -0xe00, 0x4000};        // gear front
    case 25: return {0, -0xe00, -0x1000};       // gear back
    case 26: return {-0x1400, -0xe00, -0x1400}; // gear back left
    case 27: return {0x1400, -0xe00, -0x1400};  // gear back right
    case 28: return {0, 0, -0x6200};            // exhaust
    case 29: return {0, 0, -0x6800};            // heat
    default: return {};
    }
}

// "krx.pak": the player aircraft. Near: a multi-part model (body with a
// textured spine, wings and fin of a double-sided face, the store mounts,
// four gear legs, the exhaust and the heat glow, hung on the body's
// pivots); far: the body alone in flat colours. Pose kind 3 (a jet).
MkPak KrxModel(const uint8_t* palette) {
    MkPak p;
    p.name = "krx";
    p.radius = 0x6000;
    p.baseHeight = 0x1000;
    p.poseKind = 3;
    MkPakFace skin;
    skin.name = "KRXSKIN.PCX";
    skin.flags = 0x0008;
    skin.log2Width = skin.log2Height = 4;
    MkPakFace wing = Flat(100, 110, 125);
    wing.flags = 0x0040;
    MkPakFace shiny = Flat(140, 150, 165);
    shiny.specShift = 2;
    shiny.specPower = 2;
    // 0 hull, 1 belly, 2 skin, 3 wing (both sides).
    MkPakGeometry body;
    body.faces = {shiny, Flat(80, 85, 95), skin, wing};
    BoxAppend(body, 0, 0, 0, 0x0c00, 0x0a00, 0x6000, 0, 1);
    BoxAppend(body, 0, 0x0b00, 0x0800, 0x0600, 0x0100, 0x2000, 2, 2);
    QuadAppend(body, {{-0x5000, 0, -0x2800}, {0x5000, 0, -0x2800}, {0x0c00, 0, 0x1400}, {-0x0c00, 0, 0x1400}}, 3);
    QuadAppend(body, {{0, 0x0a00, -0x5800}, {0, 0x2800, -0x6000}, {0, 0x2800, -0x4c00}, {0, 0x0a00, -0x3000}}, 3);
    body.radius = 0xc000;
    for (int32_t s = 1; s <= 29; s++) {
        const MkPakXyz v = KrxPivot(s);
        const MkPakXyz f = FileAxes(v.x, v.y, v.z);
        body.points.push_back({f.x * 2, f.y * 2, f.z * 2});
    }
    auto part = [](MkPakFace face, int32_t hx, int32_t hh, int32_t hf) {
        MkPakGeometry g;
        g.faces = {face};
        BoxAppend(g, 0, 0, 0, hx, hh, hf, 0, 0);
        g.radius = 2 * std::max({hx, hh, hf});
        return g;
    };
    p.geometries.push_back(body);                                        // 0
    p.geometries.push_back(part(Flat(60, 60, 60), 0x100, 0x700, 0x100)); // 1 gear leg
    p.geometries.push_back(part(Flat(90, 70, 50), 0x300, 0x300, 0x200)); // 2 exhaust
    MkPakFace heat = Flat(255, 120, 20);
    heat.fixedShade = 0x7f;
    p.geometries.push_back(part(heat, 0x280, 0x280, 0x300));             // 3 heat
    p.geometries.push_back(part(Flat(90, 90, 90), 0x100, 0x100, 0x300)); // 4 mount
    MkPakGeometry far;
    far.faces = {Flat(120, 130, 140), Flat(80, 85, 95), wing};
    BoxAppend(far, 0, 0, 0, 0x0c00, 0x0a00, 0x6000, 0, 1);
    QuadAppend(far, {{-0x5000, 0, -0x2800}, {0x5000, 0, -0x2800}, {0x0c00, 0, 0x1400}, {-0x0c00, 0, 0x1400}}, 2);
    far.radius = 0xc000;
    p.geometries.push_back(far);                                         // 5
    MkPakModel near;
    near.size = 0x2000000;
    near.subObjects.push_back({0, 0, {0, 0, 0}});
    for (int32_t m = 0; m < kKrxMounts; m++) near.subObjects.push_back({4, 0, {0, 0, 0}});
    for (int32_t g = 0; g < 4; g++) near.subObjects.push_back({1, 0, {0, 0, 0}});
    near.subObjects.push_back({2, 0, {0, 0, 0}});
    near.subObjects.push_back({3, 0, {0, 0, 0}});
    MkPakModel farLevel;
    farLevel.size = 0x10000000;
    farLevel.subObjects.push_back({5, 0, {0, 0, 0}});
    p.models = {near, farLevel};

    MkPakImage im;
    im.name = "KRXSKIN.PCX";
    im.width = im.height = 32;
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) im.pixels.push_back((uint8_t)(((x / 4 + y / 4) & 1) ? 21 : 23));
    im.palette.assign(palette, palette + 768);
    p.images.push_back(im);
    return p;
}

std::vector<uint8_t> KrxPib(void) {
    MkPibNode node;
    node.parts.push_back({"Body", 0});
    for (int32_t part = 68; part <= 90; part++) node.parts.push_back({pak_OrientPartNames[part], part - 67});
    const int32_t named[6] = {15, 16, 17, 18, 44, 47};
    for (int32_t k = 0; k < 6; k++) node.parts.push_back({pak_OrientPartNames[named[k]], 24 + k});
    MkPibNode far;
    far.model = 1;
    far.parts.push_back({"Body", 0});
    return mkdata_PibBuild({node, far});
}

// One panel of the cockpit console: a textured quad facing the pilot (world
// axes; corners left and right, bottom and top, at forward f).
struct ConsolePanel {
    const char* image;  // panel image without extension; empty for a flat face
    int32_t x0, x1, h0, h1, f;
};

constexpr int32_t kConsole = 0x2000 - 8;
const ConsolePanel kConsolePanels[] = {
    {"KRXG03", -0x1100, -0x500, 0x0600, 0x0F00, kConsole},  // left MFD
    {"KRXG05", 0x500, 0x1100, 0x0600, 0x0F00, kConsole},    // right MFD
    {"KRXG04", -0x380, 0x380, 0x0900, 0x0F40, kConsole},    // attitude
    {"KRXG08", -0x300, 0x300, 0x0280, 0x0880, kConsole},    // heading
    {"KRXG14", -0x1100, -0xE40, 0x0100, 0x03C0, kConsole},  // airspeed
    {"KRXG15", -0xDC0, -0xB00, 0x0100, 0x03C0, kConsole},   // altimeter
    {"KRXG16", -0xA80, -0x7C0, 0x0100, 0x03C0, kConsole},   // angle of attack
    {"KRXG17", -0x740, -0x480, 0x0100, 0x03C0, kConsole},   // vertical velocity
    {"KRXG11", 0x480, 0x680, 0x0100, 0x0300, kConsole},     // right gauges
    {"KRXG12", 0x700, 0x9C0, 0x0100, 0x03C0, kConsole},
    {"KRXG13", 0xA40, 0xD00, 0x0100, 0x03C0, kConsole},
    {"KRXG06", 0xD80, 0xE80, 0x0100, 0x0200, kConsole},
    {"KRXV12", 0xF00, 0xF80, 0x0100, 0x0200, kConsole},     // indexer
    {"KRXG01", -0x1900, -0x1200, 0x0600, 0x0D00, kConsole}, // threat warning
    {"KRXG02", 0x1200, 0x1900, 0x0600, 0x0D00, kConsole},   // upper right console
    {"KRXG07", -0x1900, -0x1200, 0x0080, 0x0580, kConsole}, // gear
    {"KRXG09", 0x1200, 0x1900, 0x0080, 0x0580, kConsole},   // stick
    {"KRX_LANT", -0x300, 0x300, 0x0F60, 0x1000, kConsole},  // HUD control panel
    {"KRXGLASB", -0x1A00, 0x1A00, 0x1000, 0x1180, 0x1F00},  // glare shield
    {"", -0x2400, 0x2400, 0x0000, 0x1000, 0x2C00},          // console behind the panels
};

int32_t Log2(int32_t v) {
    int32_t n = 0;
    while ((1 << (n + 1)) <= v) n++;
    return n;
}

// The virtual cockpits "krxvrtc.pak" (day) and "krxvrtcn.pak" (night): the
// console in front of the pilot, every panel image of the cockpit view
// table mapped onto its own quad, the images embedded in the model. The
// body's attachment points are the eye positions of the cockpit panels
// 0..10; the part information names them "Eye 0".."Eye 10" (docs/formats.md,
// "Cockpit eye nodes").
MkPak CockpitModel(bool night, const uint8_t* palette) {
    MkPak p;
    p.name = night ? "krxvrtcn" : "krxvrtc";
    p.radius = 0x4000;
    p.baseHeight = 0x2000;
    p.images = mkdata_CockpitPanelImages(night, palette);
    MkPakGeometry g;
    for (const ConsolePanel& c : kConsolePanels) {
        MkPakFace face;
        if (c.image[0]) {
            face.name = mkdata_CockpitPanelImageName(c.image, night);
            for (const MkPakImage& im : p.images)
                if (im.name == face.name) {
                    face.log2Width = (uint8_t)Log2(im.width);
                    face.log2Height = (uint8_t)Log2(im.height);
                }
            face.flags = 0x0008 | 0x0040;
        } else {
            const uint8_t grey = night ? 14 : 40;
            face = Flat(grey, grey, (uint8_t)(grey + 4));
            face.flags = 0x0040;
        }
        const int32_t base = (int32_t)g.vertices.size();
        // Top left, top right, bottom right, bottom left as the pilot sees
        // them: the image's top row along the top edge.
        const MkPakXyz corners[4] = {{c.x0, c.h1, c.f}, {c.x1, c.h1, c.f}, {c.x1, c.h0, c.f}, {c.x0, c.h0, c.f}};
        for (int32_t k = 0; k < 4; k++) {
            g.vertices.push_back(FileAxes(corners[k].x, corners[k].y, corners[k].z));
            g.uv.push_back({(k == 1 || k == 2) ? 0x10000 : 0, k >= 2 ? 0x10000 : 0, 0});
        }
        const int32_t n = (int32_t)g.normals.size();
        g.normals.push_back(FileAxes(0, 0, -16384));
        const int32_t f = (int32_t)g.faces.size();
        g.faces.push_back(face);
        MkPakPolygon a, b;
        a.face = b.face = f;
        a.vertex[0] = base, a.vertex[1] = base + 1, a.vertex[2] = base + 2;
        b.vertex[0] = base, b.vertex[1] = base + 2, b.vertex[2] = base + 3;
        for (int32_t k = 0; k < 3; k++) a.normal[k] = b.normal[k] = n;
        g.polygons.push_back(a);
        g.polygons.push_back(b);
    }
    // The eyes in file axes at the points' double scale.
    for (int32_t panel = 0; panel <= 10; panel++) {
        const MkPakXyz e = mkdata_CockpitEye(panel);
        g.points.push_back({e.x * 2, -e.z * 2, e.y * 2});
    }
    g.radius = 0x6000;
    p.geometries.push_back(g);
    MkPakModel m;
    m.size = 0x100000;
    m.subObjects.push_back({0, 0, {0, 0, 0}});
    p.models.push_back(m);
    return p;
}

// ".PIB" naming the body and the mount parts 68 to 90 as sub-objects 1..23.
std::vector<uint8_t> MountPib(void) {
    MkPibNode node;
    node.parts.push_back({"Body", 0});
    for (int32_t part = 68; part <= 90; part++) node.parts.push_back({pak_OrientPartNames[part], part - 67});
    return mkdata_PibBuild({node});
}

std::vector<uint8_t> CockpitPib() {
    MkPibNode node;
    node.model = 0;
    for (int32_t panel = 0; panel <= 10; panel++)
        node.parts.push_back({"Eye " + std::to_string(panel), panel + 1});
    return mkdata_PibBuild({node});
}

}  // namespace

MkPakXyz mkdata_CockpitEye(int32_t panel) {
    // The pilot's head, then each panel view's eye in front of its panel
    // (4, 9 and 10 look down at theirs); 7 and 8 are the head views.
    static const MkPakXyz kEyes[11] = {
        {0, 0x1600, 0x400},       {-0x1580, 0x0980, 0x1400}, {0x1580, 0x0980, 0x1400}, {-0xB00, 0x0A80, 0x1600},
        {0, 0x1160, 0x1520},      {0xB00, 0x0A80, 0x1600},   {0, 0x0580, 0x1400},      {0, 0x1600, 0x400},
        {0, 0x1500, 0},           {0x1580, 0x0820, 0x1528},  {0x580, 0x0720, 0x1528},
    };
    return panel >= 0 && panel <= 10 ? kEyes[panel] : MkPakXyz{};
}

std::vector<MkModelFile> mkdata_ModelFiles(const std::string& scratchDir) {
    uint8_t palette[768];
    mkdata_GamePalette(palette);
    std::vector<MkModelFile> files;
    files.push_back({"boo.pak", mkdata_PakBuild(BooModel())});
    files.push_back({"crate.pak", mkdata_PakBuild(CrateModel(palette))});
    files.push_back({"crate.PIB", mkdata_PibBuild({{0, {{"Body", 0}, {"Canopy", 1}}}})});
    files.push_back({"krx.pak", mkdata_PakBuild(KrxModel(palette))});
    files.push_back({"krx.PIB", KrxPib()});
    // The loadout screen's preview model.
    files.push_back({"loadkrx.pak", mkdata_PakBuild(KrxModel(palette))});
    files.push_back({"loadkrx.PIB", KrxPib()});
    files.push_back({"krx_ai.pak", mkdata_PakBuild(AircraftModel("krx_ai", 0x6000, 120, 130, 140, true))});
    files.push_back({"krxglass.pak", mkdata_PakBuild(AircraftModel("krxglass", 0x1000, 150, 200, 220, false))});
    files.push_back({"rmount.pak", mkdata_PakBuild(AircraftModel("rmount", 0x400, 80, 80, 80, false))});
    files.push_back({"smount.pak", mkdata_PakBuild(AircraftModel("smount", 0x400, 80, 80, 80, false))});
    files.push_back({"rail.pak", mkdata_PakBuild(AircraftModel("rail", 0x600, 100, 100, 100, true))});
    files.push_back({"rail.PIB", MountPib()});
    // The weapon models: each row's released object and the store hung on
    // the aircraft (the same file), one small box per name.
    std::set<std::string> weapons;
    for (int32_t i = 0; i < WEAPON_TYPES; i++)
        for (const char* name : {weapon_Types[i].model, weapon_Types[i].mountModel})
            if (name && weapons.insert(name).second)
                files.push_back({name, mkdata_PakBuild(AircraftModel(name, 0x200, 150, 150, 140, false))});
    files.push_back({"krxvrtc.pak", mkdata_PakBuild(CockpitModel(false, palette))});
    files.push_back({"krxvrtc.PIB", CockpitPib()});
    files.push_back({"krxvrtcn.pak", mkdata_PakBuild(CockpitModel(true, palette))});
    files.push_back({"krxvrtcn.PIB", CockpitPib()});
    // The ".PAL" companion is a PCX image whose palette is the model's; as
    // in the game palette, its pixels mark the fixed colours. Its remap
    // companions go beside it.
    uint8_t pixels[64];
    const int rows[4] = {96, 128, 144, 240};
    for (int r = 0; r < 4; r++)
        for (int i = 0; i < 16; i++) pixels[r * 16 + i] = (uint8_t)(rows[r] + i);
    std::vector<uint8_t> pal = mkdata_PcxBuild(scratchDir, 16, 4, pixels, palette);
    if (pal.empty()) return {};
    files.push_back({"crate.PAL", pal});
    files.push_back({"crate.CR1", mkdata_RemapFileBuild(palette)});
    files.push_back({"crate.CR2", mkdata_RemapFileBuild(palette)});
    // The player aircraft's skin image is embedded the same way.
    // The cockpits' too: their panel images are found as "KRXVRTC:..." and
    // "KRXVRTCN:...".
    for (const char* cockpit : {"krxvrtc", "krxvrtcn"}) {
        files.push_back({std::string(cockpit) + ".PAL", pal});
        files.push_back({std::string(cockpit) + ".CR1", mkdata_RemapFileBuild(palette)});
        files.push_back({std::string(cockpit) + ".CR2", mkdata_RemapFileBuild(palette)});
    }
    files.push_back({"krx.PAL", std::move(pal)});
    files.push_back({"krx.CR1", mkdata_RemapFileBuild(palette)});
    files.push_back({"krx.CR2", mkdata_RemapFileBuild(palette)});
    return files;
}

int mkdata_WriteModels(const std::string& dir) {
    std::vector<MkModelFile> files = mkdata_ModelFiles(dir);
    if (files.empty()) return -1;
    for (MkModelFile& f : files) mkdata_PffAdd("KRX.PFF", f.name, std::move(f.data));
    return 0;
}
