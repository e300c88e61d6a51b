// The settings file lk.ini in the program's data folder: the options block and the
// browser profiles are read from it once at start-up and written back at close.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/app_state.h"

// Chooses the folder of the program's files (beside the executable, or the
// user's application data folder when that cannot be written), points the
// settings file at lk.ini there, and converts one written in the ANSI code page.
void init_settings_path();
// That folder followed by "lk.htm".
void default_collection_path(char buffer[MAX_PATH]);

// True unless "First Run" reads 0; marks the file so that the next start is not.
bool is_first_run();
// Takes the collection file's location from the older registry key once.
void import_legacy_settings();

// Fills options from the file (defaults for missing or empty keys; the archive
// service's is checker/archive_lookup.h's), keeps the
// frame and columns on the desktop, then loads the browser profiles.
void load_settings(Options* options);
// Takes the frame's restored position, writes every key and the profiles.
// False when the "Browsers" section could not be written.
bool save_settings(Options* options);

// "Check Connections" outside 1 to 64 and a "Host Interval" above a minute
// go back to their defaults, 16 and 1 second.
void fit_check_limits(Options* options);
// A frame that does not meet the desktop's work area goes back to CW_USEDEFAULT.
void fit_frame_to_work_area(Options* options);
// Columns (shown or not) wider together than the work area go back to their
// default widths.
void fit_columns_to_work_area(Options* options);
