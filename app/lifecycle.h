// Start-up, close and release of the program.
#pragma once

#include <windows.h>

// Builds the application state in its fixed order and creates the frame.
// False (after telling the user) when the program cannot run.
bool initialise_app(HINSTANCE instance, int show);

// Saves the collection file (or a recovery file) and the settings at the end
// of the Windows session, without asking anything.
void save_files_at_session_end();

// The frame's close: save both files, destroy the frame, end the main loop.
// When the collection cannot be saved and the user would rather not lose the
// changes, the frame stays open.
void close_frame();

// Frees everything the running program held.
void release_app();
