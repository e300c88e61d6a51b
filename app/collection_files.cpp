// Reading and saving bookmark files with their display.
#include "app/collection_files.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "app/app_state.h"
#include "app/status_text.h"
#include "collection/bookmark_reader.h"
#include "collection/collection_file.h"
#include "core/whole_file.h"
#include "platform/message_box.h"
#include "platform/module_path.h"

namespace {

const int kProgressBarId = 102;
const uint32_t kProgressThreshold = 4096;  // whole kilobytes, in bytes

// The bar moves in steps of a twentieth of the file: each repaint costs about
// a millisecond, and steps of a hundredth made a fifth of the time to read
// 100,000 bookmarks (repainting for every kilobyte would cost more than
// reading the file).
struct ReadProgress {
    uint32_t step;
    uint32_t shown;
};

bool move_progress_bar(uint32_t kilobytes, void* context) {
    ReadProgress* progress = static_cast<ReadProgress*>(context);
    if (kilobytes < progress->shown + progress->step) return true;
    progress->shown = kilobytes;
    HWND bar = GetDlgItem(app_state->status_bar, kProgressBarId);
    if (bar) {
        SendMessageA(bar, PBM_SETPOS, kilobytes, 0);
        UpdateWindow(bar);
    }
    return true;
}

void show_reading(const char* path) {
    char text[300];
    snprintf(text, sizeof text, "Reading %s", path);
    HWND bar = app_state->status_bar;
    SendMessageA(bar, SB_SIMPLE, TRUE, 0);
    SendMessageA(bar, SB_SETTEXTA, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
    UpdateWindow(app_state->main_window);
}

HWND create_progress_bar(const char* path, uint32_t size) {
    HWND bar = app_state->status_bar;
    char text[300];
    snprintf(text, sizeof text, "Reading %s", path);
    int borders[3] = {};
    SendMessageA(bar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    RECT client;
    GetClientRect(bar, &client);
    int left = 4 * borders[2] + status_text_width(text);
    int right = client.right - (GetSystemMetrics(SM_CXVSCROLL) + 2);
    int top = client.top + GetSystemMetrics(SM_CXFRAME);
    int bottom = client.bottom - GetSystemMetrics(SM_CXEDGE);
    HWND progress = CreateWindowExA(
        WS_EX_STATICEDGE, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, left, top, right - left, bottom - top, bar,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProgressBarId)), app_instance, nullptr);
    SendMessageA(progress, PBM_SETRANGE, 0, MAKELPARAM(0, size / 1024));
    return progress;
}

// Where the collection file stands: there, missing from a folder that is
// there (a first start), or out of reach (no folder, a network path that does
// not answer, access denied, a folder in its place).
enum FileState { FILE_THERE, FILE_MISSING, FILE_OUT_OF_REACH };

FileState file_state(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FILE_OUT_OF_REACH : FILE_THERE;
    }
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return FILE_OUT_OF_REACH;
    char folder[MAX_PATH];
    lstrcpynA(folder, path, MAX_PATH);
    folder[file_name_of(folder) - folder] = '\0';
    DWORD folder_attributes = GetFileAttributesA(folder[0] ? folder : ".");
    bool folder_there =
        folder_attributes != INVALID_FILE_ATTRIBUTES && (folder_attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return folder_there ? FILE_MISSING : FILE_OUT_OF_REACH;
}

// A question with Yes and No; true for Yes.
bool ask(const char* question, UINT default_button) {
    return app_message_box(nullptr, question, MB_YESNO | MB_ICONQUESTION | default_button) == IDYES;
}

// The file's last change in the user's own words for dates and times.
void describe_file_time(const char* path, char* text, size_t size) {
    text[0] = '\0';
    WIN32_FILE_ATTRIBUTE_DATA data;
    SYSTEMTIME universal, local;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
        !FileTimeToSystemTime(&data.ftLastWriteTime, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
        return;
    }
    char date[80] = "";
    char time[40] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &local, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &local, nullptr, time, sizeof time);
    snprintf(text, size, "%s %s", date, time);
}

// The recovery file of the collection: beside it, or in the user's temporary
// folder. False when the name would not fit.
bool recovery_file_path(bool in_temporary_folder, char path[MAX_PATH]) {
    const char* collection = app_state->options.collection_path;
    char folder[MAX_PATH] = "";
    if (in_temporary_folder && !GetTempPathA(sizeof folder, folder)) return false;
    const char* name = in_temporary_folder ? file_name_of(collection) : collection;
    return snprintf(path, MAX_PATH, "%s%s.recovered", folder, name) < MAX_PATH;
}

// A recovery file from a session that ended before the collection could be
// saved: when the user wants it, it is read instead of the collection file
// and removed once the collection is saved; otherwise it is removed now.
bool restore_from_recovery_file() {
    for (bool in_temporary_folder : {false, true}) {
        char path[MAX_PATH];
        if (!recovery_file_path(in_temporary_folder, path) || !file_exists(path)) continue;
        char question[MAX_PATH + 300];
        snprintf(question, sizeof question,
                 "Windows ended before Ravozorizi could be saved; they were kept in a recovery file.\n\n"
                 "Restore Ravozorizi from it? No deletes it.\n\n%s",
                 path);
        if (ask(question, MB_DEFBUTTON1) && read_bookmark_file_shown(path, false)) {
            lstrcpynA(app_state->recovery_path, path, MAX_PATH);
            return true;
        }
        remove_file(path);
    }
    return false;
}

