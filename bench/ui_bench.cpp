// Measures the main window under real load: start-up (reading the collection
// file and filling and painting the list), a click on each column's header
// and a second one (the order reversed), with a thousand rows selected, and
// the time from a keystroke in the search filter to the repainted list, in
// process with the real frame; every column is shown.
// Usage: ui_bench [--checks] [--checking] [--browsers LOCAL ROAMING] COLLECTION_FILE [FILTER...]
// --checks: after start-up, every bookmark gets a check of one of
// the verdicts in turn (dates spread over a year), as a collection checked for
// a while has them, so that Status sorts as it would there.
// --checking: a status checking pass runs meanwhile, at the default limits,
// and its results are taken between the keystrokes as the main loop would.
// --browsers: a first start (give a COLLECTION_FILE that does not exist) that
// brings in the browsers' stores under those two application data folders.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app_state.h"
#include "app/collection_files.h"
#include "app/frame.h"
#include "app/list_columns.h"
#include "app/list_view.h"
#include "app/live_filter.h"
#include "app/rescans.h"
#include "app/status_checking.h"
#include "bench/stopwatch_win32.h"
#include "checker/host_ascii.h"
#include "checker/scheduler.h"
#include "collection/check_state.h"
#include "collection/collection.h"

namespace {

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// The main loop's work for a while: the checker's batches of results among it.
void run_loop_for(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        pump();
        Sleep(5);
    }
}

// The idle pass and the paint it causes, as the main loop runs them.
void idle_and_paint() {
    pump();
    idle_update();
    UpdateWindow(app_state->main_window);
    UpdateWindow(app_state->list_view);
}

// CPU time of this thread.
double thread_cpu_ms() {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    return cpu_milliseconds(kernel, user);
}

int list_rows() { return static_cast<int>(SendMessageA(app_state->list_view, LVM_GETITEMCOUNT, 0, 0)); }

