#include "app/CViewTree.h"

#include <algorithm>
#include <any>
#include <limits>
#include <vector>

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "app/QtMessageBoxService.h"
#include "dialogs/CDlgDataBlock.h"
#include "dialogs/CDlgENetDev.h"
#include "dialogs/CDlgRs232Dev.h"
#include "dialogs/CDlgRs232Param.h"
#include "dialogs/CDlgUsers.h"
#include "platform/Format.h"
#include "platform/Utf.h"
#include "project/ListenerRegistry.h"
#include "project/QlEProject.h"
#include "project_persistence/PageCommands.h"
#include "termination/Channel.h"
#include "termination/ChannelManager.h"
#include "termination/DevDefine.h"
#include "termination/DevSetup.h"
#include "termination/Node.h"
#include "ui_services/AlarmCfgDialog.h"
#include "ui_services/VarEventDialog.h"
#include "wui/DlgItem.h"
#include "wui/UiServices.h"

namespace NsOvrin {

using NsDevDefine::ENetDevParam;
using NsDevDefine::RsDevParam;
using NsTermination::Channel;
using NsTermination::ChannelManager;
using NsTermination::ChannelSerialPort;
using NsTermination::Node;
using NsTermination::TaskReadData;

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

std::string TextOf(const QTreeWidgetItem* item) { return item->text(0).toStdString(); }

// The protocol id of a model; a model beyond the catalogue reads "?".
std::string ProtocolIdOf(uint32_t deviceId) {
  const uint32_t model = std::min<uint32_t>(deviceId, NsTermination::kModelNone + 1);
  return NsTermination::GetProtocolId(static_cast<NsTermination::DeviceModelId>(model));
}

// What a device item shows: "name (protocol)"; false for a node made from
// neither kind of device record.
bool DeviceLabel(const Node& node, std::string& label) {
  const std::any& params = node.GetDeviceParams();
  if (const auto* rs = std::any_cast<RsDevParam>(&params)) {
    label = NsPlatform::StrFormat("%s (%s)", rs->name.c_str(), ProtocolIdOf(rs->deviceId).c_str());
    return true;
  }
  if (const auto* enet = std::any_cast<ENetDevParam>(&params)) {
    label =
        NsPlatform::StrFormat("%s (%s)", enet->name.c_str(), ProtocolIdOf(enet->deviceId).c_str());
    return true;
  }
  return false;
}

QPixmap DrawImage(int index) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  if (index == CViewTree::kImageGroup) {
    // A folder.
    painter.setPen(QColor(0xA0, 0x80, 0x20));
    painter.setBrush(QColor(0xF0, 0xD0, 0x60));
    painter.drawRect(1, 3, 6, 2);
    painter.drawRect(1, 5, 13, 8);
  } else {
    // A sheet.
    painter.setPen(QColor(0x60, 0x68, 0x70));
    painter.setBrush(Qt::white);
    painter.drawRect(3, 1, 10, 13);
    painter.drawLine(5, 5, 11, 5);
    painter.drawLine(5, 8, 11, 8);
    painter.drawLine(5, 11, 9, 11);
  }
  return pixmap;
}

// The node's blocks as the block items show them, with what a copy of a
// block needs.
struct SavedBlock {
  NsTermination::BlockDescriptor block;
  std::string name;
  bool enable = false;
};

std::vector<SavedBlock> SaveBlocks(const Node& node) {
  std::vector<SavedBlock> saved;
  for (const std::shared_ptr<TaskReadData>& task : node.GetTasks()) {
    if (!task) continue;
    SavedBlock copy;
    copy.block.addr = task->GetAddr();
    copy.block.interval = static_cast<uint16_t>(
        std::min<uint32_t>(task->GetInterval(), std::numeric_limits<uint16_t>::max()));
    copy.name = task->GetName();
    copy.enable = task->IsEnabled();
    saved.push_back(std::move(copy));
  }
  return saved;
}

