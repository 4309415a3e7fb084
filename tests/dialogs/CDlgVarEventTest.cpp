#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "FuncTableDriver.h"
#include "ProtPageFixture.h"
#include "dialogs/CDlgSiAddr.h"
#include "dialogs/CDlgVarEvent.h"
#include "dialogs/CtrlQlFuncList.h"
#include "dialogs/QtVarEventDialog.h"
#include "events/QlBitVarEvent.h"
#include "events/QlIntVarEvent.h"
#include "project_persistence/EventsFile.h"
#include "project_persistence/TempFolder.h"
#include "project/QlEProject.h"
#include "wui/ModalDriver.h"

namespace NsOvrin::Testing {
namespace {

using NsQlEvent::QlBitVarEvent;
using NsQlEvent::QlIntVarEvent;
using NsQlEvent::QlVarEventBase;
using Dlg = CDlgVarEvent;

// One address tree item: its text and its triggers' texts.
struct TreeEvent {
  std::string address;
  std::vector<std::string> triggers;
  bool operator==(const TreeEvent&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TreeEvent& e) {
  out << e.address << ":";
  for (const auto& t : e.triggers) out << " " << t;
  return out;
}

// The dialog over the fixture's node database ("PLC1": coils 0x0-0x15 in a
// data block, holding registers 4x0-4x99) and the project's live events.
class VarEventTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    saved_ = project_.events;
    project_.events.clear();
    project_.modified = false;
  }
  void TearDown() override {
    dlg_.reset();
    project_.events = saved_;
    project_.modified = false;
    ProtPageFixture::TearDown();
  }

  std::shared_ptr<QlBitVarEvent> AddBitEvent(const std::string& address, std::vector<std::string> rising = {}) {
    auto event = std::make_shared<QlBitVarEvent>(address);
    event->GetFunctionTexts(QlBitVarEvent::kRisingEdge) = std::move(rising);
    project_.events.push_back(event);
    return event;
  }
  void Open() {
    dlg_ = std::make_unique<Dlg>();
    dlg_->show();
    dlg_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg_.get()));
  }
  std::vector<TreeEvent> Tree() {
    std::vector<TreeEvent> events;
    QTreeWidgetItem* root = dlg_->eventRoot;
    for (int i = 0; i < root->childCount(); ++i) {
      QTreeWidgetItem* item = root->child(i);
      TreeEvent event{item->text(0).toStdString(), {}};
      for (int k = 0; k < item->childCount(); ++k) event.triggers.push_back(item->child(k)->text(0).toStdString());
      events.push_back(event);
    }
    return events;
  }
  QTreeWidgetItem* EventItem(int i) { return dlg_->eventRoot->child(i); }
  void Select(QTreeWidgetItem* item) { dlg_->eventTree->setCurrentItem(item); }
  QPushButton* Button(int id) { return NsWui::DlgItem<QPushButton>(dlg_.get(), id); }
  // Which of add, change, delete, delete rows and the table are enabled.
  std::string Enabled() {
    std::string s;
    for (int id : {Dlg::IDC_ADD, Dlg::IDC_BUTTON3, Dlg::IDC_BUTTON2, Dlg::IDC_BUTTON7}) {
      s += Button(id)->isEnabled() ? '1' : '0';
    }
    return s + (dlg_->table->isEnabled() ? '1' : '0');
  }
  // Presses the button that opens the address dialog; each text is typed
  // and confirmed in turn. The tips (title only) the dialog showed.
  std::vector<std::string> RunAddressDialog(int button, const std::vector<std::string>& texts,
                                            std::string* shown = nullptr) {
    std::vector<std::string> tips;
    NsWui::WhenModal([&](QWidget* modal) {
      auto* dialog = dynamic_cast<CDlgSiAddr*>(modal);
      ASSERT_TRUE(dialog);
      EXPECT_EQ(dialog->windowTitle().toStdString(), "变量编辑");
      auto* edit = NsWui::DlgItem<QLineEdit>(dialog, CDlgSiAddr::IDC_ADDRESS);
      if (shown) *shown = edit->text().toStdString();
      for (const std::string& text : texts) {
        edit->setText(QString::fromStdString(text));
        ui_.calls.clear();
        QTest::mouseClick(NsWui::DlgItem<QPushButton>(dialog, CDlgSiAddr::IDC_OK), Qt::LeftButton);
        for (const auto& tip : Tips()) {
          EXPECT_EQ(tip.text, "错误");
          EXPECT_EQ(tip.widget, edit);
          tips.push_back(tip.caption);
        }
      }
    });
    QTest::mouseClick(Button(button), Qt::LeftButton);
    return tips;
  }

  QlEProject& project_ = QlEProject::Instance();
  std::vector<std::shared_ptr<QlVarEventBase>> saved_;
  std::unique_ptr<Dlg> dlg_;
};

