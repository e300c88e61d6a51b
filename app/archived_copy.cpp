// The command that opens a dead page's archived copy.
#include "app/archived_copy.h"

#include <windows.h>

#include <commctrl.h>

#include "app/app_state.h"
#include "app/list_view.h"
#include "browser/dde_client.h"
#include "collection/check_state.h"

namespace {

// The selected bookmark whose archived copy may be opened, or null.
const Bookmark* archived_selection() {
    HWND list = app_state->list_view;
    if (SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) != 1) return nullptr;
    const Bookmark* record = first_selected_record(list);
    if (!record || !record->archive) return nullptr;
    ShownState state = shown_state(record);
    return state == SHOWN_BROKEN || state == SHOWN_SUSPECT ? record : nullptr;
}

}  // namespace

bool can_open_archived_copy() { return archived_selection() != nullptr; }

void open_archived_copy() {
    const Bookmark* record = archived_selection();
    if (record) open_url(&app_state->browser_link, record->archive);
}
