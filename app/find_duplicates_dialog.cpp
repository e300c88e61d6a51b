// Find Duplicates: the groups of bookmarks of one page, one row each with a
// blank row between groups; the ticked row of a group is the one kept.
#include "app/find_duplicates_dialog.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/dialog_helpers.h"
#include "app/local_dates.h"
#include "app/resource.h"
#include "app/status_text.h"
#include "app/undo_commands.h"
#include "checker/host_ascii.h"
#include "collection/collection.h"
#include "collection/duplicates.h"
#include "platform/message_box.h"

namespace {

const int kNoGroup = -1;  // the blank row between two groups

struct DuplicatesDialog {
    std::vector<DuplicateGroup> groups;
    std::vector<Bookmark*> row_record;  // null for a blank row
    std::vector<int> row_group;
    std::vector<Bookmark*> keepers;  // per group, on OK; null: left alone
    bool ticking;                    // the dialog itself is setting ticks
};

DuplicatesDialog* dialog_data(HWND dialog) {
    return reinterpret_cast<DuplicatesDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

HWND list_of(HWND dialog) { return GetDlgItem(dialog, IDC_DUP_LIST); }

void add_row(HWND list, DuplicatesDialog* data, Bookmark* record, int group) {
    const int row = static_cast<int>(data->row_record.size());
    data->row_record.push_back(record);
    data->row_group.push_back(group);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(record ? record->title : "");
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    // A blank row has no check box.
    if (!record) {
        ListView_SetItemState(list, row, INDEXTOSTATEIMAGEMASK(0), LVIS_STATEIMAGEMASK);
        return;
    }
    ListView_SetItemText(list, row, 1, record->url);
    std::string added = short_date(record->added);
    ListView_SetItemText(list, row, 2, &added[0]);
}

void tick_keepers(HWND dialog, KeeperRule rule) {
    DuplicatesDialog* data = dialog_data(dialog);
    data->ticking = true;
    for (size_t row = 0; row < data->row_record.size(); row++) {
        const Bookmark* record = data->row_record[row];
        if (!record) continue;
        const bool keep = choose_keeper(data->groups[static_cast<size_t>(data->row_group[row])], rule) == record;
        ListView_SetCheckState(list_of(dialog), static_cast<int>(row), keep);
    }
    data->ticking = false;
}

BOOL on_init_dialog(HWND dialog, DuplicatesDialog* data) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
    center_window(dialog, GetParent(dialog));
    HWND list = list_of(dialog);
    const DialogListColumn columns[] = {{"Title", 170}, {"URL", 230}, {"Added", 80}};
    set_up_check_list(list, columns, 3);
    size_t bookmarks = 0;
    for (size_t g = 0; g < data->groups.size(); g++) {
        if (g > 0) add_row(list, data, nullptr, kNoGroup);
        for (Bookmark* record : data->groups[g]) add_row(list, data, record, static_cast<int>(g));
        bookmarks += data->groups[g].size();
    }
    char summary[160];
    snprintf(summary, sizeof summary, "%s in %u %s of the same page",
             bookmark_count(static_cast<uint32_t>(bookmarks)).c_str(), static_cast<unsigned>(data->groups.size()),
             data->groups.size() == 1 ? "group" : "groups");
    SetDlgItemTextA(dialog, IDC_DUP_SUMMARY, summary);
    tick_keepers(dialog, KEEP_OLDEST);
    return TRUE;
}

// A tick picks the row's bookmark as its group's keeper: the group's other
// rows lose theirs. A blank row never keeps one.
void on_item_changed(HWND dialog, const NMLISTVIEW* change) {
    DuplicatesDialog* data = dialog_data(dialog);
    if (data->ticking || !(change->uChanged & LVIF_STATE) || change->iItem < 0 ||
        static_cast<size_t>(change->iItem) >= data->row_record.size() ||
        (change->uNewState & LVIS_STATEIMAGEMASK) != INDEXTOSTATEIMAGEMASK(2)) {
        return;
    }
    HWND list = list_of(dialog);
    const int group = data->row_group[static_cast<size_t>(change->iItem)];
    data->ticking = true;
    if (group == kNoGroup) {
        ListView_SetItemState(list, change->iItem, INDEXTOSTATEIMAGEMASK(0), LVIS_STATEIMAGEMASK);
    } else {
        for (size_t row = 0; row < data->row_group.size(); row++) {
            if (data->row_group[row] == group && static_cast<int>(row) != change->iItem) {
                ListView_SetCheckState(list, static_cast<int>(row), FALSE);
            }
        }
    }
    data->ticking = false;
}

void on_ok(HWND dialog) {
    DuplicatesDialog* data = dialog_data(dialog);
    data->keepers.assign(data->groups.size(), nullptr);
    size_t deleted = 0;
    for (size_t row = 0; row < data->row_record.size(); row++) {
        if (data->row_record[row] && ListView_GetCheckState(list_of(dialog), static_cast<int>(row))) {
            const size_t group = static_cast<size_t>(data->row_group[row]);
            data->keepers[group] = data->row_record[row];
            deleted += data->groups[group].size() - 1;
        }
    }
    if (deleted == 0) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    const std::string question =
        "Delete " + bookmark_count(deleted) + "?\n\nThe keywords of each join the Linkstone kept of its group.";
    if (MessageBoxA(dialog, question.c_str(), APP_NAME, MB_YESNO | MB_ICONQUESTION) == IDYES) EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK duplicates_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            return on_init_dialog(dialog, reinterpret_cast<DuplicatesDialog*>(lparam));
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
            if (header->idFrom == IDC_DUP_LIST && header->code == LVN_ITEMCHANGED) {
                on_item_changed(dialog, reinterpret_cast<const NMLISTVIEW*>(lparam));
            }
            return FALSE;
        }
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDC_DUP_OLDEST:
                    tick_keepers(dialog, KEEP_OLDEST);
                    return TRUE;
                case IDC_DUP_NEWEST:
                    tick_keepers(dialog, KEEP_NEWEST);
                    return TRUE;
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

void find_duplicates_command(HWND parent) {
    DuplicatesDialog data = {find_duplicates(app_state->collection.records, host_ascii), {}, {}, {}, false};
    if (data.groups.empty()) {
        app_message_box(nullptr, "No two Ravozorizi are of the same page.", MB_ICONINFORMATION);
        return;
    }
    if (DialogBoxParamA(app_instance, MAKEINTRESOURCEA(IDD_FIND_DUPLICATES), parent, duplicates_dialog_proc,
                        reinterpret_cast<LPARAM>(&data)) != IDOK) {
        return;
    }
    Collection* collection = &app_state->collection;
    // No row may be left pointing at a deleted record.
    empty_list_rows();
    PtrVector* kept = vec_create();
    size_t deleted = 0;
    begin_undoable_change();
    for (size_t g = 0; g < data.groups.size(); g++) {
        if (!data.keepers[g]) continue;
        for (const Bookmark* record : data.groups[g]) note_undoable_record(record);
        merge_duplicates(collection, data.groups[g], data.keepers[g]);
        deleted += data.groups[g].size() - 1;
        vec_append(kept, data.keepers[g]);
    }
    end_undoable_change("Remove " + bookmark_count(static_cast<uint32_t>(deleted), "Duplicate"));
    list_again(kept);
    vec_destroy(kept);
}
