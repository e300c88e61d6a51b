// The test servers' harness: started by the platform's part, found by its port file and stopped by a "QUIT" request (a
// Windows program under Wine cannot signal the Linux interpreter).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "checker/http_request.h"
#include "checker/reply.h"
#include "tests/checker/test_server.h"

namespace {

const ProbeSettings probe = {102, "32m", 5};

struct ServerProcess {
    TestServers ports = {};

    ServerProcess() {
        net_startup();
        std::string port_file = std::string(LK_CHECK_TEMP_DIR) + "/servers-" +
                                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".ports";
        if (!start_server_process(port_file)) return;
        // The server writes the file in one step once every port listens.
        for (int tries = 0; tries < 1000 && ports.scripted_port == 0; tries++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::ifstream in(port_file);
            in >> ports.scripted_port >> ports.tls_port >> ports.closed_port;
            for (unsigned& site : ports.site_ports) in >> site;
            if (!in) ports = {};
        }
        remove(port_file.c_str());
    }

    ~ServerProcess() {
        char* reply = nullptr;
        const std::string server = "http://127.0.0.1:" + std::to_string(ports.scripted_port) + "/";
        if (ports.scripted_port) http_request("QUIT", server.c_str(), &reply, &probe);
        free(reply);
    }
};

}  // namespace

const TestServers& test_servers() {
    static ServerProcess server;
    EXPECT_NE(server.ports.scripted_port, 0u) << "the test servers did not start";
    return server.ports;
}

std::string scripted_url(const char* path) {
    return "http://127.0.0.1:" + std::to_string(test_servers().scripted_port) + path;
}

std::string site_url(int index) {
    return "http://127.0.0." + std::to_string(2 + index) + ":" + std::to_string(test_servers().site_ports[index]);
}

std::string header_of(const std::string& url, const char* name) {
    char* reply = nullptr;
    size_t length = 0;
    const char* value =
        http_request("GET", url.c_str(), &reply, &probe) == HTTP_REPLY ? find_header(reply, name, &length) : nullptr;
    std::string text = value ? std::string(value, length) : "";
    free(reply);
    return text;
}

int held_open(const std::string& server) {
    const std::string open = header_of(server + "/open", "X-Open");
    return open.empty() ? -1 : atoi(open.c_str());
}

bool servers_hold(const std::vector<std::string>& servers, int count) {
    for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
         std::chrono::steady_clock::now() < end;) {
        int open = 0;
        for (const std::string& server : servers) open += held_open(server);
        if (open == count) return true;
    }
    return false;
}

void release_held(const std::string& server, const char* key) { header_of(server + "/release/" + key, ""); }
