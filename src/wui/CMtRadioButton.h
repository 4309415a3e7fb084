#pragma once
// A segmented selector: its segments are the cells of a one-row table drawn
// over the button. A click selects the segment under the cursor, after an
// optional veto, and tells the listener.
#include <cstdint>
#include <functional>
#include <memory>

#include <QPushButton>

#include "wui/WProxyTable.h"

namespace NsOvrin::NsWui {

class CMtRadioButton : public QPushButton {
 public:
  // (current index, new index) -> whether the change may happen.
  using BeforeChangeHook = std::function<bool(uint16_t, uint16_t)>;
  // (new index, previous index).
  using SelectionListener = std::function<void(uint16_t, uint16_t)>;

  static constexpr uint32_t kSelectedBackColour = 0x9CE9FD;
  static constexpr uint32_t kTableBackColour = 0xF0F0F0;
  static constexpr int32_t kItemFontSize = 90;

  explicit CMtRadioButton(QWidget* parent = nullptr);

  // One segment per text, none selected; nothing without texts or with a
  // count of 0. A null text is an empty segment.
  void SetItems(const char* const* texts, uint16_t count);
  // Selects a segment below the count and returns the previous index; an
  // index equal to the count changes nothing, a larger one is logged.
  uint16_t Select(uint16_t index, bool notify);
  void DrawItem(QPainter& painter);
  void OnClicked();

  WProxyTable* Table() const { return table_.get(); }

  // Equal to count while nothing is selected.
  uint16_t currentIndex = 0;
  uint16_t count = 0;
  BeforeChangeHook beforeChange;
  SelectionListener selectionListener;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::unique_ptr<WProxyTable> table_;
};

}  // namespace NsOvrin::NsWui
