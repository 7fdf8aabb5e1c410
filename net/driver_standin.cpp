// Stand-in until the transport drivers land: nothing is opened.
#include "net/driver.h"

__attribute__((weak)) void net_DriverSelect(int32_t) {}
__attribute__((weak)) int32_t net_DriverInit(void) { return 0; }
__attribute__((weak)) int32_t net_DriverClose(void) { return 0; }
__attribute__((weak)) int32_t net_CreatePlayer(const char*, int32_t, const void*, uint32_t) { return 0; }
__attribute__((weak)) const uint8_t* net_DriverReceive(int32_t, size_t*, int32_t*) { return nullptr; }
__attribute__((weak)) void net_DriverGameClose(void) {}
__attribute__((weak)) int32_t net_SendToClient(const void*, uint32_t, uint32_t) { return 0; }
__attribute__((weak)) uint32_t net_DriverSendRetries(void) { return 0; }
__attribute__((weak)) int32_t net_DriverSend(const uint8_t*, size_t) { return -1; }
__attribute__((weak)) int32_t net_DriverServerPlayer(void) { return 0; }
__attribute__((weak)) NetSessionCallback net_DriverCallbacks[NET_CALLBACK_COUNT] = {};
__attribute__((weak)) void net_DriverCallbackSet(int32_t slot, NetSessionCallback callback) {
    if (slot >= 0 && slot < NET_CALLBACK_COUNT) net_DriverCallbacks[slot] = callback;
}
__attribute__((weak)) const char* net_GetPlayerName(int32_t) { return nullptr; }
