#pragma once
// The mouse on a list's column header, as the window system delivers it to
// the header's viewport: a section's right edge dragged or double-clicked,
// a section dragged by its middle to another place.
#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>

namespace NsOvrin::NsWui::Testing {

inline void SendHeaderMouse(QHeaderView& header, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
  QWidget* viewport = header.viewport();
  const QPointF point(at);
  QMouseEvent event(type, point, viewport->mapToGlobal(point), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                    held, Qt::NoModifier);
  QApplication::sendEvent(viewport, &event);
}

// Pressed at from, moved to to in a few steps, released there.
inline void DragHeader(QHeaderView& header, QPoint from, QPoint to) {
  SendHeaderMouse(header, QEvent::MouseButtonPress, from, Qt::LeftButton);
  constexpr int kSteps = 6;
  for (int i = 1; i <= kSteps; ++i) {
    SendHeaderMouse(header, QEvent::MouseMove, from + (to - from) * i / kSteps, Qt::LeftButton);
  }
  SendHeaderMouse(header, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

// A point on the right edge of a section, where the sizing cursor shows.
inline QPoint SectionEdge(const QHeaderView& header, int logical) {
  return {header.sectionViewportPosition(logical) + header.sectionSize(logical) - 1, header.height() / 2};
}

// The section's right edge dragged dx pixels to the right.
inline void DragSectionEdge(QHeaderView& header, int logical, int dx) {
  const QPoint from = SectionEdge(header, logical);
  DragHeader(header, from, from + QPoint(dx, 0));
}

// The section dragged by its middle until it stands right behind another.
inline void DragSectionBehind(QHeaderView& header, int logical, int behind) {
  const QPoint from(header.sectionViewportPosition(logical) + header.sectionSize(logical) / 2, header.height() / 2);
  const QPoint to(header.sectionViewportPosition(behind) + header.sectionSize(behind) * 3 / 4, header.height() / 2);
  DragHeader(header, from, to);
}

// A double click on the section's right edge: the column takes the width of
// its contents.
inline void DoubleClickSectionEdge(QHeaderView& header, int logical) {
  const QPoint at = SectionEdge(header, logical);
  SendHeaderMouse(header, QEvent::MouseButtonPress, at, Qt::LeftButton);
  SendHeaderMouse(header, QEvent::MouseButtonRelease, at, Qt::NoButton);
  SendHeaderMouse(header, QEvent::MouseButtonDblClick, at, Qt::LeftButton);
  SendHeaderMouse(header, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

}  // namespace NsOvrin::NsWui::Testing
