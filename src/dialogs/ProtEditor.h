#pragma once
// What the property pane holds of every property page: its window, hiding
// it, the change callback an accepted edit calls, and the page's own
// vertical scrolling inside the pane.
#include <functional>

class QScrollBar;
class QWidget;

namespace NsOvrin {

class ProtEditor {
 public:
  // Scroll codes of a vertical scroll request.
  static constexpr int SB_LINEUP = 0;
  static constexpr int SB_LINEDOWN = 1;
  static constexpr int SB_PAGEUP = 2;
  static constexpr int SB_PAGEDOWN = 3;
  static constexpr int SB_THUMBPOSITION = 4;
  static constexpr int SB_THUMBTRACK = 5;
  static constexpr int SB_TOP = 6;
  static constexpr int SB_BOTTOM = 7;
  static constexpr int SB_ENDSCROLL = 8;

  // Pixels of one line step and of one wheel message.
  static constexpr int kLineStep = 20;

  ProtEditor() = default;
  ProtEditor(const ProtEditor&) = delete;
  ProtEditor& operator=(const ProtEditor&) = delete;
  virtual ~ProtEditor() = default;

  virtual QWidget* GetWindow() = 0;
  // Hides the window; element pages also let their selection go.
  virtual void Hide() = 0;

  // Calls the pane's callback once, when there is one.
  void NotifyChanged();

  // The bar gets the range 0..maximum and the page size; the children follow
  // the position the range allows.
  void UpdateScrollRange(int maximum, int page);
  // One scroll request; thumbPos counts for the two thumb codes only.
  void OnVScroll(int code, int thumbPos);
  // One line step per message, whatever the delta; always handled.
  bool OnMouseWheel(int delta);

  // The highest position the range and page allow.
  int MaxScrollPos() const;

  // Points at the pane's callback; null until the pane first makes the page
  // current.
  const std::function<void()>* changeCallback = nullptr;
  // The page's client size as built.
  int contentWidth = 0;
  int contentHeight = 0;
  // The position last applied to the children.
  int scrollPos = 0;

 protected:
  // The page's scroll bar; null for pages that do not scroll.
  virtual QScrollBar* GetVScrollBar() { return nullptr; }

 private:
  // Moves the bar to pos (clamped), the children by the difference, and
  // stores the position.
  void ScrollTo(int pos);

  int scrollMax_ = 0;
  int scrollPage_ = 0;
};

}  // namespace NsOvrin
