// The program's own folder, and the folder it keeps its settings and
// collection files in.
#pragma once

#include <windows.h>

// Where the file name begins in a path (after its last \, / or :).
const char* file_name_of(const char* path);

// The executable's directory followed by name, cut to the path limit.
void file_beside_executable(const char* name, char buffer[MAX_PATH]);

// The file the setup program puts beside the executable of an installed copy.
const char INSTALLED_MARKER[] = "lk-installed.txt";

// Decides, once at start-up, where lk.ini and lk.htm live: beside the
// executable (a portable copy) when that folder already holds either of them,
// or when it takes new files and holds no INSTALLED_MARKER; otherwise (an
// installed copy, or one under Program Files) in the user's application data
// folder (%APPDATA%\Ravozorizi), made when missing.
void choose_data_folder();
// The chosen folder followed by name, cut to the path limit.
void file_in_data_folder(const char* name, char buffer[MAX_PATH]);
