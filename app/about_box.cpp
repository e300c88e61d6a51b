// The About box.
#include "app/about_box.h"

void show_about_box(HWND /*owner*/) {}
