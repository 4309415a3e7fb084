#pragma once
// The property page of pictures: how the image fits the element, which
// file it shows, and the visibility block.
#include <memory>

#include "dialogs/ProtDialog.h"
#include "dialogs/UiElemProtEditor.h"
#include "dialogs/VisibilityBlock.h"

class QComboBox;

namespace NsOvrin {

namespace NsWui {
class MfcEditBrowse;
}

class CDlgProtImage : public ProtDialog, public UiElemProtEditor {
 public:
  static constexpr int IDD = 353;
  static constexpr int IDC_STYLE = 1006;
  static constexpr int IDC_FILE = 1001;
  static constexpr int IDC_CAPTION_IMAGE = 1047;
  static constexpr int IDC_CAPTION_VISIB = 1048;
  static constexpr int IDC_LINE_IMAGE = 1050;
  static constexpr int IDC_LINE_VISIB = 1051;

  // The browse button's file filter.
  static constexpr const char* kImageFilter = "图片文件|*.bmp;*.jpg;*.jpeg;*.png;*.tif;*.tiff||";

  explicit CDlgProtImage(QWidget* parent = nullptr);

  QWidget* GetWindow() override { return this; }
  void Bind(const Selection& elems) override;
  // Only hides: the selection stays until the next Bind.
  void Hide() override;

  // True only while Bind fills the controls.
  bool loading = false;

 protected:
  QScrollBar* GetVScrollBar() override { return VScrollBar(); }

 private:
  void OnInitDialog();

  QComboBox* style_;
  NsWui::MfcEditBrowse* file_;
  std::unique_ptr<VisibilityBlock> visibility_;
};

}  // namespace NsOvrin
