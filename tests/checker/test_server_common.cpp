// The test servers' harness: started by the platform's part, found by its port file and
// stopped by a "QUIT" request (a Windows program under Wine cannot signal the Linux interpreter).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "checker/net.h"
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
        unsigned* site = ports.site_ports;
        for (int tries = 0; tries < 1000 && ports.scripted_port == 0; tries++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            FILE* f = fopen(port_file.c_str(), "r");
            if (!f) continue;
            if (fscanf(f, "%u %u %u %u %u %u %u %u %u", &ports.scripted_port, &ports.tls_port, &ports.closed_port,
                       &site[0], &site[1], &site[2], &site[3], &site[4], &site[5]) != 9) {
                ports.scripted_port = 0;
            }
            fclose(f);
        }
        remove(port_file.c_str());
    }

    ~ServerProcess() {
        uint32_t loopback;
        uint64_t deadline = net_milliseconds() + 5000;
        if (ports.scripted_port == 0 || net_resolve("127.0.0.1", &loopback, deadline, nullptr) != NET_FOUND) return;
        NetSocket s = net_open_stream();
        if (net_connect(s, loopback, static_cast<uint16_t>(ports.scripted_port), deadline, nullptr)) {
            net_send_all(s, "QUIT\r\n\r\n", 8, deadline, nullptr);
        }
        net_close(s);
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
