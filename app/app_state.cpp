// The single application state and the process-wide values beside it.
#include "app/app_state.h"

AppState* app_state = nullptr;
HINSTANCE app_instance = nullptr;
char app_build[16];

void init_build_string() { format_build_string(app_build, sizeof app_build); }
