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
#include <unordered_map>
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

// The cell records in list order, used like a vector. Every access that could
// change a record or the list counts as a change (Version), so the table
// rebuilds its cell lookup before its next search; reading through a const
// list changes nothing.
class CellList {
 public:
  using value_type = CellInfo;
  using iterator = std::vector<CellInfo>::iterator;
  using const_iterator = std::vector<CellInfo>::const_iterator;

  CellList() = default;
  CellList(const CellList& other) : items_(other.items_) {}
  CellList& operator=(const CellList& other) {
    if (this != &other) items_ = other.items_;
    ++version_;
    return *this;
  }

  uint64_t Version() const { return version_; }
  std::size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  void reserve(std::size_t n) { items_.reserve(n); }

  const CellInfo& operator[](std::size_t i) const { return items_[i]; }
  const CellInfo& front() const { return items_.front(); }
  const CellInfo& back() const { return items_.back(); }
  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }
  const_iterator cbegin() const { return items_.cbegin(); }
  const_iterator cend() const { return items_.cend(); }

  CellInfo& operator[](std::size_t i) { return Edit()[i]; }
  CellInfo& front() { return Edit().front(); }
  CellInfo& back() { return Edit().back(); }
  iterator begin() { return Edit().begin(); }
  iterator end() { return Edit().end(); }
  void push_back(const CellInfo& cell) { Edit().push_back(cell); }
  void push_back(CellInfo&& cell) { Edit().push_back(std::move(cell)); }
  iterator erase(const_iterator at) { return Edit().erase(at); }
  iterator erase(const_iterator first, const_iterator last) { return Edit().erase(first, last); }
  void clear() { Edit().clear(); }

 private:
  std::vector<CellInfo>& Edit() {
    ++version_;
    return items_;
  }

  std::vector<CellInfo> items_;
  uint64_t version_ = 0;
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
  // Called after rows were taken away: the rows from first on are not the
  // ones they were. Nothing here; a grid ends an edit open there.
  virtual void RowsRemoved(uint16_t first);

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

  // What SetCellText, SetCellBackColour and SetCellTextColour make of a cell
  // no record covers, in one step: a new 1 x 1 record with the text and
  // colours of its own, the rest inherited. False, changing nothing, when a
  // record covers the cell or it lies outside the table.
  bool AddCell(uint16_t row, uint16_t col, const std::string& text, uint32_t textColour, uint32_t backColour);

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
  const std::shared_ptr<uint32_t>& GetColumnAlign(uint16_t col) const;
  // Points the record's attributes at the table's shared defaults.
  void ApplyDefaults(CellInfo& cell) const;
  // 1 x 1, no text, and every attribute inherited or equal to its default.
  bool IsDefaultCell(const CellInfo& cell) const;

  // The record covering a cell: the first in list order whose rectangle
  // contains it; null when none does. A record's position or span is changed
  // through cells, never through this pointer.
  CellInfo* FindCell(uint16_t row, uint16_t col);
  const CellInfo* FindCell(uint16_t row, uint16_t col) const;
  // The lowest row on which a record starts that reaches down into row;
  // row itself when none does. A painter that walks only the rows in view
  // starts there, so that a span reaching into view from above is drawn.
  uint16_t FirstRowReaching(uint16_t row) const;

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
  // Sparse cell records, in insertion order. Searches keep a lookup of them
  // up to date, even through const: a table is used by one thread at a time.
  CellList cells;
  // One entry per row: its length is the row count.
  std::vector<std::any> rowData;

 private:
  // Where the records lie, so that a search does not walk the whole list:
  // 1 x 1 records by position, records with spans in list order, and the end
  // of the lowest row any record reaches. Rebuilt whenever cells changed
  // behind the table's back.
  struct CellLookup {
    uint64_t version = ~uint64_t{0};
    // Index + 1 of the first 1 x 1 record at row * columnCount + col, 0 for
    // none; records the grid does not reach are kept by position in outside.
    std::vector<uint32_t> grid;
    std::unordered_map<uint32_t, std::size_t> outside;
    std::vector<std::size_t> spanned;
    int rowEnd = 0;
  };
  // At most this many grid entries (8 MiB); positions beyond go outside.
  static constexpr std::size_t kGridCells = std::size_t{1} << 21;
  // The grid entry of a position, null when the grid cannot hold it;
  // grown to hold it when grow is set.
  uint32_t* GridEntry(uint16_t row, uint16_t col, bool grow) const;
  // Up to this many records a search walks the list.
  static constexpr std::size_t kWalkedCells = 32;
  static uint32_t CellKey(uint16_t row, uint16_t col) { return uint32_t{row} << 16 | col; }
  bool LookupCurrent() const { return lookup_.version == cells.Version(); }
  void EnsureLookup() const;
  void AddToLookup(std::size_t index) const;
  void AppendCell(CellInfo&& cell);
  void EraseCell(std::size_t index);
  // A record whose position and span stay as they are.
  CellInfo& EditCell(std::size_t index);

  mutable CellLookup lookup_;

  std::ptrdiff_t FindCellIndex(uint16_t row, uint16_t col) const;
  template <class T, class SharedFor>
  void SetAttribute(std::ptrdiff_t index, uint16_t row, uint16_t col, std::shared_ptr<T> CellInfo::*member,
                    const T& value, SharedFor sharedFor);
};

}  // namespace NsOvrin
