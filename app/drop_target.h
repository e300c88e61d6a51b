// The list as a drop target for links and bookmark files.
#pragma once

#include <windows.h>

#include <ole2.h>

// Registers and revokes the list's drop target; OLE must be initialised on
// this thread. False when the system refused it: the list then takes no drops.
bool register_list_drop_target(HWND list);
void revoke_list_drop_target(HWND list);

// The target registered for the list (tests hand it data as a drag would).
IDropTarget* list_drop_target();
