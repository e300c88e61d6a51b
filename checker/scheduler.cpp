// The per-host scheduler and its worker threads.
#include "checker/scheduler.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <queue>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "checker/archive_lookup.h"
#include "checker/check_url.h"
#include "checker/host_ascii.h"
#include "checker/net.h"
#include "checker/url.h"
#include "core/bookmark.h"
#include "core/containers.h"

namespace {

using Clock = std::chrono::steady_clock;

// A finished check of a broken page, waiting for the archive service to be
// asked for its snapshot nearest to the moment.
struct Lookup {
    CheckDone done;
    uint32_t moment;
};

struct Host {
    std::string name;
    std::deque<std::string> queue;  // this pass's URLs waiting for the host
    std::deque<Lookup> lookups;     // this pass's broken pages, when the host is the archive service
    Clock::time_point next_start;   // no request to the host starts before
    bool busy = false;              // a probe holds the host
    bool scheduled = false;         // in the ready queue
    // What this pass has learnt of the host (valid while pass == the checker's).
    uint64_t pass = 0;
    bool retried = false;      // it asked once to come back later
    bool answered = false;     // a request to it got a reply
    uint32_t failures = 0;     // requests in a row that reached no server
    bool given_up = false;     // its remaining URLs share `outcome` unprobed
    CheckResult outcome = {};  // target always null
};

struct Ready {
    Clock::time_point when;
    uint64_t order;
    Host* host;
    bool operator<(const Ready& other) const {  // the earliest first, then the first queued
        return when != other.when ? when > other.when : order > other.order;
    }
};

struct Worker {
    Checker* checker = nullptr;
    uint32_t index = 0;
    std::thread thread;
    bool alive = false;
    NetAbort* abort = nullptr;  // fired when the probe's pass is abandoned
    // The job under way (valid while probing).
    bool probing = false;
    bool witness = false;   // asking a site that answered before, not a URL of the pass
    bool lookup = false;    // asking the archive service for `looked_up`
    Lookup looked_up = {};  // owned until delivered (or freed when the pass is abandoned)
    bool dropped = false;   // its result is no longer wanted
    std::string url;
    uint64_t pass = 0;
    Host* holding = nullptr;     // the host this worker's probe may talk to
    bool first_granted = false;  // the host's first request was granted with the job
    bool replied = false;        // a request of the probe got a reply (before its last)
    Host* refused_by = nullptr;  // the given-up host a redirect led into
    ProbeSettings probe;
};

std::string lower(const char* text) {
    std::string s(text);
    for (char& c : s) c = fold_ascii(c);
    return s;
}

// A result that reached no server: on a computer without network every
// result looks like this, so it must not be believed on its own.
bool no_answer(const CheckResult& result) { return result.verdict == VERDICT_UNREACHABLE && result.http_status == 0; }

bool replied(const CheckResult& result) {
    return result.http_status != 0 || result.verdict == VERDICT_OK || result.verdict == VERDICT_DATED ||
           result.verdict == VERDICT_MOVED;
}

struct Witness {
    std::string url;
    std::string host;  // its host key
};
const uint32_t WITNESS_KEY_SIZE = 256;

const CheckResult OFFLINE_RESULT = {VERDICT_OFFLINE, DATE_UNSET, 0, 0, nullptr, CHECK_ERROR_NONE};

bool worker_gate(void* context, const char* host);
void worker_main(Worker* worker);

}  // namespace

struct Checker {
    CheckerSettings settings;
    std::mutex mutex;
    std::condition_variable work;   // workers and request gates: a host or the pass changed
    std::condition_variable ready;  // checker_wait: results arrived or the pass ended
    std::unordered_map<std::string, std::unique_ptr<Host>> hosts;
    std::priority_queue<Ready> waiting_hosts;  // hosts with queued URLs that no probe holds
    std::deque<std::string> hostless;          // URLs that reach no host: no wait
    // This pass's URLs, lower-cased, with the moment whose archived copy a
    // broken one asks for (NO_ARCHIVE_LOOKUP: none).
    std::unordered_map<std::string, uint32_t> seen;
    std::string archive_service;
    std::string archive_host;       // its host key; empty: no lookups
    uint32_t archive_failures = 0;  // this pass's lookups in a row that reached no server
    uint64_t order = 0;
    uint64_t pass = 1;
    uint32_t queued = 0;
    uint32_t in_flight = 0;  // this pass's probes under way
    std::vector<CheckDone> results;
    std::vector<CheckDone> held;              // failures since the last answer
    std::unordered_set<Host*> failing_hosts;  // hosts whose requests failed since the last answer
    bool all_added = false;                   // the caller has added the pass's last URL
    bool confirming = false;                  // no probe of the pass starts until an answer or the verdict
    size_t witness_next = 0;                  // the next witness this confirmation asks
    bool offline = false;                     // the pass ended: no site answers
    std::deque<Witness> witnesses;            // sites that answered, one URL per host, the newest first
    bool closing = false;
    Worker workers[CHECK_CONNECTIONS_MAX];
};

