// Open Archived Copy: the web archive's snapshot of a dead page, in the browser.
#pragma once

// True for one selected bookmark, broken or suspect, whose archived copy is known.
bool can_open_archived_copy();

// Opens that copy in the browser as Open opens a page. The bookmark does not
// count as visited: the page itself was not seen.
void open_archived_copy();
