// The few socket operations the probe needs, over blocking IPv4 stream
// sockets. net_posix.cpp (BSD sockets) and net_win32.cpp (Winsock) each define
// them; the build picks one.
#pragma once

#include <cstdint>

using NetSocket = uintptr_t;
const NetSocket NET_NO_SOCKET = ~static_cast<NetSocket>(0);

// Starts the socket layer for this thread's use; false when it cannot start.
// Every successful start is paired with net_cleanup.
bool net_startup();
void net_cleanup();

// A dotted decimal address is taken as it is, without a lookup; anything else
// is resolved by name and the first IPv4 address taken. Network byte order.
bool net_resolve(const char* host, uint32_t* address);
// NET_NO_SOCKET when none can be created.
NetSocket net_open_stream();
// Blocks as long as the platform lets a connect take.
bool net_connect(NetSocket socket, uint32_t address, uint16_t port);
// Bytes sent in one call, or -1. Never raises a signal.
int net_send(NetSocket socket, const char* bytes, int length);
// True when the socket becomes readable within the given whole seconds.
bool wait_readable(NetSocket socket, uint32_t seconds);
// Bytes received in one call (0 when the peer has closed), or -1.
int net_receive(NetSocket socket, char* buffer, int size);
void net_close(NetSocket socket);
