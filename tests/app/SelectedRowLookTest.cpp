// The selected row of every list, tree and grid of the dialogs, property
// pages and panes, as the running editor draws it with its look applied: the
// row's fill differs from an unselected row's, and its texts stand out from
// that fill. The painted report grids built without row selection select no
// row at all.
#include <QTreeWidget>
#include <functional>
#include <memory>

#include "RunningEditorFixture.h"
#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "app/CDlgQlFuncList.h"
#include "app/COutputList.h"
#include "app/COutputWnd.h"
#include "app/VisualLook.h"
#include "dialogs/CDlgAlarmCfg.h"
#include "dialogs/CDlgDataBlock.h"
#include "dialogs/CDlgDevList.h"
#include "dialogs/CDlgProtMultStateText.h"
#include "dialogs/CDlgRs232Dev.h"
#include "dialogs/CDlgUsers.h"
#include "dialogs/CDlgVarEvent.h"
#include "termination/ChannelManager.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/ModalDriver.h"
#include "wui/SelectedRowCheck.h"
#include "wui/OvReportCtrl.h"
#include "wui/WReportCtrl.h"

namespace NsOvrin::Testing {
namespace {

using NsWui::Testing::ExpectSelectedRowStandsOut;

class SelectedRowLook : public RunningEditorFixture {
 protected:
  void TearDown() override {
    shown_.clear();
    NsAlarm::AlarmManager::Instance().Clear();
    RunningEditorFixture::TearDown();
  }

  // A modeless copy of a dialog, shown in the running editor.
  template <class T, class... Args>
  T* Show(Args&&... args) {
    auto dialog = std::make_unique<T>(std::forward<Args>(args)...);
    T* shown = dialog.get();
    shown->show();
    QCoreApplication::processEvents();
    shown_.push_back(std::move(dialog));
    return shown;
  }

