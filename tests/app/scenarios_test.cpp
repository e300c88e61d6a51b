// What a user does with the main window, one story per test: the real frame in process, its dialogs answered as a user
// would answer them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_state.h"
#include "app/help.h"
#include "app/list_view.h"
#include "app/message_loop.h"
#include "app/settings.h"
#include "collection/collection_file.h"
#include "collection/folder_tree_file.h"
#include "tests/app/window_fixture.h"
#include "tests/take_text.h"

// The filter narrows the list and the panes count and hint; Escape clears it.
TEST_F(WindowTest, TheFilterNarrowsTheList) {
    add("Москва новости", "http://moscow.example/");
    const struct {
        const char *text, *hint, *count;  // hint: the words the caret's word begins, or what went wrong
        int rows;
    } steps[] = {
        {"inter", "Interface Internet", "2 Ravozorizi", 2},
        {"zzz", "No Matches", "No Ravozorizi", 0},
        {"design (", "Search expression error", "Ravozorizi ???", 0},  // the list stays as it was
        {"", "Ready", "5 Ravozorizi", 5},
        {" ", "Ready", "5 Ravozorizi", 5},  // blanks alone are no filter either
        {"МОС", "Москва", "1 Linkstone", 1},
    };
    for (const auto& step : steps) {
        type(step.text);
        EXPECT_EQ(rows(), step.rows) << step.text;
        EXPECT_EQ(pane(0), step.hint);
        EXPECT_EQ(pane(1), step.count);
    }
    EXPECT_TRUE(prefilter_key({app_state->filter_edit, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}}));
    idle();
    EXPECT_EQ(titles(), (Texts{"Москва новости", "Interface Design Patterns", "Internet Engineering Task Force",
                               "The Linux Kernel Archives", "Web Design Basics"}));
}

// Add takes the browser's page; the filter finds it by the words given; Delete asks with its title and URL, and No
// keeps it.
TEST_F(WindowTest, AddAPageFindItAndDeleteIt) {
    use_peer_browser("http://new.example/", "Brand New Page");
    std::string shown;
    DialogDriver driver(IDYES);
    driver.then([&](HWND dialog) {
        shown = item_text(dialog, IDC_PROP_TITLE) + " " + item_text(dialog, IDC_PROP_URL);
        SetDlgItemTextA(dialog, IDC_PROP_KEYWORDS, "fresh words");
        press(dialog, IDOK);
    });
    command(IDM_ADD);
    EXPECT_EQ(shown, "Brand New Page http://new.example/");
    type("fresh");
    ASSERT_EQ(titles(), Texts{"Brand New Page"});
    select_rows({0});
    for (int answer : {IDNO, IDYES}) {
        driver.answer = answer;
        press_key_in_list(VK_DELETE);
        EXPECT_EQ(count(), answer == IDNO ? 5u : 4u);
    }
    ASSERT_EQ(driver.boxes.size(), 2u);
    EXPECT_EQ(driver.boxes[1].caption + ": " + driver.boxes[1].text,
              "Ravozorizi: Are you sure you wish to delete this Linkstone?\n\nBrand New Page\nhttp://new.example/\n");
    EXPECT_EQ(pane(1), "No Ravozorizi");
}

// Properties refuses what the collection file could not give back, and asks before taking another bookmark's URL: No
// goes back to the dialog, Yes replaces that bookmark, its row and its words.
TEST_F(WindowTest, PropertiesRefusesWhatCannotBeKeptAndAsksAboutDuplicates) {
    std::string told[4];
    DialogDriver driver;
    driver.then(fill(" \t ", "http://x.example/")).then(answer(IDOK, &told[0]));
    driver.then(fill("Kernel", " #top")).then(answer(IDOK, &told[1]));
    driver.then(fill("Kernel", "HTTP://WWW.IETF.ORG/")).then(answer(IDNO, &told[2]));
    driver.then(fill("Kernel", "HTTP://WWW.IETF.ORG/")).then(answer(IDYES, &told[3]));
    select_rows({2});  // The Linux Kernel Archives
    command(IDM_PROPERTIES);
    EXPECT_EQ(told[0], "Please enter a title for this Linkstone");
    EXPECT_EQ(told[1], "Please enter a URL for this Linkstone: one beginning with # names only a place within a page");
    EXPECT_EQ(told[2],
              "A Linkstone with the same URL already exists:\n\nInternet Engineering Task Force\n"
              "http://www.ietf.org/\n\nDo you want to replace it?");
    EXPECT_EQ(count(), 3u);
    type("Engineering");
    EXPECT_EQ(rows(), 0);
    type("penguin");
    EXPECT_EQ(titles(), Texts{"Kernel"});
}

