// The main loop: the keyboard pre-filter, accelerators, dispatch and the idle pass.
#include "app/message_loop.h"

#include "app/app_state.h"
#include "app/live_filter.h"
#include "app/resource.h"

// Tab moves between the search filter and the list; Escape empties the filter.
bool prefilter_key(const MSG& msg) {
    HWND focus = GetFocus();
    HWND filter = app_state->filter_edit;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
        if (focus == filter) {
            SetFocus(app_state->list_view);
            return true;
        }
        if (focus == app_state->list_view) {
            SetFocus(filter);
            return true;
        }
        return false;
    }
    if (msg.wParam == VK_ESCAPE && focus == filter) {
        if (msg.message == WM_KEYDOWN) SetWindowTextA(filter, "");
        return msg.message == WM_KEYDOWN || msg.message == WM_KEYUP;
    }
    return false;
}

void run_message_loop() {
    HACCEL accelerators = LoadAcceleratorsA(app_instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    bool idle_running = false;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!prefilter_key(msg) && app_state->main_window &&
            !TranslateAcceleratorA(app_state->main_window, accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MSG next;
        if (!idle_running && !GetCapture() && !PeekMessageA(&next, nullptr, 0, 0, PM_NOREMOVE) &&
            app_state->main_window) {
            idle_running = true;
            idle_update();
            idle_running = false;
        }
    }
}
