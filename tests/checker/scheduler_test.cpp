// Tests of the per-host scheduler against real sites on loopback addresses
// (127.0.0.2 and up), each logging when its requests arrive and how many of
// its connections are open at once.
#include "checker/scheduler.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "checker/check_url.h"
#include "core/bookmark.h"

namespace {

using Clock = std::chrono::steady_clock;

// One site. Paths: /ms/N answers 200 after N ms; /gone 404; /dated 200 with a
// date; /retry/S answers 429 with "Retry-After: S" to the site's first
// request, or to every request when S is negative.
struct Site {
    int listener = -1;
    std::string base;
    std::mutex mutex;
    std::vector<Clock::time_point> arrivals;
    std::atomic<int> open{0}, most_open{0};
};

Site* sites[8];

// A path "/to/N" redirects to site N.
std::string answer(Site* s, const std::string& path) {
    int seconds = path.rfind("/retry/", 0) == 0 ? atoi(path.c_str() + 7) : 0;
    if (seconds < 0 || (seconds > 0 && s->arrivals.size() == 1)) {
        return "429 Too Many\r\nRetry-After: " + std::to_string(abs(seconds));
    }
    if (path.rfind("/ms/", 0) == 0) std::this_thread::sleep_for(std::chrono::milliseconds(atoi(path.c_str() + 4)));
    if (path.rfind("/to/", 0) == 0) return "302 Found\r\nLocation: " + sites[path[4] - '0']->base + "/dated";
    if (path == "/gone") return "404 Not Found";
    if (path == "/dated") return "200 OK\r\nLast-Modified: Sun, 06 Nov 1994 08:49:37 GMT";
    return "200 OK";
}

void serve(Site* s, int fd) {
    for (int now_open = ++s->open, most = s->most_open; now_open > most;) {
        if (s->most_open.compare_exchange_weak(most, now_open)) break;
    }
    char request[2048];
    ssize_t got = recv(fd, request, sizeof request - 1, 0);
    request[std::max<ssize_t>(got, 0)] = '\0';
    std::string line(request);
    std::string path = line.substr(line.find(' ') + 1);
    path = path.substr(0, path.find(' '));
    std::string status = answer(s, path);
    std::string reply = "HTTP/1.0 " + status + "\r\n\r\n";
    --s->open;  // before the reply: the client can only go on once it arrives
    send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
    close(fd);
}

void accept_loop(Site* s) {
    for (;;) {
        int fd = accept(s->listener, nullptr, nullptr);
        if (fd < 0) return;
        {
            std::lock_guard<std::mutex> lock(s->mutex);
            s->arrivals.push_back(Clock::now());
        }
        std::thread(serve, s, fd).detach();
    }
}

Site* start_site(int index) {
    Site* s = new Site;
    s->listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(0x7F000002 + index);
    socklen_t length = sizeof address;
    EXPECT_EQ(bind(s->listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    listen(s->listener, 64);
    getsockname(s->listener, reinterpret_cast<sockaddr*>(&address), &length);
    s->base = "http://127.0.0." + std::to_string(2 + index) + ":" + std::to_string(ntohs(address.sin_port));
    std::thread(accept_loop, s).detach();
    return s;
}

class Scheduler : public testing::Test {
protected:
    static void SetUpTestSuite() {
        for (int i = 0; i < 8; i++) sites[i] = start_site(i);
    }
    void SetUp() override {
        for (Site* s : sites) {
            s->arrivals.clear();
            s->most_open = 0;
        }
    }

    Checker* make(uint32_t connections, uint32_t interval_ms) {
        CheckerSettings settings = {connections, interval_ms, {102, "32m", 5}, nullptr, nullptr};
        return checker_ = checker_create(&settings);
    }
    void TearDown() override {
        if (checker_) checker_destroy(checker_);
    }

    // Every result of the pass, by URL; fails on a URL reported twice.
    std::map<std::string, CheckResult> run(uint32_t wait_ms = 30000) {
        std::map<std::string, CheckResult> out;
        Clock::time_point end = Clock::now() + std::chrono::milliseconds(wait_ms);
        for (bool over = false; Clock::now() < end && (!over || !out.size());) {
            checker_wait(checker_, 100);
            std::vector<CheckDone> done;
            over = checker_take(checker_, &done);
            for (CheckDone& d : done) {
                EXPECT_EQ(out.count(d.url), 0u) << d.url << " reported twice";
                out[d.url] = d.result;
                free(d.url);
            }
        }
        return out;
    }

    Checker* checker_ = nullptr;
};

Clock::duration shortest_gap(Site* s) {
    Clock::duration gap = std::chrono::hours(1);
    for (size_t i = 1; i < s->arrivals.size(); i++) gap = std::min(gap, s->arrivals[i] - s->arrivals[i - 1]);
    return gap;
}

TEST_F(Scheduler, OneConnectionPerHostAndTheIntervalUnderARandomSchedule) {
    std::mt19937 random(17);
    std::vector<std::string> urls;
    for (int i = 0; i < 48; i++) {
        Site* s = sites[random() % 6];
        const char* kinds[] = {"/gone", "/dated", "/ms/", "/to/"};
        std::string path = kinds[random() % 4];
        path +=
            path.back() != '/' ? "" : std::to_string(random() % (path == "/ms/" ? 120 : 6)) + "?" + std::to_string(i);
        urls.push_back(s->base + path);
    }
    std::map<std::string, CheckResult> first;
    for (uint32_t connections : {1u, 32u, 1u + static_cast<uint32_t>(random() % 8)}) {
        SCOPED_TRACE(connections);
        SetUp();
        make(connections, 150);
        checker_begin_pass(checker_);
        for (const std::string& url : urls) checker_add(checker_, url.c_str());
        checker_add(checker_, urls[0].c_str());  // once per pass
        std::map<std::string, CheckResult> results = run();
        ASSERT_EQ(results.size(), std::set<std::string>(urls.begin(), urls.end()).size());
        for (int i = 0; i < 6; i++) {
            EXPECT_LE(sites[i]->most_open, 1);
            EXPECT_GE(shortest_gap(sites[i]), std::chrono::milliseconds(140));
        }
        if (first.empty()) first = results;
        for (auto& r : results) {  // the same verdicts whatever the number of probes
            EXPECT_EQ(r.second.verdict, first[r.first].verdict) << r.first;
            EXPECT_EQ(r.second.value, first[r.first].value) << r.first;
        }
        EXPECT_EQ(results[sites[0]->base + "/gone"].value, DATE_BROKEN);
        checker_destroy(checker_);
        checker_ = nullptr;
    }
}

TEST_F(Scheduler, RetryAfterRequeuesOnceThenBlocksTheHost) {
    make(8, 100);
    checker_begin_pass(checker_);
    struct {
        Site* site;
        const char* path;
        size_t requests;  // the site's, in all
        uint16_t status;  // of its last URL
    } cases[] = {
        {sites[0], "/retry/1", 4, 200},    // waits a second, then every URL goes
        {sites[1], "/retry/120", 1, 429},  // too long: nothing more is asked
        {sites[2], "/retry/-1", 2, 429},   // asked twice: blocked for the pass
    };
    for (auto& c : cases) {
        for (const char* extra : {"", "?2", "?3"}) checker_add(checker_, (c.site->base + c.path + extra).c_str());
    }
    std::map<std::string, CheckResult> results = run();
    for (auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.site->arrivals.size(), c.requests);
        CheckResult last = results[c.site->base + c.path + "?3"];
        EXPECT_EQ(last.http_status, c.status);
        EXPECT_EQ(last.verdict == VERDICT_BLOCKED, c.status == 429);
    }
    EXPECT_GE(sites[0]->arrivals[1] - sites[0]->arrivals[0], std::chrono::milliseconds(990));
}

TEST_F(Scheduler, StopAbandonsProbesInFlightAndANewPassTakesEachUrlOnce) {
    make(4, 50);
    checker_begin_pass(checker_);
    for (int i = 0; i < 3; i++) checker_add(checker_, (sites[i]->base + "/ms/1500").c_str());
    checker_add(checker_, (sites[0]->base + "/ms/1").c_str());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Clock::time_point stop = Clock::now();
    checker_stop(checker_);
    EXPECT_TRUE(checker_wait(checker_, 1000));
    EXPECT_LT(Clock::now() - stop, std::chrono::milliseconds(100));
    EXPECT_EQ(checker_pending(checker_), 0u);
    // Started again while the slow probes still run: their results never
    // arrive, the site in flight gets no second connection, every URL comes once.
    checker_begin_pass(checker_);
    for (int i = 0; i < 2; i++) checker_add(checker_, (sites[i]->base + "/ms/10").c_str());
    checker_add(checker_, (sites[0]->base + "/ms/1").c_str());
    std::map<std::string, CheckResult> results = run();
    EXPECT_EQ(results.size(), 3u);
    EXPECT_EQ(results.count(sites[2]->base + "/ms/1500"), 0u);
    EXPECT_LE(sites[0]->most_open, 1);
    EXPECT_EQ(sites[0]->arrivals.size(), 3u);
}

}  // namespace
