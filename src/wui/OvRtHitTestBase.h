#pragma once
// Cell predicates that choose which registered editor serves a clicked
// cell.
namespace NsOvrin::NsWui {

class OvRtHitTestBase {
 public:
  virtual ~OvRtHitTestBase() = default;
  virtual bool HitTest(int row, int col) const = 0;

  bool enabled = true;
};

// The cells of one column from a first row down.
class OvColHitTest : public OvRtHitTestBase {
 public:
  OvColHitTest(int column, int firstRow) : column(column), firstRow(firstRow) {}

  bool HitTest(int row, int col) const override { return col == column && row >= firstRow; }

  int column;
  int firstRow;
};

}  // namespace NsOvrin::NsWui
