// Receiving and sending on a connected socket, with the re-enabling of the
// FD_READ and FD_WRITE notifications that these calls do.
#include "platform/winsock/host_sockets.h"
#include "platform/winsock/socket_table.h"

using namespace platform::detail;
namespace host = platform::hostsock;

namespace {

// The descriptor of a connected socket, or the error to report.
bool FindConnected(SOCKET s, int& fd, int& error) {
    SocketTable& table = Sockets();
    std::lock_guard<std::mutex> guard(table.lock);
    if (!FindDescriptorLocked(table, s, fd, error)) return false;
    if (!table.sockets[s].connected) {
        error = WSAENOTCONN;
        return false;
    }
    return true;
}

template <typename Change>
void UpdateRecord(SOCKET s, Change change) {
    SocketTable& table = Sockets();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.sockets.find(s);
    if (found != table.sockets.end()) change(found->second);
}

}  // namespace

int WINAPI recv(SOCKET s, char* buffer, int length, int flags) {
    int fd = -1, error = 0;
    if (!FindConnected(s, fd, error)) return SocketFailure(error);
    if ((flags & ~MSG_PEEK) != 0) return SocketFailure(WSAEOPNOTSUPP);
    if (length < 0 || (buffer == nullptr && length > 0)) return SocketFailure(WSAEFAULT);
    const bool peek = (flags & MSG_PEEK) != 0;
    const int got = host::Receive(fd, buffer, length, peek, error);
    // A peek that leaves the data where it is does not ask for another
    // FD_READ: the next one comes with the next data, so a reader waiting for
    // more than has come is not called again and again for the same bytes.
    if (!peek) {
        UpdateRecord(s, [](SocketRecord& record) {
            record.readArmed = true;
            record.bytesAnnounced = 0;
        });
    }
    return got < 0 ? SocketFailure(error) : got;
}

int WINAPI send(SOCKET s, const char* buffer, int length, int flags) {
    int fd = -1, error = 0;
    if (!FindConnected(s, fd, error)) return SocketFailure(error);
    if (flags != 0) return SocketFailure(WSAEOPNOTSUPP);
    if (length < 0 || (buffer == nullptr && length > 0)) return SocketFailure(WSAEFAULT);
    const int sent = host::Send(fd, buffer, length, error);
    // A full socket asks for FD_WRITE, for when it can take more. Here a
    // non-blocking send may also take only part of the bytes, which says the
    // same.
    const bool full = sent < 0 ? error == WSAEWOULDBLOCK : sent < length;
    if (full) UpdateRecord(s, [](SocketRecord& record) { record.writeArmed = true; });
    return sent < 0 ? SocketFailure(error) : sent;
}
