#include "dialogs/CDlgProtOvTable.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <vector>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "QlUiElem/QlUiOvList.h"
#include "common/Log.h"
#include "common/PathUtil.h"
#include "common/StrFile.h"
#include "common/UiValidation.h"
#include "dialogs/DecimalText.h"
#include "dialogs/ProtFillers.h"
#include "dialogs/VisibilityBlock.h"
#include "editor/QlEHostOvList.h"
#include "element_io/QlOvListIo.h"
#include "platform/Format.h"
#include "project_persistence/IoTableCsv.h"
#include "termination/AddrBinder.h"
#include "termination/ChannelManager.h"
#include "termination/Node.h"
#include "termination/NodeMem.h"
#include "wui/CColorButton.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/OvReportCtrl.h"
#include "wui/RtConfirmEdit.h"
#include "wui/RtEdit.h"
#include "wui/UiServices.h"

namespace NsOvrin {

using NsPlatform::StrFormat;
using NsQlElemEditor::QlEHostElem;
using NsQlElemEditor::QlEHostOvList;
using NsQlElemIo::QlOvListIo;
using NsQlUiElem::QlUiButton;
using NsQlUiElem::QlUiOvList;
using NsTermination::AddrCheckCode;
using NsTermination::Node;
using NsTermination::TermAddr;
using NsWui::CColorButton;
using NsWui::CConfirmEditCtrl;
using NsWui::GetUiServices;
using NsWui::OvReportCtrl;

namespace {

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  NsWui::SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

QPushButton* MakeButton(QWidget* parent, int id, const char* text, const QRect& rect) {
  auto* button = Make<QPushButton>(parent, id, rect);
  button->setText(QString::fromUtf8(text));
  button->setAutoDefault(false);
  return button;
}

CColorButton* MakeColourButton(QWidget* parent, int id, const char* text, const QRect& rect) {
  auto* button = Make<CColorButton>(parent, id, rect);
  button->setText(QString::fromUtf8(text));
  return button;
}

constexpr int kPageHeight = 720;
constexpr int kGridRowHeight = 32;
constexpr uint32_t kHeaderText = 0x555555;
constexpr uint32_t kHeaderBack = 0xC0C0C0;
// Grid rows are 16-bit: the header and at most this many rows below it.
constexpr std::size_t kMaxGridRows = 0xFFFE;

struct GridColumn {
  const char* header;
  int width;
  uint32_t align;
};
constexpr GridColumn kGridColumns[] = {
    {"描 述", 200, kCellAlignRight},
    {"地 址", 80, kCellAlignCentre},
    {"提示信息", 320, kCellAlignLeft},
};

std::shared_ptr<QlUiOvList> OvListUi(const QlEHostElem& host) {
  return std::dynamic_pointer_cast<QlUiOvList>(host.GetUi());
}
std::shared_ptr<QlOvListIo> OvListIo(const QlEHostElem& host) {
  return std::dynamic_pointer_cast<QlOvListIo>(host.GetIo());
}

// The larger of the two counts: a missing entry reads as an empty text.
std::size_t RowCountOf(const QlEHostOvList& host) {
  const std::size_t descriptions = host._qlUi ? host._qlUi->data.descriptions.size() : 0;
  const std::size_t addresses = host._qlIo ? host._qlIo->rowAddresses.size() : 0;
  return std::max(descriptions, addresses);
}

// A width the table can hold: the rule lets any number of 10 or more
// through, and one beyond the float range must not become a float.
float ToColumnWidth(double value) {
  if (!(value <= std::numeric_limits<float>::max())) return std::numeric_limits<float>::max();
  return static_cast<float>(value);
}

// One end of a range fill, resolved.
struct RangeEnd {
  std::string device;
  OneWayWrapper<Node> node;
  TermAddr addr;
};

// The trimmed text of the edit resolved; a refusal is a tip on the edit.
bool ReadRangeEnd(QLineEdit* edit, const char* emptyText, const char* errorFormat,
                  RangeEnd& end) {
  std::string text = edit->text().toStdString();
  NsTermination::TrimBlanks(text);
  if (text.empty()) {
    GetUiServices().ShowBalloonTip(edit, "提示", emptyText);
    return false;
  }
  const AddrCheckCode code =
      NsTermination::ResolveDeviceAddress(text, &end.device, &end.node, &end.addr);
  if (code != NsTermination::kAddrOk) {
    GetUiServices().ShowBalloonTip(
        edit, "提示", StrFormat(errorFormat, NsTermination::GetAddrCheckMessage(code).c_str()));
    return false;
  }
  return true;
}

bool SameAddress(const TermAddr& a, const TermAddr& b) {
  return a.prefix == b.prefix && a.start == b.start && a.count == b.count && a.kind == b.kind &&
         a.writable == b.writable;
}

}  // namespace

bool CDlgProtOvTable::ValidateColumnWidth(const std::string& text, std::string& message) {
  UiRule rule("列宽度");
  rule.AddSegment(new NsUiRule::UiRuleSegRequired);
  rule.AddSegment(new NsUiRule::UiRuleSegFloatRange(10.0, 0.0, NsUiRule::kBoundLower, 2));
  return rule.Check(text, message);
}

bool CDlgProtOvTable::ValidateRowAddress(const std::string& text, std::string& message) {
  const AddrCheckCode code = NsTermination::CheckDeviceAddressKind(text, NsTermination::kKindBit);
  if (code == NsTermination::kAddrOk) return true;
  message = NsTermination::GetAddrCheckMessage(code);
  return false;
}

CDlgProtOvTable::CDlgProtOvTable(QWidget* parent) : ProtDialog(parent, *this) {
  int y = AddGroup(IDC_LINE_TITLE, IDC_CAPTION_TITLE, "表头标签", 4);
  title_ = Make<QLineEdit>(this, IDC_TITLE, QRect(kMargin, y, kInnerWidth, 22));
  y += 30;
  titleColour_ = MakeColourButton(this, IDC_TITLE_COLOR, "文字颜色", QRect(kMargin, y, 105, 28));
  titleBkColour_ = MakeColourButton(this, IDC_TITLE_BK_COLOR, "背景颜色", QRect(122, y, 105, 28));
  fontSize_ = Make<QComboBox>(this, IDC_FONT_SIZE, QRect(240, y + 3, 80, 22));
  y += 36;

  y = AddGroup(IDC_LINE_WIDTH, IDC_CAPTION_WIDTH, "列宽度", y);
  AddStatic("第一列:", QRect(kMargin, y + 2, 60, 20));
  colWidth1_ = Make<CConfirmEditCtrl>(this, IDC_COL_WIDTH1, QRect(74, y, 110, 22));
  y += 28;
  AddStatic("第二列:", QRect(kMargin, y + 2, 60, 20));
  colWidth2_ = Make<CConfirmEditCtrl>(this, IDC_COL_WIDTH2, QRect(74, y, 110, 22));
  y += 32;

  y = AddGroup(IDC_LINE_ROWS, IDC_CAPTION_ROWS, "表格编辑", y);
  AddStatic("起始点位:", QRect(kMargin, y + 2, 64, 20));
  start_ = Make<QLineEdit>(this, IDC_START, QRect(78, y, 150, 22));
  y += 28;
  AddStatic("结束点位:", QRect(kMargin, y + 2, 64, 20));
  end_ = Make<QLineEdit>(this, IDC_END, QRect(78, y, 150, 22));
  QPushButton* add = MakeButton(this, IDC_ADD, "添 加", QRect(236, y - 1, 84, 24));
  y += 30;
  QPushButton* clear = MakeButton(this, IDC_CLEAR, "清 空", QRect(kMargin, y, 60, 26));
  QPushButton* remove = MakeButton(this, IDC_DELETE, "删除勾选的行", QRect(74, y, 104, 26));
  QPushButton* exportButton = MakeButton(this, IDC_EXPORT, "导 出", QRect(182, y, 66, 26));
  QPushButton* importButton = MakeButton(this, IDC_IMPORT, "导 入", QRect(252, y, 68, 26));
  y += 32;
  grid_ = new OvReportCtrl(1, 3, 0, this);
  NsWui::SetDlgItemId(grid_, IDC_GRID);
  grid_->setGeometry(kMargin, y, kInnerWidth, kPageHeight - 6 - y);

  connect(title_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (loading) return;
    SetIoTableTitle(text.toStdString());
    NotifyChanged();
  });
  connect(fontSize_, &QComboBox::activated, this, [this] {
    if (fontSize_->currentIndex() < 0) return;
    SetIoTableTitleFontSize(fontSize_->currentText().toStdString());
    NotifyChanged();
  });
  connect(add, &QPushButton::clicked, this, [this] { OnRangeFill(); });
  connect(clear, &QPushButton::clicked, this, [this] { OnClear(); });
  connect(remove, &QPushButton::clicked, this, [this] { OnDeleteChecked(); });
  connect(exportButton, &QPushButton::clicked, this, [this] { OnExport(); });
  connect(importButton, &QPushButton::clicked, this, [this] { OnImport(); });

