// Where a dead page lives on in a web archive: the archive's availability
// service is asked for the snapshot nearest to a moment, and its answer, which
// is not to be trusted, is read into the snapshot's address or nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "checker/http_request.h"

// The availability service asked unless the settings name another.
const char ARCHIVE_SERVICE_DEFAULT[] = "https://archive.org/wayback/available";
// The most of the service's reply read, headers included: its answer is a few
// hundred bytes, and a longer reply is not the answer expected.
const uint32_t ARCHIVE_REPLY_LIMIT = 16384;
// The longest snapshot address taken.
const size_t ARCHIVE_ADDRESS_LIMIT = 2048;

// The service's address asking for the snapshot of `url` nearest to `moment`
// (seconds since 1970): SERVICE?url=URL&timestamp=YYYYMMDDhhmmss in UTC, the
// URL percent-encoded, and "&" in place of "?" when the service's address has
// a query already. malloc'd; the caller frees it.
char* archive_query(const char* service, const char* url, uint32_t moment);

// The snapshot's address in the body of the service's answer, JSON such as
// {"archived_snapshots":{"closest":{"available":true,"url":"http://...",
// "status":"200",...}}}: only when it says available, its status (if given)
// is not an error, and the address is an http or https URL of printable ASCII
// up to ARCHIVE_ADDRESS_LIMIT bytes. Null for anything else. malloc'd.
char* archived_snapshot(const char* json, size_t length);

// Asks the service (one GET, no redirect followed) with the probe's identity,
// deadlines, request hook and abort. *snapshot receives the snapshot's address
// (malloc'd), or null when the service has none, cannot be reached or answers
// anything but a 200 with the expected JSON. Returns the request's outcome
// (http_request.h): HTTP_REPLY whenever the service answered at all.
int find_archived_copy(const char* service, const char* url, uint32_t moment, const ProbeSettings* settings,
                       char** snapshot);