namespace {

Host* host_named(Checker* c, const std::string& key) {
    std::unique_ptr<Host>& slot = c->hosts[key];
    if (!slot) {
        slot.reset(new Host);
        slot->name = key;
    }
    Host* h = slot.get();
    if (h->pass != c->pass) {
        h->pass = c->pass;
        h->retried = false;
        h->answered = false;
        h->failures = 0;
        h->given_up = false;
    }
    return h;
}

void schedule(Checker* c, Host* h) {
    if (h->busy || h->scheduled || (h->queue.empty() && h->lookups.empty())) return;
    h->scheduled = true;
    c->waiting_hosts.push(Ready{h->next_start, c->order++, h});
    c->work.notify_one();
}

void release(Checker* c, Host* h) {
    if (!h) return;
    h->busy = false;
    // The interval runs from the end of the exchange, so that a site never
    // sees two requests closer than that, however long the first one took.
    h->next_start = std::max(h->next_start, Clock::now() + std::chrono::milliseconds(c->settings.host_interval_ms));
    schedule(c, h);
    c->work.notify_all();  // request gates may wait for this host
}

void deliver(Checker* c, char* url, const CheckResult& result) {
    bool was_empty = c->results.empty();
    c->results.push_back(CheckDone{url, result});
    if (was_empty && c->settings.results_ready) c->settings.results_ready(c->settings.context);
    c->ready.notify_all();
}

bool pass_over(const Checker* c) { return c->queued == 0 && c->in_flight == 0 && c->held.empty(); }

bool archive_down(const Checker* c) { return c->archive_failures >= ARCHIVE_FAILURES_TOLERATED; }

// A broken page's result waits for its archived copy when one is wanted and
// the service may answer; every other result goes out.
void finish(Checker* c, char* url, const CheckResult& result) {
    if (!c->archive_host.empty() && !archive_down(c) && is_failure_verdict(result.verdict)) {
        auto wanted = c->seen.find(url_pass_key(url));
        if (wanted != c->seen.end() && wanted->second != NO_ARCHIVE_LOOKUP) {
            Host* h = host_named(c, c->archive_host);
            h->lookups.push_back(Lookup{CheckDone{url, result}, wanted->second});
            c->queued++;
            schedule(c, h);
            return;
        }
    }
    deliver(c, url, result);
}

// The broken pages still waiting for the service go out as they are.
void flush_lookups(Checker* c) {
    if (c->archive_host.empty()) return;
    Host* h = host_named(c, c->archive_host);
    for (Lookup& lookup : h->lookups) deliver(c, lookup.done.url, lookup.done.result);
    c->queued -= static_cast<uint32_t>(h->lookups.size());
    h->lookups.clear();
}

// A failure waits for an answer that shows the network works; anything else goes out.
void hold_or_deliver(Checker* c, char* url, const CheckResult& result) {
    if (!no_answer(result)) {
        finish(c, url, result);
        return;
    }
    c->held.push_back(CheckDone{url, result});
}

void add_witness(Checker* c, const std::string& url, bool newest) {
    Witness witness = {url, std::string(WITNESS_KEY_SIZE, '\0')};
    url_host_key(url.c_str(), &witness.host[0], WITNESS_KEY_SIZE);
    witness.host.resize(strlen(witness.host.c_str()));
    if (witness.host.empty()) return;
    for (auto it = c->witnesses.begin(); it != c->witnesses.end(); ++it) {
        if (it->host != witness.host) continue;
        if (!newest) return;
        c->witnesses.erase(it);
        break;
    }
    if (newest) {
        c->witnesses.push_front(witness);
        if (c->witnesses.size() > WITNESSES_KEPT) c->witnesses.pop_back();
    } else if (c->witnesses.size() < WITNESSES_KEPT) {
        c->witnesses.push_back(witness);
    }
}

// A site answered: the failures held so far are real.
void note_answer(Checker* c, const std::string& url) {
    for (CheckDone& done : c->held) finish(c, done.url, done.result);
    c->held.clear();
    c->failing_hosts.clear();
    c->confirming = false;
    c->witness_next = 0;
    add_witness(c, url, true);
    c->work.notify_all();
}

// No site answers: every URL of the pass not yet judged comes back offline.
void go_offline(Checker* c) {
    c->offline = true;
    c->confirming = false;
    for (CheckDone& done : c->held) {
        free_check_result(&done.result);
        deliver(c, done.url, OFFLINE_RESULT);
    }
    c->held.clear();
    flush_lookups(c);  // judged before the network went
    for (auto& entry : c->hosts) {
        for (const std::string& url : entry.second->queue) deliver(c, str_dup(url.c_str()), OFFLINE_RESULT);
        entry.second->queue.clear();
        entry.second->scheduled = false;
    }
    c->waiting_hosts = std::priority_queue<Ready>();
    for (const std::string& url : c->hostless) deliver(c, str_dup(url.c_str()), OFFLINE_RESULT);
    c->hostless.clear();
    for (Worker& w : c->workers) {
        if (!w.probing || w.pass != c->pass || w.dropped) continue;
        w.dropped = true;
        net_abort_fire(w.abort);
        if (w.lookup) {
            deliver(c, w.looked_up.done.url, w.looked_up.done.result);
            w.looked_up = Lookup{};
        } else if (!w.witness) {
            deliver(c, str_dup(w.url.c_str()), OFFLINE_RESULT);
        }
    }
    c->queued = 0;
    c->in_flight = 0;
    c->ready.notify_all();
}

bool witness_out(const Checker* c) {
    for (const Worker& w : c->workers) {
        if (w.probing && w.witness && !w.dropped && w.pass == c->pass) return true;
    }
    return false;
}

// After every change: a pass that ends with failures held asks a witness
// too; a confirmation with no witness left to ask and no probe in flight
// that might still answer ends the pass offline.
void check_progress(Checker* c) {
    if (c->offline) return;
    if (c->all_added && !c->held.empty() && c->queued == 0 && c->in_flight == 0) c->confirming = true;
    if (!c->confirming || witness_out(c)) return;
    if (c->witness_next < c->witnesses.size()) {
        c->work.notify_all();
    } else if (c->in_flight == 0) {
        go_offline(c);
    }
}

// The host's remaining URLs of this pass all get its outcome, unprobed.
void give_up_host(Checker* c, Host* h, const CheckResult& outcome) {
    h->given_up = true;
    h->outcome = outcome;
    h->outcome.target = nullptr;
    h->outcome.archive = nullptr;
    h->outcome.retry_after = 0;
    for (const std::string& url : h->queue) hold_or_deliver(c, str_dup(url.c_str()), h->outcome);
    c->queued -= static_cast<uint32_t>(h->queue.size());
    h->queue.clear();
}

void clear_pass(Checker* c) {
    c->pass++;
    for (auto& entry : c->hosts) {
        entry.second->queue.clear();
        for (Lookup& lookup : entry.second->lookups) free_check_done(&lookup.done);
        entry.second->lookups.clear();
        entry.second->scheduled = false;
    }
    // The abandoned pass's probes end at once, and their hosts with them.
    for (Worker& w : c->workers) {
        if (w.probing) net_abort_fire(w.abort);
    }
    c->waiting_hosts = std::priority_queue<Ready>();
    c->hostless.clear();
    c->seen.clear();
    for (CheckDone& done : c->results) free_check_done(&done);
    c->results.clear();
    for (CheckDone& done : c->held) free_check_done(&done);
    c->held.clear();
    c->failing_hosts.clear();
    c->all_added = false;
    c->confirming = false;
    c->witness_next = 0;
    c->offline = false;
    c->archive_failures = 0;
    c->queued = 0;
    c->in_flight = 0;
    c->work.notify_all();
    c->ready.notify_all();
}

void start_workers(Checker* c) {
    for (uint32_t i = 0; i < c->settings.connections; i++) {
        Worker* w = &c->workers[i];
        if (w->alive) continue;
        if (w->thread.joinable()) w->thread.join();  // it has left its loop already
        w->checker = c;
        w->index = i;
        w->alive = true;
        if (!w->abort) w->abort = net_abort_create();
        w->probe = c->settings.probe;
        w->probe.before_request = worker_gate;
        w->probe.request_context = w;
        w->probe.abort = w->abort;
        w->thread = std::thread(worker_main, w);
    }
}

// Applies the politeness rules to a result of the current pass, charged to
// `last`, the host its last request went to; false when the URL went back
// into its own host's queue instead.
bool settle(Checker* c, Worker* w, Host* home, Host* last, CheckResult* result) {
    if (w->refused_by) {  // a redirect into a given-up host
        free_check_result(result);
        *result = w->refused_by->outcome;
        return true;
    }
    if (!last) return true;
    bool later = (result->http_status == 429 || result->http_status == 503) && result->retry_after > 0;
    if (later && result->retry_after <= RETRY_AFTER_LIMIT && !last->retried) {
        last->retried = true;
        last->next_start = std::max(last->next_start, Clock::now() + std::chrono::seconds(result->retry_after));
        home->queue.push_front(w->url);
        c->queued++;
        schedule(c, home);
        return false;
    }
    if (later) {
        result->verdict = VERDICT_BLOCKED;
        result->value = DATE_UNSET;
        give_up_host(c, last, *result);
        return true;
    }
    if (!no_answer(*result)) {
        last->failures = 0;
        last->answered = last->answered || replied(*result);
        return true;
    }
    // A host that twice in a row let nothing through is taken as down for
    // this pass, so that a dead site costs two failures, not one per URL; one
    // that accepted and then said nothing for the whole wait, before it
    // answered anything, costs one wait: a live but slow site answers some
    // request first and then keeps the two-failure rule.
    last->failures++;
    bool silent = result->error == CHECK_ERROR_TIMED_OUT && !last->answered;
    if (last->failures >= 2 || silent) give_up_host(c, last, *result);
    return true;
}

// Takes the next URL that may go now, waiting as long as needed. False when
// this worker is to end.
bool next_job(Worker* w, std::unique_lock<std::mutex>& lock, Host** host) {
    Checker* c = w->checker;
    w->witness = false;
    w->lookup = false;
    for (;;) {
        if (c->closing || w->index >= c->settings.connections) return false;
        if (!c->hostless.empty()) {
            w->url = c->hostless.front();
            c->hostless.pop_front();
            *host = nullptr;
            return true;
        }
        if (c->confirming) {  // the pass waits for the witness's word
            if (witness_out(c) || c->witness_next >= c->witnesses.size()) {
                c->work.wait(lock);
                continue;
            }
            w->url = c->witnesses[c->witness_next++].url;
            w->witness = true;
            *host = nullptr;
            return true;
        }
        if (c->waiting_hosts.empty()) {
            c->work.wait(lock);
            continue;
        }
        Ready top = c->waiting_hosts.top();
        Clock::time_point now = Clock::now();
        if (top.when > now) {
            c->work.wait_until(lock, top.when);
            continue;
        }
        c->waiting_hosts.pop();
        Host* h = top.host;
        h->scheduled = false;
        if (h->busy || (h->queue.empty() && h->lookups.empty())) continue;  // released hosts are queued again
        if (h->next_start > now) {                                          // a Retry-After came in meanwhile
            schedule(c, h);
            continue;
        }
        if (!h->lookups.empty()) {  // pages already judged go out first
            w->looked_up = h->lookups.front();
            h->lookups.pop_front();
            w->url = w->looked_up.done.url;
            w->lookup = true;
        } else {
            w->url = h->queue.front();
            h->queue.pop_front();
        }
        h->busy = true;
        *host = h;
        return true;
    }
}

// The end of a lookup: the broken page's result goes out with its snapshot,
// if any. A service that twice in a row reaches no server is left alone for
// the rest of the pass.
void lookup_done(Checker* c, Worker* w, int outcome, char* snapshot) {
    c->in_flight--;
    w->looked_up.done.result.archive = snapshot;
    deliver(c, w->looked_up.done.url, w->looked_up.done.result);
    w->looked_up = Lookup{};
    c->archive_failures = outcome == HTTP_REPLY ? 0 : c->archive_failures + 1;
    if (archive_down(c)) flush_lookups(c);
    check_progress(c);
    if (pass_over(c)) c->ready.notify_all();
}

// The job's network work, done outside the lock: the probe of a URL, or the
// lookup of a broken page (the outcome of its request).
int run_job(Worker* w, uint32_t moment, CheckResult* result, char** snapshot) {
    *snapshot = nullptr;
    if (!w->lookup) {
        probe_url(w->url.c_str(), &w->probe, result);
        return HTTP_REPLY;
    }
    ProbeSettings settings = w->probe;
    settings.before_request = nullptr;  // the service's turn came with the job
    return find_archived_copy(w->checker->archive_service.c_str(), w->url.c_str(), moment, &settings, snapshot);
}

// The end of a witness's probe: an answer clears the failures held.
void witness_done(Checker* c, Worker* w, const CheckResult& result) {
    if (replied(result) || w->replied) {
        note_answer(c, w->url);
    } else {
        check_progress(c);
    }
}

void worker_main(Worker* w) {
    Checker* c = w->checker;
    bool sockets = net_startup();
    std::unique_lock<std::mutex> lock(c->mutex);
    Host* host;
    while (next_job(w, lock, &host)) {
        if (!w->witness) {
            c->queued--;
            c->in_flight++;
        }
        w->probing = true;
        w->dropped = false;
        w->pass = c->pass;
        w->holding = host;
        w->first_granted = false;
        w->replied = false;
        w->refused_by = nullptr;
        net_abort_reset(w->abort);
        uint32_t moment = w->looked_up.moment;  // going offline may take the lookup meanwhile
        lock.unlock();
        CheckResult result = {};
        char* snapshot;
        int outcome = run_job(w, moment, &result, &snapshot);
        lock.lock();
        w->probing = false;
        Host* last = w->holding;
        release(c, last);
        w->holding = nullptr;
        if (w->pass != c->pass || w->dropped) {  // abandoned by a stopped pass, or offline
            free_check_result(&result);
            free(snapshot);
            free_check_done(&w->looked_up.done);  // unless going offline delivered it
            w->looked_up = Lookup{};
            continue;
        }
        if (w->lookup) {
            lookup_done(c, w, outcome, snapshot);
            continue;
        }
        if (w->witness) {
            witness_done(c, w, result);
            free_check_result(&result);
            continue;
        }
        c->in_flight--;
        bool answered = replied(result) || w->replied;
        if (!answered && no_answer(result) && last) c->failing_hosts.insert(last);
        if (settle(c, w, host, last, &result)) {
            hold_or_deliver(c, str_dup(w->url.c_str()), result);
        } else {
            free_check_result(&result);
        }
        if (answered) note_answer(c, w->url);
        if (c->failing_hosts.size() >= FAILURES_BEFORE_CONFIRMING) c->confirming = true;
        check_progress(c);
        if (pass_over(c)) c->ready.notify_all();
    }
    w->alive = false;
    lock.unlock();
    if (sockets) net_cleanup();
}

// The probe's request hook: the worker trades the host it holds for the one
// the next request goes to, waiting for that host's turn. Holding one host
// at a time, two probes that redirect to each other's hosts cannot deadlock.
bool worker_gate(void* context, const char* host_name) {
    Worker* w = static_cast<Worker*>(context);
    Checker* c = w->checker;
    std::string key = lower(host_name);
    std::unique_lock<std::mutex> lock(c->mutex);
    if (!w->first_granted && w->holding && w->holding->name == key) {
        w->first_granted = true;  // the scheduler let this request go with the job
        return w->pass == c->pass && !w->dropped;
    }
    if (w->first_granted) {  // a later request: the one before got a reply (a redirect, a refusal)
        w->replied = true;
        if (w->holding) {
            w->holding->answered = true;
            w->holding->failures = 0;
        }
    }
    w->first_granted = true;
    release(c, w->holding);
    w->holding = nullptr;
    Host* h = host_named(c, key);
    for (;;) {
        if (c->closing || w->pass != c->pass || w->dropped) return false;
        if (h->given_up) {
            w->refused_by = h;
            return false;
        }
        Clock::time_point now = Clock::now();
        if (!h->busy && h->next_start <= now) break;
        if (h->busy) {
            c->work.wait(lock);
        } else {
            c->work.wait_until(lock, h->next_start);
        }
    }
    h->busy = true;
    w->holding = h;
    return true;
}

}  // namespace

