// quillax over UDP or the in-memory hub. Every datagram starts "QX", a
// version, a kind and a sequence number counted per peer; numbered
// datagrams that are not newer than the last one from that peer (duplicates,
// late arrivals) are dropped, since game packets are only checked against
// the one before. The handshake (enumeration, join, refusal) is unnumbered
// and idempotent; joins and player records are resent until answered.
#include "platform/quillax.h"

#include <chrono>
#include <cstring>
#include <deque>
#include <map>
#include <vector>

#include "base/le.h"
#include "platform/sockets.h"

namespace {

enum : uint8_t {
    QXK_ENUM_REQ = 1,
    QXK_ENUM_REPLY = 2,
    QXK_JOIN = 3,
    QXK_ACCEPT = 4,
    QXK_REFUSE = 5,
    QXK_PLAYER = 6,
    QXK_PLAYER_ACK = 7,
    QXK_DATA = 8,
    QXK_LEAVE = 9,
    QXK_CLOSE = 10,
    QXK_PING = 11,
};

constexpr uint32_t HEADER = 8;
constexpr uint32_t NAME_SIZE = 128;
constexpr uint32_t PASSWORD_SIZE = 64;
constexpr uint32_t CLOSE_TEXT = 63;
constexpr uint32_t SERVER_ID = 1;
constexpr uint32_t RESEND_MS = 200;
constexpr uint32_t ENUM_RESEND_MS = 1000;
constexpr uint32_t KEEPALIVE_MS = 1000;
constexpr uint32_t LOOPBACK = 0x7F000001;

struct HubPacket {
    SockAddr from;
    std::vector<uint8_t> bytes;
};

}  // namespace

struct QuillaxHub {
    uint32_t rng = 1;
    uint32_t loss = 0, duplicate = 0, reorder = 0;
    uint32_t busy = 0;
    uint16_t nextPort = 49152;
    std::map<uint16_t, std::deque<HubPacket>> queues;
};

namespace {

struct Peer {
    SockAddr addr{};
    uint32_t id = 0;
    uint32_t seqIn = 0;
    uint32_t seqOut = 0;
    uint64_t heard = 0;
    uint64_t sent = 0;
    bool player = false;
    char name[NAME_SIZE] = {};
    std::vector<uint8_t> data;
};

struct Message {
    uint32_t sender;
    std::vector<uint8_t> bytes;
};

enum Role { ROLE_NONE, ROLE_HOSTING, ROLE_JOINING, ROLE_JOINED };

}  // namespace

struct QuillaxInstance {
    bool open = false;
    const uint64_t* clock = nullptr;
    QuillaxHub* hub = nullptr;
    int32_t sock = -1;
    uint16_t port = 0;  // bound port, 0 when none
    uint16_t hostPort = QX_DEFAULT_PORT;
    uint16_t clientPort = 0;
    bool dynamicPorts = true;
    bool compression = false;
    bool haveTarget = false;
    SockAddr target{};
    Role role = ROLE_NONE;
    // Hosting.
    uint8_t session[QX_SESSION_RECORD] = {};
    std::vector<Peer> peers;
    uint32_t nextId = SERVER_ID + 1;
    // Joining: the host as a peer.
    Peer host;
    uint8_t joinGuid[16] = {};
    char joinPassword[PASSWORD_SIZE] = {};
    int32_t refused = 0;
    uint64_t joinSent = 0;
    uint32_t localId = 0;
    uint32_t serverId = 0;
    bool playerPending = false;
    uint64_t playerSent = 0;
    // The own player.
    bool ownPlayer = false;
    char ownName[NAME_SIZE] = {};
    std::vector<uint8_t> ownData;
    // Enumeration.
    bool enumerating = false;
    QuillaxEnumCallback enumCallback = nullptr;
    void* enumContext = nullptr;
    uint8_t enumApp[16] = {};
    uint64_t enumSent = 0;
    std::deque<Message> inbox;
    std::vector<uint8_t> rx = std::vector<uint8_t>(HEADER + QX_MAX_MESSAGE + 1);
};

