#include "dialogs/CDlgDataBlock.h"

#include <mutex>
#include <shared_mutex>

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/CDlgSiDataBlock.h"
#include "dialogs/DataBlockRules.h"
#include "platform/Format.h"
#include "project/NodeDbListener.h"
#include "project/QlEProject.h"
#include "termination/AddrBinder.h"
#include "termination/ChannelManager.h"
#include "wui/DlgItem.h"
#include "wui/GridLineDelegate.h"
#include "wui/RtComboBox.h"
#include "wui/RtConfirmEdit.h"
#include "wui/UiServices.h"
#include "wui/WReportCtrl.h"

namespace NsOvrin {

using namespace NsTermination;

namespace {

// The rows of both lists are as high as the images of the row image list.
constexpr int kRowHeight = 26;

struct Column {
  const char* caption;
  int width;
  Qt::Alignment alignment;
};

void SetColumns(QTreeWidget& list, std::initializer_list<Column> columns) {
  QStringList captions;
  for (const Column& c : columns) captions << QString::fromUtf8(c.caption);
  list.setColumnCount(static_cast<int>(columns.size()));
  list.setHeaderLabels(captions);
  int i = 0;
  for (const Column& c : columns) {
    list.setColumnWidth(i, c.width);
    list.headerItem()->setTextAlignment(i, c.alignment | Qt::AlignVCenter);
    ++i;
  }
}

QTreeWidgetItem* AddRow(QTreeWidget& list, const QStringList& texts) {
  auto* item = new QTreeWidgetItem(&list, texts);
  item->setSizeHint(0, QSize(0, kRowHeight));
  for (int col = 0; col < list.columnCount(); ++col) {
    item->setTextAlignment(col, Qt::Alignment(list.headerItem()->textAlignment(col)));
  }
  return item;
}

QString Number(uint32_t value) {
  return QString::fromStdString(NsPlatform::StrFormat("%u", value));
}

// A list view in report style with grid lines and full-row selection.
void SetUpList(QTreeWidget* list, int id) {
  NsWui::SetDlgItemId(list, id);
  list->setRootIsDecorated(false);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setAllColumnsShowFocus(true);
  // Columns keep the widths they are given, the last one too.
  list->header()->setStretchLastSection(false);
  NsWui::ShowGridLines(*list);
}

void MarkModified() { QlEProject::Instance().modified = true; }

}  // namespace

// No OK step: the changes take effect while the dialog is open.
CDlgDataBlock::CDlgDataBlock(const OneWayWrapper<Node>& node, QWidget* parent)
    : NsWui::CModalDialog(parent, NsWui::CModalDialog::Keys::kIgnoreEnterEsc), node(node) {
  setWindowTitle(QStringLiteral("数据块编辑器"));

  nodeCombo = new QComboBox(this);
  NsWui::SetDlgItemId(nodeCombo, IDC_NODE);
  areaList = new QTreeWidget(this);
  SetUpList(areaList, IDC_AREAS);
  areaList->setEnabled(false);
  blockGrid = new NsWui::WReportCtrl(this);
  SetUpList(blockGrid, IDC_BLOCKS);

  auto makeButton = [this](const char* text, int id, void (CDlgDataBlock::*handler)()) {
    auto* button = new QPushButton(QString::fromUtf8(text), this);
    NsWui::SetDlgItemId(button, id);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    return button;
  };
  QPushButton* add = makeButton("新 增", IDC_ADD, &CDlgDataBlock::OnAdd);
  QPushButton* refresh = makeButton("刷 新", IDC_REFRESH, &CDlgDataBlock::FillBlocks);
  QPushButton* remove = makeButton("删除勾选的数据块", IDC_DELETE, &CDlgDataBlock::OnDelete);
  // A user's choice only, as a drop-down list reports it.
  connect(nodeCombo, &QComboBox::activated, this, [this](int index) { OnNodeChanged(index); });

  auto* nodeRow = new QHBoxLayout;
  nodeRow->addWidget(new QLabel(QStringLiteral("节点名称:"), this));
  nodeRow->addWidget(nodeCombo, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(refresh);
  buttons->addStretch();
  buttons->addWidget(remove);
  auto* top = new QVBoxLayout(this);
  top->addLayout(nodeRow);
  top->addWidget(new QLabel(QStringLiteral("节点支持的所有数据块:"), this));
  top->addWidget(areaList, 1);
  top->addWidget(new QLabel(QStringLiteral("数据块列表:"), this));
  top->addWidget(blockGrid, 2);
  top->addLayout(buttons);
  resize(720, 560);
}

void CDlgDataBlock::OnInitDialog() {
  SetColumns(*areaList, {{"序号", 80, Qt::AlignLeft},
                         {"地址", 160, Qt::AlignLeft},
                         {"只读", 60, Qt::AlignLeft},
                         {"最大帧长", 80, Qt::AlignLeft}});
  FillAreas();
  SetColumns(*blockGrid, {{"序号", 80, Qt::AlignLeft},
                          {"地址", 160, Qt::AlignLeft},
                          {"采样频率(ms)", 100, Qt::AlignLeft},
                          {"名称", 160, Qt::AlignLeft},
                          {"自动启用", 100, Qt::AlignHCenter},
                          {"引用次数", 80, Qt::AlignLeft}});
  FillBlocks();

  nodeCombo->clear();
  for (const OneWayWrapper<Node>& each : ChannelManager::Instance().GetAllNodes()) {
    const auto locked = each.Lock();
    nodeCombo->addItem(locked ? QString::fromStdString(locked->GetName()) : QString());
  }
  nodeCombo->setCurrentIndex(-1);
  if (const auto locked = node.Lock()) {
    // The node's own entry: a prefix match could show another node whose
    // name begins with this one's.
    nodeCombo->setCurrentIndex(nodeCombo->findText(QString::fromStdString(locked->GetName()),
                                                   Qt::MatchExactly | Qt::MatchCaseSensitive));
  }

  if (blockGrid->entries.empty()) RegisterEditors();
}

void CDlgDataBlock::RegisterEditors() {
  auto address = blockGrid->MakeConfirmEdit();
  address->validator = [this](const std::string& old, const std::string& text,
                              std::string& message) { return ValidateAddress(old, text, message); };
  address->changeHook = [this](std::string& text) { CommitAddress(text); };
  blockGrid->AddColumnEditor(kColAddress, address, 0);

  auto interval = blockGrid->MakeConfirmEdit();
  interval->validator = [this](const std::string& old, const std::string& text,
                               std::string& message) { return ValidateInterval(old, text, message); };
  interval->changeHook = [this](std::string& text) { CommitInterval(text); };
  blockGrid->AddColumnEditor(kColInterval, interval, 0);

  auto enable = blockGrid->MakeComboBox();
  enable->Window()->addItem(QStringLiteral("是"));
  enable->Window()->addItem(QStringLiteral("否"));
  enable->changeHook = [this](std::string& text) { CommitEnable(text); };
  blockGrid->AddColumnWndEditor(kColEnable, enable, 0);

  auto name = blockGrid->MakeConfirmEdit();
  if (NsWui::CConfirmEditCtrl* control = name->Control()) {
    control->editing = false;
    control->buttonsEnabled = true;
    control->leaveOnFocusLoss = true;
    control->SyncEditText();
  }
  name->validator = [this](const std::string& old, const std::string& text,
                           std::string& message) { return ValidateName(old, text, message); };
  name->changeHook = [this](std::string& text) { CommitName(text); };
  blockGrid->AddColumnEditor(kColName, name, 0);
}

void CDlgDataBlock::FillAreas() {
  areaList->clear();
  const auto locked = node.Lock();
  if (!locked || !locked->GetNodeMem()) return;
  ProtocolBase* protocol = locked->GetProtocol();
  const std::shared_ptr<DeviceImpl> device = locked->GetDeviceImpl();
  uint32_t number = 0;
  for (const MemArea& area : locked->GetNodeMem()->GetAreas()) {
    uint32_t maxUnits = 0;
    if (protocol && device) {
      TermAddr addr;
      addr.prefix = area.prefix;
      addr.start = area.start;
      addr.kind = area.kind;
      addr.writable = area.writable;
      addr.linearPos = area.linearPos;
      addr.lastAddress = area.lastAddress;
      maxUnits = protocol->GetMaxUnits(device->GetKind(), addr);
    }
    AddRow(*areaList, {Number(++number),
                       area.rangeText ? QString::fromStdString(area.rangeText(area)) : QString(),
                       area.writable ? QString() : QStringLiteral("是"), Number(maxUnits)});
  }
}

void CDlgDataBlock::FillBlocks() {
  const auto locked = node.Lock();
  if (!locked) return;
  blockGrid->EndEdit();
  blockGrid->clear();
  shownBlocks = locked->GetTasks();
  uint32_t number = 0;
  for (const std::shared_ptr<TaskReadData>& block : shownBlocks) {
    const QString interval = QString::fromStdString(
        NsPlatform::StrFormat("%d", static_cast<int>(block ? block->GetInterval() : 0)));
    QTreeWidgetItem* row = AddRow(
        *blockGrid,
        {Number(++number),
         block ? QString::fromStdString(locked->FormatAddress(block->GetAddr())) : QString(),
         interval, block ? QString::fromStdString(block->GetName()) : QString(),
         block && block->IsEnabled() ? QStringLiteral("是") : QStringLiteral("否"),
         Number(block ? block->GetSubscriberCount() : 0)});
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(0, Qt::Unchecked);
  }
}

void CDlgDataBlock::OnNodeChanged(int index) {
  if (index < 0) return;
  const std::vector<OneWayWrapper<Node>> nodes = ChannelManager::Instance().GetAllNodes();
  if (static_cast<std::size_t>(index) >= nodes.size()) return;
  node = nodes[static_cast<std::size_t>(index)];
  FillBlocks();
  FillAreas();
}

void CDlgDataBlock::OnAdd() {
  BlockDescriptor preset;
  preset.addr.kind = kKindWord;
  preset.addr.writable = 0;
  preset.interval = 1000;
  CDlgSiDataBlock dialog(preset, node, this);
  if (dialog.DoModal() != NsWui::IDOK) return;
  {
    const auto locked = node.Lock();
    if (!locked || !locked->AddReadTask(dialog.block, std::string(), true)) return;
  }
  FillBlocks();
  MarkModified();
  NodeDbListener::NotifyBlocksChanged(node);
}

void CDlgDataBlock::OnDelete() {
  {
    const auto locked = node.Lock();
    if (!locked) return;
    bool anyChecked = false;
    const int rows = blockGrid->topLevelItemCount();
    for (int row = 0; row < rows; ++row) {
      if (blockGrid->topLevelItem(row)->checkState(0) != Qt::Checked) continue;
      anyChecked = true;
      if (static_cast<std::size_t>(row) < shownBlocks.size()) {
        locked->RemoveReadTask(shownBlocks[static_cast<std::size_t>(row)].get());
      }
    }
    if (!anyChecked) return;
  }
  FillBlocks();
  MarkModified();
  NodeDbListener::NotifyBlocksChanged(node);
}

std::shared_ptr<TaskReadData> CDlgDataBlock::EditedBlock() const {
  const auto locked = node.Lock();
  const int row = blockGrid->editRow;
  if (!locked || row < 0) return nullptr;
  const std::vector<std::shared_ptr<TaskReadData>> blocks = locked->GetTasks();
  if (static_cast<std::size_t>(row) >= blocks.size()) return nullptr;
  return blocks[static_cast<std::size_t>(row)];
}

bool CDlgDataBlock::ValidateAddress(const std::string&, const std::string& text,
                                    std::string& message) {
  const auto locked = node.Lock();
  if (!locked) {
    message = "系统错误, 节点为空!";
    return false;
  }
  const AddrCheckCode code = locked->CheckBlockText(text);
  if (code == kAddrOk) return true;
  message = GetAddrCheckMessage(code);
  return false;
}

bool CDlgDataBlock::ValidateInterval(const std::string&, const std::string& text,
                                     std::string& message) {
  return MakeIntervalRule()->Check(text, message);
}

bool CDlgDataBlock::ValidateName(const std::string& old, const std::string& text,
                                 std::string& message) {
  std::string name = text;
  TrimBlanks(name);
  if (name == old || name.empty()) return true;
  const auto locked = node.Lock();
  if (!locked) {
    message = "无效的节点.";
    return false;
  }
  if (locked->HasTask(name)) {
    message = "节点名称已经存在.";
    return false;
  }
  return true;
}

void CDlgDataBlock::CommitAddress(std::string& text) {
  const std::shared_ptr<TaskReadData> block = EditedBlock();
  if (!block) return;
  std::string canonical;
  {
    const auto locked = node.Lock();
    if (!locked) return;
    const std::shared_ptr<NodeMem>& mem = locked->GetNodeMem();
    TermAddr addr;
    // The validator passed this text; a text that no longer parses leaves
    // the block as it was rather than without an address.
    if (!mem || mem->ParseAddress(text, addr) != kAddrOk) return;
    mem->AlignBitBlock(addr);
    std::shared_ptr<CacheVarBlock> cache = mem->CreateCacheFor(addr);
    {
      // The polling thread reads address and cache block under the shared
      // task lock while it runs the task.
      std::unique_lock lock(locked->GetTaskLock());
      block->SetBlock(addr, std::move(cache));
    }
    canonical = locked->FormatAddress(addr);
  }
  MarkModified();
  NodeDbListener::NotifyBlocksChanged(node);
  text = canonical;
}

void CDlgDataBlock::CommitInterval(std::string& text) {
  const std::shared_ptr<TaskReadData> block = EditedBlock();
  if (!block) return;
  block->SetInterval(static_cast<uint16_t>(NsPlatform::ParseDecimalU32Saturating(text)));
  block->ResetElapsed();
  MarkModified();
}

void CDlgDataBlock::CommitName(std::string& text) {
  const std::shared_ptr<TaskReadData> block = EditedBlock();
  const auto locked = node.Lock();
  if (!block || !locked) return;
  TrimBlanks(text);
  {
    std::unique_lock lock(locked->GetTaskLock());
    block->SetName(text);
  }
  MarkModified();
}

void CDlgDataBlock::CommitEnable(std::string& text) {
  const std::shared_ptr<TaskReadData> block = EditedBlock();
  if (!block) return;
  block->SetEnable(text == "是");
  MarkModified();
}

}  // namespace NsOvrin
