// PAK model files: loading with reference counts, the checks, the turn to
// world axes, textures and flat colours, palettes, part information and
// instance copies.
#include <regex>

#include "pak_fixture.h"
#include "shell/dump.h"
#include "shell/fatal.h"

namespace {

using PakLoad = PakTest;

_PAK_HEADER* LoadQuiet(const char* name, std::string* boxes = nullptr) {
    testing::internal::CaptureStderr();
    _PAK_HEADER* p = pak_LoadPakEx(name, nullptr, nullptr);
    std::string err = testing::internal::GetCapturedStderr();
    if (boxes) *boxes = err;
    return p;
}

TEST_F(PakLoad, VersionWindow) {
    struct Case {
        uint32_t version;
        bool loads;
    } cases[] = {{0x2000, false}, {0x2001, true}, {0x10000, true}, {0x10001, false}, {0, false}};
    for (const Case& c : cases) {
        MkPak p = OneModel(Polygons(1));
        p.version = c.version;
        Write("v.pak", mkdata_PakBuild(p));
        std::string boxes;
        _PAK_HEADER* h = LoadQuiet("v.pak", &boxes);
        EXPECT_EQ(h != nullptr, c.loads) << std::hex << c.version;
        // The refusal names the file; a load writes its success line.
        EXPECT_EQ(boxes.find("box: ") != std::string::npos && boxes.find("\"v.pak\"") != std::string::npos,
                  !c.loads)
            << boxes;
        if (c.loads) {
            EXPECT_STREQ(app_PakInfoString, "pak_LoadPakEx : \"v.pak\" SUCCESS!");
        }
    }
}

TEST_F(PakLoad, PolygonLimitPerModel) {
    Write("ok.pak", mkdata_PakBuild(OneModel(Polygons(PAK_MODEL_POLYGONS_MAX))));
    _PAK_HEADER* h = LoadQuiet("ok.pak");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(pak_ModelGeometryGet(h, 0)->polygonCount, 1330);

    // One polygon too many, also when two sub-objects share one geometry:
    // string 56 in a box titled with the file, and the program ends.
    Write("over.pak", mkdata_PakBuild(OneModel(Polygons(1331))));
    MkPak shared = OneModel(Polygons(666));
    shared.models[0].subObjects.push_back({0, 0, {0, 0, 0}});
    Write("shared.pak", mkdata_PakBuild(shared));
    EXPECT_EXIT(pak_LoadPakEx("over.pak", nullptr, nullptr), testing::ExitedWithCode(APP_EXIT_DATA_ERROR),
                "box: over.pak: Too many polygons \\(1331\\) in model 0");
    EXPECT_EXIT(pak_LoadPakEx("shared.pak", nullptr, nullptr), testing::ExitedWithCode(APP_EXIT_DATA_ERROR),
                "box: shared.pak: Too many polygons \\(1332\\) in model 0");
}

TEST_F(PakLoad, SameNameSharesOneBlockUntilTheLastRelease) {
    WriteDataSetModels();
    _PAK_HEADER* a = pak_Load("crate.pak");
    ASSERT_NE(a, nullptr);
    RelocBlock* info = a->partInfo;
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(pak_Load("CRATE.PAK"), a);
    EXPECT_EQ(pak_List.count, 1);
    EXPECT_EQ(pak_List.head->refCount, 2);
    EXPECT_EQ(pak_Release("crate.pak"), 0);
    EXPECT_EQ(pak_List.count, 1);
    EXPECT_NE(mem_GlobalHeaderOf(info), nullptr);
    EXPECT_EQ(pak_Release("crate.pak"), 0);
    EXPECT_EQ(pak_List.count, 0);
    EXPECT_EQ(pak_List.head, nullptr);
    // The part information went with the last reference.
    EXPECT_EQ(mem_GlobalHeaderOf(info), nullptr);
    EXPECT_EQ(pak_Release("crate.pak"), -1);
    EXPECT_EQ(pak_Load(nullptr), nullptr);
}

TEST_F(PakLoad, AMissingFileEndsThroughTheFatalBox) {
    EXPECT_EXIT(pak_Load("nothere.pak"), testing::ExitedWithCode(APP_EXIT_DATA_ERROR), "pak_Load.*nothere.pak");
}

TEST_F(PakLoad, UnloadAllForgetsEveryEntryAfterTheLevelFreedItsBlocks) {
    WriteDataSetModels();
    level_OwnerKey = mem_GlobalOwnerKeyNew();
    void* mark = mem_AllocEx(0, 4, "Server level_mem_start");
    ASSERT_NE(pak_Load("boo.pak"), nullptr);
    ASSERT_NE(pak_Load("crate.pak"), nullptr);
    EXPECT_EQ(pak_List.count, 2);
    // The level frees its memory and the named blocks of its owner first.
    mem_FreeFrom(mark);
    mem_GlobalFreeByOwner(level_OwnerKey);
    pak_UnloadAll();
    EXPECT_EQ(pak_List.count, 0);
    EXPECT_NE(pak_Load("boo.pak"), nullptr);
}

TEST_F(PakLoad, TurnedToWorldAxesAndHalved) {
    WriteDataSetModels();
    _PAK_HEADER* h = LoadQuiet("boo.pak");
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ(h->name, "boo");
    EXPECT_EQ(h->partInfo, nullptr);
    EXPECT_EQ(h->radius, 0x8000);
    EXPECT_EQ(h->baseHeight, 0x4000);
    ASSERT_EQ(h->modelCount, 1);
    EXPECT_EQ(h->models[0].size, 0x100000);
    PakGeometry* g = pak_ModelGeometryGet(h, 0);
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->vertexCount, 8);
    // On disk (-h, h, -h) and (-h, -h, h): y and z become (z, -y).
    EXPECT_EQ(g->vertices[2].y, -0x4000);
    EXPECT_EQ(g->vertices[2].z, -0x4000);
    EXPECT_EQ(g->vertices[4].y, 0x4000);
    EXPECT_EQ(g->vertices[4].z, 0x4000);
    EXPECT_EQ(g->normals[2].y, 0);
    EXPECT_EQ(g->normals[2].z, -16384);
    // Polygons point at their own geometry's records.
    EXPECT_EQ(g->polygons[0].vertex[0], &g->vertices[1]);
    EXPECT_EQ(g->polygons[0].normal[2], &g->normals[0]);
    EXPECT_EQ(g->polygons[11].face, &g->faces[5]);

