// Tests of the per-host scheduler against the test servers' sites on 127.0.0.2 and up, which log when their
// requests arrive and how many of their connections are open at once.
#include "checker/scheduler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "checker/check_url.h"
#include "checker/reply.h"
#include "core/bookmark.h"
#include "tests/checker/test_server.h"

namespace {

using Clock = std::chrono::steady_clock;

const ProbeSettings probe = {102, "32m", 5};

std::string site(int index) {
    return "http://127.0.0." + std::to_string(2 + index) + ":" + std::to_string(test_servers().site_ports[index]);
}

// The site's log since the last look: the most connections open at once, then the arrivals in milliseconds.
std::vector<long long> take_log(int index) {
    char* reply = nullptr;
    EXPECT_EQ(http_request("GET", (site(index) + "/log").c_str(), &reply, &probe), HTTP_REPLY);
    size_t length = 0;
    const char* value = reply ? find_header(reply, "X-Log", &length) : nullptr;
    std::istringstream in(value ? std::string(value, length) : "");
    std::vector<long long> log(1);
    in >> log[0];
    for (long long ms; in >> ms;) log.push_back(ms);
    free(reply);
    return log;
}

class Scheduler : public testing::Test {
protected:
    void make(uint32_t connections, uint32_t interval_ms) {
        CheckerSettings settings = {connections, interval_ms, probe, nullptr, nullptr};
        if (checker_) checker_destroy(checker_);
        checker_ = checker_create(&settings);
    }
    void TearDown() override {
        if (checker_) checker_destroy(checker_);
    }

    // Checks the URLs in a new pass and gives every result, by URL; fails on a URL reported twice.
    std::map<std::string, CheckResult> run(const std::vector<std::string>& urls) {
        checker_begin_pass(checker_);
        for (const std::string& url : urls) checker_add(checker_, url.c_str());
        std::map<std::string, CheckResult> out;
        Clock::time_point end = Clock::now() + std::chrono::seconds(30);
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

TEST_F(Scheduler, OneConnectionPerHostAndTheIntervalUnderARandomSchedule) {
    std::mt19937 random(17);
    std::vector<std::string> urls;
    for (int i = 0; i < 48; i++) {
        int s = random() % 6;
        const char* kinds[] = {"/status/404", "/date/rfc1123", "/slow/", "/to-site/"};
        std::string path = kinds[random() % 4];
        path +=
            path.back() != '/' ? "" : std::to_string(random() % (path == "/slow/" ? 120 : 6)) + "?" + std::to_string(i);
        urls.push_back(site(s) + path);
    }
    urls.push_back(urls[0]);  // taken once per pass
    std::map<std::string, CheckResult> first;
    for (uint32_t connections : {1u, 32u, 1u + static_cast<uint32_t>(random() % 8)}) {
        SCOPED_TRACE(connections);
        make(connections, 150);
        std::map<std::string, CheckResult> results = run(urls);
        ASSERT_EQ(results.size(), std::set<std::string>(urls.begin(), urls.end()).size());
        for (int i = 0; i < 6; i++) {
            std::vector<long long> log = take_log(i);
            EXPECT_LE(log[0], 1);
            for (size_t k = 2; k < log.size(); k++) EXPECT_GE(log[k] - log[k - 1], 140);
        }
        if (first.empty()) first = results;
        // The same verdicts whatever the number of probes.
        for (auto& r : results) EXPECT_EQ(r.second.verdict, first[r.first].verdict) << r.first;
        EXPECT_EQ(results[site(0) + "/status/404"].value, DATE_BROKEN);
    }
}

TEST_F(Scheduler, RetryAfterRequeuesOnceThenBlocksTheHost) {
    make(8, 100);
    struct {
        int site;
        const char* path;
        size_t requests;  // the site's, in all
        uint16_t status;  // of its last URL
    } cases[] = {
        {0, "/retry/1", 4, 200},    // waits a second, then every URL goes
        {1, "/retry/120", 1, 429},  // too long: nothing more is asked
        {2, "/retry/-1", 2, 429},   // asked twice: blocked for the pass
    };
    std::vector<std::string> urls;
    for (auto& c : cases) {
        for (const char* extra : {"", "?2", "?3"}) urls.push_back(site(c.site) + c.path + extra);
    }
    std::map<std::string, CheckResult> results = run(urls);
    for (auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::vector<long long> log = take_log(c.site);
        EXPECT_EQ(log.size(), c.requests + 1);
        if (c.site == 0 && log.size() > 2) {
            EXPECT_GE(log[2] - log[1], 990);  // the Retry-After
        }
        CheckResult last = results[site(c.site) + c.path + "?3"];
        EXPECT_EQ(last.http_status, c.status);
        EXPECT_EQ(last.verdict == VERDICT_BLOCKED, c.status == 429);
    }
}

TEST_F(Scheduler, StopAbandonsProbesInFlightAndANewPassTakesEachUrlOnce) {
    make(4, 50);
    checker_begin_pass(checker_);
    for (int i = 0; i < 3; i++) checker_add(checker_, (site(i) + "/slow/1500").c_str());
    checker_add(checker_, (site(0) + "/slow/1").c_str());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Clock::time_point stop = Clock::now();
    checker_stop(checker_);
    EXPECT_TRUE(checker_wait(checker_, 1000));
    EXPECT_LT(Clock::now() - stop, std::chrono::milliseconds(100));
    EXPECT_EQ(checker_pending(checker_), 0u);
    // Started again while the slow probes still run: their results never
    // arrive, the site in flight gets no second connection, every URL comes once.
    std::map<std::string, CheckResult> results = run({site(0) + "/slow/10", site(1) + "/slow/10", site(0) + "/slow/1"});
    EXPECT_EQ(results.size(), 3u);
    EXPECT_EQ(results.count(site(2) + "/slow/1500"), 0u);
    std::vector<long long> log = take_log(0);
    EXPECT_LE(log[0], 1);
    EXPECT_EQ(log.size(), 4u);
}

}  // namespace
