// Which bookmark a checking pass probes next.
#pragma once

#include <cstdint>

#include "core/bookmark.h"
#include "core/containers.h"

// The page changed after the user's last visit: a real date later than the
// visit. A visit date that is not set never counts as earlier.
bool modified_since_visit(uint32_t last_visit, uint32_t last_modified);

// Not yet dealt with in this pass, and not already known to have changed since
// the last visit (such a bookmark waits until it is visited).
bool needs_check(const Bookmark* record);
