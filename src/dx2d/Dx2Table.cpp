#include "dx2d/Dx2Table.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>

#include "dx2d/BrushCache.h"
#include "dx2d/D2Factory.h"
#include "dx2d/RenderTarget.h"
#include "dx2d/TextPainter.h"
#include "wui_model/TableCellPaint.h"

namespace NsOvrin::NsDx2d {

namespace {

// Rows are 16-bit: no walk or grid goes past this many.
constexpr int64_t kRowLimit = 0x10000;

// Truncation towards zero that saturates instead of overflowing; NaN (a row
// height of 0 divided into 0) counts as 0.
int64_t Truncate(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 9.0e15f) return INT64_C(9000000000000000);
  if (value <= -9.0e15f) return -INT64_C(9000000000000000);
  return static_cast<int64_t>(value);
}

int64_t ClampRow(int64_t row) { return std::clamp<int64_t>(row, 0, kRowLimit); }

// The drawing kit's horizontal alignment for a cell's text flags.
uint16_t TextAlignmentOf(uint32_t alignment) {
  if ((alignment & kCellAlignCentre) != 0) return 1;
  if ((alignment & kCellAlignRight) != 0) return 2;
  return 0;
}

void FillRect(const D2ResInfo& d2, const D2D_RECT_F& rect, COLORREF colour) {
  if (d2.renderTarget == nullptr || d2.brushCache == nullptr) return;
  if (SolidColorBrush* brush = d2.brushCache->GetBrush(colour, 1.0f)) d2.renderTarget->FillRectangle(rect, *brush);
}

template <class T>
std::shared_ptr<T> FreshCopy(const std::shared_ptr<T>& value) {
  return value ? std::make_shared<T>(*value) : nullptr;
}

// An attribute of a copied record: what pointed at the source's shared
// object points at the copy's, an own value gets an object of its own.
template <class T>
std::shared_ptr<T> Rebind(const std::shared_ptr<T>& attribute, const std::shared_ptr<T>& sourceShared,
                          const std::shared_ptr<T>& copyShared) {
  if (!attribute) return nullptr;
  if (attribute == sourceShared) return copyShared;
  return std::make_shared<T>(*attribute);
}

}  // namespace

Dx2Table::Dx2Table(uint16_t rowCount) : UTableBase(2, kFlagTitleShown) {
  SetRowCount(rowCount);
  UpdateContentSize();
}

Dx2Table::~Dx2Table() = default;

void Dx2Table::SetBackColour(uint32_t colour) {
  UTableBase::SetBackColour(colour);
  scrollBars.trackColour = colour;
}

void Dx2Table::UpdateScrollLayout() {
  // Only the positions change below, and the view size does not depend on
  // them.
  const D2D_SIZE_F view = scrollBars.GetViewSize();
  scrollBars.UpdateThumbRatios(view.width, view.height);
  // A bar that is not shown cannot stay scrolled.
  if (!HBarNeeded(view)) scrollBars.hPosition = 0.0f;
  if (!VBarNeeded(view)) scrollBars.vPosition = 0.0f;
  scrollBars.LayoutHThumb(view);
  scrollBars.LayoutVThumb(view);
}

void Dx2Table::SetRect(const D2D_RECT_F& rect) {
  rect_ = rect;
  gridGeometry_.reset();
  scrollBars.viewRect = {rect.left, rect.top + TitleHeight(), rect.right, rect.bottom};
  UpdateScrollLayout();
  scrollBars.ReleaseCornerGrip();
}

void Dx2Table::UpdateContentHeight() {
  gridGeometry_.reset();
  if (GetRowCount() == 0 || rowHeight == 0.0f) return;
  scrollBars.contentHeight = static_cast<float>(GetRowCount()) * rowHeight + 2.0f;
  if (scrollBars.contentHeight > 1.0f) UpdateScrollLayout();
}

void Dx2Table::UpdateContentWidth() {
  gridGeometry_.reset();
  if (columnCount == 0) return;
  scrollBars.contentWidth = columnWidths.TotalWidth() + 12.0f;
  if (scrollBars.contentWidth > 1.0f) UpdateScrollLayout();
}

void Dx2Table::UpdateContentSize() {
  // One layout with both sizes set ends as the two calls do when there is a
  // height to lay out and no position for the first layout to reset.
  const auto atOrigin = [](float position) { return position == 0.0f && !std::signbit(position); };
  const bool rows = GetRowCount() != 0 && rowHeight != 0.0f;
  const float height = rows ? static_cast<float>(GetRowCount()) * rowHeight + 2.0f : 0.0f;
  if (!rows || !(height > 1.0f) || !atOrigin(scrollBars.hPosition) || !atOrigin(scrollBars.vPosition)) {
    UpdateContentWidth();
    UpdateContentHeight();
    return;
  }
  gridGeometry_.reset();
  if (columnCount != 0) scrollBars.contentWidth = columnWidths.TotalWidth() + 12.0f;
  scrollBars.contentHeight = height;
  UpdateScrollLayout();
}

