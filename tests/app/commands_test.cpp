// The commands of the main window, each reached as a user reaches it, with
// the dialogs and message boxes they open answered by the test.
#include "app/commands.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "app/collection_files.h"
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

// After Delete the focus goes, as in Explorer, to the row that took the
// deleted one's place (the last row when the last went).
TEST_F(CommandsTest, DeleteFocusesTheRowThatTookTheDeletedOnesPlace) {
    app_state->options.option_flags &= ~OPT_CONFIRM_SINGLE_DELETES;
    SetFocus(app_state->list_view);
    select_rows({1});
    press_key_in_list(VK_DELETE);
    ASSERT_EQ(rows(), 3);
    EXPECT_EQ(selected_rows(), std::vector<int>{1});
    EXPECT_EQ(ListView_GetNextItem(app_state->list_view, -1, LVNI_FOCUSED), 1);
    EXPECT_EQ(row_text(1, 0), "The Linux Kernel Archives");
    select_rows({2});
    press_key_in_list(VK_DELETE);
    EXPECT_EQ(selected_rows(), std::vector<int>{1});
    EXPECT_EQ(ListView_GetNextItem(app_state->list_view, -1, LVNI_FOCUSED), 1);
}

// Every key a menu item shows is one the accelerator table takes for it.
TEST_F(CommandsTest, MenuShortcutsAreTheKeysTheProgramTakes) {
    ACCEL table[32];
    int entries = CopyAcceleratorTableA(accelerators, table, 32);
    auto takes = [&](const std::string& shown, int id) {
        for (int i = 0; i < entries; i++) {
            std::string key =
                (table[i].fVirt & FCONTROL ? "Ctrl+" : "") + std::string(table[i].fVirt & FALT ? "Alt+" : "");
            key += table[i].key == VK_RETURN ? std::string("Enter") : std::string(1, static_cast<char>(table[i].key));
            if (key == shown && table[i].cmd == id) return true;
        }
        return false;
    };
    HMENU menu = GetMenu(frame);
    int shortcuts = 0;
    for (int top = 0; top < GetMenuItemCount(menu); top++) {
        HMENU popup = GetSubMenu(menu, top);
        for (int i = 0; i < GetMenuItemCount(popup); i++) {
            char text[128] = "";
            GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            const char* tab = strchr(text, '\t');
            if (!tab) continue;
            shortcuts++;
            EXPECT_TRUE(takes(tab + 1, static_cast<int>(GetMenuItemID(popup, i)))) << text;
        }
    }
    EXPECT_EQ(shortcuts, 8);
}

// Ctrl+A acts where the focus is: every row of the list, or all the filter's text.
TEST_F(CommandsTest, CtrlASelectsEveryRowOrAllTheFiltersText) {
    SetFocus(app_state->list_view);
    EXPECT_TRUE(press_ctrl('A'));
    EXPECT_EQ(selected_rows(), (std::vector<int>{0, 1, 2, 3}));
    type("design web");
    SetFocus(app_state->filter_edit);
    SendMessageA(app_state->filter_edit, EM_SETSEL, 3, 3);
    EXPECT_TRUE(press_ctrl('A'));
    DWORD start = 1, end = 0;
    SendMessageA(app_state->filter_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 10u);
    EXPECT_EQ(selected_rows(), (std::vector<int>{0})) << "the list's selection is left alone";
}

namespace {

// What a stored bookmark is, as far as the collection file keeps it. The date
// last visited is left out: a bookmark never visited reads back as visited
// at the moment it is read, as the file format has it.
struct Stored {
    std::string title, keywords;
    uint32_t added, modified;
    bool operator==(const Stored& other) const {
        return title == other.title && keywords == other.keywords && added == other.added && modified == other.modified;
    }
};

std::ostream& operator<<(std::ostream& out, const Stored& stored) {
    return out << "[" << stored.title << "] [" << stored.keywords << "] " << stored.added << " " << stored.modified;
}

std::map<std::string, Stored> stored_bookmarks(const Collection* collection) {
    std::map<std::string, Stored> stored;
    for (uint32_t i = 0; i < collection->records->count; i++) {
        const Bookmark* r = static_cast<const Bookmark*>(collection->records->items[i]);
        stored[r->url] = {r->title, keywords_of(r), r->added, is_real_date(r->last_modified) ? r->last_modified : 0};
    }
    return stored;
}

// Random text of the given pieces, joined with or without a blank.
std::string random_text(std::mt19937* rng, const std::vector<std::string>& pieces, int most) {
    std::string text;
    for (int k = static_cast<int>((*rng)() % (most + 1)); k > 0; k--) {
        text += pieces[(*rng)() % pieces.size()];
        if (k > 1 && (*rng)() % 3 == 0) text += ' ';
    }
    return text;
}

}  // namespace

