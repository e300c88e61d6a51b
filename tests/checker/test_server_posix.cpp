// Starts the test servers in the background through the shell.
#include <cstdlib>

#include "tests/checker/test_server.h"

bool start_server_process(const std::string& port_file) {
    // Quoted: the checkout's path may hold blanks.
    std::string command =
        std::string("'") + LK_PYTHON + "' '" + LK_CHECK_SERVER + "' --port-file '" + port_file + "' &";
    return std::system(command.c_str()) == 0;
}
