// Status checks of many URLs at once, polite to every site: up to N probes in
// flight on worker threads, at most one connection per host at a time, and at
// least the host interval from the end of one request to a host to the next.
//
// One Checker serves a program's whole life; a pass is the set of URLs added
// since checker_begin_pass. Hosts keep their timing across passes, so a probe
// abandoned by a stopped pass still holds its host until it ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "checker/http_request.h"
#include "core/check_result.h"

const uint32_t CHECK_CONNECTIONS_DEFAULT = 16;
const uint32_t CHECK_CONNECTIONS_MAX = 64;
const uint32_t HOST_INTERVAL_DEFAULT_MS = 1000;
// A Retry-After up to this many seconds requeues the host's URLs; a longer
// one, or a second one in the same pass, makes them blocked for the pass.
const uint32_t RETRY_AFTER_LIMIT = 60;

struct CheckerSettings {
    uint32_t connections;       // probes in flight, 1 to CHECK_CONNECTIONS_MAX
    uint32_t host_interval_ms;  // from the end of one request to a host to the start of the next
    ProbeSettings probe;        // its request hook is the checker's own
    // Called on a worker thread when results become ready to take and none
    // were waiting: one call per batch, however many results it holds.
    void (*results_ready)(void* context);
    void* context;
};

// A finished check. `url` is malloc'd; free both with free_check_done.
struct CheckDone {
    char* url;
    CheckResult result;
};

struct Checker;

// Starts no thread yet: workers start with the first URL of a pass.
Checker* checker_create(const CheckerSettings* settings);
// Stops the pass and waits for every worker to end (probes in flight included).
void checker_destroy(Checker* checker);

// Takes effect for the probes that start from now on.
void checker_set_limits(Checker* checker, uint32_t connections, uint32_t host_interval_ms);
// Ends the running pass, as checker_stop, and begins a new one.
void checker_begin_pass(Checker* checker);
// Queues a URL for this pass; a URL already added in this pass (compared
// without regard to letter case) is not queued again.
void checker_add(Checker* checker, const char* url);
// Ends the pass at once: queued URLs are dropped and the results of probes in
// flight, and any not yet taken, are thrown away.
void checker_stop(Checker* checker);

// Moves the pass's finished checks to the end of *out. True when the pass has
// nothing queued or in flight any more: these were its last results. (Asking
// checker_pending after a take would miss a probe that ends in between.)
bool checker_take(Checker* checker, std::vector<CheckDone>* out);
// Waits until results are ready or the pass has nothing left to do, at most
// `milliseconds`. True when there is something to take or the pass is over.
bool checker_wait(Checker* checker, uint32_t milliseconds);
// URLs of this pass queued or in flight; 0 when the pass is over.
uint32_t checker_pending(Checker* checker);

void free_check_done(CheckDone* done);

// The key under which a pass takes a URL once: the URL lower-cased.
std::string url_pass_key(const char* url);

// The host whose limits apply to a URL, lower-cased; empty when the URL
// reaches no host (not a web address), such URLs going without a wait.
void url_host_key(const char* url, char* key, uint32_t size);
