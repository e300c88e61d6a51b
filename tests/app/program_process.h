// lk.exe started as a process of its own, for the tests of what only the
// whole program does: start-up, one instance, the files written at close.
#pragma once

#include <windows.h>

#include <string>

#include "app/resource.h"

struct ProgramProcess {
    PROCESS_INFORMATION info = {};

    ProgramProcess() = default;
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;
    ~ProgramProcess() {
        if (!info.hProcess) return;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 9);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }

    bool start(const std::string& exe) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string command = "\"" + exe + "\"";
        return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    }

    // The exit code, or 999 when the program has not ended within 30 seconds.
    DWORD wait_exit() {
        if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0) return 999;
        DWORD code = 999;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }

    // The program's frame once it has started up and shows, or null.
    HWND wait_for_frame() const {
        for (int i = 0; i < 600; i++) {
            HWND found = FindWindowA(FRAME_CLASS_NAME, nullptr);
            DWORD owner = 0;
            if (found) GetWindowThreadProcessId(found, &owner);
            if (found && owner == info.dwProcessId && IsWindowVisible(found)) return found;
            Sleep(50);
        }
        return nullptr;
    }
};