  OnInitDialog();
  MeasureContent(kPageHeight);
  NodeDbListener::Register(this);
}

CDlgProtOvTable::~CDlgProtOvTable() {
  // No notification may reach a page that is going away; a reload already
  // queued goes with the window.
  std::erase(NodeDbListener::GetRegistry(), static_cast<NodeDbListener*>(this));
  // The editors call into this page; they go before its members do.
  grid_->DestroyEditors();
}

void CDlgProtOvTable::OnInitDialog() {
  grid_->rowHeight = kGridRowHeight;
  grid_->columnWidths.SetResizable(true);
  for (uint16_t col = 0; col < 3; ++col) {
    const GridColumn& column = kGridColumns[col];
    grid_->SetColumnWidth(col, column.width);
    if (const auto align = grid_->GetColumnAlign(col)) *align = column.align;
    grid_->SetCellText(0, col, column.header);
    grid_->SetCellTextColour(0, col, kHeaderText);
    grid_->SetCellBackColour(0, col, kHeaderBack);
    grid_->CenterHeaderCell(col);
  }

  auto description = grid_->MakeEdit();
  description->changeHook = [this](std::string& text) { CommitDescription(text); };
  grid_->AddColumnWndEditor(kColDescription, description, 1);
  auto address = grid_->MakeConfirmEdit();
  address->validator = [](const std::string&, const std::string& text, std::string& message) {
    return ValidateRowAddress(text, message);
  };
  address->changeHook = [this](std::string& text) { CommitAddress(text); };
  grid_->AddColumnEditor(kColAddress, address, 1);

  FillFontSizeCombo(*fontSize_);
}

