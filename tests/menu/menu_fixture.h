// The heaps, the headless platform and a folder of its own for every menu
// test, with a fresh menu context bound to the callback table.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/file.h"
#include "base/mem.h"
#include "fixtures/workdir.h"
#include "menu/mnu.h"
#include "mkdata.h"
#include "platform/harness.h"

class MenuTest : public ::testing::Test {
protected:
    TestWorkDir work;
    MnuContext ctx = {};

    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 1);
        plat_HarnessReset();
        ASSERT_EQ(plat_Init(), 0);
        mem_HeapSizesSet(0x1000000, 0x100000, 0x100000);
        ASSERT_EQ(mem_HeapInit(), 0);
        ASSERT_EQ(mem_Heap1Init(), 0);
        ASSERT_EQ(mem_Heap2Init(), 0);
        file_StateInit();
        ASSERT_TRUE(work.Enter("krx_menu"));
        ctx.callbacks = mnu_CallbackTable;
    }
    void TearDown() override {
        mnu_Shutdown(&ctx);
        mnu_FontsClear(&ctx);
        free(ctx.fonts);
        mnu_IdleCallbackSet(nullptr);
        work.Leave();
        plat_Shutdown();
    }
    // Writes the script and loads it into the context.
    void Load(const MkMenuScript& script) {
        test_WriteText("T.MNU", mkdata_MenuScriptBuild(script));
        mnu_ScriptLoad("T.MNU", &ctx);
    }
};
