// The main window's side of status checking: a pass walks the bookmarks one
// URL at a time, handing each to the checker thread and storing its answers.
#pragma once

#include <cstdint>

// Starts a pass, or makes the running one take every bookmark again.
void start_checking();
// Posts the next URL to the checker thread, or ends the pass.
void check_next();
void stop_checking();
// Stores a checker report in every record with that URL and redraws their icons.
void apply_check_report(const char* url, uint32_t value);
// One minute of the frame's timer: starts a pass every check_interval minutes
// when automatic checking is on.
void count_check_minute();
