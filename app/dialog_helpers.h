// Small services that several dialogs share: placing a dialog over its parent,
// the columns of a list in a dialog, and the shell's folder and file pickers.
#pragma once

#include <windows.h>

// Centres the dialog over its parent, or over the desktop work area when the
// parent is missing, hidden or minimised. Keeps the size and the Z order; the
// dialog stays within the work area.
void center_window(HWND dialog, HWND parent);

// A column of a list in a dialog; its width as at 96 dpi.
struct DialogListColumn {
    const char* title;
    int width;
};
// Check boxes, whole-row selection and the system's look for a report list in
// a dialog, and its columns at the dialog's scale.
void set_up_check_list(HWND list, const DialogListColumn* columns, int count);

// The shell's folder browser, opened on the folder named in the buffer (one
// trailing "\" or "/" is cut from the buffer first). Returns 1 and puts the
// chosen folder into the buffer on OK, else 0.
int choose_folder(HWND owner, const char* title, char folder[MAX_PATH]);

// The open-file dialog: filter is pairs of zero-terminated texts ending in an
// extra zero (the first pair is selected), file holds the starting name and
// receives the chosen one. True when a file was chosen.
bool browse_for_file(HWND owner, const char* filter, const char* caption, const char* default_extension,
                     char file[MAX_PATH]);
// The save-file dialog with the same fields; the number of the filter chosen
// (1 for the first) goes to *chosen_filter when it is given.
bool browse_for_save_file(HWND owner, const char* filter, const char* caption, const char* default_extension,
                          char file[MAX_PATH], DWORD* chosen_filter = nullptr);
