// Fuzz target: the quillax datagram reader, and datagrams (each a route
// byte, a 16-bit length and its bytes) arriving at a host from a joined
// peer (route 0) and a stranger (1), and at a joiner from its host (2).
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "platform/quillax.h"

namespace {

uint32_t g_sum;

void Drain(void) {
    static uint8_t buffer[QX_MAX_MESSAGE];
    for (;;) {
        uint32_t size = sizeof buffer, sender = 0;
        if (quillax_GetMessage(buffer, &size, &sender) != 0) break;
        g_sum += size + sender + buffer[0];
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QxDatagram d;
    if (quillax_DatagramRead(data, size, &d) == 0) g_sum += d.kind + d.payloadSize;

    uint64_t clock = 1000;
    QuillaxHub* hub = quillax_HubCreate(1);
    QuillaxInstance* host = quillax_InstanceCreate();
    QuillaxInstance* joiner = quillax_InstanceCreate();
    for (QuillaxInstance* q : {host, joiner}) {
        quillax_InstanceSetClock(q, &clock);
        quillax_InstanceUseHub(q, hub);
        quillax_InstanceSelect(q);
        quillax_Init();
    }
    quillax_InstanceSelect(host);
    uint8_t record[QX_SESSION_RECORD] = {};
    record[0] = 0;
    record[1] = 1;
    quillax_HostSession(record);
    uint32_t id = 0;
    uint8_t player[QX_PLAYER_RECORD] = {};
    quillax_CreatePlayer(&id, player, 1, nullptr, 0);
    // The joiner gets in through the real handshake first.
    quillax_InstanceSelect(joiner);
    quillax_InitTCPIP("127.0.0.1:4533");
    uint32_t joinerPort = 0;
    quillax_GetRecvPort(&joinerPort);
    quillax_InstanceSelect(host);
    uint8_t guid[16];
    quillax_InstanceSelect(joiner);
    auto cb = [](const uint8_t* rec, void* ctx) -> int32_t {
        memcpy(ctx, rec + 208, 16);
        return 1;
    };
    quillax_EnumSessions(record, 0, cb, guid, 0);
    quillax_InstanceSelect(host);
    Drain();
    quillax_InstanceSelect(joiner);
    Drain();
    memcpy(record + 208, guid, 16);
    quillax_JoinSession(record);
    quillax_InstanceSelect(host);
    Drain();
    quillax_InstanceSelect(joiner);
    quillax_JoinSession(record);

    size_t pos = 0;
    for (int n = 0; pos + 3 <= size && n < 64; n++) {
        uint8_t route = data[pos] % 3;
        size_t len = data[pos + 1] | (size_t)data[pos + 2] << 8;
        pos += 3;
        if (len > size - pos) len = size - pos;
        if (route == 0) quillax_HubInject(hub, (uint16_t)joinerPort, 4533, data + pos, len);
        if (route == 1) quillax_HubInject(hub, 40000, 4533, data + pos, len);
        if (route == 2) quillax_HubInject(hub, 4533, (uint16_t)joinerPort, data + pos, len);
        pos += len;
        clock += 300;
        quillax_InstanceSelect(host);
        Drain();
        quillax_InstanceSelect(joiner);
        Drain();
    }
    quillax_InstanceSelect(host);
    for (uint32_t p = 0; p < 4; p++) {
        uint8_t rec[QX_PLAYER_RECORD];
        uint8_t buf[QX_MAX_PLAYER_DATA];
        uint32_t n = sizeof buf;
        if (quillax_GetPlayerName(p, rec) == 0) g_sum += rec[0];
        if (quillax_GetPlayerData(p, buf, &n) == 0) g_sum += n;
    }
    quillax_Close();
    quillax_InstanceSelect(joiner);
    quillax_Close();
    quillax_InstanceDestroy(host);
    quillax_InstanceDestroy(joiner);
    quillax_HubDestroy(hub);
    return 0;
}
