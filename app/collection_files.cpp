// Reading and saving bookmark files with their display.
#include "app/collection_files.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "app/app_state.h"
#include "app/status_text.h"
#include "collection/bookmark_reader.h"
#include "collection/collection_file.h"
#include "platform/message_box.h"

namespace {

const int kProgressBarId = 102;
const uint32_t kProgressThreshold = 4096;  // whole kilobytes, in bytes

// The bar moves in steps of a hundredth of the file: repainting it for every
// kilobyte would cost more than reading the file.
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

bool file_exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

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
        ReadProgress shown = {size / 1024 / 100 + 1, 0};
        read_bookmark_text(&app_state->collection, text, automatic, move_progress_bar, &shown, report);
        if (app_state->status_bar) SendMessageA(app_state->status_bar, SB_SIMPLE, FALSE, 0);
        if (progress) DestroyWindow(progress);
    } else {
        char message[MAX_PATH + 64];
        snprintf(message, sizeof message, "Unable to import html bookmark file\n\n%s", path);
        app_message_box(nullptr, message, MB_ICONINFORMATION);
    }
    free(text);
    app_state->filter_dirty = 1;
    SetCursor(previous);
    return loaded;
}

void read_collection_at_startup() {
    const char* path = app_state->options.collection_path;
    if (!file_exists(path)) return;
    if (!read_bookmark_file_shown(path, false)) app_state->collection_unread = 1;
}

bool save_collection_file() {
    const char* path = app_state->options.collection_path;
    if (app_state->collection_unread && file_exists(path)) {
        char question[MAX_PATH + 200];
        snprintf(question, sizeof question,
                 "The Linkstone file could not be read when Ravozorizi started. Saving now would "
                 "replace it with the Ravozorizi shown.\n\nReplace it?\n\n%s",
                 path);
        if (app_message_box(nullptr, question, MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2) != IDYES) return false;
    }
    bool backup = (app_state->options.option_flags & OPT_BACKUP_COLLECTION) != 0;
    if (!save_collection(&app_state->collection, path, backup)) {
        char message[MAX_PATH + 64];
        snprintf(message, sizeof message, "Unable to write Ravozorizi to file\n\n%s", path);
        app_message_box(nullptr, message, MB_ICONINFORMATION);
        return false;
    }
    app_state->collection_unread = 0;
    return true;
}
