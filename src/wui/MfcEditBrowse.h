#pragma once
// An edit with a browse button at its right end that fills the edit from a
// folder or file picker (through UiServices).
#include <string>

#include <QLineEdit>

class QAction;

namespace NsOvrin::NsWui {

class MfcEditBrowse : public QLineEdit {
 public:
  enum class Mode { None, File, Folder };

  explicit MfcEditBrowse(QWidget* parent = nullptr);

  // The button opens a folder picker starting at the edit's text.
  void EnableFolderBrowseButton();
  // The button opens a file picker with the filter ("desc|pattern||") and
  // the edit's text as initial path.
  void EnableFileBrowseButton(const std::string& filter);
  // No button.
  void DisableBrowseButton();

  Mode GetMode() const { return mode_; }
  // The button, or null when there is none.
  QAction* BrowseButton() const { return button_; }
  // What a click on the button does.
  void OnBrowse();

 private:
  void ShowButton(bool show);

  Mode mode_ = Mode::None;
  std::string filter_;
  QAction* button_ = nullptr;
};

}  // namespace NsOvrin::NsWui
