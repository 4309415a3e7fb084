#include "dialogs/CDlgAlarmCfg.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <shared_mutex>

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "common/Log.h"
#include "dialogs/AlarmGroupEdits.h"
#include "dialogs/CDlgNewAlarm.h"
#include "platform/Format.h"
#include "project/QlEProject.h"
#include "project_persistence/AlarmListCsv.h"
#include "termination/ChannelManager.h"
#include "wui/CColorfulStatic.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/GridLineDelegate.h"
#include "wui/OvReportCtrl.h"
#include "wui/RtEdit.h"
#include "wui/UiServices.h"
#include "wui/WReportCtrl.h"

namespace NsOvrin {

using NsAlarm::AlarmManager;
using NsAlarm::AlarmSeg;
using NsAlarm::AlarmSegCvb;
using NsPlatform::StrFormat;
using NsWui::CConfirmEditCtrl;

namespace {

constexpr const char* kCsvFilter = "csv文件|*.csv||";
// The list's rows are as high as the images of its row image list.
constexpr int kGroupRowHeight = 26;
constexpr int kMessageRowHeight = 32;
// A table has at most this many rows.
constexpr std::size_t kMaxTableRows = 0xFFFF;

constexpr uint32_t kStatusErrorText = 0x333333;
constexpr uint32_t kStatusErrorBack = 0xB2D3D6;
constexpr uint32_t kStatusRangeText = 0x666666;
constexpr uint32_t kStatusRangeBack = 0xF0F0F0;

void MarkModified() { QlEProject::Instance().modified = true; }

std::string AddressOf(const AlarmSeg* group) {
  const auto* bound = dynamic_cast<const AlarmSegCvb*>(group);
  return bound != nullptr ? bound->GetAddress() : std::string();
}

QString CountText(const AlarmSeg* group) {
  return QString::fromStdString(
      StrFormat("%u", static_cast<unsigned>(group != nullptr ? group->GetCount() : 0)));
}

QLabel* AddLabel(QWidget* dialog, const char* text, const QRect& rect) {
  auto* label = new QLabel(QString::fromUtf8(text), dialog);
  label->setGeometry(rect);
  return label;
}

QPushButton* AddButton(QWidget* dialog, const char* text, int id, const QRect& rect) {
  auto* button = new QPushButton(QString::fromUtf8(text), dialog);
  NsWui::SetDlgItemId(button, id);
  // Enter does nothing in this dialog, on a button neither.
  button->setAutoDefault(false);
  button->setGeometry(rect);
  return button;
}

CConfirmEditCtrl* AddConfirmEdit(QWidget* dialog, int id, const QRect& rect) {
  auto* edit = new CConfirmEditCtrl(dialog);
  NsWui::SetDlgItemId(edit, id);
  edit->setGeometry(rect);
  return edit;
}

}  // namespace

// No OK step: the changes take effect while the dialog is open.
CDlgAlarmCfg::CDlgAlarmCfg(QWidget* parent)
    : NsWui::CModalDialog(parent, NsWui::CModalDialog::Keys::kIgnoreEnterEsc) {
  setWindowTitle(QStringLiteral("警报配置"));

  AddLabel(this, "历史警报个数:", QRect(12, 15, 100, 20));
  histEdit = AddConfirmEdit(this, IDC_HIST_COUNT, QRect(112, 12, 100, 24));
  // Digits only, as typed.
  histEdit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), histEdit));
  QPushButton* add = AddButton(this, "添加警报组", IDC_ADD, QRect(12, 46, 120, 26));
  QPushButton* remove = AddButton(this, "删除勾选的项", IDC_DELETE, QRect(142, 46, 120, 26));

  groupList = new NsWui::WReportCtrl(this);
  NsWui::SetDlgItemId(groupList, IDC_GROUPS);
  groupList->setGeometry(12, 80, 320, 400);
  groupList->setSelectionMode(QAbstractItemView::SingleSelection);
  groupList->setSelectionBehavior(QAbstractItemView::SelectRows);
  groupList->setAllColumnsShowFocus(true);
  groupList->header()->setStretchLastSection(false);
  NsWui::ShowGridLines(*groupList);

  constexpr int kRight = 348;
  AddLabel(this, "警报组起始地址:", QRect(kRight, 15, 130, 20));
  addressEdit = AddConfirmEdit(this, IDC_ADDRESS, QRect(kRight + 130, 12, 220, 24));
  AddLabel(this, "设置此组警报总个数:", QRect(kRight, 49, 130, 20));
  countEdit = AddConfirmEdit(this, IDC_COUNT, QRect(kRight + 130, 46, 120, 24));
  statusLine = new NsWui::CColorfulStatic(kStatusErrorText, 90, 0, this);
  NsWui::SetDlgItemId(statusLine, IDC_STATUS);
  statusLine->frameStyle.background = true;
  statusLine->frameStyle.kind = NsWui::FrameStyle::kKindLines;
  statusLine->frameStyle.sides = 0;
  statusLine->frameStyle.backgroundColour = kStatusRangeBack;
  statusLine->setGeometry(kRight, 80, 720, 24);
  QPushButton* import = AddButton(this, "导入警报", IDC_IMPORT, QRect(kRight, 112, 100, 26));
  QPushButton* exportButton = AddButton(this, "导出警报", IDC_EXPORT, QRect(kRight + 110, 112, 100, 26));
  addressEdit->setEnabled(false);
  countEdit->setEnabled(false);
  import->setEnabled(false);
  exportButton->setEnabled(false);

  messageTable = new NsWui::OvReportCtrl(10, 2, UTableBase::kFlagTitleShown, this);
  NsWui::SetDlgItemId(messageTable, IDC_MESSAGES);
  messageTable->setGeometry(kRight, 146, 720, 334);

  connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
  connect(remove, &QPushButton::clicked, this, [this] { OnDelete(); });
  connect(import, &QPushButton::clicked, this, [this] { OnImport(); });
  connect(exportButton, &QPushButton::clicked, this, [this] { OnExport(); });
  // Every click, beside the rows too, selects what lies under it.
  groupList->clickHook = [this](int item, int) {
    SelectGroup(item);
    return false;
  };
  setFixedSize(kRight + 720 + 12, 492);
}

