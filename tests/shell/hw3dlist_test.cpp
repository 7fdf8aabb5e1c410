// The 3D-card driver candidate list on real libraries copied into a
// directory of the test's own, which stands for the program's directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/mem.h"
#include "display/hw3d.h"
#include "platform/dynlib.h"
#include "platform/harness.h"
#include "platform/window.h"
#include "shell/cmdline.h"
#include "shell/hw3dlist.h"
#include "shell/settings.h"

namespace fs = std::filesystem;

namespace {

class Hw3dListTest : public ::testing::Test {
protected:
    std::string dir;
    bool platform = false;

    void SetUp() override {
        char tmpl[] = "/tmp/krx_hw3dlist_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        plat_LibrarySetDir(dir.c_str());
        app_StartupOptions = 0;
        cfg_SettingsDefaults();
        app_IniDefaults();
    }
    void TearDown() override {
        app_Hw3dListFree();
        plat_LibrarySetDir(nullptr);
        app_StartupOptions = 0;
        StopPlatform();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // Puts one of the built libraries into the directory under a name.
    void Install(const char* built, const char* as) {
        fs::copy_file(fs::path(KRX_BIN_DIR) / built, fs::path(dir) / as, fs::copy_options::overwrite_existing);
    }
    void StartPlatform(const std::string& script) {
        std::string path = dir + "/input.txt";
        FILE* f = fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        fputs(script.c_str(), f);
        fclose(f);
        setenv("KRX_PLATFORM", "headless", 1);
        setenv("KRX_SCRIPT", path.c_str(), 1);
        plat_HarnessReset();
        ASSERT_EQ(plat_Init(), 0);
        platform = true;
    }
    void StopPlatform() {
        if (!platform) return;
        plat_Shutdown();
        unsetenv("KRX_SCRIPT");
        platform = false;
    }
};

TEST_F(Hw3dListTest, ListsTheDriverByItsNameInTheCountrysLanguage) {
    Install("libhw_pexl.so", "libhw_pexl.so");
    Install("libhw_refuse.so", "libhw_other.so");  // not a candidate's name
    struct Case {
        const char* country;
        const char* name;
    } cases[] = {{"US", "KRX Software Card"}, {"DE", "KRX Software-Karte"}, {"fr", "Carte logicielle KRX"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.country);
        snprintf(app_Settings.COUNTRY_CODE, sizeof app_Settings.COUNTRY_CODE, "%s", c.country);
        app_Hw3dListBuild();
        EXPECT_EQ(app_Hw3dList.built, 1);
        ASSERT_EQ(app_Hw3dList.count, 1);
        _APP_HW3D_ENTRY* e = app_Hw3dList.head;
        EXPECT_EQ(e, app_Hw3dList.tail);
        EXPECT_STREQ(e->commonName, c.name);
        EXPECT_STREQ(e->fileName, "hw_pexl.dll");
        EXPECT_STREQ(e->cardName, "");
        EXPECT_STREQ(mem_GlobalHeaderOf(e)->name, "_APP_HW3D_ENTRY");
        EXPECT_STREQ(mem_GlobalHeaderOf(e->commonName)->name, "_APP_HW3D_ENTRY common_name");
        EXPECT_STREQ(mem_GlobalHeaderOf(e->fileName)->name, "_APP_HW3D_ENTRY filename");
        EXPECT_EQ(hw3d_Loaded, 0);  // asked for its name, then let go
        EXPECT_EQ(app_Hw3dFindByFile("HW_PEXL.DLL"), e);
        EXPECT_EQ(app_Hw3dFindByFile("hw_other.dll"), nullptr);
    }
}

TEST_F(Hw3dListTest, SoftwareOptionLoadsNothing) {
    Install("libhw_pexl.so", "libhw_pexl.so");
    app_StartupOptions = APP_OPTION_SOFTWARE;
    app_Hw3dListBuild();
    EXPECT_EQ(app_Hw3dList.built, 1);
    EXPECT_EQ(app_Hw3dList.count, 0);
    _APP_HW3D_ENTRY* e = app_Hw3dEntryAdd("Card", "hw_pexl.dll");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(app_Hw3dSelect(e), 0);
    EXPECT_EQ(app_Hw3dSelected, nullptr);
    EXPECT_EQ(hw3d_Loaded, 0);
    EXPECT_EQ(app_Hw3dLoadResult, 0);
    EXPECT_EQ(app_Hw3dModeApply(), -1);
}

TEST_F(Hw3dListTest, EmptyDirectoryGivesNoCandidates) {
    app_Hw3dListBuild();
    EXPECT_EQ(app_Hw3dList.count, 0);
    EXPECT_EQ(app_Hw3dSelect(app_Hw3dFindByFile(app_Settings.HW3D_DLL_FILENAME)), 0);
    EXPECT_EQ(app_Hw3dSelected, nullptr);
    EXPECT_EQ(app_Hw3dLoadResult, 0);
}

TEST_F(Hw3dListTest, SelectionBindsTheDriverAndChoosesItsMode) {
    Install("libhw_pexl.so", "libhw_pexl.so");
    app_Hw3dListBuild();
    _APP_HW3D_ENTRY* e = app_Hw3dFindByFile(app_Settings.HW3D_DLL_FILENAME);  // the default "hw_pexl.dll"
    ASSERT_NE(e, nullptr);
    app_Settings.CARD_NUMBER = 1;
    EXPECT_EQ(app_Hw3dSelect(e), 0);
    EXPECT_EQ(app_Hw3dSelected, e);
    EXPECT_EQ(hw3d_Loaded, 1);
    EXPECT_EQ(e->usable, 1);
    EXPECT_EQ(e->loadResult, 0);
    EXPECT_EQ(e->version, 16);
    EXPECT_EQ(e->modeCount, 3);
    EXPECT_NE(e->description, nullptr);
    EXPECT_NE(e->text2, nullptr);
    EXPECT_EQ(app_Hw3dUsable, 1);
    EXPECT_EQ(app_Hw3dLoadResult, 0);
    EXPECT_EQ(app_Hw3dDescription, e->description);
    EXPECT_EQ(app_Hw3dModeCount, 3);
    EXPECT_EQ(e->modeIndex, 1);
    EXPECT_STREQ(e->cardName, "Software card, up to 800x600");
    // Mode 1 was chosen on the card: it now refuses 1024x768.
    EXPECT_NE(hw3d_Descriptor.modeTest(1024, 768, 16, 0), 0);

    struct Case {
        int32_t cardNumber, index;
        const char* name;
    } cases[] = {{7, 2, "Software card, up to 640x480"}, {-3, 0, "Software card, up to 1024x768"}};
    for (const Case& c : cases) {
        app_Settings.CARD_NUMBER = c.cardNumber;
        EXPECT_EQ(app_Hw3dModeApply(), 0);
        EXPECT_EQ(e->modeIndex, c.index);
        EXPECT_STREQ(e->cardName, c.name);
        EXPECT_STREQ(mem_GlobalHeaderOf(e->cardName)->name, "_APP_HW3D_ENTRY card_name");
    }

    // Selecting it again keeps the loaded library (an unload would have
    // turned the enabled card off).
    ASSERT_EQ(hw3d_Enable(), 0);
    EXPECT_EQ(app_Hw3dSelect(e), 0);
    EXPECT_EQ(hw3d_Active, 1);

    app_Hw3dListFree();
    EXPECT_EQ(app_Hw3dList.count, 0);
    EXPECT_EQ(app_Hw3dList.head, nullptr);
    EXPECT_EQ(app_Hw3dSelected, nullptr);
    EXPECT_EQ(hw3d_Loaded, 0);
    EXPECT_EQ(hw3d_Active, 0);
    EXPECT_EQ(app_Hw3dUsable, 0);
}

TEST_F(Hw3dListTest, RefusingDriverStaysUnusable) {
    Install("libhw_refuse.so", "libhw_pexl.so");
    app_Hw3dListBuild();
    _APP_HW3D_ENTRY* e = app_Hw3dFindByFile("hw_pexl.dll");
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->commonName, "Refusing card");
    EXPECT_EQ(app_Hw3dSelect(e), 0);
    EXPECT_EQ(app_Hw3dSelected, e);
    EXPECT_EQ(app_Hw3dLoadResult, -4);
    EXPECT_EQ(e->usable, 0);
    EXPECT_EQ(e->modeCount, 0);
    EXPECT_EQ(e->cardName, nullptr);
    EXPECT_EQ(app_Hw3dUsable, 0);
    EXPECT_EQ(hw3d_Loaded, 0);
}

TEST_F(Hw3dListTest, SwitchingDriversUnloadsThePreviousOne) {
    Install("libhw_pexl.so", "libhw_pexl.so");
    Install("libhw_refuse.so", "libhw_refuse.so");
    Install("libhw_broken.so", "libhw_broken.so");
    app_Hw3dListBuild();
    _APP_HW3D_ENTRY* card = app_Hw3dFindByFile("hw_pexl.dll");
    _APP_HW3D_ENTRY* refusing = app_Hw3dEntryAdd("Refusing", "hw_refuse.dll");
    _APP_HW3D_ENTRY* broken = app_Hw3dEntryAdd("Broken", "hw_broken.dll");
    _APP_HW3D_ENTRY* missing = app_Hw3dEntryAdd("Missing", "hw_gone.dll");
    ASSERT_TRUE(card && refusing && broken && missing);
    EXPECT_EQ(app_Hw3dList.count, 4);
    EXPECT_EQ(app_Hw3dList.tail, missing);

    app_Hw3dSelect(card);
    EXPECT_EQ(hw3d_Loaded, 1);
    struct Case {
        _APP_HW3D_ENTRY* entry;
        int32_t result;
    } cases[] = {{refusing, -4}, {broken, -3}, {missing, -2}, {card, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry->commonName);
        app_Hw3dSelect(c.entry);
        EXPECT_EQ(app_Hw3dLoadResult, c.result);
        EXPECT_EQ(hw3d_Loaded, c.result == 0 ? 1 : 0);
        // The card's texts went with its library.
        if (c.result != 0) {
            EXPECT_EQ(card->description, nullptr);
        }
    }

    // Removing the selected entry lets its library go.
    app_Hw3dEntryRemove(card);
    EXPECT_EQ(app_Hw3dSelected, nullptr);
    EXPECT_EQ(hw3d_Loaded, 0);
    EXPECT_EQ(app_Hw3dList.count, 3);
    EXPECT_EQ(app_Hw3dList.head, refusing);
    EXPECT_EQ(refusing->prev, nullptr);
    app_Hw3dEntryRemove(broken);
    EXPECT_EQ(refusing->next, missing);
    EXPECT_EQ(missing->prev, refusing);
}

TEST_F(Hw3dListTest, EntryTextsKeepTheirBlockWhenTheLengthStays) {
    Install("libhw_pexl.so", "libhw_pexl.so");
    app_Hw3dListBuild();
    _APP_HW3D_ENTRY* e = app_Hw3dList.head;
    ASSERT_NE(e, nullptr);
    app_Settings.CARD_NUMBER = 1;  // "...800x600"
    app_Hw3dSelect(e);
    char* block = e->cardName;
    app_Settings.CARD_NUMBER = 2;  // "...640x480": same length
    app_Hw3dModeApply();
    EXPECT_EQ(e->cardName, block);
    EXPECT_STREQ(e->cardName, "Software card, up to 640x480");
    app_Settings.CARD_NUMBER = 0;  // "...1024x768": longer
    app_Hw3dModeApply();
    EXPECT_STREQ(e->cardName, "Software card, up to 1024x768");
}

TEST_F(Hw3dListTest, BadDriverDialog) {
    struct Case {
        int32_t skip;
        const char* script;
        int32_t result;
        int32_t skipAfter;
        bool shown;
    } cases[] = {
        {0, "", 0, 0, true},                // go on by default
        {0, "0 dialog 66557\n", 0, 1, true},  // go on with the box ticked
        {0, "0 dialog 1022\n", -1, 0, true},  // quit
        {0, "0 dialog 2\n", -1, 0, true},     // closed
        {1, "0 dialog 1022\n", 0, 1, false},  // told not to ask again
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        StartPlatform(c.script);
        app_Ini.SKIP_BAD3DFXDLLS_CHECK = c.skip;
        testing::internal::CaptureStderr();
        EXPECT_EQ(app_BadDriverDialog(), c.result);
        std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(log.find("dialog: BAD3DFXDLLS: ") != std::string::npos, c.shown) << log;
        EXPECT_EQ(app_Ini.SKIP_BAD3DFXDLLS_CHECK, c.skipAfter);
        StopPlatform();
    }
}

TEST_F(Hw3dListTest, ReducedArt) {
    struct Case {
        int32_t active, noCrunch, memory, below2, zero;
    } cases[] = {
        {0, 0, 2, 0, 0}, {0, 0, 1, 1, 0}, {0, 0, 0, 1, 1}, {1, 0, 2, 1, 1}, {1, 1, 2, 0, 0}, {1, 1, 0, 1, 1},
    };
    for (const Case& c : cases) {
        hw3d_Active = c.active;
        app_StartupOptions = c.noCrunch ? APP_OPTION_HWNOCRUNCH : 0;
        app_Settings.MEMORY_USAGE = c.memory;
        EXPECT_EQ(app_Hw3dOrDetailBelow2() != 0, c.below2 != 0);
        EXPECT_EQ(app_Hw3dOrDetailZero() != 0, c.zero != 0);
    }
    hw3d_Active = 0;
}

}  // namespace
