// Files that live beside the program: its settings, collection and help page.
#pragma once

#include <windows.h>

// The executable's directory followed by name, cut to the path limit.
void file_beside_executable(const char* name, char buffer[MAX_PATH]);
