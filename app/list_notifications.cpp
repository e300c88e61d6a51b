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

// Below the rows, where there is nothing to select, only Paste.
HMENU build_context_menu(int selected) {
    HMENU menu = CreatePopupMenu();
    if (selected == 0) {
        AppendMenuA(menu, MF_STRING, IDM_PASTE, "&Paste");
        return menu;
    }
    if (selected == 1) {
        AppendMenuA(menu, MF_STRING, IDM_OPEN, "&Open");
        AppendMenuA(menu, MF_STRING, IDM_OPEN_ARCHIVED, "Open &Archived Copy");
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
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_PASTE, "&Paste");
    return menu;
}

// Shows the menu for the selection at a point on the screen; the frame owns
// it: it greys the items and receives the choice.
void track_context_menu(int selected, POINT screen) {
    HMENU menu = build_context_menu(selected);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, app_state->main_window, nullptr);
    DestroyMenu(menu);
}

// point: where the right click happened, in list coordinates.
void show_context_menu(POINT point) {
    HWND list = app_state->list_view;
    int row = row_at(point.y);
    int selected;
    if (row < 0) {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        selected = 0;
    } else if (SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) {
        selected = static_cast<int>(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0));
    } else {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        selected = 1;
    }
    ClientToScreen(list, &point);
    track_context_menu(selected, point);
}

// Whether the title begins with (partial) or is (whole) the typed text,
// without regard to case.
bool title_matches(const char* title, const char* typed, bool partial) {
    int typed_length = lstrlenA(typed);
    int compared = lstrlenA(title);
    if (partial && compared > typed_length) compared = typed_length;
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, title, compared, typed, typed_length) == CSTR_EQUAL;
}

// One letter typed again and again, which an ordinary list takes as "the
// next title with that letter" rather than as a title beginning so.
bool is_repeated_letter(const char* typed) {
    if (!typed[0] || !typed[1]) return false;
    for (const char* p = typed + 1; *p; p++) {
        if (*p != typed[0]) return false;
    }
    return true;
}

// The row of the next bookmark, from the starting row on, whose title begins
// with the letters typed in the list (-1: none); the list then selects it.
LRESULT find_typed_title(int from, UINT flags, const char* text) {
    if (!(flags & (LVFI_STRING | LVFI_PARTIAL))) return -1;
    const PtrVector* rows = app_state->shown_records;
    const int count = static_cast<int>(rows->count);
    int start = from >= 0 && from < count ? from : 0;
    char letter[2] = {text[0], '\0'};
    const bool repeated = is_repeated_letter(text);
    // The search starts at the row found for the letter before: the next one is wanted.
    if (repeated && count > 0) start = (start + 1) % count;
    const char* typed = repeated ? letter : text;
    const bool wrap = (flags & LVFI_WRAP) != 0;
    const bool partial = (flags & LVFI_PARTIAL) != 0;
    for (int i = 0; i < count; i++) {
        const int row = start + i < count ? start + i : start + i - count;
        if (row < start && !wrap) break;
        if (title_matches(static_cast<const Bookmark*>(rows->items[row])->title, typed, partial)) return row;
    }
    return -1;
}

}  // namespace

void show_keyboard_context_menu() {
    HWND list = app_state->list_view;
    if (SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0) return;
    int row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (row < 0 || !(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED)) {
        row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    ListView_EnsureVisible(list, row, FALSE);
    RECT label = {};
    label.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label));
    POINT at = {label.left, label.bottom};
    ClientToScreen(list, &at);
    track_context_menu(static_cast<int>(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0)), at);
}

LRESULT list_notify(const NMHDR* header) {
    switch (header->code) {
        case LVN_KEYDOWN:
            switch (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey) {
                case VK_DELETE:
                    delete_selected();
                    break;
                case VK_APPS:
                    // Not every system turns the Menu key into WM_CONTEXTMENU;
                    // its release is taken by the menu's own loop.
                    show_keyboard_context_menu();
                    break;
                default:
                    break;
            }
            return 0;
        case NM_DBLCLK:
            open_row(row_at(reinterpret_cast<const NMITEMACTIVATE*>(header)->ptAction.y));
            return 0;
        case NM_RETURN:
            open_focused_row();
            return 0;
        case NM_RCLICK:
            show_context_menu(reinterpret_cast<const NMITEMACTIVATE*>(header)->ptAction);
            return TRUE;  // shown: no WM_CONTEXTMENU after it
        case LVN_ODFINDITEMA: {
            const NMLVFINDITEMA* find = reinterpret_cast<const NMLVFINDITEMA*>(header);
            return find->lvfi.psz ? find_typed_title(find->iStart, find->lvfi.flags, find->lvfi.psz) : -1;
        }
        case LVN_ODFINDITEMW: {
            // Some lists ask in UTF-16 even of a parent that takes 8-bit text.
            const NMLVFINDITEMW* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
            char typed[MAX_PATH] = "";
            if (!find->lvfi.psz ||
                !WideCharToMultiByte(CP_ACP, 0, find->lvfi.psz, -1, typed, sizeof typed, nullptr, nullptr)) {
                return -1;
            }
            return find_typed_title(find->iStart, find->lvfi.flags, typed);
        }
        default:
            return 0;
    }
}
