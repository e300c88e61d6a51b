// Tests of the per-host scheduler against the test servers' sites on 127.0.0.2 and up, which log when their requests
// arrive and how many of their connections are open at once.
#include "checker/scheduler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "checker/check_url.h"
#include "core/bookmark.h"
#include "tests/checker/test_server.h"

namespace {

using Clock = std::chrono::steady_clock;

const ProbeSettings probe = {102, "32m", 5};
const uint32_t T = 1000000000;  // a moment to look up in the archive: 2001-09-09 01:46:40 UTC

// Names as a computer without network sees them: none exists.
NetLookup no_names(void*, const char*, uint32_t*) { return NET_NO_SUCH_NAME; }
// The same, but dotted addresses still reach the test sites.
NetLookup only_addresses(void*, const char* host, uint32_t* address) {
    return strncmp(host, "127.", 4) == 0 ? net_resolve(host, address, net_milliseconds() + 1000, nullptr)
                                         : NET_NO_SUCH_NAME;
}

// The site's log since the last look: the most connections open at once, then the arrivals in milliseconds.
std::vector<long long> take_log(int index) {
    std::istringstream in(header_of(site_url(index) + "/log", "X-Log"));
    std::vector<long long> log(1);
    in >> log[0];
    for (long long ms; in >> ms;) log.push_back(ms);
    return log;
}

class Scheduler : public testing::Test {
protected:
    void make(uint32_t connections, uint32_t interval_ms, const std::string& archive_service = "",
              decltype(ProbeSettings::resolve) lookup = nullptr) {
        CheckerSettings settings = {connections, interval_ms, probe, nullptr, nullptr, archive_service.c_str()};
        settings.probe.resolve = lookup;
        checker_.reset(checker_create(&settings));
    }

    // Starts a pass over the URLs, each looked up in the archive at its moment if it has one.
    void start(const std::vector<std::string>& urls, const std::vector<uint32_t>& archive_moments = {}) {
        checker_begin_pass(checker_.get());
        for (size_t i = 0; i < urls.size(); i++) {
            checker_add(checker_.get(), urls[i].c_str(),
                        i < archive_moments.size() ? archive_moments[i] : NO_ARCHIVE_LOOKUP);
        }
        checker_add_done(checker_.get());
    }
    // The results by URL until the pass is over, or until there are `want` of them; fails on a URL reported twice.
    std::map<std::string, CheckResult> collect(size_t want = SIZE_MAX) {
        std::map<std::string, CheckResult> out;
        Clock::time_point end = Clock::now() + std::chrono::seconds(30);
        for (bool over = false; Clock::now() < end && (!over || !out.size()) && out.size() < want;) {
            checker_wait(checker_.get(), 100);
            std::vector<CheckDone> done;
            over = checker_take(checker_.get(), &done);
            for (CheckDone& d : done) {
                EXPECT_EQ(out.count(d.url), 0u) << d.url << " reported twice";
                out[d.url] = d.result;
                free(d.url);
            }
        }
        return out;
    }
    std::map<std::string, CheckResult> run(const std::vector<std::string>& urls,
                                           const std::vector<uint32_t>& archive_moments = {}) {
        start(urls, archive_moments);
        return collect();
    }