namespace {

QuillaxInstance g_default;
QuillaxInstance* g_q = &g_default;

uint64_t Now(const QuillaxInstance* q) {
    if (q->clock) return *q->clock;
    return (uint64_t)std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

uint32_t HubRandom(QuillaxHub* h) {
    uint32_t x = h->rng ? h->rng : 0x9E3779B9u;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    h->rng = x;
    return x % 100;
}

// ---- The link: a UDP socket or a hub port ----

int32_t LinkOpen(QuillaxInstance* q, uint16_t port) {
    if (q->port) return 0;
    if (q->hub) {
        if (port == 0) {
            while (q->hub->queues.count(q->hub->nextPort)) q->hub->nextPort++;
            port = q->hub->nextPort++;
        }
        if (q->hub->queues.count(port)) return -1;
        q->hub->queues[port];
        q->port = port;
        return 0;
    }
    int32_t s = sock_OpenUdp(port);
    if (s < 0) return -1;
    q->sock = s;
    q->port = sock_LocalPort(s);
    return q->port ? 0 : -1;
}

void LinkClose(QuillaxInstance* q) {
    if (q->hub && q->port) q->hub->queues.erase(q->port);
    if (q->sock >= 0) sock_Close(q->sock);
    q->sock = -1;
    q->port = 0;
}

int32_t LinkSend(QuillaxInstance* q, SockAddr to, const uint8_t* data, size_t size) {
    if (!q->port) return QX_FAIL;
    if (q->hub) {
        QuillaxHub* h = q->hub;
        if (h->busy) {
            h->busy--;
            return QX_BUSY;
        }
        auto it = h->queues.find(to.port);
        if (it == h->queues.end()) return QX_OK;  // nobody there: lost
        if (HubRandom(h) < h->loss) return QX_OK;
        HubPacket p{SockAddr{LOOPBACK, q->port}, std::vector<uint8_t>(data, data + size)};
        int copies = HubRandom(h) < h->duplicate ? 2 : 1;
        for (int i = 0; i < copies; i++) {
            if (!it->second.empty() && HubRandom(h) < h->reorder)
                it->second.insert(it->second.end() - 1, p);
            else
                it->second.push_back(p);
        }
        return QX_OK;
    }
    if (sock_SendTo(q->sock, data, size, to) >= 0) return QX_OK;
    int32_t err = sock_LastError();
    if (err != WSAEWOULDBLOCK && err != WSAENOBUFS) return QX_FAIL;
    // The send queue is full: wait a moment on the socket, not longer.
    if (sock_WaitWritable(q->sock, 1) && sock_SendTo(q->sock, data, size, to) >= 0) return QX_OK;
    return QX_BUSY;
}

// Size of the datagram, 0 when none waits, -1 for one to skip.
int32_t LinkReceive(QuillaxInstance* q, SockAddr* from) {
    if (!q->port) return 0;
    if (q->hub) {
        auto it = q->hub->queues.find(q->port);
        if (it == q->hub->queues.end() || it->second.empty()) return 0;
        HubPacket p = std::move(it->second.front());
        it->second.pop_front();
        // An empty or oversized datagram is skipped, not mistaken for none.
        if (p.bytes.empty() || p.bytes.size() > q->rx.size()) return -1;
        memcpy(q->rx.data(), p.bytes.data(), p.bytes.size());
        *from = p.from;
        return (int32_t)p.bytes.size();
    }
    int32_t n = sock_RecvFrom(q->sock, q->rx.data(), q->rx.size(), from);
    if (n > 0) return n;
    if (n == 0) return -1;
    return sock_LastError() == WSAEWOULDBLOCK ? 0 : -1;
}

bool SameAddr(SockAddr a, SockAddr b) { return a.ip == b.ip && a.port == b.port; }

// ---- Sending datagrams ----

int32_t SendRaw(QuillaxInstance* q, SockAddr to, uint8_t kind, uint32_t seq, const void* payload,
                size_t size) {
    std::vector<uint8_t> d(HEADER + size);
    d[0] = 'Q';
    d[1] = 'X';
    d[2] = 1;
    d[3] = kind;
    for (int i = 0; i < 4; i++) d[4 + i] = (uint8_t)(seq >> (8 * i));
    if (size) memcpy(d.data() + HEADER, payload, size);
    return LinkSend(q, to, d.data(), d.size());
}

int32_t SendTo(QuillaxInstance* q, Peer* p, uint8_t kind, const void* payload, size_t size) {
    p->sent = Now(q);
    return SendRaw(q, p->addr, kind, ++p->seqOut, payload, size);
}

int32_t SendWord(QuillaxInstance* q, Peer* p, uint8_t kind, uint32_t w) {
    LeWriter out;
    out.u32(w);
    return SendTo(q, p, kind, out.buf.data(), out.size());
}

void Raise(QuillaxInstance* q, uint16_t type, uint32_t id, const char* text) {
    LeWriter m;
    m.u16(type);
    if (text)
        m.cString(text);
    else if (type == QX_MSG_PLAYER_JOINED || type == QX_MSG_PLAYER_LEFT)
        m.u32(id);
    q->inbox.push_back(Message{0, std::move(m.buf)});
}

Peer* PeerByAddr(QuillaxInstance* q, SockAddr a) {
    for (Peer& p : q->peers)
        if (SameAddr(p.addr, a)) return &p;
    return nullptr;
}
Peer* PeerById(QuillaxInstance* q, uint32_t id) {
    for (Peer& p : q->peers)
        if (p.id == id) return &p;
    return nullptr;
}

void RemovePeer(QuillaxInstance* q, Peer* p) {
    uint32_t id = p->id;
    bool player = p->player;
    q->peers.erase(q->peers.begin() + (p - q->peers.data()));
    if (player) Raise(q, QX_MSG_PLAYER_LEFT, id, nullptr);
}

uint32_t SessionWord(const uint8_t* record, size_t offset) {
    uint32_t v = 0;
    le_Read32At(record, QX_SESSION_RECORD, offset, &v);
    return v;
}

void PutWord(uint8_t* record, size_t offset, uint32_t v) {
    for (int i = 0; i < 4; i++) record[offset + i] = (uint8_t)(v >> (8 * i));
}

// ---- Handling what arrives ----

void HostDatagram(QuillaxInstance* q, SockAddr from, const QxDatagram& d) {
    Peer* p = PeerByAddr(q, from);
    LeReader r(d.payload, d.payloadSize);
    if (d.kind == QXK_ENUM_REQ) {
        if (memcmp(d.payload, q->session + 224, 16) != 0) return;
        uint8_t reply[QX_SESSION_RECORD];
        memcpy(reply, q->session, sizeof reply);
        memset(reply + 144, 0, PASSWORD_SIZE);
        PutWord(reply, 8, (uint32_t)q->peers.size() + 1);
        SendRaw(q, from, QXK_ENUM_REPLY, 0, reply, sizeof reply);
        return;
    }
    if (d.kind == QXK_JOIN) {
        if (p) {
            p->heard = Now(q);
            uint32_t w[2] = {p->id, SERVER_ID};
            LeWriter out;
            out.u32(w[0]);
            out.u32(w[1]);
            SendTo(q, p, QXK_ACCEPT, out.buf.data(), out.size());
            return;
        }
        if (memcmp(d.payload, q->session + 208, 16) != 0 || memcmp(d.payload + 16, q->session + 224, 16) != 0)
            return;
        LeWriter refusal;
        if (strncmp((const char*)d.payload + 32, (const char*)q->session + 144, PASSWORD_SIZE) != 0) {
            refusal.u32(QX_BAD_PASSWORD);
            SendRaw(q, from, QXK_REFUSE, 0, refusal.buf.data(), refusal.size());
            return;
        }
        uint32_t max = SessionWord(q->session, 12);
        if (max && q->peers.size() + 1 >= max) {
            refusal.u32(QX_SESSION_FULL);
            SendRaw(q, from, QXK_REFUSE, 0, refusal.buf.data(), refusal.size());
            return;
        }
        Peer n;
        n.addr = from;
        n.id = q->nextId++;
        n.heard = Now(q);
        n.seqIn = d.sequence;
        q->peers.push_back(n);
        Peer* np = &q->peers.back();
        LeWriter out;
        out.u32(np->id);
        out.u32(SERVER_ID);
        SendTo(q, np, QXK_ACCEPT, out.buf.data(), out.size());
        return;
    }
    // Everything else comes numbered from a peer; strangers are ignored.
    if (!p || d.sequence <= p->seqIn) return;
    p->seqIn = d.sequence;
    p->heard = Now(q);
    switch (d.kind) {
        case QXK_PLAYER:
            if (!p->player) {
                r.bytes(p->name, NAME_SIZE);
                p->name[NAME_SIZE - 1] = 0;
                uint32_t size = r.u32();
                p->data.assign(d.payload + NAME_SIZE + 4, d.payload + NAME_SIZE + 4 + size);
                p->player = true;
                Raise(q, QX_MSG_PLAYER_JOINED, p->id, nullptr);
            }
            SendWord(q, p, QXK_PLAYER_ACK, p->id);
            break;
        case QXK_DATA:
            if (p->player) q->inbox.push_back(Message{p->id, std::vector<uint8_t>(d.payload, d.payload + d.payloadSize)});
            break;
        case QXK_LEAVE:
            RemovePeer(q, p);
            break;
        default:
            break;
    }
}

void JoinerDatagram(QuillaxInstance* q, SockAddr from, const QxDatagram& d) {
    if (!q->haveTarget || !SameAddr(from, q->target)) return;
    LeReader r(d.payload, d.payloadSize);
    if (d.kind == QXK_ENUM_REPLY) {
        if (q->enumerating && q->enumCallback && memcmp(d.payload + 224, q->enumApp, 16) == 0)
            q->enumCallback(d.payload, q->enumContext);
        return;
    }
    if (d.kind == QXK_REFUSE) {
        if (q->role == ROLE_JOINING) {
            uint32_t code = r.u32();
            q->refused = code == QX_BAD_PASSWORD || code == QX_SESSION_FULL ? (int32_t)code : QX_FAIL;
            q->role = ROLE_NONE;
        }
        return;
    }
    if (q->role != ROLE_JOINING && q->role != ROLE_JOINED) return;
    if (d.sequence <= q->host.seqIn) return;
    q->host.seqIn = d.sequence;
    q->host.heard = Now(q);
    switch (d.kind) {
        case QXK_ACCEPT:
            if (q->role == ROLE_JOINING) {
                q->localId = r.u32();
                q->serverId = r.u32();
                q->role = ROLE_JOINED;
            }
            break;
        case QXK_PLAYER_ACK:
            q->playerPending = false;
            break;
        case QXK_DATA:
            if (q->role == ROLE_JOINED)
                q->inbox.push_back(Message{q->serverId, std::vector<uint8_t>(d.payload, d.payload + d.payloadSize)});
            break;
        case QXK_CLOSE: {
            char text[CLOSE_TEXT + 1] = {};
            uint8_t n = r.u8();
            r.bytes(text, n);
            Raise(q, QX_MSG_NOTICE, 0, text);
            Raise(q, QX_MSG_SESSION_LOST, 0, nullptr);
            q->role = ROLE_NONE;
            break;
        }
        default:
            break;
    }
}

void SendJoin(QuillaxInstance* q) {
    LeWriter out;
    out.bytes(q->joinGuid, 16);
    out.bytes(q->session + 224, 16);
    out.fixedString(q->joinPassword, PASSWORD_SIZE);
    q->joinSent = Now(q);
    SendRaw(q, q->target, QXK_JOIN, 0, out.buf.data(), out.size());
}

void SendPlayer(QuillaxInstance* q) {
    LeWriter out;
    out.fixedString(q->ownName, NAME_SIZE);
    out.u32((uint32_t)q->ownData.size());
    out.bytes(q->ownData.data(), q->ownData.size());
    q->playerSent = Now(q);
    SendTo(q, &q->host, QXK_PLAYER, out.buf.data(), out.size());
}

void SendEnum(QuillaxInstance* q) {
    q->enumSent = Now(q);
    SendRaw(q, q->target, QXK_ENUM_REQ, 0, q->enumApp, 16);
}

// Reads what waits, resends what is unanswered, keeps quiet links alive and
// notices silent ones. Every entry point runs it first.
void Pump(QuillaxInstance* q) {
    if (!q->open) return;
    for (;;) {
        SockAddr from{};
        int32_t n = LinkReceive(q, &from);
        if (n == 0) break;
        if (n < 0) continue;
        QxDatagram d;
        if (quillax_DatagramRead(q->rx.data(), (size_t)n, &d) != 0) continue;
        if (q->role == ROLE_HOSTING)
            HostDatagram(q, from, d);
        else
            JoinerDatagram(q, from, d);
    }
    uint64_t now = Now(q);
    if (q->enumerating && q->haveTarget && now - q->enumSent >= ENUM_RESEND_MS) SendEnum(q);
    if (q->role == ROLE_JOINING && now - q->joinSent >= RESEND_MS) SendJoin(q);
    if (q->role == ROLE_JOINED) {
        if (q->playerPending && now - q->playerSent >= RESEND_MS) SendPlayer(q);
        if (now - q->host.heard >= QX_SILENCE_MS) {
            Raise(q, QX_MSG_SESSION_LOST, 0, nullptr);
            q->role = ROLE_NONE;
        } else if (now - q->host.sent >= KEEPALIVE_MS) {
            SendTo(q, &q->host, QXK_PING, nullptr, 0);
        }
    }
    if (q->role == ROLE_HOSTING) {
        for (size_t i = 0; i < q->peers.size();) {
            Peer* p = &q->peers[i];
            if (now - p->heard >= QX_SILENCE_MS) {
                RemovePeer(q, p);
                continue;
            }
            if (now - p->sent >= KEEPALIVE_MS) SendTo(q, p, QXK_PING, nullptr, 0);
            i++;
        }
    }
}

void LeaveSession(QuillaxInstance* q) {
    if (q->role == ROLE_JOINED) {
        // Unacknowledged: three copies, numbered apart, give it a fair chance.
        for (int i = 0; i < 3; i++) SendWord(q, &q->host, QXK_LEAVE, q->localId);
    }
    if (q->role == ROLE_HOSTING) {
        const char text[] = "The host closed the session";
        LeWriter out;
        out.u8((uint8_t)(sizeof text - 1));
        out.bytes(text, sizeof text - 1);
        for (Peer& p : q->peers)
            for (int i = 0; i < 2; i++) SendTo(q, &p, QXK_CLOSE, out.buf.data(), out.size());
        q->peers.clear();
        LinkClose(q);
    }
    q->role = ROLE_NONE;
    q->playerPending = false;
    q->ownPlayer = false;
    q->ownData.clear();
    q->localId = q->serverId = 0;
}

}  // namespace

// ---- Instances and the hub ----

QuillaxInstance* quillax_InstanceCreate(void) { return new QuillaxInstance; }

void quillax_InstanceDestroy(QuillaxInstance* q) {
    if (!q) return;
    LinkClose(q);
    if (g_q == q) g_q = &g_default;
    if (q != &g_default) delete q;
}

void quillax_InstanceSelect(QuillaxInstance* q) { g_q = q ? q : &g_default; }
QuillaxInstance* quillax_InstanceCurrent(void) { return g_q; }
void quillax_InstanceSetClock(QuillaxInstance* q, const uint64_t* ms) { q->clock = ms; }
void quillax_InstanceUseHub(QuillaxInstance* q, QuillaxHub* hub) {
    LinkClose(q);
    q->hub = hub;
}

QuillaxHub* quillax_HubCreate(uint32_t seed) {
    QuillaxHub* h = new QuillaxHub;
    h->rng = seed;
    return h;
}
void quillax_HubDestroy(QuillaxHub* hub) { delete hub; }
void quillax_HubSetFaults(QuillaxHub* h, uint32_t loss, uint32_t duplicate, uint32_t reorder) {
    h->loss = loss;
    h->duplicate = duplicate;
    h->reorder = reorder;
}
void quillax_HubSetBusy(QuillaxHub* h, uint32_t sends) { h->busy = sends; }
void quillax_HubInject(QuillaxHub* h, uint16_t fromPort, uint16_t toPort, const void* data, size_t size) {
    auto it = h->queues.find(toPort);
    if (it == h->queues.end()) return;
    const uint8_t* b = (const uint8_t*)data;
    it->second.push_back(HubPacket{SockAddr{LOOPBACK, fromPort}, std::vector<uint8_t>(b, b + size)});
}

// ---- The datagram reader ----

int32_t quillax_DatagramRead(const uint8_t* data, size_t size, QxDatagram* out) {
    if (!data || size < HEADER || data[0] != 'Q' || data[1] != 'X' || data[2] != 1) return -1;
    uint32_t seq = 0;
    le_Read32At(data, size, 4, &seq);
    size_t n = size - HEADER;
    const uint8_t* p = data + HEADER;
    bool ok = false;
    switch (data[3]) {
        case QXK_ENUM_REQ: ok = n == 16; break;
        case QXK_ENUM_REPLY: ok = n == QX_SESSION_RECORD; break;
        case QXK_JOIN: ok = n == 32 + PASSWORD_SIZE; break;
        case QXK_ACCEPT: ok = n == 8; break;
        case QXK_REFUSE: case QXK_PLAYER_ACK: case QXK_LEAVE: ok = n == 4; break;
        case QXK_PLAYER: {
            uint32_t len = 0;
            ok = le_Read32At(p, n, NAME_SIZE, &len) && len <= QX_MAX_PLAYER_DATA && n == NAME_SIZE + 4 + len;
            break;
        }
        case QXK_DATA: ok = n >= 1 && n <= QX_MAX_MESSAGE; break;
        case QXK_CLOSE: ok = n >= 1 && p[0] <= CLOSE_TEXT && n == 1u + p[0]; break;
        case QXK_PING: ok = n == 0; break;
        default: break;
    }
    if (!ok) return -1;
    // Numbered kinds never carry 0; the handshake kinds always do.
    bool unnumbered = data[3] == QXK_ENUM_REQ || data[3] == QXK_ENUM_REPLY || data[3] == QXK_JOIN ||
                      data[3] == QXK_REFUSE;
    if (unnumbered != (seq == 0)) return -1;
    out->kind = data[3];
    out->sequence = seq;
    out->payload = p;
    out->payloadSize = (uint32_t)n;
    return 0;
}

// ---- The entry points ----

int32_t quillax_Init(void) {
    QuillaxInstance* q = g_q;
    q->open = true;
    return QX_OK;
}

int32_t quillax_Close(void) {
    QuillaxInstance* q = g_q;
    quillax_CloseTCPIP();
    LeaveSession(q);
    LinkClose(q);
    q->inbox.clear();
    q->enumerating = false;
    q->open = false;
    return QX_OK;
}

int32_t quillax_InitTCPIP(const char* address) {
    QuillaxInstance* q = g_q;
    if (!q->open) return QX_FAIL;
    q->haveTarget = false;
    if (!address || !*address) return QX_OK;  // a host listens only
    char name[128];
    size_t len = strnlen(address, sizeof name - 1);
    memcpy(name, address, len);
    name[len] = 0;
    uint16_t port = q->hostPort;
    if (char* colon = strrchr(name, ':')) {
        *colon = 0;
        char* end = nullptr;
        unsigned long v = strtoul(colon + 1, &end, 10);
        if (!*(colon + 1) || *end || v == 0 || v > 65535) return QX_FAIL;
        port = (uint16_t)v;
    }
    uint32_t ip = LOOPBACK;
    if (!q->hub && sock_Resolve(name, &ip) != 0) return QX_FAIL;
    // A joiner's own port only needs to be free: when the fixed client port
    // is taken (a host on the same machine holds it), any free port serves,
    // since the host answers the port a request came from.
    if (LinkOpen(q, q->dynamicPorts ? 0 : q->clientPort) != 0 && (q->dynamicPorts || LinkOpen(q, 0) != 0))
        return QX_FAIL;
    q->target = SockAddr{ip, port};
    q->haveTarget = true;
    return QX_OK;
}

int32_t quillax_CloseTCPIP(void) {
    QuillaxInstance* q = g_q;
    if (q->role != ROLE_HOSTING) {
        LeaveSession(q);
        LinkClose(q);
    }
    q->haveTarget = false;
    q->enumerating = false;
    return QX_OK;
}

int32_t quillax_EnumSessions(const uint8_t* record, uint32_t, QuillaxEnumCallback callback, void* context,
                             uint32_t) {
    QuillaxInstance* q = g_q;
    if (!q->open || !record || !q->haveTarget) return QX_FAIL;
    memcpy(q->enumApp, record + 224, 16);
    q->enumCallback = callback;
    q->enumContext = context;
    q->enumerating = true;
    SendEnum(q);
    Pump(q);
    return QX_OK;
}

int32_t quillax_StopEnumSessions(void) {
    g_q->enumerating = false;
    return QX_OK;
}

int32_t quillax_JoinSession(const uint8_t* record) {
    QuillaxInstance* q = g_q;
    if (!q->open || !record || !q->haveTarget) return QX_FAIL;
    Pump(q);
    bool same = memcmp(q->joinGuid, record + 208, 16) == 0;
    if (q->role == ROLE_JOINED && same) return QX_OK;
    if (q->role == ROLE_HOSTING) return QX_FAIL;
    if (q->refused && same) {
        int32_t r = q->refused;
        q->refused = 0;
        return r;
    }
    if (q->role != ROLE_JOINING || !same) {
        if (q->role == ROLE_JOINED) LeaveSession(q);
        memcpy(q->joinGuid, record + 208, 16);
        memcpy(q->session + 224, record + 224, 16);
        memcpy(q->joinPassword, record + 144, PASSWORD_SIZE);
        q->joinPassword[PASSWORD_SIZE - 1] = 0;
        q->refused = 0;
        q->host = Peer{};
        q->host.addr = q->target;
        q->host.heard = Now(q);
        q->role = ROLE_JOINING;
        SendJoin(q);
        Pump(q);
    }
    if (q->role == ROLE_JOINED) return QX_OK;
    if (q->refused) {
        int32_t r = q->refused;
        q->refused = 0;
        return r;
    }
    return QX_PENDING;
}

int32_t quillax_HostSession(const uint8_t* record) {
    QuillaxInstance* q = g_q;
    if (!q->open || !record || q->role != ROLE_NONE) return QX_FAIL;
    LinkClose(q);
    if (LinkOpen(q, q->hostPort) != 0) return QX_FAIL;
    memcpy(q->session, record, QX_SESSION_RECORD);
    q->session[16 + NAME_SIZE - 1] = 0;
    q->session[144 + PASSWORD_SIZE - 1] = 0;
    // A fresh session id for every hosted session.
    uint64_t seed = Now(q) ^ ((uint64_t)q->port << 32) ^ (uint64_t)(uintptr_t)q;
    for (int i = 0; i < 16; i++) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        q->session[208 + i] = (uint8_t)(seed >> 56);
    }
    q->peers.clear();
    q->nextId = SERVER_ID + 1;
    q->role = ROLE_HOSTING;
    return QX_OK;
}

