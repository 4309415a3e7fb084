#pragma once
// A UiServices for tests: records every call and answers from queues, so a
// dialog can be driven headless and its messages asserted verbatim. It
// installs itself for its lifetime.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "wui/UiServices.h"

namespace NsOvrin::NsWui {

struct UiCall {
  enum class Kind { MessageBox, BalloonTip, OpenFile, SaveFile, Folder, Colour };

  Kind kind = Kind::MessageBox;
  QWidget* widget = nullptr;  // the parent, or the widget a tip points at
  std::string caption;        // caption of a box, title of a tip or a folder picker
  std::string text;           // text of a box or a tip
  uint32_t type = 0;          // message box type
  std::string filter;
  std::string defaultExt;
  std::string initial;        // initial path or folder
  uint32_t colour = 0;        // initial colour
};

class ScriptedUiServices : public UiServices {
 public:
  ScriptedUiServices();
  ~ScriptedUiServices() override;
  ScriptedUiServices(const ScriptedUiServices&) = delete;
  ScriptedUiServices& operator=(const ScriptedUiServices&) = delete;

  // Answers are used in order. Without one, a message box answers as Escape
  // would (IDOK for MB_OK, IDNO for MB_YESNO, else IDCANCEL) and a picker is
  // cancelled.
  void PushAnswer(int id) { answers.push_back(id); }
  // Next file or folder picker: the path, or nullopt to cancel.
  void PushPath(std::optional<std::string> path) { paths.push_back(std::move(path)); }
  void PushColour(std::optional<uint32_t> colour) { colours.push_back(colour); }

  // Texts of the message boxes, in order.
  std::vector<std::string> MessageTexts() const;
  std::vector<UiCall> CallsOf(UiCall::Kind kind) const;

  int MessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                 uint32_t type) override;
  void ShowBalloonTip(QWidget* widget, const std::string& title, const std::string& text) override;
  bool GetOpenFileName(QWidget* parent, const std::string& filter, const std::string& initialPath,
                       std::string& path) override;
  bool GetSaveFileName(QWidget* parent, const std::string& filter, const std::string& defaultExt,
                       const std::string& initialPath, std::string& path) override;
  bool BrowseForFolder(QWidget* parent, const std::string& title, const std::string& initialDir,
                       std::string& dir) override;
  bool ChooseColor(QWidget* parent, uint32_t initial, uint32_t& colour) override;

  std::vector<UiCall> calls;
  std::deque<int> answers;
  std::deque<std::optional<std::string>> paths;
  std::deque<std::optional<uint32_t>> colours;

 private:
  bool NextPath(std::string& out);
  UiServices* previous_;
};

}  // namespace NsOvrin::NsWui
