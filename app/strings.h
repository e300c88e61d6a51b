// Texts from the program's string table.
#pragma once

// The entry with that id, in one shared buffer that the next call overwrites;
// empty when there is no such entry.
const char* load_res_string(unsigned id);
