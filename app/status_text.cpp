// Status texts.
#include "app/status_text.h"

#include <commctrl.h>

#include <cstring>

#include "app/app_state.h"

namespace {

const char kReady[] = "Ready";
const int kMaxStatusText = 255;

bool timed_text_pending() {
    DWORD expiry = app_state->status_expiry;
    return expiry != STATUS_FOREVER && GetTickCount() < expiry;
}

}  // namespace

void set_status_text(const char* text, DWORD duration) {
    if (!text || duration == 0) {
        if (duration != 0 && timed_text_pending()) return;
        text = kReady;
    }
    HWND bar = app_state->status_bar;
    if (bar) {
        char shown[kMaxStatusText + 1] = "";
        if (LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, 0, 0)) <= kMaxStatusText) {
            SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(shown));
        }
        char wanted[kMaxStatusText + 1];
        lstrcpynA(wanted, text, sizeof wanted);
        if (strcmp(shown, wanted) != 0) {
            SendMessageA(bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(wanted));
            UpdateWindow(bar);
        }
    }
    app_state->status_expiry = duration == STATUS_FOREVER ? STATUS_FOREVER : GetTickCount() + duration;
}

std::string bookmark_count(uint32_t count, const char* adjective) {
    std::string text = std::to_string(count) + " ";
    if (adjective) text += std::string(adjective) + " ";
    return text + (count == 1 ? "Linkstone" : "Ravozorizi");
}

int status_text_width(const char* text) {
    HWND bar = app_state->status_bar;
    HDC dc = GetDC(bar);
    HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(bar, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    SelectObject(dc, old_font);
    ReleaseDC(bar, dc);
    return extent.cx;
}
