// Whether a command can be used now, from the selection and the program's state.
#pragma once

bool command_state(int command);
