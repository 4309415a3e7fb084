#include "support/ScriptedUiServices.h"

namespace NsOvrin::NsWui {

ScriptedUiServices::ScriptedUiServices() : previous_(SetUiServices(this)) {}

ScriptedUiServices::~ScriptedUiServices() { SetUiServices(previous_); }

std::vector<std::string> ScriptedUiServices::MessageTexts() const {
  std::vector<std::string> texts;
  for (const UiCall& call : calls) {
    if (call.kind == UiCall::Kind::MessageBox) texts.push_back(call.text);
  }
  return texts;
}

std::vector<UiCall> ScriptedUiServices::CallsOf(UiCall::Kind kind) const {
  std::vector<UiCall> found;
  for (const UiCall& call : calls) {
    if (call.kind == kind) found.push_back(call);
  }
  return found;
}

int ScriptedUiServices::MessageBox(QWidget* parent, const std::string& text,
                                   const std::string& caption, uint32_t type) {
  UiCall call;
  call.kind = UiCall::Kind::MessageBox;
  call.widget = parent;
  call.caption = caption;
  call.text = text;
  call.type = type;
  calls.push_back(call);
  if (!answers.empty()) {
    const int id = answers.front();
    answers.pop_front();
    return id;
  }
  switch (type & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    default: return IDCANCEL;
  }
}

void ScriptedUiServices::ShowBalloonTip(QWidget* widget, const std::string& title,
                                        const std::string& text) {
  UiCall call;
  call.kind = UiCall::Kind::BalloonTip;
  call.widget = widget;
  call.caption = title;
  call.text = text;
  calls.push_back(call);
}

bool ScriptedUiServices::NextPath(std::string& out) {
  if (paths.empty()) return false;
  std::optional<std::string> next = paths.front();
  paths.pop_front();
  if (!next) return false;
  out = *next;
  return true;
}

bool ScriptedUiServices::GetOpenFileName(QWidget* parent, const std::string& filter,
                                         const std::string& initialPath, std::string& path) {
  UiCall call;
  call.kind = UiCall::Kind::OpenFile;
  call.widget = parent;
  call.filter = filter;
  call.initial = initialPath;
  calls.push_back(call);
  return NextPath(path);
}

bool ScriptedUiServices::GetSaveFileName(QWidget* parent, const std::string& filter,
                                         const std::string& defaultExt,
                                         const std::string& initialPath, std::string& path) {
  UiCall call;
  call.kind = UiCall::Kind::SaveFile;
  call.widget = parent;
  call.filter = filter;
  call.defaultExt = defaultExt;
  call.initial = initialPath;
  calls.push_back(call);
  return NextPath(path);
}

bool ScriptedUiServices::BrowseForFolder(QWidget* parent, const std::string& title,
                                         const std::string& initialDir, std::string& dir) {
  UiCall call;
  call.kind = UiCall::Kind::Folder;
  call.widget = parent;
  call.caption = title;
  call.initial = initialDir;
  calls.push_back(call);
  return NextPath(dir);
}

bool ScriptedUiServices::ChooseColor(QWidget* parent, uint32_t initial, uint32_t& colour) {
  UiCall call;
  call.kind = UiCall::Kind::Colour;
  call.widget = parent;
  call.colour = initial;
  calls.push_back(call);
  if (colours.empty()) return false;
  const std::optional<uint32_t> next = colours.front();
  colours.pop_front();
  if (!next) return false;
  colour = *next;
  return true;
}

}  // namespace NsOvrin::NsWui
