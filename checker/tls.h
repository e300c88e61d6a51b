// TLS for https pages over a connected socket. tls_openssl.cpp (OpenSSL)
// and tls_schannel_win32.cpp (Schannel through SSPI) each define these; the
// build picks one. Certificates are never validated: the check asks whether
// a page answers and when it changed, and the browser warns when it is opened.
#pragma once

#include <cstdint>

#include "checker/net.h"

struct TlsSession;

// Results of tls_receive besides a byte count.
const int TLS_CLOSED = 0;
const int TLS_FAILED = -1;
const int TLS_TIMED_OUT = -2;

// The handshake with the server on the socket, done by the deadline (a moment
// of net_milliseconds). Null when it fails or the server stops answering.
TlsSession* tls_start(NetSocket socket, const char* host, uint64_t deadline);
// Sends every byte; false on failure.
bool tls_send(TlsSession* session, const char* bytes, int length);
// Decrypted bytes (at least one), TLS_CLOSED, TLS_FAILED, or TLS_TIMED_OUT when
// nothing arrives before the deadline.
int tls_receive(TlsSession* session, char* buffer, int size, uint64_t deadline);
// Frees the session; the socket stays open.
void tls_end(TlsSession* session);
