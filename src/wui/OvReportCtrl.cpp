#include "wui/OvReportCtrl.h"

#include <algorithm>
#include <any>
#include <cmath>
#include <cstdlib>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include "wui/GdiPaint.h"

namespace NsOvrin::NsWui {

namespace {

constexpr int kBoxSize = 20;
constexpr int kBoxInset = 6;
constexpr uint32_t kBoxFrame = 0x666666;
constexpr uint32_t kBoxFill = 0xFFFFFF;
constexpr QRgb kTickColour = 0xFF3C92D6;  // ARGB
// Column 0 of a row with a box: text and editor make room for it.
constexpr int kBoxTextInset = 36;
constexpr int kBoxEditorInset = 32;

// Applies a range in the window system's terms (the last position is
// max - page + 1) to a Qt scroll bar.
void SetScrollRange(QScrollBar* bar, int max, int page) {
  page = std::clamp(page, 0, max + 1);
  const int last = page > 0 ? max - page + 1 : max;
  bar->setPageStep(page);
  bar->setRange(0, std::max(0, last));
}

int SliderCode(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return SB_LINEUP;
    case QAbstractSlider::SliderSingleStepAdd: return SB_LINEDOWN;
    case QAbstractSlider::SliderPageStepSub: return SB_PAGEUP;
    case QAbstractSlider::SliderPageStepAdd: return SB_PAGEDOWN;
    case QAbstractSlider::SliderToMinimum: return SB_TOP;
    case QAbstractSlider::SliderToMaximum: return SB_BOTTOM;
    case QAbstractSlider::SliderMove: return SB_THUMBTRACK;
    default: return -1;
  }
}

}  // namespace

OvReportCtrl::OvReportCtrl(uint16_t rows, uint16_t columns, uint32_t flags, QWidget* parent)
    : QAbstractScrollArea(parent), WTable(columns, flags) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setMouseTracking(true);
  for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
    const bool vertical = bar == verticalScrollBar();
    bar->installEventFilter(this);
    connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar, vertical](int action) {
      const int code = SliderCode(action);
      if (code >= 0) Scroll(vertical, code, bar->sliderPosition());
    });
  }
  FollowScrolling(*this);
  SetRowCount(rows);
}

OvReportCtrl::~OvReportCtrl() {
  columnWidthHook = nullptr;
  DestroyEditors();
}

OvLineInfo* OvReportCtrl::GetLineInfo(uint16_t row) {
  if (row >= rowData.size()) return nullptr;
  return std::any_cast<OvLineInfo>(&rowData[row]);
}

const OvLineInfo* OvReportCtrl::GetLineInfo(uint16_t row) const {
  if (row >= rowData.size()) return nullptr;
  return std::any_cast<OvLineInfo>(&rowData[row]);
}

void OvReportCtrl::InitRowData(uint16_t row) {
  if (row < rowData.size()) rowData[row] = OvLineInfo{};
}

void OvReportCtrl::RowsRemoved(uint16_t first) { CellsMoved(first); }

bool OvReportCtrl::GetCurrentRowMark() const {
  if ((flags & kFlagSelectRows) == 0 || currentRow >= GetRowCount()) return false;
  const OvLineInfo* line = GetLineInfo(currentRow);
  return line != nullptr && line->highlight;
}

void OvReportCtrl::DrawRowBoxes(QPainter& painter, const WRect& clip) {
  if (rowHeight == 0) return;
  const int first = (GetVScrollPos() + clip.top) / rowHeight;
  const int visible = clip.Height() / rowHeight + 2;
  for (int i = first; i - first < visible && i < GetRowCount(); ++i) {
    const OvLineInfo* line = GetLineInfo(static_cast<uint16_t>(i));
    if (line == nullptr || !line->boxShown) continue;
    const WRect box = GetRowBoxRect(static_cast<uint16_t>(i));
    GdiFillRect(painter, box, kBoxFill);
    GdiFrameRect(painter, box, kBoxFrame);
    if (line->ticked != 1) continue;
    const int w = box.Width();
    const int h = box.Height();
    const QPointF tick[] = {
        QPointF(box.left + static_cast<int>(0.196 * w), box.top + static_cast<int>(0.433 * h)),
        QPointF(box.left + static_cast<int>(0.421 * w), box.bottom - static_cast<int>(0.323 * h)),
        QPointF(box.left + static_cast<int>(0.804 * w), box.top + static_cast<int>(0.283 * h)),
    };
    SmoothPixelScope scope(painter, true);
    QPen pen(QColor::fromRgba(kTickColour));
    pen.setWidthF(std::max(2.0, w / 7.5));
    painter.setPen(pen);
    painter.drawPolyline(tick, 3);
  }
}

