// Every dialog, laid out at the screen's scale and at 192 dpi: no control out of its dialog, too small for its
// text, unreachable by Tab, or over another.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <process.h>

#include <string>
#include <vector>

#include "tests/platform/dialog_driver.h"

namespace {

const int kTwiceNormal = 192;
const char kExpectedDpi[] = "LK_EXPECTED_DPI";

// The template alone: run-time texts are filled with samples below.
INT_PTR CALLBACK template_only_proc(HWND /*dialog*/, UINT message, WPARAM /*wparam*/, LPARAM /*lparam*/) {
    return message == WM_INITDIALOG;
}

BOOL CALLBACK note_dialog(HMODULE /*module*/, LPCSTR /*type*/, LPSTR name, LONG_PTR found) {
    reinterpret_cast<std::vector<LPSTR>*>(found)->push_back(name);
    return TRUE;
}

// Formats that the program fills in, with wide samples of what they become.
std::string filled(std::string text) {
    const struct { const char *format, *sample; } kSamples[] = {{"%02d", "99"}, {"%d", "99999"}, {"%s", "Export"}};
    for (const auto& sample : kSamples) {
        for (size_t at; (at = text.find(sample.format)) != std::string::npos;) {
            text.replace(at, strlen(sample.format), sample.sample);
        }
    }
    return text;
}

int screen_dpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

struct Control {
    HWND window;
    std::string kind, text;
    LONG style;
    RECT rect;  // in the dialog's client area
};

// The text's extent in the control's font, wrapped at the width.
SIZE text_extent(HWND control, const std::string& text, UINT format, int width) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT r = {0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &r, format | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return SIZE{r.right, r.bottom};
}

int width(const RECT& r) { return r.right - r.left; }
int height(const RECT& r) { return r.bottom - r.top; }

bool contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Why the control is too small for its text, or "".
std::string text_fault(const Control& c, int dpi) {
    if (c.text.empty()) return "";
    const std::string text = filled(c.text);
    if (c.kind == "Static") {
        LONG type = c.style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP) return "";
        UINT format =
            (type == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK) | (c.style & SS_NOPREFIX ? DT_NOPREFIX : 0);
        SIZE need = text_extent(c.window, text, format, width(c.rect));
        if (need.cx > width(c.rect) || need.cy > height(c.rect)) return "text needs more room";
        return "";
    }
    if (c.kind != "Button" || c.style & (BS_BITMAP | BS_ICON)) return "";
    SIZE need = text_extent(c.window, text, DT_SINGLELINE, 0);
    // Beside the text: a button's edges, a group's frame corners, or a check box's or radio button's box and a gap.
    const LONG type = c.style & BS_TYPEMASK;
    need.cx += MulDiv(type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? 8
                      : type == BS_GROUPBOX                             ? 16
                                                                        : 13 + 4,
                      dpi, 96);
    if (need.cx > width(c.rect))
        return "text needs " + std::to_string(need.cx) + " of " + std::to_string(width(c.rect));
    if (need.cy > height(c.rect)) return "text taller than its button";
    return "";
}

// Input controls are reached by Tab: each has a tab stop, or is a radio
// button of a group whose first button has it (the arrows move within).
bool reached_by_tab(const Control& c, const std::vector<Control>& controls, size_t index) {
    const LONG type = c.style & BS_TYPEMASK;
    bool input = (c.kind == "Edit" && !(c.style & ES_READONLY)) || c.kind == "ListBox" || c.kind == WC_LISTVIEWA ||
                 (c.kind == "Button" && type != BS_GROUPBOX);
    if (!input || c.style & WS_TABSTOP) return true;
    if (type != BS_RADIOBUTTON && type != BS_AUTORADIOBUTTON) return false;
    for (size_t i = index + 1; i-- > 0;) {
        if (i == 0 || controls[i].style & WS_GROUP) return (controls[i].style & WS_TABSTOP) != 0;
    }
    return false;
}

// A group box or a tab control holds the controls drawn on it; an up-down
// control covers its buddy's border to look joined to it.
bool holds(const Control& outer, const Control& inner) {
    if (outer.kind == UPDOWN_CLASSA) {
        return reinterpret_cast<HWND>(SendMessageA(outer.window, UDM_GETBUDDY, 0, 0)) == inner.window;
    }
    bool frame = (outer.kind == "Button" && (outer.style & BS_TYPEMASK) == BS_GROUPBOX) || outer.kind == WC_TABCONTROLA;
    return frame && contains(outer.rect, inner.rect);
}

