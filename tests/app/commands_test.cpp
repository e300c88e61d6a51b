// The commands of the main window, each reached as a user reaches it, with
// the dialogs and message boxes they open answered by the test.
#include "app/commands.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/list_view.h"
#include "collection/bookmark_reader.h"
#include "collection/collection_file.h"
#include "search/keyword_index.h"
#include "tests/app/commands_fixture.h"
#include "tests/app/dialog_driver.h"
#include "tests/platform/message_box_watcher.h"

namespace {

std::string keywords_of(const Bookmark* record) {
    char* text = keyword_set_text(record->keywords);
    std::string result = text;
    free(text);
    return result;
}

void choose_file(HWND dialog, const std::string& path) {
    // The Explorer-style dialogs take the name from their file name box.
    SetDlgItemTextA(dialog, cmb13, path.c_str());
    SetDlgItemTextA(dialog, edt1, path.c_str());
    press(dialog, IDOK);
}

const char kNetscapeFile[] =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<DL><p>\n"
    "<DT><A HREF=\"http://imported-one.example/\" ADD_DATE=\"900000000\">Imported One</A>\n"
    "<DT><A HREF=\"http://imported-two.example/\" ADD_DATE=\"900000000\">Imported Two</A>\n"
    "<DT><A HREF=\"http://www.kernel.org/\" ADD_DATE=\"900000000\">Kernel Again</A>\n"
    "</DL><p>\n";

}  // namespace

TEST_F(CommandsTest, DeletingTwelveAsksWithTenTitlesAndOthers) {
    add_numbered("Extra", 8);
    ASSERT_EQ(rows(), 12);
    select_rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    {
        MessageBoxWatcher watcher(IDNO);
        click_toolbar(IDM_DELETE);
        ASSERT_EQ(watcher.seen().size(), 1u);
        EXPECT_EQ(watcher.seen()[0].caption, "Ravozorizi");
        EXPECT_EQ(watcher.seen()[0].text,
                  "Are you sure you wish to delete the following 12 Ravozorizi?\n\n"
                  "Extra 01\nExtra 02\nExtra 03\nExtra 04\nExtra 05\nExtra 06\nExtra 07\nExtra 08\n"
                  "Interface Design Patterns\nInternet Engineering Task Force\nand others...");
    }
    EXPECT_EQ(rows(), 12) << "No keeps everything";
    EXPECT_EQ(app_state->collection.records->count, 12u);

    MessageBoxWatcher watcher(IDYES);
    command(IDM_DELETE);
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(app_state->collection.records->count, 0u);
    EXPECT_EQ(app_state->collection.records_by_url->count, 0u);
    EXPECT_EQ(pane(1), "No Ravozorizi");
}

TEST_F(CommandsTest, DeletingTenListsEveryTitleWithoutOthers) {
    add_numbered("Extra", 6);
    select_rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    MessageBoxWatcher watcher(IDYES);
    command(IDM_DELETE);
    ASSERT_EQ(watcher.seen().size(), 1u);
    const std::string& text = watcher.seen()[0].text;
    EXPECT_EQ(text.rfind("Are you sure you wish to delete the following 10 Ravozorizi?\n\nExtra 01\n", 0), 0u);
    EXPECT_NE(text.find("\nWeb Design Basics\n"), std::string::npos);
    EXPECT_EQ(text.find("and others"), std::string::npos);
    EXPECT_EQ(rows(), 0);
}

TEST_F(CommandsTest, SingleDeleteAsksWithTitleAndUrlOrNotAtAll) {
    select_rows({3});
    {
        MessageBoxWatcher watcher(IDYES);
        press_key_in_list(VK_DELETE);
        ASSERT_EQ(watcher.seen().size(), 1u);
        EXPECT_EQ(watcher.seen()[0].text,
                  "Are you sure you wish to delete this Linkstone?\n\nWeb Design Basics\nhttp://webdesign.example/\n");
    }
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(record("http://webdesign.example/"), nullptr);

    app_state->options.option_flags &= ~OPT_CONFIRM_SINGLE_DELETES;
    MessageBoxWatcher watcher(IDNO);
    select_rows({0});
    press_key_in_list(VK_DELETE);
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_EQ(rows(), 2);
    select_rows({0, 1});
    press_key_in_list(VK_DELETE);
    EXPECT_EQ(watcher.seen().size(), 1u) << "two still ask";
    EXPECT_EQ(rows(), 2);
}

