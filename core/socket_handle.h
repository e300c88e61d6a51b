// An owned socket, as the system numbers it: a SOCKET on Windows, a file
// descriptor elsewhere, both held in a uintptr_t whose all-ones value is no
// socket (INVALID_SOCKET, and -1 as a descriptor). socket_handle_win32.cpp
// and socket_handle_posix.cpp each define the close; the build picks one.
#pragma once

#include <cstdint>

#include "core/unique_handle.h"

struct SocketPolicy {
    using Handle = uintptr_t;
    static Handle invalid() { return ~static_cast<Handle>(0); }
    static void close(Handle socket);
};
using UniqueSocket = UniqueHandle<SocketPolicy>;