TEST_F(VarEventTest, AProjectWithoutEventsShowsOnlyTheRoot) {
  Open();
  EXPECT_EQ(dlg_->windowTitle().toStdString(), "事件变量");
  EXPECT_EQ(dlg_->eventRoot->text(0).toStdString(), "变量列表");
  EXPECT_TRUE(Tree().empty());
  EXPECT_EQ(Enabled(), "10000");
  EXPECT_EQ(*dlg_->table->defBackColour, 0xE8E8E8u);
  EXPECT_EQ(dlg_->table->GetRowCount(), 1);
  const std::pair<int, const char*> texts[] = {{Dlg::IDC_ADD, "添 加"}, {Dlg::IDC_BUTTON3, "编 辑"},
                                               {Dlg::IDC_BUTTON2, "删 除"}, {Dlg::IDC_BUTTON7, "删除勾选的行"},
                                               {Dlg::IDC_SHOW_FUNCS, "查看指令"}};
  for (const auto& [id, text] : texts) EXPECT_EQ(Button(id)->text().toStdString(), text) << id;
}

TEST_F(VarEventTest, SelectionBindsTheTableToTheTriggersLines) {
  AddBitEvent("PLC1.0x00001", {"SET PLC1.0x00002", "foo"});
  project_.events.push_back(std::make_shared<QlIntVarEvent>());
  Open();
  EXPECT_EQ(Tree(), (std::vector<TreeEvent>{{"PLC1.0x00001", {"上升沿", "下降沿", "==1"}}, {"", {"数值变更"}}}));
  EXPECT_TRUE(EventItem(0)->isExpanded());
  EXPECT_TRUE(dlg_->eventRoot->isExpanded());

  Select(EventItem(0)->child(0));
  EXPECT_EQ(Enabled(), "10011");
  EXPECT_EQ(*dlg_->table->defBackColour, 0xF0F0F0u);
  EXPECT_EQ(FuncRows(*dlg_->table), (std::vector<FuncRow>{{"SET PLC1.0x00002", "", true},
                                                          {"foo", "未知的函数名 FOO.", true},
                                                          {"", "", false}}));
  Select(EventItem(0)->child(1));
  EXPECT_EQ(FuncRows(*dlg_->table), (std::vector<FuncRow>{{"", "", false}}));

  Select(EventItem(0));
  EXPECT_EQ(Enabled(), "11100");
  EXPECT_EQ(*dlg_->table->defBackColour, 0xE8E8E8u);
  EXPECT_EQ(dlg_->table->GetRowCount(), 1);
  Select(dlg_->eventRoot);
  EXPECT_EQ(Enabled(), "10000");
  EXPECT_FALSE(project_.modified);
}

