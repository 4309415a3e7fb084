#include "QlUiElem/QlUiOvList.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "dx2d/BrushCache.h"
#include "dx2d/RenderTarget.h"

namespace NsOvrin::NsQlUiElem {
namespace {

using NsDx2d::COLORREF;
using NsDx2d::Dx2Table;

constexpr float kDescriptionWidth = 300.0f;
constexpr float kStatusWidth = 60.0f;
constexpr float kRowHeight = 32.0f;
constexpr int kCellFontSize = 100;
constexpr COLORREF kGridColour = 0xD8D8D8;
constexpr COLORREF kTitleBack = 0xF0F0F0;
constexpr COLORREF kTitleText = 0x666666;
constexpr int kTitleFontSize = 120;
constexpr COLORREF kHeaderText = 0x6E7A89;
constexpr COLORREF kHeaderBack = 0xEAECEA;
constexpr COLORREF kDescriptionText = 0x666666;

constexpr COLORREF kLampOff = 0xC0C0C0;
constexpr COLORREF kLampOn = 0x00FF00;
constexpr COLORREF kLampBorder = 0x587658;
constexpr float kLampCornerRadius = 4.0f;

// Rows are 16-bit and row 0 is the header.
constexpr std::size_t kMaxRows = 0xFFFF;

// An off lamp, not placed yet.
std::shared_ptr<QlUiButton> NewLamp() {
  auto lamp = std::make_shared<QlUiButton>();
  lamp->data.borderStyle = kButtonCircular;
  lamp->painter.style = 3;
  lamp->data.bkColour = kLampOff;
  lamp->data.bkColour2 = kLampOn;
  lamp->data.borderColour = kLampBorder;
  return lamp;
}

// A cell with that text and colours of its own: made in one step where no
// record covers it yet, otherwise through the setters.
void SetOwnCell(Dx2Table& table, uint16_t row, uint16_t col, const std::string& text, uint32_t textColour,
                uint32_t backColour) {
  if (table.AddCell(row, col, text, textColour, backColour)) return;
  table.SetCellText(row, col, text);
  table.SetCellBackColour(row, col, backColour);
  table.SetCellTextColour(row, col, textColour);
}

}  // namespace

QlUiOvList::QlUiOvList() { SetupTable(); }

uint32_t QlUiOvList::RowBackColour(uint16_t row) { return row % 2 != 0 ? 0xFAFAFA : 0xEFEFEF; }

void QlUiOvList::SetupTable() {
  table.columnWidths.SetResizable(true);
  table.columnWidths.SetWidth(0, kDescriptionWidth);
  table.columnWidths.SetWidth(1, kStatusWidth);
  table.rowHeight = kRowHeight;
  table.UpdateContentSize();
  if (table.defFontSize) *table.defFontSize = kCellFontSize;
  table.gridColour = kGridColour;
  table.title.text = data.title;
  table.title.backColour = kTitleBack;
  table.title.textColour = kTitleText;
  table.title.fontSize = kTitleFontSize;

  const char* const headers[] = {"描 述", "状 态"};
  for (uint16_t col = 0; col < 2; ++col) {
    SetOwnCell(table, 0, col, headers[col], kHeaderText, kHeaderBack);
    table.CenterHeaderCell(col);
  }
  if (const auto align = table.GetColumnAlign(0)) *align = kCellAlignRight;
  if (const auto align = table.GetColumnAlign(1)) *align = kCellAlignCentre;

  table.cellDrawHook = [this](const D2ResInfo& d2, Dx2Table* drawn, const CellInfo& cell, const D2D_RECT_F& rect) {
    return DrawStatusCell(d2, drawn, cell, rect);
  };
}

bool QlUiOvList::AddRow(const std::string& description) {
  if (!AppendRow(description)) return false;
  table.UpdateContentHeight();
  PlaceRowButton(statusButtons.back(), static_cast<uint16_t>(table.GetRowCount() - 1));
  return true;
}

bool QlUiOvList::AppendRow(const std::string& description) {
  const uint16_t r = table.GetRowCount();
  // One more row would wrap the 16-bit row count to 0 and lose the header.
  if (r >= kMaxRows) return false;
  data.descriptions.push_back(description);
  table.SetRowCount(static_cast<uint16_t>(r + 1));
  SetOwnCell(table, r, 0, description, kDescriptionText, RowBackColour(r));
  statusButtons.push_back(NewLamp());
  return true;
}

void QlUiOvList::PlaceRows() {
  table.UpdateContentHeight();
  for (std::size_t i = 0; i < statusButtons.size() && i < kMaxRows; ++i)
    PlaceRowButton(statusButtons[i], static_cast<uint16_t>(i + 1));
}

void QlUiOvList::ReserveRows(std::size_t rows) {
  const std::size_t total = std::min<std::size_t>(table.GetRowCount() + rows, kMaxRows);
  const std::size_t descriptions = total > 0 ? total - 1 : 0;
  data.descriptions.reserve(descriptions);
  statusButtons.reserve(descriptions);
  table.rowData.reserve(total);
  // One record per data row, besides those there are.
  table.cells.reserve(table.cells.size() + (total - std::min<std::size_t>(total, table.GetRowCount())));
}

void QlUiOvList::RemoveRow(std::size_t index) {
  if (index >= data.descriptions.size()) return;
  data.descriptions.erase(data.descriptions.begin() + static_cast<std::ptrdiff_t>(index));
  if (index < statusButtons.size()) statusButtons.erase(statusButtons.begin() + static_cast<std::ptrdiff_t>(index));
  if (index + 1 <= kMaxRows) table.RemoveRow(static_cast<uint16_t>(index + 1));
  table.UpdateContentHeight();
  for (uint16_t r = 1; r < table.GetRowCount(); ++r) table.SetCellBackColour(r, 0, RowBackColour(r));
}

std::shared_ptr<QlUiButton> QlUiOvList::MakeRowButton(uint16_t row) {
  std::shared_ptr<QlUiButton> lamp = NewLamp();
  PlaceRowButton(lamp, row);
  return lamp;
}

void QlUiOvList::PlaceRowButton(const std::shared_ptr<QlUiButton>& lamp, uint16_t row) {
  if (!lamp) return;
  const D2D_RECT_F cell = table.GetSecondColumnCellRect(row);
  const float cx = (cell.left + cell.right) / 2.0f;
  const float cy = (cell.top + cell.bottom) / 2.0f;
  const float half = kLampSize / 2.0f;
  const D2D_RECT_F rect{cx - half, cy - half, cx + half, cy + half};
  lamp->data.rect = rect;
  lamp->painter.rect = rect;
  lamp->painter.cornerRadius = kLampCornerRadius;
  lamp->painter.ReleaseGeometry();
}

void QlUiOvList::SetColumnWidth(std::size_t col, float width) {
  if (col < table.columnCount) table.columnWidths.SetWidth(col, width);
  table.UpdateContentWidth();
}

bool QlUiOvList::DrawStatusCell(const D2ResInfo& d2, Dx2Table* /*drawn*/, const CellInfo& cell,
                                const D2D_RECT_F& rect) {
  if (cell.row == 0 || cell.col != 1) return false;
  const std::size_t i = cell.row - 1u;
  if (i >= data.descriptions.size()) return false;
  if (d2.renderTarget != nullptr && d2.brushCache != nullptr) {
    if (NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(RowBackColour(cell.row), 1.0f))
      d2.renderTarget->FillRectangle(rect, *brush);
  }
  if (data.descriptions[i].empty()) return true;
  if (i < statusButtons.size() && statusButtons[i]) {
    // Placed at every drawing: rows above may have gone or widths changed.
    PlaceRowButton(statusButtons[i], cell.row);
    statusButtons[i]->DrawWithErrorMark(d2);
  }
  return true;
}

void QlUiOvList::DrawRowButtonsErrorTip(const D2ResInfo& d2) {
  if (!shown) return;
  const D2D_RECT_F status = table.GetSecondColumnCellRect(0);
  // The status column is out of view, or there are no rows to speak of.
  if (!((status.left + status.right) / 2.0f < table.GetRect().right) || table.rowHeight < 1.0f) return;

  int64_t end = static_cast<int64_t>(statusButtons.size());
  end = std::min<int64_t>(end, table.LastVisibleRow());
  const NsDx2d::D2ScrollBars& bars = table.scrollBars;
  const float hidden = bars.contentHeight - bars.GetViewSize().height;
  float offset = hidden * bars.vPosition;
  if (!std::isfinite(offset)) offset = 0.0f;
  int64_t first = static_cast<int64_t>(offset / table.rowHeight);
  if (first != 0 && offset - static_cast<float>(first) * table.rowHeight < table.rowHeight / 2.0f) --first;
  first = std::max<int64_t>(first, 0);
  for (int64_t i = first; i < end; ++i) {
    if (const std::shared_ptr<QlUiButton>& lamp = statusButtons[static_cast<std::size_t>(i)]) lamp->DrawErrorTip(d2);
  }
}

std::shared_ptr<QlUiOvList> QlUiOvList::Clone() const {
  auto copy = std::make_shared<QlUiOvList>();
  copy->QlUiElem::operator=(*this);
  copy->data = data;
  copy->table.CopyFrom(table);
  copy->statusButtons.clear();
  copy->statusButtons.reserve(statusButtons.size());
  for (const std::shared_ptr<QlUiButton>& lamp : statusButtons)
    copy->statusButtons.push_back(lamp ? lamp->Clone() : nullptr);
  return copy;
}

}  // namespace NsOvrin::NsQlUiElem
