// Reading the registry: browser detection and the import folders need a few
// string values; the program never writes there.
#pragma once

#include <windows.h>

#include "platform/handles.h"

// Opens root\path followed directly by subkey (may be null) to read its values.
bool open_registry_key(HKEY root, const char* path, const char* subkey, UniqueKey* key);
// True only for a REG_SZ value; buffer is always zero-terminated within size.
bool read_registry_string(HKEY key, const char* name, char* buffer, DWORD size);
