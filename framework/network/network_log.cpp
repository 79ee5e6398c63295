// The network's log line: the text and, in square brackets, the last socket
// error.
#include <cstdarg>

#include "framework/base/format_text.h"
#include "framework/base/log.h"
#include "framework/network/sockets.h"
#include "platform/winsock/winsock.h"

int NetworkLogError(const char* format, ...) {
    // Taken before anything else can change it.
    const int socketError = WSAGetLastError();
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    FormatStringV(text, sizeof(text), format, arguments);
    va_end(arguments);
    return WriteLogFormat("ネットワークログ。%s[%d]", text, socketError);
}
