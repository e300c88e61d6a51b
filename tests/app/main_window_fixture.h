// The real frame with its list, toolbar and status bar, in process, over a
// small collection; tests drive it with messages and run the idle pass.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/frame.h"
#include "app/live_filter.h"
#include "collection/collection.h"
#include "tests/app/app_state_fixture.h"

class MainWindowTest : public AppStateTest {
protected:
    void SetUp() override {
        AppStateTest::SetUp();
        Options& o = app_state->options;
        o.option_flags = OPT_PARTIAL_MATCH | OPT_TOOLTIPS | OPT_CONFIRM_SINGLE_DELETES | OPT_CONFIRM_MULTIPLE_DELETES;
        o.check_interval = 15;
        o.column_width[0] = 200;
        o.column_width[1] = 300;
        o.frame_x = o.frame_y = o.frame_width = o.frame_height = CW_USEDEFAULT;
        app_state->ui_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        app_state->collection = create_collection();
        add("The Linux Kernel Archives", "http://www.kernel.org/");
        add("Internet Engineering Task Force", "http://www.ietf.org/");
        add("Interface Design Patterns", "http://ui-patterns.com/");
        add("Web Design Basics", "http://webdesign.example/");
        register_frame_class(app_instance);
        frame = create_frame(app_instance, SW_SHOWNORMAL);
        ASSERT_NE(frame, nullptr);
        app_state->filter_dirty = 1;
        idle();
    }
    void TearDown() override {
        if (IsWindow(frame)) DestroyWindow(frame);
        pump_messages();
        free_collection(&app_state->collection);
        AppStateTest::TearDown();
    }

    void add(const char* title, const char* url) {
        add_or_merge(&app_state->collection, str_dup(title), str_dup(url), nullptr, 1000, 2000, DATE_UNSET, true);
    }
    Bookmark* record(const char* url) { return find_by_url(&app_state->collection, url); }

    void idle() {
        pump_messages();
        idle_update();
    }
    // Sets the filter's text with the caret at its end, as typing leaves it.
    void type(const char* text) {
        SetWindowTextA(app_state->filter_edit, text);
        SendMessageA(app_state->filter_edit, EM_SETSEL, lstrlenA(text), lstrlenA(text));
        idle();
    }
    int rows() { return static_cast<int>(SendMessageA(app_state->list_view, LVM_GETITEMCOUNT, 0, 0)); }
    std::string row_text(int row, int column) {
        char text[512] = "";
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(app_state->list_view, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return text;
    }
    std::string pane(int part) {
        char text[512] = "";
        SendMessageA(app_state->status_bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
        return text;
    }
    void select_rows(std::initializer_list<int> selected) {
        ListView_SetItemState(app_state->list_view, -1, 0, LVIS_SELECTED);
        for (int row : selected) ListView_SetItemState(app_state->list_view, row, LVIS_SELECTED, LVIS_SELECTED);
    }

    HWND frame = nullptr;
};
