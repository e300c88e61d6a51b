// The probe's sockets on POSIX systems (lktool and the native tests).
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>
#include <time.h>

#include <cerrno>
#include <cstring>

#include "checker/net.h"
#include "core/socket_handle.h"

namespace {

int fd_of(NetSocket socket) { return static_cast<int>(socket); }

int step_failure() { return errno == EAGAIN || errno == EWOULDBLOCK ? NET_WOULD_BLOCK : NET_STEP_FAILED; }

}  // namespace

bool net_startup() { return true; }

void net_cleanup() {}

NetLookup net_resolve(const char* host, uint32_t* address, uint64_t deadline, const NetAbort* abort) {
    in_addr_t dotted = inet_addr(host);
    if (dotted != INADDR_NONE) {
        *address = dotted;
        return NET_FOUND;
    }
    // The system offers no lookup that can be bounded or cancelled everywhere.
    return net_lookup_on_helper(host, address, deadline, abort);
}

NetLookup net_lookup_blocking(const char* host, uint32_t* address) {
    // getaddrinfo rather than gethostbyname: it is safe on any thread.
    addrinfo hints;
    memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int result = getaddrinfo(host, nullptr, &hints, &found);
    if (result == EAI_NONAME || result == EAI_NODATA) return NET_NO_SUCH_NAME;
    if (result != 0 || !found) return NET_LOOKUP_FAILED;
    *address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return NET_FOUND;
}

NetSocket net_open_stream() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return NET_NO_SOCKET;
    UniqueSocket owner(static_cast<NetSocket>(fd));
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) return NET_NO_SOCKET;
    return owner.release();
}

bool net_connect_start(NetSocket socket, uint32_t address, uint16_t port) {
    sockaddr_in peer;
    memset(&peer, 0, sizeof peer);
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = address;
    peer.sin_port = htons(port);
    return connect(fd_of(socket), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0 || errno == EINPROGRESS ||
           errno == EINTR;
}

bool net_connect_succeeded(NetSocket socket) {
    int error = 0;
    socklen_t length = sizeof error;
    return getsockopt(fd_of(socket), SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

// poll rather than select: select cannot watch a descriptor above FD_SETSIZE.
bool net_poll(NetSocket socket, bool writable, uint32_t milliseconds) {
    pollfd watch;
    watch.fd = fd_of(socket);
    watch.events = writable ? POLLOUT : POLLIN;
    watch.revents = 0;
    int timeout = milliseconds > 2000000000 ? 2000000000 : static_cast<int>(milliseconds);
    return poll(&watch, 1, timeout) > 0;  // an interrupted poll is one more slice
}

int net_send(NetSocket socket, const char* bytes, int length) {
    ssize_t sent;
    do {
        sent = send(fd_of(socket), bytes, static_cast<size_t>(length), MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent < 0 ? step_failure() : static_cast<int>(sent);
}

int net_receive(NetSocket socket, char* buffer, int size) {
    ssize_t received;
    do {
        received = recv(fd_of(socket), buffer, static_cast<size_t>(size), 0);
    } while (received < 0 && errno == EINTR);
    return received < 0 ? step_failure() : static_cast<int>(received);
}

uint64_t net_milliseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}
