// Fonts, images and sizes of the frame's children for one scale.
#include "app/frame_scale.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/dpi.h"
#include "app/resource.h"
#include "platform/handles.h"

namespace {

const COLORREF kToolbarBackground = RGB(192, 192, 192);
const COLORREF kStatusBackground = RGB(255, 255, 255);

void set_font(UINT dpi) {
    HFONT font = create_message_font(dpi);
    // The children take the new font before the old one goes.
    for (HWND child : {app_state->filter_edit, app_state->list_view, app_state->status_bar}) {
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    close_handle<GdiObjectPolicy<HFONT>>(&app_state->ui_font);
    app_state->ui_font = font;
}

void set_status_images(const ScaleImages& set) {
    HIMAGELIST images =
        ImageList_LoadBitmap(app_instance, MAKEINTRESOURCEA(set.status_bitmap), set.status_side, 3, kStatusBackground);
    HIMAGELIST old = ListView_SetImageList(app_state->list_view, images, LVSIL_SMALL);
    app_state->state_images = images;
    if (old && old != images) ImageList_Destroy(old);
}

// The toolbar strip with its grey background masked out. In high contrast the
// black outlines take the button text colour: on a black button face they
// would vanish.
HIMAGELIST load_toolbar_images(const ScaleImages& set) {
    COLORMAP black_to_text = {RGB(0, 0, 0), GetSysColor(COLOR_BTNTEXT)};
    UniqueBitmap strip(
        CreateMappedBitmap(app_instance, set.toolbar_bitmap, 0, &black_to_text, high_contrast_on() ? 1 : 0));
    HIMAGELIST images = ImageList_Create(set.toolbar_width, set.toolbar_height, ILC_COLOR24 | ILC_MASK, 4, 0);
    if (images && strip.get()) ImageList_AddMasked(images, strip.get(), kToolbarBackground);
    return images;
}

void set_toolbar_images(const ScaleImages& set, UINT dpi) {
    HWND toolbar = app_state->toolbar;
    HIMAGELIST images = load_toolbar_images(set);
    SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(set.toolbar_width, set.toolbar_height));
    SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    SendMessageA(toolbar, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(set.toolbar_width + scaled(7, dpi), set.toolbar_height + scaled(7, dpi)));
    close_handle<ZeroInvalidPolicy<HIMAGELIST, ImageList_Destroy>>(&app_state->toolbar_images);
    app_state->toolbar_images = images;
}

// The filter sits over a separator as wide as the filter is meant to be.
void set_filter_width(int width) {
    HWND toolbar = app_state->toolbar;
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_SIZE | TBIF_IMAGE;
    info.cx = static_cast<WORD>(width);
    info.iImage = width;  // a separator's width
    SendMessageA(toolbar, TB_SETBUTTONINFOA, IDC_SEARCH_FILTER, reinterpret_cast<LPARAM>(&info));
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    RECT slot;
    int index = static_cast<int>(SendMessageA(toolbar, TB_COMMANDTOINDEX, IDC_SEARCH_FILTER, 0));
    if (SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&slot))) {
        MoveWindow(app_state->filter_edit, slot.left, slot.top, slot.right - slot.left, slot.bottom - slot.top, TRUE);
    }
}

// The caption's and the task switcher's icons, drawn at their sizes for the dpi.
void set_frame_icons(UINT dpi) {
    const int kinds[2] = {ICON_SMALL, ICON_BIG};
    const int sides[2] = {metric_for_dpi(SM_CXSMICON, dpi), metric_for_dpi(SM_CXICON, dpi)};
    for (int i = 0; i < 2; i++) {
        HICON icon = static_cast<HICON>(
            LoadImageA(app_instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, sides[i], sides[i], LR_DEFAULTCOLOR));
        SendMessageA(app_state->main_window, WM_SETICON, static_cast<WPARAM>(kinds[i]), reinterpret_cast<LPARAM>(icon));
        close_handle<ZeroInvalidPolicy<HICON, DestroyIcon>>(&app_state->frame_icons[i]);
        app_state->frame_icons[i] = icon;
    }
}

void scale_columns(UINT from, UINT to) {
    HWND list = app_state->list_view;
    int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int i = 0; i < columns; i++) {
        int width = ListView_GetColumnWidth(list, i);
        ListView_SetColumnWidth(list, i, MulDiv(width, static_cast<int>(to), static_cast<int>(from)));
    }
}

}  // namespace

void scale_frame_children(UINT dpi) {
    const ScaleImages& set = images_for_dpi(dpi);
    set_font(dpi);
    set_status_images(set);
    set_toolbar_images(set, dpi);
    set_filter_width(scaled(SEARCH_FILTER_WIDTH, dpi));
    set_frame_icons(dpi);
    if (app_state->frame_dpi && app_state->frame_dpi != dpi) scale_columns(app_state->frame_dpi, dpi);
    app_state->frame_dpi = dpi;
}

void free_frame_scale() {
    close_handle<GdiObjectPolicy<HFONT>>(&app_state->ui_font);
    close_handle<ZeroInvalidPolicy<HIMAGELIST, ImageList_Destroy>>(&app_state->toolbar_images);
    for (HICON& icon : app_state->frame_icons) close_handle<ZeroInvalidPolicy<HICON, DestroyIcon>>(&icon);
}
