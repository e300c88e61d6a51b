// The program's own folder and its data folder.
#include "platform/module_path.h"

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>

#include "core/whole_file.h"

namespace {

// With its trailing separator; empty until chosen (then: beside the executable).
char data_folder[MAX_PATH];

const char* no_bytes(void* /*context*/, size_t* /*length*/) { return nullptr; }

// Whether the folder takes a new file, made as the program makes its files:
// the one test that holds whatever the reason (permissions, a read-only
// medium, a locked folder).
bool folder_takes_new_files(const char* folder) {
    char file[MAX_PATH];
    if (snprintf(file, sizeof file, "%slk.ini", folder) >= MAX_PATH) return false;
    char* probe = write_file_beside(file, no_bytes, nullptr);
    if (!probe) return false;
    remove_file(probe);
    free(probe);
    return true;
}

bool user_data_folder(char folder[MAX_PATH]) {
    char appdata[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, appdata))) {
        return false;
    }
    if (snprintf(folder, MAX_PATH, "%s\\Ravozorizi\\", appdata) >= MAX_PATH) return false;
    return CreateDirectoryA(folder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

const char* file_name_of(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; p++) {
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    }
    return name;
}

void file_beside_executable(const char* name, char buffer[MAX_PATH]) {
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, sizeof module);
    module[MAX_PATH - 1] = '\0';
    module[file_name_of(module) - module] = '\0';
    if (snprintf(buffer, MAX_PATH, "%s%s", module, name) >= MAX_PATH) buffer[MAX_PATH - 1] = '\0';
}

void choose_data_folder() {
    char program_folder[MAX_PATH], settings[MAX_PATH], collection[MAX_PATH], marker[MAX_PATH];
    file_beside_executable("", program_folder);
    file_beside_executable("lk.ini", settings);
    file_beside_executable("lk.htm", collection);
    file_beside_executable(INSTALLED_MARKER, marker);
    // Files already beside the program stay in use whatever else holds: the
    // collection is never lost from view. An installed copy's folder takes new
    // files too (the user's own programs folder, or an elevated start under
    // Program Files), so the setup program's marker settles that case.
    bool portable = file_exists(settings) || file_exists(collection) ||
                    (!file_exists(marker) && folder_takes_new_files(program_folder));
    if (portable || !user_data_folder(data_folder)) lstrcpynA(data_folder, program_folder, MAX_PATH);
}

void file_in_data_folder(const char* name, char buffer[MAX_PATH]) {
    if (!data_folder[0]) {
        file_beside_executable(name, buffer);
    } else if (snprintf(buffer, MAX_PATH, "%s%s", data_folder, name) >= MAX_PATH) {
        buffer[MAX_PATH - 1] = '\0';
    }
}
