// What a bookmark keeps of its status checks: the rule from failures to
// broken, what the list shows, and the check's attributes in the collection file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "collection/collection_file.h"

namespace {

const uint32_t T = 1000000000;
const uint32_t HOUR = 3600;
const uint32_t DATE = 784111777;

struct Step {
    CheckVerdict verdict;
    uint32_t value;
    uint32_t at;
    ShownState shown;
    uint32_t first_failure;
};

// Each row is the next check of one bookmark, visited at T - 1 with a date of DATE.
const Step steps[] = {
    {VERDICT_UNREACHABLE, DATE_BROKEN, T, SHOWN_SUSPECT, T},
    {VERDICT_SERVER_ERROR, DATE_UNSET, T + 19 * HOUR, SHOWN_SUSPECT, T},
    {VERDICT_BLOCKED, DATE_UNSET, T + 19 * HOUR + 1, SHOWN_NORMAL, 0},
    {VERDICT_UNREACHABLE, DATE_BROKEN, T + 20 * HOUR, SHOWN_SUSPECT, T + 20 * HOUR},
    {VERDICT_UNREACHABLE, DATE_BROKEN, T + 40 * HOUR, SHOWN_BROKEN, T + 20 * HOUR},
    {VERDICT_OK, DATE_UNSET, T + 41 * HOUR, SHOWN_NORMAL, 0},
    {VERDICT_GONE, DATE_BROKEN, T + 42 * HOUR, SHOWN_BROKEN, T + 42 * HOUR},
    {VERDICT_NOT_CHECKED, DATE_UNSET, T + 43 * HOUR, SHOWN_NORMAL, 0},
    {VERDICT_DATED, T + 5, T + 44 * HOUR, SHOWN_CHANGED, 0},
};

TEST(StoreCheckResult, BreaksOnlyGoneOrFailingForTwentyHoursAndKeepsTheDate) {
    Bookmark record = {};
    record.last_visit = T - 1;
    record.last_modified = DATE;
    for (const Step& step : steps) {
        SCOPED_TRACE(verdict_name(step.verdict));
        CheckResult result = {step.verdict, step.value, 0, 0, nullptr, CHECK_ERROR_NONE};
        store_check_result(&record, &result, step.at);
        EXPECT_EQ(shown_state(&record), step.shown);
        EXPECT_EQ(record.first_failure, step.first_failure);
        EXPECT_EQ(record.last_check, step.at);
        EXPECT_EQ(record.last_modified, is_real_date(step.value) ? step.value : DATE) << "a failure erased the date";
    }
}

TEST(OffersNewAddress, NotForAFrontPageOrSignInInsteadOfADeeperPage) {
    const char* cases[][3] = {
        {"http://a.example/docs/page", "https://a.example/docs/page", "yes"},
        {"http://a.example", "https://www.a.example/", "yes"},
        {"http://a.example/docs/page", "https://a.example/", "no"},
        {"http://a.example/docs/page", "https://a.example/Login?next=/docs/page", "no"},
        {"http://a.example/docs/page", "https://id.a.example/auth/x", "no"},
        {"http://a.example/docs/page", "https://a.example/authors/page", "yes"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(offers_new_address(c[0], c[1]) ? "yes" : "no", std::string(c[2])) << c[0] << " -> " << c[1];
    }
}

TEST(CheckAttributes, AreWrittenAndReadBack) {
    Collection c = create_collection();
    add_or_merge(&c, str_dup("Moved"), str_dup("http://a.example/old"), nullptr, 5, 6, DATE, false);
    add_or_merge(&c, str_dup("Failing"), str_dup("http://b.example/"), nullptr, 5, 6, DATE_UNSET, false);
    add_or_merge(&c, str_dup("Never checked"), str_dup("http://c.example/"), nullptr, 5, 6, DATE_UNSET, false);
    CheckResult moved = {VERDICT_MOVED, DATE_UNSET, 301, 0, str_dup("https://a.example/\"new\""), CHECK_ERROR_NONE};
    CheckResult failed = {VERDICT_UNREACHABLE, DATE_BROKEN, 0, 0, nullptr, CHECK_ERROR_TIMED_OUT};
    store_check_result(static_cast<Bookmark*>(c.records->items[0]), &moved, T);
    store_check_result(static_cast<Bookmark*>(c.records->items[1]), &failed, T + 1);
    char* text = build_collection_text(c.records);
    EXPECT_NE(strstr(text,
                     "<DT><A HREF=\"http://a.example/old\" ADD_DATE=\"5\" LAST_VISIT=\"6\" LAST_MODIFIED="
                     "\"784111777\" LAST_CHECK=\"1000000000\" CHECK_VERDICT=\"moved\" CHECK_STATUS=\"301\" "
                     "MOVED_TO=\"https://a.example/%22new%22\" >"),
              nullptr)
        << text;
    EXPECT_NE(strstr(text, "<DT><A HREF=\"http://c.example/\" ADD_DATE=\"5\" LAST_VISIT=\"6\" >"), nullptr);

    Collection back = create_collection();
    read_bookmark_text(&back, text, false, nullptr, nullptr);
    char* again = build_collection_text(back.records);
    EXPECT_STREQ(again, text) << "the checks did not read back as written";
    free(again);
    free(text);
    free_check_result(&moved);
    free_collection(&back);
    free_collection(&c);
}

}  // namespace