TEST_F(CommandsTest, DeleteKeyWithNothingSelectedAsksNothingAndDeletesNothing) {
    select_rows({});
    MessageBoxWatcher watcher(IDYES);
    press_key_in_list(VK_DELETE);
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_EQ(rows(), 4);
    EXPECT_EQ(app_state->collection.records->count, 4u);
}

TEST_F(CommandsTest, DeletingAFilteredRowKeepsTheOthersListed) {
    type("inter");
    ASSERT_EQ(rows(), 2);
    select_rows({1});
    MessageBoxWatcher watcher(IDYES);
    command(IDM_DELETE);
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(row_text(0, 0), "Interface Design Patterns");
    type("");
    EXPECT_EQ(rows(), 3);
}

TEST_F(CommandsTest, MarkVisitedTakesAModifiedDateAheadOrNow) {
    set_fixed_clock(&app_state->collection, 5000000);
    Bookmark* ahead = record("http://www.kernel.org/");
    Bookmark* past = record("http://www.ietf.org/");
    ahead->last_modified = 6000000;
    past->last_modified = 4000000;
    select_rows({1, 2});  // Internet Engineering Task Force, The Linux Kernel Archives
    command(IDM_MARK_VISITED);
    EXPECT_EQ(ahead->last_visit, 6000000u);
    EXPECT_EQ(past->last_visit, 5000000u);
    EXPECT_EQ(status_icon(ahead), ICON_NOTHING_KNOWN);
}

TEST_F(CommandsTest, CopyTakesTheFilterSelectionOrTheSelectedUrl) {
    type("design web");
    SetFocus(app_state->filter_edit);
    SendMessageA(app_state->filter_edit, EM_SETSEL, 0, 6);
    EXPECT_TRUE(press_ctrl('C'));
    EXPECT_EQ(clipboard_text(), "design");

    type("");
    SetFocus(app_state->list_view);
    select_rows({2});
    EXPECT_TRUE(press_ctrl('C'));
    EXPECT_EQ(clipboard_text(), "http://www.kernel.org/");

    select_rows({0, 1});
    press_ctrl('C');
    EXPECT_EQ(clipboard_text(), "http://www.kernel.org/") << "greyed with two selected";
}

TEST_F(CommandsTest, ImportReadsTheChosenFileAutomaticallyAndReportsWhatItDid) {
    dir.write("bookmarks.htm", std::string(kNetscapeFile) + "<DT><A HREF=\"#top\">Top</A>\n");
    std::string path = dir.path("bookmarks.htm");
    DialogDriver driver;
    std::string caption;
    driver.then([&](HWND dialog) {
        caption = window_text(dialog);
        choose_file(dialog, path);
    });
    EXPECT_TRUE(press_ctrl('I'));
    EXPECT_EQ(caption, "Import Bookmarks");
    EXPECT_EQ(pane(0), "2 added, 1 merged, 1 skipped");
    EXPECT_EQ(rows(), 6);
    // The reasons on request, from the menu or from a click on the counts.
    for (int way = 0; way < 2; way++) {
        MessageBoxWatcher watcher;
        if (way == 0) {
            command(IDM_IMPORT_REPORT);
        } else {
            NMHDR click = {app_state->status_bar, IDC_STATUS_BAR, static_cast<UINT>(NM_CLICK)};
            SendMessageA(frame, WM_NOTIFY, IDC_STATUS_BAR, reinterpret_cast<LPARAM>(&click));
        }
        ASSERT_EQ(watcher.seen().size(), 1u);
        EXPECT_EQ(watcher.seen()[0].text,
                  "2 added, 1 merged, 1 skipped\n\nSkipped:\nline 8: a link within a page: #top");
    }
    Bookmark* one = record("http://imported-one.example/");
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(keywords_of(one), "Imported One") << "keywords made from the title";
    EXPECT_STREQ(record("http://www.kernel.org/")->title, "The Linux Kernel Archives");
}

