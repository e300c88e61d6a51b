// The frame window: the program's one top-level window.
#pragma once

#include <windows.h>

bool register_frame_class(HINSTANCE instance);
// Creates the frame at the options' rectangle and shows it.
HWND create_frame(HINSTANCE instance, int show);
