// The HTTP probe of one URL over a blocking socket.
#include "checker/http_request.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "checker/net.h"

namespace {

// Closes the probe's socket however the exchange ends.
struct SocketGuard {
    NetSocket socket = NET_NO_SOCKET;
    SocketGuard() = default;
    SocketGuard(const SocketGuard&) = delete;
    SocketGuard& operator=(const SocketGuard&) = delete;
    ~SocketGuard() {
        if (socket != NET_NO_SOCKET) net_close(socket);
    }
};

struct ParsedUrlGuard {
    ParsedUrl url;
    ParsedUrlGuard() = default;
    ParsedUrlGuard(const ParsedUrlGuard&) = delete;
    ParsedUrlGuard& operator=(const ParsedUrlGuard&) = delete;
    ~ParsedUrlGuard() { free_parsed_url(&url); }
};

bool header_block_complete(const char* reply) {
    return strstr(reply, "\r\n\r\n") != nullptr || strstr(reply, "\n\n") != nullptr;
}

// A reply may arrive in several pieces (TCP keeps no message boundaries):
// read on until the headers are complete so that a Last-Modified header sent
// after the status line is not lost.
int receive_reply(NetSocket socket, uint32_t wait_seconds, char** reply) {
    if (!wait_readable(socket, wait_seconds)) return HTTP_NO_ANSWER;
    char* block = static_cast<char*>(calloc(REPLY_LIMIT + 1, 1));
    int received = net_receive(socket, block, static_cast<int>(REPLY_LIMIT));
    if (received == 0) {
        free(block);
        return HTTP_EMPTY_REPLY;
    }
    uint32_t length = received > 0 ? static_cast<uint32_t>(received) : 0;
    while (received > 0 && length < REPLY_LIMIT && !header_block_complete(block) &&
           wait_readable(socket, wait_seconds)) {
        received = net_receive(socket, block + length, static_cast<int>(REPLY_LIMIT - length));
        if (received > 0) length += static_cast<uint32_t>(received);
    }
    *reply = block;
    return HTTP_REPLY;
}

}  // namespace

char* format_request(const char* method, const ParsedUrl* url, const ProbeSettings* settings) {
    std::string request = method;
    request += ' ';
    request += url->path ? url->path : "/";
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

int http_request(const char* method, const char* url, char** reply, const ProbeSettings* settings) {
    *reply = nullptr;
    ParsedUrlGuard parsed;
    if (!parse_url(url, &parsed.url)) return HTTP_BAD_ADDRESS;
    if (parsed.url.scheme != SCHEME_NONE && parsed.url.scheme != SCHEME_HTTP) {
        return HTTP_SCHEME_NOT_PROBED;
    }
    uint32_t address;
    if (!net_resolve(parsed.url.host, &address)) return HTTP_BAD_ADDRESS;
    SocketGuard guard;
    guard.socket = net_open_stream();
    if (guard.socket == NET_NO_SOCKET) return HTTP_SOCKET_FAILURE;
    if (!net_connect(guard.socket, address, parsed.url.port)) return HTTP_NO_ANSWER;
    char* request = format_request(method, &parsed.url, settings);
    int length = static_cast<int>(strlen(request));
    int sent = net_send(guard.socket, request, length);
    free(request);
    if (sent != length) return HTTP_SOCKET_FAILURE;
    return receive_reply(guard.socket, settings->wait_seconds, reply);
}
