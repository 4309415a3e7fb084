// The serial parameter text a channel stores ("com:N;param:...;") and its
// line part; what a text sets is written back and must read back the same.
#include <cstdlib>

#include "comm_server/SerialParams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin::NsCommServer;
  const std::string text(reinterpret_cast<const char*>(data), size);

  SerialParams settings;
  std::string lineText;
  if (ParseSerialParamText(text, settings, lineText)) ParseSerialLineText(settings, lineText);
  SerialParams lineOnly;
  ParseSerialLineText(lineOnly, text);

  for (const SerialParams* s : {&settings, &lineOnly}) {
    const std::string written = FormatSerialParamText(*s);
    SerialParams back;
    std::string backLine;
    if (!ParseSerialParamText(written, back, backLine) || !ParseSerialLineText(back, backLine))
      std::abort();
    if (FormatSerialParamText(back) != written) std::abort();
  }
  return 0;
}