TEST_F(VarEventTest, LinesAreEditedPerTriggerAndTickedRowsDeleted) {
  auto first = AddBitEvent("PLC1.0x00001");
  // A second event at the same address keeps lines of its own.
  auto second = AddBitEvent("PLC1.0x00001", {"退出登录"});
  Open();
  Select(EventItem(0)->child(QlBitVarEvent::kFallingEdge));
  EXPECT_EQ(EnterLine(*dlg_->table, ui_, 1, "set PLC1.0x3"), std::vector<std::string>{});
  EXPECT_EQ(EnterLine(*dlg_->table, ui_, 2, "RST PLC1.0x4"), std::vector<std::string>{});
  EXPECT_EQ(EnterLine(*dlg_->table, ui_, 3, "RST"), std::vector<std::string>{"获取地址异常."});
  dlg_->table->EndEdit();
  EXPECT_EQ(first->GetFunctionTextsConst(QlBitVarEvent::kFallingEdge),
            (std::vector<std::string>{"SET PLC1.0x00003", "RST PLC1.0x00004"}));
  EXPECT_TRUE(first->GetFunctionTextsConst(QlBitVarEvent::kRisingEdge).empty());
  EXPECT_EQ(second->GetFunctionTextsConst(QlBitVarEvent::kRisingEdge), std::vector<std::string>{"退出登录"});
  EXPECT_TRUE(project_.modified);

  Select(EventItem(1)->child(QlBitVarEvent::kRisingEdge));
  EXPECT_EQ(FuncRows(*dlg_->table)[0].line, "退出登录");

  // Back on the first event's list: tick and delete.
  Select(EventItem(0)->child(QlBitVarEvent::kFallingEdge));
  project_.modified = false;
  QTest::mouseClick(Button(Dlg::IDC_BUTTON7), Qt::LeftButton);
  EXPECT_FALSE(project_.modified);
  TickRow(*dlg_->table, 1);
  QTest::mouseClick(Button(Dlg::IDC_BUTTON7), Qt::LeftButton);
  EXPECT_TRUE(project_.modified);
  EXPECT_EQ(first->GetFunctionTextsConst(QlBitVarEvent::kFallingEdge),
            std::vector<std::string>{"RST PLC1.0x00004"});
  EXPECT_EQ(FuncRows(*dlg_->table), (std::vector<FuncRow>{{"RST PLC1.0x00004", "", true}, {"", "", false}}));
}

TEST_F(VarEventTest, AddingAnEventChecksItsAddress) {
  Open();
  const std::vector<std::string> tips =
      RunAddressDialog(Dlg::IDC_ADD, {"  ", "PLC9.0x1", "PLC1.0x40", "PLC1.4x200", "PLC1.Q1", " PLC1.0x2 "});
  EXPECT_EQ(tips, (std::vector<std::string>{"地址不能为空!", "没有找到相应的节点", "不在预定义的数据块内",
                                            "不在预定义的数据块内", "格式错误"}));
  EXPECT_EQ(Tree(), (std::vector<TreeEvent>{{"PLC1.0x00002", {"上升沿", "下降沿", "==1"}}}));
  ASSERT_EQ(project_.events.size(), 1u);
  EXPECT_EQ(project_.events[0]->GetAddress(), "PLC1.0x00002");
  EXPECT_TRUE(project_.modified);

  // A word address gives the one trigger "数值变更"; the same address again
  // gives a second event.
  Select(EventItem(0)->child(0));
  RunAddressDialog(Dlg::IDC_ADD, {"PLC1.4x5"});
  RunAddressDialog(Dlg::IDC_ADD, {"PLC1.0x2"});
  EXPECT_EQ(Tree(), (std::vector<TreeEvent>{{"PLC1.0x00002", {"上升沿", "下降沿", "==1"}},
                                            {"PLC1.4x00005", {"数值变更"}},
                                            {"PLC1.0x00002", {"上升沿", "下降沿", "==1"}}}));
  ASSERT_EQ(project_.events.size(), 3u);
  EXPECT_EQ(project_.events[1]->GetEventType(), NsQlEvent::kIntEvent);
  EXPECT_EQ(project_.events[1]->GetAddress(), "PLC1.4x00005");
  // The table and the edit buttons are off after an add.
  EXPECT_EQ(Enabled(), "10000");

  // A cancelled dialog adds nothing.
  project_.modified = false;
  NsWui::WhenModal([](QWidget* modal) { modal->close(); });
  QTest::mouseClick(Button(Dlg::IDC_ADD), Qt::LeftButton);
  EXPECT_EQ(project_.events.size(), 3u);
  EXPECT_FALSE(project_.modified);
}

TEST_F(VarEventTest, AnEventIsReaddressedToAnAddressOfItsKind) {
  auto event = AddBitEvent("PLC1.0x00001", {"退出登录"});
  Open();
  // Nothing without a selected event item.
  QTest::mouseClick(Button(Dlg::IDC_BUTTON3), Qt::LeftButton);

  Select(EventItem(0));
  std::string shown;
  const auto tips = RunAddressDialog(Dlg::IDC_BUTTON3, {"", "PLC1.4x5", "PLC1.0x3"}, &shown);
  EXPECT_EQ(shown, "PLC1.0x00001");
  EXPECT_EQ(tips, (std::vector<std::string>{"地址不能为空!",
                                            "两个地址(PLC1.0x00001 vs PLC1.4x00005)所代表的数据类型不一致."}));
  EXPECT_EQ(event->GetAddress(), "PLC1.0x00003");
  EXPECT_EQ(Tree(), (std::vector<TreeEvent>{{"PLC1.0x00003", {"上升沿", "下降沿", "==1"}}}));
  EXPECT_EQ(event->GetFunctionTextsConst(0), std::vector<std::string>{"退出登录"});
  EXPECT_TRUE(project_.modified);

  // The lines are still found under the new address.
  Select(EventItem(0)->child(0));
  EXPECT_EQ(FuncRows(*dlg_->table)[0].line, "退出登录");
}

