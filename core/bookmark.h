// The bookmark record, its flag bits and the date values with their sentinels.
#pragma once

#include <cstdint>

#include "core/containers.h"

struct KeywordSet;

// Dates are seconds since 1970-01-01 UTC; the three largest values are sentinels.
const uint32_t DATE_BROKEN = 0xFFFFFFFFu;    // last check found the link broken
const uint32_t DATE_UNSET = 0xFFFFFFFEu;     // never recorded, or no date reported
const uint32_t DATE_CHECKING = 0xFFFFFFFDu;  // an older version's mark of a check under way

inline bool is_real_date(uint32_t date) { return date < DATE_CHECKING; }

// Bits of Bookmark::flags.
const uint32_t BOOKMARK_LISTED = 0x1;   // has a row in the list view
const uint32_t BOOKMARK_CHECKED = 0x2;  // taken by the current checking pass

struct Bookmark {
    char* url;             // owned, never empty for a stored bookmark
    char* title;           // owned
    KeywordSet* keywords;  // owned, changed only through the keyword index
    uint32_t flags;
    uint32_t added;
    uint32_t last_visit;
    uint32_t last_modified;
    // The last status check: when (0: never), its verdict (a CheckVerdict), the
    // HTTP status of its last reply (0: none), since when the checks have
    // failed (0: the last one did not fail), where a moved page went, and
    // where a failing page's snapshot is in the web archive.
    uint32_t last_check;
    uint32_t first_failure;
    uint16_t http_status;
    uint8_t verdict;
    uint8_t check_error;  // a CheckError: why the last check had no answer
    char* moved_to;       // owned, null when not moved
    char* archive;        // owned, null when none is known
    // The folder path it came from (collection/folder_path.h), owned; null
    // when it came from no folder.
    char* folder;
    uint64_t serial;  // record identity: unique, ascending in creation order
};

// Record identity order, in which `records`, every word entry's record list and
// the search's result sets are kept: a comparison of two Bookmark pointers.
inline int compare_record_identity(const void* element, const void* key) {
    uint64_t a = static_cast<const Bookmark*>(element)->serial;
    uint64_t b = static_cast<const Bookmark*>(key)->serial;
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Inserts a record into a list kept in record identity order; returns 1, and
// inserts nothing, when it is there already. Records are normally made, and so
// listed, in identity order: the end is tried before any search.
inline int insert_in_identity_order(PtrVector* list, Bookmark* record) {
    if (list->count == 0 || compare_record_identity(list->items[list->count - 1], record) < 0) {
        vec_append(list, record);
        return 0;
    }
    return vec_insert_sorted(list, record, compare_record_identity);
}
