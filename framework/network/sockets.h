// The socket layer: TCP connections behind network handles, each with a
// receive ring and a send ring, framed on the wire as a 4-byte little-endian
// length followed by that many bytes. It is driven by the socket
// notification message at the socket window and by the message pump.
//
// Starting the network (the socket interface, the socket window, the
// listening connection) is not done by this program: until something starts
// it, every routine here returns at once.
#pragma once

#include "platform/user/user.h"

// Socket notifications arrive as this window message.
constexpr UINT SocketNotifyMessage = WM_USER + 0x105;

// Moves what has arrived on the connection's socket into its receive ring;
// 0, or -1.
int RecvSocket(int networkHandle);
// Moves what the connection's send ring holds onto its socket; 0, or -1.
int SendSocket(int networkHandle);
// Accepts one connection from the listening connection; 1, or -1.
int AcceptNetWork();
// The socket notification. lParam: the event word (event in the low word,
// error code in the high word); wParam: the socket. 1; 0 when the socket
// belongs to no connection; AcceptNetWork's result for FD_ACCEPT.
LRESULT HandleSocketMessage(LPARAM eventWord, WPARAM socket);
// 0, or -1 for a handle that is not valid or not in use.
int CloseNetWork(int networkHandle);
// Closes failed connections when `closeFailed` is 1 and dispatches the socket
// window's waiting messages. Returns 0.
int ProcessNetworkMessages(int closeFailed);
// Closes every connection and ends the network; 0.
int EndNetwork();
// Writes a network log line with the last socket error; -1.
int NetworkLogError(const char* format, ...) __attribute__((format(printf, 1, 2)));
