// Names of verdicts and errors, and the release of a check's outcome.
#include "core/check_result.h"

#include <cstdlib>
#include <cstring>

namespace {

const char* const verdict_names[] = {"",        "dated",        "ok",          "moved",  "gone", "unreachable",
                                     "blocked", "server-error", "not-checked", "offline"};

struct ErrorName {
    const char* name;
    const char* text;
};

const ErrorName error_names[] = {
    {"", ""},
    {"bad-address", "unusable address"},
    {"no-such-host", "no such host"},
    {"lookup-failed", "host name lookup failed"},
    {"no-connection", "no connection"},
    {"timed-out", "no answer in time"},
    {"tls", "secure connection failed"},
    {"no-reply", "closed without a reply"},
    {"not-http", "not a web server's reply"},
    {"no-location", "redirect without a new address"},
    {"redirects", "too many redirects"},
    {"socket", "request not sent"},
};

const size_t VERDICT_COUNT = sizeof verdict_names / sizeof verdict_names[0];
const size_t ERROR_COUNT = sizeof error_names / sizeof error_names[0];

bool name_is(const char* known, const char* name, size_t length) {
    return strlen(known) == length && memcmp(known, name, length) == 0;
}

}  // namespace

const char* verdict_name(CheckVerdict verdict) { return verdict < VERDICT_COUNT ? verdict_names[verdict] : ""; }

CheckVerdict verdict_named(const char* name, size_t length) {
    for (size_t i = 1; i < VERDICT_OFFLINE; i++) {
        if (name_is(verdict_names[i], name, length)) return static_cast<CheckVerdict>(i);
    }
    return VERDICT_NONE;
}

const char* check_error_name(CheckError error) { return error < ERROR_COUNT ? error_names[error].name : ""; }

CheckError check_error_named(const char* name, size_t length) {
    for (size_t i = 1; i < ERROR_COUNT; i++) {
        if (name_is(error_names[i].name, name, length)) return static_cast<CheckError>(i);
    }
    return CHECK_ERROR_NONE;
}

const char* check_error_text(CheckError error) { return error < ERROR_COUNT ? error_names[error].text : ""; }

void free_check_result(CheckResult* result) {
    free(result->target);
    free(result->archive);
    *result = CheckResult{};
}
