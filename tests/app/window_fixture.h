// The real frame in process over a small collection and files of its own, reached as a user reaches it; the dde_peer
// program plays the browser.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>

#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/collection_files.h"
#include "app/frame.h"
#include "app/live_filter.h"
#include "app/resource.h"
#include "app/settings.h"
#include "browser/dde_client.h"
#include "checker/host_ascii.h"
#include "checker/scheduler.h"
#include "collection/check_state.h"
#include "collection/collection_file.h"
#include "core/handles_win32.h"
#include "search/keyword_index.h"
#include "tests/browser/browser_test_support.h"
#include "tests/platform/dialog_driver.h"
#include "tests/take_text.h"
#include "tests/temp_dir.h"

using Texts = std::vector<std::string>;

inline void pump_messages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Handles this thread's messages until the condition, which this thread or another process brings about, holds; false
// when the time runs out first.
template <typename Condition>
bool eventually(Condition condition, DWORD milliseconds = 10000) {
    for (DWORD begin = GetTickCount(); !condition();) {
        if (GetTickCount() - begin > milliseconds) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        pump_messages();
    }
    return true;
}

// Types the path into a file dialog and takes it.
inline void choose_file(HWND dialog, const std::string& path) {
    SetDlgItemTextA(dialog, cmb13, path.c_str());
    SetDlgItemTextA(dialog, edt1, path.c_str());
    press(dialog, IDOK);
}

// Fills the Properties dialog and takes it.
inline DialogStep fill(const char* title, const char* url, const char* keywords = "penguin") {
    return [=](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_PROP_TITLE, title);
        SetDlgItemTextA(dialog, IDC_PROP_URL, url);
        SetDlgItemTextA(dialog, IDC_PROP_KEYWORDS, keywords);
        press(dialog, IDOK);
    };
}

// Answers a message box, noting its text, and goes back to the dialog it belongs to.
inline DialogStep answer(int button, std::string* text) {
    return [=](HWND box) {
        *text = message_box_text(box);
        press(box, button);
        DialogDriver::again(GetWindow(box, GW_OWNER));
    };
}

// A collection file of these bookmarks (title, URL), as the program saves it.
inline void write_collection(const std::string& path,
                             const std::vector<std::pair<std::string, std::string>>& bookmarks) {
    Collection collection = create_collection();
    for (const auto& b : bookmarks) {
        add_or_merge(&collection, str_dup(b.first.c_str()), str_dup(b.second.c_str()), nullptr, 900000000, DATE_UNSET,
                     DATE_UNSET, true);
    }
    ASSERT_TRUE(save_collection(&collection, path.c_str(), false));
    free_collection(&collection);
}

// lk.exe, copied into the folder and started; ended with the test at the latest.
struct Program {
    PROCESS_INFORMATION info = {};
    HWND frame = nullptr;

