// The Windows network link: WinHTTP's WebSocket (Windows 8 and later; TLS and the system's
// trusted certificates come with it), used synchronously on two threads of the link's own:
// one connects and then receives, one sends. The game thread touches only the queues (under
// the link's lock) and the state word, and closes the handles when the link goes.
#include "platform/net_link.h"
#include "platform/net_url.h"

#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <deque>
#include <string>
#include <vector>

namespace {
// Bytes asked of one receive call; a longer message comes in several fragments.
constexpr DWORD RECEIVE_CHUNK = 64 * 1024;
constexpr USHORT CLOSE_NORMAL = 1000;
} // namespace

struct NetLink {
    NetUrl url;
    std::string authority;
    // Opened by the receiver; closed by the game thread, also to cut a blocked call short.
    std::atomic<HINTERNET> session{nullptr}, connection{nullptr}, request{nullptr}, socket{nullptr};
    HANDLE receiver = nullptr, sender = nullptr;

    // Written by the link's threads; closed is final and the error never changes after it.
    std::atomic<NetLinkState> state{NetLinkState::connecting};
    std::atomic<bool> leaving{false};
    std::string error;
    SRWLOCK lock = SRWLOCK_INIT; // guards error, the queues and their byte counts
    CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;
    std::deque<std::vector<uint8_t>> inbox, outbox;
    size_t inbox_bytes = 0, outbox_bytes = 0;
    std::vector<uint8_t> taken;
};

namespace {

std::wstring widen(const std::string& text) {
    return std::wstring(text.begin(), text.end()); // addresses are checked ASCII
}

void fail(NetLink* link, const std::string& reason) {
    AcquireSRWLockExclusive(&link->lock);
    if (link->state.load(std::memory_order_relaxed) != NetLinkState::closed) {
        link->error = reason;
        link->state.store(NetLinkState::closed, std::memory_order_release);
    }
    ReleaseSRWLockExclusive(&link->lock);
    WakeAllConditionVariable(&link->changed);
}

// What a WinHTTP failure means to a player; the number is for whoever reads a report.
std::string failure(NetLink* link, DWORD code) {
    const std::string number = " (WinHTTP error " + std::to_string(code) + ")";
    switch (code) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        return "cannot find " + link->url.host + number;
    case ERROR_WINHTTP_CANNOT_CONNECT:
        return "cannot reach " + link->authority + number;
    case ERROR_WINHTTP_TIMEOUT:
        return "cannot reach " + link->authority + ": no answer in time" + number;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        return "TLS with " + link->authority + " failed" + number;
    default:
        return link->state.load() == NetLinkState::open
                   ? "the connection to " + link->authority + " was lost" + number
                   : "cannot reach " + link->authority + number;
    }
}

bool upgrade(NetLink* link) {
    HINTERNET session = WinHttpOpen(L"Quibbet", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session) // systems before 8.1 know only the older proxy setting
        session = WinHttpOpen(L"Quibbet", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                              WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session) return false;
    link->session.store(session);
    const int wait = NET_LINK_CONNECT_TIMEOUT_MS;
    WinHttpSetTimeouts(session, wait, wait, wait, wait);
    HINTERNET connection = WinHttpConnect(session, widen(link->url.host).c_str(), link->url.port, 0);
    if (!connection) return false;
    link->connection.store(connection);
    HINTERNET request =
        WinHttpOpenRequest(connection, L"GET", widen(link->url.path).c_str(), nullptr, WINHTTP_NO_REFERER,
                           WINHTTP_DEFAULT_ACCEPT_TYPES, link->url.tls ? WINHTTP_FLAG_SECURE : 0);
    if (!request) return false;
    link->request.store(request);
    if (!WinHttpSetOption(request, WINHTTP_OPTION_UPGRADE_TO_WEB_SOCKET, nullptr, 0) ||
        !WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, nullptr, 0, 0, 0) ||
        !WinHttpReceiveResponse(request, nullptr))
        return false;
    DWORD status = 0, size = sizeof status;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    if (status != HTTP_STATUS_SWITCH_PROTOCOLS) {
        fail(link, "the server at " + link->authority + " refused the WebSocket upgrade (HTTP " +
                       std::to_string(status) + ")");
        return true;
    }
    HINTERNET socket = WinHttpWebSocketCompleteUpgrade(request, 0);
    if (!socket) return false;
    // Silence is the session's to judge, not a receive timeout's.
    DWORD forever = 0;
    WinHttpSetOption(socket, WINHTTP_OPTION_RECEIVE_TIMEOUT, &forever, sizeof forever);
    link->socket.store(socket);
    link->state.store(NetLinkState::open, std::memory_order_release);
    WakeAllConditionVariable(&link->changed);
    return true;
}

