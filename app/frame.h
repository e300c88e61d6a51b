// The frame window: the program's one top-level window.
#pragma once

#include <windows.h>

bool register_frame_class(HINSTANCE instance);
HWND create_frame(HINSTANCE instance);
