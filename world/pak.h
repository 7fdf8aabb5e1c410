// PAK model files: every visible object is drawn from one. A file is loaded
// once per name with a reference count; its models, sub-objects and geometry
// become native records in one level-memory block, turned to world axes;
// textures and flat colours go into one global texture table; the optional
// ".PAL" palette and ".PIB" part information companions are read beside it.
// File layouts in docs/formats.md. Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

#include "world/reloc.h"

struct PALREF;

constexpr uint32_t PAK_HEADER_SIZE = 72;
constexpr uint32_t PAK_VERSION_MIN = 0x2001;
constexpr uint32_t PAK_VERSION_MAX = 0x10000;
constexpr uint32_t PAK_SET_NAME_SIZE = 36;
constexpr uint32_t PAK_MODEL_ENTRY_SIZE = 8;
constexpr uint32_t PAK_MODEL_RECORD_SIZE = 12;
constexpr uint32_t PAK_SUBOBJECT_SIZE = 44;
constexpr uint32_t PAK_GEOMETRY_SIZE = 92;
constexpr uint32_t PAK_FACE_SIZE = 28;
constexpr uint32_t PAK_VERTEX_SIZE = 44;
constexpr uint32_t PAK_POLYGON_SIZE = 32;
constexpr uint32_t PAK_NORMAL_SIZE = 16;
constexpr uint32_t PAK_POINT_SIZE = 12;
constexpr uint32_t PAK_IMAGE_HEADER_SIZE = 28;
constexpr uint32_t PAK_IMAGE_NAME_SIZE = 12;
constexpr uint32_t PAK_FACE_NAME_SIZE = 13;
// Polygons summed over the sub-objects of one model.
constexpr int32_t PAK_MODEL_POLYGONS_MAX = 1330;
constexpr int32_t PAK_TEXTURE_ENTRIES = 3000;
// More entries than this end the program.
constexpr int32_t PAK_TEXTURE_ENTRIES_USED_MAX = 2999;
constexpr int32_t PAK_DEFAULT_TEXTURE_SIZE = 16;
// Longest PAK file name (and so texture key prefix) taken.
constexpr size_t PAK_NAME_MAX = 259;
// Prefix, colon, and the longest face or image name, so that no key is cut.
constexpr size_t PAK_TEXTURE_KEY_SIZE = PAK_NAME_MAX + 1 + PAK_FACE_NAME_SIZE + 1;
// Sides of an embedded image.
constexpr uint32_t PAK_IMAGE_SIDE_MAX = 4096;
constexpr int32_t PAK_ORIENT_PARTS = 91;

// Face flags (16 bits).
constexpr uint16_t PAK_FACE_TEXTURED = 0x0008;
constexpr uint16_t PAK_FACE_CARD_CLEARED = 0x0020;  // cleared on the 3D-card path
constexpr uint16_t PAK_FACE_5BIT = 0x0080;          // colour already in 5-bit form
constexpr uint16_t PAK_FACE_FULL_SIZE = 0x0400;     // image flags: keep the image at full size
constexpr uint16_t PAK_FACE_CR2 = 0x8000;
constexpr uint16_t PAK_FACE_TRANSLUCENT_MASK = 0x6100;
constexpr uint16_t PAK_FACE_TRANSLUCENT_A = 0x6100;
constexpr uint16_t PAK_FACE_TRANSLUCENT_B = 0x4100;
// Sub-object flags byte: bit 1, the RGB bytes are a flat colour.
constexpr uint8_t PAK_SUBOBJECT_FLAT_COLOUR = 0x02;

// Face (material), 28 bytes in the file.
struct PakFace {
    char name[PAK_FACE_NAME_SIZE];  // bytes 0..12, terminated
    uint8_t log2Width;               // byte 13
    uint8_t log2Height;              // byte 14
    uint8_t byte15;                  // carried as loaded
    uint32_t colour;                 // word 16 as loaded; for flat faces the colour value
    const uint8_t* texture;          // image of a textured face once registered
    uint8_t byte20, byte21;          // carried
    uint16_t flags;                  // PAK_FACE_*
    uint8_t tail[4];                 // bytes 24..27, carried
};

struct PakVertex {
    int32_t x, y, z;
    int32_t words[8];  // carried as loaded; the renderer's per-frame words
};

struct PakNormal {
    int32_t x, y, z;
    uint32_t word3;
};

struct PakPoint {
    int32_t x, y, z;  // double scale
};

struct PakPolygon {
    uint32_t word0;
    PakFace* face;
    PakVertex* vertex[3];
    PakNormal* normal[3];
};

// Geometry block: 92-byte header, then its arrays.
struct PakGeometry {
    uint32_t words[11];  // bytes 0..43, carried as loaded
    int32_t faceCount;
    int32_t vertexCount;
    int32_t polygonCount;
    int32_t normalCount;
    int32_t pointCount;
    uint32_t word64;     // carried
    PakFace* faces;
    PakVertex* vertices;
    PakPolygon* polygons;
    PakNormal* normals;
    PakPoint* points;
    uint32_t further;    // offset of the further array, carried (checked inside the model data)
};

