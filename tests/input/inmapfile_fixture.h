// The input tests that touch files: a fresh working folder for each test,
// with the open map, the report and the resource cleared around it.
#pragma once
#include <filesystem>
#include <string>

#include "base/file.h"
#include "fixtures/workdir.h"
#include "input/inmapfile.h"
#include "input_fixture.h"

class InmapFileTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        file_StateInit();
        ASSERT_TRUE(work_.Enter("krx_inmap"));
        inmap_ExtraBindings = nullptr;
    }
    void TearDown() override {
        inmap_MapClose();
        inmap_ResourceFree();
        inmap_ExtraBindings = nullptr;
        InputTest::TearDown();
        file_StateInit();
        work_.Leave();
    }
    static void WriteText(const std::string& name, const std::string& text) { test_WriteText(name, text); }
    static std::string ReadText(const std::string& name) { return test_ReadText(name); }
    static bool Exists(const std::string& name) { return std::filesystem::exists(name); }
    // The text form of a map.
    static std::string Format(_INMAP* map) {
        size_t n = inmap_TextFormat(map, nullptr, 0);
        std::string s(n + 1, '\0');
        inmap_TextFormat(map, s.data(), s.size());
        s.resize(n);
        return s;
    }
    // A map read from a text; null when the text is refused.
    _INMAP* Parse(const std::string& text) {
        _INMAP* m = NewMap();
        if (!m || inmap_TextParse(m, text.data(), text.size()) != 0) return nullptr;
        return m;
    }
    TestWorkDir work_;
};
