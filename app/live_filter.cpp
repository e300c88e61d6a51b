// Filtering the list from the search filter box, and the idle refresh.
#include "app/live_filter.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/app_state.h"
#include "app/command_state.h"
#include "app/list_view.h"
#include "app/resource.h"
#include "app/search_terms_ahead.h"
#include "app/status_text.h"
#include "core/utf8.h"
#include "platform/message_box.h"
#include "search/search_eval.h"
#include "search/search_filter.h"

namespace {

const int kToolbarCommands[] = {IDM_FAST_ADD, IDM_ADD, IDM_PROPERTIES, IDM_DELETE};

int list_count() { return static_cast<int>(SendMessageA(app_state->list_view, LVM_GETITEMCOUNT, 0, 0)); }

// Adds rows for the given records (only those not listed yet, when asked)
// and sorts the list; the selection stays with its bookmarks.
// The list holds no rows of its own (owner data): nothing is drawn while the
// rows change, and turning redrawing off and on again only cost a repaint.
void refill_list(const PtrVector* records, bool only_unlisted) {
    HWND list = app_state->list_view;
    KeptSelection kept = remember_selection(list);
    if (!only_unlisted) {
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        forget_all_rows();
        const PtrVector* all = app_state->collection.records;
        for (uint32_t i = 0; i < all->count; i++) static_cast<Bookmark*>(all->items[i])->flags &= ~BOOKMARK_LISTED;
    }
    for (uint32_t i = 0; i < records->count; i++) {
        Bookmark* record = static_cast<Bookmark*>(records->items[i]);
        if (!only_unlisted || !(record->flags & BOOKMARK_LISTED)) insert_bookmark_row(list, record);
    }
    sort_list(list);
    show_rows(list);
    restore_selection(list, &kept);
}

bool list_shows_exactly(const PtrVector* result) {
    if (static_cast<uint32_t>(list_count()) != result->count) return false;
    for (uint32_t i = 0; i < result->count; i++) {
        if (!(static_cast<Bookmark*>(result->items[i])->flags & BOOKMARK_LISTED)) return false;
    }
    return true;
}

void show_result(const PtrVector* result) {
    if (!list_shows_exactly(result)) refill_list(result, false);
}

std::vector<char> filter_text(DWORD* caret) {
    HWND edit = app_state->filter_edit;
    int length = GetWindowTextLengthA(edit);
    std::vector<char> text(static_cast<size_t>(length) + 1);
    GetWindowTextA(edit, text.data(), length + 1);
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(caret), reinterpret_cast<LPARAM>(&end));
    // The box counts characters, the search bytes of UTF-8.
    *caret = static_cast<DWORD>(utf8_offset_of_utf16(text.data(), *caret));
    return text;
}

void set_pane_text(int pane, const char* text) {
    HWND bar = app_state->status_bar;
    char shown[256] = "";
    if (LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, pane, 0)) < static_cast<int>(sizeof shown)) {
        SendMessageA(bar, SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(shown));
    }
    if (strcmp(shown, text) != 0) SendMessageA(bar, SB_SETTEXTA, pane, reinterpret_cast<LPARAM>(text));
}

void refresh_status_bar() {
    if (app_state->search_error) {
        set_pane_text(0, search_error_text(static_cast<SearchStatus>(app_state->search_error)));
        set_pane_text(1, "Ravozorizi ???");
        app_state->shown_count = -1;
        return;
    }
    int count = list_count();
    if (count != app_state->shown_count) {
        set_pane_text(1, count == 0 ? "No Ravozorizi" : bookmark_count(static_cast<uint32_t>(count)).c_str());
        app_state->shown_count = count;
    }
    DWORD expiry = app_state->status_expiry;
    if (expiry != STATUS_FOREVER && GetTickCount() >= expiry) set_status_text(nullptr, STATUS_FOREVER);
}

void refresh_toolbar() {
    for (int command : kToolbarCommands) {
        SendMessageA(app_state->toolbar, TB_ENABLEBUTTON, static_cast<WPARAM>(command),
                     MAKELPARAM(command_state(command), 0));
    }
}

}  // namespace

void apply_search_filter() {
    DWORD caret = 0;
    std::vector<char> text = filter_text(&caret);
    const Collection& collection = app_state->collection;
    if (!prepare_filter_text(text.data())) {
        // An empty filter is no error, whatever the text before it was.
        bool was_error = app_state->search_error != 0;
        app_state->search_error = 0;
        bool refill = static_cast<uint32_t>(list_count()) != collection.records->count;
        if (refill) refill_list(collection.records, true);
        if (refill || was_error) set_status_text(nullptr, 8000);
        return;
    }
    uint32_t flags = app_state->options.option_flags;
    SearchRequest request = {};
    request.index = collection.keyword_index;
    request.all_records = collection.records;
    request.expression = text.data();
    request.caret = static_cast<int32_t>(caret);
    request.partial_match = (flags & OPT_PARTIAL_MATCH) != 0;
    request.case_sensitive = (flags & OPT_CASE_SENSITIVE) != 0;
    request.implied_or = (flags & OPT_IMPLIED_OR) != 0;
    request.term_records = record_term_records;
    request.term_context = &app_state->record_terms;
    SearchStatus status = run_search(&request);
    if (status == SEARCH_FAULT) {
        application_error("unknown search node");
        return;
    }
    if (status != SEARCH_OK) {
        app_state->search_error = status;
        set_status_text(search_error_text(status), STATUS_FOREVER);
        return;
    }
    tidy_search_hint(request.hint, request.case_sensitive);
    set_status_text(request.hint && request.hint[0] ? request.hint : "No Matches", STATUS_FOREVER);
    app_state->search_error = 0;
    show_result(request.result);
    vec_destroy(request.result);
    free(request.hint);
}

void idle_update() {
    if (app_state->filter_dirty) {
        apply_search_filter();
        app_state->filter_dirty = 0;
    }
    refresh_status_bar();
    refresh_toolbar();
    make_search_terms_soon(app_state->main_window);
}
