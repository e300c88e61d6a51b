// Starts the test servers from a Windows test program under Wine. Wine starts
// the Linux interpreter as a Linux process, which a Windows program cannot
// signal: it is stopped by its "QUIT" request instead.
#include <winsock.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/checker/test_server.h"

namespace {

SOCKET loopback_socket(unsigned port, bool connect_to_it) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address;
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    if (connect_to_it) {
        connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    } else {
        bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    return s;
}

struct ServerProcess {
    TestServers ports = {0, 0, 0};

    ServerProcess() {
        WSADATA data;
        WSAStartup(0x0101, &data);
        char name[64];
        snprintf(name, sizeof name, "/servers-%lu-%lu.ports", GetCurrentProcessId(), GetTickCount());
        std::string port_file = std::string(LK_CHECK_TEMP_DIR) + name;
        std::string command = std::string(LK_PYTHON) + " " + LK_CHECK_SERVER + " --port-file " + port_file;
        STARTUPINFOA startup;
        memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            return;
        }
        std::string windows_path = "Z:" + port_file;
        for (int tries = 0; tries < 1000; tries++) {
            FILE* f = fopen(windows_path.c_str(), "r");
            if (f) {
                bool read = fscanf(f, "%u %u %u", &ports.scripted_port, &ports.files_port, &ports.tls_port) == 3;
                fclose(f);
                if (read) break;
            }
            Sleep(10);
        }
        remove(windows_path.c_str());
    }

    ~ServerProcess() {
        if (ports.scripted_port == 0) return;
        SOCKET s = loopback_socket(ports.scripted_port, true);
        send(s, "QUIT\r\n\r\n", 8, 0);
        char answer[16];
        recv(s, answer, sizeof answer, 0);
        closesocket(s);
    }
};

}  // namespace

const TestServers& test_servers() {
    static ServerProcess server;
    EXPECT_NE(server.ports.scripted_port, 0u) << "the test servers did not start";
    return server.ports;
}

unsigned closed_port() {
    test_servers();  // starts Winsock
    // Bound for the whole run but never listening: a connect to it is refused.
    static SOCKET s = loopback_socket(0, false);
    sockaddr_in address;
    int length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}
