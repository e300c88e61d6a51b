// Starts the test servers as a child process and stops it by its process id.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "tests/checker/test_server.h"

extern char** environ;

namespace {

struct ServerProcess {
    TestServers ports = {0, 0, 0};
    pid_t pid = 0;

    ServerProcess() {
        std::string port_file = std::string(LK_CHECK_TEMP_DIR) + "/servers-" + std::to_string(getpid()) + ".ports";
        remove(port_file.c_str());
        std::string python = LK_PYTHON;
        std::string script = LK_CHECK_SERVER;
        std::string option = "--port-file";
        char* argv[] = {&python[0], &script[0], &option[0], &port_file[0], nullptr};
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) {
            pid = 0;
            return;
        }
        // The server writes the file in one step once both ports listen.
        for (int tries = 0; tries < 1000; tries++) {
            FILE* f = fopen(port_file.c_str(), "r");
            if (f) {
                bool read = fscanf(f, "%u %u %u", &ports.scripted_port, &ports.files_port, &ports.tls_port) == 3;
                fclose(f);
                if (read) break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        remove(port_file.c_str());
    }

    ~ServerProcess() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

}  // namespace

const TestServers& test_servers() {
    static ServerProcess server;
    EXPECT_NE(server.ports.scripted_port, 0u) << "the test servers did not start";
    return server.ports;
}

unsigned closed_port() {
    // Bound for the whole run but never listening: a connect to it is refused.
    static int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address;
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}
