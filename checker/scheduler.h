// Status checks of many URLs at once, polite to every site: up to N probes in
// flight on worker threads, at most one connection per host at a time, and at
// least the host interval from the end of one request to a host to the next.
//
// One Checker serves a program's whole life; a pass is the set of URLs added
// since checker_begin_pass. Hosts keep their timing across passes. A stopped
// pass's probes in flight are aborted: their connections close at once.
//
// Each request is charged to the host it went to, redirects included: its
// failures, its Retry-After and the give-up rule (a host that twice in a row
// let nothing through, or that accepted a connection and then said nothing
// for the whole wait before answering anything this pass, gives its remaining
// URLs that outcome unprobed; a redirect into it takes the same).
//
// Offline is not dead: failures (results that reached no server) are held
// back until an answer shows that the network works. When failures on
// FAILURES_BEFORE_CONFIRMING hosts pile up, or the pass ends with some held,
// no new probe starts and sites that answered before are asked; the probes
// in flight still count, since failures arrive sooner than answers. If none
// answers, the computer seems offline: the pass ends and every URL it had not
// judged comes back VERDICT_OFFLINE.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "checker/http_request.h"
#include "core/check_result.h"

// The checker's defaults, for the program's settings, lktool and the bench
// (the deadlines of one request are PROBE_WAIT_SECONDS and
// PROBE_CONNECT_SECONDS). 64 probes: a pass over many sites is bounded by
// each site's interval, not by the probes, and a silent site holds one probe
// for its whole deadline; 64 threads stay cheap on any desktop.
const uint32_t CHECK_CONNECTIONS_DEFAULT = 64;
const uint32_t CHECK_CONNECTIONS_MAX = 64;
const uint32_t HOST_INTERVAL_DEFAULT_SECONDS = 1;
// A Retry-After up to this many seconds requeues the host's URLs; a longer
// one, or a second one in the same pass, makes them blocked for the pass.
const uint32_t RETRY_AFTER_LIMIT = 60;
// Hosts failing in a row, with no answer in between, after which the checker
// asks a site that answered before whether the network works at all (hosts,
// not URLs: one dead site with many pages counts once). With a third of the
// sites dead, eight in a row come by chance about once in 6,500 hosts, so a
// working network is seldom asked; without one, the pass stops after eight
// quick failures instead of going through the collection.
const uint32_t FAILURES_BEFORE_CONFIRMING = 8;
// Sites (one URL each, on different hosts) that answered before, kept to ask.
const uint32_t WITNESSES_KEPT = 3;

struct CheckerSettings {
    uint32_t connections;       // probes in flight, 1 to CHECK_CONNECTIONS_MAX
    uint32_t host_interval_ms;  // from the end of one request to a host to the start of the next
    ProbeSettings probe;        // its request hook and abort are the checker's own
    // Called on a worker thread when results become ready to take and none
    // were waiting: one call per batch, however many results it holds.
    void (*results_ready)(void* context);
    void* context;
    // The web archive's availability service (checker/archive_lookup.h),
    // copied; null or not a web address: no page is looked up.
    const char* archive_service = nullptr;
};

// Lookups in a row that reach no server, after which the pass's remaining
// broken pages go out without one: a service that is down costs two waits.
const uint32_t ARCHIVE_FAILURES_TOLERATED = 2;

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
// without regard to letter case) is not queued again. With an archive moment
// (seconds since 1970) and an archive service, a check that finds the page
// gone, unreachable or failing with a server error asks the service for the
// snapshot nearest to that moment before its result is handed out (with the
// snapshot's address in CheckResult::archive when there is one). The service
// is one more host: one lookup at a time, the host interval apart, queued so
// that no worker waits for its turn; a stopped pass aborts the lookup in flight.
void checker_add(Checker* checker, const char* url, uint32_t archive_moment = NO_ARCHIVE_LOOKUP);
// The pass has all its URLs: once they are done, failures still held are
// confirmed (or the pass found offline) before the pass is over.
void checker_add_done(Checker* checker);
// Ends the pass at once: queued URLs are dropped, probes in flight are
// aborted, and their results, and any not yet taken, are thrown away.
void checker_stop(Checker* checker);
// A URL whose site answered an earlier check (from stored results), to ask
// when failures pile up. Kept, with the URLs that answer in passes, up to
// WITNESSES_KEPT hosts; the newest first.
void checker_add_witness(Checker* checker, const char* url);
// True when the current pass ended because no site answered.
bool checker_offline(Checker* checker);

// Moves the pass's finished checks to the end of *out. True when the pass has
// nothing queued or in flight any more: these were its last results. (Asking
// checker_pending after a take would miss a probe that ends in between.)
bool checker_take(Checker* checker, std::vector<CheckDone>* out);
// Waits until results are ready or the pass has nothing left to do, at most
// `milliseconds`. True when there is something to take or the pass is over.
bool checker_wait(Checker* checker, uint32_t milliseconds);
// URLs of this pass queued, in flight or held back; 0 when the pass is over.
uint32_t checker_pending(Checker* checker);

void free_check_done(CheckDone* done);

// The key under which a pass takes a URL once: the URL lower-cased.
std::string url_pass_key(const char* url);

// The host whose limits apply to a URL, lower-cased; empty when the URL
// reaches no host (not a web address), such URLs going without a wait.
void url_host_key(const char* url, char* key, uint32_t size);
