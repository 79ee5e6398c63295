// A started network, as the program's own start-up would leave it: the socket
// interface started, a socket window whose procedure hands the notification
// message to the socket layer, and a listening connection on 127.0.0.1 at a
// port the system picks. The log runs on the manual clock, which moves 1 ms
// at every read so that the bounded waits of closing end. Every test ends the
// network and checks that no tracked block is left.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/base/tracked_memory.h"
#include "framework/network/sockets.h"
#include "framework/network/sockets_state.h"
#include "platform/platform.h"
#include "platform/profile/machine_profile.h"
#include "platform/winsock/host_sockets.h"
#include "platform/winsock/socket_table.h"
#include "tests/support/posix_peer.h"
#include "tests/support/started_log_fixture.h"

namespace networktest {

using sockettest::Frame;
using sockettest::LittleEndian32;
using sockettest::PosixPeer;

// Run by the socket window for WM_USER + 1, so a test can act from inside a
// pump of the socket window.
inline std::function<void()> WhileDispatching;

inline LRESULT CALLBACK SocketWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == SocketNotifyMessage) return HandleSocketMessage(lParam, wParam);
    if (message == WM_USER + 1 && WhileDispatching) WhileDispatching();
    return DefWindowProcA(window, message, wParam, lParam);
}

class NetworkTest : public testsupport::StartedLogTest {
protected:
    void SetUp() override {
        StartedLogTest::SetUp();
        platform::Profile().clock.advanceNanosecondsPerRead = 1000000;
        blocksBefore_ = LiveTrackedBlocks();
        WSADATA data;
        ASSERT_EQ(WSAStartup(0x0101, &data), 0);
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = SocketWindowProcedure;
        windowClass.lpszClassName = "NetworkTestWindow";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window_ = CreateWindowExA(0, "NetworkTestWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(window_, nullptr);
        StartNetwork();
    }

    void TearDown() override {
        WhileDispatching = nullptr;
        EndNetwork();
        EXPECT_EQ(Network.started, 0);
        EXPECT_EQ(LiveTrackedBlocks(), blocksBefore_) << "a tracked block was left";
        DestroyWindow(window_);
        UnregisterClassA("NetworkTestWindow", nullptr);
        while (WSACleanup() == 0) {
        }
        StartedLogTest::TearDown();
    }

    void StartNetwork() {
        SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        ASSERT_NE(listener, INVALID_SOCKET);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.S_un.S_un_b = {127, 0, 0, 1};
        ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ASSERT_EQ(listen(listener, 16), 0);
        int length = sizeof(address);
        ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
        port_ = address.sin_port;
        ASSERT_EQ(WSAAsyncSelect(listener, window_, SocketNotifyMessage, FD_ACCEPT), 0);

        Network = NetworkState{};
        ListInit(&Network.listHead, &Network.listTail);
        auto* listening =
            static_cast<NetworkConnection*>(AllocZeroedMemory(sizeof(NetworkConnection), __FILE__, __LINE__));
        listening->inUse = 1;
        listening->socket = listener;
        listening->check = Network.checkCounter++;
        Network.slots[ListeningSlot] = listening;
        ListAdd(&Network.listHead, &listening->listNode, MakeNetworkHandle(listening->check, ListeningSlot),
                listening);
        Network.socketWindow = window_;
        Network.started = 1;
    }

    // Runs the pump until `done` holds (true) or about two seconds have
    // passed (false).
    static bool PumpUntil(const std::function<bool()>& done) {
        for (int pass = 0; pass < 2000; ++pass) {
            ProcessNetworkMessages(1);
            if (done()) return true;
            Sleep(1);
        }
        return false;
    }

    // Waits, without pumping, until at least `bytes` bytes wait to be read on
    // `s` (for a listening socket, with 0 bytes: until a connection waits to
    // be accepted).
    // The peer's bytes cross the loopback at the system's pace, so this waits
    // for them rather than for a fixed time; false after ten seconds.
    static bool WaitUntilWaiting(SOCKET s, int bytes) {
        for (int pass = 0; pass < 10000; ++pass) {
            platform::hostsock::Readiness readiness;
            {
                platform::detail::SocketTable& table = platform::detail::Sockets();
                std::lock_guard<std::mutex> guard(table.lock);
                int fd = -1, error = 0;
                if (!platform::detail::FindDescriptorLocked(table, s, fd, error)) return false;
                platform::hostsock::PollReadiness(&fd, &readiness, 1);
            }
            if (readiness.readable && readiness.bytesAvailable >= bytes) return true;
            Sleep(1);
        }
        return false;
    }

    // Runs the pump until a connection's receive side has been still for a
    // while.
    static void PumpUntilSettled(const NetworkConnection* connection) {
        int still = 0;
        int last[3] = {-1, -1, -1};
        for (int pass = 0; pass < 2000 && still < 20; ++pass) {
            ProcessNetworkMessages(1);
            const int now[3] = {connection->receiveRing.held, connection->receiveMissing,
                                connection->receiveComplete};
            still = std::equal(now, now + 3, last) ? still + 1 : 0;
            std::copy(now, now + 3, last);
            Sleep(1);
        }
    }

    // Connects a peer and pumps until the layer has accepted it; its handle,
    // or -1.
    int Connect(std::unique_ptr<PosixPeer>& peer) {
        std::vector<bool> taken(NetworkConnectionSlots);
        for (int slot = 0; slot < NetworkConnectionSlots; ++slot) taken[slot] = Network.slots[slot] != nullptr;
        peer = std::make_unique<PosixPeer>(port_);
        if (!peer->connected()) return -1;
        int found = -1;
        PumpUntil([&] {
            for (int slot = 0; slot < NetworkConnectionSlots; ++slot)
                if (!taken[slot] && Network.slots[slot] != nullptr) found = slot;
            return found >= 0;
        });
        return found < 0 ? -1 : MakeNetworkHandle(Network.slots[found]->check, found);
    }

    static std::string HeldBytes(const RingBuffer& ring) {
        std::string bytes;
        for (int i = 0; i < ring.held; ++i)
            bytes.push_back(static_cast<char>(ring.data[(ring.readPosition + i) % ring.capacity]));
        return bytes;
    }

    // Puts bytes into a ring as the game would, wrapping at its end.
    static void PutBytes(RingBuffer& ring, const std::string& bytes) {
        ASSERT_EQ(RingBufferReserve(static_cast<int>(bytes.size()), &ring), 0);
        for (char byte : bytes) {
            RingBufferFixPositions(&ring);
            ring.data[ring.writePosition++] = static_cast<uint8_t>(byte);
            ring.held++;
        }
    }

    // The log lines written since `mark` (a length of LogText()), without
    // their time stamps.
    std::vector<std::string> LinesSince(size_t mark) const {
        std::vector<std::string> lines;
        std::string text = LogSince(mark);
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            std::string line = text.substr(start, end - start);
            lines.push_back(line.substr(line.find(':') + 1));
        }
        return lines;
    }

    // The tracked allocator's count of live blocks, as its dump reports it.
    int LiveTrackedBlocks() const {
        const size_t mark = LogText().size();
        DumpMemoryAllocations();
        const std::string dump = LogSince(mark);
        const size_t at = dump.rfind("Alloc num:");
        return at == std::string::npos ? -1 : std::atoi(dump.c_str() + at + 10);
    }

    static std::string Pattern(size_t size) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
        return bytes;
    }

    HWND window_ = nullptr;
    USHORT port_ = 0;
    int blocksBefore_ = 0;
};

}  // namespace networktest
