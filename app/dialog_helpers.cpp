// Placing dialogs, their check lists, and the shell's folder and file pickers.
#include "app/dialog_helpers.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <uxtheme.h>

#include <cstring>

#include "app/dpi.h"

void center_window(HWND dialog, HWND parent) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT around = work;
    if (parent && IsWindowVisible(parent) && !IsIconic(parent)) GetWindowRect(parent, &around);

    RECT box;
    GetWindowRect(dialog, &box);
    int width = box.right - box.left;
    int height = box.bottom - box.top;
    int x = around.left + ((around.right - around.left) - width) / 2;
    int y = around.top + ((around.bottom - around.top) - height) / 2;
    // Keep the whole dialog reachable: inside the work area's right and bottom
    // edges first, and never above or left of the screen's origin.
    if (x + width > work.right) x = work.right - width;
    if (y + height > work.bottom) y = work.bottom - height;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void set_up_check_list(HWND list, const DialogListColumn* columns, int count) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    SetWindowTheme(list, L"Explorer", nullptr);
    const UINT dpi = window_dpi(list);
    for (int i = 0; i < count; i++) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(columns[i].title);
        column.cx = scaled(columns[i].width, dpi);
        SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

namespace {

// Selects the starting folder once the browser is ready.
int CALLBACK on_folder_browser_event(HWND browser, UINT message, LPARAM /*lparam*/, LPARAM data) {
    if (message == BFFM_INITIALIZED) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

}  // namespace

int choose_folder(HWND owner, const char* title, char folder[MAX_PATH]) {
    size_t length = strlen(folder);
    if (length > 0 && (folder[length - 1] == '\\' || folder[length - 1] == '/')) folder[length - 1] = '\0';

    char display_name[MAX_PATH];
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = display_name;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = on_folder_browser_event;
    info.lParam = reinterpret_cast<LPARAM>(folder);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen) return 0;
    char path[MAX_PATH];
    BOOL has_path = SHGetPathFromIDListA(chosen, path);
    CoTaskMemFree(chosen);
    if (!has_path) return 0;
    lstrcpynA(folder, path, MAX_PATH);
    return 1;
}

namespace {

// The common file dialog, opening or saving, with the fields both share.
bool run_file_dialog(bool save, HWND owner, const char* filter, const char* caption, const char* default_extension,
                     char file[MAX_PATH], DWORD* chosen_filter) {
    char file_title[MAX_PATH] = "";
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrFileTitle = file_title;
    dialog.nMaxFileTitle = sizeof file_title;
    dialog.lpstrTitle = caption;
    dialog.lpstrDefExt = default_extension;
    // A file chosen to be written is replaced only once the user agrees.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : 0);
    const bool chosen = (save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog)) != FALSE;
    if (chosen_filter) *chosen_filter = dialog.nFilterIndex;
    return chosen;
}

}  // namespace

bool browse_for_file(HWND owner, const char* filter, const char* caption, const char* default_extension,
                     char file[MAX_PATH]) {
    return run_file_dialog(false, owner, filter, caption, default_extension, file, nullptr);
}

bool browse_for_save_file(HWND owner, const char* filter, const char* caption, const char* default_extension,
                          char file[MAX_PATH], DWORD* chosen_filter) {
    return run_file_dialog(true, owner, filter, caption, default_extension, file, chosen_filter);
}
