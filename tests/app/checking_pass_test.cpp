// A status checking pass with the real checker thread against the scripted
// web server on 127.0.0.1: icons follow the answers, and a stopped pass lets
// the probe in flight finish and probes nothing more.
#include <windows.h>

#include <string>

#include "app/list_view.h"
#include "app/status_checking.h"
#include "checker/checker_thread_win32.h"
#include "tests/app/main_window_fixture.h"
#include "tests/checker/test_server.h"

namespace {

const uint32_t NOV_6_1994_08_49_37 = 784111777;

class CheckingPassTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (test_servers().scripted_port == 0) GTEST_SKIP() << "no test server";
        start.main_window = frame;
        start.probe.version = APP_VERSION;
        start.probe.build = "32m";
        start.probe.wait_seconds = 5;
        HANDLE thread = start_checker_thread(&start, &app_state->checker_thread_id);
        ASSERT_NE(thread, nullptr);
        CloseHandle(thread);
        // The thread says it is ready before it takes any URL.
        pump_until([] { return false; }, 300);
    }
    void TearDown() override {
        PostThreadMessageA(app_state->checker_thread_id, WM_QUIT, 0, 0);
        MainWindowTest::TearDown();
    }

    Bookmark* add_checked(const char* title, const char* path) {
        std::string url = scripted_url(path);
        add(title, url.c_str());
        return record(url.c_str());
    }

    // Handles the checker's messages until the condition holds or time runs out.
    template <typename Condition>
    bool pump_until(Condition condition, DWORD milliseconds) {
        DWORD begin = GetTickCount();
        while (!condition()) {
            if (GetTickCount() - begin > milliseconds) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            pump_messages();
        }
        return true;
    }

    CheckerStart start = {};
};

}  // namespace

TEST_F(CheckingPassTest, IconsFollowTheServersAnswers) {
    Bookmark* dated = add_checked("Dated Page", "/date/rfc1123");
    Bookmark* gone = add_checked("Gone Page", "/status/404");
    Bookmark* undated = add_checked("Undated Page", "/no-date");
    dated->last_visit = NOV_6_1994_08_49_37 + 10;
    app_state->filter_dirty = 1;
    idle();
    start_checking();
    ASSERT_TRUE(pump_until([] { return !app_state->checking_active; }, 60000));
    EXPECT_EQ(dated->last_modified, NOV_6_1994_08_49_37);
    EXPECT_EQ(status_icon(dated), ICON_NOTHING_KNOWN) << "visited after the change";
    EXPECT_EQ(gone->last_modified, DATE_BROKEN);
    EXPECT_EQ(status_icon(gone), ICON_BROKEN);
    EXPECT_EQ(undated->last_modified, DATE_UNSET);
    // The four bookmarks of other hosts cannot be reached from here: broken.
    EXPECT_EQ(record("http://www.kernel.org/")->flags & BOOKMARK_CHECKED, BOOKMARK_CHECKED);
}

TEST_F(CheckingPassTest, StoppingLetsTheProbeInFlightReportAndProbesNothingMore) {
    // Only the slow page is listed, so the pass takes it first.
    Bookmark* slow = add_checked("Slow Page", "/slow/1500");
    Bookmark* dated = add_checked("Dated Page", "/date/rfc1123");
    type("slow");
    start_checking();
    ASSERT_TRUE(pump_until([&] { return slow->last_modified == DATE_CHECKING; }, 10000));
    EXPECT_EQ(status_icon(slow), ICON_CHECKING);
    stop_checking();
    ASSERT_TRUE(pump_until([&] { return slow->last_modified != DATE_CHECKING; }, 10000));
    EXPECT_EQ(slow->last_modified, NOV_6_1994_08_49_37);
    pump_until([] { return false; }, 500);
    EXPECT_EQ(dated->last_modified, DATE_UNSET);
    EXPECT_FALSE(dated->flags & BOOKMARK_CHECKED);
}