Checker* checker_create(const CheckerSettings* settings) {
    Checker* c = new Checker;
    c->settings = *settings;
    if (settings->archive_service) {
        char key[256];
        url_host_key(settings->archive_service, key, sizeof key);
        c->archive_service = settings->archive_service;
        c->archive_host = key;
    }
    c->settings.archive_service = nullptr;  // the copy above is the one kept
    checker_set_limits(c, settings->connections, settings->host_interval_ms);
    return c;
}

void checker_destroy(Checker* c) {
    {
        std::lock_guard<std::mutex> lock(c->mutex);
        c->closing = true;
        clear_pass(c);
    }
    for (Worker& w : c->workers) {
        if (w.thread.joinable()) w.thread.join();
        if (w.abort) net_abort_free(w.abort);
    }
    delete c;
}

void checker_set_limits(Checker* c, uint32_t connections, uint32_t host_interval_ms) {
    std::lock_guard<std::mutex> lock(c->mutex);
    c->settings.connections = std::min(std::max(connections, 1u), CHECK_CONNECTIONS_MAX);
    c->settings.host_interval_ms = host_interval_ms;
    c->work.notify_all();  // workers beyond the new number end
}

void checker_begin_pass(Checker* c) { checker_stop(c); }

void checker_add(Checker* c, const char* url, uint32_t archive_moment) {
    char key[256];
    url_host_key(url, key, sizeof key);
    std::lock_guard<std::mutex> lock(c->mutex);
    if (c->closing || !c->seen.emplace(url_pass_key(url), archive_moment).second) return;
    if (c->offline) {
        deliver(c, str_dup(url), OFFLINE_RESULT);
        return;
    }
    if (!key[0]) {
        c->hostless.push_back(url);
    } else {
        Host* h = host_named(c, key);
        if (h->given_up) {
            hold_or_deliver(c, str_dup(url), h->outcome);
            check_progress(c);
            return;
        }
        h->queue.push_back(url);
        schedule(c, h);
    }
    c->queued++;
    start_workers(c);
    c->work.notify_one();
    check_progress(c);
}

