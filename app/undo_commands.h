// The changes to the bookmarks that Undo takes back (deletes, Properties,
// duplicate merges, address updates) and Undo itself; with the list's rows
// made again after a change to many records.
#pragma once

#include <cstdint>
#include <string>

#include "core/bookmark.h"
#include "core/containers.h"

struct UndoHistory;

// The history, made at its first use.
UndoHistory* undo_history();
void free_undo_history_of_app();

// A step of the history around a change: records are noted before the change
// alters or deletes them; a step is kept under its name when it ends.
void begin_undoable_change();
void note_undoable_record(const Bookmark* record);
void end_undoable_change(const std::string& name);
void cancel_undoable_change();

// Undo's menu item: in the search filter its typing, else the last change.
bool can_undo();
void undo_command();

// Empties the list before records are deleted in numbers (no row may point at
// a freed record), and fills it again afterwards with the filter's result,
// the given records selected (may be null).
void empty_list_rows();
void list_again(const PtrVector* selected);
