// Resource, control and message ids shared by the resource script, the
// program and its tests. The numbers are part of the program's files and
// dialogs: keep them as they are.
#pragma once

// Icons
#define IDI_APP 102

// Window class of the frame; a second instance finds the first by it.
#define FRAME_CLASS_NAME "RiziDuvuviRozov"
#define FRAME_TITLE "Ravozorizi"
