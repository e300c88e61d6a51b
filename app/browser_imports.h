// Today's browsers' bookmark stores as the program brings them in: found under
// the user's local and roaming application data folders, each imported through
// its own sink with its own line in the import report. The stores the user
// chose (all found at the first start, those ticked in Import from Browser)
// are remembered in lk.ini with their file's size and last change, so that
// "Auto Rescan Browsers" re-reads only those that changed since.
#pragma once

#include <string>
#include <vector>

#include "collection/browser_profiles.h"

struct ImportReport;

// Points the application state at the user's application data folders.
void find_app_data_folders();

// The stores found under the application state's folders.
std::vector<BrowserStore> user_browser_stores();

// Imports what was read of the store (or notes why it could not be read) and
// remembers the store as chosen, with its file's state when it was read.
void import_chosen_store(const BrowserStore& store, const StoreRead& read, ImportReport* report);

// A store the user no longer chooses (left unticked in Import from Browser):
// no rescan reads it.
void forget_chosen_store(const BrowserStore& store);

// Start-up: every store found on a first start; with "Auto Rescan Browsers"
// each chosen one whose file changed since it was last read, those of a
// folder the user named in Import from Browser included. Nothing is
// deleted because a browser deleted it: what is new is added, the rest merged.
void rescan_browsers(bool first_run, ImportReport* report);
