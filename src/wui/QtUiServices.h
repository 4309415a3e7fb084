#pragma once
// The user-facing implementation of UiServices: Qt's message box, tool tip
// and standard pickers.
#include <cstdint>

#include <QColor>

#include "wui/UiServices.h"

class QCoreApplication;

namespace NsOvrin::NsWui {

class QtUiServices : public UiServices {
 public:
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
};

// 0x00BBGGRR <-> opaque QColor.
QColor ColorRefToQColor(uint32_t colour);
uint32_t QColorToColorRef(const QColor& colour);

// Installs Qt's own zh_CN translations so that its dialogs and standard
// buttons speak the program's language. False when they are not installed.
bool InstallQtChineseTranslations(QCoreApplication& app);

}  // namespace NsOvrin::NsWui
