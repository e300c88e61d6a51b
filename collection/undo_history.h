// The changes the user can take back: each step keeps every record it touched
// as the record was before the step (all fields, its keywords as text), so
// that taking it back puts those records back exactly, deleted ones where
// they stood in identity order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/bookmark.h"
#include "core/containers.h"

struct Collection;
struct UndoHistory;

// The bounds of a history: at most this many steps, and steps older than the
// newest are dropped while their snapshots hold more than this many bytes
// (the newest is always kept: a large delete can still be taken back).
const uint32_t UNDO_STEPS_KEPT = 20;
const size_t UNDO_BYTES_KEPT = 64u << 20;

UndoHistory* create_undo_history(uint32_t steps_kept, size_t bytes_kept);
void free_undo_history(UndoHistory* history);

// Opens a step (dropping one left open). Until it ends, note_undo_record takes
// a snapshot of each record the change is about to alter or delete.
void begin_undo_step(UndoHistory* history);
// Only the first note of a record in a step counts: the snapshot is the record
// as it was before the step. Nothing happens while no step is open.
void note_undo_record(UndoHistory* history, const Bookmark* record);
// Ends the open step under its name ("Delete 3 Ravozorizi", copied), the
// newest of the history; a step that noted no record is dropped.
void end_undo_step(UndoHistory* history, const char* name);
// Drops the open step (the change was cancelled).
void cancel_undo_step(UndoHistory* history);

// The name of the step undo_last_step would take back, or null when none.
const char* last_undo_name(const UndoHistory* history);
// How many bytes the kept snapshots hold.
size_t undo_bytes(const UndoHistory* history);

enum UndoOutcome {
    UNDO_NONE,      // no step to take back
    UNDO_DONE,      // the step is taken back and gone from the history
    UNDO_CONFLICT,  // another bookmark holds an address the step would give back: nothing changed, history emptied
};

// Takes back the newest step in the collection: each noted record that is
// still stored gets back every field, its place by URL and its keywords; each
// one deleted since is made again with its identity, so it returns to its
// place. The records put back are appended to `restored` (may be null), in
// identity order. The step's name is copied to `name` (may be null; at most
// `name_size` bytes with the terminator).
UndoOutcome undo_last_step(UndoHistory* history, Collection* collection, PtrVector* restored, char* name,
                           size_t name_size);
