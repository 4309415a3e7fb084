#pragma once
// The modal device type chooser: a tree of makers and their models, taken
// from the catalogue the calling device dialog offers. OK is enabled only
// while a model is selected; on IDOK the chosen maker and model are read
// from the two selected members.
#include <cstdint>
#include <vector>

#include "QlDev/DeviceCatalog.h"
#include "wui/CModalDialog.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace NsOvrin {

// One maker of a device dialog's catalogue with the models offered of it.
struct DevCatalogEntry {
  uint16_t maker = 0;
  std::vector<NsTermination::DeviceModelId> models;
};
using DevCatalog = std::vector<DevCatalogEntry>;

class CDlgDevList : public NsWui::CModalDialog {
 public:
  static constexpr int IDC_TREE = 1020;
  static constexpr int IDC_OK = 1;
  static constexpr int IDC_CANCEL = 2;

  // The catalogue must outlive the dialog.
  CDlgDevList(const DevCatalog& catalog, QWidget* parent = nullptr);

  void OnInitDialog() override;
  void OnSelChanged(QTreeWidgetItem* item);
  void OnOK();

  // In: the preselection; out (IDOK): the choice.
  uint16_t selectedMaker = 0;
  uint32_t selectedModel = NsTermination::kModelNone;

  QTreeWidget* Tree() const { return tree_; }
  QTreeWidgetItem* Root() const { return root_; }

 private:
  bool IsModelItem(const QTreeWidgetItem* item) const;

  QTreeWidget* tree_;
  QPushButton* ok_;
  QTreeWidgetItem* root_ = nullptr;
  const DevCatalog& catalog_;
};

}  // namespace NsOvrin