// A collection file that is gone while its backup is there: the user may
// take the backup back.
void offer_backup(const char* path) {
    char backup[MAX_PATH];
    if (snprintf(backup, sizeof backup, "%s.bak", path) >= MAX_PATH || !file_exists(backup)) return;
    char when[128];
    describe_file_time(backup, when, sizeof when);
    char question[2 * MAX_PATH + 300];
    snprintf(question, sizeof question,
             "The Linkstone file is missing, but its backup of %s is there.\n\nRestore Ravozorizi from the "
             "backup?\n\n%s",
             when, backup);
    if (ask(question, MB_DEFBUTTON1)) read_bookmark_file_shown(backup, false);
}

enum SaveOutcome { SAVE_WRITTEN, SAVE_DECLINED, SAVE_FAILED };

// Writes the collection file, showing that it does. A file that could not be
// read at start-up is replaced only when the user agrees, and never without
// asking (may_ask false).
SaveOutcome write_collection_shown(bool may_ask) {
    const char* path = app_state->options.collection_path;
    if (app_state->collection_unread && file_exists(path)) {
        char question[MAX_PATH + 200];
        snprintf(question, sizeof question,
                 "The Linkstone file could not be read when Ravozorizi started. Saving now would "
                 "replace it with the Ravozorizi shown.\n\nReplace it?\n\n%s",
                 path);
        if (!may_ask || !ask(question, MB_DEFBUTTON2)) return SAVE_DECLINED;
    }
    char status[MAX_PATH + 64];
    snprintf(status, sizeof status, "Saving Ravozorizi file: %s", path);
    set_status_text(status, 8000);
    bool backup = (app_state->options.option_flags & OPT_BACKUP_COLLECTION) != 0;
    if (!save_collection(&app_state->collection, path, backup)) return SAVE_FAILED;
    app_state->collection_unread = 0;
    if (app_state->recovery_path[0]) {
        remove_file(app_state->recovery_path);
        app_state->recovery_path[0] = '\0';
    }
    return SAVE_WRITTEN;
}

}  // namespace

bool read_bookmark_file_shown(const char* path, bool automatic, ImportReport* report) {
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    char* text = nullptr;
    uint32_t size = 0;
    bool loaded = load_bookmark_file(path, &text, &size);
    if (loaded) {
        HWND progress = nullptr;
        if (app_state->status_bar) {
            show_reading(path);
            if ((size / 1024) * 1024 > kProgressThreshold) progress = create_progress_bar(path, size);
        }
        ReadProgress shown = {size / 1024 / 20 + 1, 0};
        read_bookmark_text(&app_state->collection, text, automatic, move_progress_bar, &shown, report);
        if (app_state->status_bar) SendMessageA(app_state->status_bar, SB_SIMPLE, FALSE, 0);
        if (progress) DestroyWindow(progress);
    } else {
        report_failure("Unable to import html bookmark file", path);
    }
    free(text);
    app_state->filter_dirty = 1;
    SetCursor(previous);
    return loaded;
}

void read_collection_at_startup() {
    if (restore_from_recovery_file()) return;
    const char* path = app_state->options.collection_path;
    switch (file_state(path)) {
        case FILE_MISSING:
            offer_backup(path);
            return;
        case FILE_THERE:
        case FILE_OUT_OF_REACH:
            // What cannot be read is not replaced at close without asking.
            if (!read_bookmark_file_shown(path, false)) app_state->collection_unread = 1;
            return;
    }
}

bool save_collection_file() {
    SaveOutcome outcome = write_collection_shown(true);
    if (outcome == SAVE_FAILED)
        report_failure("Unable to write Ravozorizi to file", app_state->options.collection_path);
    set_status_text(nullptr, 0);
    return outcome == SAVE_WRITTEN;
}

bool save_collection_before_closing() {
    SaveOutcome outcome = write_collection_shown(true);
    bool may_close = outcome != SAVE_FAILED;
    if (!may_close) {
        may_close = report_failure("Unable to write Ravozorizi to file. Close anyway and lose the changes?",
                                   app_state->options.collection_path, ERROR_SUCCESS,
                                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
    }
    set_status_text(nullptr, 0);
    return may_close;
}

void save_collection_at_session_end() {
    if (write_collection_shown(false) != SAVE_WRITTEN) {
        char path[MAX_PATH];
        for (bool in_temporary_folder : {false, true}) {
            if (recovery_file_path(in_temporary_folder, path) &&
                write_collection_file(app_state->collection.records, path)) {
                // Should the session go on after all, the next save makes it needless.
                lstrcpynA(app_state->recovery_path, path, MAX_PATH);
                break;
            }
        }
    }
    set_status_text(nullptr, 0);
}
