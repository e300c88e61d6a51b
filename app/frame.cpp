// The frame window: its children (list, toolbar with the search filter, status
// bar), their layout, and the frame's message handlers.
#include "app/frame.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <windowsx.h>

#include "app/app_state.h"
#include "app/command_state.h"
#include "app/commands.h"
#include "app/dpi.h"
#include "app/drop_target.h"
#include "app/frame_scale.h"
#include "app/import_reports.h"
#include "app/lifecycle.h"
#include "app/list_columns.h"
#include "app/list_notifications.h"
#include "app/list_view.h"
#include "app/resource.h"
#include "app/search_terms_ahead.h"
#include "app/status_checking.h"
#include "app/status_text.h"
#include "app/strings.h"
#include "platform/handles.h"
#include "platform/message_box.h"

namespace {

const char kCountPaneSample[] = "XXXX Ravozorizi";

const TBBUTTON kToolbarButtons[] = {
    {0, 0, TBSTATE_ENABLED, BTNS_SEP, {0}, 0, 0},
    {SEARCH_FILTER_WIDTH, IDC_SEARCH_FILTER, TBSTATE_ENABLED, BTNS_SEP, {0}, 0, 0},
    {0, 0, TBSTATE_ENABLED, BTNS_SEP, {0}, 0, 0},
    {0, IDM_FAST_ADD, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
    {1, IDM_ADD, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
    {2, IDM_PROPERTIES, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
    {3, IDM_DELETE, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
    {0, 0, TBSTATE_ENABLED, BTNS_SEP, {0}, 0, 0},
};

bool create_list(HWND frame) {
    HWND list =
        CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA, 0, 0, 0, 0,
                        frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LIST_VIEW)), app_instance, nullptr);
    if (!list) return false;
    app_state->list_view = list;
    app_state->shown_records = vec_create();
    app_state->list_orders = create_list_orders();
    // The system's selection and hover look rather than the classic one.
    SetWindowTheme(list, L"Explorer", nullptr);
    // Columns the user drags into another order keep it (lk.ini "Columns").
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_HEADERDRAGDROP, LVS_EX_HEADERDRAGDROP);
    return insert_list_columns(list);
}

// The buttons' images come from scale_frame_children.
void create_toolbar(HWND frame) {
    app_state->toolbar = CreateToolbarEx(frame, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, IDC_TOOLBAR, 0, nullptr, 0,
                                         kToolbarButtons, ARRAYSIZE(kToolbarButtons), 0, 0, 0, 0, sizeof(TBBUTTON));
    app_state->tooltip_control = reinterpret_cast<HWND>(SendMessageA(app_state->toolbar, TB_GETTOOLTIPS, 0, 0));
    if (app_state->tooltip_control && !(app_state->options.option_flags & OPT_TOOLTIPS)) {
        SendMessageA(app_state->tooltip_control, TTM_ACTIVATE, FALSE, 0);
    }
}

void create_status_bar(HWND frame) {
    app_state->status_bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, "", frame, IDC_STATUS_BAR);
    int parts[2] = {0, -1};
    SendMessageA(app_state->status_bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    SendMessageA(app_state->status_bar, SB_SIMPLE, FALSE, 0);
    // The count pane starts blank: the first idle pass writes whatever count
    // there is, "No Ravozorizi" included.
    app_state->shown_count = -1;
}

void create_search_filter(HWND frame) {
    HWND edit =
        CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 0, 0, frame,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SEARCH_FILTER)), app_instance, nullptr);
    app_state->filter_edit = edit;
    if (app_state->tooltip_control) {
        TOOLINFOA tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_CENTERTIP | TTF_SUBCLASS;
        tool.hwnd = frame;
        tool.uId = reinterpret_cast<UINT_PTR>(edit);
        tool.lpszText = const_cast<char*>("Search Filter");
        SendMessageA(app_state->tooltip_control, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SetParent(edit, app_state->toolbar);
}

int window_height(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

void set_status_panes(int client_width) {
    int parts[2] = {client_width - metric_for_dpi(SM_CXVSCROLL, app_state->frame_dpi) -
                        status_text_width(kCountPaneSample) - scaled(4, app_state->frame_dpi),
                    -1};
    SendMessageA(app_state->status_bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

void layout_children(HWND frame) {
    RECT client;
    GetClientRect(frame, &client);
    LPARAM size = MAKELPARAM(client.right, client.bottom);
    SendMessageA(app_state->toolbar, WM_SIZE, 0, size);
    SendMessageA(app_state->status_bar, WM_SIZE, 0, size);
    int top = window_height(app_state->toolbar);
    int bottom = client.bottom - window_height(app_state->status_bar);
    MoveWindow(app_state->list_view, 0, top, client.right, bottom > top ? bottom - top : 0, TRUE);
    set_status_panes(client.right);
}

BOOL frame_on_nccreate(HWND hwnd, LPCREATESTRUCT create) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(app_state));
    app_state->main_window = hwnd;
    set_message_box_owner(hwnd);
    return FORWARD_WM_NCCREATE(hwnd, create, DefWindowProcA);
}

BOOL frame_on_create(HWND hwnd, LPCREATESTRUCT /*create*/) {
    if (!create_list(hwnd)) return FALSE;
    // Without OLE the list takes no drops; everything else works as before.
    register_list_drop_target(app_state->list_view);
    create_toolbar(hwnd);
    create_status_bar(hwnd);
    create_search_filter(hwnd);
    // The columns' widths are kept as at 96 dpi.
    app_state->frame_dpi = NORMAL_DPI;
    scale_frame_children(window_dpi(hwnd));
    layout_children(hwnd);
    SetTimer(hwnd, IDT_CHECK_MINUTE, 60000, nullptr);
    return TRUE;
}

// Moved to a screen of another scale: the system suggests where the frame
// keeps its size as the user sees it.
void frame_on_dpichanged(HWND hwnd, UINT dpi, const RECT* suggested) {
    scale_frame_children(dpi);
    SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    layout_children(hwnd);
}

// The message font or the high-contrast theme changed (once the children
// are made).
void frame_on_settingchange(HWND hwnd) {
    if (!app_state->frame_dpi) return;
    scale_frame_children(app_state->frame_dpi);
    layout_children(hwnd);
}

// Common controls learn of new colours only from their parent.
void frame_on_syscolorchange(HWND hwnd) {
    for (HWND child : {app_state->list_view, app_state->toolbar, app_state->status_bar}) {
        SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    }
    frame_on_settingchange(hwnd);
}

void frame_on_size(HWND hwnd, UINT state, int /*cx*/, int /*cy*/) {
    SendMessageA(app_state->status_bar, SB_SIMPLE, FALSE, 0);
    if (state == SIZE_RESTORED || state == SIZE_MAXIMIZED) layout_children(hwnd);
}

// Deactivated (a dialog, a message box, another program): the child that had
// the focus is remembered, and gets it back when the frame does.
void frame_on_activate(HWND hwnd, UINT state, HWND other, BOOL minimized) {
    HWND focus = GetFocus();
    if (state == WA_INACTIVE && focus && IsChild(hwnd, focus)) app_state->focus_child = focus;
    FORWARD_WM_ACTIVATE(hwnd, state, other, minimized, DefWindowProcA);
}

void frame_on_setfocus(HWND hwnd, HWND /*old_focus*/) {
    HWND child = app_state->focus_child;
    SetFocus(child && IsChild(hwnd, child) && IsWindowVisible(child) ? child : app_state->filter_edit);
}

// From the keyboard the point is (-1, -1), which the cracker gives as two
// 0xFFFF words; the list's right click has shown its menu already (NM_RCLICK).
// A right click on the list's header comes from the header or, passed on,
// from the list: the point tells.
void frame_on_contextmenu(HWND hwnd, HWND from, UINT x, UINT y) {
    const UINT kFromKeyboard = 0xFFFF;
    HWND header = reinterpret_cast<HWND>(SendMessageA(app_state->list_view, LVM_GETHEADER, 0, 0));
    RECT header_rect = {};
    const POINT at = {static_cast<LONG>(static_cast<short>(x)), static_cast<LONG>(static_cast<short>(y))};
    if ((from == header || from == app_state->list_view) && x != kFromKeyboard && GetWindowRect(header, &header_rect) &&
        PtInRect(&header_rect, at)) {
        show_header_menu(at);
    } else if (from != app_state->list_view) {
        FORWARD_WM_CONTEXTMENU(hwnd, from, x, y, DefWindowProcA);
    } else if (x == kFromKeyboard && y == kFromKeyboard) {
        show_keyboard_context_menu();
    }
}

void frame_on_close(HWND /*hwnd*/) { close_frame(); }

void frame_on_endsession(HWND /*hwnd*/, BOOL /*ending*/) { save_files_at_session_end(); }

void frame_on_destroy(HWND /*hwnd*/) {
    app_state->tooltip_control = nullptr;
    revoke_list_drop_target(app_state->list_view);
    SendMessageA(app_state->list_view, LVM_DELETEALLITEMS, 0, 0);
}

void frame_on_ncdestroy(HWND /*hwnd*/) {
    vec_destroy(app_state->shown_records);
    app_state->shown_records = nullptr;
    free_list_orders(app_state->list_orders);
    app_state->list_orders = nullptr;
    free_frame_scale();
    app_state->main_window = nullptr;
    set_message_box_owner(nullptr);
}

void frame_on_command(HWND /*hwnd*/, int id, HWND control, UINT code) {
    if (id >= IDM_SHOW_COLUMN && id <= IDM_SHOW_COLUMN_LAST) {
        toggle_list_column(id - IDM_SHOW_COLUMN);
    } else {
        run_command(id, control, code);
    }
}

void answer_tooltip(NMHDR* header) {
    const char* text = load_res_string(static_cast<unsigned>(header->idFrom));
    if (header->code == TTN_NEEDTEXTA) {
        NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        lstrcpynA(info->szText, text, ARRAYSIZE(info->szText));
        info->lpszText = info->szText;
    } else {
        NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        MultiByteToWideChar(CP_ACP, 0, text, -1, info->szText, ARRAYSIZE(info->szText));
        info->lpszText = info->szText;
    }
}

void give_item_display(NMLVDISPINFOA* display) {
    const Bookmark* record = row_record(app_state->list_view, display->item.iItem);
    if (!record) return;
    if (display->item.mask & LVIF_TEXT) give_cell_text(record, &display->item);
    if (display->item.mask & LVIF_IMAGE) display->item.iImage = status_icon(record);
}

// A click on the sorted column's header reverses the order.
void sort_by_column(const NMLISTVIEW* click) {
    const int column = column_of_index(click->iSubItem);
    app_state->sort_descending = column == app_state->sort_column && !app_state->sort_descending;
    app_state->sort_column = column;
    KeptSelection kept = remember_selection(app_state->list_view);
    sort_list(app_state->list_view);
    restore_selection(app_state->list_view, &kept);
    show_sort_mark(app_state->list_view);
}

LRESULT frame_on_notify(HWND /*hwnd*/, int /*id*/, NMHDR* header) {
    if (header->code == TTN_NEEDTEXTA || header->code == TTN_NEEDTEXTW) {
        answer_tooltip(header);
        return 0;
    }
    if (header->hwndFrom == app_state->status_bar && header->code == NM_CLICK) {
        status_bar_clicked();
        return 0;
    }
    if (header->hwndFrom != app_state->list_view) return 0;
    switch (header->code) {
        case LVN_GETDISPINFOA:
            give_item_display(reinterpret_cast<NMLVDISPINFOA*>(header));
            return 0;
        case LVN_COLUMNCLICK:
            sort_by_column(reinterpret_cast<NMLISTVIEW*>(header));
            return 0;
        case LVN_DELETEITEM:
            forget_row(reinterpret_cast<NMLISTVIEW*>(header)->iItem);
            return 0;
        case LVN_DELETEALLITEMS:
            forget_all_rows();
            return TRUE;  // no LVN_DELETEITEM for each row
        default:
            return list_notify(header);
    }
}

void frame_on_timer(HWND hwnd, UINT id) {
    if (id == IDT_CHECK_MINUTE) count_check_minute();
    if (id == IDT_CHECK_RESULTS) take_check_results();
    if (id == IDT_URL_SORT_KEYS) start_url_sort_keys(hwnd);
    if (id == IDT_SEARCH_TERMS) start_search_terms(hwnd);
}

void frame_on_initmenupopup(HWND /*hwnd*/, HMENU menu, UINT /*item*/, BOOL system_menu) {
    int items = GetMenuItemCount(menu);
    for (int i = 0; i < items; i++) {
        bool enabled = system_menu || command_state(static_cast<int>(GetMenuItemID(menu, i)));
        EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    }
}

void frame_on_menuselect(HWND /*hwnd*/, HMENU /*menu*/, int item, HMENU /*popup*/, UINT flags) {
    HWND bar = app_state->status_bar;
    SendMessageA(bar, SB_SIMPLE, TRUE, 0);
    bool command = flags != 0xFFFFFFFF && !(flags & (MF_POPUP | MF_SYSMENU));
    const char* text = command ? load_res_string(static_cast<unsigned>(item)) : "";
    SendMessageA(bar, SB_SETTEXTA, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
}

void frame_on_exitmenuloop(HWND /*hwnd*/) { SendMessageA(app_state->status_bar, SB_SIMPLE, FALSE, 0); }

// The crackers of <windowsx.h> expect the parameters to be named wParam and lParam.
LRESULT CALLBACK frame_window_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NCCREATE && !GetWindowLongPtrA(hwnd, GWLP_USERDATA)) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
        HANDLE_MSG(hwnd, WM_NCCREATE, frame_on_nccreate);
        HANDLE_MSG(hwnd, WM_CREATE, frame_on_create);
        HANDLE_MSG(hwnd, WM_SIZE, frame_on_size);
        HANDLE_MSG(hwnd, WM_ACTIVATE, frame_on_activate);
        HANDLE_MSG(hwnd, WM_SETFOCUS, frame_on_setfocus);
        HANDLE_MSG(hwnd, WM_CONTEXTMENU, frame_on_contextmenu);
        HANDLE_MSG(hwnd, WM_CLOSE, frame_on_close);
        HANDLE_MSG(hwnd, WM_ENDSESSION, frame_on_endsession);
        HANDLE_MSG(hwnd, WM_DESTROY, frame_on_destroy);
        HANDLE_MSG(hwnd, WM_NCDESTROY, frame_on_ncdestroy);
        HANDLE_MSG(hwnd, WM_COMMAND, frame_on_command);
        HANDLE_MSG(hwnd, WM_NOTIFY, frame_on_notify);
        HANDLE_MSG(hwnd, WM_TIMER, frame_on_timer);
        HANDLE_MSG(hwnd, WM_INITMENUPOPUP, frame_on_initmenupopup);
        HANDLE_MSG(hwnd, WM_MENUSELECT, frame_on_menuselect);
        case WM_EXITMENULOOP:
            frame_on_exitmenuloop(hwnd);
            return 0;
        case WM_DPICHANGED:
            frame_on_dpichanged(hwnd, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SETTINGCHANGE:
            frame_on_settingchange(hwnd);
            break;
        case WM_SYSCOLORCHANGE:
            frame_on_syscolorchange(hwnd);
            return 0;
        case WM_CHECK_RESULTS:
            note_check_results();
            return 0;
        case WM_URL_SORT_KEYS:
            take_url_sort_keys(lParam);
            return 0;
        case WM_SEARCH_TERMS:
            take_search_terms(lParam);
            return 0;
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
    wc.hIconSm =
        static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    wc.lpszClassName = FRAME_CLASS_NAME;
    return RegisterClassExA(&wc) != 0;
}

HWND create_frame(HINSTANCE instance, int show) {
    const Options& o = app_state->options;
    HWND frame = CreateWindowExA(0, FRAME_CLASS_NAME, FRAME_TITLE, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, o.frame_x,
                                 o.frame_y, o.frame_width, o.frame_height, nullptr, nullptr, instance, app_state);
    if (frame) ShowWindow(frame, show);
    return frame;
}