    int32_t out[3] = {7, 7, 7};
    struct Case {
        int32_t model, n, result, x, y, z;
    } cases[] = {{0, 1, 0, 0, 0, -0x4000}, {0, 2, 0, 0, 0, 0x4000}, {0, 0, -1, 0, 0, 0},
                 {0, 3, -1, 0, 0, 0},      {1, 1, -1, 0, 0, 0},      {-1, 1, -1, 0, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(pak_ModelPartGet(h, c.model, c.n, out), c.result) << c.model << " " << c.n;
        EXPECT_EQ(out[0], c.x);
        EXPECT_EQ(out[1], c.y);
        EXPECT_EQ(out[2], c.z);
    }
    EXPECT_EQ(pak_SubObjectGet(h, 0, 0)->point, &g->points[0]);
    EXPECT_EQ(pak_SubObjectGet(h, 0, 1), nullptr);
    EXPECT_EQ(pak_ModelGeometryGet(h, 1), nullptr);
}

TEST_F(PakLoad, ASharedGeometryIsMadeAndTurnedOnce) {
    WriteDataSetModels();
    _PAK_HEADER* h = LoadQuiet("crate.pak");
    ASSERT_NE(h, nullptr);
    PakSubObject* body = pak_SubObjectGet(h, 0, 0);
    PakSubObject* lid = pak_SubObjectGet(h, 0, 1);
    ASSERT_NE(lid, nullptr);
    EXPECT_EQ(body->geometry, lid->geometry);
    // (-h, h, -h) on disk.
    EXPECT_EQ(body->geometry->vertices[2].y, -0x3000);
    EXPECT_EQ(body->geometry->vertices[2].z, -0x3000);
    // Entries 0 and 1 take the first point; the geometry has only one.
    EXPECT_EQ(body->point, &body->geometry->points[0]);
    EXPECT_EQ(lid->point, &body->geometry->points[0]);
    // The lid's flat colour became a palette index.
    EXPECT_EQ(lid->colour[0], pal_NearestIndex(150, 110, 60));
}

TEST_F(PakLoad, DisplayDecidesImagesAndFaces) {
    WriteDataSetModels();
    struct Case {
        int32_t display;
        int32_t entries;
    } cases[] = {{0, 0}, {1, 2}};
    for (const Case& c : cases) {
        pak_TextureTableReset();
        level_GameMode.display = c.display;
        _PAK_HEADER* h = LoadQuiet("crate.pak");
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(pak_Textures.count, c.entries);
        PakFace* face = &pak_ModelGeometryGet(h, 0)->faces[0];
        const uint8_t* image = pak_TextureFind("crate:crate.pcx");
        if (!c.display) {
            EXPECT_EQ(image, nullptr);
            EXPECT_EQ(face->texture, nullptr);
            continue;
        }
        // The embedded 32 x 32 image, halved, under "file:image".
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(pak_TextureWidth, 16);
        EXPECT_EQ(pak_TextureHeight, 16);
        EXPECT_EQ(face->texture, image);
        EXPECT_EQ(face->log2Width, 4);
        PakTextureImage* card = pak_TextureEntryFind("CRATE:CRATE.PCX");
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->pixels, image);
        EXPECT_EQ(card->log2Height, 4);
        // The model's own palette, from its ".PAL" companion.
        ASSERT_NE(h->palette, nullptr);
        EXPECT_EQ(pal_Palrefs.head, h->palette);
    }
}

