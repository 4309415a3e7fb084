#pragma once
// Drives an instruction table as the user would: a click on a line cell
// opens its editor, typed text is confirmed with Enter, a click on a row's
// box ticks it. Reads back the grid's rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QTest>

#include "KeyTyping.h"
#include "dialogs/CtrlQlFuncList.h"
#include "support/ScriptedUiServices.h"
#include "wui/RtConfirmEdit.h"

namespace NsOvrin::Testing {

struct FuncRow {
  std::string line;
  std::string message;
  bool boxShown = false;
  bool operator==(const FuncRow&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const FuncRow& row) {
  return out << "{\"" << row.line << "\", \"" << row.message << "\", " << row.boxShown << "}";
}

// Rows 1 to the last; the header is left out.
inline std::vector<FuncRow> FuncRows(CtrlQlFuncList& table) {
  std::vector<FuncRow> rows;
  for (uint16_t r = 1; r < table.GetRowCount(); ++r) {
    rows.push_back({table.GetCellText(r, 0), table.GetCellText(r, 1), table.IsRowBoxShown(r)});
  }
  return rows;
}

inline NsWui::CConfirmEditCtrl* OpenLineEditor(CtrlQlFuncList& table, int row) {
  const QRect cell = table.GetCellRect(row, 0).ToQRect();
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
  auto* editor = dynamic_cast<NsWui::RtConfirmEdit*>(table.CurrentEditor().get());
  return editor ? editor->Control() : nullptr;
}

// Types the line into the row's editor and presses Enter; the texts of the
// balloon tips it caused, each checked to be titled "提示".
inline std::vector<std::string> EnterLine(CtrlQlFuncList& table, NsWui::ScriptedUiServices& ui, int row,
                                          const std::string& text) {
  NsWui::CConfirmEditCtrl* edit = OpenLineEditor(table, row);
  EXPECT_TRUE(edit);
  if (!edit) return {"no editor"};
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  if (!text.empty()) TypeText(edit, text);
  ui.calls.clear();
  QTest::keyClick(edit, Qt::Key_Return);
  std::vector<std::string> tips;
  for (const NsWui::UiCall& call : ui.CallsOf(NsWui::UiCall::Kind::BalloonTip)) {
    EXPECT_EQ(call.caption, "提示");
    tips.push_back(call.text);
  }
  return tips;
}

inline void TickRow(CtrlQlFuncList& table, int row) {
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, table.GetRowBoxRect(row).ToQRect().center());
}

}  // namespace NsOvrin::Testing
