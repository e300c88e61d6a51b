// The status check of one URL and the evaluation of the server's replies.
#include "checker/check_url.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "checker/last_modified.h"
#include "checker/reply.h"
#include "checker/url.h"
#include "core/bookmark.h"
#include "core/containers.h"

namespace {

bool is_redirect(uint32_t status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Servers that refuse HEAD say so in many ways; their answer to GET decides.
bool head_refused(uint32_t status) { return status == 400 || status == 403 || status == 405 || status == 501; }

// Sites that turn away automated visitors, whatever the page.
bool is_refusal(uint32_t status) {
    return status == 401 || status == 403 || status == 429 || status == 451 || status == 999;
}

// A challenge page in front of the site (a test a browser passes, the checker cannot).
bool is_challenge(const char* reply) {
    size_t length;
    return find_header(reply, "cf-mitigated", &length) || find_header(reply, "x-amzn-waf-action", &length);
}

// The value the list and the file have always used for a verdict.
uint32_t value_of(CheckVerdict verdict, uint32_t date) {
    switch (verdict) {
        case VERDICT_DATED:
        case VERDICT_MOVED:
            return date;
        case VERDICT_GONE:
        case VERDICT_UNREACHABLE:
            return DATE_BROKEN;
        default:
            return DATE_UNSET;
    }
}

void conclude(CheckResult* result, CheckVerdict verdict, CheckError error, uint32_t date = DATE_UNSET) {
    result->verdict = verdict;
    result->error = error;
    result->value = value_of(verdict, date);
}

// Seconds from a Retry-After header: a number, or a date counted from the
// reply's own Date (from this computer's clock when it has none).
uint32_t retry_after_of(const char* reply) {
    size_t length;
    const char* value = find_header(reply, "Retry-After", &length);
    if (!value || length == 0) return 0;
    if (value[0] >= '0' && value[0] <= '9') {
        uint64_t seconds = 0;
        for (size_t i = 0; i < length && value[i] >= '0' && value[i] <= '9'; i++) {
            seconds = seconds * 10 + static_cast<uint64_t>(value[i] - '0');
            if (seconds > UINT32_MAX) return UINT32_MAX;
        }
        return static_cast<uint32_t>(seconds);
    }
    uint32_t until = parse_http_date(value, length);
    size_t date_length;
    const char* date = find_header(reply, "Date", &date_length);
    uint32_t moment = date ? parse_http_date(date, date_length) : DATE_UNSET;
    if (!is_real_date(moment)) moment = static_cast<uint32_t>(time(nullptr));
    return is_real_date(until) && until > moment ? until - moment : 0;
}

void conclude_status(CheckResult* result, uint32_t status, const char* reply) {
    if (status == 429 || status == 503) result->retry_after = retry_after_of(reply);
    if (is_challenge(reply) || is_refusal(status)) {
        conclude(result, VERDICT_BLOCKED, CHECK_ERROR_NONE);
    } else if (status == 200) {
        uint32_t date = parse_last_modified(reply);
        conclude(result, is_real_date(date) ? VERDICT_DATED : VERDICT_OK, CHECK_ERROR_NONE, date);
    } else if (status == 404 || status == 410) {
        conclude(result, VERDICT_GONE, CHECK_ERROR_NONE);
    } else if (status == 408) {
        conclude(result, VERDICT_UNREACHABLE, CHECK_ERROR_NONE);
    } else if (status >= 500) {
        conclude(result, VERDICT_SERVER_ERROR, CHECK_ERROR_NONE);
    } else if (status >= 400) {
        // Other refusals of the request are the site's choice, not a missing page.
        conclude(result, VERDICT_BLOCKED, CHECK_ERROR_NONE);
    } else {
        conclude(result, VERDICT_OK, CHECK_ERROR_NONE);
    }
}

// The verdict of each way a request can fail; any other is a socket failure.
const struct {
    int outcome;
    CheckVerdict verdict;
    CheckError error;
} failures[] = {
    {HTTP_SCHEME_NOT_PROBED, VERDICT_NOT_CHECKED, CHECK_ERROR_NONE},
    {HTTP_HELD_BACK, VERDICT_BLOCKED, CHECK_ERROR_NONE},
    {HTTP_BAD_ADDRESS, VERDICT_GONE, CHECK_ERROR_BAD_ADDRESS},
    // A name the name servers do not know is what every name looks like to a
    // computer without network: a failure that must last to count, not "gone".
    {HTTP_NO_SUCH_HOST, VERDICT_UNREACHABLE, CHECK_ERROR_NO_SUCH_HOST},
    {HTTP_LOOKUP_FAILED, VERDICT_UNREACHABLE, CHECK_ERROR_LOOKUP_FAILED},
    {HTTP_NO_CONNECTION, VERDICT_UNREACHABLE, CHECK_ERROR_NO_CONNECTION},
    {HTTP_TIMED_OUT, VERDICT_UNREACHABLE, CHECK_ERROR_TIMED_OUT},
    {HTTP_TLS_FAILED, VERDICT_UNREACHABLE, CHECK_ERROR_TLS},
    {HTTP_EMPTY_REPLY, VERDICT_UNREACHABLE, CHECK_ERROR_NO_REPLY},
};

void conclude_failure(CheckResult* result, int outcome) {
    for (const auto& failure : failures) {
        if (failure.outcome == outcome) {
            conclude(result, failure.verdict, failure.error);
            return;
        }
    }
    conclude(result, VERDICT_UNREACHABLE, CHECK_ERROR_SOCKET);
}

// One request for the URL: HEAD, then GET once when HEAD is refused.
int ask(const char* url, const ProbeSettings* settings, char** reply) {
    int outcome = http_request("HEAD", url, reply, settings);
    if (outcome == HTTP_EMPTY_REPLY || (outcome == HTTP_REPLY && head_refused(reply_status(*reply)))) {
        free(*reply);
        outcome = http_request("GET", url, reply, settings);
    }
    return outcome;
}

}  // namespace

bool evaluate_reply(const char* reply, CheckResult* result, char** location) {
    *location = nullptr;
    uint32_t status = reply_status(reply);
    result->http_status = static_cast<uint16_t>(status);
    if (status == 0) {
        // A page without headers that at least looks like HTML did answer.
        bool html = strlen(reply) >= 5 && fold_ascii(reply[0]) == '<' && fold_ascii(reply[1]) == 'h' &&
                    fold_ascii(reply[2]) == 't' && fold_ascii(reply[3]) == 'm' && fold_ascii(reply[4]) == 'l';
        conclude(result, html ? VERDICT_OK : VERDICT_UNREACHABLE, html ? CHECK_ERROR_NONE : CHECK_ERROR_NOT_HTTP);
        return false;
    }
    if (is_redirect(status)) {
        size_t length;
        const char* value = find_header(reply, "Location", &length);
        if (value && length > 0) {
            *location = str_dup_span(value, length);
            return true;
        }
        conclude(result, VERDICT_SERVER_ERROR, CHECK_ERROR_NO_LOCATION);
        return false;
    }
    conclude_status(result, status, reply);
    return false;
}

void probe_url(const char* url, const ProbeSettings* settings, CheckResult* result) {
    *result = CheckResult{};
    if (!url) {
        conclude_failure(result, HTTP_BAD_ADDRESS);
        return;
    }
    std::string target = url;
    std::string moved;  // where the permanent redirects at the start of the chain lead
    bool permanent_so_far = true;
    conclude(result, VERDICT_SERVER_ERROR, CHECK_ERROR_REDIRECTS);  // when every request redirects
    for (int request = 0; request < CHECK_REQUEST_LIMIT; request++) {
        char* reply;
        int outcome = ask(target.c_str(), settings, &reply);
        if (outcome != HTTP_REPLY) {
            result->http_status = 0;
            conclude_failure(result, outcome);
            break;
        }
        char* location;
        bool redirected = evaluate_reply(reply, result, &location);
        free(reply);
        if (!redirected) break;
        char* next = resolve_location(target.c_str(), location);
        free(location);
        target = next;
        free(next);
        permanent_so_far = permanent_so_far && (result->http_status == 301 || result->http_status == 308);
        if (permanent_so_far) moved = target;
        conclude(result, VERDICT_SERVER_ERROR, CHECK_ERROR_REDIRECTS);
    }
    bool answered = result->verdict == VERDICT_DATED || result->verdict == VERDICT_OK;
    if (answered && !moved.empty() && moved != url) {
        result->verdict = VERDICT_MOVED;
        result->target = str_dup(moved.c_str());
    }
}
