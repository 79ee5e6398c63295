// The far end of a test connection: a plain POSIX TCP client on 127.0.0.1,
// kept apart from the Windows-shaped socket names, which clash with the
// POSIX ones.
#pragma once

#include <cstdint>
#include <string>

namespace sockettest {

class PosixPeer {
public:
    // Connects to 127.0.0.1 on `port`, given in network byte order as a
    // socket address holds it.
    explicit PosixPeer(uint16_t portNetworkOrder);
    ~PosixPeer();
    PosixPeer(const PosixPeer&) = delete;
    PosixPeer& operator=(const PosixPeer&) = delete;

    bool connected() const { return fd_ >= 0; }
    // The peer's own port, network byte order.
    uint16_t localPort() const;
    void sendBytes(const std::string& bytes);
    // What arrives within about `milliseconds`, up to `count` bytes.
    std::string receive(size_t count, int milliseconds = 2000);
    // True when the other end has closed (end of stream or reset) within
    // about `milliseconds`; the bytes read on the way are dropped.
    bool seesClosed(int milliseconds = 2000);
    // Closes with a reset instead of an orderly close.
    void reset();
    void close();

private:
    int fd_ = -1;
};

// The bytes of a frame: the 4-byte little-endian length, then the data.
std::string Frame(const std::string& data);
std::string LittleEndian32(uint32_t value);

}  // namespace sockettest
