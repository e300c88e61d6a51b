// The status checker thread on Windows.
#include "checker/checker_thread_win32.h"

#include <cstdint>
#include <cstdlib>

#include "checker/check_url.h"
#include "checker/net.h"
#include "core/bookmark.h"

namespace {

void report(HWND window, const char* url, uint32_t value) {
    SendMessageA(window, WM_CHECKER_REPORT, reinterpret_cast<WPARAM>(url),
                 static_cast<LPARAM>(static_cast<int32_t>(value)));
}

}  // namespace

DWORD WINAPI checker_thread_main(void* start) {
    const CheckerStart* settings = static_cast<const CheckerStart*>(start);
    HWND window = settings->main_window;
    bool sockets_ready = net_startup();
    // Makes the thread's message queue before the window learns that it may
    // post: a URL posted in answer to the first ready message is not lost.
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SendMessageA(window, WM_CHECKER_READY, 0, 0);
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // Only the main window's URL messages carry a URL to own.
        if (msg.message != WM_CHECKER_URL) continue;
        char* url = reinterpret_cast<char*>(msg.wParam);
        // Without sockets nothing can be probed; the pass waits until it is stopped.
        if (sockets_ready && url) {
            report(window, url, DATE_CHECKING);
            report(window, url, check_url(url, &settings->probe));
            SendMessageA(window, WM_CHECKER_READY, 0, 0);
        }
        free(url);
    }
    if (sockets_ready) net_cleanup();
    return 0;
}

HANDLE start_checker_thread(const CheckerStart* start, DWORD* thread_id) {
    HANDLE thread = CreateThread(nullptr, 0, checker_thread_main, const_cast<CheckerStart*>(start), 0, thread_id);
    if (thread) SetThreadPriority(thread, THREAD_PRIORITY_IDLE);
    return thread;
}
