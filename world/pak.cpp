// PAK model files. The file is read into a scratch buffer and checked whole
// (every count, offset and size) before the native records are built in one
// level-memory block; nothing of the file image is used as a record.
#include "world/pak.h"

#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "base/efile.h"
#include "base/file.h"
#include "base/le.h"
#include "base/mem.h"
#include "base/text.h"
#include "display/hw3d.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "platform/window.h"
#include "platform/winmsg.h"
#include "shell/appstr.h"
#include "shell/cursor.h"
#include "shell/dump.h"
#include "shell/fatal.h"
#include "shell/startup.h"
#include "shell/wndproc.h"
#include "world/gamemode.h"
#include "world/level.h"

PakList pak_List;
PakTextureTable pak_Textures;
int32_t pak_TextureWidth;
int32_t pak_TextureHeight;
int32_t pak_AspectCheck;
void (*pak_ProgressRoutine)(void);

const char* const pak_OrientPartNames[PAK_ORIENT_PARTS] = {
    "Body", "Wing Left", "Wing Right", "Flap Left", "Flap Right", "LEF Left", "LEF Right", "Elevator Left",
    "Elevator Right", "Canopy", "Rudder", "Rudder Left", "Rudder Right", "Aileron Left", "Aileron Right",
    "Gear Front", "Gear Back", "Gear Back Left", "Gear Back Right", "Gear Door Front Left",
    "Gear Door Front Right", "Gear Door Back Left Inner", "Gear Door Back Left Outer",
    "Gear Door Back Right Inner", "Gear Door Back Right Outer", "Gear Bays", "Brake Top", "Brake Bottom", "Pilot",
    "Black Interior", "Radar", "Lantirn Left", "Lantirn Right", "Vapor", "Vapor Wingtip Left",
    "Vapor Wingtip Right", "Bay", "Bay Door Left", "Bay Door Right", "Top Door Front", "Top Door Back", "Engine",
    "Engine Left", "Engine Right", "Exhaust", "Exhaust Left", "Exhaust Right", "Heat", "Heat Left", "Heat Right",
    "Reactor", "Vector Top", "Vector Top Left", "Vector Top Right", "Vector Bottom", "Vector Bottom Left",
    "Vector Bottom Right", "Blade 1", "Blade 2", "Blade 3", "Blade Blur 1", "Blade Blur 2", "Blade Blur 3",
    "Prop 1", "Prop 2", "Prop Blur 1", "Prop Blur 2", "Chute", "Mount Center", "Mount Left Wing",
    "Mount Left Outer", "Mount Left Outer Bottom", "Mount Left Center", "Mount Left Center Outer",
    "Mount Left Center Inner", "Mount Left Center Bottom", "Mount Left Inner", "Mount Left Inner Outer",
    "Mount Left Inner Inner", "Mount Left Inner Bottom", "Mount Right Wing", "Mount Right Outer",
    "Mount Right Outer Bottom", "Mount Right Center", "Mount Right Center Outer", "Mount Right Center Inner",
    "Mount Right Center Bottom", "Mount Right Inner", "Mount Right Inner Outer", "Mount Right Inner Inner",
    "Mount Right Inner Bottom",
};

