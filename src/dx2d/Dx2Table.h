#pragma once
// A table drawn into a page in page coordinates inside its own rectangle:
// background, grid lines, the visible cells, a title bar, passive scroll
// bars and an outline. It takes no input; the element that owns it fills
// the rows and cells and places it.
//
// Whoever changes the row count or the row height calls UpdateContentHeight
// afterwards, and whoever changes a column width UpdateContentWidth.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "dx2d/D2ResInfo.h"
#include "dx2d/D2ScrollBars.h"
#include "dx2d/D2Types.h"
#include "dx2d/PathGeometry.h"
#include "wui_model/ColumnWidths.h"
#include "wui_model/UTableBase.h"

namespace NsOvrin::NsDx2d {

struct Dx2TableTitle {
  std::string text;
  COLORREF textColour = 0x1F1D1D;
  COLORREF backColour = 0xE0E0E0;
  int fontSize = 120;  // tenths of a point
  float height = 32.0f;
  bool shown = true;
};

class Dx2Table : public UTableBase {
 public:
  // Asked first for every drawn cell; true means it drew the cell.
  using CellDrawHook = std::function<bool(const D2ResInfo&, Dx2Table*, const CellInfo&, const D2D_RECT_F&)>;

  // Two columns of 100, the title bar shown.
  explicit Dx2Table(uint16_t rowCount);
  ~Dx2Table() override;

  // The default back colour and the scroll-bar track together.
  void SetBackColour(uint32_t colour) override;

  void Draw(const D2ResInfo& d2);
  // The outer rectangle, title bar included, in page coordinates.
  void SetRect(const D2D_RECT_F& rect);
  const D2D_RECT_F& GetRect() const { return rect_; }
  void UpdateContentHeight();
  void UpdateContentWidth();
  // UpdateContentWidth, then UpdateContentHeight, with the scroll bars laid
  // out once when that ends the same.
  void UpdateContentSize();

  // The cells' rectangle in page coordinates, less 1 on every side, as the
  // view shows it now.
  D2D_RECT_F GetCellRect(uint16_t row, uint16_t col, uint16_t rowSpan, uint16_t colSpan) const;
  // Draws the cell when a record starts there (or asks the hook about an
  // empty cell); returns the column to draw next.
  int DrawCell(const D2ResInfo& d2, uint16_t row, uint16_t col);
  void DrawCellDefault(const D2ResInfo& d2, const D2D_RECT_F& rect, const CellInfo& cell);
  // The rectangle of whatever covers column 1 of the row.
  D2D_RECT_F GetSecondColumnCellRect(uint16_t row) const;
  // The row under the lower edge of the view less half a row.
  int LastVisibleRow() const;
  // Whether the view starts at the first row and column, so that no cell
  // rectangle depends on the size of the content.
  bool Unscrolled() const {
    const D2D_SIZE_F view = scrollBars.GetViewSize();
    return HorizontalOffset(view) == 0.0f && VerticalOffset(view) == 0.0f;
  }

  // Takes the other table's model, colours, cells, row height, rectangle and
  // title; keeps its own column widths and hook. The copy's attributes never
  // share an object with the other table.
  void CopyFrom(const Dx2Table& other);

  CellDrawHook cellDrawHook;
  float rowHeight = 26.0f;
  NsOvrin::ColumnWidths<float> columnWidths{2, 100.0f};
  Dx2TableTitle title;
  D2ScrollBars scrollBars;

 private:
  float TitleHeight() const { return title.shown ? title.height : 0.0f; }
  // Content less view, in each direction; negative when the content fits.
  // These take the view size (scrollBars.GetViewSize()) from a caller that
  // has it at hand.
  float HiddenHeight(const D2D_SIZE_F& view) const { return scrollBars.contentHeight - view.height; }
  float HiddenWidth(const D2D_SIZE_F& view) const { return scrollBars.contentWidth - view.width; }
  float VerticalOffset(const D2D_SIZE_F& view) const { return HiddenHeight(view) * scrollBars.vPosition; }
  float HorizontalOffset(const D2D_SIZE_F& view) const { return HiddenWidth(view) * scrollBars.hPosition; }
  bool HBarNeeded(const D2D_SIZE_F& view) const { return scrollBars.contentWidth > view.width + 1.0f; }
  bool VBarNeeded(const D2D_SIZE_F& view) const { return scrollBars.contentHeight > view.height + 1.0f; }
  float VerticalOffset() const { return VerticalOffset(scrollBars.GetViewSize()); }
  float HorizontalOffset() const { return HorizontalOffset(scrollBars.GetViewSize()); }
  bool HBarNeeded() const { return HBarNeeded(scrollBars.GetViewSize()); }
  bool VBarNeeded() const { return VBarNeeded(scrollBars.GetViewSize()); }
  // Thumb ratios and positions for the current view and content.
  void UpdateScrollLayout();
  // The rectangle less 1 on every side: the grid stays inside the outline.
  void PushInsetClip(const D2ResInfo& d2);
  void BuildGridGeometry(const D2ResInfo& d2);
  void DrawScrollBars(const D2ResInfo& d2);
  float ColumnEdge(int index) const;

  D2D_RECT_F rect_;
  // The row and column lines of the current view; rebuilt after a change.
  std::unique_ptr<PathGeometry> gridGeometry_;
};

}  // namespace NsOvrin::NsDx2d
