// The probe's sockets on Windows: Winsock 1.1, which every Windows has.
#include <winsock.h>

#include <cstring>

#include "checker/net.h"

namespace {

SOCKET socket_of(NetSocket socket) { return static_cast<SOCKET>(socket); }

}  // namespace

bool net_startup() {
    WSADATA data;
    return WSAStartup(0x0101, &data) == 0;
}

void net_cleanup() { WSACleanup(); }

NetLookup net_resolve(const char* host, uint32_t* address) {
    unsigned long dotted = inet_addr(host);
    if (dotted != INADDR_NONE) {
        *address = static_cast<uint32_t>(dotted);
        return NET_FOUND;
    }
    // Winsock keeps the answer per thread, so this is safe on any thread.
    const hostent* found = gethostbyname(host);
    if (!found) {
        int error = WSAGetLastError();
        return error == WSAHOST_NOT_FOUND || error == WSANO_DATA ? NET_NO_SUCH_NAME : NET_LOOKUP_FAILED;
    }
    if (found->h_addrtype != AF_INET || !found->h_addr_list[0]) return NET_NO_SUCH_NAME;
    memcpy(address, found->h_addr_list[0], sizeof *address);
    return NET_FOUND;
}

NetSocket net_open_stream() {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    return s == INVALID_SOCKET ? NET_NO_SOCKET : static_cast<NetSocket>(s);
}

bool net_connect(NetSocket socket, uint32_t address, uint16_t port, uint32_t milliseconds) {
    sockaddr_in peer;
    memset(&peer, 0, sizeof peer);
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = address;
    peer.sin_port = htons(port);
    // Without a bound of its own a connect to a silent address takes minutes:
    // connect without blocking, wait for the outcome, then block again.
    SOCKET s = socket_of(socket);
    u_long on = 1;
    if (ioctlsocket(s, FIONBIO, &on) != 0) return false;
    bool connected = connect(s, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0;
    if (!connected && WSAGetLastError() == WSAEWOULDBLOCK) {
        fd_set writable;
        fd_set failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(s, &writable);
        FD_SET(s, &failed);
        timeval timeout = {static_cast<long>(milliseconds / 1000), static_cast<long>(milliseconds % 1000 * 1000)};
        connected = select(0, nullptr, &writable, &failed, &timeout) > 0 && FD_ISSET(s, &writable);
    }
    u_long off = 0;
    return ioctlsocket(s, FIONBIO, &off) == 0 && connected;
}

int net_send(NetSocket socket, const char* bytes, int length) {
    int sent = send(socket_of(socket), bytes, length, 0);
    return sent == SOCKET_ERROR ? -1 : sent;
}

bool wait_readable(NetSocket socket, uint32_t milliseconds) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_of(socket), &readable);
    timeval timeout;
    timeout.tv_sec = static_cast<long>(milliseconds / 1000);
    timeout.tv_usec = static_cast<long>(milliseconds % 1000 * 1000);
    return select(0, &readable, nullptr, nullptr, &timeout) > 0;
}

int net_receive(NetSocket socket, char* buffer, int size) {
    int received = recv(socket_of(socket), buffer, size, 0);
    return received == SOCKET_ERROR ? -1 : received;
}

void net_close(NetSocket socket) { closesocket(socket_of(socket)); }

void net_shutdown(NetSocket socket) { shutdown(socket_of(socket), 2); }  // SD_BOTH

uint64_t net_milliseconds() { return GetTickCount64(); }
