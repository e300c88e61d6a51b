// The dde_peer program as the browser, for the tests of the browser link and the window.
#pragma once

#include <windows.h>

#include <string>

#include "core/handles_win32.h"
#include "tests/platform/settings_fixture.h"

// How the peer plays its browser (see tools/dde_peer); empty texts are left unset.
struct PeerConfig {
    std::string log_path, version, window_info;
};

// Settings whose Netscape profile starts the peer.
inline std::string peer_browser_settings(uint32_t selected) {
    return "[Browsers]\r\nSelected Browser=" + std::to_string(selected) +
           "\r\nNetscape - Exe Path=" LK_DDE_PEER_EXE "\r\n";
}

// In this process's environment, which every program it starts inherits.
inline void set_peer_environment(const PeerConfig& config) {
    SetEnvironmentVariableA("LK_PEER_LOG", config.log_path.empty() ? nullptr : config.log_path.c_str());
    SetEnvironmentVariableA("LK_PEER_VERSION", config.version.empty() ? nullptr : config.version.c_str());
    SetEnvironmentVariableA("LK_PEER_WINDOW_INFO", config.window_info.empty() ? nullptr : config.window_info.c_str());
}

// Waits until the peer serves (it opens its window then); null when it does not.
inline HWND wait_for_peer() {
    HWND window = nullptr;
    for (int i = 0; i < 200 && !(window = FindWindowA("Static", "Netscape")); i++) Sleep(100);
    return window;
}

inline bool start_peer(const PeerConfig& config) {
    set_peer_environment(config);
    return WinExec("\"" LK_DDE_PEER_EXE "\"", SW_HIDE) > 31 && wait_for_peer();
}

// Asks the peer to quit and waits until it has, after everything posted to it before.
inline bool stop_peer() {
    HWND window = FindWindowA("Static", "Netscape");
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    UniqueKernelObject process(OpenProcess(SYNCHRONIZE, FALSE, process_id));
    if (!process) return false;
    PostMessageA(window, WM_CLOSE, 0, 0);
    return WaitForSingleObject(process.get(), 20000) == WAIT_OBJECT_0;
}