std::shared_ptr<QlEHostOvList> CDlgProtOvTable::AnchoredTable() const {
  return std::dynamic_pointer_cast<QlEHostOvList>(GetAnchoredHost(selection));
}

void CDlgProtOvTable::Bind(const Selection& elems) {
  // An editor left open would write its text into the new selection.
  grid_->EndEdit();
  selection = elems;
  const auto anchored = GetAnchored();
  const auto ui = anchored ? OvListUi(*anchored) : nullptr;
  loading = true;

  title_->setText(QString::fromStdString(ui ? ui->table.title.text : std::string()));

  if (anchored) {
    titleColour_->swatchColour = ui ? ui->table.title.textColour : 0;
    titleColour_->update();
    titleColour_->colourListener = [this](uint32_t colour) {
      SetIoTableTitleColor(colour);
      NotifyChanged();
    };
  }
  SelectFontSize(*fontSize_, ui ? ui->table.title.fontSize : 110);
  if (anchored) {
    titleBkColour_->swatchColour = ui ? ui->table.title.backColour : 0;
    titleBkColour_->update();
    titleBkColour_->colourListener = [this](uint32_t colour) {
      SetIoTableTitleBkColor(colour);
      NotifyChanged();
    };
  }

  LoadColumnWidthEdit(*colWidth1_, 0);
  LoadColumnWidthEdit(*colWidth2_, 1);

  ReloadGrid(AnchoredTable());
  loading = false;
}

void CDlgProtOvTable::LoadColumnWidthEdit(CConfirmEditCtrl& edit, std::size_t column) {
  const auto anchored = GetAnchored();
  const auto ui = anchored ? OvListUi(*anchored) : nullptr;
  ResetConfirmEdit(edit);
  edit.setText(QString::fromStdString(
      ui ? StrFormat("%.2f", static_cast<double>(ui->table.columnWidths.Width(column)))
         : std::string("0")));
  edit.validator = [](const std::string&, const std::string& text, std::string& message) {
    return ValidateColumnWidth(text, message);
  };
  edit.formatter = [this, column](const std::string&, std::string& text) {
    SetIoTableColumnWidth(column, ToColumnWidth(ParseDecimalText(text)));
    NotifyChanged();
  };
}

void CDlgProtOvTable::Hide() {
  grid_->EndEdit();
  UiElemProtEditor::Hide();
}

void CDlgProtOvTable::OnBlocksChanged(const OneWayWrapper<NsTermination::Node>&) {
  // The elements are checked again by other listeners of the same
  // notification: the grid is read once all of them have been told.
  QMetaObject::invokeMethod(this, [this] { OnReloadGrid(); }, Qt::QueuedConnection);
}

