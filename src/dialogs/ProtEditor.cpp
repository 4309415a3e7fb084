#include "dialogs/ProtEditor.h"

#include <algorithm>

#include <QScrollBar>
#include <QSignalBlocker>
#include <QWidget>

namespace NsOvrin {

void ProtEditor::NotifyChanged() {
  if (changeCallback != nullptr && *changeCallback) (*changeCallback)();
}

int ProtEditor::MaxScrollPos() const {
  // A bar over 0..max shows page units at a time: the last position leaves
  // the page ending on max.
  if (scrollPage_ <= 0) return scrollMax_;
  return std::max(0, scrollMax_ - scrollPage_ + 1);
}

void ProtEditor::UpdateScrollRange(int maximum, int page) {
  scrollMax_ = std::max(0, maximum);
  scrollPage_ = std::max(0, page);
  if (QScrollBar* bar = GetVScrollBar()) {
    const QSignalBlocker block(bar);
    bar->setRange(0, MaxScrollPos());
    bar->setPageStep(std::max(1, scrollPage_));
    bar->setSingleStep(kLineStep);
    // A page that shows everything needs no bar.
    bar->setVisible(MaxScrollPos() > 0);
  }
  ScrollTo(scrollPos);
}

void ProtEditor::OnVScroll(int code, int thumbPos) {
  int pos = scrollPos;
  switch (code) {
    case SB_LINEUP: pos -= kLineStep; break;
    case SB_LINEDOWN: pos += kLineStep; break;
    case SB_PAGEUP: pos -= scrollPage_; break;
    case SB_PAGEDOWN: pos += scrollPage_; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = thumbPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = scrollMax_; break;
    default: break;
  }
  ScrollTo(pos);
}

bool ProtEditor::OnMouseWheel(int delta) {
  OnVScroll(delta <= 0 ? SB_LINEDOWN : SB_LINEUP, 0);
  return true;
}

void ProtEditor::ScrollTo(int pos) {
  const int newPos = std::clamp(pos, 0, MaxScrollPos());
  QScrollBar* bar = GetVScrollBar();
  if (bar != nullptr) {
    const QSignalBlocker block(bar);
    bar->setValue(newPos);
  }
  const int dy = scrollPos - newPos;
  if (dy != 0) {
    if (QWidget* window = GetWindow()) {
      // The children move; the bar stays where it is.
      for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != bar) child->move(child->x(), child->y() + dy);
      }
      window->update();
    }
  }
  scrollPos = newPos;
}

}  // namespace NsOvrin