WRect OvReportCtrl::GetRowBoxRect(uint16_t row) const {
  WRect client;
  GetClientRect(client);
  const int left = client.left - GetHScrollPos() + kBoxInset;
  const int top = TitleBarHeight() + row * rowHeight + rowHeight / 2 - GetVScrollPos() - kBoxSize / 2;
  return {left, top, left + kBoxSize, top + kBoxSize};
}

bool OvReportCtrl::IsRowBoxShown(uint16_t row) const {
  const OvLineInfo* line = GetLineInfo(row);
  return line != nullptr && line->boxShown;
}

bool OvReportCtrl::GetClientRect(WRect& rect) const {
  rect = WRect::FromQRect(viewport()->rect());
  return true;
}

int OvReportCtrl::GetVScrollPos() const { return verticalScrollBar()->value(); }

int OvReportCtrl::GetHScrollPos() const { return horizontalScrollBar()->value(); }

void OvReportCtrl::UpdateVScrollBar() {
  WRect client;
  if (GetRowCount() == 0 || rowHeight == 0 || !GetClientRect(client)) return;
  const int content = GetRowCount() * rowHeight;
  const int page = client.Height() - TitleBarHeight();
  int max = content + 4;
  if (content > page) max += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  verticalScrollBar()->setSingleStep(rowHeight);
  SetScrollRange(verticalScrollBar(), max, page);
  viewport()->update();
}

void OvReportCtrl::UpdateHScrollBar() {
  WRect client;
  if (columnCount == 0 || !GetClientRect(client)) return;
  const int total = columnWidths.TotalWidth();
  int max = total + 4;
  if (total > client.Width()) max += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  horizontalScrollBar()->setSingleStep(kHScrollLine);
  SetScrollRange(horizontalScrollBar(), max, client.Width());
  viewport()->update();
}

WRect OvReportCtrl::GetCellTextRect(uint16_t row, uint16_t col, const WRect& cell, uint32_t alignment) const {
  WRect rect = cell;
  if ((alignment & kCellAlignCentre) != 0) return rect;
  if ((alignment & kCellAlignRight) != 0) {
    rect.right -= 4;
  } else {
    rect.left += col == 0 && IsRowBoxShown(row) ? kBoxTextInset : 4;
  }
  return rect;
}

void OvReportCtrl::EndEdit() {
  RtEditorMngBase::EndEdit();
  viewport()->update();
}

QWidget* OvReportCtrl::GetHostWnd() { return viewport(); }

WRect OvReportCtrl::GetCellRect(int row, int col) {
  if (row < 0 || row >= GetRowCount() || col < 0 || col > 0xFFFF) return {};
  WRect rect = GetSpannedCellRect(static_cast<uint16_t>(row), static_cast<uint16_t>(col));
  if (col == 0 && IsRowBoxShown(static_cast<uint16_t>(row))) rect.left += kBoxEditorInset;
  return rect;
}

std::string OvReportCtrl::GetCellText(int row, int col) {
  if (row < 0 || row > 0xFFFF || col < 0 || col > 0xFFFF) return {};
  return UTableBase::GetCellText(static_cast<uint16_t>(row), static_cast<uint16_t>(col));
}

void OvReportCtrl::SetCellText(int row, int col, const std::string& text) {
  if (row < 0 || row > 0xFFFF || col < 0 || col > 0xFFFF) return;
  UTableBase::SetCellText(static_cast<uint16_t>(row), static_cast<uint16_t>(col), text);
  viewport()->update();
}

QWidget* OvReportCtrl::GetOwnerWnd() { return this; }

void OvReportCtrl::OnLButtonDown(QPoint point) {
  setFocus();
  EndEdit();
  pressPoint = point;
  dragging = 0;
  if (!columnWidths.Resizable()) return;
  uint16_t row = 0;
  bool onEdge = false;
  bool inBox = false;
  HitTest(point, row, draggedColumn, onEdge, inBox);
  if (onEdge) {
    dragging = 1;
    lastDragX = point.x();
  }
}

void OvReportCtrl::OnLButtonUp(QPoint point) {
  if (dragging != 0) {
    dragging = 0;
    if (DragColumnTo(point.x())) viewport()->update();
  } else if (pressPoint.x() > 0 && pressPoint.y() > 0 && point.x() > 0 && point.y() > 0 &&
             std::abs(pressPoint.x() - point.x()) <= kClickSlop && std::abs(pressPoint.y() - point.y()) <= kClickSlop) {
    ClickCell(point);
  }
  pressPoint = QPoint(-100, -100);
}

void OvReportCtrl::OnMouseMove(QPoint point) {
  if (dragging != 0 && DragColumnTo(point.x())) viewport()->update();
  OnSetCursor(point);
}