// Gives the replacing node of a device whose model stayed the old node's
// blocks, except those it has already (same address and name).
void RestoreBlocks(Node& node, const std::vector<SavedBlock>& saved) {
  for (const SavedBlock& copy : saved) {
    const std::string address = node.FormatAddress(copy.block.addr);
    bool present = false;
    for (const std::shared_ptr<TaskReadData>& task : node.GetTasks()) {
      if (task && task->GetName() == copy.name && node.FormatAddress(task->GetAddr()) == address) {
        present = true;
        break;
      }
    }
    if (!present) node.AddReadTask(copy.block, copy.name, copy.enable);
  }
}

}  // namespace

CViewTree::CViewTree(QWidget* parent) : QTreeWidget(parent) {
  NsWui::SetDlgItemId(this, IDC_PROJECT_TREE);
  setColumnCount(1);
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setIconSize(QSize(16, 16));
  images_[kImageGroup] = QIcon(DrawImage(kImageGroup));
  images_[kImageItem] = QIcon(DrawImage(kImageItem));
  ProjectListener::Register(this);
  PageListener::Register(this);
  NodeDbListener::Register(this);
}

CViewTree::~CViewTree() {
  std::erase(ProjectListener::GetRegistry(), static_cast<ProjectListener*>(this));
  std::erase(PageListener::GetRegistry(), static_cast<PageListener*>(this));
  std::erase(NodeDbListener::GetRegistry(), static_cast<NodeDbListener*>(this));
}

const QIcon& CViewTree::TreeImage(int index) const {
  return images_[index == kImageGroup ? kImageGroup : kImageItem];
}

// ---- building ----

QTreeWidgetItem* CViewTree::AddItem(QTreeWidgetItem* parent, const std::string& text, int image,
                                    bool bold) {
  auto* item = new QTreeWidgetItem(QStringList{Q(text)});
  item->setIcon(0, TreeImage(image));
  if (bold) {
    QFont font = item->font(0);
    font.setBold(true);
    item->setFont(0, font);
  }
  if (parent != nullptr) {
    parent->addChild(item);
  } else {
    addTopLevelItem(item);
  }
  return item;
}

void CViewTree::DeleteChildren(QTreeWidgetItem* item) {
  while (item->childCount() > 0) DeleteItem(item->child(0));
}

void CViewTree::DeleteItem(QTreeWidgetItem* item) {
  DeleteChildren(item);
  channels_.erase(item);
  nodes_.erase(item);
  delete item;
}

void CViewTree::DeleteAll() {
  channels_.clear();
  nodes_.clear();
  clear();
  projectItem_ = pagesItem_ = commItem_ = nullptr;
  alarmItem_ = alarmCfgItem_ = nullptr;
  usersItem_ = permissionsItem_ = nullptr;
  eventsItem_ = eventVarsItem_ = nullptr;
}

void CViewTree::BuildRoots() {
  projectItem_ = AddItem(nullptr, "工程", kImageGroup, true);
  pagesItem_ = AddItem(projectItem_, "页面", kImageGroup, true);
  commItem_ = AddItem(projectItem_, "通讯连接", kImageGroup, true);
  BuildChannels();
  alarmItem_ = AddItem(projectItem_, "警报", kImageGroup, true);
  alarmCfgItem_ = AddItem(alarmItem_, "警报配置", kImageItem);
  usersItem_ = AddItem(projectItem_, "用户", kImageGroup, true);
  permissionsItem_ = AddItem(usersItem_, "权限配置", kImageItem);
  eventsItem_ = AddItem(projectItem_, "事件", kImageGroup, true);
  eventVarsItem_ = AddItem(eventsItem_, "事件变量", kImageItem);
  for (QTreeWidgetItem* group :
       {projectItem_, pagesItem_, commItem_, alarmItem_, usersItem_, eventsItem_}) {
    group->setExpanded(true);
  }
}

