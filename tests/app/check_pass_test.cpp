// Status checking passes in the real main window with the real checker against the scripted web server on 127.0.0.1;
// the last check as shown.
#include <windows.h>

#include <string>
#include <vector>

#include "app/command_state.h"
#include "app/list_view.h"
#include "app/properties_dialog.h"
#include "app/status_checking.h"
#include "collection/check_state.h"
#include "tests/app/window_fixture.h"
#include "tests/checker/test_server.h"
#include "tests/take_text.h"

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
        app_state->options.archive_service[0] = '\0';  // no look-ups beyond the loopback servers
        create_checker();
    }
    Bookmark* add_checked(const char* title, const char* path) {
        add(title, scripted_url(path).c_str());
        return record(scripted_url(path).c_str());
    }
};

// The last check as the user reads it: since when it has failed, or where the page has moved.
TEST(StatusTexts, TheLastCheck) {
    char target[] = "https://b.example/new";
    const CheckResult timed_out = {VERDICT_UNREACHABLE, DATE_BROKEN, 0, 0, nullptr, CHECK_ERROR_TIMED_OUT};
    const CheckResult moved = {VERDICT_MOVED, DATE_UNSET, 301, 0, target, CHECK_ERROR_NONE};
    Bookmark record = {};
    auto said = [&] { return take_text(describe_last_check(&record)); };
    store_check_result(&record, &timed_out, MAR_12_2027 - 2 * 86400);
    store_check_result(&record, &timed_out, MAR_12_2027);
    EXPECT_EQ(said(), "Checked 12 Mar 2027: no answer in time (failing since 10 Mar 2027)");
    store_check_result(&record, &moved, MAR_12_2027);
    EXPECT_EQ(said(), "Checked 12 Mar 2027: moved to https://b.example/new");
    forget_check(&record);  // frees the moved-to address
}

// Stop ends the pass at once (what happens to the probe in flight is the scheduler's test); a pass started again stores
// every answer and shows its progress.
TEST_F(CheckPassTest, StopIsAtOnceAndAPassStoresEveryAnswer) {
    Bookmark* gone = add_checked("Gone Page", "/status/404");
    Bookmark* slow = add_checked("Slow Page", "/hold/pass");
    type("slow");  // listed first: its probe starts at once
    start_checking();
    const std::string server = scripted_url("");
    ASSERT_TRUE(eventually([&] { return held_open(server) == 1; }));
    stop_checking();
    EXPECT_FALSE(app_state->checking_active);
    EXPECT_EQ(checker_pending(app_state->checker), 0u);
    release_held(server, "pass");
    start_checking();
    std::string progress;
    ASSERT_TRUE(eventually(
        [&] {
            if (pane(0).rfind("Checking ", 0) == 0) progress = pane(0);
            return !app_state->checking_active;
        },
        60000));
    EXPECT_NE(progress.find(" of 6 ("), std::string::npos) << progress;
    EXPECT_EQ(pane(0), "Ready");
    EXPECT_EQ(gone->verdict, VERDICT_GONE);
    EXPECT_EQ(status_icon(gone), ICON_BROKEN);
    EXPECT_EQ(slow->last_modified, NOV_6_1994_08_49_37);
    EXPECT_EQ(app_state->check_answered, app_state->check_taken);
    EXPECT_EQ(app_state->options.check_pass_started, 0u);
}