int32_t quillax_CloseSession(void) {
    QuillaxInstance* q = g_q;
    LeaveSession(q);
    return QX_OK;
}

int32_t quillax_CreatePlayer(uint32_t* id, const uint8_t* record, int32_t server, const void* data,
                             uint32_t size) {
    QuillaxInstance* q = g_q;
    if (!q->open || !id || !record || size > QX_MAX_PLAYER_DATA || (size && !data)) return QX_FAIL;
    Pump(q);
    if (q->role == ROLE_HOSTING) {
        *id = server ? SERVER_ID : q->nextId++;
    } else if (q->role == ROLE_JOINED && !server) {
        *id = q->localId;
    } else {
        return QX_FAIL;
    }
    memcpy(q->ownName, record, NAME_SIZE);
    q->ownName[NAME_SIZE - 1] = 0;
    q->ownData.assign((const uint8_t*)data, (const uint8_t*)data + size);
    q->ownPlayer = true;
    if (q->role == ROLE_JOINED) {
        q->playerPending = true;
        SendPlayer(q);
    }
    return QX_OK;
}

int32_t quillax_DestroyPlayer(uint32_t id) {
    QuillaxInstance* q = g_q;
    if (!q->open) return QX_FAIL;
    if (q->role == ROLE_JOINED && id == q->localId) {
        LeaveSession(q);
    } else if (q->role == ROLE_HOSTING) {
        q->ownPlayer = false;
    }
    return QX_OK;
}

