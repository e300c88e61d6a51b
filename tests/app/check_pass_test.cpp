// Status checking passes in the real main window with the real checker
// against the scripted web server on 127.0.0.1: results arrive in batches,
// Stop is at once, and a pass cut short continues where it was. And the last
// check as the user sees it.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/list_view.h"
#include "app/properties_dialog.h"
#include "app/status_checking.h"
#include "checker/scheduler.h"
#include "collection/check_state.h"
#include "tests/app/window_fixture.h"
#include "tests/checker/test_server.h"

namespace {

const uint32_t NOV_6_1994_08_49_37 = 784111777;
const uint32_t MAR_12_2027 = 1804852800;  // noon UTC: the same day in the zones the tests run in

class CheckPassTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (test_servers().scripted_port == 0) GTEST_SKIP() << "no test server";
        app_state->options.check_connections = 4;
        app_state->options.host_interval = 0;
        create_checker();
    }
    void TearDown() override {
        if (app_state->checker) checker_destroy(app_state->checker);
        WindowTest::TearDown();
    }

    Bookmark* add_checked(const char* title, const char* path) {
        std::string url = scripted_url(path);
        add(title, url.c_str());
        return record(url.c_str());
    }
};

// Counts with a comma between thousands; the last check as the user reads it.
TEST(StatusTexts, CountsAndTheLastCheck) {
    char text[16];
    for (auto c : {std::make_pair(0u, "0"), {999u, "999"}, {1000u, "1,000"}, {1234567u, "1,234,567"}}) {
        format_count(c.first, text, sizeof text);
        EXPECT_STREQ(text, c.second);
    }
    const struct {
        CheckResult result;
        uint32_t failing_since;  // days before
        const char* text;
    } cases[] = {
        {{VERDICT_GONE, DATE_BROKEN, 404, 0, nullptr, CHECK_ERROR_NONE}, 0, "Checked 12 Mar 2027: 404 Not Found"},
        {{VERDICT_BLOCKED, DATE_UNSET, 403, 0, nullptr, CHECK_ERROR_NONE},
         0,
         "Checked 12 Mar 2027: blocked by the site (403)"},
        {{VERDICT_UNREACHABLE, DATE_BROKEN, 0, 0, nullptr, CHECK_ERROR_TIMED_OUT},
         2,
         "Checked 12 Mar 2027: no answer in time (failing since 10 Mar 2027)"},
    };
    for (const auto& c : cases) {
        Bookmark record = {};
        if (c.failing_since) store_check_result(&record, &c.result, MAR_12_2027 - c.failing_since * 86400);
        store_check_result(&record, &c.result, MAR_12_2027);
        char* said = describe_last_check(&record);
        EXPECT_STREQ(said, c.text);
        free(said);
    }
}

// Properties of a page the check found moved offers its new address in place of the old.
TEST_F(WindowTest, PropertiesOfAMovedPageOfferItsNewAddress) {
    char target[] = "https://b.example/new";
    const CheckResult moved = {VERDICT_MOVED, 784111777, 301, 0, target, CHECK_ERROR_NONE};
    Bookmark* kernel = record("http://www.kernel.org/");
    store_check_result(kernel, &moved, MAR_12_2027);
    std::string shown;
    DialogDriver driver;
    driver.then([&](HWND dialog) {
        shown = item_text(dialog, IDC_PROP_CHECK);
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, IDC_PROP_USE_MOVED), GWL_STYLE) & WS_VISIBLE);
        SendMessageA(dialog, WM_COMMAND, IDC_PROP_USE_MOVED, 0);
        press(dialog, IDOK);
    });
    char* keywords = nullptr;
    EXPECT_TRUE(edit_bookmark_properties(kernel, &keywords, frame));
    free(keywords);
    EXPECT_EQ(shown, "Checked 12 Mar 2027: moved to https://b.example/new");
    EXPECT_STREQ(kernel->url, "https://b.example/new");
    EXPECT_EQ(kernel->last_check, 0u) << "the old address's check was kept";
}

TEST_F(CheckPassTest, StoresEveryAnswerAndShowsProgress) {
    Bookmark* dated = add_checked("Dated Page", "/date/rfc1123");
    Bookmark* gone = add_checked("Gone Page", "/status/404");
    Bookmark* slow = add_checked("Slow Page", "/slow/400");
    dated->last_visit = NOV_6_1994_08_49_37 + 10;
    refill();
    start_checking();
    std::string progress;
    ASSERT_TRUE(eventually(
        [&] {
            if (pane(0).rfind("Checking ", 0) == 0) progress = pane(0);
            return !app_state->checking_active;
        },
        60000));
    EXPECT_NE(progress.find(" of 7 ("), std::string::npos) << progress;
    EXPECT_EQ(pane(0), "Ready");
    EXPECT_EQ(dated->last_modified, NOV_6_1994_08_49_37);
    EXPECT_EQ(status_icon(dated), ICON_NOTHING_KNOWN) << "visited after the change";
    EXPECT_EQ(gone->verdict, VERDICT_GONE);
    EXPECT_EQ(status_icon(gone), ICON_BROKEN);
    EXPECT_EQ(slow->last_modified, NOV_6_1994_08_49_37);
    EXPECT_EQ(app_state->check_answered, app_state->check_taken);
    EXPECT_EQ(app_state->options.check_pass_started, 0u);
}

TEST_F(CheckPassTest, StopIsAtOnceAndStartAgainTakesEachUrlOnce) {
    Bookmark* slow = add_checked("Slow Page", "/slow/1500");
    type("slow");  // listed first: its probe starts at once
    start_checking();
    eventually([] { return false; }, 300);
    DWORD stop = GetTickCount();
    stop_checking();
    EXPECT_FALSE(app_state->checking_active);
    EXPECT_EQ(checker_pending(app_state->checker), 0u);
    EXPECT_LT(GetTickCount() - stop, 1000u);
    eventually([] { return false; }, 1600);  // the abandoned probe has ended
    EXPECT_EQ(slow->last_modified, DATE_UNSET) << "left as it was";
    // Started while the slow probe is in flight: one pass, each URL once.
    start_checking();
    eventually([] { return false; }, 300);
    stop_checking();
    start_checking();
    ASSERT_TRUE(eventually([] { return !app_state->checking_active; }, 60000));
    EXPECT_EQ(slow->last_modified, NOV_6_1994_08_49_37);
    EXPECT_EQ(app_state->check_answered, app_state->check_taken);
}

TEST_F(CheckPassTest, APassCutShortContinuesWithTheBookmarksItHadNotReached) {
    Bookmark* reached = add_checked("Reached", "/date/rfc850");
    Bookmark* missed = add_checked("Missed", "/date/asctime");
    // What the close of the program left: the pass's start in the settings,
    // and the check times of the bookmarks it had reached.
    app_state->options.check_pass_started = 5000;
    PtrVector* records = app_state->collection.records;
    for (uint32_t i = 0; i < records->count; i++) static_cast<Bookmark*>(records->items[i])->last_check = 6000;
    missed->last_check = 4000;
    resume_checking();
    EXPECT_EQ(app_state->check_taken, 1u);
    ASSERT_TRUE(eventually([] { return !app_state->checking_active; }, 60000));
    EXPECT_EQ(missed->last_modified, NOV_6_1994_08_49_37);
    EXPECT_EQ(reached->last_modified, DATE_UNSET);
}

}  // namespace
