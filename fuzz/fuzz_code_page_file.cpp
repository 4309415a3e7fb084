// Text files in the ANSI code page, or in UTF-8 behind its byte-order mark,
// read line by line as the CSV imports do; every line is written back through
// the code-page writer. Whatever the bytes, every line read is UTF-8 without a
// line end; a file that is valid UTF-8 behind the mark reads as its lines.
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "common/StrFile.h"
#include "platform/Utf.h"

namespace {

using namespace NsOvrin;

std::vector<std::string> ReadLines(const std::string& bytes) {
  RFileACP reader;
  if (!reader.Open(NsFuzz::WriteFile("list.csv", bytes))) std::abort();
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line)) {
    if (!NsPlatform::IsValidUtf8(line) || line.find('\n') != std::string::npos ||
        (!line.empty() && line.back() == '\r'))
      std::abort();
    lines.push_back(line);
  }
  // Reading a whole regular file never fails.
  if (reader.Failed()) std::abort();
  return lines;
}

// The lines of UTF-8 text: split at LF, each without its trailing CRs; a line
// that begins with a NUL byte is empty, as the reader gives it.
std::vector<std::string> SplitUtf8(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    std::string line(text.substr(0, lf));
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    if (!line.empty() && line[0] == '\0') line.clear();
    const std::size_t keep = line.find_last_not_of('\r');
    line.resize(keep == std::string::npos ? 0 : keep + 1);
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = ReadLines(bytes);
  WFileACP writer;
  writer.Open(NsFuzz::PrivateFolder() + "/out.csv", CreationDisposition::CreateAlways);
  for (const std::string& line : lines) writer.WriteLine(line);
  writer.Close();

  const std::string_view mark = NsPlatform::kUtf8Mark;
  const std::string_view body = std::string_view(bytes).substr(
      std::string_view(bytes).substr(0, mark.size()) == mark ? mark.size() : 0);
  if (NsPlatform::IsValidUtf8(body) && ReadLines(std::string(mark) + std::string(body)) != SplitUtf8(body))
    std::abort();
  return 0;
}
