// The application state: every window handle, the collection, the options and
// the flags that tie the parts of the program together. One instance, reached
// through app_state, lives from start-up to shutdown on the main thread.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>

#include "app/list_columns.h"
#include "browser/browser_link.h"
#include "collection/collection.h"
#include "collection/record_terms.h"

// Bits of Options::option_flags.
const uint32_t OPT_PARTIAL_MATCH = 0x001;
const uint32_t OPT_CASE_SENSITIVE = 0x002;
const uint32_t OPT_AUTO_LAUNCH_BROWSER = 0x008;
const uint32_t OPT_BACKUP_COLLECTION = 0x010;
const uint32_t OPT_IMPLIED_OR = 0x020;
const uint32_t OPT_TOOLTIPS = 0x040;
const uint32_t OPT_AUTO_RESCAN_BOOKMARKS = 0x080;
const uint32_t OPT_AUTO_RESCAN_FAVORITES = 0x100;
const uint32_t OPT_AUTO_STATUS_CHECK = 0x200;
const uint32_t OPT_CONFIRM_SINGLE_DELETES = 0x400;
const uint32_t OPT_CONFIRM_MULTIPLE_DELETES = 0x800;
const uint32_t OPT_AUTO_RESCAN_BROWSERS = 0x2000;

struct Checker;
struct ImportReport;
struct ListOrders;
struct UndoHistory;

struct Options {
    uint32_t option_flags;
    uint32_t check_interval;     // minutes
    uint32_t check_connections;  // probes at once, 1 to 64
    uint32_t host_interval;      // seconds between two requests to one site
    // When the checking pass still running at the last close began (0: none
    // was cut short): the next start with automatic checking continues it.
    uint32_t check_pass_started;
    int32_t column_width[LIST_COLUMN_COUNT];  // by ListColumn, shown or not
    // The shown columns (ListColumn) in display order; Title always among them.
    int8_t shown_columns[LIST_COLUMN_COUNT];
    uint32_t shown_column_count;
    int32_t frame_x, frame_y, frame_width, frame_height;  // CW_USEDEFAULT in all four: system's choice
    char collection_path[MAX_PATH];
    // The web archive's availability service that broken pages are looked up
    // in; a value that is not a web address (such as "none") looks up nothing.
    char archive_service[1024];
};

struct AppState {
    HWND main_window;
    HWND list_view;
    PtrVector* shown_records;  // Bookmark* of the list's rows, in displayed order
    ListOrders* list_orders;   // kept between refills; lives as long as the list
    HWND toolbar;
    HWND tooltip_control;
    HWND filter_edit;
    HWND status_bar;
    HIMAGELIST state_images;  // the list's, destroyed with it
    HIMAGELIST toolbar_images;
    HICON frame_icons[2];  // small and big, set on the frame with WM_SETICON
    UINT frame_dpi;        // the scale the frame's children are made for
    int32_t sort_column;   // a ListColumn
    uint32_t sort_descending;
    // The ListColumn of each of the list's own columns, by their index.
    int8_t list_column_at[LIST_COLUMN_COUNT];
    int32_t list_column_count;
    uint32_t search_error;  // the SearchStatus of the last filter run that failed; 0 (SEARCH_OK) after one that did not
    int32_t shown_count;
    Checker* checker;  // the status checks' probes, from start-up on
    uint32_t checking_active;
    // The running pass: bookmarks taken and answered, its cursor (the next
    // listed row, then the next record), which records it takes (those last
    // checked before check_since; 0: all), and when it began (for the rate).
    uint32_t check_taken, check_answered;
    uint32_t check_next_row, check_next_record;
    uint32_t check_since;
    DWORD check_began_tick;
    uint32_t check_results_due;  // the timer that takes the next batch is set
    uint32_t check_minutes;
    DWORD status_expiry;        // tick when a timed status text gives way to "Ready"
    HFONT ui_font;              // the frame children's
    Collection collection;      // records, records_by_url, keyword_index
    RecordTerms record_terms;   // the filter's site: and is: terms over `collection`
    uint32_t search_terms_job;  // a TermsJobStage: how far making its indexes ahead is
    Options options;
    BrowserLink browser_link;
    uint32_t filter_dirty;
    // The collection file existed but could not be read at start-up: saving
    // over it (or rotating it into the backup) needs the user's consent.
    uint32_t collection_unread;
    ImportReport* last_import;  // what the last import did, for the Import Report command; null before one
    UndoHistory* undo_history;  // the changes Undo takes back; null before the first
    // A recovery file the collection was restored from at start-up; removed
    // once the collection is saved.
    char recovery_path[MAX_PATH];
    // The child that had the focus when the frame was last deactivated.
    HWND focus_child;
    // The user's local and roaming application data folders, where today's
    // browsers keep their profiles; empty when the system names none.
    char local_app_data[MAX_PATH];
    char roaming_app_data[MAX_PATH];
};

enum TermsJobStage { TERMS_JOB_NONE, TERMS_JOB_SOON, TERMS_JOB_RUNNING };

const DWORD STATUS_FOREVER = 0xFFFFFFFFu;

extern AppState* app_state;
extern HINSTANCE app_instance;
