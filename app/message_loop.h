// The main loop of the program.
#pragma once

#include <windows.h>

// Tab moves the focus between the search filter and the list; Escape empties
// the search filter. True when the key was used up.
bool prefilter_key(const MSG& msg);

// Runs until the quit message: pre-filter, accelerators against the frame,
// dispatch, and the idle pass whenever the queue runs empty.
void run_message_loop();
