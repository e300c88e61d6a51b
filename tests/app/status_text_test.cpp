// The timed status texts.
#include "app/status_text.h"

#include <commctrl.h>

#include <string>

#include "tests/app/app_state_fixture.h"

namespace {

int status_writes = 0;

LRESULT CALLBACK count_status_writes(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR /*id*/,
                                     DWORD_PTR /*data*/) {
    if (message == SB_SETTEXTA) status_writes++;
    return DefSubclassProc(hwnd, message, wparam, lparam);
}

class StatusText : public AppStateTest {
protected:
    void SetUp() override {
        AppStateTest::SetUp();
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr, nullptr, nullptr);
        app_state->status_bar =
            CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
        SetWindowSubclass(app_state->status_bar, count_status_writes, 1, 0);
        status_writes = 0;
    }
    void TearDown() override {
        DestroyWindow(parent);
        AppStateTest::TearDown();
    }
    std::string shown() {
        char text[300] = "";
        SendMessageA(app_state->status_bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        return text;
    }
    HWND parent = nullptr;
};

}  // namespace

TEST_F(StatusText, TimedTextThenReady) {
    set_status_text("3 Ravozorizi imported", 8000);
    EXPECT_EQ(shown(), "3 Ravozorizi imported");
    DWORD expiry = app_state->status_expiry;
    EXPECT_GE(expiry - GetTickCount(), 7000u);
    // The idle hook's call leaves a text that is still due in place.
    set_status_text(nullptr, STATUS_FOREVER);
    EXPECT_EQ(shown(), "3 Ravozorizi imported");
    EXPECT_EQ(app_state->status_expiry, expiry);
    // Once due, the same call goes back to "Ready" and nothing is pending.
    app_state->status_expiry = GetTickCount() - 1;
    set_status_text(nullptr, STATUS_FOREVER);
    EXPECT_EQ(shown(), "Ready");
    EXPECT_EQ(app_state->status_expiry, STATUS_FOREVER);
}

TEST_F(StatusText, NullWithZeroDurationIsReadyAtOnce) {
    set_status_text("Importing Favorites...", STATUS_FOREVER);
    EXPECT_EQ(shown(), "Importing Favorites...");
    set_status_text(nullptr, 0);
    EXPECT_EQ(shown(), "Ready");
}

TEST_F(StatusText, SameTextIsNotWrittenAgain) {
    set_status_text("Search expression error", STATUS_FOREVER);
    set_status_text("Search expression error", STATUS_FOREVER);
    EXPECT_EQ(status_writes, 1);
}

TEST_F(StatusText, LongTextIsCutAt255Characters) {
    std::string text(400, 'x');
    set_status_text(text.c_str(), 8000);
    EXPECT_EQ(shown(), std::string(255, 'x'));
}

TEST_F(AppStateTest, StatusTextWithoutStatusBarOnlySetsExpiry) {
    set_status_text("early", 8000);
    EXPECT_NE(app_state->status_expiry, 0u);
    EXPECT_NE(app_state->status_expiry, STATUS_FOREVER);
}
