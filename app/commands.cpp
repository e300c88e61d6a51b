// The actions behind the command ids.
#include "app/commands.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "app/about_box.h"
#include "app/app_state.h"
#include "app/archived_copy.h"
#include "app/clipboard.h"
#include "app/collection_files.h"
#include "app/dialog_helpers.h"
#include "app/export.h"
#include "app/find_duplicates_dialog.h"
#include "app/help.h"
#include "app/import_browser_dialog.h"
#include "app/import_reports.h"
#include "app/keyword_dictionary_dialog.h"
#include "app/list_view.h"
#include "app/moved_addresses_dialog.h"
#include "app/options_sheet.h"
#include "app/properties_dialog.h"
#include "app/rescans.h"
#include "app/resource.h"
#include "app/status_checking.h"
#include "app/status_text.h"
#include "app/transferred_links.h"
#include "app/undo_commands.h"
#include "browser/dde_client.h"
#include "collection/collection.h"
#include "collection/favorites_import.h"
#include "platform/message_box.h"
#include "search/keyword_index.h"
#include "search/words.h"

namespace {

// Titles listed by name in the question before deleting several bookmarks.
const uint32_t kTitlesAsked = 10;

HWND frame() { return app_state->main_window; }
HWND list() { return app_state->list_view; }
Collection* collection() { return &app_state->collection; }

int selected_count() { return static_cast<int>(SendMessageA(list(), LVM_GETSELECTEDCOUNT, 0, 0)); }

// A status text made of a fixed lead and a URL or path, shown for 8 seconds.
void show_status(const char* lead, const char* detail) {
    char text[300];
    snprintf(text, sizeof text, "%s%s", lead, detail);
    set_status_text(text, 8000);
}

// A record made for the Add flow that the user cancelled.
void discard_record(Bookmark* record) {
    free(record->url);
    free(record->title);
    free(record);
}

void add_command() {
    char* url = nullptr;
    char* title = nullptr;
    Bookmark* record = nullptr;
    // Without a browser that tells its page, a link the user has copied is the likely one.
    if (get_current_page(&app_state->browser_link, &url, &title) || clipboard_link(&url, &title)) {
        record = find_by_url(collection(), url);
    }
    bool is_new = record == nullptr;
    char* keyword_text = nullptr;
    if (is_new) {
        record = new_record(collection());
        record->url = url;
        record->title = title;
        record->added = now(collection());
        if (title) keyword_text = make_keyword_text(collection()->keyword_index, title, true);
    } else {
        free(url);
        free(title);
    }
    if (!edit_bookmark_properties(record, &keyword_text, frame())) {
        if (is_new) discard_record(record);
        return;
    }
    if (is_new) insert_record(collection(), record);
    set_bookmark_keywords(collection(), record, keyword_text);
    free(keyword_text);
    if (!is_new) redraw_record_row(record);
    app_state->filter_dirty = 1;
}

void fast_add_command() {
    char* url = nullptr;
    char* title = nullptr;
    if (!get_current_page(&app_state->browser_link, &url, &title)) return;
    // A page without a title, or a reply without a URL the collection can
    // keep, gives no bookmark.
    url = tidy_url(url);
    if (!title || title[0] == '\0' || !is_storable_url(url)) {
        free(url);
        free(title);
        return;
    }
    if (find_by_url(collection(), url)) {
        show_status("Linkstone already exists: ", url);
        free(url);
        free(title);
        return;
    }
    Bookmark* record = new_record(collection());
    record->url = url;
    record->title = title;
    record->added = now(collection());
    record->last_visit = record->added;
    char* keyword_text = make_keyword_text(collection()->keyword_index, title, true);
    show_status("Linkstone added: ", url);
    insert_record(collection(), record);
    set_bookmark_keywords(collection(), record, keyword_text);
    free(keyword_text);
    app_state->filter_dirty = 1;
}

void properties_command() {
    Bookmark* record = first_selected_record(list());
    if (!record) return;
    char* keyword_text = nullptr;
    begin_undoable_change();
    note_undoable_record(record);
    if (!edit_bookmark_properties(record, &keyword_text, frame())) {
        cancel_undoable_change();
        return;
    }
    end_undoable_change("Edit Linkstone");
    redraw_record_row(record);
    set_bookmark_keywords(collection(), record, keyword_text);
    free(keyword_text);
    app_state->filter_dirty = 1;
}

void options_command() {
    Options& options = app_state->options;
    const uint32_t search_bits = OPT_CASE_SENSITIVE | OPT_PARTIAL_MATCH;
    uint32_t search_before = options.option_flags & search_bits;
    if (show_options_sheet(frame(), &options) != 1) return;
    if (app_state->tooltip_control) {
        SendMessageA(app_state->tooltip_control, TTM_ACTIVATE, (options.option_flags & OPT_TOOLTIPS) != 0, 0);
    }
    if ((options.option_flags & search_bits) != search_before) app_state->filter_dirty = 1;
    apply_check_limits();
}

void import_command() {
    char path[MAX_PATH] = "";
    if (!browse_for_file(frame(), HTML_FILES_FILTER, "Import Bookmarks", nullptr, path)) return;
    RedrawWindow(frame(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (read_bookmark_file_shown(path, true, begin_import_report())) show_import_counts();
}

void export_command() {
    if (selected_count() == 0) {
        export_bookmarks(collection()->records);
        return;
    }
    switch (ask_export_scope(frame(), "Export")) {
        case EXPORT_ALL:
            export_bookmarks(collection()->records);
            break;
        case EXPORT_SELECTED: {
            PtrVector* chosen = selected_records(list());
            export_bookmarks(chosen);
            vec_destroy(chosen);
            break;
        }
        default:
            break;
    }
}

void import_favorites_command() {
    char folder[MAX_PATH] = "";
    favorites_folder(folder);
    if (!choose_folder(frame(), "Directory of Favorites", folder)) return;
    set_status_text("Importing Favorites...", STATUS_FOREVER);
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    RedrawWindow(frame(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    import_favorites(collection(), folder, begin_import_report());
    app_state->filter_dirty = 1;
    show_import_counts();
    SetCursor(previous);
}

void open_command() {
    Bookmark* record = first_selected_record(list());
    if (record) open_bookmark(record);
}

void mark_visited_command() {
    PtrVector* chosen = selected_records(list());
    for (uint32_t i = 0; i < chosen->count; i++) mark_visited(static_cast<Bookmark*>(chosen->items[i]));
    vec_destroy(chosen);
}

void dictionary_command() {
    PtrVector* words = list_index_words(collection()->keyword_index);
    show_keyword_dictionary(frame(), (app_state->options.option_flags & OPT_CASE_SENSITIVE) != 0, words);
    vec_destroy(words);
}

void copy_url_command() {
    Bookmark* record = first_selected_record(list());
    if (record) copy_text_to_clipboard(frame(), record->url);
}

void select_all_command() {
    HWND focus = GetFocus();
    if (focus == app_state->filter_edit) {
        SendMessageA(focus, EM_SETSEL, 0, -1);
    } else if (focus == list()) {
        ListView_SetItemState(list(), -1, LVIS_SELECTED, LVIS_SELECTED);
    }
}

void copy_command() {
    if (GetFocus() == app_state->filter_edit) {
        SendMessageA(app_state->filter_edit, WM_COPY, 0, 0);
    } else {
        copy_url_command();
    }
}

void paste_command() {
    if (GetFocus() == app_state->filter_edit) {
        SendMessageA(app_state->filter_edit, WM_PASTE, 0, 0);
    } else {
        paste_links();
    }
}

// The question asked before deleting, or null when the options ask none.
char* deletion_question(const PtrVector* chosen) {
    uint32_t flags = app_state->options.option_flags;
    uint32_t count = chosen->count;
    TextBuffer question = tb_empty();
    if (count == 1 && (flags & OPT_CONFIRM_SINGLE_DELETES)) {
        const Bookmark* record = static_cast<const Bookmark*>(chosen->items[0]);
        tb_append_str(&question, "Are you sure you wish to delete this Linkstone?\n\n");
        tb_append_str(&question, record->title);
        tb_append_char(&question, '\n');
        tb_append_str(&question, record->url);
        tb_append_char(&question, '\n');
    } else if (count != 1 && (flags & OPT_CONFIRM_MULTIPLE_DELETES)) {
        char lead[80];
        snprintf(lead, sizeof lead, "Are you sure you wish to delete the following %u Ravozorizi?\n\n", count);
        tb_append_str(&question, lead);
        for (uint32_t i = 0; i < count && i < kTitlesAsked; i++) {
            tb_append_str(&question, static_cast<const Bookmark*>(chosen->items[i])->title);
            tb_append_char(&question, '\n');
        }
        if (count > kTitlesAsked) tb_append_str(&question, "and others...");
    }
    if (tb_length(question) == 0) return nullptr;
    return tb_take(&question);
}

bool deletion_confirmed(const PtrVector* chosen) {
    char* question = deletion_question(chosen);
    if (!question) return true;
    bool yes = app_message_box(nullptr, question, MB_YESNO | MB_ICONQUESTION) == IDYES;
    free(question);
    return yes;
}

void remove_selected_rows() {
    HWND view = list();
    SendMessageA(view, WM_SETREDRAW, FALSE, 0);
    int rows = static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
    for (int row = rows - 1; row >= 0; row--) {
        if (SendMessageA(view, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) {
            SendMessageA(view, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
        }
    }
    SendMessageA(view, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view, nullptr, TRUE);
}

}  // namespace

void delete_selected() {
    PtrVector* chosen = selected_records(list());
    // With nothing selected (the Delete key in an empty selection) there is
    // nothing to ask about.
    if (chosen->count != 0 && deletion_confirmed(chosen)) {
        int first = static_cast<int>(SendMessageA(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        remove_selected_rows();
        begin_undoable_change();
        for (uint32_t i = 0; i < chosen->count; i++) {
            Bookmark* record = static_cast<Bookmark*>(chosen->items[i]);
            note_undoable_record(record);
            delete_record(collection(), record);
        }
        end_undoable_change("Delete " + bookmark_count(chosen->count));
        // As in Explorer: the row that took the first deleted one's place.
        int rows = static_cast<int>(SendMessageA(list(), LVM_GETITEMCOUNT, 0, 0));
        if (rows > 0) focus_row(list(), first < rows ? first : rows - 1);
    }
    vec_destroy(chosen);
}

void open_bookmark(Bookmark* record) {
    // A page that did not reach the browser has not been seen: it keeps its
    // changed mark.
    if (open_url(&app_state->browser_link, record->url)) mark_visited(record);
}

void mark_visited(Bookmark* record) {
    uint32_t moment = now(collection());
    bool modified_ahead = is_real_date(record->last_modified) && moment <= record->last_modified;
    record->last_visit = modified_ahead ? record->last_modified : moment;
    redraw_record_row(record);
}

void run_command(int id, HWND /*control*/, UINT code) {
    if (id == IDC_SEARCH_FILTER) {
        if (code == EN_CHANGE) app_state->filter_dirty = 1;
        return;
    }
    switch (id) {
        case IDM_QUIT:
            SendMessageA(frame(), WM_CLOSE, 0, 0);
            break;
        case IDM_ADD:
            add_command();
            break;
        case IDM_DELETE:
            delete_selected();
            break;
        case IDM_CONTENTS:
            open_help_contents(frame());
            break;
        case IDM_ABOUT:
            show_about_box(frame());
            break;
        case IDM_PROPERTIES:
            properties_command();
            break;
        case IDM_OPTIONS:
            options_command();
            break;
        case IDM_IMPORT:
            import_command();
            break;
        case IDM_SAVE:
            save_collection_file();
            break;
        case IDM_EXPORT:
            export_command();
            break;
        case IDM_FAST_ADD:
            fast_add_command();
            break;
        case IDM_OPEN:
            open_command();
            break;
        case IDM_OPEN_ARCHIVED:
            open_archived_copy();
            break;
        case IDM_MARK_VISITED:
            mark_visited_command();
            break;
        case IDM_IMPORT_FAVORITES:
            import_favorites_command();
            break;
        case IDM_IMPORT_BROWSER:
            import_from_browser(frame());
            break;
        case IDM_IMPORT_REPORT:
            show_import_report();
            break;
        case IDM_START_CHECKING:
            start_checking();
            break;
        case IDM_STOP_CHECKING:
            stop_checking();
            break;
        case IDM_DICTIONARY:
            dictionary_command();
            break;
        case IDM_COPY_URL:
            copy_url_command();
            break;
        case IDM_COPY:
            copy_command();
            break;
        case IDM_PASTE:
            paste_command();
            break;
        case IDM_SELECT_ALL:
            select_all_command();
            break;
        case IDM_UNDO:
            undo_command();
            break;
        case IDM_FIND_DUPLICATES:
            find_duplicates_command(frame());
            break;
        case IDM_UPDATE_MOVED:
            update_moved_command(frame());
            break;
        default:
            break;
    }
}
