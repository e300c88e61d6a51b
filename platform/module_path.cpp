// The program's own folder.
#include "platform/module_path.h"

#include <cstdio>

void file_beside_executable(const char* name, char buffer[MAX_PATH]) {
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, sizeof module);
    module[MAX_PATH - 1] = '\0';
    char* name_start = module;
    for (char* p = module; *p; p++) {
        if (*p == '\\' || *p == '/' || *p == ':') name_start = p + 1;
    }
    *name_start = '\0';
    if (snprintf(buffer, MAX_PATH, "%s%s", module, name) >= MAX_PATH) buffer[MAX_PATH - 1] = '\0';
}
