#pragma once
// The IO list: a table of bit addresses with a description in the first
// column and a round status lamp in the second. Each lamp is a small button
// that the binding (which holds the row addresses) marks when its address
// fails the check, and that lights up online when its bit is ON. The lamps
// are painted by a cell-draw hook of the table.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QlUiElem/QlUiButton.h"
#include "QlUiElem/QlUiElem.h"
#include "dx2d/Dx2Table.h"

namespace NsOvrin::NsQlUiElem {

struct QlUiOvListData {
  // Copied by clones, read by nobody.
  int32_t counter = 0;
  std::string title = "IO表";
  // Description i is shown in table row i + 1.
  std::vector<std::string> descriptions;
};

class QlUiOvList : public QlUiElem {
 public:
  // Side of a lamp.
  static constexpr float kLampSize = 18.0f;

  // The header row only, no lamps; the table set up.
  QlUiOvList();
  // The table's hook points at this element.
  QlUiOvList(const QlUiOvList&) = delete;
  QlUiOvList& operator=(const QlUiOvList&) = delete;

  void Draw(const D2ResInfo& d2) override { table.Draw(d2); }
  // The table's rectangle. Whoever places the element calls table.SetRect,
  // then PlaceRowButton for every lamp.
  D2D_RECT_F GetRect() const override { return table.GetRect(); }
  // The element has no tip of its own: the lamps in view show theirs.
  void DrawErrorTip(const D2ResInfo& d2) override { DrawRowButtonsErrorTip(d2); }

  // Columns, row height, colours, title, header row and the cell hook.
  void SetupTable();

  // Appends a description, its table row and its lamp. False, changing
  // nothing, when the table has no room for another row.
  bool AddRow(const std::string& description);
  // AddRow for a reader filling a new, unscrolled table: the content height
  // and the lamp's place are left to PlaceRows, which does them once for
  // every row with the same result.
  bool AppendRow(const std::string& description);
  void PlaceRows();
  // Makes room for that many more rows (as many as the table can still take)
  // so that adding them does not move the rows already there again and again.
  void ReserveRows(std::size_t rows);
  // Removes description index, its lamp and its table row, and colours the
  // rows below again. Nothing past the descriptions.
  void RemoveRow(std::size_t index);

  // A new off lamp placed in the status cell of row.
  std::shared_ptr<QlUiButton> MakeRowButton(uint16_t row);
  // Centres the lamp, 18 x 18, in the status cell of row; nothing for an
  // empty lamp.
  void PlaceRowButton(const std::shared_ptr<QlUiButton>& lamp, uint16_t row);
  // Stores the width of a column of the table; the content width is
  // recomputed in any case.
  void SetColumnWidth(std::size_t col, float width);

  // The table's cell hook: the zebra cell and the lamp of a data row's
  // status column. False (default drawing) for any other cell.
  bool DrawStatusCell(const D2ResInfo& d2, NsDx2d::Dx2Table* drawn, const CellInfo& cell,
                      const D2D_RECT_F& rect);
  // The error tips of the lamps in view.
  void DrawRowButtonsErrorTip(const D2ResInfo& d2);

  // Fill of data row r: 0xFAFAFA when odd, 0xEFEFEF when even.
  static uint32_t RowBackColour(uint16_t row);

  // A new element with the base fields, the data, the table's model, cells,
  // rectangle and title copied and every lamp cloned. It keeps its own
  // column widths and its own hook.
  std::shared_ptr<QlUiOvList> Clone() const;

  QlUiOvListData data;
  NsDx2d::Dx2Table table{1};
  // Lamp i belongs to description i; an entry may be empty.
  std::vector<std::shared_ptr<QlUiButton>> statusButtons;
};

}  // namespace NsOvrin::NsQlUiElem
