#include "wui_model/UTableBase.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "wui_model/ResourceStrings.h"

namespace NsOvrin {
namespace {

// Inherited: null, the shared default itself, or equal in value to it.
template <class T>
bool InheritsValue(const std::shared_ptr<T>& attribute, const std::shared_ptr<T>& shared) {
  return !attribute || attribute == shared || (shared && *attribute == *shared);
}

}  // namespace

UTableBase::UTableBase(uint16_t columnCount, uint32_t flags)
    : columnCount(columnCount),
      flags(flags),
      defTextColour(std::make_shared<uint32_t>(0x333333)),
      defBackColour(std::make_shared<uint32_t>(0xF7F5F5)),
      defFontFace(std::make_shared<std::string>("宋体")),
      defFontSize(std::make_shared<int>(90)) {
  columnAligns.reserve(columnCount);
  for (uint16_t i = 0; i < columnCount; ++i) columnAligns.push_back(std::make_shared<uint32_t>(kCellAlignCentre));
}

void UTableBase::SetBackColour(uint32_t colour) {
  if (defBackColour) *defBackColour = colour;
}

void UTableBase::InitRowData(uint16_t) {}

bool UTableBase::GetCurrentRowMark() const { return false; }

void UTableBase::RowsRemoved(uint16_t) {}

void UTableBase::SetRowCount(uint16_t count) {
  // With the lookup at hand: when no record reaches row count, the records
  // stay as they are.
  if (cells.size() > kWalkedCells) EnsureLookup();
  // A short list is looked over without touching it, so that adding a row
  // keeps the list unchanged; a record without rows counts as one row, as
  // in the lookup.
  const auto reaches = [count](const CellInfo& cell) {
    return int{cell.row} + std::max(int{cell.rowSpan}, 1) > count;
  };
  const bool reached = LookupCurrent() ? lookup_.rowEnd > count
                                       : std::any_of(std::as_const(cells).begin(), std::as_const(cells).end(), reaches);
  if (reached) {
    cells.erase(std::remove_if(cells.begin(), cells.end(), [count](const CellInfo& cell) { return cell.row >= count; }),
                cells.end());
    for (CellInfo& cell : cells) {
      if (int{cell.row} + cell.rowSpan > count) cell.rowSpan = static_cast<uint16_t>(count - cell.row);
    }
  }
  const std::size_t old = rowData.size();
  rowData.resize(count);
  for (std::size_t row = old; row < count; ++row) InitRowData(static_cast<uint16_t>(row));
  if (count < old) RowsRemoved(count);
}

void UTableBase::RemoveRow(uint16_t row) {
  const bool existed = row < rowData.size();
  if (existed) rowData.erase(rowData.begin() + row);
  // Records are adjusted whether or not the row existed: the attribute
  // setters may have placed some beyond the rows.
  for (std::size_t i = 0; i < cells.size();) {
    CellInfo& cell = cells[i];
    if (cell.row > row) {
      --cell.row;
    } else if (int{row} < int{cell.row} + cell.rowSpan && --cell.rowSpan == 0) {
      cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    ++i;
  }
  if (existed) RowsRemoved(row);
}

uint32_t* UTableBase::GridEntry(uint16_t row, uint16_t col, bool grow) const {
  if (col >= columnCount) return nullptr;
  const std::size_t at = std::size_t{row} * columnCount + col;
  if (at >= kGridCells) return nullptr;
  if (at >= lookup_.grid.size()) {
    if (!grow) return nullptr;
    lookup_.grid.resize(std::max(at + 1, std::min(kGridCells, lookup_.grid.size() * 2)));
  }
  return &lookup_.grid[at];
}

void UTableBase::EnsureLookup() const {
  if (LookupCurrent()) return;
  lookup_.grid.clear();
  lookup_.outside.clear();
  lookup_.spanned.clear();
  lookup_.rowEnd = 0;
  lookup_.version = cells.Version();
  for (std::size_t i = 0; i < cells.size(); ++i) AddToLookup(i);
}

void UTableBase::AddToLookup(std::size_t index) const {
  const CellInfo& cell = cells[index];
  // A record without rows still counts: SetRowCount drops it by its row.
  lookup_.rowEnd = std::max(lookup_.rowEnd, int{cell.row} + std::max(int{cell.rowSpan}, 1));
  if (cell.rowSpan == 1 && cell.colSpan == 1) {
    // The first record in list order wins.
    uint32_t* entry = GridEntry(cell.row, cell.col, true);
    if (entry != nullptr && index < UINT32_MAX) {
      if (*entry == 0) *entry = static_cast<uint32_t>(index + 1);
    } else {
      lookup_.outside.emplace(CellKey(cell.row, cell.col), index);
    }
  } else if (cell.rowSpan != 0 && cell.colSpan != 0) {
    lookup_.spanned.push_back(index);
  }
}

void UTableBase::AppendCell(CellInfo&& cell) {
  const bool current = LookupCurrent();
  cells.push_back(std::move(cell));
  if (!current) return;
  lookup_.version = cells.Version();
  AddToLookup(cells.size() - 1);
}

void UTableBase::EraseCell(std::size_t index) {
  const bool last = index + 1 == cells.size();
  if (!LookupCurrent()) {
    cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(index));
    return;
  }
  const uint16_t row = std::as_const(cells)[index].row;
  const uint16_t col = std::as_const(cells)[index].col;
  cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(index));
  // Dropping the last record moves no other; anything else is rebuilt.
  if (!last) return;
  lookup_.version = cells.Version();
  if (uint32_t* entry = GridEntry(row, col, false); entry != nullptr && *entry == index + 1) *entry = 0;
  const auto outside = lookup_.outside.find(CellKey(row, col));
  if (outside != lookup_.outside.end() && outside->second == index) lookup_.outside.erase(outside);
  if (!lookup_.spanned.empty() && lookup_.spanned.back() == index) lookup_.spanned.pop_back();
}

