#pragma once

#include <cstdint>

namespace NsOvrin::NsTestSupport {

// Binds the stream socket `fd` to the loopback at `port` (0 picks a free one)
// and listens. The port it listens on, or -1.
int ListenOnLoopback(int fd, uint16_t port, int backlog);

}  // namespace NsOvrin::NsTestSupport
