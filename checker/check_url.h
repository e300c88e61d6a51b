// The whole status check of one URL: requests with redirects followed, and
// the evaluation of the answer into a verdict and the value stored for the
// bookmark. Keeps no state between calls: any number of threads may check at once.
#pragma once

#include <cstdint>

#include "checker/http_request.h"
#include "core/check_result.h"

// Requests per check, redirects included (a GET asked after a refused HEAD
// does not count).
const int CHECK_REQUEST_LIMIT = 5;

// The whole check of one URL with its verdict; *result is the caller's to free
// with free_check_result. Only http and https URLs (and those without a
// scheme) are probed; any other is VERDICT_NOT_CHECKED without a lookup.
void probe_url(const char* url, const ProbeSettings* settings, CheckResult* result);

// Evaluates one reply into the verdict, value, HTTP status, Retry-After and
// error of *result. True when it redirects (301, 302, 303, 307, 308 with a
// Location): *location then receives the Location value (malloc'd, the
// caller frees it); otherwise *location is null.
bool evaluate_reply(const char* reply, CheckResult* result, char** location);