CDlgAlarmCfg::~CDlgAlarmCfg() {
  // The editors and the list call into this dialog; they stop before its
  // members go.
  groupList->clickHook = nullptr;
  messageTable->DestroyEditors();
}

void CDlgAlarmCfg::OnInitDialog() {
  groupList->setColumnCount(3);
  groupList->setHeaderLabels({QStringLiteral("序号"), QStringLiteral("地址"), QStringLiteral("数量")});
  groupList->setColumnWidth(kColNumber, 80);
  groupList->setColumnWidth(kColAddress, 120);
  groupList->setColumnWidth(kColCount, 80);
  FillGroups();
  SelectRow(0);
  SelectGroup(0);

  messageTable->rowHeight = kMessageRowHeight;
  messageTable->SetColumnWidth(0, 100);
  messageTable->SetColumnWidth(1, 600);
  if (const auto align = messageTable->GetColumnAlign(0)) *align = kCellAlignCentre;
  if (const auto align = messageTable->GetColumnAlign(1)) *align = kCellAlignLeft;
  messageTable->titleShown = true;
  messageTable->titleText = "警报配置";
  messageTable->titleTextColour = 0x666666;
  messageTable->titleBackColour = 0xE0E0E0;
  if (messageTable->entries.empty()) {
    auto message = messageTable->MakeEdit();
    message->changeHook = [this](std::string& text) { CommitMessage(text); };
    messageTable->AddColumnWndEditor(kColMessage, message, 0);
  }

  countEdit->validator = [](const std::string&, const std::string& text, std::string& message) {
    return CheckAlarmCount(text, message);
  };
  countEdit->formatter = [this](const std::string&, std::string& text) { CommitCount(text); };
  addressEdit->validator = [](const std::string&, const std::string& text, std::string& message) {
    return CheckAlarmAddress(text, message);
  };
  addressEdit->formatter = [this](const std::string&, std::string& text) { CommitAddress(text); };

  AlarmManager& manager = AlarmManager::Instance();
  uint32_t capacity = 0;
  {
    std::shared_lock lock(manager.GetHistoryLock());
    capacity = manager.GetHistory().Capacity();
  }
  ResetAlarmEdit(*histEdit, StrFormat("%u", capacity));
  histEdit->validator = [](const std::string&, const std::string& text, std::string& message) {
    return CheckHistCount(text, message);
  };
  histEdit->formatter = [this](const std::string&, std::string& text) { CommitHistCount(text); };

  RefreshMessages();
  RefreshCountText();
  UpdateStatusLine();
}