TEST_F(CheckPassTest, APassCutShortContinuesWithTheBookmarksItHadNotReached) {
    Bookmark* reached = add_checked("Reached", "/date/rfc850");
    Bookmark* missed = add_checked("Missed", "/date/asctime");
    // What the close of the program left: the pass's start in the settings, and the check times of the bookmarks it had
    // reached.
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

// A timed pass on a computer without network: no name is known and the one site that answered before now fails too.
// Every icon stays as it was, the status bar says why, and the next timed check tries again.
TEST_F(CheckPassTest, OfflineLeavesEveryIconAsItWas) {
    const CheckResult answered = {VERDICT_OK, DATE_UNSET, 200, 0, nullptr, CHECK_ERROR_NONE};
    const CheckResult gone = {VERDICT_GONE, DATE_BROKEN, 404, 0, nullptr, CHECK_ERROR_NONE};
    const std::string witness = "http://127.0.0.1:" + std::to_string(test_servers().closed_port) + "/";
    add("Witness", witness.c_str());
    add("Broken", "http://broken.invalid/");
    add("Changed", "http://changed.invalid/");
    for (int i = 0; i < 12; i++) add("Page", ("http://page" + std::to_string(i) + ".invalid/").c_str());
    store_check_result(record(witness.c_str()), &answered, 5000);
    store_check_result(record("http://broken.invalid/"), &gone, 5000);
    record("http://changed.invalid/")->last_modified = NOV_6_1994_08_49_37;
    std::vector<int> icons;
    PtrVector* records = app_state->collection.records;
    for (uint32_t i = 0; i < records->count; i++)
        icons.push_back(status_icon(static_cast<Bookmark*>(records->items[i])));
    app_state->options.option_flags |= OPT_AUTO_STATUS_CHECK;
    app_state->options.check_interval = 1;
    count_check_minute();
    EXPECT_TRUE(app_state->checking_active);
    ASSERT_TRUE(eventually([] { return !app_state->checking_active; }, 60000));
    EXPECT_EQ(pane(0), "No site answers: this computer seems to be offline. Checking stopped.");
    for (uint32_t i = 0; i < records->count; i++) {
        const Bookmark* r = static_cast<Bookmark*>(records->items[i]);
        EXPECT_EQ(status_icon(r), icons[i]) << r->url;
        EXPECT_EQ(r->last_check, r->verdict ? 5000u : 0u) << r->url;
    }
    count_check_minute();
    EXPECT_TRUE(app_state->checking_active) << "the next timed check tries again";
}

// A pass finds a dead page's copy in the archive (the one of the day it was
// added, never having answered): Open Archived Copy hands it to the browser,
// and Properties shows it with Use Archived Copy, which puts it in the URL box.
TEST_F(CheckPassTest, ABrokenPageOffersItsArchivedCopy) {
    checker_destroy(app_state->checker);
    lstrcpyA(app_state->options.archive_service, scripted_url("/wayback/available").c_str());
    create_checker();
    Bookmark* gone = add_checked("Gone Page", "/status/404");
    type("gone");
    select_rows({0});
    EXPECT_FALSE(command_state(IDM_OPEN_ARCHIVED)) << "none known yet";
    start_checking();
    ASSERT_TRUE(eventually([] { return !app_state->checking_active; }, 60000));
    const std::string copy = "http://web.archive.org/web/19700101001640/" + scripted_url("/status/404");
    ASSERT_STREQ(gone->archive, copy.c_str());
    EXPECT_TRUE(command_state(IDM_OPEN_ARCHIVED));

    use_peer_browser("http://shown.example/", "Shown", dir.path("peer.log"));
    command(IDM_OPEN_ARCHIVED);
    ASSERT_TRUE(stop_peer());
    EXPECT_NE(dir.read("peer.log").find(copy), std::string::npos) << dir.read("peer.log");
    EXPECT_EQ(gone->last_visit, 2000u) << "the page itself was not seen";

    std::string shown, url;
    DialogDriver driver;
    driver.then([&](HWND dialog) {
        const bool offered = GetWindowLongA(GetDlgItem(dialog, IDC_PROP_USE_ARCHIVE), GWL_STYLE) & WS_VISIBLE;
        shown = offered ? item_text(dialog, IDC_PROP_ARCHIVE) : "";
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PROP_USE_ARCHIVE, BN_CLICKED), 0);
        url = item_text(dialog, IDC_PROP_URL);
        press(dialog, IDCANCEL);
    });
    command(IDM_PROPERTIES);
    EXPECT_EQ(shown, copy);
    EXPECT_EQ(url, copy);
}

// The whole program closes at once with sixteen silent sites in flight: their
// connections are closed and the process is gone.
TEST(LkExe, ClosesAtOnceWithSilentSitesInFlight) {
    TempDir dir;
    dir.write("lk.ini", "[General]\r\nFirst Run=0\r\nAuto Status Check=1\r\n");
    std::vector<std::string> sites;
    std::vector<std::pair<std::string, std::string>> silent;
    for (int i = 0; i < 16; i++) {
        sites.push_back(site_url(i));
        silent.push_back({"Silent", sites[i] + "/hold/close"});
    }
    write_collection(dir.path("lk.htm"), silent);
    Program program(dir);
    ASSERT_TRUE(servers_hold(sites, 16));
    EXPECT_EQ(program.close(), 1u);
    EXPECT_TRUE(servers_hold(sites, 0));
}

}  // namespace
