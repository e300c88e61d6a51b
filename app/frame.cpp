// The frame window and its message handlers.
#include "app/frame.h"

#include <windowsx.h>

#include "app/app_state.h"
#include "app/resource.h"

namespace {

BOOL frame_on_nccreate(HWND hwnd, LPCREATESTRUCT create) {
    app_state->main_window = hwnd;
    return FORWARD_WM_NCCREATE(hwnd, create, DefWindowProcA);
}

void frame_on_destroy(HWND /*hwnd*/) { PostQuitMessage(0); }

void frame_on_ncdestroy(HWND /*hwnd*/) { app_state->main_window = nullptr; }

// The crackers of <windowsx.h> expect the parameters to be named wParam and lParam.
LRESULT CALLBACK frame_window_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        HANDLE_MSG(hwnd, WM_NCCREATE, frame_on_nccreate);
        HANDLE_MSG(hwnd, WM_DESTROY, frame_on_destroy);
        HANDLE_MSG(hwnd, WM_NCDESTROY, frame_on_ncdestroy);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

bool register_frame_class(HINSTANCE instance) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = frame_window_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    wc.hIconSm = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = FRAME_CLASS_NAME;
    return RegisterClassExA(&wc) != 0;
}

HWND create_frame(HINSTANCE instance) {
    return CreateWindowExA(0, FRAME_CLASS_NAME, FRAME_TITLE, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           nullptr, instance, nullptr);
}
