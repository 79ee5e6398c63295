// Sockets over POSIX: start-up, the calls and their Windows error codes, and
// the notifications that WSAAsyncSelect posts, all against a plain POSIX
// client on 127.0.0.1.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/kernel.h"
#include "platform/user/user.h"
#include "platform/winsock/winsock.h"
#include "tests/support/posix_peer.h"
#include "tests/support/test_support.h"

namespace {

using sockettest::PosixPeer;

constexpr UINT kNotify = 0x505;

LRESULT CALLBACK PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Notice {
    SOCKET socket;
    int event;
    int error;
    bool operator==(const Notice&) const = default;
};

class WinsockTest : public testsupport::PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        WSADATA data;
        ASSERT_EQ(WSAStartup(0x0101, &data), 0);
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = PlainProcedure;
        windowClass.lpszClassName = "SocketTestWindow";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window_ = CreateWindowExA(0, "SocketTestWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(window_, nullptr);
    }

    void TearDown() override {
        DestroyWindow(window_);
        UnregisterClassA("SocketTestWindow", nullptr);
        while (WSACleanup() == 0) {
        }
        PlatformTest::TearDown();
    }

    // A socket listening on 127.0.0.1 at a port the system picks; `port` in
    // network byte order.
    SOCKET Listen(uint16_t& port) {
        SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        EXPECT_NE(listener, INVALID_SOCKET);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.S_un.S_un_b = {127, 0, 0, 1};
        EXPECT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        EXPECT_EQ(listen(listener, 5), 0);
        sockaddr_in bound{};
        int length = sizeof(bound);
        EXPECT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &length), 0);
        EXPECT_EQ(length, static_cast<int>(sizeof(bound)));
        EXPECT_EQ(bound.sin_addr.S_un.S_un_b.s_b1, 127);
        EXPECT_NE(bound.sin_port, 0);
        port = bound.sin_port;
        return listener;
    }

    // The notifications that arrive in the window's queue while it is pumped
    // for about `milliseconds`, or until `enough` have come.
    std::vector<Notice> Pump(size_t enough = SIZE_MAX, int milliseconds = 200) {
        std::vector<Notice> notices;
        for (int pass = 0; pass < milliseconds && notices.size() < enough; ++pass) {
            MSG message;
            bool any = false;
            while (PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) {
                any = true;
                if (message.message != kNotify) continue;
                notices.push_back(Notice{static_cast<SOCKET>(message.wParam), WSAGETSELECTEVENT(message.lParam),
                                         WSAGETSELECTERROR(message.lParam)});
            }
            if (!any) Sleep(1);
        }
        return notices;
    }

    // Accepts the peer's connection through the FD_ACCEPT notification.
    SOCKET AcceptNotified(SOCKET listener) {
        EXPECT_EQ(WSAAsyncSelect(listener, window_, kNotify, FD_ACCEPT | FD_READ | FD_WRITE | FD_CLOSE), 0);
        EXPECT_EQ(Pump(1, 2000), (std::vector<Notice>{{listener, FD_ACCEPT, 0}}));
        SOCKET accepted = accept(listener, nullptr, nullptr);
        EXPECT_NE(accepted, INVALID_SOCKET);
        return accepted;
    }

    HWND window_ = nullptr;
};