TEST_F(PakLoad, PaletteFromTheCallerOrTheLevel) {
    WriteDataSetModels();
    PALREF* given = pal_LoadPalref("crate.PAL");
    ASSERT_NE(given, nullptr);
    _PAK_HEADER* h = pak_LoadPakEx("crate.pak", "glass.pcx", given);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->palette, given);
    // The key without its extension is the texture key prefix.
    EXPECT_NE(pak_TextureFind("glass:CRATE.PCX"), nullptr);
    EXPECT_EQ(pak_TextureFind("crate:CRATE.PCX"), nullptr);

    level_Palref = given;
    h = LoadQuiet("boo.pak");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->palette, given);
}

TEST_F(PakLoad, FlatColoursShareEntriesAndFiveBitColoursTakeNone) {
    MkPakGeometry g = Polygons(1);
    g.faces = {Flat(200, 0, 0), Flat(200, 0, 0), Flat(0, 200, 0), Flat(200, 0, 0), Flat(0x48, 0, 0, 0x0080)};
    Write("flat.pak", mkdata_PakBuild(OneModel(g)));
    _PAK_HEADER* h = LoadQuiet("flat.pak");
    ASSERT_NE(h, nullptr);
    // Two colours, however many faces.
    EXPECT_EQ(pak_Textures.count, 2);
    PakFace* f = pak_ModelGeometryGet(h, 0)->faces;
    EXPECT_EQ(f[0].colour, f[1].colour);
    EXPECT_EQ(f[0].colour >> 24, (uint32_t)pal_NearestIndex(200, 0, 0));
    EXPECT_EQ(f[0].colour & 0xFFFFFF, 200u);
    EXPECT_EQ(f[4].colour, ((0x48u >> 3) & 0x1F) | (0x48u << 8));
}

