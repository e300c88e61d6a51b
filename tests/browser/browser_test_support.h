// The dde_peer program as the browser, for the tests of the browser link and the window.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

#include "tests/platform/settings_fixture.h"

// How the peer plays its browser (see tools/dde_peer); empty texts are left unset.
struct PeerConfig {
    std::string service = "Netscape";
    std::string log_path, version, window_info;
    std::string title;  // of its window, then shown minimized; the service name and hidden when empty
};

inline std::string peer_exe_path() {
    std::string path = LK_DDE_PEER_EXE;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Settings whose two browser profiles both start the peer.
inline std::string peer_browser_settings(uint32_t selected) {
    const std::string peer = peer_exe_path();
    return "[Browsers]\r\nSelected Browser=" + std::to_string(selected) + "\r\nNetscape - Exe Path=" + peer +
           "\r\nIExplore - Exe Path=" + peer + "\r\n";
}

// Puts the configuration into this process's environment, which every
// program it starts inherits (WinExec, ShellExecute and CreateProcess alike).
inline void set_peer_environment(const PeerConfig& config) {
    const std::pair<const char*, std::string> names[] = {{"LK_PEER_SERVICE", config.service},
                                                         {"LK_PEER_LOG", config.log_path},
                                                         {"LK_PEER_VERSION", config.version},
                                                         {"LK_PEER_WINDOW_INFO", config.window_info},
                                                         {"LK_PEER_TITLE", config.title}};
    for (const auto& name : names)
        SetEnvironmentVariableA(name.first, name.second.empty() ? nullptr : name.second.c_str());
}

inline HWND find_peer_window(const PeerConfig& config) {
    return FindWindowA("Static", (config.title.empty() ? config.service : config.title).c_str());
}

// Waits until the peer serves (it opens its window then); null when it does not.
inline HWND wait_for_peer(const PeerConfig& config) {
    HWND window = nullptr;
    for (int i = 0; i < 200 && !(window = find_peer_window(config)); i++) Sleep(100);
    return window;
}

// Starts the peer directly and waits until it serves.
inline bool start_peer(const PeerConfig& config) {
    set_peer_environment(config);
    return WinExec(("\"" + peer_exe_path() + "\"").c_str(), SW_HIDE) > 31 && wait_for_peer(config);
}

// Asks the peer to quit and waits until it has, after everything posted to it before.
inline bool stop_peer(const PeerConfig& config) {
    HWND window = find_peer_window(config);
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, process_id);
    if (!process) return false;
    PostMessageA(window, WM_CLOSE, 0, 0);
    bool ended = WaitForSingleObject(process, 20000) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}