float Dx2Table::ColumnEdge(int index) const {
  if (columnCount == 0) return 0.0f;
  // The widths are the table's own and may be fewer than the columns a
  // copied model brought: an edge past them is the last one.
  return columnWidths.Edge(static_cast<std::size_t>(index));
}

D2D_RECT_F Dx2Table::GetCellRect(uint16_t row, uint16_t col, uint16_t rowSpan, uint16_t colSpan) const {
  const float left = rect_.left + ColumnEdge(col);
  const float right = rect_.left + ColumnEdge(int{col} + colSpan);
  const float top = static_cast<float>(row) * rowHeight + rect_.top + TitleHeight();
  const float bottom = top + static_cast<float>(rowSpan) * rowHeight;
  // One view size for both offsets: lamps are placed row by row.
  const D2D_SIZE_F view = scrollBars.GetViewSize();
  const float dx = HorizontalOffset(view);
  const float dy = VerticalOffset(view);
  return {left - dx + 1.0f, top - dy + 1.0f, right - dx - 1.0f, bottom - dy - 1.0f};
}

D2D_RECT_F Dx2Table::GetSecondColumnCellRect(uint16_t row) const {
  if (const CellInfo* cell = FindCell(row, 1)) return GetCellRect(cell->row, cell->col, cell->rowSpan, cell->colSpan);
  return GetCellRect(row, 1, 1, 1);
}

int Dx2Table::LastVisibleRow() const {
  const float bottom = VerticalOffset() + (rect_.bottom - rect_.top) - TitleHeight() - rowHeight * 0.5f;
  return static_cast<int>(std::clamp<int64_t>(Truncate(bottom / rowHeight), INT_MIN, INT_MAX));
}

void Dx2Table::PushInsetClip(const D2ResInfo& d2) {
  d2.renderTarget->PushAxisAlignedClip(
      {rect_.left + 1.0f, rect_.top + 1.0f, rect_.right - 1.0f, rect_.bottom - 1.0f});
}

void Dx2Table::BuildGridGeometry(const D2ResInfo& d2) {
  if (rowHeight == 0.0f || d2.d2Factory == nullptr) return;
  std::unique_ptr<PathGeometry> geometry = d2.d2Factory->CreatePathGeometry();
  GeometrySink* sink = geometry ? geometry->Open() : nullptr;
  if (sink == nullptr) return;

  const int64_t count = std::min(Truncate((rect_.bottom - rect_.top) / rowHeight), kRowLimit);
  const float offset = VerticalOffset();
  const int64_t base = Truncate(offset / rowHeight);
  const float rowsTop = rect_.top + TitleHeight();
  for (int64_t i = 0; i <= count + 1; ++i) {
    const float y = static_cast<float>(base + i) * rowHeight - offset + rowsTop;
    sink->BeginFigure({rect_.left, y}, FigureBegin::Hollow);
    sink->AddLine({rect_.right, y});
    sink->EndFigure(FigureEnd::Open);
  }

  const std::vector<float>& edges = columnWidths.Edges();
  const std::size_t lastEdge = std::min<std::size_t>(edges.size() - 1, columnCount);
  const float dx = HorizontalOffset();
  for (std::size_t i = 1; i <= lastEdge; ++i) {
    const float x = edges[i] - dx + rect_.left;
    sink->BeginFigure({x, rowsTop}, FigureBegin::Hollow);
    sink->AddLine({x, rect_.bottom});
    sink->EndFigure(FigureEnd::Open);
  }
  if (sink->Close()) gridGeometry_ = std::move(geometry);
}

void Dx2Table::Draw(const D2ResInfo& d2) {
  if (d2.renderTarget == nullptr || d2.brushCache == nullptr) return;
  RenderTarget& target = *d2.renderTarget;

  if (defBackColour) FillRect(d2, rect_, *defBackColour);

  PushInsetClip(d2);
  if (rowHeight != 0.0f) {
    if (!gridGeometry_) BuildGridGeometry(d2);
    if (gridGeometry_) {
      if (SolidColorBrush* brush = d2.brushCache->GetBrush(gridColour, 1.0f)) {
        target.DrawGeometry(*gridGeometry_, *brush, 1.0f);
      }
    }
  }
  target.PopAxisAlignedClip();

  target.PushAxisAlignedClip({rect_.left + 2.0f, rect_.top + 2.0f, rect_.right - 3.0f, rect_.bottom - 3.0f});
  if (rowHeight >= 1.0f) {
    const float offset = VerticalOffset();
    const int64_t first = ClampRow(Truncate(offset / rowHeight));
    const int64_t end =
        ClampRow(Truncate((offset + (rect_.bottom - rect_.top) - TitleHeight()) / rowHeight) + 1);
    for (int64_t row = first; row < end; ++row) {
      for (int col = 0; col < columnCount;) col = DrawCell(d2, static_cast<uint16_t>(row), static_cast<uint16_t>(col));
    }
  }
  target.PopAxisAlignedClip();

  if (title.shown) {
    const D2D_RECT_F band{rect_.left, rect_.top, rect_.right, rect_.top + title.height - 1.0f};
    FillRect(d2, band, title.backColour);
    if (!title.text.empty()) {
      TextPainter text;
      text.rect = band;
      text.text = title.text;
      text.colour = title.textColour;
      text.fontSize = title.fontSize;
      text.horizontalAlignment = 1;
      text.verticalAlignment = 1;
      text.Draw(d2);
    }
  }

  DrawScrollBars(d2);

  if (SolidColorBrush* brush = d2.brushCache->GetBrush(outlineColour, 1.0f)) {
    target.DrawRectangle({rect_.left, rect_.top, rect_.right - 1.0f, rect_.bottom - 1.0f}, *brush, 1.0f);
  }
}