int32_t quillax_GetMessage(void* buffer, uint32_t* size, uint32_t* sender) {
    QuillaxInstance* q = g_q;
    if (!q->open || !buffer || !size || !sender) return QX_FAIL;
    Pump(q);
    if (q->inbox.empty()) return QX_NO_MESSAGE;
    Message m = std::move(q->inbox.front());
    q->inbox.pop_front();
    if (m.bytes.size() > *size) return QX_FAIL;
    memcpy(buffer, m.bytes.data(), m.bytes.size());
    *size = (uint32_t)m.bytes.size();
    *sender = m.sender;
    return QX_OK;
}

int32_t quillax_SendToServer(const void* buffer, uint32_t size) {
    QuillaxInstance* q = g_q;
    if (!q->open || q->role != ROLE_JOINED || !buffer || size == 0 || size > QX_MAX_MESSAGE) return QX_FAIL;
    int32_t r = SendTo(q, &q->host, QXK_DATA, buffer, size);
    // A busy send is not numbered: the retry takes the same number.
    if (r == QX_BUSY) q->host.seqOut--;
    return r;
}

int32_t quillax_SendToClient(const void* buffer, uint32_t size, uint32_t player) {
    QuillaxInstance* q = g_q;
    if (!q->open || q->role != ROLE_HOSTING || !buffer || size == 0 || size > QX_MAX_MESSAGE) return QX_FAIL;
    Peer* p = PeerById(q, player);
    if (!p) return QX_FAIL;
    int32_t r = SendTo(q, p, QXK_DATA, buffer, size);
    if (r == QX_BUSY) p->seqOut--;
    return r;
}

