// A driver library for the tests that refuses the installed card drivers:
// hw3d_GetDescriptor answers -4 (or what the test sets), and it has no
// hw3d_InitOnce and no hw3d_UninitOnce. When a test lets it load, it offers
// every mode, and its enable entry answers what the test sets (0 at first),
// so a card that will not come on can be tried.
#include <cstring>

#include "display/hw3d.h"

#define HW3D_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
int32_t g_answer = -4;
int32_t g_enableAnswer = 0;
int32_t g_seenSize;
int32_t g_seenVersion;
int32_t g_enables;
int32_t Enable(void) { return ++g_enables, g_enableAnswer; }
int32_t ModeTest(int32_t, int32_t, int32_t, int32_t) { return 0; }
intptr_t Control(int32_t code) { return code == HW3D_CTL_VERSION ? 16 : 0; }
}  // namespace

HW3D_EXPORT const char* hw3d_GetNameStr(const char* countryCode) {
    return countryCode && !strcmp(countryCode, "DE") ? "Abweisende Karte" : "Refusing card";
}

HW3D_EXPORT int32_t hw3d_GetDescriptor(uintptr_t, _HW3D_DESCRIPTOR* d, int32_t version) {
    g_seenSize = d ? d->size : -1;
    g_seenVersion = version;
    if (g_answer == 0 && d) {
        d->enable = Enable;
        d->modeTest = ModeTest;
        d->control = Control;
    }
    return g_answer;
}

// Test hooks.
HW3D_EXPORT void hwtest_SetAnswer(int32_t answer) { g_answer = answer; }
HW3D_EXPORT void hwtest_SetEnableAnswer(int32_t answer) { g_enableAnswer = answer; }
HW3D_EXPORT int32_t hwtest_SeenSize(void) { return g_seenSize; }
HW3D_EXPORT int32_t hwtest_SeenVersion(void) { return g_seenVersion; }
HW3D_EXPORT int32_t hwtest_Enables(void) { return g_enables; }
