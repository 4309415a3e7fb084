#pragma once
// An output-pane list box that drops the error check's lines.
#include "ui_services/ReportListBox.h"

namespace NsOvrin::NsFuzz {

class ListBoxSink : public ReportListBox {
 public:
  void ResetContent() override {}
  void AddString(const std::string&) override {}
};

}  // namespace NsOvrin::NsFuzz
