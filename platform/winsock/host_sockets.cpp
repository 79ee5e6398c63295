// The POSIX side of the socket stand-in: the calls themselves and the
// translation of errno into the Windows socket error codes.
#include "platform/winsock/host_sockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace platform::hostsock {
namespace {

// The values are the Windows ones (winsock.h cannot be included here).
int WindowsCode(int posixError) {
    switch (posixError) {
        case EINTR: return 10004;
        case EBADF: return 10009;
        case EACCES: return 10013;
        case EFAULT: return 10014;
        case EINVAL: return 10022;
        case EMFILE:
        case ENFILE: return 10024;
#if EAGAIN != EWOULDBLOCK
        case EAGAIN:
#endif
        case EWOULDBLOCK: return 10035;
        case EINPROGRESS: return 10036;
        case EALREADY: return 10037;
        case ENOTSOCK: return 10038;
        case EMSGSIZE: return 10040;
        case EPROTONOSUPPORT: return 10043;
        case ESOCKTNOSUPPORT: return 10044;
        case EOPNOTSUPP: return 10045;
        case EAFNOSUPPORT: return 10047;
        case EADDRINUSE: return 10048;
        case EADDRNOTAVAIL: return 10049;
        case ENETDOWN: return 10050;
        case ENETUNREACH: return 10051;
        case ECONNABORTED: return 10053;
        case ECONNRESET:
        case EPIPE: return 10054;
        case ENOBUFS:
        case ENOMEM: return 10055;
        case EISCONN: return 10056;
        case ENOTCONN: return 10057;
        case ESHUTDOWN: return 10058;
        case ETIMEDOUT: return 10060;
        case ECONNREFUSED: return 10061;
        case EHOSTUNREACH: return 10065;
        default: return 10022;
    }
}

int Fail(int& error) {
    error = WindowsCode(errno);
    return -1;
}

}  // namespace

int OpenStreamSocket(int& error) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    return fd < 0 ? Fail(error) : fd;
}

int BindAddress(int fd, uint32_t address, uint16_t port, int& error) {
    sockaddr_in name{};
    name.sin_family = AF_INET;
    name.sin_port = port;
    name.sin_addr.s_addr = address;
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&name), sizeof(name)) < 0 ? Fail(error) : 0;
}

int ListenOn(int fd, int backlog, int& error) { return ::listen(fd, backlog) < 0 ? Fail(error) : 0; }

int AcceptFrom(int fd, uint32_t& address, uint16_t& port, int& error) {
    sockaddr_in peer{};
    socklen_t length = sizeof(peer);
    int accepted;
    do {
        accepted = ::accept4(fd, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
    } while (accepted < 0 && errno == EINTR);
    if (accepted < 0) return Fail(error);
    address = peer.sin_addr.s_addr;
    port = peer.sin_port;
    return accepted;
}

int LocalAddress(int fd, uint32_t& address, uint16_t& port, int& error) {
    sockaddr_in name{};
    socklen_t length = sizeof(name);
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&name), &length) < 0) return Fail(error);
    address = name.sin_addr.s_addr;
    port = name.sin_port;
    return 0;
}

int Receive(int fd, void* buffer, int length, bool peek, int& error) {
    ssize_t got;
    do {
        got = ::recv(fd, buffer, static_cast<size_t>(length), peek ? MSG_PEEK : 0);
    } while (got < 0 && errno == EINTR);
    return got < 0 ? Fail(error) : static_cast<int>(got);
}

int Send(int fd, const void* buffer, int length, int& error) {
    ssize_t sent;
    do {
        sent = ::send(fd, buffer, static_cast<size_t>(length), MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent < 0 ? Fail(error) : static_cast<int>(sent);
}

int SetNonBlocking(int fd, int& error) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) return Fail(error);
    return 0;
}

void CloseDescriptor(int fd) { ::close(fd); }

void PollReadiness(const int* fds, Readiness* out, size_t count) {
    std::vector<pollfd> polled(count);
    for (size_t i = 0; i < count; ++i) polled[i] = pollfd{fds[i], POLLIN | POLLOUT | POLLRDHUP, 0};
    if (::poll(polled.data(), polled.size(), 0) < 0) return;
    for (size_t i = 0; i < count; ++i) {
        const short events = polled[i].revents;
        Readiness& readiness = out[i];
        readiness = Readiness{};
        readiness.readable = (events & POLLIN) != 0;
        readiness.writable = (events & POLLOUT) != 0;
        readiness.peerClosed = (events & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
        int available = 0;
        if (readiness.readable && ::ioctl(fds[i], FIONREAD, &available) == 0) readiness.bytesAvailable = available;
        if (events & POLLERR) {
            int pending = 0;
            socklen_t length = sizeof(pending);
            if (::getsockopt(fds[i], SOL_SOCKET, SO_ERROR, &pending, &length) == 0 && pending != 0)
                readiness.error = WindowsCode(pending);
        }
    }
}

}  // namespace platform::hostsock
