// The help page: an HTML file that ships beside the program and opens in the
// user's web browser.
#pragma once

#include <windows.h>

// The help page's full path: lk-help.htm in the executable's directory.
void help_file_path(char path[MAX_PATH]);

// Opens the help page at its contents with the program the system uses for
// HTML files; tells the user when that cannot be done.
bool open_help_contents(HWND owner);