void CDlgProtOvTable::OnNodeDbChanged() {
  QMetaObject::invokeMethod(this, [this] { OnReloadGrid(); }, Qt::QueuedConnection);
}

void CDlgProtOvTable::OnRunModeChanged(bool) {}

void CDlgProtOvTable::OnReloadGrid() {
  if (selection.empty()) return;
  ReloadGrid(AnchoredTable());
}

// The grid.

void CDlgProtOvTable::ClearGrid() {
  grid_->SetRowCount(1);
  grid_->currentRow = UTableBase::kNoRow;
  grid_->UpdateVScrollBar();
}

void CDlgProtOvTable::ReloadGrid(const std::shared_ptr<QlEHostOvList>& host) {
  if (!host) return;
  ClearGrid();
  const std::size_t rows = std::min(RowCountOf(*host), kMaxGridRows);
  for (std::size_t i = 0; i < rows; ++i) AppendGridRow(host);
  grid_->viewport()->update();
}

void CDlgProtOvTable::AppendGridRow(const std::shared_ptr<QlEHostOvList>& host) {
  const uint16_t n = grid_->GetRowCount();
  // The grid has room for no more rows, or the host has no row to show.
  if (n > kMaxGridRows || (n > 0 && (!host || n - 1u >= RowCountOf(*host)))) return;
  grid_->SetRowCount(static_cast<uint16_t>(n + 1));
  grid_->UpdateVScrollBar();
  if (n == 0) return;
  const std::size_t index = n - 1u;
  if (NsWui::OvLineInfo* line = grid_->GetLineInfo(n)) line->boxShown = true;
  grid_->SetCellText(n, kColDescription, host->GetRowDescription(static_cast<unsigned>(index)));
  grid_->SetCellText(n, kColAddress, host->GetRowAddress(static_cast<unsigned>(index)));
  const QlUiOvList* ui = host->_qlUi.get();
  const QlUiButton* lamp =
      ui && index < ui->statusButtons.size() ? ui->statusButtons[index].get() : nullptr;
  if (lamp != nullptr && lamp->inError) {
    grid_->SetCellText(n, kColHint, lamp->errorText);
    for (uint16_t col = 0; col < 3; ++col) grid_->SetCellBackColour(n, col, kErrorRowBack);
  } else {
    grid_->SetCellText(n, kColHint, "");
    grid_->ResetRowBackColour(n);
  }
}

void CDlgProtOvTable::CommitDescription(const std::string& text) {
  const int row = grid_->editRow;
  if (row < 1) return;
  SetIoTableRowDescription(static_cast<std::size_t>(row - 1), text);
  NotifyChanged();
}

void CDlgProtOvTable::CommitAddress(std::string& text) {
  const int row = grid_->editRow;
  if (row < 1) return;
  // The cell shows what is stored.
  NsTermination::TrimBlanks(text);
  SetIoTableRowAddress(static_cast<std::size_t>(row - 1), text);
  const auto gridRow = static_cast<uint16_t>(row);
  grid_->ResetRowBackColour(gridRow);
  grid_->SetCellText(gridRow, kColHint, "");
  grid_->viewport()->update();
  NotifyChanged();
}

// The operations on the selection.

void CDlgProtOvTable::SetIoTableTitle(const std::string& text) {
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    const auto ui = OvListUi(host);
    if (!ui) return false;
    ui->data.title = text;
    ui->table.title.text = text;
    return true;
  });
}

void CDlgProtOvTable::SetIoTableTitleColor(uint32_t colour) {
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    const auto ui = OvListUi(host);
    if (!ui) return false;
    ui->table.title.textColour = colour;
    return true;
  });
}

void CDlgProtOvTable::SetIoTableTitleBkColor(uint32_t colour) {
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    const auto ui = OvListUi(host);
    if (!ui) return false;
    ui->table.title.backColour = colour;
    return true;
  });
}

void CDlgProtOvTable::SetIoTableTitleFontSize(const std::string& text) {
  const int32_t size = LeadingInt(text) * 10;
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    const auto ui = OvListUi(host);
    if (!ui) return false;
    ui->table.title.fontSize = size;
    return true;
  });
}

void CDlgProtOvTable::SetIoTableColumnWidth(std::size_t column, float width) {
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    const auto ui = OvListUi(host);
    if (!ui) return false;
    ui->SetColumnWidth(column, width);
    return true;
  });
}

