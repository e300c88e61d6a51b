// Ending a probe from another thread: the probe's socket is shut down under
// the abort's lock, so that it cannot be closed (and its number reused) meanwhile.
#include <mutex>

#include "checker/net.h"

struct NetAbort {
    std::mutex mutex;
    bool fired = false;
    NetSocket socket = NET_NO_SOCKET;
};

NetAbort* net_abort_create() { return new NetAbort; }

void net_abort_free(NetAbort* abort) { delete abort; }

void net_abort_reset(NetAbort* abort) {
    std::lock_guard<std::mutex> lock(abort->mutex);
    abort->fired = false;
    abort->socket = NET_NO_SOCKET;
}

void net_abort_fire(NetAbort* abort) {
    std::lock_guard<std::mutex> lock(abort->mutex);
    abort->fired = true;
    if (abort->socket != NET_NO_SOCKET) net_shutdown(abort->socket);
}

bool net_aborted(NetAbort* abort) {
    std::lock_guard<std::mutex> lock(abort->mutex);
    return abort->fired;
}

bool net_abort_watch(NetAbort* abort, NetSocket socket) {
    std::lock_guard<std::mutex> lock(abort->mutex);
    abort->socket = abort->fired ? NET_NO_SOCKET : socket;
    return !abort->fired;
}
