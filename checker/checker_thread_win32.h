// The status checker thread: it probes one URL at a time for the main window
// and reports by sent messages, so that every record is touched only on the
// main thread.
#pragma once

#include <windows.h>

#include "checker/http_request.h"

// Sent by the thread to the main window. wParam: the URL (the thread's copy,
// valid during the call); lParam: the value to store in its low 32 bits, as a
// signed number: a date, -1 (DATE_BROKEN), -2 (DATE_UNSET) or -3
// (DATE_CHECKING, the check of the URL has begun).
const UINT WM_CHECKER_REPORT = WM_USER + 2;
// Posted by the main window to the thread. wParam: a malloc'd copy of the URL,
// which the thread owns and frees; lParam: 0.
const UINT WM_CHECKER_URL = WM_USER + 3;
// Sent by the thread to the main window, 0, 0: ready for the next URL. Sent
// once when the thread starts and after every report of a value.
const UINT WM_CHECKER_READY = WM_USER + 4;

struct CheckerStart {
    HWND main_window;
    ProbeSettings probe;
};

// The thread's body; start is a CheckerStart that outlives the thread. Ends,
// returning 0, when the thread receives WM_QUIT.
DWORD WINAPI checker_thread_main(void* start);

// Starts the thread at idle priority. Returns its handle, which the caller
// closes, and stores its id; null when it cannot start.
HANDLE start_checker_thread(const CheckerStart* start, DWORD* thread_id);
