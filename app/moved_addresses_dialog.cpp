// Update Moved Addresses: one row per moved bookmark, its tick saying whether
// it takes its new address.
#include "app/moved_addresses_dialog.h"

#include <commctrl.h>

#include <vector>

#include "app/app_state.h"
#include "app/dialog_helpers.h"
#include "app/resource.h"
#include "app/status_text.h"
#include "app/undo_commands.h"
#include "collection/check_state.h"
#include "collection/collection.h"
#include "collection/moved_addresses.h"
#include "platform/message_box.h"

namespace {

struct MovedDialog {
    std::vector<Bookmark*> moved;     // a row each, in this order
    std::vector<Bookmark*> followed;  // the ticked ones, on OK
};

BOOL on_init_dialog(HWND dialog, MovedDialog* data) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
    center_window(dialog, GetParent(dialog));
    HWND list = GetDlgItem(dialog, IDC_MOVED_LIST);
    const DialogListColumn columns[] = {{"Title", 140}, {"URL", 170}, {"New Address", 180}};
    set_up_check_list(list, columns, 3);
    for (size_t i = 0; i < data->moved.size(); i++) {
        Bookmark* record = data->moved[i];
        const int row = static_cast<int>(i);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = record->title;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ListView_SetItemText(list, row, 1, record->url);
        ListView_SetItemText(list, row, 2, record->moved_to);
        ListView_SetCheckState(list, row, offers_new_address(record->url, record->moved_to));
    }
    return TRUE;
}

void on_ok(HWND dialog) {
    MovedDialog* data = reinterpret_cast<MovedDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    HWND list = GetDlgItem(dialog, IDC_MOVED_LIST);
    for (size_t i = 0; i < data->moved.size(); i++) {
        if (ListView_GetCheckState(list, static_cast<int>(i))) data->followed.push_back(data->moved[i]);
    }
    EndDialog(dialog, data->followed.empty() ? IDCANCEL : IDOK);
}

INT_PTR CALLBACK moved_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            return on_init_dialog(dialog, reinterpret_cast<MovedDialog*>(lparam));
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDOK:
                    on_ok(dialog);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace

void update_moved_command(HWND parent) {
    MovedDialog data = {moved_records(app_state->collection.records), {}};
    if (data.moved.empty()) {
        app_message_box(nullptr, "No Linkstone has a new address.", MB_ICONINFORMATION);
        return;
    }
    if (DialogBoxParamA(app_instance, MAKEINTRESOURCEA(IDD_MOVED_ADDRESSES), parent, moved_dialog_proc,
                        reinterpret_cast<LPARAM>(&data)) != IDOK) {
        return;
    }
    // A bookmark whose new address another has joins that one and is deleted:
    // no row may be left pointing at it.
    empty_list_rows();
    PtrVector* updated = vec_create();
    begin_undoable_change();
    for (Bookmark* record : data.followed) {
        if (follow_moved_address(&app_state->collection, record, undo_history()) == FOLLOW_MOVED) {
            vec_append(updated, record);
        }
    }
    end_undoable_change("Update " + bookmark_count(static_cast<uint32_t>(data.followed.size()), "Moved"));
    list_again(updated);
    vec_destroy(updated);
}
