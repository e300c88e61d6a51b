// What a bookmark keeps of its status checks, and what the list shows of it.
// A check's outcome is kept apart from the page's date: a failed check never
// erases a date that an earlier one found.
#pragma once

#include <cstdint>
#include <string>

#include "core/bookmark.h"
#include "core/check_result.h"
#include "core/containers.h"

// A failure that is not plainly final (unreachable, server error) marks a
// bookmark broken only when the failures have gone on this long.
const uint32_t BROKEN_AFTER_SECONDS = 20 * 60 * 60;

// Stores the outcome of a check of the record's URL, made at `now`: when, the
// verdict, the HTTP status or error, the start of a run of failures (a success,
// a refusal by the site or a URL that is not probed ends it) and a moved
// page's new address. A failure's archived copy replaces the stored one; a
// failure without one keeps it (the checker looks only for pages without
// one), and a page that answers drops it. A real date replaces the stored
// one; nothing else touches it. An offline result (not judged) leaves the
// record as it was.
void store_check_result(Bookmark* record, const CheckResult* result, uint32_t now);

// The URLs of up to `count` records (Bookmark*) whose last check got an answer
// from their site, the most recently checked first: sites to ask whether the
// network works when a pass meets nothing but failures. Returns how many.
uint32_t answered_urls(const PtrVector* records, const char** urls, uint32_t count);

// Clears what the checks found (for a bookmark whose URL changed); the date stays.
void forget_check(Bookmark* record);

// The moment whose archived copy a check of the record asks for, should the
// page fail: the last check when the page answered then (the last time it was
// known good), else its add date, else `now`. NO_ARCHIVE_LOOKUP (0) when the
// record has an archived copy already: it stays while the page keeps failing.
uint32_t archive_moment(const Bookmark* record, uint32_t now);

// What the list shows for a record.
enum ShownState : uint8_t {
    SHOWN_NORMAL,   // nothing to tell
    SHOWN_CHANGED,  // changed since the last visit (or never visited)
    SHOWN_SUSPECT,  // the last check failed, but not yet for long enough
    SHOWN_BROKEN,   // gone, or failing for BROKEN_AFTER_SECONDS and more
};

ShownState shown_state(const Bookmark* record);
// "normal", "changed", "suspect", "broken".
const char* shown_state_name(ShownState state);

// What the list's Status column says of a record, from its worst news to its
// best; "not checked" last, as a column left blank would be.
enum StatusKind : uint8_t {
    STATUS_BROKEN,        // "Broken since <first failure>" ("Broken" when undated)
    STATUS_UNREACHABLE,   // suspect: "Unreachable since <first failure>"
    STATUS_SERVER_ERROR,  // suspect: "Server error since <first failure>"
    STATUS_MOVED,         // "Moved"
    STATUS_BLOCKED,       // "Blocked by the site"
    STATUS_CHANGED,       // "Changed, <the page's date>"
    STATUS_OK,            // "OK, <last check>"
    STATUS_NOT_CHECKED,   // "Not checked": never, or not a web address
};

struct RecordStatus {
    StatusKind kind;
    uint32_t date;  // the date the words name; DATE_UNSET when none
};

RecordStatus record_status(const Bookmark* record);

// Writes a date in words for people: the program gives the user's own date
// format, lktool and tests utc_day_text.
typedef std::string (*DayText)(uint32_t date);
// "3 Mar 2027": the day of a date in UTC.
std::string utc_day_text(uint32_t date);
// The record's status in words, its date written by day_text.
std::string status_text(const Bookmark* record, DayText day_text);

// Whether to offer a moved bookmark's new address in its place: not when it
// leads from a deeper page to the site's front page or to a sign-in page,
// where servers send what they no longer find.
bool offers_new_address(const char* url, const char* target);

// The check as the collection file stores it; moved_to and archive are borrowed.
struct StoredCheck {
    uint32_t last_check;  // 0: the file tells of no check
    uint32_t first_failure;
    uint16_t http_status;
    uint8_t verdict;
    uint8_t check_error;
    const char* moved_to;
    const char* archive;
};

// Takes a check read from a file into the record when it is later than the
// record's own (copying moved_to for a moved page, and archive unless the page answered).
void merge_stored_check(Bookmark* record, const StoredCheck* check);
