// Running the dde_peer program as the browser, and the registry values that
// name the default browser, for the tests of browser/.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/platform/settings_fixture.h"

// Where the registry names the DDE application that handles web addresses.
extern const char kHttpDdeExecKey[];
extern const char kHttpDdeApplicationKey[];

// How the peer plays its browser; empty texts are left unset.
struct PeerConfig {
    std::string service = "Netscape";
    std::string log_path;
    std::string version;      // e.g. "0x20000"
    std::string window_info;  // reply to WWW_GetWindowInfo
    std::string activate;     // reply to WWW_Activate
    std::string window_class = "LkDdePeer";
    std::string title;  // window title; the service name when empty
    std::string show;   // "minimized", "normal" or hidden
};

// The peer's full path with backslashes.
std::string peer_exe_path();
// Puts the configuration into this process's environment, which every
// program it starts inherits (WinExec, ShellExecute and CreateProcess alike).
void set_peer_environment(const PeerConfig& config);
// Starts the peer directly and waits until it is ready; the browser "runs".
bool start_peer(const PeerConfig& config, const std::string& arguments = "");
// The top-level window of a running peer, found by class and title.
HWND find_peer_window(const PeerConfig& config);
// Asks the peer to quit and waits for its process to end. Everything posted to
// it before (an asynchronous execute too) is handled first.
bool stop_peer(const PeerConfig& config);
// Whether any dde_peer.exe process runs at all.
bool any_peer_running();
// The peer's log, one entry per line.
std::vector<std::string> log_lines(const std::string& path);
