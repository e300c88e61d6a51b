// Status checking passes over the collection, fed to the checker's workers.
#include "app/status_checking.h"

#include <commctrl.h>

#include <cstdio>
#include <unordered_set>
#include <vector>

#include "app/app_state.h"
#include "app/list_view.h"
#include "app/resource.h"
#include "app/status_text.h"
#include "checker/next_check.h"
#include "checker/scheduler.h"
#include "collection/check_state.h"
#include "collection/collection.h"
#include "core/version.h"

namespace {

// URLs handed to the checker ahead of its probes: enough sites to keep every
// probe busy while each site waits its interval.
const uint32_t QUEUE_AHEAD = 4096;
const UINT RESULTS_DELAY_MS = 50;
// Stored URLs offered to the checker to ask whether the network works; it
// keeps a few on different sites.
const uint32_t WITNESSES_OFFERED = 16;
const char OFFLINE_TEXT[] = "No site answers: this computer seems to be offline. Checking stopped.";

ProbeSettings probe_settings;  // the checker keeps a pointer to the build text only

void post_results_ready(void* window) { PostMessageA(static_cast<HWND>(window), WM_CHECK_RESULTS, 0, 0); }

// Takes a record into the pass when it needs a check; a record already
// reached by a pass cut short at the last close is left out.
bool take(Bookmark* record) {
    if (!needs_check(record)) return false;
    if (app_state->check_since && record->last_check >= app_state->check_since) return false;
    record->flags |= BOOKMARK_CHECKED;
    app_state->check_taken++;
    checker_add(app_state->checker, record->url, archive_moment(record, now(&app_state->collection)));
    return true;
}

// Advances the pass's cursor until the checker holds QUEUE_AHEAD URLs or
// every bookmark has been reached. False when there is nothing left to take.
bool feed_checker() {
    uint32_t pending = checker_pending(app_state->checker);
    uint32_t room = pending < QUEUE_AHEAD ? QUEUE_AHEAD - pending : 0;
    const PtrVector* rows = app_state->shown_records;
    while (room && rows && app_state->check_next_row < rows->count) {
        if (take(static_cast<Bookmark*>(rows->items[app_state->check_next_row++]))) room--;
    }
    const PtrVector* records = app_state->collection.records;
    while (room && app_state->check_next_record < records->count) {
        if (take(static_cast<Bookmark*>(records->items[app_state->check_next_record++]))) room--;
    }
    bool more = app_state->check_next_record < records->count;
    if (!more) checker_add_done(app_state->checker);
    return more;
}

// Stores a result in the bookmark with its URL (in any letter case: the
// collection keeps one bookmark per URL).
void store_result(const CheckDone& done, uint32_t moment, std::unordered_set<const Bookmark*>* changed) {
    Bookmark* record = find_by_url(&app_state->collection, done.url);
    if (!record) return;
    store_check_result(record, &done.result, moment);
    if (record->flags & BOOKMARK_CHECKED) app_state->check_answered++;
    record->flags |= BOOKMARK_CHECKED;
    changed->insert(record);
}

// Only the rows on screen whose records changed are drawn again.
void redraw_changed_rows(const std::unordered_set<const Bookmark*>& changed) {
    HWND list = app_state->list_view;
    const PtrVector* rows = app_state->shown_records;
    if (!list || !rows || changed.empty()) return;
    uint32_t top = static_cast<uint32_t>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    uint32_t end = top + static_cast<uint32_t>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0)) + 1;
    for (uint32_t row = top; row < end && row < rows->count; row++) {
        if (changed.count(static_cast<const Bookmark*>(rows->items[row]))) {
            // The whole row: the Status cell changes with the icon.
            RECT bounds = {};
            bounds.left = LVIR_BOUNDS;
            if (SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds))) {
                InvalidateRect(list, &bounds, FALSE);
            }
        }
    }
}

void show_progress() {
    char taken[16], answered[16], rate[16], text[96];
    DWORD elapsed = GetTickCount() - app_state->check_began_tick;
    format_count(app_state->check_answered, answered, sizeof answered);
    format_count(app_state->check_taken, taken, sizeof taken);
    format_count(static_cast<uint32_t>(app_state->check_answered * 1000ull / (elapsed ? elapsed : 1)), rate,
                 sizeof rate);
    snprintf(text, sizeof text, "Checking %s of %s (%s a second)", answered, taken, rate);
    set_status_text(text, STATUS_FOREVER);
}

