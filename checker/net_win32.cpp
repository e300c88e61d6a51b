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

bool net_resolve(const char* host, uint32_t* address) {
    unsigned long dotted = inet_addr(host);
    if (dotted != INADDR_NONE) {
        *address = static_cast<uint32_t>(dotted);
        return true;
    }
    // Winsock keeps the answer per thread, so this is safe on the checker thread.
    const hostent* found = gethostbyname(host);
    if (!found || found->h_addrtype != AF_INET || !found->h_addr_list[0]) return false;
    memcpy(address, found->h_addr_list[0], sizeof *address);
    return true;
}

NetSocket net_open_stream() {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    return s == INVALID_SOCKET ? NET_NO_SOCKET : static_cast<NetSocket>(s);
}

bool net_connect(NetSocket socket, uint32_t address, uint16_t port) {
    sockaddr_in peer;
    memset(&peer, 0, sizeof peer);
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = address;
    peer.sin_port = htons(port);
    return connect(socket_of(socket), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0;
}

int net_send(NetSocket socket, const char* bytes, int length) {
    int sent = send(socket_of(socket), bytes, length, 0);
    return sent == SOCKET_ERROR ? -1 : sent;
}

bool wait_readable(NetSocket socket, uint32_t seconds) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_of(socket), &readable);
    timeval timeout;
    timeout.tv_sec = static_cast<long>(seconds);
    timeout.tv_usec = 0;
    return select(0, &readable, nullptr, nullptr, &timeout) > 0;
}

int net_receive(NetSocket socket, char* buffer, int size) {
    int received = recv(socket_of(socket), buffer, size, 0);
    return received == SOCKET_ERROR ? -1 : received;
}

void net_close(NetSocket socket) { closesocket(socket_of(socket)); }
