#pragma once
// How a list draws its selected row, read from its pixels: the row's fill
// must differ from the unselected row's and its texts must stand out from
// that fill, whether the list has the focus or not.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <map>

namespace NsOvrin::NsWui::Testing {

// Relative luminance of a colour, 0 for black to 1 for white.
inline double Luminance(QRgb rgb) {
  const auto channel = [](int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

inline double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// How often each colour stands in the rectangle of the image.
inline std::map<QRgb, int> ColourCounts(const QImage& image, const QRect& rect) {
  std::map<QRgb, int> counts;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) ++counts[image.pixel(x, y) & 0xFFFFFF];
  }
  return counts;
}

// The commonest colour of the counts: the fill under texts.
inline QRgb Commonest(const std::map<QRgb, int>& counts) {
  QRgb fill = 0;
  int most = 0;
  for (const auto& [colour, count] : counts) {
    if (count > most) {
      most = count;
      fill = colour;
    }
  }
  return fill;
}

// A row as it is drawn: its commonest colour (the fill) and how many of its
// pixels stand out from that fill as text does.
struct RowLook {
  QRgb fill = 0;
  int standingOut = 0;
};

inline RowLook LookOfRow(QAbstractItemView& view, const QModelIndex& index) {
  QRect band;
  const int columns = view.model()->columnCount(index.parent());
  for (int column = 0; column < columns; ++column) {
    band |= view.visualRect(index.sibling(index.row(), column));
  }
  // Inside the cell lines.
  band = band.intersected(view.viewport()->rect()).adjusted(2, 2, -2, -2);
  const std::map<QRgb, int> counts = ColourCounts(view.viewport()->grab().toImage(), band);
  RowLook look;
  look.fill = Commonest(counts);
  for (const auto& [colour, count] : counts) {
    if (Contrast(colour, look.fill) >= 2.0) look.standingOut += count;
  }
  return look;
}

// Selects the row of index and checks how it is drawn, with the focus in the
// view and elsewhere.
inline void ExpectSelectedRowStandsOut(QAbstractItemView& view, const QModelIndex& index,
                                QWidget* elsewhere) {
  ASSERT_TRUE(index.isValid());
  view.scrollTo(index);
  view.clearSelection();
  view.selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  QCoreApplication::processEvents();
  const RowLook unselected = LookOfRow(view, index);
  view.setFocus();
  view.selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  QCoreApplication::processEvents();
  ASSERT_TRUE(view.selectionModel()->isSelected(index));
  for (const bool focused : {true, false}) {
    SCOPED_TRACE(focused ? "focus in the list" : "focus elsewhere");
    if (!focused && elsewhere != nullptr) elsewhere->setFocus();
    const RowLook selected = LookOfRow(view, index);
    EXPECT_NE(selected.fill, unselected.fill) << "the selection is not seen";
    EXPECT_GT(selected.standingOut, 12) << "the texts vanish in the fill " << std::hex
                                        << selected.fill;
  }
}

}  // namespace NsOvrin::NsWui::Testing