void CViewTree::BuildChannels() {
  channels_.clear();
  nodes_.clear();
  if (commItem_ == nullptr) return;
  DeleteChildren(commItem_);
  for (const std::shared_ptr<Channel>& channel : ChannelManager::Instance().GetChannels()) {
    if (!channel) break;
    OneWayWrapper<Channel> handle = channel->GetHandle();
    if (handle.IsEmpty()) break;
    QTreeWidgetItem* item = AddItem(commItem_, ChannelLabel(handle), kImageItem);
    channels_[item] = handle;
    RebuildDevices(item);
  }
}

std::string CViewTree::ChannelLabel(const OneWayWrapper<Channel>& channel) {
  const auto locked = channel.Lock();
  if (!locked) return "?";
  switch (locked->GetType()) {
    case Channel::kTypeSerial: {
      const auto* serial = dynamic_cast<const ChannelSerialPort*>(locked.get());
      if (serial == nullptr) return "?";
      return NsPlatform::StrFormat("%s", serial->GetDescription().c_str());
    }
    case Channel::kTypeEthernet:
      return locked->GetDescription();
    default:
      return "?";
  }
}

void CViewTree::RebuildDevices(QTreeWidgetItem* channelItem) {
  if (channelItem == nullptr) return;
  DeleteChildren(channelItem);
  const OneWayWrapper<Channel> channel = ChannelOf(channelItem);
  std::vector<OneWayWrapper<Node>> nodes;
  {
    const auto locked = channel.Lock();
    if (!locked) {
      ShowError("异常Channel数据.");
      return;
    }
    nodes = locked->GetNodes();
  }
  for (const OneWayWrapper<Node>& node : nodes) {
    std::string label;
    {
      const auto locked = node.Lock();
      if (!locked || !DeviceLabel(*locked, label)) continue;
    }
    QTreeWidgetItem* item = AddItem(channelItem, label, kImageItem);
    nodes_[item] = node;
    AddBlockItems(item, node);
  }
  channelItem->setExpanded(true);
}

void CViewTree::AddBlockItems(QTreeWidgetItem* deviceItem, const OneWayWrapper<Node>& node) {
  std::vector<std::u16string> texts;
  {
    const auto locked = node.Lock();
    if (!locked) return;
    for (const std::shared_ptr<TaskReadData>& task : locked->GetTasks()) {
      if (task) texts.push_back(NsPlatform::Utf8ToUtf16(locked->FormatAddress(task->GetAddr())));
    }
  }
  std::sort(texts.begin(), texts.end());
  for (const std::u16string& text : texts) {
    AddItem(deviceItem, NsPlatform::Utf16ToUtf8(text), kImageItem);
  }
  deviceItem->setExpanded(true);
}

// ---- items ----

OneWayWrapper<Channel> CViewTree::ChannelOf(const QTreeWidgetItem* item) const {
  const auto found = channels_.find(item);
  return found != channels_.end() ? found->second : OneWayWrapper<Channel>();
}

OneWayWrapper<Node> CViewTree::NodeOf(const QTreeWidgetItem* item) const {
  const auto found = nodes_.find(item);
  return found != nodes_.end() ? found->second : OneWayWrapper<Node>();
}

bool CViewTree::IsSerialChannelItem(const QTreeWidgetItem* item) const {
  if (item == nullptr || commItem_ == nullptr || item->parent() != commItem_) return false;
  // The handle outlives its lock: a handle let go while locked would wait
  // for itself.
  const OneWayWrapper<Channel> channel = ChannelOf(item);
  const auto locked = channel.Lock();
  return locked && locked->GetType() == Channel::kTypeSerial;
}

bool CViewTree::IsEthernetChannelItem(const QTreeWidgetItem* item) const {
  if (item == nullptr || commItem_ == nullptr || item->parent() != commItem_) return false;
  // The handle outlives its lock: a handle let go while locked would wait
  // for itself.
  const OneWayWrapper<Channel> channel = ChannelOf(item);
  const auto locked = channel.Lock();
  return locked && locked->GetType() == Channel::kTypeEthernet;
}

bool CViewTree::IsDeviceItem(const QTreeWidgetItem* item) const {
  if (item == nullptr) return false;
  const QTreeWidgetItem* parent = item->parent();
  return IsSerialChannelItem(parent) || IsEthernetChannelItem(parent);
}

