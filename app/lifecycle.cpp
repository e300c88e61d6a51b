// Start-up, close and release.
#include "app/lifecycle.h"

#include <commctrl.h>

#include <cstdlib>

#include "app/app_state.h"
#include "app/browser_imports.h"
#include "app/collection_files.h"
#include "app/dpi.h"
#include "app/frame.h"
#include "app/import_reports.h"
#include "app/list_columns.h"
#include "app/list_view.h"
#include "app/rescans.h"
#include "app/settings.h"
#include "app/status_checking.h"
#include "app/status_text.h"
#include "app/undo_commands.h"
#include "browser/dde_client.h"
#include "checker/host_ascii.h"
#include "platform/message_box.h"
#include "search/keyword_index.h"

namespace {

void fail_start(const char* message) {
    app_message_box(nullptr, message, MB_ICONINFORMATION);
    free_collection(&app_state->collection);
    free(app_state);
    app_state = nullptr;
}

}  // namespace

bool initialise_app(HINSTANCE instance, int show) {
    app_state = static_cast<AppState*>(calloc(1, sizeof(AppState)));
    app_instance = instance;
    init_settings_path();
    find_app_data_folders();
    bool first_run = is_first_run();
    if (first_run) import_legacy_settings();
    app_state->collection = create_collection();
    app_state->record_terms = create_record_terms(&app_state->collection, host_ascii);
    set_status_text("Please Wait, Initializing Browser...", 1000);
    if (!start_dde(&app_state->browser_link)) {
        app_message_box(nullptr, "Unable to initialize conversation with Browser", MB_ICONINFORMATION);
    }
    load_settings(&app_state->options);
    if (!app_state->collection.keyword_index) {
        fail_start("Unable to create Linkstone Index");
        return false;
    }
    if (!register_frame_class(instance) || !create_frame(instance, show)) {
        fail_start("Unable to create Ravozorizi Window");
        return false;
    }
    InvalidateRect(app_state->main_window, nullptr, TRUE);
    UpdateWindow(app_state->main_window);
    read_collection_at_startup();
    make_url_sort_keys_soon(app_state->main_window);
    if (app_state->options.option_flags & OPT_AUTO_LAUNCH_BROWSER) launch_browser(&app_state->browser_link, true);
    run_startup_rescans(first_run);
    create_checker();
    if (app_state->options.option_flags & OPT_AUTO_STATUS_CHECK) {
        resume_checking();
    } else {
        app_state->options.check_pass_started = 0;
    }
    return true;
}

namespace {

void save_settings_shown() {
    take_list_columns(&app_state->options);
    if (!save_settings(&app_state->options)) {
        app_message_box(nullptr, "Unable to save Options", MB_ICONINFORMATION);
    }
}

}  // namespace

void save_files_at_session_end() {
    save_collection_at_session_end();
    save_settings_shown();
}

void close_frame() {
    if (!save_collection_before_closing()) return;
    save_settings_shown();
    DestroyWindow(app_state->main_window);
    PostQuitMessage(0);
}

void release_app() {
    // Probes in flight are aborted, not awaited: a silent server would hold
    // the close for its whole deadline.
    release_checker();
    forget_import_report();
    free_undo_history_of_app();
    free_record_terms(&app_state->record_terms);
    free_collection(&app_state->collection);
    end_dde(&app_state->browser_link);
    free(app_state);
    app_state = nullptr;
}
