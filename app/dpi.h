// The screen's scale as a window sees it, and what is drawn for it: sizes,
// the system's message font, the images made for 100, 125, 150 and 200 %.
// The per-monitor functions exist from Windows 10 on and are looked up at run
// time; on older systems everything follows the system's one scale.
#pragma once

#include <windows.h>

const UINT NORMAL_DPI = 96;

// Dots per inch of the screen the window is on (the system's where the
// system does not tell per window).
UINT window_dpi(HWND window);
// A size meant for 96 dpi at the dpi, and back.
int scaled(int value, UINT dpi);
int unscaled(int value, UINT dpi);
// GetSystemMetrics as it would answer at the dpi.
int metric_for_dpi(int index, UINT dpi);
// The system's message font at the dpi; the caller deletes it.
HFONT create_message_font(UINT dpi);
// The high-contrast theme is on: bitmaps then take the system's colours.
bool high_contrast_on();

// Images drawn for one scale: the toolbar strip (four buttons) and the list's
// status images, as bitmap resources with their image sizes.
struct ScaleImages {
    UINT dpi;
    int toolbar_bitmap, toolbar_width, toolbar_height;
    int status_bitmap, status_side;
};
// The set drawn for the scale nearest the dpi.
const ScaleImages& images_for_dpi(UINT dpi);
