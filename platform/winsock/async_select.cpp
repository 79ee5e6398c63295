// WSAAsyncSelect and the poller that turns the readiness of registered
// sockets into posted notification messages. The poller runs whenever a
// thread looks at its message queue, so each notification lands in the
// window's queue before the pump that would handle it takes its messages.
#include <vector>

#include "platform/user/message_pollers.h"
#include "platform/user/user.h"
#include "platform/user/window_records.h"
#include "platform/winsock/host_sockets.h"
#include "platform/winsock/socket_table.h"

namespace platform::detail {

namespace {

struct Notification {
    HWND window;
    UINT message;
    SOCKET socket;
    LONG reply;
};

// The notifications that `readiness` calls for, with the record's event
// states moved on.
void Notify(SOCKET value, SocketRecord& record, const hostsock::Readiness& readiness,
            std::vector<Notification>& out) {
    auto post = [&](int event, int error) {
        out.push_back(Notification{record.window, record.message, value, WSAMAKESELECTREPLY(event, error)});
    };
    if (record.listening) {
        if ((record.events & FD_ACCEPT) && record.acceptArmed && readiness.readable) {
            record.acceptArmed = false;
            post(FD_ACCEPT, 0);
        }
        return;
    }
    if (!record.connected) return;

    bool readPosted = false;
    const int available = readiness.bytesAvailable;
    if ((record.events & FD_READ) && available > 0 && (record.readArmed || available > record.bytesAnnounced)) {
        record.readArmed = false;
        record.bytesAnnounced = available;
        readPosted = true;
        post(FD_READ, 0);
    }
    if ((record.events & FD_WRITE) && record.writeArmed && readiness.writable && !readiness.peerClosed) {
        record.writeArmed = false;
        post(FD_WRITE, 0);
    }
    // The close comes after the data: only once every byte that is waiting
    // has been announced and the reader has not asked for more.
    const bool dataAnnounced = available == 0 || !(record.events & FD_READ) || !record.readArmed;
    if ((record.events & FD_CLOSE) && readiness.peerClosed && !record.closePosted && !readPosted &&
        dataAnnounced) {
        record.closePosted = true;
        post(FD_CLOSE, readiness.error);
    }
}

}  // namespace

void PollSelectedSockets() {
    SocketTable& table = Sockets();
    std::vector<Notification> notifications;
    {
        std::lock_guard<std::mutex> guard(table.lock);
        std::vector<SOCKET> values;
        std::vector<int> fds;
        for (const auto& [value, record] : table.sockets) {
            if (record.window == nullptr || record.events == 0) continue;
            values.push_back(value);
            fds.push_back(record.fd);
        }
        if (values.empty()) return;
        std::vector<hostsock::Readiness> readiness(values.size());
        hostsock::PollReadiness(fds.data(), readiness.data(), fds.size());
        for (size_t i = 0; i < values.size(); ++i)
            Notify(values[i], table.sockets[values[i]], readiness[i], notifications);
    }
    // Posted outside the table's lock: posting takes the queue's lock.
    for (const Notification& each : notifications)
        PostMessageA(each.window, each.message, each.socket, each.reply);
}

}  // namespace platform::detail

using namespace platform::detail;

int WINAPI WSAAsyncSelect(SOCKET s, HWND window, UINT message, LONG events) {
    if (events != 0 && !FindWindowRecord(window)) return SocketFailure(WSAEINVAL);
    SocketTable& table = Sockets();
    {
        std::lock_guard<std::mutex> guard(table.lock);
        int fd = -1, error = 0;
        if (!FindDescriptorLocked(table, s, fd, error)) return SocketFailure(error);
        SocketRecord& record = table.sockets[s];
        if (!record.nonBlocking) {
            if (platform::hostsock::SetNonBlocking(fd, error) < 0) return SocketFailure(error);
            record.nonBlocking = true;
        }
        record.window = events != 0 ? window : nullptr;
        record.message = events != 0 ? message : 0;
        record.events = events;
        // A new registration announces every condition that already holds.
        record.readArmed = true;
        record.writeArmed = true;
        record.acceptArmed = true;
        record.closePosted = false;
        record.bytesAnnounced = 0;
    }
    RegisterMessagePoller(PollSelectedSockets);
    return 0;
}