TEST(WinsockStartupTest, CallsFailUntilStartedAndOnlyVersionOneOneIsOffered) {
    EXPECT_EQ(socket(AF_INET, SOCK_STREAM, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
    WSADATA data;
    EXPECT_EQ(WSAStartup(0x0001, &data), WSAVERNOTSUPPORTED);
    ASSERT_EQ(WSAStartup(0x0202, &data), 0);
    EXPECT_EQ(data.wVersion, 0x0101);
    EXPECT_EQ(data.wHighVersion, 0x0101);
    EXPECT_EQ(WSACleanup(), 0);
}

TEST_F(WinsockTest, RefusedCallsReportTheWindowsErrorCodes) {
    uint16_t port = 0;
    SOCKET listener = Listen(port);
    SOCKET unbound = socket(AF_INET, SOCK_STREAM, 0);
    PosixPeer peer(port);
    SOCKET connected = accept(listener, nullptr, nullptr);
    ASSERT_NE(connected, INVALID_SOCKET);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    char buffer[4];
    int shortLength = 8;

    struct Call {
        const char* call;
        std::function<long long()> run;
        int error;
    };
    const Call calls[] = {
        {"socket of another family", [&] { return (long long)socket(23, SOCK_STREAM, 0); }, WSAEAFNOSUPPORT},
        {"datagram socket", [&] { return (long long)socket(AF_INET, 2, 0); }, WSAESOCKTNOSUPPORT},
        {"closesocket of no socket", [&] { return (long long)closesocket(0x7777); }, WSAENOTSOCK},
        {"bind with a short name",
         [&] { return (long long)bind(unbound, reinterpret_cast<sockaddr*>(&address), 8); }, WSAEFAULT},
        {"accept from a socket not listening", [&] { return (long long)accept(unbound, nullptr, nullptr); },
         WSAEINVAL},
        {"accept into a short address",
         [&] { return (long long)accept(listener, reinterpret_cast<sockaddr*>(&address), &shortLength); },
         WSAEFAULT},
        {"recv on a socket not connected", [&] { return (long long)recv(unbound, buffer, 4, 0); }, WSAENOTCONN},
        {"recv out of band", [&] { return (long long)recv(connected, buffer, 4, MSG_OOB); }, WSAEOPNOTSUPP},
        {"WSAAsyncSelect to no window",
         [&] { return (long long)WSAAsyncSelect(connected, reinterpret_cast<HWND>(0x4321), kNotify, FD_READ); },
         WSAEINVAL},
    };
    for (const Call& each : calls) {
        EXPECT_EQ(each.run(), -1) << each.call;
        EXPECT_EQ(WSAGetLastError(), each.error) << each.call;
    }
}

TEST_F(WinsockTest, BlockingSocketsCarryBytesBothWaysAndNameThePeer) {
    uint16_t port = 0;
    SOCKET listener = Listen(port);
    PosixPeer peer(port);
    ASSERT_TRUE(peer.connected());
    sockaddr_in from{};
    int fromLength = sizeof(from);
    SOCKET accepted = accept(listener, reinterpret_cast<sockaddr*>(&from), &fromLength);
    ASSERT_NE(accepted, INVALID_SOCKET);
    EXPECT_NE(accepted, 0u);
    EXPECT_NE(accepted, listener);
    EXPECT_EQ(from.sin_family, AF_INET);
    EXPECT_EQ(from.sin_port, peer.localPort());
    const UCHAR loopback[4] = {127, 0, 0, 1};
    EXPECT_EQ(std::memcmp(&from.sin_addr.S_un.S_un_b, loopback, 4), 0);

    peer.sendBytes("hello");
    char buffer[16] = {};
    EXPECT_EQ(recv(accepted, buffer, 5, MSG_PEEK), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    std::memset(buffer, 0, sizeof(buffer));
    EXPECT_EQ(recv(accepted, buffer, sizeof(buffer), 0), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");

    EXPECT_EQ(send(accepted, "back", 4, 0), 4);
    EXPECT_EQ(peer.receive(4), "back");

    peer.close();
    EXPECT_EQ(recv(accepted, buffer, sizeof(buffer), 0), 0);
    EXPECT_EQ(closesocket(accepted), 0);
    EXPECT_EQ(closesocket(accepted), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
}

TEST_F(WinsockTest, SelectedSocketsDoNotBlock) {
    uint16_t port = 0;
    SOCKET listener = Listen(port);
    ASSERT_EQ(WSAAsyncSelect(listener, window_, kNotify, FD_ACCEPT), 0);
    EXPECT_EQ(accept(listener, nullptr, nullptr), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);

    PosixPeer peer(port);
    SOCKET accepted = AcceptNotified(listener);
    char buffer[4];
    EXPECT_EQ(recv(accepted, buffer, sizeof(buffer), 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
}

// The events come once each, and again only after the call that asks for
// them or when more data arrives; the close comes after the data.
TEST_F(WinsockTest, NotificationsFollowTheReEnablingCalls) {
    uint16_t port = 0;
    SOCKET listener = Listen(port);
    PosixPeer peer(port);
    SOCKET accepted = AcceptNotified(listener);
    // The accepted socket has the listening socket's registration.
    EXPECT_EQ(Pump(1, 2000), (std::vector<Notice>{{accepted, FD_WRITE, 0}}));
    EXPECT_TRUE(Pump(SIZE_MAX, 20).empty());

    peer.sendBytes("abc");
    EXPECT_EQ(Pump(1, 2000), (std::vector<Notice>{{accepted, FD_READ, 0}}));
    EXPECT_TRUE(Pump(SIZE_MAX, 20).empty()) << "no FD_READ again before a recv";
    char buffer[16];
    EXPECT_EQ(recv(accepted, buffer, 3, MSG_PEEK), 3);
    EXPECT_TRUE(Pump(SIZE_MAX, 20).empty()) << "a peek does not ask again";

    peer.sendBytes("de");
    EXPECT_EQ(Pump(1, 2000), (std::vector<Notice>{{accepted, FD_READ, 0}})) << "new data is announced";
    EXPECT_EQ(recv(accepted, buffer, 2, 0), 2);
    EXPECT_EQ(Pump(1, 2000), (std::vector<Notice>{{accepted, FD_READ, 0}})) << "data left after a recv";
    EXPECT_EQ(recv(accepted, buffer, sizeof(buffer), 0), 3);
    EXPECT_TRUE(Pump(SIZE_MAX, 20).empty());

    peer.sendBytes("xy");
    peer.close();
    EXPECT_EQ(Pump(2, 2000), (std::vector<Notice>{{accepted, FD_READ, 0}, {accepted, FD_CLOSE, 0}}))
        << "the data is announced before the close";
    EXPECT_EQ(recv(accepted, buffer, sizeof(buffer), 0), 2);
    EXPECT_EQ(recv(accepted, buffer, sizeof(buffer), 0), 0);
    EXPECT_TRUE(Pump(SIZE_MAX, 20).empty()) << "FD_CLOSE comes once";
}

TEST_F(WinsockTest, AResetIsAnnouncedAsCloseWithTheResetError) {
    uint16_t port = 0;
    SOCKET listener = Listen(port);
    PosixPeer peer(port);
    SOCKET accepted = AcceptNotified(listener);
    ASSERT_EQ(WSAAsyncSelect(accepted, window_, kNotify, FD_CLOSE), 0);
    peer.reset();
    EXPECT_EQ(Pump(1, 2000), (std::vector<Notice>{{accepted, FD_CLOSE, WSAECONNRESET}}));
}

TEST_F(WinsockTest, NoEventsEndsTheNotificationsAndAClosedSocketsValueIsNotReused) {
    uint16_t port = 0;
    SOCKET listener = Listen(port);
    PosixPeer peer(port);
    SOCKET accepted = AcceptNotified(listener);
    ASSERT_EQ(WSAAsyncSelect(accepted, window_, 0, 0), 0);
    Pump(SIZE_MAX, 20);
    peer.sendBytes("quiet");
    EXPECT_TRUE(Pump(SIZE_MAX, 50).empty());

    ASSERT_EQ(closesocket(accepted), 0);
    SOCKET next = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_NE(next, accepted);
}

// A thread waiting in GetMessageA with nothing else coming still gets the
// notification.
TEST_F(WinsockTest, GetMessageWakesForANotification) {
    uint16_t port = 0;
    SOCKET listener = Listen(port);
    ASSERT_EQ(WSAAsyncSelect(listener, window_, kNotify, FD_ACCEPT), 0);
    PosixPeer peer(port);
    // Should the notification never come, this message ends the wait.
    std::atomic<bool> done{false};
    HWND window = window_;
    std::thread fallback([&] {
        for (int i = 0; i < 3000 && !done; ++i) Sleep(1);
        PostMessageA(window, WM_USER + 7, 0, 0);
    });
    MSG message{};
    ASSERT_EQ(GetMessageA(&message, window_, 0, 0), TRUE);
    done = true;
    fallback.join();
    EXPECT_EQ(message.message, kNotify);
    EXPECT_EQ(message.wParam, listener);
    EXPECT_EQ(message.lParam, WSAMAKESELECTREPLY(FD_ACCEPT, 0));
}

TEST_F(WinsockTest, TheLastCleanUpClosesEverySocket) {
    uint16_t port = 0;
    SOCKET listener = Listen(port);
    PosixPeer peer(port);
    SOCKET accepted = accept(listener, nullptr, nullptr);
    ASSERT_NE(accepted, INVALID_SOCKET);
    WSADATA data;
    ASSERT_EQ(WSAStartup(0x0101, &data), 0);
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_EQ(send(accepted, "x", 1, 0), 1) << "still started once";
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_TRUE(peer.seesClosed());
    EXPECT_EQ(closesocket(accepted), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
}

}  // namespace