TEST_F(VarEventTest, OfTwoEventsAtOneAddressTheSelectedOneIsReaddressed) {
  auto first = AddBitEvent("PLC1.0x00001", {"退出登录"});
  auto second = AddBitEvent("PLC1.0x00001", {"RST PLC1.0x00002"});
  Open();
  Select(EventItem(1));
  std::string shown;
  EXPECT_TRUE(RunAddressDialog(Dlg::IDC_BUTTON3, {"PLC1.0x3"}, &shown).empty());
  EXPECT_EQ(shown, "PLC1.0x00001");
  EXPECT_EQ(first->GetAddress(), "PLC1.0x00001");
  EXPECT_EQ(second->GetAddress(), "PLC1.0x00003");
  EXPECT_EQ(Tree(), (std::vector<TreeEvent>{{"PLC1.0x00001", {"上升沿", "下降沿", "==1"}},
                                            {"PLC1.0x00003", {"上升沿", "下降沿", "==1"}}}));
  Select(EventItem(1)->child(0));
  EXPECT_EQ(FuncRows(*dlg_->table)[0].line, "RST PLC1.0x00002");
}

TEST_F(VarEventTest, AnIntegerEventKeepsItsAddressAndLinesThroughSaveAndOpen) {
  Open();
  RunAddressDialog(Dlg::IDC_ADD, {"PLC1.4x5"});
  Select(EventItem(0)->child(0));
  EXPECT_EQ(EnterLine(*dlg_->table, ui_, 1, "mov 1 PLC1.4x6"), std::vector<std::string>{});
  dlg_->table->EndEdit();
  // Readdressed to another word.
  Select(EventItem(0));
  EXPECT_EQ(RunAddressDialog(Dlg::IDC_BUTTON3, {"PLC1.0x1", "PLC1.4x7"}),
            std::vector<std::string>{
                "两个地址(PLC1.4x00005 vs PLC1.0x00001)所代表的数据类型不一致."});
  ASSERT_EQ(project_.events.size(), 1u);
  const std::vector<std::string> lines = project_.events[0]->GetFunctionTextsConst(0);
  ASSERT_EQ(lines.size(), 1u);
  dlg_.reset();

  TempFolder folder;
  ASSERT_TRUE(WriteEventsFile(folder / "events", project_.events));
  project_.events.clear();
  ASSERT_TRUE(ReadEventsFile(folder / "events", project_.events));
  Open();
  EXPECT_EQ(Tree(), (std::vector<TreeEvent>{{"PLC1.4x00007", {"数值变更"}}}));
  ASSERT_EQ(project_.events.size(), 1u);
  EXPECT_EQ(project_.events[0]->GetEventType(), NsQlEvent::kIntEvent);
  Select(EventItem(0)->child(0));
  EXPECT_EQ(FuncRows(*dlg_->table)[0].line, lines[0]);
}

TEST_F(VarEventTest, DeletingRemovesTheSelectedEvent) {
  auto first = AddBitEvent("PLC1.0x00001", {"退出登录"});
  auto second = AddBitEvent("PLC1.0x00001", {"RST PLC1.0x00002"});
  auto other = AddBitEvent("PLC1.0x00005");
  Open();
  // Nothing without a selected event item.
  Select(EventItem(0)->child(0));
  QTest::mouseClick(Button(Dlg::IDC_BUTTON2), Qt::LeftButton);
  EXPECT_EQ(project_.events.size(), 3u);
  EXPECT_FALSE(project_.modified);

  // Of two events at one address, the one whose item was selected goes.
  Select(EventItem(1));
  QTest::mouseClick(Button(Dlg::IDC_BUTTON2), Qt::LeftButton);
  EXPECT_EQ(project_.events, (std::vector<std::shared_ptr<QlVarEventBase>>{first, other}));
  EXPECT_EQ(Tree().size(), 2u);
  EXPECT_TRUE(project_.modified);
  Select(EventItem(0)->child(0));
  EXPECT_EQ(FuncRows(*dlg_->table)[0].line, "退出登录");
}

