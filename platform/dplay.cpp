// No DirectPlay on this system: creating its objects fails, and the other
// routines are never reached.
#include "platform/dplay.h"

namespace {

HRESULT_DP Absent(void) { return DP_CLASS_NOT_AVAILABLE; }
void Nothing(void) {}
HRESULT_DP NoConnection(int32_t, const void*, uint32_t) { return DP_CLASS_NOT_AVAILABLE; }
HRESULT_DP NoModem(char*, uint32_t) { return DP_CLASS_NOT_AVAILABLE; }
HRESULT_DP NoEnum(const uint8_t*, uint32_t, DplayEnumCallback, void*, uint32_t) { return DP_CLASS_NOT_AVAILABLE; }
HRESULT_DP NoOpen(const uint8_t*, const char*, uint32_t, const char*, const uint32_t*, uint32_t) {
    return DP_CLASS_NOT_AVAILABLE;
}
HRESULT_DP NoCreate(uint32_t*, const char*, const void*, uint32_t, uint32_t) { return DP_CLASS_NOT_AVAILABLE; }
HRESULT_DP NoId(uint32_t) { return DP_CLASS_NOT_AVAILABLE; }
HRESULT_DP NoCount(uint32_t, uint32_t*) { return DP_CLASS_NOT_AVAILABLE; }
HRESULT_DP NoReceive(uint32_t*, uint32_t, uint32_t, void*, uint32_t*) { return DP_CLASS_NOT_AVAILABLE; }
HRESULT_DP NoSend(uint32_t, uint32_t, uint32_t, const void*, uint32_t) { return DP_CLASS_NOT_AVAILABLE; }
HRESULT_DP NoName(uint32_t, char*, uint32_t*) { return DP_CLASS_NOT_AVAILABLE; }
HRESULT_DP NoSetName(uint32_t, const char*) { return DP_CLASS_NOT_AVAILABLE; }

const DplayApi g_absent = {Absent, Absent, Nothing, NoConnection, NoModem, NoEnum,  NoOpen,  Absent,
                           NoCreate, NoId, NoCount, NoReceive, NoSend, NoName, NoSetName};
const DplayApi* g_api = &g_absent;

}  // namespace

const DplayApi* plat_Dplay(void) { return g_api; }
void plat_DplaySet(const DplayApi* api) { g_api = api ? api : &g_absent; }