void CDlgAlarmCfg::FillGroups() {
  groupList->EndEdit();
  groupList->clear();
  shownGroups = AlarmManager::Instance().GetSegments();
  int number = 0;
  for (const std::shared_ptr<AlarmSeg>& group : shownGroups) {
    auto* item = new QTreeWidgetItem(groupList, {QString::fromStdString(StrFormat("%d", ++number)),
                                                 QString::fromStdString(AddressOf(group.get())),
                                                 CountText(group.get())});
    item->setSizeHint(0, QSize(0, kGroupRowHeight));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(kColNumber, Qt::Unchecked);
  }
}

void CDlgAlarmCfg::SelectRow(int row) {
  QTreeWidgetItem* item = row >= 0 ? groupList->topLevelItem(row) : nullptr;
  if (item == nullptr) return;
  groupList->setCurrentItem(item);
  item->setSelected(true);
  groupList->setFocus();
}

void CDlgAlarmCfg::SelectGroup(int index) {
  messageTable->EndEdit();
  const bool valid = index >= 0 && static_cast<std::size_t>(index) < shownGroups.size();
  EnableGroupControls(valid);
  selectedGroup = valid ? std::dynamic_pointer_cast<AlarmSegCvb>(shownGroups[static_cast<std::size_t>(index)])
                        : nullptr;
  RefreshCountText();
  RefreshMessages();
  ResetAlarmEdit(*addressEdit, selectedGroup ? selectedGroup->GetAddress() : std::string());
  // The line tells of the group now shown, not of the one before.
  UpdateStatusLine();
}

void CDlgAlarmCfg::EnableGroupControls(bool enable) {
  static constexpr struct {
    int id;
    const char* symbol;
  } kControls[] = {{IDC_IMPORT, "IDC_BUTTON1"},
                   {IDC_EXPORT, "IDC_BUTTON7"},
                   {IDC_ADDRESS, "IDC_EDIT4"},
                   {IDC_COUNT, "IDC_EDIT1"}};
  for (const auto& control : kControls) {
    if (QWidget* widget = NsWui::GetDlgItem(this, control.id)) {
      widget->setEnabled(enable);
    } else {
      NsWui::GetUiServices().MessageBox(this, StrFormat("无效的 Item id: %s.", control.symbol), "提示",
                                        NsWui::MB_ICONERROR);
    }
  }
}

void CDlgAlarmCfg::RefreshCountText() {
  ResetAlarmEdit(*countEdit, selectedGroup ? CountText(selectedGroup.get()).toStdString() : "0");
}

void CDlgAlarmCfg::RefreshMessages() {
  messageTable->EndEdit();
  messageTable->cells.clear();
  if (!selectedGroup) {
    messageTable->SetRowCount(0);
  } else {
    std::unique_lock lock(selectedGroup->GetLock());
    const std::vector<NsAlarm::AlarmBit>& bits = selectedGroup->GetBits();
    const std::size_t rows = std::min(bits.size(), kMaxTableRows);
    messageTable->SetRowCount(static_cast<uint16_t>(rows));
    // The table is empty: the records are appended as they are, without a
    // search for each, which a group of tens of thousands of bits needs.
    messageTable->cells.reserve(2 * rows);
    const auto append = [this](std::size_t row, int col, std::string text) {
      CellInfo cell;
      cell.row = static_cast<uint16_t>(row);
      cell.col = static_cast<uint16_t>(col);
      messageTable->ApplyDefaults(cell);
      cell.text = std::move(text);
      messageTable->cells.push_back(std::move(cell));
    };
    for (std::size_t i = 0; i < rows; ++i) {
      append(i, 0, StrFormat("%zu", i + 1));
      append(i, kColMessage, bits[i].message);
    }
  }
  messageTable->UpdateVScrollBar();
  messageTable->UpdateHScrollBar();
  messageTable->viewport()->update();
}

