// The About box: version, the hidden build line, closing rules, its logo and
// where the files are.
#include "app/about_box.h"

#include <gtest/gtest.h>

#include <string>

#include "app/resource.h"
#include "platform/settings_file.h"
#include "tests/app/app_state_fixture.h"
#include "tests/app/dialog_driver.h"

namespace {

class AboutBoxTest : public AppStateTest {
protected:
    void SetUp() override {
        AppStateTest::SetUp();
        init_build_string();
    }
};

// Sends a key-down to the window with the Ctrl key down or up meanwhile.
void key_down(HWND window, WPARAM key, bool ctrl) {
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE saved = keys[VK_CONTROL];
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageA(window, WM_KEYDOWN, key, 0);
    keys[VK_CONTROL] = saved;
    SetKeyboardState(keys);
}

// The box itself may not be shown yet when a step runs: read the line's own style.
COLORREF pixel(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

bool build_shown(HWND box) { return (GetWindowLongA(GetDlgItem(box, IDC_ABOUT_BUILD), GWL_STYLE) & WS_VISIBLE) != 0; }

TEST_F(AboutBoxTest, BuildLineAppearsOnlyOnCtrlBAtTheOkButton) {
    std::string caption, version, build;
    bool hidden_at_first = false, after_plain_b = true, after_ctrl_b = false;
    DialogDriver driver;
    driver.then([&](HWND box) {
        caption = window_text(box);
        version = item_text(box, IDC_ABOUT_VERSION);
        build = item_text(box, IDC_ABOUT_BUILD);
        HWND ok = GetDlgItem(box, IDOK);
        hidden_at_first = !build_shown(box);
        key_down(ok, 'B', false);
        key_down(ok, 'C', true);
        after_plain_b = build_shown(box);
        key_down(ok, 'B', true);
        after_ctrl_b = build_shown(box);
        press(box, IDOK);
    });
    show_about_box(nullptr);
    EXPECT_EQ(caption, "About Ravozorizi");
    EXPECT_EQ(version, "Version 1.02");
    EXPECT_EQ(build, "Build: 32m");
    EXPECT_TRUE(hidden_at_first);
    EXPECT_FALSE(after_plain_b);
    EXPECT_TRUE(after_ctrl_b);
}

TEST_F(AboutBoxTest, EscapeLeavesItOpenAndTheCloseBoxEndsIt) {
    bool open_after_escape = false;
    DialogDriver driver;
    driver
        .then([](HWND box) {
            press(box, IDCANCEL);
            DialogDriver::again(box);
        })
        .then([&](HWND box) {
            open_after_escape = IsWindow(box) != FALSE;
            PostMessageA(box, WM_CLOSE, 0, 0);
        });
    show_about_box(nullptr);
    EXPECT_TRUE(open_after_escape);
    EXPECT_EQ(driver.steps_left(), 0u);
}

TEST_F(AboutBoxTest, LogoIsMappedAndDeletedWithTheBox) {
    for (int round = 0; round < 3; round++) {
        HBITMAP logo = nullptr;
        BITMAP info = {};
        COLORREF corner = 0;
        DialogDriver driver;
        driver.then([&](HWND box) {
            logo = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(box, IDC_ABOUT_LOGO, STM_GETIMAGE, IMAGE_BITMAP, 0));
            GetObjectA(logo, sizeof info, &info);
            corner = pixel(logo, 0, 0);
            press(box, IDOK);
        });
        show_about_box(nullptr);
        ASSERT_NE(logo, nullptr);
        EXPECT_EQ(info.bmWidth, 155);
        EXPECT_EQ(info.bmHeight, 34);
        // White became the face colour: the logo has a colour table to map.
        EXPECT_EQ(corner, GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(GetObjectType(logo), 0u) << "the logo outlived the box";
    }
}

}  // namespace

namespace {

// The box says where the collection and the settings are kept.
TEST_F(AboutBoxTest, SaysWhereTheFilesAre) {
    lstrcpyA(app_state->options.collection_path, "C:\\Users\\me\\AppData\\Roaming\\Ravozorizi\\lk.htm");
    set_settings_path("C:\\Users\\me\\AppData\\Roaming\\Ravozorizi\\lk.ini");
    std::string files;
    DialogDriver driver;
    driver.then([&](HWND box) {
        files = item_text(box, IDC_ABOUT_FILES);
        press(box, IDOK);
    });
    show_about_box(nullptr);
    EXPECT_EQ(files,
              "Linkstone file: C:\\Users\\me\\AppData\\Roaming\\Ravozorizi\\lk.htm\r\n"
              "Options: C:\\Users\\me\\AppData\\Roaming\\Ravozorizi\\lk.ini");
}

}  // namespace
