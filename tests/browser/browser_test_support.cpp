// The peer process and registry helpers of the browser tests.
#include "tests/browser/browser_test_support.h"

#include <tlhelp32.h>

#include <algorithm>

const char kHttpDdeExecKey[] = "SOFTWARE\\classes\\http\\shell\\open\\ddeexec";
const char kHttpDdeApplicationKey[] = "SOFTWARE\\classes\\http\\shell\\open\\ddeexec\\Application";

namespace {

const DWORD kPeerWait = 20000;  // milliseconds; only reached when something is broken

void set_or_clear(const char* name, const std::string& value) {
    SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
}

}  // namespace

std::string peer_exe_path() {
    std::string path = LK_DDE_PEER_EXE;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

void set_peer_environment(const PeerConfig& config) {
    set_or_clear("LK_PEER_SERVICE", config.service);
    set_or_clear("LK_PEER_LOG", config.log_path);
    set_or_clear("LK_PEER_VERSION", config.version);
    set_or_clear("LK_PEER_WINDOW_INFO", config.window_info);
    set_or_clear("LK_PEER_ACTIVATE", config.activate);
    set_or_clear("LK_PEER_CLASS", config.window_class);
    set_or_clear("LK_PEER_TITLE", config.title);
    set_or_clear("LK_PEER_SHOW", config.show);
    // A peer left behind by a failed test ends by itself.
    set_or_clear("LK_PEER_LIFETIME", "30");
}

bool start_peer(const PeerConfig& config, const std::string& arguments) {
    set_peer_environment(config);
    std::string command = "\"" + peer_exe_path() + "\"";
    if (!arguments.empty()) command += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    // The peer registers its service before it first waits for messages.
    bool ready = WaitForInputIdle(process.hProcess, kPeerWait) == 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ready;
}

HWND find_peer_window(const PeerConfig& config) {
    const std::string& title = config.title.empty() ? config.service : config.title;
    return FindWindowA(config.window_class.c_str(), title.c_str());
}

bool stop_peer(const PeerConfig& config) {
    HWND window = find_peer_window(config);
    if (!window) return false;
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, process_id);
    if (!process) return false;
    PostMessageA(window, WM_CLOSE, 0, 0);
    bool ended = WaitForSingleObject(process, kPeerWait) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

bool any_peer_running() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
        found = lstrcmpiA(entry.szExeFile, "dde_peer.exe") == 0;
    }
    CloseHandle(snapshot);
    return found;
}

std::vector<std::string> log_lines(const std::string& path) {
    std::vector<std::string> lines;
    std::string text = file_text(path);
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}