void take(NetLink* link, std::vector<uint8_t>& message) {
    AcquireSRWLockExclusive(&link->lock);
    link->inbox_bytes += message.size();
    link->inbox.push_back(std::move(message));
    // A game that stops taking holds the server back, through TCP, instead of filling memory.
    while (link->inbox_bytes >= NET_LINK_QUEUE_BYTES && !link->leaving.load())
        SleepConditionVariableSRW(&link->changed, &link->lock, INFINITE, 0);
    ReleaseSRWLockExclusive(&link->lock);
    message.clear();
}

void closed_by_server(NetLink* link) {
    USHORT code = 0;
    char reason[WINHTTP_WEB_SOCKET_MAX_CLOSE_REASON_LENGTH + 1] = {};
    DWORD length = 0;
    WinHttpWebSocketQueryCloseStatus(link->socket.load(), &code, reason, sizeof reason - 1, &length);
    const std::string said(reason, length);
    fail(link, said.empty() ? "the server closed the link" : "the server closed the link: " + said);
}

DWORD WINAPI receive_loop(void* arg) {
    NetLink* link = static_cast<NetLink*>(arg);
    if (!upgrade(link)) {
        fail(link, failure(link, GetLastError()));
        return 0;
    }
    std::vector<uint8_t> message;
    std::vector<uint8_t> chunk(RECEIVE_CHUNK);
    while (link->state.load(std::memory_order_acquire) == NetLinkState::open) {
        DWORD got = 0;
        WINHTTP_WEB_SOCKET_BUFFER_TYPE type;
        const DWORD result =
            WinHttpWebSocketReceive(link->socket.load(), chunk.data(), RECEIVE_CHUNK, &got, &type);
        if (result != NO_ERROR) {
            fail(link, failure(link, result));
        } else if (type == WINHTTP_WEB_SOCKET_CLOSE_BUFFER_TYPE) {
            closed_by_server(link);
        } else if (type == WINHTTP_WEB_SOCKET_UTF8_MESSAGE_BUFFER_TYPE ||
                   type == WINHTTP_WEB_SOCKET_UTF8_FRAGMENT_BUFFER_TYPE) {
            fail(link, "the server sent a text message");
        } else if (message.size() + got > NET_LINK_MESSAGE_MAX) {
            fail(link, "a message from the server is larger than " + std::to_string(NET_LINK_MESSAGE_MAX) +
                           " bytes");
        } else {
            message.insert(message.end(), chunk.begin(), chunk.begin() + got);
            if (type == WINHTTP_WEB_SOCKET_BINARY_MESSAGE_BUFFER_TYPE) take(link, message);
        }
    }
    return 0;
}

