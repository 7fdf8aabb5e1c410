// PAK model files, their ".PAL" palette companions and the relocatable list
// files (".PIB" part information) of the builder (pak_write.cpp; layouts in
// docs/formats.md).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct MkPakFace {
    std::string name;  // texture name, at most 12 characters; empty for flat faces
    uint8_t log2Width = 0, log2Height = 0;
    uint32_t colour = 0;  // flat faces: red | green << 8 | blue << 16
    uint16_t flags = 0;   // 0x0008 textured, 0x0040 double-sided, ...
    uint8_t fixedShade = 0;  // byte 15: a fixed shade level (0: lit)
    uint8_t specShift = 0;   // byte 20: specular shift
    uint8_t specPower = 0;   // byte 21: specular power 0 none, 1, 2, 3
    uint8_t frames = 0;      // byte 25: animation frames (a power of two)
    uint8_t link = 0;        // byte 26: 0x7f or more the next face is the back; else the frame slot
};
struct MkPakPolygon {
    int32_t face = 0;
    int32_t vertex[3] = {0, 0, 0};
    int32_t normal[3] = {0, 0, 0};
};
struct MkPakXyz {
    int32_t x = 0, y = 0, z = 0;
};
struct MkPakGeometry {
    std::vector<MkPakFace> faces;
    std::vector<MkPakXyz> vertices;
    std::vector<MkPakPolygon> polygons;
    std::vector<MkPakXyz> normals;
    std::vector<MkPakXyz> points;  // double scale
    int32_t radius = 0;            // word 16 of the geometry header
    // Texture u, v per vertex (1/65536 of the texture, 65536 once across);
    // none: all 0.
    std::vector<MkPakXyz> uv;      // x = u, y = v
};
struct MkPakSubObject {
    int32_t geometry = 0;  // index into MkPak::geometries; several may share one
    uint8_t flags = 0;     // 0x02: rgb is a flat colour
    uint8_t rgb[3] = {0, 0, 0};
    int32_t angles[3] = {0, 0, 0};  // the part's angles relative to the body
};
struct MkPakModel {
    int32_t size = 0;  // the model's size word (distance), stored doubled
    std::vector<MkPakSubObject> subObjects;
};
struct MkPakImage {
    std::string name;  // at most 12 characters
    uint16_t flags = 0;
    int32_t width = 0, height = 0;
    std::vector<uint8_t> pixels;  // width x height
    std::vector<uint8_t> palette; // 768 bytes, or empty for none
};
struct MkPak {
    uint32_t version = 0x2001;
    std::string name;  // model set name, at most 35 characters
    int32_t radius = 0, baseHeight = 0;  // stored doubled
    std::vector<MkPakGeometry> geometries;
    std::vector<MkPakModel> models;
    std::vector<MkPakImage> images;
    uint16_t poseKind = 0;  // header word 68: the pose routine of objects with this model
};
std::vector<uint8_t> mkdata_PakBuild(const MkPak& pak);
// Run-length data of the embedded images (PCX runs, crossing rows freely).
std::vector<uint8_t> mkdata_PakRle(const std::vector<uint8_t>& pixels);

// A cube of side 2 x half around the origin: 8 vertices, 12 triangles, 6
// normals, one face per side (the caller fills in the six faces) and the
// given attachment points.
MkPakGeometry mkdata_PakCube(int32_t half, const std::vector<MkPakFace>& sixFaces,
                             const std::vector<MkPakXyz>& points);

// Relocatable list files. An empty name is stored as none (offset 0).
struct MkRelocValue {
    std::string name;
    int32_t value = 0;
};
struct MkRelocSub {
    std::string name;
    std::vector<uint32_t> extra;  // words after the 16-byte entry
};
struct MkRelocGroup {
    std::string name;
    std::vector<uint32_t> extra;  // words after the 20-byte entry
    std::vector<MkRelocSub> subs;
};
std::vector<uint8_t> mkdata_RelocBuild(const std::vector<MkRelocValue>& values,
                                       const std::vector<MkRelocGroup>& groups, uint32_t flags = 0);
// ".PIB": one node per model index, parts naming sub-objects.
struct MkPibPart {
    std::string name;
    int32_t subObject = 0;
};
struct MkPibNode {
    int32_t model = 0;
    std::vector<MkPibPart> parts;
};
std::vector<uint8_t> mkdata_PibBuild(const std::vector<MkPibNode>& nodes);

// The data set's models: "boo.pak" (flat colours), the virtual cockpits
// "krxvrtc.pak" and "krxvrtcn.pak" (with ".PIB" eye nodes) and "crate.pak" (textured,
// with an embedded image, "crate.PAL" with its remaps "crate.CR1" and
// "crate.CR2", and "crate.PIB"), the player aircraft's models ("krx.pak",
// "krx_ai.pak", "krxvrtc.pak", "krxvrtcn.pak", "krxglass.pak", the mount and
// rail models "rmount.pak", "smount.pak", "rail.pak", with "krx.PIB" and
// "rail.PIB" naming the mount parts 68 to 90), as files (the ".PAL"
// image is made through a scratch file in scratchDir; empty on failure), and
// added to KRX.PFF by mkdata_WriteModels.
struct MkModelFile {
    std::string name;
    std::vector<uint8_t> data;
};
std::vector<MkModelFile> mkdata_ModelFiles(const std::string& scratchDir);
// The eye position of cockpit panel 0..10 in the cockpit models
// "krxvrtc.pak" and "krxvrtcn.pak" as the loaded model has it (x, height,
// forward in world units; zero for other panels).
MkPakXyz mkdata_CockpitEye(int32_t panel);
int mkdata_WriteModels(const std::string& dir);

// The panel images of the virtual cockpits (cockpit_art.cpp): every panel of
// the cockpit view table ("KRXG01".."KRXG17" but "KRXG10", "KRXV12",
// "KRX_LANT", "KRXGLASB"), the night set named with an "N" ("KRX_LANT" and
// "KRXGLASB" keep their names), kept at full size; and an image's file name in either set.
std::vector<MkPakImage> mkdata_CockpitPanelImages(bool night, const uint8_t* palette);
std::string mkdata_CockpitPanelImageName(const char* panel, bool night);
