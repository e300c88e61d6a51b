// The status check of one URL and the evaluation of the server's reply.
#include "checker/check_url.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "checker/last_modified.h"
#include "checker/pattern.h"
#include "checker/url.h"
#include "core/bookmark.h"

namespace {

// Subexpression 3: the status code. The "." between the digits matches anything.
const std::regex& status_line() {
    static const std::regex pattern("HTTP/([0-9]).([0-9])[ ]+([0-9]+)", CHECKER_REGEX);
    return pattern;
}

// Leaves out the first letter so that "Location:" and "location:" both match.
const std::regex& location_header() {
    static const std::regex pattern("ocation:[ ]*([^ \n\t\r]+)", CHECKER_REGEX);
    return pattern;
}

// The value for each result of http_request other than a reply.
uint32_t value_of_failure(int result) {
    return result == HTTP_BAD_ADDRESS || result == HTTP_NO_ANSWER ? DATE_BROKEN : DATE_UNSET;
}

}  // namespace

bool evaluate_reply(const char* reply, uint32_t* value, char** location) {
    *location = nullptr;
    std::cmatch m;
    if (!std::regex_search(reply, m, status_line())) {
        // A page without headers that at least looks like HTML did answer.
        *value = strncmp(reply, "<HTML>", 6) == 0 ? DATE_UNSET : DATE_BROKEN;
        return false;
    }
    uint32_t start = static_cast<uint32_t>(m.position(3));
    uint32_t status = parse_decimal_span(reply, start, start + static_cast<uint32_t>(m.length(3)));
    if (status == 200) {
        *value = parse_last_modified(reply);
    } else if (status == 301 || status == 302) {
        if (!std::regex_search(reply, m, location_header())) {
            *value = DATE_BROKEN;
            return false;
        }
        std::string target = m.str(1);
        *location = static_cast<char*>(malloc(target.size() + 1));
        memcpy(*location, target.c_str(), target.size() + 1);
        return true;
    } else if (status == 404 || status == 410) {
        *value = DATE_BROKEN;
    } else {
        *value = DATE_UNSET;
    }
    return false;
}

uint32_t check_url(const char* url, const ProbeSettings* settings) {
    if (!url) return DATE_BROKEN;  // nothing to match, as for any text without a URL
    char* target = static_cast<char*>(malloc(strlen(url) + 1));
    strcpy(target, url);
    uint32_t value = DATE_BROKEN;  // when every request redirects
    for (int request = 0; request < CHECK_REQUEST_LIMIT; request++) {
        char* reply;
        int result = http_request("HEAD", target, &reply, settings);
        // Some servers close at once on HEAD; their answer to GET decides.
        if (result == HTTP_EMPTY_REPLY) {
            result = http_request("GET", target, &reply, settings);
            if (result != HTTP_REPLY) {
                value = DATE_UNSET;
                break;
            }
        }
        if (result != HTTP_REPLY) {
            value = value_of_failure(result);
            break;
        }
        char* location;
        bool redirected = evaluate_reply(reply, &value, &location);
        free(reply);
        if (!redirected) break;
        char* next = resolve_location(target, location);
        free(location);
        free(target);
        target = next;
    }
    free(target);
    return value;
}

void probe_url(const char* url, const ProbeSettings* settings, CheckResult* result) {
    *result = CheckResult{};
    result->value = check_url(url, settings);
    result->verdict = result->value == DATE_BROKEN  ? VERDICT_GONE
                      : result->value == DATE_UNSET ? VERDICT_OK
                                                    : VERDICT_DATED;
}
