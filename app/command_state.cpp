// Enabling of menu items, toolbar buttons and context menu items.
#include "app/command_state.h"

#include <windows.h>

#include <commctrl.h>

#include "app/app_state.h"
#include "app/archived_copy.h"
#include "app/list_view.h"
#include "app/resource.h"
#include "app/transferred_links.h"
#include "app/undo_commands.h"
#include "checker/next_check.h"
#include "collection/moved_addresses.h"

namespace {

int selected_count() { return static_cast<int>(SendMessageA(app_state->list_view, LVM_GETSELECTEDCOUNT, 0, 0)); }

bool filter_has_selection() {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(app_state->filter_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return end > start;
}

bool can_mark_visited() {
    if (selected_count() != 1) return false;
    const Bookmark* record = first_selected_record(app_state->list_view);
    return record && modified_since_visit(record->last_visit, record->last_modified);
}

}  // namespace

bool command_state(int command) {
    switch (command) {
        case IDM_QUIT:
        case IDM_CONTENTS:
        case IDM_ABOUT:
        case IDM_OPTIONS:
        case IDM_IMPORT:
        case IDM_SAVE:
        case IDM_IMPORT_FAVORITES:
        case IDM_IMPORT_BROWSER:
        case IDM_START_CHECKING:
        case IDM_DICTIONARY:
        case IDM_ADD:
        case IDM_FAST_ADD:
            return true;
        case IDM_DELETE:
            return selected_count() >= 1;
        case IDM_PROPERTIES:
        case IDM_OPEN:
        case IDM_COPY_URL:
            return selected_count() == 1;
        case IDM_EXPORT:
            return app_state->collection.records->count > 0;
        case IDM_MARK_VISITED:
            return can_mark_visited();
        case IDM_OPEN_ARCHIVED:
            return can_open_archived_copy();
        case IDM_STOP_CHECKING:
            return app_state->checking_active != 0;
        case IDM_IMPORT_REPORT:
            return app_state->last_import != nullptr;
        case IDM_COPY:
            if (GetFocus() == app_state->filter_edit) return filter_has_selection();
            return selected_count() == 1;
        case IDM_UNDO:
            return can_undo();
        case IDM_FIND_DUPLICATES:
            return app_state->collection.records->count > 1;
        case IDM_UPDATE_MOVED:
            return !moved_records(app_state->collection.records).empty();
        case IDM_PASTE:
            if (GetFocus() == app_state->filter_edit) return IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
            return clipboard_holds_links();
        default:
            // The header's menu: Title is always shown.
            return command > IDM_SHOW_COLUMN && command <= IDM_SHOW_COLUMN_LAST;
    }
}
