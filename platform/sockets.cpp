// UDP sockets on POSIX with Winsock error numbers.
#include "platform/sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
thread_local int32_t g_lastError = 0;

int32_t Fail(int32_t err) {
    g_lastError = sock_ErrorFromErrno(err);
    return -1;
}

sockaddr_in ToNative(SockAddr a) {
    sockaddr_in s;
    memset(&s, 0, sizeof s);
    s.sin_family = AF_INET;
    s.sin_addr.s_addr = htonl(a.ip);
    s.sin_port = htons(a.port);
    return s;
}
}  // namespace

int32_t sock_ErrorFromErrno(int32_t err) {
    switch (err) {
        case 0: return 0;
        case EINTR: return WSAEINTR;
        case EACCES: case EPERM: return WSAEACCES;
        case EFAULT: return WSAEFAULT;
        case EMFILE: case ENFILE: return WSAEMFILE;
        case EAGAIN: return WSAEWOULDBLOCK;
        case EMSGSIZE: return WSAEMSGSIZE;
        case EADDRINUSE: return WSAEADDRINUSE;
        case EADDRNOTAVAIL: return WSAEADDRNOTAVAIL;
        case ENETUNREACH: return WSAENETUNREACH;
        case ECONNRESET: return WSAECONNRESET;
        case ENOBUFS: case ENOMEM: return WSAENOBUFS;
        case ECONNREFUSED: return WSAECONNREFUSED;
        case EHOSTUNREACH: return WSAEHOSTUNREACH;
        default: return WSAEINVAL;
    }
}

int32_t sock_LastError(void) { return g_lastError; }

int32_t sock_OpenUdp(uint16_t port) {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return Fail(errno);
    sockaddr_in s = ToNative(SockAddr{INADDR_ANY, port});
    if (bind(fd, reinterpret_cast<sockaddr*>(&s), sizeof s) != 0) {
        int err = errno;
        close(fd);
        return Fail(err);
    }
    return fd;
}

void sock_Close(int32_t sock) {
    if (sock >= 0) close(sock);
}

uint16_t sock_LocalPort(int32_t sock) {
    sockaddr_in s;
    socklen_t n = sizeof s;
    if (getsockname(sock, reinterpret_cast<sockaddr*>(&s), &n) != 0) return 0;
    return ntohs(s.sin_port);
}

int32_t sock_SendTo(int32_t sock, const void* data, size_t size, SockAddr to) {
    sockaddr_in s = ToNative(to);
    ssize_t n = sendto(sock, data, size, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&s), sizeof s);
    if (n < 0) return Fail(errno);
    return (int32_t)n;
}

int32_t sock_RecvFrom(int32_t sock, void* buffer, size_t size, SockAddr* from) {
    sockaddr_in s;
    socklen_t n = sizeof s;
    // A datagram larger than the buffer is cut: MSG_TRUNC reports its real
    // size so the caller can drop it.
    ssize_t got = recvfrom(sock, buffer, size, MSG_TRUNC, reinterpret_cast<sockaddr*>(&s), &n);
    if (got < 0) return Fail(errno);
    if ((size_t)got > size) {
        g_lastError = WSAEMSGSIZE;
        return -1;
    }
    if (from) {
        from->ip = ntohl(s.sin_addr.s_addr);
        from->port = ntohs(s.sin_port);
    }
    return (int32_t)got;
}

int32_t sock_WaitWritable(int32_t sock, int32_t milliseconds) {
    pollfd p{sock, POLLOUT, 0};
    return poll(&p, 1, milliseconds) == 1 && (p.revents & POLLOUT) ? 1 : 0;
}

int32_t sock_Resolve(const char* name, uint32_t* ip) {
    if (!name || !*name) return -1;
    in_addr a;
    if (inet_pton(AF_INET, name, &a) == 1) {
        *ip = ntohl(a.s_addr);
        return 0;
    }
    addrinfo hints;
    memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* res = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &res) != 0 || !res) {
        g_lastError = WSAHOST_NOT_FOUND;
        return -1;
    }
    *ip = ntohl(reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(res);
    return 0;
}
