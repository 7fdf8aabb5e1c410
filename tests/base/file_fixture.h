// A fresh working folder, file layer and heaps for each test of the file
// modules.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/ini.h"
#include "base/mem.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"

class FileEnv : public ::testing::Test {
protected:
    TestWorkDir work;

    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 0);
        // Archives and the parser buffer live in the heaps: drop them before
        // the heaps are made again.
        file_StateInit();
        ini_Unload();
        ASSERT_EQ(test_HeapsFresh(0x100000, 0x10000, 0x40000, TEST_HEAP2 | TEST_HEAP1), 0);
        ASSERT_TRUE(work.Enter("krx_files"));
    }
    void TearDown() override {
        file_StateInit();
        ini_Unload();
        work.Leave();
    }

    static void Write(const std::string& name, const std::vector<uint8_t>& bytes) { test_WriteFile(name, bytes); }
    static void WriteText(const std::string& name, const std::string& text) { test_WriteText(name, text); }
    static std::string ReadText(const std::string& name) { return test_ReadText(name); }
    static std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
};
