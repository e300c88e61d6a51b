// Placing dialogs and the folder picker.
#include "app/dialog_helpers.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/app/app_state_fixture.h"
#include "tests/app/dialog_driver.h"

namespace {

class CenterWindowTest : public AppStateTest {
protected:
    void SetUp() override {
        AppStateTest::SetUp();
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        parent = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                                 nullptr);
        box = CreateWindowExA(0, "STATIC", "box", WS_POPUP, 0, 0, 200, 100, parent, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(box);
        DestroyWindow(parent);
        AppStateTest::TearDown();
    }
    RECT placed() {
        RECT r;
        GetWindowRect(box, &r);
        return r;
    }
    void place_parent(int x, int y) {
        SetWindowPos(parent, nullptr, x, y, 400, 300, SWP_NOZORDER);
        ShowWindow(parent, SW_SHOWNORMAL);
    }
    RECT work = {};
    HWND parent = nullptr;
    HWND box = nullptr;
};

TEST_F(CenterWindowTest, CentresOverAVisibleParentWithoutResizing) {
    place_parent(100, 100);
    center_window(box, parent);
    RECT r = placed();
    EXPECT_EQ(r.left, 100 + (400 - 200) / 2);
    EXPECT_EQ(r.top, 100 + (300 - 100) / 2);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 100);
}

TEST_F(CenterWindowTest, HiddenMinimisedOrMissingParentMeansTheWorkArea) {
    int x = work.left + ((work.right - work.left) - 200) / 2;
    int y = work.top + ((work.bottom - work.top) - 100) / 2;
    center_window(box, nullptr);
    EXPECT_EQ(placed().left, x);
    EXPECT_EQ(placed().top, y);
    SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    center_window(box, parent);  // never shown
    EXPECT_EQ(placed().left, x);
    place_parent(50, 50);
    ShowWindow(parent, SW_MINIMIZE);
    SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    center_window(box, parent);
    EXPECT_EQ(placed().left, x);
    EXPECT_EQ(placed().top, y);
}

TEST_F(CenterWindowTest, StaysInsideTheWorkArea) {
    place_parent(work.right - 100, work.bottom - 50);
    center_window(box, parent);
    EXPECT_EQ(placed().right, work.right);
    EXPECT_EQ(placed().bottom, work.bottom);
    place_parent(-350, -280);
    center_window(box, parent);
    EXPECT_EQ(placed().left, 0);
    EXPECT_EQ(placed().top, 0);
}

TEST(ChooseFolderTest, OpensOnTheGivenFolderAndReturnsTheChoice) {
    char folder[MAX_PATH] = "C:\\windows\\";
    std::string caption;
    DialogDriver driver;
    driver.then([&](HWND browser) {
        caption = window_text(browser);
        press(browser, IDOK);
    });
    EXPECT_EQ(choose_folder(nullptr, "Directory of Favorites", folder), 1);
    EXPECT_EQ(lstrcmpiA(folder, "C:\\windows"), 0) << folder;

    lstrcpyA(folder, "C:\\windows/");
    driver.then([](HWND browser) { press(browser, IDCANCEL); });
    EXPECT_EQ(choose_folder(nullptr, "Directory of Favorites", folder), 0);
    EXPECT_STREQ(folder, "C:\\windows");
}

}  // namespace
