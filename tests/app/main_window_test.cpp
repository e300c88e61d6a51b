// The main window: list, live filter, status panes, sorting, menus, checker
// reports and the minute timer, driven in process.
#include <windows.h>

#include <commctrl.h>

#include <random>
#include <string>
#include <vector>

#include "app/command_state.h"
#include "app/list_view.h"
#include "app/message_loop.h"
#include "app/resource.h"
#include "app/status_checking.h"
#include "app/strings.h"
#include "tests/app/main_window_fixture.h"
#include "tests/platform/message_box_watcher.h"

TEST_F(MainWindowTest, ListsEveryBookmarkSortedByTitleWithTheCount) {
    ASSERT_EQ(rows(), 4);
    EXPECT_EQ(row_text(0, 0), "Interface Design Patterns");
    EXPECT_EQ(row_text(0, 1), "http://ui-patterns.com/");
    EXPECT_EQ(row_text(3, 0), "Web Design Basics");
    EXPECT_EQ(pane(1), "4 Ravozorizi");
}

TEST_F(MainWindowTest, TypingFiltersAtTheNextIdleMomentWithTheWordHint) {
    SetWindowTextA(app_state->filter_edit, "inter");
    EXPECT_EQ(rows(), 4) << "the list waits for the idle pass";
    idle();
    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(row_text(0, 0), "Interface Design Patterns");
    EXPECT_EQ(row_text(1, 0), "Internet Engineering Task Force");
    EXPECT_EQ(pane(0), "Interface Internet");
    EXPECT_EQ(pane(1), "2 Ravozorizi");

    type("inter & !task");
    EXPECT_EQ(pane(1), "1 Linkstone");
    type("zzz");
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(pane(1), "No Ravozorizi");
    EXPECT_EQ(pane(0), "No Matches");
}

TEST_F(MainWindowTest, TrailingOperatorsAreIgnoredAndEmptyFilterShowsAll) {
    type("linux &");
    EXPECT_EQ(rows(), 1);
    type("");
    EXPECT_EQ(rows(), 4);
    EXPECT_EQ(pane(0), "Ready");
    EXPECT_EQ(row_text(0, 0), "Interface Design Patterns");
}

TEST_F(MainWindowTest, EmptyCollectionCountsNoRavozoriziFromTheStart) {
    DestroyWindow(frame);
    free_collection(&app_state->collection);
    app_state->collection = create_collection();
    frame = create_frame(app_instance, SW_SHOWNORMAL);
    idle();
    EXPECT_EQ(pane(1), "No Ravozorizi");
}

// Words in every script: the filter finds them by prefix, ignoring case, and
// the hint follows the caret, which the box counts in characters.
TEST_F(MainWindowTest, WordsInEveryScriptFilterTheList) {
    add("Москва новости", "http://moscow.example/");
    add("Müller Straße Köln", "http://koeln.example/");
    type("");
    type("мос");
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(row_text(0, 0), "Москва новости");
    EXPECT_EQ(pane(0), "Москва");
    type("москва | KÖLN");
    EXPECT_EQ(rows(), 2);
    // The caret before the L: eleven characters in, eighteen bytes.
    SendMessageA(app_state->filter_edit, EM_SETSEL, 11, 11);
    idle();
    EXPECT_EQ(pane(0), "Köln");
    SendMessageA(app_state->filter_edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("x"));
    char text[64];
    GetWindowTextA(app_state->filter_edit, text, sizeof text);
    EXPECT_STREQ(text, "москва | KÖxLN") << "the box counts characters";
    app_state->options.option_flags |= OPT_CASE_SENSITIVE;
    type("straße köln");
    EXPECT_EQ(rows(), 0);
    type("Straße Köln");
    EXPECT_EQ(rows(), 1);
}

TEST_F(MainWindowTest, ParseErrorKeepsTheListUntilTheTextParsesAgain) {
    type("design");
    ASSERT_EQ(rows(), 2);
    type("design (");
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(pane(0), "Search expression error");
    EXPECT_EQ(pane(1), "Ravozorizi ???");
    EXPECT_EQ(app_state->shown_count, -1);
    type("design (web)");
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(pane(1), "1 Linkstone");
}