TEST_F(CommandsTest, ImportCancelledReadsNothing) {
    DialogDriver driver;
    driver.then([](HWND dialog) { press(dialog, IDCANCEL); });
    command(IDM_IMPORT);
    EXPECT_EQ(driver.dialogs_seen(), 1);
    EXPECT_EQ(rows(), 4);
    EXPECT_EQ(pane(0).find("imported"), std::string::npos);
}

TEST_F(CommandsTest, ImportFavoritesWalksTheChosenFolderAndASecondImportAddsNothing) {
    dir.make_folder("fav\\Papers\\Deep\\Deeper");
    dir.write("fav\\Papers\\Daily News.url", "[InternetShortcut]\r\nURL=http://news.example/daily\r\n");
    dir.write("fav\\Papers\\Deep\\Deeper\\Kernel.URL", "[InternetShortcut]\r\nURL=http://www.kernel.org/\r\n");
    dir.write("fav\\Tools.Url", "[InternetShortcut]\r\n\r\nURL=http://tools.example/\r\nIconIndex=0\r\n");
    dir.write("fav\\notes.txt", "[InternetShortcut]\r\nURL=http://notes.example/\r\n");
    dir.write("fav\\Later Layout.url",
              "[DEFAULT]\r\nBASEURL=http://b.example/\r\n[InternetShortcut]\r\nURL=http://b.example/\r\n");
    // A name in another script, as the program's UTF-8 code page spells it.
    std::ofstream(std::filesystem::u8path(dir.path("fav") + "\\Москва новости.url"), std::ios::binary)
        << "[InternetShortcut]\r\nIDList=\r\nURL=https://news.example.ru/\r\n";
    dir.write("fav\\Late.url", "[InternetShortcut]\r\nIconIndex=1\r\nURL=http://late.example/\r\n");
    dir.write("fav\\Empty.url", "");
    std::string folder = dir.path("fav");
    set_favorites_folder(folder);
    for (int round = 0; round < 2; round++) {
        DialogDriver driver;
        std::string caption;
        driver.then([&](HWND dialog) {
            caption = window_text(dialog);
            press(dialog, IDOK);  // the dialog opens on the Favorites folder
        });
        command(IDM_IMPORT_FAVORITES);
        EXPECT_EQ(driver.dialogs_seen(), 1);
        EXPECT_EQ(pane(0), round == 0 ? "5 added, 1 merged, 1 skipped" : "0 added, 6 merged, 1 skipped");
        EXPECT_EQ(rows(), 9);
    }
    MessageBoxWatcher watcher;
    command(IDM_IMPORT_REPORT);
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(watcher.seen()[0].text, "0 added, 6 merged, 1 skipped\n\nSkipped:\nEmpty.url: not an Internet Shortcut");
    Bookmark* news = record("http://news.example/daily");
    ASSERT_NE(news, nullptr);
    EXPECT_STREQ(news->title, "Daily News");
    EXPECT_EQ(keywords_of(news), "Daily News");
    EXPECT_NE(record("http://tools.example/"), nullptr);
    EXPECT_EQ(record("http://notes.example/"), nullptr);
    // Shortcuts of later browsers: their section and key wherever they stand.
    EXPECT_STREQ(record("http://b.example/")->title, "Later Layout");
    EXPECT_NE(record("http://late.example/"), nullptr);
    // Names in any script become titles and keywords.
    Bookmark* moscow = record("https://news.example.ru/");
    ASSERT_NE(moscow, nullptr);
    EXPECT_STREQ(moscow->title, "Москва новости");
    EXPECT_EQ(keywords_of(moscow), "Москва новости");
}

