// The settings file lk.ini beside the executable: the options block and the
// browser profiles are read from it once at start-up and written back at close.
// Also the two registry helpers that the imports share.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/app_state.h"

// Sets app_state->settings_path to lk.ini in the executable's directory.
void init_settings_path();
// The executable's directory followed by name, cut to the path limit.
void file_beside_executable(const char* name, char buffer[MAX_PATH]);
// The executable's directory followed by "lk.htm".
void default_collection_path(char buffer[MAX_PATH]);

// True when the key has a non-empty value: an optional "-" and the decimal
// digits that follow it, anything after them ignored. *value is untouched on false.
bool read_int_setting(const char* section, const char* key, int32_t* value);
// The key's text cut to size; true when it is not empty.
bool read_string_setting(const char* section, const char* key, char* buffer, uint32_t size);
bool write_int_setting(const char* section, const char* key, int32_t value);
bool write_string_setting(const char* section, const char* key, const char* text);

// True unless "First Run" reads 0; marks the file so that the next start is not.
bool is_first_run();
// Takes the collection file's location from the older registry key once.
void import_legacy_settings();

// Fills options from the file (defaults for missing or empty keys), keeps the
// frame and columns on the desktop, then loads the browser profiles.
void load_settings(Options* options);
// Takes the frame's restored position, writes every key and the profiles.
// False when the "Browsers" section could not be written.
bool save_settings(Options* options);

// A frame that does not meet the desktop's work area goes back to CW_USEDEFAULT.
void fit_frame_to_work_area(Options* options);
// Columns wider together than the work area go back to 200 and 300.
void fit_columns_to_work_area(Options* options);

// Opens root\path followed directly by subkey (may be null) with full access.
bool open_registry_key(HKEY root, const char* path, const char* subkey, HKEY* key);
// True only for a REG_SZ value; buffer is always zero-terminated within size.
bool read_registry_string(HKEY key, const char* name, char* buffer, DWORD size);
