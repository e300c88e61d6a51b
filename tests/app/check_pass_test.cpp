// Status checking passes in the real main window with the real checker
// against the scripted web server on 127.0.0.1: results arrive in batches,
// Stop is at once, and a pass cut short continues where it was.
#include <windows.h>

#include <string>

#include "app/list_view.h"
#include "app/status_checking.h"
#include "checker/scheduler.h"
#include "tests/app/main_window_fixture.h"
#include "tests/checker/test_server.h"

namespace {

const uint32_t NOV_6_1994_08_49_37 = 784111777;

class CheckPassTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (test_servers().scripted_port == 0) GTEST_SKIP() << "no test server";
        app_state->options.check_connections = 4;
        app_state->options.host_interval = 0;
        create_checker();
    }
    void TearDown() override {
        if (app_state->checker) checker_destroy(app_state->checker);
        MainWindowTest::TearDown();
    }

    Bookmark* add_checked(const char* title, const char* path) {
        std::string url = scripted_url(path);
        add(title, url.c_str());
        return record(url.c_str());
    }

    // Handles the window's messages until the condition holds or time runs out.
    template <typename Condition>
    bool pump_until(Condition condition, DWORD milliseconds) {
        DWORD begin = GetTickCount();
        while (!condition()) {
            if (GetTickCount() - begin > milliseconds) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            pump_messages();
        }
        return true;
    }
};

TEST(FormatCount, PutsACommaBetweenThousands) {
    char text[16];
    for (auto c : {std::make_pair(0u, "0"), {999u, "999"}, {1000u, "1,000"}, {1234567u, "1,234,567"}}) {
        format_count(c.first, text, sizeof text);
        EXPECT_STREQ(text, c.second);
    }
}

TEST_F(CheckPassTest, StoresEveryAnswerAndShowsProgress) {
    Bookmark* dated = add_checked("Dated Page", "/date/rfc1123");
    Bookmark* gone = add_checked("Gone Page", "/status/404");
    Bookmark* slow = add_checked("Slow Page", "/slow/400");
    dated->last_visit = NOV_6_1994_08_49_37 + 10;
    app_state->filter_dirty = 1;
    idle();
    start_checking();
    std::string progress;
    ASSERT_TRUE(pump_until(
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
    pump_until([] { return false; }, 300);
    DWORD stop = GetTickCount();
    stop_checking();
    EXPECT_FALSE(app_state->checking_active);
    EXPECT_EQ(checker_pending(app_state->checker), 0u);
    EXPECT_LT(GetTickCount() - stop, 1000u);
    pump_until([] { return false; }, 1600);  // the abandoned probe has ended
    EXPECT_EQ(slow->last_modified, DATE_UNSET) << "left as it was";
    // Started while the slow probe is in flight: one pass, each URL once.
    start_checking();
    pump_until([] { return false; }, 300);
    stop_checking();
    start_checking();
    ASSERT_TRUE(pump_until([] { return !app_state->checking_active; }, 60000));
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
    ASSERT_TRUE(pump_until([] { return !app_state->checking_active; }, 60000));
    EXPECT_EQ(missed->last_modified, NOV_6_1994_08_49_37);
    EXPECT_EQ(reached->last_modified, DATE_UNSET);
}

}  // namespace
