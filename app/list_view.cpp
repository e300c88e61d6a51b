// Rows of the bookmark list.
#include "app/list_view.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/messages.h"

StatusIcon status_icon(const Bookmark* record) {
    switch (record->last_modified) {
        case DATE_UNSET:
            return ICON_NOTHING_KNOWN;
        case DATE_BROKEN:
            return ICON_BROKEN;
        case DATE_CHECKING:
            return ICON_CHECKING;
        default:
            break;
    }
    bool visited_since = record->last_visit != DATE_UNSET && record->last_visit >= record->last_modified;
    return visited_since ? ICON_NOTHING_KNOWN : ICON_CHANGED;
}

int CALLBACK lv_compare(LPARAM first, LPARAM second, LPARAM sort_type) {
    const Bookmark* a = reinterpret_cast<const Bookmark*>(first);
    const Bookmark* b = reinterpret_cast<const Bookmark*>(second);
    if (!a || !b) return 0;
    switch (sort_type) {
        case 0:
            return lstrcmpiA(a->title, b->title);
        case 1:
            return lstrcmpiA(a->url, b->url);
        default:
            application_error("unknown sort type");
            return 0;
    }
}

void insert_bookmark_row(HWND list, Bookmark* record) {
    // Rows go in at the end: the list is sorted right after a fill, and
    // inserting at the top would move every row for each new one.
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = INT_MAX;
    item.pszText = LPSTR_TEXTCALLBACKA;
    item.iImage = I_IMAGECALLBACK;
    item.lParam = reinterpret_cast<LPARAM>(record);
    int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    LVITEMA url = {};
    url.iSubItem = 1;
    url.pszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&url));
    record->flags |= BOOKMARK_LISTED;
}

void sort_list(HWND list) {
    SendMessageA(list, LVM_SORTITEMS, static_cast<WPARAM>(app_state->sort_column),
                 reinterpret_cast<LPARAM>(lv_compare));
}

Bookmark* row_record(HWND list, int row) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<Bookmark*>(item.lParam);
}

void redraw_item_icon(const Bookmark* record) {
    if (!(record->flags & BOOKMARK_LISTED)) return;
    HWND list = app_state->list_view;
    int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; row++) {
        if (row_record(list, row) != record) continue;
        RECT icon = {};
        icon.left = LVIR_ICON;
        if (SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&icon))) {
            InvalidateRect(list, &icon, FALSE);
        }
        return;
    }
}

PtrVector* selected_records(HWND list) {
    PtrVector* records = vec_create();
    int row = -1;
    while ((row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                LVNI_SELECTED))) != -1) {
        vec_append(records, row_record(list, row));
    }
    return records;
}

Bookmark* first_selected_record(HWND list) {
    int row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return row == -1 ? nullptr : row_record(list, row);
}
