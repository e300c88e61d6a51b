// The main window's side of status checking: a pass hands the bookmarks'
// URLs to the checker (listed rows first) a few thousand ahead of its probes,
// and stores the results that come back in batches.
#pragma once

#include <windows.h>

#include <cstdint>

// Posted by a checker worker to the main window, 0, 0: results are waiting.
// One message per batch: the next comes once these have been taken.
const UINT WM_CHECK_RESULTS = WM_USER + 2;

// Makes the checker the passes use, with the options' limits.
void create_checker();
// Applies changed options to the checker.
void apply_check_limits();
// Begins a pass over every bookmark; a running pass is ended first, and its
// probes in flight are abandoned.
void start_checking();
// At start-up: continues the pass the last close cut short, with the
// bookmarks it had not reached, or begins a new one.
void resume_checking();
// Ends the pass at once; bookmarks being probed are left as they were.
void stop_checking();
// At close: ends the pass and the checker's workers (their probes are
// aborted, so this does not wait for any server).
void release_checker();
// WM_CHECK_RESULTS: the results are taken a moment later, so that a burst of
// them is stored, and the list redrawn, once.
void note_check_results();
// The results timer: stores the results in every record with their URLs,
// redraws the changed rows that show, hands the checker more URLs, and shows
// the pass's progress or ends it. A pass the checker found offline stops with
// every bookmark as it was and says so.
void take_check_results();
// One minute of the frame's timer: starts a pass every check_interval minutes
// when automatic checking is on.
void count_check_minute();
// "4,210": a count with thousands separators.
void format_count(uint32_t count, char* text, size_t size);