TEST_F(MainWindowTest, ListShowingTheResultIsNotRebuilt) {
    type("design");
    select_rows({1});
    type("design ");
    EXPECT_EQ(ListView_GetNextItem(app_state->list_view, -1, LVNI_SELECTED), 1);
    EXPECT_EQ(pane(0), "No Matches") << "the caret after a blank stands in no word";
}

TEST_F(MainWindowTest, UrlHeaderSortsByUrlAndFilteringKeepsTheOrder) {
    NMLISTVIEW click = {};
    click.hdr.hwndFrom = app_state->list_view;
    click.hdr.idFrom = static_cast<UINT_PTR>(IDC_LIST_VIEW);
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = 1;
    SendMessageA(frame, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(row_text(0, 1), "http://ui-patterns.com/");
    EXPECT_EQ(row_text(3, 1), "http://www.kernel.org/");
    type("design | linux");
    ASSERT_EQ(rows(), 3);
    EXPECT_EQ(row_text(0, 1), "http://ui-patterns.com/");
    EXPECT_EQ(row_text(1, 1), "http://webdesign.example/");
    EXPECT_EQ(row_text(2, 1), "http://www.kernel.org/");
}

TEST(StatusIcon, FollowsModifiedAndVisitedDates) {
    struct Case {
        uint32_t modified, visited;
        StatusIcon icon;
    } cases[] = {
        {DATE_UNSET, 100, ICON_NOTHING_KNOWN}, {DATE_BROKEN, 100, ICON_BROKEN}, {DATE_CHECKING, 100, ICON_CHECKING},
        {500, 500, ICON_NOTHING_KNOWN},        {500, 600, ICON_NOTHING_KNOWN},  {500, 400, ICON_CHANGED},
        {500, DATE_UNSET, ICON_CHANGED},
    };
    for (const Case& c : cases) {
        Bookmark record = {};
        record.last_modified = c.modified;
        record.last_visit = c.visited;
        EXPECT_EQ(status_icon(&record), c.icon) << c.modified << " " << c.visited;
    }
}

TEST_F(MainWindowTest, CommandStateFollowsTheSelection) {
    EXPECT_FALSE(command_state(IDM_DELETE));
    EXPECT_FALSE(command_state(IDM_PROPERTIES));
    EXPECT_TRUE(command_state(IDM_ADD));
    EXPECT_TRUE(command_state(IDM_EXPORT));
    EXPECT_FALSE(command_state(40000));
    EXPECT_FALSE(command_state(40038));
    EXPECT_FALSE(command_state(40020));
    select_rows({0});
    EXPECT_TRUE(command_state(IDM_DELETE));
    EXPECT_TRUE(command_state(IDM_OPEN));
    EXPECT_FALSE(command_state(IDM_MARK_VISITED)) << "nothing known about the page";
    select_rows({0, 1});
    EXPECT_TRUE(command_state(IDM_DELETE));
    EXPECT_FALSE(command_state(IDM_COPY_URL));
    select_rows({0});
    first_selected_record(app_state->list_view)->last_modified = 5000;
    EXPECT_TRUE(command_state(IDM_MARK_VISITED));
    first_selected_record(app_state->list_view)->last_visit = DATE_UNSET;
    EXPECT_FALSE(command_state(IDM_MARK_VISITED)) << "never visited";
}

TEST_F(MainWindowTest, ToolbarButtonsFollowCommandStateAtIdle) {
    HWND toolbar = app_state->toolbar;
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, IDM_DELETE, 0));
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONENABLED, IDM_ADD, 0));
    select_rows({2});
    idle();
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONENABLED, IDM_DELETE, 0));
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONENABLED, IDM_PROPERTIES, 0));
}