TEST_F(VarEventTest, TheDialogClosesOnlyThroughItsCloseBox) {
  AddBitEvent("PLC1.0x00001");
  Open();
  QTest::keyClick(dlg_.get(), Qt::Key_Return);
  QTest::keyClick(dlg_.get(), Qt::Key_Escape);
  EXPECT_TRUE(dlg_->isVisible());
  dlg_->close();
  EXPECT_FALSE(dlg_->isVisible());

  // Without its edit button, enabling it says so.
  Open();
  delete Button(Dlg::IDC_BUTTON3);
  Select(EventItem(0));
  const auto boxes = ui_.CallsOf(NsWui::UiCall::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "无效的 Item id: IDC_BUTTON3.");
  EXPECT_EQ(boxes[0].caption, "提示");
  EXPECT_EQ(boxes[0].type, NsWui::MB_ICONERROR);
}

TEST_F(VarEventTest, TheStoreOpensTheDialogWithTheInstructionReference) {
  AddBitEvent("PLC1.0x00001");
  QtVarEventDialog service;
  QWidget reference;
  int filled = 0;
  service.funcListWindow = [&] { return &reference; };
  service.fillFuncTree = [&](QTreeWidget* tree) {
    ++filled;
    return new QTreeWidgetItem(tree, QStringList(QStringLiteral("函数列表")));
  };
  std::vector<std::string> seen;
  NsWui::WhenModal([&](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgVarEvent*>(modal);
    ASSERT_TRUE(dialog);
    seen.push_back(dialog->eventRoot->child(0)->text(0).toStdString());
    seen.push_back(dialog->funcRoot ? dialog->funcRoot->text(0).toStdString() : "<none>");
    QTest::mouseClick(NsWui::DlgItem<QPushButton>(dialog, Dlg::IDC_SHOW_FUNCS), Qt::LeftButton);
    dialog->close();
  });
  service.Run(nullptr);
  EXPECT_EQ(seen, (std::vector<std::string>{"PLC1.0x00001", "函数列表"}));
  EXPECT_EQ(filled, 1);
  EXPECT_TRUE(reference.isVisible());
}

// A reference window already shown when the dialog starts becomes a window
// of the dialog at once (so that the modal dialog lets it take input), where
// it was; one hidden or not made yet is left alone, and none is made.
TEST_F(VarEventTest, AReferenceShownBeforeTheDialogRunsIsLentToItAtOnce) {
  struct Case {
    const char* name;
    bool made;
    bool shown;
  };
  const Case cases[] = {{"shown", true, true}, {"hidden", true, false}, {"not made yet", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QtVarEventDialog service;
    QWidget reference;
    reference.setGeometry(40, 50, 300, 200);
    if (c.shown) reference.show();
    const QRect placed = reference.geometry();
    int made = 0;
    service.funcListWindow = [&] {
      ++made;
      return &reference;
    };
    service.existingFuncListWindow = [&] { return c.made ? &reference : nullptr; };
    bool ran = false;
    bool lent = false;
    bool shownWhileRunning = false;
    QRect placedWhileRunning;
    NsWui::WhenModal([&](QWidget* modal) {
      ran = true;
      lent = reference.parentWidget() == modal && reference.isWindow();
      shownWhileRunning = reference.isVisible();
      placedWhileRunning = reference.geometry();
      modal->close();
    });
    service.Run(nullptr);
    ASSERT_TRUE(ran);
    EXPECT_EQ(made, 0);
    EXPECT_EQ(lent, c.shown);
    EXPECT_EQ(shownWhileRunning, c.shown);
    if (c.shown) {
      EXPECT_EQ(placedWhileRunning, placed);
    }
    // Given back after the dialog, as it was.
    EXPECT_EQ(reference.parentWidget(), nullptr);
    EXPECT_EQ(reference.isVisible(), c.shown);
  }
}

}  // namespace
}  // namespace NsOvrin::Testing
