// Closing a Winsock socket.
#include <winsock2.h>

#include "core/socket_handle.h"

void SocketPolicy::close(Handle socket) { closesocket(static_cast<SOCKET>(socket)); }
