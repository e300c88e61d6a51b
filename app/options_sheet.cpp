// The Options property sheet. Each page loads its controls from the live
// options whenever it is shown and writes them back whenever it is left (OK
// leaves the current page too); Cancel puts back what the sheet found.
#include "app/options_sheet.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/dialog_helpers.h"
#include "app/resource.h"
#include "checker/scheduler.h"
#include "collection/bookmark_reader.h"
#include "core/whole_file.h"
#include "platform/handles.h"
#include "platform/message_box.h"

namespace {

// What every page works on, shared through the pages' creation parameter.
struct OptionsPages {
    Options* options;
    BrowserLink* link;
    HBITMAP browse_image;
    bool applied;  // the sheet was closed with OK
};

// A check box of the General or Startup page and the option bit it edits.
struct FlagBox {
    int id;
    uint32_t bit;
};

const FlagBox kGeneralBoxes[] = {
    {IDC_OPT_TOOLTIPS, OPT_TOOLTIPS},
    {IDC_OPT_PARTIAL_MATCH, OPT_PARTIAL_MATCH},
    {IDC_OPT_CASE_SENSITIVE, OPT_CASE_SENSITIVE},
    {IDC_OPT_CONFIRM_SINGLE, OPT_CONFIRM_SINGLE_DELETES},
    {IDC_OPT_CONFIRM_MULTIPLE, OPT_CONFIRM_MULTIPLE_DELETES},
    {IDC_OPT_BACKUP, OPT_BACKUP_COLLECTION},
};

const FlagBox kStartupBoxes[] = {
    {IDC_OPT_LAUNCH_BROWSER, OPT_AUTO_LAUNCH_BROWSER},     {IDC_OPT_RESCAN_BOOKMARKS, OPT_AUTO_RESCAN_BOOKMARKS},
    {IDC_OPT_RESCAN_FAVORITES, OPT_AUTO_RESCAN_FAVORITES}, {IDC_OPT_RESCAN_BROWSERS, OPT_AUTO_RESCAN_BROWSERS},
    {IDC_OPT_AUTO_CHECK, OPT_AUTO_STATUS_CHECK},
};

const uint32_t kDefaultInterval = 15;

const char kCollectionFilter[] = "HTML Files (*.htm,*.html)\0*.htm;*.html\0All Files (*.*)\0*.*\0";
const char kProgramFilter[] = "Program Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0";

OptionsPages* pages_data(HWND page) { return reinterpret_cast<OptionsPages*>(GetWindowLongPtrA(page, DWLP_USER)); }

bool is_checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void load_boxes(HWND page, const FlagBox* boxes, size_t count, uint32_t flags) {
    for (size_t i = 0; i < count; i++)
        CheckDlgButton(page, boxes[i].id, (flags & boxes[i].bit) ? BST_CHECKED : BST_UNCHECKED);
}

void store_boxes(HWND page, const FlagBox* boxes, size_t count, uint32_t* flags) {
    for (size_t i = 0; i < count; i++) {
        if (is_checked(page, boxes[i].id)) {
            *flags |= boxes[i].bit;
        } else {
            *flags &= ~boxes[i].bit;
        }
    }
}

void set_browse_image(HWND page, int id) {
    SendDlgItemMessageA(page, id, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(pages_data(page)->browse_image));
}

// Lets the user pick a file for the edit box, starting from its text.
void browse_into(HWND page, int edit_id, const char* filter, const char* caption, const char* extension) {
    char file[MAX_PATH] = "";
    GetDlgItemTextA(page, edit_id, file, sizeof file);
    if (browse_for_file(GetParent(page), filter, caption, extension, file)) SetDlgItemTextA(page, edit_id, file);
}

// The interval as typed; what is not a positive number gives the default.
uint32_t read_interval(HWND page) {
    char text[32] = "";
    GetDlgItemTextA(page, IDC_OPT_INTERVAL, text, sizeof text);
    long minutes = strtol(text, nullptr, 10);
    return minutes > 0 ? static_cast<uint32_t>(minutes) : kDefaultInterval;
}

void enable_interval(HWND page) {
    BOOL on = is_checked(page, IDC_OPT_AUTO_CHECK);
    EnableWindow(GetDlgItem(page, IDC_OPT_INTERVAL), on);
    EnableWindow(GetDlgItem(page, IDC_OPT_INTERVAL_ARROWS), on);
}

void enable_url_dll(HWND page) {
    EnableWindow(GetDlgItem(page, IDC_OPT_USE_URL_DLL), is_checked(page, IDC_OPT_AUTOMATIC));
}

void general_load(HWND page, const OptionsPages* data) {
    load_boxes(page, kGeneralBoxes, sizeof kGeneralBoxes / sizeof kGeneralBoxes[0], data->options->option_flags);
    SetDlgItemTextA(page, IDC_OPT_COLLECTION_PATH, data->options->collection_path);
    set_browse_image(page, IDC_OPT_BROWSE_COLLECTION);
}

// A file of another kind at the path the collection is to be stored in is
// replaced by the next save: only when the user agrees.
bool may_store_collection_in(const char* path) {
    if (!file_exists(path)) return true;
    char* text = nullptr;
    uint32_t size = 0;
    bool collection_file = read_whole_file(path, &text, &size) && is_collection_file_text(text);
    free(text);
    if (collection_file) return true;
    char question[MAX_PATH + 200];
    snprintf(question, sizeof question,
             "This file is not a Linkstone file. Storing Ravozorizi in it replaces it when they are saved.\n\n"
             "Replace it?\n\n%s",
             path);
    return app_message_box(nullptr, question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

bool general_store(HWND page, OptionsPages* data) {
    char path[MAX_PATH] = "";
    GetDlgItemTextA(page, IDC_OPT_COLLECTION_PATH, path, MAX_PATH);
    if (strcmp(path, data->options->collection_path) != 0 && !may_store_collection_in(path)) {
        SendMessageA(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(page, IDC_OPT_COLLECTION_PATH)), TRUE);
        return false;
    }
    store_boxes(page, kGeneralBoxes, sizeof kGeneralBoxes / sizeof kGeneralBoxes[0], &data->options->option_flags);
    lstrcpynA(data->options->collection_path, path, MAX_PATH);
    return true;
}

void startup_load(HWND page, const OptionsPages* data) {
    load_boxes(page, kStartupBoxes, sizeof kStartupBoxes / sizeof kStartupBoxes[0], data->options->option_flags);
    SetDlgItemInt(page, IDC_OPT_INTERVAL, data->options->check_interval, FALSE);
    SendDlgItemMessageA(page, IDC_OPT_INTERVAL_ARROWS, UDM_SETRANGE32, 1, 10000);
    SetDlgItemInt(page, IDC_OPT_CONNECTIONS, data->options->check_connections, FALSE);
    SendDlgItemMessageA(page, IDC_OPT_CONNECTIONS_ARROWS, UDM_SETRANGE32, 1, CHECK_CONNECTIONS_MAX);
    enable_interval(page);
}

bool startup_store(HWND page, OptionsPages* data) {
    data->options->check_interval = read_interval(page);
    // A number outside 1 to 64 leaves the setting as it was.
    BOOL read = FALSE;
    UINT connections = GetDlgItemInt(page, IDC_OPT_CONNECTIONS, &read, FALSE);
    if (read && connections >= 1 && connections <= CHECK_CONNECTIONS_MAX)
        data->options->check_connections = connections;
    store_boxes(page, kStartupBoxes, sizeof kStartupBoxes / sizeof kStartupBoxes[0], &data->options->option_flags);
    return true;
}

void browser_load(HWND page, const OptionsPages* data) {
    const BrowserLink* link = data->link;
    SetDlgItemTextA(page, IDC_OPT_NETSCAPE_PATH, link->profiles[BROWSER_NETSCAPE].exe_path);
    SetDlgItemTextA(page, IDC_OPT_IEXPLORE_PATH, link->profiles[BROWSER_IEXPLORE].exe_path);
    int chosen = link->selected_browser == BROWSER_NETSCAPE   ? IDC_OPT_NETSCAPE
                 : link->selected_browser == BROWSER_IEXPLORE ? IDC_OPT_IEXPLORE
                                                              : IDC_OPT_AUTOMATIC;
    CheckRadioButton(page, IDC_OPT_NETSCAPE, IDC_OPT_AUTOMATIC, chosen);
    CheckDlgButton(page, IDC_OPT_USE_URL_DLL, link->use_url_dll ? BST_CHECKED : BST_UNCHECKED);
    set_browse_image(page, IDC_OPT_BROWSE_NETSCAPE);
    set_browse_image(page, IDC_OPT_BROWSE_IEXPLORE);
    enable_url_dll(page);
}

bool browser_store(HWND page, OptionsPages* data) {
    BrowserLink* link = data->link;
    link->selected_browser = is_checked(page, IDC_OPT_NETSCAPE)   ? BROWSER_NETSCAPE
                             : is_checked(page, IDC_OPT_IEXPLORE) ? BROWSER_IEXPLORE
                                                                  : BROWSER_AUTOMATIC;
    link->use_url_dll = is_checked(page, IDC_OPT_USE_URL_DLL) ? 1 : 0;
    GetDlgItemTextA(page, IDC_OPT_NETSCAPE_PATH, link->profiles[BROWSER_NETSCAPE].exe_path, MAX_PATH);
    GetDlgItemTextA(page, IDC_OPT_IEXPLORE_PATH, link->profiles[BROWSER_IEXPLORE].exe_path, MAX_PATH);
    return true;
}

using PageFill = void (*)(HWND page, const OptionsPages* data);
// False keeps the page open: something on it still needs the user.
using PageStore = bool (*)(HWND page, OptionsPages* data);

// The messages all three pages handle alike; false when the message is not one of them.
bool on_page_message(HWND page, UINT message, LPARAM lparam, PageFill load, PageStore store, INT_PTR* result) {
    *result = TRUE;
    if (message == WM_INITDIALOG) {
        const PROPSHEETPAGEA* sheet_page = reinterpret_cast<const PROPSHEETPAGEA*>(lparam);
        SetWindowLongPtrA(page, DWLP_USER, sheet_page->lParam);
        return true;
    }
    if (message != WM_NOTIFY) return false;
    OptionsPages* data = pages_data(page);
    switch (reinterpret_cast<const NMHDR*>(lparam)->code) {
        case PSN_SETACTIVE:
            load(page, data);
            SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
            return true;
        case PSN_KILLACTIVE:
            SetWindowLongPtrA(page, DWLP_MSGRESULT, store(page, data) ? FALSE : TRUE);
            return true;
        case PSN_APPLY:
            data->applied = true;
            SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            return true;
        default:
            *result = FALSE;
            return true;
    }
}

INT_PTR CALLBACK general_page_proc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
    INT_PTR result;
    if (on_page_message(page, message, lparam, general_load, general_store, &result)) return result;
    if (message == WM_COMMAND && LOWORD(wparam) == IDC_OPT_BROWSE_COLLECTION && HIWORD(wparam) == BN_CLICKED) {
        browse_into(page, IDC_OPT_COLLECTION_PATH, kCollectionFilter, "Linkstone File", "htm");
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK startup_page_proc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
    INT_PTR result;
    if (on_page_message(page, message, lparam, startup_load, startup_store, &result)) return result;
    if (message == WM_COMMAND && LOWORD(wparam) == IDC_OPT_AUTO_CHECK && HIWORD(wparam) == BN_CLICKED) {
        enable_interval(page);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK browser_page_proc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
    INT_PTR result;
    if (on_page_message(page, message, lparam, browser_load, browser_store, &result)) return result;
    if (message != WM_COMMAND || HIWORD(wparam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wparam)) {
        case IDC_OPT_BROWSE_NETSCAPE:
            browse_into(page, IDC_OPT_NETSCAPE_PATH, kProgramFilter, "Netscape Program Location", "exe");
            return TRUE;
        case IDC_OPT_BROWSE_IEXPLORE:
            browse_into(page, IDC_OPT_IEXPLORE_PATH, kProgramFilter, "Internet Explorer Program Location", "exe");
            return TRUE;
        case IDC_OPT_NETSCAPE:
        case IDC_OPT_IEXPLORE:
        case IDC_OPT_AUTOMATIC:
            enable_url_dll(page);
            return TRUE;
        default:
            return FALSE;
    }
}

// The fields the sheet edits, as they were when it opened.
struct EditedFields {
    uint32_t option_flags;
    uint32_t check_interval;
    uint32_t check_connections;
    char collection_path[MAX_PATH];
    uint32_t selected_browser;
    uint32_t use_url_dll;
    char exe_paths[2][MAX_PATH];
};

EditedFields save_fields(const Options* options, const BrowserLink* link) {
    EditedFields saved;
    saved.option_flags = options->option_flags;
    saved.check_interval = options->check_interval;
    saved.check_connections = options->check_connections;
    memcpy(saved.collection_path, options->collection_path, MAX_PATH);
    saved.selected_browser = link->selected_browser;
    saved.use_url_dll = link->use_url_dll;
    for (int i = 0; i < 2; i++) memcpy(saved.exe_paths[i], link->profiles[i].exe_path, MAX_PATH);
    return saved;
}

void restore_fields(const EditedFields& saved, Options* options, BrowserLink* link) {
    options->option_flags = saved.option_flags;
    options->check_interval = saved.check_interval;
    options->check_connections = saved.check_connections;
    memcpy(options->collection_path, saved.collection_path, MAX_PATH);
    link->selected_browser = saved.selected_browser;
    link->use_url_dll = saved.use_url_dll;
    for (int i = 0; i < 2; i++) memcpy(link->profiles[i].exe_path, saved.exe_paths[i], MAX_PATH);
}

}  // namespace

INT_PTR show_options_sheet(HWND frame, Options* options) {
    BrowserLink* link = &app_state->browser_link;
    COLORMAP magenta = {RGB(255, 0, 255), GetSysColor(COLOR_BTNFACE)};
    UniqueBitmap browse_image(CreateMappedBitmap(app_instance, IDB_BROWSE, 0, &magenta, 1));
    OptionsPages data = {options, link, browse_image.get(), false};
    const EditedFields saved = save_fields(options, link);

    struct PageSpec {
        int template_id;
        DLGPROC procedure;
    };
    const PageSpec specs[] = {
        {IDD_OPTIONS_GENERAL, general_page_proc},
        {IDD_OPTIONS_STARTUP, startup_page_proc},
        {IDD_OPTIONS_BROWSER, browser_page_proc},
    };
    PROPSHEETPAGEA pages[3] = {};
    for (int i = 0; i < 3; i++) {
        pages[i].dwSize = sizeof pages[i];
        pages[i].hInstance = app_instance;
        pages[i].pszTemplate = MAKEINTRESOURCEA(specs[i].template_id);
        pages[i].pfnDlgProc = specs[i].procedure;
        pages[i].lParam = reinterpret_cast<LPARAM>(&data);
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    header.hwndParent = frame;
    header.hInstance = app_instance;
    header.pszCaption = "Options";
    header.nPages = 3;
    header.nStartPage = 0;
    header.ppsp = pages;
    INT_PTR result = PropertySheetA(&header);
    // Cancel means none of the sheet's changes, also those of pages already left.
    if (!data.applied) {
        restore_fields(saved, options, link);
        return result > 0 ? 0 : result;
    }
    return 1;
}