  // The dialog a double click on the tree item opens, checked while it runs,
  // then closed.
  template <class T>
  void OpenFromTheTree(const char* itemText, const std::function<void(T&)>& check) {
    bool checked = false;
    NsWui::WhenModal([&checked, &check](QWidget* modal) {
      auto* dialog = dynamic_cast<T*>(modal);
      ASSERT_NE(dialog, nullptr);
      check(*dialog);
      checked = true;
      dialog->close();
    });
    const QList<QTreeWidgetItem*> items = Tree()->findItems(
        QString::fromUtf8(itemText), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(items.size(), 1);
    DoubleClickTreeItem(*Tree(), items.front());
    DeleteClosed();
    EXPECT_TRUE(checked);
  }

  static void AddAlarmGroup() {
    auto group = std::make_shared<NsAlarm::AlarmSegCvb>();
    group->SetAddress("PLC1.4x0");
    group->SetMessages({"温度过高", "压力低"});
    NsAlarm::AlarmManager::Instance().AddSeg(group);
  }

  std::vector<std::unique_ptr<QWidget>> shown_;
};

QModelIndex IndexOfItem(QTreeWidget& tree, QTreeWidgetItem* item) {
  for (QTreeWidgetItem* parent = item->parent(); parent != nullptr; parent = parent->parent()) {
    parent->setExpanded(true);
  }
  QCoreApplication::processEvents();
  return tree.indexFromItem(item);
}

QModelIndex IndexOf(QTreeWidget& tree, const QString& text) {
  const QList<QTreeWidgetItem*> found = tree.findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? QModelIndex() : IndexOfItem(tree, found.front());
}

TEST_F(SelectedRowLook, EveryListOfTheDialogsPagesAndPanesShowsItsSelectedRowsTexts) {
  AddAlarmGroup();

  QWidget* elsewhere = view_;
  struct Case {
    const char* name;
    std::function<void()> check;
  };
  const Case cases[] = {
      {"project tree",
       [&] { ExpectSelectedRowStandsOut(*Tree(), IndexOf(*Tree(), QStringLiteral("P2")), elsewhere); }},
      {"output pane",
       [&] {
         COutputList* list = frame_->GetOutputPane()->GetOutputList();
         list->AddString("第一行");
         list->AddString("第二行");
         frame_->GetOutputPane()->show();
         ExpectSelectedRowStandsOut(*list, list->model()->index(1, 0), elsewhere);
       }},
      {"state list of the multi-state text page",
       [&] {
         Trigger(ID_TOOL_FIRST_ELEM + NsQlUiElem::kElemMultiStateLabel - 1);
         Click(view_, {500, 300});
         QWidget* page = ShownPage();
         ASSERT_NE(dynamic_cast<CDlgProtMultStateText*>(page), nullptr);
         auto* states = NsWui::DlgItem<QTreeWidget>(page, CDlgProtMultStateText::IDC_STATES);
         ASSERT_NE(states, nullptr);
         ASSERT_GT(states->topLevelItemCount(), 0);
         ExpectSelectedRowStandsOut(*states, states->model()->index(0, 0), elsewhere);
       }},
      {"data block grid",
       [&] {
         auto* dialog = Show<CDlgDataBlock>(Db().FindNode("PLC1"));
         ASSERT_GT(dialog->blockGrid->topLevelItemCount(), 0);
         ExpectSelectedRowStandsOut(*dialog->blockGrid, dialog->blockGrid->model()->index(0, 0),
                                    NsWui::GetDlgItem(dialog, CDlgDataBlock::IDC_NODE));
       }},
      {"alarm group list, opened from the tree",
       [&] {
         OpenFromTheTree<CDlgAlarmCfg>("警报配置", [](CDlgAlarmCfg& dialog) {
           ExpectSelectedRowStandsOut(*dialog.groupList, dialog.groupList->model()->index(0, 0),
                                      dialog.addressEdit);
         });
       }},
      {"events list and instruction tree, opened from the tree",
       [&] {
         OpenFromTheTree<CDlgVarEvent>("事件变量", [](CDlgVarEvent& dialog) {
           ExpectSelectedRowStandsOut(*dialog.eventTree, dialog.eventTree->model()->index(0, 0),
                                      dialog.funcTree);
           ExpectSelectedRowStandsOut(
               *dialog.funcTree, IndexOf(*dialog.funcTree, QStringLiteral("SET")), dialog.eventTree);
         });
       }},
      {"device list",
       [&] {
         auto* dialog = Show<CDlgDevList>(CDlgRs232Dev::GetCatalog());
         QTreeWidget* tree = dialog->Tree();
         ExpectSelectedRowStandsOut(*tree, IndexOf(*tree, QStringLiteral("Modbus-RTU")),
                                    NsWui::GetDlgItem(dialog, CDlgDevList::IDC_CANCEL));
       }},
      {"instruction reference window",
       [&] {
         CDlgQlFuncList* window = CDlgQlFuncList::Instance();
         ASSERT_NE(window, nullptr);
         window->show();
         auto* tree = NsWui::DlgItem<QTreeWidget>(window, CDlgQlFuncList::IDC_FUNC_TREE);
         ASSERT_NE(tree, nullptr);
         ExpectSelectedRowStandsOut(*tree, IndexOf(*tree, QStringLiteral("SET")),
                                    NsWui::GetDlgItem(window, CDlgQlFuncList::IDC_HELP_TEXT));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.check();
  }
}

// Every look the program offers pairs its selection fill with a text colour
// that stands out from it.
TEST_F(SelectedRowLook, EveryLookShowsTheSelectedRowsTexts) {
  auto* dialog = Show<CDlgDataBlock>(Db().FindNode("PLC1"));
  ASSERT_GT(dialog->blockGrid->topLevelItemCount(), 0);
  for (const int id : {kLookBase, kLookOfficeXP, kLookWindows, kLookOffice2003, kLookVS2005,
                       kLookVS2008, kLookOffice2007Blue, kLookOffice2007Black,
                       kLookOffice2007Silver, kLookOffice2007Aqua, kLookWindows7}) {
    SCOPED_TRACE(id);
    ApplyVisualLook(*frame_, SelectVisualLook(id, CurrentOffice2007Scheme()));
    ExpectSelectedRowStandsOut(*dialog->blockGrid, dialog->blockGrid->model()->index(0, 0),
                               NsWui::GetDlgItem(dialog, CDlgDataBlock::IDC_NODE));
    ExpectSelectedRowStandsOut(*Tree(), IndexOf(*Tree(), QStringLiteral("P2")), view_);
  }
  ApplyVisualLook(*frame_, SelectVisualLook(kLookDefault, CurrentOffice2007Scheme()));
}

// The painted report grids are built without row selection: a click on a
// row selects none and draws no selection band.
TEST_F(SelectedRowLook, PaintedGridsWithoutRowSelectionSelectNoRow) {
  AddAlarmGroup();
  auto* users = Show<CDlgUsers>();
  auto* events = Show<CDlgVarEvent>();
  auto* alarms = Show<CDlgAlarmCfg>();
  struct Case {
    const char* name;
    NsWui::OvReportCtrl* grid;
  };
  const Case cases[] = {
      {"users grid", NsWui::DlgItem<NsWui::OvReportCtrl>(users, CDlgUsers::IDC_GRID)},
      {"instruction table of the events dialog",
       NsWui::DlgItem<NsWui::OvReportCtrl>(events, CDlgVarEvent::IDC_FUNC_TABLE)},
      {"message table of the alarm dialog", alarms->messageTable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.grid, nullptr);
    ASSERT_GT(c.grid->GetRowCount(), 0);
    const NsWui::WRect cell = c.grid->GetCellRect(c.grid->GetRowCount() - 1, 0);
    c.grid->ClickCell(QPoint((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    EXPECT_EQ(c.grid->currentRow, UTableBase::kNoRow);
    EXPECT_FALSE(c.grid->GetCurrentRowMark());
    c.grid->EndEdit();
  }
}

}  // namespace
}  // namespace NsOvrin::Testing