bool CViewTree::IsPageItem(const QTreeWidgetItem* item) const {
  return item != nullptr && pagesItem_ != nullptr &&
         (item == pagesItem_ || item->parent() == pagesItem_);
}

QTreeWidgetItem* CViewTree::FindPageItem(const std::string& name) const {
  if (pagesItem_ == nullptr) return nullptr;
  for (int i = 0; i < pagesItem_->childCount(); ++i) {
    QTreeWidgetItem* item = pagesItem_->child(i);
    if (TextOf(item) == name) return item;
  }
  return nullptr;
}

// ---- notifications ----

void CViewTree::OnPageAdded(const std::string& name) {
  if (pagesItem_ == nullptr) return;
  AddItem(pagesItem_, name, kImageItem);
  pagesItem_->setExpanded(true);
}

void CViewTree::OnPageDeleting(const std::string& name) {
  if (QTreeWidgetItem* item = FindPageItem(name)) DeleteItem(item);
}

void CViewTree::OnPageRenamed(const std::string& oldName, const std::string& newName) {
  if (QTreeWidgetItem* item = FindPageItem(oldName)) item->setText(0, Q(newName));
}

void CViewTree::OnProjectCreated() {
  // A tree left from before would show its groups twice.
  DeleteAll();
  BuildRoots();
}

void CViewTree::OnProjectOpened() {
  DeleteAll();
  BuildRoots();
  for (const std::string& name : QlEProject::Instance().pageNames) {
    AddItem(pagesItem_, name, kImageItem);
  }
  pagesItem_->setExpanded(true);
}

void CViewTree::OnProjectClosing() { DeleteAll(); }

void CViewTree::OnBlocksChanged(const OneWayWrapper<Node>& node) {
  std::string name;
  {
    const auto locked = node.Lock();
    if (locked) name = locked->GetName();
  }
  if (name.empty() || commItem_ == nullptr) return;
  for (int c = 0; c < commItem_->childCount(); ++c) {
    QTreeWidgetItem* channelItem = commItem_->child(c);
    for (int d = 0; d < channelItem->childCount(); ++d) {
      QTreeWidgetItem* deviceItem = channelItem->child(d);
      const OneWayWrapper<Node> shown = NodeOf(deviceItem);
      bool same = false;
      {
        const auto locked = shown.Lock();
        same = locked && locked->GetName() == name;
      }
      if (!same) continue;
      DeleteChildren(deviceItem);
      AddBlockItems(deviceItem, shown);
      return;
    }
  }
}

// ---- menus ----

std::unique_ptr<QMenu> CViewTree::CreatePageMenu(const QTreeWidgetItem* item) {
  auto menu = std::make_unique<QMenu>(QStringLiteral("页面"), this);
  const bool onPage = item != nullptr && item != pagesItem_;
  const auto add = [&menu](int id, const char* text, bool enabled) {
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setData(id);
    action->setEnabled(enabled);
  };
  add(ID_NEW_PAGE, "新增页面", true);
  add(ID_OPEN_PAGE, "打开页面", onPage);
  add(ID_DELETE_PAGE, "删除页面", onPage);
  menu->addSeparator();
  add(ID_SET_HOME_PAGE, "设为首页", onPage);
  return menu;
}

std::unique_ptr<QMenu> CViewTree::CreateDeviceMenu(const QTreeWidgetItem* item) {
  auto menu = std::make_unique<QMenu>(QStringLiteral("设备"), this);
  const bool onDevice = IsDeviceItem(item);
  const auto add = [&menu](int id, const char* text, bool enabled) {
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setData(id);
    action->setEnabled(enabled);
  };
  add(ID_ADD_DEVICE, "添加设备...", true);
  add(ID_EDIT_DEVICE, "修改设备...", onDevice);
  add(ID_DELETE_DEVICE, "删除设备", onDevice);
  menu->addSeparator();
  add(ID_LINE_PARAMS, IsSerialChannelItem(item) ? "设置串口参数..." : "设置网卡参数...", !onDevice);
  menu->addSeparator();
  add(ID_EDIT_BLOCKS, "编辑数据块...", onDevice);
  return menu;
}

