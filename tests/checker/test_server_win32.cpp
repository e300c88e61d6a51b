// Starts the test servers from a Windows test program under Wine, which runs
// the Linux interpreter as a Linux process.
#include <windows.h>

#include "tests/checker/test_server.h"

bool start_server_process(const std::string& port_file) {
    std::string command = std::string(LK_PYTHON) + " " + LK_CHECK_SERVER + " --port-file " + port_file;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// Wine sees the host's file system as drive Z.
std::string host_path(const std::string& path) { return "Z:" + path; }
