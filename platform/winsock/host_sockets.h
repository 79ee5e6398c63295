// The POSIX socket calls that the socket stand-in is built on, behind plain
// types, so that neither side sees the other's declarations: the Windows-
// shaped names (socket, sockaddr, ...) and the POSIX ones clash. Every call
// reports a failure as -1 with the matching Windows socket error code in
// `error`.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::hostsock {

// A TCP over IPv4 socket descriptor, or -1.
int OpenStreamSocket(int& error);
// Address and port in network byte order.
int BindAddress(int fd, uint32_t address, uint16_t port, int& error);
int ListenOn(int fd, int backlog, int& error);
int AcceptFrom(int fd, uint32_t& address, uint16_t& port, int& error);
int LocalAddress(int fd, uint32_t& address, uint16_t& port, int& error);
int Receive(int fd, void* buffer, int length, bool peek, int& error);
// Never raises SIGPIPE: a closed peer is an error code.
int Send(int fd, const void* buffer, int length, int& error);
int SetNonBlocking(int fd, int& error);
void CloseDescriptor(int fd);

struct Readiness {
    bool readable = false;
    bool writable = false;
    bool peerClosed = false;  // end of stream or failure seen
    int bytesAvailable = 0;
    int error = 0;            // Windows code of a pending failure, or 0
};

// Looks at each descriptor without waiting.
void PollReadiness(const int* fds, Readiness* out, size_t count);

}  // namespace platform::hostsock
