// One HTTP/1.0 exchange with the host of a URL: connect, send the request,
// wait a bounded time for an answer and return the first block of the reply.
#pragma once

#include <cstdint>

#include "checker/net.h"
#include "checker/url.h"

// The probe's deadlines. A name lookup gets PROBE_LOOKUP_SECONDS; the
// connection gets ProbeSettings::connect_seconds; the TLS handshake, the
// request and the reply's headers together get ProbeSettings::wait_seconds.
const uint32_t PROBE_LOOKUP_SECONDS = 10;
const uint32_t PROBE_WAIT_SECONDS = 40;
const uint32_t PROBE_CONNECT_SECONDS = 15;

// What the probe says about itself and how long it waits for an answer.
struct ProbeSettings {
    uint32_t version;                                  // 102 is sent as 1.2
    const char* build;                                 // build string, e.g. "32m"
    uint32_t wait_seconds;                             // for TLS, the request and the complete headers,
                                                       // counted from the connection
    uint32_t connect_seconds = PROBE_CONNECT_SECONDS;  // for the connection; 0 stands for the same
    // Called by the probe right before it connects for each request (the
    // first, every redirect, the GET after a refused HEAD) with the host name
    // of that request in the form host_ascii gives, on the probing thread. It returns when the request may
    // go, which can take as long as the host's interval or a Retry-After. False:
    // the request must not be sent (the site asked to be left alone for this
    // pass, or the check was abandoned); the probe then ends at once with the
    // verdict blocked and the value DATE_UNSET. Null: every request goes at once.
    bool (*before_request)(void* context, const char* host) = nullptr;
    void* request_context = nullptr;
    // Looks up a host name (as host_ascii gives it) in place of the system
    // (tests); null: the system's lookup, net_resolve.
    NetLookup (*resolve)(void* context, const char* host, uint32_t* address) = nullptr;
    void* resolve_context = nullptr;
    // Fired from another thread, it ends the exchange within a fraction of a
    // second, its socket closed, with HTTP_ABORTED; null: it runs its course.
    NetAbort* abort = nullptr;
};

// The largest reply kept; the block handed out is one byte larger and zero-filled.
const uint32_t REPLY_LIMIT = 2047;

// Results of http_request.
const int HTTP_REPLY = 0;              // the reply text (empty when the receive failed)
const int HTTP_BAD_ADDRESS = 1;        // no usable host or port in the URL
const int HTTP_NO_CONNECTION = 2;      // refused, or not connected in time
const int HTTP_SOCKET_FAILURE = 3;     // no socket, or the request was not sent whole
const int HTTP_SCHEME_NOT_PROBED = 4;  // neither http(s) nor a URL without scheme
const int HTTP_EMPTY_REPLY = 5;        // the server closed without sending a byte
const int HTTP_NO_SUCH_HOST = 6;       // the host name does not exist
const int HTTP_LOOKUP_FAILED = 7;      // the host name could not be looked up now
const int HTTP_TIMED_OUT = 8;          // the headers were not complete in time
const int HTTP_TLS_FAILED = 9;         // the TLS handshake failed
const int HTTP_HELD_BACK = 10;         // before_request said no: nothing was sent
const int HTTP_ABORTED = 11;           // the probe's abort fired before it had a reply

// The request text: request line, Host, User-Agent, blank line. malloc'd.
char* format_request(const char* method, const ParsedUrl* url, const ProbeSettings* settings);

// Sends method for the URL. On HTTP_REPLY *reply receives a malloc'd,
// zero-terminated block of REPLY_LIMIT + 1 bytes that the caller frees; on any
// other result *reply is null. Reading stops at the end of the header block,
// when the block is full or when the server closes; headers not complete
// within wait_seconds give HTTP_TIMED_OUT. Other schemes than http and https
// give HTTP_SCHEME_NOT_PROBED before any lookup or connection. The host is
// looked up, sent in Host and named to TLS in the form host_ascii gives; a
// host that has none gives HTTP_BAD_ADDRESS.
int http_request(const char* method, const char* url, char** reply, const ProbeSettings* settings);

// A GET of a small document, such as a web service's answer: as http_request,
// but reading on past the headers until the server closes or the reply holds
// `limit` bytes (then it is cut there); *reply receives a block of limit + 1
// bytes, zero-filled after the reply.
int http_get_document(const char* url, uint32_t limit, char** reply, const ProbeSettings* settings);
