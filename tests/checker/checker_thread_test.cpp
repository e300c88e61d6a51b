// Tests of the status checker thread: a hidden window plays the main window's
// part, posting URLs when the thread is ready and logging what it reports.
#include "checker/checker_thread_win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "core/bookmark.h"
#include "tests/checker/test_server.h"

namespace {

const uint32_t NOV_6_1994_08_49_37 = 784111777;
const UINT_PTR WATCHDOG_TIMER = 1;

struct Event {
    UINT message;
    std::string url;
    uint32_t value;

    bool operator==(const Event& other) const {
        return message == other.message && url == other.url && value == other.value;
    }
};

void PrintTo(const Event& e, std::ostream* out) {
    *out << (e.message == WM_CHECKER_READY ? "ready" : "report ") << e.url << " " << static_cast<int32_t>(e.value);
}

Event ready() { return {WM_CHECKER_READY, "", 0}; }
Event report(const std::string& url, uint32_t value) { return {WM_CHECKER_REPORT, url, value}; }

// The main window's side of the exchange.
struct Harness {
    DWORD thread_id = 0;
    std::deque<std::string> to_check;
    bool active = true;
    std::string stop_when_checking;  // the pass stops when this URL's check begins
    std::vector<Event> log;
    int posted = 0;
    bool done = false;
    bool timed_out = false;
};

void post_next(Harness* h) {
    if (!h->active || h->to_check.empty()) {
        h->done = true;
        return;
    }
    std::string url = h->to_check.front();
    h->to_check.pop_front();
    char* copy = static_cast<char*>(malloc(url.size() + 1));
    memcpy(copy, url.c_str(), url.size() + 1);
    if (PostThreadMessageA(h->thread_id, WM_CHECKER_URL, reinterpret_cast<WPARAM>(copy), 0)) {
        h->posted++;
    } else {
        free(copy);
        h->done = true;
    }
}

// Messages sent from the thread are handled inside GetMessage, which then
// waits on for a posted one: a posted no-op lets the pump look at its state.
void wake_pump() { PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0); }

LRESULT CALLBACK harness_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Harness* h = reinterpret_cast<Harness*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
        case WM_CHECKER_READY:
            h->log.push_back(ready());
            post_next(h);
            wake_pump();
            return 0;
        case WM_CHECKER_REPORT: {
            const char* url = reinterpret_cast<const char*>(wparam);
            h->log.push_back(report(url, static_cast<uint32_t>(lparam)));
            if (static_cast<uint32_t>(lparam) == DATE_CHECKING && h->stop_when_checking == url) h->active = false;
            wake_pump();
            return 0;
        }
        case WM_TIMER:
            h->timed_out = true;
            h->done = true;
            return 0;
        default:
            return DefWindowProcA(window, message, wparam, lparam);
    }
}

class CheckerThread : public testing::Test {
protected:
    void SetUp() override {
        test_servers();
        WNDCLASSA window_class;
        memset(&window_class, 0, sizeof window_class);
        window_class.lpfnWndProc = harness_window_proc;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = "CheckerThreadHarness";
        RegisterClassA(&window_class);
        window_ = CreateWindowA("CheckerThreadHarness", "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&harness_));
        start_.main_window = window_;
        start_.probe = {102, "32m", 5};
    }

    void TearDown() override {
        if (thread_) {
            PostThreadMessageA(harness_.thread_id, WM_QUIT, 0, 0);
            EXPECT_EQ(WaitForSingleObject(thread_, 10000), WAIT_OBJECT_0);
            DWORD code = 1;
            GetExitCodeThread(thread_, &code);
            EXPECT_EQ(code, 0u);
            CloseHandle(thread_);
        }
        DestroyWindow(window_);
    }

    // Starts the thread and pumps until a ready message finds nothing to post.
    void run_pass() {
        SetTimer(window_, WATCHDOG_TIMER, 60000, nullptr);
        thread_ = start_checker_thread(&start_, &harness_.thread_id);
        ASSERT_NE(thread_, nullptr);
        MSG msg;
        while (!harness_.done && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        KillTimer(window_, WATCHDOG_TIMER);
        EXPECT_FALSE(harness_.timed_out);
    }

    HWND window_ = nullptr;
    HANDLE thread_ = nullptr;
    CheckerStart start_;
    Harness harness_;
};

TEST_F(CheckerThread, ReportsEachUrlBetweenReadyMessages) {
    std::string dated = scripted_url("/date/rfc1123");
    std::string gone = scripted_url("/status/404");
    std::string unknown = scripted_url("/status/500");
    harness_.to_check = {dated, gone, unknown};
    run_pass();
    std::vector<Event> expected = {
        ready(), report(dated, DATE_CHECKING),   report(dated, NOV_6_1994_08_49_37),
        ready(), report(gone, DATE_CHECKING),    report(gone, DATE_BROKEN),
        ready(), report(unknown, DATE_CHECKING), report(unknown, DATE_UNSET),
        ready(),
    };
    EXPECT_EQ(harness_.log, expected);
}

TEST_F(CheckerThread, ChecksHttpsPages) {
    std::string dated = tls_url("/date/rfc850");
    std::string moved = scripted_url("/to-tls/status/404");
    harness_.to_check = {dated, moved};
    run_pass();
    std::vector<Event> expected = {
        ready(), report(dated, DATE_CHECKING), report(dated, NOV_6_1994_08_49_37),
        ready(), report(moved, DATE_CHECKING), report(moved, DATE_BROKEN),
        ready(),
    };
    EXPECT_EQ(harness_.log, expected);
}

TEST_F(CheckerThread, AStoppedPassStillHearsTheProbeInFlight) {
    std::string slow = scripted_url("/slow/300");
    harness_.to_check = {slow, scripted_url("/date/rfc850")};
    harness_.stop_when_checking = slow;
    run_pass();
    std::vector<Event> expected = {
        ready(),
        report(slow, DATE_CHECKING),
        report(slow, NOV_6_1994_08_49_37),
        ready(),
    };
    EXPECT_EQ(harness_.log, expected);
    EXPECT_EQ(harness_.posted, 1);
}

TEST_F(CheckerThread, RunsAtIdlePriority) {
    run_pass();
    EXPECT_EQ(GetThreadPriority(thread_), THREAD_PRIORITY_IDLE);
}

TEST_F(CheckerThread, IgnoresOtherThreadMessages) {
    std::string dated = scripted_url("/date/asctime");
    harness_.to_check = {dated};
    SetTimer(window_, WATCHDOG_TIMER, 60000, nullptr);
    thread_ = start_checker_thread(&start_, &harness_.thread_id);
    ASSERT_NE(thread_, nullptr);
    MSG msg;
    // Wait for the first ready message, then slip in a stray message first.
    harness_.active = false;
    while (harness_.log.empty() && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    ASSERT_TRUE(PostThreadMessageA(harness_.thread_id, WM_USER + 9, 12345, 0));
    harness_.active = true;
    harness_.done = false;
    post_next(&harness_);
    while (!harness_.done && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    KillTimer(window_, WATCHDOG_TIMER);
    std::vector<Event> expected = {
        ready(),
        report(dated, DATE_CHECKING),
        report(dated, NOV_6_1994_08_49_37),
        ready(),
    };
    EXPECT_EQ(harness_.log, expected);
}

}  // namespace
