// The collection against a plain model under random operations, the rules the
// model does not cover, and what a bookmark keeps of its status checks.
#include "collection/collection.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "checker/host_ascii.h"
#include "collection/check_state.h"
#include "collection/record_terms.h"
#include "search/keyword_index.h"
#include "tests/collection/collection_invariants.h"

namespace {

const uint32_t kNow = 1000000000;

struct CollectionFixture : ::testing::Test {
    Collection c = create_collection();

    CollectionFixture() { set_fixed_clock(&c, kNow); }
    ~CollectionFixture() override { free_collection(&c); }

    AddOutcome add(const char* title, const char* url, const char* keywords = nullptr, uint32_t added = DATE_UNSET,
                   uint32_t visit = DATE_UNSET, uint32_t modified = DATE_UNSET, bool automatic = false) {
        return add_or_merge(&c, title ? str_dup(title) : nullptr, url ? str_dup(url) : nullptr, keywords, added, visit,
                            modified, automatic);
    }
    Bookmark* record(uint32_t i) { return static_cast<Bookmark*>(c.records->items[i]); }
    Bookmark* make(const char* url) {
        Bookmark* r = new_record(&c);
        r->url = str_dup(url);
        r->title = str_dup("t");
        return r;
    }
};

// A quote becomes "%22", as the file gives it back; the URL of an untitled
// bookmark is its title but gives no keywords.
TEST_F(CollectionFixture, UrlsAreStoredAsTheFileGivesThemBackAndTitleTheUntitled) {
    EXPECT_EQ(add("Title", "http://a/\"q\""), ADD_ADDED);
    EXPECT_EQ(add("   ", " \t\"http://b/\" ", "from the description", DATE_UNSET, DATE_UNSET, 7, true), ADD_ADDED);
    EXPECT_EQ(add(nullptr, "http://c/"), ADD_ADDED);
    EXPECT_EQ(add("Blank", "\r\n"), ADD_SKIPPED);
    EXPECT_EQ(add("One blank", " "), ADD_SKIPPED);
    EXPECT_EQ(add(" ", "http://d/"), ADD_ADDED);
    EXPECT_EQ(add("Null URL", nullptr), ADD_SKIPPED);
    EXPECT_EQ(add("Merged", "HTTP://A/%22Q%22"), ADD_MERGED) << "the quoted and the encoded address are one";
    EXPECT_EQ(dump_records(&c),
              "http://a/%22q%22|Title||1000000000|1000000000|U\n"
              "%22http://b/%22|%22http://b/%22|description|1000000000|1000000000|7\n"
              "http://c/|http://c/||1000000000|1000000000|U\n"
              "http://d/|http://d/||1000000000|1000000000|U\n");
}

// A second record with a stored URL goes into `records` only.
TEST_F(CollectionFixture, InsertKeepsIdentityOrderAndOneRecordPerUrl) {
    Bookmark* made[4] = {make("http://d/"), make("http://c/"), make("http://b/"), make("http://DUP/")};
    add("Stored", "http://dup/", "stored");
    for (int i : {2, 0, 3, 1}) insert_record(&c, made[i]);
    set_bookmark_keywords(&c, made[3], "twin stored");
    for (uint32_t i = 0; i < 3; i++) EXPECT_EQ(record(i), made[i]);
    EXPECT_EQ(c.records->count, 5u);
    EXPECT_EQ(c.records_by_url->count, 4u);
    EXPECT_STREQ(find_by_url(&c, "http://dup/")->title, "Stored");
    EXPECT_EQ(check_collection(&c), "");
    const uint64_t edits = c.edits;
    delete_record(&c, made[3]);
    EXPECT_GT(c.edits, edits);
    EXPECT_EQ(c.records_by_url->count, 4u);
    EXPECT_EQ(find_word_entry(c.keyword_index, "twin"), nullptr);
    EXPECT_EQ(check_collection(&c), "");
    begin_add_batch(&c);  // left open: the fixture frees it, and the sanitizers report anything lost
    add("One", "http://one/", "lonely word");
}

// The site: and is:duplicate terms answer after each step as terms made afresh.
TEST_F(CollectionFixture, RandomOperationsMatchModel) {
    struct Model {
        std::string url, title;
        uint32_t added, visit, modified;
    };
    std::vector<Model> model;
    auto find_model = [&](const std::string& url) -> Model* {
        for (Model& m : model) {
            if (compare_urls(m.url.c_str(), url.c_str()) == 0) return &m;
        }
        return nullptr;
    };
    // Long shared beginnings too: the batch's sort settles most comparisons on
    // the first bytes alone and must still order URLs that agree far beyond.
    const char* hosts[] = {"a.example",      "www.a.example",         "b.a.example",
                           "bücher.example", "xn--bcher-kva.example", "\xC4"};
    const char* words[] = {"Web", "web", "news", "the", "Home", "a.b", "kernel", "X"};
    const uint32_t dates[] = {5, 50, 500, DATE_UNSET, DATE_BROKEN, DATE_CHECKING};
    std::mt19937 rng(99);
    auto pick = [&](int max_words) {
        std::string text;
        for (int k = static_cast<int>(rng() % max_words); k > 0; k--) {
            text += std::string(words[rng() % 8]) + (rng() % 3 ? " " : ", ");
        }
        return text;
    };
    auto some_url = [&] {
        std::string url = "http://" + std::string(hosts[rng() % 6]) + (rng() % 2 ? "/long/shared/path/" : "/") +
                          std::to_string(rng() % 5) + (rng() % 3 ? "" : "?utm_source=1");
        for (char& ch : url) {
            if (rng() % 2) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
        }
        return url;
    };
    // Undo puts a deleted bookmark back as a new record of the same identity.
    struct Deleted : Model {
        uint64_t serial;
    };
    std::vector<Deleted> deleted;
    auto put_back = [&] {
        const Deleted& gone = deleted.back();
        Bookmark* back = make(gone.url.c_str());
        back->serial = gone.serial;
        free(back->title);
        back->title = str_dup(gone.title.c_str());
        back->added = gone.added;
        back->last_visit = gone.visit;
        back->last_modified = gone.modified;
        model.push_back(gone);
        deleted.pop_back();
        PtrVector* records = vec_create();
        vec_append(records, back);
        insert_records(&c, records);
        vec_destroy(records);
    };
    RecordTerms terms = create_record_terms(&c, host_ascii);
    RecordTermsJob* job = nullptr;
    // Batches open and end at random, nested up to three deep, so that every
    // operation also meets records not yet in `records_by_url`.
    int batches = 0;
    for (int step = 0; step < 4000; step++) {
        const uint32_t op = rng() % 12;
        if (rng() % 50 == 0) {
            if (batches < 3 && rng() % 2) {
                begin_add_batch(&c);
                batches++;
            } else if (batches > 0) {
                end_add_batch(&c);
                batches--;
            }
        }
        const uint64_t edits = c.edits;
        const std::string url = some_url();
        Model* m = find_model(url);
        if (op < 6) {
            const std::string title = pick(4), keywords = pick(5);
            uint32_t added = dates[rng() % 6], visit = dates[rng() % 6], modified = dates[rng() % 6];
            const bool automatic = rng() % 2;
            const AddOutcome outcome =
                add(title.c_str(), url.c_str(), keywords.c_str(), added, visit, modified, automatic);
            std::string trimmed_title = title.substr(0, title.find_last_not_of(' ') + 1);
            if (trimmed_title.empty()) trimmed_title = url;
            ASSERT_EQ(outcome, m ? ADD_MERGED : ADD_ADDED);
            ASSERT_EQ(c.edits != edits, !m);
            if (m) {
                // An undated bookmark says nothing; a later real date replaces.
                if (is_real_date(added)) {
                    if (is_real_date(visit) && m->visit < visit) m->visit = visit;
                    if (is_real_date(modified) && m->modified < modified) m->modified = modified;
                }
            } else {
                model.push_back({url, trimmed_title, is_real_date(added) ? added : kNow,
                                 is_real_date(visit) ? visit : kNow,
                                 modified == DATE_CHECKING ? DATE_UNSET : modified});
            }
        } else if (op == 6) {  // put back as Undo puts a deleted bookmark back
            if (batches > 0 || deleted.empty() || find_model(deleted.back().url)) continue;
            put_back();
            ASSERT_NE(c.edits, edits);
        } else if (c.records->count == 0) {
            continue;
        } else {
            Bookmark* r = record(rng() % c.records->count);
            m = find_model(r->url);
            ASSERT_NE(m, nullptr);
            if (op < 9) {
                set_bookmark_keywords(&c, r, pick(6).c_str());
            } else if (op == 9) {
                m->url = "http://renamed" + std::to_string(step) + ".a.example/";
                free(r->url);
                r->url = str_dup(m->url.c_str());
                reposition_by_url(&c, r);
                ASSERT_NE(c.edits, edits);
            } else if (op == 10) {
                m->title = url;
                free(r->title);
                r->title = str_dup(url.c_str());
                note_title_edit(&c);
                ASSERT_NE(c.edits, edits);
            } else {
                deleted.push_back({*m, r->serial});
                model.erase(model.begin() + (m - model.data()));
                delete_record(&c, r);
                if (batches == 0 && rng() % 2) put_back();  // at once, before the terms look again
            }
        }
        ASSERT_EQ(check_collection(&c), "") << "step " << step;
        ASSERT_EQ(c.records->count, model.size());
        for (const Model& e : model) {
            const Bookmark* r = find_by_url(&c, e.url.c_str());
            ASSERT_NE(r, nullptr) << e.url;
            ASSERT_EQ(std::make_tuple(std::string(r->title), r->added, r->last_visit, r->last_modified),
                      std::make_tuple(e.title, e.added, e.visit, e.modified));
        }
        if (batches > 0) continue;
        // Indexes made ahead from copies and taken some steps later, in place
        // of none or of ones due to be made anew.
        if (!job && step % 10 == 0) {
            job = copy_for_record_terms(&terms);
        } else if (job && step % 10 == 7) {
            make_record_terms(job);
            if (step % 20 == 7) free_record_terms(&terms);
            take_record_terms(&terms, job);
            job = nullptr;
        }
        RecordTerms fresh = create_record_terms(&c, host_ascii);
        for (const char* expression : {"is:duplicate", "site:a.example", "site:bücher.example"}) {
            EXPECT_EQ(term_records(&terms, expression), term_records(&fresh, expression)) << expression << " " << step;
        }
        free_record_terms(&fresh);
        if (HasFailure()) break;
    }
    free_record_terms(&terms);
    if (job) free_record_terms_job(job);
    while (batches-- > 0) end_add_batch(&c);
    end_add_batch(&c);  // an extra end is ignored
    EXPECT_EQ(check_collection(&c), "");
    EXPECT_EQ(c.records_by_url->count, model.size());
}

const uint32_t T = 1000000000;
const uint32_t HOUR = 3600;
const uint32_t DATE = 784111777;

struct Step {
    CheckVerdict verdict;
    uint32_t value;
    uint32_t at;
    ShownState shown;
    uint32_t first_failure;
    const char* archive;  // found with the check
    const char* kept;     // the archived copy afterwards
};

// Each row is the next check of one bookmark, visited at T - 1 with a date of DATE.
const Step steps[] = {
    {VERDICT_UNREACHABLE, DATE_BROKEN, T, SHOWN_SUSPECT, T, "http://a/1", "http://a/1"},
    {VERDICT_SERVER_ERROR, DATE_UNSET, T + 19 * HOUR, SHOWN_SUSPECT, T, nullptr, "http://a/1"},
    {VERDICT_BLOCKED, DATE_UNSET, T + 19 * HOUR + 1, SHOWN_NORMAL, 0, nullptr, "http://a/1"},
    {VERDICT_UNREACHABLE, DATE_BROKEN, T + 20 * HOUR, SHOWN_SUSPECT, T + 20 * HOUR, nullptr, "http://a/1"},
    {VERDICT_OFFLINE, DATE_UNSET, T + 39 * HOUR, SHOWN_SUSPECT, T + 20 * HOUR, nullptr, "http://a/1"},  // not stored
    {VERDICT_UNREACHABLE, DATE_BROKEN, T + 40 * HOUR, SHOWN_BROKEN, T + 20 * HOUR, nullptr, "http://a/1"},
    {VERDICT_OK, DATE_UNSET, T + 41 * HOUR, SHOWN_NORMAL, 0, nullptr, nullptr},
    {VERDICT_GONE, DATE_BROKEN, T + 42 * HOUR, SHOWN_BROKEN, T + 42 * HOUR, "http://a/2", "http://a/2"},
    {VERDICT_NOT_CHECKED, DATE_UNSET, T + 43 * HOUR, SHOWN_NORMAL, 0, nullptr, "http://a/2"},
    {VERDICT_DATED, T + 5, T + 44 * HOUR, SHOWN_CHANGED, 0, nullptr, nullptr},
};

TEST(StoreCheckResult, BreaksOnlyGoneOrFailingForTwentyHoursAndKeepsTheDate) {
    Bookmark record = {};
    record.last_visit = T - 1;
    record.last_modified = DATE;
    for (const Step& step : steps) {
        SCOPED_TRACE(verdict_name(step.verdict));
        CheckResult result = {
            step.verdict, step.value, 0, 0, nullptr, CHECK_ERROR_NONE, const_cast<char*>(step.archive)};
        store_check_result(&record, &result, step.at);
        EXPECT_EQ(shown_state(&record), step.shown);
        EXPECT_EQ(record.first_failure, step.first_failure);
        EXPECT_EQ(record.last_check, step.verdict == VERDICT_OFFLINE ? T + 20 * HOUR : step.at);
        EXPECT_EQ(record.last_modified, is_real_date(step.value) ? step.value : DATE) << "a failure erased the date";
        EXPECT_STREQ(record.archive, step.kept);
    }
    EXPECT_EQ(verdict_named("offline", 7), VERDICT_NONE) << "never read back from a file";
}

// The Status column's words for each state, dates written in UTC.
TEST(StatusText, TheVerdictInWordsWithItsDate) {
    const struct {
        CheckVerdict verdict;
        uint32_t last_check, first_failure, last_modified, last_visit;
        const char* text;
    } rows[] = {
        {VERDICT_NONE, 0, 0, DATE_UNSET, DATE_UNSET, "Not checked"},
        {VERDICT_NONE, 0, 0, DATE_BROKEN, DATE_UNSET, "Broken"},  // an older version's mark, undated
        {VERDICT_OK, T, 0, DATE_UNSET, DATE_UNSET, "OK, 9 Sep 2001"},
        {VERDICT_DATED, T, 0, DATE, T, "OK, 9 Sep 2001"},
        {VERDICT_DATED, T, 0, DATE, DATE_UNSET, "Changed, 6 Nov 1994"},
        {VERDICT_GONE, T + HOUR, T, DATE, T, "Broken since 9 Sep 2001"},
        {VERDICT_UNREACHABLE, T + HOUR, T, DATE, T, "Unreachable since 9 Sep 2001"},
        {VERDICT_SERVER_ERROR, T + HOUR, T, DATE, T, "Server error since 9 Sep 2001"},
        {VERDICT_UNREACHABLE, T + 20 * HOUR, T, DATE, T, "Broken since 9 Sep 2001"},
        {VERDICT_MOVED, T, 0, DATE, DATE_UNSET, "Moved"},
        {VERDICT_BLOCKED, T, 0, DATE_UNSET, DATE_UNSET, "Blocked by the site"},
        {VERDICT_NOT_CHECKED, T, 0, DATE_UNSET, DATE_UNSET, "Not checked"},
        {VERDICT_OK, DATE_BROKEN, 0, DATE_UNSET, DATE_UNSET, "OK"},  // a damaged file's date
        // The calendar's corners.
        {VERDICT_OK, 951868799, 0, DATE_UNSET, DATE_UNSET, "OK, 29 Feb 2000"},
        {VERDICT_OK, 1804032000, 0, DATE_UNSET, DATE_UNSET, "OK, 3 Mar 2027"},
        {VERDICT_OK, 4107542400u, 0, DATE_UNSET, DATE_UNSET, "OK, 1 Mar 2100"},
        {VERDICT_OK, 1, 0, DATE_UNSET, DATE_UNSET, "OK, 1 Jan 1970"},
    };
    for (const auto& row : rows) {
        Bookmark record = {};
        record.verdict = row.verdict;
        record.last_check = row.last_check;
        record.first_failure = row.first_failure;
        record.last_modified = row.last_modified;
        record.last_visit = row.last_visit;
        EXPECT_EQ(status_text(&record, utc_day_text), row.text);
    }
}

// The archived copy asked for is the page's last known good state: its last
// check when it answered then, else the day it was added; none while one is known.
TEST(ArchiveMoment, TheLastGoodCheckElseTheAddDate) {
    char known[] = "http://a/";
    const struct {
        CheckVerdict verdict;
        uint32_t last_check;
        uint32_t added;
        char* archive;
        uint32_t moment;
    } cases[] = {
        {VERDICT_OK, 500, 100, nullptr, 500},   {VERDICT_MOVED, 500, 100, nullptr, 500},
        {VERDICT_GONE, 500, 100, nullptr, 100}, {VERDICT_BLOCKED, 500, 100, nullptr, 100},
        {VERDICT_NONE, 0, 100, nullptr, 100},   {VERDICT_NONE, 0, DATE_UNSET, nullptr, T},
        {VERDICT_NONE, 0, 0, nullptr, T},       {VERDICT_GONE, 500, 100, known, NO_ARCHIVE_LOOKUP},
    };
    for (const auto& c : cases) {
        Bookmark record = {};
        record.verdict = c.verdict;
        record.last_check = c.last_check;
        record.added = c.added;
        record.archive = c.archive;
        EXPECT_EQ(archive_moment(&record, T), c.moment) << verdict_name(c.verdict) << " " << c.added;
    }
}

// Sites to ask whether the network works: those whose last check got any reply.
TEST(AnsweredUrls, TheMostRecentlyAnsweredFirst) {
    char urls[4][12] = {"http://a/", "http://b/", "http://c/", "http://d/"};
    Bookmark records[4] = {};
    const CheckVerdict verdicts[] = {VERDICT_OK, VERDICT_GONE, VERDICT_UNREACHABLE, VERDICT_NONE};
    const uint32_t checked[] = {5, 9, 7, 0};
    PtrVector* vec = vec_create();
    for (int i = 0; i < 4; i++) {
        records[i].url = urls[i];
        records[i].last_check = checked[i];
        records[i].verdict = verdicts[i];
        records[i].http_status = i == 1 ? 404 : 0;
        vec_append(vec, &records[i]);
    }
    const char* found[3] = {};
    ASSERT_EQ(answered_urls(vec, found, 3), 2u);
    EXPECT_STREQ(found[0], "http://b/");
    EXPECT_STREQ(found[1], "http://a/");
    EXPECT_EQ(answered_urls(vec, found, 1), 1u);
    vec_destroy(vec);
}

TEST(OffersNewAddress, NotForAFrontPageOrSignInInsteadOfADeeperPage) {
    const char* cases[][3] = {
        {"http://a.example/docs/page", "https://a.example/docs/page", "yes"},
        {"http://a.example", "https://www.a.example/", "yes"},
        {"http://a.example/docs/page", "https://a.example/", "no"},
        {"http://a.example/docs/page", "https://a.example/Login?next=/docs/page", "no"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(offers_new_address(c[0], c[1]) ? "yes" : "no", std::string(c[2])) << c[0] << " -> " << c[1];
    }
}

}  // namespace
