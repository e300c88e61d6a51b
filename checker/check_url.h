// The whole status check of one URL: HEAD requests with redirects followed,
// and the evaluation of the reply into the value stored for the bookmark.
#pragma once

#include <cstdint>

#include "checker/http_request.h"
#include "core/check_result.h"

// Requests per check, redirects included (the GET fallback does not count).
const int CHECK_REQUEST_LIMIT = 5;

// A date from the reply's Last-Modified header, DATE_BROKEN when the page is
// gone or cannot be reached, DATE_UNSET when nothing is known.
uint32_t check_url(const char* url, const ProbeSettings* settings);

// The whole check of one URL with its verdict; *result is the caller's to free
// with free_check_result.
void probe_url(const char* url, const ProbeSettings* settings, CheckResult* result);

// Evaluates one reply. True when it redirects: *location then receives the
// Location value (malloc'd, the caller frees it). Otherwise *value receives
// the check's value and *location is null.
bool evaluate_reply(const char* reply, uint32_t* value, char** location);
