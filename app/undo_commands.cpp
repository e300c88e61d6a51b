// Undo over the collection's history of changes, and the list made again
// after a change.
#include "app/undo_commands.h"

#include <windows.h>

#include <commctrl.h>

#include <unordered_set>

#include "app/app_state.h"
#include "app/list_view.h"
#include "app/live_filter.h"
#include "app/status_text.h"
#include "collection/undo_history.h"

UndoHistory* undo_history() {
    if (!app_state->undo_history) app_state->undo_history = create_undo_history(UNDO_STEPS_KEPT, UNDO_BYTES_KEPT);
    return app_state->undo_history;
}

void free_undo_history_of_app() {
    free_undo_history(app_state->undo_history);
    app_state->undo_history = nullptr;
}

void begin_undoable_change() { begin_undo_step(undo_history()); }

void note_undoable_record(const Bookmark* record) { note_undo_record(undo_history(), record); }

void end_undoable_change(const std::string& name) { end_undo_step(undo_history(), name.c_str()); }

void cancel_undoable_change() { cancel_undo_step(undo_history()); }

bool can_undo() {
    if (GetFocus() == app_state->filter_edit) return SendMessageA(app_state->filter_edit, EM_CANUNDO, 0, 0) != 0;
    return app_state->undo_history && last_undo_name(app_state->undo_history);
}

void undo_command() {
    if (GetFocus() == app_state->filter_edit) {
        SendMessageA(app_state->filter_edit, EM_UNDO, 0, 0);
        return;
    }
    if (!can_undo()) return;
    PtrVector* restored = vec_create();
    char name[200];
    switch (undo_last_step(undo_history(), &app_state->collection, restored, name, sizeof name)) {
        case UNDO_DONE:
            list_again(restored);
            set_status_text((std::string("Undid: ") + name).c_str(), 8000);
            break;
        case UNDO_CONFLICT:
            set_status_text("Nothing undone: a Linkstone added since has the same URL", 8000);
            break;
        default:
            break;
    }
    vec_destroy(restored);
}

void empty_list_rows() {
    SendMessageA(app_state->list_view, LVM_DELETEALLITEMS, 0, 0);
    forget_all_rows();
}

void list_again(const PtrVector* selected) {
    empty_list_rows();
    const PtrVector* all = app_state->collection.records;
    for (uint32_t i = 0; i < all->count; i++) static_cast<Bookmark*>(all->items[i])->flags &= ~BOOKMARK_LISTED;
    apply_search_filter();
    app_state->filter_dirty = 0;
    if (!selected || selected->count == 0) return;
    HWND list = app_state->list_view;
    std::unordered_set<const void*> wanted(selected->items, selected->items + selected->count);
    const PtrVector* rows = app_state->shown_records;
    int first = -1;
    for (uint32_t row = 0; row < rows->count; row++) {
        if (!wanted.count(rows->items[row])) continue;
        ListView_SetItemState(list, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
        if (first < 0) first = static_cast<int>(row);
    }
    if (first >= 0) focus_row(list, first);
}
