#pragma once
// The property page of multi-state texts: the data type and the address of
// the number read, the list of states (value and text look of each), and
// the visibility block. Every handler reads the anchored element afresh.
#include <memory>
#include <string>

#include "dialogs/ProtDialog.h"
#include "dialogs/UiElemProtEditor.h"
#include "dialogs/VisibilityBlock.h"

class QComboBox;

namespace NsOvrin {

namespace NsQlElemEditor {
class QlEHostMultStateText;
}

namespace NsQlElemIo {
class QlMultStateTextIo;
}

namespace NsWui {
class CConfirmEditCtrl;
class WReportCtrl;
}  // namespace NsWui

class CDlgProtMultStateText : public ProtDialog, public UiElemProtEditor {
 public:
  static constexpr int IDD = 375;
  static constexpr int IDC_DATA_TYPE = 1013;
  static constexpr int IDC_ADDRESS = 1002;
  static constexpr int IDC_ADD = 1018;
  static constexpr int IDC_EDIT_TEXT = 1019;
  static constexpr int IDC_DELETE = 1020;
  static constexpr int IDC_STATES = 1021;
  static constexpr int IDC_CAPTION_DATA = 1047;
  static constexpr int IDC_CAPTION_STATES = 1048;
  static constexpr int IDC_CAPTION_VISIB = 1049;
  static constexpr int IDC_LINE_DATA = 1050;
  static constexpr int IDC_LINE_STATES = 1051;
  static constexpr int IDC_LINE_VISIB = 1052;

  // Columns of the state list.
  static constexpr int kColNumber = 0;
  static constexpr int kColValue = 1;
  static constexpr int kColText = 2;

  explicit CDlgProtMultStateText(QWidget* parent = nullptr);
  ~CDlgProtMultStateText() override;

  QWidget* GetWindow() override { return this; }
  void Bind(const Selection& elems) override;
  // Ends an in-place edit, hides and lets the selection go.
  void Hide() override;

  // The value "新 增" proposes: one above the largest state value under the
  // kind, wrapping; "0" without binding or states.
  static std::string NextStateValue(const NsQlElemIo::QlMultStateTextIo* io);
  // The value a state gets from a text its kind accepts: the 16-bit kinds
  // keep the low half.
  static uint32_t StateValueOfText(int32_t kind, const std::string& text);

  // One row per state of the anchored element.
  void FillStateList();
  void OnDataTypeChanged(int index);
  // The list's click hook: "编辑文字" follows the clicked column.
  bool OnListClick(int item, int subItem);
  void OnAdd();
  // Also a double click in the list.
  void OnEditText();
  void OnDelete();
  // A value for the anchored element's kind that none of its states has;
  // the check of the dialog's value.
  bool CheckNewValue(const std::string& text, std::string& message) const;
  // The in-place value editor: the range of the anchored kind, then the
  // value into the edit row's state of every element.
  bool ValidateCellValue(const std::string& text, std::string& message) const;
  void CommitCellValue(const std::string& text);

  NsWui::WReportCtrl* StateList() const { return states_; }

 protected:
  QScrollBar* GetVScrollBar() override { return VScrollBar(); }

 private:
  void OnInitDialog();
  std::shared_ptr<NsQlElemEditor::QlEHostMultStateText> AnchoredText() const;

  QComboBox* dataType_;
  NsWui::CConfirmEditCtrl* address_;
  NsWui::WReportCtrl* states_;
  std::unique_ptr<VisibilityBlock> visibility_;
};

}  // namespace NsOvrin
