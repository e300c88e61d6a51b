// The few socket operations the probe needs, over non-blocking IPv4 stream
// sockets. net_posix.cpp (BSD sockets) and net_win32.cpp (Winsock 2) each
// define the platform's part; net_wait.cpp holds the waits built on it, each
// bounded by a deadline and ended by an abort from another thread.
#pragma once

#include <cstdint>

using NetSocket = uintptr_t;
const NetSocket NET_NO_SOCKET = ~static_cast<NetSocket>(0);

// Starts the socket layer for this thread's use; false when it cannot start.
// Every successful start is paired with net_cleanup.
bool net_startup();
void net_cleanup();

// Lets another thread end a probe's network work: once fired, every wait of
// the probe (lookup, connect, send, receive, TLS) ends within a fraction of a
// second and every later one fails at once, until it is reset for the next
// probe. Touches no socket, so it cannot race with one being closed. Safe on
// any thread.
struct NetAbort;
NetAbort* net_abort_create();
void net_abort_free(NetAbort* abort);
void net_abort_reset(NetAbort* abort);
void net_abort_fire(NetAbort* abort);
// False for a null abort.
bool net_aborted(const NetAbort* abort);

// A clock in milliseconds that only moves forward, for deadlines.
uint64_t net_milliseconds();
// Milliseconds left until a moment of net_milliseconds; 0 once it has passed.
inline uint32_t milliseconds_until(uint64_t deadline) {
    uint64_t now = net_milliseconds();
    return now >= deadline ? 0 : static_cast<uint32_t>(deadline - now > 0xFFFFFFFFu ? 0xFFFFFFFFu : deadline - now);
}
// Asks ready(context, milliseconds) again and again, each time for a short
// slice, until it says yes (true), the deadline passes or the abort fires
// (false). ready waits at most the milliseconds it is given. A null abort
// never fires.
bool net_wait(bool (*ready)(void* context, uint32_t milliseconds), void* context, uint64_t deadline,
              const NetAbort* abort);

// Outcomes of a name lookup.
enum NetLookup {
    NET_FOUND,
    NET_NO_SUCH_NAME,   // the name servers say the name does not exist
    NET_LOOKUP_FAILED,  // no answer by the deadline, or one that may change: try again later
};

// A dotted decimal address is taken as it is, without a lookup; anything else
// (an ASCII name: see host_ascii.h) is resolved by name and the first IPv4
// address taken, in network byte order. The lookup ends by the deadline (a
// moment of net_milliseconds) or when the abort fires, with NET_LOOKUP_FAILED.
NetLookup net_resolve(const char* host, uint32_t* address, uint64_t deadline, const NetAbort* abort);
// The system's own lookup, which waits as long as the system likes (platform).
NetLookup net_lookup_blocking(const char* host, uint32_t* address);
// net_lookup_blocking on a helper thread of its own, waited for until the
// deadline or the abort; a late answer is dropped when it comes.
NetLookup net_lookup_on_helper(const char* host, uint32_t* address, uint64_t deadline, const NetAbort* abort);

// A non-blocking stream socket; NET_NO_SOCKET when none can be created. Its
// owner holds it in a UniqueSocket (core/socket_handle.h), which closes it.
NetSocket net_open_stream();
// Connects by the deadline; false when refused, not in time or aborted.
bool net_connect(NetSocket socket, uint32_t address, uint16_t port, uint64_t deadline, const NetAbort* abort);
// Sends every byte by the deadline; false on failure, at the deadline or on abort. Never raises a signal.
bool net_send_all(NetSocket socket, const char* bytes, int length, uint64_t deadline, const NetAbort* abort);

// Results of net_receive_some (and tls_receive) besides a byte count.
const int NET_CLOSED = 0;      // the peer has closed
const int NET_FAILED = -1;     // the connection failed
const int NET_TIMED_OUT = -2;  // nothing arrived by the deadline, or the abort fired
// Bytes received in one call (at least one), or one of the results above.
int net_receive_some(NetSocket socket, char* buffer, int size, uint64_t deadline, const NetAbort* abort);

// The platform's single steps, for net_wait.cpp. Results of net_send and
// net_receive besides a byte count (net_receive: 0 when the peer has closed).
const int NET_STEP_FAILED = -1;
const int NET_WOULD_BLOCK = -2;  // nothing can move now: wait, then try again
// Starts connecting; false when it failed at once.
bool net_connect_start(NetSocket socket, uint32_t address, uint16_t port);
// Once the socket is writable after net_connect_start: whether it connected.
bool net_connect_succeeded(NetSocket socket);
// True when the socket becomes readable (or writable) within the milliseconds;
// a failed connection counts as either.
bool net_poll(NetSocket socket, bool writable, uint32_t milliseconds);
int net_send(NetSocket socket, const char* bytes, int length);
int net_receive(NetSocket socket, char* buffer, int size);
