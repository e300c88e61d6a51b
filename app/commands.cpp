// The actions behind the command ids.
#include "app/commands.h"

#include "app/app_state.h"
#include "app/collection_files.h"
#include "app/resource.h"
#include "app/status_checking.h"

void run_command(int id, HWND /*control*/, UINT code) {
    if (id == IDC_SEARCH_FILTER) {
        if (code == EN_CHANGE) app_state->filter_dirty = 1;
        return;
    }
    switch (id) {
        case IDM_QUIT:
            SendMessageA(app_state->main_window, WM_CLOSE, 0, 0);
            break;
        case IDM_SAVE:
            save_collection_file();
            break;
        case IDM_START_CHECKING:
            start_checking();
            break;
        case IDM_STOP_CHECKING:
            stop_checking();
            break;
        default:
            break;
    }
}
