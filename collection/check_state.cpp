// The record's side of status checks.
#include "collection/check_state.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/civil_date.h"
#include "core/containers.h"

namespace {

void set_address(char** field, const char* address) {
    free(*field);
    *field = address ? str_dup(address) : nullptr;
}

// The page answered (or was moved somewhere that did).
bool answered_good(uint8_t verdict) {
    return verdict == VERDICT_DATED || verdict == VERDICT_OK || verdict == VERDICT_MOVED;
}

// The path of a URL from the first "/" after its host, without query or fragment.
std::string path_of(const char* url) {
    const char* p = strstr(url, "://");
    p = p ? p + 3 : url;
    size_t host = strcspn(p, "/?#");
    std::string path(p + host, strcspn(p + host, "?#"));
    return path;
}

bool is_front_page(const std::string& path) { return path.empty() || path == "/"; }

bool names_sign_in(const char* url) {
    static const char* const words[] = {"login",   "log-in", "log_in", "signin", "sign-in",
                                        "sign_in", "logon",  "/auth/", "/sso/"};
    std::string folded;
    for (const char* p = url; *p; p++) folded += fold_ascii(*p);
    const char* rest = strstr(folded.c_str(), "://");
    rest = rest ? rest + 3 : folded.c_str();
    rest += strcspn(rest, "/?#");
    for (const char* word : words) {
        if (strstr(rest, word)) return true;
    }
    return false;
}

}  // namespace

void store_check_result(Bookmark* record, const CheckResult* result, uint32_t now) {
    if (result->verdict == VERDICT_OFFLINE) return;  // nothing was learnt of the page
    record->last_check = now;
    record->verdict = result->verdict;
    record->http_status = result->http_status;
    record->check_error = result->error;
    set_address(&record->moved_to, result->verdict == VERDICT_MOVED ? result->target : nullptr);
    if (result->archive && is_failure_verdict(result->verdict)) set_address(&record->archive, result->archive);
    if (answered_good(result->verdict)) set_address(&record->archive, nullptr);
    if (!is_failure_verdict(result->verdict)) {
        record->first_failure = 0;
    } else if (record->first_failure == 0) {
        record->first_failure = now;
    }
    if (is_real_date(result->value)) record->last_modified = result->value;
}

uint32_t answered_urls(const PtrVector* records, const char** urls, uint32_t count) {
    std::vector<const Bookmark*> answered;
    for (uint32_t i = 0; i < records->count; i++) {
        const Bookmark* record = static_cast<const Bookmark*>(records->items[i]);
        if (record->last_check && (record->http_status != 0 || answered_good(record->verdict)))
            answered.push_back(record);
    }
    size_t taken = std::min<size_t>(count, answered.size());
    std::partial_sort(answered.begin(), answered.begin() + static_cast<std::ptrdiff_t>(taken), answered.end(),
                      [](const Bookmark* a, const Bookmark* b) { return a->last_check > b->last_check; });
    for (size_t i = 0; i < taken; i++) urls[i] = answered[i]->url;
    return static_cast<uint32_t>(taken);
}

void forget_check(Bookmark* record) {
    record->last_check = 0;
    record->first_failure = 0;
    record->http_status = 0;
    record->verdict = VERDICT_NONE;
    record->check_error = CHECK_ERROR_NONE;
    set_address(&record->moved_to, nullptr);
    set_address(&record->archive, nullptr);
}

uint32_t archive_moment(const Bookmark* record, uint32_t now) {
    if (record->archive) return NO_ARCHIVE_LOOKUP;
    if (record->last_check && answered_good(record->verdict)) return record->last_check;
    return is_real_date(record->added) && record->added != 0 ? record->added : now;
}

ShownState shown_state(const Bookmark* record) {
    // A value stored by itself still says broken.
    if (record->verdict == VERDICT_GONE || record->last_modified == DATE_BROKEN) return SHOWN_BROKEN;
    if (is_failure_verdict(record->verdict)) {
        bool long_enough = record->first_failure != 0 && record->last_check >= record->first_failure &&
                           record->last_check - record->first_failure >= BROKEN_AFTER_SECONDS;
        return long_enough ? SHOWN_BROKEN : SHOWN_SUSPECT;
    }
    if (!is_real_date(record->last_modified)) return SHOWN_NORMAL;
    bool visited_since = record->last_visit != DATE_UNSET && record->last_visit >= record->last_modified;
    return visited_since ? SHOWN_NORMAL : SHOWN_CHANGED;
}

const char* shown_state_name(ShownState state) {
    static const char* const names[] = {"normal", "changed", "suspect", "broken"};
    return names[state];
}

RecordStatus record_status(const Bookmark* record) {
    const uint32_t since = record->first_failure ? record->first_failure : record->last_check;
    const uint32_t failing_since = since ? since : DATE_UNSET;
    const ShownState shown = shown_state(record);
    switch (shown) {
        case SHOWN_BROKEN:
            return {STATUS_BROKEN, failing_since};
        case SHOWN_SUSPECT:
            return {record->verdict == VERDICT_SERVER_ERROR ? STATUS_SERVER_ERROR : STATUS_UNREACHABLE, failing_since};
        default:
            break;
    }
    if (record->verdict == VERDICT_MOVED) return {STATUS_MOVED, DATE_UNSET};
    if (record->verdict == VERDICT_BLOCKED) return {STATUS_BLOCKED, DATE_UNSET};
    if (record->verdict == VERDICT_NOT_CHECKED) return {STATUS_NOT_CHECKED, DATE_UNSET};
    if (shown == SHOWN_CHANGED) return {STATUS_CHANGED, record->last_modified};
    if (record->last_check == 0) return {STATUS_NOT_CHECKED, DATE_UNSET};
    return {STATUS_OK, record->last_check};
}

std::string utc_day_text(uint32_t date) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const CivilDate day = civil_date(date);
    return std::to_string(day.day) + " " + kMonths[day.month - 1] + " " + std::to_string(day.year);
}

std::string status_text(const Bookmark* record, DayText day_text) {
    static const char* const kWords[] = {"Broken since ", "Unreachable since ",  "Server error since ",
                                         "Moved",         "Blocked by the site", "Changed, ",
                                         "OK, ",          "Not checked"};
    const RecordStatus status = record_status(record);
    std::string words = kWords[status.kind];
    // A date the record does not hold (a file's damaged value) leaves the words alone.
    if (is_real_date(status.date)) return words + day_text(status.date);
    const size_t joint = words.find_last_of(" ,", words.size() - 2);
    return words.back() == ' ' ? words.substr(0, joint) : words;
}

bool offers_new_address(const char* url, const char* target) {
    if (!target) return false;
    std::string path = path_of(url);
    if (is_front_page(path)) return true;
    return !is_front_page(path_of(target)) && !names_sign_in(target);
}

void merge_stored_check(Bookmark* record, const StoredCheck* check) {
    if (check->last_check == 0 || check->last_check <= record->last_check) return;
    record->last_check = check->last_check;
    record->first_failure = check->first_failure;
    record->http_status = check->http_status;
    record->verdict = check->verdict;
    record->check_error = check->check_error;
    set_address(&record->moved_to, check->verdict == VERDICT_MOVED ? check->moved_to : nullptr);
    // As store_check_result keeps it: until an answer.
    set_address(&record->archive, answered_good(check->verdict) ? nullptr : check->archive);
}