void OvReportCtrl::OnSetCursor(QPoint point) {
  bool sizing = false;
  if (columnWidths.Resizable()) {
    uint16_t row = 0;
    uint16_t col = 0;
    bool onEdge = false;
    bool inBox = false;
    HitTest(point, row, col, onEdge, inBox);
    sizing = dragging != 0 || onEdge;
  }
  if (sizing) {
    viewport()->setCursor(Qt::SizeHorCursor);
  } else {
    viewport()->unsetCursor();
  }
}

bool OvReportCtrl::DragColumnTo(int x) {
  if (draggedColumn >= columnWidths.Count()) return false;
  const int width = columnWidths.Width(draggedColumn) + x - lastDragX;
  if (width >= kMinColumnWidth) columnWidths.SetWidth(draggedColumn, width);
  UpdateHScrollBar();
  lastDragX = x;
  if (columnWidthHook) columnWidthHook(draggedColumn, width);
  return true;
}

void OvReportCtrl::ClickCell(QPoint point) {
  uint16_t row = 0;
  uint16_t col = 0;
  bool onEdge = false;
  bool inBox = false;
  if (!HitTest(point, row, col, onEdge, inBox) || onEdge) {
    if ((flags & kFlagKeepSelection) == 0) currentRow = kNoRow;
    EndEdit();
    return;
  }
  if (inBox) {
    if (OvLineInfo* line = GetLineInfo(row)) line->ticked = line->ticked == 0 ? 1 : 0;
    EndEdit();
    viewport()->update();
    return;
  }
  if ((flags & kFlagSelectRows) != 0) {
    if ((flags & kFlagKeepSelection) == 0 || row < GetRowCount()) currentRow = row;
    if (rowSelectionHook) rowSelectionHook(currentRow);
  } else {
    currentRow = kNoRow;
  }
  BeginEdit(row, col);
}

void OvReportCtrl::OnVScroll(int code, int trackPosition) { Scroll(true, code, trackPosition); }

void OvReportCtrl::OnHScroll(int code, int trackPosition) { Scroll(false, code, trackPosition); }

void OvReportCtrl::Scroll(bool vertical, int code, int trackPosition) {
  QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
  const int line = vertical ? rowHeight : kHScrollLine;
  const int old = bar->value();
  int position = old;
  switch (code) {
    case SB_LINEUP: position = old - line; break;
    case SB_LINEDOWN: position = old + line; break;
    case SB_PAGEUP: position = old - bar->pageStep(); break;
    case SB_PAGEDOWN: position = old + bar->pageStep(); break;
    case SB_THUMBTRACK: position = trackPosition; break;
    case SB_TOP: position = bar->minimum(); break;
    case SB_BOTTOM: position = bar->maximum(); break;
    default: break;
  }
  // Clamped to the range; a change ends the edit (FollowScrolling).
  bar->setValue(position);
  if (bar->value() == old) {
    // A scroll bar action must not move the bar on its own either.
    bar->setSliderPosition(old);
    return;
  }
  viewport()->update();
}

void OvReportCtrl::OnMouseWheel(int delta) { OnVScroll(delta <= 0 ? SB_LINEDOWN : SB_LINEUP, 0); }

void OvReportCtrl::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  Draw(&painter, WRect::FromQRect(event->rect()));
  // Whatever moved the cells (a column width, the title bar, the row height
  // or a row's box set by the owner) shows here first. The editor follows
  // its cell once the paint is over, not in the middle of it.
  if (CellMovedUnderEditor()) FollowCellLater(*this);
}

void OvReportCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) OnLButtonDown(event->position().toPoint());
  event->accept();
}

void OvReportCtrl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) OnLButtonUp(event->position().toPoint());
  event->accept();
}

void OvReportCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is not a press of its own.
  event->accept();
}

void OvReportCtrl::mouseMoveEvent(QMouseEvent* event) {
  OnMouseMove(event->position().toPoint());
  event->accept();
}

void OvReportCtrl::wheelEvent(QWheelEvent* event) {
  // One line per wheel message, whatever the delta; a sideways wheel does
  // not scroll.
  const QPoint delta = event->angleDelta();
  if (delta.y() != 0 || delta.x() == 0) OnMouseWheel(delta.y());
  event->accept();
}

void OvReportCtrl::keyPressEvent(QKeyEvent* event) {
  // The grid has no keys of its own; they go on to the dialog.
  event->ignore();
}

void OvReportCtrl::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  // The ranges depend on the client size, which a layout may give the grid
  // only after its owner set it up.
  UpdateVScrollBar();
  UpdateHScrollBar();
}

bool OvReportCtrl::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel && (watched == verticalScrollBar() || watched == horizontalScrollBar())) {
    wheelEvent(static_cast<QWheelEvent*>(event));
    return true;
  }
  return QAbstractScrollArea::eventFilter(watched, event);
}

}  // namespace NsOvrin::NsWui
