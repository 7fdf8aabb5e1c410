// Application strings read from the builder's APPSTR.BIN.
#include "shell/appstr.h"

#include <cstring>

#include "base/file_fixture.h"
#include "base/filetable.h"
#include "mkdata.h"

namespace {

class AppStr : public FileEnv {};

TEST_F(AppStr, StringsByNumberWithMarkersForMissingOnes) {
    EXPECT_STREQ(app_StringGet(65), "app_StringGet() : <NO RESOURCE FILE LOADED.>");
    ASSERT_EQ(mkdata_WriteAppStrings("."), 0);
    app_StringTable = file_TableLoad("appstr.bin");
    ASSERT_NE(app_StringTable, nullptr);
    // The version item the shell checks: number 2, also as its text.
    FileTableEntry* version = file_TableEntryGet(app_StringTable, 86);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->word1, 2u);
    EXPECT_STREQ(version->text, "2");
    EXPECT_STREQ(app_StringGet(65), "KRX");
    EXPECT_STREQ(app_StringGet(81), "Loading...");
    EXPECT_NE(strstr(app_StringGet(55), "%s"), nullptr);
    EXPECT_STREQ(app_StringGet(2), ""); // a number without a text
    EXPECT_STREQ(app_StringGet(100000), "app_StringGet() : <INVALID APP STRING ID.>");
    app_StringFileFree();
    EXPECT_EQ(app_StringTable, nullptr);
    EXPECT_STREQ(app_StringGet(65), "app_StringGet() : <NO RESOURCE FILE LOADED.>");
}

}  // namespace