TEST_F(PakLoad, TexturesFromFilesOrTheDefault) {
    // A loose image is loaded by the face's name; a missing one is logged
    // and the default texture stands in.
    uint8_t palette[768];
    mkdata_GamePalette(palette);
    std::vector<uint8_t> pixels(8 * 8, 5);
    ASSERT_EQ(mkdata_PcxWrite(".", "WALL.PCX", 8, 8, pixels.data(), palette), 0);
    MkPakGeometry g = Polygons(1);
    g.faces = {Textured("WALL.PCX"), Textured("NOPE.PCX"), Textured("wall.pcx", 0x6108)};
    Write("t.pak", mkdata_PakBuild(OneModel(g)));
    _PAK_HEADER* h = LoadQuiet("t.pak");
    ASSERT_NE(h, nullptr);
    PakFace* f = pak_ModelGeometryGet(h, 0)->faces;
    EXPECT_EQ(f[0].log2Width, 3);
    EXPECT_EQ(f[1].texture, pak_Textures.defaultTexture);
    EXPECT_EQ(f[1].log2Width, 4);
    EXPECT_EQ(pak_Textures.defaultTexture[0], 0x01);
    EXPECT_EQ(pak_Textures.defaultTexture[4], 0xFF);
    EXPECT_EQ(test_ReadText("err.txt"), "copy NOPE.PCX p:\n");
    // The same key again: one entry, counted twice, with the translucent bits.
    EXPECT_EQ(f[2].texture, f[0].texture);
    EXPECT_EQ(pak_Textures.count, 2);
    EXPECT_EQ(pak_Textures.entries[0].refCount, 2);
    EXPECT_EQ(pak_Textures.entries[0].card.renderFlags & (1u << 17), 1u << 17);
    // Without the ".PAL" the prefix is empty.
    EXPECT_NE(pak_TextureFind(":WALL.PCX"), nullptr);
}

TEST_F(PakLoad, TheTextureTableLimitEndsTheProgram) {
    PakFace face = {};
    snprintf(face.name, sizeof face.name, "X.PCX");
    face.flags = PAK_FACE_TEXTURED;
    pak_Textures.count = PAK_TEXTURE_ENTRIES_USED_MAX;
    EXPECT_EXIT(pak_MaterialAdd(&face), testing::ExitedWithCode(APP_EXIT_DATA_ERROR),
                "box: PAK Loader: Material Limited exceeded!");
}

TEST_F(PakLoad, PartInformationBindsTheNamedParts) {
    WriteDataSetModels();
    _PAK_HEADER* h = LoadQuiet("crate.pak");
    ASSERT_NE(h, nullptr);
    ASSERT_NE(h->partInfo, nullptr);
    RelocGroup* node = pak_InfoPartFind(h->partInfo, 0);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(pak_InfoPartFind(h->partInfo, 1), nullptr);
    EXPECT_NE(pak_ModelFindByName(node, "canopy"), nullptr);
    EXPECT_EQ(pak_ModelFindByName(node, "Rudder"), nullptr);
    auto* orient = static_cast<_ORIENT_OBJ_PART_STRUCT*>(node->bound);
    ASSERT_NE(orient, nullptr);
    EXPECT_EQ(orient->part[0], pak_SubObjectGet(h, 0, 0));  // Body
    EXPECT_EQ(orient->part[9], pak_SubObjectGet(h, 0, 1));  // Canopy
    EXPECT_EQ(orient->part[10], nullptr);
    EXPECT_STREQ(pak_OrientPartNames[90], "Mount Right Inner Bottom");
}

TEST_F(PakLoad, PartInformationCases) {
    WriteDataSetModels();
    struct Case {
        const char* what;
        std::vector<MkPibNode> nodes;
        bool loads;
    } cases[] = {
        {"names none of the parts", {{0, {{"Spoiler", 0}, {"", 1}}}}, true},
        {"a sub-object the model lacks", {{0, {{"Body", 7}}}}, true},
        {"a model the file lacks", {{5, {{"Body", 0}}}}, false},
    };
    for (const Case& c : cases) {
        Write("crate.PIB", mkdata_PibBuild(c.nodes));
        _PAK_HEADER* h = LoadQuiet("crate.pak");
        EXPECT_EQ(h != nullptr, c.loads) << c.what;
        if (!h) continue;
        auto* orient = static_cast<_ORIENT_OBJ_PART_STRUCT*>(h->partInfo->groupFirst->bound);
        for (int i = 0; i < PAK_ORIENT_PARTS; i++) EXPECT_EQ(orient->part[i], nullptr) << c.what << " " << i;
    }
}

