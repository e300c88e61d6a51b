// Opening the help page.
#include "app/help.h"

#include <shellapi.h>

#include "platform/message_box.h"
#include "platform/module_path.h"

void help_file_path(char path[MAX_PATH]) { file_beside_executable("lk-help.htm", path); }

bool open_help_contents(HWND owner) {
    char path[MAX_PATH];
    help_file_path(path);
    // ShellExecute reports success with a value above 32, and its error otherwise.
    bool opened = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES &&
                  reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", path, nullptr, nullptr, SW_SHOWNORMAL)) > 32;
    if (!opened) report_failure("Unable to open the Ravozorizi help file", path, GetLastError());
    return opened;
}
