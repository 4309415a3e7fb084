#include "project_persistence/AlarmListCsv.h"

#include <cerrno>

#include "common/PathUtil.h"
#include "common/StrFile.h"
#include "platform/Format.h"

namespace NsOvrin {

AlarmCsvWrite WriteAlarmListCsv(const std::string& path, const std::vector<std::string>& messages,
                                int& error) {
  error = 0;
  WFileACP file;
  if (path.empty() || !file.Open(path, CreationDisposition::CreateAlways)) {
    error = path.empty() ? ENOENT : errno;
    return AlarmCsvWrite::OpenFailed;
  }
  bool written = file.WriteLine("序号, 警报消息");
  unsigned number = 0;
  for (const std::string& message : messages) {
    if (!written) break;
    written = file.WriteLine(NsPlatform::StrFormat("%u, %s", ++number, message.c_str()));
  }
  // Close puts the file in place only when every line went out.
  if (!file.Close() || !written) {
    error = errno;
    return AlarmCsvWrite::WriteFailed;
  }
  return AlarmCsvWrite::Ok;
}

bool ReadAlarmListCsv(const std::string& path, std::vector<std::string>& messages) {
  messages.clear();
  RFileACP file;
  if (path.empty() || !file.Open(path)) return false;
  std::string line;
  // An empty file is an empty list.
  if (!file.ReadLine(line)) return !file.Failed();
  while (file.ReadLine(line)) {
    const std::size_t comma = line.find(',');
    if (comma == std::string::npos) {
      messages.emplace_back("???");
      continue;
    }
    // The second field only: a message holding a comma is cut there.
    std::size_t begin = comma + 1;
    const std::size_t end = line.find(',', begin);
    // The export writes one blank after the comma; dropping it makes an
    // exported list read back as it was.
    if (begin < line.size() && line[begin] == ' ') ++begin;
    messages.push_back(CutAtNul(line.substr(begin, end == std::string::npos ? std::string::npos : end - begin)));
  }
  // A file read only in part is no list.
  if (file.Failed()) {
    messages.clear();
    return false;
  }
  return true;
}

}  // namespace NsOvrin