CellInfo& UTableBase::EditCell(std::size_t index) {
  const bool current = LookupCurrent();
  CellInfo& cell = cells[index];
  if (current) lookup_.version = cells.Version();
  return cell;
}

std::ptrdiff_t UTableBase::FindCellIndex(uint16_t row, uint16_t col) const {
  // A short list is walked faster than the lookup is kept.
  if (cells.size() <= kWalkedCells) {
    for (std::size_t i = 0; i < cells.size(); ++i)
      if (cells[i].Covers(row, col)) return static_cast<std::ptrdiff_t>(i);
    return -1;
  }
  EnsureLookup();
  std::ptrdiff_t found = -1;
  if (const uint32_t* entry = GridEntry(row, col, false); entry != nullptr && *entry != 0)
    found = static_cast<std::ptrdiff_t>(*entry) - 1;
  if (found < 0 && !lookup_.outside.empty()) {
    const auto outside = lookup_.outside.find(CellKey(row, col));
    if (outside != lookup_.outside.end()) found = static_cast<std::ptrdiff_t>(outside->second);
  }
  for (const std::size_t index : lookup_.spanned) {
    if (found >= 0 && static_cast<std::ptrdiff_t>(index) > found) break;
    if (cells[index].Covers(row, col)) return static_cast<std::ptrdiff_t>(index);
  }
  return found;
}

CellInfo* UTableBase::FindCell(uint16_t row, uint16_t col) {
  // Not through the mutable list: handing out a record is no change of the
  // list.
  return const_cast<CellInfo*>(std::as_const(*this).FindCell(row, col));
}

const CellInfo* UTableBase::FindCell(uint16_t row, uint16_t col) const {
  const std::ptrdiff_t index = FindCellIndex(row, col);
  return index < 0 ? nullptr : &cells[static_cast<std::size_t>(index)];
}

uint16_t UTableBase::FirstRowReaching(uint16_t row) const {
  uint16_t first = row;
  const auto reach = [row, &first](const CellInfo& cell) {
    // A record without columns covers nothing and is never drawn.
    if (cell.row < first && cell.colSpan != 0 && int{cell.row} + cell.rowSpan > row) first = cell.row;
  };
  // Only records with spans reach past their own row, and the lookup keeps
  // them apart.
  if (cells.size() <= kWalkedCells) {
    for (const CellInfo& cell : cells) reach(cell);
    return first;
  }
  EnsureLookup();
  for (const std::size_t index : lookup_.spanned) reach(cells[index]);
  return first;
}

void UTableBase::SetCellText(uint16_t row, uint16_t col, const std::string& text) {
  if (row >= GetRowCount() || col >= columnCount) return;
  const std::ptrdiff_t index = FindCellIndex(row, col);
  if (index >= 0) {
    CellInfo& cell = EditCell(static_cast<std::size_t>(index));
    cell.text = text;
    if (text.empty() && IsDefaultCell(cell)) EraseCell(static_cast<std::size_t>(index));
    return;
  }
  CellInfo cell;
  cell.row = row;
  cell.col = col;
  ApplyDefaults(cell);
  cell.text = text;
  AppendCell(std::move(cell));
}

bool UTableBase::AddCell(uint16_t row, uint16_t col, const std::string& text, uint32_t textColour,
                         uint32_t backColour) {
  if (row >= GetRowCount() || col >= columnCount || FindCellIndex(row, col) >= 0) return false;
  CellInfo cell;
  cell.row = row;
  cell.col = col;
  cell.text = text;
  cell.textColour = std::make_shared<uint32_t>(textColour);
  cell.backColour = std::make_shared<uint32_t>(backColour);
  cell.fontSize = defFontSize;
  cell.fontFace = defFontFace;
  cell.align = GetColumnAlign(col);
  AppendCell(std::move(cell));
  return true;
}

