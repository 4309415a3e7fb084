#pragma once
// The grid window of the dialogs: a table painted with its scroll bars,
// column edges that can be dragged, an optional tick box in front of each
// row, row selection on request, and in-place editing of the cells through
// the registered editors.
#include <cstdint>
#include <functional>
#include <string>

#include <QAbstractScrollArea>
#include <QPoint>

#include "wui/RtEditorMngBase.h"
#include "wui/WTable.h"

namespace NsOvrin::NsWui {

// The data every row of the grid carries.
struct OvLineInfo {
  // A tick box is drawn in front of column 0.
  bool boxShown = false;
  // The row shows the selection while it is the current row.
  bool highlight = true;
  // 1 when the box carries a tick.
  int ticked = 0;
};

// Scroll requests, as the scroll bars and the wheel send them.
inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_TOP = 6;
inline constexpr int SB_BOTTOM = 7;
inline constexpr int SB_ENDSCROLL = 8;

class OvReportCtrl : public QAbstractScrollArea, public WTable, public RtEditorMngBase {
 public:
  // (column, width) of every drag step; the width may be one that was
  // refused for being below the minimum.
  using ColumnWidthHook = std::function<void(uint16_t, int)>;

  // A dragged column keeps at least this width.
  static constexpr int kMinColumnWidth = 5;
  // Press and release at most this far apart make a click.
  static constexpr int kClickSlop = 6;
  static constexpr int kHScrollLine = 20;

  OvReportCtrl(uint16_t rows, uint16_t columns, uint32_t flags, QWidget* parent = nullptr);
  ~OvReportCtrl() override;

  // The row's data; null for a row that does not exist or carries
  // something else.
  OvLineInfo* GetLineInfo(uint16_t row);
  const OvLineInfo* GetLineInfo(uint16_t row) const;

  // The table model.
  void InitRowData(uint16_t row) override;
  bool GetCurrentRowMark() const override;
  // An edit open on a row that moved or went ends.
  void RowsRemoved(uint16_t first) override;

  // The painter.
  void DrawRowBoxes(QPainter& painter, const WRect& clip) override;
  WRect GetRowBoxRect(uint16_t row) const override;
  bool IsRowBoxShown(uint16_t row) const override;
  bool GetClientRect(WRect& rect) const override;
  int GetVScrollPos() const override;
  int GetHScrollPos() const override;
  void UpdateVScrollBar() override;
  void UpdateHScrollBar() override;
  WRect GetCellTextRect(uint16_t row, uint16_t col, const WRect& cell, uint32_t alignment) const override;
  using WTable::GetCellRect;

  // The editor manager.
  void EndEdit() override;
  QWidget* GetHostWnd() override;
  WRect GetCellRect(int row, int col) override;
  std::string GetCellText(int row, int col) override;
  void SetCellText(int row, int col, const std::string& text) override;
  QWidget* GetOwnerWnd() override;

  // Mouse and scroll handling; points are in client coordinates.
  void OnLButtonDown(QPoint point);
  void OnLButtonUp(QPoint point);
  void OnMouseMove(QPoint point);
  // Shows the sizing cursor over a column edge of a resizable table.
  void OnSetCursor(QPoint point);
  void OnVScroll(int code, int trackPosition);
  void OnHScroll(int code, int trackPosition);
  void OnMouseWheel(int delta);
  bool DragColumnTo(int x);
  void ClickCell(QPoint point);

  ColumnWidthHook columnWidthHook;
  int dragging = 0;
  uint16_t draggedColumn = 0;
  int lastDragX = 0;
  QPoint pressPoint{-100, -100};

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Scroll(bool vertical, int code, int trackPosition);
};

}  // namespace NsOvrin::NsWui
