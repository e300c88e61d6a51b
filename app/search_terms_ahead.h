// The filter's site: and is:duplicate indexes, made ahead on a worker thread
// so that no keystroke pays for them: once the list is painted after start-up,
// and again whenever a URL changed in place made them due to be made anew.
#pragma once

#include <windows.h>

const UINT WM_SEARCH_TERMS = WM_USER + 4;

// At each idle pass: sets IDT_SEARCH_TERMS when the indexes are due and no
// worker is making them.
void make_search_terms_soon(HWND window);
// At IDT_SEARCH_TERMS, once the list is filled: copies the URLs and starts the worker.
void start_search_terms(HWND window);
// At WM_SEARCH_TERMS: takes what the worker made (LPARAM: its job).
void take_search_terms(LPARAM job);
