// What a bookmark keeps of its status checks.
#pragma once

#include <cstdint>

#include "core/bookmark.h"
#include "core/check_result.h"

// Stores the outcome of a check of the record's URL, made at `now`.
void store_check_result(Bookmark* record, const CheckResult* result, uint32_t now);
