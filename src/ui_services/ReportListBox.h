#pragma once
// The output pane's list box as the error check writes to it. The list is
// unsorted, so line i always belongs to result i of the check.
#include <string>

namespace NsOvrin {

class ReportListBox {
 public:
  virtual ~ReportListBox() = default;

  // Removes every line.
  virtual void ResetContent() = 0;
  // Appends one line at the end.
  virtual void AddString(const std::string& line) = 0;
};

}  // namespace NsOvrin