int CViewTree::TrackMenu(QMenu& menu, const QPoint& screenPoint) {
  QAction* chosen = menu.exec(screenPoint);
  return chosen != nullptr ? chosen->data().toInt() : 0;
}

void CViewTree::OnTreeContextMenu(const QPoint& viewportPoint) {
  QTreeWidgetItem* item = itemAt(viewportPoint);
  if (item == nullptr) return;
  setCurrentItem(item);
  const QPoint screenPoint = viewport()->mapToGlobal(viewportPoint);
  if (pagesItem_ != nullptr && IsPageItem(item)) {
    const std::unique_ptr<QMenu> menu = CreatePageMenu(item);
    if (const int id = TrackMenu(*menu, screenPoint)) OnPageCommand(id, item);
    return;
  }
  const bool serial = IsSerialChannelItem(item) ||
                      (IsDeviceItem(item) && IsSerialChannelItem(item->parent()));
  const bool ethernet = !serial && (IsEthernetChannelItem(item) ||
                                    (IsDeviceItem(item) && IsEthernetChannelItem(item->parent())));
  if (!serial && !ethernet) return;
  const std::unique_ptr<QMenu> menu = CreateDeviceMenu(item);
  if (const int id = TrackMenu(*menu, screenPoint)) OnDeviceCommand(id, item, serial);
}

void CViewTree::OnPageCommand(int id, QTreeWidgetItem* item) {
  QlEProject& project = QlEProject::Instance();
  if (id == ID_NEW_PAGE) {
    DoNewPage(QtMessageBoxService::ToParentWindow(this));
    return;
  }
  // The other commands are about one page; the pages item names none.
  if (item == nullptr || pagesItem_ == nullptr || item->parent() != pagesItem_) return;
  const std::string name = TextOf(item);
  switch (id) {
    case ID_OPEN_PAGE:
      project.ActivatePage(name);
      break;
    case ID_DELETE_PAGE:
      if (project.open) project.DeletePage(name);
      break;
    case ID_SET_HOME_PAGE:
      if (project.open && name != project.homePage) {
        project.homePage = name;
        project.modified = true;
      }
      break;
    default:
      break;
  }
}

void CViewTree::OnDeviceCommand(int id, QTreeWidgetItem* item, bool serial) {
  switch (id) {
    case ID_ADD_DEVICE:
      if (serial) {
        AddSerialDevice(item);
      } else {
        AddEthernetDevice(item);
      }
      break;
    case ID_DELETE_DEVICE:
      DeleteDevice(item);
      break;
    case ID_EDIT_DEVICE:
      if (serial) {
        EditSerialDevice(item);
      } else {
        EditEthernetDevice(item);
      }
      break;
    case ID_LINE_PARAMS:
      if (serial) EditSerialParams(item);
      break;
    case ID_EDIT_BLOCKS:
      EditDataBlocks(item);
      break;
    default:
      break;
  }
}

// ---- device commands ----

void CViewTree::ShowError(const char* text) {
  NsWui::GetUiServices().MessageBox(this, text, "提示", NsWui::MB_ICONERROR);
}

void CViewTree::MarkProjectModified() {
  QlEProject& project = QlEProject::Instance();
  if (project.open) project.modified = true;
}

void CViewTree::AnnounceDeviceChange() {
  NotifyListeners(NodeDbListener::GetRegistry(),
                  [](NodeDbListener* listener) { listener->OnNodeDbChanged(); });
}

QTreeWidgetItem* CViewTree::ChannelItemFor(QTreeWidgetItem* item, bool serial) const {
  if (IsDeviceItem(item)) {
    QTreeWidgetItem* parent = item->parent();
    if (serial ? IsSerialChannelItem(parent) : IsEthernetChannelItem(parent)) return parent;
  }
  return item;
}

