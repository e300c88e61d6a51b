// The Options sheet, driven in process: its pages read and write the live
// options and the browser choice of the application state.
#include "app/options_sheet.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <dlgs.h>

#include <string>

#include "app/resource.h"
#include "collection/collection_file.h"
#include "core/whole_file.h"
#include "tests/app/app_state_fixture.h"
#include "tests/app/dialog_driver.h"
#include "tests/temp_dir.h"

namespace {

class OptionsSheetTest : public AppStateTest {
protected:
    void SetUp() override {
        AppStateTest::SetUp();
        InitCommonControls();
        Options& o = app_state->options;
        o.option_flags = OPT_TOOLTIPS | OPT_IMPLIED_OR | OPT_AUTO_STATUS_CHECK;
        o.check_interval = 30;
        lstrcpyA(o.collection_path, "C:\\data\\lk.htm");
        BrowserLink& link = app_state->browser_link;
        link.selected_browser = BROWSER_NETSCAPE;
        link.use_url_dll = 1;
        lstrcpyA(link.profiles[0].exe_path, "C:\\nav\\netscape.exe");
        lstrcpyA(link.profiles[1].exe_path, "C:\\ie\\iexplore.exe");
    }
    INT_PTR run() { return show_options_sheet(nullptr, &app_state->options); }
    uint32_t flags() { return app_state->options.option_flags; }
};

HWND page(HWND sheet) { return PropSheet_GetCurrentPageHwnd(sheet); }
HWND show_page(HWND sheet, int index) {
    PropSheet_SetCurSel(sheet, nullptr, index);
    return page(sheet);
}
bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void click(HWND dialog, int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }
bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

TEST_F(OptionsSheetTest, GeneralPageShowsAndWritesItsBitsAndPath) {
    std::string caption, path;
    bool tooltips = false, partial = true;
    COLORREF browse_corner = 0;
    DialogDriver driver;
    driver.then([&](HWND sheet) {
        caption = window_text(sheet);
        HWND general = page(sheet);
        HBITMAP browse = reinterpret_cast<HBITMAP>(
            SendDlgItemMessageA(general, IDC_OPT_BROWSE_COLLECTION, BM_GETIMAGE, IMAGE_BITMAP, 0));
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, browse);
        browse_corner = GetPixel(dc, 0, 0);
        SelectObject(dc, old);
        DeleteDC(dc);
        tooltips = checked(general, IDC_OPT_TOOLTIPS);
        partial = checked(general, IDC_OPT_PARTIAL_MATCH);
        path = item_text(general, IDC_OPT_COLLECTION_PATH);
        click(general, IDC_OPT_TOOLTIPS);
        click(general, IDC_OPT_CASE_SENSITIVE);
        click(general, IDC_OPT_CONFIRM_MULTIPLE);
        click(general, IDC_OPT_BACKUP);
        SetDlgItemTextA(general, IDC_OPT_COLLECTION_PATH, "D:\\elsewhere\\marks.htm");
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(caption, "Options");
    EXPECT_TRUE(tooltips);
    EXPECT_FALSE(partial);
    EXPECT_EQ(path, "C:\\data\\lk.htm");
    EXPECT_EQ(browse_corner, GetSysColor(COLOR_BTNFACE)) << "magenta is mapped to the face colour";
    // Implied Or has no control and keeps its value.
    EXPECT_EQ(flags(), OPT_IMPLIED_OR | OPT_AUTO_STATUS_CHECK | OPT_CASE_SENSITIVE | OPT_CONFIRM_MULTIPLE_DELETES |
                           OPT_BACKUP_COLLECTION);
    EXPECT_STREQ(app_state->options.collection_path, "D:\\elsewhere\\marks.htm");
}

TEST_F(OptionsSheetTest, IntervalThatIsNotAPositiveNumberBecomesFifteen) {
    const struct {
        const char* typed;
        uint32_t stored;
    } cases[] = {{"42", 42}, {"0", 15}, {"letters", 15}, {"", 15}, {"-5", 15}, {"7min", 7}, {"20000", 20000}};
    for (const auto& c : cases) {
        int low = 0, high = 0;
        std::string shown;
        DialogDriver driver;
        driver.then([&](HWND sheet) {
            HWND startup = show_page(sheet, 1);
            shown = item_text(startup, IDC_OPT_INTERVAL);
            SendDlgItemMessageA(startup, IDC_OPT_INTERVAL_ARROWS, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                                reinterpret_cast<LPARAM>(&high));
            SetDlgItemTextA(startup, IDC_OPT_INTERVAL, c.typed);
            PropSheet_PressButton(sheet, PSBTN_OK);
        });
        app_state->options.check_interval = 30;
        EXPECT_EQ(run(), 1);
        EXPECT_EQ(shown, "30");
        EXPECT_EQ(low, 1);
        EXPECT_EQ(high, 10000);
        EXPECT_EQ(app_state->options.check_interval, c.stored) << c.typed;
    }
}

TEST_F(OptionsSheetTest, IntervalIsGreyedWhileAutomaticCheckingIsOff) {
    bool before = false, after_click = true, after_return = true, arrows_after_return = true;
    DialogDriver driver;
    driver.then([&](HWND sheet) {
        HWND startup = show_page(sheet, 1);
        before = enabled(startup, IDC_OPT_INTERVAL);
        click(startup, IDC_OPT_AUTO_CHECK);
        after_click = enabled(startup, IDC_OPT_INTERVAL) || enabled(startup, IDC_OPT_INTERVAL_ARROWS);
        show_page(sheet, 0);
        startup = show_page(sheet, 1);
        after_return = enabled(startup, IDC_OPT_INTERVAL);
        arrows_after_return = enabled(startup, IDC_OPT_INTERVAL_ARROWS);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(before);
    EXPECT_FALSE(after_click);
    EXPECT_FALSE(after_return);
    EXPECT_FALSE(arrows_after_return);
    EXPECT_EQ(flags() & OPT_AUTO_STATUS_CHECK, 0u);
}

TEST_F(OptionsSheetTest, UrlDllIsEnabledOnlyUnderAutomaticSelection) {
    app_state->browser_link.selected_browser = 2;  // not a selection value: shown as automatic
    bool automatic = false, dll_enabled = false, dll_checked = false, dll_after_netscape = true, dll_back = false;
    DialogDriver driver;
    driver.then([&](HWND sheet) {
        HWND browser = show_page(sheet, 2);
        automatic = checked(browser, IDC_OPT_AUTOMATIC);
        dll_enabled = enabled(browser, IDC_OPT_USE_URL_DLL);
        dll_checked = checked(browser, IDC_OPT_USE_URL_DLL);
        click(browser, IDC_OPT_NETSCAPE);
        dll_after_netscape = enabled(browser, IDC_OPT_USE_URL_DLL);
        click(browser, IDC_OPT_AUTOMATIC);
        dll_back = enabled(browser, IDC_OPT_USE_URL_DLL) && checked(browser, IDC_OPT_USE_URL_DLL);
        SetDlgItemTextA(browser, IDC_OPT_IEXPLORE_PATH, "E:\\ie\\iexplore.exe");
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(automatic);
    EXPECT_TRUE(dll_enabled);
    EXPECT_TRUE(dll_checked);
    EXPECT_FALSE(dll_after_netscape);
    EXPECT_TRUE(dll_back);
    EXPECT_EQ(app_state->browser_link.selected_browser, BROWSER_AUTOMATIC);
    EXPECT_EQ(app_state->browser_link.use_url_dll, 1u);
    EXPECT_STREQ(app_state->browser_link.profiles[1].exe_path, "E:\\ie\\iexplore.exe");
    EXPECT_STREQ(app_state->browser_link.profiles[0].exe_path, "C:\\nav\\netscape.exe");
}

TEST_F(OptionsSheetTest, SwitchingPagesWritesTheLeftPageAtOnce) {
    uint32_t flags_while_open = 0;
    DialogDriver driver;
    driver.then([&](HWND sheet) {
        click(page(sheet), IDC_OPT_CASE_SENSITIVE);
        show_page(sheet, 2);
        flags_while_open = app_state->options.option_flags;
        click(page(sheet), IDC_OPT_IEXPLORE);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    EXPECT_EQ(run(), 1);
    EXPECT_NE(flags_while_open & OPT_CASE_SENSITIVE, 0u);
    EXPECT_EQ(app_state->browser_link.selected_browser, BROWSER_IEXPLORE);
}

TEST_F(OptionsSheetTest, CancelPutsBackWhatEveryPageWrote) {
    DialogDriver driver;
    driver.then([&](HWND sheet) {
        HWND general = page(sheet);
        click(general, IDC_OPT_TOOLTIPS);
        SetDlgItemTextA(general, IDC_OPT_COLLECTION_PATH, "D:\\other.htm");
        HWND startup = show_page(sheet, 1);
        SetDlgItemTextA(startup, IDC_OPT_INTERVAL, "99");
        click(startup, IDC_OPT_LAUNCH_BROWSER);
        HWND browser = show_page(sheet, 2);
        click(browser, IDC_OPT_AUTOMATIC);
        click(browser, IDC_OPT_USE_URL_DLL);
        SetDlgItemTextA(browser, IDC_OPT_NETSCAPE_PATH, "D:\\nav.exe");
        show_page(sheet, 0);
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
    });
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(flags(), OPT_TOOLTIPS | OPT_IMPLIED_OR | OPT_AUTO_STATUS_CHECK);
    EXPECT_EQ(app_state->options.check_interval, 30u);
    EXPECT_STREQ(app_state->options.collection_path, "C:\\data\\lk.htm");
    EXPECT_EQ(app_state->browser_link.selected_browser, BROWSER_NETSCAPE);
    EXPECT_EQ(app_state->browser_link.use_url_dll, 1u);
    EXPECT_STREQ(app_state->browser_link.profiles[0].exe_path, "C:\\nav\\netscape.exe");
}

TEST_F(OptionsSheetTest, BrowseOpensOnTheCollectionFileAndProposesHtm) {
    // The picked name without extension stands for the existing .htm file, a
    // collection file (which is taken without a question).
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string chosen = std::string(folder) + "lk_browse_chosen";
    ASSERT_TRUE(write_whole_file((chosen + ".htm").c_str(), COLLECTION_FILE_HEADER));
    lstrcpyA(app_state->options.collection_path, "C:\\windows\\lk.htm");

    std::string file_caption, file_name, path;
    HWND sheet_window = nullptr;
    DialogStep finish = [&](HWND sheet) {
        if (!IsWindowEnabled(sheet)) return DialogDriver::retry(sheet, finish);
        path = item_text(page(sheet), IDC_OPT_COLLECTION_PATH);
        PropSheet_PressButton(sheet, PSBTN_OK);
    };
    DialogDriver driver;
    driver
        .then([&](HWND sheet) {
            sheet_window = sheet;
            press(page(sheet), IDC_OPT_BROWSE_COLLECTION);
        })
        .then([&](HWND file_dialog) {
            file_caption = window_text(file_dialog);
            file_name = item_text(file_dialog, cmb13);
            SetDlgItemTextA(file_dialog, cmb13, chosen.c_str());
            press(file_dialog, IDOK);
            DialogDriver::again(sheet_window);
        })
        .then(finish);
    EXPECT_EQ(run(), 1);
    DeleteFileA((chosen + ".htm").c_str());
    EXPECT_EQ(file_caption, "Linkstone File");
    EXPECT_EQ(file_name, "lk.htm");
    EXPECT_EQ(lstrcmpiA(path.c_str(), (chosen + ".htm").c_str()), 0) << path;
    EXPECT_EQ(lstrcmpiA(app_state->options.collection_path, path.c_str()), 0);
}

// A file of another kind would be replaced by the next save: the page asks,
// and No keeps it open on the path.
TEST_F(OptionsSheetTest, StoringInAFileThatIsNotALinkstoneFileAsksFirst) {
    TempDir dir;
    dir.write("notes.htm", "<html>my own page</html>");
    const std::string notes = dir.path("notes.htm");
    std::string question;
    bool focus_on_path = false;
    DialogStep answer_no = [&](HWND box) {
        question = message_box_text(box);
        press(box, IDNO);
    };
    DialogStep check_and_agree = once_enabled([&](HWND sheet) {
        focus_on_path = GetFocus() == GetDlgItem(page(sheet), IDC_OPT_COLLECTION_PATH);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    DialogDriver driver;
    HWND sheet_window = nullptr;
    driver
        .then([&](HWND sheet) {
            sheet_window = sheet;
            SetDlgItemTextA(page(sheet), IDC_OPT_COLLECTION_PATH, notes.c_str());
            PropSheet_PressButton(sheet, PSBTN_OK);
        })
        .then([&](HWND box) {
            answer_no(box);
            DialogDriver::again(sheet_window);
        })
        .then(check_and_agree)
        .then([](HWND box) { press(box, IDYES); });
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(question,
              "This file is not a Linkstone file. Storing Ravozorizi in it replaces it when they are saved.\n\n"
              "Replace it?\n\n" +
                  notes);
    EXPECT_TRUE(focus_on_path);
    EXPECT_EQ(app_state->options.collection_path, notes);
    EXPECT_EQ(driver.steps_left(), 0u);
}

TEST_F(OptionsSheetTest, ProgramBrowseButtonsNameTheirBrowserAndCancelKeepsThePath) {
    const struct {
        int button, edit;
        const char* caption;
    } buttons[] = {
        {IDC_OPT_BROWSE_NETSCAPE, IDC_OPT_NETSCAPE_PATH, "Netscape Program Location"},
        {IDC_OPT_BROWSE_IEXPLORE, IDC_OPT_IEXPLORE_PATH, "Internet Explorer Program Location"},
    };
    for (const auto& b : buttons) {
        std::string file_caption, file_name, path;
        HWND sheet_window = nullptr;
        DialogStep finish = [&](HWND sheet) {
            if (!IsWindowEnabled(sheet)) return DialogDriver::retry(sheet, finish);
            path = item_text(page(sheet), b.edit);
            PropSheet_PressButton(sheet, PSBTN_OK);
        };
        DialogDriver driver;
        driver
            .then([&](HWND sheet) {
                sheet_window = sheet;
                press(show_page(sheet, 2), b.button);
            })
            .then([&](HWND file_dialog) {
                file_caption = window_text(file_dialog);
                file_name = item_text(file_dialog, cmb13);
                press(file_dialog, IDCANCEL);
                DialogDriver::again(sheet_window);
            })
            .then(finish);
        EXPECT_EQ(run(), 1);
        EXPECT_EQ(file_caption, b.caption);
        EXPECT_NE(file_name.find(".exe"), std::string::npos) << file_name;
        EXPECT_EQ(path, b.edit == IDC_OPT_NETSCAPE_PATH ? "C:\\nav\\netscape.exe" : "C:\\ie\\iexplore.exe");
    }
}

}  // namespace
