// Every wait of the probe, in short slices: the platforms' own waits cannot
// all be woken from another thread (a socket still connecting ignores a
// shutdown on Linux, a lookup cannot be interrupted at all), so each wait
// looks at its abort between slices instead, and no other thread ever
// touches the probe's socket.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "checker/net.h"

struct NetAbort {
    std::atomic<bool> fired{false};
};

namespace {

// Short enough that Stop ends every probe at once to the eye; long enough
// that a waiting probe costs nothing worth measuring.
const uint32_t SLICE_MILLISECONDS = 50;

// Lookups given up on keep their helper threads until the system answers;
// past this many the system's resolver is stuck and new lookups fail at once.
const int HELPER_LIMIT = 128;
std::atomic<int> helpers_alive{0};

struct SocketWait {
    NetSocket socket;
    bool writable;
};

bool socket_ready(void* context, uint32_t milliseconds) {
    const SocketWait* wait = static_cast<const SocketWait*>(context);
    return net_poll(wait->socket, wait->writable, milliseconds);
}

bool wait_socket(NetSocket socket, bool writable, uint64_t deadline, const NetAbort* abort) {
    SocketWait wait = {socket, writable};
    return net_wait(socket_ready, &wait, deadline, abort);
}

// What the helper thread and the waiting probe share; whichever is done last frees it.
struct HelperLookup {
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    NetLookup outcome = NET_LOOKUP_FAILED;
    uint32_t address = 0;
    std::string host;
};

bool helper_answered(void* context, uint32_t milliseconds) {
    HelperLookup* lookup = static_cast<HelperLookup*>(context);
    std::unique_lock<std::mutex> lock(lookup->mutex);
    return lookup->answered.wait_for(lock, std::chrono::milliseconds(milliseconds), [lookup] { return lookup->done; });
}

void run_helper(std::shared_ptr<HelperLookup> lookup) {
    // Winsock counts its starts: it stays up for a lookup the probe gave up on.
    bool started = net_startup();
    uint32_t address = 0;
    NetLookup outcome = started ? net_lookup_blocking(lookup->host.c_str(), &address) : NET_LOOKUP_FAILED;
    if (started) net_cleanup();
    {
        std::lock_guard<std::mutex> lock(lookup->mutex);
        lookup->outcome = outcome;
        lookup->address = address;
        lookup->done = true;
    }
    lookup->answered.notify_one();
    helpers_alive--;
}

}  // namespace

NetAbort* net_abort_create() { return new NetAbort; }

void net_abort_free(NetAbort* abort) { delete abort; }

void net_abort_reset(NetAbort* abort) { abort->fired = false; }

void net_abort_fire(NetAbort* abort) { abort->fired = true; }

bool net_aborted(const NetAbort* abort) { return abort && abort->fired; }

bool net_wait(bool (*ready)(void* context, uint32_t milliseconds), void* context, uint64_t deadline,
              const NetAbort* abort) {
    for (;;) {
        if (net_aborted(abort)) return false;
        uint32_t left = milliseconds_until(deadline);
        if (ready(context, left < SLICE_MILLISECONDS ? left : SLICE_MILLISECONDS)) return true;
        if (left == 0) return false;
    }
}

NetLookup net_lookup_on_helper(const char* host, uint32_t* address, uint64_t deadline, const NetAbort* abort) {
    if (++helpers_alive > HELPER_LIMIT) {
        helpers_alive--;
        return NET_LOOKUP_FAILED;
    }
    auto lookup = std::make_shared<HelperLookup>();
    lookup->host = host;
    std::thread(run_helper, lookup).detach();
    if (!net_wait(helper_answered, lookup.get(), deadline, abort)) return NET_LOOKUP_FAILED;
    std::lock_guard<std::mutex> lock(lookup->mutex);
    *address = lookup->address;
    return lookup->outcome;
}

bool net_connect(NetSocket socket, uint32_t address, uint16_t port, uint64_t deadline, const NetAbort* abort) {
    return net_connect_start(socket, address, port) && wait_socket(socket, true, deadline, abort) &&
           net_connect_succeeded(socket);
}

bool net_send_all(NetSocket socket, const char* bytes, int length, uint64_t deadline, const NetAbort* abort) {
    for (int sent = 0; sent < length;) {
        int n = net_send(socket, bytes + sent, length - sent);
        if (n == NET_WOULD_BLOCK || n == 0) {
            if (!wait_socket(socket, true, deadline, abort)) return false;
        } else if (n < 0) {
            return false;
        } else {
            sent += n;
        }
    }
    return true;
}

int net_receive_some(NetSocket socket, char* buffer, int size, uint64_t deadline, const NetAbort* abort) {
    for (;;) {
        if (!wait_socket(socket, false, deadline, abort)) return NET_TIMED_OUT;
        int n = net_receive(socket, buffer, size);
        if (n != NET_WOULD_BLOCK) return n < 0 ? NET_FAILED : n;
    }
}