// The Options sheet's pages write the options.
TEST_F(WindowTest, TheOptionsSheetWritesTheOptions) {
    auto page = [](HWND sheet, int index) {
        PropSheet_SetCurSel(sheet, nullptr, index);
        return PropSheet_GetCurrentPageHwnd(sheet);
    };
    DialogDriver driver;
    driver.then([&](HWND sheet) {
        SendDlgItemMessageA(page(sheet, 0), IDC_OPT_CASE_SENSITIVE, BM_CLICK, 0, 0);
        SendDlgItemMessageA(page(sheet, 1), IDC_OPT_AUTO_CHECK, BM_CLICK, 0, 0);
        SetDlgItemTextA(page(sheet, 1), IDC_OPT_INTERVAL, "7min");
        SendDlgItemMessageA(page(sheet, 2), IDC_OPT_IEXPLORE, BM_CLICK, 0, 0);
        SetDlgItemTextA(page(sheet, 2), IDC_OPT_IEXPLORE_PATH, "E:\\ie\\iexplore.exe");
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    const uint32_t before = app_state->options.option_flags;
    app_state->filter_dirty = 0;
    SendMessageA(frame, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_EQ(app_state->filter_dirty, 1u) << "the search options changed";
    EXPECT_EQ(app_state->options.option_flags, before | OPT_CASE_SENSITIVE | OPT_AUTO_STATUS_CHECK);
    EXPECT_EQ(app_state->options.check_interval, 7u);
    EXPECT_EQ(app_state->browser_link.selected_browser, 1u);
    EXPECT_STREQ(app_state->browser_link.profiles[1].exe_path, "E:\\ie\\iexplore.exe");
}

// Import reads the chosen bookmark file and reports its counts; Export writes the collection's own format, all of it or
// the selection, or the folder tree.
TEST_F(WindowTest, ImportABrowserFileThenExportIt) {
    dir.write("bookmarks.htm",
              "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n"
              "<DT><H3>Kept</H3><DL><p>\n"
              "<DT><A HREF=\"http://imported-one.example/\" ADD_DATE=\"900000000\">Imported One</A>\n</DL><p>\n"
              "<DT><A HREF=\"http://www.kernel.org/\" ADD_DATE=\"900000000\">Kernel Again</A>\n"
              "</DL><p>\n<DT><A HREF=\"#top\">Top</A>\n");
    DialogDriver driver;
    driver.then([&](HWND dialog) { choose_file(dialog, dir.path("bookmarks.htm")); });
    command(IDM_IMPORT);
    EXPECT_EQ(pane(0), "1 added, 1 merged, 1 skipped");

    // With some selected, Export asks which; all of them is the collection file's text, the second file type the folder
    // tree, for browsers.
    auto export_as = [&](int scope, int type, const char* name) {
        driver.then([=](HWND dialog) {
            CheckRadioButton(dialog, IDC_SCOPE_ALL, IDC_SCOPE_SELECTED, scope);
            press(dialog, IDOK);
        });
        driver.then([=](HWND dialog) {
            HWND types = GetDlgItem(dialog, cmb1);
            SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(type), 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
            choose_file(dialog, dir.path(name));
        });
        command(IDM_EXPORT);
    };
    select_rows({0, 2});
    export_as(IDC_SCOPE_ALL, 0, "all");
    export_as(IDC_SCOPE_SELECTED, 0, "two.htm");
    EXPECT_EQ(pane(0), "2 Ravozorizi exported to " + dir.path("two.htm"));
    EXPECT_EQ(dir.read("all.htm"), take_text(build_collection_text(app_state->collection.records)))
        << "the dialog adds \".htm\"";
    export_as(IDC_SCOPE_ALL, 1, "tree.htm");
    EXPECT_NE(dir.read("tree.htm").find("<DT><H3>Kept</H3>"), std::string::npos);
    EXPECT_EQ(dir.read("tree.htm"), take_text(build_folder_tree_text(app_state->collection.records)));
}

// Enter opens the page in the browser (the peer), which marks it visited; Fast Add takes the browser's page once;
// letters go to the titles that begin with them.
TEST_F(WindowTest, OpenFastAddAndTheKeys) {
    use_peer_browser("http://fast.example/page", "Quick Snail Racing");
    Bookmark* kernel = record("http://www.kernel.org/");
    select_rows({2});
    EXPECT_FALSE(command_state(IDM_MARK_VISITED)) << "nothing known about the page";
    kernel->last_modified = 3000;  // changed since the visit at 2000
    EXPECT_TRUE(command_state(IDM_MARK_VISITED));
    set_fixed_clock(&app_state->collection, 4000);
    ListView_SetItemState(app_state->list_view, 2, LVIS_FOCUSED, LVIS_FOCUSED);
    press_key_in_list(VK_RETURN);
    EXPECT_EQ(kernel->last_visit, 4000u);
    EXPECT_EQ(status_icon(kernel), ICON_NOTHING_KNOWN) << "opened, so visited";
    command(IDM_FAST_ADD);
    ASSERT_NE(record("http://fast.example/page"), nullptr);
    EXPECT_EQ(keywords_of(record("http://fast.example/page")), "Quick Snail Racing");
    EXPECT_EQ(pane(0), "Linkstone added: http://fast.example/page");
    command(IDM_FAST_ADD);
    EXPECT_EQ(pane(0), "Linkstone already exists: http://fast.example/page");
    EXPECT_EQ(count(), 5u);
    select_rows({4});
    ListView_SetItemState(app_state->list_view, 4, LVIS_FOCUSED, LVIS_FOCUSED);
    for (int row : {0, 1, 0}) {  // past the last row to the first, from any row
        SendMessageA(app_state->list_view, WM_CHAR, 'i', 1);
        EXPECT_EQ(selected_rows(), std::vector<int>{row});
    }
}

// The Keyword Dictionary lists the index's words, by spelling or folded, and counts them. Dialogs open over the work
// area while the frame is minimized, where its rectangle says nothing of where the user looks.
TEST_F(WindowTest, TheDictionaryCountsTheWords) {
    set_bookmark_keywords(&app_state->collection, record("http://www.kernel.org/"), "WEB web Web");
    std::vector<LRESULT> counts;
    RECT box = {}, work;
    DialogDriver driver;
    driver.then([&](HWND dialog) {
        GetWindowRect(dialog, &box);
        for (int shown = 0; shown < 2; shown++) {
            counts.push_back(SendDlgItemMessageA(dialog, IDC_DICT_WORDS, LB_GETCOUNT, 0, 0));
            EXPECT_EQ(item_text(dialog, IDC_DICT_COUNT), std::to_string(counts.back()) + " words");
            SendDlgItemMessageA(dialog, IDC_DICT_CASE, BM_CLICK, 0, 0);
        }
        press(dialog, IDOK);
    });
    ShowWindow(frame, SW_MINIMIZE);
    command(IDM_DICTIONARY);
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts[1] - counts[0], 2) << "WEB, web and Web fold into one";
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(abs(box.left + box.right - work.left - work.right) + abs(box.top + box.bottom - work.top - work.bottom),
              4);
}

// Add stores the dialog's boxes trimmed; how titles with markup and other scripts read back is the collection
// file's own test.
TEST_F(WindowTest, AddStoresWhatTheBoxesSayTrimmed) {
    DialogDriver driver;
    driver.then(fill("  <b>&amp; \"caf\xC3\xA9\"\t ", " \thttp://a.example/?q=1 ", "\303\274ber"));
    command(IDM_ADD);
    ASSERT_TRUE(driver.boxes.empty());
    const Bookmark* added = record("http://a.example/?q=1");
    ASSERT_NE(added, nullptr);
    EXPECT_STREQ(added->title, "<b>&amp; \"caf\xC3\xA9\"");
    EXPECT_EQ(keywords_of(added), "\303\274ber");
}

// A help page that cannot be opened is reported with the system's reason (the test program has no help page beside it).
TEST_F(WindowTest, HelpThatCannotOpenSaysWhy) {
    char path[MAX_PATH];
    help_file_path(path);
    DialogDriver driver;
    EXPECT_FALSE(open_help_contents(app_state->main_window));
    ASSERT_EQ(driver.boxes.size(), 1u);
    const std::string fixed = std::string("Unable to open the Ravozorizi help file\n\n") + path + "\n\n";
    const std::string& text = driver.boxes[0].text;
    EXPECT_EQ(text.substr(0, fixed.size()), fixed);
    EXPECT_GT(text.size(), fixed.size());
    EXPECT_NE(text.back(), '\n');
}