int32_t quillax_GetPlayerName(uint32_t id, uint8_t* record) {
    QuillaxInstance* q = g_q;
    if (!q->open || !record) return QX_FAIL;
    const char* name = nullptr;
    uint32_t size = 0;
    if (q->ownPlayer && ((q->role == ROLE_HOSTING && id == SERVER_ID) || (q->role == ROLE_JOINED && id == q->localId))) {
        name = q->ownName;
        size = (uint32_t)q->ownData.size();
    } else if (Peer* p = q->role == ROLE_HOSTING ? PeerById(q, id) : nullptr; p && p->player) {
        name = p->name;
        size = (uint32_t)p->data.size();
    }
    if (!name) return QX_NO_PLAYER;
    memset(record, 0, QX_PLAYER_RECORD);
    memcpy(record, name, strnlen(name, NAME_SIZE - 1));
    PutWord(record, 128, id);
    PutWord(record, 132, size);
    return QX_OK;
}

int32_t quillax_GetPlayerData(uint32_t index, void* buffer, uint32_t* size) {
    QuillaxInstance* q = g_q;
    if (!size) return QX_FAIL;
    const std::vector<uint8_t>* data = nullptr;
    if (q->ownPlayer && ((q->role == ROLE_HOSTING && index == SERVER_ID) || (q->role == ROLE_JOINED && index == q->localId)))
        data = &q->ownData;
    else if (Peer* p = q->role == ROLE_HOSTING ? PeerById(q, index) : nullptr; p && p->player)
        data = &p->data;
    if (!data) return QX_NO_PLAYER;
    uint32_t n = (uint32_t)data->size() < *size ? (uint32_t)data->size() : *size;
    if (n) memcpy(buffer, data->data(), n);
    *size = n;
    return QX_OK;
}

