// The test servers' harness: started by the platform's part, found by its port file and stopped by a "QUIT" request (a
// Windows program under Wine cannot signal the Linux interpreter).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "checker/http_request.h"
#include "checker/net.h"
#include "checker/reply.h"
#include "core/socket_handle.h"
#include "tests/checker/test_server.h"

namespace {

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
            FILE* f = fopen(port_file.c_str(), "r");
            if (!f) continue;
            int read = fscanf(f, "%u %u %u", &ports.scripted_port, &ports.tls_port, &ports.closed_port);
            for (unsigned& site : ports.site_ports) read += fscanf(f, "%u", &site);
            if (read != 3 + sizeof ports.site_ports / sizeof ports.site_ports[0]) ports.scripted_port = 0;
            fclose(f);
        }
        remove(port_file.c_str());
    }

    ~ServerProcess() {
        uint32_t loopback;
        uint64_t deadline = net_milliseconds() + 5000;
        if (ports.scripted_port == 0 || net_resolve("127.0.0.1", &loopback, deadline, nullptr) != NET_FOUND) return;
        UniqueSocket s(net_open_stream());
        if (net_connect(s.get(), loopback, static_cast<uint16_t>(ports.scripted_port), deadline, nullptr)) {
            net_send_all(s.get(), "QUIT\r\n\r\n", 8, deadline, nullptr);
        }
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

int held_open(const std::string& server) {
    const ProbeSettings probe = {102, "32m", 5};
    char* reply = nullptr;
    if (http_request("GET", (server + "/open").c_str(), &reply, &probe) != HTTP_REPLY) return -1;
    size_t length = 0;
    const char* value = find_header(reply, "X-Open", &length);
    int open = value ? atoi(std::string(value, length).c_str()) : -1;
    free(reply);
    return open;
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

void release_held(const std::string& server, const char* key) {
    const ProbeSettings probe = {102, "32m", 5};
    char* reply = nullptr;
    http_request("GET", (server + "/release/" + key).c_str(), &reply, &probe);
    free(reply);
}
