// Tests of the per-host scheduler against the test servers' sites on 127.0.0.2 and up, which log when their requests
// arrive and how many of their connections are open at once.
#include "checker/scheduler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
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

// Names as a computer without network sees them: none exists. Dotted addresses still reach the test sites when the
// context is non-null.
NetLookup resolve(void* literals, const char* host, uint32_t* address) {
    return literals && strncmp(host, "127.", 4) == 0 ? net_resolve(host, address, net_milliseconds() + 1000, nullptr)
                                                     : NET_NO_SUCH_NAME;
}

// The site's log since the last look: the most connections open at once, then the arrivals in milliseconds.
std::vector<long long> take_log(int index) {
    char* reply = nullptr;
    EXPECT_EQ(http_request("GET", (site_url(index) + "/log").c_str(), &reply, &probe), HTTP_REPLY);
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
    // resolver: null for the system's lookup, else resolve() with literals (or not).
    void make(uint32_t connections, uint32_t interval_ms, const bool* literals = nullptr,
              const std::string& archive_service = "") {
        CheckerSettings settings = {connections, interval_ms, probe, nullptr, nullptr, archive_service.c_str()};
        if (literals) {
            settings.probe.resolve = resolve;
            settings.probe.resolve_context = *literals ? this : nullptr;
        }
        if (checker_) checker_destroy(checker_);
        checker_ = checker_create(&settings);
    }
    void TearDown() override {
        if (checker_) checker_destroy(checker_);
    }

    void start(const std::vector<std::string>& urls, const std::vector<uint32_t>& archive_moments = {}) {
        checker_begin_pass(checker_);
        for (size_t i = 0; i < urls.size(); i++) {
            checker_add(checker_, urls[i].c_str(), i < archive_moments.size() ? archive_moments[i] : NO_ARCHIVE_LOOKUP);
        }
        checker_add_done(checker_);
    }
    // Checks the URLs in a new pass and gives every result, by URL; fails on a URL reported twice.
    std::map<std::string, CheckResult> run(const std::vector<std::string>& urls) {
        start(urls);
        return collect();
    }
    // The results until the pass is over, or until there are `want` of them.
    std::map<std::string, CheckResult> collect(size_t want = SIZE_MAX) {
        std::map<std::string, CheckResult> out;
        Clock::time_point end = Clock::now() + std::chrono::seconds(30);
        for (bool over = false; Clock::now() < end && (!over || !out.size()) && out.size() < want;) {
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
        const char* kinds[] = {"/status/404", "/date/rfc1123", "/redirect/302/date/rfc850", "/to-site/"};
        std::string path = kinds[random() % 4];
        path += path.back() != '/' ? "" : std::to_string(random() % 6) + "?" + std::to_string(i);
        urls.push_back(site_url(s) + path);
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
        EXPECT_EQ(results[site_url(0) + "/status/404"].value, DATE_BROKEN);
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
        for (const char* extra : {"", "?2", "?3"}) urls.push_back(site_url(c.site) + c.path + extra);
    }
    std::map<std::string, CheckResult> results = run(urls);
    for (auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::vector<long long> log = take_log(c.site);
        EXPECT_EQ(log.size(), c.requests + 1);
        if (c.site == 0 && log.size() > 2) {
            EXPECT_GE(log[2] - log[1], 990);  // the Retry-After
        }
        CheckResult last = results[site_url(c.site) + c.path + "?3"];
        EXPECT_EQ(last.http_status, c.status);
        EXPECT_EQ(last.verdict == VERDICT_BLOCKED, c.status == 429);
    }
}

TEST_F(Scheduler, StopClosesTheProbesInFlightAndANewPassTakesEachUrlOnce) {
    make(4, 50);
    const std::vector<std::string> servers = {site_url(0), site_url(1), site_url(2)};
    start({site_url(0) + "/hold/stop-0", site_url(1) + "/hold/stop-1", site_url(2) + "/hold/stop-2"});
    ASSERT_TRUE(servers_hold(servers, 3));
    checker_stop(checker_);
    EXPECT_TRUE(checker_wait(checker_, 10000));
    EXPECT_EQ(checker_pending(checker_), 0u);
    EXPECT_TRUE(servers_hold(servers, 0)) << "their connections are closed";
    // Their results never arrive, and every URL of the new pass comes once.
    std::map<std::string, CheckResult> results = run({site_url(0) + "/date/rfc1123", site_url(1) + "/status/404"});
    EXPECT_EQ(results.size(), 2u);
    EXPECT_EQ(results[site_url(1) + "/status/404"].verdict, VERDICT_GONE);
}

// A shortener: its links that lead to a dead site fail, on that site's account (the third without a probe of it); its
// other links are asked and answer.
TEST_F(Scheduler, DeadRedirectTargetsLeaveTheOriginsLiveLinksOk) {
    make(4, 0);
    const std::string dead = "/to/127.0.0.99:" + std::to_string(test_servers().closed_port) + "/page";
    std::vector<std::string> urls;
    for (int i = 0; i < 3; i++) urls.push_back(site_url(0) + dead + std::to_string(i));
    for (int i = 0; i < 7; i++) urls.push_back(site_url(0) + "/date/rfc1123?" + std::to_string(i));
    take_log(0);
    std::map<std::string, CheckResult> results = run(urls);
    ASSERT_EQ(results.size(), urls.size());
    for (size_t i = 0; i < urls.size(); i++) {
        EXPECT_EQ(verdict_name(results[urls[i]].verdict), std::string(i < 3 ? "unreachable" : "dated")) << urls[i];
        EXPECT_EQ(results[urls[i]].error, i < 3 ? CHECK_ERROR_NO_CONNECTION : CHECK_ERROR_NONE) << urls[i];
    }
    EXPECT_EQ(take_log(0).size(), 11u) << "every link of the origin asked";
}

// Without network every name is unknown: with no site that answered before, or with one that now fails too, the pass
// stops and judges nothing.
TEST_F(Scheduler, OfflineStopsThePassAndJudgesNothing) {
    const bool no_literals = false;
    for (bool witness : {false, true}) {
        SCOPED_TRACE(witness);
        make(8, 0, &no_literals);
        if (witness) checker_add_witness(checker_, (site_url(0) + "/date/rfc1123").c_str());
        std::vector<std::string> urls;
        for (int i = 0; i < 12; i++) urls.push_back("http://site" + std::to_string(i) + ".example/");
        std::map<std::string, CheckResult> results = run(urls);
        EXPECT_EQ(results.size(), urls.size());
        for (auto& r : results) EXPECT_EQ(verdict_name(r.second.verdict), std::string("offline")) << r.first;
        EXPECT_TRUE(checker_offline(checker_));
        EXPECT_EQ(checker_pending(checker_), 0u);
    }
}

// Dead names fail at once while a live site takes its time. With nothing that answered before, the failures wait for
// it; with a site that did, a run of dead hosts is confirmed and judged without it.
TEST_F(Scheduler, FailuresFasterThanAnswersAreStillJudged) {
    const bool literals = true;
    for (bool witness : {false, true}) {
        SCOPED_TRACE(witness);
        make(16, 0, &literals);
        if (witness) checker_add_witness(checker_, (site_url(1) + "/date/rfc1123").c_str());
        const std::string key = witness ? "late-w" : "late";
        std::vector<std::string> urls = {site_url(0) + "/hold/" + key};
        for (int i = 0; i < 10; i++) urls.push_back("http://dead" + std::to_string(i) + ".example/");
        start(urls);
        std::map<std::string, CheckResult> results;
        if (witness) results = collect(FAILURES_BEFORE_CONFIRMING);
        ASSERT_TRUE(servers_hold({site_url(0)}, 1));
        std::vector<CheckDone> early;
        checker_take(checker_, &early);
        EXPECT_TRUE(early.empty()) << "failures held back until an answer";
        release_held(site_url(0), key.c_str());
        for (auto& r : collect()) results.insert(r);
        ASSERT_EQ(results.size(), urls.size());
        EXPECT_EQ(results[urls[0]].verdict, VERDICT_DATED);
        for (size_t i = 1; i < urls.size(); i++) {
            EXPECT_EQ(results[urls[i]].verdict, VERDICT_UNREACHABLE) << urls[i];
            EXPECT_EQ(results[urls[i]].error, CHECK_ERROR_NO_SUCH_HOST) << urls[i];
        }
        EXPECT_FALSE(checker_offline(checker_));
    }
}

// A broken page's result waits for its archived copy; any other answer leaves the verdict and no address. The
// service is one more host: one request at a time.
TEST_F(Scheduler, BrokenPagesGetTheirArchivedCopy) {
    const std::string closed = "http://127.0.0.1:" + std::to_string(test_servers().closed_port);
    const std::string copy = "http://web.archive.org/web/20010909014640/";
    const uint32_t T = 1000000000;
    const struct {
        std::string url;
        uint32_t moment;
        CheckVerdict verdict;
        std::string archive;
    } cases[] = {
        {site_url(0) + "/status/404", T, VERDICT_GONE, copy + site_url(0) + "/status/404"},
        {site_url(0) + "/status/503", 1, VERDICT_SERVER_ERROR,
         "http://web.archive.org/web/19700101000001/" + site_url(0) + "/status/503"},
        {closed + "/held-until-an-answer", T, VERDICT_UNREACHABLE, copy + closed + "/held-until-an-answer"},
        {site_url(1) + "/status/404?archive-none", T, VERDICT_GONE, ""},
        {site_url(2) + "/status/500?archive-garbage", T, VERDICT_SERVER_ERROR, ""},
        {site_url(3) + "/status/404?not-wanted", NO_ARCHIVE_LOOKUP, VERDICT_GONE, ""},
        {site_url(3) + "/date/rfc1123", T, VERDICT_DATED, ""},
        {site_url(3) + "/status/403", T, VERDICT_BLOCKED, ""},
    };
    std::vector<std::string> urls;
    std::vector<uint32_t> moments;
    for (const auto& c : cases) {
        urls.push_back(c.url);
        moments.push_back(c.moment);
    }
    make(8, 0, nullptr, site_url(6) + "/wayback/available");
    take_log(6);
    start(urls, moments);
    std::map<std::string, CheckResult> results = collect();
    ASSERT_EQ(results.size(), urls.size());
    for (const auto& c : cases) {
        CheckResult& result = results[c.url];
        EXPECT_EQ(verdict_name(result.verdict), std::string(verdict_name(c.verdict))) << c.url;
        EXPECT_EQ(result.archive ? result.archive : "", c.archive) << c.url;
        free_check_result(&result);
    }
    std::vector<long long> log = take_log(6);
    EXPECT_EQ(log[0], 1) << "one lookup at a time";
    EXPECT_EQ(log.size(), 1u + 5) << "only the broken pages that want one are looked up";
}

// A service failing twice in a row is not asked again in the pass; a lookup in flight closes with Stop.
TEST_F(Scheduler, ADownOrStoppedServiceHoldsNothingBack) {
    make(4, 0, nullptr, site_url(7) + "/close");
    take_log(7);
    std::vector<std::string> urls;
    for (int i = 0; i < 5; i++) urls.push_back(site_url(0) + "/status/404?" + std::to_string(i));
    start(urls, std::vector<uint32_t>(urls.size(), 1000000000));
    std::map<std::string, CheckResult> results = collect();
    ASSERT_EQ(results.size(), urls.size());
    for (auto& r : results) {
        EXPECT_EQ(r.second.verdict, VERDICT_GONE) << r.first;
        EXPECT_EQ(r.second.archive, nullptr) << r.first;
    }
    EXPECT_EQ(take_log(7).size(), 1u + ARCHIVE_FAILURES_TOLERATED);

    make(4, 0, nullptr, site_url(7) + "/wayback/available");
    start({site_url(0) + "/status/404?archive-hold"}, {1000000000});
    ASSERT_TRUE(servers_hold({site_url(7)}, 1));
    checker_stop(checker_);
    EXPECT_EQ(checker_pending(checker_), 0u);
    EXPECT_TRUE(servers_hold({site_url(7)}, 0)) << "its connection is closed";
    release_held(site_url(7), "archive");
}

TEST(UrlHostKey, FillsItsBufferToTheLastByte) {
    char key[8];
    url_host_key("http://ABCDEFG/x", key, sizeof key);  // seven letters and the terminator
    EXPECT_STREQ(key, "abcdefg");
    url_host_key("http://abcdefgh/x", key, sizeof key);
    EXPECT_STREQ(key, "") << "too long for the key";
    char idna[32];
    url_host_key(
        "http://B\xc3\xbc"
        "cher.example/x",
        idna, sizeof idna);
    EXPECT_STREQ(idna, "xn--bcher-kva.example") << "the form the requests name it by";
}

}  // namespace