void CDlgAlarmCfg::UpdateStatusLine() {
  if (!selectedGroup) return;
  if (selectedGroup->GetAddress().empty()) {
    statusLine->SetText("警报起始地址不能为空!");
    statusLine->SetColours(kStatusErrorText, kStatusErrorBack, true);
  } else if (selectedGroup->IsBound()) {
    statusLine->SetText(StrFormat("地址范围:%s", selectedGroup->GetRangeText().c_str()));
    statusLine->SetColours(kStatusRangeText, kStatusRangeBack, true);
  } else {
    statusLine->SetText("警报地址异常或者不在数据列表中或长度异常.");
    statusLine->SetColours(kStatusErrorText, kStatusErrorBack, true);
  }
}

void CDlgAlarmCfg::RewriteGroupRows() {
  const int rows = std::min(groupList->topLevelItemCount(), static_cast<int>(shownGroups.size()));
  for (int row = 0; row < rows; ++row) {
    const AlarmSeg* group = shownGroups[static_cast<std::size_t>(row)].get();
    QTreeWidgetItem* item = groupList->topLevelItem(row);
    item->setText(kColAddress, QString::fromStdString(AddressOf(group)));
    item->setText(kColCount, CountText(group));
  }
}

void CDlgAlarmCfg::OnAdd() {
  auto group = std::make_shared<AlarmSegCvb>();
  CDlgNewAlarm dialog(group, this);
  if (dialog.DoModal() != NsWui::IDOK) return;
  FillGroups();
  const int last = groupList->topLevelItemCount() - 1;
  SelectRow(last);
  SelectGroup(last);
  MarkModified();
}

void CDlgAlarmCfg::OnDelete() {
  messageTable->EndEdit();
  AlarmManager& manager = AlarmManager::Instance();
  bool removedAny = false;
  bool selectedRemoved = false;
  const int rows = std::min(groupList->topLevelItemCount(), static_cast<int>(shownGroups.size()));
  for (int row = 0; row < rows; ++row) {
    if (groupList->topLevelItem(row)->checkState(kColNumber) != Qt::Checked) continue;
    const std::shared_ptr<AlarmSeg>& group = shownGroups[static_cast<std::size_t>(row)];
    if (!group) continue;
    if (manager.RemoveSeg(group.get())) removedAny = true;
    if (group.get() == selectedGroup.get()) {
      selectedGroup.reset();
      selectedRemoved = true;
    }
  }
  if (removedAny) {
    MarkModified();
    FillGroups();
  }
  if (selectedRemoved) {
    ResetAlarmEdit(*addressEdit, std::string());
    ResetAlarmEdit(*countEdit, "0");
    RefreshMessages();
    EnableGroupControls(false);
  }
}

void CDlgAlarmCfg::OnExport() {
  if (!selectedGroup) return;
  std::string path;
  if (!NsWui::GetUiServices().GetSaveFileName(this, kCsvFilter, "csv", "警报列表", path) || path.empty())
    return;
  std::vector<std::string> messages;
  {
    std::unique_lock lock(selectedGroup->GetLock());
    for (const NsAlarm::AlarmBit& bit : selectedGroup->GetBits()) messages.push_back(bit.message);
  }
  int error = 0;
  std::string failure;
  switch (WriteAlarmListCsv(path, messages, error)) {
    case AlarmCsvWrite::Ok:
      return;
    case AlarmCsvWrite::OpenFailed:
      failure = StrFormat("无法打开文件(错误代码 %d): %s", error, path.c_str());
      break;
    case AlarmCsvWrite::WriteFailed:
      failure = StrFormat("无法写入文件(错误代码 %d): %s", error, path.c_str());
      break;
  }
  // The old file is still whole; the user learns that the list is not in it.
  OV_LOG(8).AppendText(failure);
  NsWui::GetUiServices().MessageBox(this, failure, "提示", NsWui::MB_ICONERROR);
}

