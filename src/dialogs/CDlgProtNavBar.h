#pragma once
// The property page of navigation bars: the five colours and the font size,
// the layout of the tabs, the table of navigation items (label and target
// page of each), and the visibility block.
#include <memory>
#include <string>

#include "dialogs/ProtDialog.h"
#include "dialogs/UiElemProtEditor.h"
#include "dialogs/VisibilityBlock.h"

class QComboBox;
class QPushButton;

namespace NsOvrin {

namespace NsWui {
class CColorButton;
class CConfirmEditCtrl;
class CMtRadioButton;
class OvReportCtrl;
}  // namespace NsWui

class CDlgProtNavBar : public ProtDialog, public UiElemProtEditor {
 public:
  static constexpr int IDD = 359;
  static constexpr int IDC_TEXT_COLOR2 = 1018;  // the current page's cell
  static constexpr int IDC_BK_COLOR2 = 1020;
  static constexpr int IDC_TEXT_COLOR = 1022;  // the other cells
  static constexpr int IDC_BK_COLOR = 1023;
  static constexpr int IDC_BORDER_COLOR = 1019;
  static constexpr int IDC_FONT_SIZE = 1006;
  static constexpr int IDC_LAYOUT = 1024;
  static constexpr int IDC_SIZING = 1025;
  static constexpr int IDC_TAB_SIZE = 1000;
  static constexpr int IDC_ADD = 1026;
  static constexpr int IDC_DELETE = 1027;
  static constexpr int IDC_ITEMS = 1042;
  static constexpr int IDC_CAPTION_TEXT = 1047;
  static constexpr int IDC_CAPTION_STYLE = 1048;
  static constexpr int IDC_CAPTION_ITEMS = 1049;
  static constexpr int IDC_CAPTION_VISIB = 1055;
  static constexpr int IDC_LINE_TEXT = 1050;
  static constexpr int IDC_LINE_STYLE = 1051;
  static constexpr int IDC_LINE_ITEMS = 1052;
  static constexpr int IDC_LINE_VISIB = 1053;

  // Columns of the item table; row 0 is its header.
  static constexpr int kColLabel = 0;
  static constexpr int kColPage = 1;
  // What the page column shows, and the page list offers, for no target.
  static constexpr const char* kNoPage = "无";
  // The label of an added item.
  static constexpr const char* kNewLabel = "新页面";

  explicit CDlgProtNavBar(QWidget* parent = nullptr);
  ~CDlgProtNavBar() override;

  QWidget* GetWindow() override { return this; }
  void Bind(const Selection& elems) override;
  // Hides and ends an in-place edit; the selection stays until the next Bind.
  void Hide() override;

  // The rule "单元格宽度/高度": required, digits only, at least 2.
  static bool ValidateTabSize(const std::string& text, std::string& message);

  // One row per item of the anchored element below the header.
  void FillItemTable();
  void OnAdd();
  void OnDelete();
  // The in-place editors of the table's edit row.
  void CommitLabel(const std::string& text);
  void CommitPage(const std::string& text);
  // "无", then the project's pages; the entry that begins with text chosen.
  static void FillPageList(QComboBox* list, const std::string& text);

  NsWui::OvReportCtrl* ItemTable() const { return items_; }

 protected:
  QScrollBar* GetVScrollBar() override { return VScrollBar(); }

 private:
  void OnInitDialog();
  // Loads the layout selectors without notice, then installs their
  // listeners.
  void LoadSelectors(bool horizontal, bool fixed);

  NsWui::CColorButton* textColour2_;
  NsWui::CColorButton* bkColour2_;
  NsWui::CColorButton* textColour_;
  NsWui::CColorButton* bkColour_;
  NsWui::CColorButton* borderColour_;
  QComboBox* fontSize_;
  NsWui::CMtRadioButton* layout_;
  NsWui::CMtRadioButton* sizing_;
  NsWui::CConfirmEditCtrl* tabSize_;
  NsWui::OvReportCtrl* items_;
  std::unique_ptr<VisibilityBlock> visibility_;
};

}  // namespace NsOvrin
