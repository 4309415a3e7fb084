#include "project_persistence/IoTableCsv.h"

#include "common/PathUtil.h"
#include "common/StrFile.h"
#include "termination/ChannelManager.h"

namespace NsOvrin {

void ParseIoTableCsvLine(const std::string& line, std::string& address, std::string& description) {
  std::vector<std::string> fields;
  SplitText(line, ",", fields);
  if (fields.size() == 2) {
    address = NsTermination::NormalizeDeviceAddress(CutAtNul(fields[0]));
    description = CutAtNul(fields[1]);
  } else {
    address.clear();
    description = kIoTableCsvBadLine;
  }
}

bool ReadIoTableCsv(const std::string& path, std::vector<std::pair<std::string, std::string>>& rows) {
  rows.clear();
  RFileACP file;
  if (path.empty() || !file.Open(path)) return false;
  std::string line;
  // The first line is the header, whatever it says.
  if (!file.ReadLine(line)) return !file.Failed();
  while (file.ReadLine(line)) {
    auto& row = rows.emplace_back();
    ParseIoTableCsvLine(line, row.first, row.second);
  }
  // A file read only in part gives no rows.
  if (file.Failed()) {
    rows.clear();
    return false;
  }
  return true;
}

}  // namespace NsOvrin