    std::unique_ptr<Checker, void (*)(Checker*)> checker_{nullptr, checker_destroy};
};

TEST_F(Scheduler, OneConnectionPerHostAndTheIntervalUnderARandomSchedule) {
    std::mt19937 random(17);
    std::vector<std::string> urls;
    for (int i = 0; i < 48; i++) {
        const std::string kinds[] = {"/status/404", "/date/rfc1123", "/redirect/302/date/rfc850",
                                     "/redirect/302/" + site_url(random() % 6) + "/date/rfc1123?" + std::to_string(i)};
        urls.push_back(site_url(random() % 6) + kinds[random() % 4]);
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
        const char* path;
        size_t requests;  // the site's, in all
        uint16_t status;  // of its last URL
    } cases[] = {
        {"/retry/1", 4, 200},    // waits a second, then every URL goes
        {"/retry/120", 1, 429},  // too long: nothing more is asked
        {"/retry/-1", 2, 429},   // asked twice: blocked for the pass
    };
    std::vector<std::string> urls;
    for (int site = 0; site < 3; site++) {
        for (const char* extra : {"", "?2", "?3"}) urls.push_back(site_url(site) + cases[site].path + extra);
    }
    std::map<std::string, CheckResult> results = run(urls);
    for (int site = 0; site < 3; site++) {
        SCOPED_TRACE(cases[site].path);
        std::vector<long long> log = take_log(site);
        EXPECT_EQ(log.size(), cases[site].requests + 1);
        if (site == 0 && log.size() > 2) {
            EXPECT_GE(log[2] - log[1], 990);  // the Retry-After
        }
        CheckResult last = results[urls[3 * site + 2]];
        EXPECT_EQ(last.http_status, cases[site].status);
        EXPECT_EQ(last.verdict == VERDICT_BLOCKED, cases[site].status == 429);
    }
}

// Stop closes the probes and the archive lookup in flight; their results never arrive, and a new pass takes each of
// its URLs once.
TEST_F(Scheduler, StopClosesWhatIsInFlightAndANewPassTakesEachUrlOnce) {
    make(4, 50, site_url(7) + "/wayback/available");
    const std::vector<std::string> servers = {site_url(0), site_url(1), site_url(7)};
    start({site_url(0) + "/hold/stop-0", site_url(1) + "/hold/stop-1", site_url(2) + "/status/404?archive-hold"},
          {NO_ARCHIVE_LOOKUP, NO_ARCHIVE_LOOKUP, T});
    ASSERT_TRUE(servers_hold(servers, 3));
    checker_stop(checker_.get());
    EXPECT_TRUE(checker_wait(checker_.get(), 10000));
    EXPECT_EQ(checker_pending(checker_.get()), 0u);
    EXPECT_TRUE(servers_hold(servers, 0)) << "their connections are closed";
    std::map<std::string, CheckResult> results = run({site_url(0) + "/date/rfc1123", site_url(1) + "/status/404"});
    EXPECT_EQ(results.size(), 2u);
    EXPECT_EQ(results[site_url(1) + "/status/404"].verdict, VERDICT_GONE);
}

// A shortener: its links that lead to a dead site fail, on that site's account (the third without a probe of it); its
// other links are asked and answer.
TEST_F(Scheduler, DeadRedirectTargetsLeaveTheOriginsLiveLinksOk) {
    make(4, 0);
    const std::string dead = "/redirect/302/http://127.0.0.99:" + std::to_string(test_servers().closed_port) + "/page";
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

// Failures come faster than answers and are held back until one comes: a dead name while a live site takes its time,
// or a confirmed run of dead hosts once a site that answered before answers again. Without network every name is
// unknown: with no site that answered before, or with one that now fails too, the pass stops and judges nothing.
TEST_F(Scheduler, DeadNamesAreJudgedOnlyOnceTheNetworkAnswers) {
    for (int online = 0; online < 2; online++) {
        for (bool witness : {false, true}) {
            SCOPED_TRACE(std::to_string(online) + " " + std::to_string(witness));
            make(16, 0, "", online ? only_addresses : no_names);
            if (witness) checker_add_witness(checker_.get(), (site_url(1) + "/date/rfc1123").c_str());
            const std::string key = "late-" + std::to_string(witness);
            std::vector<std::string> urls;
            if (online) urls.push_back(site_url(0) + "/hold/" + key);
            for (int i = 0; i < 10; i++) urls.push_back("http://dead" + std::to_string(i) + ".example/");
            start(urls);
            std::map<std::string, CheckResult> results;
            if (online) {
                if (witness) results = collect(FAILURES_BEFORE_CONFIRMING);
                ASSERT_TRUE(servers_hold({site_url(0)}, 1));
                std::vector<CheckDone> early;
                checker_take(checker_.get(), &early);
                EXPECT_TRUE(early.empty()) << "failures held back until an answer";
                release_held(site_url(0), key.c_str());
            }
            for (auto& r : collect()) results.insert(r);
            ASSERT_EQ(results.size(), urls.size());
            for (size_t i = 0; i < urls.size(); i++) {
                const bool held = online && i == 0;
                const char* verdict = held ? "dated" : online ? "unreachable" : "offline";
                EXPECT_EQ(verdict_name(results[urls[i]].verdict), std::string(verdict)) << urls[i];
                EXPECT_EQ(results[urls[i]].error, online && !held ? CHECK_ERROR_NO_SUCH_HOST : CHECK_ERROR_NONE);
            }
            EXPECT_EQ(checker_offline(checker_.get()), !online);
            EXPECT_EQ(checker_pending(checker_.get()), 0u);
        }
    }
}

// A gone, unreachable or failing page's result waits for its archived copy; any other answer leaves the verdict and
// no address. The service is one more host: one request at a time; failing twice in a row, it is not asked again.
TEST_F(Scheduler, BrokenPagesGetTheirArchivedCopy) {
    const struct {
        std::string url;
        CheckVerdict verdict;
        bool copied;
    } cases[] = {
        {site_url(0) + "/status/404", VERDICT_GONE, true},
        {site_url(0) + "/status/503", VERDICT_SERVER_ERROR, true},
        {"http://127.0.0.1:" + std::to_string(test_servers().closed_port) + "/held-until-an-answer",
         VERDICT_UNREACHABLE, true},
        {site_url(1) + "/status/404?archive-500", VERDICT_GONE, false},
        {site_url(3) + "/date/rfc1123", VERDICT_DATED, false},
        {site_url(3) + "/status/403", VERDICT_BLOCKED, false},
        {site_url(3) + "/status/404?not-wanted", VERDICT_GONE, false},  // the one without a moment
    };
    std::vector<std::string> urls;
    for (const auto& c : cases) urls.push_back(c.url);
    make(8, 0, site_url(6) + "/wayback/available");
    take_log(6);
    std::map<std::string, CheckResult> results = run(urls, std::vector<uint32_t>(urls.size() - 1, T));
    ASSERT_EQ(results.size(), urls.size());
    for (const auto& c : cases) {
        CheckResult& result = results[c.url];
        EXPECT_EQ(verdict_name(result.verdict), std::string(verdict_name(c.verdict))) << c.url;
        const std::string copy = c.copied ? "http://web.archive.org/web/20010909014640/" + c.url : "";
        EXPECT_EQ(result.archive ? result.archive : "", copy);
        free_check_result(&result);
    }
    std::vector<long long> log = take_log(6);
    EXPECT_EQ(log[0], 1) << "one lookup at a time";
    EXPECT_EQ(log.size(), 1u + 4) << "only the broken pages that want one are looked up";

    make(4, 0, site_url(7) + "/close");
    take_log(7);
    urls.clear();
    for (int i = 0; i < 5; i++) urls.push_back(site_url(0) + "/status/404?" + std::to_string(i));
    for (auto& r : run(urls, std::vector<uint32_t>(urls.size(), T))) EXPECT_EQ(r.second.archive, nullptr) << r.first;
    EXPECT_EQ(take_log(7).size(), 1u + ARCHIVE_FAILURES_TOLERATED) << "a service down asked twice";
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