void CDlgProtOvTable::SetIoTableRowDescription(std::size_t row, const std::string& text) {
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    const auto ui = OvListUi(host);
    if (!ui) return false;
    const auto io = OvListIo(host);
    // A row that has an address but no description yet (a page whose lists
    // differ in length) gets its description instead of losing the edit.
    bool grown = false;
    while (io && ui->data.descriptions.size() <= row && row < io->rowAddresses.size()) {
      if (!ui->AddRow(std::string())) break;
      grown = true;
    }
    if (row >= ui->data.descriptions.size()) return false;
    ui->data.descriptions[row] = text;
    if (row + 1 <= kMaxGridRows) ui->table.SetCellText(static_cast<uint16_t>(row + 1), 0, text);
    if (grown) {
      // The new lamps are checked and marked selected like appended rows.
      host.Revalidate();
      host.SetSelected(true);
    }
    return true;
  });
}

void CDlgProtOvTable::SetIoTableRowAddress(std::size_t row, const std::string& text) {
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    const auto io = OvListIo(host);
    if (!io) return false;
    if (row < io->rowAddresses.size()) {
      io->SetRowAddress(row, text);
      return true;
    }
    // A row that has a description but no address yet (a page whose lists
    // differ in length) gets its address instead of losing the edit; the
    // row bindings are built again for the longer list.
    const auto ui = OvListUi(host);
    if (!ui || row >= ui->data.descriptions.size()) return false;
    io->rowAddresses.resize(row + 1);
    io->rowAddresses[row] = text;
    NsTermination::TrimBlanks(io->rowAddresses[row]);
    host.Revalidate();
    return true;
  });
}

bool CDlgProtOvTable::AppendIoTableRow(const std::string& description,
                                       const std::string& address) {
  bool taken = false;
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    const auto ui = OvListUi(host);
    const auto io = OvListIo(host);
    if (!ui || !io) return false;
    // A full table takes neither half of the row: the two lists stay in
    // step.
    if (!ui->AddRow(description)) return false;
    io->rowAddresses.push_back(address);
    taken = true;
    return true;
  });
  if (!taken) return false;
  // The new lamp is shown as selected, like the rest of the element. Its
  // check waits for the caller's RevalidateSelection after the last row:
  // binding every row again for each new one made long fills quadratic.
  ForEachSelectedHost(FollowUp::None, [](QlEHostElem& host) {
    host.SetSelected(true);
    return true;
  });
  return true;
}

void CDlgProtOvTable::RemoveIoTableRow(std::size_t row) {
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    const auto ui = OvListUi(host);
    const auto io = OvListIo(host);
    if (!ui || !io) return false;
    ui->RemoveRow(row);
    if (row < io->rowAddresses.size())
      io->rowAddresses.erase(io->rowAddresses.begin() + static_cast<std::ptrdiff_t>(row));
    return true;
  });
}

void CDlgProtOvTable::ClearIoTableRows() {
  ForEachSelectedHost(FollowUp::None, [](QlEHostElem& host) {
    const auto ui = OvListUi(host);
    const auto io = OvListIo(host);
    if (ui) {
      ui->data.descriptions.clear();
      ui->table.SetRowCount(1);
      ui->table.currentRow = UTableBase::kNoRow;
      ui->table.UpdateContentHeight();
      ui->statusButtons.clear();
    }
    if (io) io->rowAddresses.clear();
    return ui || io;
  });
}

void CDlgProtOvTable::RevalidateSelection() {
  ForEachSelectedHost(FollowUp::Revalidate, [](QlEHostElem&) { return true; });
}

// The buttons.

void CDlgProtOvTable::OnClear() {
  grid_->EndEdit();
  ClearGrid();
  grid_->viewport()->update();
  ClearIoTableRows();
  RevalidateSelection();
  NotifyChanged();
}

void CDlgProtOvTable::OnDeleteChecked() {
  grid_->EndEdit();
  bool removed = false;
  uint16_t row = 1;
  while (row < grid_->GetRowCount()) {
    const NsWui::OvLineInfo* line = grid_->GetLineInfo(row);
    if (line == nullptr || !line->boxShown || line->ticked != 1) {
      ++row;
      continue;
    }
    RemoveIoTableRow(row - 1u);
    // The rows below move up: the same row number is looked at again.
    grid_->RemoveRow(row);
    grid_->UpdateVScrollBar();
    removed = true;
  }
  if (!removed) return;
  RevalidateSelection();
  grid_->viewport()->update();
  NotifyChanged();
}

