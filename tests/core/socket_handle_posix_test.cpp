// Closing a socket's descriptor.
#include <fcntl.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include "core/socket_handle.h"

namespace {

TEST(SocketHandle, ClosesTheDescriptor) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    { UniqueSocket socket(static_cast<uintptr_t>(fd)); }
    EXPECT_EQ(fcntl(fd, F_GETFD), -1);
}

}  // namespace
