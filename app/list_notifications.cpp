// The list's keys and clicks, and the context menu.
#include "app/list_notifications.h"

#include "app/app_state.h"
#include "app/commands.h"
#include "app/list_view.h"
#include "app/resource.h"

namespace {

// The row at the pointer's height. The point is taken at x = 4, so a click
// anywhere along a row, beyond its last column too, counts for that row.
int row_at(int y) {
    LVHITTESTINFO hit = {};
    hit.pt.x = 4;
    hit.pt.y = y;
    return static_cast<int>(SendMessageA(app_state->list_view, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

void open_row(int row) {
    if (row < 0) return;
    Bookmark* record = row_record(app_state->list_view, row);
    if (record) open_bookmark(record);
}

void open_focused_row() {
    open_row(
        static_cast<int>(SendMessageA(app_state->list_view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
}

HMENU build_context_menu(int selected) {
    HMENU menu = CreatePopupMenu();
    if (selected == 1) {
        AppendMenuA(menu, MF_STRING, IDM_OPEN, "&Open");
        AppendMenuA(menu, MF_STRING, IDM_EXPORT, "&Export...");
        AppendMenuA(menu, MF_STRING, IDM_DELETE, "&Delete");
        AppendMenuA(menu, MF_STRING, IDM_MARK_VISITED, "&Mark Visited");
        AppendMenuA(menu, MF_STRING, IDM_COPY_URL, "&Copy URL to Clipboard");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, IDM_PROPERTIES, "&Properties...");
    } else {
        AppendMenuA(menu, MF_STRING, IDM_DELETE, "&Delete");
        AppendMenuA(menu, MF_STRING, IDM_EXPORT, "&Export...");
        AppendMenuA(menu, MF_STRING, IDM_MARK_VISITED, "&Mark Visited");
    }
    return menu;
}

// point: where the right click happened, in list coordinates.
void show_context_menu(POINT point) {
    HWND list = app_state->list_view;
    int row = row_at(point.y);
    if (row < 0) return;
    int selected;
    if (SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) {
        selected = static_cast<int>(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0));
    } else {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        selected = 1;
    }
    HMENU menu = build_context_menu(selected);
    ClientToScreen(list, &point);
    // The frame owns the menu: it greys the items and receives the choice.
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, app_state->main_window, nullptr);
    DestroyMenu(menu);
}

}  // namespace

LRESULT list_notify(const NMHDR* header) {
    switch (header->code) {
        case LVN_KEYDOWN:
            if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_DELETE) delete_selected();
            return 0;
        case NM_DBLCLK:
            open_row(row_at(reinterpret_cast<const NMITEMACTIVATE*>(header)->ptAction.y));
            return 0;
        case NM_RETURN:
            open_focused_row();
            return 0;
        case NM_RCLICK:
            show_context_menu(reinterpret_cast<const NMITEMACTIVATE*>(header)->ptAction);
            return 0;
        default:
            return 0;
    }
}