void CDlgProtOvTable::OnRangeFill() {
  RangeEnd first;
  RangeEnd last;
  if (!ReadRangeEnd(start_, "起始地址不能为空!", "起始地址异常: %s", first)) return;
  if (!ReadRangeEnd(end_, "结束地址不能为空!", "结束地址异常: %s", last)) return;
  if (first.device != last.device) {
    GetUiServices().MessageBox(this, "起始和结束地址的节点不同.", "提示", NsWui::MB_ICONERROR);
    return;
  }
  if (first.addr.prefix != last.addr.prefix) {
    GetUiServices().MessageBox(this, "起始和结束地址的类型不同.", "提示", NsWui::MB_ICONERROR);
    return;
  }

  // Either order; an address in range form counts with its first unit.
  const uint32_t lo = std::min(first.addr.start, last.addr.start);
  const uint32_t hi = std::max(first.addr.start, last.addr.start);
  TermAddr current = first.addr;
  current.start = lo;
  current.count = 1;
  TermAddr lastAddr = last.addr;
  lastAddr.start = hi;
  lastAddr.count = 1;

  grid_->EndEdit();
  const auto anchored = AnchoredTable();
  for (;;) {
    std::string text;
    if (const auto node = first.node.Lock()) text = node->FormatAddress(current);
    const std::string address =
        NsTermination::NormalizeDeviceAddress(StrFormat("%s.%s", first.device.c_str(), text.c_str()));
    if (!AppendIoTableRow(text, address) || SameAddress(current, lastAddr)) break;
    // Every step moves forward and the last address lies ahead, so the loop
    // ends even where the two ends disagree on something beyond the number.
    const uint32_t before = current.start;
    const auto node = first.node.Lock();
    if (!node || !node->GetNodeMem() || !node->GetNodeMem()->StepAddress(current)) break;
    if (current.start <= before || current.start > hi) break;
  }
  RevalidateSelection();
  // The grid shows the rows as their checks left them.
  ReloadGrid(anchored);
  NotifyChanged();
}

void CDlgProtOvTable::OnExport() {
  const auto anchored = AnchoredTable();
  if (!anchored) return;
  const std::string title = anchored->_qlUi ? anchored->_qlUi->table.title.text : std::string();
  std::string path;
  if (!GetUiServices().GetSaveFileName(this, kCsvFilter, kCsvExtension, title, path) ||
      path.empty()) {
    return;
  }
  // A file that cannot be written keeps what it held; the user is told.
  const auto fail = [this](const std::string& failure) {
    OV_LOG(8).AppendText(failure);
    GetUiServices().MessageBox(this, failure, "提示", NsWui::MB_ICONERROR);
  };
  WFileACP file;
  if (!file.Open(path, CreationDisposition::CreateAlways)) {
    const int error = errno;
    fail(StrFormat("无法打开文件(错误代码 %d): %s", error, path.c_str()));
    return;
  }
  file.WriteLine(kCsvHeader);
  const std::size_t rows = RowCountOf(*anchored);
  for (std::size_t i = 0; i < rows; ++i) {
    file.WriteLine(StrFormat("%s,%s", anchored->GetRowAddress(static_cast<unsigned>(i)).c_str(),
                             anchored->GetRowDescription(static_cast<unsigned>(i)).c_str()));
  }
  // Close puts the file in place only when every line went out.
  if (!file.Close()) {
    const int error = errno;
    fail(StrFormat("写入文件失败(错误代码 %d): %s", error, path.c_str()));
  }
}

void CDlgProtOvTable::OnImport() {
  std::string path;
  if (!GetUiServices().GetOpenFileName(this, kCsvFilter, std::string(), path)) return;
  std::vector<std::pair<std::string, std::string>> rows;
  if (!ReadIoTableCsv(path, rows)) {
    GetUiServices().MessageBox(this, "读取文件失败.", "提示", NsWui::MB_ICONERROR);
    return;
  }
  grid_->EndEdit();
  ClearIoTableRows();
  ClearGrid();
  for (const auto& [address, description] : rows) AppendIoTableRow(description, address);
  RevalidateSelection();
  // The grid shows the rows as their checks left them.
  ReloadGrid(AnchoredTable());
  grid_->viewport()->update();
  NotifyChanged();
}

}  // namespace NsOvrin