bool CViewTree::DeviceHandles(QTreeWidgetItem* deviceItem, OneWayWrapper<Channel>& channel,
                              OneWayWrapper<Node>& node) {
  channel = ChannelOf(deviceItem->parent());
  if (!channel.IsValid()) {
    ShowError("异常Channel数据.");
    return false;
  }
  node = NodeOf(deviceItem);
  if (!node.IsValid()) {
    ShowError("异常Node数据.");
    return false;
  }
  return true;
}

void CViewTree::AddSerialDevice(QTreeWidgetItem* item) {
  QTreeWidgetItem* channelItem = ChannelItemFor(item, true);
  if (channelItem == nullptr) return;
  if (channelItem->childCount() > 0) {
    ShowError("串口只能连接一个设备.");
    return;
  }
  CDlgRs232Dev dialog(this);
  if (dialog.DoModal() != NsWui::IDOK) return;
  const RsDevParam param = dialog.GetParam();
  const OneWayWrapper<Channel> channel = ChannelOf(channelItem);
  if (!channel.IsValid()) {
    ShowError("异常数据.");
    return;
  }
  if (NsTermination::AddRsDev(channel, param)) {
    RebuildDevices(channelItem);
    MarkProjectModified();
  }
  AnnounceDeviceChange();
}

void CViewTree::AddEthernetDevice(QTreeWidgetItem* item) {
  QTreeWidgetItem* channelItem = ChannelItemFor(item, false);
  if (channelItem == nullptr) return;
  CDlgENetDev dialog(this);
  if (dialog.DoModal() != NsWui::IDOK) return;
  const ENetDevParam param = dialog.GetParam();
  const OneWayWrapper<Channel> channel = ChannelOf(channelItem);
  if (!channel.IsValid()) {
    ShowError("异常数据.");
    return;
  }
  if (NsTermination::AddENetDev(channel, param)) {
    RebuildDevices(channelItem);
    MarkProjectModified();
  }
  AnnounceDeviceChange();
}

void CViewTree::DeleteDevice(QTreeWidgetItem* item) {
  const int answer = NsWui::GetUiServices().MessageBox(
      this, "确定要删除此节点吗?", "提示", NsWui::MB_YESNO | NsWui::MB_ICONWARNING | MB_DEFBUTTON2);
  if (answer != NsWui::IDYES) return;
  if (!IsDeviceItem(item)) return;
  OneWayWrapper<Channel> channel;
  OneWayWrapper<Node> node;
  if (!DeviceHandles(item, channel, node)) return;
  QTreeWidgetItem* channelItem = item->parent();
  if (ChannelManager::Instance().RemoveNode(channel, node)) {
    // The device item went with the rebuild.
    RebuildDevices(channelItem);
    MarkProjectModified();
  }
  AnnounceDeviceChange();
}

void CViewTree::EditSerialDevice(QTreeWidgetItem* item) {
  if (!IsDeviceItem(item) || !IsSerialChannelItem(item->parent())) return;
  OneWayWrapper<Channel> channel;
  OneWayWrapper<Node> node;
  if (!DeviceHandles(item, channel, node)) return;
  RsDevParam old;
  std::vector<SavedBlock> blocks;
  {
    const auto locked = node.Lock();
    if (!locked) return;
    const auto* param = std::any_cast<RsDevParam>(&locked->GetDeviceParams());
    if (param == nullptr) return;
    old = *param;
    blocks = SaveBlocks(*locked);
  }
  CDlgRs232Dev dialog(old, this);
  if (dialog.DoModal() != NsWui::IDOK) return;
  const RsDevParam param = dialog.GetParam();
  QTreeWidgetItem* channelItem = item->parent();
  if (NsTermination::ModifyRsDev(channel, node, param)) {
    // The new node is built from scratch; a device of the same model keeps
    // its data blocks, as an Ethernet device does.
    if (param.deviceId == old.deviceId) {
      const OneWayWrapper<Node> replacing = ChannelManager::Instance().FindNode(param.name);
      if (const auto locked = replacing.Lock()) RestoreBlocks(*locked, blocks);
    }
    RebuildDevices(channelItem);
    MarkProjectModified();
  }
  AnnounceDeviceChange();
}