TEST_F(MainWindowTest, MenuItemsGreyByCommandStateAndShowTheirHelpText) {
    HMENU menu = GetMenu(frame);
    HMENU bookmarks = GetSubMenu(menu, 1);
    SendMessageA(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(bookmarks), MAKELPARAM(1, FALSE));
    EXPECT_TRUE(GetMenuState(bookmarks, IDM_DELETE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(bookmarks, IDM_FAST_ADD, MF_BYCOMMAND) & MF_GRAYED);

    SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(IDM_DELETE, MF_HILITE), reinterpret_cast<LPARAM>(bookmarks));
    EXPECT_TRUE(SendMessageA(app_state->status_bar, SB_ISSIMPLE, 0, 0));
    char text[256] = "";
    SendMessageA(app_state->status_bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Delete Selected Ravozorizi");
    SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP), reinterpret_cast<LPARAM>(menu));
    SendMessageA(app_state->status_bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "");
    SendMessageA(frame, WM_EXITMENULOOP, 0, 0);
    EXPECT_FALSE(SendMessageA(app_state->status_bar, SB_ISSIMPLE, 0, 0));
}

TEST(StringTable, EveryMenuCommandButCopyAndAboutHasItsHelpText) {
    app_instance = GetModuleHandleA(nullptr);
    HMENU menu = LoadMenuA(app_instance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    ASSERT_NE(menu, nullptr);
    int checked = 0;
    for (int top = 0; top < GetMenuItemCount(menu); top++) {
        HMENU popup = GetSubMenu(menu, top);
        for (int i = 0; i < GetMenuItemCount(popup); i++) {
            UINT id = GetMenuItemID(popup, i);
            if (id == 0 || id == static_cast<UINT>(-1)) continue;
            checked++;
            if (id == IDM_COPY || id == IDM_ABOUT) {
                EXPECT_STREQ(load_res_string(id), "");
            } else {
                EXPECT_STRNE(load_res_string(id), "") << id;
            }
        }
    }
    EXPECT_EQ(checked, 17);
    DestroyMenu(menu);
    EXPECT_STREQ(load_res_string(IDM_OPEN), "Open the URL in your Web Browser");
    EXPECT_STREQ(load_res_string(IDM_COPY_URL), "Copy URL to the Windows Clipboard");
}

TEST_F(MainWindowTest, TabAndEscapeInTheSearchFilter) {
    SetFocus(app_state->filter_edit);
    MSG tab = {app_state->filter_edit, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(prefilter_key(tab));
    EXPECT_EQ(GetFocus(), app_state->list_view);
    tab.hwnd = app_state->list_view;
    EXPECT_TRUE(prefilter_key(tab));
    EXPECT_EQ(GetFocus(), app_state->filter_edit);

    type("linux");
    ASSERT_EQ(rows(), 1);
    MSG escape = {app_state->filter_edit, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(prefilter_key(escape));
    idle();
    EXPECT_EQ(rows(), 4);
    escape.message = WM_KEYUP;
    EXPECT_TRUE(prefilter_key(escape));

    SetFocus(app_state->list_view);
    escape.message = WM_KEYDOWN;
    EXPECT_FALSE(prefilter_key(escape)) << "Escape elsewhere is passed on";
}

TEST_F(MainWindowTest, MinimisingDoesNotLayOutRestoringDoes) {
    RECT before;
    GetWindowRect(app_state->list_view, &before);
    SendMessageA(frame, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    RECT after;
    GetWindowRect(app_state->list_view, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    MoveWindow(frame, 0, 0, 500, 400, TRUE);
    GetWindowRect(app_state->list_view, &after);
    RECT client;
    GetClientRect(frame, &client);
    EXPECT_EQ(after.right - after.left, client.right);
}

TEST_F(MainWindowTest, DeletingARowKeepsTheRowsInStep) {
    Bookmark* second = row_record(app_state->list_view, 1);
    Bookmark* third = row_record(app_state->list_view, 2);
    ASSERT_TRUE(SendMessageA(app_state->list_view, LVM_DELETEITEM, 1, 0));
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(row_record(app_state->list_view, 1), third);
    EXPECT_EQ(vec_index_of(app_state->shown_records, second), -1);
    EXPECT_EQ(row_text(1, 0), third->title);
}

TEST_F(MainWindowTest, SortingFollowsTheSystemsCaseInsensitiveOrder) {
    add("apple pie", "http://a.example/");
    add("Apple Tart", "http://b.example/");
    add("_underscore first?", "http://c.example/");
    add("zebra", "http://d.example/");
    add("\xC3\x84pfel", "http://e.example/");
    type("");
    std::vector<std::string> shown;
    for (int row = 0; row < rows(); row++) shown.push_back(row_text(row, 0));
    for (size_t i = 1; i < shown.size(); i++) {
        EXPECT_LE(lstrcmpiA(shown[i - 1].c_str(), shown[i].c_str()), 0) << shown[i - 1] << " | " << shown[i];
    }
}

TEST(Manifest, AsksForVisualStylesAndTheUtf8CodePage) {
    // The program's manifest is linked into this test program too.
    HRSRC manifest = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(manifest, nullptr);
    std::string text(static_cast<const char*>(LockResource(LoadResource(nullptr, manifest))),
                     SizeofResource(nullptr, manifest));
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("<activeCodePage"), std::string::npos);
    // Wine honours the code page request: UTF-8 titles of today's exports show as text.
    EXPECT_EQ(GetACP(), 65001u);
}

TEST_F(MainWindowTest, RetitledBookmarkSortsByItsNewTitle) {
    // Sort keys are kept between refills; a changed title must not sort by its old key.
    Bookmark* kernel = record("http://www.kernel.org/");
    ASSERT_EQ(row_text(2, 0), "The Linux Kernel Archives");
    free(kernel->title);
    kernel->title = str_dup("AAA Kernel");
    sort_list(app_state->list_view);
    EXPECT_EQ(row_text(0, 0), "AAA Kernel");
}

// Broad filters put their rows in order by walking an order of all records,
// which must follow every change to the records and their texts.
TEST_F(MainWindowTest, ManyRowsStayInOrderThroughAdditionsEditsAndDeletions) {
    std::mt19937 rng(7);
    for (int i = 0; i < 1500; i++) {
        std::string title = "qq" + std::to_string(rng() % 100000) + " " + std::to_string(i);
        std::string url = "http://many.example/" + std::to_string(rng() % 100000) + "/" + std::to_string(i);
        add(title.c_str(), url.c_str());
    }
    auto expect_sorted = [this](int column, int count) {
        ASSERT_EQ(rows(), count);
        for (int row = 1; row < rows(); row++) {
            ASSERT_LE(lstrcmpiA(row_text(row - 1, column).c_str(), row_text(row, column).c_str()), 0) << row;
        }
    };
    type("qq");
    expect_sorted(0, 1500);
    type("");
    expect_sorted(0, 1504);

    Bookmark* moved = row_record(app_state->list_view, 700);
    free(moved->title);
    moved->title = str_dup("!first of all");
    note_title_edit(&app_state->collection);
    type("qq");
    type("");
    EXPECT_EQ(row_record(app_state->list_view, 0), moved);
    expect_sorted(0, 1504);

    type("qq");
    for (int i = 0; i < 100; i++) {
        Bookmark* gone = row_record(app_state->list_view, 3 * i + 1);
        ASSERT_TRUE(SendMessageA(app_state->list_view, LVM_DELETEITEM, static_cast<WPARAM>(3 * i + 1), 0));
        delete_record(&app_state->collection, gone);
    }
    add("qqzzz newcomer", "http://many.example/newcomer");
    type("qq");
    expect_sorted(0, 1401);
    EXPECT_EQ(row_text(rows() - 1, 0), "qqzzz newcomer");

    NMLISTVIEW click = {};
    click.hdr.hwndFrom = app_state->list_view;
    click.hdr.idFrom = GetDlgCtrlID(app_state->list_view);
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = 1;
    SendMessageA(frame, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    expect_sorted(1, 1401);
    type("");
    expect_sorted(1, 1405);

    // A new window over a new collection, made by as many changes, starts
    // afresh rather than from the departed records' order.
    const int changes = static_cast<int>(app_state->collection.edits);
    DestroyWindow(frame);
    pump_messages();
    free_collection(&app_state->collection);
    app_state->collection = create_collection();
    app_state->sort_column = 0;
    for (int i = 0; i < changes; i++) {
        const std::string n = std::to_string(i);
        add(("second " + n).c_str(), ("http://second.example/" + n).c_str());
    }
    frame = create_frame(app_instance, SW_SHOWNORMAL);
    ASSERT_NE(frame, nullptr);
    type("second");
    ASSERT_EQ(app_state->collection.edits, static_cast<uint64_t>(changes));
    expect_sorted(0, changes);
    for (int row = 0; row < rows(); row++) ASSERT_EQ(row_text(row, 0).rfind("second ", 0), 0u) << row;
}

namespace {

// The records of the selected rows, and of the focused one.
std::vector<Bookmark*> selected_records_now() {
    std::vector<Bookmark*> found;
    for (int row = -1; (row = ListView_GetNextItem(app_state->list_view, row, LVNI_SELECTED)) != -1;) {
        found.push_back(row_record(app_state->list_view, row));
    }
    return found;
}

Bookmark* focused_record() {
    return row_record(app_state->list_view, ListView_GetNextItem(app_state->list_view, -1, LVNI_FOCUSED));
}

void click_header(int column) {
    HWND header = ListView_GetHeader(app_state->list_view);
    RECT r;
    Header_GetItemRect(header, column, &r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
}

}  // namespace

// The list keeps its selection by row number: sorting and refilling must move
// the selection and the focus with their bookmarks.
TEST_F(MainWindowTest, SelectionAndFocusStayOnTheirBookmarksThroughSortsAndRefills) {
    Bookmark* kernel = record("http://www.kernel.org/");
    Bookmark* patterns = record("http://ui-patterns.com/");
    select_rows({0, 2});  // Interface Design Patterns, The Linux Kernel Archives
    ListView_SetItemState(app_state->list_view, 2, LVIS_FOCUSED, LVIS_FOCUSED);
    const std::vector<Bookmark*> both = {patterns, kernel};
    auto expect_kept = [&](const char* after, const std::vector<Bookmark*>& selected) {
        SCOPED_TRACE(after);
        EXPECT_EQ(selected_records_now(), selected);
        EXPECT_EQ(focused_record(), kernel);
    };

    click_header(1);
    ASSERT_EQ(row_text(0, 1), "http://ui-patterns.com/");
    expect_kept("sorting by URL", both);
    add("Aardvark Almanac", "http://aardvark.example/");  // an Add with an empty filter
    app_state->filter_dirty = 1;
    idle();
    ASSERT_EQ(rows(), 5);
    expect_kept("a refill that adds a row", both);
    click_header(0);
    type("linux | patterns");
    expect_kept("filtering", both);
    type("linux");
    expect_kept("a filter that drops one", {kernel});
    type("");
    expect_kept("emptying the filter", {kernel});
}

TEST_F(MainWindowTest, EmptyingTheFilterAfterASyntaxErrorShowsTheCountAgain) {
    type("design (");
    ASSERT_EQ(pane(1), "Ravozorizi ???");
    type("");
    EXPECT_EQ(pane(0), "Ready");
    EXPECT_EQ(pane(1), "4 Ravozorizi");
    type("zzz (");
    type("");
    EXPECT_EQ(pane(0), "Ready") << "also when the list already shows everything";
    EXPECT_EQ(pane(1), "4 Ravozorizi");
}

// Activated again after a dialog, the frame gives the focus back to the child
// that had it, not always to the filter.
TEST_F(MainWindowTest, FocusReturnsToTheControlThatHadItAfterADialog) {
    for (HWND had_focus : {app_state->list_view, app_state->filter_edit}) {
        SetFocus(had_focus);
        MessageBoxWatcher watcher;
        SendMessageA(frame, WM_COMMAND, IDM_ABOUT, 0);
        ASSERT_EQ(watcher.seen().size(), 1u);
        pump_messages();
        EXPECT_EQ(GetFocus(), had_focus);
    }
}
