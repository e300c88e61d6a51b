// The parts of live filtering that do not touch the list view: preparing the
// filter box's text and the word hint as the status bar shows it.
#pragma once

// Removes trailing blanks and operator characters (! & |) in place, so that an
// expression still being typed ("foo &") is searched as what came before.
// Returns false when nothing is left: no filter, every bookmark is shown.
bool prepare_filter_text(char* text);

// Lists words that differ only in letter case once (the first spelling, which
// is the first in index order) when case is ignored. Edits in place; a null
// hint is ignored.
void tidy_search_hint(char* hint, bool case_sensitive);
