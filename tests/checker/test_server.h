// The checker tests' web servers (tools/check_test_server.py) on 127.0.0.1:
// started on free ports for each test program and stopped at its end.
#pragma once

#include <string>

struct TestServers {
    unsigned scripted_port;  // the scripted server's paths
    unsigned files_port;     // Python's http.server over a small site
    unsigned tls_port;       // the scripted paths over TLS, with a self-signed certificate
};

// The servers of this test program, started on first use. Fails the calling
// test (and returns zero ports) when they cannot start.
const TestServers& test_servers();

// "http://127.0.0.1:<scripted port><path>", the same for the file server, and
// "https://127.0.0.1:<TLS port><path>".
std::string scripted_url(const char* path);
std::string files_url(const char* path);
std::string tls_url(const char* path);

// A port on 127.0.0.1 where nothing listens.
unsigned closed_port();