void CViewTree::EditEthernetDevice(QTreeWidgetItem* item) {
  if (!IsDeviceItem(item) || !IsEthernetChannelItem(item->parent())) return;
  OneWayWrapper<Channel> channel;
  OneWayWrapper<Node> node;
  if (!DeviceHandles(item, channel, node)) return;
  ENetDevParam old;
  {
    const auto locked = node.Lock();
    if (!locked) return;
    const auto* param = std::any_cast<ENetDevParam>(&locked->GetDeviceParams());
    if (param == nullptr) return;
    old = *param;
  }
  CDlgENetDev dialog(old, this);
  if (dialog.DoModal() != NsWui::IDOK) return;
  const ENetDevParam param = dialog.GetParam();
  const bool sameModel = param.deviceId == old.deviceId;
  std::vector<SavedBlock> blocks;
  if (sameModel) {
    const auto locked = node.Lock();
    if (locked) blocks = SaveBlocks(*locked);
  }
  QTreeWidgetItem* channelItem = item->parent();
  std::shared_ptr<Node> replacing;
  if (!NsTermination::ModifyENetDev(channel, node, param, replacing)) return;
  // The replacing node may already poll: each block joins under its task
  // lock. After a change of model the old blocks mean nothing.
  if (sameModel && replacing) RestoreBlocks(*replacing, blocks);
  AnnounceDeviceChange();
  RebuildDevices(channelItem);
  MarkProjectModified();
}

void CViewTree::EditSerialParams(QTreeWidgetItem* item) {
  const OneWayWrapper<Channel> channel = ChannelOf(item);
  NsCommServer::SerialParams settings;
  {
    const auto locked = channel.Lock();
    if (!locked) {
      ShowError("异常Channel数据.");
      return;
    }
    const auto* serial = dynamic_cast<const ChannelSerialPort*>(locked.get());
    if (serial == nullptr) return;
    settings = serial->GetSettings();
  }
  // The dialog runs on a copy: no lock is held while it is open.
  CDlgRs232Param dialog(this, &settings);
  if (dialog.DoModal() != NsWui::IDOK) return;
  {
    const auto locked = channel.Lock();
    auto* serial = locked ? dynamic_cast<ChannelSerialPort*>(locked.get()) : nullptr;
    if (serial == nullptr) return;
    // The channel reads its settings only when it opens its port, on this
    // thread; the restart below opens it with the new ones.
    const_cast<NsCommServer::SerialParams&>(serial->GetSettings()) = settings;
  }
  if (OnlineFlag.load() && onlineModeRequest) {
    onlineModeRequest(0);
    onlineModeRequest(1);
  }
  MarkProjectModified();
}

void CViewTree::EditDataBlocks(QTreeWidgetItem* item) {
  const OneWayWrapper<Node> node = NodeOf(item);
  if (!node.IsValid()) return;
  CDlgDataBlock dialog(node, this);
  dialog.DoModal();
}

// ---- double click ----

void CViewTree::OnDblClk() {
  QTreeWidgetItem* item = currentItem();
  if (item == nullptr || !item->isSelected()) return;
  ParentWindow* parent = QtMessageBoxService::ToParentWindow(this);
  if (pagesItem_ != nullptr && IsPageItem(item)) {
    QlEProject::Instance().ActivatePage(TextOf(item));
  } else if (item == alarmCfgItem_) {
    if (AlarmCfgDialog* dialog = AlarmCfgDialog::Installed()) dialog->Run(parent);
  } else if (item == permissionsItem_) {
    // The project users' passwords are set here and nowhere else.
    CDlgUsers dialog(this);
    dialog.DoModal();
  } else if (item == eventVarsItem_) {
    if (VarEventDialog* dialog = VarEventDialog::Installed()) dialog->Run(parent);
  }
}

void CViewTree::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeWidget::mouseDoubleClickEvent(event);
  OnDblClk();
}

}  // namespace NsOvrin
