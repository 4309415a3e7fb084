#include "wui/GridLineDelegate.h"

#include <QPainter>
#include <QTreeView>

namespace NsOvrin::NsWui {

void GridLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyleOptionViewItem inner(option);
  inner.rect = option.rect.adjusted(1, 1, -1, -1);
  QStyledItemDelegate::paint(painter, inner, index);
  painter->save();
  painter->setPen(QColor(kLineColour));
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
  painter->restore();
}

QSize GridLineDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  // A row given its own height keeps it.
  const QVariant given = index.data(Qt::SizeHintRole);
  if (given.isValid()) return given.toSize();
  return QStyledItemDelegate::sizeHint(option, index) + QSize(2, 2);
}

void ShowGridLines(QTreeView& list) { list.setItemDelegate(new GridLineDelegate(&list)); }

}  // namespace NsOvrin::NsWui
