#include "wui/CMtRadioButton.h"

#include <QPainter>

#include "common/Log.h"

namespace NsOvrin::NsWui {

CMtRadioButton::CMtRadioButton(QWidget* parent) : QPushButton(parent) {
  connect(this, &QPushButton::clicked, this, [this] { OnClicked(); });
}

void CMtRadioButton::SetItems(const char* const* texts, uint16_t itemCount) {
  if (texts == nullptr || itemCount == 0) return;
  count = itemCount;
  currentIndex = itemCount;
  table_ = std::make_unique<WProxyTable>(itemCount, 0);
  table_->SetRowCount(1);
  table_->FitToWindow(this);
  table_->SetBackColour(kTableBackColour);
  for (uint16_t i = 0; i < itemCount; ++i) {
    table_->SetCellText(0, i, texts[i] != nullptr ? texts[i] : "");
    if (CellInfo* cell = table_->FindCell(0, i)) cell->fontSize = std::make_shared<int>(kItemFontSize);
  }
  update();
}

uint16_t CMtRadioButton::Select(uint16_t index, bool notify) {
  const uint16_t previous = currentIndex;
  if (index > count) {
    OV_LOG(8).AppendText("col <= _count").AppendOpenParen().AppendNumber(index).AppendText(" VS ").AppendNumber(count)
        .AppendCloseParen();
  }
  if (index < count && index != currentIndex && table_) {
    table_->ResetCellBackColour(0, currentIndex);
    table_->SetCellBackColour(0, index, kSelectedBackColour);
    currentIndex = index;
    repaint();
    if (notify && selectionListener) selectionListener(index, previous);
  }
  return previous;
}

void CMtRadioButton::DrawItem(QPainter& painter) {
  if (table_) table_->Draw(&painter);
}

void CMtRadioButton::OnClicked() {
  CellInfo cell;
  if (!table_ || !table_->HitTestCursor(this, cell)) return;
  if (cell.col == currentIndex) return;
  if (beforeChange && !beforeChange(currentIndex, cell.col)) return;
  Select(cell.col, true);
}

void CMtRadioButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  DrawItem(painter);
}

void CMtRadioButton::resizeEvent(QResizeEvent* event) {
  QPushButton::resizeEvent(event);
  // A dialog may give the selector its size only after the items were set:
  // the segments follow the button.
  if (table_) table_->FitToWindow(this);
}

}  // namespace NsOvrin::NsWui
