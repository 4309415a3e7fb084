#pragma once
// The property page of page-jump buttons: the button's look and picture,
// where it jumps (the previous page, the home page or a page of the
// project), its access level and the visibility block. It follows the
// project's page list while it is shown.
#include <memory>
#include <string>

#include "dialogs/ButtonLookGroup.h"
#include "dialogs/ProtDialog.h"
#include "dialogs/UiElemProtEditor.h"
#include "dialogs/VisibilityBlock.h"
#include "project/PageListener.h"

class QComboBox;
class QPushButton;

namespace NsOvrin {

namespace NsWui {
class MfcEditBrowse;
}

class CDlgProtPageTo : public ProtDialog, public UiElemProtEditor, public PageListener {
 public:
  static constexpr int IDD = 345;
  static constexpr int IDC_STYLE = 1008;
  static constexpr int IDC_IMAGE_FIT = 1012;
  static constexpr int IDC_IMAGE = 1005;
  static constexpr int IDC_CLEAR_IMAGE = 1024;
  static constexpr int IDC_JUMP_TYPE = 1009;
  static constexpr int IDC_COMBO6 = 1025;  // the target page
  static constexpr int IDC_USER_LEVEL = 1026;
  static constexpr int IDC_CAPTION_STYLE = 1048;
  static constexpr int IDC_CAPTION_JUMP = 1049;
  static constexpr int IDC_CAPTION_LEVEL = 1055;
  static constexpr int IDC_CAPTION_VISIB = 1056;
  static constexpr int IDC_LINE_STYLE = 1051;
  static constexpr int IDC_LINE_JUMP = 1052;
  static constexpr int IDC_LINE_LEVEL = 1053;
  static constexpr int IDC_LINE_VISIB = 1054;

  // On the page-listener list from here to the destructor.
  explicit CDlgProtPageTo(QWidget* parent = nullptr);
  ~CDlgProtPageTo() override;

  QWidget* GetWindow() override { return this; }
  void Bind(const Selection& elems) override;

  // The page list follows pages added, deleted and renamed.
  void OnPageAdded(const std::string& name) override;
  void OnActivatePage(const std::string& /*name*/) override {}
  void OnPageDeleting(const std::string& /*name*/) override {}
  void OnPageDeleted(const std::string& name) override;
  void OnPageRenamed(const std::string& oldName, const std::string& newName) override;
  void OnPageChanged(const std::string& /*name*/, const PageProperties& /*properties*/) override {}

  // Only while shown: the project's pages, with the target of the one
  // selected button selected (none when several are selected).
  void RefillPageList();

  // True only while Bind fills the controls.
  bool loading = false;

 protected:
  QScrollBar* GetVScrollBar() override { return VScrollBar(); }

 private:
  void OnInitDialog();
  // The jump list and the page list from the anchored binding.
  void LoadJumpTarget();
  // A missing page list is reported in a message box.
  void EnablePageList(bool on);
  // The page list with that page selected.
  void FillPageList(const std::string& selected);
  // The target of the one selected button; empty otherwise.
  std::string SoleTarget() const;

  std::unique_ptr<ButtonLookGroup> look_;
  QComboBox* style_;
  QComboBox* imageFit_;
  NsWui::MfcEditBrowse* image_;
  QComboBox* jumpType_;
  QComboBox* userLevel_;
  std::unique_ptr<VisibilityBlock> visibility_;
};

}  // namespace NsOvrin
