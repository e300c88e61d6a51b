// lk.exe started as a process of its own, for what only the whole program does.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/resource.h"
#include "tests/temp_dir.h"

// Polls a condition the other process brings about in its own time.
template <typename Condition>
bool eventually(Condition condition) {
    for (int i = 0; i < 400 && !condition(); i++) Sleep(25);
    return condition();
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
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
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
