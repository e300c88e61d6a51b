// The bookmark properties dialog: title, URL and keywords to edit, the three
// dates to see.
#include "app/properties_dialog.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/dialog_helpers.h"
#include "app/dpi.h"
#include "app/list_view.h"
#include "app/local_dates.h"
#include "app/resource.h"
#include "app/undo_commands.h"
#include "collection/check_state.h"
#include "collection/collection.h"
#include "platform/message_box.h"
#include "search/keyword_index.h"

namespace {

struct PropertiesDialog {
    Bookmark* record;
    char** keyword_text;
    HWND parent;
};

PropertiesDialog* dialog_data(HWND dialog) {
    return reinterpret_cast<PropertiesDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// The control's whole text as an owned string (free with free()).
char* control_text(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthA(control);
    char* text = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
    text[0] = '\0';
    GetWindowTextA(control, text, length + 1);
    return text;
}

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The fields of a date in local time, weekday included.
SYSTEMTIME local_time(uint32_t date) {
    FILETIME utc = file_time_of(date);
    // The zone's offset on that date (summer time or not), as ctime() has it.
    SYSTEMTIME universal, t;
    FileTimeToSystemTime(&utc, &universal);
    SystemTimeToTzSpecificLocalTime(nullptr, &universal, &t);
    FILETIME local;
    SystemTimeToFileTime(&t, &local);
    FileTimeToSystemTime(&local, &t);  // fills in the weekday
    return t;
}

// A date in the form of ctime() in local time ("Wed Jun 30 21:49:08 1993\n").
void format_date(uint32_t date, char text[32]) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    SYSTEMTIME t = local_time(date);
    snprintf(text, 32, "%s %s %2u %02u:%02u:%02u %u\n", kDays[t.wDayOfWeek % 7], kMonths[(t.wMonth + 11) % 12], t.wDay,
             t.wHour, t.wMinute, t.wSecond, t.wYear);
}

// "12 Mar 2027" in local time.
std::string format_day(uint32_t date) {
    SYSTEMTIME t = local_time(date);
    char text[32];
    snprintf(text, sizeof text, "%u %s %u", t.wDay, kMonths[(t.wMonth + 11) % 12], t.wYear);
    return text;
}

// The reason phrases of the statuses a check commonly meets.
const char* reason_phrase(uint16_t status) {
    static const struct {
        uint16_t status;
        const char* phrase;
    } kPhrases[] = {
        {200, "OK"},
        {204, "No Content"},
        {301, "Moved Permanently"},
        {302, "Found"},
        {304, "Not Modified"},
        {400, "Bad Request"},
        {401, "Unauthorized"},
        {403, "Forbidden"},
        {404, "Not Found"},
        {405, "Method Not Allowed"},
        {408, "Request Timeout"},
        {410, "Gone"},
        {429, "Too Many Requests"},
        {451, "Unavailable For Legal Reasons"},
        {500, "Internal Server Error"},
        {501, "Not Implemented"},
        {502, "Bad Gateway"},
        {503, "Service Unavailable"},
        {504, "Gateway Timeout"},
    };
    for (const auto& known : kPhrases) {
        if (known.status == status) return known.phrase;
    }
    return nullptr;
}

// What the last check found, after "Checked <day>: ".
std::string check_finding(const Bookmark* record) {
    const std::string status = std::to_string(record->http_status);
    switch (record->verdict) {
        case VERDICT_MOVED:
            return std::string("moved to ") + (record->moved_to ? record->moved_to : "");
        case VERDICT_BLOCKED:
            return record->http_status ? "blocked by the site (" + status + ")" : "blocked by the site";
        case VERDICT_NOT_CHECKED:
            return "not a web address";
        default:
            break;
    }
    if (record->check_error != CHECK_ERROR_NONE) return check_error_text(static_cast<CheckError>(record->check_error));
    if (record->http_status == 0) return "answered";
    const char* phrase = reason_phrase(record->http_status);
    return phrase ? status + " " + phrase : status;
}

void show_date(HWND dialog, int id, uint32_t date, bool known) {
    char text[32] = "?";
    if (known) format_date(date, text);
    SetDlgItemTextA(dialog, id, text);
}

// Removes another bookmark that the edited one replaces: its row, if it has
// one, then the record itself.
void delete_record_and_row(Bookmark* record) {
    HWND list = app_state->list_view;
    if (list && (record->flags & BOOKMARK_LISTED)) {
        int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < rows; row++) {
            if (row_record(list, row) == record) {
                SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
                break;
            }
        }
    }
    note_undoable_record(record);  // taken back with the edit
    delete_record(&app_state->collection, record);
    app_state->filter_dirty = 1;
}

