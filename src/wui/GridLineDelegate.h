#pragma once
// Grid lines around the cells of a list in report view, drawn by the list's
// item delegate rather than a style sheet: an item rule of a style sheet
// takes the selection's fill away and leaves its light text, so the selected
// row would vanish. The selection keeps the colours of the application's
// palette.
#include <QStyledItemDelegate>

class QTreeView;

namespace NsOvrin::NsWui {

class GridLineDelegate : public QStyledItemDelegate {
 public:
  // The colour of the lines.
  static constexpr QRgb kLineColour = 0xE0E0E0;

  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  // One pixel of line on every side of the cell, unless the item names its
  // own size.
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Draws grid lines around every cell of list.
void ShowGridLines(QTreeView& list);

}  // namespace NsOvrin::NsWui
