#pragma once
// The project tree: the open project's pages, its channels with their
// devices and data blocks, and the entries of the alarm, user and event
// dialogs. Its two context menus add, edit and delete devices, set a serial
// channel's line, edit data blocks and work on pages. It follows the project
// store through the page, project and node-database notifications and reads
// the node database only through handles, so a channel or device the
// database dropped shows up as an empty handle, never as a dangling one.
#include <functional>
#include <map>
#include <memory>
#include <string>

#include <QIcon>
#include <QTreeWidget>

#include "common/OneWayWrapper.h"
#include "project/NodeDbListener.h"
#include "project/PageListener.h"
#include "project/ProjectListener.h"

class QMenu;
class QMouseEvent;

namespace NsOvrin {

namespace NsTermination {
class Channel;
class Node;
}  // namespace NsTermination

class CViewTree : public QTreeWidget,
                  public PageListener,
                  public ProjectListener,
                  public NodeDbListener {
 public:
  // The tree's id inside the project pane.
  static constexpr int IDC_PROJECT_TREE = 4;
  // Images: group items, and every other item.
  static constexpr int kImageGroup = 0;
  static constexpr int kImageItem = 1;

  // The page menu ("页面").
  static constexpr int IDR_PAGE_MENU = 322;
  static constexpr int ID_NEW_PAGE = 57600;
  static constexpr int ID_OPEN_PAGE = 32823;
  static constexpr int ID_DELETE_PAGE = 32824;
  static constexpr int ID_SET_HOME_PAGE = 32838;
  // The device menu ("设备").
  static constexpr int IDR_DEVICE_MENU = 326;
  static constexpr int ID_ADD_DEVICE = 32828;
  static constexpr int ID_DELETE_DEVICE = 32829;
  static constexpr int ID_EDIT_DEVICE = 32830;
  static constexpr int ID_LINE_PARAMS = 32832;
  static constexpr int ID_EDIT_BLOCKS = 32835;

  // Message-box flag: the second button is the default one.
  static constexpr uint32_t MB_DEFBUTTON2 = 0x100;

  // Registers as project, page and node-database listener: the main frame
  // makes the tree before the document listener registers, so the tree
  // hears every notification first.
  explicit CViewTree(QWidget* parent = nullptr);
  CViewTree(const CViewTree&) = delete;
  CViewTree& operator=(const CViewTree&) = delete;
  // Leaves the three registries, so none keeps a pointer to a dead tree.
  ~CViewTree() override;

  // Installed by the main frame: posts an online-mode request to it (1
  // starts, 0 stops). Empty while there is no main frame.
  std::function<void(int)> onlineModeRequest;

  // The whole tree of a created or opened project, without page items.
  void BuildRoots();
  // One item per channel of the database under "通讯连接", with its devices.
  void BuildChannels();
  // The channel item's device items (and their blocks) again.
  void RebuildDevices(QTreeWidgetItem* channelItem);
  // The node's block addresses, sorted, under the device item.
  void AddBlockItems(QTreeWidgetItem* deviceItem, const OneWayWrapper<NsTermination::Node>& node);
  // The text of a channel item; "?" for an empty handle or an unknown kind.
  static std::string ChannelLabel(const OneWayWrapper<NsTermination::Channel>& channel);

  bool IsSerialChannelItem(const QTreeWidgetItem* item) const;
  bool IsEthernetChannelItem(const QTreeWidgetItem* item) const;
  // A child of a serial or Ethernet channel item.
  bool IsDeviceItem(const QTreeWidgetItem* item) const;
  // The pages item or a page item under it.
  bool IsPageItem(const QTreeWidgetItem* item) const;

  // The right click at a point of the viewport: selects the item there and
  // runs the command chosen from its menu. Nothing off the items.
  void OnTreeContextMenu(const QPoint& viewportPoint);
  // The menus as shown for the item; each action's data is its command id.
  std::unique_ptr<QMenu> CreatePageMenu(const QTreeWidgetItem* item);
  std::unique_ptr<QMenu> CreateDeviceMenu(const QTreeWidgetItem* item);
  // A command of the page menu, or of the device menu with the serial or
  // the Ethernet actions, on the item.
  void OnPageCommand(int id, QTreeWidgetItem* item);
  void OnDeviceCommand(int id, QTreeWidgetItem* item, bool serial);

  void AddSerialDevice(QTreeWidgetItem* item);
  void AddEthernetDevice(QTreeWidgetItem* item);
  void DeleteDevice(QTreeWidgetItem* item);
  void EditSerialDevice(QTreeWidgetItem* item);
  void EditEthernetDevice(QTreeWidgetItem* item);
  void EditSerialParams(QTreeWidgetItem* item);
  void EditDataBlocks(QTreeWidgetItem* item);
  // The selected item's page, or its dialog.
  void OnDblClk();

  // Null until a project is created or opened.
  QTreeWidgetItem* GetProjectItem() const { return projectItem_; }
  QTreeWidgetItem* GetPagesItem() const { return pagesItem_; }
  QTreeWidgetItem* GetCommItem() const { return commItem_; }
  QTreeWidgetItem* GetAlarmCfgItem() const { return alarmCfgItem_; }
  QTreeWidgetItem* GetUsersItem() const { return permissionsItem_; }
  QTreeWidgetItem* GetEventsItem() const { return eventVarsItem_; }
  // The handles behind channel and device items; empty for other items.
  OneWayWrapper<NsTermination::Channel> ChannelOf(const QTreeWidgetItem* item) const;
  OneWayWrapper<NsTermination::Node> NodeOf(const QTreeWidgetItem* item) const;
  // The tree's image of kImageGroup or kImageItem.
  const QIcon& TreeImage(int index) const;

  // PageListener
  void OnPageAdded(const std::string& name) override;
  void OnActivatePage(const std::string& /*name*/) override {}
  void OnPageDeleting(const std::string& name) override;
  void OnPageDeleted(const std::string& /*name*/) override {}
  void OnPageRenamed(const std::string& oldName, const std::string& newName) override;
  void OnPageChanged(const std::string& /*name*/, const PageProperties& /*properties*/) override {}
  // ProjectListener
  void OnProjectCreated() override;
  void OnProjectOpened() override;
  void OnProjectClosing() override;
  // NodeDbListener
  void OnBlocksChanged(const OneWayWrapper<NsTermination::Node>& node) override;
  void OnNodeDbChanged() override {}
  void OnRunModeChanged(bool /*online*/) override {}

 protected:
  // The control's own expanding and collapsing, then OnDblClk.
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const std::string& text, int image,
                           bool bold = false);
  // Deletes the item with everything under it, and their map entries.
  void DeleteItem(QTreeWidgetItem* item);
  void DeleteChildren(QTreeWidgetItem* item);
  // Deletes every item and forgets the group items and both maps.
  void DeleteAll();
  // The first page item with exactly that text.
  QTreeWidgetItem* FindPageItem(const std::string& name) const;
  // The channel item an add works on: the item itself, or the channel of a
  // device item under a channel of that kind.
  QTreeWidgetItem* ChannelItemFor(QTreeWidgetItem* item, bool serial) const;
  // The channel and node handles of a device item, both live; false after
  // "异常Channel数据." or "异常Node数据.".
  bool DeviceHandles(QTreeWidgetItem* deviceItem, OneWayWrapper<NsTermination::Channel>& channel,
                     OneWayWrapper<NsTermination::Node>& node);
  // The tracked menu's command; 0 when none was chosen.
  int TrackMenu(QMenu& menu, const QPoint& screenPoint);
  void ShowError(const char* text);
  // The project's modified flag, when a project is open.
  static void MarkProjectModified();
  // Every node-database listener hears OnNodeDbChanged, in order.
  static void AnnounceDeviceChange();

  // The image list: group items, every other item.
  QIcon images_[2];
  QTreeWidgetItem* projectItem_ = nullptr;
  QTreeWidgetItem* pagesItem_ = nullptr;
  QTreeWidgetItem* commItem_ = nullptr;
  QTreeWidgetItem* alarmItem_ = nullptr;
  QTreeWidgetItem* alarmCfgItem_ = nullptr;
  QTreeWidgetItem* usersItem_ = nullptr;
  QTreeWidgetItem* permissionsItem_ = nullptr;
  QTreeWidgetItem* eventsItem_ = nullptr;
  QTreeWidgetItem* eventVarsItem_ = nullptr;
  std::map<const QTreeWidgetItem*, OneWayWrapper<NsTermination::Channel>> channels_;
  std::map<const QTreeWidgetItem*, OneWayWrapper<NsTermination::Node>> nodes_;
};

}  // namespace NsOvrin