TEST_F(PakLoad, DamagedFilesAreRefused) {
    WriteDataSetModels();
    std::vector<uint8_t> good = test_ReadFile("boo.pak");
    std::vector<uint8_t> crate = test_ReadFile("crate.pak");
    uint32_t geometry = 72 + 8 + 12 + 44;  // the only geometry of boo
    uint32_t faces = geometry + 92, polygons = faces + 6 * 28 + 8 * 44;
    uint32_t dataEnd = 0, imageBlock = 0;
    le_Read32At(crate.data(), crate.size(), 60, &imageBlock);
    le_Read32At(good.data(), good.size(), 60, &dataEnd);
    struct Case {
        const char* what;
        bool crateFile;
        uint32_t offset;
        uint32_t value;  // a 32-bit word, or the byte of a fill
        uint32_t fill;   // bytes filled with value when nonzero
        size_t cut;      // file cut to this size when nonzero
    } cases[] = {
        {"cut short", false, 0, 0, 0, 100},
        {"data end past the file", false, 60, 0x100000, 0, 0},
        {"image end before the data end", false, 64, 80, 0, 0},
        {"model count past the table", false, 44, 0x10000000, 0, 0},
        {"model record outside", false, 76, 0xFFFFFF00, 0, 0},
        {"geometry inside the header", false, 72 + 8 + 12, 8, 0, 0},
        {"vertex count past the data", false, geometry + 48, 100000, 0, 0},
        {"negative face count", false, geometry + 44, 0xFFFFFFFF, 0, 0},
        {"polygon vertex outside its array", false, polygons + 8, faces, 0, 0},
        {"polygon face between records", false, polygons + 4, faces + 1, 0, 0},
        {"further array outside", false, geometry + 88, 0x7FFFFFFF, 0, 0},
        {"face name without an end", false, faces, 'A', 13, 0},
        {"set name without an end", false, 8, 'A', 36, 0},
        {"image count past the block", true, imageBlock, 2, 0, 0},
        {"image width 0", true, imageBlock + 4 + 16, 0, 0, 0},
        {"image data past the block", true, imageBlock + 4 + 24, 0x10000, 0, 0},
        {"image runs short of the image", true, imageBlock + 4 + 24, 4, 0, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = c.crateFile ? crate : good;
        if (c.cut)
            bytes.resize(c.cut);
        else if (c.fill)
            memset(bytes.data() + c.offset, (int)c.value, c.fill);
        else
            for (int k = 0; k < 4; k++) bytes[c.offset + k] = (uint8_t)(c.value >> (8 * k));
        Write("bad.pak", bytes);
        EXPECT_EQ(LoadQuiet("bad.pak"), nullptr) << c.what;
    }
    EXPECT_EQ(dataEnd, good.size());
}

TEST_F(PakLoad, InstanceCopiesWhatMovesAndSharesTheRest) {
    WriteDataSetModels();
    _PAK_HEADER* h = LoadQuiet("crate.pak");
    ASSERT_NE(h, nullptr);
    _PAK_HEADER* copy = pak_InstanceCreate(h);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(static_cast<const MemBlock*>(static_cast<void*>(reinterpret_cast<uint8_t*>(copy) -
                                                                  MEM_BLOCK_HEADER))->tag,
                 "_PAK instance PTR");
    for (int32_t m = 0; m < h->modelCount; m++)
        for (int32_t s = 0; s < h->models[m].model->subObjectCount; s++) {
            PakGeometry* a = pak_SubObjectGet(h, m, s)->geometry;
            PakGeometry* b = pak_SubObjectGet(copy, m, s)->geometry;
            ASSERT_NE(a, b);
            EXPECT_NE(a->vertices, b->vertices);
            EXPECT_NE(a->polygons, b->polygons);
            EXPECT_EQ(a->faces, b->faces);
            EXPECT_EQ(a->normals, b->normals);
            EXPECT_EQ(a->points, b->points);
            for (int32_t p = 0; p < b->polygonCount; p++)
                for (int k = 0; k < 3; k++) {
                    EXPECT_EQ(b->polygons[p].vertex[k] - b->vertices, a->polygons[p].vertex[k] - a->vertices);
                    EXPECT_EQ(b->polygons[p].normal[k], a->polygons[p].normal[k]);
                }
        }
    // Moving a copied vertex leaves the model as it was.
    pak_ModelGeometryGet(copy, 0)->vertices[0].x += 5;
    EXPECT_EQ(pak_ModelGeometryGet(h, 0)->vertices[0].x, -0x3000);
    EXPECT_EQ(pak_InstanceCreate(nullptr), nullptr);
}

TEST_F(PakLoad, ColourBytesTo5Bit) {
    uint8_t block[6] = {0, 7, 8, 0x80, 0xFF, 9};
    pak_ColourBytesTo5Bit(block, 5, 1);
    const uint8_t want[6] = {0, 0, 1, 0x10, 0x1F, 9};
    EXPECT_EQ(memcmp(block, want, 6), 0);
}

}  // namespace

