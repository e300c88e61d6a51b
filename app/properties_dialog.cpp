// The bookmark properties dialog.
#include "app/properties_dialog.h"

#include <cstdlib>

bool edit_bookmark_properties(Bookmark* /*record*/, char** keyword_text, HWND /*parent*/) {
    free(*keyword_text);
    *keyword_text = nullptr;
    return false;
}
