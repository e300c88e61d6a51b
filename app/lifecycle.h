// Start-up, close and release of the program.
#pragma once

#include <windows.h>

// Builds the application state in its fixed order and creates the frame.
// False (after telling the user) when the program cannot run.
bool initialise_app(HINSTANCE instance, int show);

// Saves the collection file and the settings: at close and at the end of the
// Windows session.
void save_files_at_close();

// The frame's close: save both files, destroy the frame, end the main loop.
void close_frame();

// Frees everything the running program held.
void release_app();
