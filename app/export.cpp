// Export to a file the user names, and the scope dialog.
#include "app/export.h"

#include <commdlg.h>

#include <cstdio>
#include <cstdlib>

#include "app/app_state.h"
#include "app/dialog_helpers.h"
#include "app/resource.h"
#include "app/status_text.h"
#include "collection/collection_file.h"
#include "collection/folder_tree_file.h"
#include "platform/message_box.h"

const char HTML_FILES_FILTER[] = "HTML Files (*.htm,*.html)\0*.htm;*.html\0All Files (*.*)\0*.*\0";

namespace {

// The second type writes the folder tree for browsers to import; the first,
// the program's own format, stays the one chosen at first.
const char kExportFilter[] =
    "HTML Files (*.htm,*.html)\0*.htm;*.html\0"
    "HTML Files with Folders, for Browsers (*.htm,*.html)\0*.htm;*.html\0"
    "All Files (*.*)\0*.*\0";
const DWORD kFolderTreeFilter = 2;

bool ask_export_path(char path[MAX_PATH], bool* with_folders) {
    path[0] = '\0';
    DWORD filter = 1;
    const bool chosen =
        browse_for_save_file(app_state->main_window, kExportFilter, "Export Ravozorizi", "htm", path, &filter);
    *with_folders = filter == kFolderTreeFilter;
    return chosen;
}

// Uses the control's template text as a format with the verb as its argument.
void format_item_text(HWND dialog, int id, const char* verb) {
    char format[256];
    char text[256 + 64];
    GetDlgItemTextA(dialog, id, format, sizeof format);
    wsprintfA(text, format, verb);
    SetDlgItemTextA(dialog, id, text);
}

BOOL scope_on_init(HWND dialog, const char* verb) {
    char format[256];
    char caption[256 + 64];
    GetWindowTextA(dialog, format, sizeof format);
    wsprintfA(caption, format, verb);
    SetWindowTextA(dialog, caption);
    format_item_text(dialog, IDC_SCOPE_ALL, verb);
    format_item_text(dialog, IDC_SCOPE_SELECTED, verb);
    CheckRadioButton(dialog, IDC_SCOPE_ALL, IDC_SCOPE_SELECTED, IDC_SCOPE_SELECTED);
    SendDlgItemMessageA(dialog, IDC_SCOPE_ICON, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_QUESTION)),
                        0);
    center_window(dialog, GetParent(dialog));
    return TRUE;
}

INT_PTR CALLBACK scope_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            return scope_on_init(dialog, reinterpret_cast<const char*>(lparam));
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) {
                bool selected = IsDlgButtonChecked(dialog, IDC_SCOPE_SELECTED) == BST_CHECKED;
                EndDialog(dialog, selected ? EXPORT_SELECTED : EXPORT_ALL);
                return TRUE;
            }
            if (LOWORD(wparam) == IDCANCEL) {
                EndDialog(dialog, EXPORT_CANCELLED);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void export_bookmarks(const PtrVector* records) {
    char path[MAX_PATH];
    bool with_folders;
    if (!ask_export_path(path, &with_folders)) return;
    if (with_folders ? write_folder_tree_file(records, path) : write_collection_file(records, path)) {
        char status[MAX_PATH + 64];
        snprintf(status, sizeof status, "%s exported to %s", bookmark_count(records->count).c_str(), path);
        set_status_text(status, 8000);
    } else {
        report_failure("Unable to export Ravozorizi to specified file", path);
    }
}

int ask_export_scope(HWND owner, const char* verb) {
    INT_PTR answer = DialogBoxParamA(app_instance, MAKEINTRESOURCEA(IDD_EXPORT_SCOPE), owner, scope_dialog_proc,
                                     reinterpret_cast<LPARAM>(verb));
    return answer == EXPORT_ALL || answer == EXPORT_SELECTED ? static_cast<int>(answer) : EXPORT_CANCELLED;
}
