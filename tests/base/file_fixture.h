// A fresh working folder, file layer and heaps for each test of the file
// modules.
#pragma once
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/ini.h"
#include "base/mem.h"

class FileEnv : public ::testing::Test {
protected:
    std::string dir;
    std::string oldCwd;

    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 0);
        // Archives and the parser buffer live in the heaps: drop them before
        // the heaps are made again.
        file_StateInit();
        ini_Unload();
        mem_CurrentHeap = &mem_MainHeap;
        mem_HeapSizesSet(0x100000, 0x10000, 0x40000);
        ASSERT_EQ(mem_HeapInit(), 0);
        ASSERT_EQ(mem_Heap2Init(), 0);
        ASSERT_EQ(mem_Heap1Init(), 0);
        char tmpl[] = "/tmp/krx_files_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        oldCwd = std::filesystem::current_path().string();
        std::filesystem::current_path(dir);
    }
    void TearDown() override {
        file_StateInit();
        ini_Unload();
        std::filesystem::current_path(oldCwd);
        std::filesystem::remove_all(dir);
    }

    static void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream f(name, std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static void WriteText(const std::string& name, const std::string& text) {
        Write(name, std::vector<uint8_t>(text.begin(), text.end()));
    }
    static std::string ReadText(const std::string& name) {
        std::ifstream f(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    static std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
};
