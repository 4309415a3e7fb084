#include "project_persistence/UiErrList.h"

#include <utility>

#include "QlUiElem/QlPageData.h"
#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "common/Log.h"
#include "compiler/QlFuncList.h"
#include "editor/QlEHostFactory.h"
#include "editor/QlEPage.h"
#include "events/QlVarEventBase.h"
#include "platform/AtomicFile.h"
#include "platform/Format.h"
#include "project/QlEProject.h"
#include "project_persistence/PageCommands.h"
#include "project_persistence/PageFile.h"
#include "project_persistence/ProjectPictureStore.h"
#include "ui_services/AlarmCfgDialog.h"
#include "ui_services/VarEventDialog.h"

namespace NsOvrin {

using NsPlatform::StrFormat;

namespace {

constexpr const char* kPassedLine = "----------检测通过--------";
constexpr const char* kFailedLine = "----------检测失败--------";
constexpr const char* kEventsHeader = ">---------检查事件----------";
constexpr const char* kAlarmHeader = ">---------检查警报配置--------";
constexpr const char* kAlarmAddressEmpty = "警报起始地址不能为空!";
constexpr const char* kAlarmAddressUnbound = "警报地址异常或者不在数据列表中或长度异常.";

// A page as the editor would open it from its file, for one check.
std::shared_ptr<QlEPage> MakeCheckedPage(const NsQlUiElem::QlPageData& data) {
  auto page = std::make_shared<QlEPage>(data.name);
  page->rect = data.rect;
  page->backgroundColour = static_cast<int32_t>(data.backgroundColour);
  page->accessPermission = data.accessPermission;
  for (const NsQlUiElem::QlElemData& entry : data.elements) {
    auto elem = NsQlElemEditor::CreateElemFromData(entry);
    if (elem) page->elements->elems.push_back(std::move(elem));
  }
  return page;
}

// The address as configured and whether it reached a data block; a segment
// that is no alarm group has neither.
void DescribeSegment(const NsAlarm::AlarmSeg& segment, std::string& address, bool& bound) {
  const auto* group = dynamic_cast<const NsAlarm::AlarmSegCvb*>(&segment);
  address = group != nullptr ? group->GetAddress() : std::string();
  bound = group != nullptr && group->IsBound();
}

}  // namespace

UiErrDisplay::~UiErrDisplay() = default;

void UiErrActivePage::Show() { QlEProject::Instance().ActivatePage(pageName_); }

void UiErrEvent::Show() {
  VarEventDialog* dialog = VarEventDialog::Installed();
  if (dialog == nullptr) {
    OV_LOG(8).AppendText("No variable-event dialog installed.");
    return;
  }
  dialog->Run(parent_);
}

void UiErrAlarmCfg::Show() {
  AlarmCfgDialog* dialog = AlarmCfgDialog::Installed();
  if (dialog == nullptr) {
    OV_LOG(8).AppendText("No alarm configuration dialog installed.");
    return;
  }
  dialog->Run(parent_);
}

UiErrList& UiErrList::Instance() {
  static UiErrList list;
  return list;
}

void UiErrList::AddLine(const std::string& line, std::shared_ptr<UiErrDisplay> entry,
                        ReportListBox& listBox) {
  results.push_back(std::move(entry));
  listBox.AddString(line);
}

bool UiErrList::RunCheck(ReportListBox& listBox) {
  listBox.ResetContent();
  results.clear();
  // All four run whatever the others found.
  bool passed = CheckOpenPages(listBox);
  passed = CheckPageFiles(listBox) && passed;
  passed = CheckEvents(listBox) && passed;
  passed = CheckAlarmConfig(listBox) && passed;
  AddLine(passed ? kPassedLine : kFailedLine, nullptr, listBox);
  return passed;
}

bool UiErrList::CheckOpenPages(ReportListBox& listBox) {
  bool passed = true;
  // A page may be activated or closed while its lines are written: walk the
  // list as it was.
  const std::vector<std::shared_ptr<QlEPage>> pages = QlEProject::Instance().openPages;
  for (const std::shared_ptr<QlEPage>& page : pages) {
    // The window of a deleted page shows no page of the project.
    if (!page || page->deleted) continue;
    AddLine(StrFormat(">---------检查%s----------", page->name.c_str()), nullptr, listBox);
    std::vector<std::string> messages;
    if (QlEPage::CheckElements(page, &messages)) continue;
    passed = false;
    for (const std::string& message : messages)
      AddLine(message, std::make_shared<UiErrActivePage>(page->name), listBox);
  }
  return passed;
}

bool UiErrList::CheckPageFiles(ReportListBox& listBox) {
  const QlEProject& project = QlEProject::Instance();
  if (!project.open) return false;

  PageLoadHooks hooks;
  hooks.rectTransform = EditRectShift;
  hooks.pictureResolver = ResolvePicturePath;

  bool passed = true;
  const std::vector<std::string> names = project.pageNames;
  const std::string directory = project.directory;
  // The files as the last save made them.
  NsPlatform::CompletePendingCommit(directory);
  for (const std::string& name : names) {
    AddLine(StrFormat(">---------%s----------", name.c_str()), nullptr, listBox);

    // A page no save has written yet is empty: nothing to check.
    if (project.NeverSaved(name)) continue;
    std::shared_ptr<NsQlUiElem::QlPageData> data;
    if (!LoadPageFile(directory, project.SavedPageName(name), hooks, data)) {
      AddLine(StrFormat("导入 %s 失败.", name.c_str()), nullptr, listBox);
      passed = false;
      continue;
    }
    if (!data) {
      AddLine(StrFormat("%s 转换失败.", name.c_str()), nullptr, listBox);
      passed = false;
      continue;
    }
    data->name = name;

    const std::shared_ptr<QlEPage> page = MakeCheckedPage(*data);
    // The check right after sets every error mark: binding is enough.
    QlEPage::RebindElements(page);
    std::vector<std::string> messages;
    if (QlEPage::CheckElements(page, &messages)) continue;
    passed = false;
    for (const std::string& message : messages)
      AddLine(message, std::make_shared<UiErrActivePage>(name), listBox);
  }
  return passed;
}

bool UiErrList::CheckEvents(ReportListBox& listBox) {
  AddLine(kEventsHeader, nullptr, listBox);
  bool passed = true;
  // The events dialog, opened from a line, edits the list itself.
  const auto events = QlEProject::Instance().events;
  for (const auto& event : events) {
    if (!event) continue;
    event->Compile();
    const std::string address = event->GetAddress();
    for (std::size_t i = 0; i < event->GetTriggerCount(); ++i) {
      const NsQlCompiler::QlFuncList* functions = event->GetFunctions(i);
      if (functions == nullptr) continue;
      const std::string trigger = event->GetTriggerName(i);
      for (const auto& function : functions->functions) {
        if (!function || function->IsReady()) continue;
        AddEventError(StrFormat("%s(%s)中, 函数 { %s } 错误: %s", address.c_str(), trigger.c_str(),
                                function->GetSourceLine().c_str(), function->GetError().c_str()),
                      listBox);
        passed = false;
      }
    }
  }
  return passed;
}

bool UiErrList::CheckAlarmConfig(ReportListBox& listBox) {
  AddLine(kAlarmHeader, nullptr, listBox);
  bool passed = true;
  for (const auto& segment : NsAlarm::AlarmManager::Instance().GetSegments()) {
    if (!segment) continue;
    std::string address;
    bool bound = false;
    DescribeSegment(*segment, address, bound);
    const char* message = nullptr;
    if (address.empty()) {
      message = kAlarmAddressEmpty;
    } else if (!bound || segment->GetCount() == 0) {
      // A group without messages can never alarm.
      message = kAlarmAddressUnbound;
    }
    if (message == nullptr) continue;
    AddAlarmCfgError(StrFormat("警报组(%s)中 %s", address.c_str(), message), listBox);
    passed = false;
  }
  return passed;
}

void UiErrList::AddEventError(const std::string& line, ReportListBox& listBox) {
  AddLine(line, std::make_shared<UiErrEvent>(parent), listBox);
}

void UiErrList::AddAlarmCfgError(const std::string& line, ReportListBox& listBox) {
  AddLine(line, std::make_shared<UiErrAlarmCfg>(parent), listBox);
}

void UiErrList::ShowResult(std::size_t index) const {
  if (index >= results.size()) return;
  // The dialog it opens may run the check again and replace the results.
  const std::shared_ptr<UiErrDisplay> entry = results[index];
  if (entry) entry->Show();
}

}  // namespace NsOvrin