void Dx2Table::DrawScrollBars(const D2ResInfo& d2) {
  const bool hBar = HBarNeeded();
  const bool vBar = VBarNeeded();
  const D2D_RECT_F& view = scrollBars.viewRect;
  // Each track is the strip of the view its thumb runs in.
  if (hBar) {
    FillRect(d2, {view.left, scrollBars.hThumb.rect.top, view.right, view.bottom}, scrollBars.trackColour);
    scrollBars.hThumb.Fill(d2);
  }
  if (vBar) {
    FillRect(d2, {scrollBars.vThumb.rect.left, view.top, view.right, view.bottom}, scrollBars.trackColour);
    scrollBars.vThumb.Fill(d2);
  }
  if (hBar && vBar) scrollBars.DrawCornerGrip(d2);
}

int Dx2Table::DrawCell(const D2ResInfo& d2, uint16_t row, uint16_t col) {
  const CellStep step = StepCell(*this, row, col);
  if (step.record == nullptr) {
    if (cellDrawHook) cellDrawHook(d2, this, MakeDefaultCell(*this, row, col), GetCellRect(row, col, 1, 1));
    return step.nextCol;
  }
  if (step.startsHere) {
    // A copy: the hook may change the table's records while it draws.
    const CellInfo cell = *step.record;
    const D2D_RECT_F rect = GetCellRect(row, col, cell.rowSpan, cell.colSpan);
    if (!cellDrawHook || !cellDrawHook(d2, this, cell, rect)) DrawCellDefault(d2, rect, cell);
  }
  return step.nextCol;
}

void Dx2Table::DrawCellDefault(const D2ResInfo& d2, const D2D_RECT_F& rect, const CellInfo& cell) {
  if (CellNeedsFill(*this, cell)) FillRect(d2, rect, CellFillColour(*this, cell));
  if (cell.text.empty()) return;
  const uint32_t alignment = CellAlignment(*this, cell);
  TextPainter text;
  text.rect = CellTextRect(rect, alignment);
  text.text = cell.text;
  text.colour = CellTextColour(*this, cell);
  text.fontSize = CellFontSize(*this, cell);
  text.horizontalAlignment = TextAlignmentOf(alignment);
  text.verticalAlignment = 1;
  text.Draw(d2);
}

void Dx2Table::CopyFrom(const Dx2Table& other) {
  if (&other == this) return;
  columnCount = other.columnCount;
  flags = other.flags;
  gridColour = other.gridColour;
  outlineColour = other.outlineColour;

  defTextColour = FreshCopy(other.defTextColour);
  defBackColour = FreshCopy(other.defBackColour);
  defFontFace = FreshCopy(other.defFontFace);
  defFontSize = FreshCopy(other.defFontSize);
  columnAligns.resize(other.columnAligns.size());
  for (std::size_t i = 0; i < columnAligns.size(); ++i) columnAligns[i] = FreshCopy(other.columnAligns[i]);

  // Records that inherited from the other table inherit from this one now;
  // their own values are copied, so neither table can recolour the other.
  cells = other.cells;
  for (CellInfo& cell : cells) {
    cell.textColour = Rebind(cell.textColour, other.defTextColour, defTextColour);
    cell.backColour = Rebind(cell.backColour, other.defBackColour, defBackColour);
    cell.fontSize = Rebind(cell.fontSize, other.defFontSize, defFontSize);
    cell.fontFace = Rebind(cell.fontFace, other.defFontFace, defFontFace);
    const auto column = std::find(other.columnAligns.begin(), other.columnAligns.end(), cell.align);
    if (cell.align && column != other.columnAligns.end()) {
      cell.align = columnAligns[static_cast<std::size_t>(column - other.columnAligns.begin())];
    } else {
      cell.align = FreshCopy(cell.align);
    }
  }
  rowData = other.rowData;

  // The title first: the view starts below the title bar.
  title = other.title;
  if (other.rowHeight > 0.0f) rowHeight = other.rowHeight;
  UpdateContentHeight();
  SetRect(other.rect_);
}

}  // namespace NsOvrin::NsDx2d
