// The terrain pass of a frame: which patches of 4 x 4 cells are drawn and in
// which order, their ground built as 5 x 5 vertices and 32 textured
// triangles, and the shared item buffer that paints ground and objects
// together from far to near in batches of at most 200.
//
// Main thread only; all storage is static (no allocation per frame).
#pragma once
#include <cstdint>

#include "base/fix.h"
#include "display/rast.h"

struct DepthTile;
struct ObjectRecord;
struct PALREF;

constexpr int32_t TERRAIN_PATCH_LIST = 253;     // patches a frame
constexpr int32_t TERRAIN_LINE_PATCHES = 32;    // patches a scan line adds
constexpr int32_t TERRAIN_SCAN_ROWS = 14;       // rows each way
constexpr int32_t TERRAIN_LINE_MISSES = 2;      // invisible patches that end a line
constexpr int32_t TERRAIN_NEAR_DISTANCE = 0x4000;
constexpr int32_t TERRAIN_SLOTS = 24;
constexpr int32_t TERRAIN_ITEMS = 2048;         // item buffer pairs
constexpr int32_t TERRAIN_BATCH = 200;          // items drawn a batch

// A grid point of a slotted patch. The last five fields are the
// rasteriser's vertex (x, y, u, v, colour word).
struct PatchVertex {
    int32_t worldX;
    int32_t worldHeight;   // h x 0x40000
    int32_t worldZ;
    int32_t viewX, viewY, viewZ;
    PolyVertex screen;     // u, v written just before each triangle is drawn
};

// One of the two triangles of a cell. Terrain triangles share the item
// buffer with object records, which have a nonzero first byte.
struct PatchTriangle {
    uint8_t kind;          // 0
    uint8_t queued;        // 1 once in the item buffer
    uint8_t slot;          // pipeline slot of its patch
    uint8_t attribute;     // one of its tile's 32 attribute bytes
    DepthTile* tile;
    PatchVertex* vertex[3];
    int32_t uv[3][2];      // in vertex order
};

// An entry of the frame's patch list.
struct PatchEntry {
    int32_t cornerX, cornerZ;  // patch corner relative to the camera
    int32_t px, pz;
    int32_t index;             // pz x 128 + px
    uint8_t flag;              // 1: the ground box is visible
    int32_t distance;          // patch centre distance >> 14
    int16_t countdown;         // items queued and not yet drawn
};

// An item of the buffer: a PatchTriangle or an object record, and its
// camera-space depth key (larger = farther).
struct TerrainItem {
    void* record;
    int32_t key;
};

// The current patch, set by the pipeline before its objects and ground are
// prepared.
struct TerrainCurrentPatch {
    int32_t cornerX, cornerZ;
    int32_t px, pz;
    int32_t index;
    uint8_t flag;
    int32_t slot;
    int32_t flaggedObject;  // a static object with draw-flags bit 0 was queued
};

// The state of the pass, readable by the renderer and the tests.
struct TerrainPass {
    uint32_t frameStamp;
    uint32_t drawFlags;          // 0x2008, or 8 with the terrain option
    int32_t aboveTerrain;        // the camera is above the terrain range
    uint32_t cameraX, cameraZ;   // world units
    int32_t cameraHeight;
    int32_t boxFloor, boxTop;    // vertical range of the visibility boxes
    FixVec3 edgeX, edgeY, edgeZ; // camera-space patch edges (and box height)
    FixVec3 groundY;             // camera-space height of the ground box (floor to 0x7D00000)
    FixVec3 cellX, heightUnit, cellZ;
    PatchEntry list[TERRAIN_PATCH_LIST];
    int32_t count;
    PatchEntry* sorted[TERRAIN_PATCH_LIST];
    PatchEntry* slots[TERRAIN_SLOTS];
    TerrainCurrentPatch current;
    TerrainItem items[TERRAIN_ITEMS];
    int32_t itemCount;           // items from the front of the buffer
    int32_t itemRead;            // behind the last item drawn
    int32_t itemRemembered;      // the count the last batch started with
    int32_t batches;             // drawing batches this pass
};
extern TerrainPass terrain_Pass;

// Vertex and triangle storage of the 24 slots.
extern PatchVertex terrain_PatchVertices[TERRAIN_SLOTS][25];
extern PatchTriangle terrain_PatchTriangles[TERRAIN_SLOTS][32];

// Set by the settings: the terrain is drawn without the jitter flag.
extern int32_t terrain_PlainOption;
// Set by the cockpit's sensor display around its own terrain pass.
extern int32_t terrain_LantirnPass;
// The terrain palette object (from the depth tile palette); null: none.
extern PALREF* terrain_Palref;
// Places the players into the patches' dynamic lists at the start of each
// pass; installed by the client, null without one.
extern void (*terrain_PlayersPlace)(void);

// The (u, v) of a grid point and the attribute indices of a cell's two
// triangles for each of the eight orientation variants.
struct TerrainVariantTables {
    int32_t corner[4][8][16][2];  // corners (r, c), (r, c+1), (r+1, c), (r+1, c+1)
    uint8_t attribute[8][16][2];  // triangles A, B
};
extern const TerrainVariantTables terrain_Variants;

// One terrain pass over the current view (view_State and its rotation set).
void terrain_DrawFrame(void);
// Queues the objects of the current patch.
void terrain_PatchObjectsQueue(void);
// Builds the current patch's vertices and triangles in its slot and queues
// the triangles to be drawn.
void terrain_PatchBuild(void);
// 1 draw, 2 facing away, 4 outside the view.
int32_t terrain_TriangleClassify(const PatchTriangle* triangle);
// One drawing batch of at most 200 items from the front of the buffer.
void terrain_ItemsDraw(void);

// The light word of a vertex: height byte, shadow byte, water bit and
// camera-space depth; card: the 3D card's form.
uint32_t terrain_LightWord(int32_t height, int32_t shadow, int32_t water, int32_t depth, int32_t card);
