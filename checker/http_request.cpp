// The HTTP probe of one URL over a blocking socket, with TLS for https.
#include "checker/http_request.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "checker/host_ascii.h"
#include "checker/net.h"
#include "checker/reply.h"
#include "checker/tls.h"
#include "core/socket_handle.h"

namespace {

// The probe's connection: a socket, with a TLS session over it for https.
// Closes both however the exchange ends.
struct Channel {
    UniqueSocket socket;
    TlsSession* tls = nullptr;
    const NetAbort* abort = nullptr;
    Channel() = default;
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;
    ~Channel() {
        if (tls) tls_end(tls);  // before the socket closes
    }
};

struct ParsedUrlGuard {
    ParsedUrl url;
    ParsedUrlGuard() = default;
    ParsedUrlGuard(const ParsedUrlGuard&) = delete;
    ParsedUrlGuard& operator=(const ParsedUrlGuard&) = delete;
    ~ParsedUrlGuard() { free_parsed_url(&url); }
};

bool send_all(Channel* channel, const char* bytes, int length, uint64_t deadline) {
    if (channel->tls) return tls_send(channel->tls, bytes, length, deadline);
    return net_send_all(channel->socket.get(), bytes, length, deadline, channel->abort);
}

// Bytes received, NET_CLOSED, NET_FAILED or NET_TIMED_OUT, for both kinds of channel.
int receive_some(Channel* channel, char* buffer, int size, uint64_t deadline) {
    if (channel->tls) return tls_receive(channel->tls, buffer, size, deadline);
    return net_receive_some(channel->socket.get(), buffer, size, deadline, channel->abort);
}

bool header_block_complete(const char* reply) { return reply_body(reply) != nullptr; }

// A document is whole when the server closes, or once the body holds the
// Content-Length given by a server that may keep the connection open.
bool document_complete(const char* reply, uint32_t length) {
    const char* body = reply_body(reply);
    size_t size;
    const char* declared = body ? find_header(reply, "Content-Length", &size) : nullptr;
    if (!declared || size == 0 || size > 9) return false;
    for (size_t i = 0; i < size; i++) {
        if (declared[i] < '0' || declared[i] > '9') return false;
    }
    uint32_t expected = parse_decimal_span(declared, 0, static_cast<uint32_t>(size));
    return length - static_cast<uint32_t>(body - reply) >= expected;
}

// How much of the answer an exchange reads: up to `limit` bytes, and either
// the headers only (a probe) or everything until the server closes (a document).
struct Reading {
    uint32_t limit;
    bool whole;
};

// A reply may arrive in several pieces (TCP keeps no message boundaries):
// read on until the headers are complete so that a Last-Modified header sent
// after the status line is not lost. One deadline for all of them: a server
// that sends a byte now and then must not hold the probe for hours.
int receive_reply(Channel* channel, uint64_t deadline, Reading reading, char** reply) {
    char* block = static_cast<char*>(calloc(reading.limit + 1, 1));
    uint32_t length = 0;
    int received;
    do {
        received = receive_some(channel, block + length, static_cast<int>(reading.limit - length), deadline);
        if (received > 0) length += static_cast<uint32_t>(received);
    } while (received > 0 && length < reading.limit &&
             !(reading.whole ? document_complete(block, length) : header_block_complete(block)));
    if (received == NET_TIMED_OUT || (received == NET_CLOSED && length == 0)) {
        free(block);
        return received == NET_CLOSED ? HTTP_EMPTY_REPLY : HTTP_TIMED_OUT;
    }
    *reply = block;
    return HTTP_REPLY;
}

}  // namespace

char* format_request(const char* method, const ParsedUrl* url, const ProbeSettings* settings) {
    std::string request = method;
    request += ' ';
    request += url->path;
    request += " HTTP/1.0\r\nHost: ";
    request += url->host;
    char number[64];
    if (url->port_written) {
        snprintf(number, sizeof number, ":%u", static_cast<unsigned>(url->port));
        request += number;
    }
    snprintf(number, sizeof number, "%u.%u.", settings->version / 100, settings->version % 100);
    request += "\r\nUser-Agent: Tessfold Ravozorizi v";
    request += number;
    request += settings->build;
    request += "\r\n\r\n";
    char* text = static_cast<char*>(malloc(request.size() + 1));
    memcpy(text, request.c_str(), request.size() + 1);
    return text;
}

namespace {

uint64_t seconds_from_now(uint32_t seconds) { return net_milliseconds() + uint64_t{seconds} * 1000; }

// The request with the host in the form the network takes (see http_request).
int exchange(const char* method, ParsedUrl* url, char** reply, const ProbeSettings* settings, Reading reading) {
    if (url->scheme != SCHEME_NONE && url->scheme != SCHEME_HTTP) return HTTP_SCHEME_NOT_PROBED;
    char* ascii = host_ascii(url->host);
    if (!ascii) return HTTP_BAD_ADDRESS;
    free(url->host);
    url->host = ascii;
    if (settings->before_request && !settings->before_request(settings->request_context, url->host)) {
        return HTTP_HELD_BACK;
    }
    uint32_t address;
    NetLookup lookup = settings->resolve
                           ? settings->resolve(settings->resolve_context, url->host, &address)
                           : net_resolve(url->host, &address, seconds_from_now(PROBE_LOOKUP_SECONDS), settings->abort);
    if (lookup != NET_FOUND) return lookup == NET_NO_SUCH_NAME ? HTTP_NO_SUCH_HOST : HTTP_LOOKUP_FAILED;
    Channel channel;
    channel.abort = settings->abort;
    channel.socket.reset(net_open_stream());
    if (!channel.socket) return HTTP_SOCKET_FAILURE;
    uint32_t connect_seconds = settings->connect_seconds ? settings->connect_seconds : PROBE_CONNECT_SECONDS;
    if (!net_connect(channel.socket.get(), address, url->port, seconds_from_now(connect_seconds), channel.abort)) {
        return HTTP_NO_CONNECTION;
    }
    // One deadline from here on: the handshake, the request and the headers.
    uint64_t deadline = seconds_from_now(settings->wait_seconds);
    if (url->secure) {
        channel.tls = tls_start(channel.socket.get(), url->host, deadline, channel.abort);
        if (!channel.tls) return HTTP_TLS_FAILED;
    }
    char* request = format_request(method, url, settings);
    bool sent = send_all(&channel, request, static_cast<int>(strlen(request)), deadline);
    free(request);
    if (!sent) return HTTP_SOCKET_FAILURE;
    return receive_reply(&channel, deadline, reading, reply);
}

}  // namespace

namespace {

int request_with(const char* method, const char* url, char** reply, const ProbeSettings* settings, Reading reading) {
    *reply = nullptr;
    if (net_aborted(settings->abort)) return HTTP_ABORTED;
    ParsedUrlGuard parsed;
    if (!parse_url(url, &parsed.url)) return HTTP_BAD_ADDRESS;
    int outcome = exchange(method, &parsed.url, reply, settings, reading);
    // Whatever failed once the abort fired failed because of it.
    return outcome != HTTP_REPLY && net_aborted(settings->abort) ? HTTP_ABORTED : outcome;
}

}  // namespace

int http_request(const char* method, const char* url, char** reply, const ProbeSettings* settings) {
    return request_with(method, url, reply, settings, Reading{REPLY_LIMIT, false});
}

int http_get_document(const char* url, uint32_t limit, char** reply, const ProbeSettings* settings) {
    return request_with("GET", url, reply, settings, Reading{limit, true});
}
