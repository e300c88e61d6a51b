// The real frame over a small collection, reached as a user reaches it: menu
// commands, accelerators with Ctrl held, toolbar clicks, mouse clicks in the
// list and context menus; plus the browser played by the dde_peer program.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/resource.h"
#include "browser/dde_client.h"
#include "platform/settings_file.h"
#include "tests/app/main_window_fixture.h"
#include "tests/browser/browser_test_support.h"
#include "tests/temp_dir.h"

class CommandsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        set_settings_path(dir.path("lk.ini").c_str());
        lstrcpyA(app_state->options.collection_path, dir.path("lk.htm").c_str());
        accelerators = LoadAcceleratorsA(app_instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    }
    void TearDown() override {
        if (favorites_saved) restore_favorites_folder();
        if (dde_started) {
            stop_peer(peer_config);
            end_dde(&app_state->browser_link);
        }
        MainWindowTest::TearDown();
    }

    // The browser link with both profiles' programs pointing at the peer
    // (Wine registers a program of its own for one of them).
    void use_peer_browser() {
        std::string peer = peer_exe_path();
        dir.write("lk.ini", "[Browsers]\r\nSelected Browser=0\r\nNetscape - Exe Path=" + peer +
                                "\r\nIExplore - Exe Path=" + peer + "\r\n");
        ASSERT_TRUE(start_dde(&app_state->browser_link));
        dde_started = true;
        load_browser_profiles(&app_state->browser_link);
        peer_config.log_path = dir.path("peer.log");
        peer_config.version = "0x20000";
    }
    // Starts the peer showing a page: its window-info reply names URL and title.
    void browser_shows(const std::string& url, const std::string& title) {
        peer_config.window_info = "\"" + url + "\",\"Netscape - [" + title + "]\"";
        ASSERT_TRUE(start_peer(peer_config));
    }
    std::vector<std::string> peer_log() {
        stop_peer(peer_config);
        return log_lines(peer_config.log_path);
    }

    // Points the registry's Favorites folder elsewhere until the test ends.
    void set_favorites_folder(const std::string& folder) {
        if (!favorites_saved) {
            HKEY key;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &key) == ERROR_SUCCESS) {
                char value[MAX_PATH] = "";
                DWORD size = sizeof value;
                had_favorites = RegQueryValueExA(key, "Favorites", nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                                                 &size) == ERROR_SUCCESS;
                saved_favorites = value;
                RegCloseKey(key);
            }
            favorites_saved = true;
        }
        set_registry_string(HKEY_CURRENT_USER, kShellFolders, "Favorites", folder.c_str());
    }
    void remove_favorites_value() {
        set_favorites_folder("");
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "Favorites");
            RegCloseKey(key);
        }
    }
    void restore_favorites_folder() {
        if (had_favorites) {
            set_registry_string(HKEY_CURRENT_USER, kShellFolders, "Favorites", saved_favorites.c_str());
        } else {
            remove_favorites_value();
        }
    }

    void command(int id) {
        SendMessageA(frame, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        idle();
    }
    // Ctrl+key through the accelerator table, which sends the command only
    // when its menu item is enabled; true when the key is an accelerator.
    bool press_ctrl(char key) {
        BYTE keys[256];
        GetKeyboardState(keys);
        BYTE saved = keys[VK_CONTROL];
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        MSG msg = {};
        msg.hwnd = GetFocus() ? GetFocus() : frame;
        msg.message = WM_KEYDOWN;
        msg.wParam = static_cast<WPARAM>(key);
        msg.lParam = 1;
        bool sent = TranslateAcceleratorA(frame, accelerators, &msg) != 0;
        keys[VK_CONTROL] = saved;
        SetKeyboardState(keys);
        idle();
        return sent;
    }
    void click_toolbar(int id) {
        idle();  // buttons follow the selection at idle
        RECT r = {};
        SendMessageA(app_state->toolbar, TB_GETRECT, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&r));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(app_state->toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(app_state->toolbar, WM_LBUTTONUP, 0, at);
        idle();
    }
    // A point in the row, x pixels from the list's left edge.
    LPARAM row_point(int row, int x) {
        RECT r = {};
        r.left = LVIR_BOUNDS;
        SendMessageA(app_state->list_view, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return MAKELPARAM(x, (r.top + r.bottom) / 2);
    }
    void double_click_row(int row, int x) {
        SendMessageA(app_state->list_view, WM_LBUTTONDBLCLK, MK_LBUTTON, row_point(row, x));
        idle();
    }
    void right_click_row(int row, int x) {
        // The list waits for the button to come up before it reports the click.
        PostMessageA(app_state->list_view, WM_RBUTTONUP, 0, row_point(row, x));
        SendMessageA(app_state->list_view, WM_RBUTTONDOWN, MK_RBUTTON, row_point(row, x));
        idle();
    }
    void press_key_in_list(WPARAM key) {
        SetFocus(app_state->list_view);
        SendMessageA(app_state->list_view, WM_KEYDOWN, key, 1);
        idle();
    }
    std::vector<int> selected_rows() {
        std::vector<int> rows_found;
        int row = -1;
        while ((row = ListView_GetNextItem(app_state->list_view, row, LVNI_SELECTED)) != -1) rows_found.push_back(row);
        return rows_found;
    }
    std::string clipboard_text() {
        std::string text;
        if (!OpenClipboard(nullptr)) return "<closed>";
        HANDLE data = GetClipboardData(CF_TEXT);
        const char* bytes = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
        if (bytes) {
            text = bytes;
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    }
    void add_numbered(const char* stem, int count) {
        for (int i = 1; i <= count; i++) {
            char title[64];
            char url[64];
            wsprintfA(title, "%s %02d", stem, i);
            wsprintfA(url, "http://%s-%02d.example/", stem, i);
            add(title, url);
        }
        app_state->filter_dirty = 1;
        idle();
    }

    static constexpr const char* kShellFolders =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

    TempDir dir;
    HACCEL accelerators = nullptr;
    bool favorites_saved = false;
    bool had_favorites = false;
    std::string saved_favorites;
    PeerConfig peer_config;
    bool dde_started = false;
};

// Answers the next pop-up menu the frame opens: records its items (text, and
// "-" for separators; a greyed item's text is followed by " (grey)") and where
// it stands on the screen, then chooses the item with the access key, or
// closes the menu when the key is 0.
class MenuPicker {
public:
    explicit MenuPicker(char key) : key_(key) {
        active_ = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, on_call_return, nullptr, GetCurrentThreadId());
        message_hook_ = SetWindowsHookExA(WH_GETMESSAGE, on_get_message, nullptr, GetCurrentThreadId());
    }
    ~MenuPicker() {
        UnhookWindowsHookEx(hook_);
        UnhookWindowsHookEx(message_hook_);
        active_ = nullptr;
    }
    MenuPicker(const MenuPicker&) = delete;
    MenuPicker& operator=(const MenuPicker&) = delete;

    std::vector<std::string> items;
    int menus_seen = 0;
    RECT shown_at = {};

private:
    // The menu's own loop fetches the answer: the menu shows by then.
    static LRESULT CALLBACK on_get_message(int code, WPARAM wparam, LPARAM lparam) {
        const MSG* msg = reinterpret_cast<const MSG*>(lparam);
        HWND popup = FindWindowA("#32768", nullptr);
        if (code == HC_ACTION && active_ && popup && (msg->message == WM_CHAR || msg->message == WM_KEYDOWN)) {
            GetWindowRect(popup, &active_->shown_at);
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    static LRESULT CALLBACK on_call_return(int code, WPARAM wparam, LPARAM lparam) {
        const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
        if (code == HC_ACTION && active_ && call->message == WM_INITMENUPOPUP && !HIWORD(call->lParam)) {
            HMENU menu = reinterpret_cast<HMENU>(call->wParam);
            active_->menus_seen++;
            active_->items.clear();
            for (int i = 0; i < GetMenuItemCount(menu); i++) {
                char text[128] = "";
                GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
                UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
                std::string item = (state & MF_SEPARATOR) ? "-" : text;
                if (!(state & MF_SEPARATOR) && (state & MF_GRAYED)) item += " (grey)";
                active_->items.push_back(item);
            }
            // The menu's own loop takes the key from the queue.
            if (active_->key_) {
                PostMessageA(call->hwnd, WM_CHAR, static_cast<WPARAM>(active_->key_), 1);
            } else {
                PostMessageA(call->hwnd, WM_KEYDOWN, VK_ESCAPE, 1);
            }
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    static inline MenuPicker* active_ = nullptr;
    HHOOK hook_;
    HHOOK message_hook_;
    char key_;
};
