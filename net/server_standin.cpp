// Stand-in until deaths and the chat censor land.
#include "net/server_calls.h"
#include "net/server.h"


__attribute__((weak)) void Server_PlayerExploded(void) {}
__attribute__((weak)) void Server_CrashTextSend(void) {}
__attribute__((weak)) int32_t Server_NoCollision = 0;
__attribute__((weak)) int32_t Server_NoDamage = 0;
__attribute__((weak)) int32_t chat_CensorCheck(const char*) { return 0; }
