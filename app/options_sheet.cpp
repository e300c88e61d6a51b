// The Options property sheet.
#include "app/options_sheet.h"

INT_PTR show_options_sheet(HWND /*frame*/, Options* /*options*/) { return 0; }
