#include "dialogs/CDlgDevList.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "wui/DlgItem.h"

namespace NsOvrin {

using namespace NsTermination;

namespace {

// Item data: the maker or model index.
constexpr int kIndexRole = Qt::UserRole;

QTreeWidgetItem* MakeItem(QTreeWidgetItem* parent, const std::string& text, uint32_t index) {
  auto* item = new QTreeWidgetItem(parent, QStringList{QString::fromStdString(text)});
  item->setData(0, kIndexRole, QVariant(index));
  return item;
}

}  // namespace

CDlgDevList::CDlgDevList(const DevCatalog& catalog, QWidget* parent)
    : NsWui::CModalDialog(parent), tree_(new QTreeWidget(this)), ok_(nullptr), catalog_(catalog) {
  setWindowTitle(QStringLiteral("设备列表"));
  NsWui::SetDlgItemId(tree_, IDC_TREE);
  tree_->setHeaderHidden(true);
  tree_->setRootIsDecorated(true);
  tree_->setDragDropMode(QAbstractItemView::NoDragDrop);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(tree_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnSelChanged(current); });

  ok_ = new QPushButton(QStringLiteral("确定"), this);
  NsWui::SetDlgItemId(ok_, IDC_OK);
  ok_->setDefault(true);
  ok_->setEnabled(false);
  auto* cancel = new QPushButton(QStringLiteral("取消"), this);
  NsWui::SetDlgItemId(cancel, IDC_CANCEL);
  connect(ok_, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);
  auto* top = new QVBoxLayout(this);
  top->addWidget(tree_);
  top->addLayout(buttons);
}

void CDlgDevList::OnInitDialog() {
  tree_->clear();
  ok_->setEnabled(false);
  root_ = new QTreeWidgetItem(tree_, QStringList{QStringLiteral("设备列表")});
  QTreeWidgetItem* makerItem = nullptr;
  QTreeWidgetItem* modelItem = nullptr;
  for (const DevCatalogEntry& entry : catalog_) {
    QTreeWidgetItem* maker = MakeItem(root_, GetMakerName(entry.maker), entry.maker);
    if (entry.maker == selectedMaker) makerItem = maker;
    for (DeviceModelId model : entry.models) {
      QTreeWidgetItem* item = MakeItem(maker, GetModelName(model), model);
      if (model == selectedModel) modelItem = item;
    }
  }
  root_->setExpanded(true);
  if (makerItem) makerItem->setExpanded(true);
  if (modelItem) {
    tree_->setCurrentItem(modelItem);
    // Selecting makes the item visible, its maker opened.
    tree_->scrollToItem(modelItem);
  }
}

bool CDlgDevList::IsModelItem(const QTreeWidgetItem* item) const {
  return item && item->parent() && item->parent()->parent() == root_ && root_;
}

void CDlgDevList::OnSelChanged(QTreeWidgetItem* item) { ok_->setEnabled(IsModelItem(item)); }

void CDlgDevList::OnOK() {
  QTreeWidgetItem* item = tree_->currentItem();
  if (!IsModelItem(item)) return;
  selectedModel = item->data(0, kIndexRole).toUInt();
  selectedMaker = static_cast<uint16_t>(item->parent()->data(0, kIndexRole).toUInt());
  accept();
}

}  // namespace NsOvrin
