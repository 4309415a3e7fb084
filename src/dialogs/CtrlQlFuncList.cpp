#include "dialogs/CtrlQlFuncList.h"

#include <algorithm>

#include "compiler/FuncText.h"
#include "project/QlEProject.h"
#include "wui/RtConfirmEdit.h"

namespace NsOvrin {

namespace {

constexpr uint32_t kHeaderText = 0x555555;
constexpr uint32_t kHeaderBack = 0xE0E0E0;
constexpr int kColumnWidth = 260;
// Header and entry row included, the row count stays within 16 bits.
constexpr std::size_t kMaxLines = 0xFFFF - 2;

}  // namespace

CtrlQlFuncList::CtrlQlFuncList(QWidget* parent) : OvReportCtrl(2, 2, 0, parent) {
  *defFontFace = "Courier New";
  *defFontSize = 95;
  *defBackColour = kGridBack;
  columnWidths.SetResizable(true);
}

CtrlQlFuncList::~CtrlQlFuncList() {
  // The line editor calls back into this control; it goes first.
  DestroyEditors();
}

void CtrlQlFuncList::SetupColumns() {
  rowHeight = 32;
  for (uint16_t col = 0; col < 2; ++col) {
    SetColumnWidth(col, kColumnWidth);
    if (const auto align = GetColumnAlign(col)) *align = kCellAlignLeft;
  }
  SetCellTextSz(0, 0, "指 令");
  SetCellTextSz(0, 1, "提示信息");
  for (uint16_t col = 0; col < 2; ++col) {
    SetCellTextColour(0, col, kHeaderText);
    CenterHeaderCell(col);
    SetCellBackColour(0, col, kHeaderBack);
  }
  UpdateVScrollBar();

  // A second call must not stack a second editor on the column.
  if (!entries.empty()) return;
  auto editor = MakeConfirmEdit();
  editor->validator = [this](const std::string&, const std::string& text, std::string& message) {
    if (text.empty()) return true;
    if (_exprArr == nullptr) {
      message = "系统错误: _exprArr == nullptr";
      return false;
    }
    return NsQlCompiler::CheckFuncText(text, &message);
  };
  editor->changeHook = [this](std::string& text) { CommitEdit(text); };
  // From row 1: the header is never edited.
  AddColumnEditor(0, editor, 1);
}

void CtrlQlFuncList::CommitEdit(std::string& text) {
  if (_exprArr == nullptr || editRow <= 0) return;
  text = NsQlCompiler::NormalizeFuncText(text);
  const auto index = static_cast<uint16_t>(editRow - 1);
  std::vector<std::string>& lines = *_exprArr;
  if (index < lines.size()) {
    lines[index] = text;
  } else if (lines.size() < kMaxLines) {
    lines.push_back(text);
  }

  const auto row = static_cast<uint16_t>(editRow);
  ResetCellBackColour(row, 0);
  const auto message = std::find_if(cells.begin(), cells.end(),
                                    [row](const CellInfo& cell) { return cell.Covers(row, 1); });
  if (message != cells.end()) cells.erase(message);

  if (!text.empty() && row + 1 == GetRowCount() && GetRowCount() < 0xFFFF) {
    SetRowCount(static_cast<uint16_t>(GetRowCount() + 1));
    UpdateVScrollBar();
    if (NsWui::OvLineInfo* line = GetLineInfo(row)) line->boxShown = true;
    SetCellBackColour(static_cast<uint16_t>(GetRowCount() - 1), 0, kEntryBack);
  }
  QlEProject::Instance().modified = true;
  viewport()->update();
  if (const auto changed = linesChanged) changed();
}

void CtrlQlFuncList::CheckRow(uint16_t index) {
  if (_exprArr == nullptr || index >= _exprArr->size()) return;
  const std::string& line = (*_exprArr)[index];
  const auto row = static_cast<uint16_t>(index + 1);
  UTableBase::SetCellText(row, 0, line);
  if (NsWui::OvLineInfo* info = GetLineInfo(row)) info->boxShown = true;
  std::string message;
  uint32_t colour = kValidBack;
  if (NsQlCompiler::CheckFuncText(line, &message)) {
    UTableBase::SetCellText(row, 1, "");
  } else {
    SetCellTextColour(row, 1, kMessageText);
    UTableBase::SetCellText(row, 1, message);
    colour = kInvalidBack;
  }
  SetCellBackColour(row, 0, colour);
}

void CtrlQlFuncList::ReloadRows() {
  // An edit still open belongs to the previous binding and rows.
  EndEdit();
  SetRowCount(1);
  if (currentRow != 0) currentRow = kNoRow;
  UpdateVScrollBar();
  if (_exprArr != nullptr) {
    const std::size_t n = std::min(_exprArr->size(), kMaxLines);
    SetRowCount(static_cast<uint16_t>(n + 2));
    UpdateVScrollBar();
    for (std::size_t i = 0; i < n; ++i) CheckRow(static_cast<uint16_t>(i));
    SetCellBackColour(static_cast<uint16_t>(n + 1), 0, kEntryBack);
  }
  viewport()->update();
}

bool CtrlQlFuncList::DeleteCheckedRows() {
  if (_exprArr == nullptr || GetRowCount() <= 1) return false;
  std::vector<std::string>& lines = *_exprArr;
  bool removed = false;
  for (uint16_t j = 1; j < GetRowCount();) {
    if (static_cast<std::size_t>(j - 1) >= lines.size()) break;
    const NsWui::OvLineInfo* line = GetLineInfo(j);
    if (line != nullptr && line->boxShown && line->ticked == 1) {
      lines.erase(lines.begin() + (j - 1));
      RemoveRow(j);
      UpdateVScrollBar();
      removed = true;
      continue;
    }
    ++j;
  }
  if (removed) {
    QlEProject::Instance().modified = true;
    viewport()->update();
    if (const auto changed = linesChanged) changed();
  }
  return removed;
}

}  // namespace NsOvrin
