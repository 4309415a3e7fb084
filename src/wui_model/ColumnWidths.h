#pragma once
// Column widths of a drawn table and the x-positions of the column edges
// derived from them. The GDI grids use whole pixels, the page tables float
// page units. When resizable, every column carries a grip after it, which
// makes the edges move but not the total width.
#include <cstddef>
#include <vector>

namespace NsOvrin {

template <class T>
class ColumnWidths {
 public:
  static constexpr T kGripWidth = T(4);

  ColumnWidths(std::size_t count, T width) : widths_(count, width) { RecomputeTotal(); }

  std::size_t Count() const { return widths_.size(); }
  const std::vector<T>& Widths() const { return widths_; }
  // 0 for a column that does not exist.
  T Width(std::size_t col) const { return col < widths_.size() ? widths_[col] : T(0); }
  // The sum of the widths, grips left out.
  T TotalWidth() const { return total_; }

  bool Resizable() const { return resizable_ != 0; }
  void SetResizable(bool resizable) {
    const int value = resizable ? 1 : 0;
    if (value == resizable_) return;
    resizable_ = value;
    // The grips move every edge after the first.
    edgesDirty_ = 1;
  }

  // False, changing nothing, when the column does not exist.
  bool SetWidth(std::size_t col, T width) {
    if (col >= widths_.size()) return false;
    widths_[col] = width;
    RecomputeTotal();
    edgesDirty_ = 1;
    return true;
  }
  void SetAllWidths(T width) {
    for (T& w : widths_) w = width;
    RecomputeTotal();
    edgesDirty_ = 1;
  }

  bool EdgesDirty() const { return edgesDirty_ != 0; }
  // Count() + 1 positions from 0, recomputed only after a change.
  const std::vector<T>& Edges() const {
    if (edgesDirty_ != 0) {
      edges_.assign(widths_.size() + 1, T(0));
      const T grip = resizable_ != 0 ? kGripWidth : T(0);
      for (std::size_t i = 1; i < edges_.size(); ++i) edges_[i] = edges_[i - 1] + widths_[i - 1] + grip;
      edgesDirty_ = 0;
    }
    return edges_;
  }
  // Edge i, or the last edge for an index beyond it: a record spanning past
  // the last column ends there.
  T Edge(std::size_t i) const {
    const std::vector<T>& edges = Edges();
    return i < edges.size() ? edges[i] : edges.back();
  }

 private:
  void RecomputeTotal() {
    total_ = T(0);
    for (T w : widths_) total_ += w;
  }

  int resizable_ = 0;
  // The edges are a cache of the widths; Edges() refreshes them.
  mutable int edgesDirty_ = 1;
  mutable std::vector<T> edges_;
  std::vector<T> widths_;
  T total_ = T(0);
};

}  // namespace NsOvrin
