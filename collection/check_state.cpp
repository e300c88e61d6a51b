// The record's side of status checks.
#include "collection/check_state.h"

void store_check_result(Bookmark* record, const CheckResult* result, uint32_t now) {
    (void)now;
    record->last_modified = result->value;
}