bool is_stored(const Bookmark* record) {
    const PtrVector* records = app_state->collection.records;
    uint32_t position;
    return vec_search(records, record, compare_record_identity, &position) && records->items[position] == record;
}

// With another bookmark at the URL: true when the user lets this one replace it
// (the other is deleted then), false to stay in the dialog.
bool resolve_duplicate(HWND dialog, const Bookmark* record, const char* url) {
    Bookmark* other = find_by_url(&app_state->collection, url);
    if (!other || other == record) return true;
    static const char kQuestion[] =
        "A Linkstone with the same URL already exists:\n\n%s\n%s\n\nDo you want to replace it?";
    size_t size = sizeof kQuestion + strlen(other->title) + strlen(other->url);
    char* question = static_cast<char*>(malloc(size));
    snprintf(question, size, kQuestion, other->title, other->url);
    int answer = MessageBoxA(dialog, question, "Duplicate Linkstone Found", MB_YESNO | MB_ICONINFORMATION);
    free(question);
    if (answer != IDYES) return false;
    delete_record_and_row(other);
    return true;
}

BOOL on_init_dialog(HWND dialog, PropertiesDialog* data) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
    center_window(dialog, data->parent);

    TCITEMA tab = {};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<char*>("General");
    SendDlgItemMessageA(dialog, IDC_PROP_TAB, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&tab));

    Bookmark* record = data->record;
    if (record->title) SetDlgItemTextA(dialog, IDC_PROP_TITLE, record->title);
    if (record->url) SetDlgItemTextA(dialog, IDC_PROP_URL, record->url);
    show_date(dialog, IDC_PROP_ADDED, record->added, true);
    show_date(dialog, IDC_PROP_VISITED, record->last_visit, record->last_visit != DATE_UNSET);
    show_date(dialog, IDC_PROP_MODIFIED, record->last_modified, is_real_date(record->last_modified));
    char* check = describe_last_check(record);
    SetDlgItemTextA(dialog, IDC_PROP_CHECK, check);
    free(check);
    if (record->verdict == VERDICT_MOVED && offers_new_address(record->url, record->moved_to)) {
        ShowWindow(GetDlgItem(dialog, IDC_PROP_USE_MOVED), SW_SHOW);
    }
    if (record->archive) {
        SetDlgItemTextA(dialog, IDC_PROP_ARCHIVE, record->archive);
        for (int id : {IDC_PROP_ARCHIVE_LABEL, IDC_PROP_ARCHIVE, IDC_PROP_USE_ARCHIVE}) {
            ShowWindow(GetDlgItem(dialog, id), SW_SHOW);
        }
    }

    // The offered text is used only for a bookmark without keywords, and is
    // freed here either way: the slot is empty until OK fills it.
    char* offered = *data->keyword_text;
    *data->keyword_text = nullptr;
    if (record->keywords) {
        char* text = keyword_set_text(record->keywords);
        SetDlgItemTextA(dialog, IDC_PROP_KEYWORDS, text);
        free(text);
    } else if (offered) {
        SetDlgItemTextA(dialog, IDC_PROP_KEYWORDS, offered);
    }
    free(offered);
    return TRUE;
}

