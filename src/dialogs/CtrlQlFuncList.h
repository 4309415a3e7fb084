#pragma once
// The grid in which the user edits an instruction list: one row per line,
// the line in column 0 and the checker's message in column 1 when the line
// is wrong, then one empty entry row for a new line. Lines are edited in
// place with a confirm edit that refuses an invalid line; an accepted line
// is stored in its canonical form. Ticked rows go on request. Every change
// reaches the bound list at once, marks the project modified and is
// reported through linesChanged.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "wui/OvReportCtrl.h"

namespace NsOvrin {

class CtrlQlFuncList : public NsWui::OvReportCtrl {
 public:
  static constexpr uint32_t kGridBack = 0xF0F0F0;
  static constexpr uint32_t kEntryBack = 0xFFFFFF;
  static constexpr uint32_t kValidBack = 0xF8F8F8;
  static constexpr uint32_t kInvalidBack = 0xB2D3D6;
  static constexpr uint32_t kMessageText = 0x62837C;

  explicit CtrlQlFuncList(QWidget* parent = nullptr);
  ~CtrlQlFuncList() override;

  // Once, after the window exists: widths, header and the line editor.
  void SetupColumns();
  // After _exprArr was set or changed: the header alone while unbound,
  // else one checked row per line and the entry row.
  void ReloadRows();
  // Fills and judges the row of line index.
  void CheckRow(uint16_t index);
  // The change hook of the line editor: stores the canonical text.
  void CommitEdit(std::string& text);
  // True when a ticked row (and its line) was removed.
  bool DeleteCheckedRows();

  // The bound list, not owned; the owner keeps it alive while bound.
  std::vector<std::string>* _exprArr = nullptr;
  // Called after a line was stored or removed; may be empty.
  std::function<void()> linesChanged;
};

}  // namespace NsOvrin