// Whatever Add, Properties, a Favorites import or a bookmark file import
// stores reads back identically after a save and a restart: URLs with blanks
// around them, quotes, "#", markup, entities, runs of blanks and letters of
// other scripts.
TEST_F(CommandsTest, WhateverTheCommandsStoreReadsBackAfterARestart) {
    // No browser link: Add opens an empty bookmark.
    const std::vector<std::string> url_pieces = {
        "http://", "https://", "a.example", "B.example", "/",    "path",  "?q=1&r=2",
        " ",       "\t",       "\"",        "#",         "#top", "<",     ">",
        "'",       "%22",      "\xC3\xA9",  "&amp;",     "=",    "~user", "\xE2\x82\xAC"};
    const std::vector<std::string> title_pieces = {"Title",
                                                   "news",
                                                   "<b>",
                                                   "</b>",
                                                   "&amp;",
                                                   "&",
                                                   "<",
                                                   ">",
                                                   "\"",
                                                   "'",
                                                   "#",
                                                   "\303\251t\303\251",
                                                   "\320\234\320\276",
                                                   "=",
                                                   "x",
                                                   "&lt;",
                                                   ";",
                                                   "  ",
                                                   "\t"};
    const std::vector<std::string> word_pieces = {"alpha", "Beta", "gamma", "\303\274ber", "x_1"};
    const std::vector<std::string> file_pieces = {"Page", "News", "Daily", "\xC3\xA9t\xC3\xA9", "x", "#", "&"};
    const int steps = 40;
    // The folder browser knows only folders that were there when the shell
    // first looked at their parent: the Favorites folders are made at once.
    for (int step = 0; step < steps; step++) dir.make_folder("fav" + std::to_string(step));
    std::mt19937 rng(15);
    for (int step = 0; step < steps; step++) {
        SCOPED_TRACE(step);
        const std::string url = random_text(&rng, url_pieces, 4);
        const std::string title = random_text(&rng, title_pieces, 4);
        const std::string keywords = random_text(&rng, word_pieces, 3);
        switch (rng() % 6) {
            case 0:
            case 1:
            case 2: {
                // Add, or Properties of a random row; any question is answered
                // at random, a refusal by going back to the dialog to cancel.
                const bool add_new = rows() == 0 || rng() % 2 == 0;
                if (!add_new) select_rows({static_cast<int>(rng() % rows())});
                const int answer = rng() % 2 ? IDYES : IDNO;
                HWND dialog_window = nullptr;
                DialogDriver driver;
                driver
                    .then([&](HWND dialog) {
                        dialog_window = dialog;
                        SetDlgItemTextA(dialog, IDC_PROP_TITLE, title.c_str());
                        SetDlgItemTextA(dialog, IDC_PROP_URL, url.c_str());
                        SetDlgItemTextA(dialog, IDC_PROP_KEYWORDS, keywords.c_str());
                        press(dialog, IDOK);
                    })
                    .then([&](HWND box) {
                        press(box, GetDlgItem(box, IDYES) ? answer : IDOK);
                        DialogDriver::again(dialog_window);
                    })
                    .then(once_enabled([](HWND dialog) { press(dialog, IDCANCEL); }));
                command(add_new ? IDM_ADD : IDM_PROPERTIES);
                break;
            }
            case 3: {
                const std::string folder = "fav" + std::to_string(step);
                const std::string name = random_text(&rng, file_pieces, 3);
                dir.write(folder + "\\" + (name.empty() ? "Untitled" : name) + ".url",
                          "[InternetShortcut]\r\nURL=" + url + "\r\n");
                set_favorites_folder(dir.path(folder));
                // The folder browser takes OK once it shows the folder chosen.
                DialogStep choose = [&](HWND dialog) {
                    HWND tree = FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
                    char shown[MAX_PATH] = "";
                    TVITEMA item = {};
                    item.mask = TVIF_TEXT;
                    item.hItem = TreeView_GetSelection(tree);
                    item.pszText = shown;
                    item.cchTextMax = sizeof shown;
                    if (!item.hItem || !TreeView_GetItem(tree, &item) || folder != shown) {
                        return DialogDriver::retry(dialog, choose);
                    }
                    press(dialog, IDOK);
                };
                DialogDriver driver;
                driver.then(choose);
                command(IDM_IMPORT_FAVORITES);
                break;
            }
            default: {
                // A bookmark file can carry no quote inside a URL.
                std::string file_url = url;
                file_url.erase(std::remove(file_url.begin(), file_url.end(), '"'), file_url.end());
                dir.write("import.htm", "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><A HREF=\"" + file_url +
                                            "\" ADD_DATE=\"" + std::to_string(rng() % 2000000000) +
                                            "\" LAST_MODIFIED=\"" + std::to_string(rng() % 2000000000) + "\">" + title +
                                            "</A>\n<DD>" + keywords + "\n</DL><p>\n");
                DialogDriver driver;
                driver.then([&](HWND dialog) { choose_file(dialog, dir.path("import.htm")); });
                command(IDM_IMPORT);
                break;
            }
        }
    }
    const std::map<std::string, Stored> before = stored_bookmarks(&app_state->collection);
    ASSERT_GT(before.size(), 12u);
    ASSERT_TRUE(save_collection_file());

    // The next start reads the file into a fresh collection.
    SendMessageA(app_state->list_view, LVM_DELETEALLITEMS, 0, 0);
    free_collection(&app_state->collection);
    app_state->collection = create_collection();
    MessageBoxWatcher watcher;
    read_collection_at_startup();
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_EQ(stored_bookmarks(&app_state->collection), before);
}
