// Status checking passes, driven by the checker thread's reports.
#include "app/status_checking.h"

#include <windows.h>

#include <commctrl.h>

#include "app/app_state.h"
#include "app/list_view.h"
#include "checker/checker_thread_win32.h"
#include "checker/next_check.h"
#include "collection/collection.h"

namespace {

// The first listed row, in displayed order, whose record needs a check.
Bookmark* first_listed_needing_check() {
    HWND list = app_state->list_view;
    int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; row++) {
        Bookmark* record = row_record(list, row);
        if (record && needs_check(record)) return record;
    }
    return nullptr;
}

}  // namespace

void start_checking() {
    PtrVector* records = app_state->collection.records;
    for (uint32_t i = 0; i < records->count; i++) {
        static_cast<Bookmark*>(records->items[i])->flags &= ~BOOKMARK_CHECKED;
    }
    if (app_state->checking_active) return;
    app_state->checking_active = 1;
    check_next();
}

void check_next() {
    if (!app_state->checking_active) return;
    Bookmark* next = first_listed_needing_check();
    if (!next) next = first_needing_check(app_state->collection.records);
    if (!next) {
        stop_checking();
        return;
    }
    char* url = str_dup(next->url);
    if (!PostThreadMessageA(app_state->checker_thread_id, WM_CHECKER_URL, reinterpret_cast<WPARAM>(url), 0)) {
        free(url);
    }
}

void stop_checking() {
    app_state->checking_active = 0;
    app_state->check_minutes = 0;
}

void apply_check_report(const char* url, uint32_t value) {
    PtrVector* records = app_state->collection.records;
    for (uint32_t i = 0; i < records->count; i++) {
        Bookmark* record = static_cast<Bookmark*>(records->items[i]);
        if (compare_urls(record->url, url) != 0) continue;
        record->last_modified = value;
        record->flags |= BOOKMARK_CHECKED;
        redraw_item_icon(record);
    }
}

void count_check_minute() {
    if (++app_state->check_minutes < app_state->options.check_interval) return;
    app_state->check_minutes = 0;
    if (!app_state->checking_active && (app_state->options.option_flags & OPT_AUTO_STATUS_CHECK)) {
        start_checking();
    }
}
