#pragma once
// Test doubles of the widgets the project commands and the error check reach:
// the output pane's list box, the message and question boxes, the
// new-project dialog, the file and folder pickers and the two configuration
// dialogs. Each records what it was shown and answers from its script; an
// exhausted script answers Cancel.
#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ui_services/AlarmCfgDialog.h"
#include "ui_services/MessageBoxService.h"
#include "ui_services/NewProjectDialog.h"
#include "ui_services/ProjectFileDialogs.h"
#include "ui_services/QuestionBoxService.h"
#include "ui_services/ReportListBox.h"
#include "ui_services/VarEventDialog.h"

namespace NsOvrin::Testing {

class RecordingListBox : public ReportListBox {
 public:
  void ResetContent() override {
    lines.clear();
    ++resets;
  }
  void AddString(const std::string& line) override { lines.push_back(line); }

  std::vector<std::string> lines;
  int resets = 0;
};

struct ShownMessage {
  ParentWindow* owner;
  std::string text;
  std::string caption;
  MessageIcon icon;
  bool operator==(const ShownMessage&) const = default;
};

// A failed comparison shows the texts, not the bytes.
inline void PrintTo(const ShownMessage& shown, std::ostream* out) {
  *out << "{owner " << shown.owner << ", \"" << shown.text << "\", \"" << shown.caption << "\", icon "
       << static_cast<int>(shown.icon) << "}";
}

class RecordingMessageBoxes : public MessageBoxService {
 public:
  void Show(ParentWindow* owner, const std::string& text, const std::string& caption,
            MessageIcon icon) override {
    shown.push_back({owner, text, caption, icon});
  }

  std::vector<ShownMessage> shown;
};

struct AskedQuestion {
  ParentWindow* owner;
  std::string text;
  std::string caption;
  bool operator==(const AskedQuestion&) const = default;
};

class ScriptedQuestions : public QuestionBoxService {
 public:
  QuestionAnswer Ask(ParentWindow* owner, const std::string& text,
                     const std::string& caption) override {
    asked.push_back({owner, text, caption});
    if (answers.empty()) return QuestionAnswer::Cancel;
    const QuestionAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::deque<QuestionAnswer> answers;
  std::vector<AskedQuestion> asked;
};

// Each run takes the next step: fields to end with OK, or none for Cancel.
class ScriptedNewProjectDialog : public NewProjectDialog {
 public:
  bool Run(ParentWindow* parent, Fields& fields) override {
    parents.push_back(parent);
    proposed.push_back(fields);
    if (steps.empty()) return false;
    const std::optional<Fields> step = steps.front();
    steps.pop_front();
    if (!step) return false;
    fields = *step;
    return true;
  }

  std::deque<std::optional<Fields>> steps;
  std::vector<ParentWindow*> parents;
  std::vector<Fields> proposed;
};

// Each pick takes the next answer of its own script: a path for OK, none for
// Cancel.
class ScriptedFileDialogs : public ProjectFileDialogs {
 public:
  struct OpenRequest {
    ParentWindow* parent;
    std::string defaultExtension;
    std::string filter;
    bool operator==(const OpenRequest&) const = default;
  };
  struct FolderRequest {
    ParentWindow* parent;
    std::string title;
    bool operator==(const FolderRequest&) const = default;
  };

  bool ChooseFileToOpen(ParentWindow* parent, const std::string& defaultExtension,
                        const std::string& filter, std::string& path) override {
    openRequests.push_back({parent, defaultExtension, filter});
    return Take(files, path);
  }
  bool BrowseForFolder(ParentWindow* parent, const std::string& title,
                       std::string& folder) override {
    folderRequests.push_back({parent, title});
    return Take(folders, folder);
  }

  std::deque<std::optional<std::string>> files;
  std::deque<std::optional<std::string>> folders;
  std::vector<OpenRequest> openRequests;
  std::vector<FolderRequest> folderRequests;

 private:
  static bool Take(std::deque<std::optional<std::string>>& script, std::string& out) {
    if (script.empty()) return false;
    const std::optional<std::string> answer = script.front();
    script.pop_front();
    if (!answer) return false;
    out = *answer;
    return true;
  }
};

template <typename Dialog>
class RecordingDialog : public Dialog {
 public:
  void Run(ParentWindow* parent) override { runs.push_back(parent); }

  std::vector<ParentWindow*> runs;
};

using RecordingVarEventDialog = RecordingDialog<VarEventDialog>;
using RecordingAlarmCfgDialog = RecordingDialog<AlarmCfgDialog>;

}  // namespace NsOvrin::Testing