void checker_stop(Checker* c) {
    std::lock_guard<std::mutex> lock(c->mutex);
    clear_pass(c);
}

void checker_add_done(Checker* c) {
    std::lock_guard<std::mutex> lock(c->mutex);
    c->all_added = true;
    check_progress(c);
}

void checker_add_witness(Checker* c, const char* url) {
    std::lock_guard<std::mutex> lock(c->mutex);
    add_witness(c, url, false);
}

bool checker_offline(Checker* c) {
    std::lock_guard<std::mutex> lock(c->mutex);
    return c->offline;
}

bool checker_take(Checker* c, std::vector<CheckDone>* out) {
    std::lock_guard<std::mutex> lock(c->mutex);
    out->insert(out->end(), c->results.begin(), c->results.end());
    c->results.clear();
    return pass_over(c);
}

bool checker_wait(Checker* c, uint32_t milliseconds) {
    std::unique_lock<std::mutex> lock(c->mutex);
    return c->ready.wait_for(lock, std::chrono::milliseconds(milliseconds),
                             [c] { return !c->results.empty() || pass_over(c); });
}

uint32_t checker_pending(Checker* c) {
    std::lock_guard<std::mutex> lock(c->mutex);
    return c->queued + c->in_flight + static_cast<uint32_t>(c->held.size());
}

void free_check_done(CheckDone* done) {
    free(done->url);
    free_check_result(&done->result);
    done->url = nullptr;
}

void url_host_key(const char* url, char* key, uint32_t size) {
    key[0] = '\0';
    ParsedUrl parsed;
    if (parse_url(url, &parsed) && parsed.host && (parsed.scheme == SCHEME_HTTP || parsed.scheme == SCHEME_NONE)) {
        // The form the probe's requests name the host by, so that both spellings
        // of an internationalised host are one site.
        char* ascii = host_ascii(parsed.host);
        std::string name = lower(ascii ? ascii : parsed.host);
        free(ascii);
        if (name.size() < size) memcpy(key, name.c_str(), name.size() + 1);
    }
    free_parsed_url(&parsed);
}

std::string url_pass_key(const char* url) { return lower(url); }