void on_ok(HWND dialog) {
    PropertiesDialog* data = dialog_data(dialog);
    Bookmark* record = data->record;
    char* url = tidy_url(control_text(dialog, IDC_PROP_URL));
    char* title = trim_in_place(control_text(dialog, IDC_PROP_TITLE));

    // A bookmark the collection file would not give back is refused as an
    // untitled one is: a message, and the focus back in the box.
    const char* refusal = nullptr;
    int refused_box = IDC_PROP_TITLE;
    if (title[0] == '\0') {
        refusal = "Please enter a title for this Linkstone";
    } else if (!is_storable_url(url)) {
        refusal = url[0] == '#' ? "Please enter a URL for this Linkstone: one beginning with # names only a place "
                                  "within a page"
                                : "Please enter a URL for this Linkstone";
        refused_box = IDC_PROP_URL;
    }
    if (refusal) {
        MessageBoxA(dialog, refusal, APP_NAME, MB_ICONINFORMATION);
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, refused_box)), TRUE);
        free(url);
        free(title);
        return;
    }
    if (!resolve_duplicate(dialog, record, url)) {
        free(url);
        free(title);
        return;
    }

    bool url_changed = !record->url || strcmp(record->url, url) != 0;
    // What was found at the old address says nothing of the new one.
    if (url_changed) forget_check(record);
    free(record->url);
    free(record->title);
    record->url = url;
    record->title = title;
    if (is_stored(record)) {
        if (url_changed) {
            reposition_by_url(&app_state->collection, record);
        } else {
            note_title_edit(&app_state->collection);
        }
    }

    *data->keyword_text = control_text(dialog, IDC_PROP_KEYWORDS);
    EndDialog(dialog, IDOK);
}

// The moved page's new address, or the archived copy's, takes the old one's
// place in the box; OK stores it.
void use_address(HWND dialog, const char* address, int button) {
    SetDlgItemTextA(dialog, IDC_PROP_URL, address);
    ShowWindow(GetDlgItem(dialog, button), SW_HIDE);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_PROP_URL)), TRUE);
}

// The labels sit on the tab's pane, which the visual styles paint in the
// window colour: in the dialog's own colour they would show as grey boxes.
INT_PTR on_ctl_color_static(HDC dc) {
    if (!IsAppThemed() || high_contrast_on()) return FALSE;
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
}

INT_PTR CALLBACK properties_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            return on_init_dialog(dialog, reinterpret_cast<PropertiesDialog*>(lparam));
        case WM_CTLCOLORSTATIC:
            return on_ctl_color_static(reinterpret_cast<HDC>(wparam));
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDOK:
                    on_ok(dialog);
                    return TRUE;
                case IDC_PROP_USE_MOVED:
                    use_address(dialog, dialog_data(dialog)->record->moved_to, IDC_PROP_USE_MOVED);
                    return TRUE;
                case IDC_PROP_USE_ARCHIVE:
                    use_address(dialog, dialog_data(dialog)->record->archive, IDC_PROP_USE_ARCHIVE);
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

char* describe_last_check(const Bookmark* record) {
    if (record->last_check == 0) return str_dup("Never checked");
    std::string text = "Checked " + format_day(record->last_check) + ": " + check_finding(record);
    if (record->first_failure != 0 && record->first_failure < record->last_check) {
        text += " (failing since " + format_day(record->first_failure) + ")";
    }
    return str_dup(text.c_str());
}

bool edit_bookmark_properties(Bookmark* record, char** keyword_text, HWND parent) {
    PropertiesDialog data = {record, keyword_text, parent};
    INT_PTR result = DialogBoxParamA(app_instance, MAKEINTRESOURCEA(IDD_PROPERTIES), parent, properties_dialog_proc,
                                     reinterpret_cast<LPARAM>(&data));
    if (result == IDOK) return true;
    // Also when the dialog could not be shown: the offered text is not used again.
    free(*keyword_text);
    *keyword_text = nullptr;
    return false;
}