int32_t quillax_GetServerId(uint32_t* id) {
    QuillaxInstance* q = g_q;
    if (!q->open || !id) return QX_FAIL;
    Pump(q);
    if (q->role == ROLE_JOINED) {
        *id = q->serverId;
        return QX_OK;
    }
    if (q->role == ROLE_HOSTING && q->ownPlayer) {
        *id = SERVER_ID;
        return QX_OK;
    }
    return QX_FAIL;
}

int32_t quillax_CancelJoin(void) {
    QuillaxInstance* q = g_q;
    if (q->role == ROLE_JOINING) q->role = ROLE_NONE;
    q->refused = 0;
    return QX_OK;
}

int32_t quillax_SetPorts(uint16_t clientPort, uint16_t hostPort) {
    g_q->clientPort = clientPort;
    g_q->hostPort = hostPort ? hostPort : QX_DEFAULT_PORT;
    return QX_OK;
}

int32_t quillax_SetDynamicPortUsage(int32_t on) {
    g_q->dynamicPorts = on != 0;
    return QX_OK;
}

int32_t quillax_GetRecvPort(uint32_t* port) {
    if (!port) return QX_FAIL;
    *port = g_q->port;
    return QX_OK;
}

int32_t quillax_EnableServerCompression(int32_t on) {
    // Game packets are sent as they are; the switch is only remembered.
    g_q->compression = on != 0;
    return QX_OK;
}

int32_t quillax_GetPlayerIPAddress(uint32_t id, uint32_t* address) {
    QuillaxInstance* q = g_q;
    if (!q->open || !address) return QX_FAIL;
    if (q->role == ROLE_HOSTING) {
        if (id == SERVER_ID) {
            *address = LOOPBACK;
            return QX_OK;
        }
        if (Peer* p = PeerById(q, id)) {
            *address = p->addr.ip;
            return QX_OK;
        }
    } else if (q->role == ROLE_JOINED && id == q->serverId) {
        *address = q->target.ip;
        return QX_OK;
    }
    return QX_NO_PLAYER;
}
