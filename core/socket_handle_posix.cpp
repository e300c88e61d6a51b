// Closing a socket's file descriptor.
#include <unistd.h>

#include "core/socket_handle.h"

void SocketPolicy::close(Handle socket) { ::close(static_cast<int>(socket)); }