TEST_F(CommandsTest, FastAddStoresTheBrowsersPageAsVisitedOnce) {
    use_peer_browser();
    browser_shows("http://fast.example/page", "Quick Snail Racing");
    set_fixed_clock(&app_state->collection, 1500000000);
    EXPECT_TRUE(press_ctrl('F'));
    Bookmark* added = record("http://fast.example/page");
    ASSERT_NE(added, nullptr);
    EXPECT_STREQ(added->title, "Quick Snail Racing");
    EXPECT_EQ(added->added, 1500000000u);
    EXPECT_EQ(added->last_visit, 1500000000u);
    EXPECT_EQ(added->last_modified, DATE_UNSET);
    EXPECT_EQ(keywords_of(added), "Quick Snail Racing");
    EXPECT_EQ(pane(0), "Linkstone added: http://fast.example/page");
    EXPECT_EQ(rows(), 5);

    click_toolbar(IDM_FAST_ADD);
    EXPECT_EQ(pane(0), "Linkstone already exists: http://fast.example/page");
    EXPECT_EQ(app_state->collection.records->count, 5u);
}

TEST_F(CommandsTest, FastAddOfAPageWithoutTitleOrBrowserAddsNothing) {
    use_peer_browser();
    command(IDM_FAST_ADD);  // no browser runs
    peer_config.window_info = "\"http://untitled.example/\",\"Netscape - []\"";
    ASSERT_TRUE(start_peer(peer_config));
    command(IDM_FAST_ADD);
    EXPECT_EQ(app_state->collection.records->count, 4u);
    EXPECT_EQ(pane(0).find("Linkstone"), std::string::npos);
}

TEST_F(CommandsTest, AddOffersTheBrowsersPageAndStoresItUnvisited) {
    use_peer_browser();
    browser_shows("http://new.example/", "Brand New Page");
    set_fixed_clock(&app_state->collection, 1500000000);
    DialogDriver driver;
    std::string title_shown;
    std::string url_shown;
    driver.then([&](HWND dialog) {
        title_shown = item_text(dialog, IDC_PROP_TITLE);
        url_shown = item_text(dialog, IDC_PROP_URL);
        SetDlgItemTextA(dialog, IDC_PROP_KEYWORDS, "fresh words");
        press(dialog, IDOK);
    });
    click_toolbar(IDM_ADD);
    EXPECT_EQ(title_shown, "Brand New Page");
    EXPECT_EQ(url_shown, "http://new.example/");
    Bookmark* added = record("http://new.example/");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->added, 1500000000u);
    EXPECT_EQ(added->last_visit, DATE_UNSET) << "shows as changed once its date is known";
    EXPECT_EQ(keywords_of(added), "fresh words");
    EXPECT_EQ(rows(), 5);
}

TEST_F(CommandsTest, AddOfAStoredPageEditsThatBookmarkAndCancelChangesNothing) {
    use_peer_browser();
    browser_shows("HTTP://WWW.KERNEL.ORG/", "Other Title");
    DialogDriver driver;
    std::string title_shown;
    driver.then([&](HWND dialog) {
        title_shown = item_text(dialog, IDC_PROP_TITLE);
        press(dialog, IDCANCEL);
    });
    command(IDM_ADD);
    EXPECT_EQ(title_shown, "The Linux Kernel Archives");
    EXPECT_EQ(app_state->collection.records->count, 4u);
    EXPECT_STREQ(record("http://www.kernel.org/")->title, "The Linux Kernel Archives");
}

TEST_F(CommandsTest, AddWithoutBrowserOpensAnEmptyBookmarkAndCancelDiscardsIt) {
    use_peer_browser();
    DialogDriver driver;
    std::string title_shown = "unset";
    driver.then([&](HWND dialog) {
        title_shown = item_text(dialog, IDC_PROP_TITLE);
        press(dialog, IDCANCEL);
    });
    command(IDM_ADD);
    EXPECT_EQ(title_shown, "");
    EXPECT_EQ(app_state->collection.records->count, 4u);
}

TEST_F(CommandsTest, PropertiesEditsTheSelectedBookmarkAndRefilters) {
    select_rows({3});
    DialogDriver driver;
    driver.then([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_PROP_TITLE, "Zebra Pages");
        SetDlgItemTextA(dialog, IDC_PROP_KEYWORDS, "stripes");
        press(dialog, IDOK);
    });
    click_toolbar(IDM_PROPERTIES);
    EXPECT_EQ(driver.dialogs_seen(), 1);
    Bookmark* edited = record("http://webdesign.example/");
    EXPECT_STREQ(edited->title, "Zebra Pages");
    EXPECT_EQ(keywords_of(edited), "stripes");
    EXPECT_EQ(row_text(3, 0), "Zebra Pages");
    type("stripes");
    EXPECT_EQ(rows(), 1);
}

