// The socket layer as the window side calls it: the socket notification
// message and the per-pass processing.
#pragma once

#include "platform/user/user.h"

// Socket notifications arrive as this window message.
constexpr UINT SocketNotifyMessage = WM_USER + 0x105;

// lParam: the event word; wParam: the socket. 0 when the socket belongs to no
// connection.
LRESULT HandleSocketMessage(LPARAM eventWord, WPARAM socket);
// Returns 0.
int ProcessNetworkMessages(int closeFailed);
// Closes every connection and ends the socket layer; 0.
int EndNetwork();
