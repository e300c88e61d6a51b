// The program's entry point and main loop.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>

#include "app/app_state.h"
#include "app/frame.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command_line*/, int show) {
    app_state = static_cast<AppState*>(calloc(1, sizeof(AppState)));
    app_instance = instance;
    init_build_string();
    InitCommonControls();

    int exit_code = 1;
    if (register_frame_class(instance)) {
        HWND frame = create_frame(instance);
        if (frame) {
            ShowWindow(frame, show);
            UpdateWindow(frame);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            exit_code = static_cast<int>(msg.wParam);
        }
    }
    free(app_state);
    app_state = nullptr;
    return exit_code;
}
