#pragma once
// The property page of multi-function buttons: the button's look, its
// access level, the visibility block, the instruction lines of the anchored
// button and the way to the instruction reference window.
#include <functional>
#include <memory>

#include "dialogs/ButtonLookGroup.h"
#include "dialogs/ProtDialog.h"
#include "dialogs/UiElemProtEditor.h"
#include "dialogs/VisibilityBlock.h"

class QComboBox;

namespace NsOvrin {

namespace NsQlElemIo {
class QlMultFuncBtnIo;
}

class CtrlQlFuncList;

class CDlgProtMultFuncBtn : public ProtDialog, public UiElemProtEditor {
 public:
  static constexpr int IDD = 382;
  static constexpr int IDC_STYLE = 1008;
  static constexpr int IDC_USER_LEVEL = 1026;
  static constexpr int IDC_SHOW_FUNCS = 1024;
  static constexpr int IDC_FUNC_TABLE = 1038;
  static constexpr int IDC_DELETE_ROWS = 1021;
  static constexpr int IDC_CAPTION_STYLE = 1048;
  static constexpr int IDC_CAPTION_LEVEL = 1049;
  static constexpr int IDC_CAPTION_VISIB = 1055;
  static constexpr int IDC_CAPTION_FUNCS = 1056;
  static constexpr int IDC_LINE_STYLE = 1051;
  static constexpr int IDC_LINE_LEVEL = 1052;
  static constexpr int IDC_LINE_VISIB = 1053;
  static constexpr int IDC_LINE_FUNCS = 1054;

  explicit CDlgProtMultFuncBtn(QWidget* parent = nullptr);
  ~CDlgProtMultFuncBtn() override;

  QWidget* GetWindow() override { return this; }
  void Bind(const Selection& elems) override;

  // The process-wide instruction reference window, made on first use. It
  // lives in the application layer, which installs this; the page only
  // shows what it gives.
  std::function<QWidget*()> funcListWindow;

  // True only while Bind fills the controls.
  bool loading = false;

  // Edits the anchored button's instruction lines.
  CtrlQlFuncList* funcTable = nullptr;

 protected:
  QScrollBar* GetVScrollBar() override { return VScrollBar(); }

 private:
  void OnInitDialog();

  std::unique_ptr<ButtonLookGroup> look_;
  QComboBox* style_;
  QComboBox* userLevel_;
  std::unique_ptr<VisibilityBlock> visibility_;
  // The binding whose lines the table edits: kept alive while bound, as the
  // table holds a plain pointer into it.
  std::shared_ptr<NsQlElemIo::QlMultFuncBtnIo> boundIo_;
};

}  // namespace NsOvrin
