// INI files: the input's first line names a section and a key, the rest is
// the file. A value written is read back as written.
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
  if (NsPlatform::WriteProfileString(path, section, key, value)) {
    if (NsPlatform::GetProfileString(path, section, key, "", value.size() + 2) != value &&
        value.find_first_of(" \t\"'") == std::string::npos)
      std::abort();
  }
  return 0;
}
