// The frame moved between screens of different scales (WM_DPICHANGED).
#include <gtest/gtest.h>

#include <string>

#include "app/frame_scale.h"
#include "platform/handles.h"
#include "tests/app/window_fixture.h"

namespace {

class FrameScale : public WindowTest {
protected:
    void move_to_scale(UINT dpi, const RECT& suggested) {
        SendMessageA(frame, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        idle();
    }
    int column_width(int column) { return ListView_GetColumnWidth(app_state->list_view, column); }
    // "width x height"
    static std::string image_size(HIMAGELIST images) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(images, &cx, &cy);
        return std::to_string(cx) + "x" + std::to_string(cy);
    }
    std::string status_images() { return image_size(ListView_GetImageList(app_state->list_view, LVSIL_SMALL)); }
    static LONG font_height(HWND window) {
        LOGFONTA font = {};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
        return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    }
    static int width_of(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        return r.right - r.left;
    }
};

TEST_F(FrameScale, AMoveToTwiceTheScaleDoublesWidthsImagesIconsAndFontsAndBackAgain) {
    const RECT suggested = {10, 20, 1210, 920};
    const int title = column_width(0), url = column_width(1);
    const LONG font = font_height(app_state->list_view);
    const int filter = width_of(app_state->filter_edit);
    ASSERT_EQ(status_images(), "9x9");

    move_to_scale(192, suggested);
    RECT placed;
    GetWindowRect(frame, &placed);
    EXPECT_TRUE(EqualRect(&placed, &suggested));
    EXPECT_EQ(column_width(0), 2 * title);
    EXPECT_EQ(column_width(1), 2 * url);
    EXPECT_EQ(status_images(), "18x18");
    EXPECT_EQ(image_size(reinterpret_cast<HIMAGELIST>(SendMessageA(app_state->toolbar, TB_GETIMAGELIST, 0, 0))),
              "32x30");
    for (HWND child : {app_state->list_view, app_state->filter_edit, app_state->status_bar}) {
        EXPECT_NEAR(font_height(child), 2 * font, 1);
    }
    EXPECT_EQ(width_of(app_state->filter_edit), 2 * filter);
    ICONINFO icon = {};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(SendMessageA(frame, WM_GETICON, ICON_SMALL, 0)), &icon));
    const UniqueBitmap colour_bits{icon.hbmColor}, mask_bits{icon.hbmMask};
    BITMAP colour = {};
    GetObjectA(colour_bits.get(), sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, 32);

    // 150 % takes the set drawn for it; back at 96 dpi everything is as it was.
    move_to_scale(144, suggested);
    EXPECT_EQ(status_images(), "14x14");
    move_to_scale(96, suggested);
    EXPECT_EQ(column_width(0), title);
    EXPECT_EQ(column_width(1), url);
    EXPECT_EQ(font_height(app_state->list_view), font);
    EXPECT_EQ(width_of(app_state->filter_edit), filter);
}

}  // namespace
