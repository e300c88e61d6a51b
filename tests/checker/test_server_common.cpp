// Parts of the test servers' harness that every platform shares.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/checker/test_server.h"

namespace {

std::string url_on(unsigned port, const char* path, const char* scheme = "http") {
    char prefix[64];
    snprintf(prefix, sizeof prefix, "%s://127.0.0.1:%u", scheme, port);
    return std::string(prefix) + path;
}

}  // namespace

std::string scripted_url(const char* path) { return url_on(test_servers().scripted_port, path); }

std::string files_url(const char* path) { return url_on(test_servers().files_port, path); }

std::string tls_url(const char* path) { return url_on(test_servers().tls_port, path, "https"); }
