#pragma once
// The property page of IO tables: the title bar of the table, the widths of
// its two columns, and a grid that mirrors the rows of the anchored table
// (description, bit address and the row's check message). Rows are edited
// in place, appended from an address range, cleared, deleted by their ticks,
// and exported to or imported from a CSV file. The page listens to the node
// database so that the hints follow changed devices and data blocks.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "dialogs/ProtDialog.h"
#include "dialogs/UiElemProtEditor.h"
#include "project/NodeDbListener.h"

class QComboBox;
class QLineEdit;

namespace NsOvrin {

namespace NsQlElemEditor {
class QlEHostOvList;
}

namespace NsWui {
class CColorButton;
class CConfirmEditCtrl;
class OvReportCtrl;
}  // namespace NsWui

class CDlgProtOvTable : public ProtDialog, public UiElemProtEditor, public NodeDbListener {
 public:
  static constexpr int IDD = 383;
  static constexpr int IDC_START = 1000;
  static constexpr int IDC_END = 1001;
  static constexpr int IDC_TITLE = 1002;
  static constexpr int IDC_COL_WIDTH1 = 1005;
  static constexpr int IDC_COL_WIDTH2 = 1006;
  static constexpr int IDC_FONT_SIZE = 1007;
  static constexpr int IDC_EXPORT = 1018;
  static constexpr int IDC_CLEAR = 1023;
  static constexpr int IDC_IMPORT = 1024;
  static constexpr int IDC_ADD = 1025;
  static constexpr int IDC_DELETE = 1026;
  static constexpr int IDC_TITLE_COLOR = 1027;
  static constexpr int IDC_TITLE_BK_COLOR = 1028;
  static constexpr int IDC_GRID = 1037;
  static constexpr int IDC_CAPTION_TITLE = 1047;
  static constexpr int IDC_CAPTION_WIDTH = 1048;
  static constexpr int IDC_CAPTION_ROWS = 1049;
  static constexpr int IDC_LINE_TITLE = 1050;
  static constexpr int IDC_LINE_WIDTH = 1051;
  static constexpr int IDC_LINE_ROWS = 1052;

  // Columns of the grid; row 0 is its header, row r shows element row r - 1.
  static constexpr int kColDescription = 0;
  static constexpr int kColAddress = 1;
  static constexpr int kColHint = 2;
  // Every cell of a row whose address fails its check.
  static constexpr uint32_t kErrorRowBack = 0xB2D3D6;

  // The address list file.
  static constexpr const char* kCsvHeader = "地址,描述";
  static constexpr const char* kCsvFilter = "csv文件|*.csv||";
  static constexpr const char* kCsvExtension = "csv";

  explicit CDlgProtOvTable(QWidget* parent = nullptr);
  ~CDlgProtOvTable() override;

  QWidget* GetWindow() override { return this; }
  void Bind(const Selection& elems) override;
  // Ends an in-place edit, hides and lets the selection go.
  void Hide() override;

  // The two changes reload the grid later, once every listener has been
  // told; the run mode is of no concern here.
  void OnBlocksChanged(const OneWayWrapper<NsTermination::Node>& node) override;
  void OnNodeDbChanged() override;
  void OnRunModeChanged(bool online) override;

  // The rule "列宽度": required, a decimal number of at least 10.
  static bool ValidateColumnWidth(const std::string& text, std::string& message);
  // A bit address inside one of its device's data blocks; the message is
  // that of the address check.
  static bool ValidateRowAddress(const std::string& text, std::string& message);

  // The header, then one row per row of the host; nothing without a host.
  void ReloadGrid(const std::shared_ptr<NsQlElemEditor::QlEHostOvList>& host);
  // One more grid row showing the host's row of that number, with its hint.
  void AppendGridRow(const std::shared_ptr<NsQlElemEditor::QlEHostOvList>& host);

  // Each writes every selected IO table that has what it needs; the caller
  // calls NotifyChanged.
  void SetIoTableTitle(const std::string& text);
  void SetIoTableTitleColor(uint32_t colour);
  void SetIoTableTitleBkColor(uint32_t colour);
  void SetIoTableTitleFontSize(const std::string& text);
  void SetIoTableColumnWidth(std::size_t column, float width);
  void SetIoTableRowDescription(std::size_t row, const std::string& text);
  void SetIoTableRowAddress(std::size_t row, const std::string& text);
  // True when at least one table took the row (a full table takes none).
  // The new rows are checked by a RevalidateSelection after the last one.
  bool AppendIoTableRow(const std::string& description, const std::string& address);
  void RemoveIoTableRow(std::size_t row);
  void ClearIoTableRows();
  void RevalidateSelection();

  // The buttons.
  void OnRangeFill();
  void OnClear();
  void OnDeleteChecked();
  void OnExport();
  void OnImport();
  // The reload the node-database notifications ask for.
  void OnReloadGrid();

  NsWui::OvReportCtrl* Grid() const { return grid_; }

  // True only while Bind fills the controls.
  bool loading = false;

 protected:
  QScrollBar* GetVScrollBar() override { return VScrollBar(); }

 private:
  void OnInitDialog();
  std::shared_ptr<NsQlElemEditor::QlEHostOvList> AnchoredTable() const;
  // Reset, show the anchored width of the column, validate and write.
  void LoadColumnWidthEdit(NsWui::CConfirmEditCtrl& edit, std::size_t column);
  // The in-place editors of the grid's edit row.
  void CommitDescription(const std::string& text);
  void CommitAddress(std::string& text);
  // The grid cut to its header row.
  void ClearGrid();

  QLineEdit* title_;
  NsWui::CColorButton* titleColour_;
  NsWui::CColorButton* titleBkColour_;
  QComboBox* fontSize_;
  NsWui::CConfirmEditCtrl* colWidth1_;
  NsWui::CConfirmEditCtrl* colWidth2_;
  QLineEdit* start_;
  QLineEdit* end_;
  NsWui::OvReportCtrl* grid_;
};

}  // namespace NsOvrin
