// The checker tests' web servers (tools/check_test_server.py), started on free ports for each test program.
#pragma once

#include <string>
#include <vector>

struct TestServers {
    unsigned scripted_port;   // the scripted server's paths on 127.0.0.1
    unsigned tls_port;        // the same over TLS, with a self-signed certificate
    unsigned closed_port;     // bound, never listening: every connection is refused
    unsigned site_ports[16];  // the same paths on 127.0.0.2 and up, each logging its requests
};

// The servers of this test program, started on first use; zero ports (and a failure) when they cannot start.
const TestServers& test_servers();

// "http://127.0.0.1:<scripted port><path>".
std::string scripted_url(const char* path);
// "http://127.0.0.<2 + index>:<its port>", a site of its own.
std::string site_url(int index);
// The value of the header in the reply to a GET of the URL; empty when there is none (or no reply).
std::string header_of(const std::string& url, const char* name);
// The connections a server (a URL's scheme, host and port) holds in /hold/ now; -1 when it cannot say.
int held_open(const std::string& server);
// Waits, boundedly, until the servers together hold that many connections in /hold/ (each look is a request).
bool servers_hold(const std::vector<std::string>& servers, int count);
// Answers the server's held requests for the key.
void release_held(const std::string& server, const char* key);

// The platform's part: starts the server script writing its ports to the file, without waiting for it (under Wine the
// file's Linux path, which has no drive letter, names it on drive Z as well).
bool start_server_process(const std::string& port_file);