DWORD WINAPI send_loop(void* arg) {
    NetLink* link = static_cast<NetLink*>(arg);
    std::vector<uint8_t> message;
    for (;;) {
        AcquireSRWLockExclusive(&link->lock);
        while (!link->leaving.load() && link->state.load() != NetLinkState::closed &&
               (link->outbox.empty() || link->state.load() != NetLinkState::open))
            SleepConditionVariableSRW(&link->changed, &link->lock, INFINITE, 0);
        const bool go_on = !link->leaving.load() && link->state.load() == NetLinkState::open;
        if (go_on) {
            message = std::move(link->outbox.front());
            link->outbox.pop_front();
            link->outbox_bytes -= message.size();
        }
        ReleaseSRWLockExclusive(&link->lock);
        if (!go_on) return 0;
        const DWORD result =
            WinHttpWebSocketSend(link->socket.load(), WINHTTP_WEB_SOCKET_BINARY_MESSAGE_BUFFER_TYPE,
                                 message.data(), static_cast<DWORD>(message.size()));
        if (result != NO_ERROR) fail(link, failure(link, result));
    }
}

void close_handles(NetLink* link) {
    for (std::atomic<HINTERNET>* handle : {&link->socket, &link->request, &link->connection, &link->session})
        if (HINTERNET open = handle->exchange(nullptr)) WinHttpCloseHandle(open);
}

} // namespace

NetLink* net_link_open(const char* url) {
    NetLink* link = new NetLink;
    if (const char* reason = net_url_parse(url, &link->url)) {
        link->error = reason;
        link->state.store(NetLinkState::closed);
        return link;
    }
    link->authority = net_url_authority(link->url);
    link->receiver = CreateThread(nullptr, 0, receive_loop, link, 0, nullptr);
    link->sender = CreateThread(nullptr, 0, send_loop, link, 0, nullptr);
    if (!link->receiver || !link->sender) fail(link, "cannot start the link's threads");
    return link;
}

NetLinkState net_link_state(NetLink* link) {
    return link->state.load(std::memory_order_acquire);
}

const char* net_link_error(NetLink* link) {
    return net_link_state(link) == NetLinkState::closed ? link->error.c_str() : "";
}

bool net_link_send(NetLink* link, std::span<const uint8_t> message) {
    if (net_link_state(link) != NetLinkState::open || message.size() > NET_LINK_MESSAGE_MAX) return false;
    AcquireSRWLockExclusive(&link->lock);
    const bool room = link->outbox_bytes + message.size() <= NET_LINK_QUEUE_BYTES;
    if (room) {
        link->outbox_bytes += message.size();
        link->outbox.emplace_back(message.begin(), message.end());
    }
    ReleaseSRWLockExclusive(&link->lock);
    if (room) WakeAllConditionVariable(&link->changed);
    return room;
}

bool net_link_receive(NetLink* link, std::span<const uint8_t>* message) {
    AcquireSRWLockExclusive(&link->lock);
    const bool any = !link->inbox.empty();
    if (any) {
        link->taken = std::move(link->inbox.front());
        link->inbox.pop_front();
        link->inbox_bytes -= link->taken.size();
    }
    ReleaseSRWLockExclusive(&link->lock);
    if (!any) return false;
    WakeAllConditionVariable(&link->changed); // a receiver held back may go on
    *message = link->taken;
    return true;
}

void net_link_close(NetLink* link) {
    link->leaving.store(true);
    WakeAllConditionVariable(&link->changed);
    if (HINTERNET socket = link->socket.load(); socket && net_link_state(link) == NetLinkState::open)
        WinHttpWebSocketShutdown(socket, CLOSE_NORMAL, nullptr, 0);
    // The server's answer ends the receiver; without one in time, closing the handles cuts
    // every blocked call short.
    HANDLE threads[2];
    DWORD count = 0;
    for (HANDLE thread : {link->receiver, link->sender})
        if (thread) threads[count++] = thread;
    if (count && WaitForMultipleObjects(count, threads, TRUE, NET_LINK_CLOSE_WAIT_MS) != WAIT_OBJECT_0) {
        close_handles(link);
        WaitForMultipleObjects(count, threads, TRUE, INFINITE);
    }
    for (DWORD i = 0; i < count; ++i)
        CloseHandle(threads[i]);
    close_handles(link);
    delete link;
}
