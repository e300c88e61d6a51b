// The outcome of one status check of a URL: the value the list and the file
// have always used, and the verdict that says why.
#pragma once

#include <cstdint>

enum CheckVerdict : uint8_t {
    VERDICT_NONE = 0,      // never checked
    VERDICT_DATED,         // answered 200 with a Last-Modified date
    VERDICT_OK,            // answered, no date
    VERDICT_MOVED,         // a permanent redirect to another address that answers
    VERDICT_GONE,          // 404, 410, or a name that does not exist
    VERDICT_UNREACHABLE,   // refused, no answer in time, TLS failure, temporary lookup failure
    VERDICT_BLOCKED,       // the site refuses automated visitors: not broken
    VERDICT_SERVER_ERROR,  // 5xx
    VERDICT_NOT_CHECKED,   // not a web address
};

struct CheckResult {
    CheckVerdict verdict;
    uint32_t value;        // a date, DATE_BROKEN or DATE_UNSET
    uint16_t http_status;  // of the last reply; 0 when none arrived
    uint32_t retry_after;  // seconds a 429 or 503 asked the checker to wait; 0 when none
    char* target;          // malloc'd: where a moved page is now; null otherwise
};

// The verdict's name as lktool prints it and the collection file stores it:
// "dated", "ok", "moved", "gone", "unreachable", "blocked", "server-error",
// "not-checked"; "" for VERDICT_NONE.
const char* verdict_name(CheckVerdict verdict);
// Frees the target and clears the record.
void free_check_result(CheckResult* result);
