#pragma once
// The error check's report kept as lines, for the benchmarks that run it.
#include <string>
#include <vector>

#include "ui_services/ReportListBox.h"

namespace NsOvrin::NsBench {

class ReportLines : public ReportListBox {
 public:
  void ResetContent() override { lines.clear(); }
  void AddString(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

}  // namespace NsOvrin::NsBench
