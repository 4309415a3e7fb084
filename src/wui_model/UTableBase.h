#pragma once
// The data model behind every grid: a fixed number of columns, a variable
// number of rows, table-wide default attributes and a sparse list of cell
// records. Painting, scrolling, hit testing and editing belong to the drawing
// classes, which derive from it. Row 0 is the header row by the convention of
// every user; only the header operations name it.
#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace NsOvrin {

// Horizontal alignment of a cell's text, as text-drawing flags: the centred
// and right bits, neither meaning left.
constexpr uint32_t kCellAlignLeft = 0;
constexpr uint32_t kCellAlignCentre = 1;
constexpr uint32_t kCellAlignRight = 2;

// One record of the sparse cell list. It covers rows [row, row + rowSpan) and
// columns [col, col + colSpan). An attribute that is null, or that points at
// the table's shared default, inherits; only an object of its own makes it the
// cell's own value.
struct CellInfo {
  uint16_t row = 0;
  uint16_t col = 0;
  uint16_t colSpan = 1;
  uint16_t rowSpan = 1;
  std::string text;
  std::shared_ptr<uint32_t> textColour;  // 0x00BBGGRR
  std::shared_ptr<uint32_t> backColour;  // 0x00BBGGRR
  std::shared_ptr<int> fontSize;         // tenths of a point
  std::shared_ptr<std::string> fontFace;
  std::shared_ptr<uint32_t> align;  // kCellAlign*
  // Carried along with the record; the model never reads it.
  std::any userData;

  bool Covers(uint16_t r, uint16_t c) const {
    // Computed wide: a span must not wrap past row or column 65535.
    return r >= row && int{r} < int{row} + rowSpan && c >= col && int{c} < int{col} + colSpan;
  }
};

class UTableBase {
 public:
  // Bits of flags.
  static constexpr uint32_t kFlagTitleShown = 1;     // the GDI painter shows its title bar
  static constexpr uint32_t kFlagSelectRows = 2;     // a click selects a row
  static constexpr uint32_t kFlagKeepSelection = 4;  // a click beside the rows keeps the selection
  static constexpr uint16_t kNoRow = 0xFFFF;

  UTableBase(uint16_t columnCount, uint32_t flags);
  // Drawing classes are owned through this base as well.
  virtual ~UTableBase() = default;
  // A copy would share the default objects with the original; the drawing
  // classes copy explicitly.
  UTableBase(const UTableBase&) = delete;
  UTableBase& operator=(const UTableBase&) = delete;

  // Writes colour into the shared default back colour, when there is one:
  // every cell that inherits it changes with it.
  virtual void SetBackColour(uint32_t colour);
  // Called for every row SetRowCount adds; a grid stores its per-row data.
  virtual void InitRowData(uint16_t row);
  // Whether the current row is drawn as selected.
  virtual bool GetCurrentRowMark() const;

  uint16_t GetRowCount() const { return static_cast<uint16_t>(rowData.size()); }
  // Drops the records that start at count or below, cuts the row spans that
  // reach beyond it, and sizes the row data; InitRowData runs for each new row.
  void SetRowCount(uint16_t count);
  // Removes one row's data (when the row exists) and moves the records below
  // it up; a record covering it loses a row and goes when none is left.
  void RemoveRow(uint16_t row);

  // Ignored outside the table. Replaces the covering record's text (dropping
  // the record when it became default) or appends a 1 x 1 record.
  void SetCellText(uint16_t row, uint16_t col, const std::string& text);
  // source is a NUL-terminated text, null for the empty text, or, when its
  // value is 0xFFFF or less, the id of a text of the string table.
  void SetCellTextSz(uint16_t row, uint16_t col, const char* source);
  std::string GetCellText(uint16_t row, uint16_t col) const;

  // Give the covering record (or a new 1 x 1 record) a value of its own; an
  // own value set back to the default drops a record that became default.
  // Any row and column is accepted, inside the table or not.
  void SetCellTextColour(uint16_t row, uint16_t col, uint32_t colour);
  void SetCellBackColour(uint16_t row, uint16_t col, uint32_t colour);
  // Makes the covering record inherit the back colour again.
  void ResetCellBackColour(uint16_t row, uint16_t col);
  // The same for every record that starts on row.
  void ResetRowBackColour(uint16_t row);
  // Centre, and font size, of the header record covering col.
  void CenterHeaderCell(uint16_t col);
  void SetHeaderFontSize(uint16_t col, int size);

  // The column's shared default alignment; null outside the table.
  std::shared_ptr<uint32_t> GetColumnAlign(uint16_t col) const;
  // Points the record's attributes at the table's shared defaults.
  void ApplyDefaults(CellInfo& cell) const;
  // 1 x 1, no text, and every attribute inherited or equal to its default.
  bool IsDefaultCell(const CellInfo& cell) const;

  // The record covering a cell: the first in list order whose rectangle
  // contains it; null when none does.
  CellInfo* FindCell(uint16_t row, uint16_t col);
  const CellInfo* FindCell(uint16_t row, uint16_t col) const;

  // Told by the report grid that a click set the current row.
  std::function<void(uint16_t row)> rowSelectionHook;
  uint16_t columnCount;
  uint16_t currentRow = kNoRow;
  uint32_t flags;
  uint32_t gridColour = 0xE5D7D0;
  uint32_t outlineColour = 0x908782;
  std::shared_ptr<uint32_t> defTextColour;
  std::shared_ptr<uint32_t> defBackColour;
  std::shared_ptr<std::string> defFontFace;
  std::shared_ptr<int> defFontSize;
  // One default alignment per column.
  std::vector<std::shared_ptr<uint32_t>> columnAligns;
  // Sparse cell records, in insertion order.
  std::vector<CellInfo> cells;
  // One entry per row: its length is the row count.
  std::vector<std::any> rowData;

 private:
  std::ptrdiff_t FindCellIndex(uint16_t row, uint16_t col) const;
  template <class T, class SharedFor>
  void SetAttribute(std::ptrdiff_t index, uint16_t row, uint16_t col, std::shared_ptr<T> CellInfo::*member,
                    const T& value, SharedFor sharedFor);
};

}  // namespace NsOvrin
