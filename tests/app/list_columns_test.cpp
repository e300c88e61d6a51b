// The list's columns through the real frame: Status, sorting, the header's menu, lk.ini over a restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/command_state.h"
#include "app/list_columns.h"
#include "app/list_view.h"
#include "collection/check_state.h"
#include "tests/app/window_fixture.h"

namespace {

class ListColumns : public WindowTest {
protected:
    std::string name_of(int index) {
        char name[64] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT;
        column.pszText = name;
        column.cchTextMax = sizeof name;
        ListView_GetColumn(app_state->list_view, index, &column);
        return name;
    }
    // The headers' names in display order, and their widths.
    Texts headers(std::vector<int>* widths = nullptr) {
        HWND list = app_state->list_view;
        std::vector<int> order(static_cast<size_t>(Header_GetItemCount(ListView_GetHeader(list))));
        ListView_GetColumnOrderArray(list, static_cast<int>(order.size()), order.data());
        Texts names;
        for (int index : order) {
            names.push_back(name_of(index));
            if (widths) widths->push_back(ListView_GetColumnWidth(list, index));
        }
        return names;
    }
    int index_of(const char* name) {
        for (int index = 0; index < Header_GetItemCount(ListView_GetHeader(app_state->list_view)); index++) {
            if (name_of(index) == name) return index;
        }
        return -1;
    }
    void click_header(const char* name) {
        NMLISTVIEW click = {
            {app_state->list_view, 0, static_cast<UINT>(LVN_COLUMNCLICK)}, -1, index_of(name), 0, 0, 0, {0, 0}, 0};
        SendMessageA(frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
        idle();
    }
    Texts column_texts(const char* name) {
        Texts texts;
        for (int row = 0; row < rows(); row++) texts.push_back(row_text(row, index_of(name)));
        return texts;
    }
};

}  // namespace

TEST_F(ListColumns, StatusSortsBothWaysWithTheSelectionAndHidingAndOrderSurviveARestart) {
    EXPECT_EQ(headers(), (Texts{"Title", "URL", "Status"}));
    const uint32_t day = 1804032000;
    store_check("http://www.kernel.org/", VERDICT_GONE, day);
    store_check("http://www.ietf.org/", VERDICT_OK, day);
    store_check("http://webdesign.example/", VERDICT_MOVED, day);
    click_header("Status");
    const Texts ascending = {"The Linux Kernel Archives", "Web Design Basics", "Internet Engineering Task Force",
                             "Interface Design Patterns"};
    EXPECT_EQ(titles(), ascending);
    const Texts words = column_texts("Status");
    EXPECT_EQ(words[0].rfind("Broken since ", 0), 0u) << words[0];
    EXPECT_EQ((Texts{words[1], words[2].substr(0, 4), words[3]}), (Texts{"Moved", "OK, ", "Not checked"}));

    // Again: the other way, the never checked still last; the selection follows its bookmarks.
    select_rows({0, 1});
    click_header("Status");
    EXPECT_EQ(titles(), (Texts{"Internet Engineering Task Force", "Web Design Basics", "The Linux Kernel Archives",
                               "Interface Design Patterns"}));
    EXPECT_EQ(selected_rows(), (std::vector<int>{1, 2}));
    type("design");  // the filter's rows keep the order, and the selection
    EXPECT_EQ(titles(), (Texts{"Web Design Basics", "Interface Design Patterns"}));
    EXPECT_EQ(selected_rows(), std::vector<int>{0});
    type("");
    click_header("Title");
    EXPECT_EQ(titles().front(), "Interface Design Patterns");

    // The header's menu: Added shown at the end, URL hidden, Title never.
    EXPECT_FALSE(command_state(IDM_SHOW_COLUMN + COLUMN_TITLE));
    command(IDM_SHOW_COLUMN + COLUMN_ADDED);
    command(IDM_SHOW_COLUMN + COLUMN_URL);
    command(IDM_SHOW_COLUMN + COLUMN_TITLE);
    EXPECT_EQ(headers(), (Texts{"Title", "Status", "Added"}));
    EXPECT_NE(column_texts("Added")[0], "");
    // Dragged to the front and made narrower, as a user does with the mouse.
    int order[] = {index_of("Added"), index_of("Title"), index_of("Status")};
    ListView_SetColumnOrderArray(app_state->list_view, 3, order);
    ListView_SetColumnWidth(app_state->list_view, index_of("Status"), 123);

    SendMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_FALSE(IsWindow(frame));
    const std::string settings = dir.read("lk.ini");
    EXPECT_NE(settings.find("Col Width 2=123\r\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Columns=Added,Title,Status\r\n"), std::string::npos) << settings;
    Options loaded = {};
    load_settings(&loaded);
    app_state->options = loaded;
    frame = create_frame(app_instance, SW_SHOWNORMAL);
    ASSERT_NE(frame, nullptr);
    start_again();
    std::vector<int> widths;
    EXPECT_EQ(headers(&widths), (Texts{"Added", "Title", "Status"}));
    EXPECT_EQ(widths[2], 123);
    EXPECT_EQ(rows(), 4);
}

// Many rows are picked out of the order of all records: by title reversed, equal titles keep their order, as a stable
// sort from the greatest down has them. URL sort keys and order are made on a worker thread from copies of the URLs:
// the order is the one the list makes of its own keys, also when records are edited, deleted and added while they are
// made (then only the keys of URLs still there are taken).
TEST_F(ListColumns, ManyRowsInTitleOrderReversedAndInUrlOrderFromKeysMadeMeanwhile) {
    const char* const kTricky[] = {
        "http://co-op.example/",    "http://coop.example/",    "http://co'op.example/",
        "http://Coop.example/a",    "http://COOP.example/b",   "http://x.example/10",
        "http://x.example/9",       "http://x.example/-9",     "http://\xe9t\xe9.example/",
        "http://ete.example/",      "http://\xc9TE.example/x", "http://\xc5ngstr\xf6m.example/",
        "http://angstrom.example/", "http://z_z.example/",     "http://z.z.example/"};
    const size_t kinds = sizeof kTricky / sizeof kTricky[0];
    for (size_t i = 0; i < 1100; i++) {
        add(("Tricky " + std::to_string(i % 7)).c_str(), (kTricky[i % kinds] + std::to_string(i / kinds)).c_str());
    }
    type("tricky");
    click_header("Title");
    std::vector<void*> expected(app_state->collection.records->items,
                                app_state->collection.records->items + app_state->collection.records->count);
    expected.erase(expected.begin(), expected.begin() + 4);  // the fixture's own
    std::stable_sort(expected.begin(), expected.end(), [](void* a, void* b) {
        return lstrcmpiA(static_cast<Bookmark*>(b)->title, static_cast<Bookmark*>(a)->title) < 0;
    });
    ASSERT_EQ(app_state->shown_records->count, expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), app_state->shown_records->items));

    app_state->sort_column = COLUMN_URL;
    auto forget_keys = [] {
        free_list_orders(app_state->list_orders);
        app_state->list_orders = create_list_orders();
    };
    auto keys_made_meanwhile = [this, forget_keys](const std::function<void()>& edit) {
        forget_keys();
        start_url_sort_keys(frame);
        edit();
        MSG msg;
        ASSERT_GT(GetMessageA(&msg, frame, WM_URL_SORT_KEYS, WM_URL_SORT_KEYS), 0);
        DispatchMessageA(&msg);
        app_state->filter_dirty = 1;  // the edited records' rows come and go
        idle();
        sort_list(app_state->list_view);
        const PtrVector* shown = app_state->shown_records;
        const std::vector<void*> sorted(shown->items, shown->items + shown->count);
        // The order the list makes of its own keys, as before any were made meanwhile.
        forget_keys();
        sort_list(app_state->list_view);
        ASSERT_EQ(shown->count, count() - 4);  // all but the fixture's own
        EXPECT_TRUE(std::equal(sorted.begin(), sorted.end(), shown->items, shown->items + shown->count));
    };
    keys_made_meanwhile([] {});
    keys_made_meanwhile([this] {
        delete_record(&app_state->collection, record("http://coop.example/0"));
        Bookmark* edited = record("http://x.example/93");
        free(edited->url);
        edited->url = str_dup("http://a-z.example/");
        reposition_by_url(&app_state->collection, edited);
        add("Tricky", "http://co-op.example/new");
    });
}