TEST_F(CommandsTest, OpenSendsTheUrlToTheBrowserAndMarksTheVisit) {
    use_peer_browser();
    ASSERT_TRUE(start_peer(peer_config));
    Bookmark* kernel = record("http://www.kernel.org/");
    kernel->last_modified = 3000;  // changed since the visit at 2000
    set_fixed_clock(&app_state->collection, 4000);
    // Far right of the row, past the last column: the row still counts.
    double_click_row(2, 520);
    EXPECT_EQ(kernel->last_visit, 4000u);
    EXPECT_EQ(status_icon(kernel), ICON_NOTHING_KNOWN);

    Bookmark* ietf = record("http://www.ietf.org/");
    ListView_SetItemState(app_state->list_view, 1, LVIS_FOCUSED, LVIS_FOCUSED);
    press_key_in_list(VK_RETURN);
    EXPECT_EQ(ietf->last_visit, 4000u);

    std::vector<std::string> log = peer_log();
    int opened = 0;
    for (const std::string& line : log) {
        if (line.rfind("execute WWW_OpenURL", 0) == 0) opened++;
    }
    EXPECT_EQ(opened, 2);
    EXPECT_NE(std::find(log.begin(), log.end(), "execute WWW_OpenURL 23 http://www.kernel.org/"), log.end());
}

TEST_F(CommandsTest, OpenThatCannotReachTheBrowserKeepsTheChangedMark) {
    use_peer_browser();
    lstrcpyA(app_state->browser_link.profiles[0].exe_path, dir.path("missing.exe").c_str());
    Bookmark* kernel = record("http://www.kernel.org/");
    kernel->last_modified = 3000;
    select_rows({2});
    MessageBoxWatcher watcher;
    command(IDM_OPEN);
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(watcher.seen()[0].text.rfind("Unable to launch browser", 0), 0u);
    EXPECT_EQ(kernel->last_visit, 2000u);
    EXPECT_EQ(status_icon(kernel), ICON_CHANGED);
}

TEST_F(CommandsTest, DictionaryAndAboutOpenTheirDialogs) {
    DialogDriver driver;
    std::vector<std::string> captions;
    driver.then([&](HWND dialog) {
        captions.push_back(window_text(dialog));
        press(dialog, IDOK);
    });
    driver.then([&](HWND dialog) {
        captions.push_back(window_text(dialog));
        press(dialog, IDOK);
    });
    command(IDM_DICTIONARY);
    command(IDM_ABOUT);
    EXPECT_EQ(captions, (std::vector<std::string>{"Keyword Dictionary", "About Ravozorizi"}));
}

TEST_F(CommandsTest, OptionsRefilterOnlyWhenOkChangesTheSearchOptions) {
    DialogDriver driver;
    driver.then([](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_CANCEL); });
    app_state->filter_dirty = 0;
    SendMessageA(frame, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_EQ(app_state->filter_dirty, 0u);

    driver.then([](HWND sheet) {
        HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        SendDlgItemMessageA(page, IDC_OPT_CASE_SENSITIVE, BM_CLICK, 0, 0);
        SendDlgItemMessageA(page, IDC_OPT_TOOLTIPS, BM_CLICK, 0, 0);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    SendMessageA(frame, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_EQ(app_state->filter_dirty, 1u);
    EXPECT_TRUE(app_state->options.option_flags & OPT_CASE_SENSITIVE);
    EXPECT_FALSE(app_state->options.option_flags & OPT_TOOLTIPS);
}

TEST_F(CommandsTest, IdsOutsideTheTableAreIgnored) {
    DialogDriver driver;
    for (int id : {40000, 40006, 40009, 40017, 40036, 40038, 1}) command(id);
    EXPECT_EQ(driver.dialogs_seen(), 0);
    EXPECT_EQ(rows(), 4);
    EXPECT_TRUE(IsWindow(frame));
}