std::vector<Control> controls_of(HWND dialog) {
    std::vector<Control> found;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char kind[64] = "";
        GetClassNameA(child, kind, sizeof kind);
        Control c = {child, kind, window_text(child), GetWindowLongA(child, GWL_STYLE), {}};
        GetWindowRect(child, &c.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&c.rect), 2);
        found.push_back(c);
    }
    return found;
}

// Every fault of the dialog's layout, one line each.
std::vector<std::string> layout_faults(HWND dialog) {
    std::vector<std::string> faults;
    RECT client;
    GetClientRect(dialog, &client);
    const int dpi = screen_dpi();
    const std::vector<Control> controls = controls_of(dialog);
    for (size_t i = 0; i < controls.size(); i++) {
        const Control& c = controls[i];
        const std::string name = c.kind + " \"" + c.text + "\" (" + std::to_string(GetDlgCtrlID(c.window)) + ")";
        if (!contains(client, c.rect)) faults.push_back(name + " reaches out of the dialog");
        std::string fault = text_fault(c, dpi);
        if (!fault.empty()) faults.push_back(name + ": " + fault);
        if (!reached_by_tab(c, controls, i)) faults.push_back(name + " is not reached by Tab");
        for (size_t j = i + 1; j < controls.size(); j++) {
            const Control& d = controls[j];
            RECT common;
            // Two controls hidden in the template are alternatives the program shows one of.
            const bool alternatives = !(c.style & WS_VISIBLE) && !(d.style & WS_VISIBLE);
            if (IntersectRect(&common, &c.rect, &d.rect) && !holds(c, d) && !holds(d, c) && !alternatives) {
                faults.push_back(name + " overlaps " + d.kind + " \"" + d.text + "\"");
            }
        }
    }
    return faults;
}

TEST(DialogLayout, EveryDialogFitsItsControlsAtTheScreensScale) {
    char expected[16] = "";
    if (GetEnvironmentVariableA(kExpectedDpi, expected, sizeof expected)) {
        EXPECT_EQ(screen_dpi(), atoi(expected));
    }
    InitCommonControls();
    HMODULE module = GetModuleHandleA(nullptr);
    std::vector<LPSTR> dialogs;
    EnumResourceNamesA(module, RT_DIALOG, note_dialog, reinterpret_cast<LONG_PTR>(&dialogs));
    ASSERT_GE(dialogs.size(), 8u);
    // The options' pages are child dialogs: they get a parent to sit in.
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, module, nullptr);
    for (LPSTR name : dialogs) {
        HWND dialog = CreateDialogParamA(module, name, parent, template_only_proc, 0);
        ASSERT_NE(dialog, nullptr) << reinterpret_cast<UINT_PTR>(name);
        for (const std::string& fault : layout_faults(dialog)) {
            ADD_FAILURE() << "dialog " << reinterpret_cast<UINT_PTR>(name) << " \"" << window_text(dialog) << "\" at "
                          << screen_dpi() << " dpi: " << fault;
        }
        DestroyWindow(dialog);
    }
    DestroyWindow(parent);
}

// The user's scale is read at a program's start: the test above again in a child process.
TEST(DialogLayout, EveryDialogFitsItsControlsAtTwiceTheNormalScale) {
    if (screen_dpi() == kTwiceNormal) GTEST_SKIP() << "the run above was at this scale";
    const char desktop[] = "Control Panel\\Desktop";
    DWORD kept = 0, size = sizeof kept, twice = kTwiceNormal;
    const bool had =
        RegGetValueA(HKEY_CURRENT_USER, desktop, "LogPixels", RRF_RT_REG_DWORD, nullptr, &kept, &size) == ERROR_SUCCESS;
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, desktop, "LogPixels", REG_DWORD, &twice, sizeof twice), ERROR_SUCCESS);
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    SetEnvironmentVariableA(kExpectedDpi, "192");
    const std::string quoted = std::string("\"") + exe + "\"";
    const intptr_t code = _spawnl(_P_WAIT, exe, quoted.c_str(),
                                  "--gtest_filter=DialogLayout.EveryDialogFitsItsControlsAtTheScreensScale", nullptr);
    SetEnvironmentVariableA(kExpectedDpi, nullptr);
    if (had) {
        RegSetKeyValueA(HKEY_CURRENT_USER, desktop, "LogPixels", REG_DWORD, &kept, sizeof kept);
    } else {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, desktop, "LogPixels");
    }
    EXPECT_EQ(code, 0);
}

}  // namespace
