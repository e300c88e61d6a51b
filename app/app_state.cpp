// The single application state and the process-wide values beside it.
#include "app/app_state.h"

#include <cstdio>

const char APP_BUILD_LETTER[] = "m";
const char APP_NAME[] = "Ravozorizi";

AppState* app_state = nullptr;
HINSTANCE app_instance = nullptr;
char app_build[16];

void init_build_string() {
    snprintf(app_build, sizeof app_build, "%u%s", APP_BUILD_NUMBER, APP_BUILD_LETTER);
}
