// The few socket operations the probe needs, over blocking IPv4 stream
// sockets. net_posix.cpp (BSD sockets) and net_win32.cpp (Winsock) each define
// them; the build picks one.
#pragma once

#include <cstdint>

using NetSocket = uintptr_t;
const NetSocket NET_NO_SOCKET = ~static_cast<NetSocket>(0);

// Starts the socket layer for this thread's use; false when it cannot start.
// Every successful start is paired with net_cleanup.
bool net_startup();
void net_cleanup();

// Outcomes of net_resolve.
enum NetLookup {
    NET_FOUND,
    NET_NO_SUCH_NAME,   // the name servers say the name does not exist
    NET_LOOKUP_FAILED,  // no answer, or one that may change: try again later
};

// A dotted decimal address is taken as it is, without a lookup; anything else
// is resolved by name and the first IPv4 address taken. Network byte order.
NetLookup net_resolve(const char* host, uint32_t* address);
// NET_NO_SOCKET when none can be created.
NetSocket net_open_stream();
// Connects within the given milliseconds; false when refused or not in time.
// The socket stays blocking.
bool net_connect(NetSocket socket, uint32_t address, uint16_t port, uint32_t milliseconds);
// Bytes sent in one call, or -1. Never raises a signal.
int net_send(NetSocket socket, const char* bytes, int length);
// True when the socket becomes readable within the given milliseconds.
bool wait_readable(NetSocket socket, uint32_t milliseconds);
// Bytes received in one call (0 when the peer has closed), or -1.
int net_receive(NetSocket socket, char* buffer, int size);
void net_close(NetSocket socket);
// Ends every send and receive on the socket, from any thread: a call blocked
// on it returns at once. The socket still needs net_close.
void net_shutdown(NetSocket socket);

// Lets another thread end a probe's network work at once. Once fired, the
// socket it watches is shut down and every later step of the probe fails at
// once, until it is reset for the next probe. Safe on any thread.
struct NetAbort;
NetAbort* net_abort_create();
void net_abort_free(NetAbort* abort);
void net_abort_reset(NetAbort* abort);
void net_abort_fire(NetAbort* abort);
bool net_aborted(NetAbort* abort);
// The socket a fire shuts down; NET_NO_SOCKET before that socket is closed.
// False when the abort has fired already (the socket is not watched then).
bool net_abort_watch(NetAbort* abort, NetSocket socket);
// A clock in milliseconds that only moves forward, for deadlines.
uint64_t net_milliseconds();
// Milliseconds left until a moment of net_milliseconds; 0 once it has passed.
inline uint32_t milliseconds_until(uint64_t deadline) {
    uint64_t now = net_milliseconds();
    return now >= deadline ? 0 : static_cast<uint32_t>(deadline - now > 0xFFFFFFFFu ? 0xFFFFFFFFu : deadline - now);
}
