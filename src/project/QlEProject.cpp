#include "project/QlEProject.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_set>

#include "common/PathUtil.h"
#include "events/QlVarEventBase.h"
#include "platform/Format.h"
#include "project/ListenerRegistry.h"
#include "project/PageListener.h"
#include "project/ProgramDefaults.h"
#include "termination/ChannelManager.h"

namespace NsOvrin {

using NsPlatform::StrFormat;

namespace {

constexpr uint16_t kLastPageNumber = 65534;
// Bytes in one file name (NAME_MAX of the usual file systems).
constexpr std::size_t kLongestFileName = 255;


std::vector<std::string>::iterator FindName(std::vector<std::string>& names,
                                            const std::string& name) {
  return std::find(names.begin(), names.end(), name);
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Anything at the path, a dangling link included.
bool EntryExists(const std::string& path) {
  struct stat st;
  return !path.empty() && lstat(path.c_str(), &st) == 0;
}

std::string InDirectory(const std::string& directory, const char* fileName) {
  if (directory.empty()) return {};
  return StrFormat("%s/%s", directory.c_str(), fileName);
}

}  // namespace

// ASCII white space and the full-width space of Chinese input methods.
constexpr std::string_view kAsciiBlanks = " \t\r\n\v\f";
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

void TrimPageName(std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  for (;;) {
    if (first < last && kAsciiBlanks.find(text[first]) != std::string_view::npos) {
      ++first;
    } else if (std::string_view(text).substr(first, last - first).starts_with(kIdeographicSpace)) {
      first += kIdeographicSpace.size();
    } else {
      break;
    }
  }
  for (;;) {
    if (first < last && kAsciiBlanks.find(text[last - 1]) != std::string_view::npos) {
      --last;
    } else if (std::string_view(text).substr(first, last - first).ends_with(kIdeographicSpace)) {
      last -= kIdeographicSpace.size();
    } else {
      break;
    }
  }
  text = text.substr(first, last - first);
}

QlEProject::~QlEProject() = default;

QlEProject& QlEProject::Instance() {
  static QlEProject project;
  return project;
}

void QlEProject::SetDirectory(const std::string& text) {
  std::string trimmed = text;
  TrimPageName(trimmed);
  directory = RemoveTrailingSlash(trimmed);
}

void QlEProject::Reset(const std::string& newDirectory) {
  homePage.clear();
  pageNames.clear();
  modified = false;
  open = false;
  directory.clear();
  name.clear();
  // A new project must not inherit the address of the one closed before.
  serverAddress = 0;
  SetDirectory(newDirectory);
  events.clear();
  savedPageNames.clear();
  pageSources.clear();
}

bool QlEProject::AddPage(std::string& pageName) {
  if (!open) return false;
  TrimPageName(pageName);
  if (!IsValidName(pageName)) return false;
  if (Contains(pageNames, pageName)) return false;

  pageNames.push_back(pageName);
  // A file of that name left by a deleted page is not this page's content.
  pageSources[pageName] = std::string();
  modified = true;
  if (homePage.empty()) homePage = pageName;

  // The listeners may change the caller's text; announce a copy.
  const std::string added = pageName;
  NotifyListeners(PageListener::GetRegistry(), [&](PageListener* l) { l->OnPageAdded(added); });
  return true;
}

bool QlEProject::DeletePage(const std::string& pageName) {
  if (!Contains(pageNames, pageName)) return false;
  // The name may be an entry of the list that a listener changes.
  const std::string deleted = pageName;

  PageListener::NotifyPageDeleting(deleted);

  // A listener may have taken it out already.
  const auto it = FindName(pageNames, deleted);
  if (it != pageNames.end()) pageNames.erase(it);
  if (!Contains(pageNames, deleted)) pageSources.erase(deleted);
  modified = true;

  if (homePage == deleted) homePage = pageNames.empty() ? std::string() : pageNames.front();

  PageListener::NotifyPageDeleted(deleted);
  return true;
}

int QlEProject::RenamePage(const std::string& oldName, const std::string& newName) {
  std::string trimmed = newName;
  TrimPageName(trimmed);
  if (!IsValidName(trimmed)) return kRenameInvalidName;
  const auto it = FindName(pageNames, oldName);
  if (it == pageNames.end()) return kRenameFailed;
  if (oldName == trimmed) return kRenameOk;
  if (Contains(pageNames, trimmed)) return kRenameNameExists;

  if (!directory.empty()) {
    const std::string to = GetPageFilePath(directory, trimmed);
    // A file of the new name that the project did not write is someone
    // else's: the save would replace it.
    if (EntryExists(to) && !HoldsSavedPage(trimmed)) return kRenameNameExists;
    // No save could ever write the page under a name too long for a file.
    if (to.size() - directory.size() - 1 > kLongestFileName) return kRenameFailed;
  }

  const std::string old = oldName;  // may be the very entry replaced below
  const std::string source = SavedPageName(old);
  pageSources.erase(old);
  if (source == trimmed) {
    pageSources.erase(trimmed);
  } else {
    pageSources[trimmed] = source;
  }
  *it = trimmed;
  modified = true;
  if (homePage == old) homePage = trimmed;
  return kRenameOk;
}

std::string QlEProject::SavedPageName(const std::string& pageName) const {
  const auto it = pageSources.find(pageName);
  return it != pageSources.end() ? it->second : pageName;
}

bool QlEProject::NeverSaved(const std::string& pageName) const {
  const auto it = pageSources.find(pageName);
  return it != pageSources.end() && it->second.empty();
}

void QlEProject::PageFileWritten(const std::string& pageName) { pageSources.erase(pageName); }

void QlEProject::PageListSaved() {
  savedPageNames = pageNames;
  pageSources.clear();
}

bool QlEProject::HoldsSavedPage(const std::string& fileName) const {
  if (Contains(savedPageNames, fileName)) return true;
  return std::any_of(pageSources.begin(), pageSources.end(),
                     [&](const auto& entry) { return entry.second == fileName; });
}

std::string QlEProject::MakeNewPageName() const {
  // A set keeps a long page list from making this quadratic.
  const std::unordered_set<std::string> taken(pageNames.begin(), pageNames.end());
  for (uint16_t u = 1; u <= kLastPageNumber; ++u) {
    std::string candidate = StrFormat("页面%u", static_cast<unsigned>(u));
    if (!taken.contains(candidate)) return candidate;
  }
  return "--异常页面名称--";
}

void QlEProject::ActivatePage(const std::string& pageName) {
  if (!open || !Contains(pageNames, pageName)) return;
  const std::string activated = pageName;
  NotifyListeners(PageListener::GetRegistry(),
                  [&](PageListener* l) { l->OnActivatePage(activated); });
}

void QlEProject::CloseOpenPage(const std::shared_ptr<QlEPage>& page) {
  if (!page) return;
  const auto it = std::find(openPages.begin(), openPages.end(), page);
  if (it != openPages.end()) openPages.erase(it);
}

std::shared_ptr<NsQlEvent::QlVarEventBase> QlEProject::FindEvent(
    const std::string& address) const {
  for (const auto& event : events)
    if (event && event->GetAddress() == address) return event;
  return nullptr;
}

bool QlEProject::ChangeEventAddress(const std::string& oldAddress, const std::string& newAddress,
                                    std::string& message) {
  if (newAddress.empty()) {
    message = "新地址不能为空!";
    return false;
  }
  if (oldAddress == newAddress) return true;
  const std::shared_ptr<NsQlEvent::QlVarEventBase> event = FindEvent(oldAddress);
  if (!event) {
    message = StrFormat("未找到 \"%s\" 对应相应的变量事件", oldAddress.c_str());
    return false;
  }
  return ChangeEventAddress(event, newAddress, message);
}

bool QlEProject::ChangeEventAddress(const std::shared_ptr<NsQlEvent::QlVarEventBase>& event,
                                    const std::string& newAddress, std::string& message) {
  using NsTermination::AddrCheckCode;
  using NsTermination::kAddrOk;
  if (newAddress.empty()) {
    message = "新地址不能为空!";
    return false;
  }
  const std::string oldAddress = event ? event->GetAddress() : std::string();
  if (!event || std::find(events.begin(), events.end(), event) == events.end()) {
    message = StrFormat("未找到 \"%s\" 对应相应的变量事件", oldAddress.c_str());
    return false;
  }
  if (oldAddress == newAddress) return true;
  NsTermination::TermAddr oldAddr;
  AddrCheckCode code = NsTermination::ResolveDeviceAddress(oldAddress, nullptr, nullptr, &oldAddr);
  if (code != kAddrOk) {
    message = NsTermination::GetAddrCheckMessage(code);
    return false;
  }
  NsTermination::TermAddr newAddr;
  code = NsTermination::ResolveDeviceAddress(newAddress, nullptr, nullptr, &newAddr);
  if (code != kAddrOk) {
    message = NsTermination::GetAddrCheckMessage(code);
    return false;
  }
  if (oldAddr.kind != newAddr.kind) {
    message = StrFormat("两个地址(%s vs %s)所代表的数据类型不一致.", oldAddress.c_str(),
                        newAddress.c_str());
    return false;
  }
  if (!event->SetAddress(newAddress)) {
    message = "未知错误.";
    return false;
  }
  return true;
}

std::string GetRenamePageMessage(int result) {
  switch (result) {
    case QlEProject::kRenameOk:
      return "OK";
    case QlEProject::kRenameInvalidName:
      return "无效的新文件名称.";
    case QlEProject::kRenameNameExists:
      return "新文件名称已经存在.";
    default:
      return "未知错误.";
  }
}

std::string GetMainFilePath(const std::string& directory) {
  if (directory.empty()) return {};
  const std::string fileName = StrFormat("main_%s", ProjectFileExtension.c_str());
  return StrFormat("%s/%s", directory.c_str(), fileName.c_str());
}

std::string GetPageFilePath(const std::string& directory, const std::string& pageName) {
  if (directory.empty() || !IsValidName(pageName)) return {};
  return StrFormat("%s/%s%s", directory.c_str(), pageName.c_str(), PageFileExtension.c_str());
}

std::string GetChannelsFilePath(const std::string& directory) {
  return InDirectory(directory, "com_chns");
}

std::string GetDataBlocksFilePath(const std::string& directory) {
  return InDirectory(directory, "acq_db");
}

std::string GetAlarmConfigFilePath(const std::string& directory) {
  return InDirectory(directory, "alarm_config");
}

std::string GetUsersConfigFilePath(const std::string& directory) {
  return InDirectory(directory, "users_config");
}

std::string GetEventsFilePath(const std::string& directory) {
  return InDirectory(directory, "events");
}

std::string GetProjectPicturePath(const std::string& directory, const std::string& path) {
  const std::string folder = StrFormat("%s/images", directory.c_str());
  return StrFormat("%s/%s", folder.c_str(), GetFileNameOfPath(path).c_str());
}

}  // namespace NsOvrin
