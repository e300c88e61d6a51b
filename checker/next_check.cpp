// The choice of the next bookmark to check.
#include "checker/next_check.h"

bool modified_since_visit(uint32_t last_visit, uint32_t last_modified) {
    return is_real_date(last_modified) && last_visit < last_modified;
}

bool needs_check(const Bookmark* record) {
    return !(record->flags & BOOKMARK_CHECKED) && !modified_since_visit(record->last_visit, record->last_modified);
}
