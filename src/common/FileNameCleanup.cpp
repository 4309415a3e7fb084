#include "common/FileNameCleanup.h"

#include <string>

#include "platform/Utf.h"

namespace NsOvrin {

uint32_t FileNameCleanupFlags(std::string_view name) {
  if (name.empty() || !NsPlatform::IsValidUtf8(name)) return PCS_FATAL;
  uint32_t flags = 0;
  // Every byte below 0x80 is a whole character in UTF-8.
  for (const char ch : name) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x20) {
      flags |= PCS_REMOVEDCHAR;
    } else if (std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos) {
      flags |= PCS_REPLACEDCHAR;
    }
  }
  if (name.size() > kMaxFileNameBytes || NsPlatform::Utf16Length(name) > kMaxFileNameUnits) {
    flags |= PCS_PATHTOOLONG;
  }
  return flags;
}

}  // namespace NsOvrin
