// The About box: icon, logo, version, and the build line shown on Ctrl+B.
#pragma once

#include <windows.h>

void show_about_box(HWND owner);
