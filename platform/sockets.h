// UDP sockets on POSIX, reporting failures with the Winsock error numbers
// the networking code compares.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int32_t WSAEINTR = 10004;
constexpr int32_t WSAEACCES = 10013;
constexpr int32_t WSAEFAULT = 10014;
constexpr int32_t WSAEINVAL = 10022;
constexpr int32_t WSAEMFILE = 10024;
constexpr int32_t WSAEWOULDBLOCK = 10035;
constexpr int32_t WSAEMSGSIZE = 10040;
constexpr int32_t WSAEADDRINUSE = 10048;
constexpr int32_t WSAEADDRNOTAVAIL = 10049;
constexpr int32_t WSAENETUNREACH = 10051;
constexpr int32_t WSAECONNRESET = 10054;
constexpr int32_t WSAENOBUFS = 10055;
constexpr int32_t WSAECONNREFUSED = 10061;
constexpr int32_t WSAEHOSTUNREACH = 10065;
constexpr int32_t WSAHOST_NOT_FOUND = 11001;

// An address in host order: IPv4 and port.
struct SockAddr {
    uint32_t ip;
    uint16_t port;
};

// A non-blocking UDP socket bound to the port (0: an ephemeral one) on all
// interfaces; -1 on failure.
int32_t sock_OpenUdp(uint16_t port);
void sock_Close(int32_t sock);
// The port the socket is bound to; 0 on failure.
uint16_t sock_LocalPort(int32_t sock);
// The bytes sent, or -1 (see sock_LastError).
int32_t sock_SendTo(int32_t sock, const void* data, size_t size, SockAddr to);
// The bytes received, or -1 (WSAEWOULDBLOCK when nothing waits).
int32_t sock_RecvFrom(int32_t sock, void* buffer, size_t size, SockAddr* from);
// Waits up to the time for the socket to take a datagram: 1 ready, 0 not.
int32_t sock_WaitWritable(int32_t sock, int32_t milliseconds);
// "a.b.c.d" or a host name: 0 and the address, or -1.
int32_t sock_Resolve(const char* name, uint32_t* ip);
// The Winsock number of the last failure of this thread.
int32_t sock_LastError(void);
// The Winsock number of a POSIX errno value.
int32_t sock_ErrorFromErrno(int32_t err);
