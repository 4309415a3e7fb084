#pragma once
// The data-block editor of one device node: the memory areas its model
// supports and the data blocks it polls. Blocks are added, deleted and
// edited in place at once on the node's live task list; there is no OK step
// and the dialog ends only through its close box.
#include <memory>
#include <string>
#include <vector>

#include "common/OneWayWrapper.h"
#include "termination/Node.h"
#include "termination/Task.h"
#include "wui/CModalDialog.h"

class QComboBox;
class QTreeWidget;

namespace NsOvrin {

namespace NsWui {
class WReportCtrl;
}

class CDlgDataBlock : public NsWui::CModalDialog {
 public:
  static constexpr int IDC_NODE = 1006;
  static constexpr int IDC_AREAS = 1022;
  static constexpr int IDC_BLOCKS = 1021;
  static constexpr int IDC_ADD = 1018;
  static constexpr int IDC_REFRESH = 1024;
  static constexpr int IDC_DELETE = 1023;

  // Columns of the block grid.
  static constexpr int kColNumber = 0;
  static constexpr int kColAddress = 1;
  static constexpr int kColInterval = 2;
  static constexpr int kColName = 3;
  static constexpr int kColEnable = 4;
  static constexpr int kColSubscribers = 5;

  explicit CDlgDataBlock(const OneWayWrapper<NsTermination::Node>& node, QWidget* parent = nullptr);

  void OnInitDialog() override;
  void FillAreas();
  // Also the "刷 新" button.
  void FillBlocks();
  void OnNodeChanged(int index);
  void OnAdd();
  void OnDelete();

  // The in-place edits of the grid's edit row: validators (text at edit
  // start, new text, message out) and commits (the confirmed text, which
  // the commit may rewrite before it is written into the cell).
  bool ValidateAddress(const std::string& old, const std::string& text, std::string& message);
  bool ValidateInterval(const std::string& old, const std::string& text, std::string& message);
  bool ValidateName(const std::string& old, const std::string& text, std::string& message);
  void CommitAddress(std::string& text);
  void CommitInterval(std::string& text);
  void CommitName(std::string& text);
  void CommitEnable(std::string& text);

  OneWayWrapper<NsTermination::Node> node;
  QTreeWidget* areaList = nullptr;
  NsWui::WReportCtrl* blockGrid = nullptr;
  QComboBox* nodeCombo = nullptr;
  // The node's task list as copied at the last fill; row i shows element i.
  std::vector<std::shared_ptr<NsTermination::TaskReadData>> shownBlocks;

 private:
  void RegisterEditors();
  // The block of the grid's edit row in a fresh copy of the task list.
  std::shared_ptr<NsTermination::TaskReadData> EditedBlock() const;
};

}  // namespace NsOvrin
