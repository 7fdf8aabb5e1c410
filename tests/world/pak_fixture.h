// Fresh heaps, file layer, palette, application strings, texture table and
// model list for the model tests, in a working folder of their own; and small
// models made with the builder's writer.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/filetable.h"
#include "base/le.h"
#include "base/mem.h"
#include "display/hw3d.h"
#include "display/pal.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"
#include "mkdata.h"
#include "pak_write.h"
#include "shell/appstr.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/pak.h"

class PakTest : public ::testing::Test {
protected:
    TestWorkDir work;

    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 0);
        file_StateInit();
        ASSERT_EQ(test_HeapsFresh(0x1000000, 0x100000, 0x100000, TEST_HEAP2 | TEST_HEAP1), 0);
        pak_List = PakList{};
        pal_ClearCurrent();
        pal_ClearSecond();
        pal_ResetPalrefs();
        mkdata_GamePalette(pal_Current.palette);
        level_GameMode = GameModeFlags{};
        level_GameMode.display = 1;
        level_Palref = nullptr;
        level_OwnerKey = 0;
        hw3d_Active = 0;
        pak_AspectCheck = 0;
        pak_TextureTableReset();
        ASSERT_TRUE(work.Enter("krx_pak"));
        ASSERT_EQ(mkdata_WriteAppStrings("."), 0);
        app_StringTable = file_TableLoad("APPSTR.BIN");
        ASSERT_NE(app_StringTable, nullptr);
    }
    void TearDown() override {
        pak_UnloadAll();
        app_StringFileFree();
        pal_ResetPalrefs();
        file_StateInit();
        work.Leave();
    }

    static void Write(const std::string& name, const std::vector<uint8_t>& bytes) { test_WriteFile(name, bytes); }
    // The data set's model files, loose in the working folder.
    static void WriteDataSetModels() {
        std::vector<MkModelFile> files = mkdata_ModelFiles(".");
        ASSERT_FALSE(files.empty());
        for (const MkModelFile& f : files) test_WriteFile(f.name, f.data);
    }
    static MkPakFace Flat(uint8_t r, uint8_t g, uint8_t b, uint16_t flags = 0) {
        MkPakFace f;
        f.colour = (uint32_t)r | (uint32_t)g << 8 | (uint32_t)b << 16;
        f.flags = flags;
        return f;
    }
    static MkPakFace Textured(const char* name, uint16_t flags = 0x0008) {
        MkPakFace f;
        f.name = name;
        f.flags = flags;
        return f;
    }
    // One model of one sub-object over one geometry.
    static MkPak OneModel(const MkPakGeometry& g) {
        MkPak p;
        p.name = "test";
        p.geometries.push_back(g);
        MkPakModel m;
        m.subObjects.push_back({0, 0, {0, 0, 0}});
        p.models.push_back(m);
        return p;
    }
    // A geometry of n polygons over one face and one triangle.
    static MkPakGeometry Polygons(int32_t n) {
        MkPakGeometry g;
        g.faces.push_back(Flat(10, 20, 30));
        g.vertices = {{0, 0, 0}, {100, 0, 0}, {0, 100, 0}};
        g.normals = {{0, 0, 16384}};
        g.polygons.assign((size_t)n, MkPakPolygon{0, {0, 1, 2}, {0, 0, 0}});
        return g;
    }
};
