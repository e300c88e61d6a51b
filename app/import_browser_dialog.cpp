// The Import from Browser dialog and the import it leads to.
#include "app/import_browser_dialog.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/browser_imports.h"
#include "app/dialog_helpers.h"
#include "app/import_reports.h"
#include "app/resource.h"
#include "platform/message_box.h"

namespace {

// A store listed, read when it was listed: the count shown is what the
// import brings in, and nothing is read twice.
struct ListedStore {
    BrowserStore store;
    StoreRead read;
    bool ticked;
};

const DialogListColumn kColumns[] = {{"Browser", 70}, {"Profile", 90}, {"Bookmarks", 100}, {"Last Change", 110}};

// The file's last write in the user's short date and time.
std::string last_change(const std::string& file) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    FILETIME local;
    SYSTEMTIME time;
    if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time)) {
        return std::string();
    }
    char date[64] = "", clock[32] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, sizeof clock);
    return std::string(date) + " " + clock;
}

void set_cell(HWND list, int row, int column, const std::string& text) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Lists the stores not listed yet, the readable ones ticked.
void list_stores(HWND dialog, std::vector<ListedStore>* listed, const std::vector<BrowserStore>& stores) {
    HWND list = GetDlgItem(dialog, IDC_BROWSER_STORES);
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    for (const BrowserStore& store : stores) {
        bool known = false;
        for (const ListedStore& other : *listed) known = known || other.store.file == store.file;
        if (known) continue;
        listed->push_back(ListedStore{store, read_browser_store(store), false});
        const ListedStore& shown = listed->back();
        const int row = static_cast<int>(listed->size() - 1);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>(store.browser.c_str());
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        set_cell(list, row, 1, store.profile);
        set_cell(list, row, 2,
                 shown.read.failure.empty() ? std::to_string(shown.read.bookmarks.size()) : shown.read.failure);
        set_cell(list, row, 3, last_change(store.file));
        ListView_SetCheckState(list, row, shown.read.failure.empty());
    }
    SetCursor(previous);
}

BOOL on_init_dialog(HWND dialog, std::vector<ListedStore>* listed) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(listed));
    HWND list = GetDlgItem(dialog, IDC_BROWSER_STORES);
    set_up_check_list(list, kColumns, static_cast<int>(sizeof kColumns / sizeof kColumns[0]));
    list_stores(dialog, listed, user_browser_stores());
    return TRUE;
}

void on_other_folder(HWND dialog, std::vector<ListedStore>* listed) {
    char folder[MAX_PATH] = "";
    if (!choose_folder(dialog, "Folder of a Browser or a Profile", folder)) return;
    const std::vector<BrowserStore> stores = find_stores_in_folder(folder);
    if (stores.empty()) {
        report_failure("No browser's bookmarks were found in the folder", folder);
        return;
    }
    list_stores(dialog, listed, stores);
}

INT_PTR CALLBACK import_browser_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* listed = reinterpret_cast<std::vector<ListedStore>*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            return on_init_dialog(dialog, reinterpret_cast<std::vector<ListedStore>*>(lparam));
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDC_BROWSER_OTHER:
                    on_other_folder(dialog, listed);
                    return TRUE;
                case IDOK:
                    for (size_t row = 0; row < listed->size(); row++) {
                        (*listed)[row].ticked =
                            ListView_GetCheckState(GetDlgItem(dialog, IDC_BROWSER_STORES), static_cast<int>(row));
                    }
                    EndDialog(dialog, IDOK);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace

void import_from_browser(HWND owner) {
    std::vector<ListedStore> listed;
    if (DialogBoxParamA(app_instance, MAKEINTRESOURCEA(IDD_IMPORT_BROWSER), owner, import_browser_proc,
                        reinterpret_cast<LPARAM>(&listed)) != IDOK) {
        return;
    }
    bool any = false;
    for (const ListedStore& choice : listed) {
        // An unticked store is no longer rescanned.
        if (!choice.ticked) forget_chosen_store(choice.store);
        any = any || choice.ticked;
    }
    if (!any) return;
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    ImportReport* report = begin_import_report();
    for (const ListedStore& choice : listed) {
        if (choice.ticked) import_chosen_store(choice.store, choice.read, report);
    }
    SetCursor(previous);
    show_import_counts();
    show_import_report();
}
