// Creating, binding, listening on, accepting from, naming and closing
// sockets.
#include <cstring>

#include "platform/winsock/host_sockets.h"
#include "platform/winsock/socket_table.h"

namespace platform::detail {

bool FindDescriptorLocked(SocketTable& table, SOCKET s, int& fd, int& error) {
    if (table.startCount == 0) {
        error = WSANOTINITIALISED;
        return false;
    }
    auto found = table.sockets.find(s);
    if (found == table.sockets.end()) {
        error = WSAENOTSOCK;
        return false;
    }
    fd = found->second.fd;
    return true;
}

}  // namespace platform::detail

using namespace platform::detail;
namespace host = platform::hostsock;

namespace {

bool FindDescriptor(SOCKET s, int& fd, int& error) {
    SocketTable& table = Sockets();
    std::lock_guard<std::mutex> guard(table.lock);
    return FindDescriptorLocked(table, s, fd, error);
}

}  // namespace

SOCKET WINAPI socket(int addressFamily, int type, int protocol) {
    SocketTable& table = Sockets();
    {
        std::lock_guard<std::mutex> guard(table.lock);
        if (table.startCount == 0) return SocketFailure(WSANOTINITIALISED), INVALID_SOCKET;
    }
    if (addressFamily != AF_INET) return SocketFailure(WSAEAFNOSUPPORT), INVALID_SOCKET;
    if (type != SOCK_STREAM) return SocketFailure(WSAESOCKTNOSUPPORT), INVALID_SOCKET;
    if (protocol != 0 && protocol != IPPROTO_TCP) return SocketFailure(WSAEPROTONOSUPPORT), INVALID_SOCKET;
    int error = 0;
    const int fd = host::OpenStreamSocket(error);
    if (fd < 0) return SocketFailure(error), INVALID_SOCKET;
    std::lock_guard<std::mutex> guard(table.lock);
    const SOCKET value = table.nextValue;
    table.nextValue += 4;
    table.sockets[value].fd = fd;
    return value;
}

int WINAPI bind(SOCKET s, const struct sockaddr* name, int nameLength) {
    int fd = -1, error = 0;
    if (!FindDescriptor(s, fd, error)) return SocketFailure(error);
    if (name == nullptr || nameLength < static_cast<int>(sizeof(sockaddr_in))) return SocketFailure(WSAEFAULT);
    sockaddr_in address;
    std::memcpy(&address, name, sizeof(address));
    if (address.sin_family != AF_INET) return SocketFailure(WSAEAFNOSUPPORT);
    if (host::BindAddress(fd, address.sin_addr.S_un.S_addr, address.sin_port, error) < 0)
        return SocketFailure(error);
    return 0;
}

int WINAPI listen(SOCKET s, int backlog) {
    int fd = -1, error = 0;
    if (!FindDescriptor(s, fd, error)) return SocketFailure(error);
    if (host::ListenOn(fd, backlog, error) < 0) return SocketFailure(error);
    SocketTable& table = Sockets();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.sockets.find(s);
    if (found != table.sockets.end()) found->second.listening = true;
    return 0;
}

SOCKET WINAPI accept(SOCKET s, struct sockaddr* address, int* addressLength) {
    SocketTable& table = Sockets();
    int fd = -1, error = 0;
    {
        std::lock_guard<std::mutex> guard(table.lock);
        if (!FindDescriptorLocked(table, s, fd, error)) return SocketFailure(error), INVALID_SOCKET;
        if (!table.sockets[s].listening) return SocketFailure(WSAEINVAL), INVALID_SOCKET;
    }
    if (address != nullptr && (addressLength == nullptr || *addressLength < static_cast<int>(sizeof(sockaddr_in))))
        return SocketFailure(WSAEFAULT), INVALID_SOCKET;

    uint32_t peerAddress = 0;
    uint16_t peerPort = 0;
    const int accepted = host::AcceptFrom(fd, peerAddress, peerPort, error);

    std::lock_guard<std::mutex> guard(table.lock);
    auto listener = table.sockets.find(s);
    if (listener != table.sockets.end()) listener->second.acceptArmed = true;
    if (accepted < 0) return SocketFailure(error), INVALID_SOCKET;
    if (listener == table.sockets.end()) {
        // Closed by another thread meanwhile.
        host::CloseDescriptor(accepted);
        return SocketFailure(WSAENOTSOCK), INVALID_SOCKET;
    }

    SocketRecord record;
    record.fd = accepted;
    record.connected = true;
    record.window = listener->second.window;
    record.message = listener->second.message;
    record.events = listener->second.events;
    if (listener->second.nonBlocking) {
        record.nonBlocking = host::SetNonBlocking(accepted, error) == 0;
    }
    const SOCKET value = table.nextValue;
    table.nextValue += 4;
    table.sockets[value] = record;

    if (address != nullptr) {
        sockaddr_in peer{};
        peer.sin_family = AF_INET;
        peer.sin_port = peerPort;
        peer.sin_addr.S_un.S_addr = peerAddress;
        std::memcpy(address, &peer, sizeof(peer));
        *addressLength = sizeof(peer);
    }
    return value;
}

int WINAPI getsockname(SOCKET s, struct sockaddr* name, int* nameLength) {
    int fd = -1, error = 0;
    if (!FindDescriptor(s, fd, error)) return SocketFailure(error);
    if (name == nullptr || nameLength == nullptr || *nameLength < static_cast<int>(sizeof(sockaddr_in)))
        return SocketFailure(WSAEFAULT);
    uint32_t address = 0;
    uint16_t port = 0;
    if (host::LocalAddress(fd, address, port, error) < 0) return SocketFailure(error);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = port;
    local.sin_addr.S_un.S_addr = address;
    std::memcpy(name, &local, sizeof(local));
    *nameLength = sizeof(local);
    return 0;
}

int WINAPI closesocket(SOCKET s) {
    SocketTable& table = Sockets();
    int fd = -1, error = 0;
    {
        std::lock_guard<std::mutex> guard(table.lock);
        if (!FindDescriptorLocked(table, s, fd, error)) return SocketFailure(error);
        table.sockets.erase(s);
    }
    host::CloseDescriptor(fd);
    return 0;
}
