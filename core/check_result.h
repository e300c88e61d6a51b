// The outcome of one status check of a URL: the value the list and the file
// have always used, and the verdict that says why.
#pragma once

#include <cstddef>
#include <cstdint>

enum CheckVerdict : uint8_t {
    VERDICT_NONE = 0,      // never checked
    VERDICT_DATED,         // answered 200 with a Last-Modified date
    VERDICT_OK,            // answered, no date
    VERDICT_MOVED,         // a permanent redirect to another address that answers
    VERDICT_GONE,          // 404, 410, or an unusable address
    VERDICT_UNREACHABLE,   // refused, no answer in time, TLS failure, a name not found (now)
    VERDICT_BLOCKED,       // the site refuses automated visitors: not broken
    VERDICT_SERVER_ERROR,  // 5xx
    VERDICT_NOT_CHECKED,   // not a web address
    VERDICT_OFFLINE,       // not judged: no site answered, this computer seems offline; never stored
};

// Why a check found no usable answer, when no HTTP status says it.
enum CheckError : uint8_t {
    CHECK_ERROR_NONE = 0,
    CHECK_ERROR_BAD_ADDRESS,    // the URL names no usable host or port
    CHECK_ERROR_NO_SUCH_HOST,   // the name does not exist
    CHECK_ERROR_LOOKUP_FAILED,  // the name could not be looked up now
    CHECK_ERROR_NO_CONNECTION,  // refused, or not connected in time
    CHECK_ERROR_TIMED_OUT,      // connected, but the headers did not arrive in time
    CHECK_ERROR_TLS,            // the secure connection could not be made
    CHECK_ERROR_NO_REPLY,       // the server closed without a reply
    CHECK_ERROR_NOT_HTTP,       // the reply has no status line
    CHECK_ERROR_NO_LOCATION,    // a redirect without a Location header
    CHECK_ERROR_REDIRECTS,      // more redirects than one check follows
    CHECK_ERROR_SOCKET,         // no socket, or the request could not be sent
};

struct CheckResult {
    CheckVerdict verdict;
    uint32_t value;        // a date, DATE_BROKEN or DATE_UNSET
    uint16_t http_status;  // of the last reply; 0 when none arrived
    uint32_t retry_after;  // seconds a 429 or 503 asked the checker to wait; 0 when none
    char* target;          // malloc'd: where a moved page is now; null otherwise
    CheckError error;      // why no answer came, for failures without a status
    // malloc'd: a broken page's snapshot in the web archive, when the checker
    // was asked to look for one and found it; null otherwise.
    char* archive = nullptr;
};

// The moment (seconds since 1970) whose archived copy a check asks for, should
// the page fail, when none is wanted.
const uint32_t NO_ARCHIVE_LOOKUP = 0;

// Gone, unreachable or a server error: the verdicts of a page that may be
// dead (a bookmark suspect, then broken), as against answered or refused.
inline bool is_failure_verdict(unsigned verdict) {
    return verdict == VERDICT_GONE || verdict == VERDICT_UNREACHABLE || verdict == VERDICT_SERVER_ERROR;
}

// The verdict's name as lktool prints it and the collection file stores it:
// "dated", "ok", "moved", "gone", "unreachable", "blocked", "server-error",
// "not-checked", "offline"; "" for VERDICT_NONE.
const char* verdict_name(CheckVerdict verdict);
// The verdict of a name written by verdict_name; VERDICT_NONE for any other
// text and for "offline", which a bookmark never keeps.
CheckVerdict verdict_named(const char* name, size_t length);

// The error's name as the collection file stores it ("no-such-host", ...; ""
// for CHECK_ERROR_NONE), the error of such a name (CHECK_ERROR_NONE for any
// other text), and the words the Properties dialog shows ("no such host").
const char* check_error_name(CheckError error);
CheckError check_error_named(const char* name, size_t length);
const char* check_error_text(CheckError error);

// Frees the target and the archive address and clears the record.
void free_check_result(CheckResult* result);
