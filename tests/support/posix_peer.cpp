#include "tests/support/posix_peer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sockettest {

PosixPeer::PosixPeer(uint16_t portNetworkOrder) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = portNetworkOrder;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) close();
}

PosixPeer::~PosixPeer() { close(); }

uint16_t PosixPeer::localPort() const {
    sockaddr_in address{};
    socklen_t length = sizeof(address);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    return address.sin_port;
}

void PosixPeer::sendBytes(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR) continue;
            return;
        }
        done += static_cast<size_t>(sent);
    }
}

std::string PosixPeer::receive(size_t count, int milliseconds) {
    std::string bytes;
    char chunk[65536];
    while (bytes.size() < count) {
        pollfd polled{fd_, POLLIN, 0};
        if (::poll(&polled, 1, milliseconds) <= 0) break;
        const size_t want = std::min(sizeof(chunk), count - bytes.size());
        const ssize_t got = ::recv(fd_, chunk, want, 0);
        if (got <= 0) break;
        bytes.append(chunk, static_cast<size_t>(got));
    }
    return bytes;
}

bool PosixPeer::seesClosed(int milliseconds) {
    char chunk[4096];
    for (;;) {
        pollfd polled{fd_, POLLIN, 0};
        if (::poll(&polled, 1, milliseconds) <= 0) return false;
        const ssize_t got = ::recv(fd_, chunk, sizeof(chunk), 0);
        if (got <= 0) return true;
    }
}

void PosixPeer::reset() {
    linger hard{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof(hard));
    close();
}

void PosixPeer::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::string LittleEndian32(uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::string Frame(const std::string& data) { return LittleEndian32(static_cast<uint32_t>(data.size())) + data; }

}  // namespace sockettest
