#include "platform/ExePath.h"

#include <unistd.h>

#include <vector>

namespace NsOvrin::NsPlatform {

std::string ReadExePath() {
  // readlink does not say when it truncated: grow until the result fits.
  std::vector<char> buf(256);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<std::size_t>(n));
    if (buf.size() >= (1u << 20)) return {};
    buf.resize(buf.size() * 2);
  }
}

}  // namespace NsOvrin::NsPlatform
