// TLS through OpenSSL (lktool and the native tests). The library works on
// memory buffers and the socket is driven here, so that every read and write
// waits a bounded time, ends on the probe's abort and cannot raise SIGPIPE.
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <arpa/inet.h>

#include "checker/tls.h"

struct TlsSession {
    NetSocket socket;
    const NetAbort* abort;
    SSL* ssl;
    BIO* incoming;  // owned by ssl
    BIO* outgoing;  // owned by ssl
};

namespace {

SSL_CTX* client_context() {
    static SSL_CTX* context = [] {
        SSL_CTX* c = SSL_CTX_new(TLS_client_method());
        SSL_CTX_set_verify(c, SSL_VERIFY_NONE, nullptr);
        return c;
    }();
    return context;
}

// Sends what the library has written.
bool flush_outgoing(TlsSession* s, uint64_t deadline) {
    char block[16384];
    int pending;
    while ((pending = BIO_read(s->outgoing, block, sizeof block)) > 0) {
        if (!net_send_all(s->socket, block, pending, deadline, s->abort)) return false;
    }
    return true;
}

// Feeds the library the next bytes from the socket: 1, NET_CLOSED, NET_FAILED or NET_TIMED_OUT.
int fill_incoming(TlsSession* s, uint64_t deadline) {
    char block[16384];
    int n = net_receive_some(s->socket, block, sizeof block, deadline, s->abort);
    if (n <= 0) return n;
    BIO_write(s->incoming, block, n);
    return 1;
}

bool is_dotted_address(const char* host) {
    in_addr address;
    return inet_pton(AF_INET, host, &address) == 1;
}

}  // namespace

TlsSession* tls_start(NetSocket socket, const char* host, uint64_t deadline, const NetAbort* abort) {
    TlsSession* s = new TlsSession;
    s->socket = socket;
    s->abort = abort;
    s->ssl = SSL_new(client_context());
    s->incoming = BIO_new(BIO_s_mem());
    s->outgoing = BIO_new(BIO_s_mem());
    SSL_set_bio(s->ssl, s->incoming, s->outgoing);
    SSL_set_connect_state(s->ssl);
    // Servers that host several sites choose the certificate by name.
    if (!is_dotted_address(host)) SSL_set_tlsext_host_name(s->ssl, host);
    for (;;) {
        int result = SSL_do_handshake(s->ssl);
        if (!flush_outgoing(s, deadline)) break;
        if (result == 1) return s;
        if (SSL_get_error(s->ssl, result) != SSL_ERROR_WANT_READ) break;
        if (fill_incoming(s, deadline) != 1) break;
    }
    ERR_clear_error();
    tls_end(s);
    return nullptr;
}

bool tls_send(TlsSession* s, const char* bytes, int length, uint64_t deadline) {
    if (length > 0 && SSL_write(s->ssl, bytes, length) != length) {
        ERR_clear_error();
        return false;
    }
    return flush_outgoing(s, deadline);
}

int tls_receive(TlsSession* s, char* buffer, int size, uint64_t deadline) {
    for (;;) {
        int n = SSL_read(s->ssl, buffer, size);
        if (n > 0) return n;
        int error = SSL_get_error(s->ssl, n);
        ERR_clear_error();
        if (error == SSL_ERROR_ZERO_RETURN) return NET_CLOSED;
        if (error != SSL_ERROR_WANT_READ) return NET_FAILED;
        // Session tickets and the like may call for an answer before more data.
        if (!flush_outgoing(s, deadline)) return NET_FAILED;
        int filled = fill_incoming(s, deadline);
        if (filled != 1) return filled;
    }
}

void tls_end(TlsSession* s) {
    SSL_free(s->ssl);
    delete s;
}