// Sub-object entry, 44 bytes in the file.
struct PakSubObject {
    PakGeometry* geometry;
    int32_t angles[3];   // bytes 4..15
    uint8_t flags;       // byte 16
    uint8_t colour[3];   // bytes 17..19; with PAK_SUBOBJECT_FLAT_COLOUR colour[0] becomes the palette index
    uint8_t bytes20[12]; // bytes 20..31, carried
    PakPoint* point;     // bound at load
    uint8_t bytes36[8];  // carried
};

struct PakModel {
    uint32_t word0;
    int32_t subObjectCount;
    uint32_t word8;
    PakSubObject* subObjects;
};

// One entry of the model table.
struct PakModelEntry {
    int32_t size;  // halved at load
    PakModel* model;
};

struct _PAK_HEADER {
    RelocBlock* partInfo;  // the ".PIB" part information, or null
    PALREF* palette;       // the palette object, or null
    char name[PAK_SET_NAME_SIZE];  // model set name, blanks stripped
    int32_t modelCount;
    int32_t radius;        // first size value, halved
    int32_t baseHeight;    // second size value, halved
    uint32_t headerLength; // offset of the model table in the file
    uint32_t dataEnd;      // end of the model data in the file
    uint32_t imageEnd;     // end of the texture image block
    uint32_t word68;       // carried
    PakModelEntry* models;
};

// The orient structure of a ".PIB" node: per part name, the sub-object of
// the node's model that carries it, or null.
struct _ORIENT_OBJ_PART_STRUCT {
    PakSubObject* part[PAK_ORIENT_PARTS];
};
// The 91 part names, in order.
extern const char* const pak_OrientPartNames[PAK_ORIENT_PARTS];

// Loaded-PAK list node (tag "_PAK_ENTRY").
struct _PAK_ENTRY {
    _PAK_ENTRY* prev;
    _PAK_ENTRY* next;
    const char* name;     // the name text behind the node
    _PAK_HEADER* pak;
    int32_t refCount;
    RelocBlock* info;     // its part information, freed with the last reference
    uint32_t infoSerial;  // serial of that named block
};
struct PakList {
    _PAK_ENTRY* head;
    int32_t count;
};
extern PakList pak_List;

// The image part of a texture-table entry (what the 3D card is handed).
struct PakTextureImage {
    const uint8_t* pixels;
    uint8_t log2Width;
    uint8_t log2Height;
    uint32_t renderFlags;
};
struct PakTextureEntry {
    char key[PAK_TEXTURE_KEY_SIZE];  // "%s:%s"; empty for a flat colour
    const uint8_t* image;
    uint16_t width;
    uint16_t height;
    int32_t refCount;
    PakTextureImage card;
    uint32_t colour;   // a flat colour's value
    int32_t isColour;
};
struct PakTextureTable {
    PakTextureEntry entries[PAK_TEXTURE_ENTRIES];
    int32_t count;
    uint8_t defaultTexture[PAK_DEFAULT_TEXTURE_SIZE * PAK_DEFAULT_TEXTURE_SIZE];
};
extern PakTextureTable pak_Textures;
// Width and height of the texture found last.
extern int32_t pak_TextureWidth;
extern int32_t pak_TextureHeight;
// Show application string 60 for images more than eight times wider than
// high or higher than wide (off).
extern int32_t pak_AspectCheck;
// Runs before each embedded image is registered, when set.
extern void (*pak_ProgressRoutine)(void);

_PAK_HEADER* pak_Load(const char* name);
int32_t pak_Release(const char* name);
void pak_UnloadAll(void);
// paletteKey and palette are used together, or both null.
_PAK_HEADER* pak_LoadPakEx(const char* name, const char* paletteKey, PALREF* palette);
// Per-object copy of the header, models, sub-objects, geometry headers,
// vertices and polygons (tag "_PAK instance PTR"); faces, normals and points
// stay shared. Null for null or no memory.
_PAK_HEADER* pak_InstanceCreate(const _PAK_HEADER* pak);
// Point n-1 of the model's first sub-object, halved, into out[3]; 0, or -1
// (out cleared) when model or n is out of range.
int32_t pak_ModelPartGet(const _PAK_HEADER* pak, int32_t model, int32_t n, int32_t* out);
PakSubObject* pak_SubObjectGet(const _PAK_HEADER* pak, int32_t model, int32_t index);
PakGeometry* pak_ModelGeometryGet(const _PAK_HEADER* pak, int32_t model);
// The part of a ".PIB" node of that name, or null.
RelocSub* pak_ModelFindByName(RelocGroup* node, const char* name);
// The node of that id (its model index), or null.
RelocGroup* pak_InfoPartFind(RelocBlock* info, int32_t id);

const uint8_t* pak_TextureFind(const char* key);
PakTextureImage* pak_TextureEntryFind(const char* key);
void pak_TextureTableReset(void);
// Registers the embedded images of a block of `size` bytes under "name:image".
void pak_AddPcxImages(const uint8_t* block, uint32_t size, const char* name);
// Registers a face's texture under "prefix:face name".
void pak_MaterialAdd(PakFace* face);
// Every byte of a width x height block shifted right by 3 (5-bit levels).
void pak_ColourBytesTo5Bit(uint8_t* block, int32_t width, int32_t height);
