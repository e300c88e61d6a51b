// The Options property sheet: General, Startup and Browser pages working on
// the live options and the browser choice of the application state.
#pragma once

#include <windows.h>

#include "app/app_state.h"

// Runs the sheet modally over the frame on the options block and on
// app_state->browser_link. Returns the PropertySheet result: 1 when closed
// with OK. Cancel leaves the options and the browser choice as they were.
INT_PTR show_options_sheet(HWND frame, Options* options);