namespace {

TEST_F(PakLoad, TheDataSetModelsLoadFromTheArchive) {
    PffRecord* pff = pff_Open(KRX_DATA_DIR "/KRX.PFF");
    ASSERT_NE(pff, nullptr);
    ASSERT_GE(file_PffSlotAdd(pff), 0);
    _PAK_HEADER* boo = pak_Load("boo.pak");
    _PAK_HEADER* crate = pak_Load("crate.pak");
    ASSERT_NE(boo, nullptr);
    ASSERT_NE(crate, nullptr);
    EXPECT_EQ(crate->modelCount, 2);
    EXPECT_NE(crate->palette, nullptr);
    EXPECT_NE(crate->partInfo, nullptr);
    EXPECT_NE(pak_TextureFind("crate:CRATE.PCX"), nullptr);
    EXPECT_EQ(pak_ModelGeometryGet(boo, 0)->polygonCount, 12);
}

// The player aircraft's models load, and its part information binds every
// store mount the loadouts name (parts 68 to 90).
TEST_F(PakLoad, TheAircraftModelsBindTheirMountParts) {
    PffRecord* pff = pff_Open(KRX_DATA_DIR "/KRX.PFF");
    ASSERT_NE(pff, nullptr);
    ASSERT_GE(file_PffSlotAdd(pff), 0);
    for (const char* name : {"krx_ai.pak", "krxvrtc.pak", "krxvrtcn.pak", "krxglass.pak", "rmount.pak", "smount.pak"})
        EXPECT_NE(pak_Load(name), nullptr) << name;
    for (const char* name : {"krx.pak", "rail.pak"}) {
        _PAK_HEADER* h = pak_Load(name);
        ASSERT_NE(h, nullptr) << name;
        ASSERT_NE(h->partInfo, nullptr) << name;
        auto* orient = static_cast<_ORIENT_OBJ_PART_STRUCT*>(pak_InfoPartFind(h->partInfo, 0)->bound);
        ASSERT_NE(orient, nullptr) << name;
        EXPECT_EQ(orient->part[0], pak_SubObjectGet(h, 0, 0)) << name;
        for (int32_t part = 68; part <= 90; part++) EXPECT_EQ(orient->part[part], pak_SubObjectGet(h, 0, part - 67)) << name << part;
        EXPECT_EQ(orient->part[67], nullptr) << name;
    }
}

}  // namespace

namespace {

TEST_F(PakLoad, LongNamesKeepTheirOwnTextureKeys) {
    // Two models whose names agree in their first 30 characters keep apart
    // the images they embed under the same image name.
    WriteDataSetModels();
    std::vector<uint8_t> pak = test_ReadFile("crate.pak"), pal = test_ReadFile("crate.PAL");
    const char* names[2] = {"a_model_with_a_rather_long_name_1", "a_model_with_a_rather_long_name_2"};
    const uint8_t* images[2] = {};
    for (int i = 0; i < 2; i++) {
        std::string base = names[i];
        Write(base + ".pak", pak);
        Write(base + ".PAL", pal);
        ASSERT_NE(LoadQuiet((base + ".pak").c_str()), nullptr);
        images[i] = pak_TextureFind((base + ":CRATE.PCX").c_str());
        ASSERT_NE(images[i], nullptr) << base;
    }
    EXPECT_NE(images[0], images[1]);
}

}  // namespace
