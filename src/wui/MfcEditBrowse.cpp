#include "wui/MfcEditBrowse.h"

#include <QAction>
#include <QStyle>

#include "wui/UiServices.h"

namespace NsOvrin::NsWui {

MfcEditBrowse::MfcEditBrowse(QWidget* parent) : QLineEdit(parent) {}

void MfcEditBrowse::EnableFolderBrowseButton() {
  mode_ = Mode::Folder;
  ShowButton(true);
}

void MfcEditBrowse::EnableFileBrowseButton(const std::string& filter) {
  mode_ = Mode::File;
  filter_ = filter;
  ShowButton(true);
}

void MfcEditBrowse::DisableBrowseButton() {
  mode_ = Mode::None;
  ShowButton(false);
}

void MfcEditBrowse::ShowButton(bool show) {
  if (show && !button_) {
    const QStyle::StandardPixmap icon = QStyle::SP_DirOpenIcon;
    button_ = addAction(style()->standardIcon(icon), QLineEdit::TrailingPosition);
    button_->setToolTip(QStringLiteral("..."));
    connect(button_, &QAction::triggered, this, [this] { OnBrowse(); });
  } else if (!show && button_) {
    removeAction(button_);
    delete button_;
    button_ = nullptr;
  }
}

void MfcEditBrowse::OnBrowse() {
  const std::string current = text().trimmed().toStdString();
  std::string chosen;
  bool ok = false;
  switch (mode_) {
    case Mode::Folder:
      ok = GetUiServices().BrowseForFolder(this, std::string(), current, chosen);
      break;
    case Mode::File:
      ok = GetUiServices().GetOpenFileName(this, filter_, current, chosen);
      break;
    case Mode::None:
      return;
  }
  if (!ok) return;
  setText(QString::fromStdString(chosen));
  setFocus();
}

}  // namespace NsOvrin::NsWui
