// The probe's sockets on POSIX systems (lktool and the native tests).
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "checker/net.h"

namespace {

int fd_of(NetSocket socket) { return static_cast<int>(socket); }

}  // namespace

bool net_startup() { return true; }

void net_cleanup() {}

bool net_resolve(const char* host, uint32_t* address) {
    in_addr_t dotted = inet_addr(host);
    if (dotted != INADDR_NONE) {
        *address = dotted;
        return true;
    }
    // getaddrinfo rather than gethostbyname: it is safe on any thread.
    addrinfo hints;
    memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return false;
    *address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

NetSocket net_open_stream() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    return fd < 0 ? NET_NO_SOCKET : static_cast<NetSocket>(fd);
}

bool net_connect(NetSocket socket, uint32_t address, uint16_t port) {
    sockaddr_in peer;
    memset(&peer, 0, sizeof peer);
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = address;
    peer.sin_port = htons(port);
    int result;
    do {
        result = connect(fd_of(socket), reinterpret_cast<const sockaddr*>(&peer), sizeof peer);
    } while (result < 0 && errno == EINTR);
    return result == 0;
}

int net_send(NetSocket socket, const char* bytes, int length) {
    ssize_t sent;
    do {
        sent = send(fd_of(socket), bytes, static_cast<size_t>(length), MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return static_cast<int>(sent);
}

// poll rather than select: select cannot watch a descriptor above FD_SETSIZE.
bool wait_readable(NetSocket socket, uint32_t seconds) {
    pollfd watch;
    watch.fd = fd_of(socket);
    watch.events = POLLIN;
    watch.revents = 0;
    int timeout = seconds > 2000000 ? 2000000000 : static_cast<int>(seconds * 1000);
    int result;
    do {
        result = poll(&watch, 1, timeout);
    } while (result < 0 && errno == EINTR);
    return result > 0;
}

int net_receive(NetSocket socket, char* buffer, int size) {
    ssize_t received;
    do {
        received = recv(fd_of(socket), buffer, static_cast<size_t>(size), 0);
    } while (received < 0 && errno == EINTR);
    return static_cast<int>(received);
}

void net_close(NetSocket socket) { close(fd_of(socket)); }
