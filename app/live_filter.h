// The live filter: the list shows the bookmarks that the search filter's
// expression selects, rebuilt at idle moments when something asked for it.
#pragma once

// Reads the filter box and brings the list, the status text and the error flag up to date.
void apply_search_filter();

// The idle pass: the refilter when one is pending, then the count pane, the
// return to "Ready", the toolbar buttons, and the search's indexes when due.
void idle_update();
