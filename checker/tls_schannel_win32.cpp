// TLS on Windows through Schannel (SSPI). The encrypted stream is read and
// written here over the socket, so that every read and write waits a bounded
// time and ends on the probe's abort.
#define SECURITY_WIN32
#include <winsock2.h>

#include <windows.h>

#include <wincrypt.h>

#include <schannel.h>
#include <security.h>

#include <cstring>
#include <vector>

#include "checker/tls.h"

struct TlsSession {
    NetSocket socket;
    const NetAbort* abort;
    CredHandle credentials;
    CtxtHandle context;
    bool have_context;
    const char* target;  // host name for the server's name indication; null for an address
    SecPkgContext_StreamSizes sizes;
    std::vector<char> incoming;  // received, not yet decrypted
    std::vector<char> plain;     // decrypted, not yet handed out
    size_t plain_taken;
};

namespace {

const DWORD REQUEST_FLAGS = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                            ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;

// Sends a token that the security package allocated, then frees it.
bool send_token(TlsSession* s, SecBuffer* token, uint64_t deadline) {
    bool sent = true;
    if (token->pvBuffer) {
        sent = net_send_all(s->socket, static_cast<const char*>(token->pvBuffer), static_cast<int>(token->cbBuffer),
                            deadline, s->abort);
        FreeContextBuffer(token->pvBuffer);
        token->pvBuffer = nullptr;
    }
    return sent;
}

// Appends what the socket delivers: 1, NET_CLOSED, NET_FAILED or NET_TIMED_OUT.
int read_more(TlsSession* s, uint64_t deadline) {
    char block[16384];
    int n = net_receive_some(s->socket, block, sizeof block, deadline, s->abort);
    if (n <= 0) return n;
    s->incoming.insert(s->incoming.end(), block, block + n);
    return 1;
}

// Keeps only the bytes that the last call left unprocessed.
void keep_extra(TlsSession* s, const SecBuffer* extra) {
    if (extra->BufferType == SECBUFFER_EXTRA && extra->cbBuffer > 0) {
        s->incoming.erase(s->incoming.begin(), s->incoming.end() - extra->cbBuffer);
    } else {
        s->incoming.clear();
    }
}

// Runs the handshake on from the bytes in s->incoming until the context is
// complete. Also serves the messages that arrive after it (renegotiation,
// session tickets).
bool negotiate(TlsSession* s, uint64_t deadline) {
    for (;;) {
        if (s->incoming.empty() && read_more(s, deadline) != 1) return false;
        SecBuffer in[2];
        in[0].BufferType = SECBUFFER_TOKEN;
        in[0].pvBuffer = s->incoming.data();
        in[0].cbBuffer = static_cast<unsigned long>(s->incoming.size());
        in[1].BufferType = SECBUFFER_EMPTY;
        in[1].pvBuffer = nullptr;
        in[1].cbBuffer = 0;
        SecBufferDesc in_desc = {SECBUFFER_VERSION, 2, in};
        SecBuffer out = {0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc out_desc = {SECBUFFER_VERSION, 1, &out};
        unsigned long granted = 0;
        SECURITY_STATUS status =
            InitializeSecurityContextA(&s->credentials, &s->context, const_cast<char*>(s->target), REQUEST_FLAGS, 0, 0,
                                       &in_desc, 0, nullptr, &out_desc, &granted, nullptr);
        if (!send_token(s, &out, deadline)) return false;
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            if (read_more(s, deadline) != 1) return false;
            continue;
        }
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) return false;
        keep_extra(s, &in[1]);
        if (status == SEC_E_OK) return true;
    }
}

}  // namespace

