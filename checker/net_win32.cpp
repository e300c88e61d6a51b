// The probe's sockets on Windows: Winsock 2, whose asynchronous name lookup
// can be given up on (Windows 8 and up, and Wine).
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>

#include "checker/net.h"
#include "core/handles_win32.h"
#include "core/socket_handle.h"

namespace {

SOCKET socket_of(NetSocket socket) { return static_cast<SOCKET>(socket); }

int step_failure() { return WSAGetLastError() == WSAEWOULDBLOCK ? NET_WOULD_BLOCK : NET_STEP_FAILED; }

NetLookup outcome_of(int error, const sockaddr* first, uint32_t* address) {
    if (error == WSAHOST_NOT_FOUND || error == WSANO_DATA) return NET_NO_SUCH_NAME;
    if (error != 0 || !first || first->sa_family != AF_INET) return NET_LOOKUP_FAILED;
    *address = reinterpret_cast<const sockaddr_in*>(first)->sin_addr.s_addr;
    return NET_FOUND;
}

// One asynchronous lookup, shared by the probe and the completion routine.
// Wine answers GetAddrInfoExCancel with a failure and completes the lookup
// later, writing into this record: whichever is done last frees it.
struct AsyncLookup {
    OVERLAPPED overlapped = {};
    ADDRINFOEXW* found = nullptr;
    UniqueKernelObject done{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    DWORD error = 0;
    std::atomic<int> users{2};
};

void release(AsyncLookup* lookup) {
    if (--lookup->users > 0) return;
    if (lookup->found) FreeAddrInfoExW(lookup->found);
    delete lookup;
}

void CALLBACK lookup_completed(DWORD error, DWORD, LPWSAOVERLAPPED overlapped) {
    AsyncLookup* lookup = CONTAINING_RECORD(overlapped, AsyncLookup, overlapped);
    lookup->error = error;
    SetEvent(lookup->done.get());
    release(lookup);
}

bool event_set(void* context, uint32_t milliseconds) {
    return WaitForSingleObject(static_cast<HANDLE>(context), milliseconds) == WAIT_OBJECT_0;
}

// Windows 8 and up; the headers of older systems do not declare it.
using CancelLookup = int(WSAAPI*)(HANDLE* handle);

CancelLookup cancel_function() {
    FARPROC found = GetProcAddress(GetModuleHandleA("ws2_32.dll"), "GetAddrInfoExCancel");
    return reinterpret_cast<CancelLookup>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

bool net_startup() {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

void net_cleanup() { WSACleanup(); }

NetLookup net_resolve(const char* host, uint32_t* address, uint64_t deadline, const NetAbort* abort) {
    unsigned long dotted = inet_addr(host);
    if (dotted != INADDR_NONE) {
        *address = static_cast<uint32_t>(dotted);
        return NET_FOUND;
    }
    static const CancelLookup cancel = cancel_function();
    AsyncLookup* lookup = new AsyncLookup;
    if (!lookup->done) {
        lookup->users = 1;
        release(lookup);
        return NET_LOOKUP_FAILED;
    }
    ADDRINFOEXW hints;
    memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    std::wstring name(host, host + strlen(host));  // an ASCII name
    HANDLE pending = nullptr;
    int started = GetAddrInfoExW(name.c_str(), nullptr, NS_ALL, nullptr, &hints, &lookup->found, nullptr,
                                 &lookup->overlapped, reinterpret_cast<void*>(lookup_completed), &pending);
    if (started != WSA_IO_PENDING) {
        // Answered at once: the completion routine is not called. Windows 7
        // answers WSAEINVAL: it has no asynchronous lookups.
        lookup->users = 1;
        NetLookup outcome = outcome_of(started, lookup->found ? lookup->found->ai_addr : nullptr, address);
        release(lookup);
        return started == WSAEINVAL ? net_lookup_on_helper(host, address, deadline, abort) : outcome;
    }
    if (!net_wait(event_set, lookup->done.get(), deadline, abort)) {
        if (cancel) cancel(&pending);
        release(lookup);
        return NET_LOOKUP_FAILED;
    }
    NetLookup outcome =
        outcome_of(static_cast<int>(lookup->error), lookup->found ? lookup->found->ai_addr : nullptr, address);
    release(lookup);
    return outcome;
}

NetLookup net_lookup_blocking(const char* host, uint32_t* address) {
    addrinfo hints;
    memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int error = getaddrinfo(host, nullptr, &hints, &found);
    NetLookup outcome = outcome_of(error, found ? found->ai_addr : nullptr, address);
    if (found) freeaddrinfo(found);
    return outcome;
}

NetSocket net_open_stream() {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET) return NET_NO_SOCKET;
    UniqueSocket owner(static_cast<NetSocket>(s));
    u_long on = 1;
    if (ioctlsocket(s, FIONBIO, &on) != 0) return NET_NO_SOCKET;
    return owner.release();
}

bool net_connect_start(NetSocket socket, uint32_t address, uint16_t port) {
    sockaddr_in peer;
    memset(&peer, 0, sizeof peer);
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = address;
    peer.sin_port = htons(port);
    return connect(socket_of(socket), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0 ||
           WSAGetLastError() == WSAEWOULDBLOCK;
}

bool net_connect_succeeded(NetSocket socket) {
    int error = 0;
    int length = sizeof error;
    return getsockopt(socket_of(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 &&
           error == 0;
}

// A connection that failed shows in the exception set, not as writable.
bool net_poll(NetSocket socket, bool writable, uint32_t milliseconds) {
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket_of(socket), &ready);
    FD_SET(socket_of(socket), &failed);
    timeval timeout;
    timeout.tv_sec = static_cast<long>(milliseconds / 1000);
    timeout.tv_usec = static_cast<long>(milliseconds % 1000 * 1000);
    return select(0, writable ? nullptr : &ready, writable ? &ready : nullptr, &failed, &timeout) > 0;
}

int net_send(NetSocket socket, const char* bytes, int length) {
    int sent = send(socket_of(socket), bytes, length, 0);
    return sent == SOCKET_ERROR ? step_failure() : sent;
}

int net_receive(NetSocket socket, char* buffer, int size) {
    int received = recv(socket_of(socket), buffer, size, 0);
    return received == SOCKET_ERROR ? step_failure() : received;
}

uint64_t net_milliseconds() { return GetTickCount64(); }