    Program(const TempDir& dir, bool shows = true) {
        std::string exe = dir.path("lk.exe");
        CopyFileA(LK_EXE_PATH, exe.c_str(), FALSE);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        bool started =
            CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
        if (!started || !shows) return;
        eventually([&] {
            frame = FindWindowA(FRAME_CLASS_NAME, nullptr);
            DWORD owner = 0;
            GetWindowThreadProcessId(frame, &owner);
            return frame && owner == info.dwProcessId && IsWindowVisible(frame);
        });
    }
    ~Program() {
        TerminateProcess(info.hProcess, 9);
        close_handle<KernelObjectPolicy>(&info.hThread);
        close_handle<KernelObjectPolicy>(&info.hProcess);
    }
    int rows() { return ListView_GetItemCount(FindWindowExA(frame, nullptr, WC_LISTVIEWA, nullptr)); }
    // Closes the frame, if any: the exit code, or 999 when the program has not ended within 30 seconds.
    DWORD close() {
        if (frame) PostMessageA(frame, WM_CLOSE, 0, 0);
        DWORD code = 999;
        if (WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_state = &state;
        app_instance = GetModuleHandleA(nullptr);
        set_settings_path(dir.path("lk.ini").c_str());
        load_settings(&app_state->options);  // the defaults
        lstrcpyA(app_state->options.collection_path, dir.path("lk.htm").c_str());
        app_state->ui_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        app_state->collection = create_collection();
        app_state->record_terms = create_record_terms(&app_state->collection, host_ascii);
        add("The Linux Kernel Archives", "http://www.kernel.org/");
        add("Internet Engineering Task Force", "http://www.ietf.org/");
        add("Interface Design Patterns", "http://ui-patterns.com/");
        add("Web Design Basics", "http://webdesign.example/");
        register_frame_class(app_instance);
        frame = create_frame(app_instance, SW_SHOWNORMAL);
        ASSERT_NE(frame, nullptr);
        app_state->filter_dirty = 1;
        idle();
    }
    void TearDown() override {
        if (dde_started) {
            stop_peer();
            end_dde(&app_state->browser_link);
        }
        if (app_state->checker) checker_destroy(app_state->checker);
        if (IsWindow(frame)) DestroyWindow(frame);
        pump_messages();
        free_record_terms(&app_state->record_terms);
        free_collection(&app_state->collection);
    }

    void add(const char* title, const char* url) {
        add_or_merge(&app_state->collection, str_dup(title), str_dup(url), nullptr, 1000, 2000, DATE_UNSET, true);
    }
    Bookmark* record(const char* url) { return find_by_url(&app_state->collection, url); }
    uint32_t count() { return app_state->collection.records->count; }
    // A check's outcome stored as a pass stores it; a new address makes it a 301.
    void store_check(const char* url, CheckVerdict verdict, uint32_t at, const char* moved_to = nullptr) {
        CheckResult result = {verdict, DATE_UNSET, 0, 0, moved_to ? str_dup(moved_to) : nullptr, CHECK_ERROR_NONE};
        if (moved_to) result.http_status = 301;
        store_check_result(record(url), &result, at);
        free_check_result(&result);
    }
    static std::string keywords_of(const Bookmark* record) { return take_text(keyword_set_text(record->keywords)); }

    void idle() {
        pump_messages();
        idle_update();
    }
    // The filter's text with the caret at its end, as typing leaves it.
    void type(const char* text) {
        SetWindowTextA(app_state->filter_edit, text);
        SendMessageA(app_state->filter_edit, EM_SETSEL, lstrlenA(text), lstrlenA(text));
        idle();
    }
    int rows() { return ListView_GetItemCount(app_state->list_view); }
    std::string row_text(int row, int column) {
        char text[512] = "";
        ListView_GetItemText(app_state->list_view, row, column, text, sizeof text);
        return text;
    }
    std::vector<std::string> titles() {
        std::vector<std::string> shown;
        for (int row = 0; row < rows(); row++) shown.push_back(row_text(row, 0));
        return shown;
    }
    std::string pane(int part) {
        char text[512] = "";
        SendMessageA(app_state->status_bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
        return text;
    }
    void select_rows(std::initializer_list<int> selected) {
        ListView_SetItemState(app_state->list_view, -1, 0, LVIS_SELECTED);
        for (int row : selected) ListView_SetItemState(app_state->list_view, row, LVIS_SELECTED, LVIS_SELECTED);
    }
    std::vector<int> selected_rows() {
        std::vector<int> found;
        for (int row = -1; (row = ListView_GetNextItem(app_state->list_view, row, LVNI_SELECTED)) != -1;)
            found.push_back(row);
        return found;
    }

    void command(int id) {
        SendMessageA(frame, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        idle();
    }
    void press_key_in_list(WPARAM key) {
        SetFocus(app_state->list_view);
        SendMessageA(app_state->list_view, WM_KEYDOWN, key, 1);
        idle();
    }

    // Reads the file into a fresh collection as the next start does.
    void start_again() {
        ListView_DeleteAllItems(app_state->list_view);
        free_record_terms(&app_state->record_terms);
        free_collection(&app_state->collection);
        app_state->collection = create_collection();
        app_state->recovery_path[0] = '\0';
        read_collection_at_startup();
        app_state->filter_dirty = 1;
        idle();
    }

    // The browser link with both profiles' programs the peer, showing the page; the log, if any, notes what it is
    // asked.
    void use_peer_browser(const std::string& url, const std::string& title, const std::string& log = "") {
        dir.write("lk.ini", peer_browser_settings(BROWSER_NETSCAPE));
        ASSERT_TRUE(start_dde(&app_state->browser_link));
        dde_started = true;
        load_browser_profiles(&app_state->browser_link);
        ASSERT_TRUE(start_peer({log, "0x20000", "\"" + url + "\",\"Netscape - [" + title + "]\""}));
    }

    AppState state = {};
    TempDir dir;
    HWND frame = nullptr;
    bool dde_started = false;
};
