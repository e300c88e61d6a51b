// The single application state and the process-wide values beside it.
#include "app/app_state.h"

AppState* app_state = nullptr;
HINSTANCE app_instance = nullptr;
