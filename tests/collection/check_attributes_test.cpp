// What a bookmark keeps of its status checks: the rule from failures to
// broken, what the list shows, and when a new address is offered. (The check's
// attributes in the collection file are with the file's entries.)
#include <gtest/gtest.h>

#include <string>

#include "collection/check_state.h"

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

}  // namespace
