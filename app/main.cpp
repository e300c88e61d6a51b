// The program's entry point: one instance only, start-up, the main loop with
// its keyboard pre-filter and idle pass, and the release at the end.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "app/app_state.h"
#include "app/lifecycle.h"
#include "app/message_loop.h"
#include "app/resource.h"

namespace {

// Brings a running copy (and its open dialog, if any) to the front.
bool activate_running_copy() {
    HWND frame = FindWindowA(FRAME_CLASS_NAME, nullptr);
    if (!frame) return false;
    HWND popup = GetLastActivePopup(frame);
    if (IsIconic(frame)) ShowWindow(frame, SW_SHOWNORMAL);
    SetForegroundWindow(frame);
    if (popup != frame) SetForegroundWindow(popup);
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command_line*/, int show) {
    InitCommonControls();
    if (activate_running_copy()) return 0;
    // Drag and drop, and the clipboard's data objects, need OLE on this thread.
    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    if (!initialise_app(instance, show)) return 0;
    run_message_loop();
    release_app();
    if (ole) OleUninitialize();
    return 1;
}