namespace {

// ".PIB" layout beyond the generic relocatable list: a node's model index
// and a part's sub-object index.
constexpr uint32_t kNodeModelIndex = 20;
constexpr uint32_t kPartSubObject = 16;

// The file being loaded: its name for error texts, the texture key prefix
// and its palette object.
struct PakLoadState {
    char fileName[PAK_NAME_MAX + 1];
    char prefix[PAK_NAME_MAX + 1];
    PALREF* palette;
};
PakLoadState g_load;

[[noreturn]] void FatalBox(const char* text, const char* title) {
    app_CursorShowAll();
    app_CursorUnclip();
    plat_MessageBox(app_MainHwnd, text, title, MB_OK | MB_ICONERROR);
    plat_Exit(APP_EXIT_DATA_ERROR);
}

void StringBox(uint32_t number, const AppFormatArg* args, size_t count, const char* title) {
    char text[512];
    app_StringFormat(text, sizeof text, app_StringGet(number), args, count);
    plat_MessageBox(app_MainHwnd, text, title, MB_OK | MB_ICONERROR);
}

// Nearest power of two of a side, as a shift.
uint8_t RoundLog2(uint32_t v) {
    uint8_t k = 0;
    while (k < 31 && (1u << (k + 1)) <= v) k++;
    if (k < 31 && v - (1u << k) >= (1u << (k + 1)) - v) k++;
    return v <= 1 ? 0 : k;
}

// Copies name without its extension (the part after the last "." of the
// last path component).
void StripExtension(char* out, size_t size, const char* name) {
    snprintf(out, size, "%s", name);
    char* start = out;
    for (char* c = out; *c; c++)
        if (*c == '/' || *c == '\\') start = c + 1;
    if (char* dot = strrchr(start, '.')) *dot = 0;
}

// The render bits of the two translucent kinds.
uint32_t TranslucentBits(uint32_t renderFlags, uint16_t faceFlags) {
    uint16_t kind = faceFlags & PAK_FACE_TRANSLUCENT_MASK;
    if (kind == PAK_FACE_TRANSLUCENT_A) return (renderFlags & ~0xFF00u) | (renderFlags & 0x9E00u) | (1u << 17);
    if (kind == PAK_FACE_TRANSLUCENT_B) return (renderFlags & ~0xFF00u) | (renderFlags & 0xBE00u) | (1u << 20);
    return renderFlags;
}

// A fresh texture-table entry; past the limit the program ends.
PakTextureEntry* EntryNew(void) {
    if (pak_Textures.count >= PAK_TEXTURE_ENTRIES_USED_MAX) FatalBox("Material Limited exceeded!", "PAK Loader");
    PakTextureEntry* e = &pak_Textures.entries[pak_Textures.count++];
    memset(e, 0, sizeof *e);
    return e;
}

PakTextureEntry* EntryFind(const char* key) {
    if (!key) return nullptr;
    for (int32_t i = 0; i < pak_Textures.count; i++) {
        PakTextureEntry* e = &pak_Textures.entries[i];
        if (!e->isColour && text_EqualNoCase(e->key, key)) return e;
    }
    return nullptr;
}

// Remaps an image from pal_Second's palette into the game palette, with
// the CR2 remap around it when asked.
void RemapImage(uint8_t* pixels, int32_t count, bool cr2) {
    if (cr2) pal_ApplyRemap(g_load.palette, 2);
    pal_BuildRemapTable(pixels, count);
    if (cr2) pal_ApplyRemap(g_load.palette, 1);
}

int32_t NearestIndex(int32_t r, int32_t g, int32_t b, bool cr2) {
    if (cr2) pal_ApplyRemap(g_load.palette, 2);
    int32_t index = pal_NearestIndex(r, g, b);
    if (cr2) pal_ApplyRemap(g_load.palette, 1);
    return index;
}

// A flat face's colour: 5-bit already, or matched to the palette and given
// a texture-table entry, shared by every face of the same colour.
void FlatColourAdd(PakFace* face) {
    uint32_t v = face->colour;
    if (face->flags & PAK_FACE_5BIT) {
        face->colour = ((v >> 3) & 0x1F) | (v << 8);
        return;
    }
    int32_t index = NearestIndex(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF, (face->flags & PAK_FACE_CR2) != 0);
    v = (v & 0x00FFFFFFu) | ((uint32_t)index << 24);
    face->colour = v;
    for (int32_t i = 0; i < pak_Textures.count; i++) {
        PakTextureEntry* e = &pak_Textures.entries[i];
        if (e->isColour && e->colour == v) {
            e->refCount++;
            return;
        }
    }
    PakTextureEntry* e = EntryNew();
    e->isColour = 1;
    e->colour = v;
    e->refCount = 1;
}

// Writes the missing texture's line to "err.txt".
void LogMissingTexture(const char* name) {
    char line[64];
    int n = snprintf(line, sizeof line, "copy %s p:\n", name);
    if (n < 0) return;
    _EFILE* f = efile_Open("err.txt", EFILE_WRITE | EFILE_CREATE);
    if (!f) return;
    if (efile_Seek(f, 0, 2) >= 0) efile_Write(f, line, (int32_t)strnlen(line, sizeof line));
    efile_Close(f);
}

// ---------------------------------------------------------------------------
// Checking the model data.

struct GeometryPlan {
    uint32_t offset;
    int32_t faces, vertices, polygons, normals, points;
    uint32_t faceAt, vertexAt, polygonAt, normalAt, pointAt, further;
};

struct ModelPlan {
    uint32_t offset;
    int32_t size;
    int32_t subObjects;
};

struct Plan {
    std::vector<ModelPlan> models;
    std::vector<GeometryPlan> geometries;
    std::unordered_map<uint32_t, int32_t> geometryIndex;  // file offset -> index
    uint64_t subObjects = 0, faces = 0, vertices = 0, polygons = 0, normals = 0, points = 0;
};

uint32_t W32(const std::vector<uint8_t>& d, uint32_t at) {
    uint32_t v = 0;
    le_Read32At(d.data(), d.size(), at, &v);
    return v;
}

// An array of count records of elemSize at offset lies inside the model data.
bool ArrayInside(uint32_t offset, int32_t count, uint32_t elemSize, uint32_t dataEnd) {
    if (count < 0) return false;
    if (count == 0) return true;
    if (offset < PAK_HEADER_SIZE || offset > dataEnd) return false;
    return (uint64_t)count * elemSize <= dataEnd - offset;
}

bool TerminatedIn(const uint8_t* p, size_t n) { return memchr(p, 0, n) != nullptr; }

// Index of a record inside an array from its offset, or -1.
int32_t IndexIn(uint32_t offset, uint32_t arrayAt, int32_t count, uint32_t elemSize) {
    if (offset < arrayAt) return -1;
    uint32_t delta = offset - arrayAt;
    if (delta % elemSize) return -1;
    uint32_t index = delta / elemSize;
    return index < (uint32_t)count ? (int32_t)index : -1;
}

bool CheckGeometry(const std::vector<uint8_t>& d, uint32_t at, GeometryPlan* g) {
    uint32_t end = (uint32_t)d.size();
    if (at < PAK_HEADER_SIZE || at > end || end - at < PAK_GEOMETRY_SIZE) return false;
    g->offset = at;
    g->faces = (int32_t)W32(d, at + 44);
    g->vertices = (int32_t)W32(d, at + 48);
    g->polygons = (int32_t)W32(d, at + 52);
    g->normals = (int32_t)W32(d, at + 56);
    g->points = (int32_t)W32(d, at + 60);
    g->faceAt = W32(d, at + 68);
    g->vertexAt = W32(d, at + 72);
    g->polygonAt = W32(d, at + 76);
    g->normalAt = W32(d, at + 80);
    g->pointAt = W32(d, at + 84);
    g->further = W32(d, at + 88);
    if (!ArrayInside(g->faceAt, g->faces, PAK_FACE_SIZE, end) ||
        !ArrayInside(g->vertexAt, g->vertices, PAK_VERTEX_SIZE, end) ||
        !ArrayInside(g->polygonAt, g->polygons, PAK_POLYGON_SIZE, end) ||
        !ArrayInside(g->normalAt, g->normals, PAK_NORMAL_SIZE, end) ||
        !ArrayInside(g->pointAt, g->points, PAK_POINT_SIZE, end) || g->further >= end)
        return false;
    for (int32_t i = 0; i < g->faces; i++)
        if (!TerminatedIn(d.data() + g->faceAt + (size_t)i * PAK_FACE_SIZE, PAK_FACE_NAME_SIZE)) return false;
    for (int32_t i = 0; i < g->polygons; i++) {
        uint32_t p = g->polygonAt + (uint32_t)i * PAK_POLYGON_SIZE;
        if (IndexIn(W32(d, p + 4), g->faceAt, g->faces, PAK_FACE_SIZE) < 0) return false;
        for (uint32_t k = 0; k < 3; k++) {
            if (IndexIn(W32(d, p + 8 + 4 * k), g->vertexAt, g->vertices, PAK_VERTEX_SIZE) < 0) return false;
            if (IndexIn(W32(d, p + 20 + 4 * k), g->normalAt, g->normals, PAK_NORMAL_SIZE) < 0) return false;
        }
    }
    return true;
}

// Checks the model data (header included, as in the file). False for a
// damaged file; a model over the polygon limit ends the program.
bool CheckModels(const std::vector<uint8_t>& d, Plan* plan) {
    uint32_t end = (uint32_t)d.size();
    uint32_t count = W32(d, 44);
    uint32_t table = W32(d, 56);
    if (!TerminatedIn(d.data() + 8, PAK_SET_NAME_SIZE)) return false;
    if (count > 0x7FFFFFFF || !ArrayInside(table, (int32_t)count, PAK_MODEL_ENTRY_SIZE, end)) return false;
    if (count && table < PAK_HEADER_SIZE) return false;
    for (uint32_t m = 0; m < count; m++) {
        ModelPlan mp;
        mp.size = (int32_t)W32(d, table + m * 8);
        mp.offset = W32(d, table + m * 8 + 4);
        if (mp.offset < PAK_HEADER_SIZE || mp.offset > end || end - mp.offset < PAK_MODEL_RECORD_SIZE) return false;
        mp.subObjects = (int32_t)W32(d, mp.offset + 4);
        if (!ArrayInside(mp.offset + PAK_MODEL_RECORD_SIZE, mp.subObjects, PAK_SUBOBJECT_SIZE, end)) return false;
        int64_t polygons = 0;
        for (int32_t s = 0; s < mp.subObjects; s++) {
            uint32_t at = W32(d, mp.offset + PAK_MODEL_RECORD_SIZE + (uint32_t)s * PAK_SUBOBJECT_SIZE);
            auto found = plan->geometryIndex.find(at);
            int32_t gi;
            if (found != plan->geometryIndex.end()) {
                gi = found->second;
            } else {
                GeometryPlan g;
                if (!CheckGeometry(d, at, &g)) return false;
                gi = (int32_t)plan->geometries.size();
                plan->geometries.push_back(g);
                plan->geometryIndex[at] = gi;
                plan->faces += (uint64_t)g.faces;
                plan->vertices += (uint64_t)g.vertices;
                plan->polygons += (uint64_t)g.polygons;
                plan->normals += (uint64_t)g.normals;
                plan->points += (uint64_t)g.points;
            }
            polygons += plan->geometries[(size_t)gi].polygons;
        }
        if (polygons > PAK_MODEL_POLYGONS_MAX) {
            char text[512];
            AppFormatArg args[] = {(long)polygons, (long)m};
            app_StringFormat(text, sizeof text, app_StringGet(56), args, 2);
            FatalBox(text, g_load.fileName);
        }
        plan->subObjects += (uint64_t)mp.subObjects;
        plan->models.push_back(mp);
    }
    return true;
}

// One embedded image's header, checked against what is left of the block.
struct ImageView {
    char name[PAK_IMAGE_NAME_SIZE + 1];
    uint16_t paletteFlag;
    uint16_t flags;
    uint32_t width, height, length;
    const uint8_t* data;
    const uint8_t* palette;  // or null
    uint32_t next;           // offset of the next image
};

bool ImageAt(const uint8_t* block, uint32_t size, uint32_t at, ImageView* v) {
    if (at > size || size - at < PAK_IMAGE_HEADER_SIZE) return false;
    LeReader r(block + at, size - at);
    r.fixedString(v->name, sizeof v->name, PAK_IMAGE_NAME_SIZE);
    v->paletteFlag = r.u16();
    v->flags = r.u16();
    v->width = r.u32();
    v->height = r.u32();
    v->length = r.u32();
    if (!r.ok() || v->width == 0 || v->height == 0 || v->width > PAK_IMAGE_SIDE_MAX ||
        v->height > PAK_IMAGE_SIDE_MAX)
        return false;
    uint64_t need = (uint64_t)PAK_IMAGE_HEADER_SIZE + v->length + (v->paletteFlag ? PAL_BYTES : 0);
    if (need > size - at) return false;
    v->data = block + at + PAK_IMAGE_HEADER_SIZE;
    v->palette = v->paletteFlag ? v->data + v->length : nullptr;
    v->next = at + (uint32_t)need;
    // The runs must cover the image, so a few bytes cannot ask for a large
    // block.
    uint64_t pixels = 0, want = (uint64_t)v->width * v->height;
    for (uint32_t i = 0; i < v->length && pixels < want; i++) {
        if (v->data[i] >= 0xC0) {
            if (++i >= v->length) break;
            uint32_t run = v->data[i - 1] & 0x3F;
            pixels += run ? run : 1;  // as the decoder reads a run of 0
        } else {
            pixels++;
        }
    }
    return pixels >= want;
}

bool CheckImages(const uint8_t* block, uint32_t size) {
    if (size == 0) return true;
    uint32_t count = 0;
    if (!le_Read32At(block, size, 0, &count)) return false;
    uint32_t at = 4;
    for (uint32_t i = 0; i < count; i++) {
        ImageView v;
        if (!ImageAt(block, size, at, &v)) return false;
        at = v.next;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Building the native records.

void TurnYZ(int32_t* y, int32_t* z) {
    int32_t oldY = *y;
    *y = *z;
    *z = (int32_t)(0u - (uint32_t)oldY);
}

// The three words at `at` as a record's x, y and z, turned as above.
template <typename Xyz>
void ReadTurned(const std::vector<uint8_t>& d, uint32_t at, Xyz* p) {
    p->x = (int32_t)W32(d, at);
    p->y = (int32_t)W32(d, at + 4);
    p->z = (int32_t)W32(d, at + 8);
    TurnYZ(&p->y, &p->z);
}

// Hands out arrays of one block, each aligned to 16 bytes.
constexpr uint64_t kAlign = 16;
struct Carver {
    uint8_t* at;
    template <typename T>
    T* Take(uint64_t count) {
        at += (kAlign - (reinterpret_cast<uintptr_t>(at) & (kAlign - 1))) & (kAlign - 1);
        T* p = reinterpret_cast<T*>(at);
        at += count * sizeof(T);
        return count ? p : nullptr;
    }
};

uint64_t NativeBytes(const Plan& p) {
    return sizeof(_PAK_HEADER) + p.models.size() * (sizeof(PakModelEntry) + sizeof(PakModel)) +
           p.subObjects * sizeof(PakSubObject) + p.geometries.size() * sizeof(PakGeometry) +
           p.faces * sizeof(PakFace) + p.vertices * sizeof(PakVertex) + p.polygons * sizeof(PakPolygon) +
           p.normals * sizeof(PakNormal) + p.points * sizeof(PakPoint) +
           kAlign * (2 + 2 * p.models.size() + 6 * p.geometries.size());
}

void BuildGeometry(const std::vector<uint8_t>& d, const GeometryPlan& gp, PakGeometry* g, Carver* c,
                   bool display) {
    const uint8_t* base = d.data();
    for (int i = 0; i < 11; i++) g->words[i] = W32(d, gp.offset + 4 * (uint32_t)i);
    g->faceCount = gp.faces;
    g->vertexCount = gp.vertices;
    g->polygonCount = gp.polygons;
    g->normalCount = gp.normals;
    g->pointCount = gp.points;
    g->word64 = W32(d, gp.offset + 64);
    g->further = gp.further;
    g->faces = c->Take<PakFace>((uint64_t)gp.faces);
    g->vertices = c->Take<PakVertex>((uint64_t)gp.vertices);
    g->polygons = c->Take<PakPolygon>((uint64_t)gp.polygons);
    g->normals = c->Take<PakNormal>((uint64_t)gp.normals);
    g->points = c->Take<PakPoint>((uint64_t)gp.points);

    for (int32_t i = 0; i < gp.faces; i++) {
        const uint8_t* p = base + gp.faceAt + (size_t)i * PAK_FACE_SIZE;
        PakFace* f = &g->faces[i];
        memset(f, 0, sizeof *f);
        memcpy(f->name, p, PAK_FACE_NAME_SIZE);
        f->log2Width = p[13];
        f->log2Height = p[14];
        f->byte15 = p[15];
        f->colour = (uint32_t)p[16] | ((uint32_t)p[17] << 8) | ((uint32_t)p[18] << 16) | ((uint32_t)p[19] << 24);
        f->byte20 = p[20];
        f->byte21 = p[21];
        f->flags = (uint16_t)(p[22] | (p[23] << 8));
        memcpy(f->tail, p + 24, 4);
    }
    for (int32_t i = 0; i < gp.vertices; i++) {
        uint32_t at = gp.vertexAt + (uint32_t)i * PAK_VERTEX_SIZE;
        PakVertex* v = &g->vertices[i];
        ReadTurned(d, at, v);
        for (uint32_t k = 0; k < 8; k++) v->words[k] = (int32_t)W32(d, at + 12 + 4 * k);
    }
    for (int32_t i = 0; i < gp.normals; i++) {
        uint32_t at = gp.normalAt + (uint32_t)i * PAK_NORMAL_SIZE;
        PakNormal* n = &g->normals[i];
        ReadTurned(d, at, n);
        n->word3 = W32(d, at + 12);
    }
    for (int32_t i = 0; i < gp.points; i++) {
        uint32_t at = gp.pointAt + (uint32_t)i * PAK_POINT_SIZE;
        PakPoint* pt = &g->points[i];
        ReadTurned(d, at, pt);
    }
    for (int32_t i = 0; i < gp.polygons; i++) {
        uint32_t at = gp.polygonAt + (uint32_t)i * PAK_POLYGON_SIZE;
        PakPolygon* p = &g->polygons[i];
        p->word0 = W32(d, at);
        p->face = &g->faces[IndexIn(W32(d, at + 4), gp.faceAt, gp.faces, PAK_FACE_SIZE)];
        for (uint32_t k = 0; k < 3; k++) {
            p->vertex[k] = &g->vertices[IndexIn(W32(d, at + 8 + 4 * k), gp.vertexAt, gp.vertices, PAK_VERTEX_SIZE)];
            p->normal[k] = &g->normals[IndexIn(W32(d, at + 20 + 4 * k), gp.normalAt, gp.normals, PAK_NORMAL_SIZE)];
        }
    }
    if (display) {
        for (int32_t i = 0; i < gp.faces; i++) {
            PakFace* f = &g->faces[i];
            if (f->flags & PAK_FACE_TEXTURED)
                pak_MaterialAdd(f);
            else
                FlatColourAdd(f);
        }
    }
}

_PAK_HEADER* Build(const std::vector<uint8_t>& d, const Plan& plan, void* memory, bool display) {
    Carver c{static_cast<uint8_t*>(memory)};
    _PAK_HEADER* h = c.Take<_PAK_HEADER>(1);
    memset(h, 0, sizeof *h);
    // Blanks stripped from both ends of the set name.
    char name[PAK_SET_NAME_SIZE + 1] = {};
    memcpy(name, d.data() + 8, PAK_SET_NAME_SIZE);
    size_t len = strnlen(name, PAK_SET_NAME_SIZE);
    while (len && name[len - 1] == ' ') name[--len] = 0;
    size_t start = 0;
    while (name[start] == ' ') start++;
    snprintf(h->name, sizeof h->name, "%s", name + start);
    h->palette = g_load.palette;
    h->modelCount = (int32_t)plan.models.size();
    h->radius = (int32_t)W32(d, 48) >> 1;
    h->baseHeight = (int32_t)W32(d, 52) >> 1;
    h->headerLength = W32(d, 56);
    h->dataEnd = W32(d, 60);
    h->imageEnd = W32(d, 64);
    h->word68 = W32(d, 68);
    h->models = c.Take<PakModelEntry>(plan.models.size());

    std::vector<PakGeometry*> geometries(plan.geometries.size());
    for (size_t i = 0; i < plan.geometries.size(); i++) {
        geometries[i] = c.Take<PakGeometry>(1);
        memset(geometries[i], 0, sizeof(PakGeometry));
        BuildGeometry(d, plan.geometries[i], geometries[i], &c, display);
    }
    for (size_t m = 0; m < plan.models.size(); m++) {
        const ModelPlan& mp = plan.models[m];
        PakModel* model = c.Take<PakModel>(1);
        h->models[m].size = mp.size >> 1;
        h->models[m].model = model;
        model->word0 = W32(d, mp.offset);
        model->subObjectCount = mp.subObjects;
        model->word8 = W32(d, mp.offset + 8);
        model->subObjects = c.Take<PakSubObject>((uint64_t)mp.subObjects);
        for (int32_t s = 0; s < mp.subObjects; s++) {
            uint32_t at = mp.offset + PAK_MODEL_RECORD_SIZE + (uint32_t)s * PAK_SUBOBJECT_SIZE;
            const uint8_t* p = d.data() + at;
            PakSubObject* so = &model->subObjects[s];
            memset(so, 0, sizeof *so);
            so->geometry = geometries[(size_t)plan.geometryIndex.at(W32(d, at))];
            for (uint32_t k = 0; k < 3; k++) so->angles[k] = (int32_t)W32(d, at + 4 + 4 * k);
            so->flags = p[16];
            memcpy(so->colour, p + 17, 3);
            memcpy(so->bytes20, p + 20, 12);
            memcpy(so->bytes36, p + 36, 8);
            if (so->flags & PAK_SUBOBJECT_FLAT_COLOUR) {
                int32_t index = NearestIndex(so->colour[0], so->colour[1], so->colour[2], true);
                so->colour[0] = (uint8_t)index;
                so->colour[1] = so->colour[2] = 0;
            }
        }
        // Attachment points: entries 0 and 1 take the first point of the
        // first sub-object, entry j point j-1.
        if (mp.subObjects > 0) {
            PakGeometry* first = model->subObjects[0].geometry;
            for (int32_t s = 0; s < mp.subObjects; s++) {
                int32_t n = s < 2 ? 0 : s - 1;
                model->subObjects[s].point = n < first->pointCount ? &first->points[n] : nullptr;
            }
        }
    }
    return h;
}

// ---------------------------------------------------------------------------
// Part information.

void InfoFree(RelocBlock* info, uint32_t serial) {
    const MemGlobalHeader* header = info ? mem_GlobalHeaderOf(info) : nullptr;
    // Only the block this model made: the level may have freed it already.
    if (!header || header->serial != serial) return;
    for (RelocGroup* node = info->groupFirst; node; node = node->next) {
        if (node->bound) mem_GlobalFreeNamed(node->bound);
        node->bound = nullptr;
    }
    mem_GlobalFreeNamed(info);
}

// Loads "name.PIB" when it exists: 0 with *out set (null when there is
// none), -1 for a damaged file or no memory.
int32_t InfoLoad(_PAK_HEADER* pak, RelocBlock** out) {
    *out = nullptr;
    char pib[PAK_NAME_MAX + 8];
    char base[PAK_NAME_MAX + 1];
    StripExtension(base, sizeof base, g_load.fileName);
    snprintf(pib, sizeof pib, "%s.PIB", base);
    if (!file_Exists(pib)) return 0;
    void* image = file_LoadFileEx(pib);
    if (!image) return -1;
    int32_t size = file_State.lastSize;
    int64_t bytes = size > 0 ? level_RelocBlockSize(image, (uint32_t)size) : -1;
    void* memory = bytes > 0 && bytes < 0x7FFFFFFF ? mem_GlobalAllocNamed("_PAKINFO", (int32_t)bytes) : nullptr;
    RelocBlock* info = memory ? level_RelocBlockMake(memory, (size_t)bytes, image, (uint32_t)size) : nullptr;
    mem_Free(image);
    if (!info) {
        if (memory) mem_GlobalFreeNamed(memory);
        return -1;
    }
    mem_GlobalOwnerSet(info, level_OwnerKey);
    uint32_t serial = mem_GlobalHeaderOf(info)->serial;
    for (RelocGroup* node = info->groupFirst; node; node = node->next) {
        bool ok = false;
        uint32_t model = level_RelocWord(info, node->offset + kNodeModelIndex, &ok);
        if (!ok || model >= (uint32_t)pak->modelCount) {
            InfoFree(info, serial);
            return -1;
        }
        auto* orient = static_cast<_ORIENT_OBJ_PART_STRUCT*>(
            mem_GlobalAllocNamed("_ORIENT_OBJ_PART_STRUCT", (int32_t)sizeof(_ORIENT_OBJ_PART_STRUCT)));
        if (!orient) {
            InfoFree(info, serial);
            return -1;
        }
        mem_GlobalOwnerSet(orient, level_OwnerKey);
        node->bound = orient;
        PakModel* m = pak->models[model].model;
        for (int32_t i = 0; i < PAK_ORIENT_PARTS; i++) {
            RelocSub* part = pak_ModelFindByName(node, pak_OrientPartNames[i]);
            if (!part) continue;
            uint32_t index = level_RelocWord(info, part->offset + kPartSubObject, &ok);
            // A part naming a sub-object the model lacks has none.
            orient->part[i] = ok && index < (uint32_t)m->subObjectCount ? &m->subObjects[index] : nullptr;
        }
    }
    *out = info;
    return 0;
}

// Reads n bytes of the current file at offset into out.
bool ReadAt(uint32_t offset, void* out, uint32_t n) {
    if (n == 0) return true;
    if (file_Seek((int32_t)offset, 0) < 0) return false;
    return file_Read(out, (int32_t)n) == (int32_t)n;
}

}  // namespace

// ---------------------------------------------------------------------------

_PAK_HEADER* pak_LoadPakEx(const char* name, const char* paletteKey, PALREF* palette) {
    if (!name || strlen(name) > PAK_NAME_MAX) return nullptr;
    snprintf(app_PakInfoString, sizeof app_PakInfoString, "pak_LoadPakEx : attempting \"%s\"", name);
    snprintf(g_load.fileName, sizeof g_load.fileName, "%s", name);
    bool display = level_GameMode.display != 0;

    int32_t fileSize = file_FileSizeEx(name);
    if (fileSize < (int32_t)PAK_HEADER_SIZE || file_OpenEx(name) < 0) return nullptr;
    std::vector<uint8_t> header(PAK_HEADER_SIZE);
    if (!ReadAt(0, header.data(), PAK_HEADER_SIZE)) {
        file_Close();
        return nullptr;
    }
    uint32_t version = W32(header, 4);
    if (version < PAK_VERSION_MIN || version > PAK_VERSION_MAX) {
        file_Close();
        AppFormatArg args[] = {name};
        StringBox(59, args, 1, app_Title);
        return nullptr;
    }
    uint32_t dataEnd = W32(header, 60);
    uint32_t imageEnd = W32(header, 64);
    if (dataEnd < PAK_HEADER_SIZE || dataEnd > (uint32_t)fileSize || imageEnd < dataEnd ||
        imageEnd > (uint32_t)fileSize) {
        file_Close();
        return nullptr;
    }
    std::vector<uint8_t> data(dataEnd);
    memcpy(data.data(), header.data(), PAK_HEADER_SIZE);
    if (!ReadAt(PAK_HEADER_SIZE, data.data() + PAK_HEADER_SIZE, dataEnd - PAK_HEADER_SIZE)) {
        file_Close();
        return nullptr;
    }
    // Images only where there is a picture to draw them in.
    uint8_t* images = nullptr;
    uint32_t imageSize = display ? imageEnd - dataEnd : 0;
    if (imageSize) {
        images = static_cast<uint8_t*>(mem_AllocInHeap2(imageSize));
        if (!images) {
            file_Close();
            char text[512];
            app_StringFormat(text, sizeof text, app_StringGet(58), nullptr, 0);
            FatalBox(text, app_Title);
        }
        if (!ReadAt(dataEnd, images, imageSize)) {
            file_Close();
            mem_FreeInHeap2(images);
            return nullptr;
        }
    }
    file_Close();

    Plan plan;
    g_load.prefix[0] = 0;
    if (!CheckModels(data, &plan) || !CheckImages(images, imageSize)) {
        if (images) mem_FreeInHeap2(images);
        return nullptr;
    }
    uint64_t bytes = NativeBytes(plan);
    void* memory = bytes < 0x7FFFFFFF ? mem_AllocEx((uint32_t)bytes, 16, "_PAK_HEADER with data") : nullptr;
    if (!memory) {
        if (images) mem_FreeInHeap2(images);
        AppFormatArg args[] = {name};
        StringBox(61, args, 1, app_Title);
        return nullptr;
    }

    // Palette: the caller's, the ".PAL" companion, or the level's.
    g_load.palette = nullptr;
    if (palette && paletteKey) {
        g_load.palette = palette;
        StripExtension(g_load.prefix, sizeof g_load.prefix, paletteKey);
        pal_ApplyRemap(palette, 1);
    } else {
        char pal[PAK_NAME_MAX + 8];
        size_t len = strlen(name);
        snprintf(pal, sizeof pal, "%.*s.PAL", (int)(len >= 4 ? len - 4 : len), name);
        PALREF* own = file_Exists(pal) ? pal_LoadPalref(pal) : nullptr;
        if (own) {
            pal_RebuildPalref(own, level_Brighten[0], level_Brighten[1], level_Brighten[2], level_Brighten[3],
                              level_Brighten[4]);
            pal_ApplyRemap(own, 1);
            g_load.palette = own;
            StripExtension(g_load.prefix, sizeof g_load.prefix, name);
        } else {
            g_load.palette = level_Palref;
        }
    }

    if (images) {
        pak_AddPcxImages(images, imageSize, g_load.prefix);
        mem_FreeInHeap2(images);
    }
    _PAK_HEADER* pak = Build(data, plan, memory, display);

    RelocBlock* info = nullptr;
    if (InfoLoad(pak, &info) != 0) {
        mem_Free(memory);
        return nullptr;
    }
    pak->partInfo = info;
    snprintf(app_PakInfoString, sizeof app_PakInfoString, "pak_LoadPakEx : \"%s\" SUCCESS!", name);
    return pak;
}

_PAK_HEADER* pak_Load(const char* name) {
    if (!name) return nullptr;
    for (_PAK_ENTRY* e = pak_List.head; e; e = e->next)
        if (text_EqualNoCase(e->name, name)) {
            e->refCount++;
            return e->pak;
        }
    // Entries live outside the level memory, so that freeing a level never
    // leaves the list pointing at freed blocks.
    size_t len = strlen(name);
    auto* e = static_cast<_PAK_ENTRY*>(mem_AllocInHeap1((uint32_t)(sizeof(_PAK_ENTRY) + len + 1), "_PAK_ENTRY"));
    if (!e) app_FatalErrorBox("pak_Load", name);
    memset(e, 0, sizeof *e);
    char* text = reinterpret_cast<char*>(e + 1);
    memcpy(text, name, len + 1);
    e->name = text;
    e->refCount = 1;
    e->next = pak_List.head;
    if (pak_List.head) pak_List.head->prev = e;
    pak_List.head = e;
    pak_List.count++;

    e->pak = pak_LoadPakEx(name, nullptr, nullptr);
    if (!e->pak) {
        pak_List.head = e->next;
        if (e->next) e->next->prev = nullptr;
        pak_List.count--;
        mem_FreeInHeap1(e);
        app_FatalErrorBox("pak_Load", name);
    }
    e->info = e->pak->partInfo;
    e->infoSerial = e->info ? mem_GlobalHeaderOf(e->info)->serial : 0;
    return e->pak;
}

namespace {
void EntryRemove(_PAK_ENTRY* e) {
    InfoFree(e->info, e->infoSerial);
    if (e->prev) e->prev->next = e->next;
    else pak_List.head = e->next;
    if (e->next) e->next->prev = e->prev;
    pak_List.count--;
    mem_FreeInHeap1(e);
}
}  // namespace

int32_t pak_Release(const char* name) {
    if (!name) return -1;
    for (_PAK_ENTRY* e = pak_List.head; e; e = e->next)
        if (text_EqualNoCase(e->name, name)) {
            if (e->refCount < 2)
                EntryRemove(e);
            else
                e->refCount--;
            return 0;
        }
    return -1;
}

void pak_UnloadAll(void) {
    while (pak_List.head) EntryRemove(pak_List.head);
    pak_List.count = 0;
}

_PAK_HEADER* pak_InstanceCreate(const _PAK_HEADER* pak) {
    if (!pak) return nullptr;
    uint64_t bytes = sizeof(_PAK_HEADER) + (uint64_t)pak->modelCount * sizeof(PakModelEntry) + 2 * kAlign;
    for (int32_t m = 0; m < pak->modelCount; m++) {
        const PakModel* model = pak->models[m].model;
        bytes += sizeof(PakModel) + (uint64_t)model->subObjectCount * (sizeof(PakSubObject) + 3 * kAlign) + 2 * kAlign;
        for (int32_t s = 0; s < model->subObjectCount; s++) {
            const PakGeometry* g = model->subObjects[s].geometry;
            bytes += sizeof(PakGeometry) + (uint64_t)g->vertexCount * sizeof(PakVertex) +
                     (uint64_t)g->polygonCount * sizeof(PakPolygon);
        }
    }
    if (bytes >= 0x7FFFFFFF) return nullptr;
    void* memory = mem_AllocEx((uint32_t)bytes, 16, "_PAK instance PTR");
    if (!memory) return nullptr;
    Carver c{static_cast<uint8_t*>(memory)};
    _PAK_HEADER* h = c.Take<_PAK_HEADER>(1);
    *h = *pak;
    h->models = c.Take<PakModelEntry>((uint64_t)pak->modelCount);
    for (int32_t m = 0; m < pak->modelCount; m++) {
        const PakModel* src = pak->models[m].model;
        PakModel* model = c.Take<PakModel>(1);
        *model = *src;
        h->models[m].size = pak->models[m].size;
        h->models[m].model = model;
        model->subObjects = c.Take<PakSubObject>((uint64_t)src->subObjectCount);
        for (int32_t s = 0; s < src->subObjectCount; s++) {
            model->subObjects[s] = src->subObjects[s];
            const PakGeometry* sg = src->subObjects[s].geometry;
            PakGeometry* g = c.Take<PakGeometry>(1);
            *g = *sg;
            g->vertices = c.Take<PakVertex>((uint64_t)sg->vertexCount);
            g->polygons = c.Take<PakPolygon>((uint64_t)sg->polygonCount);
            if (sg->vertexCount) memcpy(g->vertices, sg->vertices, (size_t)sg->vertexCount * sizeof(PakVertex));
            for (int32_t p = 0; p < sg->polygonCount; p++) {
                g->polygons[p] = sg->polygons[p];
                // The same vertices, in the copy.
                for (int k = 0; k < 3; k++)
                    g->polygons[p].vertex[k] = g->vertices + (sg->polygons[p].vertex[k] - sg->vertices);
            }
            model->subObjects[s].geometry = g;
        }
    }
    return h;
}

int32_t pak_ModelPartGet(const _PAK_HEADER* pak, int32_t model, int32_t n, int32_t* out) {
    if (!out) return -1;
    out[0] = out[1] = out[2] = 0;
    const PakGeometry* g = pak_ModelGeometryGet(pak, model);
    if (!g || n < 1 || n > g->pointCount) return -1;
    const PakPoint& p = g->points[n - 1];
    out[0] = p.x >> 1;
    out[1] = p.y >> 1;
    out[2] = p.z >> 1;
    return 0;
}

PakSubObject* pak_SubObjectGet(const _PAK_HEADER* pak, int32_t model, int32_t index) {
    if (!pak || model < 0 || model >= pak->modelCount) return nullptr;
    PakModel* m = pak->models[model].model;
    if (index < 0 || index >= m->subObjectCount) return nullptr;
    return &m->subObjects[index];
}

PakGeometry* pak_ModelGeometryGet(const _PAK_HEADER* pak, int32_t model) {
    PakSubObject* s = pak_SubObjectGet(pak, model, 0);
    return s ? s->geometry : nullptr;
}

RelocSub* pak_ModelFindByName(RelocGroup* node, const char* name) {
    if (!node || !name) return nullptr;
    for (RelocSub* part = node->first; part; part = part->next)
        if (part->name && text_EqualNoCase(part->name, name)) return part;
    return nullptr;
}

RelocGroup* pak_InfoPartFind(RelocBlock* info, int32_t id) {
    if (!info) return nullptr;
    for (RelocGroup* node = info->groupFirst; node; node = node->next) {
        bool ok = false;
        if ((int32_t)level_RelocWord(info, node->offset + kNodeModelIndex, &ok) == id && ok) return node;
    }
    return nullptr;
}

const uint8_t* pak_TextureFind(const char* key) {
    PakTextureEntry* e = EntryFind(key);
    if (!e) return nullptr;
    pak_TextureWidth = e->width;
    pak_TextureHeight = e->height;
    return e->image;
}

PakTextureImage* pak_TextureEntryFind(const char* key) {
    PakTextureEntry* e = EntryFind(key);
    if (!e) return nullptr;
    pak_TextureWidth = e->width;
    pak_TextureHeight = e->height;
    return &e->card;
}

void pak_TextureTableReset(void) {
    memset(pak_Textures.entries, 0, sizeof pak_Textures.entries);
    pak_Textures.count = 0;
    // 4 x 4 blocks of 0x01 and 0xFF, alternating along each row and from one
    // band of rows to the next.
    for (int32_t y = 0; y < PAK_DEFAULT_TEXTURE_SIZE; y++)
        for (int32_t x = 0; x < PAK_DEFAULT_TEXTURE_SIZE; x++)
            pak_Textures.defaultTexture[y * PAK_DEFAULT_TEXTURE_SIZE + x] = ((x / 4 + y / 4) & 1) ? 0xFF : 0x01;
}

void pak_AddPcxImages(const uint8_t* block, uint32_t size, const char* name) {
    uint32_t count = 0;
    if (!block || !le_Read32At(block, size, 0, &count)) return;
    uint32_t at = 4;
    for (uint32_t i = 0; i < count; i++) {
        ImageView v;
        if (!ImageAt(block, size, at, &v)) return;
        at = v.next;
        if (pak_ProgressRoutine) pak_ProgressRoutine();
        char key[PAK_TEXTURE_KEY_SIZE];
        snprintf(key, sizeof key, "%s:%s", name ? name : "", v.name);
        if (EntryFind(key)) continue;
        PakTextureEntry* e = EntryNew();
        snprintf(e->key, sizeof e->key, "%s", key);
        uint32_t w = v.width, h = v.height;
        auto* pixels = static_cast<uint8_t*>(mem_AllocEx(w * h, 4, e->key));
        if (!pixels) {
            char text[512];
            app_StringFormat(text, sizeof text, app_StringGet(57), nullptr, 0);
            mem_DumpStatsToFile("MEMSTATS.TXT");
            FatalBox(text, "pak_AddPcxImages");
        }
        int32_t got = pcx_DecodeRle(v.data, (int32_t)v.length, pixels, (int32_t)(w * h));
        if (got < (int32_t)(w * h)) memset(pixels + (got > 0 ? got : 0), 0, w * h - (uint32_t)(got > 0 ? got : 0));
        // Halved unless kept at full size; a side of 1 cannot be halved.
        if (!(v.flags & PAK_FACE_FULL_SIZE) && w >= 2 && h >= 2) {
            pal_Second.width = (int32_t)w;
            pal_Second.height = (int32_t)h;
            pal_Second.mode = 8;
            pcx_HalveImage(pixels);
            w /= 2;
            h /= 2;
            if (uint8_t* smaller = static_cast<uint8_t*>(mem_Realloc(pixels, w * h, 4))) pixels = smaller;
        }
        if (v.flags & PAK_FACE_5BIT) {
            pak_ColourBytesTo5Bit(pixels, (int32_t)w, (int32_t)h);
        } else if ((v.flags & PAK_FACE_TRANSLUCENT_MASK) != PAK_FACE_TRANSLUCENT_A && v.palette) {
            memcpy(pal_Second.palette, v.palette, PAL_BYTES);
            RemapImage(pixels, (int32_t)(w * h), (v.flags & PAK_FACE_CR2) != 0);
        }
        e->image = pixels;
        e->width = (uint16_t)w;
        e->height = (uint16_t)h;
        e->card.pixels = pixels;
        e->card.log2Width = RoundLog2(w);
        e->card.log2Height = RoundLog2(h);
        e->card.renderFlags = TranslucentBits(v.flags, v.flags);
    }
}

void pak_MaterialAdd(PakFace* face) {
    if (!face) return;
    if (hw3d_Active) face->flags &= (uint16_t)~PAK_FACE_CARD_CLEARED;
    char name[PAK_FACE_NAME_SIZE + 1] = {};
    memcpy(name, face->name, PAK_FACE_NAME_SIZE);
    char key[PAK_TEXTURE_KEY_SIZE];
    snprintf(key, sizeof key, "%s:%s", g_load.prefix, name);
    PakTextureEntry* e = EntryFind(key);
    if (e) {
        e->refCount++;
        e->card.renderFlags = TranslucentBits(e->card.renderFlags, face->flags);
    } else {
        uint8_t* image = name[0] ? pcx_Load(name) : nullptr;
        int32_t w = PAK_DEFAULT_TEXTURE_SIZE, h = PAK_DEFAULT_TEXTURE_SIZE;
        if (image) {
            w = pal_Second.width;
            h = pal_Second.height;
        } else {
            LogMissingTexture(name);
        }
        e = EntryNew();
        snprintf(e->key, sizeof e->key, "%s", key);
        e->image = image ? image : pak_Textures.defaultTexture;
        e->width = (uint16_t)w;
        e->height = (uint16_t)h;
        e->refCount = 1;
        e->card.pixels = e->image;
        e->card.log2Width = RoundLog2((uint32_t)w);
        e->card.log2Height = RoundLog2((uint32_t)h);
        e->card.renderFlags = TranslucentBits(face->flags, face->flags);
        if (image) {
            if (pak_AspectCheck && (w > 8 * h || h > w)) StringBox(60, nullptr, 0, app_Title);
            if (face->flags & PAK_FACE_5BIT)
                pak_ColourBytesTo5Bit(image, w, h);
            else if ((face->flags & PAK_FACE_TRANSLUCENT_MASK) != PAK_FACE_TRANSLUCENT_A)
                RemapImage(image, w * h, (face->flags & PAK_FACE_CR2) != 0);
        }
    }
    face->texture = e->image;
    face->log2Width = RoundLog2(e->width);
    face->log2Height = RoundLog2(e->height);
}

void pak_ColourBytesTo5Bit(uint8_t* block, int32_t width, int32_t height) {
    if (!block || width <= 0 || height <= 0) return;
    size_t n = (size_t)width * (size_t)height;
    for (size_t i = 0; i < n; i++) block[i] = (uint8_t)(block[i] >> 3);
}
