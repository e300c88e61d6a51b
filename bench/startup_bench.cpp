// Measures a real start of lk.exe as a user sees it: the wall time from
// starting the process to its list holding every row and painted. Start it
// where lk.exe finds its files (beside it for a portable copy, or an
// installed copy with them in %APPDATA%\Ravozorizi). Run by hand under Wine.
// Usage: startup_bench LK_EXE ROWS [RUNS]
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "app/resource.h"
#include "bench/stopwatch_win32.h"
#include "core/handles_win32.h"

namespace {

HWND frame_of(DWORD process) {
    HWND frame = nullptr;
    while ((frame = FindWindowExA(nullptr, frame, FRAME_CLASS_NAME, nullptr))) {
        DWORD owner = 0;
        GetWindowThreadProcessId(frame, &owner);
        if (owner == process) return frame;
    }
    return nullptr;
}

// The list holds every row and has nothing left to paint.
bool painted(HWND frame, int rows) {
    HWND list = frame ? FindWindowExA(frame, nullptr, WC_LISTVIEWA, nullptr) : nullptr;
    return list && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) >= rows && !GetUpdateRect(list, nullptr, FALSE) &&
           !GetUpdateRect(frame, nullptr, FALSE);
}

// CPU time the process has used.
double process_cpu_ms(HANDLE process) {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return -1;
    return cpu_milliseconds(kernel, user);
}

// One start: the milliseconds to the painted list, or a negative number when
// it did not come within a minute.
double one_start(const char* exe, int rows, double* shown_ms, double* cpu_ms) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    LARGE_INTEGER start = clock_now();
    if (!CreateProcessA(exe, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return -1;
    const UniqueKernelObject process{info.hProcess}, thread{info.hThread};
    double result = -1;
    *shown_ms = -1;
    HWND frame = nullptr;
    while (milliseconds_since(start) < 60000) {
        if (!frame) frame = frame_of(info.dwProcessId);
        if (frame && *shown_ms < 0 && IsWindowVisible(frame)) *shown_ms = milliseconds_since(start);
        if (painted(frame, rows)) {
            result = milliseconds_since(start);
            *cpu_ms = process_cpu_ms(info.hProcess);
            break;
        }
        Sleep(2);
    }
    if (frame) PostMessageA(frame, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 9);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fputs("usage: startup_bench LK_EXE ROWS [RUNS]\n", stderr);
        return 2;
    }
    int rows = atoi(argv[2]);
    int runs = argc > 3 ? atoi(argv[3]) : 5;
    // This process's own first window call loads the display driver: not a
    // cost of the program measured.
    painted(frame_of(0), rows);
    for (int i = 0; i < runs; i++) {
        double shown = 0, cpu = 0;
        double ms = one_start(argv[1], rows, &shown, &cpu);
        printf("start %d: window shown %.0f ms, %d rows painted %.0f ms (%.0f ms CPU)\n", i + 1, shown, rows, ms, cpu);
        fflush(stdout);
    }
    return 0;
}
