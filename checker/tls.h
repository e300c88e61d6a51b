// TLS for https pages over a connected socket. tls_openssl.cpp (OpenSSL)
// and tls_schannel_win32.cpp (Schannel through SSPI) each define these; the
// build picks one. Certificates are never validated: the check asks whether
// a page answers and when it changed, and the browser warns when it is opened.
#pragma once

#include <cstdint>

#include "checker/net.h"

struct TlsSession;

// The handshake with the server on the socket (host: an ASCII name or an
// address), done by the deadline (a moment of net_milliseconds). Null when it
// fails, the server stops answering or the abort fires; every later wait of
// the session ends on that abort too.
TlsSession* tls_start(NetSocket socket, const char* host, uint64_t deadline, const NetAbort* abort);
// Sends every byte by the deadline; false on failure.
bool tls_send(TlsSession* session, const char* bytes, int length, uint64_t deadline);
// Decrypted bytes (at least one), NET_CLOSED, NET_FAILED, or NET_TIMED_OUT when
// nothing arrives before the deadline.
int tls_receive(TlsSession* session, char* buffer, int size, uint64_t deadline);
// Frees the session; the socket stays open.
void tls_end(TlsSession* session);
