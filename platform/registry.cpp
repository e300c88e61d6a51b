// Registry string values.
#include "platform/registry.h"

#include <cstdio>

bool open_registry_key(HKEY root, const char* path, const char* subkey, UniqueKey* key) {
    char full[512];
    snprintf(full, sizeof full, "%s%s", path, subkey ? subkey : "");
    // The handle is taken only on success: a failed open promises nothing of it.
    HKEY opened;
    if (RegOpenKeyExA(root, full, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
    key->reset(opened);
    return true;
}

bool read_registry_string(HKEY key, const char* name, char* buffer, DWORD size) {
    DWORD type = REG_NONE;
    DWORD length = size;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &length);
    // A stored value need not end in a zero, and a failed read may leave part of
    // one: never hand out an unterminated text.
    buffer[result == ERROR_SUCCESS && length < size ? length : size - 1] = '\0';
    return result == ERROR_SUCCESS && type == REG_SZ;
}
