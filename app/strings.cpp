// Texts from the program's string table.
#include "app/strings.h"

#include <windows.h>

#include "app/app_state.h"

const char* load_res_string(unsigned id) {
    static char text[256];
    if (LoadStringA(app_instance, id, text, sizeof text) <= 0) text[0] = '\0';
    return text;
}