void begin_pass(uint32_t since) {
    if (!app_state->checker) return;  // nothing can be probed
    checker_begin_pass(app_state->checker);
    PtrVector* records = app_state->collection.records;
    const char* witnesses[WITNESSES_OFFERED];
    uint32_t offered = answered_urls(records, witnesses, WITNESSES_OFFERED);
    for (uint32_t i = 0; i < offered; i++) checker_add_witness(app_state->checker, witnesses[i]);
    for (uint32_t i = 0; i < records->count; i++) {
        static_cast<Bookmark*>(records->items[i])->flags &= ~BOOKMARK_CHECKED;
    }
    app_state->checking_active = 1;
    app_state->check_taken = app_state->check_answered = 0;
    app_state->check_next_row = app_state->check_next_record = 0;
    app_state->check_since = since;
    app_state->check_began_tick = GetTickCount();
    app_state->options.check_pass_started = since ? since : now(&app_state->collection);
    take_check_results();
}

}  // namespace

void create_checker() {
    probe_settings.version = APP_VERSION;
    probe_settings.build = LK_BUILD_TEXT;
    probe_settings.wait_seconds = PROBE_WAIT_SECONDS;
    CheckerSettings settings = {app_state->options.check_connections,
                                app_state->options.host_interval * 1000,
                                probe_settings,
                                post_results_ready,
                                app_state->main_window,
                                app_state->options.archive_service};
    app_state->checker = checker_create(&settings);
}

void apply_check_limits() {
    if (!app_state->checker) return;
    checker_set_limits(app_state->checker, app_state->options.check_connections,
                       app_state->options.host_interval * 1000);
}

void start_checking() { begin_pass(0); }

void resume_checking() { begin_pass(app_state->options.check_pass_started); }

void release_checker() {
    stop_checking();
    if (app_state->checker) checker_destroy(app_state->checker);
    app_state->checker = nullptr;
}

void stop_checking() {
    if (app_state->checker) checker_stop(app_state->checker);
    if (app_state->checking_active) set_status_text(nullptr, 0);
    app_state->checking_active = 0;
    app_state->check_minutes = 0;
    app_state->options.check_pass_started = 0;
}

void note_check_results() {
    if (app_state->check_results_due) return;
    app_state->check_results_due = 1;
    SetTimer(app_state->main_window, IDT_CHECK_RESULTS, RESULTS_DELAY_MS, nullptr);
}

void take_check_results() {
    KillTimer(app_state->main_window, IDT_CHECK_RESULTS);
    app_state->check_results_due = 0;
    std::vector<CheckDone> results;
    bool drained = checker_take(app_state->checker, &results);
    std::unordered_set<const Bookmark*> changed;
    uint32_t moment = now(&app_state->collection);
    for (CheckDone& done : results) {
        if (app_state->checking_active && done.result.verdict != VERDICT_OFFLINE) store_result(done, moment, &changed);
        free_check_done(&done);
    }
    redraw_changed_rows(changed);
    if (!app_state->checking_active) return;
    if (checker_offline(app_state->checker)) {
        // Nothing of this pass's failures is believed; the next pass tries again.
        stop_checking();
        set_status_text(OFFLINE_TEXT, STATUS_FOREVER);
        return;
    }
    if (!feed_checker() && drained && checker_pending(app_state->checker) == 0) {
        stop_checking();
    } else {
        show_progress();
    }
}

void count_check_minute() {
    if (++app_state->check_minutes < app_state->options.check_interval) return;
    app_state->check_minutes = 0;
    if (!app_state->checking_active && (app_state->options.option_flags & OPT_AUTO_STATUS_CHECK)) {
        start_checking();
    }
}

void format_count(uint32_t count, char* text, size_t size) {
    char digits[16];
    int length = snprintf(digits, sizeof digits, "%u", static_cast<unsigned>(count));
    size_t at = 0;
    for (int i = 0; i < length && at + 1 < size; i++) {
        if (i > 0 && (length - i) % 3 == 0 && at + 2 < size) text[at++] = ',';
        text[at++] = digits[i];
    }
    text[at] = '\0';
}
