// Stand-in until the message trace lands: traced packets are only counted
// and types are named by number.
#include "net/msgtrace.h"

#include <cstdio>

__attribute__((weak)) NetMessageTrace net_MessageTrace;

__attribute__((weak)) void net_MsgTypeName(int32_t type, char* output, size_t size) {
    if (output && size) snprintf(output, size, "<%ld>", (long)type);
}

__attribute__((weak)) int32_t net_MsgTraceOn = 0;

__attribute__((weak)) void net_MsgTrace(int32_t, int32_t) { net_MessageTrace.sequence++; }
