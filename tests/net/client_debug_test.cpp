// The lines of the client's debug key list.
#include <gtest/gtest.h>

#include <string>

#include "debug/dbgobj.h"

namespace {

TEST(ClientDebugKeys, KeyLineNamesTheKeyAndItsModifiersInOrder) {
    struct Case {
        uint32_t key;
        const char* line;
    } cases[] = {
        {0x41, "65 : [A]"},
        {0x30000070, "112 : [F1] + CTRL + SHIFT"},
        {0x70000041, "65 : [A] + ALT + CTRL + SHIFT"},
        {0x4000FFFF, "65535 : [] + ALT"},  // a code without a name
    };
    for (const Case& c : cases) {
        char line[128];
        Client_DebugKeyTextFormat(c.key, line, sizeof line);
        EXPECT_STREQ(line, c.line);
    }
    // A short buffer stays terminated.
    char small[12];
    Client_DebugKeyTextFormat(0x70000041, small, sizeof small);
    EXPECT_EQ(std::string(small), "65 : [A] + ");
}

}  // namespace
