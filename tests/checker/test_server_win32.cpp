// Starts the test servers from a Windows test program under Wine, which runs the Linux interpreter as a Linux process.
#include <process.h>

#include "tests/checker/test_server.h"

bool start_server_process(const std::string& port_file) {
    return _spawnl(_P_NOWAIT, LK_PYTHON, LK_PYTHON, LK_CHECK_SERVER, "--port-file", port_file.c_str(), nullptr) != -1;
}