// Each header clicked twice, as the user sorts by it and then reverses it;
// then five more pairs of clicks, whose mean is a steadier figure than one
// click on a busy machine (the first click on Title and URL also makes the
// columns' sort keys).
void sort_by_every_column() {
    HWND list = app_state->list_view;
    for (int row = 0; row < list_rows(); row += 100) ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    const int kRepeats = 5;
    for (int index = 0; index < app_state->list_column_count; index++) {
        double wall[2] = {}, cpu[2] = {};
        for (int click = 0; click < 2 * (1 + kRepeats); click++) {
            pump();  // what the main loop takes between clicks: the URL sort keys among it
            double clicked_cpu = thread_cpu_ms();
            LARGE_INTEGER clicked = clock_now();
            NMLISTVIEW header = {{list, 0, static_cast<UINT>(LVN_COLUMNCLICK)}, -1, index, 0, 0, 0, {0, 0}, 0};
            SendMessageA(app_state->main_window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
            UpdateWindow(list);
            if (click < 2) {
                printf("%s %s: %.1f ms to the painted list, %.1f ms CPU\n",
                       list_column_name(app_state->list_column_at[index]), click ? "reversed" : "sorted",
                       milliseconds_since(clicked), thread_cpu_ms() - clicked_cpu);
            } else {
                wall[click % 2] += milliseconds_since(clicked) / kRepeats;
                cpu[click % 2] += (thread_cpu_ms() - clicked_cpu) / kRepeats;
            }
        }
        printf("  then, in the mean: %.1f ms (%.1f ms CPU) and %.1f ms (%.1f ms CPU)\n", wall[0], cpu[0], wall[1],
               cpu[1]);
    }
}

void spread_checks() {
    const PtrVector* records = app_state->collection.records;
    for (uint32_t i = 0; i < records->count; i++) {
        const CheckVerdict verdict =
            static_cast<CheckVerdict>(VERDICT_DATED + i % (VERDICT_NOT_CHECKED - VERDICT_NONE));
        const uint32_t at = 1700000000 + (i * 7919u) % (365u * 86400u);
        CheckResult result = {verdict,         verdict == VERDICT_DATED ? at - 86400 : DATE_UNSET, 200, 0, nullptr,
                              CHECK_ERROR_NONE};
        store_check_result(static_cast<Bookmark*>(records->items[i]), &result, at);
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool checks = argc > 1 && strcmp(argv[1], "--checks") == 0;
    if (checks) {
        argv++;
        argc--;
    }
    bool checking = argc > 1 && strcmp(argv[1], "--checking") == 0;
    if (checking) {
        argv++;
        argc--;
    }
    const char* browsers[2] = {nullptr, nullptr};
    if (argc > 3 && strcmp(argv[1], "--browsers") == 0) {
        browsers[0] = argv[2];
        browsers[1] = argv[3];
        argv += 3;
        argc -= 3;
    }
    if (argc < 2) {
        fputs("usage: ui_bench [--checks] [--checking] [--browsers LOCAL ROAMING] COLLECTION_FILE [FILTER...]\n",
              stderr);
        return 2;
    }
    InitCommonControls();
    app_state = static_cast<AppState*>(calloc(1, sizeof(AppState)));
    app_instance = GetModuleHandleA(nullptr);
    Options& o = app_state->options;
    o.option_flags = OPT_PARTIAL_MATCH;
    for (int column = 0; column < LIST_COLUMN_COUNT; column++) {
        o.column_width[column] = column == COLUMN_URL ? 300 : default_column_width(column);
        o.shown_columns[column] = static_cast<int8_t>(column);
    }
    o.shown_column_count = LIST_COLUMN_COUNT;
    o.frame_x = o.frame_y = 0;
    o.frame_width = 900;
    o.frame_height = 700;
    lstrcpynA(o.collection_path, argv[1], sizeof o.collection_path);
    app_state->ui_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    app_state->collection = create_collection();
    app_state->record_terms = create_record_terms(&app_state->collection, host_ascii);

    double start_cpu = thread_cpu_ms();
    LARGE_INTEGER start = clock_now();
    register_frame_class(app_instance);
    create_frame(app_instance, SW_SHOWNORMAL);
    UpdateWindow(app_state->main_window);
    read_collection_at_startup();
    make_url_sort_keys_soon(app_state->main_window);
    if (browsers[0]) {
        lstrcpynA(app_state->local_app_data, browsers[0], MAX_PATH);
        lstrcpynA(app_state->roaming_app_data, browsers[1], MAX_PATH);
        run_startup_rescans(true);
    }
    double read_ms = milliseconds_since(start);
    idle_and_paint();
    double startup_ms = milliseconds_since(start);
    printf("bookmarks %u: read %.1f ms, start-up to painted list %.1f ms, %.1f ms CPU (%d rows)\n",
           app_state->collection.records->count, read_ms, startup_ms, thread_cpu_ms() - start_cpu, list_rows());
    // The search's site: and is:duplicate indexes, which the main loop has a
    // worker make in the first moments after the list is painted.
    while (app_state->search_terms_job != TERMS_JOB_NONE || record_terms_due(&app_state->record_terms)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
        idle_and_paint();
    }
    printf("search indexes made ahead %.1f ms after the painted list\n", milliseconds_since(start) - startup_ms);
    if (checks) spread_checks();
    sort_by_every_column();
    if (checking) {
        app_state->options.check_connections = CHECK_CONNECTIONS_DEFAULT;
        app_state->options.host_interval = 1;
        create_checker();
        start_checking();
        run_loop_for(2000);
    }

    for (int i = 2; i < argc; i++) {
        double typed_cpu = thread_cpu_ms();
        LARGE_INTEGER typed = clock_now();
        SetWindowTextA(app_state->filter_edit, argv[i]);
        SendMessageA(app_state->filter_edit, EM_SETSEL, strlen(argv[i]), strlen(argv[i]));
        pump();
        double edit_ms = milliseconds_since(typed);
        idle_update();
        double filter_ms = milliseconds_since(typed);
        UpdateWindow(app_state->main_window);
        UpdateWindow(app_state->list_view);
        printf("filter \"%s\": %.1f ms to the painted list, %.1f ms CPU (%d rows; edit %.1f, filter %.1f)\n", argv[i],
               milliseconds_since(typed), thread_cpu_ms() - typed_cpu, list_rows(), edit_ms, filter_ms);
        if (checking) {
            run_loop_for(500);
            printf("  checking: %u of %u answered\n", app_state->check_answered, app_state->check_taken);
        }
    }
    if (checking) stop_checking();
    DestroyWindow(app_state->main_window);
    free_record_terms(&app_state->record_terms);
    free_collection(&app_state->collection);
    return 0;
}
