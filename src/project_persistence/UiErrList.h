#pragma once
// The whole-project error check ("错误检测"): the pages open in editors, every
// page file, the variable events and the alarm configuration, always all
// four in this order. Every report line goes to the output pane's list box,
// and the result list keeps, at the same index, what a double click on that
// line does. Nothing is written to any file. User-interface thread only.
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui_services/MessageBoxService.h"
#include "ui_services/ReportListBox.h"

namespace NsOvrin {

// What a double click on a report line opens.
class UiErrDisplay {
 public:
  virtual ~UiErrDisplay();
  virtual void Show() = 0;
};

// The editor of a page. A page no longer in the project is ignored.
class UiErrActivePage : public UiErrDisplay {
 public:
  explicit UiErrActivePage(std::string pageName) : pageName_(std::move(pageName)) {}
  void Show() override;
  const std::string& GetPageName() const { return pageName_; }

 private:
  std::string pageName_;
};

// The variable-event dialog, modal over the parent.
class UiErrEvent : public UiErrDisplay {
 public:
  explicit UiErrEvent(ParentWindow* parent) : parent_(parent) {}
  void Show() override;
  ParentWindow* GetParent() const { return parent_; }

 private:
  ParentWindow* parent_;
};

// The alarm configuration dialog, modal over the parent.
class UiErrAlarmCfg : public UiErrDisplay {
 public:
  explicit UiErrAlarmCfg(ParentWindow* parent) : parent_(parent) {}
  void Show() override;
  ParentWindow* GetParent() const { return parent_; }

 private:
  ParentWindow* parent_;
};

class UiErrList {
 public:
  // Created empty on first use.
  static UiErrList& Instance();

  // Empties the list box and the results, runs the four sections and closes
  // with "----------检测通过--------" or "----------检测失败--------". True when
  // every section passed.
  bool RunCheck(ReportListBox& listBox);

  // Each section appends its lines and says whether it passed.
  bool CheckOpenPages(ReportListBox& listBox);
  // Fails at once, without a line, when no project is open.
  bool CheckPageFiles(ReportListBox& listBox);
  bool CheckEvents(ReportListBox& listBox);
  bool CheckAlarmConfig(ReportListBox& listBox);

  // A line whose double click opens the variable-event dialog, or the alarm
  // configuration dialog, over the parent.
  void AddEventError(const std::string& line, ReportListBox& listBox);
  void AddAlarmCfgError(const std::string& line, ReportListBox& listBox);

  // The output pane's double click on line index: the line's entry shows its
  // place; nothing for a line without one or an index past the results.
  void ShowResult(std::size_t index) const;

  // The main frame; owner of the dialogs the entries open. Not owned.
  ParentWindow* parent = nullptr;
  // One per line of the list box, at the same index; empty for a line
  // without an action.
  std::vector<std::shared_ptr<UiErrDisplay>> results;

 private:
  // The entry first, then the line, so that both stay in step.
  void AddLine(const std::string& line, std::shared_ptr<UiErrDisplay> entry,
               ReportListBox& listBox);
};

}  // namespace NsOvrin
