// The folder path a bookmark came from, as one text: the folder names,
// outermost first, each joined to the next by '/'. In a name, '/' and every
// byte that an attribute value of a bookmark file cannot hold as itself
// (control bytes, quotes, '<', '>', '&') are written "%XX" with two capital
// hex digits, and so is '%' itself; NUL bytes are dropped. Any other byte,
// UTF-8 included, stands as itself. The text is the same in memory and in the
// FOLDER attribute of a bookmark file; a bookmark in no folder has none (an
// empty text is one folder with an empty name).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/containers.h"

// Appends the path of these names.
void append_folder_path(TextBuffer* path, const TextBuffer* names, uint32_t count);

// Appends the path a FOLDER attribute's value (not NUL-terminated) stands
// for, in the form above, whatever its bytes: a '%' without two hex digits of
// an ASCII byte after it is taken as itself, and bytes that should have been
// escaped are.
void append_folder_attribute(TextBuffer* path, const char* value, size_t length);

// The first name of a path (of the form above) into `name`, which is
// emptied first; returns where the next name starts, or null after the last.
const char* next_folder_name(const char* path, TextBuffer* name);

// Orders paths so that the paths within a folder follow its own path and come
// before the paths beside it; null (no folder) comes first.
int compare_folder_paths(const char* a, const char* b);