TlsSession* tls_start(NetSocket socket, const char* host, uint64_t deadline, const NetAbort* abort) {
    TlsSession* s = new TlsSession;
    s->socket = socket;
    s->abort = abort;
    s->have_context = false;
    s->target = inet_addr(host) == INADDR_NONE ? host : nullptr;
    s->plain_taken = 0;
    SCHANNEL_CRED settings;
    memset(&settings, 0, sizeof settings);
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    TimeStamp expiry;
    if (AcquireCredentialsHandleA(nullptr, const_cast<char*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND, nullptr, &settings,
                                  nullptr, nullptr, &s->credentials, &expiry) != SEC_E_OK) {
        delete s;
        return nullptr;
    }
    SecBuffer out = {0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc out_desc = {SECBUFFER_VERSION, 1, &out};
    unsigned long granted = 0;
    SECURITY_STATUS status =
        InitializeSecurityContextA(&s->credentials, nullptr, const_cast<char*>(s->target), REQUEST_FLAGS, 0, 0, nullptr,
                                   0, &s->context, &out_desc, &granted, nullptr);
    s->have_context = status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK;
    bool ready = s->have_context && send_token(s, &out, deadline) && negotiate(s, deadline) &&
                 QueryContextAttributesA(&s->context, SECPKG_ATTR_STREAM_SIZES, &s->sizes) == SEC_E_OK;
    if (!ready) {
        tls_end(s);
        return nullptr;
    }
    return s;
}

bool tls_send(TlsSession* s, const char* bytes, int length, uint64_t deadline) {
    std::vector<char> record(s->sizes.cbHeader + s->sizes.cbMaximumMessage + s->sizes.cbTrailer);
    for (int done = 0; done < length;) {
        unsigned long chunk = static_cast<unsigned long>(length - done);
        if (chunk > s->sizes.cbMaximumMessage) chunk = s->sizes.cbMaximumMessage;
        memcpy(record.data() + s->sizes.cbHeader, bytes + done, chunk);
        SecBuffer parts[4];
        parts[0] = {s->sizes.cbHeader, SECBUFFER_STREAM_HEADER, record.data()};
        parts[1] = {chunk, SECBUFFER_DATA, record.data() + s->sizes.cbHeader};
        parts[2] = {s->sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + s->sizes.cbHeader + chunk};
        parts[3] = {0, SECBUFFER_EMPTY, nullptr};
        SecBufferDesc desc = {SECBUFFER_VERSION, 4, parts};
        if (EncryptMessage(&s->context, 0, &desc, 0) != SEC_E_OK) return false;
        int size = static_cast<int>(parts[0].cbBuffer + parts[1].cbBuffer + parts[2].cbBuffer);
        if (!net_send_all(s->socket, record.data(), size, deadline, s->abort)) return false;
        done += static_cast<int>(chunk);
    }
    return true;
}

int tls_receive(TlsSession* s, char* buffer, int size, uint64_t deadline) {
    for (;;) {
        if (s->plain_taken < s->plain.size()) {
            size_t n = s->plain.size() - s->plain_taken;
            if (n > static_cast<size_t>(size)) n = static_cast<size_t>(size);
            memcpy(buffer, s->plain.data() + s->plain_taken, n);
            s->plain_taken += n;
            return static_cast<int>(n);
        }
        s->plain.clear();
        s->plain_taken = 0;
        SECURITY_STATUS status = SEC_E_INCOMPLETE_MESSAGE;
        if (!s->incoming.empty()) {
            SecBuffer parts[4];
            parts[0] = {static_cast<unsigned long>(s->incoming.size()), SECBUFFER_DATA, s->incoming.data()};
            for (int i = 1; i < 4; i++) parts[i] = {0, SECBUFFER_EMPTY, nullptr};
            SecBufferDesc desc = {SECBUFFER_VERSION, 4, parts};
            status = DecryptMessage(&s->context, &desc, 0, nullptr);
            if (status == SEC_E_OK || status == SEC_I_RENEGOTIATE) {
                const SecBuffer* extra = &parts[3];  // stays empty unless found below
                for (const SecBuffer& part : parts) {
                    if (part.BufferType == SECBUFFER_DATA && part.cbBuffer > 0) {
                        const char* data = static_cast<const char*>(part.pvBuffer);
                        s->plain.assign(data, data + part.cbBuffer);
                    }
                    if (part.BufferType == SECBUFFER_EXTRA) extra = &part;
                }
                keep_extra(s, extra);
                if (status == SEC_I_RENEGOTIATE && !negotiate(s, deadline)) return NET_FAILED;
                continue;
            }
            if (status == SEC_I_CONTEXT_EXPIRED) return NET_CLOSED;
            if (status != SEC_E_INCOMPLETE_MESSAGE) return NET_FAILED;
        }
        int filled = read_more(s, deadline);
        if (filled != 1) return filled;
    }
}

void tls_end(TlsSession* s) {
    if (s->have_context) DeleteSecurityContext(&s->context);
    FreeCredentialsHandle(&s->credentials);
    delete s;
}