void UTableBase::SetCellTextSz(uint16_t row, uint16_t col, const char* source) {
  std::string text;
  const auto value = reinterpret_cast<std::uintptr_t>(source);
  if (source == nullptr) {
    // the empty text
  } else if (value <= 0xFFFF) {
    text = LoadResourceString(static_cast<uint32_t>(value));
  } else {
    text = source;
  }
  SetCellText(row, col, text);
}

std::string UTableBase::GetCellText(uint16_t row, uint16_t col) const {
  const CellInfo* cell = FindCell(row, col);
  return cell != nullptr ? cell->text : std::string();
}

template <class T, class SharedFor>
void UTableBase::SetAttribute(std::ptrdiff_t index, uint16_t row, uint16_t col,
                              std::shared_ptr<T> CellInfo::*member, const T& value, SharedFor sharedFor) {
  if (index < 0) {
    CellInfo cell;
    cell.row = row;
    cell.col = col;
    ApplyDefaults(cell);
    cell.*member = std::make_shared<T>(value);
    AppendCell(std::move(cell));
    return;
  }
  CellInfo& cell = EditCell(static_cast<std::size_t>(index));
  std::shared_ptr<T>& attribute = cell.*member;
  if (attribute && attribute != sharedFor(cell)) {
    *attribute = value;
    if (IsDefaultCell(cell)) EraseCell(static_cast<std::size_t>(index));
    return;
  }
  // Never write through an inherited attribute: that would change the
  // default of every cell.
  attribute = std::make_shared<T>(value);
}

void UTableBase::SetCellTextColour(uint16_t row, uint16_t col, uint32_t colour) {
  SetAttribute(FindCellIndex(row, col), row, col, &CellInfo::textColour, colour,
               [this](const CellInfo&) -> const auto& { return defTextColour; });
}

void UTableBase::SetCellBackColour(uint16_t row, uint16_t col, uint32_t colour) {
  SetAttribute(FindCellIndex(row, col), row, col, &CellInfo::backColour, colour,
               [this](const CellInfo&) -> const auto& { return defBackColour; });
}

void UTableBase::ResetCellBackColour(uint16_t row, uint16_t col) {
  const std::ptrdiff_t index = FindCellIndex(row, col);
  if (index < 0) return;
  CellInfo& cell = EditCell(static_cast<std::size_t>(index));
  cell.backColour.reset();
  if (IsDefaultCell(cell)) EraseCell(static_cast<std::size_t>(index));
}

void UTableBase::ResetRowBackColour(uint16_t row) {
  for (std::size_t i = 0; i < cells.size();) {
    CellInfo& cell = cells[i];
    if (cell.row == row) {
      cell.backColour.reset();
      if (IsDefaultCell(cell)) {
        cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(i));
        continue;
      }
    }
    ++i;
  }
}

void UTableBase::CenterHeaderCell(uint16_t col) {
  // A record inherits the default of its own first column (ApplyDefaults);
  // under a span that may be another column than col.
  SetAttribute(FindCellIndex(0, col), 0, col, &CellInfo::align, kCellAlignCentre,
               [this](const CellInfo& cell) -> const auto& { return GetColumnAlign(cell.col); });
}

void UTableBase::SetHeaderFontSize(uint16_t col, int size) {
  SetAttribute(FindCellIndex(0, col), 0, col, &CellInfo::fontSize, size,
               [this](const CellInfo&) -> const auto& { return defFontSize; });
}

const std::shared_ptr<uint32_t>& UTableBase::GetColumnAlign(uint16_t col) const {
  // A reference, not a copy: the painting and the setters ask per cell.
  static const std::shared_ptr<uint32_t> none;
  return col < columnAligns.size() ? columnAligns[col] : none;
}

void UTableBase::ApplyDefaults(CellInfo& cell) const {
  cell.textColour = defTextColour;
  cell.backColour = defBackColour;
  cell.fontSize = defFontSize;
  cell.fontFace = defFontFace;
  cell.align = GetColumnAlign(cell.col);
}

bool UTableBase::IsDefaultCell(const CellInfo& cell) const {
  return cell.rowSpan == 1 && cell.colSpan == 1 && cell.text.empty() &&
         InheritsValue(cell.textColour, defTextColour) && InheritsValue(cell.backColour, defBackColour) &&
         InheritsValue(cell.fontSize, defFontSize) && InheritsValue(cell.fontFace, defFontFace) &&
         InheritsValue(cell.align, GetColumnAlign(cell.col));
}

}  // namespace NsOvrin
