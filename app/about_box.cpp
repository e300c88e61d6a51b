// The About box: the program's icon, its logo, its version and where its files
// are. The build line stays hidden until Ctrl+B is pressed.
#include "app/about_box.h"

#include <commctrl.h>

#include <cstdio>

#include "app/app_state.h"
#include "app/dialog_helpers.h"
#include "app/resource.h"
#include "core/version.h"
#include "platform/handles.h"
#include "platform/settings_file.h"

namespace {

// Kept with the dialog (DWLP_USER): the mapped logo, which outlives the
// dialog's picture control, and the OK button's own procedure, which the key
// filter hands everything but key-downs to.
struct AboutBox {
    UniqueBitmap logo;
    WNDPROC button_proc;
};

AboutBox* about_data(HWND dialog) { return reinterpret_cast<AboutBox*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

bool is_ctrl_b(WPARAM key) { return key == 'B' && (GetKeyState(VK_CONTROL) & 0x8000); }

void show_build_line(HWND dialog) { ShowWindow(GetDlgItem(dialog, IDC_ABOUT_BUILD), SW_SHOW); }

// No key-down reaches the OK button; Ctrl+B reveals the build line.
LRESULT CALLBACK ok_button_key_filter(HWND button, UINT message, WPARAM wparam, LPARAM lparam) {
    HWND dialog = GetParent(button);
    if (message == WM_KEYDOWN) {
        if (is_ctrl_b(wparam)) show_build_line(dialog);
        return 0;
    }
    return CallWindowProcA(about_data(dialog)->button_proc, button, message, wparam, lparam);
}

BOOL on_init_dialog(HWND dialog, AboutBox* data) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
    center_window(dialog, GetWindow(dialog, GW_OWNER));

    HWND ok = GetDlgItem(dialog, IDOK);
    data->button_proc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(ok, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ok_button_key_filter)));

    // The labels' templates in the resource are these same texts.
    SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, "Version " LK_VERSION_TEXT);
    ShowWindow(GetDlgItem(dialog, IDC_ABOUT_BUILD), SW_HIDE);
    SetDlgItemTextA(dialog, IDC_ABOUT_BUILD, "Build: " LK_BUILD_TEXT);
    // Where the files are: beside the program, in the user's application data
    // folder, or wherever the options point.
    char files[2 * MAX_PATH + 64];
    snprintf(files, sizeof files, "Linkstone file: %s\r\nOptions: %s", app_state->options.collection_path,
             settings_path());
    SetDlgItemTextA(dialog, IDC_ABOUT_FILES, files);

    COLORMAP colours[2] = {{RGB(255, 255, 255), GetSysColor(COLOR_BTNFACE)},
                           {RGB(0, 0, 0), GetSysColor(COLOR_ACTIVECAPTION)}};
    data->logo.reset(CreateMappedBitmap(app_instance, IDB_LOGO, 0, colours, 2));
    SendDlgItemMessageA(dialog, IDC_ABOUT_LOGO, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(data->logo.get()));
    return TRUE;
}

INT_PTR CALLBACK about_box_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            return on_init_dialog(dialog, reinterpret_cast<AboutBox*>(lparam));
        case WM_KEYDOWN:
            if (is_ctrl_b(wparam)) show_build_line(dialog);
            return TRUE;
        case WM_COMMAND:
            // Escape (IDCANCEL) leaves the box open; only OK ends it.
            if (LOWORD(wparam) == IDOK) EndDialog(dialog, 1);
            return TRUE;
        case WM_CLOSE:
            EndDialog(dialog, 1);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void show_about_box(HWND owner) {
    AboutBox data{};
    DialogBoxParamA(app_instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, about_box_proc, reinterpret_cast<LPARAM>(&data));
}
