// Starts the test servers as a child process.
#include <spawn.h>

#include "tests/checker/test_server.h"

extern char** environ;

bool start_server_process(const std::string& port_file) {
    std::string python = LK_PYTHON, script = LK_CHECK_SERVER, option = "--port-file", file = port_file;
    char* argv[] = {&python[0], &script[0], &option[0], &file[0], nullptr};
    pid_t pid;
    return posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) == 0;
}

std::string host_path(const std::string& path) { return path; }
