// The network message trace: a small ring of the last packets either half
// received, named by the type of their first record.
#pragma once
#include <cstddef>
#include <cstdint>

// One traced packet: a named global block.
struct _NETSTUFF_MESSAGE {
    _NETSTUFF_MESSAGE* prev;
    _NETSTUFF_MESSAGE* next;
    uint32_t sequence;
    uint16_t type;    // of the packet's first record
    uint16_t length;  // that record's length field
    char name[256];   // the type's name
};

struct NetMessageTrace {
    _NETSTUFF_MESSAGE* head;  // newest
    _NETSTUFF_MESSAGE* tail;  // oldest
    int32_t count;
    uint32_t sequence;        // next sequence number
};
extern NetMessageTrace net_MessageTrace;

// Writes the name of a message type ("MSG_CHAT", ...), or "<%ld>" with the
// number for a type without one. Nothing for a null output.
void net_MsgTypeName(int32_t type, char* output, size_t size);

// The trace flag (off at start): while set, the receive operation traces
// every packet it returns.
extern int32_t net_MsgTraceOn;
// Traces one packet by the type and length field of its first record.
void net_MsgTrace(int32_t type, int32_t length);