void CDlgAlarmCfg::OnImport() {
  if (!selectedGroup) return;
  std::string path;
  if (!NsWui::GetUiServices().GetOpenFileName(this, kCsvFilter, std::string(), path)) return;
  std::vector<std::string> messages;
  if (!ReadAlarmListCsv(path, messages)) {
    NsWui::GetUiServices().MessageBox(this, "读取警报列表文件失败.", "提示", NsWui::MB_ICONERROR);
    return;
  }
  // Lines past the bits the group's data block holds, or past the bits that
  // can be numbered, could never alarm: they are left out, and the user told.
  const std::size_t most = selectedGroup->GetMaxBits();
  const std::size_t leftOut = messages.size() > most ? messages.size() - most : 0;
  if (leftOut > 0) messages.resize(most);
  messageTable->EndEdit();
  AlarmManager& manager = AlarmManager::Instance();
  // Every alarm ends through the alarm-off path, then the history goes.
  for (const std::shared_ptr<AlarmSeg>& group : manager.GetSegments()) {
    if (!group) continue;
    std::unique_lock lock(group->GetLock());
    const std::size_t bits = std::min<std::size_t>(group->GetBits().size(), 0x10000);
    for (std::size_t i = 0; i < bits; ++i) group->SetBit(static_cast<uint16_t>(i), 0);
  }
  manager.ClearHistory();
  selectedGroup->SetMessages(messages);
  MarkModified();
  RefreshMessages();
  RefreshCountText();
  // The list and the status line show the new number of bits as well.
  RewriteGroupRows();
  UpdateStatusLine();
  if (leftOut > 0) {
    NsWui::GetUiServices().MessageBox(
        this, StrFormat("此警报组最多容纳 %zu 个警报, 文件中其余的 %zu 行未导入.", most, leftOut),
        "提示", NsWui::MB_ICONWARNING);
  }
}

void CDlgAlarmCfg::CommitCount(std::string& text) {
  const uint32_t count = NsPlatform::ParseDecimalU32Saturating(text);
  messageTable->EndEdit();
  messageTable->SetRowCount(static_cast<uint16_t>(std::min<std::size_t>(count, kMaxTableRows)));
  if (selectedGroup) selectedGroup->Resize(count);
  UpdateStatusLine();
  MarkModified();
  RefreshMessages();
  RewriteGroupRows();
}

void CDlgAlarmCfg::CommitAddress(std::string& text) {
  if (selectedGroup) {
    ApplyAlarmAddress(*selectedGroup, text);
  } else {
    text = NsTermination::NormalizeDeviceAddress(text);
  }
  UpdateStatusLine();
  MarkModified();
  RewriteGroupRows();
}

void CDlgAlarmCfg::CommitHistCount(std::string& text) {
  const auto count =
      static_cast<uint16_t>(std::min<uint32_t>(NsPlatform::ParseDecimalU32Saturating(text), 0xFFFF));
  AlarmManager& manager = AlarmManager::Instance();
  uint32_t capacity = 0;
  {
    std::shared_lock lock(manager.GetHistoryLock());
    capacity = manager.GetHistory().Capacity();
  }
  // Resizing empties the ring: confirming the size it has must not throw
  // the history away.
  if (capacity != count) manager.SetMaxHistCount(count);
  MarkModified();
}

void CDlgAlarmCfg::CommitMessage(std::string& text) {
  if (!selectedGroup) return;
  const int row = messageTable->editRow;
  {
    std::unique_lock lock(selectedGroup->GetLock());
    const std::vector<NsAlarm::AlarmBit>& bits = selectedGroup->GetBits();
    if (row < 0 || static_cast<std::size_t>(row) >= bits.size()) return;
    // The segment offers no setter for one bit; its lock, held here, guards
    // the bits, which are not const.
    auto& bit = const_cast<NsAlarm::AlarmBit&>(bits[static_cast<std::size_t>(row)]);
    bit.message = text;
    bit.messageTemplate = text;
  }
  MarkModified();
}

}  // namespace NsOvrin
