// INI files: the input's first line names a section, a key and a value, the
// rest is the file. A value written is read back as written, unless reading
// trims it (blanks at its ends) or unquotes it (a value in matching quotes).
#include <cstdlib>

#include "FuzzSupport.h"
#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  NsFuzz::InputReader in(data, size);
  const std::string section = in.Until('|');
  const std::string key = in.Until('|');
  const std::string value = in.Until('\n');
  const std::string path = NsFuzz::WriteFile("config.ini", in.Here(), in.Left());

  NsPlatform::GetProfileString(path, section, key, "default");
  NsPlatform::GetProfileString(path, "serial_ports", "COM1", "", 8);
  NsPlatform::GetProfileString(path, "redirection", "dir", "");
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
  const bool keptAsIs = value.empty() ||
                        (!blank(value.front()) && !blank(value.back()) &&
                         !(value.size() >= 2 && value.front() == value.back() &&
                           (value.front() == '"' || value.front() == '\'')));
  if (NsPlatform::WriteProfileString(path, section, key, value) && keptAsIs &&
      NsPlatform::GetProfileString(path, section, key, "", value.size() + 2) != value)
    std::abort();
  return 0;
}
