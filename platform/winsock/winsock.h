// Sockets: TCP over IPv4 with notification by window message.
//
// Stands in for the version 1.1 socket interface the framework calls, with the
// names, structures, error codes and numeric values the framework expects:
// start and clean-up, stream sockets (socket, bind, listen, accept,
// getsockname, recv, send, closesocket), the calling thread's last socket
// error, and WSAAsyncSelect, which posts the chosen message to a window when
// a socket can be read, written, accepted from or has been closed.
// Left out: everything the framework does not call (datagrams, name
// resolution, outgoing connects, select, socket options, byte-order helpers,
// the overlapped and event-object calls of later versions).
// Built on POSIX sockets. A socket registered with WSAAsyncSelect is made
// non-blocking and is polled whenever a thread looks at its message queue
// (PeekMessageA, GetMessageA), so the notifications reach the window's queue
// as ordinary posted messages. This header includes nothing of the host.
#pragma once

#include "platform/win_types.h"

// A socket handle is pointer-sized and unsigned; no valid socket is 0.
typedef UINT_PTR SOCKET;
#define INVALID_SOCKET ((SOCKET)(~(SOCKET)0))
#define SOCKET_ERROR (-1)

#define AF_INET 2
#define SOCK_STREAM 1
#define IPPROTO_TCP 6
#define INADDR_ANY 0x00000000u
#define INADDR_LOOPBACK 0x7F000001u

// recv flags.
#define MSG_OOB 0x1
#define MSG_PEEK 0x2

// WSAAsyncSelect events. The notification's lParam holds the event in its
// low word and the error code (0 for none) in its high word.
#define FD_READ 0x01
#define FD_WRITE 0x02
#define FD_OOB 0x04
#define FD_ACCEPT 0x08
#define FD_CONNECT 0x10
#define FD_CLOSE 0x20
#define WSAMAKESELECTREPLY(event, error) ((LONG)(((DWORD)(WORD)(event)) | (((DWORD)(WORD)(error)) << 16)))
#define WSAGETSELECTEVENT(lParam) ((WORD)(((DWORD_PTR)(lParam)) & 0xFFFF))
#define WSAGETSELECTERROR(lParam) ((WORD)((((DWORD_PTR)(lParam)) >> 16) & 0xFFFF))

// Error codes that WSAGetLastError reports (and WSAStartup returns).
#define WSAEINTR 10004
#define WSAEBADF 10009
#define WSAEACCES 10013
#define WSAEFAULT 10014
#define WSAEINVAL 10022
#define WSAEMFILE 10024
#define WSAEWOULDBLOCK 10035
#define WSAEINPROGRESS 10036
#define WSAEALREADY 10037
#define WSAENOTSOCK 10038
#define WSAEMSGSIZE 10040
#define WSAEPROTONOSUPPORT 10043
#define WSAESOCKTNOSUPPORT 10044
#define WSAEOPNOTSUPP 10045
#define WSAEAFNOSUPPORT 10047
#define WSAEADDRINUSE 10048
#define WSAEADDRNOTAVAIL 10049
#define WSAENETDOWN 10050
#define WSAENETUNREACH 10051
#define WSAECONNABORTED 10053
#define WSAECONNRESET 10054
#define WSAENOBUFS 10055
#define WSAEISCONN 10056
#define WSAENOTCONN 10057
#define WSAESHUTDOWN 10058
#define WSAETIMEDOUT 10060
#define WSAECONNREFUSED 10061
#define WSAEHOSTUNREACH 10065
#define WSAVERNOTSUPPORTED 10092
#define WSANOTINITIALISED 10093

// The address fields keep the Windows names; the unsigned widths are spelt
// with the Windows types, as the C library's own short names (u_long ...)
// have other widths here.
struct in_addr {
    union {
        struct {
            UCHAR s_b1, s_b2, s_b3, s_b4;
        } S_un_b;
        struct {
            USHORT s_w1, s_w2;
        } S_un_w;
        ULONG S_addr;  // network byte order
    } S_un;
};

struct sockaddr {
    USHORT sa_family;
    CHAR sa_data[14];
};

struct sockaddr_in {
    SHORT sin_family;
    USHORT sin_port;  // network byte order
    struct in_addr sin_addr;
    CHAR sin_zero[8];
};

#define WSADESCRIPTION_LEN 256
#define WSASYS_STATUS_LEN 128

typedef struct WSAData {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[WSADESCRIPTION_LEN + 1];
    char szSystemStatus[WSASYS_STATUS_LEN + 1];
    USHORT iMaxSockets;
    USHORT iMaxUdpDg;
    char* lpVendorInfo;
} WSADATA, *LPWSADATA;

// Version 1.1 is offered; asking for less than 1.1 fails with
// WSAVERNOTSUPPORTED. Returns 0 or the error code. Calls may nest; each needs
// its WSACleanup.
int WINAPI WSAStartup(WORD versionRequested, LPWSADATA data);
// The last clean-up closes every socket still open.
int WINAPI WSACleanup(void);
int WINAPI WSAGetLastError(void);

// AF_INET stream sockets only. Sockets block until WSAAsyncSelect is used.
SOCKET WINAPI socket(int addressFamily, int type, int protocol);
int WINAPI bind(SOCKET s, const struct sockaddr* name, int nameLength);
int WINAPI listen(SOCKET s, int backlog);
// The accepted socket takes over the listening socket's WSAAsyncSelect
// registration.
SOCKET WINAPI accept(SOCKET s, struct sockaddr* address, int* addressLength);
int WINAPI getsockname(SOCKET s, struct sockaddr* name, int* nameLength);
// MSG_PEEK is the only flag taken. 0 means the peer has closed.
int WINAPI recv(SOCKET s, char* buffer, int length, int flags);
// Sends what fits without waiting once the socket is non-blocking; the count
// sent may be below `length`.
int WINAPI send(SOCKET s, const char* buffer, int length, int flags);
int WINAPI closesocket(SOCKET s);

// Posts `message` (wParam the socket, lParam WSAMAKESELECTREPLY(event,
// error)) to `window` for the chosen events, and makes the socket
// non-blocking. `events` 0 ends the notifications. Each event is posted once
// and asked for again by its re-enabling call: FD_READ by a recv that takes
// data (a peek alone does not ask again) or by more data arriving, FD_WRITE by
// a send that failed with WSAEWOULDBLOCK or took only part of the bytes, FD_ACCEPT by accept; FD_CLOSE comes
// once, after the data that arrived before it has been announced.
int WINAPI WSAAsyncSelect(SOCKET s, HWND window, UINT message, LONG events);
